#include "shell_test_support.h"

#include "shell_test_ids.h"

RawRegistryValue ReadRawValue(HKEY hRoot, LPCWSTR lpszKey, LPCWSTR lpszName)
{
    RawRegistryValue value;
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(hRoot, lpszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return value;
    DWORD dwSize = 0;
    if (::RegQueryValueExW(hKey, lpszName, NULL, &value.dwType, NULL, &dwSize) == ERROR_SUCCESS) {
        value.data.resize(dwSize);
        value.bFound = ::RegQueryValueExW(hKey, lpszName, NULL, &value.dwType, value.data.data(), &dwSize) ==
                       ERROR_SUCCESS;
        value.data.resize(dwSize);
    }
    ::RegCloseKey(hKey);
    return value;
}

bool RegistryKeyExists(HKEY hRoot, LPCWSTR lpszKey)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(hRoot, lpszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

std::vector<std::wstring> RegistryValueNames(HKEY hRoot, LPCWSTR lpszKey)
{
    std::vector<std::wstring> names;
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(hRoot, lpszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t szName[256] = {};
        DWORD nName = _countof(szName);
        if (::RegEnumValueW(hKey, i, szName, &nName, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        names.emplace_back(szName, nName);
    }
    ::RegCloseKey(hKey);
    return names;
}

std::vector<BYTE> StringBytes(const std::wstring& text)
{
    const BYTE* pBytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(pBytes, pBytes + (text.size() + 1) * sizeof(wchar_t));
}

ScopedTestProfile::ScopedTestProfile(LPCWSTR lpszCompany)
    : m_company(lpszCompany), m_oldProfileName(AfxGetApp()->m_pszProfileName)
{
    RemoveKey();
    AfxGetApp()->SetRegistryKey(lpszCompany);
}

ScopedTestProfile::~ScopedTestProfile()
{
    CWinApp* pApp = AfxGetApp();
    free(const_cast<LPTSTR>(pApp->m_pszRegistryKey));
    pApp->m_pszRegistryKey = NULL;
    free(const_cast<LPTSTR>(pApp->m_pszProfileName));
    pApp->m_pszProfileName = _wcsdup(m_oldProfileName);
    RemoveKey();
}

CString ScopedTestProfile::SectionKey(LPCWSTR lpszSection) const
{
    CString path;
    path.Format(L"Software\\%s\\%s\\%s", m_company.GetString(), AfxGetApp()->m_pszProfileName, lpszSection);
    return path;
}

void ScopedTestProfile::RemoveKey() const
{
    const CString path = L"Software\\" + m_company;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, path);
}

IMPLEMENT_DYNCREATE(CShellDoc, CDocument)

void CShellDoc::Serialize(CArchive& ar)
{
    if (ar.IsLoading())
        ar >> m_strContent;
    else
        ar << m_strContent;
}

IMPLEMENT_DYNCREATE(CShellView, CView)
// clang-format off
BEGIN_MESSAGE_MAP(CShellView, CView)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, OnPrintDirect)
END_MESSAGE_MAP()
// clang-format on

int CShellView::s_nPrintDirect = 0;

void CShellView::OnDraw(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, RGB(250, 250, 240));
    CShellDoc* pDoc = static_cast<CShellDoc*>(GetDocument());
    pDC->TextOut(8, 8, pDoc != NULL ? pDoc->m_strContent : CString());
}

void CShellView::OnPrintDirect()
{
    ++s_nPrintDirect;
}

IMPLEMENT_DYNCREATE(CShellFrame, CFrameWnd)

CSingleDocTemplate* NewShellTemplate(UINT nIDResource)
{
    return new CSingleDocTemplate(nIDResource != 0 ? nIDResource : IDR_SHELL_DOC, RUNTIME_CLASS(CShellDoc),
                                  RUNTIME_CLASS(CShellFrame), RUNTIME_CLASS(CShellView));
}

CString WriteShellDocument(LPCWSTR lpszName, LPCWSTR lpszContent)
{
    wchar_t szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    wchar_t szLong[MAX_PATH] = {};
    if (::GetLongPathNameW(szTemp, szLong, MAX_PATH) == 0)
        wcscpy_s(szLong, szTemp);
    CString folder = CString(szLong) + L"dir with space";
    ::CreateDirectoryW(folder, NULL);
    const CString path = folder + L"\\" + lpszName;
    CFile file(path, CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    ar << CString(lpszContent);
    ar.Close();
    return path;
}
