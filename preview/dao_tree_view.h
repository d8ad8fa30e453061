#pragma once

// The structure tree of the Access preview: the database with its tables, relations and query
// definitions. Choosing a table loads it into the record list; Delete removes a table or query from the
// opened file (the preview's temporary copy).
#include <afxcview.h>
#include <afxdao.h>
#include <afxole.h>

class CMDBListView;

// An item of a tree control with the tree it lives in.
class CTreeCursor
{
public:
    CTreeCursor() = default;
    CTreeCursor(HTREEITEM hItem, CTreeCtrl* pTree) : m_hTreeItem(hItem), m_pTree(pTree) {}

    operator HTREEITEM() const { return m_hTreeItem; }
    // Inserts a child with the text and picture after the sibling (last by default).
    CTreeCursor InsertAfter(LPCTSTR lpszText, int nImage, HTREEITEM hAfter = TVI_LAST) const;
    int GetImageID() const;
    CString GetText() const;

    HTREEITEM m_hTreeItem = NULL;
    CTreeCtrl* m_pTree = NULL;
};

class CDaoTreeView : public CTreeView
{
    DECLARE_DYNCREATE(CDaoTreeView)
public:
    // Pictures of the image list (bitmap 181).
    enum Picture
    {
        kPictureDatabase = 0,
        kPictureTable = 2,
        kPictureTables = 3,
        kPictureRelation = 8,
        kPictureRelations = 9,
        kPictureQuery = 10,
        kPictureQueries = 11,
    };

    CDaoTreeView();
    ~CDaoTreeView() override;

    void FillTree();
    void DeleteSelected();
    void AddItem(int nKind, LPCTSTR lpszName);

    CDaoDatabase* m_pDB = NULL;
    CMDBListView* m_pListView = NULL;
    UINT m_nClipFormat = 0;
    CImageList m_imageList;
    BOOL m_bFilling = FALSE;
    CTreeCursor m_itemCurrent;
    CTreeCursor m_itemRoot;
    CTreeCursor m_itemTables;
    CTreeCursor m_itemRelations;
    CTreeCursor m_itemQueryDefs;
    CTreeCursor m_itemLastTable;
    COleDropTarget m_dropTarget;

    DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
    BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnKeyDown(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnBeginDrag(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSysColorChange();
    DECLARE_MESSAGE_MAP()

private:
    DROPEFFECT DragEffect(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point, BOOL bEnter);
};
