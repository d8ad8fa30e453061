// Dialog initialisation data and the rich edit 1.0 loader.
#include <afxwin.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace {

// The initialisation data's own message numbers (those of the 16-bit list and combo boxes).
const WORD kListBoxAddString = 0x0401;
const WORD kComboBoxAddString = 0x0403;
const WORD kControlData = 0x1234;

// Reads the data front to back and never past its end.
class DlgInitReader
{
public:
    DlgInitReader(const void* pData, size_t nSize) : m_p(static_cast<const BYTE*>(pData)), m_nLeft(nSize) {}

    template <typename T> bool Read(T& value)
    {
        if (m_nLeft < sizeof(T))
            return false;
        std::memcpy(&value, m_p, sizeof(T));
        Skip(sizeof(T));
        return true;
    }
    bool Take(size_t nBytes, const char*& pBytes)
    {
        if (nBytes > m_nLeft)
            return false;
        pBytes = reinterpret_cast<const char*>(m_p);
        Skip(nBytes);
        return true;
    }

private:
    void Skip(size_t nBytes)
    {
        m_p += nBytes;
        m_nLeft -= nBytes;
    }
    const BYTE* m_p;
    size_t m_nLeft;
};

std::wstring AnsiToWide(const char* pText, size_t nBytes)
{
    // The text ends at its zero, or at the end of its bytes when the zero is missing.
    const void* pZero = std::memchr(pText, 0, nBytes);
    const size_t nText =
        pZero != NULL ? static_cast<size_t>(static_cast<const char*>(pZero) - pText) : nBytes;
    const int nLength = static_cast<int>(std::min<size_t>(nText, INT_MAX));
    if (nLength <= 0)
        return std::wstring();
    const int nWide = ::MultiByteToWideChar(CP_ACP, 0, pText, nLength, NULL, 0);
    std::wstring wide(static_cast<size_t>(nWide > 0 ? nWide : 0), L'\0');
    if (nWide > 0)
        ::MultiByteToWideChar(CP_ACP, 0, pText, nLength, &wide[0], nWide);
    return wide;
}

} // namespace

BOOL AFXAPI AfxExecuteDlgInit(HWND hWnd, const void* pData, size_t nSize)
{
    if (pData == NULL)
        return FALSE;
    DlgInitReader reader(pData, nSize);
    for (;;) {
        WORD nIDC = 0;
        WORD nMsg = 0;
        DWORD nLength = 0;
        const char* pText = NULL;
        if (!reader.Read(nIDC))
            return FALSE; // the list ended without its zero
        if (nIDC == 0)
            return TRUE;
        if (!reader.Read(nMsg) || !reader.Read(nLength) || !reader.Take(nLength, pText))
            return FALSE;
        if (nMsg == kControlData)
            continue;
        UINT nAdd = 0;
        if (nMsg == kListBoxAddString)
            nAdd = LB_ADDSTRING;
        else if (nMsg == kComboBoxAddString)
            nAdd = CB_ADDSTRING;
        else
            return FALSE;
        const std::wstring text = AnsiToWide(pText, nLength);
        ::SendDlgItemMessage(hWnd, nIDC, nAdd, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

BOOL CWnd::ExecuteDlgInit(LPCTSTR lpszResourceName)
{
    if (lpszResourceName == NULL)
        return TRUE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_DLGINIT);
    HRSRC hResource = ::FindResource(hInst, lpszResourceName, RT_DLGINIT);
    if (hResource == NULL)
        return TRUE; // a template without initialisation data
    HGLOBAL hData = ::LoadResource(hInst, hResource);
    const void* pData = hData != NULL ? ::LockResource(hData) : NULL;
    if (pData == NULL)
        return FALSE;
    return AfxExecuteDlgInit(m_hWnd, pData, ::SizeofResource(hInst, hResource));
}

BOOL CWnd::ExecuteDlgInit(LPVOID lpResource)
{
    // A block the program made itself: its zero is its only end.
    return AfxExecuteDlgInit(m_hWnd, lpResource, static_cast<size_t>(-1));
}

BOOL AFXAPI AfxInitRichEdit()
{
    static const BOOL bLoaded = ::LoadLibraryW(L"riched32.dll") != NULL;
    return bLoaded;
}
