#pragma once

// The Access preview: a structure tree and a record list side by side in a splitter bar.
#include <afxdao.h>
#include <afxwin.h>

#include "splitter_bar.h"

class CDaoTreeView;
class CMDBListView;

class CMDB_View : public CView
{
    DECLARE_DYNCREATE(CMDB_View)
public:
    static constexpr UINT kTreeId = 189;
    static constexpr UINT kListId = 190;
    static constexpr UINT kSplitterId = 157;

    CDaoTreeView* m_pTreeView = NULL;
    CMDBListView* m_pListView = NULL;
    CSplitterBar m_splitter;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

// The document's part once it has opened a database: hands it to the registered tree and list views (either
// may be null or of another kind, and is then left alone), empties the list and fills the tree.
void HandDatabaseToViews(CDaoDatabase* pDatabase, CView* pTreeView, CView* pListView);
