#include "command_bars.h"

#include "commandbars_resource_ids.h"

#include "draw_helpers.h"
#include "image_manager.h"

#include <afxpriv.h>

IMPLEMENT_SERIAL(CXTPMenuBar, CXTPToolBar, VERSIONABLE_SCHEMA | 16)

// clang-format off
BEGIN_MESSAGE_MAP(CXTPMenuBar, CXTPToolBar)
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()
// clang-format on

namespace {
// The images of the child's frame buttons, when the program's resources hold them.
const UINT kMdiButtonBitmap = XTP_IDB_MDI_BUTTONS;
} // namespace

CXTPMenuBar::CXTPMenuBar()
{
    m_barType = xtpBarTypeMenuBar;
}

CXTPMenuBar::~CXTPMenuBar()
{
    CXTPHookManager::GetInstance()->RemoveAll(this);
    ReleaseCachedMenus();
    if (m_hMenuFrame != NULL && ::IsMenu(m_hMenuFrame))
        ::DestroyMenu(m_hMenuFrame);
    m_hMenuFrame = NULL;
}

void CXTPMenuBar::OnDestroy()
{
    CXTPHookManager::GetInstance()->RemoveAll(this);
    CXTPToolBar::OnDestroy();
}

BOOL CXTPMenuBar::LoadMenuBar(UINT nIDResource)
{
    CWnd* pSite = GetSite();
    if (nIDResource != 0) {
        const LPCTSTR lpszResource = MAKEINTRESOURCE(nIDResource);
        HMENU hMenu = ::LoadMenuW(AfxFindResourceHandle(lpszResource, RT_MENU), lpszResource);
        if (hMenu == NULL)
            return FALSE;
        CMenu menu;
        menu.Attach(hMenu);
        const BOOL bLoaded = LoadMenu(&menu, TRUE);
        menu.DestroyMenu();
        if (!bLoaded)
            return FALSE;
        m_nDefaultMenuId = m_nCurrentMenuId = nIDResource;
    }
    if (pSite == NULL || !::IsWindow(pSite->GetSafeHwnd()))
        return TRUE;

    auto* pMdiFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, pSite);
    m_bMdiApp = pMdiFrame != NULL;
    CXTPHookManager::GetInstance()->SetHook(pSite->GetSafeHwnd(), this);
    if (pMdiFrame != NULL && pMdiFrame->m_hWndMDIClient != NULL)
        CXTPHookManager::GetInstance()->SetHook(pMdiFrame->m_hWndMDIClient, this);

    const UINT commands[4] = {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};
    const LPCTSTR lpszBitmap = MAKEINTRESOURCE(kMdiButtonBitmap);
    if (HINSTANCE hInst = AfxFindResourceHandle(lpszBitmap, RT_BITMAP);
        ::FindResourceW(hInst, lpszBitmap, RT_BITMAP) != NULL)
        GetImageManager()->AddIconsFromBitmap(hInst, kMdiButtonBitmap, commands, 4, 16, 16);

    // The bar owns the frame's menu from now on; the frame must not put it back.
    const HMENU hFrameMenu = ::GetMenu(pSite->GetSafeHwnd());
    if (hFrameMenu != NULL) {
        if (m_hMenuFrame != NULL && m_hMenuFrame != hFrameMenu && ::IsMenu(m_hMenuFrame))
            ::DestroyMenu(m_hMenuFrame);
        m_hMenuFrame = hFrameMenu;
    }
    ::SetMenu(pSite->GetSafeHwnd(), NULL);
    if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pSite); pFrame != NULL && pMdiFrame == NULL)
        if (pFrame->m_hMenuDefault == m_hMenuFrame)
            pFrame->m_hMenuDefault = NULL;
    RefreshMdiState();
    return TRUE;
}

