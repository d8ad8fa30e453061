#include <afxdlgs.h>

#include <cwchar>

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD dwSize)
    : CCommonDialog(pParentWnd), m_ofn{}, m_bOpenFileDialog(bOpenFileDialog), m_szFileTitle{}, m_szFileName{}
{
    m_ofn.lStructSize = dwSize != 0 && dwSize <= sizeof(m_ofn) ? dwSize : sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = _countof(m_szFileName);
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = _countof(m_szFileTitle);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.hInstance = AfxGetResourceHandle();
    if (lpszDefExt != NULL) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFileName != NULL)
        ::lstrcpyn(m_szFileName, lpszFileName, _countof(m_szFileName));
    if (lpszFilter != NULL) {
        // '|' separates the pairs; the system wants terminators and a double one at the end.
        m_strFilter = lpszFilter;
        m_strFilter += L"||";
        LPTSTR pch = m_strFilter.GetBuffer(m_strFilter.GetLength());
        for (LPTSTR p = pch; *p != 0; ++p) {
            if (*p == L'|')
                *p = 0;
        }
        m_strFilter.ReleaseBuffer(m_strFilter.GetLength());
        m_ofn.lpstrFilter = m_strFilter.GetString();
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = PreModal();
    const BOOL bResult = m_bOpenFileDialog ? ::GetOpenFileName(&m_ofn) : ::GetSaveFileName(&m_ofn);
    PostModal();
    return bResult ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) && m_ofn.nFileOffset > 0 &&
        m_ofn.lpstrFile[m_ofn.nFileOffset - 1] == 0) {
        // Several files: the first one names the path.
        POSITION pos = GetStartPosition();
        return GetNextPathName(pos);
    }
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    const CString path = GetPathName();
    const int nSlash = path.ReverseFind(L'\\');
    return path.Mid(nSlash + 1);
}

CString CFileDialog::GetFileExt() const
{
    const CString name = GetFileName();
    const int nDot = name.ReverseFind(L'.');
    return nDot >= 0 ? name.Mid(nDot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const
{
    const CString name = GetFileName();
    const int nDot = name.ReverseFind(L'.');
    return nDot >= 0 ? name.Left(nDot) : name;
}

CString CFileDialog::GetFolderPath() const
{
    const CString path = GetPathName();
    const int nSlash = path.ReverseFind(L'\\');
    return nSlash >= 0 ? path.Left(nSlash) : CString();
}

POSITION CFileDialog::GetStartPosition() const
{
    return m_ofn.lpstrFile[0] != 0 ? reinterpret_cast<POSITION>(m_ofn.lpstrFile) : NULL;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    LPCTSTR lpsz = reinterpret_cast<LPCTSTR>(pos);
    if (lpsz == NULL)
        return CString();
    const bool bMulti = (m_ofn.Flags & OFN_ALLOWMULTISELECT) && m_ofn.nFileOffset > 0 &&
                        m_ofn.lpstrFile[m_ofn.nFileOffset - 1] == 0;
    if (!bMulti) {
        pos = NULL;
        return CString(lpsz);
    }
    // The buffer is the folder, a terminator, then the names, each terminated, and an empty name.
    const CString folder(m_ofn.lpstrFile);
    if (lpsz == m_ofn.lpstrFile)
        lpsz += m_ofn.nFileOffset;
    const CString name(lpsz);
    const LPCTSTR lpszNext = lpsz + name.GetLength() + 1;
    pos = *lpszNext != 0 ? reinterpret_cast<POSITION>(const_cast<LPTSTR>(lpszNext)) : NULL;
    CString path(folder);
    if (!path.IsEmpty() && path[path.GetLength() - 1] != L'\\')
        path += L"\\";
    return path + name;
}
