#include "command_bars.h"

#include "draw_helpers.h"
#include "image_manager.h"
#include "tool_bar_drag_tracker.h"

#include <afxpriv.h>

#include <algorithm>

IMPLEMENT_SERIAL(CXTPToolBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 16)

// clang-format off
BEGIN_MESSAGE_MAP(CXTPToolBar, CXTPCommandBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_WM_RBUTTONDOWN()
    ON_WM_CLOSE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()
// clang-format on

CXTPToolBar::CXTPToolBar() : m_szIcons(0, 0), m_szButtons(0, 0)
{
    m_dwStyle = XTP_BAR_STYLE_GRIPPER | XTP_BAR_STYLE_CLOSE_BUTTON;
    m_barType = xtpBarTypeNormal;
    m_rcDocked.SetRectEmpty();
}

CXTPToolBar::~CXTPToolBar()
{
    RemoveFromDockBar();
    delete m_pDragTracker;
}

BOOL CXTPToolBar::CreateToolBar(DWORD dwStyle, CWnd* pParentWnd, UINT nID)
{
    const LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW));
    const DWORD dwExStyle =
        GetCommandBars() != NULL && GetCommandBars()->IsRightToLeft() ? WS_EX_LAYOUTRTL : 0;
    return CreateEx(dwExStyle, lpszClass, m_strTitle, dwStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CXTPToolBar::SetButtons(const UINT* pButtons, int nCount)
{
    m_pControls->RemoveAll();
    BOOL bBeginGroup = FALSE;
    CWnd* pSite = GetSite();
    for (int i = 0; i < nCount; ++i) {
        if (pButtons[i] == 0) {
            bBeginGroup = TRUE;
            continue;
        }
        XTP_COMMANDBARS_CREATECONTROL create{};
        create.nID = pButtons[i];
        create.controlType = xtpControlButton;
        create.nIndex = static_cast<UINT>(i);
        create.bToolBar = TRUE;
        create.bBeginGroup = bBeginGroup;
        create.pCommandBar = this;
        create.strCaption = m_strTitle;
        const BOOL bSite = pSite != NULL && ::IsWindow(pSite->GetSafeHwnd());
        CXTPControl* pControl = NULL;
        if (bSite &&
            pSite->SendMessage(XTP_WM_BEFORE_CREATE_CONTROL, 0, reinterpret_cast<LPARAM>(&create)) != 0 &&
            create.pControl != NULL)
            pControl =
                m_pControls->AddControl(create.pControl, static_cast<int>(pButtons[i]), create.strParameter);
        else
            pControl = m_pControls->Add(xtpControlButton, static_cast<int>(pButtons[i]), create.strParameter);
        if (pControl != NULL && bBeginGroup)
            pControl->SetBeginGroup(TRUE);
        create.pControl = pControl;
        if (bSite)
            pSite->SendMessage(XTP_WM_AFTER_CREATE_CONTROL, 0, reinterpret_cast<LPARAM>(&create));
        bBeginGroup = FALSE;
    }
    return TRUE;
}

BOOL CXTPToolBar::ReadToolBarResource(HINSTANCE hInst, UINT nIDResource, CSize& szImage,
                                      std::vector<UINT>& ids)
{
    HRSRC hResource = ::FindResourceW(hInst, MAKEINTRESOURCEW(nIDResource), RT_TOOLBAR);
    if (hResource == NULL)
        return FALSE;
    const DWORD dwSize = ::SizeofResource(hInst, hResource);
    HGLOBAL hGlobal = ::LoadResource(hInst, hResource);
    const auto* pWords = hGlobal != NULL ? static_cast<const WORD*>(::LockResource(hGlobal)) : NULL;
    // Version, image width and height, count, then the ids: a header or list past the end is refused.
    if (pWords == NULL || dwSize < 8 || pWords[0] != 1 || static_cast<DWORD>(pWords[3]) * 2 + 8 > dwSize)
        return FALSE;
    szImage = CSize(pWords[1], pWords[2]);
    ids.assign(pWords + 4, pWords + 4 + pWords[3]);
    return TRUE;
}

BOOL CXTPToolBar::LoadToolBar(UINT nIDResource, BOOL bLoadIcons)
{
    const LPCTSTR lpszResource = MAKEINTRESOURCE(nIDResource);
    HINSTANCE hInst = AfxFindResourceHandle(lpszResource, RT_TOOLBAR);
    CSize szImage;
    std::vector<UINT> ids;
    if (!ReadToolBarResource(hInst, nIDResource, szImage, ids))
        return FALSE;
    m_nBarID = nIDResource;
    SetButtons(ids.data(), static_cast<int>(ids.size()));
    if (bLoadIcons) {
        std::vector<UINT> commands;
        for (UINT nId : ids)
            if (nId != 0)
                commands.push_back(nId);
        HINSTANCE hBitmapInst = AfxFindResourceHandle(lpszResource, RT_BITMAP);
        if (!GetImageManager()->AddIconsFromBitmap(hBitmapInst, nIDResource, commands.data(),
                                                   static_cast<int>(commands.size()), szImage.cx, szImage.cy))
            return FALSE;
        if (szImage.cx != 16)
            SetButtonSize(szImage);
    }
    m_pControls->CreateOriginalControls();
    DelayLayout();
    OnRecalcLayout();
    return TRUE;
}

CSize CXTPToolBar::GetIconSize() const
{
    if (m_szIcons.cx > 0)
        return m_szIcons;
    // A bar whose buttons were sized for its images (a resource of images other than 16 wide) draws
    // those images at the size they were cut, not at the options' size for every bar.
    if (m_szButtons.cx > 0 && m_barType != xtpBarTypePopup)
        return m_szButtons;
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL)
        return CSize(16, 16);
    const CXTPCommandBarsOptions* pOptions = pCommandBars->GetCommandBarsOptions();
    CSize size = m_barType == xtpBarTypePopup
                     ? pOptions->szPopupIcons
                     : (pOptions->szIcons.cx > 0 ? pOptions->szIcons : CSize(16, 16));
    if (pOptions->bLargeIcons && m_szButtons.cx == 0)
        size = pOptions->szLargeIcons.cx > 0 ? pOptions->szLargeIcons : CSize(size.cx * 2, size.cy * 2);
    return size;
}