CMDIChildWnd* CXTPMenuBar::GetActiveMdiChild(BOOL* pbMaximized) const
{
    if (pbMaximized != NULL)
        *pbMaximized = FALSE;
    auto* pMdiFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, GetSite());
    if (pMdiFrame == NULL || pMdiFrame->m_hWndMDIClient == NULL)
        return NULL;
    BOOL bMaximized = FALSE;
    const HWND hChild = reinterpret_cast<HWND>(::SendMessageW(pMdiFrame->m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                                              reinterpret_cast<LPARAM>(&bMaximized)));
    if (pbMaximized != NULL)
        *pbMaximized = hChild != NULL && bMaximized;
    return hChild != NULL ? static_cast<CMDIChildWnd*>(CWnd::FromHandle(hChild)) : NULL;
}

BOOL CXTPMenuBar::AddSysButton(int nId, BOOL bNeeded)
{
    CXTPControl* pButton = m_pControls->FindControl(nId);
    if (bNeeded == (pButton != NULL))
        return FALSE;
    if (bNeeded) {
        pButton = new CXTPControlMDIButton;
        pButton->SetType(xtpControlButton);
        pButton->SetFlags(pButton->GetFlags() | 0x1B);
        // Before the expand button, which the toolbar places at the far end itself.
        CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_TOOLBAR_EXPAND);
        m_pControls->AddControl(pButton, nId, NULL, pExpand != NULL ? pExpand->GetIndex() : -1, TRUE);
    } else {
        m_pControls->Remove(pButton);
    }
    return TRUE;
}

