#include "command_bars.h"

#include "draw_helpers.h"
#include "list_item_controls.h"
#include "menu_sound.h"
#include "shadow_manager.h"
#include "work_area.h"

#include <afxpriv.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

XTP_POPUP_PLACEMENT AFXAPI XTPCalcPopupPlacement(CSize sz, const CRect& rcExclude, CPoint pt, DWORD dwFlags,
                                                 const CRect& rcWorkArea)
{
    CRect rcWork(rcWorkArea);
    rcWork.bottom -= 5;
    const int nCentreY = (rcWork.top + rcWork.bottom) / 2;
    const BOOL bPoint = rcExclude.Height() <= 0;
    const BOOL bHasWidth = rcExclude.Width() > 0;
    const BOOL bDown = (dwFlags & xtpPopupDown) != 0;
    XTP_POPUP_PLACEMENT place{pt, sz, dwFlags, FALSE};

    if (dwFlags == (xtpPopupLeft | xtpPopupDown) && bHasWidth)
        place.pt.x = rcExclude.right - sz.cx;
    else if ((dwFlags & xtpPopupLeft) != 0 && bHasWidth)
        place.pt.x = rcExclude.left - sz.cx;
    else if ((dwFlags & xtpPopupLeft) != 0)
        place.pt.x = pt.x - sz.cx;

    if (bPoint && place.pt.y > rcWork.bottom) {
        place.pt.y -= sz.cy;
    } else if (place.pt.y + sz.cy > rcWork.bottom) {
        if (bPoint) {
            place.pt.y = place.pt.y < nCentreY ? rcWork.bottom - sz.cy : place.pt.y - sz.cy;
        } else if (bDown) {
            place.pt.y = rcExclude.top - sz.cy;
            if (place.pt.y < rcWork.top) {
                // No room on either side: the popup scrolls on the side with more room.
                place.bScroll = TRUE;
                if (rcExclude.CenterPoint().y <= nCentreY) {
                    place.pt.y = rcExclude.bottom;
                    place.size.cy = rcWork.bottom - rcExclude.bottom;
                } else {
                    place.pt.y = rcWork.top;
                    place.size.cy = rcExclude.top - rcWork.top;
                }
            }
        } else {
            place.pt.y = rcWork.bottom - sz.cy;
        }
    }
    place.pt.y = std::max(place.pt.y, rcWork.top);
    if (place.pt.y + place.size.cy > rcWork.bottom) {
        place.size.cy = rcWork.bottom - place.pt.y;
        place.bScroll = TRUE;
    }

    if (place.pt.x + sz.cx <= rcWork.right && place.pt.x < rcWork.left) {
        if (bHasWidth) {
            place.pt.x = bDown ? rcWork.left : rcExclude.right;
            place.dwFlags &= ~static_cast<DWORD>(xtpPopupLeft);
        } else if ((dwFlags & xtpPopupLeft) != 0) {
            place.pt.x = rcWork.left;
            place.dwFlags &= ~static_cast<DWORD>(xtpPopupLeft);
        }
    } else if (place.pt.x + sz.cx > rcWork.right) {
        if (!bHasWidth) {
            // A point near the right edge opens to its left while that stays on the monitor.
            place.pt.x = pt.x - sz.cx >= rcWork.left ? pt.x - sz.cx : rcWork.right - sz.cx;
        } else {
            place.pt.x = (bDown ? rcWork.right : rcExclude.left) - sz.cx;
            place.dwFlags |= xtpPopupLeft;
        }
    }
    return place;
}

IMPLEMENT_SERIAL(CXTPPopupBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 16)

CRuntimeClass* CXTPPopupBar::m_pPopupBarClass = RUNTIME_CLASS(CXTPPopupBar);
double CXTPPopupBar::m_dMaxWidthDivisor = 1.0 / 3.0;

// clang-format off
BEGIN_MESSAGE_MAP(CXTPPopupBar, CXTPCommandBar)
    ON_WM_TIMER()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEACTIVATE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()
// clang-format on

CXTPPopupBar::CXTPPopupBar()
{
    m_barType = xtpBarTypePopup;
    m_barPosition = xtpBarPopup;
    m_rcExclude.SetRectEmpty();
    m_rcScrollDown.SetRectEmpty();
    m_rcScrollUp.SetRectEmpty();
    m_rcTearOffGripper.SetRectEmpty();
}

CXTPPopupBar::~CXTPPopupBar()
{
    if (::IsWindow(m_hWnd))
        CXTPShadowManager::GetInstance()->RemoveShadows(this);
}

CXTPPopupBar* AFXAPI CXTPPopupBar::CreatePopupBar(CXTPCommandBars* pCommandBars)
{
    if (m_pPopupBarClass == NULL || !m_pPopupBarClass->IsDerivedFrom(RUNTIME_CLASS(CXTPPopupBar)))
        return NULL;
    auto* pPopupBar = static_cast<CXTPPopupBar*>(m_pPopupBarClass->CreateObject());
    if (pPopupBar != NULL)
        pPopupBar->SetCommandBars(pCommandBars);
    return pPopupBar;
}

CXTPCommandBar* CXTPPopupBar::GetParentBar() const
{
    return m_pControlPopup != NULL ? m_pControlPopup->GetParent() : NULL;
}

BOOL CXTPPopupBar::IsVisible() const
{
    return ::IsWindow(m_hWnd) && ::IsWindowVisible(m_hWnd);
}

CXTPControl* CXTPPopupBar::GetExpandItem(BOOL bCreate)
{
    CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_POPUPBAR_EXPAND);
    if (pExpand == NULL && bCreate) {
        pExpand = new CXTPControlPopupExpand;
        m_pControls->AddControl(pExpand, XTP_ID_POPUPBAR_EXPAND, NULL, -1, TRUE);
        pExpand->SetTooltip(L"Expand");
    } else if (pExpand != NULL && pExpand->GetIndex() != GetControlCount() - 1 && bCreate) {
        // The expand item stays last even when the list controls inserted items after it.
        pExpand->InternalAddRef();
        m_pControls->Remove(pExpand);
        m_pControls->AddControl(pExpand, XTP_ID_POPUPBAR_EXPAND, NULL, -1, TRUE);
    }
    return pExpand;
}

