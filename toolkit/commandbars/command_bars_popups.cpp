// The command bars' popup entry points: tracked popup bars and context menus, the toolbar list on a
// right click, and the contents of a toolbar's expand menu.
#include "command_bars.h"

#include "commandbars_resource_ids.h"
#include "resource_loader.h"

int AFXAPI CXTPCommandBars::TrackPopupBar(CXTPPopupBar* pPopupBar, UINT nFlags, int x, int y, CWnd* pOwner,
                                          LPCRECT lpRectExclude)
{
    return pPopupBar != NULL ? pPopupBar->Popup(nFlags, x, y, pOwner, lpRectExclude) : 0;
}

int CXTPCommandBars::TrackContextMenu(CMenu* pMenu, UINT nFlags, int x, int y, LPCRECT lpRectExclude)
{
    CXTPPopupBar* pPopupBar = CXTPPopupBar::CreatePopupBar(this);
    if (pPopupBar == NULL)
        return 0;
    int nResult = 0;
    if (pPopupBar->LoadMenu(pMenu))
        nResult = TrackPopupBar(pPopupBar, nFlags, x, y, m_pFrame, lpRectExclude);
    pPopupBar->InternalRelease();
    return nResult;
}

CXTPPopupBar* CXTPCommandBars::GetToolbarsPopup()
{
    CXTPPopupBar* pPopupBar = CXTPPopupBar::CreatePopupBar(this);
    if (pPopupBar == NULL) {
        pPopupBar = static_cast<CXTPPopupBar*>(RUNTIME_CLASS(CXTPPopupBar)->CreateObject());
        pPopupBar->SetCommandBars(this);
    }
    CXTPControlToolbars::CreateToolbarMenu(pPopupBar, 0, XTP_ID_TOOLBARLIST, TRUE);
    return pPopupBar;
}

void CXTPCommandBars::ShowContextMenu(CXTPCommandBar* pBar, CPoint point)
{
    if (m_bCustomizeMode)
        return;
    CXTPPopupBar* pPopupBar = GetToolbarsPopup();
    if (m_pFrame != NULL && ::IsWindow(m_pFrame->GetSafeHwnd()))
        m_pFrame->SendMessage(XTP_WM_TOOLBAR_CONTEXTMENU, reinterpret_cast<WPARAM>(pBar),
                              reinterpret_cast<LPARAM>(pPopupBar));
    if (pPopupBar->GetControlCount() > 0) {
        ClosePopups();
        TrackPopupBar(pPopupBar, 0, point.x, point.y, m_pFrame, NULL);
    }
    pPopupBar->InternalRelease();
}

namespace {
// The bars of the bar's dock row, or the bar alone when it floats or is in no row.
std::vector<CXTPToolBar*> RowOf(CXTPCommandBar* pBar)
{
    std::vector<CXTPToolBar*> bars;
    auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar);
    if (pToolBar == NULL)
        return bars;
    CXTPDockBar* pDockBar = pToolBar->GetDockBar();
    if (pDockBar != NULL && pToolBar->GetPosition() != xtpBarFloating)
        pDockBar->GetRowBars(pDockBar->FindBar(pToolBar), bars);
    if (bars.empty())
        bars.push_back(pToolBar);
    return bars;
}
} // namespace

void CXTPCommandBars::FillHiddenControls(CXTPCommandBar* pBar, CXTPPopupBar* pPopup)
{
    for (CXTPToolBar* pRowBar : RowOf(pBar)) {
        for (int i = 0; i < pRowBar->GetControlCount(); ++i) {
            CXTPControl* pControl = pRowBar->GetControl(i);
            if (pControl->GetHideFlags() != xtpHideWrap)
                continue;
            CXTPControl* pClone = pPopup->GetControls()->AddClone(pControl, -1);
            if (pClone != NULL) {
                pClone->SetHideFlags(xtpNoHide);
                pClone->SetBeginGroup(FALSE);
            }
        }
    }
}

