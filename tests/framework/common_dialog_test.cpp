// The file dialog and the folder browser, driven by a timer that presses their buttons.
#include <afxdlgs.h>

#include <gtest/gtest.h>

#include "test_app.h"

namespace {

// The button the timer presses in the first visible dialog of this thread.
int g_nButtonToPress = IDCANCEL;
int g_nTicks = 0;

BOOL CALLBACK PressInDialog(HWND hWnd, LPARAM lParam)
{
    wchar_t className[16] = {};
    ::GetClassName(hWnd, className, 16);
    if (::lstrcmp(className, L"#32770") != 0 || !::IsWindowVisible(hWnd))
        return TRUE;
    ::PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(g_nButtonToPress, BN_CLICKED),
                  reinterpret_cast<LPARAM>(::GetDlgItem(hWnd, g_nButtonToPress)));
    *reinterpret_cast<bool*>(lParam) = true;
    return FALSE;
}

void CALLBACK PressTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_nTicks;
    bool bPressed = false;
    ::EnumThreadWindows(::GetCurrentThreadId(), PressInDialog, reinterpret_cast<LPARAM>(&bPressed));
    // A dialog that never shows up still ends the run: the last resort closes whatever is there.
    if (!bPressed && g_nTicks > 200)
        ::PostQuitMessage(0);
}

class AutoPress
{
public:
    explicit AutoPress(int nButton)
    {
        g_nButtonToPress = nButton;
        g_nTicks = 0;
        m_nTimer = ::SetTimer(NULL, 0, 100, PressTimerProc);
    }
    ~AutoPress()
    {
        ::KillTimer(NULL, m_nTimer);
        DrainMessages();
    }

private:
    UINT_PTR m_nTimer;
};

TEST(FileDialog, FilterAndNamesAreSetUpAndCancelGivesIdCancel)
{
    CFileDialog dialog(TRUE, L"vqdx", L"snapshot.vqdx", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       L"Snapshots (*.vqdx)|*.vqdx|All files (*.*)|*.*||");
    // '|' became terminators, with the double terminator at the end.
    const wchar_t expectedFilter[] = L"Snapshots (*.vqdx)\0*.vqdx\0All files (*.*)\0*.*\0\0";
    EXPECT_EQ(std::wmemcmp(dialog.m_ofn.lpstrFilter, expectedFilter, _countof(expectedFilter)), 0);
    EXPECT_STREQ(dialog.m_ofn.lpstrFile, L"snapshot.vqdx");
    EXPECT_STREQ(dialog.m_ofn.lpstrDefExt, L"vqdx");

    AutoPress press(IDCANCEL);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(FileDialog, OkReturnsThePathWithItsParts)
{
    wchar_t systemFolder[MAX_PATH] = {};
    ::GetWindowsDirectory(systemFolder, MAX_PATH);
    CString existing(systemFolder);
    existing += L"\\win.ini";
    CFileDialog dialog(TRUE, NULL, existing, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, L"All files (*.*)|*.*||");
    AutoPress press(IDOK);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName().CompareNoCase(existing), 0);
    EXPECT_EQ(dialog.GetFileName().CompareNoCase(L"win.ini"), 0);
    EXPECT_EQ(dialog.GetFileExt().CompareNoCase(L"ini"), 0);
    EXPECT_EQ(dialog.GetFileTitle().CompareNoCase(L"win"), 0);
    EXPECT_EQ(dialog.GetFolderPath().CompareNoCase(systemFolder), 0);
}

TEST(FolderBrowser, ReturnsTheChosenFolderOrNothingWhenCancelled)
{
    wchar_t windowsFolder[MAX_PATH] = {};
    ::GetWindowsDirectory(windowsFolder, MAX_PATH);
    CString folder(L"unchanged");
    {
        AutoPress press(IDCANCEL);
        EXPECT_FALSE(AfxBrowseForFolder(NULL, L"Please select the path to save the data", folder,
                                        BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, windowsFolder));
    }
    EXPECT_EQ(folder, L"unchanged");
    {
        AutoPress press(IDOK);
        EXPECT_TRUE(AfxBrowseForFolder(NULL, L"Please select the path to save the data", folder,
                                       BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, windowsFolder));
    }
    EXPECT_EQ(folder.CompareNoCase(windowsFolder), 0);
}

} // namespace