void CXTPMenuBar::RefreshMdiState()
{
    if (!m_bMdiApp)
        return;
    BOOL bMaximized = FALSE;
    CMDIChildWnd* pChild = GetActiveMdiChild(&bMaximized);
    const HWND hChild = pChild != NULL ? pChild->GetSafeHwnd() : NULL;
    if (hChild != m_hwndMdiChild) {
        if (m_hwndMdiChild != NULL)
            CXTPHookManager::GetInstance()->RemoveHook(m_hwndMdiChild, this);
        m_hwndMdiChild = hChild;
        if (hChild != NULL)
            CXTPHookManager::GetInstance()->SetHook(hChild, this);
    }
    if (!m_bVisible)
        return;
    BOOL bChanged = FALSE;

    // The child's system menu, first.
    HMENU hSysMenu =
        bMaximized && (m_dwFlags & xtpFlagAddMDISysPopup) != 0 ? ::GetSystemMenu(hChild, FALSE) : NULL;
    if (hSysMenu != NULL && !::IsMenu(hSysMenu))
        hSysMenu = NULL;
    auto* pSysPopup =
        DYNAMIC_DOWNCAST(CXTPControlMDISysMenuPopup, m_pControls->FindControl(XTP_ID_MENUBAR_SYSMENU));
    if (hSysMenu != NULL) {
        if (pSysPopup == NULL) {
            pSysPopup = new CXTPControlMDISysMenuPopup;
            pSysPopup->SetType(xtpControlPopup);
            auto* pPopupBar = static_cast<CXTPPopupBar*>(RUNTIME_CLASS(CXTPPopupBar)->CreateObject());
            pPopupBar->SetCommandBars(GetCommandBars());
            pSysPopup->SetCommandBar(pPopupBar);
            pPopupBar->InternalRelease();
            m_pControls->AddControl(pSysPopup, XTP_ID_MENUBAR_SYSMENU, NULL, 0, TRUE);
        }
        if (pSysPopup->m_hMenuSystem != hSysMenu) {
            bChanged = TRUE;
            pSysPopup->m_hMenuSystem = hSysMenu;
            HICON hIcon = reinterpret_cast<HICON>(::SendMessageW(hChild, XTP_WM_GET_MDI_ICON, 0, 0));
            if (hIcon == NULL)
                hIcon = reinterpret_cast<HICON>(::SendMessageW(hChild, WM_GETICON, ICON_SMALL, 0));
            if (hIcon == NULL)
                hIcon = reinterpret_cast<HICON>(::SendMessageW(hChild, WM_GETICON, ICON_BIG, 0));
            if (hIcon == NULL)
                hIcon = reinterpret_cast<HICON>(::GetClassLongPtrW(hChild, GCLP_HICONSM));
            if (hIcon == NULL)
                hIcon = ::LoadIcon(NULL, IDI_WINLOGO);
            pSysPopup->SetIcon(hIcon);
            CXTPCommandBar* pPopupBar = pSysPopup->GetCommandBar();
            CXTPControls* pControls = pPopupBar->GetControls();
            pControls->RemoveAll();
            CMenu* pMenu = CMenu::FromHandle(hSysMenu);
            const int nCount = ::GetMenuItemCount(hSysMenu);
            BOOL bBeginGroup = FALSE;
            for (int i = 0; i < nCount; ++i) {
                const UINT nId = ::GetMenuItemID(hSysMenu, i);
                const UINT nState = ::GetMenuState(hSysMenu, static_cast<UINT>(i), MF_BYPOSITION);
                if (nState & MF_SEPARATOR) {
                    bBeginGroup = TRUE;
                    continue;
                }
                CXTPControl* pControl = NULL;
                if (nId < 0xF000 || nId >= 0xF1F0) {
                    pControl = pControls->AddMenuItem(pMenu, i);
                } else {
                    pControl = pControls->Add(xtpControlButton, static_cast<int>(nId));
                    CString strCaption;
                    pMenu->GetMenuString(static_cast<UINT>(i), strCaption, MF_BYPOSITION);
                    pControl->SetCaption(strCaption);
                    CString strDescription;
                    if (strDescription.LoadString((nId - 0xF000) / 16 + 0xEF00))
                        pControl->SetDescription(strDescription);
                    pControl->SetItemDefault(
                        static_cast<int>(::GetMenuDefaultItem(hSysMenu, TRUE, GMDI_USEDISABLED)) == i);
                    pControl->SetEnabled((nState & (MF_DISABLED | MF_GRAYED)) == 0);
                }
                if (pControl != NULL && bBeginGroup)
                    pControl->SetBeginGroup(TRUE);
                bBeginGroup = FALSE;
            }
        }
    } else if (pSysPopup != NULL) {
        m_pControls->Remove(pSysPopup);
        bChanged = TRUE;
    }

    const DWORD dwStyle = hChild != NULL ? static_cast<DWORD>(::GetWindowLongW(hChild, GWL_STYLE)) : 0;
    bChanged |= AddSysButton(XTP_ID_MENUBAR_MINIMIZE, bMaximized && (dwStyle & WS_MINIMIZEBOX) != 0 &&
                                                          (m_dwFlags & xtpFlagHideMinimizeBox) == 0);
    bChanged |= AddSysButton(XTP_ID_MENUBAR_RESTORE, bMaximized && (dwStyle & WS_MAXIMIZEBOX) != 0 &&
                                                         (m_dwFlags & xtpFlagHideMaximizeBox) == 0);
    bChanged |= AddSysButton(XTP_ID_MENUBAR_CLOSE, bMaximized && (m_dwFlags & xtpFlagHideClose) == 0);
    if (!bChanged)
        return;
    RequestRedraw();
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->RecalcFrameLayout(TRUE);
    Redraw();
}

