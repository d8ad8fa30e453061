// CDockBar: the strips along a frame's edges that hold docked control bars (EnableDocking makes
// them, DockControlBar moves a bar into one). A docked bar stays where it was docked: dragging,
// floating and saving the docking state are the toolkit's.
#pragma once

#include "afx/control_bar.h"

class CDockBar : public CControlBar
{
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(BOOL bFloating = FALSE);
    ~CDockBar() override;

    // A dock bar of the frame along the edge of its CBRS_ALIGN_ style.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    // Moves pBar into this dock bar (after the bars it holds), aligned as the dock bar is.
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = NULL);
    // Takes pBar out; an empty dock bar takes no room in the layout.
    BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, int nAddPlaceHolder = 0);
    int FindBar(CControlBar* pBar, int nPosExclude = -1) const;
    int GetDockedCount() const;
    CControlBar* GetDockedControlBar(int nPos) const;

    BOOL IsDockBar() const override { return TRUE; }
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    BOOL m_bFloating;
    CPtrArray m_arrBars; // the docked bars in order

protected:
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// Which dock bar serves which edge, in the order the frame makes and searches them.
extern const DWORD dwDockBarMap[4][2];
