#include "offscreen_dc.h"

COffscreenDC::COffscreenDC(CDC* pDC, const CRect& rect) : m_pDC(pDC), m_rect(rect)
{
    if (!pDC->IsPrinting() && CreateCompatibleDC(pDC)) {
        CRect device = m_rect;
        pDC->LPtoDP(&device);
        if (!device.IsRectEmpty() && m_bitmap.CreateCompatibleBitmap(pDC, device.Width(), device.Height())) {
            m_pOldBitmap = SelectObject(&m_bitmap);
            SetMapMode(pDC->GetMapMode());
            SetWindowOrg(m_rect.left, m_rect.top);
            m_bMemDC = TRUE;
        } else {
            DeleteDC();
        }
    }
    if (!m_bMemDC) {
        m_bPrinting = pDC->m_bPrinting;
        m_hDC = pDC->m_hDC;
        m_hAttribDC = pDC->m_hAttribDC;
    }
    FillSolidRect(&m_rect, pDC->GetBkColor());
}

COffscreenDC::~COffscreenDC()
{
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                      SRCCOPY);
        SelectObject(m_pOldBitmap);
    } else {
        // The handles are the target's: let go of them without deleting them.
        m_hDC = NULL;
        m_hAttribDC = NULL;
    }
}