void CXTPPopupBar::UpdateShortcuts()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL || !pCommandBars->GetCommandBarsOptions()->bShowShortcutsInPopups)
        return;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetHideFlags() != 0 || pControl->GetID() <= 0)
            continue;
        CString strShortcut = pControl->GetShortcutText();
        if (pCommandBars->GetShortcutManager()->FindDefaultAccelerator(static_cast<UINT>(pControl->GetID()),
                                                                       strShortcut))
            pControl->SetShortcutText(strShortcut);
    }
}

CSize CXTPPopupBar::CalcDynamicLayout(int, DWORD dwMode)
{
    m_bDynamicLayout = TRUE;
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    const CRect rcBorders = pPaintManager->GetCommandBarBorders(this);
    for (int i = 0; i < GetControlCount(); ++i)
        GetControl(i)->OnCalcDynamicSize(dwMode);

    CWindowDC dc(NULL);
    CXTFontSelector font(&dc, pPaintManager->GetRegularFont());
    int nTop = rcBorders.top;
    int nGripper = 0;
    if (m_bTearOffPopup) {
        nGripper = pPaintManager->DrawTearOffGripper(&dc, CRect(0, 0, 0, 0), FALSE, FALSE).cy;
        nTop += nGripper;
    }

    CXTPCommandBars* pCommandBars = GetCommandBars();
    m_bCollapsed = FALSE;
    for (int i = 0; i < GetControlCount(); ++i)
        GetControl(i)->SetHideFlag(xtpHideDockingPosition | xtpHideExpand, FALSE);
    if (!m_bExpanded && pCommandBars != NULL &&
        !pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus) {
        for (int i = 0; i < GetControlCount(); ++i) {
            CXTPControl* pControl = GetControl(i);
            if (pControl->GetID() == XTP_ID_POPUPBAR_EXPAND || !pCommandBars->IsControlHidden(pControl))
                continue;
            pControl->SetHideFlag(xtpHideExpand, TRUE);
            m_bCollapsed = TRUE;
        }
    }
    CXTPControl* pExpand = GetExpandItem(m_bCollapsed);
    if (pExpand != NULL)
        pExpand->SetHideFlags(m_bCollapsed ? xtpNoHide : xtpHideGeneric);

    CRect rcWork(0, 0, 0, 0);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    const int nLimit = m_dMaxWidthDivisor > 0 ? static_cast<int>(rcWork.right * m_dMaxWidthDivisor) : INT_MAX;

    std::vector<CSize> rows(static_cast<size_t>(GetControlCount()), CSize(0, 0));
    int y = nTop;
    int nWidth = 0;
    BOOL bFirst = TRUE;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl == pExpand || !pControl->IsVisible())
            continue;
        if (pControl->GetBeginGroup() && !bFirst)
            y += pPaintManager->DrawCommandBarSeparator(&dc, this, pControl, FALSE).cy;
        CSize size = pControl->GetSize(&dc);
        size.cx = std::min(static_cast<int>(size.cx), nLimit);
        rows[static_cast<size_t>(i)] = CSize(y, size.cy);
        y += size.cy;
        nWidth = std::max(nWidth, static_cast<int>(size.cx));
        bFirst = FALSE;
    }
    if (pExpand != NULL && pExpand->IsVisible()) {
        const CSize size = pExpand->GetSize(&dc);
        rows[static_cast<size_t>(pExpand->GetIndex())] = CSize(y, size.cy);
        y += size.cy;
        nWidth = std::max(nWidth, static_cast<int>(size.cx));
        bFirst = FALSE;
    }
    nWidth = std::max(nWidth, 22);
    if (bFirst)
        y = nTop + 22;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (!pControl->IsVisible())
            continue;
        const CSize row = rows[static_cast<size_t>(i)];
        const CRect rect(rcBorders.left, row.cx, rcBorders.left + nWidth, row.cx + row.cy);
        pControl->SetRect(rect);
        pControl->SetRowRect(rect);
    }
    m_rcTearOffGripper.SetRectEmpty();
    if (nGripper > 0)
        m_rcTearOffGripper.SetRect(rcBorders.left, rcBorders.top, rcBorders.left + nWidth,
                                   rcBorders.top + nGripper);
    m_bDynamicLayout = FALSE;
    return CSize(nWidth + rcBorders.left + rcBorders.right, y + rcBorders.bottom);
}

void CXTPPopupBar::UpdateLocation()
{
    m_dwPopupFlags = 0;
    CXTPControlPopup* pControl = m_pControlPopup;
    CXTPCommandBar* pParent = pControl != NULL ? pControl->GetParent() : NULL;
    if (pParent == NULL || !::IsWindow(pParent->GetSafeHwnd()))
        return;
    if ((pControl->GetFlags() & 4) != 0 || pParent->IsRightToLeft())
        m_dwPopupFlags |= xtpPopupLeft;
    const XTPBarPosition position = pParent->GetPosition();
    if (position != xtpBarLeft && position != xtpBarRight && position != xtpBarPopup)
        m_dwPopupFlags |= xtpPopupDown;
    auto* pParentPopup = DYNAMIC_DOWNCAST(CXTPPopupBar, pParent);
    if (position == xtpBarRight || (pParent->GetType() == xtpBarTypePopup && pParentPopup != NULL &&
                                    (pParentPopup->m_dwPopupFlags & xtpPopupLeft) != 0))
        m_dwPopupFlags = xtpPopupLeft;
    CRect rcExclude = pControl->GetRect();
    if (!(pControl->GetType() == xtpControlComboBox && position != xtpBarPopup))
        pParent->GetPaintManager()->AdjustExcludeRect(rcExclude, pControl,
                                                      position == xtpBarLeft || position == xtpBarRight);
    pParent->ClientToScreen(&rcExclude);
    m_rcExclude = rcExclude;
    if (m_dwPopupFlags & xtpPopupDown)
        m_ptPopup = CPoint(rcExclude.left, rcExclude.bottom);
    else
        m_ptPopup = CPoint(rcExclude.right, rcExclude.top);
}

