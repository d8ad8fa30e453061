// The customised controls of all bars across runs: one framework archive of the bars (with the
// popup bars their controls open) written through the archive form of property exchange, kept as a
// REG_BINARY value under "<profile>-Controls", or in a hidden file when it is larger than the
// registry should hold; loaded back and merged into the present bars.
#include "command_bars.h"
#include "command_bars_layout.h"
#include "commandbars_resource_ids.h"
#include "image_manager.h"
#include "prop_exchange.h"
#include "resource_loader.h"

#include <shlobj.h>

#include <algorithm>

namespace {

// The first id given to popup bars in the archive, above any bar id a program chooses.
const DWORD kFirstGeneratedBarId = 0x1000000;
// Larger archives go to a file.
const UINT kMaxRegistryArchiveBytes = 16000;
// A stored file larger than this is not a controls archive.
const ULONGLONG kMaxControlsFileBytes = 64 * 1024 * 1024;

// A stored count must fit what is left of an archive (every entry takes a byte at least), so that
// damage cannot make the reader allocate without bound.
void CheckCount(CXTPPropExchange* pPX, DWORD nCount)
{
    if (!pPX->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive)))
        return;
    CArchive* pArchive = pPX->GetArchive(NULL);
    if (pArchive != NULL && pArchive->IsLoading() && nCount > XTArchiveBytesLeft(*pArchive))
        AfxThrowArchiveException(CArchiveException::endOfFile);
}

CString ItemName(int nIndex)
{
    CString strName;
    strName.Format(L"Item%d", nIndex);
    return strName;
}

void ExchangeUIntSet(CXTPPropExchange* pPX, LPCTSTR lpszName, std::set<UINT>& values)
{
    if (pPX->IsStoring() && pPX->CanOmitDefaults() && values.empty())
        return;
    CXTPPropExchangeSection section(pPX, lpszName);
    if (pPX->IsStoring()) {
        section->WriteCount(static_cast<DWORD>(values.size()));
        int nIndex = 0;
        for (UINT nValue : values) {
            long nLong = static_cast<long>(nValue);
            ExchangeLong(section.Get(), ItemName(nIndex++), nLong);
        }
        return;
    }
    values.clear();
    const DWORD nCount = section->ReadCount();
    CheckCount(section.Get(), nCount);
    for (DWORD i = 0; i < nCount; ++i) {
        long nLong = 0;
        if (!ExchangeLong(section.Get(), ItemName(static_cast<int>(i)), nLong))
            break;
        values.insert(static_cast<UINT>(nLong));
    }
}

BOOL Contains(const CXTPCommandBarList* pList, const CXTPCommandBar* pBar)
{
    return std::find(pList->begin(), pList->end(), pBar) != pList->end();
}

CXTPCommandBar* FindInList(const CXTPCommandBarList* pList, UINT nBarId)
{
    for (CXTPCommandBar* pBar : *pList)
        if (pBar->GetBarID() == nBarId)
            return pBar;
    return NULL;
}

void ReleaseList(CXTPCommandBarList& list)
{
    for (CXTPCommandBar* pBar : list)
        pBar->InternalRelease();
    list.clear();
}

// Popups among the controls take their bars from the loaded list (once each).
void LinkPopups(CXTPControls* pControls, CXTPCommandBarList* pList)
{
    if (pControls == NULL)
        return;
    for (int i = 0; i < pControls->GetCount(); ++i) {
        auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControls->GetAt(i));
        if (pPopup == NULL || pPopup->m_nExchangedBarId == 0)
            continue;
        CXTPCommandBar* pBar = FindInList(pList, static_cast<UINT>(pPopup->m_nExchangedBarId));
        pPopup->m_nExchangedBarId = 0;
        if (pBar != NULL && pBar != pControls->GetParent()) {
            pPopup->SetCommandBar(pBar);
            pBar->RestoreCommandBarList(pList);
        }
    }
}

