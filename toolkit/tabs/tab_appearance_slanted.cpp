// The slanted appearances: one slanted end (3), two slanted ends with rounded shoulders (9) and the
// trapezoid (7). Their tabs reach beyond the item rectangle so that neighbours overlap.
#include "tab_appearance_set.h"
#include "tab_color_set.h"

#include <array>
#include <vector>

namespace {

const COLORREF kNone = static_cast<COLORREF>(-1);
const COLORREF kWhite = RGB(255, 255, 255);

std::vector<POINT> Absolute(const POINT* pSteps, int nCount)
{
    std::vector<POINT> points(pSteps, pSteps + nCount);
    for (int i = 1; i < nCount; ++i) {
        points[i].x += points[i - 1].x;
        points[i].y += points[i - 1].y;
    }
    return points;
}

void Segment(CDC* pDC, int x1, int y1, int x2, int y2, COLORREF clr)
{
    if (clr == kNone)
        return;
    CPen pen(PS_SOLID, 1, clr);
    CPen* pOldPen = pDC->SelectObject(&pen);
    pDC->MoveTo(x1, y1);
    pDC->LineTo(x2, y2);
    pDC->SelectObject(pOldPen);
}

// The item rectangle's edges, named L, T, R and B in the shape tables.
std::array<int, 4> EdgesOf(const CRect& rc)
{
    return {rc.left, rc.top, rc.right, rc.bottom};
}

// The header margin with room for the slanted ends that reach past the first and the last tab.
CRect Widened(CRect margin, int nLeft, int nRight)
{
    margin.left += nLeft;
    margin.right += nRight;
    return margin;
}

// One slanted tab as point steps (the first absolute, each next relative to the one before): its face,
// its outline and the two inner lines; the strip joins a selected tab to the client.
struct SlantedTab
{
    POINT face[4];
    POINT outline[7];
    POINT third[3];
    POINT fourth[4];
    CRect strip;
};

} // namespace

COLORREF AFXAPI XTPFillSlantedFace(CDC* pDC, CXTPTabColorSet* pColorSet, CXTPTabManagerItem* pItem,
                                   const POINT* pSteps, int nCount)
{
    std::vector<POINT> points = Absolute(pSteps, nCount);
    CRect rcOldClip;
    pDC->GetClipBox(rcOldClip);

    CRgn rgnFace;
    rgnFace.CreatePolygonRgn(points.data(), nCount, ALTERNATE);
    CRgn rgnClip;
    rgnClip.CreateRectRgn(0, 0, 0, 0);
    if (::GetClipRgn(pDC->GetSafeHdc(), rgnClip) == 1)
        ::CombineRgn(rgnFace, rgnFace, rgnClip, RGN_AND);
    CRect rcBox;
    ::GetRgnBox(rgnFace, rcBox);

    CDC dcFace;
    dcFace.CreateCompatibleDC(pDC);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pDC, std::max(rcBox.Width(), 1), std::max(rcBox.Height(), 1));
    CBitmap* pOldBitmap = dcFace.SelectObject(&bitmap);
    const COLORREF clr = pColorSet->FillItem(&dcFace, CRect(0, 0, rcBox.Width(), rcBox.Height()), pItem);
    if (!rcBox.IsRectEmpty() && clr != kNone) {
        pDC->SelectClipRgn(&rgnFace);
        pDC->BitBlt(rcBox.left, rcBox.top, rcBox.Width(), rcBox.Height(), &dcFace, 0, 0, SRCCOPY);
        CRgn rgnOld;
        rgnOld.CreateRectRgnIndirect(rcOldClip);
        pDC->SelectClipRgn(&rgnOld);
    }
    dcFace.SelectObject(pOldBitmap);
    return clr;
}

void AFXAPI XTPDrawSteps(CDC* pDC, const POINT* pSteps, int nCount, COLORREF clr)
{
    if (clr == kNone)
        return;
    std::vector<POINT> points = Absolute(pSteps, nCount);
    CPen pen(PS_SOLID, 1, clr);
    CPen* pOldPen = pDC->SelectObject(&pen);
    pDC->Polyline(points.data(), nCount);
    pDC->SelectObject(pOldPen);
}

void CXTPTabAppearanceStyle3::RefreshMetrics()
{
    CXTPTabAppearanceSet::RefreshMetrics();
}

