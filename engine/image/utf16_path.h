#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Paths travel as UTF-16 through the readers; the POSIX edge needs them as UTF-8, and command-line
// tools on POSIX receive UTF-8. Both return false (and leave the output empty) on malformed input,
// so a broken name never turns into a different, valid one.
bool Utf16ToUtf8(std::u16string_view text, std::string& utf8);
// Appends the UTF-8 bytes of one code point below 0x110000 (a lone surrogate as its three bytes).
void AppendUtf8(std::string& out, uint32_t code);
bool Utf8ToUtf16(std::string_view text, std::u16string& utf16);
