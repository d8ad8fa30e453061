// Dialogs: modal runs driven by messages posted before DoModal (on the main thread and on a
// worker thread), templates in memory, the owner disabled while modal, and data exchange.
#include <afxwin.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_app.h"
#include "window_test_ids.h"

namespace {

// A dialog that a stuck modal loop cannot outlive: the safety timer ends it with this result.
const INT_PTR kStuckResult = -99;
CDialog* g_pGuardedDialog = NULL;

void CALLBACK SafetyTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pGuardedDialog != NULL && g_pGuardedDialog->m_hWnd != NULL)
        g_pGuardedDialog->EndDialog(static_cast<int>(kStuckResult));
}

// Runs DoModal under the safety timer.
INT_PTR GuardedDoModal(CDialog& dialog)
{
    g_pGuardedDialog = &dialog;
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 10000, SafetyTimerProc);
    const INT_PTR nResult = dialog.DoModal();
    ::KillTimer(NULL, nTimer);
    g_pGuardedDialog = NULL;
    return nResult;
}

class CPressDialog : public CDialog
{
public:
    explicit CPressDialog(CWnd* pParent = NULL) : CDialog(IDD_TEST_PRESS, pParent) {}
    BOOL m_bInitialised = FALSE;
    int m_nEndInInit = 0;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_bInitialised = TRUE;
        if (m_nEndInInit != 0)
            EndDialog(m_nEndInInit);
        return TRUE;
    }

protected:
    afx_msg void OnOther() { EndDialog(IDC_OTHER); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CPressDialog, CDialog)
    ON_BN_CLICKED(IDC_OTHER, OnOther)
END_MESSAGE_MAP()
// clang-format on

void PressButton(CDialog& dialog, int nID)
{
    HWND hButton = ::GetDlgItem(dialog.m_hWnd, nID);
    ASSERT_NE(hButton, nullptr);
    ::SendMessage(hButton, BM_CLICK, 0, 0);
}

TEST(ModalDialog, MessagesPostedBeforeDoModalPressAButtonWhileTheOwnerIsDisabled)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, NULL, L"owner", WS_POPUP, 0, 0, 300, 200, NULL, NULL));
    ShowWithoutActivating(owner);
    const struct
    {
        const char* name;
        int nButton;
        INT_PTR nExpected;
    } cases[] = {{"ok", IDOK, IDOK}, {"cancel", IDCANCEL, IDCANCEL}, {"other", IDC_OTHER, IDC_OTHER}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPressDialog dialog(&owner);
        BOOL bOwnerEnabledWhileModal = TRUE;
        std::function<void()> press = [&] {
            bOwnerEnabledWhileModal = owner.IsWindowEnabled();
            PressButton(dialog, c.nButton);
        };
        // The application's thread-message handler runs it from inside the modal loop.
        ::PostThreadMessage(::GetCurrentThreadId(), WM_TEST_RUN_TASK, 0, reinterpret_cast<LPARAM>(&press));
        EXPECT_EQ(GuardedDoModal(dialog), c.nExpected);
        EXPECT_TRUE(dialog.m_bInitialised);
        EXPECT_FALSE(bOwnerEnabledWhileModal);
        EXPECT_TRUE(owner.IsWindowEnabled());
        EXPECT_EQ(dialog.m_hWnd, nullptr);
    }
    owner.DestroyWindow();
    DrainMessages();
}

TEST(ModalDialog, EndDialogDuringInitialisationEndsItBeforeTheLoop)
{
    CPressDialog dialog;
    dialog.m_nEndInInit = 1234;
    EXPECT_EQ(GuardedDoModal(dialog), 1234);
}

