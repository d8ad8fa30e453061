// The dialog bar on a real frame: the hosted edit control under the caption, the caption's controls,
// the borders' hit codes for each side, resizing by the tracker's rectangle, and the two client sizes
// kept in the registry layout.
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "dialog_bar.h"
#include "frame_wnd.h"
#include "scratch_registry.h"
#include "support/screenshot.h"
#include "tool_bar_drag_tracker.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const auto Pump = commandbars_test::PumpMessages;
const UINT kDialogBarId = 300;

class DialogBarFrame : public CXTPFrameWnd
{
public:
    CXTPDialogBar* m_pDialogBar = NULL;
    CEdit m_edit;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
        m_pCommandBars->AttachFrame(this);
        m_pCommandBars->CreateDockBars();
        m_pDialogBar = DYNAMIC_DOWNCAST(
            CXTPDialogBar, m_pCommandBars->Add(L"Properties", xtpBarTop, RUNTIME_CLASS(CXTPDialogBar)));
        if (m_pDialogBar == NULL)
            return -1;
        m_pDialogBar->SetBarID(kDialogBarId);
        if (!m_edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE, CRect(0, 0, 10, 10),
                           m_pDialogBar, 1))
            return -1;
        m_edit.SetWindowText(L"Hosted edit control");
        m_pDialogBar->SetChild(&m_edit);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(DialogBarFrame, CXTPFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

using Values = commandbars_test::RegistryValues;

class DialogBar : public commandbars_test::ScratchRegistryTest
{
protected:
    DialogBar() : ScratchRegistryTest(L"CorvaneToolkitDialogBarTest", L"DialogBarTest") {}
    void SetUp() override
    {
        ScratchRegistryTest::SetUp();
        m_pFrame = NewFrame();
        ASSERT_NE(nullptr, m_pFrame);
        m_pBar = m_pFrame->m_pDialogBar;
    }
    void TearDown() override
    {
        for (DialogBarFrame* pFrame : m_frames)
            pFrame->DestroyWindow();
        Pump();
        ScratchRegistryTest::TearDown();
    }
    DialogBarFrame* NewFrame()
    {
        auto* pFrame = new DialogBarFrame;
        if (!pFrame->LoadFrame(IDR_CB_FRAME, WS_OVERLAPPEDWINDOW))
            return NULL;
        pFrame->SetWindowPos(&CWnd::wndTop, 40, 40, 700, 560, SWP_SHOWWINDOW);
        pFrame->RecalcLayout();
        Pump();
        m_frames.push_back(pFrame);
        return pFrame;
    }
    // The hosted window's rectangle in the bar's client coordinates.
    CRect ChildRect() const
    {
        CRect rect;
        m_pFrame->m_edit.GetWindowRect(&rect);
        m_pBar->ScreenToClient(&rect);
        return rect;
    }
    void Float()
    {
        m_pBar->SetPosition(xtpBarFloating);
        m_pBar->SetWindowPos(NULL, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_pBar->OnRecalcLayout();
        Pump();
    }
    void Dock(XTPBarPosition position)
    {
        m_pBar->SetPosition(position);
        m_pFrame->RecalcLayout();
        Pump();
    }
    LRESULT HitTest(CPoint point) const
    {
        return m_pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    }

    DialogBarFrame* m_pFrame = NULL;
    CXTPDialogBar* m_pBar = NULL;
    std::vector<DialogBarFrame*> m_frames;
};

TEST_F(DialogBar, HostsItsClientUnderTheCaptionDockedAndFloating)
{
    EXPECT_FALSE(m_pBar->IsCustomizable());
    for (bool bFloating : {false, true}) {
        SCOPED_TRACE(bFloating ? "floating" : "docked");
        if (bFloating)
            Float();
        const int nCaption = m_pBar->GetCaptionHeight();
        ASSERT_GT(nCaption, 0);
        EXPECT_EQ(CRect(3, 3 + nCaption, 203, 203 + nCaption), ChildRect());
        CRect rcBar;
        m_pBar->GetClientRect(&rcBar);
        EXPECT_EQ(CSize(206, 206 + nCaption), rcBar.Size());

        CXTPControl* pClose = m_pBar->GetControls()->FindControl(XTP_ID_DIALOGBAR_CLOSE);
        CXTPControl* pCaption = m_pBar->GetControls()->FindControl(XTP_ID_DIALOGBAR_CAPTION);
        ASSERT_NE(nullptr, pClose);
        ASSERT_NE(nullptr, pCaption);
        EXPECT_TRUE(pCaption->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)));
        EXPECT_EQ(0x1Au, pClose->GetFlags());
        EXPECT_EQ(0x1Eu, pCaption->GetFlags());
        const CRect rcClose = pClose->GetRect();
        EXPECT_EQ(CSize(16, 16), rcClose.Size());
        EXPECT_EQ(203, rcClose.right);
        // Vertically centred in the caption strip.
        EXPECT_EQ(3 + (nCaption - 16) / 2, rcClose.top);
        EXPECT_EQ(CRect(3, 3, 203 - 16, 3 + nCaption), pCaption->GetRect());
        EXPECT_EQ(CString(L"Properties"), pCaption->GetCaption());
    }
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_pBar->GetSafeHwnd(), L"dialog_bar_floating"));
}

