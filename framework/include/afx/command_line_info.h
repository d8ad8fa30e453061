// CCommandLineInfo: what the command line asks the program to do at start-up. CWinApp::ParseCommandLine
// feeds it the arguments one by one; CWinApp::ProcessShellCommand carries the request out.
#pragma once

#include <vector>

#include "afx/cmd_target.h"

class CCommandLineInfo : public CObject
{
public:
    CCommandLineInfo();
    ~CCommandLineInfo() override;

    // One argument: without its leading '/' or '-' when bFlag is set; bLast for the final one.
    // Flags (any case): "p" print, "pt" print to the printer, driver and port that follow the file,
    // "dde" (accepted and ignored: the shell starts the program with the path), "Automation",
    // "Embedding", "Unregister" or "Unregserver". The first other argument is the file.
    virtual void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast);

    enum
    {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppUnregister,
        FileNothing = -1
    } m_nShellCommand;

    BOOL m_bShowSplash;
    BOOL m_bRunEmbedded;
    BOOL m_bRunAutomated;

    CString m_strFileName;
    // The print-to destination ("/pt file printer driver port").
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

protected:
    void ParseParamFlag(const TCHAR* pszParam);
    void ParseParamNotFlag(const TCHAR* pszParam);
    void ParseLast(BOOL bLast);
};

// Splits a command line as the C run-time library does for argv: white space separates arguments
// outside quotes, quotes are removed ("" inside quotes gives one), 2n backslashes before a quote
// give n and the quote counts, 2n+1 give n and a literal quote; other backslashes stay as they are.
std::vector<CString> AFXAPI AfxSplitCommandLine(LPCTSTR lpszCommandLine);
