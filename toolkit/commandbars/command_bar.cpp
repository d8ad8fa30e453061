#include "command_bars.h"
#include "customize/customize_sheet.h"

#include "draw_helpers.h"
#include "image_manager.h"

#include <afxpriv.h>
#include <windowsx.h>

#include <algorithm>

namespace {
// The character an access key stands for, upper-cased; 0 for none.
WCHAR AccessKeyOf(const CString& strCaption, BOOL& bExplicit)
{
    bExplicit = FALSE;
    for (int i = 0; i + 1 < strCaption.GetLength(); ++i) {
        if (strCaption[i] != L'&')
            continue;
        if (strCaption[i + 1] == L'&') {
            ++i;
            continue;
        }
        bExplicit = TRUE;
        return static_cast<WCHAR>(reinterpret_cast<UINT_PTR>(::CharUpperW(
            reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(static_cast<WORD>(strCaption[i + 1]))))));
    }
    if (strCaption.IsEmpty())
        return 0;
    return static_cast<WCHAR>(reinterpret_cast<UINT_PTR>(
        ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(static_cast<WORD>(strCaption[0]))))));
}
} // namespace

IMPLEMENT_SERIAL(CXTPCommandBar, CWnd, VERSIONABLE_SCHEMA | 16)

// clang-format off
BEGIN_MESSAGE_MAP(CXTPCommandBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONUP()
    ON_WM_NCHITTEST()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
// clang-format on

CXTPCommandBar::CXTPCommandBar()
{
    m_rcCustomize.SetRectEmpty();
    m_pControls = static_cast<CXTPControls*>(RUNTIME_CLASS(CXTPControls)->CreateObject());
    m_pControls->SetParent(this);
}

CXTPCommandBar::~CXTPCommandBar()
{
    CXTPMouseManager::GetInstance()->RemoveBar(this);
    CXTPKeyboardManager::GetInstance()->UnhookKeyboard(this);
    if (m_pControls != NULL) {
        m_pControls->RemoveAll();
        m_pControls->SetParent(NULL);
        m_pControls->InternalRelease();
        m_pControls = NULL;
    }
    SetImageManager(NULL);
    SetPaintManager(NULL);
    if (::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CXTPCommandBar::LoadMenu(CMenu* pMenu, BOOL bRemoveControls)
{
    if (pMenu == NULL || !::IsMenu(pMenu->GetSafeHmenu()))
        return FALSE;
    if (bRemoveControls)
        m_pControls->RemoveAll();
    const int nCount = pMenu->GetMenuItemCount();
    BOOL bBeginGroup = FALSE;
    for (int i = 0; i < nCount; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        ::GetMenuItemInfoW(pMenu->GetSafeHmenu(), static_cast<UINT>(i), TRUE, &info);
        if ((info.fType & MFT_SEPARATOR) != 0) {
            bBeginGroup = TRUE;
            continue;
        }
        CXTPControl* pControl = m_pControls->AddMenuItem(pMenu, i);
        if (pControl != NULL && bBeginGroup)
            pControl->SetBeginGroup(TRUE);
        bBeginGroup = FALSE;
    }
    if (CWnd* pSite = GetSite())
        if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pSite))
            pFrame->DelayRecalcLayout();
    DelayLayout();
    return TRUE;
}

void CXTPCommandBar::SetImageManager(CXTPImageManager* pImageManager)
{
    if (m_pImageManager == pImageManager)
        return;
    if (m_pImageManager != NULL)
        m_pImageManager->InternalRelease();
    m_pImageManager = pImageManager;
}

CXTPImageManager* CXTPCommandBar::GetImageManager() const
{
    if (m_pImageManager != NULL)
        return m_pImageManager;
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        return pCommandBars->GetImageManager();
    return XTPImageManager();
}

void CXTPCommandBar::SetPaintManager(CXTPPaintManagerCore* pPaintManager)
{
    XTPSetPaintManager(m_pPaintManager, pPaintManager);
}

CXTPPaintManagerCore* CXTPCommandBar::GetPaintManager() const
{
    if (m_pPaintManager != NULL)
        return m_pPaintManager;
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        return pCommandBars->GetPaintManager();
    if (CXTPPaintManager::Instance() == NULL)
        CXTPPaintManager::SetTheme(0);
    return CXTPPaintManager::Instance();
}

CXTPCommandBars* CXTPCommandBar::GetCommandBars() const
{
    for (const CXTPCommandBar* pBar = this; pBar != NULL; pBar = pBar->GetParentBar())
        if (pBar->m_pCommandBars != NULL)
            return pBar->m_pCommandBars;
    return NULL;
}

CWnd* CXTPCommandBar::GetSite() const
{
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        if (pCommandBars->GetSite() != NULL)
            return pCommandBars->GetSite();
    const CXTPCommandBar* pRoot = this;
    while (pRoot->GetParentBar() != NULL)
        pRoot = pRoot->GetParentBar();
    if (pRoot->m_hwndOwner != NULL)
        return CWnd::FromHandle(pRoot->m_hwndOwner);
    if (::IsWindow(m_hWnd)) {
        HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
        if (hOwner == NULL)
            hOwner = ::GetParent(m_hWnd);
        if (hOwner != NULL)
            return CWnd::FromHandle(hOwner);
    }
    return AfxGetMainWnd();
}

void CXTPCommandBar::ModifyFlags(DWORD dwAdd, DWORD dwRemove)
{
    m_dwFlags = (m_dwFlags & ~dwRemove) | dwAdd;
    OnRecalcLayout();
}

void CXTPCommandBar::SetControls(CXTPControls* pControls)
{
    if (pControls == m_pControls || pControls == NULL)
        return;
    pControls->InternalAddRef();
    if (m_pControls != NULL) {
        m_pControls->SetParent(NULL);
        m_pControls->InternalRelease();
    }
    m_pControls = pControls;
    m_pControls->SetParent(this);
    OnControlsChanged();
}

BOOL CXTPCommandBar::IsCustomizing() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != NULL && pCommandBars->IsCustomizeMode();
}

