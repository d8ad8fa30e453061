#include "command_bars.h"

#include "commandbars_resource_ids.h"
#include "draw_helpers.h"
#include "image_manager.h"
#include "menu_sound.h"
#include "resource_loader.h"

#include <afxpriv.h>
#include <windowsx.h>

#include <algorithm>

IMPLEMENT_SERIAL(CXTPControl, CCmdTarget, VERSIONABLE_SCHEMA | 16)

CXTPControl::CXTPControl()
{
    m_rcRow.SetRectEmpty();
    m_rcControl.SetRectEmpty();
}

CXTPControl::~CXTPControl() = default;

void CXTPControl::SetID(int nId)
{
    if (m_nId != nId && nId != 0) {
        CString strText;
        if (GetResourceLoader()->LoadString(&strText, static_cast<UINT>(nId)) && !strText.IsEmpty()) {
            const int nNewLine = strText.Find(L'\n');
            if (nNewLine < 0) {
                m_strDescription = strText;
                m_strTooltip = strText;
            } else {
                m_strDescription = strText.Left(nNewLine);
                m_strTooltip = strText.Mid(nNewLine + 1);
            }
            if (m_strCaption.IsEmpty())
                m_strCaption = m_strTooltip;
        }
    }
    m_nId = nId;
}

void CXTPControl::SetCaption(LPCTSTR lpszCaption)
{
    CString strCaption(lpszCaption != NULL ? lpszCaption : L"");
    const int nTab = strCaption.Find(L'\t');
    if (nTab >= 0) {
        m_strShortcutText = strCaption.Mid(nTab + 1);
        strCaption = strCaption.Left(nTab);
    }
    if (m_strCaption != strCaption) {
        m_strCaption = strCaption;
        DelayLayoutParent();
    }
}

void CXTPControl::SetChecked(BOOL bChecked)
{
    if (m_bChecked != bChecked) {
        m_bChecked = bChecked;
        RedrawParent();
    }
}

void CXTPControl::SetExpanded(BOOL bExpanded)
{
    m_bExpanded = bExpanded;
    if (!bExpanded)
        m_dwHideFlags &= ~static_cast<DWORD>(xtpHideExpand);
}

CXTPCommandBars* CXTPControl::GetCommandBars() const
{
    if (m_pParent != NULL && m_pParent->GetCommandBars() != NULL)
        return m_pParent->GetCommandBars();
    return m_pControls != NULL ? m_pControls->GetCommandBars() : NULL;
}

CWnd* CXTPControl::GetSite() const
{
    if (m_pSite != NULL)
        return m_pSite;
    if (m_pParent != NULL)
        if (CWnd* pSite = m_pParent->GetSite())
            return pSite;
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        if (pCommandBars->GetSite() != NULL)
            return pCommandBars->GetSite();
    return AfxGetMainWnd();
}

CXTPImageManager* CXTPControl::GetImageManager() const
{
    if (m_pParent != NULL)
        return m_pParent->GetImageManager();
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        return pCommandBars->GetImageManager();
    return XTPImageManager();
}

CXTPPaintManagerCore* CXTPControl::GetPaintManager() const
{
    if (m_pParent != NULL)
        return m_pParent->GetPaintManager();
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        return pCommandBars->GetPaintManager();
    if (CXTPPaintManager::Instance() == NULL)
        CXTPPaintManager::SetTheme(0);
    return CXTPPaintManager::Instance();
}

void CXTPControl::RedrawParent()
{
    if (m_pParent != NULL && ::IsWindow(m_pParent->GetSafeHwnd()))
        m_pParent->Redraw();
}

void CXTPControl::DelayLayoutParent()
{
    if (m_pParent != NULL)
        m_pParent->DelayLayout();
}

BOOL CXTPControl::IsCursorOver() const
{
    if (m_pParent == NULL || !::IsWindow(m_pParent->GetSafeHwnd()))
        return FALSE;
    CPoint point;
    ::GetCursorPos(&point);
    m_pParent->ScreenToClient(&point);
    return m_rcControl.PtInRect(point);
}

