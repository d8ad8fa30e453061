#include "tab_manager.h"

#include "draw_helpers.h"
#include "tab_appearance_set.h"
#include "tab_paint_manager.h"
#include "tooltip_controller.h"

#include <algorithm>

CXTPTabManagerItem::CXTPTabManagerItem()
    : m_nButtonLength(0), m_nContentLength(0), m_nIndex(-1), m_bEnabled(TRUE), m_bVisible(TRUE), m_nImage(0),
      m_pData(NULL), m_rcItem(0, 0, 0, 0), m_clrItem(0), m_pTabManager(NULL), m_nItemRow(0), m_bClosable(TRUE)
{
    EnableAutomation();
}

void CXTPTabManagerItem::SetCaption(LPCTSTR lpszCaption)
{
    const CString strCaption(lpszCaption);
    if (strCaption == m_strCaption)
        return;
    m_strCaption = strCaption;
    if (m_pTabManager != NULL)
        m_pTabManager->Reposition();
}

CString CXTPTabManagerItem::GetCaption() const
{
    return m_pTabManager != NULL ? m_pTabManager->GetItemCaption(this) : m_strCaption;
}

void CXTPTabManagerItem::SetColor(COLORREF clr)
{
    m_clrItem = clr;
    if (m_pTabManager != NULL)
        m_pTabManager->RedrawControl();
}

COLORREF CXTPTabManagerItem::GetColor() const
{
    return m_pTabManager != NULL ? m_pTabManager->GetItemColor(this)
                                 : CXTPTabPaintManager::GetItemPaletteColor(m_clrItem);
}

void CXTPTabManagerItem::Remove()
{
    if (m_pTabManager != NULL)
        m_pTabManager->DeleteItem(m_nIndex);
}

BOOL CXTPTabManagerItem::IsSelected() const
{
    return m_pTabManager != NULL && m_pTabManager->GetSelectedItem() == this;
}

BOOL CXTPTabManagerItem::IsHot() const
{
    return m_pTabManager != NULL && m_pTabManager->GetHotItem() == this;
}

void CXTPTabManagerItem::SetVisible(BOOL bVisible)
{
    if (m_bVisible == bVisible)
        return;
    m_bVisible = bVisible;
    if (m_pTabManager != NULL)
        m_pTabManager->Reposition();
}

void CXTPTabManagerItem::SetEnabled(BOOL bEnabled)
{
    if (m_bEnabled == bEnabled)
        return;
    m_bEnabled = bEnabled;
    if (m_pTabManager != NULL)
        m_pTabManager->RedrawControl();
}

CXTPTabManagerRows::CXTPTabManagerRows(CXTPTabManager* pManager)
    : m_nRowCount(0), m_pRows(NULL), m_pManager(pManager)
{}

CXTPTabManagerRows::~CXTPTabManagerRows()
{
    delete[] m_pRows;
}

void CXTPTabManagerRows::SetRowCount(int nRowCount)
{
    if (nRowCount < 1)
        nRowCount = 1;
    if (nRowCount != m_nRowCount) {
        delete[] m_pRows;
        m_pRows = new ROW[nRowCount]();
        m_nRowCount = nRowCount;
    }
    m_pRows[0].nFirstItem = 0;
    m_pRows[0].nLastItem = m_pManager->GetItemCount() - 1;
}

CXTPTabManager::CXTPTabManager()
    : m_pSelected(NULL), m_pHighlighted(NULL), m_nScrollOffset(0), m_bAllowReorder(TRUE), m_szItem(70, 18),
      m_szItemMin(0, 0), m_szItemMax(0, 0), m_rcHeaderRect(0, 0, 0, 0), m_rcControl(0, 0, 0, 0),
      m_rcClient(0, 0, 0, 0), m_pRows(NULL), m_nScrollStep(20)
{
    m_arrNavigateButtons.Add(new CXTPTabManagerNavigateButtonLeft(this));
    m_arrNavigateButtons.Add(new CXTPTabManagerNavigateButtonRight(this));
    m_arrNavigateButtons.Add(new CXTPTabManagerNavigateButtonClose(this));
    m_pRows = new CXTPTabManagerRows(this);
    m_pRows->SetRowCount(1);
}

