#include "command_bars.h"
#include "customize/customize_sheet.h"

#include "color_table.h"
#include "control_edit.h"
#include "image_manager.h"
#include "mdi_tab_client.h"

#include <afxpriv.h>

#include <algorithm>

IMPLEMENT_DYNCREATE(CXTPCommandBars, CCmdTarget)

CXTPCommandBars::CXTPCommandBars()
{
    m_pOptions = new CXTPCommandBarsOptions;
    m_pOptions->m_pCommandBars = this;
    m_shortcutManager.m_pCommandBars = this;
    m_pToolTipController = new CXTPToolTipController;
    m_pToolTipController->ModifyToolTipStyle(2, 0);
    m_pDropSource = new CXTPCustomizeDropSource(this);
}

CXTPCommandBars::~CXTPCommandBars()
{
    if (m_pDragControl != NULL)
        m_pDragControl->InternalRelease();
    m_pDragControl = NULL;
    ClosePopups();
    MenuSoundStop();
    std::vector<CXTPCommandBar*> bars;
    bars.swap(m_arrBars);
    m_pMenuBar = NULL;
    for (CXTPCommandBar* pBar : bars) {
        if (auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar))
            pToolBar->RemoveFromDockBar();
        if (::IsWindow(pBar->GetSafeHwnd()))
            pBar->DestroyWindow();
        pBar->InternalRelease();
    }
    for (CXTPDockBar*& pDock : m_pDocks) {
        delete pDock;
        pDock = NULL;
    }
    SetPaintManager(NULL);
    if (m_pImageManager != NULL)
        m_pImageManager->InternalRelease();
    m_pToolTipController->InternalRelease();
    m_pOptions->InternalRelease();
    // After the bars, whose windows leave the drop targets as they are destroyed.
    delete m_pDropSource;
    m_pDropSource = NULL;
}

void CXTPCommandBars::AttachFrame(CWnd* pFrame)
{
    m_pFrame = pFrame;
    m_bCustomizeAvail = FALSE;
    if (pFrame != NULL && ::IsWindow(pFrame->GetSafeHwnd())) {
        AFX_CMDHANDLERINFO info = {NULL, NULL};
        m_bCustomizeAvail = pFrame->OnCmdMsg(XTP_ID_CUSTOMIZE, CN_COMMAND, NULL, &info);
        if (pFrame->GetExStyle() & WS_EX_LAYOUTRTL)
            m_bRightToLeft = TRUE;
    }
}

void CXTPCommandBars::CreateDockBars()
{
    struct DockSide
    {
        UINT nID;
        DWORD dwStyle;
    };
    const DockSide sides[4] = {{XTP_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM},
                               {XTP_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP},
                               {XTP_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT},
                               {XTP_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT}};
    for (int i = 0; i < 4; ++i) {
        if (m_pDocks[i] != NULL)
            continue;
        m_pDocks[i] = new CXTPDockBar(this);
        if (!m_pDocks[i]->Create(m_pFrame,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | sides[i].dwStyle,
                                 sides[i].nID)) {
            delete m_pDocks[i];
            m_pDocks[i] = NULL;
            AfxThrowResourceException();
        }
    }
}

void CXTPCommandBars::AddBar(CXTPCommandBar* pBar)
{
    m_arrBars.push_back(pBar);
}

CXTPMenuBar* CXTPCommandBars::CreateMenuBar(LPCTSTR lpszName, UINT nMenuId)
{
    auto* pMenuBar = static_cast<CXTPMenuBar*>(RUNTIME_CLASS(CXTPMenuBar)->CreateObject());
    pMenuBar->SetCommandBars(this);
    pMenuBar->SetFlags(xtpFlagAlignAny | xtpFlagFloating | xtpFlagStretched);
    pMenuBar->SetTitle(lpszName);
    pMenuBar->SetBarID(1);
    if (m_pFrame == NULL || m_pDocks[0] == NULL ||
        !pMenuBar->CreateToolBar(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, m_pDocks[0])) {
        pMenuBar->InternalRelease();
        return NULL;
    }
    m_pDocks[0]->DockCommandBar(pMenuBar);
    if (!pMenuBar->LoadMenuBar(nMenuId)) {
        pMenuBar->RemoveFromDockBar();
        pMenuBar->DestroyWindow();
        pMenuBar->InternalRelease();
        return NULL;
    }
    if (nMenuId != 0) {
        pMenuBar->GetControls()->CreateOriginalControls();
        m_nMenuId = nMenuId;
    }
    AddBar(pMenuBar);
    m_pMenuBar = pMenuBar;
    return pMenuBar;
}

