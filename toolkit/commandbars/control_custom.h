// A command-bar control that hosts an application's own child window (a slider, a progress bar)
// inside a toolbar; the window is named by its control id so that a loaded layout finds it again.
#pragma once

#include "controls.h"
#include "hook_managers.h"

// The hide reason of a control that stays out of a vertical bar.
#define XTP_HIDE_VERTICAL 4

class CXTPControlCustom : public CXTPControlButton, public CXTPHookSink
{
    DECLARE_DYNCREATE(CXTPControlCustom)
public:
    CXTPControlCustom();
    ~CXTPControlCustom() override;

    // Hosts the window (not owned); its size becomes the control size.
    void SetControl(CWnd* pWnd);
    CWnd* GetControl() const { return CWnd::FromHandle(m_hwndControl); }
    HWND GetControlHandle() const { return m_hwndControl; }
    void SetBorders(int nLeft, int nTop, int nRight, int nBottom)
    {
        m_rcBorders.SetRect(nLeft, nTop, nRight, nBottom);
    }
    CRect GetBorders() const { return m_rcBorders; }
    void SetSize(CSize szControl) { m_szControl = szControl; }
    // 0 hides the control on a vertical bar, 1 changes nothing, 2 keeps its place but hides the window.
    void SetVerticalPositionOption(int nOption) { m_nVerticalOptions = nOption; }
    int GetVerticalPositionOption() const { return m_nVerticalOptions; }
    int GetControlId() const { return m_nControlId; }

    CSize GetSize(CDC* pDC) override;
    void SetRect(CRect rcControl) override;
    void SetEnabled(BOOL bEnabled) override;
    void SetHideFlags(DWORD dwFlags) override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    BOOL IsHostedWindowVisible() const;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;

protected:
    void ShowHostedWindow();
    void Attach(HWND hWnd);

    HWND m_hwndControl = NULL;
    CRect m_rcBorders;
    BOOL m_bShowWindow = TRUE;
    CSize m_szControl;
    int m_nVerticalOptions = 0;
    int m_nControlId = 0;
};
