#include "support/text_fit.h"

#include <vector>

namespace test_support {

std::string TextCutIn(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
    GetWindowTextW(window, text.data(), length + 1);
    RECT client = {};
    GetClientRect(window, &client);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const LONG kind = style & SS_TYPEMASK;
    const bool oneLine =
        (style & (SS_CENTERIMAGE | SS_ELLIPSISMASK)) != 0 || kind == SS_LEFTNOWORDWRAP || kind == SS_SIMPLE;
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, client.right, 0};
    const UINT format = DT_CALCRECT | DT_NOPREFIX | (oneLine ? DT_SINGLELINE : DT_WORDBREAK | DT_EDITCONTROL);
    DrawTextW(dc, text.data(), length, &needed, format);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    if (needed.right <= client.right && needed.bottom <= client.bottom)
        return {};
    return "the text needs " + std::to_string(needed.right) + " x " + std::to_string(needed.bottom) +
           " pixels and has " + std::to_string(client.right) + " x " + std::to_string(client.bottom);
}

} // namespace test_support
