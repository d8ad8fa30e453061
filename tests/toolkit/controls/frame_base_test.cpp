// The toolkit frame base with a recording double of the command bars, and the thin-border edit and
// static.
#include "color_table.h"
#include "control_edit.h"
#include "controls_test_ids.h"
#include "frame_wnd.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct BarsRecord
{
    std::vector<UINT> frameMessages;
    std::vector<UINT> preTranslated;
    std::vector<BOOL> previewModes;
    BOOL bHandleSize = FALSE;
    int nReleased = 0;
    HACCEL hShortcutTable = NULL;
};
BarsRecord g_bars;

class RecordingShortcutManager : public CXTPShortcutManager
{
public:
    HACCEL GetDefaultAccelerator() const override { return g_bars.hShortcutTable; }
};

class RecordingCommandBars : public CXTPCommandBars
{
    DECLARE_DYNCREATE(RecordingCommandBars)
public:
    CXTPShortcutManager* GetShortcutManager() override { return &m_recordingShortcuts; }
    BOOL OnFrameMessage(UINT message, WPARAM, LPARAM, LRESULT* pResult) override
    {
        g_bars.frameMessages.push_back(message);
        if (message == WM_SIZE && g_bars.bHandleSize) {
            *pResult = 42;
            return TRUE;
        }
        return FALSE;
    }
    void OnSetPreviewMode(BOOL bPreview) override { g_bars.previewModes.push_back(bPreview); }
    BOOL PreTranslateFrameMessage(MSG* pMsg) override
    {
        g_bars.preTranslated.push_back(pMsg->message);
        return pMsg->message == WM_CHAR;
    }
    void OnFinalRelease() override
    {
        ++g_bars.nReleased;
        CXTPCommandBars::OnFinalRelease();
    }

private:
    RecordingShortcutManager m_recordingShortcuts;
};
IMPLEMENT_DYNCREATE(RecordingCommandBars, CXTPCommandBars)

// One test frame over either toolkit frame; its message map is written out by hand because the
// map macros name a single class.
template <class TBase> class TestFrame : public TBase
{
public:
    BOOL m_bCreateBars = TRUE;
    int m_nAlphaNotified = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (m_bCreateBars)
            this->m_pCommandBars =
                static_cast<CXTPCommandBars*>(RUNTIME_CLASS(RecordingCommandBars)->CreateObject());
        return TBase::OnCreate(lpcs);
    }
    afx_msg void OnAlphaExecuted(NMHDR* pHeader, LRESULT* pResult)
    {
        ++m_nAlphaNotified;
        EXPECT_EQ(static_cast<UINT>(XTP_CN_EXECUTE), pHeader->code);
        EXPECT_EQ(nullptr, pHeader->hwndFrom);
        *pResult = 5;
    }
    const AFX_MSGMAP* GetMessageMap() const override { return GetThisMessageMap(); }
    static const AFX_MSGMAP* PASCAL GetThisMessageMap()
    {
        typedef TestFrame ThisClass;
        // clang-format off
        static const AFX_MSGMAP_ENTRY entries[] = {
            ON_WM_CREATE()
            ON_NOTIFY(XTP_CN_EXECUTE, ID_FRAME_ALPHA, OnAlphaExecuted)
            {0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}};
        // clang-format on
        static const AFX_MSGMAP map = {&TBase::GetThisMessageMap, &entries[0]};
        return &map;
    }
};

template <class TBase> class FrameBase : public ::testing::Test
{
protected:
    using Frame = TestFrame<TBase>;
    void SetUp() override { g_bars = BarsRecord(); }
    Frame* MakeFrame(BOOL bBars = TRUE)
    {
        auto* pFrame = new Frame;
        pFrame->m_bCreateBars = bBars;
        EXPECT_TRUE(pFrame->LoadFrame(IDR_CONTROLS_FRAME, WS_OVERLAPPEDWINDOW));
        pFrame->ShowWindow(SW_SHOW);
        return pFrame;
    }
};

// The MDI frame routes exactly as the single-document one, over the MDI client.
using ToolkitFrames = ::testing::Types<CXTPFrameWnd, CXTPMDIFrameWnd>;
TYPED_TEST_SUITE(FrameBase, ToolkitFrames);

TYPED_TEST(FrameBase, CommandBarsSeeFrameMessagesFirstAndAreReleasedOnce)
{
    auto* pFrame = this->MakeFrame();
    g_bars.frameMessages.clear();
    EXPECT_EQ(0, pFrame->SendMessage(WM_USER + 77, 0, 0));
    ASSERT_FALSE(g_bars.frameMessages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 77), g_bars.frameMessages.front());
    g_bars.bHandleSize = TRUE;
    EXPECT_EQ(42, pFrame->SendMessage(WM_SIZE, 0, MAKELPARAM(10, 10)));
    pFrame->DestroyWindow();
    EXPECT_EQ(1, g_bars.nReleased);
}