CXTPToolBar* CXTPCommandBars::Add(LPCTSTR lpszName, int barPosition, CRuntimeClass* pToolbarClass)
{
    if (pToolbarClass == NULL)
        pToolbarClass = RUNTIME_CLASS(CXTPToolBar);
    if (!pToolbarClass->IsDerivedFrom(RUNTIME_CLASS(CXTPToolBar)) || m_pFrame == NULL)
        return NULL;
    auto* pToolBar = static_cast<CXTPToolBar*>(pToolbarClass->CreateObject());
    if (pToolBar == NULL)
        return NULL;
    pToolBar->SetCommandBars(this);
    pToolBar->SetFlags(xtpFlagAlignAny | xtpFlagFloating | xtpFlagHideWrap);
    pToolBar->SetTitle(lpszName);
    BOOL bCreated = FALSE;
    if (barPosition >= xtpBarTop && barPosition <= xtpBarRight && m_pDocks[barPosition] != NULL) {
        bCreated = pToolBar->CreateToolBar(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                           m_pDocks[barPosition]);
        if (bCreated)
            m_pDocks[barPosition]->DockCommandBar(pToolBar);
    } else if (barPosition == xtpBarFloating) {
        pToolBar->SetFloating(m_pFrame, TRUE);
        bCreated = ::IsWindow(pToolBar->GetSafeHwnd());
        if (bCreated) {
            pToolBar->m_barPosition = xtpBarFloating;
            pToolBar->OnRecalcLayout();
            pToolBar->ShowWindow(SW_SHOWNA);
        }
    }
    if (!bCreated) {
        pToolBar->RemoveFromDockBar();
        if (::IsWindow(pToolBar->GetSafeHwnd()))
            pToolBar->DestroyWindow();
        pToolBar->InternalRelease();
        return NULL;
    }
    AddBar(pToolBar);
    return pToolBar;
}

void CXTPCommandBars::HideCommands(const UINT* pCommands, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        HideCommand(pCommands[i]);
}

void CXTPCommandBars::HideCommand(UINT nId)
{
    m_pOptions->m_mapHiddenCommands.insert(nId);
}

void CXTPCommandBars::SetCommandUsed(UINT nId)
{
    if (IsCommandHidden(nId))
        m_pOptions->m_mapUsedCommands.insert(nId);
}

void CXTPCommandBars::SetCustomizeMode(BOOL bMode)
{
    m_pOptions->bDirtyState = TRUE;
    m_bCustomizeMode = bMode;
    m_bCustomizeModeRequested = bMode;
    SetDragControl(NULL);
    SetKeyboardCuesShown(bMode);
}

void CXTPCommandBars::SetDragControl(CXTPControl* pControl)
{
    if (pControl == m_pDragControl)
        return;
    CXTPControl* pOld = m_pDragControl;
    if (pControl != NULL)
        pControl->InternalAddRef();
    m_pDragControl = pControl;
    for (CXTPControl* pRedraw : {pOld, pControl})
        if (pRedraw != NULL && pRedraw->GetParent() != NULL &&
            ::IsWindow(pRedraw->GetParent()->GetSafeHwnd()))
            pRedraw->GetParent()->Invalidate(FALSE);
    if (pOld != NULL)
        pOld->InternalRelease();
    CWnd* pNotify = m_pCustomizeSheet != NULL ? static_cast<CWnd*>(m_pCustomizeSheet) : m_pFrame;
    if (pNotify != NULL && ::IsWindow(pNotify->GetSafeHwnd()))
        pNotify->SendMessage(XTP_WM_DRAGCONTROL_CHANGED);
}

void CXTPCommandBars::ResetUsageData()
{
    m_pOptions->m_mapUsedCommands.clear();
}

