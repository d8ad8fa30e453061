// The editor's picture and its tools. Shapes are drawn by GDI as a mask on a scratch picture, so
// that lines, rectangles and ellipses have the system's own shapes while the picture's pixels,
// alpha included, are written by this code alone.
#include "image_editor_model.h"

#include <algorithm>
#include <vector>

namespace {

const DWORD kTransparentRaw = 0x00FFFEFF; // the transparent colour, alpha 0
const DWORD kMaskOn = 0x00FFFFFF;

DWORD RawFromColor(COLORREF clr, BOOL bAlpha)
{
    if (clr == XTP_IMAGEEDITOR_TRANSPARENT)
        return kTransparentRaw;
    const DWORD rgb = (static_cast<DWORD>(GetRValue(clr)) << 16) | (static_cast<DWORD>(GetGValue(clr)) << 8) |
                      GetBValue(clr);
    return bAlpha ? (rgb | 0xFF000000u) : rgb;
}

COLORREF ColorFromRaw(DWORD dwPixel)
{
    return RGB((dwPixel >> 16) & 0xFF, (dwPixel >> 8) & 0xFF, dwPixel & 0xFF);
}

} // namespace

BITMAPINFO AFXAPI XTPImageEditorBitmapInfo(CSize size)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

namespace {

HBITMAP CreateTopDownSection(CSize size, DWORD** ppBits)
{
    BITMAPINFO info = XTPImageEditorBitmapInfo(CSize(size.cx, size.cy));
    void* pBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pBits, NULL, 0);
    *ppBits = hBitmap != NULL ? static_cast<DWORD*>(pBits) : NULL;
    return hBitmap;
}

} // namespace

CXTPImageEditorBitmap::CXTPImageEditorBitmap(CSize size, BOOL bAlpha) : m_size(0, 0), m_bAlpha(bAlpha)
{
    if (size.cx <= 0 || size.cy <= 0 || size.cx > 4096 || size.cy > 4096)
        return;
    m_hBitmap = CreateTopDownSection(size, &m_pBits);
    if (m_hBitmap == NULL)
        return;
    m_size = size;
    std::fill(m_pBits, m_pBits + size.cx * size.cy, kTransparentRaw);
}

CXTPImageEditorBitmap::~CXTPImageEditorBitmap()
{
    if (m_hBitmap != NULL)
        ::DeleteObject(m_hBitmap);
}

std::unique_ptr<CXTPImageEditorBitmap> CXTPImageEditorBitmap::Clone() const
{
    auto pCopy = std::make_unique<CXTPImageEditorBitmap>(m_size, m_bAlpha);
    if (pCopy->IsValid())
        std::copy(m_pBits, m_pBits + m_size.cx * m_size.cy, pCopy->m_pBits);
    return pCopy;
}

COLORREF CXTPImageEditorBitmap::GetPixel(int x, int y) const
{
    const DWORD dwPixel = GetRaw(x, y);
    if (m_bAlpha && (dwPixel >> 24) == 0)
        return XTP_IMAGEEDITOR_TRANSPARENT;
    return ColorFromRaw(dwPixel);
}

BYTE CXTPImageEditorBitmap::GetAlpha(int x, int y) const
{
    const DWORD dwPixel = GetRaw(x, y);
    if (m_bAlpha)
        return static_cast<BYTE>(dwPixel >> 24);
    return ColorFromRaw(dwPixel) == XTP_IMAGEEDITOR_TRANSPARENT ? 0 : 255;
}

void CXTPImageEditorBitmap::SetPixel(int x, int y, COLORREF clr)
{
    SetRaw(x, y, RawFromColor(clr, m_bAlpha));
}

BOOL CXTPImageEditorBitmap::IsEqual(const CXTPImageEditorBitmap& other) const
{
    return m_size == other.m_size && m_bAlpha == other.m_bAlpha &&
           std::equal(m_pBits, m_pBits + m_size.cx * m_size.cy, other.m_pBits);
}

