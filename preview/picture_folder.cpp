#include "picture_folder.h"

#include <algorithm>
#include <cwchar>

#include "preview_image.h"

namespace {

bool IsDotEntry(const wchar_t* name)
{
    return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0;
}

// Calls visit(name) for every file (not folder) directly inside the folder.
template <class Visit> void ForEachFile(const CString& folder, Visit visit)
{
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW(folder + L"\\*.*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!IsDotEntry(found.cFileName) && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            visit(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

} // namespace

std::vector<CString> CollectPictureNames(const CString& folder)
{
    std::vector<CString> names;
    ForEachFile(folder, [&](const wchar_t* name) {
        if (ImageTypeOfPath(name) != kImageNone) {
            CString lower(name);
            lower.MakeLower();
            names.push_back(lower);
        }
    });
    SortImageNames(names);
    return names;
}

void DeleteFilesOfFolder(const CString& folder)
{
    ForEachFile(folder, [&](const wchar_t* name) { ::DeleteFileW(folder + L"\\" + name); });
}

void SortImageNames(std::vector<CString>& names)
{
    std::sort(names.begin(), names.end(),
              [](const CString& left, const CString& right) { return std::wcscmp(left, right) < 0; });
}