void CXTPPopupBar::UpdateLayout(BOOL bShow)
{
    UpdateShortcuts();
    if (m_pControlPopup != NULL)
        UpdateLocation();
    const CSize size = CalcDynamicLayout(0, 0);
    // The monitor of the exclude rectangle, or of the point when there is none.
    const CRect rcWork =
        m_rcExclude.IsRectNull() ? GetWorkAreaFromPoint(m_ptPopup) : GetWorkAreaFromRect(m_rcExclude);
    const XTP_POPUP_PLACEMENT place =
        XTPCalcPopupPlacement(size, m_rcExclude, m_ptPopup, m_dwPopupFlags, rcWork);
    m_dwPopupFlags = place.dwFlags;
    m_bScrolling = place.bScroll && m_barType == xtpBarTypePopup;
    m_rcScrollDown.SetRectEmpty();
    m_rcScrollUp.SetRectEmpty();
    UINT nFlags = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    if (!bShow)
        nFlags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    if (IsWindowVisible())
        nFlags |= SWP_NOZORDER;
    SetWindowPos(&CWnd::wndTopMost, place.pt.x, place.pt.y, place.size.cx, place.size.cy, nFlags);
    if (m_bScrolling) {
        m_nFirstVisible = 0;
        LayoutScrolling(TRUE);
    }
}

void CXTPPopupBar::LayoutScrolling(BOOL bDown)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    const CRect rcBorders = pPaintManager->GetCommandBarBorders(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    CWindowDC dc(NULL);
    const int nCount = GetControlCount();
    CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_POPUPBAR_EXPAND);
    int nBottom = rcClient.bottom - rcBorders.bottom;
    if (pExpand != NULL && (pExpand->GetHideFlags() & ~static_cast<DWORD>(xtpHideDockingPosition)) == 0) {
        pExpand->SetHideFlag(xtpHideDockingPosition, FALSE);
        const int nHeight = pExpand->GetRect().Height();
        pExpand->SetRect(CRect(rcBorders.left, nBottom - nHeight, rcClient.right - rcBorders.right, nBottom));
        nBottom -= nHeight;
    } else {
        pExpand = NULL;
    }
    const int nTop = rcBorders.top;
    const int cx = rcClient.right - rcBorders.right;
    auto scrollable = [&](int i) {
        CXTPControl* pControl = GetControl(i);
        return pControl != pExpand &&
               (pControl->GetHideFlags() & ~static_cast<DWORD>(xtpHideDockingPosition)) == xtpNoHide;
    };
    auto gap = [&](CXTPControl* pControl, BOOL bFirstShown) {
        return pControl->GetBeginGroup() && !bFirstShown
                   ? pPaintManager->DrawCommandBarSeparator(&dc, this, pControl, FALSE).cy
                   : 0;
    };
    for (int i = 0; i < nCount; ++i)
        if (scrollable(i))
            GetControl(i)->SetHideFlag(xtpHideDockingPosition, TRUE);
    m_rcScrollUp.SetRectEmpty();
    m_rcScrollDown.SetRectEmpty();
    if (bDown) {
        if (m_nFirstVisible == 1)
            m_nFirstVisible = 0;
        int y = nTop;
        if (m_nFirstVisible != 0) {
            m_rcScrollUp.SetRect(rcBorders.left, nTop, cx, nTop + XTP_POPUP_SCROLL_HEIGHT);
            y += XTP_POPUP_SCROLL_HEIGHT;
        }
        m_nEndVisible = m_nFirstVisible;
        BOOL bFirstShown = TRUE;
        for (int i = m_nFirstVisible; i < nCount; ++i) {
            if (!scrollable(i)) {
                m_nEndVisible = i + 1;
                continue;
            }
            CXTPControl* pControl = GetControl(i);
            const int nGap = gap(pControl, bFirstShown);
            const int nHeight = pControl->GetRect().Height();
            if (y + nGap + nHeight > nBottom - XTP_POPUP_SCROLL_HEIGHT && !bFirstShown)
                break;
            y += nGap;
            pControl->SetRect(CRect(rcBorders.left, y, cx, y + nHeight));
            pControl->SetRowRect(pControl->GetRect());
            pControl->SetHideFlag(xtpHideDockingPosition, FALSE);
            y += nHeight;
            bFirstShown = FALSE;
            m_nEndVisible = i + 1;
        }
        if (m_nEndVisible < nCount)
            m_rcScrollDown.SetRect(rcBorders.left, nBottom - XTP_POPUP_SCROLL_HEIGHT, cx, nBottom);
    } else {
        if (m_nEndVisible == nCount - 1)
            m_nEndVisible = nCount;
        int y = nBottom;
        if (m_nEndVisible != nCount) {
            m_rcScrollDown.SetRect(rcBorders.left, nBottom - XTP_POPUP_SCROLL_HEIGHT, cx, nBottom);
            y -= XTP_POPUP_SCROLL_HEIGHT;
        }
        m_nFirstVisible = m_nEndVisible;
        for (int i = m_nEndVisible - 1; i >= 0; --i) {
            if (!scrollable(i)) {
                m_nFirstVisible = i;
                continue;
            }
            CXTPControl* pControl = GetControl(i);
            const int nHeight = pControl->GetRect().Height();
            if (y - nHeight < nTop + XTP_POPUP_SCROLL_HEIGHT && m_nFirstVisible != m_nEndVisible)
                break;
            pControl->SetRect(CRect(rcBorders.left, y - nHeight, cx, y));
            pControl->SetRowRect(pControl->GetRect());
            pControl->SetHideFlag(xtpHideDockingPosition, FALSE);
            y -= nHeight + gap(pControl, FALSE);
            m_nFirstVisible = i;
        }
        if (m_nFirstVisible > 0)
            m_rcScrollUp.SetRect(rcBorders.left, nTop, cx, nTop + XTP_POPUP_SCROLL_HEIGHT);
    }
    Redraw();
}

