#include "status_list_ctrl.h"

#include <cwchar>

namespace {

bool StartsWith(LPCTSTR lpszText, LPCTSTR lpszWord)
{
    return std::wcsncmp(lpszText, lpszWord, std::wcslen(lpszWord)) == 0;
}

} // namespace

StatusCellColours StatusCellColoursFor(int nColumn, LPCTSTR lpszStatus)
{
    StatusCellColours colours = {StatusCellColours::kKeepListColour, StatusCellColours::kKeepListColour};
    switch (nColumn) {
    case 0:
        colours.background = 0xB2F3F5;
        break;
    case 1:
    case 3:
        colours.background = 0xF3E9F8;
        break;
    case 2:
    case 4:
    case 5:
        colours.background = 0xE2F2DC;
        break;
    default:
        break;
    }
    if (lpszStatus == NULL)
        return colours;
    if (StartsWith(lpszStatus, L"Pending")) {
        colours.text = 0x000000;
    } else if (StartsWith(lpszStatus, L"Done")) {
        colours.text = 0xFF0000;
    } else if (StartsWith(lpszStatus, L"Fail")) {
        colours.text = 0x0000FF;
    } else if (StartsWith(lpszStatus, L"Progress")) {
        colours.text = 0x00FF00;
        colours.background = 0x000000;
    }
    return colours;
}

IMPLEMENT_DYNAMIC(CStatusListCtrl, CListCtrl)

// clang-format off
BEGIN_MESSAGE_MAP(CStatusListCtrl, CListCtrl)
    ON_WM_CREATE()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
    ON_NOTIFY_REFLECT(NM_DBLCLK, OnClick)
END_MESSAGE_MAP()
// clang-format on

int CStatusListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CListCtrl::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CStatusListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pDraw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
    const DWORD stage = pDraw->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT || stage == CDDS_ITEMPREPAINT) {
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        return;
    }
    if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
        const CString status = GetItemText(static_cast<int>(pDraw->nmcd.dwItemSpec), 1);
        const StatusCellColours colours = StatusCellColoursFor(pDraw->iSubItem, status);
        // Both colours are set for every cell: the list keeps what one cell sets for the cells after it.
        pDraw->clrText = colours.text == StatusCellColours::kKeepListColour ? GetTextColor() : colours.text;
        pDraw->clrTextBk =
            colours.background == StatusCellColours::kKeepListColour ? GetTextBkColor() : colours.background;
    }
    *pResult = CDRF_DODEFAULT;
}

void CStatusListCtrl::OnClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}
