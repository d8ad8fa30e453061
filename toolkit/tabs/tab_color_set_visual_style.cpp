// The colour set that draws tabs, pane and navigate buttons with the system's visual style. The
// style's tab item faces the top; for the other sides the part is drawn on a bitmap that is turned or
// mirrored into place. Without visual styles every operation is the default colour set's.
#include "tab_appearance_set.h"
#include "tab_color_set.h"
#include "tab_own_choices.h"

#include <algorithm>
#include <vector>

namespace {

// A 32-bit top-down DIB section selected into a memory DC, its pixels reachable.
class CPixelBuffer
{
public:
    CPixelBuffer(int nWidth, int nHeight) : m_nWidth(nWidth), m_nHeight(nHeight)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = -nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_hDC = ::CreateCompatibleDC(NULL);
        m_hBitmap =
            ::CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits), NULL, 0);
        m_hOld = m_hBitmap != NULL ? ::SelectObject(m_hDC, m_hBitmap) : NULL;
    }
    ~CPixelBuffer()
    {
        if (m_hOld != NULL)
            ::SelectObject(m_hDC, m_hOld);
        if (m_hBitmap != NULL)
            ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    CPixelBuffer(const CPixelBuffer&) = delete;
    CPixelBuffer& operator=(const CPixelBuffer&) = delete;

    BOOL IsValid() const { return m_pBits != NULL; }
    HDC GetDC() const { return m_hDC; }
    DWORD& At(int x, int y) { return m_pBits[static_cast<size_t>(y) * m_nWidth + x]; }

private:
    int m_nWidth;
    int m_nHeight;
    HDC m_hDC = NULL;
    HBITMAP m_hBitmap = NULL;
    HGDIOBJ m_hOld = NULL;
    DWORD* m_pBits = NULL;
};

int ItemState(CXTPTabManagerItem* pItem)
{
    if (!pItem->IsEnabled())
        return XTP_TAB_VS_STATE_DISABLED;
    if (pItem->IsSelected())
        return XTP_TAB_VS_STATE_SELECTED;
    if (pItem->IsHot())
        return XTP_TAB_VS_STATE_HOT;
    return XTP_TAB_VS_STATE_NORMAL;
}

} // namespace

CXTPTabColorSetVisualStyle::~CXTPTabColorSetVisualStyle()
{
    m_themeTab.Close();
    m_themeToolBar.Close();
}

BOOL CXTPTabColorSetVisualStyle::IsAppThemed()
{
    return m_themeTab.GetHandle() != NULL && m_themeTab.IsThemingActive();
}

void CXTPTabColorSetVisualStyle::RefreshMetrics()
{
    CXTPTabColorSetDefault::RefreshMetrics();
    m_themeTab.Open(NULL, L"TAB");
    m_themeToolBar.Open(NULL, L"TOOLBAR");
    if (!IsAppThemed())
        return;
    for (CXTColorValue& clrLine : m_clrLines)
        clrLine.SetStandardValue(static_cast<COLORREF>(-1));
    m_clrHotText.SetStandardValue(m_clrNormalText);
}

// The part is drawn facing the top on a bitmap the size of the turned rectangle; the destination's
// pixels go through it both ways, so that what the part leaves transparent keeps the header behind.
void CXTPTabColorSetVisualStyle::DrawTurnedTabPart(CDC* pDC, CRect rc, int nPart, int nState)
{
    const XTPTabPosition position = m_pPaintManager->GetPosition();
    const BOOL bTurned = position == xtpTabPositionLeft || position == xtpTabPositionRight;
    const int nWidth = rc.Width();
    const int nHeight = rc.Height();
    if (nWidth <= 0 || nHeight <= 0)
        return;
    if (position == xtpTabPositionTop) {
        m_themeTab.DrawBackground(pDC->GetSafeHdc(), nPart, nState, rc, NULL);
        return;
    }
    CPixelBuffer dest(nWidth, nHeight);
    const int nPartWidth = bTurned ? nHeight : nWidth;
    const int nPartHeight = bTurned ? nWidth : nHeight;
    CPixelBuffer part(nPartWidth, nPartHeight);
    if (!dest.IsValid() || !part.IsValid())
        return;
    ::BitBlt(dest.GetDC(), 0, 0, nWidth, nHeight, pDC->GetSafeHdc(), rc.left, rc.top, SRCCOPY);
    // Where pixel (x, y) of the part lies on the destination: its top row on the header's outer edge.
    auto map = [&](int x, int y, int& dx, int& dy) {
        switch (position) {
        case xtpTabPositionLeft:
            dx = y;
            dy = x;
            break;
        case xtpTabPositionRight:
            dx = nWidth - 1 - y;
            dy = x;
            break;
        default:
            dx = x;
            dy = nHeight - 1 - y;
            break;
        }
    };
    int dx = 0;
    int dy = 0;
    for (int y = 0; y < nPartHeight; ++y) {
        for (int x = 0; x < nPartWidth; ++x) {
            map(x, y, dx, dy);
            part.At(x, y) = dest.At(dx, dy);
        }
    }
    const CRect rcPart(0, 0, nPartWidth, nPartHeight);
    m_themeTab.DrawBackground(part.GetDC(), nPart, nState, rcPart, NULL);
    ::GdiFlush();
    for (int y = 0; y < nPartHeight; ++y) {
        for (int x = 0; x < nPartWidth; ++x) {
            map(x, y, dx, dy);
            dest.At(dx, dy) = part.At(x, y);
        }
    }
    ::BitBlt(pDC->GetSafeHdc(), rc.left, rc.top, nWidth, nHeight, dest.GetDC(), 0, 0, SRCCOPY);
}

