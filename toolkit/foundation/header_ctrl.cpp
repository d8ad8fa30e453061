#include "header_ctrl.h"

#include "color_table.h"
#include "draw_helpers.h"
#include "global_metrics.h"
#include "mem_dc.h"
#include "resource_loader.h"
#include "toolkit_resource_ids.h"

#include <afxcview.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>

namespace {
void DrawLine(CDC* pDC, int x1, int y1, int x2, int y2, COLORREF clr)
{
    CPen pen(PS_SOLID, 1, clr);
    CPen* pOld = pDC->SelectObject(&pen);
    pDC->MoveTo(x1, y1);
    pDC->LineTo(x2, y2);
    pDC->SelectObject(pOld);
}

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

CDC* ItemDC(LPDRAWITEMSTRUCT lpDIS)
{
    return CDC::FromHandle(lpDIS->hDC);
}

constexpr int kNoRoom = INT_MIN;

// The top of a cx × cy image at the text's left, centred on the text's height; kNoRoom when the image
// would reach past the item.
int ImageTop(const CRect& rectText, LPDRAWITEMSTRUCT lpDIS, int cx, int cy)
{
    if (rectText.left + cx > static_cast<int>(lpDIS->rcItem.right))
        return kNoRoom;
    return rectText.top + (rectText.Height() - cy) / 2;
}

} // namespace

CXTHeaderCtrlTheme::CXTHeaderCtrlTheme() = default;

void CXTHeaderCtrlTheme::RefreshMetrics()
{
    CXTPColorTable* pColors = GetColorTable();
    m_clrText = pColors->GetColor(18);
    m_clrFace = pColors->GetColor(15);
    m_clrShadow = pColors->GetColor(16);
    m_clrDarkShadow = pColors->GetColor(21);
    m_clrHighlight = pColors->GetColor(20);
}

BOOL CXTHeaderCtrlTheme::UseWinXPThemes(CXTHeaderCtrl* pHeader)
{
    if (m_themeHeader.GetHandle() == NULL && pHeader != NULL && ::IsWindow(pHeader->GetSafeHwnd()))
        m_themeHeader.Open(pHeader->GetSafeHwnd(), L"HEADER");
    m_bUseWinThemes = m_themeHeader.IsThemingActive() && m_themeHeader.GetHandle() != NULL &&
                      (m_dwDrawStyle & XTTHEME_WINXPTHEMES) != 0;
    return m_bUseWinThemes;
}

void CXTHeaderCtrlTheme::SetDrawStyle(DWORD dwDrawStyle, CXTHeaderCtrl* pHeader)
{
    m_dwDrawStyle = dwDrawStyle;
    UseWinXPThemes(pHeader);
}

LRESULT CXTHeaderCtrlTheme::Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeader)
{
    return pHeader->DefWindowProc(HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(lpHDL));
}

void CXTHeaderCtrlTheme::CleanUp(CXTHeaderCtrl* pHeader)
{
    const int nCount = pHeader->GetItemCount();
    for (int i = 0; i < nCount; ++i)
        SetBitmap(i, 0, TRUE, 0, pHeader);
}

BOOL CXTHeaderCtrlTheme::SetBitmap(int nCol, UINT nBitmapId, BOOL bRemove, COLORREF crMask,
                                   CXTHeaderCtrl* pHeader)
{
    HDITEM item{};
    item.mask = HDI_FORMAT | HDI_LPARAM;
    if (!pHeader->GetItem(nCol, &item))
        return FALSE;
    // The image list of an item lives in the item's parameter while the item shows a bitmap.
    if ((item.fmt & HDF_BITMAP) != 0 && item.lParam != 0) {
        ImageList_Destroy(reinterpret_cast<HIMAGELIST>(item.lParam));
        item.lParam = 0;
    }
    item.fmt &= ~HDF_BITMAP;
    pHeader->SetItem(nCol, &item);
    if (bRemove)
        return FALSE;
    CBitmap bitmap;
    if (!GetResourceLoader()->LoadBitmap(&bitmap, nBitmapId))
        return FALSE;
    BITMAP info{};
    bitmap.GetBitmap(&info);
    HIMAGELIST hImages = ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 1);
    if (hImages == NULL)
        return FALSE;
    ImageList_AddMasked(hImages, static_cast<HBITMAP>(bitmap.GetSafeHandle()), crMask);
    item.fmt |= HDF_BITMAP;
    item.lParam = reinterpret_cast<LPARAM>(hImages);
    pHeader->SetItem(nCol, &item);
    pHeader->Invalidate();
    return TRUE;
}