int CXTPMenuBar::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult)
{
    if (hWnd == NULL)
        return CXTPCommandBar::OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
    switch (nMessage) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && m_bVisible &&
            CXTPMouseManager::GetInstance()->GetTrackedCount() == 0 && ::GetKeyState(VK_SHIFT) >= 0 &&
            !IsCustomizing()) {
            if (CXTPCommandBars* pCommandBars = GetCommandBars())
                pCommandBars->SetKeyboardCuesShown(TRUE);
            SetTracking(TRUE, TRUE, TRUE);
            lResult = 0;
            return XTP_HOOK_HANDLED;
        }
        break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        if (hWnd == m_hwndMdiChild && ::IsWindow(m_hWnd))
            PostMessage(WM_TIMER, XTP_TID_MDI_REFRESH);
        break;
    case WM_MDICREATE:
    case WM_MDIDESTROY:
    case WM_MDIACTIVATE:
    case WM_MDIRESTORE:
    case WM_MDIMAXIMIZE:
    case WM_MDINEXT:
    case WM_MDITILE:
    case WM_MDICASCADE:
    case WM_MDIICONARRANGE:
        // Children made without WM_MDICREATE, and maximised or restored through the client, change
        // the state as well.
        if (::IsWindow(m_hWnd))
            PostMessage(WM_TIMER, XTP_TID_MDI_REFRESH);
        break;
    case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY)
            if (::IsWindow(m_hWnd))
                PostMessage(WM_TIMER, XTP_TID_MDI_REFRESH);
        break;
    case WM_MDISETMENU:
        if (m_bVisible) {
            if ((m_dwFlags & xtpFlagIgnoreSetMenuMessage) == 0) {
                SwitchMenu(wParam != 0 ? reinterpret_cast<HMENU>(wParam) : m_hMenuFrame);
                if (CWnd* pSite = GetSite())
                    ::SetMenu(pSite->GetSafeHwnd(), NULL);
                RefreshMdiState();
                wParam = 0;
                lResult = 0;
                return XTP_HOOK_HANDLED;
            }
        } else if (CWnd* pSite = GetSite(); pSite != NULL && ::GetMenu(pSite->GetSafeHwnd()) == NULL) {
            wParam = 0;
            lResult = 0;
            return XTP_HOOK_HANDLED;
        }
        break;
    default:
        break;
    }
    return XTP_HOOK_NEXT;
}

void CXTPMenuBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == XTP_TID_MDI_REFRESH)
        RefreshMdiState();
    CXTPCommandBar::OnTimer(nIDEvent);
}

IMPLEMENT_SERIAL(CXTPControlMDISysMenuPopup, CXTPControlPopup, VERSIONABLE_SCHEMA | 16)

CXTPControlMDISysMenuPopup::~CXTPControlMDISysMenuPopup()
{
    if (m_hIcon != NULL)
        ::DestroyIcon(m_hIcon);
}

void CXTPControlMDISysMenuPopup::SetIcon(HICON hIcon)
{
    if (m_hIcon != NULL)
        ::DestroyIcon(m_hIcon);
    m_hIcon = hIcon != NULL ? static_cast<HICON>(::CopyImage(hIcon, IMAGE_ICON, 16, 16, 0)) : NULL;
}

void CXTPControlMDISysMenuPopup::Draw(CDC* pDC)
{
    if (m_hIcon != NULL)
        ::DrawIconEx(pDC->GetSafeHdc(), m_rcControl.left + 1, m_rcControl.top + 1, m_hIcon, 16, 16, 0, NULL,
                     DI_NORMAL);
}

IMPLEMENT_SERIAL(CXTPControlMDIButton, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

void CXTPControlMDIButton::Draw(CDC* pDC)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    pPaintManager->DrawControlState(pDC, this);
    const LPCTSTR lpszGlyph = m_nId == XTP_ID_MENUBAR_CLOSE     ? L"r"
                              : m_nId == XTP_ID_MENUBAR_RESTORE ? L"2"
                                                                : L"0";
    LOGFONT logFont{};
    logFont.lfHeight = -11;
    logFont.lfCharSet = SYMBOL_CHARSET;
    wcscpy_s(logFont.lfFaceName, L"Marlett");
    CFont font;
    font.CreateFontIndirect(&logFont);
    CXTFontSelector select(pDC, &font);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rect(m_rcControl);
    pDC->DrawText(lpszGlyph, 1, rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    pDC->SetBkMode(nOldMode);
}

void CXTPControlMDIButton::Execute()
{
    auto* pMenuBar = DYNAMIC_DOWNCAST(CXTPMenuBar, m_pParent);
    CMDIChildWnd* pChild = pMenuBar != NULL ? pMenuBar->GetActiveMdiChild() : NULL;
    if (pChild == NULL)
        return;
    const WPARAM nCommand = m_nId == XTP_ID_MENUBAR_CLOSE     ? SC_CLOSE
                            : m_nId == XTP_ID_MENUBAR_RESTORE ? SC_RESTORE
                                                              : SC_MINIMIZE;
    pChild->PostMessage(WM_SYSCOMMAND, nCommand);
}
