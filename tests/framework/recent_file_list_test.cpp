// The recent-file list: its order, its display names, its profile section read back raw, and its
// menu items and commands in a frame's File menu.
#include <afxadv.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell_test_ids.h"
#include "shell_test_support.h"
#include "support/screenshot.h"
#include "test_app.h"

namespace {

const wchar_t kSection[] = L"Recent File List";

std::vector<std::wstring> Entries(CRecentFileList& list)
{
    std::vector<std::wstring> entries;
    for (int i = 0; i < list.GetSize(); ++i)
        entries.emplace_back(list[i].GetString());
    return entries;
}

class RecentFileListTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        delete theApp.m_pRecentFileList;
        theApp.m_pRecentFileList = NULL;
    }
    ScopedTestProfile m_profile{L"CorvaneFrameworkRecentFileTest"};
};

TEST_F(RecentFileListTest, FourOfFiveStoredEntriesAreReadAddsReorderAndExitWritesExactlyFour)
{
    // Five entries stored by an earlier run with a longer list.
    const CString sectionKey = m_profile.SectionKey(kSection);
    HKEY hKey = NULL;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, sectionKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey, NULL),
              ERROR_SUCCESS);
    for (int i = 1; i <= 5; ++i) {
        CString name, value;
        name.Format(L"File%d", i);
        value.Format(L"C:\\Docs\\File %d.tdoc", i);
        const std::vector<BYTE> bytes = StringBytes(value.GetString());
        ::RegSetValueExW(hKey, name, 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    ::RegCloseKey(hKey);

    theApp.LoadStdProfileSettings();
    CRecentFileList& list = *theApp.m_pRecentFileList;
    ASSERT_EQ(list.GetSize(), 4);
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"C:\\Docs\\File 1.tdoc", L"C:\\Docs\\File 2.tdoc",
                                                        L"C:\\Docs\\File 3.tdoc", L"C:\\Docs\\File 4.tdoc"}));

    // The same file in other letters moves to the top in its new spelling; a new file pushes the
    // oldest out; a relative name is kept as its full path.
    theApp.AddToRecentFileList(L"c:\\docs\\FILE 3.TDOC");
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"c:\\docs\\FILE 3.TDOC", L"C:\\Docs\\File 1.tdoc",
                                                        L"C:\\Docs\\File 2.tdoc", L"C:\\Docs\\File 4.tdoc"}));
    theApp.AddToRecentFileList(L"C:\\Other\\new.tdoc");
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"C:\\Other\\new.tdoc", L"c:\\docs\\FILE 3.TDOC",
                                                        L"C:\\Docs\\File 1.tdoc", L"C:\\Docs\\File 2.tdoc"}));
    list.Remove(1);
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"C:\\Other\\new.tdoc", L"C:\\Docs\\File 1.tdoc",
                                                        L"C:\\Docs\\File 2.tdoc", L""}));
    wchar_t szCurDir[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, szCurDir);
    theApp.AddToRecentFileList(L"relative.tdoc");
    CString expectedFull = szCurDir;
    if (expectedFull.Right(1) != L"\\")
        expectedFull += L"\\";
    EXPECT_EQ(list[0], expectedFull + L"relative.tdoc");
    EXPECT_EQ(list[4], L""); // past the end
    EXPECT_EQ(list[-1], L"");

    // Exit writes the section afresh: File1..File4 and nothing else.
    theApp.ExitInstance();
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, sectionKey),
              (std::vector<std::wstring>{L"File1", L"File2", L"File3", L"File4"}));
    const std::vector<std::wstring> expected = {expectedFull.GetString() + std::wstring(L"relative.tdoc"),
                                                L"C:\\Other\\new.tdoc", L"C:\\Docs\\File 1.tdoc",
                                                L"C:\\Docs\\File 2.tdoc"};
    for (int i = 0; i < 4; ++i) {
        CString name;
        name.Format(L"File%d", i + 1);
        const RawRegistryValue value = ReadRawValue(HKEY_CURRENT_USER, sectionKey, name);
        EXPECT_EQ(value.dwType, static_cast<DWORD>(REG_SZ)) << i;
        EXPECT_EQ(value.data, StringBytes(expected[static_cast<size_t>(i)])) << i;
    }

    // Removed entries leave the section too.
    list.Remove(0);
    list.Remove(0);
    theApp.SaveStdProfileSettings();
    EXPECT_EQ(RegistryValueNames(HKEY_CURRENT_USER, sectionKey),
              (std::vector<std::wstring>{L"File1", L"File2"}));
}

