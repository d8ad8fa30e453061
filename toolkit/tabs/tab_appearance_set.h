// The geometry and shape of a tab strip: header margin, row height, header and client rectangles, the
// layout entry point and the drawing of the control, its header and client frame and of one tab. The
// members are chosen by appearance number; each names its default colour style and those it supports.
#pragma once

#include <afxwin.h>

#include "tab_paint_manager.h"

class CXTPTabColorSet;

class CXTPTabAppearanceSet
{
public:
    CXTPTabAppearanceSet();
    virtual ~CXTPTabAppearanceSet() {}
    CXTPTabAppearanceSet(const CXTPTabAppearanceSet&) = delete;
    CXTPTabAppearanceSet& operator=(const CXTPTabAppearanceSet&) = delete;

    // Measures the button height with the normal font, or the DC's while that font is not built yet.
    virtual void RefreshMetrics();
    virtual CRect GetHeaderRect(CRect rcControl, CXTPTabManager* pTabManager);
    virtual CRect GetClientRect(CRect rcControl, CXTPTabManager* pTabManager);
    virtual CRect GetHeaderMargin();
    virtual CRect GetClientMargin();
    virtual int GetItemWidth(CDC* pDC, CXTPTabManagerItem* pItem);
    virtual int GetRowHeight(CXTPTabManager* pTabManager);
    virtual void DrawTabControl(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl);
    // Fills and frames header and client; answers the header rectangle.
    virtual CRect DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl);
    virtual void RepositionTabControl(CXTPTabManager* pTabManager, CDC* pDC, CRect rcClient);
    virtual void AdjustClientRect(CXTPTabManager* pTabManager, CRect& rcClient);
    virtual void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem);
    // The frame a docking pane draws around its client through the tab look: side 0 a full frame,
    // 1 the header side, 2 and 3 a filled strip with a line along its right or bottom.
    virtual void DrawClientFrame(CDC* pDC, CRect& rc, int nSide);
    virtual int GetSupportedColorSets() const;
    virtual int GetDefaultColorSet() const { return xtpTabColorDefault; }

    void SetPaintManager(CXTPTabPaintManager* pPaintManager) { m_pPaintManager = pPaintManager; }
    CXTPTabPaintManager* GetPaintManager() const { return m_pPaintManager; }
    CXTPTabColorSet* GetColorSet() const;
    XTPTabPosition GetPosition() const { return m_pPaintManager->GetPosition(); }
    BOOL IsHorizontalPosition() const;
    int GetButtonHeight() const { return m_nButtonHeight; }
    // How long each tab is along the strip in the rotated layout.
    int GetFixedTabLength(CXTPTabManager* pTabManager) { return GetRowHeight(pTabManager); }

    CRect m_rcHeaderMargin;
    int m_nRowSpacing;
    int m_nButtonHeight;
    BOOL m_bDrawOrderSelectedLast;

protected:
    // The single-row and multi-row layout shared by the members.
    void LayoutItems(CXTPTabManager* pTabManager, CDC* pDC, CRect rcControl);
    void LayoutMultiRow(CXTPTabManager* pTabManager, CRect rcControl, int nRowHeight);
    void PlaceNavigateButtons(CXTPTabManager* pTabManager);
    void DrawStaticFrame(CDC* pDC, CRect& rc);
    void DrawRow(CDC* pDC, CXTPTabManager* pTabManager, int nRow, const CRect& rcClip);
    // The frame of the client area by the paint manager's ClientFrame in the two colours (the single
    // line takes the first for top and left headers, the second otherwise).
    void FrameClient(CDC* pDC, CRect rcClient, COLORREF clrTopLeft, COLORREF clrBottomRight);
    // Fills the header, the client when bFillClient, and frames the client as FrameClient does;
    // answers the header rectangle.
    CRect FillHeaderAndFrameClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl, BOOL bFillClient,
                                   COLORREF clrTopLeft, COLORREF clrBottomRight);
    // The item's icon and text in the rectangle.
    void DrawContent(CDC* pDC, CXTPTabManagerItem* pItem, CRect rc);

    CXTPTabPaintManager* m_pPaintManager;
};