// The exchange of the bar list over a framework archive of the file (buffer 4096 bytes); a framework
// exception on the way (damage, a class that cannot be made) is FALSE.
template <class Exchange>
BOOL ExchangeOverArchive(CFile* pFile, UINT nMode, CXTPCommandBarsExchangeParam* pParam, Exchange exchange)
{
    try {
        CArchive ar(pFile, nMode, 4096);
        CXTPPropExchangeArchive px(ar);
        px.m_pExchangeParam = pParam;
        const BOOL bResult = exchange(&px);
        ar.Close();
        return bResult;
    } catch (CException* pException) {
        pException->Delete();
        return FALSE;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Controls

void CXTPControl::DoPropExchange(CXTPPropExchange* pPX)
{
    const UINT nSchema = pPX->m_nSchema;
    long nType = m_controlType;
    long nId = m_nId;
    long nIconId = m_nIconId;
    long nTag = static_cast<long>(m_dwTag);
    long nFlags = static_cast<long>(m_dwFlags);
    long nHideFlags = static_cast<long>(m_dwHideFlags);
    long nCustomIconId = m_nCustomIconId;
    ExchangeLongDefault(pPX, L"Type", nType, 1);
    ExchangeLongDefault(pPX, L"Id", nId, -1);
    ExchangeLongDefault(pPX, L"IconId", nIconId, 0);
    ExchangeBool(pPX, L"BeginGroup", m_bBeginGroup, FALSE);
    ExchangeLongDefault(pPX, L"Tag", nTag, 0);
    ExchangeLongDefault(pPX, L"Flags", nFlags, 0);
    ExchangeLongDefault(pPX, L"HideFlags", nHideFlags, 0);
    ExchangeString(pPX, L"Caption", m_strCaption);
    ExchangeString(pPX, L"ShortcutText", m_strShortcutText);
    ExchangeString(pPX, L"TooltipText", m_strTooltip);
    ExchangeString(pPX, L"DescriptionText", m_strDescription);
    ExchangeString(pPX, L"Parameter", m_strParameter);
    ExchangeLongDefault(pPX, L"CustomIconId", nCustomIconId, 0);
    ExchangeString(pPX, L"CustomCaption", m_strCustomCaption);
    if (nSchema > 1) {
        CString strCategory;
        ExchangeString(pPX, L"Category", strCategory);
    }
    if (nCustomIconId > 0) {
        // While loading the control belongs to no bar yet: the images are the manager's.
        CXTPCommandBarsExchangeParam* pParam = pPX->m_pExchangeParam;
        CXTPImageManager* pImageManager = pParam != NULL && pParam->pCommandBars != NULL
                                              ? pParam->pCommandBars->GetImageManager()
                                              : GetImageManager();
        CXTPPropExchangeSection section(pPX, L"CustomIcon");
        pImageManager->ExchangeIcons(static_cast<UINT>(nCustomIconId), section.Get());
    }
    if (nSchema > 3) {
        ExchangeUIntSet(pPX, L"DocTemplatesExcluded", m_setDocTemplatesExcluded);
        ExchangeUIntSet(pPX, L"DocTemplatesAssigned", m_setDocTemplatesAssigned);
        ExchangeBool(pPX, L"DefaultItem", m_bDefaultItem, FALSE);
    }
    if (nSchema > 6)
        ExchangeBool(pPX, L"CloseSubMenuOnClick", m_bCloseSubMenuOnClick, TRUE);
    if (nSchema > 7) {
        long nCustomStyle = m_nCustomStyle;
        ExchangeLongDefault(pPX, L"CustomStyle", nCustomStyle, 0);
        m_nCustomStyle = static_cast<int>(nCustomStyle);
    }
    if (pPX->IsLoading()) {
        m_controlType =
            static_cast<XTPControlType>(std::clamp(nType, 0L, static_cast<long>(xtpControlLabel)));
        m_nId = static_cast<int>(nId);
        m_nIconId = static_cast<int>(nIconId);
        m_dwTag = static_cast<DWORD>(nTag);
        m_dwFlags = static_cast<DWORD>(nFlags);
        m_dwHideFlags = static_cast<DWORD>(nHideFlags);
        m_nCustomIconId = static_cast<int>(nCustomIconId);
    }
}

void CXTPControlButton::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControl::DoPropExchange(pPX);
    long nStyle = m_nStyle;
    ExchangeLongDefault(pPX, L"Style", nStyle, 0);
    m_nStyle = static_cast<int>(nStyle);
}

void CXTPControlPopup::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControl::DoPropExchange(pPX);
    long nBarId = m_pCommandBar != NULL ? static_cast<long>(m_pCommandBar->GetBarID()) : 0;
    ExchangeLongDefault(pPX, L"CommandBarId", nBarId, 0);
    if (pPX->IsLoading())
        m_nExchangedBarId = nBarId;
    if (pPX->m_nSchema > 4) {
        long nStyle = m_nStyle;
        ExchangeLongDefault(pPX, L"Style", nStyle, 0);
        m_nStyle = static_cast<int>(nStyle);
    }
}