void CXTPPopupBar::ScrollBy(BOOL bDown)
{
    if (bDown) {
        if (m_nEndVisible >= GetControlCount())
            return;
        // A first visible of 1 would show as 0 (the up button would cover the first item anyway).
        const int nNext = m_nFirstVisible == 0 ? 2 : m_nFirstVisible + 1;
        m_nFirstVisible = std::min(nNext, GetControlCount() - 1);
        LayoutScrolling(TRUE);
    } else {
        if (m_nFirstVisible <= 0)
            return;
        m_nEndVisible = std::max(m_nEndVisible - 1, 1);
        LayoutScrolling(FALSE);
    }
}

void CXTPPopupBar::AdjustScrolling(int nSelected)
{
    if (!m_bScrolling || nSelected < 0 || !::IsWindow(m_hWnd))
        return;
    if (nSelected >= m_nEndVisible) {
        m_nEndVisible = nSelected + 1;
        LayoutScrolling(FALSE);
    } else if (nSelected < m_nFirstVisible) {
        m_nFirstVisible = nSelected;
        LayoutScrolling(TRUE);
    }
}

BOOL CXTPPopupBar::SetSelected(int nSelected, BOOL bKeyboard)
{
    const BOOL bResult = CXTPCommandBar::SetSelected(nSelected, bKeyboard);
    if (!::IsWindow(m_hWnd))
        return bResult;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    CXTPControl* pSelected = GetSelected();
    if (pSelected != NULL && pSelected->GetID() == XTP_ID_POPUPBAR_EXPAND && !bKeyboard &&
        pCommandBars != NULL && pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay)
        SetTimer(XTP_TID_SHOWFULL, 900, NULL);
    else
        KillTimer(XTP_TID_SHOWFULL);
    if (bKeyboard)
        AdjustScrolling(nSelected);
    return bResult;
}

BOOL CXTPPopupBar::SetTracking(int nMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    if (!CXTPCommandBar::SetTracking(nMode, bSelectFirst, bKeyboard))
        return FALSE;
    CWnd* pSite = GetSite();
    if (nMode != 0) {
        CallNotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, m_hWnd, OBJID_MENU, CHILDID_SELF);
    } else {
        CallNotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, m_hWnd, OBJID_MENU, CHILDID_SELF);
        // Keep the bar while its window and its owner let go of it.
        InternalAddRef();
        // No item stays highlighted for the next time the menu opens.
        if (CXTPControl* pSelected = GetSelected())
            pSelected->SetSelected(0);
        m_nSelected = -1;
        KillTimer(XTP_TID_SCROLLDOWN);
        KillTimer(XTP_TID_SCROLLUP);
        m_bScrollDownTimer = m_bScrollUpTimer = FALSE;
        if (::IsWindow(m_hWnd))
            DestroyWindow();
        if (CXTPCommandBar* pParent = GetParentBar())
            if (pParent->GetPopupedIndex() != -1 && m_pControlPopup != NULL &&
                pParent->GetPopupedIndex() == m_pControlPopup->GetIndex())
                pParent->OpenControlPopup(-1, FALSE);
        if (pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()))
            pSite->SendMessage(XTP_WM_UNINITCOMMANDSPOPUP, 0, reinterpret_cast<LPARAM>(this));
        ::Sleep(1);
        m_pControlPopup = NULL;
        InternalRelease();
    }
    if (pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()))
        pSite->UpdateWindow();
    return TRUE;
}

BOOL CXTPPopupBar::DestroyWindow()
{
    CWnd* pSite = GetSite();
    if (::IsWindow(m_hWnd)) {
        // Custom controls' windows outlive the popup with the site.
        for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != NULL;) {
            const HWND hNext = ::GetWindow(hChild, GW_HWNDNEXT);
            ::ShowWindow(hChild, SW_HIDE);
            if (pSite != NULL)
                ::SetParent(hChild, pSite->GetSafeHwnd());
            hChild = hNext;
        }
        CXTPShadowManager::GetInstance()->RemoveShadows(this);
    }
    return CXTPCommandBar::DestroyWindow();
}

BOOL CXTPPopupBar::SetPopupPosition(int x, int y, LPCRECT lpRectExclude, BOOL bSelectFirst)
{
    m_ptPopup = CPoint(x, y);
    m_rcExclude.SetRectEmpty();
    if (lpRectExclude != NULL)
        m_rcExclude = *lpRectExclude;
    return Popup(static_cast<CXTPControlPopup*>(NULL), bSelectFirst);
}

BOOL CXTPPopupBar::Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst)
{
    m_pControlPopup = pControlPopup;
    CWnd* pSite = GetSite();
    if (!::IsWindow(m_hWnd)) {
        CXTPCommandBars* pCommandBars = GetCommandBars();
        DWORD dwExStyle = WS_EX_TOOLWINDOW;
        if (pCommandBars != NULL && pCommandBars->IsRightToLeft())
            dwExStyle |= WS_EX_LAYOUTRTL;
        const CString strClass =
            AfxRegisterWndClass(CS_DBLCLKS | CS_SAVEBITS, ::LoadCursor(NULL, IDC_ARROW), NULL, NULL);
        if (!CreateEx(dwExStyle, strClass, NULL, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x100,
                      CRect(0, 0, 0, 0), pSite, 0))
            return FALSE;
    }
    LockRedraw();
    if (pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()))
        pSite->SendMessage(XTP_WM_INITCOMMANDSPOPUP, 0, 0);
    m_bCollapsed = FALSE;
    m_bExpanded = IsCustomizing() || CXTPMouseManager::GetInstance()->IsForceExpanded();
    UpdateLayout(TRUE);

    CXTPCommandBar* pParent = GetParentBar();
    if (pParent != NULL && !::IsWindow(pParent->GetSafeHwnd())) {
        m_nLockRedraw = std::max(0, m_nLockRedraw - 1);
        DestroyWindow();
        return FALSE;
    }
    SetTracking(TRUE, bSelectFirst, bSelectFirst);
    m_dwStateFlags &= ~3u;
    // The frame may have changed the commands' state since the items were last shown.
    OnUpdateCmdUI(TRUE);
    if (::IsWindow(m_hWnd)) {
        if ((m_dwStateFlags & 1) != 0) {
            m_dwStateFlags &= ~1u;
            UpdateLayout(TRUE);
        }
        Animate();
        MenuSoundPlay(XTP_MENUSOUND_POPUP);
        if (m_barPosition == xtpBarPopup && m_bShowShadow) {
            CXTPShadowManager* pShadows = CXTPShadowManager::GetInstance();
            pShadows->RemoveShadows(this);
            pShadows->CreatePopupShadow(this, m_rcExclude);
            if (pParent != NULL && pParent->GetType() != xtpBarTypePopup && m_pControlPopup != NULL)
                pShadows->CreateControlShadow(m_pControlPopup);
        }
    }
    if (m_nLockRedraw > 0 && --m_nLockRedraw == 0 && ::IsWindow(m_hWnd)) {
        m_dwStateFlags &= ~2u;
        Invalidate(FALSE);
        UpdateWindow();
    }
    return ::IsWindow(m_hWnd);
}

