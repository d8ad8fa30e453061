#pragma once

// A plain top-level window of the framework on the test display that holds the controls under test, so that
// their notifications are reflected to them as in a dialog. What it paints is the test's to choose.
#include <afxwin.h>

#include <functional>

class CWidgetHost : public CWnd
{
public:
    // A top-level window at the screen's origin, or with a parent, a child window at its origin.
    BOOL Create(int width, int height, COLORREF background = RGB(255, 255, 255), CWnd* pParent = NULL);
    ~CWidgetHost() override;

    std::function<void(CDC&)> m_paint;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    COLORREF m_background = RGB(255, 255, 255);
};

// Runs this thread's messages for the time given.
void PumpFor(DWORD milliseconds);
