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
};
