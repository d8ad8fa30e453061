// Bars as the user and assistive tools meet them: the accessible objects of bars and controls
// reached through WM_GETOBJECT, help hit testing, a floating toolbar that follows its frame's
// activation, the reset of a toolbar and of the menu bar after the user confirms, controls shown
// per document type, customised menus kept per document type, and the MDI buttons' images.
#include "bars_frame_fixture.h"
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "frame_wnd.h"
#include "image_manager.h"
#include "toolkit_test_app.h"

#include <afxpriv.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using commandbars_test::MdiBarsFrame;
const auto Pump = commandbars_test::PumpMessages;

std::vector<int> Ids(CXTPControls* pControls)
{
    std::vector<int> ids;
    for (int i = 0; i < pControls->GetCount(); ++i)
        if (!pControls->GetAt(i)->IsTemporary())
            ids.push_back(pControls->GetAt(i)->GetID());
    return ids;
}

VARIANT Child(long nChild)
{
    VARIANT variant;
    ::VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = nChild;
    return variant;
}

// Answers the next message box of the thread with a button, keeping its text.
class MessageBoxAnswer
{
public:
    explicit MessageBoxAnswer(int nButton)
    {
        s_nButton = nButton;
        s_strText.clear();
        m_nTimer = ::SetTimer(NULL, 0, 50, OnTimer);
    }
    ~MessageBoxAnswer() { ::KillTimer(NULL, m_nTimer); }
    static std::wstring s_strText;

private:
    static BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam)
    {
        WCHAR szClass[16] = {};
        ::GetClassNameW(hWnd, szClass, 16);
        if (wcscmp(szClass, L"#32770") != 0 || !::IsWindowVisible(hWnd))
            return TRUE;
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND hBox = NULL;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&hBox));
        if (hBox == NULL || !s_strText.empty())
            return;
        WCHAR szText[256] = {};
        ::GetDlgItemTextW(hBox, 0xFFFF, szText, 256);
        s_strText = szText;
        ::PostMessageW(hBox, WM_COMMAND, static_cast<WPARAM>(s_nButton), 0);
    }
    static int s_nButton;
    UINT_PTR m_nTimer;
};
std::wstring MessageBoxAnswer::s_strText;
int MessageBoxAnswer::s_nButton = IDOK;

// A frame on the frame base with the program's bars: the menu bar and the "Standard" toolbar.
class BarsFrame : public CXTPFrameWnd
{
public:
    std::vector<UINT> m_commands;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (lParam == 0 && HIWORD(wParam) == 0)
            m_commands.push_back(LOWORD(wParam));
        return CXTPFrameWnd::OnCommand(wParam, lParam);
    }
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        CXTPToolBar* pToolBar =
            commandbars_test::AttachMenuAndStandardBars(this, m_pCommandBars, IDR_CB_FRAME);
        if (pToolBar == NULL)
            return -1;
        pToolBar->ModifyFlags(0, 0x1F);
        return 0;
    }
    afx_msg void OnNew() {}
    afx_msg void OnSave() {}
    afx_msg void OnUpdateOpen(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(BarsFrame, CXTPFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_CB_NEW, OnNew)
    ON_COMMAND(ID_CB_SAVE, OnSave)
    ON_UPDATE_COMMAND_UI(ID_CB_OPEN, OnUpdateOpen)
END_MESSAGE_MAP()
// clang-format on

class CustomisedBars : public commandbars_test::BarsFrameFixture<BarsFrame>
{
protected:
    void SetUp() override
    {
        m_pFrame = new BarsFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_CB_FRAME, WS_OVERLAPPEDWINDOW));
        m_pFrame->SetWindowPos(&CWnd::wndTop, 60, 60, 520, 260, SWP_SHOWWINDOW);
        m_pFrame->SetForegroundWindow();
        m_pFrame->RecalcLayout();
        Pump();
        TakeBars();
    }
    void TearDown() override
    {
        m_pBars->ClosePopups();
        m_pFrame->DestroyWindow();
        Pump();
    }
    // The bar's accessible object as a client gets it, through the window.
    IAccessible* AccessibleOf(CWnd* pBar)
    {
        IAccessible* pAccessible = nullptr;
        EXPECT_EQ(S_OK,
                  CallAccessibleObjectFromWindow(pBar->GetSafeHwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                                 IID_IAccessible, reinterpret_cast<void**>(&pAccessible)));
        return pAccessible;
    }
};

