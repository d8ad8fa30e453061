#include "link_status_bar.h"

#include "resource.h"
#include "web_addresses.h"

// clang-format off
BEGIN_MESSAGE_MAP(CLinkStatusBar, CStatusBar)
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()
// clang-format on

void CLinkStatusBar::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->itemID != 1)
        return;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const CRect rect(lpDrawItemStruct->rcItem);
    const int saved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(RGB(0x1D, 0x75, 0xBD));
    pDC->SetBkColor(RGB(255, 255, 255));
    pDC->TextOut(rect.left + 2, rect.top, kContactSupportText);
    m_linkTextSize = pDC->GetTextExtent(kContactSupportText, static_cast<int>(wcslen(kContactSupportText)));
    pDC->RestoreDC(saved);
}

CRect CLinkStatusBar::GetLinkRect() const
{
    CRect rect;
    GetItemRect(CommandToIndex(ID_INDICATOR_LINK), &rect);
    rect.left += 4;
    rect.right = rect.left + m_linkTextSize.cx;
    return rect;
}

void CLinkStatusBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    CStatusBar::OnLButtonUp(nFlags, point);
    if (GetLinkRect().PtInRect(point))
        ::ShellExecuteW(NULL, L"open", kSupportPageUrl, NULL, NULL, SW_SHOWNORMAL);
}

void CLinkStatusBar::FitToFrameWidth(int frameWidth)
{
    UINT id = 0;
    UINT style = 0;
    int width = 0;
    GetPaneInfo(0, id, style, width);
    SetPaneInfo(0, id, style, frameWidth / 2 + 270);
}