void CXTHeaderCtrlTheme::DrawItemBackground(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = ItemDC(lpDIS);
    CRect rect(lpDIS->rcItem);
    pDC->FillSolidRect(rect, m_clrFace);
    rect.bottom += 2;
    pDC->Draw3dRect(rect, m_clrHighlight, m_clrDarkShadow);
    rect.DeflateRect(1, 1);
    pDC->Draw3dRect(rect, m_clrFace, m_clrShadow);
}

BOOL CXTHeaderCtrlTheme::DrawBackgroundWinXP(LPDRAWITEMSTRUCT lpDIS)
{
    if ((m_dwDrawStyle & XTTHEME_HOTTRACKING) == 0)
        return FALSE;
    return SUCCEEDED(m_themeHeader.DrawBackground(lpDIS->hDC, 0, 1, &lpDIS->rcItem, NULL));
}

void CXTHeaderCtrlTheme::DrawDivider(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = ItemDC(lpDIS);
    const CRect rect(lpDIS->rcItem);
    if ((lpDIS->itemState & ODS_SELECTED) != 0) {
        pDC->Draw3dRect(rect, m_clrShadow, m_clrShadow);
        return;
    }
    DrawLine(pDC, rect.right - 2, rect.top, rect.right - 2, rect.bottom, m_clrShadow);
    DrawLine(pDC, rect.right - 1, rect.top, rect.right - 1, rect.bottom, m_clrDarkShadow);
    DrawLine(pDC, rect.right, rect.top, rect.right, rect.bottom, m_clrHighlight);
}

BOOL CXTHeaderCtrlTheme::DrawItemBackgroundWinXP(LPDRAWITEMSTRUCT lpDIS)
{
    const int nState = (lpDIS->itemState & ODS_SELECTED) != 0   ? 3
                       : (lpDIS->itemState & ODS_HOTLIGHT) != 0 ? 2
                                                                : 1;
    return SUCCEEDED(m_themeHeader.DrawBackground(lpDIS->hDC, 1, nState, &lpDIS->rcItem, NULL));
}

void CXTHeaderCtrlTheme::DrawSortArrow(LPDRAWITEMSTRUCT lpDIS, BOOL bAscending)
{
    const CRect rectItem(lpDIS->rcItem);
    int x0 = m_rectLastText.right + m_nArrowMargin;
    if (x0 < rectItem.left)
        return;
    int y0 = (rectItem.bottom - m_nArrowHeight - rectItem.top) / 2 + rectItem.top - 1;
    if ((lpDIS->itemState & ODS_SELECTED) != 0) {
        ++x0;
        ++y0;
    }
    const int w = m_nArrowWidth;
    const int h = m_nArrowHeight;
    POINT points[3];
    if (bAscending) {
        points[0] = {x0, y0 + h};
        points[1] = {x0 + w, y0 + h};
        points[2] = {x0 + w / 2, y0};
    } else {
        points[0] = {x0, y0};
        points[1] = {x0 + w, y0};
        points[2] = {x0 + w / 2, y0 + h};
    }
    DrawArrow(ItemDC(lpDIS), points, bAscending);
}

void CXTHeaderCtrlTheme::DrawArrow(CDC* pDC, const POINT* pPoints, BOOL bAscending)
{
    // The whole arrow in the shadow colours: edges in the face's own highlight vanish on a light face,
    // which left an ascending arrow only its base.
    CBrush body(m_clrShadow);
    CPen outline(PS_SOLID, 1, m_clrShadow);
    CBrush* pOldBrush = pDC->SelectObject(&body);
    CPen* pOldPen = pDC->SelectObject(&outline);
    POINT corners[3] = {pPoints[0], pPoints[1], pPoints[2]};
    pDC->Polygon(corners, 3);
    pDC->SelectObject(pOldPen);
    pDC->SelectObject(pOldBrush);
    // Light falls from the top left: the edges turned away from it are the darker ones.
    const COLORREF clrSides = bAscending ? m_clrShadow : m_clrDarkShadow;
    const COLORREF clrBase = bAscending ? m_clrDarkShadow : m_clrShadow;
    DrawLine(pDC, pPoints[2].x, pPoints[2].y, pPoints[0].x, pPoints[0].y, clrSides);
    DrawLine(pDC, pPoints[2].x, pPoints[2].y, pPoints[1].x, pPoints[1].y, clrSides);
    DrawLine(pDC, pPoints[0].x, pPoints[0].y, pPoints[1].x, pPoints[1].y, clrBase);
}