long LongOf(const VARIANT& variant)
{
    return variant.vt == VT_I4 ? variant.lVal : -12345;
}

std::wstring NameOf(IAccessible* pAccessible, long nChild)
{
    BSTR name = nullptr;
    if (pAccessible->get_accName(Child(nChild), &name) != S_OK)
        return L"<none>";
    std::wstring text(name != nullptr ? name : L"");
    ::SysFreeString(name);
    return text;
}

// A control's accessible object, as its bar hands it out.
IAccessible* ChildOf(IAccessible* pBar, long nChild)
{
    IDispatch* pDispatch = nullptr;
    if (pBar->get_accChild(Child(nChild), &pDispatch) != S_OK || pDispatch == nullptr)
        return nullptr;
    IAccessible* pChild = nullptr;
    pDispatch->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&pChild));
    pDispatch->Release();
    return pChild;
}

TEST_F(CustomisedBars, BarsAndControlsAreAccessibleThroughTheirWindows)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(NULL)));
    m_pToolBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    const LONG nToolBarRefs = m_pToolBar->m_dwRef;
    CXTPControl* pNew = m_pToolBar->GetControls()->FindControl(ID_CB_NEW);
    const LONG nControlRefs = pNew->m_dwRef;
    {
        IAccessible* pBar = AccessibleOf(m_pToolBar);
        ASSERT_NE(nullptr, pBar);
        VARIANT value;
        long nCount = 0;
        ASSERT_EQ(S_OK, pBar->get_accChildCount(&nCount));
        EXPECT_EQ(m_pToolBar->GetControlCount(), nCount);
        ASSERT_EQ(S_OK, pBar->get_accRole(Child(CHILDID_SELF), &value));
        EXPECT_EQ(ROLE_SYSTEM_TOOLBAR, LongOf(value));
        ASSERT_EQ(S_OK, pBar->get_accState(Child(CHILDID_SELF), &value));
        EXPECT_EQ(0, LongOf(value));
        EXPECT_EQ(L"Standard", NameOf(pBar, CHILDID_SELF));
        IDispatch* pNone = nullptr;
        EXPECT_EQ(E_INVALIDARG, pBar->get_accChild(Child(nCount + 1), &pNone));
        EXPECT_EQ(E_INVALIDARG, pBar->get_accChild(Child(0), &pNone));

        // The first control: a button named by its tooltip, on a toolbar a push button.
        IAccessible* pButton = ChildOf(pBar, 1);
        ASSERT_NE(nullptr, pButton);
        EXPECT_EQ(L"New", NameOf(pButton, CHILDID_SELF));
        EXPECT_EQ(L"<none>", NameOf(pButton, 1));
        ASSERT_EQ(S_OK, pButton->get_accRole(Child(CHILDID_SELF), &value));
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, LongOf(value));
        ASSERT_EQ(S_OK, pButton->get_accState(Child(CHILDID_SELF), &value));
        EXPECT_EQ(STATE_SYSTEM_FOCUSABLE, LongOf(value));
        m_pToolBar->SetTracking(TRUE);
        m_pToolBar->SetSelected(0, TRUE);
        ASSERT_EQ(S_OK, pButton->get_accState(Child(CHILDID_SELF), &value));
        EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED | STATE_SYSTEM_FOCUSED |
                      STATE_SYSTEM_SELECTED,
                  LongOf(value));
        m_pToolBar->SetTracking(FALSE, TRUE);
        // A disabled command, and one the bar hid because it did not fit.
        ASSERT_EQ(S_OK, pBar->get_accState(Child(2), &value));
        EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_UNAVAILABLE, LongOf(value));
        CXTPControl* pSaveControl = m_pToolBar->GetControls()->FindControl(ID_CB_SAVE);
        pSaveControl->SetHideFlag(xtpHideWrap, TRUE);
        ASSERT_EQ(S_OK, pBar->get_accState(Child(pSaveControl->GetIndex() + 1), &value));
        EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_INVISIBLE, LongOf(value));
        pSaveControl->SetHideFlag(xtpHideWrap, FALSE);

        // Where the button is, on the screen, and what lies under a point.
        CRect rcNew(pNew->GetRect());
        m_pToolBar->ClientToScreen(&rcNew);
        long x = 0, y = 0, cx = 0, cy = 0;
        ASSERT_EQ(S_OK, pButton->accLocation(&x, &y, &cx, &cy, Child(CHILDID_SELF)));
        EXPECT_EQ(CRect(rcNew.left, rcNew.top, rcNew.left + cx, rcNew.top + cy), rcNew);
        EXPECT_EQ(CSize(rcNew.Width(), rcNew.Height()), CSize(cx, cy));
        ASSERT_EQ(S_OK, pButton->accHitTest(rcNew.CenterPoint().x, rcNew.CenterPoint().y, &value));
        EXPECT_EQ(CHILDID_SELF, LongOf(value));
        EXPECT_EQ(S_FALSE, pButton->accHitTest(rcNew.right + 30, rcNew.CenterPoint().y, &value));
        ASSERT_EQ(S_OK, pBar->accHitTest(rcNew.CenterPoint().x, rcNew.CenterPoint().y, &value));
        ASSERT_EQ(VT_DISPATCH, value.vt);
        EXPECT_EQ(static_cast<IDispatch*>(pNew->GetAccessible()), value.pdispVal);
        ::VariantClear(&value);

        // The parent of a control is its bar.
        IDispatch* pParent = nullptr;
        ASSERT_EQ(S_OK, pButton->get_accParent(&pParent));
        EXPECT_EQ(static_cast<IDispatch*>(m_pToolBar->GetAccessible()), pParent);
        pParent->Release();
        pButton->Release();

        // The default action of "Save" executes it.
        m_pFrame->m_commands.clear();
        IAccessible* pSave =
            ChildOf(pBar, m_pToolBar->GetControls()->FindControl(ID_CB_SAVE)->GetIndex() + 1);
        ASSERT_NE(nullptr, pSave);
        EXPECT_EQ(S_OK, pSave->accDoDefaultAction(Child(CHILDID_SELF)));
        EXPECT_EQ(std::vector<UINT>{ID_CB_SAVE}, m_pFrame->m_commands);
        // Selecting it makes the bar track with it hot, as by the keyboard.
        EXPECT_EQ(S_OK, pSave->accSelect(SELFLAG_TAKEFOCUS, Child(CHILDID_SELF)));
        EXPECT_TRUE(m_pToolBar->IsTrackingMode());
        EXPECT_EQ(m_pToolBar->GetControls()->FindControl(ID_CB_SAVE), m_pToolBar->GetSelected());
        EXPECT_TRUE(m_pToolBar->IsKeyboardSelected());
        m_pToolBar->SetTracking(FALSE, TRUE);
        pSave->Release();
        pBar->Release();
    }
    {
        // The menu bar: its submenus are menu items with a popup, named without access keys.
        IAccessible* pBar = AccessibleOf(m_pMenuBar);
        ASSERT_NE(nullptr, pBar);
        VARIANT value;
        ASSERT_EQ(S_OK, pBar->get_accRole(Child(CHILDID_SELF), &value));
        EXPECT_EQ(ROLE_SYSTEM_MENUBAR, LongOf(value));
        ASSERT_EQ(S_OK, pBar->get_accRole(Child(1), &value));
        EXPECT_EQ(ROLE_SYSTEM_MENUITEM, LongOf(value));
        IAccessible* pFile = ChildOf(pBar, 1);
        ASSERT_NE(nullptr, pFile);
        EXPECT_EQ(L"File", NameOf(pFile, CHILDID_SELF));
        ASSERT_EQ(S_OK, pFile->get_accRole(Child(CHILDID_SELF), &value));
        EXPECT_EQ(ROLE_SYSTEM_MENUITEM, LongOf(value));
        ASSERT_EQ(S_OK, pFile->get_accState(Child(CHILDID_SELF), &value));
        EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HASPOPUP, LongOf(value));
        long nCount = 0;
        ASSERT_EQ(S_OK, pFile->get_accChildCount(&nCount));
        EXPECT_EQ(1, nCount);
        // Its submenu, whose items name their shortcut after a tab.
        IAccessible* pPopup = ChildOf(pFile, 1);
        ASSERT_NE(nullptr, pPopup);
        ASSERT_EQ(S_OK, pPopup->get_accRole(Child(CHILDID_SELF), &value));
        EXPECT_EQ(ROLE_SYSTEM_MENUPOPUP, LongOf(value));
        EXPECT_EQ(L"New\tCtrl+N", NameOf(pPopup, 1));
        ASSERT_EQ(S_OK, pPopup->get_accState(Child(CHILDID_SELF), &value));
        EXPECT_EQ(STATE_SYSTEM_INVISIBLE, LongOf(value));
        pPopup->Release();
        pFile->Release();
        pBar->Release();
    }
    // Every reference the clients took has been given back.
    EXPECT_EQ(nToolBarRefs, m_pToolBar->m_dwRef);
    EXPECT_EQ(nControlRefs, pNew->m_dwRef);
    ::CoUninitialize();
}