void CXTPControl::SetBeginGroup(BOOL bBeginGroup)
{
    m_bBeginGroup = bBeginGroup;
    DelayLayoutParent();
}

void CXTPControl::SetEnabled(BOOL bEnabled)
{
    if (m_bEnabled != bEnabled) {
        m_bEnabled = bEnabled;
        RedrawParent();
    }
}

void CXTPControl::SetHideFlag(DWORD dwFlag, BOOL bSet)
{
    SetHideFlags(bSet ? (m_dwHideFlags | dwFlag) : (m_dwHideFlags & ~dwFlag));
}

BOOL CXTPControl::IsCaptionVisible() const
{
    if (m_pParent != NULL && m_pParent->GetType() == xtpBarTypePopup)
        return TRUE;
    if (GetCaption().IsEmpty())
        return FALSE;
    const int nStyle = GetStyle();
    if (nStyle == 1 || nStyle == 3)
        return TRUE;
    if (nStyle == 2)
        return FALSE;
    switch (m_controlType) {
    case xtpControlButton:
    case xtpControlButtonPopup:
    case xtpControlSplitButtonPopup:
        return GetImage(0) == NULL;
    case xtpControlPopup:
    case xtpControlLabel:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CXTPControl::IsEqual(CXTPControl* pOther) const
{
    return pOther != NULL && GetStyle() == pOther->GetStyle() && m_controlType == pOther->m_controlType &&
           m_nId == pOther->m_nId && m_dwFlags == pOther->m_dwFlags &&
           m_bBeginGroup == pOther->m_bBeginGroup && GetIconId() == pOther->GetIconId() &&
           m_strCaption == pOther->m_strCaption && m_strTooltip == pOther->m_strTooltip &&
           m_strDescription == pOther->m_strDescription && m_strCustomCaption == pOther->m_strCustomCaption &&
           m_nCustomStyle == pOther->m_nCustomStyle && m_strParameter == pOther->m_strParameter &&
           (m_dwHideFlags & xtpHideCustomize) == (pOther->m_dwHideFlags & xtpHideCustomize);
}

LRESULT CXTPControl::NotifyExecute(UINT nCode)
{
    CWnd* pSite = GetSite();
    if (pSite == NULL || !::IsWindow(pSite->GetSafeHwnd()))
        return 0;
    NMXTPCONTROL notify{};
    notify.hdr.hwndFrom = NULL;
    notify.hdr.idFrom = static_cast<UINT_PTR>(m_nId);
    notify.hdr.code = nCode;
    notify.pControl = this;
    return pSite->SendMessage(XTP_WM_CONTROL_EXECUTED, static_cast<WPARAM>(m_nId),
                              reinterpret_cast<LPARAM>(&notify));
}

void CXTPControl::Execute()
{
    // The control may go away with the menu it closes (a popup's bar is released when the menus end).
    InternalAddRef();
    m_nPressed = 2;
    CXTPCommandBar* pBar = m_pParent;
    // A menu tracked for its command (TPM_RETURNCMD) hands the id to its outermost bar.
    CXTPCommandBar* pRoot = pBar;
    while (pRoot != NULL && pRoot->GetParentBar() != NULL)
        pRoot = pRoot->GetParentBar();
    if (pRoot != NULL && pRoot->m_pReturnCmd != NULL) {
        *pRoot->m_pReturnCmd = m_nId;
        MenuSoundPlay(XTP_MENUSOUND_COMMAND);
        CXTPMouseManager::GetInstance()->SendTrackLostAll();
        m_nPressed = 0;
        InternalRelease();
        return;
    }
    MenuSoundPlay(XTP_MENUSOUND_COMMAND);
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != NULL) {
        if (m_nId != 0)
            pCommandBars->SetCommandUsed(static_cast<UINT>(m_nId));
        if (auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pBar))
            if (pPopupBar->m_pControlPopup != NULL && pPopupBar->m_pControlPopup->GetID() != 0)
                pCommandBars->SetCommandUsed(static_cast<UINT>(pPopupBar->m_pControlPopup->GetID()));
    }
    if (m_bCloseSubMenuOnClick)
        CXTPMouseManager::GetInstance()->SendTrackLostAll();
    CWnd* pSite = GetSite();
    if (m_nId != 0 && pSite != NULL && ::IsWindow(pSite->GetSafeHwnd())) {
        const HWND hSite = pSite->GetSafeHwnd();
        const HWND hBar = pBar != NULL ? pBar->GetSafeHwnd() : NULL;
        const BOOL bNoNotify = pRoot != NULL && pRoot->m_bNoNotify;
        if ((bNoNotify || NotifyExecute(XTP_CN_EXECUTE) == 0) && ::IsWindow(hSite))
            ::SendMessageW(hSite, WM_COMMAND, static_cast<WPARAM>(m_nId), 0);
        // A command that ran a modal loop (a dialog) had the bar paint the control pressed: it is drawn
        // released now, not when the mouse next passes over it. A bar that the command closed is gone
        // with its window.
        m_nPressed = 0;
        if (hBar != NULL && ::IsWindow(hBar) && CWnd::FromHandlePermanent(hBar) == pBar)
            pBar->Redraw();
    }
    m_nPressed = 0;
    InternalRelease();
}

