#pragma once

// Whether a window's text reads whole in the place the window gives it.
#include <windows.h>

#include <string>

namespace test_support {

// The window's text measured in its own font as a static of its style draws it: one line (SS_CENTERIMAGE,
// the ellipsis styles, SS_LEFTNOWORDWRAP) must be as wide as the text and as high as the font; a wrapped
// text must take no more lines than the client area's height holds. Empty when it fits, else what is cut
// (for the failure message).
std::string TextCutIn(HWND window);

} // namespace test_support