TEST_F(CustomisedBars, HelpHitTestingNamesTheCommandUnderThePoint)
{
    CXTPControl* pSave = m_pToolBar->GetControls()->FindControl(ID_CB_SAVE);
    const CPoint ptSave = pSave->GetRect().CenterPoint();
    EXPECT_EQ(0x10000 + ID_CB_SAVE,
              m_pToolBar->SendMessage(WM_HELPHITTEST, 0, MAKELPARAM(ptSave.x, ptSave.y)));
    CRect rcClient;
    m_pToolBar->GetClientRect(&rcClient);
    EXPECT_EQ(
        0, m_pToolBar->SendMessage(WM_HELPHITTEST, 0, MAKELPARAM(rcClient.right - 1, rcClient.bottom - 1)));
}

TEST_F(CustomisedBars, AFloatingToolbarFollowsItsFramesActivation)
{
    m_pFrame->SetForegroundWindow();
    ASSERT_TRUE(m_pBars->FloatCommandBar(m_pToolBar));
    m_pToolBar->SetWindowPos(NULL, 300, 400, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Pump();
    ASSERT_EQ(xtpBarFloating, m_pToolBar->GetPosition());
    // Floating did not take the activation from the frame.
    EXPECT_EQ(m_pFrame->m_hWnd, ::GetForegroundWindow());
    CRect rect;
    m_pToolBar->GetWindowRect(&rect);
    const CPoint ptCentre = rect.CenterPoint();
    struct Case
    {
        CPoint point;
        LRESULT nHit;
    };
    const Case cases[] = {
        {CPoint(ptCentre.x, rect.top + 1), HTTOP},    {CPoint(ptCentre.x, rect.bottom - 2), HTBOTTOM},
        {CPoint(rect.left + 1, ptCentre.y), HTLEFT},  {CPoint(rect.right - 2, ptCentre.y), HTRIGHT},
        {CPoint(rect.left + 1, rect.top + 1), HTTOP}, {CPoint(rect.left + 4, rect.bottom - 5), HTCLIENT},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.nHit, m_pToolBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(c.point.x, c.point.y)))
            << c.point.x - rect.left << ", " << c.point.y - rect.top;
    // It never takes the activation and keeps its caption as it is.
    EXPECT_EQ(MA_NOACTIVATE,
              m_pToolBar->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_pFrame->m_hWnd),
                                      MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)));
    EXPECT_EQ(FALSE, m_pToolBar->SendMessage(WM_NCACTIVATE, TRUE));
    EXPECT_EQ(TRUE, m_pToolBar->SendMessage(WM_FLOATSTATUS, FS_SYNCACTIVE));
    EXPECT_EQ(FALSE, m_pToolBar->SendMessage(WM_FLOATSTATUS, FS_ACTIVATE));

    // Another application's window comes to the front: the bar hides, and comes back with the frame.
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(700, 100, 900, 300), NULL, 0));
    for (BOOL bSync : {TRUE, FALSE}) {
        m_pBars->GetCommandBarsOptions()->bSyncFloatingBars = bSync;
        other.SetForegroundWindow();
        other.SetActiveWindow();
        Pump();
        ASSERT_EQ(other.m_hWnd, ::GetForegroundWindow());
        EXPECT_EQ(!bSync, m_pToolBar->IsWindowVisible()) << bSync;
        m_pFrame->SetForegroundWindow();
        m_pFrame->SetActiveWindow();
        Pump();
        EXPECT_TRUE(m_pToolBar->IsWindowVisible()) << bSync;
    }
    // The frame's own show, hide, enable and disable.
    m_pToolBar->SendMessage(WM_FLOATSTATUS, FS_HIDE);
    EXPECT_FALSE(m_pToolBar->IsWindowVisible());
    m_pToolBar->SendMessage(WM_FLOATSTATUS, FS_SHOW);
    EXPECT_TRUE(m_pToolBar->IsWindowVisible());
    m_pToolBar->SendMessage(WM_FLOATSTATUS, FS_DISABLE);
    EXPECT_FALSE(m_pToolBar->IsWindowEnabled());
    m_pToolBar->SendMessage(WM_FLOATSTATUS, FS_ENABLE);
    EXPECT_TRUE(m_pToolBar->IsWindowEnabled());
    other.DestroyWindow();
}

