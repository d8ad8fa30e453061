// Subclassing windows made from a dialog template, the handle maps, creation through the creation
// hook and the end of a window's object.
#include <afxwin.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_app.h"
#include "window_test_ids.h"

namespace {

// A dialog made by the system alone: no framework object owns it or its controls.
INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

HWND CreatePlainForm()
{
    return ::CreateDialogParam(::GetModuleHandle(NULL), MAKEINTRESOURCE(IDD_TEST_FORM), NULL, PlainDialogProc,
                               0);
}

class CRecordingEdit : public CEdit
{
public:
    std::vector<std::wstring> m_log;
    BOOL m_bSwallowChars = FALSE;

protected:
    afx_msg LRESULT OnSetTextMessage(WPARAM, LPARAM lParam)
    {
        m_log.push_back(std::wstring(L"settext:") + reinterpret_cast<LPCTSTR>(lParam));
        return Default(); // the edit itself stores the text
    }
    afx_msg void OnChar(UINT nChar, UINT, UINT)
    {
        m_log.push_back(std::wstring(L"char:") + static_cast<wchar_t>(nChar));
        if (!m_bSwallowChars)
            Default();
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CRecordingEdit, CEdit)
    ON_MESSAGE(WM_SETTEXT, OnSetTextMessage)
    ON_WM_CHAR()
END_MESSAGE_MAP()
// clang-format on

class CFormWindow : public CWnd
{
public:
    int m_nOtherClicks = 0;

protected:
    afx_msg void OnOther() { ++m_nOtherClicks; }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CFormWindow, CWnd)
    ON_BN_CLICKED(IDC_OTHER, OnOther)
END_MESSAGE_MAP()
// clang-format on

TEST(WindowSubclass, DialogTemplateControlGetsMessagesThroughMapAndDefaultReachesOriginal)
{
    HWND hForm = CreatePlainForm();
    ASSERT_NE(hForm, nullptr);
    CFormWindow form;
    ASSERT_TRUE(form.SubclassWindow(hForm));
    CRecordingEdit edit;
    ASSERT_TRUE(edit.SubclassDlgItem(IDC_EDIT_TEXT, &form));

    // The map's handler sees the text first; Default lets the edit store it.
    edit.SetWindowText(L"abc");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, L"abc");

    // A handler that does not pass the message on keeps it from the control.
    edit.SetSel(3, 3);
    edit.SendMessage(WM_CHAR, L'd', 1);
    edit.m_bSwallowChars = TRUE;
    edit.SendMessage(WM_CHAR, L'e', 1);
    edit.GetWindowText(text);
    EXPECT_EQ(text, L"abcd");
    EXPECT_EQ(edit.m_log, (std::vector<std::wstring>{L"settext:abc", L"char:d", L"char:e"}));

    // The dialog's own messages the map leaves still reach the dialog's procedure.
    EXPECT_EQ(LOWORD(form.SendMessage(DM_GETDEFID)), IDOK);
    ::SendMessage(::GetDlgItem(hForm, IDC_OTHER), BM_CLICK, 0, 0);
    EXPECT_EQ(form.m_nOtherClicks, 1);

    form.DestroyWindow();
    EXPECT_EQ(form.m_hWnd, nullptr);
    EXPECT_EQ(edit.m_hWnd, nullptr); // the child was detached when it was destroyed with its parent
}

TEST(WindowSubclass, FromHandleGivesThePermanentObjectOrATemporaryFreedAtIdle)
{
    HWND hForm = CreatePlainForm();
    ASSERT_NE(hForm, nullptr);
    CRecordingEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(::GetDlgItem(hForm, IDC_EDIT_TEXT)));
    EXPECT_EQ(CWnd::FromHandle(edit.m_hWnd), &edit);
    EXPECT_EQ(CWnd::FromHandlePermanent(edit.m_hWnd), &edit);

    theApp.OnIdle(1);
    ASSERT_EQ(AfxGetTempObjectCount(), 0u);
    HWND hCancel = ::GetDlgItem(hForm, IDCANCEL);
    CWnd* pTemporary = CWnd::FromHandle(hCancel);
    ASSERT_NE(pTemporary, nullptr);
    EXPECT_EQ(pTemporary->m_hWnd, hCancel);
    EXPECT_EQ(CWnd::FromHandle(hCancel), pTemporary); // one temporary per handle until idle
    EXPECT_EQ(CWnd::FromHandlePermanent(hCancel), nullptr);
    EXPECT_EQ(AfxGetTempObjectCount(), 1u);

    // Idle time frees it, unless a lock holds the temporaries.
    AfxLockTempMaps();
    theApp.OnIdle(1);
    EXPECT_EQ(AfxGetTempObjectCount(), 1u);
    AfxUnlockTempMaps(FALSE);
    theApp.OnIdle(1);
    EXPECT_EQ(AfxGetTempObjectCount(), 0u);
    EXPECT_EQ(CWnd::FromHandle(hCancel)->m_hWnd, hCancel);