void CXTHeaderCtrlTheme::DrawBitmap(CDC* pDC, CRect& rectText, LPDRAWITEMSTRUCT lpDIS, CXTHeaderCtrl* pHeader)
{
    HDITEM item{};
    item.mask = HDI_FORMAT | HDI_LPARAM;
    if (!pHeader->GetItem(static_cast<int>(lpDIS->itemID), &item) || (item.fmt & HDF_BITMAP) == 0 ||
        item.lParam == 0)
        return;
    auto hImages = reinterpret_cast<HIMAGELIST>(item.lParam);
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(hImages, &cx, &cy);
    const int y = ImageTop(rectText, lpDIS, cx, cy);
    if (y == kNoRoom)
        return;
    ImageList_Draw(hImages, 0, pDC->GetSafeHdc(), rectText.left, y, ILD_TRANSPARENT);
    rectText.left += m_nTextMargin + cx;
}

void CXTHeaderCtrlTheme::DrawImage(CDC* pDC, CRect& rectText, LPDRAWITEMSTRUCT lpDIS, CXTHeaderCtrl* pHeader,
                                   int nImage)
{
    CImageList* pImages = pHeader->GetImageList();
    if (pImages == NULL || nImage < 0 || nImage >= pImages->GetImageCount())
        return;
    IMAGEINFO info{};
    pImages->GetImageInfo(nImage, &info);
    const int cx = info.rcImage.right - info.rcImage.left;
    const int y = ImageTop(rectText, lpDIS, cx, info.rcImage.bottom - info.rcImage.top);
    if (y == kNoRoom)
        return;
    pImages->Draw(pDC, nImage, CPoint(rectText.left, y), ILD_TRANSPARENT);
    rectText.left += m_nTextMargin + cx;
}

