// CBitmapButton: an owner-drawn button that shows one of up to four bitmaps (up, down, focused,
// disabled).
#pragma once

#include "afx/controls.h"

class CBitmapButton : public CButton
{
    DECLARE_DYNAMIC(CBitmapButton)
public:
    CBitmapButton() = default;

    // The up bitmap is required; the others fall back to it.
    BOOL LoadBitmaps(LPCTSTR lpszBitmapResource, LPCTSTR lpszBitmapResourceSel = NULL,
                     LPCTSTR lpszBitmapResourceFocus = NULL, LPCTSTR lpszBitmapResourceDisabled = NULL);
    BOOL LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel = 0, UINT nIDBitmapResourceFocus = 0,
                     UINT nIDBitmapResourceDisabled = 0);
    // Takes over the dialog's button nID and loads the bitmaps named after its caption with the
    // suffixes U, D, F and X.
    BOOL AutoLoad(UINT nID, CWnd* pParent);
    // Sizes the button to its up bitmap.
    void SizeToContent();

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};
