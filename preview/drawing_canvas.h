#pragma once

// The paint surface of the drawing preview: paints the drawing (black when none is loaded) and pans it
// while the left or middle button drags.
#include <afxwin.h>

class CDxfDrawing;

class CDrawingCanvas : public CStatic
{
public:
    CDxfDrawing* m_pDrawing = NULL;
    int m_nLastX = 0;
    int m_nLastY = 0;
    BYTE m_bDragging = 0;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void BeginDrag(CPoint point);
    void EndDrag();
};
