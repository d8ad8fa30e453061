#include "dao_tree_view.h"

#include "mdb_list_view.h"
#include "preview_hand_over.h"
#include "preview_resource_ids.h"

namespace {

constexpr COLORREF kPictureKey = RGB(255, 0, 255);
constexpr wchar_t kWarningCaption[] = L"RurAdir - Warning";

// Shows a database failure of the tree in a warning box and deletes it.
void ShowDaoFailure(CWnd* pWnd, CDaoException* pException)
{
    wchar_t text[512] = {};
    pException->GetErrorMessage(text, 512);
    pWnd->MessageBox(text, kWarningCaption, MB_OK | MB_ICONWARNING);
    pException->Delete();
}

} // namespace

CTreeCursor CTreeCursor::InsertAfter(LPCTSTR lpszText, int nImage, HTREEITEM hAfter) const
{
    return CTreeCursor(m_pTree->InsertItem(lpszText, nImage, nImage, m_hTreeItem, hAfter), m_pTree);
}

int CTreeCursor::GetImageID() const
{
    int image = -1;
    int selected = -1;
    if (m_pTree == NULL || m_hTreeItem == NULL || !m_pTree->GetItemImage(m_hTreeItem, image, selected))
        return -1;
    return image;
}

CString CTreeCursor::GetText() const
{
    return m_pTree != NULL && m_hTreeItem != NULL ? m_pTree->GetItemText(m_hTreeItem) : CString();
}

IMPLEMENT_DYNCREATE(CDaoTreeView, CTreeView)

BEGIN_MESSAGE_MAP(CDaoTreeView, CTreeView)
ON_WM_CREATE()
ON_WM_SYSCOLORCHANGE()
ON_NOTIFY_REFLECT(TVN_SELCHANGED, OnSelChanged)
ON_NOTIFY_REFLECT(NM_RCLICK, OnRClick)
ON_NOTIFY_REFLECT(TVN_KEYDOWN, OnKeyDown)
ON_NOTIFY_REFLECT(TVN_BEGINDRAG, OnBeginDrag)
END_MESSAGE_MAP()

CDaoTreeView::CDaoTreeView()
{
    m_nClipFormat = ::RegisterClipboardFormatW(L"RurAdir");
}

CDaoTreeView::~CDaoTreeView() = default;

BOOL CDaoTreeView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD | WS_VISIBLE | WS_BORDER;
    return CTreeView::PreCreateWindow(cs);
}

int CDaoTreeView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CTreeView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CTreeCtrl& tree = GetTreeCtrl();
    tree.ModifyStyle(0, TVS_HASLINES | TVS_HASBUTTONS);
    if (m_imageList.Create(IDB_DATABASE_TREE, 16, 1, kPictureKey)) {
        m_imageList.SetBkColor(::GetSysColor(COLOR_WINDOW));
        tree.SetImageList(&m_imageList, TVSIL_NORMAL);
    }
    m_dropTarget.Register(this);
    if (CPreviewHandOver* pHandOver = PreviewHandOver())
        pHandOver->RegisterDatabaseView(this);
    return 0;
}

void CDaoTreeView::OnSysColorChange()
{
    CTreeView::OnSysColorChange();
    if (m_imageList.GetSafeHandle() != NULL)
        m_imageList.SetBkColor(::GetSysColor(COLOR_WINDOW));
}

void CDaoTreeView::AddItem(int nKind, LPCTSTR lpszName)
{
    switch (nKind) {
    case kPictureTable:
        m_itemLastTable = m_itemTables.InsertAfter(lpszName, kPictureTable);
        break;
    case kPictureRelation:
        m_itemRelations.InsertAfter(lpszName, kPictureRelation);
        break;
    case kPictureQuery:
        m_itemQueryDefs.InsertAfter(lpszName, kPictureQuery);
        break;
    default:
        break;
    }
}

