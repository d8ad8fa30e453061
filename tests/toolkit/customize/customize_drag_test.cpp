// The customise drag on a real frame with two toolbars: messages posted before the loop move the
// control over the second bar, press and release Ctrl and end the drag, and recording bars note
// what the loop tells them and which cursor was showing; a press with Alt held starts the same drag
// outside customise mode. A safety timer ends a drag that a fault would leave running by taking the
// capture away.
#include "command_bars.h"
#include "commandbars_resource_ids.h"
#include "commandbars_test_frames.h"
#include "customize_test_ids.h"
#include "frame_wnd.h"
#include "resource_loader.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct DragEvent
{
    std::string bar;
    std::string what; // enter, over, leave, drop
    int nEffect;
    HCURSOR hCursor; // the cursor showing when the bar was told
};

std::vector<DragEvent> g_events;

class RecordingToolBar : public CXTPToolBar
{
    DECLARE_DYNCREATE(RecordingToolBar)
public:
    std::string Name() const { return Narrow(GetTitle()); }
    BOOL OnDragEnter(CXTPControl* pControl, CPoint point) override
    {
        g_events.push_back({Name(), "enter", 0, ::GetCursor()});
        return CXTPToolBar::OnDragEnter(pControl, point);
    }
    void OnDragLeave() override
    {
        g_events.push_back({Name(), "leave", 0, ::GetCursor()});
        CXTPToolBar::OnDragLeave();
    }
    void OnDragOver(CXTPControl* pControl, CPoint point) override
    {
        g_events.push_back({Name(), "over", 0, ::GetCursor()});
        CXTPToolBar::OnDragOver(pControl, point);
    }
    void OnDrop(CXTPControl* pControl, int nEffect, CPoint point, CPoint ptStart) override
    {
        g_events.push_back({Name(), "drop", nEffect, ::GetCursor()});
        CXTPToolBar::OnDrop(pControl, nEffect, point, ptStart);
    }
};
IMPLEMENT_DYNCREATE(RecordingToolBar, CXTPToolBar)

class DragFrame : public CXTPFrameWnd
{
public:
    CXTPToolBar* m_pBars[3] = {};
    // Runs on WM_APP during a drag, as another window's message would.
    std::function<void()> m_onApp;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
        m_pCommandBars->AttachFrame(this);
        m_pCommandBars->CreateDockBars();
        const wchar_t* names[3] = {L"A", L"B", L"C"};
        for (int i = 0; i < 3; ++i) {
            m_pBars[i] = m_pCommandBars->Add(names[i], xtpBarTop, RUNTIME_CLASS(RecordingToolBar));
            if (m_pBars[i] == NULL)
                return -1;
            for (int nId = 0; nId < 3; ++nId) {
                CXTPControl* pControl =
                    m_pBars[i]->GetControls()->Add(xtpControlButton, ID_CZ_FIRST + i * 10 + nId);
                CString strCaption;
                strCaption.Format(L"%s%d", names[i], nId + 1);
                pControl->SetCaption(strCaption);
            }
        }
        return 0;
    }
    afx_msg LRESULT OnApp(WPARAM, LPARAM)
    {
        if (m_onApp)
            m_onApp();
        return 0;
    }
    // Handling the customise command lets a press with Alt held drag a button.
    afx_msg void OnCustomize() {}
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(DragFrame, CXTPFrameWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_APP, OnApp)
    ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()
// clang-format on

const auto Pump = commandbars_test::PumpMessages;

void CALLBACK EndStuckDrag(HWND, UINT, UINT_PTR, DWORD)
{
    ::ReleaseCapture();
}

