// CCtrlView: a view whose window is a common control; it paints itself (no OnDraw), and the
// control's notifications, reflected to it, reach the view's map. CListView and CTreeView give
// the control's wrapper with GetListCtrl and GetTreeCtrl.
#pragma once

#include "afxcmn.h"
#include "afxwin.h"

class CCtrlView : public CView
{
    DECLARE_DYNAMIC(CCtrlView)
public:
    CCtrlView(LPCTSTR lpszClass, DWORD dwStyle);
    ~CCtrlView() override;

    CString m_strClass;
    DWORD m_dwDefaultStyle;

    void OnDraw(CDC* pDC) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

class CListView : public CCtrlView
{
    DECLARE_DYNCREATE(CListView)
public:
    CListView();
    ~CListView() override;
    // The list control of this view's window (the view's own window, through the control's wrapper).
    CListCtrl& GetListCtrl() const;

private:
    mutable CListCtrl m_listCtrl;
};

class CTreeView : public CCtrlView
{
    DECLARE_DYNCREATE(CTreeView)
public:
    CTreeView();
    ~CTreeView() override;
    CTreeCtrl& GetTreeCtrl() const;

private:
    mutable CTreeCtrl m_treeCtrl;
};
