#pragma once

// The program's own wrapper of the system's open and save dialogs: it fills the dialog structure itself
// and splits a multiple selection into full paths.
#include <afxwin.h>

#include <commdlg.h>

class CFileDialogEx
{
public:
    // The file buffer is the caller's (at least MAX_PATH characters) or the object's own; the explorer
    // style is always added to the flags.
    CFileDialogEx(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = NULL, LPWSTR lpszFileName = NULL,
                  DWORD dwFlags = 0, LPCWSTR lpszFilter = NULL, CWnd* pParentWnd = NULL);
    virtual ~CFileDialogEx() = default;
    CFileDialogEx(const CFileDialogEx&) = delete;
    CFileDialogEx& operator=(const CFileDialogEx&) = delete;

    // IDOK when the user chose a file, IDCANCEL otherwise.
    virtual INT_PTR DoModal();

    POSITION GetStartPosition() const { return reinterpret_cast<POSITION>(m_ofn.lpstrFile); }
    // The next chosen file as a full path; the position becomes null after the last one.
    CString GetNextPathName(POSITION& pos) const;

    OPENFILENAMEW m_ofn;

protected:
    BOOL m_bOpenFileDialog;
    wchar_t m_szFileName[MAX_PATH] = {};
    wchar_t m_szFileTitle[MAX_PATH] = {};
    wchar_t m_szUnused[MAX_PATH] = {};
};
