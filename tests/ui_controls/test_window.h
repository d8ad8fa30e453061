#pragma once

// A plain top-level window on the test display that the controls of a test live in.
#include <afxwin.h>

class CTestWindow : public CWnd
{
public:
    CTestWindow(int width, int height, LPCTSTR title = L"Controls")
    {
        CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE)),
                 title, WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40, width, height,
                 NULL, NULL);
    }
    ~CTestWindow() override
    {
        if (m_hWnd != NULL) {
            DestroyWindow();
        }
    }
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;

    // The font the window answers WM_GETFONT with (none by default), for controls that draw with their
    // parent's font.
    HFONT m_hFont = NULL;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_GETFONT && m_hFont != NULL) {
            return reinterpret_cast<LRESULT>(m_hFont);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// One window for all the tests of a program: a top-level window takes the display a while to come and
// go. Tests destroy the children they make.
inline CTestWindow& SharedTestWindow()
{
    static CTestWindow* const window = new CTestWindow(1300, 760);
    return *window;
}
