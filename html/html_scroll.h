#pragma once

// The scroll bars, wheel and panning of the windows that show a page: a window procedure of its own that
// the renderer hands every message it does not handle.
#include <windows.h>

// Messages of the handler. The window receives kHtmlScrollShifted (wParam the horizontal, lParam the
// vertical shift of the content) whenever the handler scrolls it.
constexpr UINT kHtmlScrollSetContentSize = WM_USER + 1; // wParam width, lParam height
constexpr UINT kHtmlScrollSetX = WM_USER + 2;           // lParam x
constexpr UINT kHtmlScrollSetY = WM_USER + 3;           // lParam y
constexpr UINT kHtmlScrollGetX = WM_USER + 4;           // lParam an optional int* that receives it too
constexpr UINT kHtmlScrollGetY = WM_USER + 5;
constexpr UINT kHtmlScrollGetMaxX = WM_USER + 6;
constexpr UINT kHtmlScrollGetMaxY = WM_USER + 7;
constexpr UINT kHtmlScrollShifted = WM_USER + 9;

// The scroll state of one window.
struct ScrollState
{
    int maxX, maxY;
    int posX, posY;
    // The bar positions that stand for the whole maximum: 100 minus the page size in percent.
    int unitsX, unitsY;
    int lineX, lineY;
    int contentWidth, contentHeight;
    // Set while the sizes are computed: showing a bar sends WM_SIZE again.
    int sizing;
    HWND window;
    int dragging;
};

// Called with a null window, message 0 and both parameters 0 it releases every window's record. UI thread
// only.
LRESULT HtmlScrollProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
