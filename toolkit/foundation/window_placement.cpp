#include "window_placement.h"

#include "registry_profile.h"

#include <cstring>

namespace {
LPCTSTR EntryOrDefault(LPCTSTR lpszEntry)
{
    return lpszEntry != NULL ? lpszEntry : L"Window Position";
}

LPCTSTR SectionOrDefault(LPCTSTR lpszSection)
{
    return lpszSection != NULL ? lpszSection : L"Settings";
}
} // namespace

CXTWindowPlacement::CXTWindowPlacement()
{
    std::memset(&m_record, 0, sizeof(m_record));
    m_record.placement.length = sizeof(WINDOWPLACEMENT);
    m_record.placement.showCmd = SW_SHOW;
}

BOOL CXTWindowPlacement::Save(CWnd* pWnd, LPCTSTR lpszEntry, LPCTSTR lpszSection)
{
    if (pWnd == NULL || !::IsWindow(pWnd->GetSafeHwnd()))
        return FALSE;
    WINDOWPLACEMENT wp;
    std::memset(&wp, 0, sizeof(wp));
    wp.length = sizeof(wp);
    if (!::GetWindowPlacement(pWnd->GetSafeHwnd(), &wp))
        return FALSE;
    if (wp.showCmd != SW_SHOWMAXIMIZED)
        wp.showCmd = SW_SHOWNORMAL;
    m_record.placement = wp;
    CXTRegistryProfile profile(HKEY_CURRENT_USER);
    profile.WriteProfileBinary(SectionOrDefault(lpszSection), EntryOrDefault(lpszEntry),
                               reinterpret_cast<const BYTE*>(&m_record), sizeof(m_record));
    return TRUE;
}

BOOL CXTWindowPlacement::Load(LPCTSTR lpszEntry, LPCTSTR lpszSection)
{
    CXTRegistryProfile profile(HKEY_CURRENT_USER);
    BYTE* pData = NULL;
    UINT nBytes = 0;
    if (!profile.GetProfileBinary(SectionOrDefault(lpszSection), EntryOrDefault(lpszEntry), &pData, &nBytes))
        return FALSE;
    // A value of another size is not a record of ours: cutting or padding it would place the
    // window from bytes that mean something else.
    const BOOL bResult = nBytes == sizeof(m_record);
    if (bResult)
        std::memcpy(&m_record, pData, sizeof(m_record));
    delete[] pData;
    return bResult;
}

BOOL CXTWindowPlacement::Restore(CWnd* pWnd, LPCTSTR lpszEntry, LPCTSTR lpszSection)
{
    if (pWnd == NULL || !::IsWindow(pWnd->GetSafeHwnd()) || !Load(lpszEntry, lpszSection))
        return FALSE;
    m_record.placement.length = sizeof(WINDOWPLACEMENT);
    ::SetWindowPlacement(pWnd->GetSafeHwnd(), &m_record.placement);
    return TRUE;
}