CXTPTabManager::~CXTPTabManager()
{
    for (INT_PTR i = 0; i < m_arrItems.GetSize(); ++i)
        m_arrItems[i]->InternalRelease();
    m_arrItems.RemoveAll();
    for (INT_PTR i = 0; i < m_arrNavigateButtons.GetSize(); ++i)
        delete m_arrNavigateButtons[i];
    delete m_pRows;
    m_themeTab.Close();
}

CString CXTPTabManager::GetItemCaption(const CXTPTabManagerItem* pItem) const
{
    return pItem->m_strCaption;
}

int CXTPTabManager::GetItemImage(const CXTPTabManagerItem* pItem) const
{
    return pItem->m_nImage;
}

COLORREF CXTPTabManager::GetItemColor(const CXTPTabManagerItem* pItem) const
{
    return CXTPTabPaintManager::GetItemPaletteColor(pItem->m_clrItem);
}

CString CXTPTabManager::GetItemTooltip(const CXTPTabManagerItem* pItem) const
{
    return pItem->m_strToolTip;
}

void CXTPTabManager::OnItemsChanged()
{
    for (int i = 0; i < GetItemCount(); ++i)
        m_arrItems[i]->m_nIndex = i;
    Reposition();
}

void CXTPTabManager::SetSelectedItem(CXTPTabManagerItem* pItem)
{
    if (pItem == m_pSelected)
        return;
    m_pSelected = pItem;
    Reposition();
    if (pItem != NULL && GetPaintManager() != NULL)
        GetPaintManager()->EnsureVisible(this, pItem);
}

void CXTPTabManager::SelectItem(CXTPTabManagerItem* pItem)
{
    if (pItem != NULL)
        OnItemClick(pItem);
}

void CXTPTabManager::GetItemMetrics(CSize* pszItem, CSize* pszMin, CSize* pszMax) const
{
    if (pszItem != NULL)
        *pszItem = m_szItem;
    if (pszMin != NULL)
        *pszMin = m_szItemMin;
    if (pszMax != NULL)
        *pszMax = m_szItemMax;
}

void CXTPTabManager::SetItemMetrics(CSize szItem, CSize szMin, CSize szMax)
{
    m_szItem = szItem;
    m_szItemMin = szMin;
    m_szItemMax = szMax;
    Reposition();
}

BOOL CXTPTabManager::IsStaticFrame() const
{
    return GetPaintManager() != NULL && GetPaintManager()->m_bStaticFrame;
}

XTPTabPosition CXTPTabManager::GetPosition() const
{
    return GetPaintManager() != NULL ? GetPaintManager()->GetPosition() : xtpTabPositionTop;
}

BOOL CXTPTabManager::IsHorizontalPosition() const
{
    const XTPTabPosition position = GetPosition();
    return position == xtpTabPositionTop || position == xtpTabPositionBottom;
}

void CXTPTabManager::OnScroll(int nDirection)
{
    SetScrollOffset(nDirection == 0 ? m_nScrollOffset + m_nScrollStep : m_nScrollOffset - m_nScrollStep);
}

BOOL CXTPTabManager::IsNavigateButtonVisible(CXTPTabManagerNavigateButton* pButton)
{
    if (pButton->GetID() != xtpTabNavigateButtonClose)
        return TRUE;
    return m_pSelected != NULL && m_pSelected->IsClosable();
}

void CXTPTabManager::OnItemClick(CXTPTabManagerItem* pItem)
{
    SetSelectedItem(pItem);
}

CXTPTabManagerItem* CXTPTabManager::InsertItem(int nIndex, CXTPTabManagerItem* pItem)
{
    if (pItem == NULL)
        pItem = new CXTPTabManagerItem();
    pItem->m_pTabManager = this;
    if (nIndex < 0 || nIndex > GetItemCount())
        nIndex = GetItemCount();
    m_arrItems.InsertAt(nIndex, pItem);
    CXTPTabPaintManager* pPaintManager = GetPaintManager();
    pItem->m_clrItem =
        pPaintManager != NULL ? pPaintManager->NextAutomaticColor() : XTP_TAB_AUTOMATIC_COLOR_FIRST;
    OnItemsChanged();
    return pItem;
}

BOOL CXTPTabManager::DeleteItem(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetItemCount())
        return FALSE;
    CXTPTabManagerItem* pItem = m_arrItems[nIndex];
    const BOOL bSelected = pItem == m_pSelected;
    if (bSelected)
        m_pSelected = NULL;
    if (pItem == m_pHighlighted)
        m_pHighlighted = NULL;
    m_arrItems.RemoveAt(nIndex);
    pItem->InternalRelease();
    if (bSelected)
        SelectNearest(nIndex);
    OnItemsChanged();
    return TRUE;
}