BOOL CXTPCommandBar::IsHorizontal() const
{
    return m_barPosition == xtpBarTop || m_barPosition == xtpBarBottom || m_barPosition == xtpBarFloating ||
           (m_barPosition == xtpBarPopup && m_barType == xtpBarTypeNormal);
}

BOOL CXTPCommandBar::IsRightToLeft() const
{
    if (::IsWindow(m_hWnd) && (GetExStyle() & WS_EX_LAYOUTRTL) != 0)
        return TRUE;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != NULL && pCommandBars->IsRightToLeft();
}

void CXTPCommandBar::SetShowTextBelowIcons(int nMode)
{
    m_nTextBelowIcons = nMode;
    DelayLayout();
}

BOOL CXTPCommandBar::IsTextBelowIcons() const
{
    if (m_nTextBelowIcons != 2)
        return m_nTextBelowIcons == 1;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != NULL && pCommandBars->GetCommandBarsOptions()->bShowTextBelowIcons;
}

BOOL CXTPCommandBar::IsKeyboardCuesVisible() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars == NULL || pCommandBars->IsKeyboardCuesShown();
}

void CXTPCommandBar::Redraw()
{
    if (m_nLockRedraw > 0) {
        RequestRedraw();
        return;
    }
    if (::IsWindow(m_hWnd)) {
        m_dwStateFlags &= ~2u;
        Invalidate(FALSE);
    }
}

void CXTPCommandBar::UnlockRedraw()
{
    if (m_nLockRedraw > 0 && --m_nLockRedraw == 0 && (m_dwStateFlags & 2) != 0)
        Redraw();
}

void CXTPCommandBar::SetStatusText(const CString& strText)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    CWnd* pSite = GetSite();
    if (pCommandBars == NULL || !pCommandBars->GetCommandBarsOptions()->bStatusBarDescriptions ||
        pSite == NULL || !::IsWindow(pSite->GetSafeHwnd()))
        return;
    if (strText.IsEmpty())
        pSite->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    else
        pSite->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strText)));
}

void CXTPCommandBar::ShowControlDescription(BOOL bSelected, CXTPControl* pControl)
{
    CWnd* pSite = GetSite();
    if (pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()))
        pSite->SendMessage(XTP_WM_CONTROL_SELECTED, bSelected ? reinterpret_cast<WPARAM>(pControl) : 0);
    if (pControl == NULL || pControl->GetIndex() != m_nLastPressed) {
        m_nLastPressed = -1;
        SetStatusText(bSelected && pControl != NULL ? pControl->GetDescription() : CString());
    }
}

BOOL CXTPCommandBar::SetSelected(int nSelected, BOOL bKeyboard)
{
    if (nSelected == m_nSelected)
        return FALSE;
    m_bKeyboardSelect = bKeyboard;
    if (!::IsWindow(m_hWnd))
        return FALSE;
    LockRedraw();
    if (CXTPControl* pOld = GetSelected())
        pOld->SetSelected(0);
    m_nSelected = nSelected;
    if (CXTPControl* pControl = GetSelected()) {
        if (IsTrackingMode())
            CallNotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_MENU, nSelected + 1);
        pControl->SetSelected(bKeyboard ? 2 : 1);
        CXTPMouseManager::GetInstance()->SetSelected(this);
        if (!bKeyboard)
            SetTimer(XTP_TID_HOVER, 300, NULL);
        else
            KillTimer(XTP_TID_HOVER);
    } else {
        KillTimer(XTP_TID_HOVER);
    }
    RequestRedraw();
    UnlockRedraw();
    return TRUE;
}