// Nothing presses a button in this dialog; a short guard stands in for the safety timer.
class CStuckDialog : public CPressDialog
{
public:
    BOOL OnInitDialog() override
    {
        CPressDialog::OnInitDialog();
        SetTimer(1, 50, NULL);
        return TRUE;
    }

protected:
    afx_msg void OnTimer(UINT_PTR) { SafetyTimerProc(NULL, 0, 0, 0); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CStuckDialog, CPressDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()
// clang-format on

TEST(ModalDialog, AStuckDialogIsEndedByTheSafetyTimer)
{
    CStuckDialog dialog;
    g_pGuardedDialog = &dialog;
    EXPECT_EQ(dialog.DoModal(), kStuckResult);
    g_pGuardedDialog = NULL;
}

// The modal run on a worker thread: a user-interface thread whose InitInstance runs the dialog.
struct WorkerRun
{
    HWND hOwner = NULL;
    int nButton = IDC_OTHER;
    INT_PTR nResult = 0;
    BOOL bOwnerEnabledWhileModal = TRUE;
    BOOL bOwnerEnabledAfter = FALSE;
    DWORD dwDialogThread = 0;
};
WorkerRun g_worker;

class CDialogThread : public CWinThread
{
    DECLARE_DYNCREATE(CDialogThread)
public:
    BOOL InitInstance() override
    {
        CPressDialog dialog(CWnd::FromHandle(g_worker.hOwner));
        m_pDialog = &dialog;
        ::PostThreadMessage(::GetCurrentThreadId(), WM_TEST_RUN_TASK, static_cast<WPARAM>(g_worker.nButton),
                            0);
        g_worker.nResult = GuardedDoModal(dialog);
        g_worker.bOwnerEnabledAfter = ::IsWindowEnabled(g_worker.hOwner);
        m_pDialog = NULL;
        return FALSE; // the thread ends after the dialog
    }

protected:
    afx_msg void OnPress(WPARAM wParam, LPARAM)
    {
        g_worker.bOwnerEnabledWhileModal = ::IsWindowEnabled(g_worker.hOwner);
        g_worker.dwDialogThread = ::GetWindowThreadProcessId(m_pDialog->m_hWnd, NULL);
        PressButton(*m_pDialog, static_cast<int>(wParam));
    }
    CPressDialog* m_pDialog = NULL;
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CDialogThread, CWinThread)

// clang-format off
BEGIN_MESSAGE_MAP(CDialogThread, CWinThread)
    ON_THREAD_MESSAGE(WM_TEST_RUN_TASK, OnPress)
END_MESSAGE_MAP()
// clang-format on

TEST(ModalDialog, RunsOnAWorkerThreadWithAnOwnerOnTheMainThread)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, NULL, L"owner", WS_POPUP, 0, 0, 300, 200, NULL, NULL));
    ShowWithoutActivating(owner);
    g_worker = WorkerRun();
    g_worker.hOwner = owner.m_hWnd;
    g_worker.nButton = IDC_OTHER;

    CWinThread* pThread =
        AfxBeginThread(RUNTIME_CLASS(CDialogThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(pThread, nullptr);
    pThread->m_bAutoDelete = FALSE;
    const DWORD dwWorkerId = pThread->m_nThreadID;
    pThread->ResumeThread();
    // The owner lives on this thread, so this thread keeps its messages moving while it waits.
    const bool bFinished = PumpUntilSignalled(pThread->m_hThread, 30000);
    EXPECT_TRUE(bFinished);
    if (bFinished)
        delete pThread;

    EXPECT_EQ(g_worker.nResult, IDC_OTHER);
    EXPECT_EQ(g_worker.dwDialogThread, dwWorkerId);
    EXPECT_FALSE(g_worker.bOwnerEnabledWhileModal);
    EXPECT_TRUE(g_worker.bOwnerEnabledAfter);
    owner.DestroyWindow();
    DrainMessages();
}

// A thread the framework knows nothing of: the modal loop pumps with the framework's fallback, and
// the dialog's keyboard handling still runs (the Enter key presses the default button).
CPressDialog* g_pRawThreadDialog = NULL;

void CALLBACK PressEnterTimerProc(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    ::KillTimer(NULL, nIDEvent);
    if (g_pRawThreadDialog != NULL && g_pRawThreadDialog->m_hWnd != NULL) {
        HWND hDefault = ::GetDlgItem(g_pRawThreadDialog->m_hWnd, IDOK);
        ::SetFocus(hDefault);
        ::PostMessage(hDefault, WM_KEYDOWN, VK_RETURN, 1);
    }
}

DWORD WINAPI RawDialogThread(LPVOID pParam)
{
    INT_PTR* pResult = static_cast<INT_PTR*>(pParam);
    CPressDialog dialog;
    g_pRawThreadDialog = &dialog;
    ::SetTimer(NULL, 0, 50, PressEnterTimerProc);
    *pResult = GuardedDoModal(dialog);
    g_pRawThreadDialog = NULL;
    return AfxGetThread() == NULL ? 0 : 1;
}

TEST(ModalDialog, RunsOnAThreadWithoutAThreadObject)
{
    INT_PTR nResult = 0;
    HANDLE hThread = ::CreateThread(NULL, 0, RawDialogThread, &nResult, 0, NULL);
    ASSERT_NE(hThread, nullptr);
    ASSERT_TRUE(PumpUntilSignalled(hThread, 30000));
    DWORD dwExit = 99;
    ::GetExitCodeThread(hThread, &dwExit);
    ::CloseHandle(hThread);
    EXPECT_EQ(dwExit, 0u); // the thread had no CWinThread
    EXPECT_EQ(nResult, IDOK);
}

// An in-memory template: a caption and buttons with ids 100 and 101.
class TemplateBuilder
{
public:
    explicit TemplateBuilder(DWORD dwStyle, LPCWSTR lpszTitle, WORD nItems)
    {
        DWord(dwStyle | DS_SETFONT);
        DWord(0);     // extended style
        Word(nItems); // item count
        Word(0);      // x
        Word(0);      // y
        Word(160);    // cx
        Word(60);     // cy
        Word(0);      // no menu
        Word(0);      // the dialog class
        String(lpszTitle);
        Word(8);
        String(L"MS Shell Dlg");
    }
    void Button(WORD nID, LPCWSTR lpszText, short x)
    {
        Align();
        DWord(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON);
        DWord(0);
        Word(static_cast<WORD>(x));
        Word(30);
        Word(40);
        Word(14);
        Word(nID);
        Word(0xFFFF);
        Word(0x0080); // the button class
        String(lpszText);
        Word(0); // no creation data
    }
    LPCDLGTEMPLATE Get() { return reinterpret_cast<LPCDLGTEMPLATE>(m_words.data()); }

private:
    void Word(WORD w) { m_words.push_back(w); }
    void DWord(DWORD dw)
    {
        Word(LOWORD(dw));
        Word(HIWORD(dw));
    }
    void String(LPCWSTR lpsz)
    {
        for (; *lpsz != 0; ++lpsz)
            Word(*lpsz);
        Word(0);
    }
    void Align()
    {
        if (m_words.size() % 2 != 0)
            Word(0);
    }
    std::vector<WORD> m_words;
};

class CIndirectDialog : public CDialog
{
protected:
    afx_msg void OnButton(UINT nID) { EndDialog(static_cast<int>(nID)); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CIndirectDialog, CDialog)
    ON_COMMAND_RANGE(100, 101, OnButton)
END_MESSAGE_MAP()
// clang-format on

TEST(IndirectDialog, ModalAndModelessFromATemplateInMemory)
{
    TemplateBuilder builder(WS_POPUP | WS_CAPTION | DS_MODALFRAME, L"In memory", 2);
    builder.Button(100, L"First", 10);
    builder.Button(101, L"Second", 60);

    CIndirectDialog modal;
    ASSERT_TRUE(modal.InitModalIndirect(builder.Get()));
    std::function<void()> press = [&] { PressButton(modal, 101); };
    ::PostThreadMessage(::GetCurrentThreadId(), WM_TEST_RUN_TASK, 0, reinterpret_cast<LPARAM>(&press));
    EXPECT_EQ(GuardedDoModal(modal), 101);

    CIndirectDialog modeless;
    ASSERT_TRUE(modeless.CreateIndirect(builder.Get()));
    CString title;
    modeless.GetWindowText(title);
    EXPECT_EQ(title, L"In memory");
    EXPECT_NE(modeless.GetDlgItem(100), nullptr);
    EXPECT_TRUE(modeless.DestroyWindow());
    EXPECT_EQ(modeless.m_hWnd, nullptr);
}

// Data exchange on the form template.
class CFormDialog : public CDialog
{
public:
    CFormDialog() : CDialog(IDD_TEST_FORM) {}
    CString m_text = L"initial";
    int m_number = 42;
    int m_check = 1;
    int m_radio = 1;
    CCheckListBox m_list;
    int m_nTextChanges = 0;
    int m_nCheckChanges = 0;

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_CHECKLIST, m_list);
        DDX_Text(pDX, IDC_EDIT_TEXT, m_text);
        DDX_Text(pDX, IDC_EDIT_NUMBER, m_number);
        DDX_Check(pDX, IDC_CHECK, m_check);
        DDX_Radio(pDX, IDC_RADIO1, m_radio);
    }

protected:
    afx_msg void OnTextChange() { ++m_nTextChanges; }
    afx_msg void OnCheckChange() { ++m_nCheckChanges; }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CFormDialog, CDialog)
    ON_EN_CHANGE(IDC_EDIT_TEXT, OnTextChange)
    ON_CLBN_CHKCHANGE(IDC_CHECKLIST, OnCheckChange)
