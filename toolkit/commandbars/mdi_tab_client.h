// The MDI children as tabs: the frame's MDI client window is subclassed, its children lose their
// captions and borders and are shown in one or more tab groups, stacked or side by side, with a
// splitter between two groups. Commands move the active child between groups or open a new one.
#pragma once

#include <afxwin.h>

#include "commandbars_resource_ids.h"
#include "tab_manager.h"

#include <memory>
#include <vector>

class CXTPTabPaintManager;
class CXTPTabClientWnd;


// One tab group: a tab strip over the area its children fill.
class CXTPTabClientGroup : public CXTPTabManager
{
public:
    explicit CXTPTabClientGroup(CXTPTabClientWnd* pClient) : m_pClient(pClient) {}
    void Reposition() override;
    CXTPTabPaintManager* GetPaintManager() const override;
    void RedrawControl() override;
    BOOL DrawItemIcon(CDC*, CXTPTabManagerItem*, CPoint, CSize, BOOL) override { return FALSE; }
    void SetSelectedItem(CXTPTabManagerItem* pItem) override;
    CXTPTabManagerItem* FindItem(HWND hWnd) const;

    CRect m_rcGroup;
    CRect m_rcSplitter;
    double m_dSize = 0;

private:
    CXTPTabClientWnd* m_pClient;
};

class CXTPTabClientWnd : public CWnd
{
    DECLARE_DYNAMIC(CXTPTabClientWnd)
public:
    CXTPTabClientWnd();
    ~CXTPTabClientWnd() override;

    // Subclasses the frame's MDI client; the present children become tabs of one group.
    BOOL Attach(CMDIFrameWnd* pFrame);
    // Gives the client its own procedure back.
    void Detach();
    BOOL IsAttached() const { return m_bAttached; }
    // The tab client attached to an MDI client window; null when none is.
    static CXTPTabClientWnd* AFXAPI FromClientWindow(HWND hWndClient);
    void Refresh(BOOL bRecalcLayout = FALSE);
    CXTPTabManagerItem* FindItem(HWND hWnd) const;
    int GetGroupCount() const { return static_cast<int>(m_groups.size()); }
    CXTPTabClientGroup* GetGroup(int nIndex) const { return m_groups[static_cast<size_t>(nIndex)].get(); }
    int GetGroupIndex(const CXTPTabManager* pGroup) const;
    // Stacked groups (one above the other) or side by side.
    BOOL IsHorizontalGroups() const { return m_bHorizontalGroups; }
    int GetSplitterWidth() const { return m_nSplitterWidth; }
    CXTPTabPaintManager* GetPaintManager() const { return m_pPaintManager; }
    BOOL OnUpdateCommand(UINT nId) const;
    void OnCommand(UINT nId);
    // The groups laid out in the client area and the children placed in their groups.
    void Layout();

protected:
    static LRESULT CALLBACK ClientProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnClientMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallDefault(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaintClient();
    // The client's frame by the paint manager's workspace frame, in place of the client edge.
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    void OnNcPaint(WPARAM wParam, LPARAM lParam);
    void TrackSplitter(int nGroup, CPoint point);
    void ResetSizes();
    void MoveItem(CXTPTabManagerItem* pItem, int nTarget, BOOL bNewGroup);
    CXTPTabManagerItem* ActiveItem() const;

    CMDIFrameWnd* m_pFrame = NULL;
    HWND m_hWndClient = NULL;
    WNDPROC m_pfnOldProc = NULL;
    std::vector<std::unique_ptr<CXTPTabClientGroup>> m_groups;
    CXTPTabPaintManager* m_pPaintManager = NULL;
    BOOL m_bHorizontalGroups = FALSE;
    BOOL m_bAttached = FALSE;
    // The client's own client edge, given back when detached.
    BOOL m_bClientEdge = FALSE;
    BOOL m_bInRefresh = FALSE;
    int m_nLockDestroy = 0;
    int m_nSplitterWidth = 4;
    HCURSOR m_hCursorHorz = NULL;
    HCURSOR m_hCursorVert = NULL;
};