void CXTHeaderCtrlTheme::DrawItem(LPDRAWITEMSTRUCT lpDIS, CXTHeaderCtrl* pHeader)
{
    CDC* pDC = ItemDC(lpDIS);
    const int nItem = static_cast<int>(lpDIS->itemID);
    BOOL bAscending = TRUE;
    const BOOL bSortColumn = pHeader->GetSortImage(&bAscending) == nItem;

    CRect rectText(lpDIS->rcItem);
    rectText.DeflateRect(m_nTextMargin, 0);
    if (bSortColumn)
        rectText.right -= 2 * m_nArrowMargin + m_nArrowWidth;

    TCHAR szText[256] = {};
    HDITEM item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = szText;
    item.cchTextMax = 255;
    pHeader->GetItem(nItem, &item);

    if ((item.fmt & HDF_BITMAP) != 0)
        DrawBitmap(pDC, rectText, lpDIS, pHeader);
    // An image of the header's own list, as the common header shows it: before the text.
    else if ((item.fmt & HDF_IMAGE) != 0)
        DrawImage(pDC, rectText, lpDIS, pHeader, item.iImage);

    const CSize extent = pDC->GetTextExtent(szText, lstrlen(szText));
    CRect rectPlace(rectText);
    if (m_nTextTop >= 1)
        rectPlace.top = lpDIS->rcItem.top + m_nTextTop;
    else
        rectPlace.top =
            lpDIS->rcItem.top + (static_cast<int>(lpDIS->rcItem.bottom - lpDIS->rcItem.top) - extent.cy) / 2;
    rectPlace.bottom = rectPlace.top + extent.cy;
    switch (item.fmt & HDF_JUSTIFYMASK) {
    case HDF_RIGHT:
        rectPlace.left = std::max<int>(rectText.left, static_cast<int>(rectText.right - extent.cx));
        break;
    case HDF_CENTER:
        rectPlace.left = std::max<int>(rectText.left,
                                       static_cast<int>(rectText.left + (rectText.Width() - extent.cx) / 2));
        rectPlace.right = std::min<int>(rectText.right, static_cast<int>(rectPlace.left + extent.cx));
        break;
    default:
        rectPlace.right = std::min<int>(rectText.right, static_cast<int>(rectText.left + extent.cx));
        break;
    }
    m_rectLastText = rectPlace;

    if ((m_dwDrawStyle & XTTHEME_SORTARROW) != 0 && bSortColumn)
        DrawSortArrow(lpDIS, bAscending);

    if ((lpDIS->itemState & ODS_SELECTED) != 0)
        rectPlace.OffsetRect(1, 1);
    pDC->DrawText(szText, lstrlen(szText), rectPlace, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void CXTHeaderCtrlTheme::DrawHeader(CDC* pDC, CXTHeaderCtrl* pHeader)
{
    CRect rectClient;
    pHeader->GetClientRect(&rectClient);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_HEADER;
    dis.hwndItem = pHeader->GetSafeHwnd();
    dis.hDC = pDC->GetSafeHdc();
    dis.rcItem = rectClient;
    dis.itemID = static_cast<UINT>(-1);
    const BOOL bThemed = UseWinXPThemes(pHeader);
    if (!bThemed || !DrawBackgroundWinXP(&dis))
        DrawItemBackground(&dis);

    CFont* pFont = pHeader->GetFont();
    CFont* pOldFont = pFont != NULL ? pDC->SelectObject(pFont) : NULL;
    pDC->SetBkColor(m_clrFace);
    pDC->SetTextColor(m_clrText);
    pDC->SetBkMode(TRANSPARENT);

    const int nCount = pHeader->GetItemCount();
    const int nHot = (m_dwDrawStyle & XTTHEME_HOTTRACKING) != 0 ? pHeader->GetHotItem() : -1;
    int x = 0;
    for (int nOrder = 0; nOrder < nCount; ++nOrder) {
        const int nItem = pHeader->OrderToIndex(nOrder);
        HDITEM item{};
        item.mask = HDI_WIDTH;
        pHeader->GetItem(nItem, &item);
        dis.itemID = static_cast<UINT>(nItem);
        dis.rcItem = CRect(x, rectClient.top, x + item.cxy, rectClient.bottom);
        dis.itemState = 0;
        if (nItem == nHot)
            dis.itemState |= ODS_HOTLIGHT;
        if (pHeader->IsItemPressed(nItem))
            dis.itemState |= ODS_SELECTED;
        if (!bThemed || !DrawItemBackgroundWinXP(&dis))
            DrawDivider(&dis);
        DrawItem(&dis, pHeader);
        x += item.cxy;
    }
    if (pOldFont != NULL)
        pDC->SelectObject(pOldFont);
}

CXTHeaderCtrlThemeOfficeXP::CXTHeaderCtrlThemeOfficeXP()
{
    m_dwDrawStyle = XTTHEME_SORTARROW;
}

void CXTHeaderCtrlThemeOfficeXP::DrawItemBackground(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = ItemDC(lpDIS);
    pDC->FillSolidRect(&lpDIS->rcItem, m_clrFace);
    pDC->Draw3dRect(&lpDIS->rcItem, m_clrHighlight, m_clrShadow);
}

void CXTHeaderCtrlThemeOfficeXP::DrawDivider(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = ItemDC(lpDIS);
    const CRect rect(lpDIS->rcItem);
    DrawLine(pDC, rect.right - 2, 2, rect.right - 2, rect.bottom - 2, m_clrShadow);
    DrawLine(pDC, rect.right - 1, 2, rect.right - 1, rect.bottom - 2, m_clrHighlight);
}

CXTHeaderCtrlThemeOffice2003::CXTHeaderCtrlThemeOffice2003()
{
    m_dwDrawStyle = XTTHEME_SORTARROW;
    m_nTextMargin = 6;
    m_nTextTop = 2;
}

void CXTHeaderCtrlThemeOffice2003::DrawItemBackground(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = ItemDC(lpDIS);
    const CRect rect(lpDIS->rcItem);
    pDC->FillSolidRect(rect, m_clrFace);
    pDC->Draw3dRect(rect, m_clrHighlight, BlendColors(m_clrShadow, m_clrFace, 60));
    DrawLine(pDC, rect.left, rect.bottom - 1, rect.right, rect.bottom - 1,
             BlendColors(m_clrShadow, m_clrFace, 40));
    DrawLine(pDC, rect.left, rect.bottom - 2, rect.right, rect.bottom - 2,
             BlendColors(m_clrShadow, m_clrFace, 25));
}

void CXTHeaderCtrlThemeOffice2003::DrawDivider(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = ItemDC(lpDIS);
    const CRect rect(lpDIS->rcItem);
    DrawLine(pDC, rect.right - 2, 2, rect.right - 2, rect.bottom - 4, m_clrShadow);
    DrawLine(pDC, rect.right - 1, 2, rect.right - 1, rect.bottom - 4, m_clrHighlight);
}

LRESULT CXTHeaderCtrlThemeOffice2003::Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeader)
{
    CClientDC dc(pHeader);
    CFont* pOld = dc.SelectObject(pHeader->GetFont());
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(pOld);
    const int nHeight = tm.tmHeight + 10;
    RECT* pRect = lpHDL->prc;
    WINDOWPOS* pPos = lpHDL->pwpos;
    pPos->hwndInsertAfter = NULL;
    pPos->x = pRect->left;
    pPos->y = pRect->top;
    pPos->cx = pRect->right - pRect->left;
    pPos->cy = nHeight;
    pPos->flags = SWP_NOZORDER | SWP_NOACTIVATE;
    pRect->top += nHeight;
    return TRUE;
}

XT_IMPLEMENT_THEME_FACTORY(CXTHeaderCtrlThemeFactory, CXTHeaderCtrlTheme, CXTHeaderCtrlThemeOfficeXP,
                           CXTHeaderCtrlThemeOffice2003)

IMPLEMENT_DYNAMIC(CXTHeaderCtrl, CHeaderCtrl)
IMPLEMENT_DYNAMIC(CXTFlatHeaderCtrl, CXTHeaderCtrl)

CXTHeaderCtrl::CXTHeaderCtrl() : CXTThemeHost(RUNTIME_CLASS(CXTHeaderCtrlThemeFactory))
{
    m_bRTL = static_cast<BYTE>(DetermineRTL() ? 1 : 0);
}

CXTHeaderCtrl::~CXTHeaderCtrl() = default;

BOOL CXTHeaderCtrl::DetermineRTL()
{
    HDC hDC = ::GetDC(NULL);
    const BOOL bRTL = (::GetTextAlign(hDC) & TA_RTLREADING) != 0;
    ::ReleaseDC(NULL, hDC);
    return bRTL;
}

BOOL CXTHeaderCtrl::IsItemPressed(int iItem)
{
    if (!m_bLBtnDown)
        return FALSE;
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    UINT nFlags = 0;
    return HitTest(point.x, point.y, &nFlags) == iItem && (nFlags & HHT_ONHEADER) != 0;
}

void CXTHeaderCtrl::InitializeHeader(BOOL bBoldFont)
{
    CXTGlobalMetrics* pMetrics = GetGlobalMetrics();
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(
                                (bBoldFont ? pMetrics->m_fontBold : pMetrics->m_fontNormal).GetSafeHandle()));
}