END_MESSAGE_MAP()
// clang-format on

class DataExchange : public ::testing::Test
{
protected:
    void SetUp() override
    {
        theApp.m_messageBoxes.clear();
        ASSERT_TRUE(m_form.Create(IDD_TEST_FORM));
    }
    void TearDown() override
    {
        m_form.DestroyWindow();
        theApp.OnIdle(1);
    }
    CString ItemText(int nID)
    {
        CString text;
        m_form.GetDlgItemText(nID, text);
        return text;
    }
    CFormDialog m_form;
};

TEST_F(DataExchange, InitialisationShowsTheMembersWithoutNotifyingTheDialog)
{
    EXPECT_EQ(ItemText(IDC_EDIT_TEXT), L"initial");
    EXPECT_EQ(ItemText(IDC_EDIT_NUMBER), L"42");
    EXPECT_EQ(m_form.IsDlgButtonChecked(IDC_CHECK), 1u);
    EXPECT_EQ(m_form.GetCheckedRadioButton(IDC_RADIO1, IDC_RADIO3), IDC_RADIO2);
    EXPECT_EQ(m_form.m_nTextChanges, 0);
    EXPECT_EQ(m_form.m_list.m_hWnd, ::GetDlgItem(m_form.m_hWnd, IDC_CHECKLIST));
}