CSize CXTPToolBar::GetButtonSize() const
{
    if (m_szButtons.cx > 0)
        return m_szButtons;
    const CSize szIcon = GetIconSize();
    return CSize(szIcon.cx + 7, szIcon.cy + 7);
}

void CXTPToolBar::SetVisible(BOOL bVisible)
{
    if (m_bVisible == bVisible && ::IsWindow(m_hWnd) && (IsWindowVisible() != 0) == (bVisible != 0))
        return;
    m_bVisible = bVisible;
    if (!bVisible && IsTrackingMode())
        SetTracking(FALSE);
    if (::IsWindow(m_hWnd))
        ShowWindow(bVisible ? SW_SHOWNA : SW_HIDE);
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != NULL && m_pDockBar != NULL)
        pCommandBars->RecalcFrameLayout();
    CWnd* pSite = GetSite();
    if (pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()))
        pSite->SendMessage(XTP_WM_COMMANDBARS_SHOWHIDE, reinterpret_cast<WPARAM>(this), bVisible);
    if (!bVisible && m_bRemoveWhenHidden && pCommandBars != NULL)
        pCommandBars->Remove(this);
}

BOOL CXTPToolBar::SetPosition(XTPBarPosition barPosition)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL)
        return FALSE;
    if (barPosition >= xtpBarTop && barPosition <= xtpBarRight)
        return pCommandBars->DockCommandBar(this, barPosition);
    if (barPosition == xtpBarFloating)
        return pCommandBars->FloatCommandBar(this);
    return FALSE;
}

void CXTPToolBar::OnRecalcLayout()
{
    if (!::IsWindow(m_hWnd))
        return;
    if (m_barPosition == xtpBarFloating) {
        const CSize size = CalcDynamicLayout(-1, LM_MRUWIDTH | LM_HORZ | LM_COMMIT);
        CRect rect;
        GetWindowRect(&rect);
        SetWindowPos(NULL, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Redraw();
    } else if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        pCommandBars->RecalcFrameLayout();
    }
}

CXTPControl* CXTPToolBar::GetExpandButton(BOOL bCreate)
{
    CXTPControl* pButton = m_pControls->FindControl(XTP_ID_TOOLBAR_EXPAND);
    if (pButton == NULL && bCreate) {
        pButton = new CXTPControlExpandButton;
        m_pControls->AddControl(pButton, XTP_ID_TOOLBAR_EXPAND, NULL, -1, TRUE);
        pButton->SetTooltip(L"Toolbar Options");
    }
    return pButton;
}

CXTPControl* CXTPToolBar::GetCloseButton(BOOL bCreate)
{
    CXTPControl* pButton = m_pControls->FindControl(XTP_ID_TOOLBAR_HIDE);
    if (pButton == NULL && bCreate) {
        pButton = new CXTPControlCloseButton;
        pButton->SetFlags(0x1A);
        m_pControls->AddControl(pButton, XTP_ID_TOOLBAR_HIDE, NULL, -1, TRUE);
        pButton->SetTooltip(L"Close");
    }
    return pButton;
}