CSize CXTPControl::GetSize(CDC* pDC)
{
    return GetPaintManager()->DrawControl(pDC, this, FALSE);
}

void CXTPControl::Draw(CDC* pDC)
{
    GetPaintManager()->DrawControl(pDC, this, TRUE);
}

CXTPImageManagerIcon* CXTPControl::GetImage(int nWidth) const
{
    const int nIcon = GetIconId();
    if (nIcon <= 0)
        return NULL;
    CXTPImageManager* pImageManager = GetImageManager();
    return pImageManager != NULL ? pImageManager->GetImage(static_cast<UINT>(nIcon), nWidth) : NULL;
}

void CXTPControl::Copy(CXTPControl* pControl, BOOL)
{
    m_nId = pControl->m_nId;
    m_dwTag = pControl->m_dwTag;
    m_dwFlags = pControl->m_dwFlags;
    m_controlType = pControl->m_controlType;
    m_strCaption = pControl->m_strCaption;
    m_strCustomCaption = pControl->m_strCustomCaption;
    m_strShortcutText = pControl->m_strShortcutText;
    m_strTooltip = pControl->m_strTooltip;
    m_strDescription = pControl->m_strDescription;
    m_strParameter = pControl->m_strParameter;
    m_strCategory = pControl->m_strCategory;
    m_nIconId = pControl->m_nIconId;
    m_nCustomIconId = pControl->m_nCustomIconId;
    m_bBeginGroup = pControl->m_bBeginGroup;
    m_nStyle = pControl->m_nStyle;
    m_nCustomStyle = pControl->m_nCustomStyle;
    m_dwHideFlags = pControl->m_dwHideFlags;
    m_bDefaultItem = pControl->m_bDefaultItem;
    m_setDocTemplatesAssigned = pControl->m_setDocTemplatesAssigned;
    m_setDocTemplatesExcluded = pControl->m_setDocTemplatesExcluded;
}

BOOL CXTPControl::OnLButtonUp(CPoint point)
{
    OnClick(FALSE, point);
    return TRUE;
}

void CXTPControl::OnMouseHoverClose()
{
    if (m_pParent == NULL)
        return;
    m_pParent->OpenControlPopup(-1, FALSE);
    if (m_pParent->m_bTrackOnMouse && m_pParent->GetType() != xtpBarTypePopup)
        m_pParent->SetTracking(FALSE);
}

BOOL CXTPControl::SetSelected(int bSelected)
{
    if (m_nSelected == bSelected)
        return FALSE;
    // Keyboard selection closes another control's open popup, not the one this control opens.
    if (bSelected == 2 && m_pParent != NULL && m_pParent->GetPopupedIndex() != m_nIndex)
        m_pParent->OpenControlPopup(-1, FALSE);
    m_nSelected = bSelected;
    if (m_pParent != NULL)
        m_pParent->ShowControlDescription(bSelected != 0, this);
    RedrawParent();
    return TRUE;
}