void CXTPPopupBar::Animate()
{
    m_nLastAnimation = 5;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    CXTPCommandBar* pParent = GetParentBar();
    if (IsCustomizing() || ::GetWindow(m_hWnd, GW_CHILD) != NULL || (pParent != NULL && !pParent->m_bAnimate))
        return;
    int nKind = pCommandBars == NULL ? 5 : pCommandBars->GetCommandBarsOptions()->animationType;
    if (nKind == 0) {
        BOOL bAnimation = FALSE, bFade = FALSE;
        ::SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &bAnimation, 0);
        ::SystemParametersInfoW(SPI_GETMENUFADE, 0, &bFade, 0);
        nKind = !bAnimation ? 5 : bFade ? 4 : 3;
    } else if (nKind == 1) {
        const int r = std::rand() % 3;
        nKind = r == 0 ? 4 : r == 1 ? 3 : 2;
    }
    if (pParent != NULL)
        pParent->m_bAnimate = FALSE;
    if (nKind < 2 || nKind > 4)
        return;
    m_nLastAnimation = nKind;
    if (pParent != NULL && ::IsWindow(pParent->GetSafeHwnd()))
        pParent->UpdateWindow();
    if (CWnd* pSite = GetSite(); pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()))
        pSite->UpdateWindow();

    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.IsRectEmpty())
        return;
    CClientDC dc(this);
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, rcClient.Width(), rcClient.Height());
    CBitmap* pOld = memDC.SelectObject(&bitmap);
    DrawCommandBar(&memDC, rcClient);
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    const int nSteps = std::max(1, pPaintManager->m_nAnimationSteps);
    const int nSleep = std::max(1, pPaintManager->m_nAnimationDuration / nSteps);
    // A popup above what opened it unrolls from its bottom edge.
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const BOOL bUpwards = rcWindow.bottom <= (m_rcExclude.IsRectNull() ? m_ptPopup.y : m_rcExclude.top);
    const int cx = rcClient.Width(), cy = rcClient.Height();
    for (int i = 1; i <= nSteps; ++i) {
        const int w = cx * i / nSteps, h = cy * i / nSteps;
        switch (nKind) {
        case 2: // unfold from the corner
            dc.BitBlt(0, bUpwards ? cy - h : 0, w, h, &memDC, 0, bUpwards ? cy - h : 0, SRCCOPY);
            break;
        case 3: // slide in from the edge next to the opener
            dc.BitBlt(0, bUpwards ? cy - h : 0, cx, h, &memDC, 0, bUpwards ? 0 : cy - h, SRCCOPY);
            break;
        default: { // fade in
            BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(255 * i / nSteps), 0};
            ::GdiAlphaBlend(dc.GetSafeHdc(), 0, 0, cx, cy, memDC.GetSafeHdc(), 0, 0, cx, cy, blend);
            break;
        }
        }
        ::Sleep(static_cast<DWORD>(nSleep));
    }
    dc.BitBlt(0, 0, cx, cy, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOld);
}

void CXTPPopupBar::OnRecalcLayout()
{
    if (!IsVisible() || m_bDynamicLayout)
        return;
    UpdateLayout(FALSE);
    if (m_bExpanding) {
        m_bExpanding = FALSE;
        ShowWindow(SW_HIDE);
        SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        if (m_pControlPopup != NULL && m_pControlPopup->GetParent() != NULL)
            m_pControlPopup->GetParent()->m_bAnimate = TRUE;
        Animate();
    }
    if (m_bShowShadow) {
        CXTPShadowManager* pShadows = CXTPShadowManager::GetInstance();
        pShadows->RemoveShadows(this);
        pShadows->CreatePopupShadow(this, m_rcExclude);
        CXTPCommandBar* pParent = GetParentBar();
        if (pParent != NULL && pParent->GetType() != xtpBarTypePopup && m_pControlPopup != NULL)
            pShadows->CreateControlShadow(m_pControlPopup);
    }
    Redraw();
}

void CXTPPopupBar::ExpandBar()
{
    if (m_bExpanded || !m_bCollapsed)
        return;
    OpenControlPopup(-1, FALSE);
    SetSelected(-1);
    m_bExpanding = TRUE;
    m_bExpanded = TRUE;
    OnRecalcLayout();
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    pMouseManager->SetForceExpanded(TRUE);
    pMouseManager->IgnoreLButtonUp(TRUE);
}

int CXTPPopupBar::OnKeyDown(UINT nChar, LPARAM lParam)
{
    if (m_bCollapsed && !m_bExpanded && m_nLockCount == 0 && !IsCustomizing()) {
        const BOOL bControl = ::GetKeyState(VK_CONTROL) < 0;
        const BOOL bWraps = nChar == VK_DOWN &&
                            (m_pControls->GetNextIndex(m_nSelected, 1) <= m_nSelected || m_nSelected == -1) &&
                            m_nSelected != -1;
        if ((nChar == VK_DOWN && bControl) || bWraps) {
            ExpandBar();
            return XTP_HOOK_HANDLED;
        }
    }
    return CXTPCommandBar::OnKeyDown(nChar, lParam);
}

