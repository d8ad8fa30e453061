#pragma once

#include <cstdint>
#include <string>

// A number in decimal as UTF-16, as the engine's status texts, labels and made-up folder names show it.
inline std::u16string DecimalText(std::uint64_t value)
{
    char16_t digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::u16string text;
    text.reserve(count);
    while (count > 0)
        text += digits[--count];
    return text;
}
