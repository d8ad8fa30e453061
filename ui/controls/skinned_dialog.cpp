#include "skinned_dialog.h"

#include "region_from_bitmap.h"

CDialogSkin::CDialogSkin(UINT bitmapId)
{
    m_bitmap = static_cast<HBITMAP>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(bitmapId),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    m_pointRegion = ::CreateEllipticRgn(33, 34, 34, 35);
    m_bitmapRegion = CreateRgnFromBitmap(m_bitmap, kKeyColour, 0);
}

CDialogSkin::~CDialogSkin()
{
    if (m_bitmapRegion) {
        ::DeleteObject(m_bitmapRegion);
    }
    if (m_pointRegion) {
        ::DeleteObject(m_pointRegion);
    }
    if (m_bitmap) {
        ::DeleteObject(m_bitmap);
    }
}

BOOL CDialogSkin::Paint(CDC* pDC) const
{
    if (!m_bitmap || !pDC || !pDC->GetSafeHdc()) {
        return FALSE;
    }
    BITMAP info = {};
    if (!::GetObjectW(m_bitmap, sizeof info, &info)) {
        return FALSE;
    }
    HDC memory = ::CreateCompatibleDC(pDC->GetSafeHdc());
    if (!memory) {
        return FALSE;
    }
    HGDIOBJ old = ::SelectObject(memory, m_bitmap);
    if (!old || old == HGDI_ERROR) {
        ::DeleteDC(memory);
        return FALSE;
    }
    ::BitBlt(pDC->GetSafeHdc(), 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return TRUE;
}
