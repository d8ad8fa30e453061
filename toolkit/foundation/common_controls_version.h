// The version of the common-controls library, (major << 16) | minor, as its DllGetVersion reports
// it; 0 when the library or the function is missing or the call fails. Visual styles need 6.0.
#pragma once

#include <afxwin.h>

DWORD AFXAPI XTGetComCtlVersion();
// Tests stand a version in for the library's answer; 0 removes the override.
void AFXAPI XTSetComCtlVersionOverride(DWORD dwVersion);
