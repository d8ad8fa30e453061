// The customise drag of a control between bars: a modal loop with the mouse captured that tells the
// bar under the cursor a control enters, moves over or leaves it, shows the move, copy or no-drop
// cursor, and hands the drop to that bar. The command-bars manager owns one; every bar registers
// with it while its window exists.
#pragma once

#include <afxwin.h>

#include <vector>

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControl;

// Drop effects a bar receives, and what DoDragDrop answers.
#define XTP_DROPEFFECT_NONE 0 // the button was released over no bar
#define XTP_DROPEFFECT_MOVE 1
#define XTP_DROPEFFECT_COPY 2
#define XTP_DROPEFFECT_CANCEL (-1) // Escape, a right click, lost capture or a quit: nothing changes

class CXTPCustomizeDropSource
{
public:
    explicit CXTPCustomizeDropSource(CXTPCommandBars* pCommandBars);
    ~CXTPCustomizeDropSource();
    CXTPCustomizeDropSource(const CXTPCustomizeDropSource&) = delete;
    CXTPCustomizeDropSource& operator=(const CXTPCustomizeDropSource&) = delete;

    // Bars register when their window is created and leave when it is destroyed; the list holds
    // no reference, so a bar that is gone is never called.
    void Register(CXTPCommandBar* pBar);
    void Unregister(CXTPCommandBar* pBar);
    BOOL IsRegistered(const CXTPCommandBar* pBar) const;

    // The window to capture during a drag; null uses the command bars' frame.
    void SetOwner(CWnd* pOwner) { m_hwndOwner = pOwner != NULL ? pOwner->GetSafeHwnd() : NULL; }

    // Runs the drag of the control from the cursor's position: XTP_DROPEFFECT_MOVE or _COPY when a
    // bar took the drop, _NONE when the button was released over no bar, _CANCEL otherwise.
    int DoDragDrop(CXTPControl* pControl, BOOL bCopyForbidden = FALSE);

private:
    // The bar under the screen point becomes the current target (entering and leaving as needed).
    void HitTestTargets(CPoint ptScreen);
    void SetTarget(CXTPCommandBar* pBar);
    void UpdateCursor();
    // The current target when it is still registered; a bar destroyed during the drag is dropped.
    CXTPCommandBar* LiveTarget();

    HWND m_hwndCapture = NULL;
    CXTPControl* m_pControl = NULL;
    BOOL m_bCopy = FALSE;
    BOOL m_bCopyForbidden = FALSE;
    CXTPCommandBar* m_pTarget = NULL;
    HWND m_hwndOwner = NULL;
    CPoint m_ptStart;
    std::vector<CXTPCommandBar*> m_arrTargets;
    CXTPCommandBars* m_pCommandBars;
    HCURSOR m_hcurNoDrop;
    HCURSOR m_hcurCopy;
    HCURSOR m_hcurMove;
};