void CXTHeaderCtrl::SetFontBold(BOOL bBoldFont)
{
    InitializeHeader(bBoldFont);
    if (::IsWindow(m_hWnd))
        RedrawWindow();
}

void CXTHeaderCtrl::SetMenuID(UINT nMenuID, int nSubMenuIndex)
{
    m_nMenuID = nMenuID;
    m_nSubMenuIndex = nSubMenuIndex;
}

void CXTHeaderCtrl::ShowSortArrow(BOOL bSortArrow)
{
    CXTHeaderCtrlTheme* pTheme = GetTheme();
    DWORD dwStyle = pTheme->GetDrawStyle();
    dwStyle = bSortArrow ? (dwStyle | XTTHEME_SORTARROW) : (dwStyle & ~XTTHEME_SORTARROW);
    pTheme->SetDrawStyle(dwStyle, this);
}

BOOL CXTHeaderCtrl::HasSortArrow()
{
    return (GetTheme()->GetDrawStyle() & XTTHEME_SORTARROW) != 0;
}

BOOL CXTHeaderCtrl::IsListParent() const
{
    CWnd* pParent = GetParent();
    if (pParent == NULL)
        return FALSE;
    CWnd* pObject = CWnd::FromHandlePermanent(pParent->GetSafeHwnd());
    if (pObject != NULL &&
        (pObject->IsKindOf(RUNTIME_CLASS(CListCtrl)) || pObject->IsKindOf(RUNTIME_CLASS(CListView))))
        return TRUE;
    TCHAR szClass[64] = {};
    ::GetClassName(pParent->GetSafeHwnd(), szClass, 64);
    return lstrcmpi(szClass, WC_LISTVIEW) == 0;
}

