#include "command_bars.h"

#include "prop_exchange.h"

namespace {

// More command ids than any menu holds; a stored count beyond it is damage.
const DWORD kMaxCommandSetCount = 65535;

// "Count" and "Item0".."ItemN-1" in a section of the set's name; loading refills the set and stops at
// the first item that is not there. In the registry the section is rewritten whole, and an empty set
// leaves none behind, so that items of an earlier save never come back.
void ExchangeCommandSet(CXTPPropExchange* pPX, LPCTSTR lpszName, std::set<UINT>& commands)
{
    CXTPPropExchangeSection section(pPX, lpszName);
    CXTPPropExchange* pSection = section.Get();
    if (pSection == NULL)
        return;
    if (pPX->IsStoring()) {
        if (pPX->CanOmitDefaults()) {
            pSection->EmptySection();
            if (commands.empty())
                return;
        }
        long nCount = static_cast<long>(std::min<size_t>(commands.size(), kMaxCommandSetCount));
        ExchangeLong(pSection, L"Count", nCount);
        long i = 0;
        for (auto it = commands.begin(); it != commands.end() && i < nCount; ++it, ++i) {
            CString strName;
            strName.Format(L"Item%i", static_cast<int>(i));
            long nValue = static_cast<long>(*it);
            ExchangeLong(pSection, strName, nValue);
        }
        return;
    }
    commands.clear();
    long nCount = 0;
    if (!ExchangeLong(pSection, L"Count", nCount) || nCount <= 0)
        return;
    nCount = std::min<long>(nCount, static_cast<long>(kMaxCommandSetCount));
    if (pSection->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive))) {
        // An archive cannot say that an item is missing: the count must fit what is left of it.
        CArchive* pArchive = pSection->GetArchive(lpszName);
        if (XTArchiveBytesLeft(*pArchive) < static_cast<ULONGLONG>(nCount) * sizeof(long))
            AfxThrowArchiveException(CArchiveException::endOfFile);
    }
    for (long i = 0; i < nCount; ++i) {
        CString strName;
        strName.Format(L"Item%i", static_cast<int>(i));
        long nValue = 0;
        if (!ExchangeLong(pSection, strName, nValue))
            break;
        commands.insert(static_cast<UINT>(nValue));
    }
}

} // namespace

void CXTPCommandBarsOptions::SetKeyboardCuesShow(long nShow)
{
    keyboardCuesShow = nShow;
    if (m_pCommandBars == NULL)
        return;
    BOOL bCues = TRUE;
    if (nShow == 2 && ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &bCues, 0) && !bCues)
        m_pCommandBars->SetKeyboardCuesOption(TRUE, FALSE);
    else
        m_pCommandBars->SetKeyboardCuesOption(FALSE, nShow != 1);
}