TEST_F(DataExchange, TextRoundTripsAndUpdateDataFalseShowsIt)
{
    const struct
    {
        const char* name;
        const wchar_t* text;
    } cases[] = {{"plain", L"hello"},
                 {"empty", L""},
                 {"non-ascii", L"\u00e9t\u00e9 \u65e5\u672c"},
                 {"spaces", L"  a b  "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_form.m_text = c.text;
        ASSERT_TRUE(m_form.UpdateData(FALSE));
        EXPECT_EQ(ItemText(IDC_EDIT_TEXT), c.text);
        m_form.m_text = L"overwritten";
        ASSERT_TRUE(m_form.UpdateData(TRUE));
        EXPECT_EQ(m_form.m_text, c.text);
    }
    EXPECT_EQ(m_form.m_nTextChanges, 0);

    // What the user types notifies the dialog and is read back.
    m_form.SetDlgItemText(IDC_EDIT_TEXT, L"typed");
    EXPECT_EQ(m_form.m_nTextChanges, 1);
    ASSERT_TRUE(m_form.UpdateData(TRUE));
    EXPECT_EQ(m_form.m_text, L"typed");
}

TEST_F(DataExchange, NumbersAreParsedStrictlyAndAWrongEntryFailsWithAMessage)
{
    const struct
    {
        const char* name;
        const wchar_t* text;
        bool bValid;
        int nExpected;
    } cases[] = {{"plain", L"17", true, 17},
                 {"blanks", L"  -5 ", true, -5},
                 {"trailing junk", L"12x", false, 0},
                 {"empty", L"", false, 0},
                 {"lone sign", L"-", false, 0},
                 {"overflow", L"99999999999", false, 0},
                 {"largest", L"2147483647", true, 2147483647}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        theApp.m_messageBoxes.clear();
        m_form.m_number = -1;
        m_form.SetDlgItemText(IDC_EDIT_NUMBER, c.text);
        EXPECT_EQ(m_form.UpdateData(TRUE), c.bValid ? TRUE : FALSE);
        if (c.bValid) {
            EXPECT_EQ(m_form.m_number, c.nExpected);
            EXPECT_TRUE(theApp.m_messageBoxes.empty());
        } else {
            EXPECT_EQ(m_form.m_number, -1);
            ASSERT_EQ(theApp.m_messageBoxes.size(), 1u);
            EXPECT_EQ(theApp.m_messageBoxes[0], L"Please enter an integer.");
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(m_form.m_hWnd, IDC_EDIT_NUMBER));
        }
    }
}

