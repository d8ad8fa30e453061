// The frame of the popup-menu tests: a menu bar and the "Standard" toolbar in the flat theme with
// popups that do not animate; every command and execute notification is recorded. Modal menus are
// driven by a script of steps run from a thread timer while they track, with a safety stop.
#pragma once

#include "bars_frame_fixture.h"
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "frame_wnd.h"
#include "menu_script.h"
#include "popup_test_ids.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <afxpriv.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace popup_test {

class PopupFrame : public CXTPFrameWnd
{
public:
    // Commands as WM_COMMAND, and ids as execute notifications (0x2862), in arrival order.
    std::vector<UINT> m_commands;
    std::vector<UINT> m_executed;
    // The toolbar context menu's popup as the frame saw it, and what the frame does with it.
    CXTPPopupBar* m_pContextPopup = NULL;
    std::function<void(CXTPPopupBar*)> m_onContextMenu;
    // Popups about to show (0x285B) and closed (0x285D).
    int m_nPopupsShown = 0;
    int m_nPopupsClosed = 0;

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == WM_COMMAND && lParam == 0 && LOWORD(wParam) >= ID_PM_NEW &&
            LOWORD(wParam) <= ID_PM_LAST)
            m_commands.push_back(LOWORD(wParam));
        if (message == XTP_WM_CONTROL_EXECUTED)
            m_executed.push_back(static_cast<UINT>(wParam));
        if (message == XTP_WM_INITCOMMANDSPOPUP)
            ++m_nPopupsShown;
        if (message == XTP_WM_UNINITCOMMANDSPOPUP)
            ++m_nPopupsClosed;
        if (message == XTP_WM_TOOLBAR_CONTEXTMENU) {
            m_pContextPopup = reinterpret_cast<CXTPPopupBar*>(lParam);
            if (m_onContextMenu)
                m_onContextMenu(m_pContextPopup);
        }
        return CXTPFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
    }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        if (commandbars_test::AttachBarsWithMenuBar(this, m_pCommandBars, IDR_PM_FRAME) == NULL)
            return -1;
        m_pCommandBars->GetCommandBarsOptions()->animationType = 5;
        CXTPToolBar* pToolBar = m_pCommandBars->Add(L"Standard", xtpBarTop);
        const UINT buttons[] = {ID_PM_NEW, ID_PM_OPEN, 0, ID_PM_CUT, ID_PM_COPY, ID_PM_PASTE, 0, ID_PM_FIND};
        if (pToolBar == NULL || !pToolBar->SetButtons(buttons, static_cast<int>(std::size(buttons))))
            return -1;
        pToolBar->ModifyFlags(0, 0x1F);
        return 0;
    }
    afx_msg void OnCommandRange(UINT) {}
    DECLARE_MESSAGE_MAP()
};

class PopupFrameTest : public commandbars_test::BarsFrameFixture<PopupFrame>
{
protected:
    void SetUp() override
    {
        // Popups cast their shadows in the flat theme whatever the system's setting.
        CXTPPaintManager::SetTheme(1);
        OpenFrame(IDR_PM_FRAME, 560, 320);
    }
    // The popup bar of the menu-bar item with that caption.
    CXTPPopupBar* MenuOf(LPCTSTR lpszCaption) const
    {
        for (int i = 0; i < m_pMenuBar->GetControlCount(); ++i)
            if (m_pMenuBar->GetControl(i)->GetCaption() == lpszCaption)
                return DYNAMIC_DOWNCAST(CXTPPopupBar, m_pMenuBar->GetControl(i)->GetCommandBar());
        return NULL;
    }
    CXTPControl* MenuItem(LPCTSTR lpszCaption) const
    {
        for (int i = 0; i < m_pMenuBar->GetControlCount(); ++i)
            if (m_pMenuBar->GetControl(i)->GetCaption() == lpszCaption)
                return m_pMenuBar->GetControl(i);
        return NULL;
    }
    // The centre of a control in screen coordinates, and in its bar's client coordinates.
    static CPoint ScreenCenter(CXTPControl* pControl)
    {
        CPoint pt = pControl->GetRect().CenterPoint();
        pControl->GetParent()->ClientToScreen(&pt);
        return pt;
    }
    static LPARAM ClientPoint(CXTPControl* pControl)
    {
        const CPoint pt = pControl->GetRect().CenterPoint();
        return MAKELPARAM(pt.x, pt.y);
    }
    static CRect ScreenRect(CXTPControl* pControl)
    {
        CRect rect = pControl->GetRect();
        pControl->GetParent()->ClientToScreen(&rect);
        return rect;
    }
    // The frame and whatever popups lie over it, as the screen shows them.
    void Screenshot(const wchar_t* lpszName, CWnd* pPopup)
    {
        CRect rect;
        m_pFrame->GetWindowRect(&rect);
        if (pPopup != NULL && ::IsWindow(pPopup->GetSafeHwnd())) {
            CRect rcPopup;
            pPopup->GetWindowRect(&rcPopup);
            rcPopup.InflateRect(0, 0, 8, 8);
            rect.UnionRect(rect, rcPopup);
        }
        const CRect rcScreen(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
        rect.IntersectRect(rect, rcScreen);
        HDC hScreen = ::GetDC(NULL);
        EXPECT_TRUE(test_support::WriteDcScreenshot(hScreen, rect, lpszName));
        ::ReleaseDC(NULL, hScreen);
    }
};

} // namespace popup_test
