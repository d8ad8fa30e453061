#pragma once

#include <windows.h>

// The region of a bitmap's pixels that are not the key colour, in the bitmap's own coordinates; the caller
// owns it. Null for a null bitmap or when the bitmap cannot be read. A key of black matches every channel
// from 0 to 16, a key of white from 239 to 255, any other key each channel within 17 of its own. The
// build mode is accepted for callers that pass it and changes nothing.
HRGN CreateRgnFromBitmap(HBITMAP bitmap, COLORREF key, int buildMode = 0);