CXTPControl* CXTPControl::Clone(BOOL bRecursive)
{
    auto* pControl = static_cast<CXTPControl*>(GetRuntimeClass()->CreateObject());
    if (pControl != NULL)
        pControl->Copy(this, bRecursive);
    return pControl;
}

BOOL CXTPControl::ClickToolBarButton(CRect rcActiveRect)
{
    CXTPCommandBar* pBar = m_pParent;
    if (pBar == NULL || !::IsWindow(pBar->GetSafeHwnd()))
        return FALSE;
    if (rcActiveRect.IsRectEmpty())
        rcActiveRect = m_rcControl;
    InternalAddRef();
    pBar->SetSelected(m_nIndex, FALSE);
    m_nPressed = 1;
    RedrawParent();
    pBar->SetCapture();

    BOOL bExecute = FALSE;
    BOOL bQuit = FALSE;
    WPARAM nQuitCode = 0;
    const HWND hBar = pBar->GetSafeHwnd();
    auto select = [&](CPoint point) {
        const BOOL bInside = rcActiveRect.PtInRect(point);
        if (bInside != (m_nSelected != 0)) {
            m_nSelected = bInside;
            RedrawParent();
        }
    };
    for (;;) {
        MSG msg;
        if (!::GetMessageW(&msg, NULL, 0, 0)) {
            // The program is ending: nothing executes, and the loop above sees the quit too.
            bQuit = TRUE;
            nQuitCode = msg.wParam;
            break;
        }
        if (::GetCapture() != hBar) {
            ::DispatchMessageW(&msg);
            break;
        }
        if (msg.message == WM_MOUSEMOVE && msg.hwnd == hBar) {
            select(CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)));
            continue;
        }
        if (msg.message == WM_LBUTTONUP && msg.hwnd == hBar) {
            select(CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)));
            bExecute = m_nSelected != 0;
            break;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        if (::GetCapture() != hBar)
            break;
    }
    if (::GetCapture() == hBar)
        ::ReleaseCapture();
    if (::IsWindow(hBar)) {
        if (m_nSelected != 0) {
            pBar->SetSelected(-1, FALSE);
            pBar->m_nLastPressed = m_nIndex;
        }
        m_nSelected = 0;
        m_nPressed = 0;
        RedrawParent();
    }
    if (bQuit) {
        ::PostQuitMessage(static_cast<int>(nQuitCode));
        bExecute = FALSE;
    }
    InternalRelease();
    return bExecute;
}

IMPLEMENT_SERIAL(CXTPControlButton, CXTPControl, VERSIONABLE_SCHEMA | 16)

void CXTPControlButton::OnClick(BOOL bKeyboard, CPoint)
{
    if (!m_bEnabled || (GetCommandBars() != NULL && GetCommandBars()->IsCustomizeMode()))
        return;
    if (bKeyboard) {
        Execute();
        return;
    }
    if (m_pParent != NULL && m_pParent->GetType() != xtpBarTypePopup) {
        if (ClickToolBarButton())
            Execute();
    }
}

void CXTPControlButton::OnMouseRelease(CPoint)
{
    if (m_bEnabled && m_pParent != NULL && m_pParent->GetPosition() == xtpBarPopup)
        Execute();
}

IMPLEMENT_SERIAL(CXTPControlPopup, CXTPControl, VERSIONABLE_SCHEMA | 16)

CXTPControlPopup::~CXTPControlPopup()
{
    SetCommandBar(NULL);
}

void CXTPControlPopup::SetCommandBar(CXTPCommandBar* pBar)
{
    if (pBar == m_pCommandBar)
        return;
    if (pBar != NULL)
        pBar->InternalAddRef();
    if (m_pCommandBar != NULL) {
        if (auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, m_pCommandBar))
            if (pPopupBar->m_pControlPopup == this)
                pPopupBar->m_pControlPopup = NULL;
        m_pCommandBar->InternalRelease();
    }
    m_pCommandBar = pBar;
    if (auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pBar))
        pPopupBar->m_pControlPopup = this;
}

