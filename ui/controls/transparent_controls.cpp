#include "transparent_controls.h"

namespace {

HBRUSH TransparentBackground(CDC* pDC)
{
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

} // namespace

IMPLEMENT_DYNAMIC(CTransparentStatic, CStatic)

// clang-format off
BEGIN_MESSAGE_MAP(CTransparentStatic, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()
// clang-format on

HBRUSH CTransparentStatic::CtlColor(CDC* pDC, UINT)
{
    return TransparentBackground(pDC);
}

LRESULT CTransparentStatic::OnSetText(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    CWnd* pParent = GetParent();
    if (pParent != NULL && pParent->GetSafeHwnd() != NULL) {
        CRect rect;
        GetWindowRect(&rect);
        pParent->ScreenToClient(&rect);
        pParent->InvalidateRect(&rect, TRUE);
        pParent->UpdateWindow();
    }
    return result;
}

IMPLEMENT_DYNAMIC(CTransparentButtonCtrl, CButton)

// clang-format off
BEGIN_MESSAGE_MAP(CTransparentButtonCtrl, CButton)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
// clang-format on

HBRUSH CTransparentButtonCtrl::CtlColor(CDC* pDC, UINT)
{
    return TransparentBackground(pDC);
}

BOOL CTransparentButtonCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}