void CXTPTabManager::DeleteAllItems()
{
    for (INT_PTR i = 0; i < m_arrItems.GetSize(); ++i)
        m_arrItems[i]->InternalRelease();
    m_arrItems.RemoveAll();
    m_pSelected = NULL;
    m_pHighlighted = NULL;
    OnItemsChanged();
}

CXTPTabManagerItem* CXTPTabManager::GetItem(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetItemCount() ? m_arrItems[nIndex] : NULL;
}

CXTPTabManagerNavigateButton* CXTPTabManager::FindNavigateButton(int nID) const
{
    for (INT_PTR i = 0; i < m_arrNavigateButtons.GetSize(); ++i) {
        if (m_arrNavigateButtons[i]->GetID() == nID)
            return m_arrNavigateButtons[i];
    }
    return NULL;
}

void CXTPTabManager::SetScrollOffset(int nOffset)
{
    if (nOffset > 0)
        nOffset = 0;
    if (nOffset == m_nScrollOffset)
        return;
    m_nScrollOffset = nOffset;
    Reposition();
}

int CXTPTabManager::GetItemsLength() const
{
    CXTPTabPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager != NULL && pPaintManager->GetLayout() == xtpTabLayoutRotated)
        return GetItemCount() *
               pPaintManager->GetAppearanceSet()->GetFixedTabLength(const_cast<CXTPTabManager*>(this));
    int nLength = 0;
    for (int i = 0; i < GetItemCount(); ++i)
        nLength += m_arrItems[i]->m_nButtonLength;
    return nLength;
}

CXTPTabManagerItem* CXTPTabManager::HitTest(CPoint point) const
{
    if (!m_rcControl.PtInRect(point))
        return NULL;
    if (!m_rcHeaderRect.IsRectEmpty() && !m_rcHeaderRect.PtInRect(point))
        return NULL;
    for (int i = 0; i < GetItemCount(); ++i) {
        CXTPTabManagerItem* pItem = m_arrItems[i];
        if (pItem->m_rcItem.PtInRect(point) && pItem->IsEnabled() && pItem->IsVisible())
            return pItem;
    }
    return NULL;
}

BOOL CXTPTabManager::HandleClick(HWND hWnd, CPoint point, BOOL bButtonsOnly)
{
    for (INT_PTR i = 0; i < m_arrNavigateButtons.GetSize(); ++i) {
        CXTPTabManagerNavigateButton* pButton = m_arrNavigateButtons[i];
        if (pButton->GetRect().PtInRect(point)) {
            pButton->PerformClick(hWnd, point);
            return TRUE;
        }
    }
    if (bButtonsOnly)
        return FALSE;
    CXTPTabManagerItem* pItem = HitTest(point);
    if (pItem == NULL)
        return FALSE;
    if (IsAllowReorder())
        ReOrder(hWnd, point, pItem);
    else
        OnItemClick(pItem);
    return TRUE;
}