TEST_F(DataExchange, CheckBoxesAndRadioGroups)
{
    ::SendMessage(::GetDlgItem(m_form.m_hWnd, IDC_RADIO3), BM_CLICK, 0, 0);
    ::SendMessage(::GetDlgItem(m_form.m_hWnd, IDC_CHECK), BM_CLICK, 0, 0);
    ASSERT_TRUE(m_form.UpdateData(TRUE));
    EXPECT_EQ(m_form.m_radio, 2);
    EXPECT_EQ(m_form.m_check, 0);

    // -1 clears the group; the label after the group is not one of its buttons.
    m_form.m_radio = -1;
    m_form.m_check = 2;
    ASSERT_TRUE(m_form.UpdateData(FALSE));
    EXPECT_EQ(m_form.GetCheckedRadioButton(IDC_RADIO1, IDC_RADIO3), 0);
    ASSERT_TRUE(m_form.UpdateData(TRUE));
    EXPECT_EQ(m_form.m_radio, -1);
}

TEST_F(DataExchange, CheckListBoxKeepsChecksAndTheCallersItemData)
{
    CCheckListBox& list = m_form.m_list;
    list.AddString(L"first");
    list.AddString(L"second");
    list.InsertString(0, L"zero");
    ASSERT_EQ(list.GetCount(), 3);
    list.SetItemData(2, 0x1234);
    list.SetCheck(1, 1);
    EXPECT_EQ(list.GetItemData(2), 0x1234u);
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_EQ(list.GetCheck(2), 0);
    CString text;
    list.GetText(1, text);
    EXPECT_EQ(text, L"first");

    // A click on the box of item 2 checks it and tells the dialog.
    CRect rect;
    list.GetItemRect(2, &rect);
    const LPARAM point = MAKELPARAM(rect.left + 4, rect.top + rect.Height() / 2);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, point);
    list.SendMessage(WM_LBUTTONUP, 0, point);
    EXPECT_EQ(list.GetCheck(2), 1);
    EXPECT_EQ(m_form.m_nCheckChanges, 1);
    EXPECT_EQ(list.GetItemData(2), 0x1234u);

    // The space bar toggles the item with the caret; disabled items stay as they are.
    list.SetCurSel(1);
    list.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(list.GetCheck(1), 0);
    list.Enable(1, FALSE);
    list.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(list.GetCheck(1), 0);
    EXPECT_FALSE(list.IsEnabled(1));

    list.DeleteString(0);
    EXPECT_EQ(list.GetCheck(1), 1); // "second" moved up with its check
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
}

} // namespace