COLORREF CXTPTabColorSetVisualStyle::FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem)
{
    if (!IsAppThemed())
        return CXTPTabColorSetDefault::FillItem(pDC, rc, pItem);
    DrawTurnedTabPart(pDC, rc, XTP_TAB_VS_PART_TABITEM, ItemState(pItem));
    return static_cast<COLORREF>(-1);
}

void CXTPTabColorSetVisualStyle::FillItemFace(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem)
{
    if (IsAppThemed() && pItem->IsSelected())
        DrawTurnedTabPart(pDC, rc, XTP_TAB_VS_PART_TABITEM, ItemState(pItem));
    else
        CXTPTabColorSetDefault::FillItemFace(pDC, rc, pItem);
}

COLORREF CXTPTabColorSetVisualStyle::FillClient(CDC* pDC, CRect rc, CXTPTabManager* pTabManager)
{
    if (!IsAppThemed())
        return CXTPTabColorSetDefault::FillClient(pDC, rc, pTabManager);
    const XTPTabPosition position = m_pPaintManager->GetPosition();
    if (position == xtpTabPositionBottom)
        rc.bottom += 1;
    else if (position == xtpTabPositionRight)
        rc.right += 1;
    m_themeTab.DrawBackground(pDC->GetSafeHdc(), XTP_TAB_VS_PART_PANE, 0, rc, NULL);
    return m_clrClientFace;
}

void CXTPTabColorSetVisualStyle::DrawHeaderArea(CDC* pDC, CRect rcHeader, CXTPTabManager* pTabManager)
{
    (void)rcHeader;
    if (!IsAppThemed())
        return;
    // The tabs would cover the pane's rounded corner pixel where header and client meet.
    const CRect rcClient =
        m_pPaintManager->GetAppearanceSet()->GetClientRect(pTabManager->GetControlRect(), pTabManager);
    CPoint pt;
    switch (m_pPaintManager->GetPosition()) {
    case xtpTabPositionBottom:
        pt = CPoint(rcClient.left, rcClient.bottom - 1);
        break;
    case xtpTabPositionRight:
        pt = CPoint(rcClient.right - 1, rcClient.top);
        break;
    default:
        pt = rcClient.TopLeft();
        break;
    }
    pDC->ExcludeClipRect(pt.x, pt.y, pt.x + 1, pt.y + 1);
}

COLORREF CXTPTabColorSetVisualStyle::DrawNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton,
                                                        CRect& rc)
{
    if (!IsAppThemed() || m_themeToolBar.GetHandle() == NULL)
        return CXTPTabColorSetDefault::DrawNavigateButton(pDC, pButton, rc);
    const int nState = pButton->IsPressed() ? XTP_TAB_VS_STATE_TOOLBAR_PRESSED
                       : pButton->IsHot()   ? XTP_TAB_VS_STATE_TOOLBAR_HOT
                                            : XTP_TAB_VS_STATE_TOOLBAR_NORMAL;
    m_themeToolBar.DrawBackground(pDC->GetSafeHdc(), XTP_TAB_VS_PART_TOOLBAR_BUTTON, nState, rc, NULL);
    const COLORREF clrText = GetColorTable()->GetColor(COLOR_BTNTEXT);
    pDC->SetTextColor(clrText);
    return clrText;
}