class CustomizeDrag : public ::testing::Test
{
public:
    void SetUp() override
    {
        m_pFrame = new DragFrame;
        ASSERT_TRUE(m_pFrame->Create(NULL, L"drag", WS_OVERLAPPEDWINDOW, CRect(40, 40, 640, 300)));
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->RecalcLayout();
        Pump();
        m_pBars = m_pFrame->GetCommandBars();
        m_pDropSource = m_pBars->GetDropSource();
        for (int i = 0; i < 3; ++i)
            m_pBar[i] = m_pFrame->m_pBars[i];
        g_events.clear();
        m_nSafety = ::SetTimer(NULL, 0, 5000, EndStuckDrag);
    }
    void TearDown() override
    {
        ::KillTimer(NULL, m_nSafety);
        m_pFrame->DestroyWindow();
        Pump();
    }
    // A point in the frame's client coordinates: the centre of a bar, or below every bar.
    CPoint Over(CXTPToolBar* pBar) const
    {
        CRect rc;
        pBar->GetWindowRect(&rc);
        CPoint point = rc.CenterPoint();
        m_pFrame->ScreenToClient(&point);
        return point;
    }
    CPoint Outside() const
    {
        CRect rc;
        m_pFrame->GetClientRect(&rc);
        return CPoint(rc.CenterPoint().x, rc.bottom - 10);
    }
    void PostMove(CPoint point, WPARAM nFlags = MK_LBUTTON)
    {
        m_pFrame->PostMessage(WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y));
    }
    void PostKey(UINT message, UINT nKey) { m_pFrame->PostMessage(message, nKey, 0); }
    void PostButtonUp(CPoint point) { m_pFrame->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y)); }
    std::vector<std::string> Events(const std::string& bar) const
    {
        std::vector<std::string> events;
        for (const DragEvent& e : g_events)
            if (e.bar == bar)
                events.push_back(e.what);
        return events;
    }
    // The bar's own controls, without the expand button the toolbar adds.
    static std::vector<int> Ids(CXTPToolBar* pBar)
    {
        std::vector<int> ids;
        for (int i = 0; i < pBar->GetControlCount(); ++i)
            if (!pBar->GetControl(i)->IsTemporary())
                ids.push_back(pBar->GetControl(i)->GetID());
        return ids;
    }
    static int Count(CXTPToolBar* pBar) { return static_cast<int>(Ids(pBar).size()); }

    DragFrame* m_pFrame = NULL;
    CXTPCommandBars* m_pBars = NULL;
    CXTPCustomizeDropSource* m_pDropSource = NULL;
    CXTPToolBar* m_pBar[3] = {};
    UINT_PTR m_nSafety = 0;
};

TEST_F(CustomizeDrag, BarsRegisterWhileTheirWindowExists)
{
    for (CXTPToolBar* pBar : m_pBar)
        EXPECT_TRUE(m_pDropSource->IsRegistered(pBar));
    m_pBar[2]->DestroyWindow();
    EXPECT_FALSE(m_pDropSource->IsRegistered(m_pBar[2]));
}