CSize CXTPToolBar::CalcDockingLayout(int nLength, DWORD dwMode, int nWidth)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    CRect rcBorder = pPaintManager->GetCommandBarBorders(this);
    const BOOL bVertical = (dwMode & LM_VERTDOCK) != 0;
    if (m_dwStyle & XTP_BAR_STYLE_GRIPPER) {
        const CSize szGripper = pPaintManager->DrawCommandBarGripper(NULL, this, FALSE);
        rcBorder.left += szGripper.cx;
        rcBorder.top += szGripper.cy;
    }
    if (CXTPControl* pClose = GetCloseButton(FALSE))
        pClose->SetHideFlag(xtpHideGeneric, TRUE);

    CWindowDC dc(NULL);
    CXTFontSelector font(&dc, pPaintManager->GetRegularFont());
    CXTPCommandBars* pCommandBars = GetCommandBars();
    CXTPControl* pExpand = NULL;
    if (m_bShowExpandButton && pCommandBars != NULL) {
        pExpand = GetExpandButton(TRUE);
        pExpand->SetHideFlag(xtpHideGeneric, TRUE);
    }
    const BOOL bAlways =
        pCommandBars == NULL || pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways;
    if (pExpand != NULL && !bAlways) {
        if ((dwMode & LM_COMMIT) == 0) {
            CSize size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
            if (m_pControls->GetVisibleCount(FALSE) > 1) {
                const CSize szMin = m_pControls->CalcDynamicSize(&dc, 1, dwMode, rcBorder, nWidth);
                if (bVertical)
                    size.cy = std::max(size.cy, szMin.cy + 11);
                else
                    size.cx = std::max(size.cx, szMin.cx + 11);
            }
            return size;
        }
        const CSize size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
        BOOL bHidden = FALSE;
        for (int i = 0; i < GetControlCount(); ++i)
            if (GetControl(i)->GetHideFlags() & xtpHideWrap)
                bHidden = TRUE;
        if (!bHidden)
            return size;
    }
    if (pExpand == NULL)
        return m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);

    // The expand button takes 11 pixels at the far end.
    CRect rcControls(rcBorder);
    if (bVertical)
        rcControls.bottom += 11;
    else
        rcControls.right += 11;
    CSize size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcControls, nWidth);
    if (dwMode & LM_COMMIT) {
        pExpand->SetHideFlag(xtpHideGeneric, FALSE);
        CRect rect = bVertical ? CRect(rcBorder.left, size.cy - rcBorder.bottom - 11 - 2,
                                       size.cx - rcBorder.right, size.cy - rcBorder.bottom)
                               : CRect(size.cx - rcBorder.right - 11 - 2, rcBorder.top,
                                       size.cx - rcBorder.right, size.cy - rcBorder.bottom);
        pExpand->SetRect(rect);
    }
    return size;
}

CSize CXTPToolBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    const CSize szCaption = pPaintManager->DrawCommandBarGripper(NULL, this, FALSE);
    const int nCaption = std::max(15, static_cast<int>(szCaption.cy));
    CRect rcBorder(3, nCaption + 4, 3, 3);
    CWindowDC dc(NULL);
    CXTFontSelector font(&dc, pPaintManager->GetRegularFont());
    CXTPControl* pClose = NULL;
    if (m_barType != xtpBarTypeMenuBar && (m_dwStyle & XTP_BAR_STYLE_CLOSE_BUTTON)) {
        pClose = GetCloseButton(TRUE);
        pClose->SetHideFlag(xtpHideGeneric, TRUE);
    }
    CXTPControl* pExpand = m_bShowExpandButton ? GetExpandButton(TRUE) : NULL;
    if (pExpand != NULL)
        pExpand->SetHideFlag(xtpHideGeneric, TRUE);
    const CSize size = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, 0);
    if (dwMode & LM_COMMIT) {
        int nRight = size.cx - 3;
        if (pClose != NULL) {
            pClose->SetHideFlag(xtpHideGeneric, FALSE);
            pClose->SetRect(CRect(size.cx - 3 - nCaption, 3, size.cx - 3, 3 + nCaption));
            nRight -= nCaption;
        }
        CXTPCommandBars* pCommandBars = GetCommandBars();
        if (pExpand != NULL &&
            (pCommandBars == NULL || pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways)) {
            pExpand->SetHideFlag(xtpHideGeneric, FALSE);
            pExpand->SetRect(CRect(nRight - nCaption, 3, nRight, 3 + nCaption));
        }
    }
    return size;
}

