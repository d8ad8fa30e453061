// The frame of the input tests: a menu bar, the "Standard" toolbar and the accelerators in the
// shortcut manager, built in the program's order; commands are recorded. Helpers pump messages and
// type keys through SendInput (the display's real input, which the thread's hooks see).
#pragma once

#include "bars_frame_fixture.h"
#include "command_bars.h"
#include "commandbars_test_frames.h"
#include "commandbars_test_ids.h"
#include "frame_wnd.h"
#include "menu_script.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

#include <afxpriv.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

// Texts in test messages.
inline void PrintTo(const CString& strText, std::ostream* pStream)
{
    *pStream << '"' << Narrow(strText) << '"';
}

namespace input_test {

using popup_test::PumpFor;

inline void SendKey(WORD wVk, bool bUp)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = wVk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(wVk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(INPUT));
    PumpFor(60);
}

// Keys pressed in order and released in reverse order.
inline void Chord(std::initializer_list<WORD> keys)
{
    for (WORD wVk : keys)
        SendKey(wVk, false);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        SendKey(*it, true);
}

inline void MoveCursor(POINT pt)
{
    ::SetCursorPos(pt.x, pt.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof(INPUT));
    PumpFor(40);
}

inline void ClickAt(POINT pt)
{
    ::SetCursorPos(pt.x, pt.y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
    PumpFor(150);
}

class InputFrame : public CXTPFrameWnd
{
public:
    std::vector<UINT> m_commands;

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == WM_COMMAND && lParam == 0 && LOWORD(wParam) >= ID_CB_NEW &&
            LOWORD(wParam) <= ID_CB_STORE)
            m_commands.push_back(LOWORD(wParam));
        return CXTPFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
    }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        CXTPToolBar* pToolBar =
            commandbars_test::AttachMenuAndStandardBars(this, m_pCommandBars, IDR_CB_FRAME);
        if (pToolBar == NULL)
            return -1;
        pToolBar->ModifyFlags(0, 0x1F);
        m_pCommandBars->GetShortcutManager()->LoadAccelerators(IDR_CB_FRAME);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

class FrameTest : public commandbars_test::BarsFrameFixture<InputFrame>
{
protected:
    void SetUp() override { OpenFrame(IDR_CB_FRAME, 520, 300); }
    // A point of the frame's client area below the bars.
    POINT ClientPoint() const
    {
        CRect rect;
        m_pFrame->GetClientRect(&rect);
        POINT pt = {rect.CenterPoint().x, rect.bottom - 30};
        m_pFrame->ClientToScreen(&pt);
        return pt;
    }
    // The frame as the screen shows it, once every bar has painted.
    void Screenshot(const wchar_t* lpszName)
    {
        m_pFrame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        m_pFrame->RedrawWindow(NULL, NULL,
                               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        for (CWnd* pBar : {static_cast<CWnd*>(m_pMenuBar), static_cast<CWnd*>(m_pToolBar)})
            pBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        CRect rcFrame;
        m_pFrame->GetWindowRect(&rcFrame);
        // The tip below the toolbar may reach past the frame.
        rcFrame.bottom += 40;
        HDC hScreen = ::GetDC(NULL);
        EXPECT_TRUE(test_support::WriteDcScreenshot(hScreen, rcFrame, lpszName));
        ::ReleaseDC(NULL, hScreen);
    }
    // A point of the menu bar beyond its controls.
    POINT MenuBarPoint() const
    {
        CRect rect;
        m_pMenuBar->GetWindowRect(&rect);
        return POINT{rect.right - 5, rect.CenterPoint().y};
    }
    POINT ControlCenter(CXTPCommandBar* pBar, int nId) const
    {
        CXTPControl* pControl = pBar->GetControls()->FindControl(nId);
        POINT pt = pControl != NULL ? pControl->GetRect().CenterPoint() : CPoint(0, 0);
        pBar->ClientToScreen(&pt);
        return pt;
    }
};

} // namespace input_test
