#include "list_ctrl.h"

#include "global_metrics.h"
#include "mem_dc.h"
#include "registry_profile.h"

#include <algorithm>

namespace {
const TCHAR kDefaultSection[] = L"Settings";
const TCHAR kDefaultEntry[] = L"Column Info";

BOOL IsHeaderCode(UINT code, UINT codeA, UINT codeW)
{
    return code == codeA || code == codeW;
}

COLORREF BlendHalf(COLORREF a, COLORREF b)
{
    auto channel = [](int x, int y) { return std::clamp((x * 50 + y * 50) / 100, 0, 255); };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}
} // namespace

CXTListHelper::CXTListHelper(CWnd* pWnd, CListCtrl* pListCtrl)
    : m_pWnd(pWnd), m_pListCtrl(pListCtrl), m_strSection(kDefaultSection), m_strEntry(kDefaultEntry)
{
    RefreshColors();
}

CXTListHelper::~CXTListHelper() = default;

CListCtrl& CXTListHelper::List() const
{
    if (static_cast<CWnd*>(m_pListCtrl) != m_pWnd)
        m_pListCtrl->m_hWnd = m_pWnd->m_hWnd;
    return *m_pListCtrl;
}

BOOL CXTListHelper::IsReportView() const
{
    return (m_pWnd->GetStyle() & LVS_TYPEMASK) == LVS_REPORT;
}

CHeaderCtrl* CXTListHelper::GetHeader() const
{
    HWND hHeader = reinterpret_cast<HWND>(m_pWnd->SendMessage(LVM_GETHEADER));
    if (hHeader == NULL)
        return NULL;
    return static_cast<CHeaderCtrl*>(CWnd::FromHandle(hHeader));
}

COLORREF CXTListHelper::GetBackColor() const
{
    if (!m_pWnd->IsWindowEnabled())
        return ::GetSysColor(COLOR_BTNFACE);
    return m_bListColors && m_crBack != static_cast<COLORREF>(-1) ? m_crBack : ::GetSysColor(COLOR_WINDOW);
}

void CXTListHelper::RefreshColors()
{
    m_nMaxColWidth = ::GetSystemMetrics(SM_CXFULLSCREEN);
    const COLORREF crBack =
        m_bListColors && m_crBack != static_cast<COLORREF>(-1) ? m_crBack : ::GetSysColor(COLOR_WINDOW);
    m_crSortBack = RGB(std::max(GetRValue(crBack) - 8, 0), std::max(GetGValue(crBack) - 8, 0),
                       std::max(GetBValue(crBack) - 8, 0));
    m_crSortText =
        m_bListColors && m_crText != static_cast<COLORREF>(-1) ? m_crText : ::GetSysColor(COLOR_WINDOWTEXT);
}

int CXTListHelper::SetSortColumn(int nCol, BOOL bAscending)
{
    const int nPrevious = m_nSortedCol;
    m_nSortedCol = nCol;
    m_bSortAscending = bAscending == TRUE;
    CHeaderCtrl* pHeader = GetHeader();
    CWnd* pObject = pHeader != NULL ? CWnd::FromHandlePermanent(pHeader->GetSafeHwnd()) : NULL;
    if (pObject != NULL && pObject->IsKindOf(RUNTIME_CLASS(CXTHeaderCtrl)))
        return static_cast<CXTHeaderCtrl*>(pObject)->SetSortImage(nCol, bAscending);
    return nPrevious;
}

int CXTListHelper::GetSortColumn(BOOL* pbAscending) const
{
    if (pbAscending != NULL)
        *pbAscending = m_bSortAscending;
    return m_nSortedCol;
}

int CXTListHelper::GetStoredColumnWidth(int nCol)
{
    CString strValue = CXTRegistryProfile().GetProfileString(m_strSection, m_strEntry, m_strDefault);
    int nField = 0;
    int nStart = 0;
    while (nField < nCol) {
        const int nComma = strValue.Find(L',', nStart);
        if (nComma < 0)
            return 0;
        nStart = nComma + 1;
        ++nField;
    }
    const int nEnd = strValue.Find(L',', nStart);
    const CString strField = nEnd < 0 ? strValue.Mid(nStart) : strValue.Mid(nStart, nEnd - nStart);
    return _wtoi(strField);
}

