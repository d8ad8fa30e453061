#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// For callers that build the HTML drawer's markup around text they do not control (names read from a
// disk image, paths): the text must show as it is, never as markup.

// Escapes the text so that the drawer shows it unchanged: "<" becomes "<<" (a literal less-than sign),
// and "&" is followed by an empty tag, so that it cannot start an entity together with the text after it.
// ("&amp;" alone would not do: entities are replaced one after another, so "&amp;lt;" still shows "<".)
std::wstring EscapeHtmlText(std::wstring_view text);

// A handle written into markup (`<icon handle=...>`), in hexadecimal at the full width of a pointer.
std::wstring FormatHtmlHandle(const void* handle);
// Reads such a value back (C notation: "0x" hexadecimal, else decimal); 0 when it is not a number.
std::uintptr_t ParseHtmlHandle(std::wstring_view value);