void CXTPControls::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPCommandBarsExchangeParam* pParam = pPX->m_pExchangeParam;
    if (pPX->IsStoring()) {
        DWORD nCount = 0;
        for (CXTPControl* pControl : m_arrControls)
            if (!pControl->IsTemporary())
                ++nCount;
        CXTPPropSectionEnumerator enumerator(pPX, L"Control");
        POSITION pos = enumerator.GetPosition(nCount);
        for (CXTPControl* pControl : m_arrControls) {
            if (pControl->IsTemporary() || pos == NULL)
                continue;
            CXTPPropExchangeSection section(enumerator.GetNext(pos));
            CObject* pObject = pControl;
            section->ExchangeObjectClass(pObject, RUNTIME_CLASS(CXTPControl));
            pControl->DoPropExchange(section.Get());
        }
        BOOL bOriginal = m_pOriginalControls != NULL && pParam != NULL && pParam->bSaveOriginalControls;
        ExchangeBool(pPX, L"OriginalControls", bOriginal, FALSE);
        if (bOriginal) {
            CXTPPropExchangeSection section(pPX, L"OriginalControls");
            m_pOriginalControls->DoPropExchange(section.Get());
        }
        BOOL bCustomized = FALSE;
        ExchangeBool(pPX, L"CustomizedControls", bCustomized, FALSE);
        return;
    }

    RemoveAll();
    CXTPPropSectionEnumerator enumerator(pPX, L"Control");
    POSITION pos = enumerator.GetPosition();
    CheckCount(pPX, enumerator.GetCount());
    while (pos != NULL) {
        CXTPPropExchangeSection section(enumerator.GetNext(pos));
        CObject* pObject = NULL;
        if (!section->ExchangeObjectClass(pObject, RUNTIME_CLASS(CXTPControl)) || pObject == NULL)
            AfxThrowArchiveException(CArchiveException::badClass);
        auto* pControl = static_cast<CXTPControl*>(pObject);
        // Owned by the collection before it reads, so that a failure frees it with the rest.
        m_arrControls.push_back(pControl);
        pControl->DoPropExchange(section.Get());
        pControl->m_bTemporary = FALSE;
    }
    RefreshIndexes();
    if (pPX->m_nSchema > 2) {
        BOOL bOriginal = FALSE;
        ExchangeBool(pPX, L"OriginalControls", bOriginal, FALSE);
        if (bOriginal) {
            auto* pOriginal = static_cast<CXTPControls*>(RUNTIME_CLASS(CXTPControls)->CreateObject());
            pOriginal->SetCommandBars(m_pCommandBars);
            SetOriginalControls(pOriginal);
            pOriginal->InternalRelease();
            CXTPPropExchangeSection section(pPX, L"OriginalControls");
            pOriginal->DoPropExchange(section.Get());
        }
        BOOL bCustomized = FALSE;
        ExchangeBool(pPX, L"CustomizedControls", bCustomized, FALSE);
        if (bCustomized) {
            auto* pCustomized = static_cast<CXTPControls*>(RUNTIME_CLASS(CXTPControls)->CreateObject());
            try {
                CXTPPropExchangeSection section(pPX, L"CustomizedControls");
                pCustomized->DoPropExchange(section.Get());
            } catch (...) {
                pCustomized->InternalRelease();
                throw;
            }
            pCustomized->InternalRelease();
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Bars

void CXTPCommandBar::DoPropExchange(CXTPPropExchange* pPX)
{
    long nType = m_barType;
    long nPosition = m_barPosition;
    long nBarId = static_cast<long>(m_nBarID);
    long nFlags = static_cast<long>(m_dwFlags);
    long nStyle = static_cast<long>(m_dwStyle);
    long nMRUWidth = m_nMRUWidth;
    ExchangeLongDefault(pPX, L"Type", nType, 1);
    ExchangeLongDefault(pPX, L"Position", nPosition, 0);
    ExchangeLongDefault(pPX, L"BarID", nBarId, 0);
    ExchangeLongDefault(pPX, L"Flags", nFlags, 0);
    ExchangeLongDefault(pPX, L"Style", nStyle, 0);
    ExchangeString(pPX, L"Title", m_strTitle);
    ExchangeBool(pPX, L"Customizable", m_bCustomizable, TRUE);
    ExchangeLongDefault(pPX, L"MRUWidth", nMRUWidth, 0);
    if (pPX->m_nSchema > 2) {
        SIZE szIcons = {0, 0};
        ExchangeSize(pPX, L"IconSize", szIcons, CSize(0, 0));
    }
    if (pPX->IsLoading()) {
        m_barType = static_cast<XTPBarType>(std::clamp(nType, 0L, static_cast<long>(xtpBarTypePopup)));
        m_barPosition = nPosition >= xtpBarTop && nPosition <= xtpBarNone
                            ? static_cast<XTPBarPosition>(nPosition)
                            : xtpBarNone;
        m_nBarID = static_cast<UINT>(nBarId);
        m_dwFlags = static_cast<DWORD>(nFlags);
        m_dwStyle = static_cast<DWORD>(nStyle);
        m_nMRUWidth = static_cast<int>(nMRUWidth);
        if (pPX->m_pExchangeParam != NULL) {
            m_pCommandBars = pPX->m_pExchangeParam->pCommandBars;
            m_pControls->SetCommandBars(m_pCommandBars);
        }
    }
    CXTPPropExchangeSection section(pPX, L"Controls");
    m_pControls->DoPropExchange(section.Get());
}

void CXTPCommandBar::GenerateCommandBarList(DWORD& nID, CXTPCommandBarList* pList,
                                            CXTPCommandBarsExchangeParam* pParam)
{
    if (Contains(pList, this))
        return;
    pList->push_back(this);
    InternalAddRef();
    if (!IsKindOf(RUNTIME_CLASS(CXTPToolBar)) && (m_nBarID == 0 || m_nBarID >= kFirstGeneratedBarId))
        m_nBarID = nID++;
    auto walk = [&](CXTPControls* pControls) {
        for (int i = 0; pControls != NULL && i < pControls->GetCount(); ++i) {
            CXTPControl* pControl = pControls->GetAt(i);
            if (!pControl->IsTemporary() && pControl->GetCommandBar() != NULL)
                pControl->GetCommandBar()->GenerateCommandBarList(nID, pList, pParam);
        }
    };
    walk(m_pControls);
    if (pParam != NULL && pParam->bSaveOriginalControls)
        walk(m_pControls->GetOriginalControls());
}

void CXTPCommandBar::RestoreCommandBarList(CXTPCommandBarList* pList)
{
    LinkPopups(m_pControls, pList);
    LinkPopups(m_pControls->GetOriginalControls(), pList);
}

void CXTPToolBar::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPCommandBar::DoPropExchange(pPX);
    ExchangeBool(pPX, L"BuiltIn", m_bBuiltIn, TRUE);
    ExchangeBool(pPX, L"TearOff", m_bTearOff, FALSE);
    if (pPX->m_nSchema > 6)
        ExchangeBool(pPX, L"Closeable", m_bCloseable, TRUE);
    if (pPX->m_nSchema > 7)
        ExchangeBool(pPX, L"ContextMenuPresent", m_bContextMenuPresent, TRUE);
}

void CXTPMenuBar::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPToolBar::DoPropExchange(pPX);
    long nResourceId = static_cast<long>(m_nDefaultMenuId);
    ExchangeLongDefault(pPX, L"ResourceId", nResourceId, 0);
    if (pPX->IsStoring()) {
        PrepareLayoutSave();
        pPX->WriteCount(static_cast<DWORD>(m_mapMenuControls.size()));
        int nIndex = 0;
        for (const auto& entry : m_mapMenuControls) {
            CString strSection;
            strSection.Format(L"%s%i", L"MDIMenu", nIndex++);
            CXTPPropExchangeSection section(pPX, strSection);
            long nMenuId = static_cast<long>(entry.first);
            ExchangeLongDefault(section.Get(), L"Id", nMenuId, 0);
            entry.second->DoPropExchange(section.Get());
        }
        return;
    }
    m_nDefaultMenuId = static_cast<UINT>(nResourceId);
    if (pPX->m_nSchema <= 4)
        return;
    const DWORD nCount = pPX->ReadCount();
    CheckCount(pPX, nCount);
    ReleaseCachedMenus();
    for (DWORD i = 0; i < nCount; ++i) {
        CString strSection;
        strSection.Format(L"%s%i", L"MDIMenu", static_cast<int>(i));
        CXTPPropExchangeSection section(pPX, strSection);
        long nMenuId = 0;
        ExchangeLongDefault(section.Get(), L"Id", nMenuId, 0);
        auto* pControls = static_cast<CXTPControls*>(RUNTIME_CLASS(CXTPControls)->CreateObject());
        pControls->SetCommandBars(m_pCommandBars);
        CXTPControls*& pSlot = m_mapMenuControls[static_cast<UINT>(nMenuId)];
        if (pSlot != NULL)
            pSlot->InternalRelease();
        pSlot = pControls;
        pControls->DoPropExchange(section.Get());
    }
}