void CXTListHelper::RestoreColumnWidth(int nCol)
{
    List().SetColumnWidth(nCol, LOWORD(GetStoredColumnWidth(nCol)));
}

void CXTListHelper::RestoreColumnWidths()
{
    if (!IsReportView())
        return;
    const int nCount = GetColumnCount();
    if (nCount <= 0)
        return;
    // Nothing stored and no default: the columns keep the widths they were made with, rather than
    // all becoming 0 wide on a first run.
    if (CXTRegistryProfile().GetProfileString(m_strSection, m_strEntry, m_strDefault).IsEmpty())
        return;
    std::vector<int> order(static_cast<size_t>(nCount));
    List().GetColumnOrderArray(order.data(), nCount);
    // The stored fields are in display order, as SaveColumnWidths writes them.
    for (int i = 0; i < nCount; ++i)
        List().SetColumnWidth(order[static_cast<size_t>(i)], LOWORD(GetStoredColumnWidth(i)));
}

void CXTListHelper::SaveColumnWidths()
{
    if (!IsReportView())
        return;
    const int nCount = GetColumnCount();
    if (nCount < 0)
        return;
    std::vector<int> order(static_cast<size_t>(std::max(nCount, 1)));
    if (nCount > 0)
        List().GetColumnOrderArray(order.data(), nCount);
    CString strValue;
    for (int i = 0; i < nCount; ++i) {
        CString strWidth;
        strWidth.Format(L"%d,", List().GetColumnWidth(order[static_cast<size_t>(i)]));
        strValue += strWidth;
    }
    CXTRegistryProfile().WriteProfileString(m_strSection, m_strEntry, strValue);
}

void CXTListHelper::AutoSizeColumn(int nCol)
{
    CHeaderCtrl* pHeader = GetHeader();
    if (pHeader == NULL || !::IsWindow(pHeader->GetSafeHwnd()))
        return;
    m_pWnd->SendMessage(WM_SETREDRAW, FALSE);
    const int nFirst = nCol == -1 ? 0 : nCol;
    const int nLast = nCol == -1 ? GetColumnCount() - 1 : nCol;
    CWnd* pHeaderObject = CWnd::FromHandlePermanent(pHeader->GetSafeHwnd());
    CXTFlatHeaderCtrl* pFlat =
        pHeaderObject != NULL && pHeaderObject->IsKindOf(RUNTIME_CLASS(CXTFlatHeaderCtrl))
            ? static_cast<CXTFlatHeaderCtrl*>(pHeaderObject)
            : NULL;
    CClientDC dc(pHeader);
    CFont* pOldFont = dc.SelectObject(pHeader->GetFont());
    for (int nPos = nFirst; nPos <= nLast; ++nPos) {
        const int nColumn = pHeader->OrderToIndex(nPos);
        List().SetColumnWidth(nColumn, LVSCW_AUTOSIZE);
        const int nContents = List().GetColumnWidth(nColumn);
        TCHAR szText[256] = {};
        HDITEM item{};
        item.mask = HDI_TEXT;
        item.pszText = szText;
        item.cchTextMax = 255;
        pHeader->GetItem(nColumn, &item);
        int nHeading = dc.GetTextExtent(szText, lstrlen(szText)).cx + 12;
        if (pFlat != NULL && pFlat->HasSortArrow() && nColumn == m_nSortedCol)
            nHeading += 24;
        int nWidth = std::max(nContents, nHeading);
        nWidth = std::max(nWidth, m_nMinColWidth);
        nWidth = std::min(nWidth, m_nMaxColWidth);
        List().SetColumnWidth(nColumn, nWidth);
    }
    dc.SelectObject(pOldFont);
    m_pWnd->SendMessage(WM_SETREDRAW, TRUE);
    m_pWnd->Invalidate(TRUE);
}

