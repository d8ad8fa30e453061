// The fonts, cursors, sizes and colours that menus, bars and panes share; one process-wide object,
// built on first use.
#pragma once

#include <afxwin.h>

class CXTGlobalMetrics
{
public:
    CXTGlobalMetrics();
    virtual ~CXTGlobalMetrics();
    CXTGlobalMetrics(const CXTGlobalMetrics&) = delete;
    CXTGlobalMetrics& operator=(const CXTGlobalMetrics&) = delete;

    // (major << 16) | minor of the common controls; 0 while unknown.
    DWORD GetComCtlVersion() const;

    // Colour-table indexes of m_arrColors, in order.
    static const int s_colorIndexes[40];
    COLORREF m_arrColors[40];

    HCURSOR m_hcurCursor9008;
    HCURSOR m_hcurCursor9009;
    HCURSOR m_hcurCursor9011;
    HCURSOR m_hcurHand;
    HCURSOR m_hcurHSplitBar;
    HCURSOR m_hcurVSplitBar;
    HCURSOR m_hcurMove;

    int m_cxSmIcon;
    int m_cySmIcon;
    int m_cxSize;
    int m_cySize;
    int m_cxHThumb;
    int m_cyVThumb;
    int m_cyMenuItem;

    CFont m_fontNormal;
    CFont m_fontBold;
    CFont m_fontUnderline;
    CFont m_fontVert;
    CFont m_fontVertBold;
    CFont m_fontIconTitle;
    CFont m_fontIconTitleBold;
    CFont m_fontMarlett;
    CFont m_fontStatus;
    CFont m_fontSmCaption;

    BOOL m_bIsWin95;
    BOOL m_bIsWin98;
    BOOL m_bIsWinNT4;
    BOOL m_bIsWin2000;
    BOOL m_bIsWinXP;
    // Menus in Tahoma where the menu font is of a Western character set and Tahoma exists.
    BOOL m_bUseTahoma;

private:
    void LoadCursors();
    void CreateFonts();

    DWORD m_dwComCtlVersion;
};

CXTGlobalMetrics* AFXAPI GetGlobalMetrics();