CRect CXTPTabAppearanceStyle3::GetHeaderMargin()
{
    return Widened(m_rcHeaderMargin, m_nButtonHeight, 0);
}

CRect CXTPTabAppearanceStyle3::DrawHeaderAndClient(CDC* pDC, CXTPTabManager* pTabManager, CRect rcControl)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    return FillHeaderAndFrameClient(pDC, pTabManager, rcControl,
                                    m_pPaintManager->m_nClientFrame == xtpTabFrameBorder,
                                    pColorSet->m_clrLines[1], pColorSet->m_clrLines[1]);
}

void CXTPTabAppearanceStyle3::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    const CRect rcItem = pItem->GetRect();
    const auto [L, T, R, B] = EdgesOf(rcItem);
    const int H = B - T;
    const int W = R - L;
    const BOOL bSelected = pItem->IsSelected();

    SlantedTab tab = {};
    switch (GetPosition()) {
    case xtpTabPositionLeft: {
        tab = SlantedTab{{{R - 1, B - 1}, {3 - W, 0}, {0, T - B + 5}, {W - 3, 3 - W}},
                         {{R - 2, B}, {4 - W, 0}, {-2, -2}, {0, T - B + 9}, {2, -5}, {W - 4, 4 - W}, {0, -2}},
                         {{R - 2, B - 1}, {4 - W, 0}, {-2, -2}},
                         {{L + 1, B - 3}, {0, T - B + 9}, {3, -5}, {W - 5, 5 - W}},
                         CRect(R - 1, T - W + 5, R, B + 1)};
        break;
    }
    case xtpTabPositionBottom: {
        tab = SlantedTab{{{R - 1, T}, {0, H - 1}, {L - R + 5, 0}, {3 - H, 2 - H}},
                         {{R, T + 1}, {0, H - 3}, {-2, 2}, {L - R + 9, 0}, {-5, -2}, {3 - H, 3 - H}, {-2, 0}},
                         {{R - 1, T + 1}, {0, H - 3}, {-2, 2}},
                         {{R - 3, B - 1}, {L - R + 9, 0}, {-5, -3}, {4 - H, 4 - H}},
                         CRect(L - H + 4, T, R + 1, T + 1)};
        break;
    }
    case xtpTabPositionRight: {
        tab = SlantedTab{{{L + 1, B - 1}, {W - 2, 0}, {0, T - B + 5}, {2 - W, 2 - W}},
                         {{L + 1, B}, {W - 3, 0}, {2, -2}, {0, T - B + 9}, {-2, -5}, {3 - W, 3 - W}, {0, -2}},
                         {{L + 1, B - 1}, {W - 3, 0}, {2, -2}},
                         {{R - 1, B - 3}, {0, T - B + 9}, {-3, -5}, {4 - W, 4 - W}},
                         CRect(L, T - W + 4, L + 1, B + 1)};
        break;
    }
    default: {
        tab = SlantedTab{{{R - 1, B - 1}, {0, 3 - H}, {L - R + 5, 0}, {4 - H, H - 4}},
                         {{R, B - 2}, {0, 4 - H}, {-2, -2}, {L - R + 9, 0}, {-5, 2}, {4 - H, H - 4}, {-2, 0}},
                         {{R - 1, B - 2}, {0, 4 - H}, {-2, -2}},
                         {{R - 3, T + 1}, {L - R + 9, 0}, {-5, 3}, {5 - H, H - 5}},
                         CRect(L - H + 5, B - 1, R + 1, B)};
        break;
    }
    }
    const COLORREF clrFace = XTPFillSlantedFace(pDC, pColorSet, pItem, tab.face, 4);
    COLORREF clrOutline = bSelected ? pColorSet->m_clrLines[1] : pColorSet->m_clrLines[0];
    COLORREF clrThird = bSelected ? kWhite : static_cast<COLORREF>(pColorSet->m_clrLines[2]);
    COLORREF clrFourth = bSelected ? kWhite : static_cast<COLORREF>(pColorSet->m_clrLines[3]);
    if (pItem->IsHot() && m_bHotLines) {
        clrOutline = pColorSet->m_clrHighlightFace.m_clrEnd;
        clrThird = clrOutline;
        clrFourth = clrOutline;
    }
    XTPDrawSteps(pDC, tab.outline, 7, clrOutline);
    XTPDrawSteps(pDC, tab.third, 3, clrThird);
    XTPDrawSteps(pDC, tab.fourth, 4, clrFourth);
    if (bSelected && clrFace != kNone)
        pDC->FillSolidRect(tab.strip, clrFace);
    DrawContent(pDC, pItem, rcItem);
}

