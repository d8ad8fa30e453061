#pragma once

// While one lives (on the window's thread) the window draws nothing, and a list or tree control changes
// as many items as it likes at the cost of one paint at the end. The control's own pause (WM_SETREDRAW
// as the control answers it) still sets its scroll bars after each change of a visible item, and a
// visible scroll bar is drawn at once, a round trip to the display each time; the window's pause (its
// visible flag off, nothing hidden on screen) leaves them undrawn too. A pause inside another does
// nothing.
#include <afxwin.h>

class CRedrawPause
{
public:
    explicit CRedrawPause(CWnd& window)
        : m_window(window.GetSafeHwnd() != NULL && (window.GetStyle() & WS_VISIBLE) != 0 ? &window : NULL)
    {
        if (m_window == NULL)
            return;
        m_window->SetRedraw(FALSE);
        ::DefWindowProcW(m_window->GetSafeHwnd(), WM_SETREDRAW, FALSE, 0);
    }
    ~CRedrawPause()
    {
        if (m_window == NULL || !::IsWindow(m_window->GetSafeHwnd()))
            return;
        ::DefWindowProcW(m_window->GetSafeHwnd(), WM_SETREDRAW, TRUE, 0);
        m_window->SetRedraw(TRUE);
        m_window->RedrawWindow(NULL, NULL, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    CRedrawPause(const CRedrawPause&) = delete;
    CRedrawPause& operator=(const CRedrawPause&) = delete;

private:
    CWnd* m_window;
};