BOOL CXTPCommandBar::OpenControlPopup(int nIndex, BOOL bKeyboard)
{
    if (nIndex == m_nPopuped)
        return FALSE;
    LockRedraw();
    if (m_nPopuped != -1) {
        auto* pOpen = DYNAMIC_DOWNCAST(CXTPControlPopup, GetControl(m_nPopuped));
        m_nPopuped = -1;
        if (pOpen != NULL)
            pOpen->SetPopupOpen(FALSE);
    }
    BOOL bResult = FALSE;
    if (nIndex != -1) {
        auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, GetControl(nIndex));
        if (pPopup != NULL && pPopup->GetEnabled()) {
            const BOOL bWasTracking = IsTrackingMode();
            m_nPopuped = nIndex;
            SetTracking(2, FALSE, bKeyboard);
            SetSelected(nIndex, bKeyboard);
            m_bKeyboardSelect = bKeyboard;
            if (!pPopup->SetPopupOpen(TRUE) && m_nPopuped == nIndex) {
                m_nPopuped = -1;
                // A popup that cannot show leaves no tracking behind that it started itself.
                if (!bWasTracking)
                    SetTracking(FALSE);
            }
            CXTPCommandBars* pCommandBars = GetCommandBars();
            if (pCommandBars != NULL && pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay &&
                ::IsWindow(m_hWnd))
                SetTimer(XTP_TID_EXPANDED_POPUP, 5000, NULL);
            bResult = TRUE;
        }
    }
    RequestRedraw();
    UnlockRedraw();
    return bResult;
}

BOOL CXTPCommandBar::SetTracking(int nMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    if (m_nTracking != 0 && nMode != 0) {
        m_nTracking = nMode;
        return FALSE;
    }
    if (m_nTracking == nMode)
        return FALSE;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    CWnd* pSite = GetSite();
    if (nMode != 0) {
        if (m_barType == xtpBarTypeMenuBar && pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()))
            pSite->SendMessage(XTP_WM_TRACKING_MENUBAR, reinterpret_cast<WPARAM>(this));
        m_nTracking = nMode;
        m_bTrackOnMouse = !bSelectFirst && !bKeyboard;
        m_bAnimate = m_bTrackOnMouse;
        if (m_bHideCaret) {
            HWND hFocus = ::GetFocus();
            if (hFocus == NULL && pSite != NULL)
                hFocus = pSite->GetSafeHwnd();
            m_hwndCaret = hFocus;
            if (m_hwndCaret != NULL)
                ::HideCaret(m_hwndCaret);
        }
        CXTPMouseManager::GetInstance()->SetTrack(this);
        CXTPKeyboardManager::GetInstance()->HookKeyboard(this);
        ::SetCursor(::LoadCursor(NULL, IDC_ARROW));
        if (bSelectFirst)
            SetSelected(m_pControls->GetNextIndex(-1, 1), TRUE);
    } else {
        m_nTracking = 0;
        m_bTrackOnMouse = FALSE;
        CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
        pMouseManager->RemoveTrack(this);
        CXTPKeyboardManager::GetInstance()->UnhookKeyboard(this);
        OpenControlPopup(-1, FALSE);
        // A bar that stops tracking keeps its highlight only where the mouse rests: the keyboard's
        // place means nothing any more, and no mouse leave is due for an item the mouse is not on.
        if (bSelectFirst || (m_barType != xtpBarTypePopup && !IsSelectedUnderCursor()))
            SetSelected(-1);
        if (m_hwndCaret != NULL) {
            ::ShowCaret(m_hwndCaret);
            m_hwndCaret = NULL;
        }
        if (m_nLockRedraw == 0 && ::IsWindow(m_hWnd))
            Invalidate(FALSE);
        if (pMouseManager->GetTrackedCount() == 0)
            pMouseManager->SetSelected(NULL);
        if (::IsWindow(m_hWnd) && ::GetFocus() == m_hWnd && GetParent() != NULL) {
            // A bar that held the focus (a toolbar in a dialog) hands it to the dialog's next control.
            if (CWnd* pNext = GetParent()->GetNextDlgTabItem(this); pNext != NULL && pNext != this)
                pNext->SetFocus();
        }
        // A field of the bar that still has the keyboard gives it back itself when it lets it go.
        const HWND hFocus = ::GetFocus();
        if (hFocus == NULL || (hFocus != m_hWnd && !::IsChild(m_hWnd, hFocus)))
            m_hwndPreviousFocus = NULL;
        m_nLockCount = 0;
    }
    if (pCommandBars != NULL)
        pCommandBars->OnTrackingModeChanged(this, nMode);
    return TRUE;
}

void CXTPCommandBar::NotePreviousFocus(HWND hWnd)
{
    // The bar itself or one of its own windows would only hand the keyboard back to the bar.
    if (m_hwndPreviousFocus == NULL && hWnd != NULL && hWnd != m_hWnd && !::IsChild(m_hWnd, hWnd))
        m_hwndPreviousFocus = hWnd;
}

HWND CXTPCommandBar::TakePreviousFocus()
{
    const HWND hWnd = m_hwndPreviousFocus;
    m_hwndPreviousFocus = NULL;
    return ::IsWindow(hWnd) ? hWnd : NULL;
}

BOOL CXTPCommandBar::IsSelectedUnderCursor() const
{
    POINT point;
    if (m_nSelected == -1 || !::IsWindow(m_hWnd) || !::GetCursorPos(&point))
        return FALSE;
    if (::WindowFromPoint(point) != m_hWnd)
        return FALSE;
    ScreenToClient(&point);
    const CXTPControl* pControl = HitTest(point);
    return pControl != NULL && pControl->GetIndex() == m_nSelected;
}