CRect CXTPTabAppearanceStyle9::GetHeaderMargin()
{
    return Widened(m_rcHeaderMargin, m_nButtonHeight / 2, 0);
}

void CXTPTabAppearanceStyle9::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    const CRect rcItem = pItem->GetRect();
    const auto [L, T, R, B] = EdgesOf(rcItem);
    const int h = (IsHorizontalPosition() ? B - T : R - L) / 2;

    POINT shape[8];
    std::vector<POINT> third;
    std::vector<POINT> fourth;
    switch (GetPosition()) {
    case xtpTabPositionLeft: {
        const POINT s[8] = {
            {R - 1, B + h - 4}, {6 - 2 * h, 3 - h}, {-4, -4}, {-1, -3}, {0, T - B + 16}, {1, -3}, {3, -3},
            {2 * h - 4, 2 - h}};
        std::copy(s, s + 8, shape);
        third = {{R - 1, B + h - 5}, {6 - 2 * h, 3 - h}, {-3, -3}, {-1, -3}};
        fourth = {{R - 2 * h + 1, B - 8}, {0, T - B + 16}, {1, -3}, {2, -2}, {2 * h - 4, 2 - h}};
        break;
    }
    case xtpTabPositionBottom: {
        const POINT s[8] = {{R + h - 4, T + 1}, {3 - h, 2 * h - 6}, {-4, 4},  {-2, 1},
                            {L - R + 14, 0},    {-2, -1},           {-3, -3}, {2 - h, 4 - 2 * h}};
        std::copy(s, s + 8, shape);
        third = {{R + h - 5, T + 1}, {3 - h, 2 * h - 6}, {-3, 3}, {-2, 1}};
        fourth = {{L + 7, T + 2 * h - 1}, {-2, -1}, {-2, -2}, {2 - h, 4 - 2 * h}};
        break;
    }
    case xtpTabPositionRight: {
        const POINT s[8] = {{L, B + h - 4},  {2 * h - 5, 3 - h}, {4, -4},  {1, -3},
                            {0, T - B + 16}, {-1, -3},           {-3, -3}, {4 - 2 * h, 2 - h}};
        std::copy(s, s + 8, shape);
        third = {{L, B + h - 5}, {2 * h - 5, 3 - h}, {3, -3}, {1, -3}, {0, T - B + 14}};
        fourth = {{L + 2 * h - 2, T + 5}, {-2, -2}, {4 - 2 * h, 2 - h}};
        break;
    }
    default: {
        const POINT s[8] = {
            {R + h - 4, B - 1}, {3 - h, 6 - 2 * h}, {-4, -4}, {-3, -1}, {L - R + 16, 0}, {-3, 1}, {-3, 3},
            {2 - h, 2 * h - 4}};
        std::copy(s, s + 8, shape);
        third = {{R + h - 5, B - 1}, {3 - h, 6 - 2 * h}, {-3, -3}, {-3, -1}};
        fourth = {{R - 7, B - 2 * h + 1}, {L - R + 15, 0}, {-3, 1}, {-2, 2}, {2 - h, 2 * h - 4}};
        break;
    }
    }
    const BOOL bSelected = pItem->IsSelected();
    XTPFillSlantedFace(pDC, pColorSet, pItem, shape, 8);
    XTPDrawSteps(pDC, shape, 8, bSelected ? pColorSet->m_clrLines[1] : pColorSet->m_clrLines[0]);
    XTPDrawSteps(pDC, third.data(), static_cast<int>(third.size()),
                 bSelected ? kWhite : static_cast<COLORREF>(pColorSet->m_clrLines[2]));
    XTPDrawSteps(pDC, fourth.data(), static_cast<int>(fourth.size()),
                 bSelected ? kWhite : static_cast<COLORREF>(pColorSet->m_clrLines[3]));
    DrawContent(pDC, pItem, rcItem);
}

CRect CXTPTabAppearanceStyle7::GetHeaderMargin()
{
    return Widened(m_rcHeaderMargin, m_nButtonHeight / 2, m_nButtonHeight / 2);
}

