// The program's own file dialog (its path parser), the progress window, and the command line's snapshot.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "command_line_snapshot.h"
#include "engine/recovery/core/engine_types.h"
#include "file_dialog_ex.h"
#include "progress_dlg.h"
#include "resource.h"
#include "support/screenshot.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The dialog's buffer as the system leaves it: the items with their separators, then the end.
class FilledFileDialog : public CFileDialogEx
{
public:
    FilledFileDialog(const std::wstring& buffer, DWORD flags) : CFileDialogEx(TRUE, NULL, NULL, flags)
    {
        std::copy(buffer.begin(), buffer.end(), m_ofn.lpstrFile);
    }
};

TEST(FileDialogEx, SplitsTheChosenFilesIntoFullPaths)
{
    using namespace std::string_literals;
    struct Case
    {
        const char* name;
        std::wstring buffer;
        DWORD flags;
        bool explorer;
        std::vector<std::wstring> paths;
    };
    const Case cases[] = {
        {"single selection", L"C:\\scans\\a.vqdx\0"s, 0, true, {L"C:\\scans\\a.vqdx"}},
        {"one file in a multiple selection",
         L"C:\\scans\\a.vqdx\0\0"s,
         OFN_ALLOWMULTISELECT,
         true,
         {L"C:\\scans\\a.vqdx"}},
        {"three files",
         L"C:\\scans\0a.vqdx\0b.vqdx\0c d.vqdx\0\0"s,
         OFN_ALLOWMULTISELECT,
         true,
         {L"C:\\scans\\a.vqdx", L"C:\\scans\\b.vqdx", L"C:\\scans\\c d.vqdx"}},
        {"files at a drive's root",
         L"C:\\\0a.vqdx\0b.vqdx\0\0"s,
         OFN_ALLOWMULTISELECT,
         true,
         {L"C:\\a.vqdx", L"C:\\b.vqdx"}},
        {"folder ending in a slash", L"D:/x/\0a\0\0"s, OFN_ALLOWMULTISELECT, true, {L"D:/x/a"}},
        {"blank-separated old style",
         L"C:\\scans a.vqdx b.vqdx\0"s,
         OFN_ALLOWMULTISELECT,
         false,
         {L"C:\\scans\\a.vqdx", L"C:\\scans\\b.vqdx"}},
        {"old style, one file", L"C:\\scans\\a.vqdx\0"s, OFN_ALLOWMULTISELECT, false, {L"C:\\scans\\a.vqdx"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FilledFileDialog dialog(c.buffer, c.flags);
        if (!c.explorer)
            dialog.m_ofn.Flags &= ~OFN_EXPLORER;
        std::vector<std::wstring> paths;
        POSITION position = dialog.GetStartPosition();
        while (position != NULL && paths.size() < 10)
            paths.push_back(std::wstring(dialog.GetNextPathName(position)));
        EXPECT_EQ(paths, c.paths);
    }
}

TEST(FileDialogEx, FillsTheStructureForEitherPointerSize)
{
    wchar_t name[MAX_PATH] = L"snapshot";
    CFileDialogEx dialog(FALSE, L"vqdx", name, OFN_PATHMUSTEXIST, L"*.vqdx\0*.vqdx\0", NULL);
    EXPECT_EQ(dialog.m_ofn.lpstrFile, name);
    EXPECT_EQ(dialog.m_ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(dialog.m_ofn.Flags, static_cast<DWORD>(OFN_PATHMUSTEXIST | OFN_EXPLORER));
    // The structure's size is set when the dialog runs; a cancelled run shows it was accepted.
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    const UINT_PTR timer = ::SetTimer(NULL, 0, 500, [](HWND, UINT, UINT_PTR, DWORD) {
        for (HWND window = ::GetWindow(::GetDesktopWindow(), GW_CHILD); window != NULL;
             window = ::GetWindow(window, GW_HWNDNEXT)) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window))
                ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        }
    });
    dialog.m_ofn.hwndOwner = owner;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_ofn.lStructSize, static_cast<DWORD>(sizeof(OPENFILENAMEW)));
    EXPECT_EQ(::CommDlgExtendedError(), 0u) << "the system refused the structure";
    ::KillTimer(NULL, timer);
    ::DestroyWindow(owner);
}

TEST(ProgressDlg, ShowsThePercentOfItsRange)
{
    struct Case
    {
        const char* name;
        int pos;
        int low;
        int high;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"start", 0, 0, 100, L"0%"},           {"middle", 37, 0, 100, L"37%"},
        {"end", 100, 0, 100, L"100%"},         {"past the end", 150, 0, 100, L"50%"},
        {"offset range", 75, 50, 100, L"50%"}, {"empty range", 5, 7, 7, L"0%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(std::wstring(CProgressDlg::PercentText(c.pos, c.low, c.high)), c.text);
    }
}

// The bar's pixels as it paints them into a memory device context.
std::vector<std::uint32_t> PaintedBar(HWND bar)
{
    RECT client = {};
    ::GetClientRect(bar, &client);
    HDC screen = ::GetDC(NULL);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(NULL, screen);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    std::vector<std::uint32_t> pixels = test_support::CaptureDc(memory, client);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    return pixels;
}