void CXTPTabManager::ReOrder(HWND hWnd, CPoint point, CXTPTabManagerItem* pItem)
{
    CXTPTabManagerItem* pSelectedBefore = m_pSelected;
    m_pSelected = pItem;
    CXTPTabPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager != NULL && pPaintManager->m_bHotTracking)
        m_pHighlighted = pItem;
    Reposition();

    CArray<CRect, const CRect&> arrRects;
    for (int i = 0; i < GetItemCount(); ++i)
        arrRects.Add(m_arrItems[i]->m_rcItem);

    ::SetCapture(hWnd);
    MSG msg;
    for (;;) {
        const BOOL bGot = ::GetMessageW(&msg, NULL, 0, 0);
        if (bGot == 0) {
            // Whoever ends the thread's loop still sees its WM_QUIT.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (bGot < 0)
            break;
        if (::GetCapture() != hWnd) {
            ::DispatchMessageW(&msg);
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            point = CPoint(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
            for (int i = 0; i < static_cast<int>(arrRects.GetSize()) && i < GetItemCount(); ++i) {
                if (m_arrItems[i] == pItem || !arrRects[i].PtInRect(point))
                    continue;
                const int nFrom = pItem->m_nIndex;
                m_arrItems[nFrom] = m_arrItems[i];
                m_arrItems[i] = pItem;
                OnItemsChanged();
                break;
            }
            continue;
        }
        if (msg.message == WM_CANCELMODE || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) ||
            msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONDOWN)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();

    HandleMouseMove(hWnd, point);
    m_pSelected = pSelectedBefore;
    OnItemClick(pItem);
}

void CXTPTabManager::HandleMouseMove(HWND hWnd, CPoint point)
{
    if (!IsTopParentActive(CWnd::FromHandle(hWnd)) || IsMouseLocked())
        return;
    CXTPTabPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager != NULL && pPaintManager->m_bHotTracking) {
        CXTPTabManagerItem* pItem = HitTest(point);
        if (pItem != m_pHighlighted) {
            m_pHighlighted = pItem;
            RedrawControl();
            if (pItem != NULL) {
                TRACKMOUSEEVENT tme = {sizeof(TRACKMOUSEEVENT), TME_LEAVE, hWnd, 0};
                ::TrackMouseEvent(&tme);
            }
        }
    }
    for (INT_PTR i = 0; i < m_arrNavigateButtons.GetSize(); ++i)
        m_arrNavigateButtons[i]->CheckHot(hWnd, point);
}

BOOL CXTPTabManager::OnKeyDown(HWND hWnd, UINT nKey)
{
    const int nCount = GetItemCount();
    if (nCount == 0)
        return FALSE;
    if (hWnd != NULL && (::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0) {
        if (nKey == VK_LEFT)
            nKey = VK_RIGHT;
        else if (nKey == VK_RIGHT)
            nKey = VK_LEFT;
    }
    const BOOL bHorizontal = IsHorizontalPosition();
    const int nSelected = m_pSelected != NULL ? m_pSelected->GetIndex() : -1;
    BOOL bPrevious = FALSE;
    BOOL bNext = FALSE;
    switch (nKey) {
    case VK_HOME:
        SelectItem(FindNextSelectable(-1, +1));
        return TRUE;
    case VK_END:
        SelectItem(FindNextSelectable(nCount, -1));
        return TRUE;
    case VK_LEFT:
        bPrevious = bHorizontal;
        break;
    case VK_UP:
        bPrevious = !bHorizontal;
        break;
    case VK_RIGHT:
        bNext = bHorizontal;
        break;
    case VK_DOWN:
        bNext = !bHorizontal;
        break;
    default:
        return FALSE;
    }
    if (bPrevious && m_pSelected != NULL && nSelected >= 1)
        SelectItem(FindNextSelectable(nSelected, -1));
    if (bNext && m_pSelected != NULL && nSelected < nCount - 1)
        SelectItem(FindNextSelectable(nSelected, +1));
    return TRUE;
}

int CXTPTabManager::FillToolInfo(HWND hWnd, CXTPTabManagerItem* pItem, TOOLINFO* pToolInfo)
{
    CXTPTabPaintManager* pPaintManager = GetPaintManager();
    if (pItem == NULL || pPaintManager == NULL || pPaintManager->m_nToolTipBehaviour == 0)
        return -1;
    if (pPaintManager->m_nToolTipBehaviour == 2 && pItem->m_nButtonLength >= pItem->m_nContentLength)
        return -1;
    const CString strTip = GetItemTooltip(pItem);
    if (strTip.IsEmpty())
        return -1;
    CXTPToolTipController::FillToolInfo(pToolInfo, hWnd, pItem->m_rcItem,
                                        static_cast<UINT_PTR>(pItem->GetIndex()), strTip, pItem->GetCaption(),
                                        strTip);
    return pItem->GetIndex();
}

CXTPTabManagerItem* CXTPTabManager::FindNextSelectable(int nIndex, int nStep) const
{
    for (;;) {
        nIndex += nStep;
        if (nIndex < 0 || nIndex >= GetItemCount())
            return NULL;
        CXTPTabManagerItem* pItem = m_arrItems[nIndex];
        if (pItem->IsVisible() && pItem->IsEnabled())
            return pItem;
    }
}

void CXTPTabManager::SelectNearest(int nIndex)
{
    if (GetItemCount() == 0) {
        SetSelectedItem(NULL);
        return;
    }
    nIndex = std::max(0, std::min(nIndex, GetItemCount() - 1));
    SetSelectedItem(m_arrItems[nIndex]);
}
