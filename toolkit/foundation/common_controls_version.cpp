#include "common_controls_version.h"

#include <shlwapi.h>

namespace {

DWORD g_dwOverride = 0;

DWORD ReadComCtlVersion()
{
    HMODULE hModule = ::LoadLibraryW(L"COMCTL32.DLL");
    if (hModule == NULL)
        return 0;
    DWORD dwVersion = 0;
    typedef HRESULT(CALLBACK * PFN_DLLGETVERSION)(DLLVERSIONINFO*);
    auto pfnDllGetVersion = reinterpret_cast<PFN_DLLGETVERSION>(
        reinterpret_cast<void*>(::GetProcAddress(hModule, "DllGetVersion")));
    if (pfnDllGetVersion != NULL) {
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof(DLLVERSIONINFO); // 20 bytes
        if (SUCCEEDED(pfnDllGetVersion(&info)))
            dwVersion = (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
    }
    ::FreeLibrary(hModule);
    return dwVersion;
}

} // namespace

DWORD AFXAPI XTGetComCtlVersion()
{
    static const DWORD dwVersion = ReadComCtlVersion();
    return g_dwOverride != 0 ? g_dwOverride : dwVersion;
}

void AFXAPI XTSetComCtlVersionOverride(DWORD dwVersion)
{
    g_dwOverride = dwVersion;
}