TEST_F(DialogBar, CaptionMenuOpensBelowTheCaptionAlignedToItsRightEnd)
{
    EXPECT_TRUE(m_pBar->IsAutomationEnabled());
    EXPECT_NE(nullptr, m_pBar->GetIDispatch(FALSE));
    auto* pCaption =
        DYNAMIC_DOWNCAST(CXTPDialogBarCaption, m_pBar->GetControls()->FindControl(XTP_ID_DIALOGBAR_CAPTION));
    ASSERT_NE(nullptr, pCaption);
    CXTPPopupBar* pMenu = m_pBar->GetCaptionPopupBar();
    ASSERT_NE(nullptr, pMenu);
    // An empty menu is not offered: no triangle, nothing opens.
    EXPECT_FALSE(pCaption->m_bMenu);
    EXPECT_EQ(nullptr, pCaption->GetCommandBar());
    EXPECT_FALSE(pCaption->SetPopupOpen(TRUE));

    pMenu->GetControls()->Add(xtpControlButton, ID_CB_ITEM_ONE)->SetCaption(L"&Hide Details");
    pMenu->GetControls()->Add(xtpControlButton, ID_CB_ITEM_TWO)->SetCaption(L"&Sort by Name");
    m_pFrame->RecalcLayout();
    m_pBar->OnRecalcLayout();
    Pump();
    EXPECT_TRUE(pCaption->m_bMenu);
    EXPECT_EQ(pMenu, pCaption->GetCommandBar());
    ASSERT_TRUE(pCaption->SetPopupOpen(TRUE));
    Pump();
    ASSERT_TRUE(pMenu->IsVisible());
    CRect rcCaption = pCaption->GetRect();
    m_pBar->ClientToScreen(&rcCaption);
    CRect rcMenu;
    pMenu->GetWindowRect(&rcMenu);
    EXPECT_EQ(rcCaption.bottom, rcMenu.top);
    EXPECT_EQ(rcCaption.right, rcMenu.right);
    EXPECT_TRUE(test_support::WriteWindowScreenshot(m_pFrame->GetSafeHwnd(), L"dialog_bar_caption_menu"));
    pCaption->SetPopupOpen(FALSE);
    m_pFrame->GetCommandBars()->ClosePopups();
    Pump();
    EXPECT_FALSE(pMenu->IsVisible());
}