LRESULT CXTPToolBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (pLayout == NULL || !IsVisible() || !(GetStyle() & WS_VISIBLE))
        return 0;
    DWORD dwMode = LM_HORZDOCK | LM_HORZ | LM_COMMIT;
    if (m_dwFlags & xtpFlagHideWrap)
        dwMode |= XTP_LM_SHRINK;
    if (m_dwFlags & xtpFlagStretched)
        dwMode |= LM_STRETCH;
    if (pLayout->hDWP == NULL)
        dwMode &= ~static_cast<DWORD>(LM_COMMIT);
    CRect rect(pLayout->rect);
    CSize size = CalcDockingLayout(rect.Width(), dwMode);
    size.cx = std::min(size.cx, static_cast<LONG>(rect.Width()));
    size.cy = std::min(size.cy, static_cast<LONG>(rect.Height()));
    pLayout->rect.top += size.cy;
    pLayout->sizeTotal.cy += size.cy;
    pLayout->sizeTotal.cx = std::max(pLayout->sizeTotal.cx, size.cx);
    if (pLayout->hDWP != NULL) {
        const CRect rcBar(rect.left, rect.top, rect.left + size.cx, rect.top + size.cy);
        AfxRepositionWindow(pLayout, m_hWnd, &rcBar);
    }
    m_dwStateFlags &= ~2u;
    if (m_nLockRedraw == 0)
        Invalidate(FALSE);
    return 0;
}

void CXTPToolBar::OnRButtonDown(UINT nFlags, CPoint point)
{
    if (IsCustomizing()) {
        CXTPCommandBar::OnRButtonDown(nFlags, point);
        return;
    }
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        pCommandBars->ClosePopups();
        SetSelected(-1);
        Redraw();
        CPoint ptScreen(point);
        ClientToScreen(&ptScreen);
        pCommandBars->ShowContextMenu(this, ptScreen);
    }
}

void CXTPToolBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPCommandBar::Copy(pCommandBar, bRecursive);
    if (auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pCommandBar)) {
        m_bCanReset = pToolBar->m_bCanReset;
        m_bRemoveWhenHidden = pToolBar->m_bRemoveWhenHidden;
        m_dwStyle = (m_dwStyle & ~static_cast<DWORD>(XTP_BAR_STYLE_CLOSE_BUTTON)) |
                    (pToolBar->m_dwStyle & XTP_BAR_STYLE_CLOSE_BUTTON);
    }
}

void CXTPToolBar::SetFloating(CWnd* pFrame, BOOL bFloating)
{
    if (!::IsWindow(m_hWnd)) {
        const LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW));
        const DWORD dwExStyle =
            GetCommandBars() != NULL && GetCommandBars()->IsRightToLeft() ? WS_EX_LAYOUTRTL : 0;
        CreateEx(dwExStyle, lpszClass, m_strTitle, 0x86000100 & ~WS_VISIBLE, CRect(0, 0, 100, 100), pFrame,
                 0);
    }
    if (bFloating) {
        // Reparented while it is still a child: a top-level window that changes parent is
        // activated by the system, and the bar never is.
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, 0);
        ::SetParent(m_hWnd, NULL);
        ModifyStyle(WS_CHILD, WS_POPUP | 0x100);
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(pFrame->GetSafeHwnd()));
    } else {
        ModifyStyle(WS_POPUP, WS_CHILD);
    }
}

void CXTPToolBar::RemoveFromDockBar()
{
    if (m_pDockBar != NULL)
        m_pDockBar->RemoveCommandBar(this);
    m_pDockBar = NULL;
}

void CXTPToolBar::OnSetPreviewMode(BOOL bPreview)
{
    if (bPreview) {
        m_bVisibleBeforePreview = m_bVisible;
        if (m_bVisible)
            SetVisible(FALSE);
    } else if (m_bVisibleBeforePreview) {
        SetVisible(TRUE);
    }
    m_bInPreview = bPreview;
}

int CXTPToolBar::OnKeyDown(UINT nChar, LPARAM lParam)
{
    // In a dialog Tab belongs to the dialog, from a field of the bar as from a button.
    if (nChar != VK_TAB || GetDragTracker() != NULL || IsCustomizing() || m_nLockCount > 0 ||
        GetParent() == NULL)
        return CXTPCommandBar::OnKeyDown(nChar, lParam);
    const BOOL bPrevious = ::GetKeyState(VK_SHIFT) < 0;
    CWnd* pNext = GetParent()->GetNextDlgTabItem(this, bPrevious);
    // Alone among its parent's controls the bar keeps Tab for its own buttons.
    if (pNext == NULL || pNext == this)
        return CXTPCommandBar::OnKeyDown(nChar, lParam);
    pNext->SetFocus();
    SetTracking(FALSE, TRUE);
    return XTP_HOOK_HANDLED;
}

void CXTPToolBar::OnSetFocus(CWnd* pOldWnd)
{
    NotePreviousFocus(pOldWnd->GetSafeHwnd());
    CXTPCommandBar::OnSetFocus(pOldWnd);
    if (GetDragTracker() == NULL && !IsTrackingMode())
        SetTracking(TRUE, TRUE, TRUE);
}
