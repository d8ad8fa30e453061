#include "command_bars.h"
#include "control_combo_box.h"
#include "control_custom.h"
#include "control_edit.h"
#include "list_item_controls.h"

#include "resource_loader.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CXTPControls, CCmdTarget)

CXTPControls::CXTPControls() = default;

CXTPControls::~CXTPControls()
{
    RemoveAll();
    SetOriginalControls(NULL);
}

CXTPControl* CXTPControls::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_arrControls[static_cast<size_t>(nIndex)] : NULL;
}

void CXTPControls::GetNext(CXTPControl*& pControl) const
{
    pControl = pControl != NULL ? GetAt(pControl->GetIndex() + 1) : NULL;
}

CXTPCommandBars* CXTPControls::GetCommandBars() const
{
    if (m_pParent != NULL && m_pParent->GetCommandBars() != NULL)
        return m_pParent->GetCommandBars();
    return m_pCommandBars;
}

void CXTPControls::SetParent(CXTPCommandBar* pParent)
{
    m_pParent = pParent;
    if (!m_arrControls.empty())
        RefreshIndexes();
}

void CXTPControls::RefreshIndexes()
{
    for (size_t i = 0; i < m_arrControls.size(); ++i) {
        CXTPControl* pControl = m_arrControls[i];
        pControl->m_nIndex = static_cast<int>(i);
        pControl->m_pControls = this;
        pControl->SetParent(m_pParent);
    }
    if (m_pParent != NULL)
        m_pParent->OnControlsChanged();
}

void CXTPControls::InsertAt(CXTPControl* pControl, int nBefore)
{
    if (nBefore < 0 || nBefore >= GetCount())
        m_arrControls.push_back(pControl);
    else
        m_arrControls.insert(m_arrControls.begin() + nBefore, pControl);
    RefreshIndexes();
}

CXTPControl* CXTPControls::AddControl(CXTPControl* pControl, int nId, LPCTSTR lpszParameter, int nBefore,
                                      BOOL bTemporary)
{
    if (pControl == NULL)
        return NULL;
    pControl->m_strParameter = lpszParameter != NULL ? lpszParameter : L"";
    pControl->m_bTemporary = bTemporary;
    pControl->SetID(nId);
    InsertAt(pControl, nBefore);
    return pControl;
}

CXTPControl* CXTPControls::AddClone(CXTPControl* pControl, int nBefore, BOOL bRecursive)
{
    CXTPControl* pClone = pControl->Clone(bRecursive);
    if (pClone == NULL)
        return NULL;
    pClone->m_bTemporary = pControl->m_bTemporary;
    InsertAt(pClone, nBefore);
    return pClone;
}

namespace {
// Finds the site that may supply bars: the command bars' frame, else the bar's owner or site.
CWnd* FindSite(const CXTPControls* pControls)
{
    if (CXTPCommandBars* pCommandBars = pControls->GetCommandBars())
        if (pCommandBars->GetSite() != NULL)
            return pCommandBars->GetSite();
    return pControls->GetParent() != NULL ? pControls->GetParent()->GetSite() : NULL;
}

CXTPPopupBar* NewPopupBar(CXTPCommandBars* pCommandBars)
{
    CXTPPopupBar* pPopupBar = CXTPPopupBar::CreatePopupBar(pCommandBars);
    if (pPopupBar == NULL) {
        // Without a popup-bar class the submenu is kept in a plain popup bar that cannot show.
        pPopupBar = static_cast<CXTPPopupBar*>(RUNTIME_CLASS(CXTPPopupBar)->CreateObject());
        pPopupBar->SetCommandBars(pCommandBars);
    }
    return pPopupBar;
}
} // namespace

