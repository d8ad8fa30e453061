// The shell's part of the document types: EnableShellOpen and the type keys that let the shell open
// and print a document with this program. Keys go to the user's classes root
// (HKEY_CURRENT_USER\Software\Classes), which needs no administrator and is what the shell shows in
// HKEY_CLASSES_ROOT for this user. Failures are ignored: the program runs without the association.
#include <afxwin.h>

#include "doc_extensions.h"

namespace {

const wchar_t kClassesRoot[] = L"Software\\Classes\\";

// The verbs written with the compatibility option, and the open verb written always.
const wchar_t kOpenCommand[] = L"\\shell\\open\\command";
const wchar_t kPrintCommand[] = L"\\shell\\print\\command";
const wchar_t kPrintToCommand[] = L"\\shell\\printto\\command";
const wchar_t kDefaultIcon[] = L"\\DefaultIcon";

CString ClassesKey(const CString& subKey)
{
    return CString(kClassesRoot) + subKey;
}

bool SetDefaultValue(const CString& subKey, const CString& value)
{
    HKEY hKey = NULL;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, ClassesKey(subKey), 0, NULL, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return false;
    const DWORD cbData = static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t));
    const bool bWritten =
        ::RegSetValueExW(hKey, NULL, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()), cbData) ==
        ERROR_SUCCESS;
    ::RegCloseKey(hKey);
    return bWritten;
}

// The default text of a key below hRoot; empty when the key or the value is missing or not text.
CString GetDefaultValue(HKEY hRoot, const CString& subKey)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(hRoot, subKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return CString();
    CString value;
    DWORD dwType = 0;
    wchar_t szValue[1024] = {};
    DWORD cbValue = sizeof(szValue) - sizeof(wchar_t);
    if (::RegQueryValueExW(hKey, NULL, NULL, &dwType, reinterpret_cast<BYTE*>(szValue), &cbValue) ==
            ERROR_SUCCESS &&
        (dwType == REG_SZ || dwType == REG_EXPAND_SZ)) {
        szValue[cbValue / sizeof(wchar_t)] = 0;
        value = szValue;
    } else if (::RegQueryValueExW(hKey, NULL, NULL, &dwType, NULL, &cbValue) == ERROR_SUCCESS) {
        value = L"?"; // a value we cannot read as ours is somebody else's
    }
    ::RegCloseKey(hKey);
    return value;
}

// Deletes a key that holds no subkeys; with bOnlyIfEmpty also only when it holds no values.
void DeleteClassesKey(const CString& subKey, bool bOnlyIfEmpty)
{
    if (bOnlyIfEmpty) {
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, ClassesKey(subKey), 0, KEY_QUERY_VALUE, &hKey) !=
            ERROR_SUCCESS)
            return;
        DWORD nSubKeys = 0, nValues = 0;
        const LONG lResult = ::RegQueryInfoKeyW(hKey, NULL, NULL, NULL, &nSubKeys, NULL, NULL, &nValues, NULL,
                                                NULL, NULL, NULL);
        ::RegCloseKey(hKey);
        if (lResult != ERROR_SUCCESS || nSubKeys != 0 || nValues != 0)
            return;
    }
    ::RegDeleteKeyW(HKEY_CURRENT_USER, ClassesKey(subKey));
}

void DeleteDefaultValue(const CString& subKey)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, ClassesKey(subKey), 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
        return;
    ::RegDeleteValueW(hKey, NULL);
    ::RegCloseKey(hKey);
}

// Whether the extension may name the type: it names nothing yet, or this type already. Both the
// user's and the merged classes root are asked, so a machine-wide association of another program
// is not hidden by one of the user's.
bool ExtensionIsFree(const CString& extension, const CString& typeId)
{
    const CString user = GetDefaultValue(HKEY_CURRENT_USER, ClassesKey(extension));
    const CString merged = GetDefaultValue(HKEY_CLASSES_ROOT, extension);
    return (user.IsEmpty() || user == typeId) && (merged.IsEmpty() || merged == typeId);
}