TYPED_TEST(FrameBase, ControlExecutedRoutesAsNotificationAndFallsBackToCommand)
{
    auto* pFrame = this->MakeFrame();
    CXTPControl control;
    control.SetSite(pFrame);
    control.SetID(ID_FRAME_ALPHA);
    NMXTPCONTROL notify{{NULL, ID_FRAME_ALPHA, XTP_CN_EXECUTE}, &control};
    EXPECT_EQ(
        5, pFrame->SendMessage(XTP_WM_CONTROL_EXECUTED, ID_FRAME_ALPHA, reinterpret_cast<LPARAM>(&notify)));
    EXPECT_EQ(1, pFrame->m_nAlphaNotified);
    // Nobody handles Beta's notification: 0, and the control then sends WM_COMMAND.
    NMXTPCONTROL beta{{NULL, ID_FRAME_BETA, XTP_CN_EXECUTE}, &control};
    EXPECT_EQ(0,
              pFrame->SendMessage(XTP_WM_CONTROL_EXECUTED, ID_FRAME_BETA, reinterpret_cast<LPARAM>(&beta)));
    g_bars.frameMessages.clear();
    control.SetID(ID_FRAME_BETA);
    control.Execute();
    ASSERT_EQ(2u, g_bars.frameMessages.size());
    EXPECT_EQ(static_cast<UINT>(XTP_WM_CONTROL_EXECUTED), g_bars.frameMessages[0]);
    EXPECT_EQ(static_cast<UINT>(WM_COMMAND), g_bars.frameMessages[1]);
    control.SetID(ID_FRAME_ALPHA);
    g_bars.frameMessages.clear();
    control.Execute();
    EXPECT_EQ(2, pFrame->m_nAlphaNotified);
    EXPECT_EQ(1u, g_bars.frameMessages.size());
    pFrame->DestroyWindow();
}

TYPED_TEST(FrameBase, KeysToACommandBarEditPassExceptEnterTabEscape)
{
    auto* pFrame = this->MakeFrame();
    CXTPEdit* pEdit = new CXTPEdit;
    ASSERT_TRUE(pEdit->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), pFrame, 1234));
    pEdit->SetFocus();
    ASSERT_EQ(pEdit->GetSafeHwnd(), ::GetFocus());
    for (UINT vk : {static_cast<UINT>('A'), static_cast<UINT>('7'), static_cast<UINT>(VK_BACK)}) {
        g_bars.preTranslated.clear();
        MSG msg{pEdit->GetSafeHwnd(), WM_KEYDOWN, vk, 0, 0, {}};
        EXPECT_FALSE(pFrame->PreTranslateMessage(&msg)) << vk;
        EXPECT_TRUE(g_bars.preTranslated.empty()) << vk;
    }
    for (UINT vk : {static_cast<UINT>(VK_RETURN), static_cast<UINT>(VK_TAB), static_cast<UINT>(VK_ESCAPE)}) {
        g_bars.preTranslated.clear();
        MSG msg{pEdit->GetSafeHwnd(), WM_KEYDOWN, vk, 0, 0, {}};
        pFrame->PreTranslateMessage(&msg);
        EXPECT_EQ(1u, g_bars.preTranslated.size()) << vk;
    }
    MSG charMsg{pFrame->GetSafeHwnd(), WM_CHAR, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(pFrame->PreTranslateMessage(&charMsg));
    pFrame->DestroyWindow();
    delete pEdit;
}

TYPED_TEST(FrameBase, ShortcutManagerTableReplacesTheFramesAccelerators)
{
    auto* pPlain = this->MakeFrame();
    EXPECT_NE(nullptr, pPlain->m_hAccelTable);
    pPlain->DestroyWindow();

    g_bars.hShortcutTable = ::LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_CONTROLS_FRAME));
    ASSERT_NE(nullptr, g_bars.hShortcutTable);
    auto* pFrame = this->MakeFrame();
    EXPECT_EQ(nullptr, pFrame->m_hAccelTable);
    pFrame->DestroyWindow();
}

TYPED_TEST(FrameBase, PreviewModeTellsTheBarsFirstAndAFrameWithoutBarsIsPlain)
{
    auto* pFrame = this->MakeFrame();
    pFrame->OnSetPreviewMode(TRUE, NULL);
    pFrame->OnSetPreviewMode(FALSE, NULL);
    EXPECT_EQ((std::vector<BOOL>{TRUE, FALSE}), g_bars.previewModes);
    EXPECT_FALSE(pFrame->m_bPreviewMode);
    pFrame->DestroyWindow();

    auto* pPlain = this->MakeFrame(FALSE);
    pPlain->OnSetPreviewMode(TRUE, NULL);
    EXPECT_TRUE(pPlain->m_bPreviewMode);
    NMXTPCONTROL notify{{NULL, ID_FRAME_BETA, XTP_CN_EXECUTE}, NULL};
    EXPECT_EQ(0,
              pPlain->SendMessage(XTP_WM_CONTROL_EXECUTED, ID_FRAME_BETA, reinterpret_cast<LPARAM>(&notify)));
    MSG msg{pPlain->GetSafeHwnd(), WM_CHAR, 'x', 0, 0, {}};
    EXPECT_FALSE(pPlain->PreTranslateMessage(&msg));
    pPlain->DestroyWindow();
    EXPECT_EQ(1, g_bars.nReleased);
}