int CXTPCommandBar::MapNavigationKey(UINT nChar) const
{
    const BOOL bHorizontal = IsHorizontal();
    const BOOL bRightToLeft = IsRightToLeft();
    switch (nChar) {
    case VK_END:
        return xtpKeyEnd;
    case VK_HOME:
        return xtpKeyHome;
    case VK_LEFT:
        return bHorizontal ? (bRightToLeft ? 0 : 1) : (bRightToLeft ? 3 : 2);
    case VK_UP:
        return bHorizontal ? 2 : 1;
    case VK_RIGHT:
        return bHorizontal ? (bRightToLeft ? 1 : 0) : (bRightToLeft ? 2 : 3);
    case VK_DOWN:
        return bHorizontal ? 3 : 0;
    default:
        return -1;
    }
}

int CXTPCommandBar::OnKeyDown(UINT nChar, LPARAM lParam)
{
    if (IsCustomizing())
        return XTP_HOOK_PASS;
    if (m_nLockCount > 0)
        return XTP_HOOK_HANDLED;
    if (CXTPControl* pHot = GetSelected(); pHot != NULL && pHot->IsFocused()) {
        const int nResult = pHot->OnHookKeyDown(nChar, lParam);
        if (nResult == XTP_HOOK_HANDLED || nResult == XTP_HOOK_PASS)
            return nResult;
    }
    CWnd* pSite = GetSite();
    if (pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()))
        pSite->SendMessage(XTP_WM_COMMANDBARS_KEYDOWN, reinterpret_cast<WPARAM>(&nChar),
                           reinterpret_cast<LPARAM>(this));
    if (!::IsWindow(m_hWnd))
        return XTP_HOOK_HANDLED;

    const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
    const BOOL bControl = ::GetKeyState(VK_CONTROL) < 0;
    if (nChar == VK_TAB) {
        if (bControl && m_barType == xtpBarTypeNormal) {
            MoveToNextToolBar(bShift ? -1 : 1);
            return XTP_HOOK_HANDLED;
        }
        CXTPControl* pLeft = GetSelected();
        ProcessSpecialKey(bShift ? xtpKeyBack : xtpKeyNext);
        PassKeyboardOnTab(pLeft);
        return XTP_HOOK_HANDLED;
    }
    if (nChar == VK_RETURN) {
        ProcessSpecialKey(xtpKeyReturn);
        return XTP_HOOK_HANDLED;
    }
    if (nChar == VK_ESCAPE) {
        ProcessSpecialKey(xtpKeyEscape);
        return XTP_HOOK_HANDLED;
    }
    HWND hFocus = ::GetFocus();
    if (hFocus != NULL && ::IsChild(m_hWnd, hFocus))
        return XTP_HOOK_PASS;
    const int nCode = MapNavigationKey(nChar);
    if (nCode != -1) {
        ProcessSpecialKey(nCode);
        return XTP_HOOK_HANDLED;
    }
    const UINT nCharacter = ::MapVirtualKeyW(nChar, MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (nCharacter != 0 && !bControl) {
        CXTPCommandBars* pCommandBars = GetCommandBars();
        if (m_barType == xtpBarTypeNormal && pCommandBars != NULL && pCommandBars->OnFrameAccel(nChar))
            return XTP_HOOK_HANDLED;
        BOOL bAmbiguous = FALSE;
        const int nIndex = FindAccelerator(nCharacter, &bAmbiguous);
        if (nIndex != -1) {
            SetSelected(nIndex, TRUE);
            if (!bAmbiguous)
                if (CXTPControl* pControl = GetControl(nIndex))
                    pControl->OnUnderlineActivate();
            return XTP_HOOK_HANDLED;
        }
    }
    if (nChar != VK_SHIFT && nChar != VK_CONTROL)
        ::MessageBeep(0);
    return XTP_HOOK_HANDLED;
}

void CXTPCommandBar::MoveToNextToolBar(int nDirection)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL)
        return;
    const int nCount = pCommandBars->GetCount();
    const int nIndex = pCommandBars->FindIndex(this);
    CXTPCommandBar* pNext = NULL;
    for (int i = 1; i < nCount && pNext == NULL; ++i) {
        CXTPCommandBar* pBar = pCommandBars->GetAt(((nIndex + nDirection * i) % nCount + nCount) % nCount);
        if (pBar != this && pBar->GetType() == xtpBarTypeNormal && pBar->IsVisible() &&
            ::IsWindow(pBar->GetSafeHwnd()) && pBar->IsWindowVisible())
            pNext = pBar;
    }
    if (pNext == NULL)
        return;
    SetTracking(FALSE, TRUE);
    pNext->SetTracking(TRUE, TRUE, TRUE);
}