BOOL CXTPControlPopup::SetPopupOpen(BOOL bOpen)
{
    if (!bOpen) {
        m_bPopup = FALSE;
        if (m_pCommandBar != NULL && m_pCommandBar->IsTrackingMode())
            m_pCommandBar->SetTracking(FALSE);
        RedrawParent();
        return TRUE;
    }
    // Popup bars show themselves with the popup menus; without one nothing opens.
    if (m_pCommandBar == NULL || m_pCommandBar->IsTrackingMode())
        return FALSE;
    m_bPopup = m_pCommandBar->Popup(this, m_pParent != NULL && m_pParent->IsKeyboardSelected());
    RedrawParent();
    return m_bPopup;
}

BOOL CXTPControlPopup::IsEqual(CXTPControl* pOther) const
{
    if (!CXTPControl::IsEqual(pOther))
        return FALSE;
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pOther);
    if (pPopup == NULL)
        return FALSE;
    if (m_pCommandBar != NULL && pPopup->m_pCommandBar != NULL)
        return m_pCommandBar->GetControls()->IsEqual(pPopup->m_pCommandBar->GetControls());
    return TRUE;
}

void CXTPControlPopup::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    CXTPControl::Copy(pControl, bRecursive);
    auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl);
    if (pPopup == NULL || pPopup->m_pCommandBar == NULL)
        return;
    if (bRecursive) {
        CXTPCommandBar* pClone = pPopup->m_pCommandBar->Clone(TRUE);
        SetCommandBar(pClone);
        if (pClone != NULL)
            pClone->InternalRelease();
    } else {
        SetCommandBar(pPopup->m_pCommandBar);
    }
}

void CXTPControlPopup::OnUnderlineActivate()
{
    // An access key opens the menu as the keyboard does: its first item selected.
    if (m_pParent != NULL)
        m_pParent->OpenControlPopup(m_nIndex, TRUE);
}

void CXTPControlPopup::OnClick(BOOL bKeyboard, CPoint point)
{
    if (!m_bEnabled || m_pParent == NULL)
        return;
    if (m_bPopup && m_pParent->GetType() != xtpBarTypePopup) {
        m_pParent->SetTracking(FALSE);
        return;
    }
    if (m_controlType == xtpControlSplitButtonPopup) {
        if (bKeyboard) {
            Execute();
            return;
        }
        if (m_pParent->GetType() == xtpBarTypePopup) {
            if (point.x < m_rcControl.right - 20) {
                m_pParent->KillTimer(XTP_TID_HOVER);
                return;
            }
        } else if (point.x < m_rcControl.right - 11) {
            CRect rcButton(m_rcControl);
            rcButton.right -= 11;
            if (ClickToolBarButton(rcButton))
                Execute();
            return;
        }
    }
    m_pParent->OpenControlPopup(m_nIndex, bKeyboard);
}

void CXTPControlPopup::OnMouseHoverClose()
{
    if (m_pParent != NULL && (m_pParent->GetTrackingMode() == 2 || m_pParent->GetType() == xtpBarTypePopup))
        m_pParent->OpenControlPopup(m_nIndex, FALSE);
    else
        CXTPControl::OnMouseHoverClose();
}

BOOL CXTPControlPopup::SetSelected(int bSelected)
{
    if (!CXTPControl::SetSelected(bSelected))
        return FALSE;
    if (m_pParent == NULL)
        return TRUE;
    const BOOL bPopupBar = m_pParent->GetType() == xtpBarTypePopup;
    if ((m_controlType == xtpControlButtonPopup || m_controlType == xtpControlSplitButtonPopup) &&
        !bPopupBar) {
        if (bSelected == 2 && m_pParent->GetTrackingMode() == 2)
            m_pParent->OpenControlPopup(m_nIndex, TRUE);
    } else if (bPopupBar || m_controlType == xtpControlPopup) {
        if (bSelected && m_pParent->GetTrackingMode() == 2 && !bPopupBar)
            m_pParent->OpenControlPopup(m_nIndex, bSelected == 2);
        else if (!bSelected && m_bPopup && !bPopupBar)
            m_pParent->OpenControlPopup(-1, FALSE);
    }
    return TRUE;
}

