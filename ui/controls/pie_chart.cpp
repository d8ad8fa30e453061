#include "pie_chart.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

const DWORD kArchiveVersion = 1;
const double kPi = 3.1415926;
// Length of the rays that bound the wedges; the platform clips them to the circle.
const int kRayLength = 1000;
const int kLegendRowHeight = 20;

// Device point to the logical units of the device context (its origin may have moved).
CPoint LogicalPoint(CDC* pDC, int x, int y)
{
    CPoint point(x, y);
    pDC->DPtoLP(&point);
    return point;
}

} // namespace

IMPLEMENT_SERIAL(CPieSlice, CObject, 1)

CPieSlice::CPieSlice(int nValue, COLORREF crColor, LPCTSTR lpszLabel)
    : m_nValue(nValue), m_crColor(crColor), m_strLabel(lpszLabel)
{}

void CPieSlice::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << kArchiveVersion << static_cast<LONG>(m_nValue) << static_cast<DWORD>(m_crColor) << m_strLabel;
        return;
    }
    DWORD version = 0;
    ar >> version;
    if (version != kArchiveVersion)
        return;
    LONG value = 0;
    DWORD colour = 0;
    ar >> value >> colour >> m_strLabel;
    m_nValue = value;
    m_crColor = colour;
}

IMPLEMENT_SERIAL(CPieChart, CObject, 1)

CPieChart::~CPieChart()
{
    if (m_bOwnsSlices)
        DeleteAllSlices();
}

INT_PTR CPieChart::AddSlice(CPieSlice* pSlice)
{
    return m_Slices.Add(pSlice);
}

void CPieChart::DeleteAllSlices()
{
    for (INT_PTR i = 0; i < m_Slices.GetSize(); ++i)
        delete m_Slices.GetAt(i);
    m_Slices.RemoveAll();
}

void CPieChart::ReleaseSlices()
{
    // Slices that the chart does not own belong to the caller, who deletes them.
    if (m_bOwnsSlices)
        DeleteAllSlices();
    else
        m_Slices.RemoveAll();
}

void CPieChart::Draw(CDC* pDC, int x, int y, int nRadius, BOOL bShowTitle, int nLegendPosition, BOOL bFillUp)
{
    const INT_PTR nCount = m_Slices.GetSize();
    if (!bFillUp) {
        long long sum = 0;
        for (INT_PTR i = 0; i < nCount; ++i)
            sum += GetSlice(i)->m_nValue;
        if (sum != 100)
            return;
    }

    pDC->SetViewportOrg(x, y);
    CPen outline(PS_SOLID, 0, m_crOutline);
    CPen* pOldPen = pDC->SelectObject(&outline);
    const CRect circle(-nRadius, -nRadius, nRadius, nRadius);
    CPoint start(0, -kRayLength);
    long long total = 0;
    for (INT_PTR i = 0; i < nCount; ++i) {
        const CPieSlice* pSlice = GetSlice(i);
        const long long previous = total;
        total += pSlice->m_nValue;
        if (bFillUp && i == nCount - 1)
            total = 100;
        // The platform draws a wedge whose rays coincide as the whole disc: a slice that adds nothing (a
        // zero share, or a filler with nothing left to fill) has no wedge at all.
        if (total == previous)
            continue;
        const double angle = 2.0 * static_cast<double>(total) * kPi * 0.01 + kPi;
        const CPoint end(static_cast<int>(kRayLength * std::sin(angle)),
                         static_cast<int>(kRayLength * std::cos(angle)));
        CBrush fill(pSlice->m_crColor);
        CBrush* pOldBrush = pDC->SelectObject(&fill);
        pDC->Pie(&circle, start, end);
        pDC->SelectObject(pOldBrush);
        start = end;
    }
    pDC->SelectObject(pOldPen);

    if (bShowTitle) {
        pDC->SetTextAlign(TA_CENTER | TA_TOP);
        CFont* pOldFont = m_pFont != NULL ? pDC->SelectObject(m_pFont) : NULL;
        const int nOldMode = pDC->SetBkMode(TRANSPARENT);
        const CPoint title = LogicalPoint(pDC, x, y - nRadius - 20);
        pDC->TextOut(title.x, title.y, m_strTitle);
        pDC->SetTextAlign(TA_LEFT | TA_TOP);
        pDC->SetBkMode(nOldMode);
        if (pOldFont != NULL)
            pDC->SelectObject(pOldFont);
    }

    if (nLegendPosition == 1) {
        const int top = std::max(y - static_cast<int>(nCount * kLegendRowHeight) / 2, y - nRadius);
        const CPoint legend = LogicalPoint(pDC, x + nRadius + 30, top);
        DrawLegend(pDC, legend.x, legend.y, bFillUp);
    } else if (nLegendPosition == 2) {
        const CPoint legend = LogicalPoint(pDC, x - nRadius, y + nRadius + 30);
        DrawLegend(pDC, legend.x, legend.y, bFillUp);
    }
}