void CXTPCommandBar::PassKeyboardOnTab(CXTPControl* pLeft)
{
    CXTPControl* pHot = GetSelected();
    if (pHot == pLeft || !::IsWindow(m_hWnd))
        return;
    const BOOL bLeftFocused = pLeft != NULL && pLeft->IsFocused();
    const BOOL bTake = pHot != NULL && pHot->CanTakeFocus();
    if (!bLeftFocused && !bTake)
        return;
    // The keyboard moves within the bar: the field left behind must not send it back to the window
    // the bar took it from, which is still the one to return to at the end.
    const HWND hwndPrevious = m_hwndPreviousFocus;
    InternalAddRef();
    if (bTake)
        pHot->SetFocused(TRUE);
    else if ((GetStyle() & WS_TABSTOP) != 0 && (GetStyle() & WS_CHILD) != 0)
        SetFocus();
    else
        pLeft->SetFocused(FALSE);
    if (bTake || ::GetFocus() == m_hWnd)
        if (m_hwndPreviousFocus == NULL && ::IsWindow(hwndPrevious))
            m_hwndPreviousFocus = hwndPrevious;
    InternalRelease();
}

int CXTPCommandBar::FindAccelerator(UINT chAccel, BOOL* pbAmbiguous) const
{
    const WCHAR chKey = static_cast<WCHAR>(reinterpret_cast<UINT_PTR>(
        ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(chAccel & 0xFFFF)))));
    CXTPCommandBars* pCommandBars = GetCommandBars();
    const long nCuesUse = pCommandBars != NULL ? pCommandBars->GetCommandBarsOptions()->keyboardCuesUse : 1;
    int nExplicit = -1, nImplicit = -1;
    *pbAmbiguous = FALSE;
    const int nStart = m_nSelected;
    int nIndex = nStart;
    int nFirst = -1;
    for (int nStep = 0; nStep < GetControlCount(); ++nStep) {
        nIndex = m_pControls->GetNextIndex(nIndex, 1);
        // The walk ends after the selected control itself was tried, last.
        if (nIndex == -1 || (nStep > 0 && nIndex == nFirst))
            break;
        if (nStep == 0)
            nFirst = nIndex;
        CXTPControl* pControl = GetControl(nIndex);
        if (!pControl->GetEnabled())
            continue;
        BOOL bExplicit = FALSE;
        const WCHAR chControl =
            AccessKeyOf(pControl->IsCaptionVisible() ? pControl->GetCaption() : CString(), bExplicit);
        if (chControl == 0 || chControl != chKey)
            continue;
        if (bExplicit) {
            if (nExplicit != -1) {
                *pbAmbiguous = TRUE;
                break;
            }
            nExplicit = nIndex;
        } else if ((nCuesUse & 4) == 0 && (m_barType != xtpBarTypePopup || IsTrackingMode())) {
            if (nImplicit != -1)
                *pbAmbiguous = TRUE;
            else
                nImplicit = nIndex;
        }
    }
    if (nExplicit != -1) {
        if (nImplicit != -1 && !*pbAmbiguous)
            *pbAmbiguous = FALSE;
        return nExplicit;
    }
    return nImplicit;
}