TEST(MdiFrameBase, StandsOnTheMdiFrameAndKeepsItsClient)
{
    const CRuntimeClass* pClass = RUNTIME_CLASS(CXTPMDIFrameWnd);
    EXPECT_STREQ("CXTPMDIFrameWnd", pClass->m_lpszClassName);
    EXPECT_EQ(RUNTIME_CLASS(CMDIFrameWnd), pClass->m_pBaseClass);
    EXPECT_EQ(RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(CXTPFrameWnd)->m_pBaseClass);

    g_bars = BarsRecord();
    auto* pFrame = new TestFrame<CXTPMDIFrameWnd>;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_CONTROLS_FRAME, WS_OVERLAPPEDWINDOW));
    EXPECT_TRUE(pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)));
    ASSERT_NE(nullptr, pFrame->m_hWndMDIClient);
    // The command bars saw the frame's creation messages and the MDI client still answers.
    EXPECT_FALSE(g_bars.frameMessages.empty());
    EXPECT_EQ(nullptr, reinterpret_cast<HWND>(::SendMessage(pFrame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0)));
    pFrame->DestroyWindow();
    EXPECT_EQ(1, g_bars.nReleased);
}

// The window's own picture, non-client area included.
COLORREF WindowPixel(CWnd* pWnd, int x, int y)
{
    CWindowDC dc(pWnd);
    return dc.GetPixel(x, y);
}

template <class Thin> void ExpectThinBorder(const wchar_t* name)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0, NULL, ::GetSysColorBrush(COLOR_WINDOW)), L"thin",
                                WS_POPUP | WS_VISIBLE, CRect(50, 50, 250, 150), NULL, 0));
    Thin thin;
    ASSERT_TRUE(thin.Create(name, WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 40), &parent, 77));
    thin.SetWindowPos(NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    thin.RedrawWindow(NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    CRect rectWindow;
    CRect rectClient;
    thin.GetWindowRect(&rectWindow);
    thin.GetClientRect(&rectClient);
    EXPECT_EQ(rectWindow.Width() - 2, rectClient.Width()) << Narrow(name);
    EXPECT_EQ(rectWindow.Height() - 2, rectClient.Height()) << Narrow(name);
    const COLORREF clrBorder = GetColorTable()->GetColor(52);
    EXPECT_EQ(clrBorder, WindowPixel(&thin, 0, 0));
    EXPECT_EQ(clrBorder, WindowPixel(&thin, rectWindow.Width() - 1, rectWindow.Height() - 1));
    EXPECT_EQ(clrBorder, WindowPixel(&thin, rectWindow.Width() / 2, 0));
    EXPECT_EQ(clrBorder, WindowPixel(&thin, 0, rectWindow.Height() / 2));
    // Without a paint manager the window installs the default theme and takes its font.
    ASSERT_NE(nullptr, CXTPPaintManager::Instance());
    EXPECT_EQ(CXTPPaintManager::Instance()->GetRegularFont()->GetSafeHandle(),
              reinterpret_cast<HGDIOBJ>(thin.SendMessage(WM_GETFONT)));
    parent.DestroyWindow();
    CXTPPaintManager::ReleaseGlobal();
}

class CreatableEdit : public CThinBorderEdit
{
public:
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
    {
        if (!CThinBorderEdit::Create(dwStyle, rect, pParent, nID))
            return FALSE;
        SetWindowText(lpszText);
        return TRUE;
    }
};

TEST(ThinBorder, OnePixelBorderInColour52AndTheDefaultThemeFontWithoutPaintManager)
{
    // Earlier windows of the program may have installed the default theme already.
    CXTPPaintManager::ReleaseGlobal();
    ExpectThinBorder<CreatableEdit>(L"edit");
    CXTPPaintManager::ReleaseGlobal();
    ExpectThinBorder<CThinBorderStatic>(L"static");
}

TEST(ThinBorder, TakesThePaintManagersRegularFont)
{
    auto* pPaintManager = new CXTPPaintManager;
    CXTPPaintManager::SetCustomTheme(pPaintManager);
    CWnd parent;
    ASSERT_TRUE(
        parent.CreateEx(0, AfxRegisterWndClass(0), L"thin", WS_POPUP, CRect(0, 0, 100, 100), NULL, 0));
    CThinBorderStatic thin;
    ASSERT_TRUE(thin.Create(L"x", WS_CHILD, CRect(0, 0, 50, 20), &parent, 1));
    EXPECT_EQ(pPaintManager->GetRegularFont()->GetSafeHandle(),
              reinterpret_cast<HGDIOBJ>(thin.SendMessage(WM_GETFONT)));
    parent.DestroyWindow();
    CXTPPaintManager::SetCustomTheme(NULL);
}

} // namespace
