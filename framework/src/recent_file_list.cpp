// CRecentFileList: the most recently used files, their names for menus and their place in the
// application's profile.
#include <afxadv.h>
#include <afxwin.h>

#include <algorithm>

namespace {

// Where the root of a full path ends: after "C:\" or after "\\server\share\".
int RootLength(const CString& path)
{
    if (path.GetLength() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        int nSlash = path.Find(L'\\', 2);
        if (nSlash >= 0)
            nSlash = path.Find(L'\\', nSlash + 1);
        return nSlash >= 0 ? nSlash + 1 : path.GetLength();
    }
    const int nSlash = path.Find(L'\\');
    return nSlash >= 0 ? nSlash + 1 : 0;
}

CString FullPathOf(LPCTSTR lpszPathName)
{
    wchar_t szFull[MAX_PATH * 2] = {};
    const DWORD nLength = ::GetFullPathNameW(lpszPathName, _countof(szFull), szFull, NULL);
    return (nLength > 0 && nLength < _countof(szFull)) ? CString(szFull) : CString(lpszPathName);
}

} // namespace

CString AFXAPI AfxAbbreviateName(LPCTSTR lpszCanon, int nMaxLength, BOOL bAtLeastName)
{
    const CString path(lpszCanon != NULL ? lpszCanon : L"");
    if (path.GetLength() <= nMaxLength)
        return path;
    const int nNameStart = path.ReverseFind(L'\\') + 1;
    const CString name = path.Mid(nNameStart);
    if (nNameStart == 0 || name.GetLength() > nMaxLength)
        return bAtLeastName ? name : CString();

    const int nRoot = std::min(RootLength(path), nNameStart);
    const CString root = path.Left(nRoot);
    // Leading folders give way to "..." one by one until the rest fits.
    int nRest = nRoot;
    for (;;) {
        const CString shortened = root + L"..." + path.Mid(nRest - 1);
        if (nRest > nRoot && shortened.GetLength() <= nMaxLength)
            return shortened;
        const int nNext = path.Find(L'\\', nRest);
        if (nNext < 0 || nNext >= nNameStart)
            break;
        nRest = nNext + 1;
    }
    const CString minimal = root + L"...\\" + name;
    if (minimal.GetLength() <= nMaxLength)
        return minimal;
    return name;
}

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
                                 int nMaxDispLen)
    : m_nSize(std::max(nSize, 0)), m_arrNames(new CString[std::max(nSize, 1)]), m_strSectionName(lpszSection),
      m_strEntryFormat(lpszEntryFormat), m_nStart(nStart), m_nMaxDisplayLength(nMaxDispLen)
{}

CRecentFileList::~CRecentFileList()
{
    delete[] m_arrNames;
}

CString& CRecentFileList::operator[](int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize) {
        m_strBeyondEnd.Empty();
        return m_strBeyondEnd;
    }
    return m_arrNames[nIndex];
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        return;
    for (int i = nIndex; i < m_nSize - 1; ++i)
        m_arrNames[i] = m_arrNames[i + 1];
    m_arrNames[m_nSize - 1].Empty();
}

void CRecentFileList::Add(LPCTSTR lpszPathName)
{
    if (lpszPathName == NULL || *lpszPathName == 0 || m_nSize == 0)
        return;
    const CString path = FullPathOf(lpszPathName);
    // The entry for the same file, or the last one, makes room at the top.
    int nFree = m_nSize - 1;
    for (int i = 0; i < m_nSize; ++i) {
        if (m_arrNames[i].CompareNoCase(path) == 0) {
            nFree = i;
            break;
        }
    }
    for (int i = nFree; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = path;
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                     BOOL bAtLeastName) const
{
    if (nIndex < 0 || nIndex >= m_nSize || m_arrNames[nIndex].IsEmpty())
        return FALSE;
    const CString& path = m_arrNames[nIndex];
    CString folder = lpszCurDir != NULL ? CString(lpszCurDir).Left(std::max(nCurDir, 0)) : CString();
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != L'\\')
        folder += L'\\';
    const int nFolder = folder.GetLength();
    if (nFolder > 0 && path.GetLength() > nFolder && path.Left(nFolder).CompareNoCase(folder) == 0 &&
        path.Find(L'\\', nFolder) < 0) {
        strName = path.Mid(nFolder);
        return TRUE;
    }
    strName = AfxAbbreviateName(path, m_nMaxDisplayLength, bAtLeastName);
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI)
{
    if (pCmdUI == NULL)
        return;
    CMenu* pMenu = pCmdUI->m_pMenu;
    if (pMenu == NULL) {
        // A button stands for the list as a whole.
        pCmdUI->Enable(m_nSize > 0 && !m_arrNames[0].IsEmpty());
        return;
    }
    if (m_strOriginal.IsEmpty())
        pMenu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);
    if (m_nSize == 0 || m_arrNames[0].IsEmpty()) {
        // Back to the one item it was, without the names of the last time.
        for (int i = 1; i < m_nSize; ++i)
            pMenu->DeleteMenu(m_nStart + static_cast<UINT>(i), MF_BYCOMMAND);
        pCmdUI->m_nIndexMax = static_cast<UINT>(pMenu->GetMenuItemCount());
        if (!m_strOriginal.IsEmpty())
            pCmdUI->SetText(m_strOriginal);
        pCmdUI->Enable(FALSE);
        return;
    }
    // The items of the last time go; the numbered names take the first entry's place.
    for (int i = 0; i < m_nSize; ++i)
        pMenu->DeleteMenu(m_nStart + static_cast<UINT>(i), MF_BYCOMMAND);

    wchar_t szCurDir[MAX_PATH + 1] = {};
    DWORD nCurDir = ::GetCurrentDirectoryW(MAX_PATH, szCurDir);
    if (nCurDir >= MAX_PATH)
        nCurDir = 0;
    szCurDir[nCurDir] = 0;
    UINT nInserted = 0;
    for (int i = 0; i < m_nSize; ++i) {
        CString name;
        if (!GetDisplayName(name, i, szCurDir, static_cast<int>(nCurDir)))
            break;
        // A name is data: its ampersands are shown, not taken as access keys.
        name.Replace(L"&", L"&&");
        CString item;
        if (i < 9)
            item.Format(L"&%d %s", i + 1, name.GetString());
        else if (i == 9)
            item.Format(L"1&0 %s", name.GetString());
        else
            item.Format(L"%d %s", i + 1, name.GetString());
        pMenu->InsertMenu(pCmdUI->m_nIndex + nInserted, MF_STRING | MF_BYPOSITION,
                          m_nStart + static_cast<UINT>(i), item);
        ++nInserted;
    }
    // The frame's update loop goes on after the inserted items.
    pCmdUI->m_nIndex += nInserted - 1;
    pCmdUI->m_nIndexMax = static_cast<UINT>(pMenu->GetMenuItemCount());
    pCmdUI->m_bEnableChanged = TRUE;
}

void CRecentFileList::ReadList()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        m_arrNames[i] = pApp->GetProfileString(m_strSectionName, entry, L"");
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return;
    // The section is written afresh, so entries of a longer list or of removed files do not stay.
    pApp->WriteProfileString(m_strSectionName, NULL, NULL);
    for (int i = 0; i < m_nSize; ++i) {
        if (m_arrNames[i].IsEmpty())
            continue;
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        pApp->WriteProfileString(m_strSectionName, entry, m_arrNames[i]);
    }
}