TEST_F(CustomisedBars, AResetAfterTheUsersConfirmationRestoresTheLoadedControls)
{
    const std::vector<int> loaded = Ids(m_pToolBar->GetControls());
    ASSERT_EQ((std::vector<int>{ID_CB_NEW, ID_CB_OPEN, ID_CB_SAVE, ID_CB_PRINT}), loaded);
    CXTPControls* pControls = m_pToolBar->GetControls();
    pControls->Remove(pControls->FindControl(ID_CB_OPEN));
    pControls->Add(xtpControlButton, ID_CB_SEND);
    const std::vector<int> customised = Ids(pControls);

    {
        MessageBoxAnswer answer(IDCANCEL);
        m_pToolBar->Reset();
    }
    EXPECT_EQ(L"Are you sure you want to reset the changes made to the 'Standard' toolbar?",
              MessageBoxAnswer::s_strText);
    EXPECT_EQ(customised, Ids(m_pToolBar->GetControls()));
    {
        MessageBoxAnswer answer(IDOK);
        m_pToolBar->Reset();
    }
    EXPECT_FALSE(MessageBoxAnswer::s_strText.empty());
    EXPECT_EQ(loaded, Ids(m_pToolBar->GetControls()));
    EXPECT_TRUE(m_pToolBar->GetControls()->FindControl(ID_CB_SAVE)->GetBeginGroup());
    // The copy the bar resets to is kept apart from what it shows.
    EXPECT_NE(m_pToolBar->GetControls()->FindControl(ID_CB_NEW),
              m_pToolBar->GetControls()->GetOriginalControls()->FindControl(ID_CB_NEW));

    // A bar that may not be reset asks nothing and keeps its controls.
    m_pToolBar->GetControls()->Remove(0);
    m_pToolBar->SetCanReset(FALSE);
    {
        MessageBoxAnswer answer(IDOK);
        m_pToolBar->Reset();
        Pump();
    }
    EXPECT_TRUE(MessageBoxAnswer::s_strText.empty());
    EXPECT_EQ(loaded.size() - 1, Ids(m_pToolBar->GetControls()).size());

    // The menu bar goes back to its menu.
    const std::vector<int> menu = Ids(m_pMenuBar->GetControls());
    m_pMenuBar->GetControls()->Remove(1);
    {
        MessageBoxAnswer answer(IDOK);
        m_pMenuBar->Reset();
    }
    EXPECT_EQ(L"Are you sure you want to reset the changes made to the 'Menu Bar' toolbar?",
              MessageBoxAnswer::s_strText);
    EXPECT_EQ(menu, Ids(m_pMenuBar->GetControls()));
    EXPECT_EQ(CString(L"&Edit"), m_pMenuBar->GetControl(1)->GetCaption());
}