void CXTListHelper::AutoSaveColumns(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    m_bAutoSave = TRUE;
    m_strSection = lpszSection != NULL ? lpszSection : kDefaultSection;
    m_strEntry = lpszEntry != NULL ? lpszEntry : kDefaultEntry;
    if (lpszDefault != NULL)
        m_strDefault = lpszDefault;
    RestoreColumnWidths();
}

BOOL CXTListHelper::SubclassHeader(BOOL bPopupMenus)
{
    if (!IsReportView() || ::IsWindow(m_flatHeader.GetSafeHwnd()))
        return FALSE;
    CHeaderCtrl* pHeader = GetHeader();
    if (pHeader == NULL || !m_flatHeader.SubclassWindow(pHeader->GetSafeHwnd()))
        return FALSE;
    m_flatHeader.EnablePopupMenus(bPopupMenus);
    return TRUE;
}

BOOL CXTListHelper::SortList(int, BOOL)
{
    return TRUE;
}

void CXTListHelper::AddExtendedStyle(DWORD dwExStyle)
{
    m_pWnd->SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(GetExtendedStyle() | dwExStyle));
}

DWORD CXTListHelper::GetExtendedStyle()
{
    return static_cast<DWORD>(m_pWnd->SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

void CXTListHelper::LockColumnWidths(BOOL bLock)
{
    m_bNoColSizing = bLock;
}

int CXTListHelper::HitTestEx(CPoint& point, int* pCol)
{
    CListCtrl& list = List();
    const int nRow = list.HitTest(point, NULL);
    if (pCol != NULL)
        *pCol = 0;
    if (!IsReportView())
        return nRow;
    CHeaderCtrl* pHeader = GetHeader();
    if (pHeader == NULL)
        return -1;
    const int nColumns = pHeader->GetItemCount();
    const int nTop = list.GetTopIndex();
    const int nBottom = std::min(nTop + list.GetCountPerPage(), list.GetItemCount());
    for (int nItem = nTop; nItem <= nBottom && nItem < list.GetItemCount(); ++nItem) {
        CRect rect;
        list.GetItemRect(nItem, &rect, LVIR_BOUNDS);
        if (!rect.PtInRect(point))
            continue;
        int x = rect.left;
        for (int nPos = 0; nPos < nColumns; ++nPos) {
            const int nWidth = list.GetColumnWidth(pHeader->OrderToIndex(nPos));
            if (point.x >= x && point.x <= x + nWidth) {
                if (pCol != NULL)
                    *pCol = nPos;
                return nItem;
            }
            x += nWidth;
        }
    }
    return -1;
}

int CXTListHelper::AddColumn(LPCTSTR lpszHeading, int nWidth, int nFormat)
{
    CHeaderCtrl* pHeader = GetHeader();
    const int nIndex = pHeader != NULL ? pHeader->GetItemCount() : 0;
    if (nWidth == -1)
        nWidth = nIndex > 0 ? List().GetColumnWidth(nIndex - 1) : 0;
    LVCOLUMN column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = nFormat;
    column.pszText = const_cast<LPTSTR>(lpszHeading);
    column.cx = nWidth;
    column.iSubItem = nIndex;
    return List().InsertColumn(nIndex, &column);
}

BOOL CXTListHelper::BuildColumns(int nCols, const int* pWidths, const LPCTSTR* pHeadings)
{
    for (int i = 0; i < nCols; ++i)
        if (List().InsertColumn(i, pHeadings[i], LVCFMT_LEFT, pWidths[i], i) == -1)
            return FALSE;
    return TRUE;
}

BOOL CXTListHelper::BuildColumns(int nCols, const int* pWidths, const UINT* pStringIds)
{
    for (int i = 0; i < nCols; ++i) {
        CString strHeading;
        strHeading.LoadString(pStringIds[i]);
        if (List().InsertColumn(i, strHeading, LVCFMT_LEFT, pWidths[i], i) == -1)
            return FALSE;
    }
    return TRUE;
}

int CXTListHelper::GetColumnCount()
{
    if (!IsReportView())
        return -1;
    CHeaderCtrl* pHeader = GetHeader();
    return pHeader != NULL ? pHeader->GetItemCount() : -1;
}

int CXTListHelper::CopyRow(int nFrom, int nTo)
{
    if (nFrom == nTo || nFrom < 0 || nTo < 0)
        return -1;
    CListCtrl& list = List();
    TCHAR szText[257] = {};
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = nFrom;
    item.pszText = szText;
    item.cchTextMax = 256;
    if (!list.GetItem(&item))
        return -1;
    item.iItem = nTo;
    const int nNew = list.InsertItem(&item);
    if (nNew < 0)
        return -1;
    const int nSource = nFrom > nTo ? nFrom + 1 : nFrom;
    const int nColumns = GetColumnCount();
    for (int nCol = 1; nCol < nColumns; ++nCol)
        list.SetItemText(nNew, nCol, list.GetItemText(nSource, nCol));
    return nSource;
}

BOOL CXTListHelper::MoveRow(int nFrom, int nTo)
{
    const int nSource = CopyRow(nFrom, nTo);
    if (nSource < 0)
        return FALSE;
    return List().DeleteItem(nSource);
}

void CXTListHelper::SetListColors(COLORREF crText, COLORREF crBack)
{
    m_crText = crText;
    m_crBack = crBack;
    m_bListColors = TRUE;
    RefreshColors();
    m_pWnd->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

BOOL CXTListHelper::SetRowColors(const XT_ROW_COLOR& rowColor)
{
    return SetRowColors(rowColor.nRow, rowColor.crText, rowColor.crBack);
}

BOOL CXTListHelper::SetRowColors(int nRow, COLORREF crText, COLORREF crBack)
{
    if (XT_ROW_COLOR* pRow = FindRowColors(nRow)) {
        pRow->crText = crText;
        pRow->crBack = crBack;
    } else
        m_rowColors.push_back({nRow, crBack, crText});
    if (::IsWindow(m_pWnd->GetSafeHwnd())) {
        const int nTop = List().GetTopIndex();
        if (nRow >= nTop && nRow <= nTop + List().GetCountPerPage())
            m_pWnd->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    }
    return TRUE;
}

void CXTListHelper::ClearRowColors()
{
    m_rowColors.clear();
}

XT_ROW_COLOR* CXTListHelper::FindRowColors(int nRow)
{
    for (XT_ROW_COLOR& row : m_rowColors)
        if (row.nRow == nRow)
            return &row;
    return NULL;
}

BOOL CXTListHelper::ModifyExtendedStyle(DWORD dwRemove, DWORD dwAdd)
{
    const DWORD dwOld = GetExtendedStyle();
    const DWORD dwNew = (dwOld & ~dwRemove) | dwAdd;
    if (dwNew == dwOld)
        return FALSE;
    m_pWnd->SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(dwNew));
    return TRUE;
}

BOOL CXTListHelper::InitializeFont()
{
    if (!::IsWindow(m_pWnd->GetSafeHwnd()))
        return FALSE;
    if (m_bUseThemeFont)
        m_pWnd->SendMessage(WM_SETFONT,
                            reinterpret_cast<WPARAM>(GetGlobalMetrics()->m_fontNormal.GetSafeHandle()), TRUE);
    return TRUE;
}

BOOL CXTListHelper::OnHeaderNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* pNotify = reinterpret_cast<NMHEADER*>(lParam);
    if (pNotify == NULL)
        return FALSE;
    const UINT code = pNotify->hdr.code;
    if (IsHeaderCode(code, HDN_ITEMCHANGINGA, HDN_ITEMCHANGINGW) ||
        IsHeaderCode(code, HDN_ENDTRACKA, HDN_ENDTRACKW)) {
        if (pNotify->pitem != NULL && (pNotify->pitem->mask & HDI_WIDTH) != 0 &&
            pNotify->pitem->cxy < m_nMinColWidth)
            pNotify->pitem->cxy = m_nMinColWidth;
        return FALSE;
    }
    if (IsHeaderCode(code, HDN_BEGINTRACKA, HDN_BEGINTRACKW) ||
        IsHeaderCode(code, HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW)) {
        if (!m_bNoColSizing)
            return FALSE;
        if (pResult != NULL)
            *pResult = 1;
        return TRUE;
    }
    if (IsHeaderCode(code, HDN_ITEMCLICKA, HDN_ITEMCLICKW) && GetFlatHeaderCtrl() != NULL &&
        pNotify->hdr.hwndFrom == m_flatHeader.GetSafeHwnd()) {
        BOOL bAscending = m_bSortAscending;
        if (pNotify->iButton == 0)
            bAscending = pNotify->iItem == m_nSortedCol ? !m_bSortAscending : TRUE;
        else if (pNotify->iButton == 1)
            m_flatHeader.GetSortImage(&bAscending);
        else
            return FALSE;
        m_nSortedCol = pNotify->iItem;
        m_bSortAscending = bAscending;
        m_flatHeader.SetSortImage(m_nSortedCol, m_bSortAscending);
        SortList(m_nSortedCol, m_bSortAscending);
    }
    return FALSE;
}

BOOL CXTListHelper::OnCustomDraw(NMLVCUSTOMDRAW* pDraw, LRESULT* pResult)
{
    *pResult = CDRF_DODEFAULT;
    const DWORD dwStage = pDraw->nmcd.dwDrawStage;
    if (dwStage == CDDS_PREPAINT || dwStage == CDDS_ITEMPREPAINT) {
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        return TRUE;
    }
    if (dwStage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM))
        return TRUE;
    const int nRow = static_cast<int>(pDraw->nmcd.dwItemSpec);
    const BOOL bSortColumn = m_bTintSortColumn && pDraw->iSubItem == m_nSortedCol;
    const BOOL bSelected = (List().GetItemState(nRow, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    XT_ROW_COLOR* pRow = m_bRowColors && !bSelected ? FindRowColors(nRow) : NULL;
    const auto isSet = [](COLORREF clr) { return clr != static_cast<COLORREF>(-1); };
    if (!m_pWnd->IsWindowEnabled()) {
        pDraw->clrText = ::GetSysColor(COLOR_WINDOWTEXT);
        pDraw->clrTextBk = ::GetSysColor(COLOR_BTNFACE);
    } else if (pRow != NULL) {
        pDraw->clrText = pRow->crText;
        pDraw->clrTextBk = bSortColumn ? BlendHalf(pRow->crBack, m_crSortBack) : pRow->crBack;
    } else if (bSortColumn) {
        pDraw->clrText = isSet(m_crSortText) ? m_crSortText
                         : isSet(m_crText)   ? m_crText
                                             : ::GetSysColor(COLOR_WINDOWTEXT);
        pDraw->clrTextBk = isSet(m_crSortBack) ? m_crSortBack
                           : isSet(m_crBack)   ? m_crBack
                                               : ::GetSysColor(COLOR_WINDOW);
    } else {
        pDraw->clrText = m_bListColors && isSet(m_crText) ? m_crText : ::GetSysColor(COLOR_WINDOWTEXT);
        pDraw->clrTextBk = m_bListColors && isSet(m_crBack) ? m_crBack : ::GetSysColor(COLOR_WINDOW);
    }
    return TRUE;
}

void CXTListHelper::OnPaint()
{
    CPaintDC dc(m_pWnd);
    CHeaderCtrl* pHeader = GetHeader();
    if (IsReportView() && pHeader != NULL && ::IsWindow(pHeader->GetSafeHwnd())) {
        CRect rectHeader;
        pHeader->GetWindowRect(&rectHeader);
        m_pWnd->ScreenToClient(&rectHeader);
        dc.ExcludeClipRect(&rectHeader);
    }
    CRect rectClient;
    m_pWnd->GetClientRect(&rectClient);
    {
        CXTMemDC memDC(&dc, rectClient);
        memDC.FillSolidRect(rectClient, GetBackColor());
        if (pHeader != NULL && ::IsWindow(pHeader->GetSafeHwnd()) && m_bTintSortColumn && m_nSortedCol >= 0) {
            int x = rectClient.left - m_pWnd->GetScrollPos(SB_HORZ);
            const int nCount = pHeader->GetItemCount();
            for (int nPos = 0; nPos < nCount; ++nPos) {
                const int nColumn = pHeader->OrderToIndex(nPos);
                const int nWidth = List().GetColumnWidth(nColumn);
                if (nColumn == m_nSortedCol) {
                    memDC.FillSolidRect(x, rectClient.top, nWidth, rectClient.Height(), m_crSortBack);
                    break;
                }
                x += nWidth;
            }
        }
        m_pWnd->DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.GetSafeHdc()), 0);
        if (pHeader != NULL && ::IsWindow(pHeader->GetSafeHwnd())) {
            pHeader->Invalidate();
            pHeader->UpdateWindow();
        }
    }
}

