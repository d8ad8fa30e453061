// The keyboard shortcuts of one command-bars manager: the accelerator table as loaded (kept for a
// reset) and the working copy the user may change, translation at frame level, the texts shown for
// a command's shortcut, key names, access keys across keyboard layouts, and the working table in
// the application profile.
#pragma once

#include <afxwin.h>

#include <map>
#include <vector>

class CXTPCommandBars;

class CXTPShortcutManager : public CCmdTarget
{
public:
    explicit CXTPShortcutManager(CXTPCommandBars* pCommandBars = NULL);
    ~CXTPShortcutManager() override;

    // The text of the command's shortcut: a text equal to one of its accelerators stays, else the
    // accelerator of the greatest priority (the first on ties); empty and FALSE without any.
    virtual BOOL FindDefaultAccelerator(UINT nCmd, CString& strShortcut);
    // "Ctrl+Shift+F5"; the priority is 3 with Ctrl, else 2 with Alt, else 1 with Shift, else 4.
    virtual CString FormatAccelerator(const ACCEL* pAccel, int* pnPriority = NULL);
    virtual CString GetKeyName(UINT nVirtKey);
    // Esc alone is a shortcut only when allowed.
    virtual BOOL IsAllowedAccelerator(BYTE fVirt, WORD wKey) const;
    virtual HACCEL GetAcceleratorTable() const { return m_hAccelTable; }
    // The working table becomes a new copy of the table as loaded.
    virtual void Reset();

    // The working accelerator table, or null when the manager holds none.
    virtual HACCEL GetDefaultAccelerator() const { return m_hAccelTable; }
    HACCEL GetOriginalAccelerator() const { return m_hOriginalAccelTable; }
    // Loads the resource table twice: as loaded and as the working table. A missing resource leaves
    // both empty.
    BOOL LoadAccelerators(UINT nIDResource);
    // Takes a copy of the table as the working table.
    void SetAccelerators(HACCEL hAccelTable);
    void SetAccelerators(const ACCEL* pEntries, int nCount);
    // Translates a key message for the frame; FALSE while disabled (print preview) or without table.
    BOOL TranslateAccelerator(HWND hWnd, MSG* pMsg);
    void DisableShortcuts(BOOL bDisable) { m_nDisableShortcuts += bDisable ? 1 : -1; }
    void OnSetPreviewMode(BOOL bPreview) { DisableShortcuts(bPreview); }
    // "Accelerators" of the profile section, 6 bytes a record; nothing without a loaded table.
    void SaveShortcuts(LPCTSTR lpszProfileName);
    void LoadShortcuts(LPCTSTR lpszProfileName);
    // Whether the key types the character (or its upper case) on the current layout or, with more
    // than one installed, on any of them.
    BOOL CompareAccessKey(TCHAR chAccel, UINT nVirtKey);

    // The working table's entries.
    std::vector<ACCEL> GetAccelerators() const;

    BOOL m_bAllowEscapeShortcut = FALSE;
    BOOL m_bUseSystemKeyNameText = FALSE;

protected:
    // The installed keyboard layouts (tests give their own list).
    virtual std::vector<HKL> GetKeyboardLayouts() const;
    CString GetSystemKeyName(UINT nVirtKey) const;

    int m_nDisableShortcuts = 0;
    CXTPCommandBars* m_pCommandBars = NULL;
    HACCEL m_hAccelTable = NULL;
    HACCEL m_hOriginalAccelTable = NULL;
    std::map<UINT, CString> m_mapKeyNames;

    friend class CXTPCommandBars;
};

// The entries of an accelerator table (none for a null table).
std::vector<ACCEL> AFXAPI XTPCopyAccelerators(HACCEL hAccel);