BOOL CXTPMenuBar::PrepareLayoutSave()
{
    if (m_mapMenuControls.empty())
        return FALSE;
    if (m_hMenuFrame != NULL)
        SwitchMenu(m_hMenuFrame);
    m_bCacheUsed = TRUE;
    for (auto it = m_mapMenuControls.begin(); it != m_mapMenuControls.end();) {
        if (!it->second->IsChanged()) {
            it->second->InternalRelease();
            it = m_mapMenuControls.erase(it);
        } else {
            ++it;
        }
    }
    return TRUE;
}

void CXTPMenuBar::GenerateCommandBarList(DWORD& nID, CXTPCommandBarList* pList,
                                         CXTPCommandBarsExchangeParam* pParam)
{
    CXTPCommandBar::GenerateCommandBarList(nID, pList, pParam);
    for (const auto& entry : m_mapMenuControls)
        for (int i = 0; i < entry.second->GetCount(); ++i) {
            CXTPControl* pControl = entry.second->GetAt(i);
            if (!pControl->IsTemporary() && pControl->GetCommandBar() != NULL)
                pControl->GetCommandBar()->GenerateCommandBarList(nID, pList, pParam);
        }
}

void CXTPMenuBar::RestoreCommandBarList(CXTPCommandBarList* pList)
{
    CXTPCommandBar::RestoreCommandBarList(pList);
    for (const auto& entry : m_mapMenuControls)
        LinkPopups(entry.second, pList);
}

