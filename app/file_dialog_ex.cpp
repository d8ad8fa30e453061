#include "file_dialog_ex.h"

CFileDialogEx::CFileDialogEx(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPWSTR lpszFileName, DWORD dwFlags,
                             LPCWSTR lpszFilter, CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog)
{
    m_ofn.lpstrFile = lpszFileName != NULL ? lpszFileName : m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.lpstrFilter = lpszFilter;
    m_ofn.lpstrDefExt = lpszDefExt;
    m_ofn.hwndOwner = pParentWnd != NULL ? pParentWnd->GetSafeHwnd() : NULL;
}

INT_PTR CFileDialogEx::DoModal()
{
    // The size of the structure this build was compiled with: the smaller sizes of older systems are
    // those of the 32-bit layout and make a 64-bit call fail.
    m_ofn.lStructSize = sizeof(OPENFILENAMEW);
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

CString CFileDialogEx::GetNextPathName(POSITION& pos) const
{
    const wchar_t* const buffer = m_ofn.lpstrFile;
    const wchar_t* const end = buffer + m_ofn.nMaxFile;
    const wchar_t separator = (m_ofn.Flags & OFN_EXPLORER) ? L'\0' : L' ';
    auto itemEnd = [&](const wchar_t* p) {
        while (p < end && *p != L'\0' && *p != separator)
            ++p;
        return p;
    };
    auto text = [](const wchar_t* from, const wchar_t* to) {
        return CString(from, static_cast<int>(to - from));
    };

    const wchar_t* position = reinterpret_cast<const wchar_t*>(pos);
    if (position == NULL || position < buffer || position >= end) {
        pos = NULL;
        return CString();
    }
    const wchar_t* const folderEnd = itemEnd(buffer);
    if (position == buffer) {
        const wchar_t* const afterFolder = folderEnd + 1;
        // One file: no multiple selection, or nothing after the first item.
        const bool single = (m_ofn.Flags & OFN_ALLOWMULTISELECT) == 0 || afterFolder >= end ||
                            (separator != L'\0' && *folderEnd == L'\0') || *afterFolder == L'\0';
        if (single) {
            pos = NULL;
            const wchar_t* whole = buffer;
            while (whole < end && *whole != L'\0')
                ++whole;
            return text(buffer, whole);
        }
        position = afterFolder;
    }
    const wchar_t* const nameEnd = itemEnd(position);
    CString folder = text(buffer, folderEnd);
    const CString name = text(position, nameEnd);
    const wchar_t* const next = nameEnd < end && *nameEnd == separator ? nameEnd + 1 : end;
    pos = next < end && *next != L'\0' ? reinterpret_cast<POSITION>(const_cast<wchar_t*>(next)) : NULL;
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != L'\\' &&
        folder[folder.GetLength() - 1] != L'/')
        folder += L'\\';
    return folder + name;
}
