#include "engine/recovery/listing/file_name_filter.h"

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/text_utils.h"

namespace {

char16_t UpperCaseCharacter(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - 0x20);
    // Latin-1: à to þ except the division sign.
    if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7)
        return static_cast<char16_t>(c - 0x20);
    // Greek α to ω except the final sigma, which has no capital of its own.
    if (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2)
        return static_cast<char16_t>(c - 0x20);
    if (c == 0x03C2)
        return 0x03A3;
    // Cyrillic а to я, then ѐ to џ.
    if (c >= 0x0430 && c <= 0x044F)
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x0450 && c <= 0x045F)
        return static_cast<char16_t>(c - 0x50);
    return c;
}

} // namespace

std::u16string UpperCaseName(std::u16string_view name)
{
    std::u16string upper(name);
    for (char16_t& c : upper)
        c = UpperCaseCharacter(c);
    return upper;
}

bool PassesFileFilter(const char16_t* name)
{
    const std::int32_t count = FileFilterTable.count;
    if (count <= 0)
        return true;
    const std::u16string upperName = UpperCaseName(name ? name : u"");
    const int slots = count < kMaxFileFilters ? count : kMaxFileFilters;
    for (int slot = 0; slot < slots; ++slot) {
        // A slot that fills all its units carries no terminator.
        const char16_t* pattern = FileFilterTable.patterns[slot];
        std::size_t length = 0;
        while (length < kFileFilterLength && pattern[length])
            ++length;
        const std::u16string upperPattern = UpperCaseName(std::u16string_view(pattern, length));
        if (MatchWildcard(upperName.c_str(), upperPattern.c_str()) == 1)
            return true;
    }
    return false;
}
