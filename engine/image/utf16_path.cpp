#include "engine/image/utf16_path.h"

#include <cstdint>

void AppendUtf8(std::string& out, uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool Utf16ToUtf8(std::u16string_view text, std::string& utf8)
{
    utf8.clear();
    std::string result;
    result.reserve(text.size());
    for (size_t index = 0; index < text.size(); ++index) {
        uint32_t code = text[index];
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (index + 1 >= text.size() || text[index + 1] < 0xDC00 || text[index + 1] > 0xDFFF)
                return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (text[index + 1] - 0xDC00);
            ++index;
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            return false;
        }
        AppendUtf8(result, code);
    }
    utf8 = std::move(result);
    return true;
}

bool Utf8ToUtf16(std::string_view text, std::u16string& utf16)
{
    utf16.clear();
    std::u16string result;
    result.reserve(text.size());
    size_t index = 0;
    while (index < text.size()) {
        const auto lead = static_cast<uint8_t>(text[index]);
        uint32_t code = 0;
        size_t length = 0;
        uint32_t smallest = 0;
        if (lead < 0x80) {
            code = lead;
            length = 1;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F;
            length = 2;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F;
            length = 3;
            smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07;
            length = 4;
            smallest = 0x10000;
        } else {
            return false;
        }
        if (index + length > text.size())
            return false;
        for (size_t following = 1; following < length; ++following) {
            const auto byte = static_cast<uint8_t>(text[index + following]);
            if ((byte & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (byte & 0x3F);
        }
        // Overlong forms, surrogates and values past Unicode are not text.
        if (code < smallest || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        if (code >= 0x10000) {
            result += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            result += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            result += static_cast<char16_t>(code);
        }
        index += length;
    }
    utf16 = std::move(result);
    return true;
}