void CXTHeaderCtrl::SetAlignment(int nFormat)
{
    if (!IsListParent())
        return;
    const int nCol = HitTest(m_pt.x, m_pt.y);
    if (nCol < 0)
        return;
    CWnd* pParent = GetParent();
    LVCOLUMN column{};
    column.mask = LVCF_FMT;
    if (!pParent->SendMessage(LVM_GETCOLUMN, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(&column)))
        return;
    column.fmt = (column.fmt & ~LVCFMT_JUSTIFYMASK) | nFormat;
    pParent->SendMessage(LVM_SETCOLUMN, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(&column));
    pParent->SendMessage(LVM_SETWORKAREAS, 0, 0);
}

void CXTHeaderCtrl::ResizeColumnsToFit(int nWidth)
{
    const int nCount = GetItemCount() - GetFrozenColCount();
    if (nCount < 1)
        return;
    const int nColWidth = nWidth / nCount;
    if (nColWidth <= m_nMinWidth)
        return;
    CWnd* pParent = GetParent();
    const int nItems = GetItemCount();
    for (int i = 0; i < nItems; ++i)
        if (!IsColFrozen(i))
            pParent->SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), MAKELPARAM(nColWidth, 0));
}

void CXTHeaderCtrl::FitFieldWidths(int nWidth)
{
    if (nWidth < 1) {
        CRect rect;
        GetClientRect(&rect);
        nWidth = rect.Width();
    }
    CWnd* pParent = GetParent();
    if (pParent != NULL && (pParent->GetStyle() & WS_VSCROLL) != 0)
        nWidth -= ::GetSystemMetrics(SM_CXVSCROLL);
    nWidth -= GetFrozenColWidth();
    ResizeColumnsToFit(nWidth);
}

int CXTHeaderCtrl::GetFrozenColWidth()
{
    int nWidth = 0;
    for (int nCol : m_arrFrozenCols) {
        HDITEM item{};
        item.mask = HDI_WIDTH;
        if (GetItem(nCol, &item))
            nWidth += item.cxy;
    }
    return nWidth;
}

int CXTHeaderCtrl::SetSortImage(int nSortCol, BOOL bSortAsc)
{
    const int nPrevious = m_nSortedCol;
    m_nSortedCol = nSortCol;
    m_bSortAsc = bSortAsc;
    if (::IsWindow(m_hWnd))
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return nPrevious;
}

int CXTHeaderCtrl::GetSortImage(BOOL* pbSortAsc) const
{
    if (pbSortAsc != NULL)
        *pbSortAsc = m_bSortAsc;
    return m_nSortedCol;
}

