#pragma once

#include <afxwin.h>

// A flicker-free stand-in for a paint DC: drawing goes into a bitmap over the target's rectangle, in the
// target's logical coordinates, and the picture is copied to the same place on the target when the
// object goes. A printing target (or one whose rectangle no bitmap can hold) is drawn on directly.
class COffscreenDC : public CDC
{
public:
    // The rectangle is in the target's logical units, usually its clip box. It starts filled with the
    // target's background colour.
    COffscreenDC(CDC* pDC, const CRect& rect);
    ~COffscreenDC() override;
    COffscreenDC(const COffscreenDC&) = delete;
    COffscreenDC& operator=(const COffscreenDC&) = delete;

private:
    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap = NULL;
    CDC* m_pDC;
    CRect m_rect;
    BOOL m_bMemDC = FALSE;
};
