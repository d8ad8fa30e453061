// A fixture over a frame of command bars: its command bars, menu bar and second bar (the "Standard"
// toolbar). Opened here, the frame stands at (40, 40), in front and focused; after each test the popups
// close, the frame goes and the mouse manager forgets what it tracked.
#pragma once

#include "command_bars.h"
#include "menu_script.h"

#include <gtest/gtest.h>

namespace commandbars_test {

template <class TFrame> class BarsFrameFixture : public ::testing::Test
{
protected:
    // Loads the frame from its resources at that size and lays its bars out.
    void OpenFrame(UINT nResourceId, int cx, int cy)
    {
        CXTPMouseManager::GetInstance()->Reset();
        m_pFrame = new TFrame;
        ASSERT_TRUE(m_pFrame->LoadFrame(nResourceId, WS_OVERLAPPEDWINDOW));
        m_pFrame->SetWindowPos(&CWnd::wndTop, 40, 40, cx, cy, SWP_SHOWWINDOW);
        m_pFrame->SetForegroundWindow();
        m_pFrame->SetActiveWindow();
        m_pFrame->SetFocus();
        m_pFrame->RecalcLayout();
        popup_test::PumpFor(100);
        TakeBars();
    }
    // The frame's bars, which must be there.
    void TakeBars()
    {
        m_pBars = m_pFrame->GetCommandBars();
        ASSERT_NE(nullptr, m_pBars);
        m_pMenuBar = m_pBars->GetMenuBar();
        m_pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, m_pBars->GetAt(1));
        ASSERT_NE(nullptr, m_pMenuBar);
        ASSERT_NE(nullptr, m_pToolBar);
    }
    void TearDown() override
    {
        if (m_pBars != NULL)
            m_pBars->ClosePopups();
        if (m_pFrame != NULL && ::IsWindow(m_pFrame->GetSafeHwnd()))
            m_pFrame->DestroyWindow();
        popup_test::PumpFor(50);
        CXTPMouseManager::GetInstance()->Reset();
    }

    TFrame* m_pFrame = NULL;
    CXTPCommandBars* m_pBars = NULL;
    CXTPMenuBar* m_pMenuBar = NULL;
    CXTPToolBar* m_pToolBar = NULL;
};

} // namespace commandbars_test
