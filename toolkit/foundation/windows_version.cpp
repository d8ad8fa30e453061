#include "windows_version.h"

CXTWindowsVersion::CXTWindowsVersion() : OSVERSIONINFOW()
{
    dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    // Deprecated in newer headers, and still the call whose answer the tests below are written for.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(this);
#pragma GCC diagnostic pop
}

CXTWindowsVersion::CXTWindowsVersion(const OSVERSIONINFOW& info) : OSVERSIONINFOW(info) {}

BOOL CXTWindowsVersion::IsWin95() const
{
    return dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && dwMajorVersion == 4 && dwMinorVersion < 10;
}

BOOL CXTWindowsVersion::IsWin98() const
{
    return dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && dwMajorVersion == 4 && dwMinorVersion == 10;
}

BOOL CXTWindowsVersion::IsWinNT4() const
{
    return dwPlatformId == VER_PLATFORM_WIN32_NT && dwMajorVersion == 4 && dwMinorVersion == 0;
}

BOOL CXTWindowsVersion::IsWin2000() const
{
    return dwPlatformId == VER_PLATFORM_WIN32_NT && dwMajorVersion == 5 && dwMinorVersion == 0;
}

BOOL CXTWindowsVersion::IsWinXP() const
{
    return dwPlatformId == VER_PLATFORM_WIN32_NT && dwMajorVersion == 5 && dwMinorVersion == 1;
}

const CXTWindowsVersion& AFXAPI GetWindowsVersion()
{
    static const CXTWindowsVersion version;
    return version;
}

namespace {

// Filled before the program's start-up code runs, and for code that asks earlier at its first call.
[[maybe_unused]] const CXTWindowsVersion& g_windowsVersion = GetWindowsVersion();

} // namespace
