// The modal drag of a splitter: an XOR outline on the desktop follows the mouse along one axis
// within bounds until the left button is released (1) or Escape is pressed (0).
#pragma once

#include <afxwin.h>

// The 50% grey pattern brush of drag outlines; the caller deletes it.
HBRUSH AFXAPI XTCreateHalftoneBrush();

class CXTSplitterDragTracker
{
public:
    CXTSplitterDragTracker();
    ~CXTSplitterDragTracker();
    CXTSplitterDragTracker(const CXTSplitterDragTracker&) = delete;
    CXTSplitterDragTracker& operator=(const CXTSplitterDragTracker&) = delete;

    // rectBounds holds the smallest and largest x (left, right) and y (top, bottom) the tracking
    // rectangle may take; rectTracker (screen coordinates) keeps its last position either way.
    int Track(CWnd* pTrackWnd, const CRect& rectBounds, CRect& rectTracker, CPoint point, BOOL bHoriz);

    // Drawn with the tracking rectangle when not empty.
    void SetSecondRect(const CRect& rect) { m_rectSecond = rect; }
    // Inverts instead of drawing the half-tone pattern.
    void SetInvert(BOOL bInvert) { m_bInvert = bInvert; }

private:
    void DrawRect(const CRect& rect);

    CDC* m_pSplitterDC;
    BOOL m_bInvert;
    CRect m_rectSecond;
};