class MdiBars : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new MdiBarsFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(IDR_CB_MDI, WS_OVERLAPPEDWINDOW));
        m_pFrame->SetWindowPos(&CWnd::wndTop, 60, 60, 600, 360, SWP_SHOWWINDOW);
        Pump();
        m_pMenuBar = m_pFrame->m_pCommandBars->GetMenuBar();
        ASSERT_NE(nullptr, m_pMenuBar);
    }
    void TearDown() override
    {
        m_pFrame->DestroyWindow();
        Pump();
    }
    // A child with the menu of a resource, whose id also names its document type.
    CMDIChildWnd* OpenChild(UINT nIDResource)
    {
        auto* pChild = new CMDIChildWnd;
        if (!pChild->LoadFrame(nIDResource, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, m_pFrame))
            return nullptr;
        pChild->InitialUpdateFrame(NULL, TRUE);
        Pump();
        return pChild;
    }
    std::vector<CString> Captions() const
    {
        std::vector<CString> captions;
        for (int i = 0; i < m_pMenuBar->GetControlCount(); ++i)
            if (!m_pMenuBar->GetControl(i)->IsTemporary())
                captions.push_back(m_pMenuBar->GetControl(i)->GetCaption());
        return captions;
    }

    MdiBarsFrame* m_pFrame = NULL;
    CXTPMenuBar* m_pMenuBar = NULL;
};

