// The system's common dialogs: CFileDialog over GetOpenFileName/GetSaveFileName, and the shell's
// folder browser.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include "afx/dialog.h"

class CCommonDialog : public CDialog
{
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd) : CDialog() { m_pParentWnd = pParentWnd; }
};

class CFileDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    // The filter is "Text (*.txt)|*.txt|All files (*.*)|*.*||". A caller that allows several
    // files (OFN_ALLOWMULTISELECT) gives m_ofn a larger buffer of its own.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = NULL, LPCTSTR lpszFileName = NULL,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = NULL,
                         CWnd* pParentWnd = NULL, DWORD dwSize = 0);

    OPENFILENAME m_ofn;

    // IDOK when a file was chosen, IDCANCEL otherwise.
    INT_PTR DoModal() override;

    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    // The chosen files of a multiple selection, one full path at a time.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

protected:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;
    CString m_strDefExt;
    wchar_t m_szFileTitle[MAX_PATH];
    wchar_t m_szFileName[MAX_PATH * 2];
};

// The shell's folder browser (file-system folders by default, in the new dialog style); TRUE with
// the chosen folder's path, FALSE when cancelled or when the choice has no path.
BOOL AFXAPI AfxBrowseForFolder(CWnd* pOwner, LPCTSTR lpszTitle, CString& strFolder,
                               UINT ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE,
                               LPCTSTR lpszInitialFolder = NULL);
