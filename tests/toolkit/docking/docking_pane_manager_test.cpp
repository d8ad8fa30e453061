// The docking-pane manager without a site (as the program's main frame keeps one), its theme and
// metrics, the pane factory, and the pane's own table of titles, tab colours and copies.
#include "docking_pane_manager.h"
#include "docking_test_frame.h"
#include "tab_paint_manager.h"
#include "toolkit_test_app.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<HGDIOBJ> FontHandles(CXTPDockingPaneManager& manager)
{
    CXTPDockingPanePaintManager* pPaint = manager.GetPaintManager();
    std::vector<HGDIOBJ> handles = {pPaint->m_fntTitle.GetSafeHandle(),
                                    pPaint->m_fntTitleVertical.GetSafeHandle()};
    for (CXTPTabPaintManager* pTabs :
         {pPaint->GetTabPaintManager(), pPaint->GetAutoHidePanelPaintManager()}) {
        for (CFont* pFont : {&pTabs->m_fntNormal, &pTabs->m_fntBold, &pTabs->m_fntVerticalNormal,
                             &pTabs->m_fntVerticalBold}) {
            if (pFont->GetSafeHandle() != NULL)
                handles.push_back(pFont->GetSafeHandle());
        }
    }
    return handles;
}

TEST(DockingPaneManager, ConstructionAndDestructionWithoutASiteLeaveNothingBehind)
{
    const HRESULT hrBefore = ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hrBefore))
        ::CoUninitialize();
    for (int i = 0; i < 1000; ++i) {
        auto manager = std::make_unique<CXTPDockingPaneManager>();
        const std::vector<HGDIOBJ> handles = FontHandles(*manager);
        ASSERT_GE(handles.size(), 2u);
        ASSERT_NE(manager->GetPaintManager()->m_fntTitle.GetSafeHandle(), nullptr);
        if (i == 0) {
            // The main frame's calls: no layout, so nothing is found and nothing moves.
            EXPECT_EQ(manager->FindPane(1), nullptr);
            manager->ShowPane(NULL);
            manager->ClosePane(NULL);
            EXPECT_EQ(manager->GetLayout(), nullptr);
            EXPECT_EQ(manager->NotifyOwner(xtpPaneActionClosing, NULL, NULL, 0), 0);
        }
        manager.reset();
        for (HGDIOBJ handle : handles)
            ASSERT_EQ(::GetObjectType(handle), 0u) << "iteration " << i;
    }
    const HRESULT hrAfter = ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hrAfter))
        ::CoUninitialize();
    EXPECT_EQ(hrAfter, hrBefore);
}

TEST(DockingPaneManager, CaptionAndTabMetrics)
{
    CXTPDockingPaneManager manager;
    CXTPDockingPanePaintManager* pPaint = manager.GetPaintManager();
    EXPECT_GE(pPaint->GetTabsHeight(), 24);
    LOGFONTW lf = {};
    lf.lfHeight = -9;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    pPaint->SetCaptionFont(&lf, FALSE);
    CClientDC dc(NULL);
    CFont* pOld = dc.SelectObject(&pPaint->m_fntTitle);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(dc.GetSafeHdc(), &tm);
    dc.SelectObject(pOld);
    ASSERT_LE(tm.tmHeight, 13);
    EXPECT_EQ(pPaint->GetCaptionHeight(), 18);

    LOGFONTW lfVertical = {};
    pPaint->m_fntTitleVertical.GetLogFont(&lfVertical);
    EXPECT_EQ(lfVertical.lfHeight, -11);
    EXPECT_EQ(lfVertical.lfEscapement, 2700);
}

TEST(DockingPaneManager, ThemeNumbersAndMarkerStyle)
{
    CXTPDockingPaneManager manager;
    EXPECT_EQ(manager.GetPaintManager()->GetTheme(), 0);
    manager.SetTheme(12);
    EXPECT_EQ(manager.GetPaintManager()->GetTheme(), 0);
    EXPECT_EQ(manager.m_nStickyStyle, 0);
    manager.SetTheme(9);
    EXPECT_EQ(manager.m_nStickyStyle, 1);
    manager.SetTheme(0);
    EXPECT_EQ(manager.m_nStickyStyle, 1);
    EXPECT_EQ(manager.GetPaintManager()->GetTheme(), 0);
}

