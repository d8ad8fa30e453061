#include "engine/recovery/core/text_utils.h"

#include <cstddef>

#include "engine/recovery/core/file_time.h"

namespace {

char16_t* AppendNumber(char16_t* out, std::uint64_t value, int minimumDigits)
{
    char16_t digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count < minimumDigits)
        digits[count++] = u'0';
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

std::size_t Length(const char16_t* text)
{
    std::size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

bool Contains(const char16_t* text, std::size_t textLength, char16_t wanted)
{
    for (std::size_t i = 0; i < textLength; ++i)
        if (text[i] == wanted)
            return true;
    return false;
}

bool ContainsText(const char16_t* text, std::size_t textLength, const char16_t* part, std::size_t partLength)
{
    if (partLength > textLength)
        return false;
    for (std::size_t start = 0; start + partLength <= textLength; ++start) {
        std::size_t i = 0;
        while (i < partLength && text[start + i] == part[i])
            ++i;
        if (i == partLength)
            return true;
    }
    return false;
}

// Whole-name match with "*" (any run, also none) and "?" (one character). A star remembers where it
// stood so that a mismatch retries one character further: no exponential backtracking, and a run of
// trailing stars matches like one.
bool GlobMatch(const char16_t* name, std::size_t nameLength, const char16_t* pattern,
               std::size_t patternLength)
{
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starAt = patternLength;
    std::size_t nameAtStar = 0;
    while (n < nameLength) {
        if (p < patternLength && pattern[p] == u'*') {
            starAt = p++;
            nameAtStar = n;
        } else if (p < patternLength && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starAt != patternLength) {
            p = starAt + 1;
            n = ++nameAtStar;
        } else {
            return false;
        }
    }
    while (p < patternLength && pattern[p] == u'*')
        ++p;
    return p == patternLength;
}

} // namespace

char16_t* FormatFileTime(std::uint32_t lowHalf, std::uint32_t highHalf, char16_t* out)
{
    const std::uint64_t ticks = (static_cast<std::uint64_t>(highHalf) << 32) | lowHalf;
    const std::uint64_t seconds = ticks / kFiletimeTicksPerSecond;
    const std::uint64_t days = seconds / kSecondsPerDay;
    const std::uint64_t secondOfDay = seconds % kSecondsPerDay;
    const CivilDate date = CivilFromDays(static_cast<std::int64_t>(days) - kDaysFrom1601To1970);

    char16_t* p = out;
    p = AppendNumber(p, date.day, 1);
    *p++ = u'-';
    p = AppendNumber(p, date.month, 1);
    *p++ = u'-';
    p = AppendNumber(p, static_cast<std::uint64_t>(date.year), 1);
    *p++ = u' ';
    p = AppendNumber(p, secondOfDay / 3600, 1);
    *p++ = u':';
    p = AppendNumber(p, secondOfDay / 60 % 60, 1);
    *p++ = u':';
    p = AppendNumber(p, secondOfDay % 60, 1);
    *p = 0;
    return out;
}

char16_t* FormatFatDate(std::uint16_t fatDate, char16_t* out)
{
    char16_t* p = out;
    p = AppendNumber(p, fatDate & 0x1F, 2);
    *p++ = u'-';
    p = AppendNumber(p, (fatDate >> 5) & 0x0F, 2);
    *p++ = u'-';
    p = AppendNumber(p, (fatDate >> 9) + 1980u, 4);
    *p++ = u' ';
    *p = 0;
    return out;
}

int MatchWildcard(const char16_t* name, const char16_t* pattern)
{
    if (!name || !pattern || !*name || !*pattern)
        return 0;
    const std::size_t nameLength = Length(name);
    const std::size_t patternLength = Length(pattern);
    const bool hasStar = Contains(pattern, patternLength, u'*');
    const bool hasQuestionMark = Contains(pattern, patternLength, u'?');

    if (!hasStar && patternLength > nameLength)
        return 0;
    if (patternLength == 1 && pattern[0] == u'*')
        return 1;
    if (patternLength == 3 && pattern[0] == u'*' && pattern[1] == u'.' && pattern[2] == u'*')
        return Contains(name, nameLength, u'.') ? 1 : 0;
    if (!hasStar && !hasQuestionMark)
        return ContainsText(name, nameLength, pattern, patternLength) ? 1 : 0;
    return GlobMatch(name, nameLength, pattern, patternLength) ? 1 : 0;
}