void CXTPPopupBar::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPCommandBar::DoPropExchange(pPX);
    long nTearOffId = static_cast<long>(m_nTearOffID);
    long nTearOffWidth = m_nTearOffWidth;
    ExchangeBool(pPX, L"TearOffPopup", m_bTearOffPopup, FALSE);
    ExchangeString(pPX, L"TearOffCaption", m_strTearOffCaption);
    ExchangeLongDefault(pPX, L"TearOffId", nTearOffId, 0);
    ExchangeLongDefault(pPX, L"TearOffWidth", nTearOffWidth, 0);
    if (pPX->m_nSchema > 3) {
        RECT rcBorders = m_rcBorders;
        ExchangeRect(pPX, L"Borders", rcBorders, CRect(2, 4, 2, 4));
        m_rcBorders = rcBorders;
        ExchangeBool(pPX, L"ShowShadow", m_bShowShadow, TRUE);
    }
    if (pPX->m_nSchema > 8) {
        BOOL bDoubleGripper = FALSE;
        ExchangeBool(pPX, L"DoubleGripper", bDoubleGripper, FALSE);
    }
    if (pPX->IsLoading()) {
        m_nTearOffID = static_cast<UINT>(nTearOffId);
        m_nTearOffWidth = static_cast<int>(nTearOffWidth);
    }
}