CXTPControl* CXTPControls::CreatePopupBarFor(CXTPControlPopup* pPopup, UINT nMenuId, CMenu* pSubMenu,
                                             BOOL bClear)
{
    CXTPPopupBar* pPopupBar = NULL;
    if (CWnd* pSite = FindSite(this); pSite != NULL && ::IsWindow(pSite->GetSafeHwnd())) {
        XTP_COMMANDBARS_CREATEBAR create{};
        create.bPopup = TRUE;
        const CString strCaption = pPopup->GetCaption();
        create.lpcstrCaption = strCaption;
        create.nID = nMenuId;
        if (pSite->SendMessage(XTP_WM_CREATE_COMMANDBAR, 0, reinterpret_cast<LPARAM>(&create)) != 0 &&
            create.pCommandBar != NULL) {
            pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, create.pCommandBar);
            if (pPopupBar == NULL)
                create.pCommandBar->InternalRelease();
        }
    }
    if (pPopupBar == NULL)
        pPopupBar = NewPopupBar(GetCommandBars());
    if (pSubMenu != NULL)
        pPopupBar->LoadMenu(pSubMenu, bClear);
    pPopup->SetCommandBar(pPopupBar);
    pPopupBar->InternalRelease();
    return pPopup;
}

CXTPControl* CXTPControls::Add(XTPControlType type, int nId, LPCTSTR lpszParameter, int nBefore,
                               BOOL bTemporary)
{
    CXTPControl* pControl = NULL;
    switch (type) {
    case xtpControlButton:
        pControl = XTPCreateButtonForId(nId, FALSE);
        pControl->SetID(nId);
        break;
    case xtpControlPopup:
    case xtpControlButtonPopup:
    case xtpControlSplitButtonPopup: {
        auto* pPopup = new CXTPControlPopup;
        pControl = pPopup;
        CMenu menu;
        CMenu* pSubMenu = NULL;
        if (nId > 0 && GetResourceLoader()->LoadMenu(&menu, static_cast<UINT>(nId))) {
            pSubMenu = menu.GetSubMenu(0);
            if (pSubMenu != NULL) {
                CString strCaption;
                menu.GetMenuString(0, strCaption, MF_BYPOSITION);
                pPopup->SetCaption(strCaption);
            }
        }
        CreatePopupBarFor(pPopup, static_cast<UINT>(std::max(nId, 0)), pSubMenu, TRUE);
        if (type != xtpControlPopup)
            pControl->SetID(nId);
        break;
    }
    case xtpControlLabel:
        pControl = new CXTPControlLabel;
        pControl->SetID(nId);
        break;
    case xtpControlEdit:
        pControl = new CXTPControlEdit;
        pControl->SetID(nId);
        break;
    case xtpControlCustom:
        pControl = new CXTPControlCustom;
        pControl->SetID(nId);
        break;
    case xtpControlComboBox:
        pControl = new CXTPControlComboBox;
        pControl->SetID(nId);
        break;
    default:
        return NULL;
    }
    pControl->m_controlType = type;
    pControl->m_strParameter = lpszParameter != NULL ? lpszParameter : L"";
    pControl->m_bTemporary = bTemporary;
    InsertAt(pControl, nBefore);
    return pControl;
}