void CXTPCommandBarsOptions::DoPropExchange(CXTPPropExchange* pPX, BOOL bUserOptionsOnly)
{
    pPX->m_pOwner = this;
    pPX->ExchangeSchema();
    const UINT nSchema = pPX->m_nSchema;

    ExchangeBool(pPX, L"AlwaysShowFullMenus", bAlwaysShowFullMenus, TRUE);
    ExchangeBool(pPX, L"ShowFullAfterDelay", bShowFullAfterDelay, TRUE);
    ExchangeBool(pPX, L"ToolBarScreenTips", bToolBarScreenTips, TRUE);
    ExchangeBool(pPX, L"ToolBarAccelTips", bToolBarAccelTips, FALSE);
    ExchangeBool(pPX, L"LargeIcons", bLargeIcons, FALSE);
    if (nSchema > 7)
        ExchangeCommandSet(pPX, L"UsedCommands", m_mapUsedCommands);
    if (nSchema > 7 || bUserOptionsOnly)
        ExchangeLongDefault(pPX, L"Animation", animationType, 0);
    if (bUserOptionsOnly)
        return;

    ExchangeBool(pPX, L"SyncFloatingBars", bSyncFloatingBars, TRUE);
    ExchangeBool(pPX, L"ShowExpandButtonAlways", bShowExpandButtonAlways, TRUE);
    ExchangeSize(pPX, L"IconsSize", szIcons, CSize(0, 0));
    ExchangeSize(pPX, L"LargeIconsSize", szLargeIcons, CSize(0, 0));
    ExchangeCommandSet(pPX, L"HiddenCommands", m_mapHiddenCommands);
    CXTPPaintManagerCore* pPaintManager = m_pCommandBars != NULL ? m_pCommandBars->GetPaintManager() : NULL;
    BOOL bIconsWithShadow = pPaintManager != NULL ? pPaintManager->m_bIconsWithShadow : FALSE;
    BOOL bUseDisabledIcons = pPaintManager != NULL ? pPaintManager->m_bUseDisabledIcons : TRUE;
    BOOL bUseFadedIcons = pPaintManager != NULL ? pPaintManager->m_bUseFadedIcons : TRUE;
    ExchangeBool(pPX, L"IconsWithShadow", bIconsWithShadow, FALSE);
    ExchangeBool(pPX, L"UseDisabledIcons", bUseDisabledIcons, TRUE);
    ExchangeBool(pPX, L"UseFadedIcons", bUseFadedIcons, TRUE);
    if (pPX->IsLoading() && pPaintManager != NULL) {
        pPaintManager->m_bIconsWithShadow = bIconsWithShadow;
        pPaintManager->m_bUseDisabledIcons = bUseDisabledIcons;
        pPaintManager->m_bUseFadedIcons = bUseFadedIcons;
    }

    if (nSchema > 7) {
        // The archive form has carried these two twice since this schema; readers take both.
        ExchangeBool(pPX, L"SyncFloatingBars", bSyncFloatingBars, TRUE);
        ExchangeBool(pPX, L"ShowExpandButtonAlways", bShowExpandButtonAlways, TRUE);
        ExchangeBool(pPX, L"DblClickFloat", bDblClickFloat, FALSE);
        ExchangeBool(pPX, L"ShowTextBelowIcons", bShowTextBelowIcons, FALSE);
        ExchangeBool(pPX, L"AltDragCustomization", bAltDragCustomization, TRUE);
        ExchangeBool(pPX, L"AutoHideUnusedPopups", bAutoHideUnusedPopups, TRUE);
        ExchangeSize(pPX, L"PopupIconsSize", szPopupIcons, CSize(16, 16));
    }
    if (nSchema > 8) {
        ExchangeLongDefault(pPX, L"KeyboardCuesUse", keyboardCuesUse, 1);
        ExchangeLongDefault(pPX, L"KeyboardCuesShow", keyboardCuesShow, 0);
        if (pPX->IsLoading())
            SetKeyboardCuesShow(keyboardCuesShow);
    }
}

void CXTPCommandBarsOptions::Serialize(CArchive& ar)
{
    CXTPPropExchangeArchive px(ar);
    DoPropExchange(&px);
}

namespace {

// "<profile>-Options" under the application's registry key, for the user options.
void ExchangeUserOptions(CXTPCommandBarsOptions* pOptions, LPCTSTR lpszProfileName, BOOL bLoading)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return;
    HKEY hAppKey = pApp->GetAppRegistryKey();
    if (hAppKey == NULL)
        return;
    CString strSection;
    strSection.Format(L"%s-Options", lpszProfileName);
    {
        CXTPPropExchangeRegistry px(bLoading, hAppKey, strSection);
        pOptions->DoPropExchange(&px, TRUE);
    }
    ::RegCloseKey(hAppKey);
}

} // namespace

void CXTPCommandBars::SaveOptions(LPCTSTR lpszProfileName)
{
    ExchangeUserOptions(m_pOptions, lpszProfileName, FALSE);
}

void CXTPCommandBars::LoadOptions(LPCTSTR lpszProfileName)
{
    ExchangeUserOptions(m_pOptions, lpszProfileName, TRUE);
}