// ---------------------------------------------------------------------------------------------------
// The manager

void CXTPCommandBars::GenerateCommandBarList(CXTPCommandBarList* pList, CXTPCommandBarsExchangeParam* pParam)
{
    DWORD nID = kFirstGeneratedBarId;
    for (CXTPCommandBar* pBar : m_arrBars) {
        auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar);
        auto* pMenuBar = DYNAMIC_DOWNCAST(CXTPMenuBar, pBar);
        if (pParam->bSaveOnlyCustomized && pToolBar != NULL && pToolBar->m_bBuiltIn) {
            if (!pBar->IsCustomizable())
                continue;
            if (pMenuBar != NULL)
                pMenuBar->PrepareLayoutSave();
            const BOOL bDocumentMenus = pMenuBar != NULL && pMenuBar->m_mapMenuControls.size() != 0;
            CXTPControls* pControls = pBar->GetControls();
            if (!bDocumentMenus && pControls->GetOriginalControls() != NULL && !pControls->IsChanged())
                continue;
        }
        pBar->GenerateCommandBarList(nID, pList, pParam);
    }
}

BOOL CXTPCommandBars::SaveCommandBarList(CXTPPropExchange* pPX, CXTPCommandBarList* pList)
{
    CXTPPropExchangeSection section(pPX, L"CommandBars");
    CXTPPropSectionEnumerator enumerator(section.Get(), L"CommandBar");
    POSITION pos = enumerator.GetPosition(static_cast<DWORD>(pList->size()));
    for (CXTPCommandBar* pBar : *pList) {
        if (pos == NULL)
            break;
        CXTPPropExchangeSection barSection(enumerator.GetNext(pos));
        CObject* pObject = pBar;
        barSection->ExchangeObjectClass(pObject, RUNTIME_CLASS(CXTPCommandBar));
        pBar->DoPropExchange(barSection.Get());
    }
    return TRUE;
}

BOOL CXTPCommandBars::LoadCommandBarList(CXTPPropExchange* pPX, CXTPCommandBarList* pList)
{
    CXTPPropExchangeSection section(pPX, L"CommandBars");
    CXTPPropSectionEnumerator enumerator(section.Get(), L"CommandBar");
    POSITION pos = enumerator.GetPosition();
    CheckCount(section.Get(), enumerator.GetCount());
    while (pos != NULL) {
        CXTPPropExchangeSection barSection(enumerator.GetNext(pos));
        CObject* pObject = NULL;
        if (!barSection->ExchangeObjectClass(pObject, RUNTIME_CLASS(CXTPCommandBar)) || pObject == NULL)
            return FALSE;
        auto* pBar = static_cast<CXTPCommandBar*>(pObject);
        pList->push_back(pBar);
        // The class record carries a schema of its own; the keys follow the exchange's.
        barSection->m_nSchema = 16;
        pBar->DoPropExchange(barSection.Get());
    }
    return TRUE;
}