BOOL CXTPCommandBars::IsCommandHidden(UINT nId) const
{
    return m_pOptions->m_mapHiddenCommands.count(nId) != 0 && m_pOptions->m_mapUsedCommands.count(nId) == 0;
}

BOOL CXTPCommandBars::IsControlHidden(CXTPControl* pControl) const
{
    if (IsCommandHidden(static_cast<UINT>(pControl->GetID())))
        return TRUE;
    const XTPControlType type = pControl->GetType();
    if (!m_pOptions->bAutoHideUnusedPopups ||
        (type != xtpControlPopup && type != xtpControlButtonPopup && type != xtpControlSplitButtonPopup))
        return FALSE;
    CXTPCommandBar* pBar = pControl->GetCommandBar();
    if (pBar == NULL || pBar->GetControlCount() == 0)
        return FALSE;
    for (int i = 0; i < pBar->GetControlCount(); ++i)
        if (!IsControlHidden(pBar->GetControl(i)))
            return FALSE;
    return TRUE;
}

UINT CXTPCommandBars::GetActiveDocTemplate() const
{
    auto* pMdiFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, m_pFrame);
    if (pMdiFrame == NULL)
        return 0;
    CMDIChildWnd* pChild = pMdiFrame->MDIGetActive();
    if (pChild == NULL)
        return m_nMenuId;
    if (CDocument* pDocument = pChild->GetActiveDocument())
        if (CDocTemplate* pTemplate = pDocument->GetDocTemplate())
            if (auto* pMultiTemplate = DYNAMIC_DOWNCAST(CMultiDocTemplate, pTemplate))
                return pMultiTemplate->m_nIDResource;
    return pChild->m_nIDHelp;
}

void CXTPCommandBars::OnTrackingModeChanged(CXTPCommandBar*, int nMode)
{
    if (nMode == 0 && m_bKeyboardCuesFollowKeyboard &&
        CXTPMouseManager::GetInstance()->GetTrackedCount() == 0)
        SetKeyboardCuesShown(FALSE);
}

CXTPPaintManagerCore* CXTPCommandBars::GetPaintManager() const
{
    if (m_pPaintManager != NULL)
        return m_pPaintManager;
    if (CXTPPaintManager::Instance() == NULL)
        CXTPPaintManager::SetTheme(0);
    return CXTPPaintManager::Instance();
}

void CXTPCommandBars::SetPaintManager(CXTPPaintManagerCore* pPaintManager)
{
    XTPSetPaintManager(m_pPaintManager, pPaintManager);
}

CXTPImageManager* CXTPCommandBars::GetImageManager() const
{
    return m_pImageManager != NULL ? m_pImageManager : XTPImageManager();
}

CXTPCommandBar* CXTPCommandBars::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_arrBars[static_cast<size_t>(nIndex)] : NULL;
}

CXTPCommandBar* CXTPCommandBars::FindBar(UINT nId) const
{
    if (nId == 0)
        return NULL;
    for (CXTPCommandBar* pBar : m_arrBars)
        if (pBar->GetBarID() == nId)
            return pBar;
    return NULL;
}

int CXTPCommandBars::FindIndex(CXTPCommandBar* pBar) const
{
    auto it = std::find(m_arrBars.begin(), m_arrBars.end(), pBar);
    return it == m_arrBars.end() ? -1 : static_cast<int>(it - m_arrBars.begin());
}

CXTPDockBar* CXTPCommandBars::GetDockBar(int nPosition) const
{
    return nPosition >= 0 && nPosition < 4 ? m_pDocks[nPosition] : NULL;
}

void CXTPCommandBars::Remove(CXTPCommandBar* pBar)
{
    const int nIndex = FindIndex(pBar);
    if (nIndex == -1)
        return;
    if (::IsWindow(pBar->GetSafeHwnd()))
        pBar->ShowWindow(SW_HIDE);
    pBar->m_bVisible = FALSE;
    if (auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar))
        pToolBar->RemoveFromDockBar();
    RecalcFrameLayout();
    m_arrBars.erase(m_arrBars.begin() + nIndex);
    if (pBar == m_pMenuBar)
        m_pMenuBar = NULL;
    pBar->InternalRelease();
}