BOOL CXTPPopupBar::ProcessSpecialKey(int nKey)
{
    // In a menu the left arrow maps to 2 and the right arrow to 3.
    const int nKeyLeft = 2, nKeyRight = 3;
    CXTPCommandBar* pParent = GetParentBar();
    if (nKey == nKeyLeft || nKey == nKeyRight) {
        CXTPControl* pSelected = GetSelected();
        if (nKey == nKeyRight && pSelected != NULL && pSelected->GetEnabled() &&
            DYNAMIC_DOWNCAST(CXTPControlPopup, pSelected) != NULL)
            return CXTPCommandBar::ProcessSpecialKey(nKeyRight);
        if (nKey == nKeyLeft && m_nPopuped != -1)
            return CXTPCommandBar::ProcessSpecialKey(nKeyLeft);
        if (pParent == NULL)
            return FALSE;
        if (pParent->GetType() == xtpBarTypePopup) {
            // Left closes this level of a cascade.
            if (nKey == nKeyLeft)
                pParent->OpenControlPopup(-1, TRUE);
            return TRUE;
        }
        // In a menu of the menu bar the arrows go on to the neighbouring menu.
        const int nCurrent = pParent->GetSelectedIndex();
        const int nNext = pParent->GetControls()->GetNextIndex(nCurrent, nKey == nKeyRight ? 1 : -1);
        if (nNext != -1 && nNext != nCurrent) {
            if (DYNAMIC_DOWNCAST(CXTPControlPopup, pParent->GetControl(nNext)) != NULL) {
                pParent->OpenControlPopup(nNext, TRUE);
            } else {
                pParent->OpenControlPopup(-1, TRUE);
                pParent->SetSelected(nNext, TRUE);
            }
        }
        return TRUE;
    }
    if (nKey == xtpKeyEscape) {
        if (pParent != NULL) {
            // One level closes; its item stays selected (by keyboard) in the bar that opened it.
            // Selected while the menu is still open, so that the selection does not reopen it.
            const int nIndex = pParent->GetPopupedIndex();
            if (pParent->GetType() != xtpBarTypePopup) {
                // Back on a bar the keyboard's place is shown, as after F10: the mouse passing
                // over another item or an arrow key moves it without opening a menu, and a click
                // opens the menu clicked instead of closing one that a passing mouse opened.
                pParent->SetTracking(1, FALSE, TRUE);
                pParent->m_bTrackOnMouse = FALSE;
                pParent->m_bKeyboardSelect = TRUE;
                if (nIndex != -1 && nIndex == pParent->GetSelectedIndex())
                    pParent->GetControl(nIndex)->SetSelected(2);
            }
            if (nIndex != -1)
                pParent->SetSelected(nIndex, TRUE);
            // A pending hover over the item would open the menu again.
            if (::IsWindow(pParent->GetSafeHwnd()))
                pParent->KillTimer(XTP_TID_HOVER);
            pParent->OpenControlPopup(-1, TRUE);
            return TRUE;
        }
        SetTracking(FALSE);
        return TRUE;
    }
    return CXTPCommandBar::ProcessSpecialKey(nKey);
}

void CXTPPopupBar::DrawCommandBar(CDC* pDC, CRect rcClipBox)
{
    CXTPCommandBar::DrawCommandBar(pDC, rcClipBox);
    if (m_bTearOffPopup && GetControlCount() > 0 && !m_rcTearOffGripper.IsRectEmpty())
        GetPaintManager()->DrawTearOffGripper(pDC, m_rcTearOffGripper, m_bTearOffSelected, TRUE);
    if (m_bScrolling) {
        const COLORREF clr = GetColorTable()->GetColor(COLOR_BTNTEXT);
        CXTPPaintManagerCore* pPaintManager = GetPaintManager();
        if (!m_rcScrollDown.IsRectEmpty()) {
            const CPoint c = m_rcScrollDown.CenterPoint();
            pPaintManager->Triangle(pDC, CPoint(c.x - 3, c.y - 2), CPoint(c.x + 3, c.y - 2),
                                    CPoint(c.x, c.y + 1), clr);
        }
        if (!m_rcScrollUp.IsRectEmpty()) {
            const CPoint c = m_rcScrollUp.CenterPoint();
            pPaintManager->Triangle(pDC, CPoint(c.x - 3, c.y + 1), CPoint(c.x + 3, c.y + 1),
                                    CPoint(c.x, c.y - 2), clr);
        }
    }
}

void CXTPPopupBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPCommandBar::Copy(pCommandBar, bRecursive);
    if (auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pCommandBar)) {
        m_bTearOffPopup = pPopupBar->m_bTearOffPopup;
        m_strTearOffCaption = pPopupBar->m_strTearOffCaption;
        m_nTearOffID = pPopupBar->m_nTearOffID;
        m_nTearOffWidth = pPopupBar->m_nTearOffWidth;
        m_bShowShadow = pPopupBar->m_bShowShadow;
        m_rcBorders = pPopupBar->m_rcBorders;
    }
}

LRESULT CXTPPopupBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_FLOATSTATUS)
        return (GetStyle() & 0x100) != 0 && (wParam & FS_SYNCACTIVE) != 0;
    return CXTPCommandBar::WindowProc(message, wParam, lParam);
}

int CXTPPopupBar::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_NOACTIVATE;
}

