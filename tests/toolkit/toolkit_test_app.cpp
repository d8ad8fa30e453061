#include "toolkit_test_app.h"

#include <cstdlib>

CToolkitTestApp theApp;

int CToolkitTestApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    if (m_bShowMessageBoxes)
        return CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
    m_messageBoxes.push_back(lpszPrompt != NULL ? lpszPrompt : L"");
    return m_nMessageBoxAnswer;
}

bool ColorsNear(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::wstring BuildFolderFile(const std::wstring& name)
{
    std::wstring path(MAX_PATH * 4, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    const size_t slash = path.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + name;
}

std::string Narrow(const wchar_t* text)
{
    std::string result;
    for (; text != nullptr && *text != 0; ++text)
        result += *text < 128 ? static_cast<char>(*text) : '?';
    return result;
}