TEST_F(MdiBars, EachDocumentTypeKeepsItsCustomisedMenu)
{
    const std::vector<CString> frameMenu{L"&File", L"&Window"};
    EXPECT_EQ(frameMenu, Captions());
    CMDIChildWnd* pItems = OpenChild(IDR_CB_ITEMS);
    ASSERT_NE(nullptr, pItems);
    EXPECT_EQ(UINT(IDR_CB_ITEMS), m_pMenuBar->GetCurrentMenuId());
    EXPECT_EQ(std::vector<CString>{L"&Items"}, Captions());
    EXPECT_EQ(nullptr, ::GetMenu(m_pFrame->GetSafeHwnd()));
    // The user customises this type's menu.
    m_pMenuBar->GetControls()->Add(xtpControlButton, ID_CB_SEND)->SetCaption(L"&Send");
    ASSERT_NE(nullptr, m_pMenuBar->GetCachedControls(IDR_CB_MDI));

    // A document of the frame's own type shows the frame's menu, kept as it was.
    CMDIChildWnd* pPlain = OpenChild(IDR_CB_MDI);
    ASSERT_NE(nullptr, pPlain);
    EXPECT_EQ(UINT(IDR_CB_MDI), m_pMenuBar->GetCurrentMenuId());
    EXPECT_EQ(frameMenu, Captions());
    ASSERT_NE(nullptr, m_pMenuBar->GetCachedControls(IDR_CB_ITEMS));
    EXPECT_EQ(nullptr, m_pMenuBar->GetCachedControls(IDR_CB_MDI));

    // The first type comes back with its customisation; reset returns it to its menu.
    pItems->MDIActivate();
    Pump();
    const std::vector<CString> customised{L"&Items", L"&Send"};
    EXPECT_EQ(customised, Captions());
    EXPECT_EQ(nullptr, m_pMenuBar->GetCachedControls(IDR_CB_ITEMS));
    EXPECT_TRUE(m_pMenuBar->GetControls()->IsChanged());
    {
        MessageBoxAnswer answer(IDOK);
        m_pMenuBar->Reset();
    }
    EXPECT_EQ(std::vector<CString>{L"&Items"}, Captions());
    pPlain->MDIActivate();
    Pump();
    EXPECT_EQ(frameMenu, Captions());
    pItems->MDIDestroy();
    pPlain->MDIDestroy();
    Pump();
}