TEST_F(CustomizeDrag, CtrlCopiesAndTheCursorFollowsMoveCopyAndNoDrop)
{
    CXTResourceLoader* pLoader = GetResourceLoader();
    const HCURSOR hMove = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_DRAGMOVE);
    const HCURSOR hCopy = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_DRAGCOPY);
    const HCURSOR hNoDrop = pLoader->LoadCursor(XTP_IDC_COMMANDBARS_DRAGDELETE);
    ASSERT_TRUE(hMove != NULL && hCopy != NULL && hNoDrop != NULL);
    CXTPControl* pDragged = m_pBar[0]->GetControl(1);

    const CPoint ptB = Over(m_pBar[1]);
    PostMove(ptB); // enter B
    PostMove(ptB); // over B with the move cursor
    PostKey(WM_KEYDOWN, VK_CONTROL);
    PostMove(ptB); // over B with the copy cursor
    PostKey(WM_KEYUP, VK_CONTROL);
    PostMove(ptB);       // back to move
    PostMove(Outside()); // leave B: no drop
    PostMove(ptB);       // enter B, told while no-drop shows
    PostKey(WM_KEYDOWN, VK_CONTROL);
    PostButtonUp(ptB);
    EXPECT_EQ(XTP_DROPEFFECT_COPY, m_pDropSource->DoDragDrop(pDragged));

    // The release is hit-tested too: B hears of it before the drop.
    const std::vector<std::string> expected = {"enter", "over",  "over", "over",
                                               "leave", "enter", "over", "drop"};
    EXPECT_EQ(expected, Events("B"));
    std::vector<HCURSOR> cursors;
    for (const DragEvent& e : g_events)
        if (e.bar == "B")
            cursors.push_back(e.hCursor);
    ASSERT_EQ(8u, cursors.size());
    EXPECT_EQ(hMove, cursors[1]);
    EXPECT_EQ(hCopy, cursors[2]);
    EXPECT_EQ(hMove, cursors[3]);
    EXPECT_EQ(hNoDrop, cursors[5]);
    EXPECT_EQ(hCopy, cursors[6]);
    EXPECT_EQ(hCopy, cursors[7]);
    EXPECT_EQ(2, g_events.back().nEffect);
    EXPECT_TRUE(Events("A").empty() && Events("C").empty());

    // The clone joined B; A keeps its control.
    EXPECT_EQ(4, Count(m_pBar[1]));
    EXPECT_EQ(3, Count(m_pBar[0]));
    EXPECT_NE(m_pBar[1]->GetControls()->FindControl(ID_CZ_FIRST + 1), nullptr);
    EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(CustomizeDrag, WithCopyForbiddenTheControlMoves)
{
    CXTPControl* pDragged = m_pBar[0]->GetControl(1);
    const CPoint ptB = Over(m_pBar[1]);
    PostMove(ptB);
    PostKey(WM_KEYDOWN, VK_CONTROL);
    PostMove(ptB);
    PostButtonUp(ptB);
    EXPECT_EQ(XTP_DROPEFFECT_MOVE, m_pDropSource->DoDragDrop(pDragged, TRUE));
    ASSERT_FALSE(g_events.empty());
    EXPECT_EQ("drop", g_events.back().what);
    EXPECT_EQ(1, g_events.back().nEffect);
    EXPECT_EQ((std::vector<int>{ID_CZ_FIRST, ID_CZ_FIRST + 2}), Ids(m_pBar[0]));
    EXPECT_EQ(4, Count(m_pBar[1]));
    EXPECT_NE(m_pBar[1]->GetControls()->FindControl(ID_CZ_FIRST + 1), nullptr);
}