LRESULT CXTListHelper::HostWindowProc(UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT (*pfnBase)(CWnd*, UINT, WPARAM, LPARAM))
{
    switch (message) {
    case WM_DESTROY:
        if (m_bAutoSave)
            SaveColumnWidths();
        break;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_CREATE:
        if (pfnBase(m_pWnd, message, wParam, lParam) == -1)
            return -1;
        InitializeFont();
        return 0;
    case WM_SETTINGCHANGE: {
        const LRESULT lResult = pfnBase(m_pWnd, message, wParam, lParam);
        RefreshColors();
        return lResult;
    }
    default:
        break;
    }
    return pfnBase(m_pWnd, message, wParam, lParam);
}

BOOL CXTListHelper::HostChildNotify(UINT message, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_NOTIFY)
        return FALSE;
    auto* pHeader = reinterpret_cast<NMHDR*>(lParam);
    if (pHeader->code != NM_CUSTOMDRAW || pResult == NULL)
        return FALSE;
    return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam), pResult);
}

// The two hosts forward the same messages to the helper over their own bases.
#define XT_IMPLEMENT_LIST_HOST(Host, Base)                                                                   \
    Host::~Host() = default;                                                                                 \
    BOOL Host::PreCreateWindow(CREATESTRUCT& cs)                                                             \
    {                                                                                                        \
        m_bFromResource = FALSE;                                                                             \
        return Base::PreCreateWindow(cs);                                                                    \
    }                                                                                                        \
    void Host::PreSubclassWindow()                                                                           \
    {                                                                                                        \
        Base::PreSubclassWindow();                                                                           \
        if (m_bFromResource)                                                                                 \
            InitializeFont();                                                                                \
    }                                                                                                        \
    LRESULT Host::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)                                     \
    {                                                                                                        \
        return HostWindowProc(message, wParam, lParam, [](CWnd* pWnd, UINT nMsg, WPARAM wp, LPARAM lp) {     \
            return static_cast<Host*>(pWnd)->Base::WindowProc(nMsg, wp, lp);                                 \
        });                                                                                                  \
    }                                                                                                        \
    BOOL Host::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)                                      \
    {                                                                                                        \
        return OnHeaderNotify(wParam, lParam, pResult) || Base::OnNotify(wParam, lParam, pResult);           \
    }                                                                                                        \
    BOOL Host::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)                   \
    {                                                                                                        \
        return HostChildNotify(message, lParam, pResult) ||                                                  \
               Base::OnChildNotify(message, wParam, lParam, pResult);                                        \
    }

IMPLEMENT_DYNAMIC(CXTListCtrl, CListCtrl)
CXTListCtrl::CXTListCtrl() : CXTListHelper(this, this) {}
XT_IMPLEMENT_LIST_HOST(CXTListCtrl, CListCtrl)

IMPLEMENT_DYNCREATE(CXTListView, CListView)
CXTListView::CXTListView() : CXTListHelper(this, &GetListCtrl()) {}
XT_IMPLEMENT_LIST_HOST(CXTListView, CListView)