int CXTHeaderCtrl::HitTest(int x, int y, UINT* pFlags)
{
    HDHITTESTINFO info{};
    info.pt = CPoint(x, y);
    const int nItem = static_cast<int>(SendMessage(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (pFlags != NULL)
        *pFlags = info.flags;
    return nItem;
}

void CXTHeaderCtrl::FreezeColumn(int nCol)
{
    if (!IsColFrozen(nCol))
        m_arrFrozenCols.push_back(nCol);
}

void CXTHeaderCtrl::ThawColumn(int nCol)
{
    m_arrFrozenCols.erase(std::remove(m_arrFrozenCols.begin(), m_arrFrozenCols.end(), nCol),
                          m_arrFrozenCols.end());
}

BOOL CXTHeaderCtrl::IsColFrozen(int nCol) const
{
    return std::find(m_arrFrozenCols.begin(), m_arrFrozenCols.end(), nCol) != m_arrFrozenCols.end();
}

void CXTHeaderCtrl::OnThemeChanged()
{
    CWnd* pParent = GetParent();
    if (!::IsWindow(m_hWnd) || pParent == NULL)
        return;
    CRect rectParent;
    pParent->GetClientRect(&rectParent);
    WINDOWPOS pos{};
    HDLAYOUT layout{&rectParent, &pos};
    Layout(&layout);
    SetWindowPos(CWnd::FromHandle(pos.hwndInsertAfter), pos.x, pos.y, pos.cx, pos.cy,
                 pos.flags | SWP_FRAMECHANGED);
    CRect rectWindow;
    pParent->GetWindowRect(&rectWindow);
    pParent->SetWindowPos(NULL, 0, 0, rectWindow.Width(), rectWindow.Height() + 1,
                          SWP_NOMOVE | SWP_FRAMECHANGED);
    pParent->SetWindowPos(NULL, 0, 0, rectWindow.Width(), rectWindow.Height(), SWP_NOMOVE | SWP_FRAMECHANGED);
}

BOOL CXTHeaderCtrl::OnSetCursorFrozen()
{
    if (m_arrFrozenCols.empty())
        return FALSE;
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    const int nItem = HitTest(point.x, point.y);
    if (nItem < 0)
        return FALSE;
    BOOL bArrow = IsColFrozen(nItem);
    if (!bArrow) {
        CRect rect;
        GetItemRect(nItem, &rect);
        const int nOrder = [&] {
            HDITEM item{};
            item.mask = HDI_ORDER;
            GetItem(nItem, &item);
            return item.iOrder;
        }();
        const BOOL bLeftHalf = point.x < rect.left + rect.Width() / 2;
        // The neighbour whose divider the half touches, in display order.
        const int nNeighbourOrder = m_bRTL ? (bLeftHalf ? -1 : nOrder - 1) : (bLeftHalf ? nOrder - 1 : -1);
        if (nNeighbourOrder >= 0)
            bArrow = IsColFrozen(OrderToIndex(nNeighbourOrder));
    }
    if (!bArrow)
        return FALSE;
    ::SetCursor(::LoadCursor(NULL, IDC_ARROW));
    return TRUE;
}

void CXTHeaderCtrl::OnHotTimer()
{
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    const int nItem = HitTest(point.x, point.y);
    if (nItem < 0) {
        KillTimer(1);
        if (m_bHotShown)
            RedrawWindow();
        m_bHotShown = FALSE;
        return;
    }
    if (nItem != m_nHotItem) {
        m_nHotItem = nItem;
        m_bHotShown = FALSE;
    }
    if (!m_bHotShown) {
        m_bHotShown = TRUE;
        RedrawWindow();
    }
}

void CXTHeaderCtrl::OnRightButtonDown(CPoint point)
{
    m_pt = point;
    CWnd* pParent = GetParent();
    if (pParent == NULL || (pParent->GetStyle() & LVS_NOSORTHEADER) != 0 || !m_bPopupMenus)
        return;
    CPoint ptScreen(point);
    ClientToScreen(&ptScreen);
    if (m_nMenuID != 0) {
        CMenu menu;
        if (!menu.LoadMenu(m_nMenuID))
            return;
        CMenu* pPopup = menu.GetSubMenu(m_nSubMenuIndex);
        CWnd* pOwner = GetOwner() != NULL ? GetOwner() : pParent;
        if (pPopup != NULL)
            pPopup->TrackPopupMenu(TPM_RIGHTBUTTON, ptScreen.x, ptScreen.y, pOwner);
        return;
    }
    const int nItem = HitTest(point.x, point.y);
    if (nItem < 0)
        return;
    CMenu menu;
    if (!GetResourceLoader()->LoadMenu(&menu, XT_IDM_POPUP))
        return;
    CMenu* pPopup = menu.GetSubMenu(2);
    if (pPopup == NULL)
        return;
    if (nItem == m_nSortedCol)
        pPopup->CheckMenuItem(m_bSortAsc ? XT_IDC_SORTASC : XT_IDC_SORTDSC, MF_CHECKED);
    if (IsListParent()) {
        LVCOLUMN column{};
        column.mask = LVCF_FMT;
        if (pParent->SendMessage(LVM_GETCOLUMN, static_cast<WPARAM>(nItem),
                                 reinterpret_cast<LPARAM>(&column))) {
            const int nFormat = column.fmt & LVCFMT_JUSTIFYMASK;
            pPopup->CheckMenuItem(nFormat == LVCFMT_RIGHT    ? XT_IDC_ALIGNRIGHT
                                  : nFormat == LVCFMT_CENTER ? XT_IDC_ALIGNCENTER
                                                             : XT_IDC_ALIGNLEFT,
                                  MF_CHECKED);
        }
    }
    TrackToolkitPopupMenu(pPopup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, ptScreen.x, ptScreen.y, this,
                          XT_IDR_TBAR_HDR);
}

void CXTHeaderCtrl::SortFromMenu(BOOL bAscending)
{
    const int nCol = HitTest(m_pt.x, m_pt.y);
    if (nCol < 0 || (nCol == m_nSortedCol && m_bSortAsc == bAscending))
        return;
    m_nSortedCol = nCol;
    m_bSortAsc = bAscending;
    CWnd* pParent = GetParent();
    if (pParent == NULL)
        return;
    NMHEADER notify{};
    notify.hdr.hwndFrom = m_hWnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    notify.hdr.code = HDN_ITEMCLICKW;
    notify.iItem = nCol;
    notify.iButton = 1;
    // The parent and everything inside it hear of the new sort order, as after a click.
    pParent->SendMessage(WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
    std::vector<HWND> descendants;
    ::EnumChildWindows(pParent->GetSafeHwnd(), CollectWindow, reinterpret_cast<LPARAM>(&descendants));
    for (HWND hWnd : descendants)
        if (::IsWindow(hWnd))
            ::SendMessage(hWnd, WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

BOOL CXTHeaderCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case XT_IDC_SORTASC:
        SortFromMenu(TRUE);
        return TRUE;
    case XT_IDC_SORTDSC:
        SortFromMenu(FALSE);
        return TRUE;
    case XT_IDC_ALIGNLEFT:
        SetAlignment(LVCFMT_LEFT);
        return TRUE;
    case XT_IDC_ALIGNCENTER:
        SetAlignment(LVCFMT_CENTER);
        return TRUE;
    case XT_IDC_ALIGNRIGHT:
        SetAlignment(LVCFMT_RIGHT);
        return TRUE;
    default:
        return CHeaderCtrl::OnCommand(wParam, lParam);
    }
}

BOOL CXTHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_NOTIFY) {
        auto* pNotify = reinterpret_cast<NMHEADER*>(lParam);
        if ((pNotify->hdr.code == HDN_ITEMCHANGINGW || pNotify->hdr.code == HDN_ITEMCHANGINGA) &&
            pNotify->pitem != NULL && (pNotify->pitem->mask & HDI_WIDTH) != 0) {
            HDITEM current{};
            current.mask = HDI_WIDTH;
            GetItem(pNotify->iItem, &current);
            if (pNotify->pitem->cxy != current.cxy &&
                (IsColFrozen(pNotify->iItem) || pNotify->pitem->cxy < m_nMinWidth)) {
                if (pResult != NULL)
                    *pResult = 1;
                return TRUE;
            }
        }
    }
    return CHeaderCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT CXTHeaderCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_WINDOWPOSCHANGING: {
        auto* pPos = reinterpret_cast<WINDOWPOS*>(lParam);
        CWnd* pParent = GetParent();
        if (m_bAutoSize && GetItemCount() > 0 && pParent != NULL &&
            ::GetCapture() != pParent->GetSafeHwnd() && (pPos->flags & SWP_NOSIZE) == 0) {
            CRect rect;
            GetClientRect(&rect);
            if (pPos->cx != rect.Width())
                FitFieldWidths(pPos->cx);
        }
        break;
    }
    case WM_SETCURSOR:
        if (OnSetCursorFrozen())
            return TRUE;
        break;
    case WM_PAINT:
        if (CXTHeaderCtrlTheme* pTheme = GetTheme()) {
            CPaintDC dc(this);
            CRect rect;
            GetClientRect(&rect);
            CXTMemDC memDC(&dc, rect);
            pTheme->DrawHeader(&memDC, this);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_LBUTTONDOWN:
        m_bLBtnDown = TRUE;
        break;
    case WM_LBUTTONUP:
        m_bLBtnDown = FALSE;
        break;
    case WM_MOUSEMOVE:
        if (GetTheme() != NULL && GetTheme()->UseWinXPThemes(this))
            SetTimer(1, 10, NULL);
        break;
    case WM_TIMER:
        if (wParam == 1) {
            OnHotTimer();
            return 0;
        }
        break;
    case WM_DESTROY:
        if (GetTheme() != NULL)
            GetTheme()->CleanUp(this);
        break;
    case WM_RBUTTONDOWN:
        OnRightButtonDown(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case HDM_LAYOUT:
        if (CXTHeaderCtrlTheme* pTheme = GetTheme())
            return pTheme->Layout(reinterpret_cast<LPHDLAYOUT>(lParam), this);
        break;
    default:
        break;
    }
    return CHeaderCtrl::WindowProc(message, wParam, lParam);
}
