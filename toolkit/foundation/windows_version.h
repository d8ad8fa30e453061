// The Windows version record of the process and the tests for the releases the painters tell apart.
#pragma once

#include <afxwin.h>

class CXTWindowsVersion : public OSVERSIONINFOW
{
public:
    // The running system's record (GetVersionExW).
    CXTWindowsVersion();
    // A given record, for callers that ask about another system.
    explicit CXTWindowsVersion(const OSVERSIONINFOW& info);

    BOOL IsWin95() const;
    BOOL IsWin98() const;
    BOOL IsWinNT4() const;
    BOOL IsWin2000() const;
    BOOL IsWinXP() const;
};

const CXTWindowsVersion& AFXAPI GetWindowsVersion();
