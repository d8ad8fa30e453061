// CRecentFileList: the most recently used files, newest first, kept in the application's profile
// as one entry per file ("File1", "File2", ...) in one section.
#pragma once

#include "afx/cmd_ui.h"

// Display names longer than this are shortened with "...".
#define AFX_ABBREV_FILENAME_LEN 30

class CRecentFileList
{
public:
    // nStart: the command id of the first entry's menu item; lpszEntryFormat: a printf format with
    // one %d for the entry's number from 1.
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
                    int nMaxDispLen = AFX_ABBREV_FILENAME_LEN);
    virtual ~CRecentFileList();
    CRecentFileList(const CRecentFileList&) = delete;
    CRecentFileList& operator=(const CRecentFileList&) = delete;

    int GetSize() const { return m_nSize; }
    // An empty string past the end.
    CString& operator[](int nIndex);

    // Removes the entry; the later ones move up.
    virtual void Remove(int nIndex);
    // Puts the full path at the top; an entry for the same file (compared without case) goes, the
    // oldest drops off a full list.
    virtual void Add(LPCTSTR lpszPathName);
    // FALSE for an empty entry. The bare file name when the file is in lpszCurDir (its first
    // nCurDir characters, ending in "\"), else the path shortened with "..." to the display length;
    // with bAtLeastName a name too long for that length is shown whole rather than cut.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                BOOL bAtLeastName = TRUE) const;
    // The menu item of the first entry becomes one numbered item per file ("&1 name"), or stays as
    // it was, disabled, while the list is empty.
    virtual void UpdateMenu(CCmdUI* pCmdUI);
    virtual void ReadList();
    // The section holds exactly the non-empty entries afterwards.
    virtual void WriteList();

    int m_nSize;
    CString* m_arrNames;
    CString m_strSectionName;
    CString m_strEntryFormat;
    UINT m_nStart;
    int m_nMaxDisplayLength;
    CString m_strOriginal; // the first menu item's text while the list is empty

private:
    CString m_strBeyondEnd;
};

// Shortens a full path to at most nMaxLength characters by putting "..." for leading folders after
// the root ("C:\...\folder\name.ext"); when even that is too long, the file name alone (bAtLeastName)
// or an empty string.
CString AFXAPI AfxAbbreviateName(LPCTSTR lpszCanon, int nMaxLength, BOOL bAtLeastName);
