#include "drawing_canvas.h"

#include "dxf_drawing.h"

// clang-format off
BEGIN_MESSAGE_MAP(CDrawingCanvas, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MBUTTONDOWN()
    ON_WM_MBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()
// clang-format on

void CDrawingCanvas::OnPaint()
{
    CPaintDC dc(this);
    if (m_pDrawing != NULL && m_pDrawing->IsLoaded()) {
        m_pDrawing->Paint(dc.GetSafeHdc());
        return;
    }
    CRect rectClient;
    GetClientRect(&rectClient);
    ::FillRect(dc.GetSafeHdc(), &rectClient, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

BOOL CDrawingCanvas::OnEraseBkgnd(CDC* /*pDC*/)
{
    // The paint covers the whole surface.
    return TRUE;
}

void CDrawingCanvas::BeginDrag(CPoint point)
{
    SetCapture();
    m_nLastX = point.x;
    m_nLastY = point.y;
    m_bDragging = 1;
}

void CDrawingCanvas::EndDrag()
{
    ::ReleaseCapture();
    m_bDragging = 0;
}

void CDrawingCanvas::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    BeginDrag(point);
}

void CDrawingCanvas::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/)
{
    EndDrag();
}

void CDrawingCanvas::OnMButtonDown(UINT /*nFlags*/, CPoint point)
{
    BeginDrag(point);
}

void CDrawingCanvas::OnMButtonUp(UINT /*nFlags*/, CPoint /*point*/)
{
    EndDrag();
}

void CDrawingCanvas::OnMouseMove(UINT /*nFlags*/, CPoint point)
{
    if (!m_bDragging || m_pDrawing == NULL || !m_pDrawing->IsLoaded())
        return;
    CRect rectClient;
    GetClientRect(&rectClient);
    if (!rectClient.PtInRect(point))
        return;
    DxfViewProperties view{};
    if (!m_pDrawing->GetViewProperties(&view))
        return;
    // The drawing follows the pointer: right moves the origin left, down moves it up (Y points up).
    const double scale = view.zoom * view.pixelsPerUnit;
    view.originX -= (point.x - m_nLastX) / scale;
    view.originY += (point.y - m_nLastY) / scale;
    m_pDrawing->SetViewProperties(&view);
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    m_nLastX = point.x;
    m_nLastY = point.y;
}