TEST_F(CustomizeDrag, EndsWithoutDropCallOneLeaveAndChangeNothing)
{
    struct Case
    {
        const char* name;
        std::function<void(CustomizeDrag*)> end;
        int nResult;
    };
    const Case cases[] = {
        {"escape", [](CustomizeDrag* t) { t->PostKey(WM_KEYDOWN, VK_ESCAPE); }, XTP_DROPEFFECT_CANCEL},
        {"right click", [](CustomizeDrag* t) { t->m_pFrame->PostMessage(WM_RBUTTONDOWN, MK_RBUTTON, 0); },
         XTP_DROPEFFECT_CANCEL},
        {"capture lost", [](CustomizeDrag* t) { t->m_pFrame->PostMessage(WM_APP); }, XTP_DROPEFFECT_CANCEL},
        {"button released outside every bar",
         [](CustomizeDrag* t) {
             t->PostMove(t->Outside());
             t->PostButtonUp(t->Outside());
         },
         XTP_DROPEFFECT_NONE},
        {"move without the button", [](CustomizeDrag* t) { t->PostMove(t->Outside(), 0); },
         XTP_DROPEFFECT_NONE},
    };
    m_pFrame->m_onApp = [] { ::ReleaseCapture(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_events.clear();
        PostMove(Over(m_pBar[1]));
        c.end(this);
        EXPECT_EQ(c.nResult, m_pDropSource->DoDragDrop(m_pBar[0]->GetControl(0)));
        EXPECT_EQ((std::vector<std::string>{"enter", "leave"}), Events("B"));
        EXPECT_EQ(3, Count(m_pBar[0]));
        EXPECT_EQ(3, Count(m_pBar[1]));
        EXPECT_TRUE(m_pBar[1]->GetCustomizeRect().IsRectEmpty());
        EXPECT_EQ(nullptr, ::GetCapture());
    }
}

TEST_F(CustomizeDrag, AQuitEndsTheDragAndStaysQueued)
{
    PostMove(Over(m_pBar[1]));
    ::PostQuitMessage(7);
    // A pending quit is seen before any input: the drag ends before the move reaches B.
    EXPECT_EQ(XTP_DROPEFFECT_CANCEL, m_pDropSource->DoDragDrop(m_pBar[0]->GetControl(0)));
    EXPECT_TRUE(Events("B").empty());
    EXPECT_EQ(nullptr, ::GetCapture());
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST_F(CustomizeDrag, AHiddenBarIsNeverATarget)
{
    const CPoint ptB = Over(m_pBar[1]);
    m_pBar[1]->SetVisible(FALSE);
    PostMove(ptB);
    PostButtonUp(ptB);
    m_pDropSource->DoDragDrop(m_pBar[0]->GetControl(0));
    EXPECT_TRUE(Events("B").empty());
    EXPECT_EQ(3, Count(m_pBar[1]));
}

TEST_F(CustomizeDrag, TheDropPositionIsTheNearestControlAndItsSide)
{
    CXTPToolBar* pBar = m_pBar[1];
    const CRect rcFirst = pBar->GetControl(0)->GetRect();
    const CRect rcLast = pBar->GetControl(2)->GetRect();
    struct Case
    {
        const char* name;
        CPoint point;
        int nIndex;
        BOOL bAfter;
    };
    const Case cases[] = {
        {"before the first", CPoint(rcFirst.left + 1, rcFirst.CenterPoint().y), 0, FALSE},
        {"after the last", CPoint(rcLast.right - 1, rcLast.CenterPoint().y), 2, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BOOL bAfter = !c.bAfter;
        CRect rcMark;
        EXPECT_EQ(c.nIndex, pBar->FindDropPosition(m_pBar[0]->GetControl(0), c.point, bAfter, rcMark));
        EXPECT_EQ(c.bAfter, bAfter);
        EXPECT_EQ(6, rcMark.Width());
        EXPECT_TRUE(rcMark.left >= rcFirst.left - 6 && rcMark.right <= rcLast.right + 6);
    }
    // Over the dragged control itself there is no mark.
    BOOL bAfter = FALSE;
    CRect rcMark(1, 1, 2, 2);
    EXPECT_EQ(0, pBar->FindDropPosition(pBar->GetControl(0), rcFirst.CenterPoint(), bAfter, rcMark));
    EXPECT_TRUE(rcMark.IsRectEmpty());
    // The mark is drawn inverted over the bar while the control is over it.
    CRect rcClient;
    pBar->GetClientRect(&rcClient);
    PixelSurface plain(rcClient.Width(), rcClient.Height(), RGB(255, 255, 255));
    pBar->SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(plain.dc()->m_hDC), PRF_CLIENT);
    m_pBar[1]->OnDragEnter(m_pBar[0]->GetControl(2), cases[0].point);
    const CRect rcShown = m_pBar[1]->GetCustomizeRect();
    ASSERT_FALSE(rcShown.IsRectEmpty());
    PixelSurface marked(rcClient.Width(), rcClient.Height(), RGB(255, 255, 255));
    pBar->SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(marked.dc()->m_hDC), PRF_CLIENT);
    const CPoint ptStem(rcShown.CenterPoint().x - 1, rcShown.CenterPoint().y);
    EXPECT_NE(plain.Pixel(ptStem.x, ptStem.y), marked.Pixel(ptStem.x, ptStem.y));
    EXPECT_EQ(plain.Pixel(rcShown.right + 3, ptStem.y), marked.Pixel(rcShown.right + 3, ptStem.y));
    m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    EXPECT_TRUE(
        test_support::WriteFramedWindowScreenshot(m_pFrame->m_hWnd, L"customize_drag_insertion_mark"));
    // A drop over the first control's left half puts the clone first, and the mark is gone.
    m_pBar[1]->OnDrop(m_pBar[0]->GetControl(2), XTP_DROPEFFECT_COPY, cases[0].point, CPoint(0, 0));
    EXPECT_TRUE(m_pBar[1]->GetCustomizeRect().IsRectEmpty());
    EXPECT_EQ((std::vector<int>{ID_CZ_FIRST + 2, ID_CZ_FIRST + 10, ID_CZ_FIRST + 11, ID_CZ_FIRST + 12}),
              Ids(m_pBar[1]));
}

TEST_F(CustomizeDrag, ABarDestroyedDuringTheDragIsNeverCalled)
{
    const CPoint ptB = Over(m_pBar[1]);
    m_pFrame->m_onApp = [this] { m_pBar[1]->DestroyWindow(); };
    PostMove(ptB);                 // B becomes the target
    m_pFrame->PostMessage(WM_APP); // B goes
    PostMove(ptB);
    PostButtonUp(ptB);
    EXPECT_EQ(XTP_DROPEFFECT_NONE, m_pDropSource->DoDragDrop(m_pBar[0]->GetControl(0)));
    EXPECT_EQ((std::vector<std::string>{"enter"}), Events("B"));
    EXPECT_EQ(3, Count(m_pBar[0]));
}

TEST_F(CustomizeDrag, APressWithAltHeldDragsAButtonOutsideCustomiseMode)
{
    ASSERT_TRUE(m_pBars->IsCustomizeCommandHandled());
    const int nFirst = ID_CZ_FIRST;
    struct Case
    {
        const char* name;
        BOOL bOption;
        bool bAlt;
        int nPressedId;
        bool bOverB; // the release: over B, else over no bar
        std::vector<int> idsA;
        int nCountB;
    };
    // Each case starts from what the one before left.
    const Case cases[] = {
        {"dropped on another bar it moves there", TRUE, true, nFirst + 1, true, {nFirst, nFirst + 2}, 4},
        {"dropped over no bar it leaves its bar", TRUE, true, nFirst + 2, false, {nFirst}, 4},
        {"without Alt the press is a click", TRUE, false, nFirst, true, {nFirst}, 4},
        {"with the option off Alt changes nothing", FALSE, true, nFirst, true, {nFirst}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_pBars->GetCommandBarsOptions()->bAltDragCustomization = c.bOption;
        CXTPControl* pPressed = m_pBar[0]->GetControls()->FindControl(c.nPressedId);
        ASSERT_NE(pPressed, nullptr);
        const CPoint ptPress = pPressed->GetRect().CenterPoint();
        const bool bDrags = c.bAlt && c.bOption;
        if (bDrags) {
            const CPoint ptRelease = c.bOverB ? Over(m_pBar[1]) : Outside();
            PostMove(ptRelease);
            PostButtonUp(ptRelease);
        } else {
            m_pBar[0]->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(ptPress.x, ptPress.y));
        }
        {
            commandbars_test::HeldKeys held =
                c.bAlt ? commandbars_test::HeldKeys{VK_MENU} : commandbars_test::HeldKeys{};
            m_pBar[0]->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptPress.x, ptPress.y));
        }
        Pump();
        EXPECT_EQ(c.idsA, Ids(m_pBar[0]));
        EXPECT_EQ(c.nCountB, Count(m_pBar[1]));
        EXPECT_FALSE(m_pBars->IsCustomizeMode());
        EXPECT_EQ(nullptr, ::GetCapture());
        EXPECT_FALSE(m_pBar[0]->IsTrackingMode());
    }
    EXPECT_NE(m_pBar[1]->GetControls()->FindControl(nFirst + 1), nullptr);
}

} // namespace