void CDaoTreeView::FillTree()
{
    CTreeCtrl& tree = GetTreeCtrl();
    m_bFilling = TRUE;
    tree.DeleteAllItems();
    Invalidate();
    UpdateWindow();
    m_itemCurrent = CTreeCursor();
    m_itemLastTable = CTreeCursor();
    m_itemRoot = CTreeCursor(TVI_ROOT, &tree).InsertAfter(L"Access DataBase", kPictureDatabase);
    m_itemTables = m_itemRoot.InsertAfter(L"Tables", kPictureTables);
    m_itemRelations = m_itemRoot.InsertAfter(L"Relations", kPictureRelations);
    m_itemQueryDefs = m_itemRoot.InsertAfter(L"QueryDefs", kPictureQueries);
    CPreviewHandOver* pHandOver = PreviewHandOver();
    const BOOL bShowSystem = pHandOver != NULL ? pHandOver->m_bShowSystemObjects : FALSE;
    const unsigned long kSystemOrHidden = 0x80000002UL;
    if (m_pDB != NULL) {
        try {
            const short count = m_pDB->GetTableDefCount();
            for (short i = 0; i < count; ++i) {
                CDaoTableDefInfo info;
                m_pDB->GetTableDefInfo(i, info, AFX_DAO_PRIMARY_INFO);
                if (!bShowSystem && (static_cast<unsigned long>(info.m_lAttributes) & kSystemOrHidden) != 0)
                    continue;
                AddItem(kPictureTable, info.m_strName);
            }
        } catch (CDaoException* pException) {
            pException->Delete();
        }
        try {
            const short count = m_pDB->GetQueryDefCount();
            for (short i = 0; i < count; ++i) {
                CDaoQueryDefInfo info;
                m_pDB->GetQueryDefInfo(i, info, AFX_DAO_PRIMARY_INFO);
                // Type 5 is no query type the engine reports, so every query is listed.
                if (!bShowSystem && info.m_nType == 5)
                    continue;
                AddItem(kPictureQuery, info.m_strName);
            }
        } catch (CDaoException* pException) {
            pException->Delete();
        }
        try {
            const short count = m_pDB->GetRelationCount();
            for (short i = 0; i < count; ++i) {
                CDaoRelationInfo info;
                m_pDB->GetRelationInfo(i, info, AFX_DAO_PRIMARY_INFO);
                if (!bShowSystem && (static_cast<unsigned long>(info.m_lAttributes) & kSystemOrHidden) != 0)
                    continue;
                AddItem(kPictureRelation, info.m_strName);
            }
        } catch (CDaoException* pException) {
            pException->Delete();
        }
    }
    tree.Expand(m_itemRoot, TVE_EXPAND);
    m_bFilling = FALSE;
    Invalidate();
    UpdateWindow();
}

void CDaoTreeView::OnSelChanged(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    if (m_bFilling)
        return;
    CTreeCtrl& tree = GetTreeCtrl();
    m_itemCurrent = CTreeCursor(tree.GetSelectedItem(), &tree);
    if (m_pListView == NULL)
        return;
    // The list control is the record list whose drawing waits for the load.
    CWnd* pList = m_pListView->m_pListCtrl;
    pList->SendMessage(WM_SETREDRAW, FALSE);
    if (m_itemCurrent.GetImageID() == kPictureTable)
        m_pListView->LoadTable(m_itemCurrent.GetText());
    pList->SendMessage(WM_SETREDRAW, TRUE);
    pList->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CDaoTreeView::OnRClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CTreeCtrl& tree = GetTreeCtrl();
    CPoint point;
    ::GetCursorPos(&point);
    tree.ScreenToClient(&point);
    UINT flags = 0;
    const HTREEITEM hItem = tree.HitTest(point, &flags);
    if (hItem != NULL)
        m_itemCurrent = CTreeCursor(hItem, &tree);
}

void CDaoTreeView::OnKeyDown(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const NMTVKEYDOWN* pKey = reinterpret_cast<const NMTVKEYDOWN*>(pNMHDR);
    if (pKey->wVKey != VK_DELETE)
        return;
    CPreviewHandOver* pHandOver = PreviewHandOver();
    const BOOL bConfirm = pHandOver != NULL ? pHandOver->m_bConfirmDeletes : TRUE;
    if (bConfirm && MessageBox(L"Are you sure you want to delete this item ?", kWarningCaption,
                               MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    DeleteSelected();
}

void CDaoTreeView::DeleteSelected()
{
    if (m_pDB == NULL || m_itemCurrent.m_hTreeItem == NULL)
        return;
    const int picture = m_itemCurrent.GetImageID();
    if (picture != kPictureTable && picture != kPictureQuery)
        return;
    try {
        if (picture == kPictureTable)
            m_pDB->DeleteTableDef(m_itemCurrent.GetText());
        else
            m_pDB->DeleteQueryDef(m_itemCurrent.GetText());
        const HTREEITEM hDeleted = m_itemCurrent.m_hTreeItem;
        m_itemCurrent = CTreeCursor();
        GetTreeCtrl().DeleteItem(hDeleted);
    } catch (CDaoException* pException) {
        ShowDaoFailure(this, pException);
    }
}

void CDaoTreeView::OnBeginDrag(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}

DROPEFFECT CDaoTreeView::DragEffect(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point, BOOL bEnter)
{
    if (m_pDB != NULL && pDataObject != NULL &&
        pDataObject->IsDataAvailable(static_cast<CLIPFORMAT>(m_nClipFormat)))
        return DROPEFFECT_COPY;
    return bEnter ? CTreeView::OnDragEnter(pDataObject, dwKeyState, point)
                  : CTreeView::OnDragOver(pDataObject, dwKeyState, point);
}

DROPEFFECT CDaoTreeView::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return DragEffect(pDataObject, dwKeyState, point, TRUE);
}

DROPEFFECT CDaoTreeView::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return DragEffect(pDataObject, dwKeyState, point, FALSE);
}

BOOL CDaoTreeView::OnDrop(COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}