void CXTPCommandBars::DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect, CXTPDockBar* pDockBar)
{
    if (pDockBar == NULL)
        return;
    pBar->SetFloating(m_pFrame, FALSE);
    pDockBar->DockCommandBar(pBar, lpRect);
    pBar->m_barPosition = pDockBar->GetPosition();
}

BOOL CXTPCommandBars::DockCommandBar(CXTPToolBar* pBar, XTPBarPosition barPosition)
{
    CXTPDockBar* pDockBar = GetDockBar(barPosition);
    if (pDockBar == NULL)
        return FALSE;
    DockCommandBar(pBar, NULL, pDockBar);
    return TRUE;
}

BOOL CXTPCommandBars::FloatCommandBar(CXTPToolBar* pBar)
{
    // The place it leaves is the place a double-click or a loaded layout docks it back to.
    if (pBar->m_pDockBar != NULL && ::IsWindow(pBar->GetSafeHwnd())) {
        CRect rect;
        pBar->GetWindowRect(&rect);
        pBar->m_pDockBar->ScreenToClient(&rect);
        pBar->m_nMRUDockID = pBar->m_pDockBar->GetDlgCtrlID();
        pBar->m_rcMRUDockPos = rect;
    }
    pBar->SetFloating(m_pFrame, TRUE);
    pBar->RemoveFromDockBar();
    pBar->m_barPosition = xtpBarFloating;
    pBar->OnRecalcLayout();
    RecalcFrameLayout(TRUE);
    return TRUE;
}

CXTPDockBar* CXTPCommandBars::CanDock(CPoint pt, CXTPDockBar* pMainDock) const
{
    auto accepts = [pt](CXTPDockBar* pDock) {
        if (pDock == NULL || !::IsWindow(pDock->GetSafeHwnd()))
            return FALSE;
        CRect rect;
        pDock->GetWindowRect(&rect);
        rect.InflateRect(20, 20);
        return rect.PtInRect(pt);
    };
    if (accepts(pMainDock))
        return pMainDock;
    for (CXTPDockBar* pDock : m_pDocks)
        if (accepts(pDock))
            return pDock;
    return NULL;
}

void CXTPCommandBars::RecalcFrameLayout(BOOL bDelay)
{
    if (m_bRecalcLayout || m_pFrame == NULL || !::IsWindow(m_pFrame->GetSafeHwnd()))
        return;
    if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pFrame)) {
        if (bDelay)
            pFrame->m_nIdleFlags |= CFrameWnd::idleLayout;
        else
            pFrame->RecalcLayout(FALSE);
        return;
    }
    CRect rect;
    m_pFrame->GetClientRect(&rect);
    const LPARAM lParam = MAKELPARAM(rect.Width(), rect.Height());
    if (bDelay)
        m_pFrame->PostMessage(WM_SIZE, 0, lParam);
    else
        m_pFrame->SendMessage(WM_SIZE, 0, lParam);
}

void CXTPCommandBars::RedrawCommandBars()
{
    for (CXTPCommandBar* pBar : m_arrBars)
        if (pBar->IsVisible() && ::IsWindow(pBar->GetSafeHwnd())) {
            pBar->m_dwStateFlags &= ~2u;
            if (pBar->m_nLockRedraw == 0)
                pBar->Invalidate(FALSE);
        }
}

void CXTPCommandBars::RecalcAllLayouts()
{
    m_bRecalcLayout = TRUE;
    for (CXTPCommandBar* pBar : m_arrBars)
        if (pBar->IsVisible())
            pBar->OnRecalcLayout();
    // Tab groups shown in an MDI frame's client follow the bars.
    if (auto* pFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, GetSite()))
        if (CXTPTabClientWnd* pClient = CXTPTabClientWnd::FromClientWindow(pFrame->m_hWndMDIClient))
            pClient->Refresh();
    m_bRecalcLayout = FALSE;
    RecalcFrameLayout();
}

void CXTPCommandBars::ClosePopups() const
{
    CXTPMouseManager::GetInstance()->SendTrackLostAll();
}

void CXTPCommandBars::SetKeyboardCuesShown(BOOL bShow)
{
    if (m_bCustomizeMode)
        bShow = TRUE;
    // Cues the options show or hide for good keep that state.
    if (!m_bKeyboardCuesFollowKeyboard || m_bKeyboardCuesVisible == bShow)
        return;
    m_bKeyboardCuesVisible = bShow;
    RedrawCommandBars();
}