TEST(RecentFileDisplayName, TheBareNameInTheCurrentFolderElseThePathShortenedToTheLength)
{
    struct Case
    {
        const wchar_t* path;
        const wchar_t* curDir;
        int nMaxLength;
        BOOL bAtLeastName;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\Docs\\a.tdoc", L"C:\\Docs\\", 30, TRUE, L"a.tdoc"},
        {L"c:\\DOCS\\a.tdoc", L"C:\\Docs", 30, TRUE, L"a.tdoc"},
        {L"C:\\Docs\\sub\\a.tdoc", L"C:\\Docs\\", 30, TRUE, L"C:\\Docs\\sub\\a.tdoc"},
        {L"C:\\Docsx\\a.tdoc", L"C:\\Docs\\", 30, TRUE, L"C:\\Docsx\\a.tdoc"},
        {L"C:\\one\\two\\three\\four\\name.tdoc", L"D:\\", 30, TRUE, L"C:\\...\\three\\four\\name.tdoc"},
        {L"C:\\one\\two\\three\\four\\name.tdoc", L"", 31, TRUE, L"C:\\one\\two\\three\\four\\name.tdoc"},
        {L"C:\\one\\two\\three\\four\\name.tdoc", L"", 16, TRUE, L"C:\\...\\name.tdoc"},
        {L"\\\\server\\share\\folder\\deeper\\file.tdoc", L"", 30, TRUE,
         L"\\\\server\\share\\...\\file.tdoc"},
        {L"C:\\folder\\a name of twenty-seven c.tdoc", L"", 30, TRUE, L"a name of twenty-seven c.tdoc"},
        {L"C:\\a\\a file name much longer than thirty.tdoc", L"", 30, TRUE,
         L"a file name much longer than thirty.tdoc"},
        {L"C:\\a\\a file name much longer than thirty.tdoc", L"", 30, FALSE, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << " max " << c.nMaxLength);
        CRecentFileList list(ID_FILE_MRU_FILE1, kSection, L"File%d", 4, c.nMaxLength);
        list[0] = c.path;
        CString name;
        EXPECT_TRUE(
            list.GetDisplayName(name, 0, c.curDir, static_cast<int>(wcslen(c.curDir)), c.bAtLeastName));
        EXPECT_EQ(name, c.expected);
    }
    CRecentFileList list(ID_FILE_MRU_FILE1, kSection, L"File%d", 4);
    CString name = L"unchanged";
    EXPECT_FALSE(list.GetDisplayName(name, 0, L"C:\\", 3));
    EXPECT_FALSE(list.GetDisplayName(name, 7, L"C:\\", 3));
    EXPECT_EQ(name, L"unchanged");
}

std::vector<std::wstring> MenuTexts(CMenu* pMenu)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < static_cast<int>(pMenu->GetMenuItemCount()); ++i) {
        CString text;
        pMenu->GetMenuString(static_cast<UINT>(i), text, MF_BYPOSITION);
        const UINT nState = pMenu->GetMenuState(static_cast<UINT>(i), MF_BYPOSITION);
        CString item;
        const UINT nID = pMenu->GetMenuItemID(i);
        const bool bRecent = nID >= ID_FILE_MRU_FILE1 && nID <= ID_FILE_MRU_FILE16;
        item.Format(L"%u:%s%s", nID, text.GetString(),
                    (bRecent && (nState & MF_GRAYED)) ? L" (grayed)" : L"");
        texts.emplace_back(item.GetString());
    }
    return texts;
}

UINT_PTR g_nMenuShotTimer = 0;

