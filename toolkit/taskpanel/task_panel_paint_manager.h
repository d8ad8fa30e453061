// Draws the task panel and supplies its metrics. Every operation is virtual so that a theme replaces
// single steps; this class itself is the plain system-colour look.
#pragma once

#include <afxwin.h>

#include "color_table.h"
#include "task_panel_defines.h"

class CXTPTaskPanel;
class CXTPTaskPanelItem;
class CXTPTaskPanelGroup;
class CXTPTaskPanelGroupItem;
struct TaskPanelScrollButton;
class CXTPImageManagerIcon;

// The colours of one kind of group (normal or special).
struct XTP_TASKPANEL_GROUPCOLORS
{
    CXTColorPair clrHead;
    CXTColorPair clrClient;
    CXTColorValue clrClientBorder;
    double dHeadGradientFactor = 0;
    CXTColorValue clrHeadTextNormal;
    CXTColorValue clrHeadTextHot;
    CXTColorValue clrClientText;
    CXTColorValue clrClientLink;
    CXTColorValue clrClientLinkHot;
    CXTColorValue clrClientLinkSelected;
};

class CXTPTaskPanelPaintManager
{
public:
    CXTPTaskPanelPaintManager();
    virtual ~CXTPTaskPanelPaintManager();
    CXTPTaskPanelPaintManager(const CXTPTaskPanelPaintManager&) = delete;
    CXTPTaskPanelPaintManager& operator=(const CXTPTaskPanelPaintManager&) = delete;