void CXTPCommandBars::RestoreCommandBarList(CXTPCommandBarList* pList, BOOL bKeepCurrentToolbars)
{
    for (size_t i = 0; i < pList->size(); ++i) {
        auto* pLoaded = DYNAMIC_DOWNCAST(CXTPToolBar, (*pList)[i]);
        if (pLoaded == NULL)
            continue;
        pLoaded->RestoreCommandBarList(pList);
        auto* pPresent = DYNAMIC_DOWNCAST(CXTPToolBar, FindBar(pLoaded->GetBarID()));
        if (pPresent == NULL) {
            if (pLoaded->IsKindOf(RUNTIME_CLASS(CXTPMenuBar)) || m_pDocks[0] == NULL)
                continue;
            pLoaded->InternalAddRef();
            pLoaded->SetCommandBars(this);
            pLoaded->m_barPosition = xtpBarNone;
            if (!pLoaded->CreateToolBar(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                        m_pDocks[0])) {
                pLoaded->InternalRelease();
                continue;
            }
            m_pDocks[0]->DockCommandBar(pLoaded);
            AddBar(pLoaded);
            pLoaded->DelayLayout();
            continue;
        }
        CXTPControls* pLoadedOriginal = pLoaded->GetControls()->GetOriginalControls();
        CXTPControls* pPresentOriginal = pPresent->GetControls()->GetOriginalControls();
        if (pPresentOriginal != NULL)
            pPresentOriginal->InternalAddRef();
        BOOL bCopy = TRUE;
        BOOL bKeepOriginal = pLoadedOriginal == NULL;
        if (pLoadedOriginal != NULL && pPresentOriginal != NULL &&
            !pLoadedOriginal->IsEqual(pPresentOriginal)) {
            // The program's built-in toolbar changed since the layout was saved.
            if (bKeepCurrentToolbars || pLoaded->GetControls()->IsEqual(pLoadedOriginal)) {
                bCopy = FALSE;
            } else {
                CString strFormat;
                GetResourceLoader()->LoadString(&strFormat, XTP_IDS_CONFIRM_UPDATE);
                CString strMessage;
                strMessage.Format(strFormat, static_cast<LPCTSTR>(pPresent->GetTitle()));
                bCopy = AfxMessageBox(strMessage, MB_YESNO | MB_ICONQUESTION) != IDYES;
                bKeepOriginal = TRUE;
            }
        }
        if (bCopy) {
            const BOOL bVisible = pPresent->m_bVisible;
            const XTPBarPosition position = pPresent->m_barPosition;
            pPresent->Copy(pLoaded, TRUE);
            pPresent->m_barPosition = position;
            pPresent->m_bVisible = bVisible;
            pPresent->SetCommandBars(this);
            pPresent->GetControls()->SetCommandBars(this);
            if (bKeepOriginal && pPresentOriginal != NULL)
                pPresent->GetControls()->SetOriginalControls(pPresentOriginal);
            pPresent->DelayLayout();
            pPresent->OnRecalcLayout();
        }
        if (pPresentOriginal != NULL)
            pPresentOriginal->InternalRelease();
    }
}

CString CXTPCommandBars::GetControlsFileName(LPCTSTR lpszProfileName) const
{
    if (!m_strControlsFileName.IsEmpty())
        return m_strControlsFileName;
    CString strName(lpszProfileName);
    strName.Replace(L'\\', L'_');
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL bVersion = ::GetVersionExW(&version);
#pragma GCC diagnostic pop
    WCHAR szFolder[MAX_PATH] = {};
    CWinApp* pApp = AfxGetApp();
    if (bVersion && version.dwPlatformId >= 2 && version.dwMajorVersion >= 5 && pApp != NULL &&
        pApp->m_pszAppName != NULL &&
        SUCCEEDED(::SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, szFolder))) {
        CString strFolder(szFolder);
        strFolder += L"\\";
        strFolder += pApp->m_pszAppName;
        ::CreateDirectoryW(strFolder, NULL);
        const DWORD dwAttributes = ::GetFileAttributesW(strFolder);
        if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return strFolder + L"\\" + strName;
    }
    WCHAR szModule[MAX_PATH] = {};
    ::GetModuleFileNameW(NULL, szModule, MAX_PATH);
    CString strPath;
    strPath.Format(L"%s-%s", szModule, strName.GetString());
    return strPath;
}

