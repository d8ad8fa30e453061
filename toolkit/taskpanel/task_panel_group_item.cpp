// Group items: placement inside the group, hosted control windows, selection, drag data and
// persistence.
#include "task_panel.h"

#include "prop_exchange.h"

#include <algorithm>

IMPLEMENT_SERIAL(CXTPTaskPanelGroupItem, CXTPTaskPanelItem, VERSIONABLE_SCHEMA | 1)

CXTPTaskPanelGroupItem::CXTPTaskPanelGroupItem()
    : m_rcMargins(XTPTaskPanelDefaultMarker()), m_rcItem(0, 0, 0, 0), m_bBold(FALSE), m_bSelected(FALSE),
      m_hWnd(NULL), m_szItem(0, 0), m_bAutoHeight(FALSE)
{
    m_typeItem = xtpTaskItemTypeText;
}

CXTPTaskPanelGroupItem::~CXTPTaskPanelGroupItem()
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        ::ShowWindow(m_hWnd, SW_HIDE);
}

CXTPTaskPanelGroup* CXTPTaskPanelGroupItem::GetItemGroup() const
{
    return m_pItems != NULL ? m_pItems->GetOwnerGroup() : NULL;
}

CRect CXTPTaskPanelGroupItem::GetHitTestRect() const
{
    const CXTPTaskPanelGroup* pGroup = GetItemGroup();
    if (!m_bVisible || pGroup == NULL || m_pPanel == NULL)
        return CRect(0, 0, 0, 0);
    CRect rc(m_rcItem);
    rc.OffsetRect(0, pGroup->GetClientRect().top - m_pPanel->GetScrollOffset() -
                         pGroup->GetFirstVisibleOffset());
    return rc;
}

void CXTPTaskPanelGroupItem::SetBold(BOOL bBold)
{
    if (m_bBold == bBold)
        return;
    m_bBold = bBold;
    RepositionPanel();
}

void CXTPTaskPanelGroupItem::SetMargins(const RECT& rc)
{
    m_rcMargins = rc;
    RepositionPanel();
}

void CXTPTaskPanelGroupItem::SetSize(CSize sz)
{
    m_szItem = sz;
    RepositionPanel();
}

void CXTPTaskPanelGroupItem::SetControlHandle(HWND hWnd)
{
    m_hWnd = hWnd;
    m_typeItem = xtpTaskItemTypeControl;
    RepositionPanel();
}

BOOL CXTPTaskPanelGroupItem::IsItemSelected() const
{
    if (m_pPanel != NULL && m_pPanel->IsSelectItemOnFocus())
        return m_pPanel->GetFocusedItem() == this;
    return m_bSelected;
}

void CXTPTaskPanelGroupItem::SetItemSelected(BOOL bSelected)
{
    if (m_pPanel != NULL && m_pPanel->IsSelectItemOnFocus()) {
        if (bSelected)
            m_pPanel->SetFocusedItem(this);
        return;
    }
    if (m_bSelected == bSelected)
        return;
    m_bSelected = bSelected;
    RedrawPanel();
}

COLORREF CXTPTaskPanelGroupItem::GetBackColor() const
{
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager == NULL)
        return ::GetSysColor(COLOR_WINDOW);
    const XTP_TASKPANEL_GROUPCOLORS* pColors = pPaintManager->GetGroupColors(GetItemGroup());
    const COLORREF clrEnd = pColors->clrClient.m_clrEnd;
    return clrEnd != static_cast<COLORREF>(-1) ? clrEnd
                                               : static_cast<COLORREF>(pColors->clrClient.m_clrStart);
}

CRect CXTPTaskPanelGroupItem::OnReposition(CRect rc)
{
    CXTPTaskPanelGroup* pGroup = GetItemGroup();
    if (pGroup == NULL || m_pPanel == NULL) {
        m_rcItem = rc;
        return rc;
    }
    if (pGroup->GetItemLayout() == xtpTaskItemLayoutImages) {
        m_rcItem = rc;
        return rc;
    }
    CXTPTaskPanelPaintManager* pPaintManager = GetPaintManager();
    rc.DeflateRect(pPaintManager->GetItemOuterMargins(this));
    if (m_szItem != CSize(0, 0) || m_typeItem == xtpTaskItemTypeControl) {
        m_rcItem = CRect(rc.left, rc.top, rc.left + m_szItem.cx, rc.top + m_szItem.cy);
    } else {
        CClientDC dc(m_pPanel->GetSafeHwnd() != NULL ? m_pPanel : CWnd::GetDesktopWindow());
        m_rcItem = pPaintManager->DrawGroupItem(&dc, this, rc, FALSE);
    }
    return m_rcItem;
}

void CXTPTaskPanelGroupItem::OnDrawItem(CDC* pDC, CRect rc)
{
    if (m_typeItem == xtpTaskItemTypeControl && m_hWnd != NULL) {
        if (!::IsWindowVisible(m_hWnd) && m_bmpPreview.GetSafeHandle() != NULL)
            pDC->DrawState(rc.TopLeft(), rc.Size(), &m_bmpPreview, DST_BITMAP | DSS_NORMAL);
        return;
    }
    GetPaintManager()->DrawGroupItem(pDC, this, rc, TRUE);
}