    virtual void FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel);
    virtual void DrawGroupClient(CDC* pDC, CXTPTaskPanelGroup* pGroup);
    virtual int DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw);
    virtual CRect DrawGroupItem(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw);
    virtual void RefreshMetrics();
    virtual XTP_TASKPANEL_GROUPCOLORS* GetGroupColors(const CXTPTaskPanelGroup* pGroup);
    virtual void DrawItemBackground(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc);
    virtual CRect GetItemOuterMargins(const CXTPTaskPanelGroupItem* pItem);
    virtual CRect GetItemInnerMargins(const CXTPTaskPanelGroupItem* pItem);
    virtual CRect GetGroupOuterMargins(const CXTPTaskPanelGroup* pGroup);
    virtual CRect GetItemIconPadding(const CXTPTaskPanelItem* pItem);
    virtual CRect GetGroupInnerMargins(const CXTPTaskPanelGroup* pGroup);
    virtual CRect GetControlMargins(const CXTPTaskPanel* pPanel);
    virtual int GetGroupSpacing(const CXTPTaskPanel* pPanel);
    virtual void DrawScrollButton(CDC* pDC, TaskPanelScrollButton* pScrollButton);
    virtual void DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc);
    virtual void DrawGroupItems(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc);
    virtual CRect DrawExpandButton(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc);
    // The shell-style button at the caption's right: the visual style's picture when loaded, else the
    // built expand image with its chevrons. Returns the text rectangle left of it.
    CRect DrawShellStyleButton(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc);
    virtual int GetExpandButtonWidth(const CXTPTaskPanelGroup* pGroup, CRect rc);
    virtual void DrawItemCaption(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, UINT nFormat);
    virtual void DrawItemImage(CDC* pDC, CXTPTaskPanelItem* pItem, CPoint pt, CXTPImageManagerIcon* pImage,
                               CSize szIcon);
    virtual CPoint GetItemContentOffset(const CXTPTaskPanelItem* pItem);
    virtual void DrawDropMark(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, BOOL bBelow);
    virtual void DrawFocusRect(CDC* pDC, CRect rc);
    // How far the caption's text stands in from the left and from the right of its room.
    virtual CRect GetCaptionTextInset() const { return CRect(13, 0, 0, 0); }
    // Paints a visible caption's face and returns the rectangle its contents take.
    virtual CRect DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc);

    // Reads the visual style's shell pictures when a colour scheme is detected; without them builds the
    // expand images from the program's bitmaps. TRUE when the shell pictures were loaded.
    BOOL LoadShellStyle();
    void FreeShellStyle();
    HICON GetExpandImage(BOOL bSpecial) const { return m_hExpandImages[bSpecial ? 1 : 0]; }
    HBITMAP GetShellStyleBitmap(int nIndex) const { return m_hShellStyle[nIndex]; }
    BOOL IsShellStyleLoaded() const { return m_bShellStyleLoaded; }
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    CFont* GetCaptionFont() { return &m_fntCaption; }
    CFont* GetItemFont(BOOL bBold, BOOL bUnderline);
    BOOL HasAlphaBlend() const { return m_pfnAlphaBlend != NULL; }
    // Tests take the fading away as on systems without msimg32.
    void RemoveAlphaBlend() { m_pfnAlphaBlend = NULL; }

    // Recolours a picture whose top-left pixel is the transparent key into the colour's hue; the key
    // becomes 0x00FF00. Returns a new 24-bit bitmap, or null.
    static HBITMAP AFXAPI RecolorExpandBitmap(HBITMAP hBitmap, COLORREF clrTarget);
    static COLORREF AFXAPI BlendColors255(COLORREF clrA, COLORREF clrB, int nWeight);

    BOOL m_bThemeColorsWithoutScheme;
    int m_nExpandButtonStyle;
    BOOL m_bCaptionBold;
    CRect m_rcGroupOuterMargins;
    CRect m_rcGroupInnerMargins;
    CRect m_rcItemOuterMargins;
    CRect m_rcItemInnerMargins;
    CRect m_rcControlMargins;
    int m_nGroupSpacing;
    CRect m_rcImageCellPadding;
    CRect m_rcItemIconPadding;
    CRect m_rcGroupIconPadding;
    int m_eColorMode;
    BOOL m_bDropsBelowItems;
    BOOL m_bCaptionScrollButtons;
    BOOL m_bEmbossedDisabledText;

    XTP_TASKPANEL_GROUPCOLORS m_groupNormal;
    XTP_TASKPANEL_GROUPCOLORS m_groupSpecial;
    CXTColorPair m_clrBackground;
    CXTColorValue m_clrHighlightHot;
    CXTColorValue m_clrHighlightSelected;
    CXTColorValue m_clrHighlightPressed;
    CXTColorPair m_clrHighlightBorder;
    BOOL m_bCaptionWithoutHeight;
    BOOL m_bRoundedLeftCorner;
    BOOL m_bRoundedRightCorner;
    BOOL m_bCaptionFonts;
    BOOL m_bItemFonts;
    UINT m_nItemTextFormat;
    UINT m_nCaptionTextFormat;

protected:
    void DrawChevrons(CDC* pDC, CPoint ptCenter, BOOL bExpanded, COLORREF clr);
    void CreateExpandImages();
    void DestroyExpandImages();
    CRect DrawGroupItemImages(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw);
    CRect DrawGroupItemTextBelow(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw);
    CRect DrawGroupItemRow(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc, BOOL bDraw);
    void PrepareItemText(CDC* pDC, CXTPTaskPanelGroupItem* pItem);
    void DrawItemFocusAndDropMarks(CDC* pDC, CXTPTaskPanelGroupItem* pItem, CRect rc);
    // The caption's extent with the format (a space for an empty caption), from the rectangle's top left.
    static CRect MeasureItemText(CDC* pDC, CXTPTaskPanelItem* pItem, CRect rc, UINT nFormat);

    BOOL m_bShellStyleLoaded;
    HICON m_hExpandImages[2];
    HBITMAP m_hShellStyle[8];
    CFont m_fntCaption;
    CFont m_fntItems[4];
    int m_nCaptionHeight;
    typedef BOOL(WINAPI* PFN_ALPHABLEND)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    PFN_ALPHABLEND m_pfnAlphaBlend;
    HMODULE m_hMsImg32;
};