void CXTPTabAppearanceStyle7::DrawSingleTab(CDC* pDC, CXTPTabManagerItem* pItem)
{
    CXTPTabColorSet* pColorSet = GetColorSet();
    const CRect rcItem = pItem->GetRect();
    const auto [L, T, R, B] = EdgesOf(rcItem);
    const BOOL bHorizontal = IsHorizontalPosition();
    const int k = (bHorizontal ? B - 1 - T : R - 1 - L) / 2;
    const int q = k / 2;
    const int L1 = L - q;
    const int R1 = R - q;
    const int T1 = T - q;
    const int B1 = B - q;
    const CXTColorValue* group = pColorSet->m_clrGroups[pItem->IsSelected() ? 0 : 1];
    auto color = [group](int n) { return static_cast<COLORREF>(group[n - 1]); };

    // A line from (x1, y1) to (x2, y2) in the colour of the group's entry nColor (from 1).
    struct Line
    {
        int x1, y1, x2, y2, nColor;
    };
    struct Trapezoid
    {
        POINT face[4]; // steps, as for the slanted faces
        Line lines[6];
        CRect strip; // joins a selected tab to the client
    };
    Trapezoid tab = {};
    switch (GetPosition()) {
    case xtpTabPositionLeft: {
        tab = Trapezoid{{{R - 1, T1}, {-2 * k, k}, {0, B - T - k}, {2 * k, k}},
                        {{R - 2, T1 + 1, L, T1 + k + 1, 4},
                         {L + 1, T1 + k, L + 1, B1, 4},
                         {L, B1 - 1, R - 1, B1 + k - 1, 5},
                         {R - 2, T1, L, T1 + k, 1},
                         {L, T1 + k, L, B1, 1},
                         {L, B1, R - 1, B1 + k, 3}},
                        CRect(R - 1, T1, R, T1 + B - T + k)};
        break;
    }
    case xtpTabPositionBottom: {
        tab = Trapezoid{{{L1, T + 1}, {k, 2 * k}, {R - L - k, 0}, {k, -2 * k}},
                        {{L1 + 1, T + 1, L1 + k + 1, B - 1, 4},
                         {L1 + k, B - 2, R1, B - 2, 6},
                         {R1 - 1, B - 1, R1 + k - 1, T, 5},
                         {L1, T + 1, L1 + k, B - 1, 1},
                         {L1 + k, B - 1, R1, B - 1, 2},
                         {R1, B - 1, R1 + k, T, 3}},
                        CRect(L1, T, L1 + R - L + k, T + 1)};
        break;
    }
    case xtpTabPositionRight: {
        tab = Trapezoid{{{L + 1, T1}, {2 * k, k}, {0, B - T - k}, {-2 * k, k}},
                        {{L + 1, T1 + 1, R - 1, T1 + k + 1, 4},
                         {R - 2, T1 + k, R - 2, B1, 4},
                         {R - 1, B1 - 1, L, B1 + k - 1, 5},
                         {L + 1, T1, R - 1, T1 + k, 1},
                         {R - 1, T1 + k, R - 1, B1, 1},
                         {R - 1, B1, L, B1 + k, 3}},
                        CRect(L, T1, L + 1, T1 + B - T + k)};
        break;
    }
    default: {
        tab = Trapezoid{{{L1, B - 1}, {k, -2 * k}, {R - L - k, 0}, {k, 2 * k}},
                        {{L1 + 1, B - 2, L1 + k + 1, T, 4},
                         {L1 + k, T + 1, R1, T + 1, 4},
                         {R1 - 1, T, R1 + k - 1, B - 1, 5},
                         {L1, B - 2, L1 + k, T, 1},
                         {L1 + k, T, R1, T, 1},
                         {R1, T, R1 + k, B - 1, 3}},
                        CRect(L1, B - 1, L1 + R - L + k, B)};
        break;
    }
    }
    const COLORREF clrFace = XTPFillSlantedFace(pDC, pColorSet, pItem, tab.face, 4);
    for (const Line& line : tab.lines)
        Segment(pDC, line.x1, line.y1, line.x2, line.y2, color(line.nColor));
    if (pItem->IsSelected() && clrFace != kNone)
        pDC->FillSolidRect(tab.strip, clrFace);
    DrawContent(pDC, pItem, rcItem);
}