std::unique_ptr<CXTPImageEditorBitmap> CXTPImageEditorBitmap::FromPixels(const DWORD* pPixels, int nWidth,
                                                                         int nHeight, BOOL bAlpha, CSize size)
{
    auto pPicture = std::make_unique<CXTPImageEditorBitmap>(size, bAlpha);
    if (!pPicture->IsValid() || pPixels == NULL || nWidth <= 0 || nHeight <= 0)
        return nullptr;
    // A larger source shrinks to fit, keeping its proportions; the rest stays transparent.
    int nTargetWidth = nWidth;
    int nTargetHeight = nHeight;
    if (nWidth > size.cx || nHeight > size.cy) {
        if (static_cast<long long>(nWidth) * size.cy >= static_cast<long long>(nHeight) * size.cx) {
            nTargetWidth = size.cx;
            nTargetHeight = std::max(1, static_cast<int>(static_cast<long long>(nHeight) * size.cx / nWidth));
        } else {
            nTargetHeight = size.cy;
            nTargetWidth = std::max(1, static_cast<int>(static_cast<long long>(nWidth) * size.cy / nHeight));
        }
    }
    const int nLeft = (size.cx - nTargetWidth) / 2;
    const int nTop = (size.cy - nTargetHeight) / 2;
    for (int ty = 0; ty < nTargetHeight; ++ty) {
        const int y0 = static_cast<int>(static_cast<long long>(ty) * nHeight / nTargetHeight);
        const int y1 =
            std::max(y0 + 1, static_cast<int>(static_cast<long long>(ty + 1) * nHeight / nTargetHeight));
        for (int tx = 0; tx < nTargetWidth; ++tx) {
            const int x0 = static_cast<int>(static_cast<long long>(tx) * nWidth / nTargetWidth);
            const int x1 =
                std::max(x0 + 1, static_cast<int>(static_cast<long long>(tx + 1) * nWidth / nTargetWidth));
            // The area's average, weighted by alpha so that transparent pixels lend no colour.
            unsigned long long r = 0, g = 0, b = 0, a = 0, n = 0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    const DWORD dwPixel = pPixels[static_cast<size_t>(y) * nWidth + x];
                    DWORD dwAlpha = dwPixel >> 24;
                    if (!bAlpha)
                        dwAlpha = ColorFromRaw(dwPixel) == XTP_IMAGEEDITOR_TRANSPARENT ? 0 : 255;
                    r += ((dwPixel >> 16) & 0xFF) * dwAlpha;
                    g += ((dwPixel >> 8) & 0xFF) * dwAlpha;
                    b += (dwPixel & 0xFF) * dwAlpha;
                    a += dwAlpha;
                    ++n;
                }
            }
            DWORD dwResult = kTransparentRaw;
            const unsigned long long alpha = a / n;
            if (a > 0 && (bAlpha || alpha >= 128)) {
                dwResult = static_cast<DWORD>(((r / a) << 16) | ((g / a) << 8) | (b / a));
                if (bAlpha)
                    dwResult |= static_cast<DWORD>(alpha) << 24;
            }
            pPicture->SetRaw(nLeft + tx, nTop + ty, dwResult);
        }
    }
    return pPicture;
}

CXTPImageEditorModel::CXTPImageEditorModel(CSize size) : m_size(size)
{
    SetPicture(nullptr);
}

void CXTPImageEditorModel::SetPicture(std::unique_ptr<CXTPImageEditorBitmap> pPicture)
{
    if (pPicture == nullptr || !pPicture->IsValid())
        pPicture = std::make_unique<CXTPImageEditorBitmap>(m_size, FALSE);
    m_size = pPicture->GetSize();
    m_pPicture = std::move(pPicture);
    m_pBefore.reset();
    m_undo.clear();
    m_redo.clear();
}

void CXTPImageEditorModel::SetTool(int nTool)
{
    if (nTool < xtpImageEditorPencil || nTool > xtpImageEditorEllipse)
        return;
    if (nTool == xtpImageEditorPickColor && m_nTool != xtpImageEditorPickColor)
        m_nPreviousTool = m_nTool;
    m_nTool = nTool;
}

BOOL CXTPImageEditorModel::Press(CPoint cell, COLORREF clrSelected, COLORREF* pPicked)
{
    if (!m_pPicture->Contains(cell) || IsDrawing())
        return FALSE;
    const COLORREF clrCell = m_pPicture->GetPixel(cell.x, cell.y);
    if (m_nTool == xtpImageEditorPickColor) {
        if (pPicked != NULL)
            *pPicked = clrCell;
        m_nTool = m_nPreviousTool;
        return TRUE;
    }
    // A press on a pixel of the colour already erases it.
    m_clrDraw = clrCell == clrSelected ? XTP_IMAGEEDITOR_TRANSPARENT : clrSelected;
    m_ptStart = cell;
    if (m_nTool == xtpImageEditorFill) {
        auto pBefore = m_pPicture->Clone();
        const DWORD dwSeed = m_pPicture->GetRaw(cell.x, cell.y);
        const DWORD dwFill = RawFromColor(m_clrDraw, m_pPicture->IsAlpha());
        if (dwSeed != dwFill) {
            std::vector<CPoint> stack(1, cell);
            m_pPicture->SetRaw(cell.x, cell.y, dwFill);
            while (!stack.empty()) {
                const CPoint point = stack.back();
                stack.pop_back();
                const CPoint next[4] = {CPoint(point.x - 1, point.y), CPoint(point.x + 1, point.y),
                                        CPoint(point.x, point.y - 1), CPoint(point.x, point.y + 1)};
                for (const CPoint& n : next) {
                    if (m_pPicture->Contains(n) && m_pPicture->GetRaw(n.x, n.y) == dwSeed) {
                        m_pPicture->SetRaw(n.x, n.y, dwFill);
                        stack.push_back(n);
                    }
                }
            }
        }
        Commit(std::move(pBefore));
        return TRUE;
    }
    m_pBefore = m_pPicture->Clone();
    if (m_nTool == xtpImageEditorPencil)
        m_pPicture->SetPixel(cell.x, cell.y, m_clrDraw);
    else
        DrawShape(cell);
    return TRUE;
}