// The program's full path with long names; short names are not reliable under every system.
CString ExecutablePath()
{
    wchar_t szModule[MAX_PATH * 2] = {};
    const DWORD nLength = ::GetModuleFileNameW(NULL, szModule, _countof(szModule));
    if (nLength == 0 || nLength >= _countof(szModule))
        return CString();
    wchar_t szLong[MAX_PATH * 2] = {};
    const DWORD nLong = ::GetLongPathNameW(szModule, szLong, _countof(szLong));
    return (nLong > 0 && nLong < _countof(szLong)) ? CString(szLong) : CString(szModule);
}

struct TypeStrings
{
    CString typeId;
    CString typeName;
    CString filterExt;
    bool bHasWindowTitle = false;
};

bool ReadTypeStrings(CDocTemplate* pTemplate, TypeStrings& strings)
{
    if (!pTemplate->GetDocString(strings.typeId, CDocTemplate::regFileTypeId) || strings.typeId.IsEmpty())
        return false;
    pTemplate->GetDocString(strings.typeName, CDocTemplate::regFileTypeName);
    pTemplate->GetDocString(strings.filterExt, CDocTemplate::filterExt);
    CString title;
    strings.bHasWindowTitle = pTemplate->GetDocString(title, CDocTemplate::windowTitle) && !title.IsEmpty();
    return true;
}

} // namespace

void CWinApp::EnableShellOpen()
{
    // The shell starts the program with the document's path; no DDE conversation is offered.
    m_bShellOpenEnabled = TRUE;
}

void CWinApp::RegisterShellFileTypes(BOOL bCompat)
{
    const CString exe = ExecutablePath();
    if (exe.IsEmpty())
        return;
    const CString quotedExe = L"\"" + exe + L"\"";
    for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;) {
        TypeStrings strings;
        if (!ReadTypeStrings(GetNextDocTemplate(pos), strings))
            continue;
        const CString& id = strings.typeId;
        SetDefaultValue(id, strings.typeName);
        if (bCompat) {
            // A type shown in the main frame has the program's icon; others the next one.
            SetDefaultValue(id + kDefaultIcon, exe + (strings.bHasWindowTitle ? L",0" : L",1"));
            SetDefaultValue(id + kPrintCommand, quotedExe + L" /p \"%1\"");
            SetDefaultValue(id + kPrintToCommand, quotedExe + L" /pt \"%1\" \"%2\" \"%3\" \"%4\"");
        }
        SetDefaultValue(id + kOpenCommand, quotedExe + L" \"%1\"");
        for (const CString& extension : AfxDocExtensions(strings.filterExt)) {
            if (extension[0] == L'.' && ExtensionIsFree(extension, id))
                SetDefaultValue(extension, id);
        }
    }
}

void CWinApp::UnregisterShellFileTypes()
{
    for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;) {
        TypeStrings strings;
        if (!ReadTypeStrings(GetNextDocTemplate(pos), strings))
            continue;
        const CString& id = strings.typeId;
        // Keys of our verbs go; a key that another program added to holds its subkeys and stays.
        for (const wchar_t* verb : {L"open", L"print", L"printto"}) {
            const CString verbKey = id + L"\\shell\\" + verb;
            DeleteClassesKey(verbKey + L"\\command", false);
            DeleteClassesKey(verbKey, true);
        }
        DeleteClassesKey(id + L"\\shell", true);
        DeleteClassesKey(id + kDefaultIcon, false);
        DeleteClassesKey(id, false);
        for (const CString& extension : AfxDocExtensions(strings.filterExt)) {
            if (extension[0] != L'.' || GetDefaultValue(HKEY_CURRENT_USER, ClassesKey(extension)) != id)
                continue;
            DeleteDefaultValue(extension);
            DeleteClassesKey(extension, true);
        }
    }
}
