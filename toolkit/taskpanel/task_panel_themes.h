// The task panel's looks, chosen by number through the panel's SetTheme: each theme sets its metrics and
// flags when built, takes its fonts and colours (mostly by colour scheme) when refreshed, and some replace
// the background, caption and client drawing.
#pragma once

#include "task_panel_paint_manager.h"

class CXTPTaskPanelThemeNo1 : public CXTPTaskPanelPaintManager
{
public:
    CXTPTaskPanelThemeNo1();
    void RefreshMetrics() override;
};

class CXTPTaskPanelThemeNo2 : public CXTPTaskPanelPaintManager
{
public:
    CXTPTaskPanelThemeNo2();
    void RefreshMetrics() override;
};

// Themes 3 to 6: groups on a framed background, flat captions, plain clients.
class CXTPTaskPanelThemeNo3 : public CXTPTaskPanelPaintManager
{
public:
    CXTPTaskPanelThemeNo3();
    void FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel) override;
    int DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw) override;
    void RefreshMetrics() override;
    void DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;
    CRect DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;
    CRect GetCaptionTextInset() const override { return CRect(m_bUnderlinedCaption ? 0 : 13, 0, 0, 0); }

    BOOL m_bGroupsFramed = TRUE;
    // Theme 4's: no 13-pixel indent, and a line under the caption.
    BOOL m_bUnderlinedCaption = FALSE;
};

class CXTPTaskPanelThemeNo6 : public CXTPTaskPanelThemeNo3
{
public:
    CXTPTaskPanelThemeNo6();
    void RefreshMetrics() override;
    CRect DrawExpandButton(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;

    BOOL m_bUseShellStyle = FALSE;
};

class CXTPTaskPanelThemeNo4 : public CXTPTaskPanelThemeNo3
{
public:
    CXTPTaskPanelThemeNo4();
    void RefreshMetrics() override;
};

class CXTPTaskPanelThemeNo5 : public CXTPTaskPanelThemeNo4
{
public:
    CXTPTaskPanelThemeNo5();
    void RefreshMetrics() override;
};

// Themes 7 to 12: button captions.
class CXTPTaskPanelThemeNo7 : public CXTPTaskPanelThemeNo3
{
public:
    CXTPTaskPanelThemeNo7();
    int DrawGroupCaption(CDC* pDC, CXTPTaskPanelGroup* pGroup, BOOL bDraw) override;
    CRect GetCaptionTextInset() const override { return CRect(3, 0, 3, 0); }
    void RefreshMetrics() override;
    CRect DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;
};

class CXTPTaskPanelThemeNo8 : public CXTPTaskPanelThemeNo7
{
public:
    CXTPTaskPanelThemeNo8();
    void FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel) override;
    void RefreshMetrics() override;
    void DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;
    CRect DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;
};

class CXTPTaskPanelThemeNo9 : public CXTPTaskPanelThemeNo7
{
public:
    CXTPTaskPanelThemeNo9();
    void RefreshMetrics() override;
};

class CXTPTaskPanelThemeNo10 : public CXTPTaskPanelThemeNo9
{
public:
    CXTPTaskPanelThemeNo10();
    void RefreshMetrics() override;
};

class CXTPTaskPanelThemeNo11 : public CXTPTaskPanelThemeNo10
{
public:
    CXTPTaskPanelThemeNo11();
    void RefreshMetrics() override;
    CRect DrawCaptionBackground(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;

    // The caption's two pieces: the face and its highlight.
    CXTColorPair m_clrCaptionFace;
    CXTColorPair m_clrCaptionHighlight;
};

class CXTPTaskPanelThemeNo12 : public CXTPTaskPanelThemeNo11
{
public:
    CXTPTaskPanelThemeNo12();
    void FillTaskPanel(CDC* pDC, CXTPTaskPanel* pPanel) override;
    void RefreshMetrics() override;
    void DrawGroupClientFace(CDC* pDC, CXTPTaskPanelGroup* pGroup, CRect rc) override;
};

// The paint manager of a theme number: 0 to 12, any other number theme 2.
CXTPTaskPanelPaintManager* AFXAPI XTPCreateTaskPanelTheme(int nTheme, int* pnTheme);