TEST(DockingPaneManager, FactoryTypes)
{
    CXTPDockingPaneManager manager;
    std::unique_ptr<CXTPDockingPaneLayout, void (*)(CXTPDockingPaneLayout*)> layout(
        manager.CreateLayout(), [](CXTPDockingPaneLayout* p) { p->InternalRelease(); });
    ASSERT_EQ(layout->GetNodeList().size(), 2u);
    EXPECT_EQ(layout->GetClient()->GetType(), xtpPaneTypeClient);
    EXPECT_EQ(layout->GetTopContainer()->GetType(), xtpPaneTypeSplitterContainer);
    for (int type : {6, -1})
        EXPECT_EQ(manager.CreatePaneOfType(type, layout.get()), nullptr) << type;
    EXPECT_EQ(layout->GetNodeList().size(), 2u);
    // A floating frame is a node before it has a window.
    CXTPDockingPaneBase* pMiniWnd = manager.CreatePaneOfType(xtpPaneTypeMiniWnd, layout.get());
    ASSERT_NE(pMiniWnd, nullptr);
    EXPECT_EQ(pMiniWnd->GetType(), xtpPaneTypeMiniWnd);
    EXPECT_TRUE(pMiniWnd->IsEmpty());
    EXPECT_EQ(layout->GetNodeList().size(), 3u);
    layout->FreeUnusedNodes();
    EXPECT_EQ(layout->GetNodeList().size(), 2u);
    // A pane has its record from the start.
    CXTPDockingPaneBase* pPane = manager.CreatePaneOfType(xtpPaneTypeDockingPane, layout.get());
    ASSERT_NE(pPane, nullptr);
    EXPECT_EQ(layout->GetPaneList().size(), 1u);
    EXPECT_EQ(layout->FindPaneRecord(static_cast<CXTPDockingPane*>(pPane))->pPane, pPane);
    // A side panel without containers is empty and has no window.
    CXTPDockingPaneBase* pPanel = manager.CreatePaneOfType(xtpPaneTypeSidePanel, layout.get());
    ASSERT_NE(pPanel, nullptr);
    EXPECT_EQ(pPanel->GetType(), xtpPaneTypeSidePanel);
    EXPECT_TRUE(pPanel->IsEmpty());
    EXPECT_EQ(pPanel->GetWindow(), nullptr);
}

// Answers the tab-colour message with a colour of its own.
LRESULT CALLBACK ColourChildProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == XTP_DPN_GETTABCOLOR)
        return RGB(1, 2, 3);
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

TEST(DockingPane, TitlesTabColoursAndCopies)
{
    CXTPDockingPaneManager manager;
    std::unique_ptr<CXTPDockingPaneLayout, void (*)(CXTPDockingPaneLayout*)> layout(
        manager.CreateLayout(), [](CXTPDockingPaneLayout* p) { p->InternalRelease(); });
    CXTPDockingPane* pPane =
        static_cast<CXTPDockingPane*>(manager.CreatePaneOfType(xtpPaneTypeDockingPane, layout.get()));

    struct TitleCase
    {
        const wchar_t* title;
        const wchar_t* caption;
        const wchar_t* shortTitle;
    };
    const TitleCase titles[] = {
        {L"long\nshort", L"long", L"short"}, {L"x", L"x", L"x"}, {L"x\n", L"x", L""}, {L"", L"", L""}};
    for (const TitleCase& c : titles) {
        SCOPED_TRACE(Narrow(c.title));
        pPane->SetTitle(c.title);
        EXPECT_STREQ(pPane->GetTitle(), c.caption);
        EXPECT_STREQ(pPane->GetShortTitle(), c.shortTitle);
    }

    struct ColourCase
    {
        int id;
        COLORREF expected;
    };
    const ColourCase colours[] = {{13, 0x1000005}, {-3, 0x1000000 - 3}, {8, 0x1000000}, {0, 0x1000000}};
    for (const ColourCase& c : colours) {
        pPane->SetID(c.id);
        EXPECT_EQ(pPane->GetTabColor(), c.expected) << c.id;
    }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ColourChildProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = L"DockingColourChild";
    ::RegisterClassW(&wc);
    HWND hChild = ::CreateWindowW(L"DockingColourChild", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                  AfxGetInstanceHandle(), NULL);
    pPane->Attach(hChild);
    EXPECT_EQ(pPane->GetTabColor(), RGB(1, 2, 3));
    pPane->SetTabColor(RGB(9, 9, 9));
    EXPECT_EQ(pPane->GetTabColor(), RGB(9, 9, 9));

    pPane->SetID(7);
    pPane->SetTitle(L"Title\nT");
    pPane->SetHelpID(44);
    pPane->SetOptions(xtpPaneNoCloseable);
    pPane->SetTag(5);
    pPane->m_szDocking = CSize(120, 80);
    pPane->SetMinTrackSize(CSize(30, 40));
    CXTPDockingPane* pCopy =
        static_cast<CXTPDockingPane*>(manager.CreatePaneOfType(xtpPaneTypeDockingPane, layout.get()));
    pCopy->Copy(pPane);
    EXPECT_EQ(pCopy->GetID(), 7);
    EXPECT_STREQ(pCopy->m_strTitle, L"Title\nT");
    EXPECT_EQ(pCopy->GetOptions(), static_cast<DWORD>(xtpPaneNoCloseable));
    EXPECT_EQ(pCopy->GetTag(), 5u);
    EXPECT_EQ(pCopy->m_szDocking, CSize(120, 80));
    EXPECT_EQ(pCopy->m_ptMinTrackSize, CPoint(30, 40));
    EXPECT_EQ(pCopy->m_clrTab, static_cast<COLORREF>(-1));
    EXPECT_EQ(pCopy->GetHelpID(), 0);
    EXPECT_EQ(pCopy->GetChild(), nullptr);
    pPane->Attach(NULL);
    ::DestroyWindow(hChild);
}

} // namespace