CXTPControl* CXTPControls::AddMenuItem(CMenu* pMenu, int nIndex)
{
    const HMENU hMenu = pMenu->GetSafeHmenu();
    const HMENU hSubMenu = ::GetSubMenu(hMenu, nIndex);
    const UINT nId = hSubMenu != NULL ? 0 : ::GetMenuItemID(hMenu, nIndex);
    const BOOL bDefault = static_cast<int>(::GetMenuDefaultItem(hMenu, TRUE, GMDI_USEDISABLED)) == nIndex;
    CString strCaption;
    if (nId != 65280)
        pMenu->GetMenuString(static_cast<UINT>(nIndex), strCaption, MF_BYPOSITION);

    XTP_COMMANDBARS_CREATECONTROL create{};
    create.hMenu = hMenu;
    create.nIndex = static_cast<UINT>(nIndex);
    create.strCaption = strCaption;
    create.controlType = hSubMenu != NULL ? xtpControlPopup : xtpControlButton;
    create.nID = nId;
    create.pCommandBar = m_pParent;
    CWnd* pSite = FindSite(this);
    const BOOL bSite = pSite != NULL && ::IsWindow(pSite->GetSafeHwnd());
    if (bSite)
        pSite->SendMessage(XTP_WM_BEFORE_CREATE_CONTROL, 0, reinterpret_cast<LPARAM>(&create));

    CXTPControl* pControl = create.pControl;
    if (pControl != NULL) {
        InsertAt(pControl, -1);
    } else {
        if (hSubMenu != NULL) {
            auto* pPopup = new CXTPControlPopup;
            pControl = pPopup;
            pControl->m_controlType = xtpControlPopup;
            pControl->SetCaption(strCaption);
            CreatePopupBarFor(pPopup, 0, CMenu::FromHandle(hSubMenu), FALSE);
        } else {
            // Only the placeholder text makes the verbs list; the id alone is an ordinary command.
            if (nId == XTP_ID_OLE_VERBS && strCaption == L"<<OLE VERBS GO HERE>>")
                pControl = new CXTPControlOleItems;
            else
                pControl = XTPCreateButtonForId(static_cast<int>(nId), TRUE);
            pControl->m_controlType = xtpControlButton;
        }
        pControl->SetID(static_cast<int>(nId));
        pControl->SetCaption(strCaption);
        pControl->SetItemDefault(bDefault);
        // The item's own check and grey state: a menu tracked without command updates keeps them.
        if (hSubMenu == NULL) {
            const UINT nState = ::GetMenuState(hMenu, static_cast<UINT>(nIndex), MF_BYPOSITION);
            if (nState != static_cast<UINT>(-1)) {
                pControl->SetChecked((nState & MF_CHECKED) != 0);
                if ((nState & (MF_GRAYED | MF_DISABLED)) != 0)
                    pControl->SetEnabled(FALSE);
            }
        }
        InsertAt(pControl, -1);
    }
    create.pControl = pControl;
    if (bSite)
        pSite->SendMessage(XTP_WM_AFTER_CREATE_CONTROL, 0, reinterpret_cast<LPARAM>(&create));
    return pControl;
}

void CXTPControls::Remove(CXTPControl* pControl)
{
    if (pControl != NULL && pControl->m_pControls == this)
        Remove(pControl->GetIndex());
}

void CXTPControls::Remove(int nIndex)
{
    CXTPControl* pControl = GetAt(nIndex);
    if (pControl == NULL)
        return;
    if (m_pParent != NULL && m_pParent->GetSelectedIndex() == nIndex)
        m_pParent->SetSelected(-1);
    m_arrControls.erase(m_arrControls.begin() + nIndex);
    pControl->m_pControls = NULL;
    pControl->SetParent(NULL);
    pControl->InternalRelease();
    RefreshIndexes();
}

void CXTPControls::RemoveAll()
{
    std::vector<CXTPControl*> controls;
    controls.swap(m_arrControls);
    for (CXTPControl* pControl : controls) {
        pControl->m_pControls = NULL;
        pControl->SetParent(NULL);
        pControl->InternalRelease();
    }
    if (m_pParent != NULL && !controls.empty())
        m_pParent->OnControlsChanged();
}

CXTPControl* CXTPControls::FindControl(int nId) const
{
    return FindControl(xtpControlError, nId, FALSE, FALSE);
}

CXTPControl* CXTPControls::FindControl(XTPControlType type, int nId, BOOL bVisible, BOOL bRecursive) const
{
    for (CXTPControl* pControl : m_arrControls) {
        if ((type == xtpControlError || pControl->GetType() == type) &&
            (nId == -1 || pControl->GetID() == nId) && (!bVisible || pControl->IsVisible()))
            return pControl;
        if (bRecursive && pControl->GetCommandBar() != NULL)
            if (CXTPControl* pFound =
                    pControl->GetCommandBar()->GetControls()->FindControl(type, nId, bVisible, TRUE))
                return pFound;
    }
    return NULL;
}

