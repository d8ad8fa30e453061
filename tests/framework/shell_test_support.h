// Helpers of the command-line, recent-file and shell-registration tests: registry values read back
// raw, the application's profile moved to a test key for a scope, and the tests' document classes.
#pragma once

#include <afxwin.h>

#include <string>
#include <vector>

// A value as the registry holds it.
struct RawRegistryValue
{
    bool bFound = false;
    DWORD dwType = 0;
    std::vector<BYTE> data;
};
RawRegistryValue ReadRawValue(HKEY hRoot, LPCWSTR lpszKey, LPCWSTR lpszName);
bool RegistryKeyExists(HKEY hRoot, LPCWSTR lpszKey);
// The names of a key's values, in the registry's order.
std::vector<std::wstring> RegistryValueNames(HKEY hRoot, LPCWSTR lpszKey);
// The bytes of a REG_SZ holding the text and its terminator.
std::vector<BYTE> StringBytes(const std::wstring& text);

// The application's profile lives under HKCU\Software\<company>\<application> while the object
// lives; the key goes at both ends.
class ScopedTestProfile
{
public:
    explicit ScopedTestProfile(LPCWSTR lpszCompany);
    ~ScopedTestProfile();
    ScopedTestProfile(const ScopedTestProfile&) = delete;
    ScopedTestProfile& operator=(const ScopedTestProfile&) = delete;
    // HKCU-relative path of a section.
    CString SectionKey(LPCWSTR lpszSection) const;

private:
    void RemoveKey() const;
    CString m_company;
    CString m_oldProfileName;
};

// A document that reads one string, its view (which records the direct-print command) and a frame
// shown without activation.
class CShellDoc : public CDocument
{
    DECLARE_DYNCREATE(CShellDoc)
public:
    void Serialize(CArchive& ar) override;
    CString m_strContent;
};

class CShellView : public CView
{
    DECLARE_DYNCREATE(CShellView)
public:
    void OnDraw(CDC* pDC) override;
    static int s_nPrintDirect;

protected:
    afx_msg void OnPrintDirect();
    DECLARE_MESSAGE_MAP()
};

class CShellFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CShellFrame)
public:
    // An activated window is slow to go on the test display.
    void ActivateFrame(int) override { ShowWindow(SW_SHOWNOACTIVATE); }
};

// The single-document template of the tests (resource IDR_SHELL_DOC unless given).
CSingleDocTemplate* NewShellTemplate(UINT nIDResource = 0);

// A file of the shell document in the temporary folder's "dir with space"; returns its full path.
CString WriteShellDocument(LPCWSTR lpszName, LPCWSTR lpszContent);
