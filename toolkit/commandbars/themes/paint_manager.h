// The paint manager of the command bars: every pixel of a bar, its controls, grippers and
// separators is drawn here, and every colour is named by an index into the manager's own copy of the
// colour table. CXTPPaintManagerCore holds the fonts, metrics and colours; CXTPPaintManager is the
// first complete theme (number 1). One paint manager serves the whole process unless a manager of
// command bars holds its own; the static members choose, install and release it.
#pragma once

#include <afxwin.h>

#include "color_table.h"

class CXTPCommandBar;
class CXTPControl;
class CXTPDockBar;
class CXTPImageManagerIcon;
class CXTPPopupBar;
class CXTPStatusBar;
class CXTPStatusBarPane;

// Kinds of the special controls drawn by DrawSpecialControl.
enum XTPSpecialControl
{
    xtpButtonExpandToolbar = 0,
    xtpButtonCloseFloating = 2,
    xtpButtonExpandFloating = 3,
};

#define XTP_COLOR_COUNT 62

class CXTPPaintManagerCore : public CCmdTarget
{
public:
    CXTPPaintManagerCore();
    ~CXTPPaintManagerCore() override;

    // An index 0 to 61 gives the entry (its override when set); a larger value is a colour already.
    COLORREF GetColor(int nIndex) const;
    void SetColors(int nCount, const int* pIndexes, const COLORREF* pValues);
    int GetColorScheme() const;

    // The command bars' fonts from one description; bStandard says they follow the system menu font.
    void SetCommandBarsFontIndirect(const LOGFONT* pLogFont, BOOL bStandard = FALSE);
    CFont* GetRegularFont() { return &m_fontRegular; }
    CFont* GetRegularBoldFont() { return &m_fontRegularBold; }
    CFont* GetIconFont() { return &m_fontIcon; }
    int GetTextHeight() const { return m_nTextHeight; }

    // Dispatches a control to the drawing of its kind; the control's size.
    CSize DrawControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw = TRUE);

    // Helpers shared by the themes; colours are indexes (or literal colours above 61).
    void DrawRect(CDC* pDC, CRect rect, int nBorder, int nFill);
    void Draw3dRect(CDC* pDC, CRect rect, int nTopLeft, int nBottomRight);
    void Line(CDC* pDC, int x1, int y1, int x2, int y2, int nColor);
    void Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr);
    int GetPopupBarGripperWidth(CXTPCommandBar* pBar);
    // The gap before a group and between rows: 6, or 3 on a popup bar.
    CSize GetSeparatorSize(CXTPCommandBar* pBar);
    // The icon and button sizes of a bar.
    CSize GetIconSize(CXTPCommandBar* pBar);
    // Edit and combo fields: measures the label before the field (an edit's caption while it has a
    // label, a combo's with combo style 1) and gives the control its width; the label width.
    int LayoutFieldLabel(CDC* pDC, CXTPControl* pControl);
    // Draws the label and takes its width off the left of the rectangle.
    void DrawFieldLabel(CDC* pDC, CXTPControl* pControl, CRect& rect, int nLabelWidth);
    // A combo without an edit window shows the chosen item inside its field itself.
    void DrawComboFieldText(CDC* pDC, CXTPControl* pControl, CRect rcField, int nButtonWidth);
    // A combo's drop button is as wide as a vertical scroll bar: gives a combo box control that width
    // and returns it.
    static int LayoutComboDropButton(CXTPControl* pControl);

    virtual CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) = 0;
    // Buttons and popups on toolbars and the menu bar, in every theme's states and colours.
    virtual CSize DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw);
    virtual void DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rect);
    virtual CSize DrawControlComboBox(CDC* pDC, CXTPControl* pControl, BOOL bDraw);
    virtual CSize DrawControlEdit(CDC* pDC, CXTPControl* pControl, BOOL bDraw);
    virtual void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) = 0;
    virtual void DrawControlEntry(CDC* pDC, CRect rect, BOOL bEnabled, int nSelected, int nPressed,
                                  BOOL bChecked, BOOL bPopuped, int nBarPosition) = 0;
    void DrawControlState(CDC* pDC, CXTPControl* pControl);
    virtual void DrawRectangle(CDC* pDC, CRect rect, int nSelected, int nPressed, BOOL bEnabled,
                               BOOL bChecked, BOOL bPopuped, int nBarType, int nBarPosition) = 0;
    virtual CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) = 0;
    virtual CSize DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl,
                                          BOOL bDraw) = 0;
    virtual void AdjustExcludeRect(CRect& rect, CXTPControl* pControl, BOOL bVertical);
    // The toolkit status bar: a pane's background, icon and text; a pane's frame (bGripperPane for
    // the one beside the size grip); the size grip in the rectangle's bottom right corner; the
    // bar's background.
    virtual void DrawStatusBarPaneEntry(CDC* pDC, CRect rect, CXTPStatusBarPane* pPane);
    virtual void DrawStatusBarPaneBorder(CDC* pDC, CRect rect, BOOL bGripperPane);
    virtual void DrawStatusBarGripper(CDC* pDC, CRect rect);
    virtual void FillDockBar(CDC* pDC, CXTPDockBar* pBar);
    virtual void FillStatusBar(CDC* pDC, CXTPStatusBar* pBar);
    virtual void RefreshMetrics();
    virtual BOOL IsFlatTheme() const { return FALSE; }
    virtual void DrawSpecialControl(CDC* pDC, XTPSpecialControl nKind, CXTPControl* pControl,
                                    CXTPCommandBar* pBar, BOOL bDraw);
    virtual CRect GetCommandBarBorders(CXTPCommandBar* pBar);
    virtual void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pIcon, BOOL bSelected,
                           BOOL bPressed, BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL bToolBarImage);
    virtual int GetThemeKind() const { return 1; }
    virtual CFont* GetControlFont(CXTPCommandBar* pBar, BOOL bBold);
    virtual void DrawCheckMark(CDC* pDC, CRect rect, COLORREF clr, BOOL bRightToLeft = FALSE);
    virtual void DrawDropDownArrow(CDC* pDC, CRect rect, COLORREF clr);
    // The row of a popup that tears off; its size (0 wide) when bDraw is FALSE.
    virtual CSize DrawTearOffGripper(CDC* pDC, CRect rect, BOOL bSelected, BOOL bDraw);
    // The gripper of a bar that asks for the tall one; its size when bDraw is FALSE.
    virtual CSize DrawSpecialGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw);

    // Joins an open menu item to its popup: the part of the popup under the opening control.
    void FillPopupSeam(CDC* pDC, CXTPPopupBar* pPopupBar, int nColor);

    // The number of the theme that made this object (5 once installed as a custom theme).
    int m_nTheme = 0;
    COLORREF m_clrShadow = 0;
    COLORREF m_clrText = 0;
    CXTColorPair m_clrBarGradient;
    BOOL m_bThickCheckMark = FALSE;
    BOOL m_bShowShadow = TRUE;
    BOOL m_bUseStandardFont = TRUE;
    BOOL m_bUseFadedIcons = FALSE;
    BOOL m_bUseDisabledIcons = FALSE;
    BOOL m_bIconsWithShadow = FALSE;
    BOOL m_bBuildDisabledIcons = FALSE;
    int m_nAnimationSteps = 10;
    int m_nAnimationDuration = 100;
    int m_nColorScheme = 5;

