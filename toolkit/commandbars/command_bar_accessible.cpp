// Bars and controls as accessible objects: a bar answers for itself and lists its controls as
// children numbered from 1; a control answers for itself (child 0) with its popup bar as its one
// child. Screen readers reach a bar through WM_GETOBJECT and follow the focus events it raises.
#include "command_bars.h"

#include "draw_helpers.h"

#include <afxpriv.h>

namespace {

// Help contexts of commands start here, as the framework's help ids do.
const DWORD kHelpBaseCommand = 0x10000;

void SetLong(VARIANT* pVariant, long nValue)
{
    ::VariantInit(pVariant);
    pVariant->vt = VT_I4;
    pVariant->lVal = nValue;
}

// An accessible part handed out as IDispatch with the reference the caller owns.
HRESULT GiveDispatch(CXTAccessibleBase* pAccessible, IDispatch** ppDispatch)
{
    *ppDispatch = pAccessible->GetAccessible();
    (*ppDispatch)->AddRef();
    return S_OK;
}

BSTR AllocText(const CString& strText)
{
    return ::SysAllocStringLen(strText, static_cast<UINT>(strText.GetLength()));
}

VARIANT SelfVariant()
{
    VARIANT self;
    SetLong(&self, CHILDID_SELF);
    return self;
}

// The control a child id of a bar names (1 the first), or null.
CXTPControl* ChildControl(const CXTPCommandBar* pBar, VARIANT& varChild)
{
    const long nChild = GetChildIdFromVariant(&varChild);
    return nChild > 0 ? pBar->GetControl(static_cast<int>(nChild - 1)) : NULL;
}

} // namespace

BEGIN_INTERFACE_MAP(CXTPCommandBar, CWnd)
INTERFACE_PART(CXTPCommandBar, IID_IAccessible, Accessible)
END_INTERFACE_MAP()

BEGIN_INTERFACE_MAP(CXTPControl, CCmdTarget)
INTERFACE_PART(CXTPControl, IID_IAccessible, Accessible)
END_INTERFACE_MAP()

LRESULT CXTPCommandBar::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    // The object id is a 32-bit value, whatever the width of lParam.
    const LONG nObjectId = static_cast<LONG>(lParam);
    if (nObjectId == OBJID_CLIENT || nObjectId == OBJID_MENU)
        return CallLresultFromObject(IID_IAccessible, wParam, GetAccessible());
    // The system also asks for objects of its own (UI Automation's root among them).
    return DefWindowProc(WM_GETOBJECT, wParam, lParam);
}

LRESULT CXTPCommandBar::OnHelpHitTest(LPARAM lParam) const
{
    const CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    CXTPControl* pControl = HitTest(point);
    if (pControl == NULL || pControl->GetID() <= 0)
        return 0;
    return static_cast<LRESULT>(kHelpBaseCommand + static_cast<DWORD>(pControl->GetID()));
}

HRESULT CXTPCommandBar::get_accParent(IDispatch** ppdispParent)
{
    if (ppdispParent == NULL)
        return E_INVALIDARG;
    *ppdispParent = NULL;
    if (auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, this);
        pPopupBar != NULL && pPopupBar->m_pControlPopup)
        return GiveDispatch(pPopupBar->m_pControlPopup, ppdispParent);
    if (!::IsWindow(m_hWnd))
        return E_FAIL;
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent == NULL)
        return E_FAIL;
    return CallAccessibleObjectFromWindow(hParent, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(ppdispParent));
}

HRESULT CXTPCommandBar::get_accChildCount(long* pcountChildren)
{
    if (pcountChildren == NULL)
        return E_INVALIDARG;
    *pcountChildren = GetControlCount();
    return S_OK;
}

HRESULT CXTPCommandBar::get_accChild(VARIANT varChild, IDispatch** ppdispChild)
{
    if (ppdispChild == NULL)
        return E_INVALIDARG;
    *ppdispChild = NULL;
    CXTPControl* pControl = ChildControl(this, varChild);
    return pControl != NULL ? GiveDispatch(pControl, ppdispChild) : E_INVALIDARG;
}

HRESULT CXTPCommandBar::get_accName(VARIANT varChild, BSTR* pszName)
{
    if (pszName == NULL)
        return E_INVALIDARG;
    *pszName = NULL;
    if (GetChildIdFromVariant(&varChild) == CHILDID_SELF) {
        *pszName = AllocText(m_strTitle);
        return S_OK;
    }
    CXTPControl* pControl = ChildControl(this, varChild);
    return pControl != NULL ? pControl->get_accName(SelfVariant(), pszName) : E_INVALIDARG;
}

HRESULT CXTPCommandBar::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    if (pvarRole == NULL)
        return E_INVALIDARG;
    if (GetChildIdFromVariant(&varChild) == CHILDID_SELF) {
        SetLong(pvarRole, m_barType == xtpBarTypeMenuBar ? ROLE_SYSTEM_MENUBAR
                          : m_barType == xtpBarTypePopup ? ROLE_SYSTEM_MENUPOPUP
                                                         : ROLE_SYSTEM_TOOLBAR);
        return S_OK;
    }
    if (ChildControl(this, varChild) == NULL)
        return E_INVALIDARG;
    SetLong(pvarRole, ROLE_SYSTEM_MENUITEM);
    return S_OK;
}

HRESULT CXTPCommandBar::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    if (pvarState == NULL)
        return E_INVALIDARG;
    if (GetChildIdFromVariant(&varChild) == CHILDID_SELF) {
        SetLong(pvarState, IsBarShown() ? 0 : STATE_SYSTEM_INVISIBLE);
        return S_OK;
    }
    CXTPControl* pControl = ChildControl(this, varChild);
    return pControl != NULL ? pControl->get_accState(SelfVariant(), pvarState) : E_INVALIDARG;
}