BOOL CXTPCommandBar::ProcessSpecialKey(int nKey)
{
    switch (nKey) {
    case xtpKeyNext:
    case xtpKeyBack: {
        const int nIndex = m_pControls->GetNextIndex(m_nSelected, nKey == xtpKeyNext ? 1 : -1);
        if (nIndex != -1)
            SetSelected(nIndex, TRUE);
        return TRUE;
    }
    case 2:
        if (m_nPopuped != -1) {
            OpenControlPopup(-1, TRUE);
            return TRUE;
        }
        return FALSE;
    case 3: {
        CXTPControl* pControl = GetSelected();
        if (pControl != NULL && m_nPopuped != m_nSelected &&
            DYNAMIC_DOWNCAST(CXTPControlPopup, pControl) != NULL) {
            SetSelected(m_nSelected, TRUE);
            OpenControlPopup(m_nSelected, TRUE);
            return TRUE;
        }
        return FALSE;
    }
    case xtpKeyEscape:
        if (CXTPCommandBar* pParentBar = GetParentBar())
            pParentBar->SetTracking(2, FALSE, TRUE);
        SetTracking(FALSE);
        SetSelected(-1);
        return TRUE;
    case xtpKeyReturn:
        if (CXTPControl* pControl = GetSelected()) {
            SetSelected(pControl->GetIndex(), TRUE);
            pControl->OnClick(TRUE);
        }
        return TRUE;
    case xtpKeyHome:
        SetSelected(m_pControls->GetNextIndex(-1, 1), TRUE);
        return TRUE;
    case xtpKeyEnd:
        SetSelected(m_pControls->GetNextIndex(-1, -1), TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

int CXTPCommandBar::OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT&)
{
    if (!IsTrackingMode())
        return XTP_HOOK_NEXT;
    if (nMessage == WM_KEYDOWN)
        return OnKeyDown(static_cast<UINT>(wParam), lParam);
    if (nMessage == WM_MOUSEWHEEL)
        return XTP_HOOK_HANDLED;
    return XTP_HOOK_NEXT;
}

void CXTPCommandBar::OnControlsChanged()
{
    m_nSelected = -1;
    m_nPopuped = -1;
    DelayLayout();
}

void CXTPCommandBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    m_nBarID = pCommandBar->m_nBarID;
    m_dwFlags = pCommandBar->m_dwFlags;
    m_dwStyle = pCommandBar->m_dwStyle;
    m_strTitle = pCommandBar->m_strTitle;
    m_bCustomizable = pCommandBar->m_bCustomizable;
    m_nMRUWidth = pCommandBar->m_nMRUWidth;
    m_barPosition = pCommandBar->m_barPosition;
    m_barType = pCommandBar->m_barType;
    m_pCommandBars = pCommandBar->m_pCommandBars;
    CXTPControls* pControls = pCommandBar->m_pControls->Duplicate(bRecursive);
    SetControls(pControls);
    pControls->InternalRelease();
}

CXTPCommandBar* CXTPCommandBar::Clone(BOOL bRecursive)
{
    auto* pBar = static_cast<CXTPCommandBar*>(GetRuntimeClass()->CreateObject());
    if (pBar != NULL)
        pBar->Copy(this, bRecursive);
    return pBar;
}

BOOL CXTPCommandBar::HitTestBar(CPoint point) const
{
    if (!::IsWindow(m_hWnd))
        return FALSE;
    CRect rect;
    GetWindowRect(&rect);
    return rect.PtInRect(point);
}

void CXTPCommandBar::UpdateDocTemplateControls()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    const UINT nTemplate = pCommandBars != NULL ? pCommandBars->GetActiveDocTemplate() : 0;
    if (nTemplate == 0)
        return;
    BOOL bChanged = FALSE;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        const DWORD dwHideFlags = pControl->GetHideFlags();
        const std::set<UINT>& assigned = pControl->GetDocTemplatesAssigned();
        const std::set<UINT>& excluded = pControl->GetDocTemplatesExcluded();
        if (!assigned.empty())
            pControl->SetHideFlag(xtpHideDocTemplate, assigned.count(nTemplate) == 0);
        if (!excluded.empty())
            pControl->SetHideFlag(xtpHideDocTemplate, excluded.count(nTemplate) != 0);
        bChanged |= pControl->GetHideFlags() != dwHideFlags;
    }
    if (bChanged)
        DelayLayout();
}

void CXTPCommandBar::OnUpdateCmdUI(BOOL bDisableIfNoHandler)
{
    if (!::IsWindow(m_hWnd) || !IsWindowVisible())
        return;
    UpdateDocTemplateControls();
    CWnd* pTarget = GetSite();
    if (pTarget == NULL)
        return;
    const BOOL bCustomizing = IsCustomizing();
    const CXTPCommandBar* pRoot = this;
    while (pRoot->GetParentBar() != NULL)
        pRoot = pRoot->GetParentBar();
    BOOL bRedraw = FALSE;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetPressed() != 0 && !IsTrackingMode() && ::GetCapture() != m_hWnd) {
            pControl->SetPressed(0);
            bRedraw = TRUE;
        }
        if ((pControl->GetFlags() & xtpFlagManualUpdate) != 0 || pRoot->m_bNoNotify)
            continue;
        CXTPControlCmdUI state(pControl);
        if (OnCmdMsg(0, MAKELONG(CN_UPDATE_COMMAND_UI, WM_COMMAND + WM_REFLECT_BASE), &state, NULL))
            continue;
        if (OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, NULL))
            continue;
        if (bCustomizing)
            pControl->SetEnabled(TRUE);
        else
            state.DoUpdate(pTarget, bDisableIfNoHandler);
    }
    if (bRedraw)
        Redraw();
    if (m_dwStateFlags & 1) {
        m_dwStateFlags &= ~1u;
        OnRecalcLayout();
    }
    UpdateDialogControls(pTarget, bDisableIfNoHandler);
}

void CXTPCommandBar::DrawCommandBar(CDC* pDC, CRect)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    if (pPaintManager == NULL)
        return;
    pPaintManager->FillCommandBar(pDC, this);
    if ((m_dwStyle & XTP_BAR_STYLE_GRIPPER) != 0 && m_barPosition != xtpBarPopup)
        pPaintManager->DrawCommandBarGripper(pDC, this, TRUE);
    CXTFontSelector font(pDC, pPaintManager->GetRegularFont());
    BOOL bFirst = TRUE;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (!pControl->IsVisible())
            continue;
        if (pControl->GetBeginGroup() && !bFirst && !pControl->GetWrap())
            pPaintManager->DrawCommandBarSeparator(pDC, this, pControl, TRUE);
        bFirst = FALSE;
        pControl->Draw(pDC);
    }
    DrawCustomizeMark(pDC);
}