class CXTPTabAppearanceStyle0 : public CXTPTabAppearanceSet
{
public:
    CRect GetClientMargin() override;
    CRect DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl) override;
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
    int GetSupportedColorSets() const override { return 13; }

protected:
    void DrawClassicTab(CDC* pDC, CXTPTabManagerItem* pItem);
};

class CXTPTabAppearanceStyle1 : public CXTPTabAppearanceStyle0
{
public:
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
};

class CXTPTabAppearanceStyle6 : public CXTPTabAppearanceSet
{
public:
    CRect DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl) override;
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
    int GetSupportedColorSets() const override { return 7; }
    int GetDefaultColorSet() const override { return xtpTabColorStyle2; }
};

class CXTPTabAppearanceStyle2 : public CXTPTabAppearanceStyle6
{
public:
    CXTPTabAppearanceStyle2(BOOL bFramed = TRUE, BOOL bSelectedOnly = FALSE)
        : m_bFramed(bFramed), m_bSelectedOnly(bSelectedOnly)
    {}
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
    int GetDefaultColorSet() const override { return xtpTabColorDefault; }

    // First flag: square frames with softened corners (else rounded rectangles); second: only the
    // selected tab gets a face, the others a separator.
    BOOL m_bFramed;
    BOOL m_bSelectedOnly;
};

class CXTPTabAppearanceStyle3 : public CXTPTabAppearanceSet
{
public:
    void RefreshMetrics() override;
    CRect GetHeaderMargin() override;
    CRect DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl) override;
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
    int GetSupportedColorSets() const override { return 21; }
    int GetDefaultColorSet() const override { return xtpTabColorStyle4; }

    // The hot tab's lines take the end colour of HighlightFace.
    BOOL m_bHotLines = FALSE;
};

class CXTPTabAppearanceStyle9 : public CXTPTabAppearanceStyle3
{
public:
    CXTPTabAppearanceStyle9() { m_bDrawOrderSelectedLast = TRUE; }
    CRect GetHeaderMargin() override;
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
};

class CXTPTabAppearanceStyle4 : public CXTPTabAppearanceSet
{
public:
    CXTPTabAppearanceStyle4() { m_nRowSpacing = 0; }
    CRect DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl) override;
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
    int GetDefaultColorSet() const override { return xtpTabColorStyle2; }
};

class CXTPTabAppearanceStyle5 : public CXTPTabAppearanceSet
{
public:
    CRect DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl) override;
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
    int GetSupportedColorSets() const override { return 7; }
    int GetDefaultColorSet() const override { return xtpTabColorStyle2; }
};

class CXTPTabAppearanceStyle7 : public CXTPTabAppearanceStyle6
{
public:
    CRect GetHeaderMargin() override;
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
};

class CXTPTabAppearanceStyle8 : public CXTPTabAppearanceSet
{
public:
    CRect GetHeaderRect(CRect rcControl, CXTPTabManager* pTabManager) override;
    CRect GetClientRect(CRect rcControl, CXTPTabManager* pTabManager) override;
    void DrawTabControl(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl) override;
    void RepositionTabControl(CXTPTabManager* pTabManager, CDC* pDC, CRect rcClient) override;
    void AdjustClientRect(CXTPTabManager* pTabManager, CRect& rcClient) override;
    void DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem) override;
    int GetSupportedColorSets() const override { return 5; }

private:
    CRect m_rcClient;
};

// The face of the slanted appearances (3, 7 and 9): the polygon, a start point and relative steps, made
// a region and intersected with the DC's clip, painted by FillItem through a compatible bitmap; answers
// FillItem's colour.
COLORREF AFXAPI XTPFillSlantedFace(CDC* pDC, CXTPTabColorSet* pColorSet, CXTPTabManagerItem* pItem,
                                   const POINT* pSteps, int nCount);
// A polyline given as a start point and relative steps in a one-pixel pen; -1 draws nothing.
void AFXAPI XTPDrawSteps(CDC* pDC, const POINT* pSteps, int nCount, COLORREF clr);
