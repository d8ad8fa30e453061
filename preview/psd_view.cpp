#include "psd_view.h"

#include "preview_hand_over.h"

IMPLEMENT_DYNCREATE(CPSDViewView, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CPSDViewView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()
// clang-format on

int CPSDViewView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CRect rectClient;
    GetClientRect(&rectClient);
    m_frame.Create(L"", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME | SS_CENTERIMAGE, rectClient, this, kFrameId);
    if (CPreviewHandOver* pHandOver = PreviewHandOver()) {
        LoadFile(pHandOver->PreviewPath());
        // A document that cannot be read shows a blank view, not the placeholder.
        pHandOver->m_bPreviewOk = TRUE;
    }
    m_frame.ShowWindow(SW_SHOW);
    return 0;
}

int CPSDViewView::LoadFile(const CString& strPath)
{
    // The pane never shows more than the screen holds: a larger document is kept at the screen's size.
    m_scaled.DeleteObject();
    m_sizeScaled = CSize(0, 0);
    m_nLoadResult =
        m_image.Load(strPath, ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    if (m_nLoadResult == 0) {
        m_nWidth = m_image.GetWidth();
        m_nHeight = m_image.GetHeight();
        Invalidate(TRUE);
    }
    return 0;
}

void CPSDViewView::OnDraw(CDC* pDC)
{
    if (m_nLoadResult != 0 || m_frame.GetSafeHwnd() == NULL || m_image.GetHBitmap() == NULL)
        return;
    CRect rectClient;
    GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return;
    // Stretched once for the view's size and kept: a paint copies what the view shows.
    CDC memoryDc;
    memoryDc.CreateCompatibleDC(pDC);
    if (m_scaled.GetSafeHandle() == NULL || m_sizeScaled != rectClient.Size()) {
        m_scaled.DeleteObject();
        m_sizeScaled = CSize(0, 0);
        if (!m_scaled.CreateCompatibleBitmap(pDC, rectClient.Width(), rectClient.Height()))
            return;
        m_sizeScaled = rectClient.Size();
        ++m_nScalings;
        CDC pictureDc;
        pictureDc.CreateCompatibleDC(pDC);
        HGDIOBJ hOldPicture = ::SelectObject(pictureDc.GetSafeHdc(), m_image.GetHBitmap());
        CBitmap* pOld = memoryDc.SelectObject(&m_scaled);
        const SIZE kept = m_image.GetBitmapSize();
        memoryDc.SetStretchBltMode(COLORONCOLOR);
        memoryDc.StretchBlt(0, 0, m_sizeScaled.cx, m_sizeScaled.cy, &pictureDc, 0, 0, kept.cx, kept.cy,
                            SRCCOPY);
        memoryDc.SelectObject(pOld);
        ::SelectObject(pictureDc.GetSafeHdc(), hOldPicture);
    }
    CBitmap* pOld = memoryDc.SelectObject(&m_scaled);
    pDC->BitBlt(0, 0, m_sizeScaled.cx, m_sizeScaled.cy, &memoryDc, 0, 0, SRCCOPY);
    memoryDc.SelectObject(pOld);
}

void CPSDViewView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_frame.GetSafeHwnd() != NULL)
        m_frame.MoveWindow(0, 0, cx, cy);
}

void CPSDViewView::OnUpdate(CView* /*pSender*/, LPARAM /*lHint*/, CObject* /*pHint*/)
{
    m_nWidth = m_nLoadResult == 0 ? m_image.GetWidth() : 0;
    m_nHeight = m_nLoadResult == 0 ? m_image.GetHeight() : 0;
    Invalidate(TRUE);
}

void CPSDViewView::OnHScroll(UINT, UINT, CScrollBar*) {}

void CPSDViewView::OnVScroll(UINT, UINT, CScrollBar*) {}