void CXTPPopupBar::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case XTP_TID_SCROLLDOWN:
    case XTP_TID_SCROLLUP: {
        const BOOL bDown = nIDEvent == XTP_TID_SCROLLDOWN;
        const BOOL bAtEnd = bDown ? m_nEndVisible >= GetControlCount() : m_nFirstVisible <= 0;
        if (!m_bScrolling || bAtEnd) {
            KillTimer(nIDEvent);
            (bDown ? m_bScrollDownTimer : m_bScrollUpTimer) = FALSE;
            return;
        }
        ScrollBy(bDown);
        return;
    }
    case XTP_TID_SHOWFULL:
        KillTimer(XTP_TID_SHOWFULL);
        if (CXTPControl* pSelected = GetSelected())
            if (pSelected->GetID() == XTP_ID_POPUPBAR_EXPAND)
                pSelected->Execute();
        return;
    case XTP_TID_TEAROFF: {
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        if (!m_rcTearOffGripper.PtInRect(point) && !m_bTearOffTracking) {
            m_bTearOffSelected = FALSE;
            Redraw();
            KillTimer(XTP_TID_TEAROFF);
        }
        return;
    }
    default:
        CXTPCommandBar::OnTimer(nIDEvent);
    }
}

void CXTPPopupBar::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_nLockCount > 0)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    CXTPCommandBar* pParent = GetParentBar();
    if (rcClient.PtInRect(point) && pParent != NULL && m_pControlPopup != NULL &&
        pParent->GetSelectedIndex() != m_pControlPopup->GetIndex())
        pParent->SetSelected(m_pControlPopup->GetIndex(), FALSE);
    if (m_bTearOffPopup && !m_bTearOffSelected && !IsCustomizing() && m_rcTearOffGripper.PtInRect(point)) {
        SetSelected(-1);
        m_bTearOffSelected = TRUE;
        SetTimer(XTP_TID_TEAROFF, 80, NULL);
        Redraw();
    }
    if (auto* pSelector = DYNAMIC_DOWNCAST(CXTPControlSelector, HitTest(point)))
        pSelector->TrackCell(point);
    if (m_bScrolling) {
        const BOOL bOverDown = m_rcScrollDown.PtInRect(point);
        const BOOL bOverUp = m_rcScrollUp.PtInRect(point);
        if (bOverDown && !m_bScrollDownTimer) {
            m_bScrollDownTimer = TRUE;
            SetTimer(XTP_TID_SCROLLDOWN, 80, NULL);
            SetSelected(-1);
        } else if (!bOverDown && m_bScrollDownTimer) {
            m_bScrollDownTimer = FALSE;
            KillTimer(XTP_TID_SCROLLDOWN);
        }
        if (bOverUp && !m_bScrollUpTimer) {
            m_bScrollUpTimer = TRUE;
            SetTimer(XTP_TID_SCROLLUP, 80, NULL);
            SetSelected(-1);
        } else if (!bOverUp && m_bScrollUpTimer) {
            m_bScrollUpTimer = FALSE;
            KillTimer(XTP_TID_SCROLLUP);
        }
        if (bOverDown || bOverUp)
            return;
    }
    CXTPCommandBar::OnMouseMove(nFlags, point);
}

int CXTPPopupBar::Popup(UINT nFlags, int x, int y, CWnd* pOwner, LPCRECT lpRectExclude)
{
    InternalAddRef();
    int nReturnCmd = 0;
    m_pReturnCmd = (nFlags & TPM_RETURNCMD) != 0 ? &nReturnCmd : NULL;
    m_bRightButton = (nFlags & TPM_RIGHTBUTTON) != 0;
    m_bNoNotify = (nFlags & TPM_NONOTIFY) != 0;
    m_bRecursive = (nFlags & TPM_RECURSE) != 0;
    if (pOwner != NULL)
        SetOwner(pOwner);
    if (!m_bRecursive) {
        CXTPMouseManager::GetInstance()->SendTrackLostAll();
        ::ReleaseCapture();
    }
    m_dwPopupFlags = (nFlags & TPM_RIGHTALIGN) != 0 ? (xtpPopupLeft | xtpPopupDown) : xtpPopupDown;
    const DWORD dwFlags = m_dwPopupFlags;
    m_ptPopup = CPoint(x, y);
    m_rcExclude.SetRectEmpty();
    if (lpRectExclude != NULL)
        m_rcExclude = *lpRectExclude;
    m_pControlPopup = NULL;
    // Popup() recomputes the flags from an owner control only; a context menu keeps these.
    m_dwPopupFlags = dwFlags;
    if (!Popup(static_cast<CXTPControlPopup*>(NULL), FALSE)) {
        m_pReturnCmd = NULL;
        InternalRelease();
        return 0;
    }
    const int nQuit = XTPTrackPopupLoop(this);
    m_pReturnCmd = NULL;
    InternalRelease();
    if (nQuit != INT_MIN)
        ::PostQuitMessage(nQuit);
    return (nFlags & TPM_RETURNCMD) != 0 ? nReturnCmd : TRUE;
}

