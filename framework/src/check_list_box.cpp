// CCheckListBox: an owner-drawn list box that keeps a check state per item in the item data and
// hands the caller's item data through its own record.
#include <afxwin.h>

#include <algorithm>
#include <set>

IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)

struct CCheckListBox::CheckData
{
    int nCheck = 0;
    BOOL bEnabled = TRUE;
    DWORD_PTR dwUserData = 0;
};

struct CCheckListBox::CheckDataSet
{
    std::set<CheckData*> records;
};

namespace {

const int kCheckMargin = 2;

int CheckBoxSize()
{
    return 13; // the size DrawFrameControl draws check boxes at
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CCheckListBox, CListBox)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(LB_ADDSTRING, OnLBAddString)
    ON_MESSAGE(LB_INSERTSTRING, OnLBInsertString)
    ON_MESSAGE(LB_GETITEMDATA, OnLBGetItemData)
    ON_MESSAGE(LB_SETITEMDATA, OnLBSetItemData)
END_MESSAGE_MAP()
// clang-format on

CCheckListBox::CCheckListBox() : m_nStyle(BS_AUTOCHECKBOX), m_cyText(0), m_pDataSet(new CheckDataSet) {}

CCheckListBox::~CCheckListBox()
{
    // Records of items that were never deleted through WM_DELETEITEM (a parent without an object).
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
    for (CheckData* pData : m_pDataSet->records)
        delete pData;
    delete m_pDataSet;
}

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!(dwStyle & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
        dwStyle |= LBS_OWNERDRAWFIXED;
    return CListBox::Create(dwStyle | LBS_HASSTRINGS, rect, pParentWnd, nID);
}

void CCheckListBox::PreSubclassWindow()
{
    CListBox::PreSubclassWindow();
    if (m_hWnd != NULL && (GetStyle() & LBS_OWNERDRAWFIXED))
        CWnd::DefWindowProc(LB_SETITEMHEIGHT, 0, MAKELPARAM(CalcMinimumItemHeight(), 0));
}

void CCheckListBox::SetCheckStyle(UINT nStyle)
{
    if (nStyle == BS_CHECKBOX || nStyle == BS_AUTOCHECKBOX || nStyle == BS_AUTO3STATE || nStyle == BS_3STATE)
        m_nStyle = nStyle;
}

CCheckListBox::CheckData* CCheckListBox::GetCheckData(int nIndex)
{
    const LRESULT lRaw = CWnd::DefWindowProc(LB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0);
    if (lRaw == LB_ERR)
        return NULL;
    CheckData* pData = reinterpret_cast<CheckData*>(lRaw);
    return m_pDataSet->records.count(pData) != 0 ? pData : NULL;
}

void CCheckListBox::AttachCheckData(LRESULT nIndex)
{
    if (nIndex < 0)
        return;
    CheckData* pData = new CheckData;
    m_pDataSet->records.insert(pData);
    CWnd::DefWindowProc(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(pData));
}

void CCheckListBox::SetCheck(int nIndex, int nCheck)
{
    if (CheckData* pData = GetCheckData(nIndex)) {
        pData->nCheck = nCheck;
        InvalidateCheck(nIndex);
    }
}

int CCheckListBox::GetCheck(int nIndex)
{
    CheckData* pData = GetCheckData(nIndex);
    return pData != NULL ? pData->nCheck : 0;
}

void CCheckListBox::Enable(int nIndex, BOOL bEnabled)
{
    if (CheckData* pData = GetCheckData(nIndex)) {
        pData->bEnabled = bEnabled;
        InvalidateCheck(nIndex);
    }
}

BOOL CCheckListBox::IsEnabled(int nIndex)
{
    CheckData* pData = GetCheckData(nIndex);
    return pData != NULL ? pData->bEnabled : TRUE;
}

CRect CCheckListBox::OnGetCheckPosition(CRect, CRect rectCheckBox)
{
    return rectCheckBox;
}

int CCheckListBox::CalcMinimumItemHeight()
{
    CClientDC dc(this);
    CFont* pFont = GetFont();
    CFont* pOldFont = pFont != NULL ? dc.SelectObject(pFont) : NULL;
    TEXTMETRIC metrics = {};
    dc.GetTextMetrics(&metrics);
    if (pOldFont != NULL)
        dc.SelectObject(pOldFont);
    m_cyText = metrics.tmHeight;
    return std::max(static_cast<int>(metrics.tmHeight), CheckBoxSize() + kCheckMargin);
}

void CCheckListBox::InvalidateCheck(int nIndex)
{
    CRect rect;
    if (GetItemRect(nIndex, &rect) != LB_ERR) {
        rect.right = rect.left + CheckBoxSize() + 2 * kCheckMargin;
        InvalidateRect(rect, FALSE);
    }
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(CalcMinimumItemHeight());
}

void CCheckListBox::DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct)
{
    CheckData* pData = reinterpret_cast<CheckData*>(lpDeleteItemStruct->itemData);
    if (m_pDataSet->records.erase(pData) != 0)
        delete pData;
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (static_cast<int>(lpDrawItemStruct->itemID) < 0)
        return;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const int nIndex = static_cast<int>(lpDrawItemStruct->itemID);
    CheckData* pData = GetCheckData(nIndex);
    const BOOL bEnabled = IsWindowEnabled() && (pData == NULL || pData->bEnabled);
    const CRect rectItem(lpDrawItemStruct->rcItem);

    // The check box, vertically centred in the item.
    const int nBox = CheckBoxSize();
    CRect rectCheck(rectItem.left + kCheckMargin, rectItem.top + (rectItem.Height() - nBox) / 2,
                    rectItem.left + kCheckMargin + nBox,
                    rectItem.top + (rectItem.Height() - nBox) / 2 + nBox);
    rectCheck = OnGetCheckPosition(rectItem, rectCheck);
    pDC->FillSolidRect(rectItem.left, rectItem.top, rectCheck.right + kCheckMargin - rectItem.left,
                       rectItem.Height(), ::GetSysColor(COLOR_WINDOW));
    UINT nState = DFCS_BUTTONCHECK;
    const int nCheck = pData != NULL ? pData->nCheck : 0;
    if (nCheck == 1)
        nState |= DFCS_CHECKED;
    else if (nCheck == 2)
        nState = DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (!bEnabled)
        nState |= DFCS_INACTIVE;
    pDC->DrawFrameControl(rectCheck, DFC_BUTTON, nState);

    // The text, in the selection colours when selected.
    CRect rectText(rectCheck.right + kCheckMargin, rectItem.top, rectItem.right, rectItem.bottom);
    const BOOL bSelected = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
    const COLORREF clrBack = ::GetSysColor(bSelected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const COLORREF clrText = !bEnabled ? ::GetSysColor(COLOR_GRAYTEXT)
                                       : ::GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    pDC->FillSolidRect(rectText, clrBack);
    CString text;
    GetText(nIndex, text);
    const COLORREF clrOldText = pDC->SetTextColor(clrText);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rectDraw(rectText);
    rectDraw.left += 1;
    pDC->DrawText(text, rectDraw, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(clrOldText);
    if (lpDrawItemStruct->itemState & ODS_FOCUS)
        pDC->DrawFocusRect(rectText);
}

BOOL CCheckListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return CListBox::OnChildNotify(message, wParam, lParam, pResult);
}

int CCheckListBox::CheckFromPoint(CPoint point, BOOL& bInCheck)
{
    bInCheck = FALSE;
    BOOL bOutside = TRUE;
    const int nIndex = static_cast<int>(ItemFromPoint(point, bOutside));
    if (bOutside || nIndex >= GetCount())
        return -1;
    CRect rectItem;
    GetItemRect(nIndex, &rectItem);
    bInCheck = point.x >= rectItem.left && point.x < rectItem.left + CheckBoxSize() + 2 * kCheckMargin;
    return nIndex;
}

void CCheckListBox::Toggle(int nIndex)
{
    CheckData* pData = GetCheckData(nIndex);
    if (pData == NULL || !pData->bEnabled)
        return;
    if (m_nStyle == BS_AUTOCHECKBOX)
        pData->nCheck = pData->nCheck == 1 ? 0 : 1;
    else if (m_nStyle == BS_AUTO3STATE)
        pData->nCheck = (pData->nCheck + 1) % 3;
    InvalidateCheck(nIndex);
    CWnd* pParent = GetParent();
    if (pParent != NULL)
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE),
                             reinterpret_cast<LPARAM>(m_hWnd));
}