protected:
    // The caption band of a floating bar with the bar's title; its size.
    CSize DrawFloatingCaption(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw, COLORREF clrBand,
                              BOOL bRoomForClose);
    // The text colour and transparent mode of a control in its state.
    virtual void SetControlTextColor(CDC* pDC, BOOL bEnabled, int nSelected, int nPressed, BOOL bChecked,
                                     BOOL bPopuped, int nBarPosition);
    // The system's non-client metrics (a test double supplies its own menu font).
    virtual void ReadNonClientMetrics(NONCLIENTMETRICSW& metrics);

    CFont m_fontRegular;
    CFont m_fontRegularBold;
    CFont m_fontVert;
    CFont m_fontVertBold;
    CFont m_fontSmCaption;
    CFont m_fontIcon;
    CFont m_fontIconBold;
    BOOL m_bStandardSmCaption = TRUE;
    BOOL m_bStandardIcon = TRUE;
    BOOL m_bStandardIconBold = TRUE;
    int m_nTextHeight = 0;
    BOOL m_bFaceForced = FALSE;
    CXTColorValue m_colors[XTP_COLOR_COUNT];
};

// Puts a paint manager into an owner's slot: the old one is released, the new one (whose reference
// the slot takes) refreshed.
void AFXAPI XTPSetPaintManager(CXTPPaintManagerCore*& pSlot, CXTPPaintManagerCore* pPaintManager);

class CXTPPaintManager : public CXTPPaintManagerCore
{
public:
    CXTPPaintManager();

    // A new paint manager of the theme number (the caller owns it until it is installed): 1 this
    // theme, 2 and 4 the gradient themes, 3 the visual-style one, any other number the default theme
    // recording the number asked for.
    static CXTPPaintManagerCore* AFXAPI CreateTheme(int nTheme);
    // Creates and installs the theme; the installed object records nTheme.
    static void AFXAPI SetTheme(int nTheme);
    // Installs a paint manager made elsewhere (the process owns it from then on; its number reads
    // 5). The installed one again only refreshes; null releases the current one.
    static void AFXAPI InstallCustomTheme(CXTPPaintManagerCore* pPaintManager);
    static void AFXAPI SetCustomTheme(CXTPPaintManagerCore* pPaintManager)
    {
        InstallCustomTheme(pPaintManager);
    }
    static void AFXAPI ReleaseGlobal();
    // The process-wide paint manager; null until one is installed.
    static CXTPPaintManagerCore* AFXAPI Instance();

    CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    void DrawControlEntry(CDC* pDC, CRect rect, BOOL bEnabled, int nSelected, int nPressed, BOOL bChecked,
                          BOOL bPopuped, int nBarPosition) override;
    void DrawRectangle(CDC* pDC, CRect rect, int nSelected, int nPressed, BOOL bEnabled, BOOL bChecked,
                       BOOL bPopuped, int nBarType, int nBarPosition) override;
    CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
    void DrawStatusBarPaneBorder(CDC* pDC, CRect rect, BOOL bGripperPane) override;
    BOOL IsFlatTheme() const override { return TRUE; }
    CSize DrawTearOffGripper(CDC* pDC, CRect rect, BOOL bSelected, BOOL bDraw) override;
    CSize DrawSpecialGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    virtual void FillPopupGripperColumn(CDC* pDC, int x, int y, int cx, int cy, BOOL bExpanded);

protected:
    void SetControlTextColor(CDC* pDC, BOOL bEnabled, int nSelected, int nPressed, BOOL bChecked,
                             BOOL bPopuped, int nBarPosition) override;
};
