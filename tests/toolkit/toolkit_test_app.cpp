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

HICON MakeSquareIcon(COLORREF clrInner, COLORREF clrBorder, int nBorder)
{
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hColor = ::CreateCompatibleBitmap(hScreen, 16, 16);
    HBITMAP hMask = ::CreateBitmap(16, 16, 1, 1, NULL);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = ::SelectObject(hDC, hColor);
    const RECT rcAll = {0, 0, 16, 16};
    const RECT rcInner = {nBorder, nBorder, 16 - nBorder, 16 - nBorder};
    HBRUSH hBorder = ::CreateSolidBrush(clrBorder);
    ::FillRect(hDC, &rcAll, hBorder);
    ::DeleteObject(hBorder);
    HBRUSH hInner = ::CreateSolidBrush(clrInner);
    ::FillRect(hDC, &rcInner, hInner);
    ::DeleteObject(hInner);
    ::SelectObject(hDC, hMask);
    ::PatBlt(hDC, 0, 0, 16, 16, BLACKNESS);
    ::SelectObject(hDC, hOld);
    ::DeleteDC(hDC);
    ::ReleaseDC(NULL, hScreen);
    ICONINFO info = {TRUE, 0, 0, hMask, hColor};
    HICON hIcon = ::CreateIconIndirect(&info);
    ::DeleteObject(hColor);
    ::DeleteObject(hMask);
    return hIcon;
}
