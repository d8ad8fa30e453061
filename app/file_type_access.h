#pragma once

// Writes a document type under the classes root: the extension's key with its document class and open
// command, and the class's key with its icon and open command.
#include <afxwin.h>

class CGCFileTypeAccess : public CObject
{
public:
    CGCFileTypeAccess() = default;
    ~CGCFileTypeAccess() override = default;

    void SetExtension(LPCWSTR extension) { m_extension = extension; }
    void SetShellOpenCommand(LPCWSTR command) { m_shellOpenCommand = command; }
    void SetDocumentClassName(LPCWSTR className) { m_documentClassName = className; }
    void SetDefaultIcon(LPCWSTR icon) { m_defaultIcon = icon; }
    void ClearAllData();

    // The extension's key, then the class's key; the two further steps of a registration have nothing to
    // write. Failures are not reported: the program runs without the association.
    virtual BOOL RegisterSetting();
    virtual BOOL RegisterExtensionKey();
    virtual BOOL RegisterClassKey();
    virtual BOOL RegisterShellNewKey() { return TRUE; }
    virtual BOOL RegisterDdeKeys() { return TRUE; }

    // Writes the data as REG_SZ with its terminating zero into the subkey, made when missing; 0 without
    // a root, a subkey or a value name.
    static BOOL SetRegistryValue(HKEY root, LPCWSTR subkey, LPCWSTR valueName, LPCWSTR data);

protected:
    CString m_extension;
    CString m_shellOpenCommand;
    CString m_documentClassName;
    CString m_documentDescription;
    CString m_defaultIcon;
    // Parts of a registration that this program never sets.
    CString m_shellPrintCommand;
    CString m_shellPrintToCommand;
    CString m_shellNewCommand;
    CString m_shellNewFileName;
    CString m_ddeCommand;
    CString m_ddeApplication;
};