LRESULT CXTPCommandBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pToolTipController != NULL && ::IsWindow(m_hWnd))
        m_pToolTipController->RelayToolTipMessage(this, message, wParam, lParam);
    switch (message) {
    case WM_PRINT:
    case WM_PRINTCLIENT: {
        CDC* pDC = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
        CRect rect;
        GetClientRect(&rect);
        DrawCommandBar(pDC, rect);
        return 0;
    }
    case WM_IDLEUPDATECMDUI:
    case WM_INITIALUPDATE:
        OnUpdateCmdUI(TRUE);
        return 0;
    case WM_GETOBJECT:
        return OnGetObject(wParam, lParam);
    case WM_RBUTTONDOWN: {
        // In customise mode a right click selects the control for editing and opens the sheet's
        // context menu of it.
        CXTPCommandBars* pCommandBars = GetCommandBars();
        if (pCommandBars == NULL || !pCommandBars->IsCustomizeMode() || !IsCustomizable())
            break;
        const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        CXTPControl* pControl = HitTest(point);
        if (pControl == NULL || !pControl->IsVisible() || (pControl->GetFlags() & xtpFlagNoMovable) != 0)
            return 0;
        OpenControlPopup(-1, FALSE);
        SetSelected(-1);
        pCommandBars->SetDragControl(pControl);
        if (CXTPCustomizeSheet* pSheet = pCommandBars->GetCustomizeSheet()) {
            CPoint ptScreen(point);
            ClientToScreen(&ptScreen);
            pSheet->ShowContextMenu(ptScreen);
        }
        return 0;
    }
    case WM_HELPHITTEST:
        return OnHelpHitTest(lParam);
    case WM_MOUSELEAVE:
    case WM_NCMOUSEMOVE: {
        const CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
        const BOOL bOtherTracks = pMouseManager->GetTrackedCount() > 0 && !pMouseManager->IsBarTracked(this);
        const BOOL bKeep =
            (IsTrackingMode() && (m_barType != xtpBarTypePopup || m_nPopuped != -1)) || m_nLockCount > 0;
        if (!bOtherTracks && !bKeep)
            SetSelected(-1);
        if (message == WM_MOUSELEAVE)
            return 0;
        break;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

int CXTPCommandBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        m_pToolTipController = pCommandBars->GetToolTipController();
        if (m_pToolTipController != NULL)
            m_pToolTipController->InternalAddRef();
        pCommandBars->GetDropSource()->Register(this);
    }
    return 0;
}

void CXTPCommandBar::OnDestroy()
{
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->GetDropSource()->Unregister(this);
    if (IsTrackingMode())
        SetTracking(FALSE);
    if (m_pToolTipController != NULL) {
        m_pToolTipController->InternalRelease();
        m_pToolTipController = NULL;
    }
    CWnd::OnDestroy();
}

void CXTPCommandBar::OnMouseMove(UINT nFlags, CPoint point)
{
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    if (pMouseManager->IsOutsideTracking(this) || m_nLockCount > 0)
        return;
    CWnd* pSite = GetSite();
    if (m_barType != xtpBarTypePopup && pSite != NULL &&
        ::GetActiveWindow() != pSite->GetTopLevelParent()->GetSafeHwnd())
        return;
    if (IsTrackingMode() && (m_barType != xtpBarTypePopup) && (m_nPopuped != -1 || m_bKeyboardSelect) &&
        HitTest(point) == NULL)
        return;
    CXTPControl* pControl = HitTest(point);
    if (pControl != NULL) {
        pMouseManager->TrackMouseLeave(m_hWnd);
        if (IsTrackingMode() && m_nPopuped != -1 && pControl->GetIndex() != m_nPopuped &&
            DYNAMIC_DOWNCAST(CXTPControlPopup, pControl) != NULL) {
            // Moving over another popup of the menu bar switches the open menu.
            OpenControlPopup(pControl->GetIndex(), FALSE);
            return;
        }
    }
    if (IsTrackingMode() && m_barType != xtpBarTypePopup && pControl == NULL)
        return;
    SetSelected(pControl != NULL ? pControl->GetIndex() : -1, FALSE);
    CWnd::OnMouseMove(nFlags, point);
}

void CXTPCommandBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    CXTPControl* pControl = HitTest(point);
    if (pControl == NULL) {
        CWnd::OnLButtonDown(nFlags, point);
        return;
    }
    if (IsAltDragCustomization(pControl)) {
        CXTPCommandBars* pCommandBars = GetCommandBars();
        pCommandBars->SetCustomizeMode(TRUE);
        OpenControlPopup(-1, FALSE);
        SetSelected(-1);
        CustomizeDrag(pControl);
        pCommandBars->SetCustomizeMode(FALSE);
        pCommandBars->RecalcFrameLayout();
        pCommandBars->ClosePopups();
        return;
    }
    if (IsCustomizing() && (!IsCustomizable() || (pControl->GetFlags() & xtpFlagNoMovable) != 0))
        return;
    pControl->OnClick(FALSE, point);
}

BOOL CXTPCommandBar::IsAltDragCustomization(CXTPControl* pControl) const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    return pCommandBars != NULL && !IsCustomizing() && m_barType == xtpBarTypeNormal && IsCustomizable() &&
           (pControl->GetFlags() & xtpFlagNoMovable) == 0 && pCommandBars->IsCustomizeCommandHandled() &&
           pCommandBars->GetCommandBarsOptions()->bAltDragCustomization && ::GetKeyState(VK_MENU) < 0;
}