void CXTPCommandBars::SetKeyboardCuesOption(BOOL bFollowKeyboard, BOOL bShow)
{
    m_bKeyboardCuesFollowKeyboard = bFollowKeyboard;
    if (m_bKeyboardCuesVisible == bShow)
        return;
    m_bKeyboardCuesVisible = bShow;
    RedrawCommandBars();
}

CXTPControl* CXTPCommandBars::FindAccelerator(UINT chAccel, CXTPCommandBar*& pBar, BOOL& bAmbiguous) const
{
    bAmbiguous = FALSE;
    pBar = NULL;
    const long nCuesUse = m_pOptions->keyboardCuesUse;
    CXTPCommandBar* pStart = NULL;
    if (m_pMenuBar != NULL && m_pMenuBar->IsVisible())
        pStart = m_pMenuBar;
    for (size_t i = 0; pStart == NULL && i < m_arrBars.size(); ++i)
        if (m_arrBars[i]->IsTrackingMode())
            pStart = m_arrBars[i];
    for (size_t i = 0; pStart == NULL && (nCuesUse & 1) && i < m_arrBars.size(); ++i)
        if (m_arrBars[i]->IsVisible())
            pStart = m_arrBars[i];
    if (pStart == NULL)
        return NULL;

    // The bar searched first, then (with bit 1) the following visible bars, wrapping around.
    std::vector<CXTPCommandBar*> bars{pStart};
    if (nCuesUse & 1) {
        const int nStart = FindIndex(pStart);
        for (int k = 1; k <= GetCount(); ++k) {
            CXTPCommandBar* pNext = GetAt((nStart + k) % GetCount());
            if (pNext != pStart && pNext->IsVisible())
                bars.push_back(pNext);
        }
    }
    CXTPControl* pImplicit = NULL;
    CXTPCommandBar* pImplicitBar = NULL;
    CXTPControl* pExplicit = NULL;
    for (CXTPCommandBar* pSearch : bars) {
        BOOL bBarAmbiguous = FALSE;
        const int nIndex = pSearch->FindAccelerator(chAccel, &bBarAmbiguous);
        if (nIndex == -1)
            continue;
        CXTPControl* pControl = pSearch->GetControl(nIndex);
        BOOL bExplicitKey = FALSE;
        const CString strCaption = pControl->GetCaption();
        for (int i = 0; i + 1 < strCaption.GetLength(); ++i)
            if (strCaption[i] == L'&' && strCaption[i + 1] != L'&') {
                bExplicitKey = TRUE;
                break;
            } else if (strCaption[i] == L'&') {
                ++i;
            }
        if (bExplicitKey) {
            if (pExplicit != NULL) {
                bAmbiguous = TRUE;
                break;
            }
            pExplicit = pControl;
            pBar = pSearch;
            bAmbiguous = bBarAmbiguous;
            if (bBarAmbiguous)
                break;
        } else if (pImplicit == NULL) {
            pImplicit = pControl;
            pImplicitBar = pSearch;
            if (bBarAmbiguous)
                bAmbiguous = TRUE;
        } else {
            bAmbiguous = TRUE;
        }
    }
    if (pExplicit != NULL)
        return pExplicit;
    pBar = pImplicitBar;
    return pImplicit;
}

