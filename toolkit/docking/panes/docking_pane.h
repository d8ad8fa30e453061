// A docking pane: one tool window of the application, shown as a tab of a tabbed container. It draws
// nothing itself; it carries the application's child window and moves, shows and re-parents it as the
// pane moves through the tree. Made only by the manager's factory; reference counted.
#pragma once

#include "docking_pane_base.h"

class CXTPImageManagerIcon;

// Sent to a pane's child window for its tab colour; a nonzero answer is the colour.
#define XTP_DPN_GETTABCOLOR 0x28B9

class CXTPDockingPane : public CCmdTarget, public CXTPDockingPaneBase
{
public:
    explicit CXTPDockingPane(CXTPDockingPaneLayout* pLayout);
    ~CXTPDockingPane() override;

    virtual void SetFocus();
    virtual CString GetTitle() const;
    virtual CString GetShortTitle() const;
    virtual HICON GetIcon(int nWidth = 16) const;
    // The icon's image set, whose state forms the side-panel tabs draw; null when there is none.
    CXTPImageManagerIcon* GetImage(int nWidth = 16) const;
    virtual COLORREF GetTabColor() const;
    virtual void Copy(CXTPDockingPane* pPane);

    void OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam) override;
    void SetParentContainer(CXTPDockingPaneBase* pContainer) override;
    void OnIdleUpdate() override;
    void GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo) const override;
    BOOL IsHidden() const override;
    CXTPDockingPaneBase* Clone(CXTPDockingPaneLayout* pLayout, CXTPPaneToPaneMap* pMap,
                               DWORD dwIgnoredOptions) override;
    BOOL DoPropExchange(CXTPPropExchange* pPX) override;

    DWORD GetEffectiveOptions() const;
    BOOL IsClosed() const { return m_pParentContainer == NULL; }
    BOOL IsSelected() const;
    BOOL HasFocus() const;
    CWnd* GetFrame() const { return m_pParentContainer != NULL ? m_pParentContainer->m_pParentFrame : NULL; }
    void ShowChildWindow(BOOL bShow);
    void Close();
    void Hide();

    int GetID() const { return m_nID; }
    void SetID(int nID) { m_nID = nID; }
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    void Attach(HWND hwndChild) { m_hwndChild = hwndChild; }
    HWND GetChild() const { return m_hwndChild; }
    DWORD GetOptions() const { return m_dwOptions; }
    void SetOptions(DWORD dwOptions) { m_dwOptions = dwOptions; }
    void SetMinTrackSize(CSize sz) { m_ptMinTrackSize = CPoint(sz.cx, sz.cy); }
    void SetMaxTrackSize(CSize sz) { m_ptMaxTrackSize = CPoint(sz.cx, sz.cy); }
    void SetTabColor(COLORREF clr) { m_clrTab = clr; }
    void SetHelpID(int nHelpID) { m_nHelpID = nHelpID; }
    int GetHelpID() const { return m_nHelpID; }
    int GetIconID() const { return m_nIconID; }
    void SetIconID(int nIconID) { m_nIconID = nIconID; }
    DWORD GetTag() const { return m_dwTag; }
    void SetTag(DWORD dwTag) { m_dwTag = dwTag; }

    HWND m_hwndChild = NULL;
    int m_nID = 0;
    int m_nIconID = -1;
    CString m_strTitle;
    DWORD m_dwOptions = 0;
    DWORD m_dwTag = 0;
    CPoint m_ptMinTrackSize = CPoint(0, 0);
    CPoint m_ptMaxTrackSize = CPoint(32000, 32000);
    COLORREF m_clrTab = static_cast<COLORREF>(-1);
    int m_nHelpID = 0;
};
