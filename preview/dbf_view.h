#pragma once

// A dBASE table (".dbf") in the preview pane as a report list: one column per field, one row per
// record, each value as its field's type shows it. The table is read by the pane's own tolerant reader.
#include <afxcmn.h>
#include <afxwin.h>

class CDBF_View : public CView
{
    DECLARE_DYNCREATE(CDBF_View)
public:
    static constexpr UINT kListId = 186;

    CDBF_View();
    ~CDBF_View() override;

    // Fills the list from the table at the path; a table that cannot be shown clears m_bPreviewOk.
    void LoadDbf(const CString& strPath, CListCtrl* pList);

    CListCtrl* m_pList;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
