#pragma once

// The entry points of "DXF.dll", the drawing library the drawing preview loads at run time. All use
// C linkage and the C calling convention; a drawing is named by a pointer-sized handle, 0 for none.
// Each returns 0 on failure (an unknown handle, unusable values, an error inside) and never throws.
#include <windows.h>

#include <cstdint>

#include "dxf_view.h"

typedef void* DxfDrawingHandle;
typedef dxf::ViewProperties DxfViewProperties;

// Posted to the progress window while a file loads, with the percentage in wParam.
inline constexpr UINT kDxfProgressMessage = WM_USER + 1;

extern "C"
{
    typedef DxfDrawingHandle(__cdecl* DrwCreateFunction)();
    typedef int(__cdecl* DrwDestroyFunction)(DxfDrawingHandle drawing);
    // block and flags are 0: the whole file into the drawing.
    typedef int(__cdecl* DrwLoadDataFromFileFunction)(DxfDrawingHandle drawing, std::intptr_t block,
                                                      std::intptr_t flags, const char* path,
                                                      HWND progressWindow);
    typedef int(__cdecl* DrwInitViewFunction)(DxfDrawingHandle drawing, int x, int y, int width, int height);
    typedef int(__cdecl* DrwPaintFunction)(DxfDrawingHandle drawing, HDC dc);
    typedef int(__cdecl* DrwGetViewPropertiesFunction)(DxfDrawingHandle drawing, DxfViewProperties* view);
    typedef int(__cdecl* DrwSetViewPropertiesFunction)(DxfDrawingHandle drawing,
                                                       const DxfViewProperties* view);
    typedef int(__cdecl* DrwZoomExtentsFunction)(DxfDrawingHandle drawing);
    // The editing, saving and border entry points: present, and answering 0.
    typedef std::intptr_t(__cdecl* DrwUnusedFunction)();
}

// The names, in the order the preview looks them up.
inline constexpr const char* kDxfEntryPointNames[] = {"drwCreate",
                                                      "drwDestroy",
                                                      "drwAddTableType",
                                                      "drwDeleteTableType",
                                                      "drwFindTableType",
                                                      "drwAddBlock",
                                                      "drwDeleteBlock",
                                                      "drwFindBlock",
                                                      "drwAddEntity",
                                                      "drwDeleteEntity",
                                                      "drwChangeEntity",
                                                      "drwFindEntity",
                                                      "drwSaveDataToFile",
                                                      "drwLoadDataFromFile",
                                                      "drwInitView",
                                                      "drwPaint",
                                                      "drwGetViewProperties",
                                                      "drwSetViewProperties",
                                                      "drwGetDrawingBorder",
                                                      "drwZoomExtents"};
inline constexpr int kDxfEntryPointCount = sizeof(kDxfEntryPointNames) / sizeof(kDxfEntryPointNames[0]);