TEST_F(DialogBar, FloatingResizeBelowTheMinimumIsRefusedAndTheSizesStaySeparate)
{
    Float();
    const CRect rcMargins = m_pBar->GetClientMargins();
    CRect rcBefore;
    m_pBar->GetWindowRect(&rcBefore);
    const auto Window = [&](int cx, int cy) {
        return CRect(rcBefore.TopLeft(),
                     CSize(cx + rcMargins.left + rcMargins.right, cy + rcMargins.top + rcMargins.bottom));
    };
    for (const CSize& refused : {CSize(40, 40), CSize(49, 300), CSize(300, 49)}) {
        m_pBar->ResizeTo(Window(refused.cx, refused.cy), HTBOTTOMRIGHT);
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        EXPECT_EQ(rcBefore, rect);
        EXPECT_EQ(CSize(200, 200), m_pBar->GetFloatingClientSize());
    }
    m_pBar->ResizeTo(Window(260, 120), HTBOTTOMRIGHT);
    Pump();
    EXPECT_EQ(CSize(260, 120), m_pBar->GetFloatingClientSize());
    EXPECT_EQ(CSize(200, 200), m_pBar->GetDockingClientSize());
    EXPECT_EQ(CSize(260, 120), ChildRect().Size());

    // Docked, a side edge sets the width and the others the height.
    Dock(xtpBarRight);
    CRect rcDocked;
    m_pBar->GetWindowRect(&rcDocked);
    m_pBar->ResizeTo(CRect(rcDocked.left - 50, rcDocked.top, rcDocked.right, rcDocked.bottom), HTLEFT);
    Pump();
    EXPECT_EQ(CSize(250, 200), m_pBar->GetDockingClientSize());
    EXPECT_EQ(CSize(260, 120), m_pBar->GetFloatingClientSize());
    CRect rcWider;
    m_pBar->GetWindowRect(&rcWider);
    EXPECT_EQ(rcDocked.Width() + 50, rcWider.Width());
}

TEST_F(DialogBar, TrackerDragsTheBordersAndStopsAtTheMinimum)
{
    Float();
    CRect rcStart;
    m_pBar->GetWindowRect(&rcStart);
    const HWND hWnd = m_pBar->GetSafeHwnd();
    // Posted in the bar's client coordinates, as a captured mouse sends them.
    const auto PostMove = [&](CPoint screen) {
        m_pBar->ScreenToClient(&screen);
        ::PostMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(screen.x, screen.y));
    };
    // Wider and lower by the bottom-right corner, then far too small: the last size that fits stays.
    PostMove(CPoint(rcStart.right + 40, rcStart.bottom + 30));
    PostMove(CPoint(rcStart.left + 20, rcStart.top + 20));
    ::PostMessageW(hWnd, WM_LBUTTONUP, 0, 0);
    const UINT_PTR nSafety = ::SetTimer(NULL, 0, 5000, NULL);
    m_pBar->GetDragTracker()->StartResize(HTBOTTOMRIGHT, CPoint(rcStart.right, rcStart.bottom));
    ::KillTimer(NULL, nSafety);
    EXPECT_EQ(CSize(240, 230), m_pBar->GetFloatingClientSize());
    CRect rect;
    m_pBar->GetWindowRect(&rect);
    EXPECT_EQ(rcStart.TopLeft(), rect.TopLeft());
    EXPECT_EQ(CSize(rcStart.Width() + 40, rcStart.Height() + 30), rect.Size());

    // Docked at the bottom, the top edge sets the docked height; Escape ends the drag.
    Dock(xtpBarBottom);
    m_pBar->GetWindowRect(&rcStart);
    PostMove(CPoint(rcStart.CenterPoint().x, rcStart.top - 60));
    ::PostMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    m_pBar->GetDragTracker()->StartResize(HTTOP, CPoint(rcStart.CenterPoint().x, rcStart.top));
    EXPECT_EQ(CSize(200, 260), m_pBar->GetDockingClientSize());
    EXPECT_EQ(CSize(240, 230), m_pBar->GetFloatingClientSize());
    EXPECT_NE(hWnd, ::GetCapture());
}