TEST(ProgressDlg, ItsPercentReadsOverTheEmptyAndOverTheFilledBar)
{
    constexpr std::uint32_t kBar = 0x1D75BD; // 0x00RRGGBB, as captured
    constexpr std::uint32_t kWhite = 0xFFFFFF;
    struct Case
    {
        const char* name;
        int pos;
        std::uint32_t textColour; // the percentage, drawn where the bar shows the other colour
    };
    const Case cases[] = {{"empty bar", 0, kBar}, {"full bar", 100, kWhite}};
    CProgressDlg progress;
    ASSERT_TRUE(progress.Create(NULL));
    HWND bar = ::GetDlgItem(progress.GetSafeHwnd(), IDC_PROGRESS_BAR);
    ASSERT_NE(bar, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        progress.SetPos(c.pos);
        const std::vector<std::uint32_t> pixels = PaintedBar(bar);
        ASSERT_FALSE(pixels.empty());
        const auto textPixels = std::count(pixels.begin(), pixels.end(), c.textColour);
        EXPECT_GT(textPixels, 20) << "the percentage does not stand out from the bar";
        EXPECT_LT(textPixels, static_cast<std::ptrdiff_t>(pixels.size() / 4));
    }
    progress.DestroyWindow();
}

DWORD WINAPI SendPosition(void* dialog)
{
    ::SendMessageW(static_cast<HWND>(dialog), kProgressSetPosMessage, 60, 0);
    return 0;
}

TEST(ProgressDlg, DisablesItsOwnerWhileShownMovesFromAnyThreadAndEnablesTheOwnerOnce)
{
    CWnd owner;
    ASSERT_TRUE(
        owner.CreateEx(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, NULL, NULL));
    {
        CProgressDlg progress;
        ASSERT_TRUE(progress.Create(&owner));
        progress.ShowWindow(SW_SHOW);
        EXPECT_FALSE(owner.IsWindowEnabled());
        CString caption;
        progress.GetWindowText(caption);
        EXPECT_EQ(std::wstring(caption), L"Progress...");
        CString percent;
        progress.GetDlgItemText(IDC_PROGRESS_PERCENT, percent);
        EXPECT_EQ(std::wstring(percent), L" 0 %");

        progress.SetStatus(L"Reading the snapshot...");
        progress.SetPos(100);
        progress.GetDlgItemText(IDC_PROGRESS_PERCENT, percent);
        EXPECT_EQ(std::wstring(percent), L"100%");
        progress.SetPos(45);
        EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(progress.GetSafeHwnd(), L"app_progress"));

        HANDLE worker = ::CreateThread(NULL, 0, SendPosition, progress.GetSafeHwnd(), 0, NULL);
        ASSERT_NE(worker, nullptr);
        while (::MsgWaitForMultipleObjects(1, &worker, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
            PumpMessages(0);
        ::CloseHandle(worker);
        progress.GetDlgItemText(IDC_PROGRESS_PERCENT, percent);
        EXPECT_EQ(std::wstring(percent), L"60%");
        EXPECT_EQ(::SendDlgItemMessageW(progress.GetSafeHwnd(), IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 60);

        progress.DestroyWindow();
        EXPECT_TRUE(owner.IsWindowEnabled());
        // Destroyed a second time (its destructor does it too), it leaves the owner as it finds it.
        owner.EnableWindow(FALSE);
        progress.DestroyWindow();
        EXPECT_FALSE(owner.IsWindowEnabled());
    }
    EXPECT_FALSE(owner.IsWindowEnabled());
    owner.EnableWindow(TRUE);
    owner.DestroyWindow();
}

TEST(CommandLineSnapshot, TheWholeLineIsThePathInLowerCaseWithoutQuotes)
{
    struct Case
    {
        const wchar_t* line;
        const wchar_t* path;
    };
    const Case cases[] = {
        {L"", L""},
        {L"\"C:\\Scans\\Disk One.VQDX\"", L"c:\\scans\\disk one.vqdx"},
        {L"C:\\a.vqdx", L"c:\\a.vqdx"},
        {L"\"C:\\a.vqdx\" \"D:\\b.vqdx\"", L"c:\\a.vqdx d:\\b.vqdx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.line)));
        EXPECT_EQ(CommandLineToSnapshotPath(c.line), c.path);
    }
}

TEST(CommandLineSnapshot, TheFirstCharacterNamesTheScanMode)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"app_test_mode.vqdx";
    struct Case
    {
        const char* name;
        std::string bytes;
        SnapshotLetter letter;
        std::uint32_t kind;
    };
    const Case cases[] = {
        {"quick", std::string("D\0rest", 6), SnapshotLetter::Known, kScanQuick},
        {"extensive", std::string("A\0", 2), SnapshotLetter::Known, kScanExtensive},
        {"file trace", std::string("R\0", 2), SnapshotLetter::Known, kScanFileTrace},
        {"lower case letter", std::string("d\0", 2), SnapshotLetter::Unknown, 99},
        {"letter with a high byte", std::string("D\x01", 2), SnapshotLetter::Unknown, 99},
        {"one byte only", std::string("D", 1), SnapshotLetter::Unknown, 99},
        {"empty file", std::string(), SnapshotLetter::Unknown, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << c.bytes;
        std::uint32_t kind = 99;
        EXPECT_EQ(ReadSnapshotModeLetter(path.c_str(), kind), c.letter);
        EXPECT_EQ(kind, c.kind);
    }
    // A read-only document opens: the program never writes it.
    std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << std::string("R\0", 2);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    std::uint32_t kind = 99;
    EXPECT_EQ(ReadSnapshotModeLetter(path.c_str(), kind), SnapshotLetter::Known);
    EXPECT_EQ(kind, kScanFileTrace);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
    EXPECT_EQ(ReadSnapshotModeLetter(path.c_str(), kind), SnapshotLetter::Unreadable);
}

} // namespace
