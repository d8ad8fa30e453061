// The work area of the monitor that holds a rectangle, a window or a point; the primary work area
// where the system cannot tell monitors apart.
#pragma once

#include <afxwin.h>

// The multi-monitor functions of USER32, bound on first use; the result, also a failure, is kept.
class CXTMultiMonitorApi
{
public:
    CXTMultiMonitorApi();

    BOOL Bind();
    // The monitor's work area; FALSE when a function, the monitor or its information is missing.
    BOOL GetMonitorWorkArea(HMONITOR hMonitor, LPRECT lpRect);

    typedef int(WINAPI* PFN_GETSYSTEMMETRICS)(int);
    typedef HMONITOR(WINAPI* PFN_MONITORFROMWINDOW)(HWND, DWORD);
    typedef HMONITOR(WINAPI* PFN_MONITORFROMRECT)(LPCRECT, DWORD);
    typedef HMONITOR(WINAPI* PFN_MONITORFROMPOINT)(POINT, DWORD);
    typedef BOOL(WINAPI* PFN_GETMONITORINFO)(HMONITOR, LPMONITORINFO);

    PFN_GETSYSTEMMETRICS m_pfnGetSystemMetrics;
    PFN_MONITORFROMWINDOW m_pfnMonitorFromWindow;
    PFN_MONITORFROMRECT m_pfnMonitorFromRect;
    PFN_MONITORFROMPOINT m_pfnMonitorFromPoint;
    PFN_GETMONITORINFO m_pfnGetMonitorInfo;
    BOOL m_bInitialized;
};

CRect AFXAPI GetWorkAreaFromRect(LPCRECT lpRect);
CRect AFXAPI GetWorkAreaFromWindow(const CWnd* pWnd);
CRect AFXAPI GetWorkAreaFromPoint(POINT point);
