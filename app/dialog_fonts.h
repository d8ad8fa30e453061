#pragma once

// The Arial fonts of the program's own dialogs, by height in pixels and weight.
#include <afxwin.h>

inline BOOL CreateArialFont(CFont& font, int height, int weight)
{
    return font.CreateFont(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}
