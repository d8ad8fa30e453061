// The docking panes' looks, chosen by number through the manager's SetTheme: each is a paint manager that
// differs from its base in its settings (its two tab strips' appearance and colours, caption gap and
// margin, flags) and in the caption, button, frame and colour drawing it replaces.
#pragma once

#include "docking_pane_paint_manager.h"
#include "theme_handle.h"

// Theme 0.
class CXTPDockingPaneDefaultTheme : public CXTPDockingPanePaintManager
{
public:
    CXTPDockingPaneDefaultTheme();
};

// Theme 4, and the base of the themes with caption bars: the caption stands on the splitter colour and its
// buttons are flat with line glyphs.
class CXTPDockingPaneCaptionBarTheme : public CXTPDockingPaneDefaultTheme
{
public:
    CXTPDockingPaneCaptionBarTheme();
    void DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr) override;
    COLORREF GetCaptionAreaColor() const override { return m_clrSplitter; }
    int GetCaptionBandOffset() const override { return m_rcCaptionMargin.top; }
    // The glyph of a caption button centred on (x, y), in one-pixel lines of the colour.
    virtual void DrawCaptionButtonGlyph(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, int x, int y,
                                        COLORREF clr);
};

// Theme 1: captions in gradients or outlines.
class CXTPDockingPaneGradientCaptionTheme : public CXTPDockingPaneCaptionBarTheme
{
public:
    CXTPDockingPaneGradientCaptionTheme();
    void RefreshMetrics() override;
    COLORREF DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical) override;
    COLORREF GetCaptionButtonColor(BOOL bActive) const override;

    BOOL m_bGradientCaptions = FALSE;
    CXTColorPair m_clrInactiveCaption;
    CXTColorPair m_clrActiveCaption;
    COLORREF m_clrInactiveCaptionText = 0;
    COLORREF m_clrActiveCaptionText = 0;
};

// Theme 2, and theme 7 after it: gradient captions with a gripper and framed buttons, coloured per scheme.
class CXTPDockingPaneTheme2 : public CXTPDockingPaneGradientCaptionTheme
{
public:
    CXTPDockingPaneTheme2();
    void RefreshMetrics() override;
    // The band fills the whole caption: CaptionHeight + 3 from the rectangle's top.
    int GetCaptionBandOffset() const override { return 0; }
    int GetCaptionBandDepth() const override { return m_nTitleHeight + 3; }
    COLORREF DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical) override;
    void DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr) override;
    void DrawFloatingFrame(CDC* pDC, CWnd* pWnd, CRect rc) override;
    // A hot or pressed button's face and frame; the glyph's colour.
    virtual COLORREF DrawCaptionButtonFrame(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr);

    // The band starts one pixel in, on the splitter colour (theme 2), or has edge lines (theme 7).
    BOOL m_bCaptionInset = TRUE;
    BOOL m_bCaptionGripper = TRUE;
};

// Theme 3: the visual style's captions and buttons; the caption bar where the application is not themed.
class CXTPDockingPaneTheme3 : public CXTPDockingPaneGradientCaptionTheme
{
public:
    CXTPDockingPaneTheme3();
    void RefreshMetrics() override;
    COLORREF DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical) override;
    void DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr) override;
    void DrawCaptionPart(CDC* pDC, CXTPDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                         BOOL bActive, BOOL bVertical) override;
    // Themed: the window's small frame and small caption in the visual style; else the caption bar's frame.
    void DrawFloatingFrame(CDC* pDC, CWnd* pWnd, CRect rc) override;
    BOOL IsThemed();

    CXTThemeHandle m_themeWindow;
    CXTThemeHandle m_themeExplorerBar;

private:
    // Set while a floating frame's caption is drawn: its strip is already painted, only buttons and title follow.
    BOOL m_bFrameCaption = FALSE;
    // The state of the caption whose buttons are being drawn.
    BOOL m_bCaptionActive = FALSE;
};

// Theme 5: captions on the container's face, stacked-bar tabs on top, a grip on floating frames.
class CXTPDockingPaneTheme5 : public CXTPDockingPaneGradientCaptionTheme
{
public:
    CXTPDockingPaneTheme5();
    void DrawPane(CDC* pDC, CXTPDockingPaneTabbedContainer* pPane, CRect rc) override;
    void AdjustCaptionRect(const CXTPDockingPaneTabbedContainer* pPane, CRect& rect) override;
    void DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr) override;
    void DrawFloatingFrame(CDC* pDC, CWnd* pWnd, CRect rc) override;
    COLORREF DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical) override;
};

// Theme 6, and the base of theme 9: rounded tabs in their own colour sets and gradient splitters.
class CXTPDockingPaneTheme6 : public CXTPDockingPaneGradientCaptionTheme
{
public:
    CXTPDockingPaneTheme6();
    void RefreshMetrics() override;
};

// Theme 7: theme 2 with a bold Arial caption and edge lines instead of the inset.
class CXTPDockingPaneTheme7 : public CXTPDockingPaneTheme2
{
public:
    CXTPDockingPaneTheme7();
    void RefreshMetrics() override;
};

// Theme 8: the visual style's toolbar buttons; the caption bar where the application is not themed.
class CXTPDockingPaneTheme8 : public CXTPDockingPaneCaptionBarTheme
{
public:
    CXTPDockingPaneTheme8();
    void RefreshMetrics() override;
    void DrawCaptionButton(CDC* pDC, CXTPDockingPaneCaptionButton* pButton, COLORREF clr) override;
    BOOL IsThemed();

    CXTThemeHandle m_themeRebar;
    CXTThemeHandle m_themeToolbar;
};

// Theme 6 with appearance 9 and the theme-6 colour set on both tab strips.
class CXTPDockingPaneTheme9Base : public CXTPDockingPaneTheme6
{
public:
    CXTPDockingPaneTheme9Base();
};

// Theme 9: rounded tabs in the theme-9 colours and bordered gradient captions.
class CXTPDockingPaneTheme9 : public CXTPDockingPaneTheme9Base
{
public:
    CXTPDockingPaneTheme9();
    void RefreshMetrics() override;
    COLORREF DrawCaptionBackground(CDC* pDC, CRect rcBand, BOOL bActive, BOOL bVertical) override;

    COLORREF m_clrCaptionBorder = 0;
};

// The paint manager of a theme number: 0 to 9, any other number theme 0.
CXTPDockingPanePaintManager* AFXAPI XTPCreateDockingPaneTheme(int nTheme);