TEST_F(MdiBars, ControlsShowAndHideWithTheActiveDocumentType)
{
    CXTPToolBar* pToolBar = m_pFrame->m_pToolBar;
    CXTPControl* pOnlyItems = pToolBar->GetControls()->FindControl(ID_CB_NEW);
    CXTPControl* pNotItems = pToolBar->GetControls()->FindControl(ID_CB_OPEN);
    CXTPControl* pAnyType = pToolBar->GetControls()->FindControl(ID_CB_SAVE);
    pOnlyItems->AssignDocTemplate(IDR_CB_ITEMS);
    pNotItems->ExcludeDocTemplate(IDR_CB_ITEMS);
    pAnyType->SetHideFlag(xtpHideCustomize, TRUE);

    pToolBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(DWORD(xtpHideDocTemplate), pOnlyItems->GetHideFlags());
    EXPECT_EQ(0u, pNotItems->GetHideFlags());
    EXPECT_EQ(DWORD(xtpHideCustomize), pAnyType->GetHideFlags());
    CMDIChildWnd* pChild = OpenChild(IDR_CB_ITEMS);
    ASSERT_NE(nullptr, pChild);
    pToolBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(0u, pOnlyItems->GetHideFlags());
    EXPECT_EQ(DWORD(xtpHideDocTemplate), pNotItems->GetHideFlags());
    EXPECT_EQ(DWORD(xtpHideCustomize), pAnyType->GetHideFlags());
    // A copy of the control keeps its document types.
    CXTPControl* pClone = pOnlyItems->Clone();
    EXPECT_EQ(std::set<UINT>{IDR_CB_ITEMS}, pClone->GetDocTemplatesAssigned());
    pClone->InternalRelease();
    pChild->MDIDestroy();
    Pump();
}

TEST_F(MdiBars, TheChildsFrameButtonsHaveTheirImages)
{
    CXTPImageManager* pImages = m_pMenuBar->GetImageManager();
    for (UINT nCommand : {UINT(SC_RESTORE), UINT(SC_MINIMIZE), UINT(SC_MAXIMIZE), UINT(SC_CLOSE)})
        EXPECT_NE(nullptr, pImages->GetImage(nCommand, 16)) << nCommand;
    // The close image is a cross: its centre is drawn, its corner is not.
    CXTPImageManagerIcon* pClose = pImages->GetImage(SC_CLOSE, 16);
    ASSERT_NE(nullptr, pClose);
    PixelSurface surface(16, 16, RGB(255, 255, 255));
    pClose->Draw(surface.dc(), CPoint(0, 0));
    EXPECT_EQ(RGB(0x1B, 0x1F, 0x24), surface.Pixel(7, 7));
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(0, 0));
}

} // namespace