    ::DestroyWindow(hForm);
    EXPECT_EQ(edit.m_hWnd, nullptr);
    theApp.OnIdle(1);
}

TEST(WindowSubclass, DetachGivesTheWindowItsOriginalProcedureBack)
{
    HWND hForm = CreatePlainForm();
    ASSERT_NE(hForm, nullptr);
    HWND hEdit = ::GetDlgItem(hForm, IDC_EDIT_TEXT);
    const LONG_PTR originalProc = ::GetWindowLongPtr(hEdit, GWLP_WNDPROC);
    {
        CRecordingEdit edit;
        ASSERT_TRUE(edit.SubclassWindow(hEdit));
        EXPECT_NE(::GetWindowLongPtr(hEdit, GWLP_WNDPROC), originalProc);
        // A second object cannot take a window that has one.
        CEdit other;
        EXPECT_FALSE(other.SubclassWindow(hEdit));
        EXPECT_EQ(edit.UnsubclassWindow(), hEdit);
    }
    EXPECT_EQ(::GetWindowLongPtr(hEdit, GWLP_WNDPROC), originalProc);
    ::SetWindowText(hEdit, L"still an edit");
    wchar_t text[32] = {};
    ::GetWindowText(hEdit, text, 32);
    EXPECT_STREQ(text, L"still an edit");
    ::DestroyWindow(hForm);
}

const UINT g_nRegisteredMessage = ::RegisterWindowMessage(L"CorvaneFrameworkTestMessage");

class CThrowingWindow : public CWnd
{
protected:
    // wParam picks what is thrown: the framework's file exception, or the standard library's exceptions.
    afx_msg LRESULT OnThrow(WPARAM wParam, LPARAM)
    {
        if (wParam == 1)
            throw std::bad_alloc();
        if (wParam == 2)
            std::vector<int>().reserve(std::vector<int>().max_size() + 1);
        if (wParam == 3)
            throw std::runtime_error("unexpected");
        AfxThrowFileException(CFileException::accessDenied);
        return 1;
    }
    afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM lParam)
    {
        return static_cast<LRESULT>(wParam + lParam);
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CThrowingWindow, CWnd)
    ON_MESSAGE(WM_APP + 7, OnThrow)
    ON_REGISTERED_MESSAGE(g_nRegisteredMessage, OnRegistered)
END_MESSAGE_MAP()
// clang-format on

