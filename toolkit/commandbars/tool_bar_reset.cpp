// What the user changed on a bar and how it goes back: the reset of a toolbar and of the menu bar
// to the controls they were loaded with, and the menu bar's customised menus kept per document
// type while another type's menu is shown.
#include "command_bars.h"

#include "commandbars_resource_ids.h"
#include "resource_loader.h"

BOOL AFXAPI XTPConfirmResetBar(CXTPCommandBar* pBar)
{
    CString strFormat;
    GetResourceLoader()->LoadString(&strFormat, XTP_IDS_CONFIRM_RESETTOOLBAR);
    // The title is the user's text: it goes in as an argument, never as the format.
    CString strMessage;
    strMessage.Format(strFormat, static_cast<LPCTSTR>(pBar->GetTitle()));
    const UINT nType = MB_OKCANCEL | MB_ICONEXCLAMATION;
    CWnd* pSite = pBar->GetSite();
    if (pSite != NULL && ::IsWindow(pSite->GetSafeHwnd()))
        return pSite->MessageBox(strMessage, NULL, nType) == IDOK;
    return AfxMessageBox(strMessage, nType, 0) == IDOK;
}

void CXTPToolBar::Reset(BOOL bShowWarningMessage)
{
    if (!m_bCanReset || m_nBarID == 0 || !IsCustomizable())
        return;
    if (bShowWarningMessage && !XTPConfirmResetBar(this))
        return;
    CXTPControls* pOriginal = m_pControls->GetOriginalControls();
    if (pOriginal == NULL) {
        LoadToolBar(m_nBarID, FALSE);
    } else {
        m_pControls->RemoveAll();
        for (int i = 0; i < pOriginal->GetCount(); ++i)
            if (!pOriginal->GetAt(i)->IsTemporary())
                m_pControls->AddClone(pOriginal->GetAt(i), -1, TRUE);
    }
    Redraw();
    DelayLayout();
    OnRecalcLayout();
}

void CXTPMenuBar::Reset(BOOL bShowWarningMessage)
{
    if (m_mapMenuControls.empty() && m_pControls->GetOriginalControls() != NULL) {
        CXTPToolBar::Reset(bShowWarningMessage);
    } else if (m_nCurrentMenuId != 0 && (!bShowWarningMessage || XTPConfirmResetBar(this))) {
        const LPCTSTR lpszResource = MAKEINTRESOURCE(m_nCurrentMenuId);
        HMENU hMenu = ::LoadMenuW(AfxFindResourceHandle(lpszResource, RT_MENU), lpszResource);
        if (hMenu != NULL) {
            CMenu menu;
            menu.Attach(hMenu);
            LoadMenu(&menu, TRUE);
            menu.DestroyMenu();
        }
    }
    RefreshMdiState();
    Redraw();
    DelayLayout();
    OnRecalcLayout();
}

CXTPControls* CXTPMenuBar::GetCachedControls(UINT nMenuId) const
{
    const auto it = m_mapMenuControls.find(nMenuId);
    return it != m_mapMenuControls.end() ? it->second : NULL;
}

void CXTPMenuBar::ReleaseCachedMenus()
{
    std::map<UINT, CXTPControls*> cached;
    cached.swap(m_mapMenuControls);
    for (auto& entry : cached)
        entry.second->InternalRelease();
}

void CXTPMenuBar::SwitchMenu(HMENU hMenu)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL || hMenu == NULL || !::IsMenu(hMenu))
        return;
    const UINT nIdentity = hMenu == m_hMenuFrame ? m_nDefaultMenuId : pCommandBars->GetActiveDocTemplate();
    if (nIdentity == 0 || nIdentity == m_nCurrentMenuId || ::GetMenuItemCount(hMenu) <= 0)
        return;
    CMenu* pMenu = CMenu::FromHandle(hMenu);
    if (m_pControls->GetOriginalControls() == NULL) {
        // Menus are not customised: the controls simply follow the menu.
        LoadMenu(pMenu, TRUE);
    } else {
        CXTPControls* pShown = m_pControls;
        pShown->InternalAddRef();
        if (CXTPControls* pStale = GetCachedControls(m_nCurrentMenuId))
            pStale->InternalRelease();
        m_mapMenuControls[m_nCurrentMenuId] = pShown;

        auto* pFresh = static_cast<CXTPControls*>(RUNTIME_CLASS(CXTPControls)->CreateObject());
        pFresh->SetCommandBars(pCommandBars);
        SetControls(pFresh);
        LoadMenu(pMenu, TRUE);
        if (CXTPControls* pCached = GetCachedControls(nIdentity)) {
            // The type's own customised controls come back; the menu gives them a reset copy
            // when they came without one.
            m_mapMenuControls.erase(nIdentity);
            SetControls(pCached);
            pCached->InternalRelease();
            if (pCached->GetOriginalControls() == NULL) {
                CXTPControls* pOriginal = pFresh->Duplicate(TRUE);
                pCached->SetOriginalControls(pOriginal);
                pOriginal->InternalRelease();
            }
        } else {
            m_pControls->CreateOriginalControls();
        }
        pFresh->InternalRelease();
    }
    m_nCurrentMenuId = nIdentity;
    DelayLayout();
    OnRecalcLayout();
}

void CXTPMenuBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPToolBar::Copy(pCommandBar, bRecursive);
    auto* pMenuBar = DYNAMIC_DOWNCAST(CXTPMenuBar, pCommandBar);
    if (pMenuBar == NULL)
        return;
    m_nDefaultMenuId = pMenuBar->m_nDefaultMenuId;
    ReleaseCachedMenus();
    for (const auto& entry : pMenuBar->m_mapMenuControls)
        m_mapMenuControls[entry.first] = entry.second->Duplicate(bRecursive);
}
