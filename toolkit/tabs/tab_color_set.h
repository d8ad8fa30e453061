// Every colour and fill of a tab strip: header and client faces, item faces, the text colour of each
// item state, frame lines and the navigate buttons. The members differ in how RefreshMetrics fills the
// colours and in a few drawing operations; a paint manager holds one at a time.
#pragma once

#include <afxwin.h>

#include "color_table.h"
#include "theme_handle.h"

class CXTPTabManager;
class CXTPTabManagerItem;
class CXTPTabManagerNavigateButton;
class CXTPTabPaintManager;

class CXTPTabColorSet
{
public:
    CXTPTabColorSet();
    virtual ~CXTPTabColorSet() {}
    CXTPTabColorSet(const CXTPTabColorSet&) = delete;
    CXTPTabColorSet& operator=(const CXTPTabColorSet&) = delete;

    virtual void RefreshMetrics();
    virtual void SetTextColor(CDC* pDC, CXTPTabManagerItem* pItem);
    virtual void FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pTabManager);
    virtual COLORREF FillClient(CDC* pDC, CRect rc, CXTPTabManager* pTabManager);
    virtual void FillItemFace(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem);
    virtual COLORREF FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem);
    virtual void DrawHeaderArea(CDC* pDC, CRect rcHeader, CXTPTabManager* pTabManager);
    // Draws the button's face and answers the colour of its glyph; may move rc for a pressed look.
    virtual COLORREF DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) = 0;
    virtual COLORREF GetItemColor(CXTPTabManagerItem* pItem);
    virtual BOOL IsAppThemed() { return FALSE; }

    void SetPaintManager(CXTPTabPaintManager* pPaintManager) { m_pPaintManager = pPaintManager; }
    CXTPTabPaintManager* GetPaintManager() const { return m_pPaintManager; }
    // The colour table's scheme, or 0 when scheme colours are switched off (by the paint manager or
    // the table).
    UINT GetColorScheme() const;
    BOOL IsLunaColorsDisabled() const;
    int GetAppearance() const;

    CXTColorPair m_clrHeaderFace;
    CXTColorPair m_clrButtonFace;
    CXTColorValue m_clrFrameBorder;
    CXTColorValue m_clrClientFace;
    CXTColorValue m_clrButtonHighlight;
    CXTColorValue m_clrSelectedItemFace;
    CXTColorValue m_clrNormalItemFace;
    CXTColorValue m_clrNormalText;
    CXTColorValue m_clrInactiveText;
    CXTColorValue m_clrSelectedText;
    CXTColorValue m_clrHotText;
    CXTColorValue m_clrDisabledText;
    CXTColorPair m_clrAccentFace;
    CXTColorPair m_clrHighlightFace;
    // The client frame: highlight, shadow, dark shadow.
    CXTColorValue m_clrFrameHighlight;
    CXTColorValue m_clrFrameShadow;
    CXTColorValue m_clrFrameDarkShadow;
    CXTColorValue m_clrLines[4];
    // Index 0 for the selected tab, 1 for the others.
    CXTColorValue m_clrGroups[2][6];

protected:
    // A pair painted as one colour, or through a halftone where its two colours differ.
    static void AFXAPI FillHalftone(CDC* pDC, CRect rc, const CXTColorPair& pair);
    // The light-to-item gradient of the scheme members, along the header's direction.
    void FillItemGradient(CDC* pDC, CRect rc, COLORREF clr);
    // The navigate buttons of the Style4 family.
    COLORREF DrawSchemeNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc,
                                      BOOL bSchemeColors, COLORREF clrSchemeFrame);
    // A sunken face when pressed, a raised one when only hot; answers the glyph colour.
    static COLORREF AFXAPI DrawButtonEdges(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc,
                                           COLORREF clrDark, COLORREF clrLight, COLORREF clrGlyph);

    CXTPTabPaintManager* m_pPaintManager;
};

class CXTPTabColorSetDefault : public CXTPTabColorSet
{
public:
    void RefreshMetrics() override;
    COLORREF DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;
};

class CXTPTabColorSetStyle2 : public CXTPTabColorSet
{
public:
    void RefreshMetrics() override;
    COLORREF DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;
};

class CXTPTabColorSetStyle4 : public CXTPTabColorSetDefault
{
public:
    void RefreshMetrics() override;
    COLORREF FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) override;
    COLORREF DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;

    // The hot tab's face, and the frame of a scheme-coloured button.
    CXTColorValue m_clrHotFace;
    CXTColorValue m_clrSchemeFrame;
    BOOL m_bSchemeColors = FALSE;

protected:
    // The literal colours of schemes 1 to 3; FALSE under any other scheme.
    BOOL RefreshSchemeColors(UINT nScheme);
};

class CXTPTabColorSetVisualStyle : public CXTPTabColorSetDefault
{
public:
    ~CXTPTabColorSetVisualStyle() override;
    void RefreshMetrics() override;
    COLORREF FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) override;
    void FillItemFace(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) override;
    COLORREF FillClient(CDC* pDC, CRect rc, CXTPTabManager* pTabManager) override;
    void DrawHeaderArea(CDC* pDC, CRect rcHeader, CXTPTabManager* pTabManager) override;
    COLORREF DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;
    BOOL IsAppThemed() override;

private:
    void DrawTurnedTabPart(CDC* pDC, CRect rc, int nPart, int nState);

    CXTThemeHandle m_themeTab;
    CXTThemeHandle m_themeToolBar;
};

class CXTPTabColorSetStyle16 : public CXTPTabColorSetStyle4
{
public:
    void RefreshMetrics() override;
    COLORREF FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) override;

    BOOL m_bGradientItems = FALSE;
    BOOL m_bReserved = FALSE;
};

class CXTPTabColorSetTheme6 : public CXTPTabColorSetDefault
{
public:
    CXTPTabColorSetTheme6(BOOL bPaneTabs, BOOL bTransparentItems)
        : m_bPaneTabs(bPaneTabs), m_bTransparentItems(bTransparentItems)
    {}
    void RefreshMetrics() override;
    void FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pTabManager) override;
    COLORREF FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) override;
    COLORREF DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;

    BOOL m_bPaneTabs;
    BOOL m_bTransparentItems;
    BOOL m_bSchemeColors = FALSE;
    BOOL m_bSchemeButtons = FALSE;
    CXTColorValue m_clrSchemeFrame;
};

class CXTPTabColorSetTheme9 : public CXTPTabColorSetTheme6
{
public:
    using CXTPTabColorSetTheme6::CXTPTabColorSetTheme6;
    void RefreshMetrics() override;
};