TEST(WindowSubclass, AnExceptionFromAHandlerIsReportedAndStaysInTheWindowProcedure)
{
    CThrowingWindow window;
    ASSERT_TRUE(window.CreateEx(0, NULL, L"throws", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    // Whatever a handler throws, the window procedure returns and the thread reports it in one box; memory
    // running out says so.
    const struct
    {
        WPARAM kind;
        const wchar_t* text;
    } cases[] = {{0, NULL}, {1, L"Out of memory."}, {2, L"Out of memory."}, {3, NULL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        theApp.m_messageBoxes.clear();
        EXPECT_EQ(window.SendMessage(WM_APP + 7, c.kind), 0);
        ASSERT_EQ(theApp.m_messageBoxes.size(), 1u);
        if (c.text != NULL)
            EXPECT_EQ(theApp.m_messageBoxes[0], c.text);
        else
            EXPECT_FALSE(theApp.m_messageBoxes[0].empty());
    }
    // The message being handled is back to the outer one: Default still works afterwards.
    window.SetWindowText(L"after");
    CString text;
    window.GetWindowText(text);
    EXPECT_EQ(text, L"after");
    // A message registered at run time finds its entry through the variable that holds its number.
    ASSERT_GE(g_nRegisteredMessage, 0xC000u);
    EXPECT_EQ(window.SendMessage(g_nRegisteredMessage, 40, 2), 42);
    EXPECT_EQ(window.SendMessage(::RegisterWindowMessage(L"CorvaneOtherMessage"), 40, 2), 0);
    window.DestroyWindow();
}

// A window class of its own with messages during creation.
class CCreatedWindow : public CWnd
{
public:
    std::vector<std::wstring> m_log;
    BOOL m_bFailCreate = FALSE;
    BOOL* m_pDeleted = NULL;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        m_log.push_back(L"precreate");
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW));
        return TRUE;
    }
    void PreSubclassWindow() override { m_log.push_back(L"presubclass"); }
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        m_log.push_back(L"create");
        if (m_bFailCreate)
            return -1;
        return CWnd::OnCreate(lpCreateStruct);
    }
    afx_msg void OnSize(UINT, int cx, int cy)
    {
        CString entry;
        entry.Format(L"size:%dx%d", cx, cy);
        m_log.push_back(entry.GetString());
    }
    afx_msg void OnDestroy()
    {
        m_log.push_back(L"destroy");
        CWnd::OnDestroy();
    }
    void PostNcDestroy() override
    {
        if (m_pDeleted != NULL) {
            *m_pDeleted = TRUE;
            delete this;
        }
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CCreatedWindow, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()
// clang-format on

TEST(WindowCreate, CreationMessagesGoThroughTheMapFromTheFirstOne)
{
    CCreatedWindow window;
    ASSERT_TRUE(window.CreateEx(0, NULL, L"created", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, NULL, NULL));
    EXPECT_EQ(CWnd::FromHandlePermanent(window.m_hWnd), &window);
    CRect client;
    window.GetClientRect(&client);
    window.MoveWindow(0, 0, 300, 150);
    window.GetClientRect(&client);
    CString expectedSize;
    expectedSize.Format(L"size:%dx%d", client.Width(), client.Height());
    ASSERT_GE(window.m_log.size(), 3u);
    EXPECT_EQ(window.m_log[0], L"precreate");
    EXPECT_EQ(window.m_log[1], L"presubclass");
    EXPECT_EQ(window.m_log[2], L"create");
    EXPECT_EQ(window.m_log.back(), expectedSize.GetString());
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(window.m_log.back(), L"destroy");
    EXPECT_EQ(window.m_hWnd, nullptr);
}

TEST(WindowCreate, FailedCreationLeavesNoWindowAndTheObjectEndsOnItsOwn)
{
    CCreatedWindow failing;
    failing.m_bFailCreate = TRUE;
    EXPECT_FALSE(failing.CreateEx(0, NULL, L"fails", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, NULL, NULL));
    EXPECT_EQ(failing.m_hWnd, nullptr);

    // An object that deletes itself in PostNcDestroy is gone after its window.
    BOOL bDeleted = FALSE;
    CCreatedWindow* pSelfDeleting = new CCreatedWindow;
    pSelfDeleting->m_pDeleted = &bDeleted;
    ASSERT_TRUE(pSelfDeleting->CreateEx(0, NULL, L"self", WS_POPUP, 0, 0, 50, 50, NULL, NULL));
    HWND hWnd = pSelfDeleting->m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_TRUE(bDeleted);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(WindowCreate, ClassesRegisteredOnDemandAreSharedByEqualRequests)
{
    LPCTSTR first = AfxRegisterWndClass(CS_HREDRAW, NULL, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    LPCTSTR second = AfxRegisterWndClass(CS_HREDRAW, NULL, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    LPCTSTR third = AfxRegisterWndClass(CS_VREDRAW);
    EXPECT_STREQ(first, second);
    EXPECT_STRNE(first, third);
    WNDCLASS info = {};
    ASSERT_TRUE(::GetClassInfo(AfxGetInstanceHandle(), first, &info));
    EXPECT_EQ(info.lpfnWndProc, AfxGetAfxWndProc());
    EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW));

    // A child window on the framework's default class.
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, NULL, L"parent", WS_POPUP, 0, 0, 100, 100, NULL, NULL));
    CWnd child;
    ASSERT_TRUE(child.Create(NULL, L"child", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 77));
    EXPECT_EQ(child.GetDlgCtrlID(), 77);
    EXPECT_EQ(parent.GetDlgItem(77), &child);
    EXPECT_EQ(parent.GetDescendantWindow(77, TRUE), &child);
    wchar_t className[64] = {};
    ::GetClassName(child.m_hWnd, className, 64);
    EXPECT_STREQ(className, AFX_WND_CLASS);
    parent.DestroyWindow();
    EXPECT_EQ(child.m_hWnd, nullptr);
}

TEST(WindowSurface, StylesTextAndGeometry)
{
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, NULL, L"surface", WS_POPUP | WS_BORDER, 20, 30, 120, 80, NULL, NULL));
    EXPECT_TRUE(window.ModifyStyle(WS_BORDER, WS_CLIPCHILDREN, SWP_FRAMECHANGED));
    EXPECT_EQ(window.GetStyle() & (WS_BORDER | WS_CLIPCHILDREN), static_cast<DWORD>(WS_CLIPCHILDREN));
    EXPECT_FALSE(window.ModifyStyle(0, WS_CLIPCHILDREN)); // nothing changed
    EXPECT_TRUE(window.ModifyStyleEx(0, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(window.GetExStyle() & WS_EX_TOOLWINDOW);

    window.SetWindowText(L"new title");
    CString title;
    window.GetWindowText(title);
    EXPECT_EQ(title, L"new title");
    EXPECT_EQ(window.GetWindowTextLength(), 9);

    CRect rect;
    window.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(20, 30, 140, 110));
    CRect client(0, 0, 10, 10);
    window.ClientToScreen(&client);
    window.ScreenToClient(&client);
    EXPECT_EQ(client, CRect(0, 0, 10, 10));

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, L"Arial"));
    CStatic label;
    ASSERT_TRUE(label.Create(L"label", WS_VISIBLE, CRect(0, 0, 50, 20), &window));
    label.SetFont(&font);
    EXPECT_EQ(label.GetFont(), &font); // the permanent font object, not a temporary
    EXPECT_EQ(label.GetOwner(), &window);
    label.SetOwner(NULL);
    window.DestroyWindow();
}

} // namespace