IMPLEMENT_SERIAL(CXTPControlExpandButton, CXTPControlPopup, VERSIONABLE_SCHEMA | 16)

CXTPControlExpandButton::CXTPControlExpandButton()
{
    m_controlType = xtpControlButtonPopup;
    m_dwFlags = 0x1C;
}

void CXTPControlExpandButton::SetRect(CRect rcControl)
{
    CXTPControl::SetRect(rcControl);
    m_bHiddenControls = FALSE;
    if (m_pControls != NULL)
        for (int i = 0; i < m_pControls->GetCount(); ++i)
            if ((m_pControls->GetAt(i)->GetHideFlags() & xtpHideWrap) != 0)
                m_bHiddenControls = TRUE;
}

void CXTPControlExpandButton::Draw(CDC* pDC)
{
    const BOOL bFloating = m_pParent != NULL && m_pParent->GetPosition() == xtpBarFloating;
    GetPaintManager()->DrawSpecialControl(pDC, bFloating ? xtpButtonExpandFloating : xtpButtonExpandToolbar,
                                          this, m_pParent, TRUE);
}

BOOL CXTPControlExpandButton::SetPopupOpen(BOOL bOpen)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (!bOpen || m_pParent == NULL || pCommandBars == NULL)
        return CXTPControlPopup::SetPopupOpen(bOpen);
    // The menu is built afresh each time: what did not fit, then the buttons to show or hide.
    CXTPPopupBar* pPopupBar = NULL;
    if (CWnd* pSite = GetSite(); pSite != NULL && ::IsWindow(pSite->GetSafeHwnd())) {
        XTP_COMMANDBARS_CREATEBAR create{};
        create.bPopup = TRUE;
        create.bToolBar = TRUE;
        create.nID = static_cast<UINT>(m_nId);
        if (pSite->SendMessage(XTP_WM_CREATE_COMMANDBAR, 0, reinterpret_cast<LPARAM>(&create)) != 0 &&
            create.pCommandBar != NULL) {
            pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, create.pCommandBar);
            if (pPopupBar == NULL)
                create.pCommandBar->InternalRelease();
        }
    }
    if (pPopupBar == NULL)
        pPopupBar = CXTPPopupToolBar::CreatePopupToolBar(pCommandBars);
    pPopupBar->GetControls()->RemoveAll();
    pCommandBars->FillHiddenControls(m_pParent, pPopupBar);
    if (pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways ||
        pCommandBars->IsCustomizeCommandHandled()) {
        CXTPControls* pControls = pPopupBar->GetControls();
        const int nBefore = pControls->GetCount();
        auto* pAddRemove = static_cast<CXTPControlPopup*>(pControls->Add(xtpControlPopup, 0, NULL, -1, TRUE));
        CString strCaption;
        GetResourceLoader()->LoadString(&strCaption, XTP_IDS_ADDORREMOVE);
        pAddRemove->SetCaption(strCaption);
        pAddRemove->SetFlags(pAddRemove->GetFlags() | xtpFlagManualUpdate);
        if (nBefore > 1)
            pAddRemove->SetBeginGroup(TRUE);
        if (auto* pSubBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pAddRemove->GetCommandBar()))
            pCommandBars->FillCustomizeItems(m_pParent, pSubBar);
    }
    SetCommandBar(pPopupBar);
    pPopupBar->InternalRelease();
    return CXTPControlPopup::SetPopupOpen(TRUE);
}

IMPLEMENT_SERIAL(CXTPControlCloseButton, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

void CXTPControlCloseButton::Draw(CDC* pDC)
{
    GetPaintManager()->DrawSpecialControl(pDC, xtpButtonCloseFloating, this, m_pParent, TRUE);
}

void CXTPControlCloseButton::Execute()
{
    if (m_pParent != NULL)
        m_pParent->SetVisible(FALSE);
}

IMPLEMENT_SERIAL(CXTPControlOleItems, CXTPControlButton, VERSIONABLE_SCHEMA | 16)
