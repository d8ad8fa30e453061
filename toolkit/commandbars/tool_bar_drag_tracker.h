// Moves, docks, floats and resizes one toolbar with the mouse: a modal loop with the mouse captured
// in which the bar's own window follows the mouse (no outline is drawn).
#pragma once

#include <afxwin.h>

class CXTPToolBar;

class CXTPToolBarDragTracker
{
public:
    explicit CXTPToolBarDragTracker(CXTPToolBar* pBar) : m_pBar(pBar) {}
    virtual ~CXTPToolBarDragTracker() = default;
    CXTPToolBarDragTracker(const CXTPToolBarDragTracker&) = delete;
    CXTPToolBarDragTracker& operator=(const CXTPToolBarDragTracker&) = delete;

    // Screen coordinates. Moving docks the bar on a dock bar near the mouse, else floats it.
    virtual void StartMove(CPoint point);
    // A floating bar's border (hit codes 10 to 17) follows the mouse.
    virtual void StartResize(int nHitCode, CPoint point);
    // Docked to floating and back (a double-click); TRUE when the bar changed state.
    virtual BOOL ToggleDocking();
    // Runs until the button is released, Escape or a right click, the capture is lost or the
    // application quits; the bar stays where it is then.
    virtual void TrackLoop();

protected:
    void Move(CPoint point);
    void Resize(CPoint point);
    // The docked rectangle (dock bar client coordinates) and side the bar returns to.
    void RememberDockedPlace();

    CXTPToolBar* m_pBar;
    // 1 moving; the hit code of the dragged border while resizing.
    int m_nMode = 0;
    CPoint m_ptLast;
    CRect m_rcDrag;
    CRect m_rcWindow;
};