BOOL CXTPCommandBars::OnFrameAccel(UINT nChar)
{
    if (m_pOptions->keyboardCuesUse == 2 || (nChar >= VK_NUMPAD0 && nChar <= VK_NUMPAD9))
        return FALSE;
    const UINT chAccel = ::MapVirtualKeyW(nChar, MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (chAccel == 0)
        return FALSE;
    CXTPCommandBar* pBar = NULL;
    BOOL bAmbiguous = FALSE;
    CXTPControl* pControl = FindAccelerator(chAccel, pBar, bAmbiguous);
    if (pControl == NULL || pBar == NULL)
        return FALSE;
    if (!pBar->IsTrackingMode())
        ClosePopups();
    SetKeyboardCuesShown(TRUE);
    pBar->SetTracking(TRUE, FALSE, TRUE);
    pBar->SetSelected(pControl->GetIndex(), TRUE);
    if (!bAmbiguous)
        pControl->OnUnderlineActivate();
    return TRUE;
}

BOOL CXTPCommandBars::PreTranslateFrameMessage(MSG* pMsg)
{
    CXTPMouseManager* pMouseManager = CXTPMouseManager::GetInstance();
    const BOOL bTracking = pMouseManager->GetTrackedCount() > 0;
    if (pMsg->message == WM_SYSKEYDOWN && (pMsg->lParam & 0x20000000) != 0 && pMouseManager->m_nLock < 1 &&
        !bTracking && m_pFrame != NULL && ::IsWindow(m_pFrame->GetSafeHwnd())) {
        CWnd* pTop = m_pFrame->GetTopLevelParent();
        if (pTop != NULL && ::GetActiveWindow() == pTop->GetSafeHwnd()) {
            if (pMsg->wParam == VK_MENU) {
                SetKeyboardCuesShown(TRUE);
                return FALSE;
            }
            if (!(m_bIgnoreShiftMenuKey && ::GetKeyState(VK_SHIFT) < 0) &&
                OnFrameAccel(static_cast<UINT>(pMsg->wParam)))
                return TRUE;
        }
    }
    if ((pMsg->message == WM_SYSKEYUP || pMsg->message == WM_KEYUP) && m_bKeyboardCuesFollowKeyboard &&
        m_bKeyboardCuesVisible && !bTracking)
        SetKeyboardCuesShown(FALSE);
    if ((pMsg->message == WM_CONTEXTMENU || pMsg->message == WM_SYSKEYUP) && bTracking)
        return TRUE;
    if (pMsg->message == WM_MOUSEWHEEL && CXTPKeyboardManager::GetInstance()->IsKeyboardHooked())
        return CXTPKeyboardManager::GetInstance()->ProcessKeyboardHooks(pMsg->message, pMsg->wParam,
                                                                        pMsg->lParam);
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_pFrame != NULL)
        return GetShortcutManager()->TranslateAccelerator(m_pFrame->GetSafeHwnd(), pMsg);
    return FALSE;
}

BOOL CXTPCommandBars::OnFrameMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult)
{
    switch (message) {
    case WM_CLOSE:
        // The customise sheet holds the bars; the frame stays until it closes.
        if (!m_bCustomizeMode)
            return FALSE;
        *pResult = 0;
        return TRUE;
    case WM_IDLEUPDATECMDUI:
        for (CXTPCommandBar* pBar : m_arrBars)
            if (pBar->GetPosition() == xtpBarFloating)
                pBar->OnUpdateCmdUI(TRUE);
        return FALSE;
    case WM_SYSCOLORCHANGE:
        GetColorTable()->Refresh();
        GetPaintManager()->RefreshMetrics();
        GetImageManager()->RefreshAll();
        RecalcFrameLayout(TRUE);
        if (m_pFrame != NULL)
            m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return FALSE;
    case WM_SETTINGCHANGE:
        GetPaintManager()->RefreshMetrics();
        RecalcFrameLayout(TRUE);
        if (m_pFrame != NULL)
            m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return FALSE;
    case WM_COMMAND: {
        CWnd* pFocus = CWnd::FromHandlePermanent(::GetFocus());
        if (pFocus != NULL && pFocus->IsKindOf(RUNTIME_CLASS(CXTPEdit)) &&
            pFocus->OnCmdMsg(LOWORD(wParam), HIWORD(wParam), NULL, NULL)) {
            if (pResult != NULL)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    case WM_ACTIVATEAPP:
        if (!wParam)
            ClosePopups();
        return FALSE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != SC_KEYMENU && LOWORD(wParam) != 0 && !m_bCustomizeMode)
            ClosePopups();
        return FALSE;
    default:
        return FALSE;
    }
}

void CXTPCommandBars::OnSetPreviewMode(BOOL bPreview)
{
    GetShortcutManager()->DisableShortcuts(bPreview);
    for (CXTPCommandBar* pBar : m_arrBars)
        if (auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar))
            pToolBar->OnSetPreviewMode(bPreview);
}