TEST_F(DialogBar, BordersAnswerForTheSideTheBarIsOn)
{
    struct Case
    {
        XTPBarPosition position;
        const char* name;
        LRESULT top, left, right, bottom;
    };
    // 0 stands for the base answer (not a border).
    const Case cases[] = {
        {xtpBarBottom, "bottom", HTTOP, 0, HTRIGHT, HTBOTTOM},
        {xtpBarRight, "right", 0, HTLEFT, 0, HTBOTTOM},
        {xtpBarTop, "top", 0, 0, HTRIGHT, HTBOTTOM},
        {xtpBarFloating, "floating", HTTOP, HTLEFT, HTRIGHT, HTBOTTOM},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.position == xtpBarFloating)
            Float();
        else
            Dock(c.position);
        ASSERT_EQ(c.position, m_pBar->GetPosition());
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        const CPoint centre = rect.CenterPoint();
        const auto Expect = [&](LRESULT nExpected, CPoint point) {
            const LRESULT nHit = HitTest(point);
            if (nExpected != 0)
                EXPECT_EQ(nExpected, nHit);
            else
                EXPECT_TRUE(nHit < HTLEFT || nHit > HTBOTTOMRIGHT) << nHit;
        };
        Expect(c.top, CPoint(centre.x, rect.top + 1));
        Expect(c.left, CPoint(rect.left + 1, centre.y));
        Expect(c.right, CPoint(rect.right - 2, centre.y));
        Expect(c.bottom, CPoint(centre.x, rect.bottom - 2));
        if (c.position == xtpBarFloating) {
            EXPECT_EQ(HTTOPLEFT, HitTest(CPoint(rect.left + 1, rect.top + 1)));
            EXPECT_EQ(HTBOTTOMRIGHT, HitTest(CPoint(rect.right - 2, rect.bottom - 2)));
        }
        // Inside the borders the bar answers as a toolbar.
        EXPECT_TRUE(HitTest(centre) < HTLEFT || HitTest(centre) > HTBOTTOMRIGHT);
    }
}

TEST_F(DialogBar, LayoutKeepsBothClientSizes)
{
    m_pBar->SetDockingClientSize(CSize(240, 110));
    m_pBar->SetFloatingClientSize(CSize(180, 90));
    m_pFrame->GetCommandBars()->SaveLayout(L"CommandBars");
    int nSection = -1;
    for (int i = 0; i < 4 && nSection < 0; ++i) {
        CString strSection;
        strSection.Format(L"CommandBars-Bar%d", i);
        const Values values = ReadValues(strSection);
        if (values.count(L"BarID") != 0 && Dword(values, L"BarID") == kDialogBarId) {
            nSection = i;
            EXPECT_EQ(1u, Dword(values, L"DialogBar"));
            EXPECT_EQ(240u, Dword(values, L"DialogBarDockingClientCx"));
            EXPECT_EQ(110u, Dword(values, L"DialogBarDockingClientCy"));
            EXPECT_EQ(180u, Dword(values, L"DialogBarFloatingClientCx"));
            EXPECT_EQ(90u, Dword(values, L"DialogBarFloatingClientCy"));
        }
    }
    ASSERT_GE(nSection, 0);

    DialogBarFrame* pOther = NewFrame();
    ASSERT_NE(nullptr, pOther);
    EXPECT_EQ(CSize(200, 200), pOther->m_pDialogBar->GetDockingClientSize());
    pOther->GetCommandBars()->LoadLayout(L"CommandBars");
    Pump();
    EXPECT_EQ(CSize(240, 110), pOther->m_pDialogBar->GetDockingClientSize());
    EXPECT_EQ(CSize(180, 90), pOther->m_pDialogBar->GetFloatingClientSize());
    CRect rcChild;
    pOther->m_edit.GetWindowRect(&rcChild);
    EXPECT_EQ(CSize(240, 110), rcChild.Size());

    // Sizes edited out of range come back within bounds.
    CString strSection;
    strSection.Format(L"CommandBars-Bar%d", nSection);
    WriteDword(strSection, L"DialogBarFloatingClientCx", 0x7FFFFFFF);
    WriteDword(strSection, L"DialogBarFloatingClientCy", 0xFFFFFFF0);
    pOther->GetCommandBars()->LoadLayout(L"CommandBars");
    EXPECT_EQ(CSize(32000, 0), pOther->m_pDialogBar->GetFloatingClientSize());
}

} // namespace