void CPieChart::DrawLegend(CDC* pDC, int x, int y, BOOL bFillUp)
{
    CFont* pOldFont = m_pFont != NULL ? pDC->SelectObject(m_pFont) : NULL;
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const INT_PTR nCount = m_Slices.GetSize();
    long long sumBefore = 0;
    for (INT_PTR i = 0; i < nCount; ++i) {
        const CPieSlice* pSlice = GetSlice(i);
        const int row = y + static_cast<int>(i) * kLegendRowHeight;
        pDC->FillSolidRect(x, row, 30, 15, pSlice->m_crColor);
        CString text;
        if (bFillUp && i == nCount - 1)
            text.Format(L"%s(%d%%)", static_cast<LPCTSTR>(pSlice->m_strLabel),
                        static_cast<int>(100 - sumBefore));
        else
            text.Format(L"%s (%d%%)", static_cast<LPCTSTR>(pSlice->m_strLabel), pSlice->m_nValue);
        pDC->TextOut(x + 35, row, text);
        sumBefore += pSlice->m_nValue;
    }
    pDC->SetBkMode(nOldMode);
    if (pOldFont != NULL)
        pDC->SelectObject(pOldFont);
}

void CPieChart::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        // The reserved word once held the font; no reader uses it.
        ar << kArchiveVersion << static_cast<DWORD>(m_bOwnsSlices) << static_cast<DWORD>(m_crOutline)
           << static_cast<DWORD>(0) << m_strTitle;
        m_Slices.Serialize(ar);
        return;
    }
    ReleaseSlices();
    DWORD version = 0;
    ar >> version;
    if (version != kArchiveVersion)
        return;
    DWORD owns = 0;
    DWORD outline = 0;
    DWORD reserved = 0;
    ar >> owns >> outline >> reserved >> m_strTitle;
    m_bOwnsSlices = owns != 0;
    m_crOutline = outline;
    LoadSlices(ar);
}

void CPieChart::LoadSlices(CArchive& ar)
{
    // Whatever was read is the archive's new objects: freed here when the array cannot be used.
    auto freeLoaded = [this] {
        std::unordered_set<CObject*> seen;
        for (INT_PTR i = 0; i < m_Slices.GetSize(); ++i) {
            CObject* pObject = m_Slices.GetAt(i);
            if (pObject != NULL && seen.insert(pObject).second)
                delete pObject;
        }
        m_Slices.RemoveAll();
    };
    try {
        m_Slices.Serialize(ar);
    } catch (CException*) {
        freeLoaded();
        throw;
    }
    // Drawing and deleting need distinct slices: no empty entries, other classes or repeated references.
    std::unordered_set<CObject*> seen;
    for (INT_PTR i = 0; i < m_Slices.GetSize(); ++i) {
        CObject* pObject = m_Slices.GetAt(i);
        if (pObject == NULL || !pObject->IsKindOf(RUNTIME_CLASS(CPieSlice)) || !seen.insert(pObject).second) {
            freeLoaded();
            AfxThrowArchiveException(CArchiveException::badClass);
        }
    }
}