void CXTPCommandBars::FillCustomizeItems(CXTPCommandBar* pBar, CXTPPopupBar* pPopup)
{
    CXTPControls* pControls = pPopup->GetControls();
    for (CXTPToolBar* pRowBar : RowOf(pBar)) {
        auto* pItem = static_cast<CXTPControlPopup*>(pControls->Add(xtpControlPopup, 0, NULL, -1, TRUE));
        pItem->SetCaption(pRowBar->GetTitle());
        pItem->SetFlags(pItem->GetFlags() | xtpFlagManualUpdate);
        pItem->SetEnabled(m_bCustomizeAvail && pRowBar->IsCustomizable());
        CXTPCommandBar* pSubBar = pItem->GetCommandBar();
        if (pSubBar == NULL)
            continue;
        CXTPControls* pSubControls = pSubBar->GetControls();
        for (int i = 0; i < pRowBar->GetControlCount(); ++i) {
            CXTPControl* pControl = pRowBar->GetControl(i);
            if (pControl->GetID() == XTP_ID_TOOLBAR_EXPAND || pControl->GetID() == XTP_ID_TOOLBAR_HIDE ||
                (pControl->GetHideFlags() & (xtpHideGeneric | xtpHideDocTemplate)) != 0)
                continue;
            auto* pToggle = new CXTPControlShowHideButton;
            pSubControls->AddControl(pToggle, 0, NULL, -1, TRUE);
            pToggle->m_pTargetBar = pRowBar;
            pToggle->m_dwTag = static_cast<DWORD>(i);
            pToggle->SetCaption(pControl->GetCaption());
            pToggle->SetDescription(pControl->GetDescription());
            const XTPControlType type = pControl->GetType();
            pToggle->SetIconId(type >= xtpControlButton && type <= xtpControlSplitButtonPopup
                                   ? pControl->GetIconId()
                                   : pControl->GetID());
            pToggle->SetFlags(xtpFlagManualUpdate);
            pToggle->SetChecked((pControl->GetHideFlags() & xtpHideCustomize) == 0);
        }
        if (pRowBar->IsResetAllowed() && !pRowBar->m_bRemoveWhenHidden) {
            auto* pReset = new CXTPControlResetBar;
            pSubControls->AddControl(pReset, 0, NULL, -1, TRUE);
            pReset->m_pTargetBar = pRowBar;
            CString strReset;
            GetResourceLoader()->LoadString(&strReset, XTP_IDS_RESET);
            pReset->SetCaption(strReset);
            pReset->SetFlags(xtpFlagManualUpdate);
            pReset->SetBeginGroup(TRUE);
        }
    }
    if (m_bCustomizeAvail) {
        CXTPControl* pCustomize = pControls->Add(xtpControlButton, XTP_ID_CUSTOMIZE, NULL, -1, TRUE);
        pCustomize->SetBeginGroup(TRUE);
    }
}

IMPLEMENT_SERIAL(CXTPControlShowHideButton, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

void CXTPControlShowHideButton::Execute()
{
    CXTPCommandBar* pBar = m_pTargetBar;
    CXTPControl* pControl = pBar != NULL ? pBar->GetControl(static_cast<int>(m_dwTag)) : NULL;
    if (pControl == NULL)
        return;
    const BOOL bHide = (pControl->GetHideFlags() & xtpHideCustomize) == 0;
    pControl->SetHideFlag(xtpHideCustomize, bHide);
    SetChecked(!bHide);
    if (CXTPCommandBars* pCommandBars = pBar->GetCommandBars())
        pCommandBars->GetCommandBarsOptions()->bDirtyState = TRUE;
    pBar->OnRecalcLayout();
}

IMPLEMENT_SERIAL(CXTPControlResetBar, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

void CXTPControlResetBar::Execute()
{
    CXTPCommandBar* pBar = m_pTargetBar;
    InternalAddRef();
    CXTPMouseManager::GetInstance()->SendTrackLostAll();
    if (auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar))
        pToolBar->Reset(TRUE);
    InternalRelease();
}
