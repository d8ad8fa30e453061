#include "preview_copies.h"

#include "office_processes.h"

std::uint32_t TempFileCounter = 0;
CString TempFileName;
CString LastPreviewPath = L"PAth";
std::uint64_t LastPreviewId = 0;

namespace {

// The longest extension a copy keeps.
constexpr int kMaxExtensionLength = 16;
// The window classes of Word, PowerPoint and Excel.
constexpr const wchar_t* kOfficeWindowClasses[] = {L"OMain",          L"PP97FrameClass", L"PP9FrameClass",
                                                   L"PP10FrameClass", L"PP11FrameClass", L"PP12FrameClass",
                                                   L"XlMain"};

bool IsUnsafeNameCharacter(wchar_t ch)
{
    return ch < 0x20 || ch == 0x7F || wcschr(L"<>:\"/\\|?*", ch) != nullptr;
}

} // namespace

CString PreviewTempFolder()
{
    wchar_t folder[1024] = {};
    const DWORD length = ::GetTempPathW(1023, folder);
    CString path = length > 0 && length < 1023 ? CString(folder) : CString();
    if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\')
        path += L'\\';
    return path;
}

CString PreviewExtension(const CString& name)
{
    const int dot = name.ReverseFind(L'.');
    CString extension = dot >= 0 ? name.Mid(dot + 1) : name;
    extension.MakeLower();
    for (int i = 0; i < extension.GetLength(); ++i) {
        if (IsUnsafeNameCharacter(extension[i]))
            extension.SetAt(i, L'_');
    }
    extension.Replace(L"..", L"__");
    return extension.Left(kMaxExtensionLength);
}

CString MakeTempFileName(const CString& name, std::vector<CString>& madeCopies)
{
    const CString folder = PreviewTempFolder();
    const CString extension = PreviewExtension(name);
    CString candidate;
    for (;;) {
        candidate.Format(L"tmp%u.%s", TempFileCounter, static_cast<LPCWSTR>(extension));
        if (::GetFileAttributesW(folder + candidate) == INVALID_FILE_ATTRIBUTES)
            break;
        ++TempFileCounter;
    }
    const CString full = folder + candidate;
    bool known = false;
    for (const CString& made : madeCopies)
        known = known || made.CompareNoCase(full) == 0;
    if (!known)
        madeCopies.push_back(full);
    TempFileName = candidate;
    return candidate;
}

int IsNewPreviewTarget(const CString& tempFolder, const CString& name, std::uint64_t id)
{
    CString full = tempFolder;
    if (!full.IsEmpty() && full[full.GetLength() - 1] != L'\\')
        full += L'\\';
    full += name;
    full.MakeLower();
    if (full.CompareNoCase(LastPreviewPath) == 0 && id == LastPreviewId)
        return 0;
    LastPreviewPath = full;
    LastPreviewId = id;
    return 1;
}

void CloseOfficeViewers(const std::vector<CString>& copies)
{
    for (const wchar_t* windowClass : kOfficeWindowClasses) {
        for (HWND window = ::FindWindowExW(NULL, NULL, windowClass, NULL); window != NULL;
             window = ::FindWindowExW(NULL, window, windowClass, NULL)) {
            wchar_t title[512] = {};
            ::GetWindowTextW(window, title, 511);
            CString caption(title);
            caption.MakeLower();
            for (const CString& copy : copies) {
                CString name = copy.Mid(copy.ReverseFind(L'\\') + 1);
                name.MakeLower();
                if (!name.IsEmpty() && caption.Find(name) >= 0) {
                    ::PostMessageW(window, WM_CLOSE, 0, 0);
                    break;
                }
            }
        }
    }
    // The Excel that showed a workbook preview in place holds its copy whatever its title says; it was
    // the preview's own, so it is ended (the user's Excel never is).
    EndProcessesStartedByPreviews(L"XLMain");
}