void CCheckListBox::SetSelectionCheck(int nCheck)
{
    const int nCount = GetCount();
    for (int nIndex = 0; nIndex < nCount; ++nIndex) {
        if (GetSel(nIndex) > 0)
            SetCheck(nIndex, nCheck);
    }
}

void CCheckListBox::OnLButtonDown(UINT, CPoint point)
{
    BOOL bInCheck = FALSE;
    const int nIndex = CheckFromPoint(point, bInCheck);
    Default(); // selection and focus as a list box does them
    if (nIndex >= 0 && bInCheck)
        Toggle(nIndex);
}

void CCheckListBox::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    BOOL bInCheck = FALSE;
    CheckFromPoint(point, bInCheck);
    if (bInCheck)
        OnLButtonDown(nFlags, point); // a quick second click on the box is a second toggle
    else
        Default();
}

void CCheckListBox::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar == VK_SPACE) {
        const int nIndex = GetCaretIndex();
        if (nIndex != LB_ERR) {
            Toggle(nIndex);
            return;
        }
    }
    Default();
}

LRESULT CCheckListBox::OnSetFont(WPARAM, LPARAM)
{
    const LRESULT lResult = Default();
    if (GetStyle() & LBS_OWNERDRAWFIXED)
        CWnd::DefWindowProc(LB_SETITEMHEIGHT, 0, MAKELPARAM(CalcMinimumItemHeight(), 0));
    return lResult;
}

LRESULT CCheckListBox::OnLBAddString(WPARAM, LPARAM)
{
    const LRESULT lResult = Default();
    AttachCheckData(lResult);
    return lResult;
}

LRESULT CCheckListBox::OnLBInsertString(WPARAM, LPARAM)
{
    const LRESULT lResult = Default();
    AttachCheckData(lResult);
    return lResult;
}

LRESULT CCheckListBox::OnLBGetItemData(WPARAM, LPARAM)
{
    const LRESULT lRaw = Default();
    if (lRaw == LB_ERR)
        return LB_ERR;
    CheckData* pData = reinterpret_cast<CheckData*>(lRaw);
    return m_pDataSet->records.count(pData) != 0 ? static_cast<LRESULT>(pData->dwUserData) : lRaw;
}

LRESULT CCheckListBox::OnLBSetItemData(WPARAM wParam, LPARAM lParam)
{
    CheckData* pData = GetCheckData(static_cast<int>(wParam));
    if (pData == NULL)
        return Default();
    pData->dwUserData = static_cast<DWORD_PTR>(lParam);
    return 0;
}
