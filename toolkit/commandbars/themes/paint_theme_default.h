// The classic paint theme (number 0, and every number that names no other theme): raised and sunken
// edges in the system's light and shadow colours, a dithered face for checked buttons, embossed
// disabled text and icons, the highlight colour for the selected menu item. The command bars make it
// when they need a paint manager and none is installed; the visual-style theme falls back to it.
#pragma once

#include "paint_manager.h"

class CXTPPaintThemeDefault : public CXTPPaintManagerCore
{
public:
    CXTPPaintThemeDefault();

    CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    void DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rect) override;
    CSize DrawControlComboBox(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    CSize DrawControlEdit(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void DrawControlEntry(CDC* pDC, CRect rect, BOOL bEnabled, int nSelected, int nPressed, BOOL bChecked,
                          BOOL bPopuped, int nBarPosition) override;
    void DrawRectangle(CDC* pDC, CRect rect, int nSelected, int nPressed, BOOL bEnabled, BOOL bChecked,
                       BOOL bPopuped, int nBarType, int nBarPosition) override;
    CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
    void AdjustExcludeRect(CRect& rect, CXTPControl* pControl, BOOL bVertical) override;
    BOOL IsFlatTheme() const override { return FALSE; }
    void DrawSpecialControl(CDC* pDC, XTPSpecialControl nKind, CXTPControl* pControl, CXTPCommandBar* pBar,
                            BOOL bDraw) override;
    CRect GetCommandBarBorders(CXTPCommandBar* pBar) override;
    CSize DrawTearOffGripper(CDC* pDC, CRect rect, BOOL bSelected, BOOL bDraw) override;
    void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pIcon, BOOL bSelected, BOOL bPressed,
                   BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL bToolBarImage) override;
    CSize DrawSpecialGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    int GetThemeKind() const override { return 0; }

    // The frame of an edit or combo box: nState 2 is the disabled look.
    virtual void DrawEditFrame(CDC* pDC, CRect rect, BOOL bSelected, int nState);
    virtual void DrawComboDropButton(CDC* pDC, CRect rect, BOOL bEnabled, BOOL bSelected, BOOL bPressed);
    // A control's text, embossed when the control is neither enabled nor selected; the text's size,
    // measured without drawing when bDraw is FALSE.
    virtual CSize DrawControlText(CDC* pDC, const CString& strText, CRect rect, UINT nFlags, BOOL bDraw,
                                  BOOL bEnabled, BOOL bSelected);

    // A selected popup item is filled in the highlight colour across the row, with no box around its icon.
    BOOL m_bFullRowHighlight = FALSE;
    // Colour index of the enabled, unselected items' text on popup bars.
    int m_nPopupBarText = COLOR_BTNTEXT;

protected:
    void SetControlTextColor(CDC* pDC, BOOL bEnabled, int nSelected, int nPressed, BOOL bChecked,
                             BOOL bPopuped, int nBarPosition) override;
    // The 8 x 8 checker of the face and light colours of a checked button at rest.
    void FillCheckedDither(CDC* pDC, CRect rect);
};
