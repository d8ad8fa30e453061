// Flicker-free painting and the small helpers around it: a memory DC that may start with a gradient
// and is copied to its target in one piece, the dithered fill of pressed and checked faces, context
// menus shown as toolkit popup bars, and ampersands stripped before a text is measured.
#pragma once

#include <afxwin.h>

#include "color_table.h"

// Drawing in it starts at (0, 0) for the rectangle's top-left corner (unlike CXTBufferedDC, which
// keeps the target's coordinates); the destructor copies the bitmap to the rectangle's place.
class CXTMemDC : public CDC
{
    DECLARE_DYNAMIC(CXTMemDC)
public:
    // An empty rectangle means the target's clip box; a background whose end colour is unset leaves
    // the bitmap as it is made.
    CXTMemDC(CDC* pDC, const CRect& rect, const CXTColorPair& background = CXTColorPair(),
             BOOL bHorz = FALSE);
    ~CXTMemDC() override;
    CXTMemDC(const CXTMemDC&) = delete;
    CXTMemDC& operator=(const CXTMemDC&) = delete;

    BOOL IsValid() const { return m_bValid; }
    const CRect& GetRect() const { return m_rect; }
    CBitmap& GetBitmap() { return m_bitmap; }

private:
    CDC* m_pDC;
    CRect m_rect;
    BOOL m_bValid;
    CBitmap m_bitmap;
    HBITMAP m_hOldBitmap;
};

// The checkerboard of colours 15 and 20 that pressed and checked faces show.
void AFXAPI DrawDitheredRect(CDC* pDC, const CRect& rect);

// Shows the menu as a toolkit popup bar (images of toolbar nToolBarId for its commands when above 0),
// or as a plain popup menu while no command-bar paint manager exists. The result is that of the
// popup call; 0 when the menu cannot be loaded into the bar.
BOOL AFXAPI TrackToolkitPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pOwner, int nToolBarId = 0);

// Removes each '&' that a character other than '&' follows; "&&" and a final '&' stay.
CString AFXAPI StripMnemonicsKeepDouble(LPCTSTR lpszText);
