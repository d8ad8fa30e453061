#pragma once

#include <afxwin.h>

// A bitmap drawn with one colour left out: pixels of the key colour (white unless set) leave the
// background as it was.
class CTransparentBitmap : public CBitmap
{
public:
    CTransparentBitmap() = default;

    int GetWidth();
    int GetHeight();
    void SetTransparentColor(COLORREF clrTransparent) { m_clrTransparent = clrTransparent; }
    COLORREF GetTransparentColor() const { return m_clrTransparent; }
    virtual void Draw(CDC* pDC, int x, int y);

    int m_nReserved = 0; // part of the class's layout; nothing reads it
    COLORREF m_clrTransparent = RGB(255, 255, 255);
};