void CXTPImageEditorModel::DragTo(CPoint cell)
{
    if (!IsDrawing())
        return;
    if (m_nTool != xtpImageEditorPencil) {
        DrawShape(cell);
        return;
    }
    // Every cell between the last one and this, so that a quick stroke leaves no gaps.
    const int nSteps = std::max(std::abs(cell.x - m_ptStart.x), std::abs(cell.y - m_ptStart.y));
    for (int i = 1; i <= nSteps; ++i) {
        const CPoint point(m_ptStart.x + (cell.x - m_ptStart.x) * i / nSteps,
                           m_ptStart.y + (cell.y - m_ptStart.y) * i / nSteps);
        if (m_pPicture->Contains(point))
            m_pPicture->SetPixel(point.x, point.y, m_clrDraw);
    }
    m_ptStart = cell;
}

void CXTPImageEditorModel::DrawShape(CPoint cell)
{
    m_pPicture = m_pBefore->Clone();
    DWORD* pMask = NULL;
    HBITMAP hMask = CreateTopDownSection(m_size, &pMask);
    HDC hDC = ::CreateCompatibleDC(NULL);
    if (hMask == NULL || hDC == NULL) {
        if (hMask != NULL)
            ::DeleteObject(hMask);
        if (hDC != NULL)
            ::DeleteDC(hDC);
        return;
    }
    std::fill(pMask, pMask + m_size.cx * m_size.cy, 0u);
    HGDIOBJ hOldBitmap = ::SelectObject(hDC, hMask);
    HPEN hPen = ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HGDIOBJ hOldPen = ::SelectObject(hDC, hPen);
    HGDIOBJ hOldBrush = ::SelectObject(hDC, ::GetStockObject(NULL_BRUSH));
    const CRect rc(std::min(m_ptStart.x, cell.x), std::min(m_ptStart.y, cell.y),
                   std::max(m_ptStart.x, cell.x) + 1, std::max(m_ptStart.y, cell.y) + 1);
    if (m_nTool == xtpImageEditorLine) {
        ::MoveToEx(hDC, m_ptStart.x, m_ptStart.y, NULL);
        ::LineTo(hDC, cell.x, cell.y);
        ::SetPixelV(hDC, cell.x, cell.y, RGB(255, 255, 255)); // LineTo stops short of its end
    } else if (m_nTool == xtpImageEditorRectangle) {
        ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
    } else {
        ::Ellipse(hDC, rc.left, rc.top, rc.right, rc.bottom);
    }
    ::GdiFlush();
    for (int y = 0; y < m_size.cy; ++y)
        for (int x = 0; x < m_size.cx; ++x)
            if ((pMask[y * m_size.cx + x] & kMaskOn) != 0)
                m_pPicture->SetPixel(x, y, m_clrDraw);
    ::SelectObject(hDC, hOldBrush);
    ::SelectObject(hDC, hOldPen);
    ::SelectObject(hDC, hOldBitmap);
    ::DeleteObject(hPen);
    ::DeleteObject(hMask);
    ::DeleteDC(hDC);
}

void CXTPImageEditorModel::Release()
{
    if (IsDrawing())
        Commit(std::move(m_pBefore));
}

void CXTPImageEditorModel::Commit(std::unique_ptr<CXTPImageEditorBitmap> pBefore)
{
    m_redo.clear();
    if (static_cast<int>(m_undo.size()) >= kUndoLevels)
        m_undo.pop_front();
    m_undo.push_back(std::move(pBefore));
}

void CXTPImageEditorModel::Undo()
{
    if (m_undo.empty() || IsDrawing())
        return;
    m_redo.push_back(std::move(m_pPicture));
    m_pPicture = std::move(m_undo.back());
    m_undo.pop_back();
}

void CXTPImageEditorModel::Redo()
{
    if (m_redo.empty() || IsDrawing())
        return;
    m_undo.push_back(std::move(m_pPicture));
    m_pPicture = std::move(m_redo.back());
    m_redo.pop_back();
}

void CXTPImageEditorModel::Clear()
{
    Replace(std::make_unique<CXTPImageEditorBitmap>(m_size, m_pPicture->IsAlpha()));
}

void CXTPImageEditorModel::Move(int dx, int dy)
{
    auto pMoved = std::make_unique<CXTPImageEditorBitmap>(m_size, m_pPicture->IsAlpha());
    for (int y = 0; y < m_size.cy; ++y)
        for (int x = 0; x < m_size.cx; ++x)
            if (pMoved->Contains(CPoint(x + dx, y + dy)))
                pMoved->SetRaw(x + dx, y + dy, m_pPicture->GetRaw(x, y));
    Replace(std::move(pMoved));
}

BOOL CXTPImageEditorModel::Replace(std::unique_ptr<CXTPImageEditorBitmap> pPicture)
{
    if (pPicture == nullptr || !pPicture->IsValid() || pPicture->GetSize() != m_size || IsDrawing())
        return FALSE;
    auto pBefore = std::move(m_pPicture);
    m_pPicture = std::move(pPicture);
    Commit(std::move(pBefore));
    return TRUE;
}
