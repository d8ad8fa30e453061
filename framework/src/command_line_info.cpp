// CCommandLineInfo: the start-up request that the command line's arguments make, and the C run-time
// library's way of splitting a command line into them.
#include <afxwin.h>

CCommandLineInfo::CCommandLineInfo()
    : m_nShellCommand(FileNew), m_bShowSplash(TRUE), m_bRunEmbedded(FALSE), m_bRunAutomated(FALSE)
{}

CCommandLineInfo::~CCommandLineInfo() = default;

void CCommandLineInfo::ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast)
{
    if (pszParam != NULL) {
        if (bFlag)
            ParseParamFlag(pszParam);
        else
            ParseParamNotFlag(pszParam);
    }
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const TCHAR* pszParam)
{
    const CString flag(pszParam);
    if (flag.CompareNoCase(L"pt") == 0)
        m_nShellCommand = FilePrintTo;
    else if (flag.CompareNoCase(L"p") == 0)
        m_nShellCommand = FilePrint;
    else if (flag.CompareNoCase(L"Unregister") == 0 || flag.CompareNoCase(L"Unregserver") == 0)
        m_nShellCommand = AppUnregister;
    else if (flag.CompareNoCase(L"Embedding") == 0) {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (flag.CompareNoCase(L"Automation") == 0) {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    }
    // "dde" is what a shell sends when the type asks for a DDE conversation; none is registered, so
    // the shell passes the path instead and the flag changes nothing.
}

void CCommandLineInfo::ParseParamNotFlag(const TCHAR* pszParam)
{
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast)
{
    if (bLast && m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
}

std::vector<CString> AFXAPI AfxSplitCommandLine(LPCTSTR lpszCommandLine)
{
    std::vector<CString> args;
    if (lpszCommandLine == NULL)
        return args;
    const wchar_t* p = lpszCommandLine;
    for (;;) {
        while (*p == L' ' || *p == L'\t')
            ++p;
        if (*p == 0)
            break;
        CString arg;
        bool bInQuotes = false;
        while (*p != 0 && (bInQuotes || (*p != L' ' && *p != L'\t'))) {
            if (*p == L'\\') {
                int nBackslashes = 0;
                while (*p == L'\\') {
                    ++nBackslashes;
                    ++p;
                }
                if (*p == L'"') {
                    // Backslashes before a quote escape each other, and an odd one the quote.
                    for (int i = 0; i < nBackslashes / 2; ++i)
                        arg += L'\\';
                    if (nBackslashes % 2 != 0) {
                        arg += L'"';
                        ++p;
                    }
                } else {
                    for (int i = 0; i < nBackslashes; ++i)
                        arg += L'\\';
                }
                continue;
            }
            if (*p == L'"') {
                if (bInQuotes && p[1] == L'"') {
                    arg += L'"'; // "" inside quotes is one quote, and the quotes go on
                    p += 2;
                    continue;
                }
                bInQuotes = !bInQuotes;
                ++p;
                continue;
            }
            arg += *p++;
        }
        args.push_back(arg);
    }
    return args;
}