// Takes the picture of the open popup menu, then closes it.
VOID CALLBACK ShootMenu(HWND, UINT, UINT_PTR, DWORD)
{
    ::KillTimer(NULL, g_nMenuShotTimer);
    if (HWND hPopup = ::FindWindowW(L"#32768", NULL))
        test_support::WriteWindowScreenshot(hPopup, L"recent_file_menu");
    ::EndMenu();
}

TEST_F(RecentFileListTest, TheFileMenuListsTheFilesAndItsCommandsOpenThemOrDropThoseThatFail)
{
    theApp.m_messageBoxes.clear();
    theApp.LoadStdProfileSettings();
    CRecentFileList& list = *theApp.m_pRecentFileList;
    const CString first = WriteShellDocument(L"first & best.tdoc", L"first");
    const CString second = WriteShellDocument(L"second.tdoc", L"second");
    theApp.AddDocTemplate(NewShellTemplate());
    ASSERT_TRUE(theApp.OpenDocumentFile(second) != NULL);
    CFrameWnd* pFrame = static_cast<CFrameWnd*>(theApp.m_pMainWnd);
    ASSERT_NE(pFrame, nullptr);
    CMenu* pFile = CMenu::FromHandle(::GetSubMenu(::GetMenu(pFrame->m_hWnd), 0));

    // Opening put the file on the list. The files' folder is not the current one, so names are
    // shortened paths; the ampersand is shown as it is.
    EXPECT_EQ(list[0], second);
    list.Add(first);
    const CString missing = second.Left(second.ReverseFind(L'\\') + 1) + L"missing.tdoc";
    list.Add(missing);
    pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pFile->m_hMenu), 0);
    CString name[3];
    for (int i = 0; i < 3; ++i)
        list.GetDisplayName(name[i], i, L"", 0);
    name[1].Replace(L"&", L"&&");
    const auto item = [](UINT nID, const CString& text) {
        CString entry;
        entry.Format(L"%u:%s", nID, text.GetString());
        return std::wstring(entry.GetString());
    };
    const std::vector<std::wstring> listed = {L"57600:&New",
                                              L"57601:&Open...",
                                              L"0:",
                                              item(ID_FILE_MRU_FILE1, L"&1 " + name[0]),
                                              item(ID_FILE_MRU_FILE2, L"&2 " + name[1]),
                                              item(ID_FILE_MRU_FILE3, L"&3 " + name[2]),
                                              L"0:",
                                              L"57665:E&xit"};
    EXPECT_EQ(MenuTexts(pFile), listed);
    // Opened again, the menu lists each file once.
    pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pFile->m_hMenu), 0);
    EXPECT_EQ(MenuTexts(pFile), listed);

    // The menu as the user sees it.
    g_nMenuShotTimer = ::SetTimer(NULL, 0, 300, ShootMenu);
    CRect rect;
    pFrame->GetWindowRect(&rect);
    ::TrackPopupMenu(pFile->m_hMenu, TPM_RETURNCMD | TPM_NONOTIFY, rect.left + 20, rect.top + 40, 0,
                     pFrame->m_hWnd, NULL);
    ::KillTimer(NULL, g_nMenuShotTimer);

    // The missing file fails to open and leaves the list; an existing one opens and goes to the top.
    pFrame->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1);
    EXPECT_EQ(theApp.m_messageBoxes, (std::vector<std::wstring>{L"Failed to open document."}));
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{first.GetString(), second.GetString(), L"", L""}));
    pFrame->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE2);
    EXPECT_EQ(pFrame->GetActiveDocument()->GetPathName(), second);
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{second.GetString(), first.GetString(), L"", L""}));

    // An empty list shows the menu's own item, disabled.
    list.Remove(0);
    list.Remove(0);
    pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pFile->m_hMenu), 0);
    EXPECT_EQ(MenuTexts(pFile),
              (std::vector<std::wstring>{L"57600:&New", L"57601:&Open...", L"0:",
                                         L"57616:Recent File (grayed)", L"0:", L"57665:E&xit"}));

    pFrame->DestroyWindow();
    theApp.m_pMainWnd = NULL;
    delete theApp.m_pDocManager;
    theApp.m_pDocManager = NULL;
    DrainMessages();
    ::DeleteFileW(first);
    ::DeleteFileW(second);
}

} // namespace