void CXTPTaskPanelGroupItem::OnAnimate(int /*nStep*/)
{
    if (m_typeItem != xtpTaskItemTypeControl || m_hWnd == NULL || !::IsWindow(m_hWnd) || m_pPanel == NULL)
        return;
    CXTPTaskPanelGroup* pGroup = GetItemGroup();
    if (pGroup == NULL)
        return;
    CRect rc(m_rcItem);
    rc.OffsetRect(0, pGroup->GetClientRect().top - m_pPanel->GetScrollOffset() -
                         pGroup->GetFirstVisibleOffset());
    if (m_szItem.cx > 0)
        rc.right = std::min(rc.right, rc.left + m_szItem.cx);
    const BOOL bShow = m_bVisible && pGroup->IsVisible() &&
                       pGroup->GetItemLayout() != xtpTaskItemLayoutImages && pGroup->IsExpanded() &&
                       !pGroup->IsExpanding() && pGroup->IsItemVisible(this, FALSE);
    if (bShow) {
        ::SetWindowPos(m_hWnd, NULL, rc.left, rc.top, rc.Width(), rc.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else if (::IsWindowVisible(m_hWnd)) {
        CaptureControlImage();
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

void CXTPTaskPanelGroupItem::CaptureControlImage()
{
    if (m_hWnd == NULL || !::IsWindow(m_hWnd))
        return;
    CRect rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    if (rcWindow.IsRectEmpty())
        return;
    CClientDC dcScreen(NULL);
    CDC dc;
    if (!dc.CreateCompatibleDC(&dcScreen))
        return;
    m_bmpPreview.DeleteObject();
    if (!m_bmpPreview.CreateCompatibleBitmap(&dcScreen, rcWindow.Width(), rcWindow.Height()))
        return;
    CBitmap* pOld = dc.SelectObject(&m_bmpPreview);
    dc.FillSolidRect(0, 0, rcWindow.Width(), rcWindow.Height(), GetBackColor());
    ::SendMessageW(m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                   PRF_CLIENT | PRF_ERASEBKGND);
    dc.SelectObject(pOld);
}

BOOL CXTPTaskPanelGroupItem::PrepareDrag(COleDataSource& source, BOOL bAlsoText)
{
    HGLOBAL hItem = CopyToHGlobal();
    if (hItem == NULL)
        return FALSE;
    source.CacheGlobalData(GetTaskPanelClipboardFormat(), hItem);
    const CString strText = GetDragText();
    if (!bAlsoText || strText.IsEmpty())
        return TRUE;
    // The size the conversion itself asks for: a character of the text may take several bytes.
    const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, strText, strText.GetLength(), NULL, 0, NULL, NULL);
    if (nBytes <= 0)
        return TRUE;
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(nBytes) + 1);
    if (hText == NULL)
        return TRUE;
    char* pText = static_cast<char*>(::GlobalLock(hText));
    ::WideCharToMultiByte(CP_ACP, 0, strText, strText.GetLength(), pText, nBytes, NULL, NULL);
    pText[nBytes] = '\0';
    ::GlobalUnlock(hText);
    source.CacheGlobalData(CF_TEXT, hText);
    return TRUE;
}

void CXTPTaskPanelGroupItem::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPTaskPanelItem::DoPropExchange(pPX);
    ExchangeRect(pPX, L"Margins", m_rcMargins, XTPTaskPanelDefaultMarker());
    ExchangeBool(pPX, L"Bold", m_bBold, FALSE);
    SIZE szItem = m_szItem;
    ExchangeSize(pPX, L"ItemSize", szItem, CSize(0, 0));
    m_szItem = szItem;
    BOOL bSelected = IsItemSelected();
    ExchangeBool(pPX, L"Selected", bSelected, FALSE);
    if (pPX->IsLoading())
        SetItemSelected(bSelected);
    if (pPX->m_nSchema > 8)
        ExchangeBool(pPX, L"AutoHeight", m_bAutoHeight, FALSE);
    if (pPX->m_nSchema > 9)
        ExchangeStringDefault(pPX, L"DragText", m_strDragText, L"");
}

// ---------------------------------------------------------------------------------------------------
// Accessibility

HRESULT CXTPTaskPanelGroupItem::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    const HRESULT hr = CXTPTaskPanelItem::get_accState(varChild, pvarState);
    if (FAILED(hr))
        return hr;
    pvarState->lVal |= STATE_SYSTEM_SELECTABLE;
    const CXTPTaskPanelGroup* pGroup = GetItemGroup();
    if (pGroup == NULL || !pGroup->IsItemVisible(this, TRUE))
        pvarState->lVal |= STATE_SYSTEM_INVISIBLE;
    if (IsItemSelected())
        pvarState->lVal |= STATE_SYSTEM_SELECTED;
    return S_OK;
}

HRESULT CXTPTaskPanelGroupItem::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction)
{
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    if (pszDefaultAction == NULL)
        return E_POINTER;
    *pszDefaultAction = ::SysAllocString(L"Click");
    return S_OK;
}

HRESULT CXTPTaskPanelGroupItem::accDoDefaultAction(VARIANT varChild)
{
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    if (m_pPanel == NULL)
        return S_OK;
    if (IsAcceptFocus())
        m_pPanel->SetFocusedItem(this);
    m_pPanel->OnClick(this);
    return S_OK;
}

HRESULT CXTPTaskPanelGroupItem::accSelect(long flagsSelect, VARIANT varChild)
{
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    if (m_pPanel == NULL)
        return S_OK;
    if (flagsSelect & SELFLAG_TAKEFOCUS)
        m_pPanel->SetFocusedItem(this);
    if (flagsSelect & SELFLAG_TAKESELECTION)
        SetItemSelected(TRUE);
    return S_OK;
}
