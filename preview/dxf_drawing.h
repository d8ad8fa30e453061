#pragma once

// The drawing library "DXF.dll" as the drawing preview uses it: loaded from the program's folder with all
// of its entry points, or not at all; one drawing at a time.
#include <afxwin.h>

#include "dxf_library_api.h"

class CDxfDrawing
{
public:
    // The zoom factor SetZoom keeps to: far enough either way for any drawing, near enough that the
    // projection's products stay finite however many wheel notches come.
    static constexpr double kSmallestZoom = 1e-6;
    static constexpr double kLargestZoom = 1e6;

    CDxfDrawing();
    ~CDxfDrawing();
    CDxfDrawing(const CDxfDrawing&) = delete;
    CDxfDrawing& operator=(const CDxfDrawing&) = delete;

    BOOL IsLoaded() const;
    BOOL Create();
    BOOL Destroy();
    BOOL InitView(int x, int y, int nWidth, int nHeight);
    BOOL Paint(HDC hdc);
    double GetZoom();
    // Zooms about the window's centre.
    BOOL SetZoom(double dZoom);
    BOOL GetViewProperties(DxfViewProperties* pView);
    BOOL SetViewProperties(const DxfViewProperties* pView);
    BOOL ZoomExtents();
    BOOL LoadFromFile(LPCSTR lpszPath, HWND hProgressWnd);

    // Where the library is loaded from: "DXF.dll" in the program's folder unless a full path is set
    // here (the tests name a missing or an incomplete library). Null restores the default.
    static void SetLibraryPath(LPCWSTR lpszPath);

    HMODULE m_hLibrary = NULL;
    DxfDrawingHandle m_hDrawing = NULL;
    BYTE m_bReady = 0;
    FARPROC m_entryPoints[kDxfEntryPointCount] = {};

private:
    template <typename Function> Function EntryPoint(int nIndex) const
    {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(m_entryPoints[nIndex]));
    }
};
