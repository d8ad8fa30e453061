#pragma once

// The record list of the Access preview: the fields and the first records of the table chosen in the
// structure tree.
#include <afxdao.h>
#include <afxwin.h>

#include "status_list_ctrl.h"

class CMDBListView : public CView
{
    DECLARE_DYNCREATE(CMDBListView)
public:
    static constexpr UINT kListId = 186;

    CMDBListView();
    ~CMDBListView() override;

    // Deletes every row and column.
    void ResetList();
    // Shows the table's fields and up to the record limit of its records, and tells how many were loaded.
    void LoadTable(LPCTSTR lpszName);

    CDaoDatabase* m_pDB = NULL;
    CStatusListCtrl* m_pListCtrl;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

private:
    CStatusListCtrl m_listCtrl;
};
