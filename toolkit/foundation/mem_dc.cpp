#include "mem_dc.h"

#include "command_bars.h"
#include "gradient_fill.h"
#include "image_manager.h"

IMPLEMENT_DYNAMIC(CXTMemDC, CDC)

CXTMemDC::CXTMemDC(CDC* pDC, const CRect& rect, const CXTColorPair& background, BOOL bHorz)
    : m_pDC(pDC), m_rect(rect), m_bValid(FALSE), m_hOldBitmap(NULL)
{
    if (m_rect.IsRectEmpty())
        pDC->GetClipBox(&m_rect);
    if (!CreateCompatibleDC(pDC))
        return;
    SetMapMode(::GetMapMode(pDC->m_hAttribDC));
    if (!m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height())) {
        DeleteDC();
        return;
    }
    m_hOldBitmap = static_cast<HBITMAP>(::SelectObject(m_hDC, m_bitmap.GetSafeHandle()));
    m_bValid = TRUE;
    const COLORREF clrEnd = background.m_clrEnd;
    if (clrEnd != static_cast<COLORREF>(-1)) {
        const CRect rectFill(0, 0, m_rect.Width(), m_rect.Height());
        CXTGdiHelper::FillGradientPair(this, &rectFill, background, bHorz, NULL);
    }
}

CXTMemDC::~CXTMemDC()
{
    if (!m_bValid)
        return;
    m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, 0, 0, SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
    m_bitmap.DeleteObject();
    DeleteDC();
}

void AFXAPI DrawDitheredRect(CDC* pDC, const CRect& rect)
{
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    CBitmap bitmap;
    if (!bitmap.CreateBitmap(8, 8, 1, 1, pattern))
        return;
    CBrush brush;
    if (!brush.CreatePatternBrush(&bitmap))
        return;
    CXTPColorTable* pColors = GetColorTable();
    const COLORREF clrOldText = pDC->SetTextColor(pColors->GetColor(15));
    const COLORREF clrOldBack = pDC->SetBkColor(pColors->GetColor(20));
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->PatBlt(rect.left, rect.top, rect.Width(), rect.Height(), PATCOPY);
    pDC->SelectObject(pOldBrush);
    pDC->SetTextColor(clrOldText);
    pDC->SetBkColor(clrOldBack);
}

BOOL AFXAPI TrackToolkitPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pOwner, int nToolBarId)
{
    if (CXTPPaintManager::Instance() == NULL)
        CXTPPaintManager::SetTheme(0);
    if (CXTPPaintManager::Instance() == NULL)
        return pMenu->TrackPopupMenu(nFlags, x, y, pOwner);

    CXTPPopupBar* pPopupBar = CXTPPopupBar::CreatePopupBar(NULL);
    if (pPopupBar == NULL)
        return pMenu->TrackPopupMenu(nFlags, x, y, pOwner);
    if (nToolBarId > 0) {
        // The toolbar's images for its own commands; without its resource the menu shows no images.
        auto* pImageManager = new CXTPImageManager;
        const LPCTSTR lpszToolBar = MAKEINTRESOURCE(nToolBarId);
        pImageManager->AddIconsFromToolBar(AfxFindResourceHandle(lpszToolBar, RT_TOOLBAR),
                                           static_cast<UINT>(nToolBarId));
        pPopupBar->SetImageManager(pImageManager);
    }
    int nResult = 0;
    if (pPopupBar->LoadMenu(pMenu))
        nResult = CXTPCommandBars::TrackPopupBar(pPopupBar, nFlags | TPM_NONOTIFY, x, y, pOwner, NULL);
    pPopupBar->InternalRelease();
    return nResult;
}

CString AFXAPI StripMnemonicsKeepDouble(LPCTSTR lpszText)
{
    CString strText(lpszText);
    if (strText.GetLength() < 2)
        return strText;
    CString strResult;
    const int nLength = strText.GetLength();
    for (int i = 0; i < nLength; ++i) {
        const TCHAR ch = strText[i];
        if (ch == L'&' && i + 1 < nLength) {
            if (strText[i + 1] == L'&') {
                strResult += L"&&";
                ++i;
                continue;
            }
            continue;
        }
        strResult += ch;
    }
    return strResult;
}
