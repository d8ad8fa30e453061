#include <afxext.h>

IMPLEMENT_DYNAMIC(CBitmapButton, CButton)

BOOL CBitmapButton::LoadBitmaps(LPCTSTR lpszBitmapResource, LPCTSTR lpszBitmapResourceSel,
                                LPCTSTR lpszBitmapResourceFocus, LPCTSTR lpszBitmapResourceDisabled)
{
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (lpszBitmapResource == NULL || !m_bitmap.LoadBitmap(lpszBitmapResource))
        return FALSE;
    BOOL bAllLoaded = TRUE;
    if (lpszBitmapResourceSel != NULL && !m_bitmapSel.LoadBitmap(lpszBitmapResourceSel))
        bAllLoaded = FALSE;
    // The focus and disabled faces are optional.
    if (lpszBitmapResourceFocus != NULL)
        m_bitmapFocus.LoadBitmap(lpszBitmapResourceFocus);
    if (lpszBitmapResourceDisabled != NULL)
        m_bitmapDisabled.LoadBitmap(lpszBitmapResourceDisabled);
    return bAllLoaded;
}

BOOL CBitmapButton::LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel,
                                UINT nIDBitmapResourceFocus, UINT nIDBitmapResourceDisabled)
{
    return LoadBitmaps(MAKEINTRESOURCE(nIDBitmapResource),
                       nIDBitmapResourceSel != 0 ? MAKEINTRESOURCE(nIDBitmapResourceSel) : NULL,
                       nIDBitmapResourceFocus != 0 ? MAKEINTRESOURCE(nIDBitmapResourceFocus) : NULL,
                       nIDBitmapResourceDisabled != 0 ? MAKEINTRESOURCE(nIDBitmapResourceDisabled) : NULL);
}

BOOL CBitmapButton::AutoLoad(UINT nID, CWnd* pParent)
{
    if (!SubclassDlgItem(nID, pParent))
        return FALSE;
    CString name;
    GetWindowText(name);
    if (name.IsEmpty())
        return FALSE;
    if (!LoadBitmaps(name + L"U", name + L"D", name + L"F", name + L"X"))
        return FALSE;
    SizeToContent();
    return TRUE;
}

void CBitmapButton::SizeToContent()
{
    BITMAP bitmap = {};
    if (m_bitmap.m_hObject == NULL || !m_bitmap.GetBitmap(&bitmap))
        return;
    SetWindowPos(NULL, -1, -1, bitmap.bmWidth, bitmap.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CBitmap* pBitmap = &m_bitmap;
    const UINT nState = lpDrawItemStruct->itemState;
    if ((nState & ODS_SELECTED) && m_bitmapSel.m_hObject != NULL)
        pBitmap = &m_bitmapSel;
    else if ((nState & ODS_FOCUS) && m_bitmapFocus.m_hObject != NULL)
        pBitmap = &m_bitmapFocus;
    else if ((nState & ODS_DISABLED) && m_bitmapDisabled.m_hObject != NULL)
        pBitmap = &m_bitmapDisabled;
    if (pBitmap->m_hObject == NULL)
        return;

    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = memDC.SelectObject(pBitmap);
    const CRect rect(lpDrawItemStruct->rcItem);
    pDC->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOld);
}
