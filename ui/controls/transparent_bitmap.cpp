#include "transparent_bitmap.h"

int CTransparentBitmap::GetWidth()
{
    BITMAP bitmap = {};
    return m_hObject != NULL && GetBitmap(&bitmap) ? bitmap.bmWidth : 0;
}

int CTransparentBitmap::GetHeight()
{
    BITMAP bitmap = {};
    return m_hObject != NULL && GetBitmap(&bitmap) ? bitmap.bmHeight : 0;
}

void CTransparentBitmap::Draw(CDC* pDC, int x, int y)
{
    const int nWidth = GetWidth();
    const int nHeight = GetHeight();
    if (pDC == NULL || nWidth <= 0 || nHeight <= 0)
        return;
    CDC imageDC;
    CDC maskDC;
    CBitmap mask;
    if (!imageDC.CreateCompatibleDC(pDC) || !maskDC.CreateCompatibleDC(pDC) ||
        !mask.CreateBitmap(nWidth, nHeight, 1, 1, NULL))
        return;
    CBitmap* pOldImage = imageDC.SelectObject(this);
    CBitmap* pOldMask = maskDC.SelectObject(&mask);

    // Copying to a monochrome bitmap turns the source's background colour white and all else black.
    imageDC.SetBkColor(m_clrTransparent);
    maskDC.BitBlt(0, 0, nWidth, nHeight, &imageDC, 0, 0, SRCCOPY);

    // XOR the image in, cut the key pixels back out with the mask, XOR again: where the mask is
    // white the target is what it was, where it is black the image.
    const COLORREF clrOldBk = pDC->SetBkColor(RGB(255, 255, 255));
    const COLORREF clrOldText = pDC->SetTextColor(RGB(0, 0, 0));
    pDC->BitBlt(x, y, nWidth, nHeight, &imageDC, 0, 0, SRCINVERT);
    pDC->BitBlt(x, y, nWidth, nHeight, &maskDC, 0, 0, SRCAND);
    pDC->BitBlt(x, y, nWidth, nHeight, &imageDC, 0, 0, SRCINVERT);
    pDC->SetBkColor(clrOldBk);
    pDC->SetTextColor(clrOldText);

    maskDC.SelectObject(pOldMask);
    imageDC.SelectObject(pOldImage);
}
