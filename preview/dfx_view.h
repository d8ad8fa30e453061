#pragma once

// The preview of ".dxf" drawings: checks that the file is a text DXF, loads it through the drawing
// library and shows it on a canvas fitted to the window; the wheel zooms about the centre.
#include <afxwin.h>

#include "drawing_canvas.h"
#include "dxf_drawing.h"

class CDFXView : public CView
{
    DECLARE_DYNCREATE(CDFXView)
public:
    static constexpr UINT kCanvasId = 61464;
    // How much of the file's start is looked at for "SECTION" and "HEADER".
    static constexpr int kSignatureBytes = 511;

    // Whether the start of a file (up to its first zero byte) reads as a text DXF.
    static BOOL IsTextDxf(const char* pStart, int nLength);

    CDxfDrawing m_drawing;
    CDrawingCanvas m_canvas;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    BOOL LoadDrawing(const CString& strPath, HWND hProgress);
    void FitCanvas();
};
