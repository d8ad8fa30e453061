#include "dxf_drawing.h"

#include <cmath>

namespace {

// Indexes of the entry points the preview calls, in kDxfEntryPointNames.
enum EntryPointIndex
{
    kCreate = 0,
    kDestroy = 1,
    kLoadDataFromFile = 13,
    kInitView = 14,
    kPaint = 15,
    kGetViewProperties = 16,
    kSetViewProperties = 17,
    kZoomExtents = 19
};

CString& LibraryPathOverride()
{
    static CString path;
    return path;
}

CString LibraryPath()
{
    if (!LibraryPathOverride().IsEmpty())
        return LibraryPathOverride();
    // Loaded by its full path, so that no "DXF.dll" of the current folder or the search path is taken.
    wchar_t program[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(NULL, program, MAX_PATH);
    CString folder = length > 0 && length < MAX_PATH ? CString(program) : CString();
    const int slash = folder.ReverseFind(L'\\');
    folder = slash >= 0 ? folder.Left(slash + 1) : CString();
    return folder + L"DXF.dll";
}

} // namespace

void CDxfDrawing::SetLibraryPath(LPCWSTR lpszPath)
{
    LibraryPathOverride() = lpszPath != NULL ? lpszPath : L"";
}

CDxfDrawing::CDxfDrawing()
{
    m_hLibrary = ::LoadLibraryW(LibraryPath());
    if (m_hLibrary == NULL)
        return;
    for (int index = 0; index < kDxfEntryPointCount; ++index) {
        m_entryPoints[index] = ::GetProcAddress(m_hLibrary, kDxfEntryPointNames[index]);
        if (m_entryPoints[index] == NULL)
            return;
    }
    m_bReady = 1;
}

CDxfDrawing::~CDxfDrawing()
{
    if (!m_bReady) {
        if (m_hLibrary != NULL)
            ::FreeLibrary(m_hLibrary);
        return;
    }
    if (m_hDrawing != NULL)
        Destroy();
    ::FreeLibrary(m_hLibrary);
}

BOOL CDxfDrawing::IsLoaded() const
{
    return m_bReady && m_hDrawing != NULL;
}

BOOL CDxfDrawing::Create()
{
    if (!m_bReady || m_hDrawing != NULL)
        return FALSE;
    m_hDrawing = EntryPoint<DrwCreateFunction>(kCreate)();
    return m_hDrawing != NULL;
}

BOOL CDxfDrawing::Destroy()
{
    if (!m_bReady)
        return FALSE;
    if (!EntryPoint<DrwDestroyFunction>(kDestroy)(m_hDrawing))
        return FALSE;
    m_hDrawing = NULL;
    return TRUE;
}

BOOL CDxfDrawing::InitView(int x, int y, int nWidth, int nHeight)
{
    if (!m_bReady)
        return FALSE;
    return EntryPoint<DrwInitViewFunction>(kInitView)(m_hDrawing, x, y, nWidth, nHeight);
}

BOOL CDxfDrawing::Paint(HDC hdc)
{
    if (!m_bReady)
        return FALSE;
    return EntryPoint<DrwPaintFunction>(kPaint)(m_hDrawing, hdc);
}

BOOL CDxfDrawing::GetViewProperties(DxfViewProperties* pView)
{
    if (!m_bReady)
        return FALSE;
    return EntryPoint<DrwGetViewPropertiesFunction>(kGetViewProperties)(m_hDrawing, pView);
}

BOOL CDxfDrawing::SetViewProperties(const DxfViewProperties* pView)
{
    if (!m_bReady)
        return FALSE;
    return EntryPoint<DrwSetViewPropertiesFunction>(kSetViewProperties)(m_hDrawing, pView);
}

double CDxfDrawing::GetZoom()
{
    DxfViewProperties view{};
    if (!GetViewProperties(&view))
        return 0.0;
    return view.zoom;
}

BOOL CDxfDrawing::SetZoom(double dZoom)
{
    DxfViewProperties view{};
    if (!GetViewProperties(&view))
        return FALSE;
    // Without the limits, repeated wheel steps drive zoom x pixels-per-unit to 0 and the divisions
    // below to infinity.
    if (!std::isfinite(dZoom))
        return FALSE;
    dZoom = dZoom < kSmallestZoom ? kSmallestZoom : dZoom > kLargestZoom ? kLargestZoom : dZoom;
    const double scale = view.zoom * view.pixelsPerUnit;
    const int halfWidth = (view.right - view.left) / 2;
    const int halfHeight = (view.bottom - view.top) / 2;
    // The drawing point under the window's centre stays there.
    const double centreX = halfWidth / scale + view.originX;
    const double centreY = halfHeight / scale + view.originY;
    view.zoom = dZoom;
    const double newScale = view.pixelsPerUnit * dZoom;
    view.originX = centreX - halfWidth / newScale;
    view.originY = centreY - halfHeight / newScale;
    return SetViewProperties(&view);
}

BOOL CDxfDrawing::ZoomExtents()
{
    if (!m_bReady)
        return FALSE;
    return EntryPoint<DrwZoomExtentsFunction>(kZoomExtents)(m_hDrawing);
}

BOOL CDxfDrawing::LoadFromFile(LPCSTR lpszPath, HWND hProgressWnd)
{
    if (!m_bReady)
        return FALSE;
    return EntryPoint<DrwLoadDataFromFileFunction>(kLoadDataFromFile)(m_hDrawing, 0, 0, lpszPath,
                                                                      hProgressWnd);
}
