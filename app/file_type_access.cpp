#include "file_type_access.h"

void CGCFileTypeAccess::ClearAllData()
{
    for (CString* field : {&m_extension, &m_shellOpenCommand, &m_documentClassName, &m_documentDescription,
                           &m_defaultIcon, &m_shellPrintCommand, &m_shellPrintToCommand, &m_shellNewCommand,
                           &m_shellNewFileName, &m_ddeCommand, &m_ddeApplication})
        field->Empty();
}

BOOL CGCFileTypeAccess::SetRegistryValue(HKEY root, LPCWSTR subkey, LPCWSTR valueName, LPCWSTR data)
{
    if (root == NULL || subkey == NULL || *subkey == L'\0' || valueName == NULL)
        return FALSE;
    if (data == NULL)
        data = L"";
    HKEY key = NULL;
    if (::RegCreateKeyExW(root, subkey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return FALSE;
    const DWORD bytes = static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t));
    const LONG result =
        ::RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

BOOL CGCFileTypeAccess::RegisterSetting()
{
    RegisterExtensionKey();
    RegisterClassKey();
    RegisterShellNewKey();
    RegisterDdeKeys();
    return TRUE;
}

BOOL CGCFileTypeAccess::RegisterExtensionKey()
{
    if (m_extension.IsEmpty())
        return TRUE;
    const CString key = L"." + m_extension;
    SetRegistryValue(HKEY_CLASSES_ROOT, key, L"", m_documentClassName);
    if (!m_shellOpenCommand.IsEmpty())
        SetRegistryValue(HKEY_CLASSES_ROOT, key + L"\\shell\\open\\command", L"", m_shellOpenCommand);
    return TRUE;
}

BOOL CGCFileTypeAccess::RegisterClassKey()
{
    if (m_documentClassName.IsEmpty())
        return TRUE;
    SetRegistryValue(HKEY_CLASSES_ROOT, m_documentClassName, L"", m_documentDescription);
    if (!m_defaultIcon.IsEmpty())
        SetRegistryValue(HKEY_CLASSES_ROOT, m_documentClassName + L"\\DefaultIcon", L"", m_defaultIcon);
    if (!m_shellOpenCommand.IsEmpty())
        SetRegistryValue(HKEY_CLASSES_ROOT, m_documentClassName + L"\\shell\\open\\command", L"",
                         m_shellOpenCommand);
    return TRUE;
}
