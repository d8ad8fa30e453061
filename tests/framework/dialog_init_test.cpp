// Dialog initialisation data (the example script of res/ and damaged copies, compiled by windres),
// the colour dialog answered while it runs, and the rich edit 1.0 loader.
#include <afxdlgs.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sheet_test_ids.h"
#include "test_app.h"

namespace {

// The strings of a combo box (CB_GETCOUNT, CB_GETLBTEXT) or a list box (LB_GETCOUNT, LB_GETTEXT).
std::vector<CString> Entries(CWnd& dialog, int nID, UINT nGetCount, UINT nGetText)
{
    std::vector<CString> entries;
    HWND hWnd = ::GetDlgItem(dialog.m_hWnd, nID);
    const int nCount = static_cast<int>(::SendMessage(hWnd, nGetCount, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        wchar_t text[64] = {};
        ::SendMessage(hWnd, nGetText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::vector<CString> ComboEntries(CWnd& dialog, int nID)
{
    return Entries(dialog, nID, CB_GETCOUNT, CB_GETLBTEXT);
}

std::vector<CString> ListEntries(CWnd& dialog, int nID)
{
    return Entries(dialog, nID, LB_GETCOUNT, LB_GETTEXT);
}

class CInitDialog : public CDialog
{
public:
    explicit CInitDialog(UINT nIDTemplate) : CDialog(nIDTemplate) {}
    // What the program's own initialisation sees after the framework's.
    int m_nComboCountInInit = -1;
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_nComboCountInInit = static_cast<int>(SendDlgItemMessage(IDC_DLGINIT_EXAMPLE_COMBO, CB_GETCOUNT));
        return TRUE;
    }
};

TEST(DialogInitData, TheExampleFillsTheCombosAndListsInOrderBeforeTheProgramsInitialisation)
{
    CInitDialog dialog(IDD_DLGINIT_EXAMPLE);
    ASSERT_TRUE(dialog.Create(IDD_DLGINIT_EXAMPLE));
    EXPECT_EQ(dialog.m_nComboCountInInit, 10);
    const std::vector<CString> combo = ComboEntries(dialog, IDC_DLGINIT_EXAMPLE_COMBO);
    ASSERT_EQ(combo.size(), 10u);
    for (size_t i = 0; i < combo.size(); ++i) {
        CString expected;
        expected.Format(L"%d", static_cast<int>(i + 1));
        EXPECT_EQ(combo[i], expected);
    }
    EXPECT_EQ(ListEntries(dialog, IDC_DLGINIT_EXAMPLE_LIST), std::vector<CString>({L"1 MB", L"25 MB"}));
    dialog.DestroyWindow();
}

TEST(DialogInitData, DamagedResourcesFillTheEntriesBeforeTheDamageAndTheDialogStillOpens)
{
    {
        CInitDialog truncated(IDD_DLGINIT_TRUNCATED);
        ASSERT_TRUE(truncated.Create(IDD_DLGINIT_TRUNCATED));
        EXPECT_TRUE(::IsWindow(truncated.m_hWnd));
        EXPECT_EQ(ComboEntries(truncated, IDC_DLGINIT_EXAMPLE_COMBO), std::vector<CString>({L"1", L"2"}));
        EXPECT_FALSE(truncated.ExecuteDlgInit(MAKEINTRESOURCE(IDD_DLGINIT_TRUNCATED)));
        truncated.DestroyWindow();
    }
    {
        CInitDialog unknown(IDD_DLGINIT_UNKNOWN);
        ASSERT_TRUE(unknown.Create(IDD_DLGINIT_UNKNOWN));
        EXPECT_EQ(ListEntries(unknown, IDC_DLGINIT_EXAMPLE_LIST), std::vector<CString>({L"first"}));
        unknown.DestroyWindow();
    }
    // A template without data has nothing to add and nothing wrong.
    CDialog plain;
    ASSERT_TRUE(plain.Create(IDD_DLGINIT_EXAMPLE));
    EXPECT_TRUE(plain.ExecuteDlgInit(MAKEINTRESOURCE(IDD_PAGE_SECOND)));
    EXPECT_EQ(plain.SendDlgItemMessage(IDC_DLGINIT_EXAMPLE_COMBO, CB_GETCOUNT), 10);
    plain.DestroyWindow();
}

// Blocks of data built byte by byte, read with their exact size.
class DataBuilder
{
public:
    DataBuilder& Entry(WORD nIDC, WORD nMsg, const char* pszText, DWORD nLength)
    {
        Word(nIDC);
        Word(nMsg);
        const BYTE* p = reinterpret_cast<const BYTE*>(&nLength);
        m_bytes.insert(m_bytes.end(), p, p + sizeof(nLength));
        m_bytes.insert(m_bytes.end(), pszText, pszText + std::min<size_t>(nLength, std::strlen(pszText) + 1));
        return *this;
    }
    DataBuilder& Word(WORD w)
    {
        m_bytes.push_back(LOBYTE(w));
        m_bytes.push_back(HIBYTE(w));
        return *this;
    }
    DataBuilder& Cut(size_t nBytes)
    {
        m_bytes.resize(m_bytes.size() - nBytes);
        return *this;
    }
    std::vector<BYTE> m_bytes;
};

TEST(DialogInitData, ParsingStopsAtTheFirstDamagedEntryWithoutReadingPastTheData)
{
    const WORD kCombo = IDC_DLGINIT_EXAMPLE_COMBO;
    const WORD kList = IDC_DLGINIT_EXAMPLE_LIST;
    const struct
    {
        const char* name;
        DataBuilder data;
        BOOL bExpected;
        std::vector<CString> combo;
        std::vector<CString> list;
    } cases[] = {
        {"complete, control data skipped",
         DataBuilder()
             .Entry(kCombo, 0x403, "a", 2)
             .Entry(kCombo, 0x1234, "xyz", 4)
             .Entry(kList, 0x401, "b", 2)
             .Word(0),
         TRUE,
         {L"a"},
         {L"b"}},
        {"text without its zero", DataBuilder().Entry(kCombo, 0x403, "abc", 2).Word(0), TRUE, {L"ab"}, {}},
        {"length past the end",
         DataBuilder().Entry(kCombo, 0x403, "a", 2).Entry(kCombo, 0x403, "b", 0x7FFFFFFF),
         FALSE,
         {L"a"},
         {}},
        {"unknown message",
         DataBuilder().Entry(kList, 0x401, "a", 2).Entry(kList, 0x0180, "b", 2).Word(0),
         FALSE,
         {},
         {L"a"}},
        {"header cut short",
         DataBuilder().Entry(kCombo, 0x403, "a", 2).Word(kCombo).Word(0x403),
         FALSE,
         {L"a"},
         {}},
        {"no terminating zero", DataBuilder().Entry(kCombo, 0x403, "a", 2), FALSE, {L"a"}, {}},
        {"empty", DataBuilder(), FALSE, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDialog dialog;
        ASSERT_TRUE(dialog.Create(IDD_DLGINIT_TRUNCATED));
        dialog.SendDlgItemMessage(kCombo, CB_RESETCONTENT);
        // A copy on the heap of exactly the block's size, so that a read past it is caught.
        std::vector<BYTE> block(c.data.m_bytes);
        EXPECT_EQ(AfxExecuteDlgInit(dialog.m_hWnd, block.data(), block.size()), c.bExpected);
        EXPECT_EQ(ComboEntries(dialog, kCombo), c.combo);
        EXPECT_EQ(ListEntries(dialog, kList), c.list);
        dialog.DestroyWindow();
    }
}

// The colour dialog, answered from a timer while the system's loop runs.
struct ColorRun
{
    CColorDialog* pDialog = NULL;
    COLORREF clrSet = CLR_INVALID;
    int nTicks = 0;
};
ColorRun g_color;

void CALLBACK AnswerColorTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_color.nTicks;
    HWND hWnd = g_color.pDialog->m_hWnd;
    if (hWnd != NULL && ::IsWindowVisible(hWnd)) {
        if (g_color.clrSet != CLR_INVALID)
            g_color.pDialog->SetCurrentColor(g_color.clrSet);
        ::PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                      reinterpret_cast<LPARAM>(::GetDlgItem(hWnd, IDOK)));
    } else if (g_color.nTicks > 200) {
        ::PostQuitMessage(0); // a dialog that never showed up ends the run all the same
    }
}

TEST(ColorDialog, OkReturnsTheInitialColourOrTheOneSetWhileItRuns)
{
    const struct
    {
        const char* name;
        COLORREF clrSet;
        COLORREF clrExpected;
    } cases[] = {{"initial", CLR_INVALID, RGB(12, 34, 56)},
                 {"set while running", RGB(200, 100, 50), RGB(200, 100, 50)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CColorDialog dialog(RGB(12, 34, 56), CC_FULLOPEN);
        EXPECT_EQ(dialog.m_cc.lpCustColors, CColorDialog::GetSavedCustomColors());
        g_color = ColorRun();
        g_color.pDialog = &dialog;
        g_color.clrSet = c.clrSet;
        const UINT_PTR nTimer = ::SetTimer(NULL, 0, 50, AnswerColorTimerProc);
        const INT_PTR nResult = dialog.DoModal();
        ::KillTimer(NULL, nTimer);
        DrainMessages();
        EXPECT_EQ(nResult, IDOK);
        EXPECT_EQ(dialog.GetColor(), c.clrExpected);
        EXPECT_EQ(dialog.m_hWnd, nullptr);
    }
}

TEST(RichEdit, TheVersionOneLibraryLoadsOnceAndItsWindowsCanBeMade)
{
    EXPECT_TRUE(AfxInitRichEdit());
    HMODULE hModule = ::GetModuleHandleW(L"riched32.dll");
    EXPECT_NE(hModule, nullptr);
    EXPECT_TRUE(AfxInitRichEdit());
    EXPECT_EQ(::GetModuleHandleW(L"riched32.dll"), hModule);

    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, NULL, L"parent", WS_POPUP, 0, 0, 200, 100, NULL, NULL));
    HWND hEdit =
        ::CreateWindowExW(0, L"RICHEDIT", L"rich text", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 150, 60,
                          parent.m_hWnd, reinterpret_cast<HMENU>(IDC_RICH_TEXT), NULL, NULL);
    ASSERT_NE(hEdit, nullptr);
    wchar_t text[32] = {};
    ::GetWindowTextW(hEdit, text, _countof(text));
    EXPECT_STREQ(text, L"rich text");
    parent.DestroyWindow();
}

} // namespace