int CXTPControls::GetNextIndex(int nIndex, int nDirection, BOOL bKeyboard, BOOL bSkipTemporary,
                               BOOL bStrict) const
{
    const int nCount = GetCount();
    if (nCount == 0)
        return -1;
    const DWORD dwAllowed = bStrict ? xtpHideDockingPosition : (xtpHideDockingPosition | xtpHideExpand);
    auto skipped = [&](int i) {
        CXTPControl* pControl = m_arrControls[static_cast<size_t>(i)];
        return (pControl->GetHideFlags() & ~dwAllowed) != 0 ||
               (bKeyboard && (pControl->GetFlags() & xtpFlagSkipFocus) != 0) ||
               (bSkipTemporary && pControl->IsTemporary());
    };
    const BOOL bWrap = nIndex != -1;
    int i = nIndex == -1 && nDirection < 0 ? nCount : nIndex;
    for (int nSteps = 0; nSteps < nCount; ++nSteps) {
        i += nDirection;
        if (i >= nCount || i < 0) {
            if (!bWrap)
                return -1;
            i = i >= nCount ? 0 : nCount - 1;
        }
        if (i == nIndex)
            return nIndex;
        if (!skipped(i))
            return i;
    }
    return nIndex;
}

CXTPControl* CXTPControls::HitTest(CPoint point) const
{
    for (CXTPControl* pControl : m_arrControls)
        if (pControl->IsVisible() && pControl->GetRect().PtInRect(point))
            return pControl;
    return NULL;
}

int CXTPControls::GetVisibleCount(BOOL bStrict) const
{
    int nCount = 0;
    for (CXTPControl* pControl : m_arrControls) {
        const DWORD dwHide = pControl->GetHideFlags();
        if (dwHide == 0 || (!bStrict && dwHide == xtpHideWrap))
            ++nCount;
    }
    return nCount;
}

CXTPControls* CXTPControls::Duplicate(BOOL bRecursive)
{
    auto* pControls = static_cast<CXTPControls*>(GetRuntimeClass()->CreateObject());
    pControls->m_pCommandBars = GetCommandBars();
    for (CXTPControl* pControl : m_arrControls)
        if (!pControl->IsTemporary())
            pControls->AddClone(pControl, -1, bRecursive);
    if (m_pOriginalControls != NULL) {
        CXTPControls* pOriginal = m_pOriginalControls->Duplicate(bRecursive);
        pControls->SetOriginalControls(pOriginal);
        pOriginal->InternalRelease();
    }
    return pControls;
}

void CXTPControls::SetOriginalControls(CXTPControls* pControls)
{
    if (pControls != NULL)
        pControls->InternalAddRef();
    if (m_pOriginalControls != NULL)
        m_pOriginalControls->InternalRelease();
    m_pOriginalControls = pControls;
}

void CXTPControls::CreateOriginalControls()
{
    SetOriginalControls(NULL);
    CXTPControls* pOriginal = Duplicate(TRUE);
    SetOriginalControls(pOriginal);
    pOriginal->InternalRelease();
}

BOOL CXTPControls::IsEqual(CXTPControls* pOther) const
{
    if (pOther == NULL)
        return FALSE;
    std::vector<CXTPControl*> mine;
    std::vector<CXTPControl*> theirs;
    for (CXTPControl* pControl : m_arrControls)
        if (!pControl->IsTemporary())
            mine.push_back(pControl);
    for (CXTPControl* pControl : pOther->m_arrControls)
        if (!pControl->IsTemporary())
            theirs.push_back(pControl);
    if (mine.size() != theirs.size())
        return FALSE;
    for (size_t i = 0; i < mine.size(); ++i)
        if (!mine[i]->IsEqual(theirs[i]))
            return FALSE;
    return TRUE;
}

BOOL CXTPControls::IsChanged() const
{
    return m_pOriginalControls != NULL && !IsEqual(m_pOriginalControls);
}
