#pragma once

#include <windows.h>

#include <cstddef>

struct HtmlNamedColour
{
    const wchar_t* name;
    // 0xRRGGBB as written in CSS, not a COLORREF.
    unsigned long rgb;
};

// The 140 named colours in the order in which the colour map receives them.
const HtmlNamedColour* HtmlNamedColours(size_t& count);

inline COLORREF HtmlColourRgb(unsigned long rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