int AFXAPI XTPTrackPopupLoop(CXTPCommandBar* pBar)
{
    CWinThread* pThread = AfxGetThread();
    while (pBar->IsTrackingMode()) {
        MSG msg;
        if (!::GetMessageW(&msg, NULL, 0, 0)) {
            // The program is ending: the menu closes and the quit goes on to the outer loop.
            CXTPMouseManager::GetInstance()->SendTrackLostAll();
            return static_cast<int>(msg.wParam);
        }
        if (!pBar->IsTrackingMode()) {
            ::PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            break;
        }
        if (msg.message == WM_KICKIDLE)
            continue;
        if (pThread == NULL || !pThread->PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return INT_MIN;
}

IMPLEMENT_SERIAL(CXTPPopupToolBar, CXTPPopupBar, VERSIONABLE_SCHEMA | 16)

CXTPPopupToolBar::CXTPPopupToolBar()
{
    m_barType = xtpBarTypeNormal;
}

CXTPPopupToolBar* AFXAPI CXTPPopupToolBar::CreatePopupToolBar(CXTPCommandBars* pCommandBars)
{
    auto* pBar = static_cast<CXTPPopupToolBar*>(RUNTIME_CLASS(CXTPPopupToolBar)->CreateObject());
    pBar->SetCommandBars(pCommandBars);
    return pBar;
}

CSize CXTPPopupToolBar::CalcDynamicLayout(int nLength, DWORD)
{
    m_bDynamicLayout = TRUE;
    CWindowDC dc(NULL);
    CXTFontSelector font(&dc, GetPaintManager()->GetRegularFont());
    CRect rcBorders(m_rcBorders);
    if (m_bTearOffPopup)
        rcBorders.top += GetPaintManager()->DrawTearOffGripper(&dc, CRect(0, 0, 0, 0), FALSE, FALSE).cy;
    const CSize size = m_pControls->CalcDynamicSize(&dc, nLength, XTP_LM_POPUP | LM_COMMIT, rcBorders);
    m_bDynamicLayout = FALSE;
    return size;
}

IMPLEMENT_SERIAL(CXTPControlPopupExpand, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

CSize CXTPControlPopupExpand::GetSize(CDC*)
{
    return CSize(22, 16);
}

void CXTPControlPopupExpand::Draw(CDC* pDC)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    const CRect rect = GetRect();
    if (GetSelected())
        pPaintManager->DrawControlEntry(pDC, rect, TRUE, GetSelected(), FALSE, FALSE, FALSE, xtpBarPopup);
    const COLORREF clr = pPaintManager->GetColor(COLOR_BTNTEXT);
    const CPoint c = rect.CenterPoint();
    CXTPenSelector pen(pDC, clr);
    for (int nRow = 0; nRow < 2; ++nRow) {
        const int y = c.y - 4 + nRow * 4;
        for (int i = 0; i < 2; ++i) {
            pDC->MoveTo(c.x - 3, y + i);
            pDC->LineTo(c.x, y + 3 + i);
            pDC->LineTo(c.x + 4, y - 1 + i);
        }
    }
}

void CXTPControlPopupExpand::Execute()
{
    if (auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, GetParent()))
        pPopupBar->ExpandBar();
}

void CXTPControlPopupExpand::OnClick(BOOL, CPoint)
{
    Execute();
}

void CXTPPopupBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!m_bTearOffPopup || IsCustomizing() || !m_rcTearOffGripper.PtInRect(point)) {
        CXTPCommandBar::OnLButtonDown(nFlags, point);
        return;
    }
    ::SetCursor(::LoadCursor(NULL, IDC_SIZEALL));
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    ++pMouseManager->m_nLock;
    m_bTearOffTracking = TRUE;
    InternalAddRef();
    TrackTearOff();
    m_bTearOffTracking = FALSE;
    --pMouseManager->m_nLock;
    InternalRelease();
}

void CXTPPopupBar::TrackTearOff()
{
    const HWND hWnd = m_hWnd;
    CRect rcStay(m_rcTearOffGripper);
    ClientToScreen(&rcStay);
    rcStay.InflateRect(10, 10);
    m_pTearOffBar = NULL;
    CXTPToolBar* pTornOff = NULL;
    BOOL bQuit = FALSE;
    WPARAM nQuitCode = 0;
    ::SetCapture(hWnd);
    for (;;) {
        MSG msg;
        // Pending paints first, so that the popup and the bar look right while dragged.
        while (::PeekMessageW(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE))
            ::DispatchMessageW(&msg);
        if (!::GetMessageW(&msg, NULL, 0, 0)) {
            bQuit = TRUE;
            nQuitCode = msg.wParam;
            break;
        }
        if (msg.message == WM_LBUTTONUP || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
            break;
        if (msg.message == WM_MOUSEMOVE) {
            CPoint point(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            ::ClientToScreen(msg.hwnd, &point);
            if (rcStay.PtInRect(point)) {
                if (pTornOff != NULL) {
                    // Back over the gripper: the menu again.
                    pTornOff->SetVisible(FALSE);
                    pTornOff = NULL;
                    if (::IsWindow(hWnd))
                        ::ShowWindow(hWnd, SW_SHOWNA);
                }
            } else if (pTornOff == NULL) {
                pTornOff = TearOff(point);
            } else {
                m_pTearOffBar = pTornOff;
                MoveTornOffBar(point);
            }
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        if (!::IsWindow(hWnd))
            break;
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    m_pTearOffBar = pTornOff;
    if (pTornOff != NULL)
        CXTPMouseManager::GetInstance()->SendTrackLostAll();
    if (bQuit)
        ::PostQuitMessage(static_cast<int>(nQuitCode));
}

CXTPToolBar* CXTPPopupBar::TearOff(CPoint ptScreen)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL)
        return NULL;
    ShowWindow(SW_HIDE);
    auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pCommandBars->FindBar(m_nTearOffID));
    if (pToolBar == NULL) {
        pToolBar = pCommandBars->Add(m_strTearOffCaption, xtpBarFloating);
        if (pToolBar == NULL)
            return NULL;
        pToolBar->SetBarID(m_nTearOffID);
        if (m_nTearOffWidth > 0)
            pToolBar->m_nMRUWidth = m_nTearOffWidth;
        CXTPControls* pControls = pToolBar->GetControls();
        pControls->RemoveAll();
        for (int i = 0; i < GetControlCount(); ++i) {
            CXTPControl* pControl = GetControl(i);
            if (pControl->GetID() == XTP_ID_POPUPBAR_EXPAND)
                continue;
            if (CXTPControl* pCopy = pControls->AddClone(pControl, -1))
                pCopy->SetHideFlags(xtpNoHide);
        }
    } else {
        pToolBar->SetVisible(TRUE);
    }
    if (pToolBar->GetPosition() != xtpBarFloating)
        pCommandBars->FloatCommandBar(pToolBar);
    m_pTearOffBar = pToolBar;
    MoveTornOffBar(ptScreen);
    pToolBar->OnRecalcLayout();
    pToolBar->Redraw();
    return pToolBar;
}

void CXTPPopupBar::MoveTornOffBar(CPoint ptScreen)
{
    CXTPToolBar* pToolBar = m_pTearOffBar;
    if (pToolBar == NULL || !::IsWindow(pToolBar->GetSafeHwnd()))
        return;
    const CSize size = pToolBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    pToolBar->SetWindowPos(NULL, ptScreen.x - size.cx / 2, ptScreen.y - 10, size.cx, size.cy,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}
