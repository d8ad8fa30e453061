#include "work_area.h"

namespace {

CXTMultiMonitorApi g_multiMonitorApi;

template <class Pfn> Pfn Proc(HMODULE hModule, const char* pszName)
{
    return reinterpret_cast<Pfn>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
}

CRect PrimaryWorkArea()
{
    CRect rect;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0);
    return rect;
}

CRect WorkAreaOf(HMONITOR hMonitor)
{
    CRect rect;
    return g_multiMonitorApi.GetMonitorWorkArea(hMonitor, &rect) ? rect : PrimaryWorkArea();
}

} // namespace

CXTMultiMonitorApi::CXTMultiMonitorApi()
    : m_pfnGetSystemMetrics(NULL), m_pfnMonitorFromWindow(NULL), m_pfnMonitorFromRect(NULL),
      m_pfnMonitorFromPoint(NULL), m_pfnGetMonitorInfo(NULL), m_bInitialized(FALSE)
{}

BOOL CXTMultiMonitorApi::Bind()
{
    if (!m_bInitialized) {
        m_bInitialized = TRUE;
        HMODULE hUser = ::GetModuleHandleW(L"USER32");
        if (hUser != NULL) {
            m_pfnGetSystemMetrics = Proc<PFN_GETSYSTEMMETRICS>(hUser, "GetSystemMetrics");
            m_pfnMonitorFromWindow = Proc<PFN_MONITORFROMWINDOW>(hUser, "MonitorFromWindow");
            m_pfnMonitorFromRect = Proc<PFN_MONITORFROMRECT>(hUser, "MonitorFromRect");
            m_pfnMonitorFromPoint = Proc<PFN_MONITORFROMPOINT>(hUser, "MonitorFromPoint");
            // The NT platform has the Unicode form; both fill the same leading fields.
            m_pfnGetMonitorInfo = Proc<PFN_GETMONITORINFO>(
                hUser, (::GetVersion() & 0x80000000) == 0 ? "GetMonitorInfoW" : "GetMonitorInfoA");
        }
    }
    return m_pfnGetSystemMetrics != NULL && m_pfnMonitorFromWindow != NULL && m_pfnMonitorFromRect != NULL &&
           m_pfnMonitorFromPoint != NULL && m_pfnGetMonitorInfo != NULL;
}

BOOL CXTMultiMonitorApi::GetMonitorWorkArea(HMONITOR hMonitor, LPRECT lpRect)
{
    if (hMonitor == NULL || !Bind())
        return FALSE;
    MONITORINFO info = {};
    info.cbSize = sizeof(MONITORINFO); // 40 bytes
    if (!m_pfnGetMonitorInfo(hMonitor, &info))
        return FALSE;
    *lpRect = info.rcWork;
    return TRUE;
}

CRect AFXAPI GetWorkAreaFromRect(LPCRECT lpRect)
{
    if (lpRect == NULL || !g_multiMonitorApi.Bind())
        return PrimaryWorkArea();
    return WorkAreaOf(g_multiMonitorApi.m_pfnMonitorFromRect(lpRect, MONITOR_DEFAULTTONULL));
}

CRect AFXAPI GetWorkAreaFromWindow(const CWnd* pWnd)
{
    if (!g_multiMonitorApi.Bind())
        return PrimaryWorkArea();
    return WorkAreaOf(g_multiMonitorApi.m_pfnMonitorFromWindow(pWnd->GetSafeHwnd(), MONITOR_DEFAULTTONULL));
}

CRect AFXAPI GetWorkAreaFromPoint(POINT point)
{
    if (!g_multiMonitorApi.Bind())
        return PrimaryWorkArea();
    return WorkAreaOf(g_multiMonitorApi.m_pfnMonitorFromPoint(point, MONITOR_DEFAULTTONULL));
}