void CXTPCommandBar::CustomizeDrag(CXTPControl* pControl)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    CXTPControl* pOldDrag = pCommandBars->GetDragControl();
    if (pOldDrag != NULL)
        pOldDrag->InternalAddRef();
    pCommandBars->SetDragControl(pControl);
    // The drop may remove the control from this bar while it is still read here.
    pControl->InternalAddRef();
    const int nEffect = pCommandBars->GetDropSource()->DoDragDrop(pControl);
    if (nEffect == XTP_DROPEFFECT_NONE && pControl->GetParent() == this) {
        // Dropped over no bar: the control leaves its bar; a group it began starts at the next one.
        OpenControlPopup(-1, FALSE);
        SetSelected(-1);
        if (pCommandBars->GetDragControl() == pControl)
            pCommandBars->SetDragControl(NULL);
        CXTPControl* pNext = GetControl(pControl->GetIndex() + 1);
        if (pControl->GetBeginGroup() && pNext != NULL)
            pNext->SetBeginGroup(TRUE);
        if (pControl->GetIndex() == 0 && pNext != NULL)
            pNext->SetBeginGroup(FALSE);
        m_pControls->Remove(pControl);
        OnRecalcLayout();
        Redraw();
    } else if (nEffect == XTP_DROPEFFECT_CANCEL) {
        pCommandBars->SetDragControl(pOldDrag);
    }
    pControl->InternalRelease();
    if (pOldDrag != NULL)
        pOldDrag->InternalRelease();
}

void CXTPCommandBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (IsCustomizing())
        return;
    if (CXTPControl* pControl = HitTest(point))
        pControl->OnMouseRelease(point);
    else
        CWnd::OnLButtonUp(nFlags, point);
}

void CXTPCommandBar::OnLButtonDblClk(UINT, CPoint point)
{
    if (IsCustomizing())
        return;
    if (CXTPControl* pControl = HitTest(point))
        pControl->OnLButtonUp(point);
}

void CXTPCommandBar::OnRButtonUp(UINT nFlags, CPoint point)
{
    if (IsCustomizing())
        return;
    CXTPControl* pControl = HitTest(point);
    if (pControl == NULL) {
        CWnd::OnRButtonUp(nFlags, point);
        return;
    }
    CWnd* pSite = GetSite();
    if (pSite != NULL && pSite->SendMessage(XTP_WM_CONTROL_RCLICK, reinterpret_cast<WPARAM>(&point),
                                            reinterpret_cast<LPARAM>(pControl)) == 1)
        return;
    if (m_bRightButton)
        pControl->OnMouseRelease(point);
}

LRESULT CXTPCommandBar::OnNcHitTest(CPoint point)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL || pCommandBars->GetCustomizeSheet() == NULL)
        return CWnd::OnNcHitTest(point);
    // While the customise sheet is open a popup without a command answers as a menu, so that its
    // press comes here as a non-client one.
    ScreenToClient(&point);
    CXTPControl* pControl = HitTest(point);
    if (pControl != NULL && pControl->GetID() == 0 && DYNAMIC_DOWNCAST(CXTPControlPopup, pControl) != NULL)
        return HTMENU;
    return HTCLIENT;
}

void CXTPCommandBar::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL || pCommandBars->GetCustomizeSheet() == NULL) {
        CWnd::OnNcLButtonDown(nHitTest, point);
        return;
    }
    ScreenToClient(&point);
    OnLButtonDown(MK_LBUTTON, point);
}

void CXTPCommandBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == XTP_TID_HOVER) {
        if (m_nLockCount == 0) {
            KillTimer(XTP_TID_HOVER);
            if (CXTPControl* pControl = GetSelected())
                pControl->OnMouseHoverClose();
        }
        return;
    }
    if (nIDEvent == XTP_TID_EXPANDED_POPUP) {
        if (m_nLockCount != 0)
            return;
        KillTimer(XTP_TID_EXPANDED_POPUP);
        // The menu still open under the cursor shows its hidden commands too.
        CXTPControl* pHot = GetSelected();
        if (pHot == NULL || m_nPopuped == -1 || pHot->GetIndex() != m_nPopuped ||
            pHot->GetType() != xtpControlPopup)
            return;
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        if (!pHot->GetRect().PtInRect(point))
            return;
        if (auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pHot->GetCommandBar()))
            pPopupBar->ExpandBar();
        return;
    }
    CWnd::OnTimer(nIDEvent);
}

void CXTPCommandBar::OnPaint()
{
    CPaintDC paintDC(this);
    CRect rect;
    GetClientRect(&rect);
    if (rect.IsRectEmpty())
        return;
    CDC memDC;
    memDC.CreateCompatibleDC(&paintDC);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&paintDC, rect.Width(), rect.Height());
    CBitmap* pOldBitmap = memDC.SelectObject(&bitmap);
    DrawCommandBar(&memDC, rect);
    paintDC.BitBlt(0, 0, rect.Width(), rect.Height(), &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOldBitmap);
}

BOOL CXTPCommandBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}