HRESULT CXTPCommandBar::accHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
    if (pvarChild == NULL)
        return E_INVALIDARG;
    ::VariantInit(pvarChild);
    if (!::IsWindow(m_hWnd))
        return S_FALSE;
    CPoint point(xLeft, yTop);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (!rcWindow.PtInRect(point))
        return S_FALSE;
    ScreenToClient(&point);
    CXTPControl* pControl = HitTest(point);
    if (pControl == NULL) {
        SetLong(pvarChild, CHILDID_SELF);
        return S_OK;
    }
    pvarChild->vt = VT_DISPATCH;
    return GiveDispatch(pControl, &pvarChild->pdispVal);
}

HRESULT CXTPControl::get_accParent(IDispatch** ppdispParent)
{
    if (ppdispParent == NULL)
        return E_INVALIDARG;
    *ppdispParent = NULL;
    if (m_pParent == NULL)
        return E_FAIL;
    return GiveDispatch(m_pParent, ppdispParent);
}

HRESULT CXTPControl::get_accChildCount(long* pcountChildren)
{
    if (pcountChildren == NULL)
        return E_INVALIDARG;
    *pcountChildren = GetCommandBar() != NULL ? 1 : 0;
    return S_OK;
}

HRESULT CXTPControl::get_accChild(VARIANT varChild, IDispatch** ppdispChild)
{
    if (ppdispChild == NULL)
        return E_INVALIDARG;
    *ppdispChild = NULL;
    CXTPCommandBar* pPopupBar = GetCommandBar();
    if (GetChildIdFromVariant(&varChild) != 1 || pPopupBar == NULL)
        return E_INVALIDARG;
    return GiveDispatch(pPopupBar, ppdispChild);
}

HRESULT CXTPControl::get_accName(VARIANT varChild, BSTR* pszName)
{
    if (pszName == NULL)
        return E_INVALIDARG;
    *pszName = NULL;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    CString strName = StripMnemonics(GetCaption());
    if (!m_strShortcutText.IsEmpty())
        strName += L"\t" + m_strShortcutText;
    *pszName = AllocText(strName);
    return S_OK;
}

HRESULT CXTPControl::get_accDescription(VARIANT varChild, BSTR* pszDescription)
{
    if (pszDescription == NULL)
        return E_INVALIDARG;
    *pszDescription = NULL;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    *pszDescription = AllocText(GetDescription());
    return S_OK;
}

HRESULT CXTPControl::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    if (pvarRole == NULL)
        return E_INVALIDARG;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    if (m_pParent != NULL && m_pParent->GetType() == xtpBarTypeNormal)
        SetLong(pvarRole, GetCommandBar() != NULL ? ROLE_SYSTEM_BUTTONMENU : ROLE_SYSTEM_PUSHBUTTON);
    else
        SetLong(pvarRole, ROLE_SYSTEM_MENUITEM);
    return S_OK;
}

HRESULT CXTPControl::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    if (pvarState == NULL)
        return E_INVALIDARG;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    long nState = STATE_SYSTEM_FOCUSABLE;
    if (GetSelected() != 0)
        nState |= STATE_SYSTEM_HOTTRACKED | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED;
    if (m_pParent == NULL || !m_pParent->IsBarShown() || m_dwHideFlags != 0)
        nState |= STATE_SYSTEM_INVISIBLE;
    if (!GetEnabled())
        nState |= STATE_SYSTEM_UNAVAILABLE;
    if (GetChecked())
        nState |= STATE_SYSTEM_CHECKED;
    if (GetPressed() != 0)
        nState |= STATE_SYSTEM_PRESSED;
    if (GetCommandBar() != NULL)
        nState |= STATE_SYSTEM_HASPOPUP;
    SetLong(pvarState, nState);
    return S_OK;
}

HRESULT CXTPControl::accDoDefaultAction(VARIANT varChild)
{
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    OnClick(TRUE);
    return S_OK;
}

HRESULT CXTPControl::accSelect(long, VARIANT varChild)
{
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    if (m_pParent == NULL)
        return E_FAIL;
    m_pParent->SetTracking(TRUE, FALSE, TRUE);
    m_pParent->SetSelected(m_nIndex, TRUE);
    return S_OK;
}

HRESULT CXTPControl::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight, VARIANT varChild)
{
    if (pxLeft == NULL || pyTop == NULL || pcxWidth == NULL || pcyHeight == NULL)
        return E_INVALIDARG;
    *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
    if (GetChildIdFromVariant(&varChild) != CHILDID_SELF)
        return E_INVALIDARG;
    if (m_pParent == NULL || !::IsWindow(m_pParent->GetSafeHwnd()))
        return S_FALSE;
    CRect rect(m_rcControl);
    m_pParent->ClientToScreen(&rect);
    *pxLeft = rect.left;
    *pyTop = rect.top;
    *pcxWidth = rect.Width();
    *pcyHeight = rect.Height();
    return S_OK;
}

HRESULT CXTPControl::accHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
    if (pvarChild == NULL)
        return E_INVALIDARG;
    ::VariantInit(pvarChild);
    if (m_pParent == NULL || !::IsWindow(m_pParent->GetSafeHwnd()))
        return S_FALSE;
    const CPoint point(xLeft, yTop);
    CRect rcWindow;
    m_pParent->GetWindowRect(&rcWindow);
    CRect rect(m_rcControl);
    m_pParent->ClientToScreen(&rect);
    if (!rcWindow.PtInRect(point) || !rect.PtInRect(point))
        return S_FALSE;
    SetLong(pvarChild, CHILDID_SELF);
    return S_OK;
}