void CXTPCommandBars::SaveControlsLayout(LPCTSTR lpszProfileName, BOOL bSaveOnlyCustomized)
{
    CWinApp* pApp = AfxGetApp();
    CString strSection;
    strSection.Format(L"%s-Controls", lpszProfileName);
    CXTPCommandBarsExchangeParam param;
    param.bSaveOnlyCustomized = bSaveOnlyCustomized;
    param.pCommandBars = this;
    CXTPCommandBarList list;
    GenerateCommandBarList(&list, &param);

    CMemFile file(1024);
    const BOOL bSaved = ExchangeOverArchive(&file, CArchive::store, &param, [&](CXTPPropExchange* pPX) {
        return SaveCommandBarList(pPX, &list);
    });
    ReleaseList(list);
    // The menu bar showed the frame's own menu for saving: the frame puts back the active one.
    if (m_pMenuBar != NULL && m_pMenuBar->m_bCacheUsed) {
        m_pMenuBar->m_bCacheUsed = FALSE;
        if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pFrame))
            pFrame->OnUpdateFrameMenu(NULL);
    }
    if (!bSaved) {
        pApp->WriteProfileString(strSection, NULL, NULL);
        return;
    }
    const UINT nBytes = static_cast<UINT>(file.GetLength());
    BYTE* pData = file.Detach();
    const CString strFile = GetControlsFileName(lpszProfileName);
    if (!strFile.IsEmpty()) {
        ::SetFileAttributesW(strFile, FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(strFile);
    }
    BOOL bInRegistry = nBytes <= kMaxRegistryArchiveBytes || strFile.IsEmpty();
    if (!bInRegistry) {
        HANDLE hFile =
            ::CreateFileW(strFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD nWritten = 0;
        const BOOL bWritten = hFile != INVALID_HANDLE_VALUE &&
                              ::WriteFile(hFile, pData, nBytes, &nWritten, NULL) && nWritten == nBytes;
        if (hFile != INVALID_HANDLE_VALUE)
            ::CloseHandle(hFile);
        if (bWritten) {
            pApp->WriteProfileString(strSection, L"Controls", strFile);
            pApp->WriteProfileInt(strSection, L"LoadFromFile", 1);
            ::SetFileAttributesW(strFile, FILE_ATTRIBUTE_HIDDEN);
        } else {
            // The old file is gone: the registry must not point at it.
            ::DeleteFileW(strFile);
            bInRegistry = TRUE;
        }
    }
    if (bInRegistry) {
        pApp->WriteProfileString(strSection, NULL, NULL);
        if (!pApp->WriteProfileBinary(strSection, L"Controls", pData, nBytes))
            pApp->WriteProfileString(strSection, NULL, NULL);
        else
            pApp->WriteProfileInt(strSection, L"LoadFromFile", 0);
    }
    std::free(pData);
}

void CXTPCommandBars::LoadControlsLayout(LPCTSTR lpszProfileName, BOOL bKeepCurrentToolbars)
{
    CWinApp* pApp = AfxGetApp();
    CString strSection;
    strSection.Format(L"%s-Controls", lpszProfileName);
    std::vector<BYTE> bytes;
    if (pApp->GetProfileInt(strSection, L"LoadFromFile", 0) != 0) {
        const CString strFile = pApp->GetProfileString(strSection, L"Controls", NULL);
        if (strFile.IsEmpty())
            return;
        HANDLE hFile = ::CreateFileW(strFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (hFile == INVALID_HANDLE_VALUE)
            return;
        LARGE_INTEGER size = {};
        if (::GetFileSizeEx(hFile, &size) && size.QuadPart > 0 &&
            static_cast<ULONGLONG>(size.QuadPart) <= kMaxControlsFileBytes) {
            bytes.resize(static_cast<size_t>(size.QuadPart));
            DWORD nRead = 0;
            if (!::ReadFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &nRead, NULL) ||
                nRead != bytes.size())
                bytes.clear();
        }
        ::CloseHandle(hFile);
    } else {
        BYTE* pData = NULL;
        UINT nBytes = 0;
        if (!pApp->GetProfileBinary(strSection, L"Controls", &pData, &nBytes))
            return;
        bytes.assign(pData, pData + nBytes);
        delete[] pData;
    }
    if (bytes.empty())
        return;

    CXTPCommandBarsExchangeParam param;
    param.bSaveOnlyCustomized = TRUE;
    param.bLoadSilent = bKeepCurrentToolbars;
    param.pCommandBars = this;
    CXTPCommandBarList list;
    // A damaged archive or an unknown class drops what was read; the present bars stay.
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    const BOOL bLoaded = ExchangeOverArchive(
        &file, CArchive::load, &param, [&](CXTPPropExchange* pPX) { return LoadCommandBarList(pPX, &list); });
    if (bLoaded)
        RestoreCommandBarList(&list, bKeepCurrentToolbars);
    ReleaseList(list);
    if (auto* pMenuBar = DYNAMIC_DOWNCAST(CXTPMenuBar, FindBar(1)))
        m_pMenuBar = pMenuBar;
}
