#include "html_text_routines.h"

#include "html_colour_names.h"
#include "html_string_table.h"

#include <cstdint>
#include <cwchar>
#include <string>

namespace {

struct EntityRow
{
    const wchar_t* entity;
    wchar_t character;
};

// Searched in order; matched with regard to case, ";" included.
constexpr EntityRow kEntities[] = {
    {L"&quot;", L'"'},
    {L"&amp;", L'&'},
    {L"&lt;", L'<'},
    {L"&gt;", L'>'},
    {L"&nbsp;", 0x00A0},
    {L"&iexcl;", 0x00A1},
    {L"&cent;", 0x00A2},
    {L"&pound;", 0x00A3},
    {L"&curren;", 0x00A4},
    {L"&yen;", 0x00A5},
    {L"&brvbar;", 0x00A6},
    {L"&sect;", 0x00A7},
    {L"&uml;", 0x00A8},
    {L"&copy;", 0x00A9},
    {L"&ordf;", 0x00AA},
    {L"&laquo;", 0x00AB},
    {L"&not;", 0x00AC},
    {L"&shy;", 0x00AD},
    {L"&reg;", 0x00AE},
    {L"&macr;", 0x00AF},
    {L"&deg;", 0x00B0},
    {L"&plusmn;", 0x00B1},
    {L"&sup2;", 0x00B2},
    {L"&sup3;", 0x00B3},
    {L"&acute;", 0x00B4},
    {L"&micro;", 0x00B5},
    {L"&para;", 0x00B6},
    {L"&middot;", 0x00B7},
    {L"&cedil;", 0x00B8},
    {L"&sup1;", 0x00B9},
    {L"&ordm;", 0x00BA},
    {L"&raquo;", 0x00BB},
    {L"&frac14;", 0x00BC},
    {L"&frac12;", 0x00BD},
    {L"&frac34;", 0x00BE},
    {L"&iquest;", 0x00BF},
    {L"&Agrave;", 0x00C0},
    {L"&Aacute;", 0x00C1},
    {L"&Acirc;", 0x00C2},
    {L"&Atilde;", 0x00C3},
    {L"&Auml;", 0x00C4},
    {L"&Aring;", 0x00C5},
    {L"&AElig;", 0x00C6},
    {L"&Ccedil;", 0x00C7},
    {L"&Egrave;", 0x00C8},
    {L"&Eacute;", 0x00C9},
    {L"&Ecirc;", 0x00CA},
    {L"&Euml;", 0x00CB},
    {L"&Igrave;", 0x00CC},
    {L"&Iacute;", 0x00CD},
    {L"&Icirc;", 0x00CE},
    {L"&Iuml;", 0x00CF},
    {L"&ETH;", 0x00D0},
    {L"&Ntilde;", 0x00D1},
    {L"&Ograve;", 0x00D2},
    {L"&Oacute;", 0x00D3},
    {L"&Ocirc;", 0x00D4},
    {L"&Otilde;", 0x00D5},
    {L"&Ouml;", 0x00D6},
    {L"&times;", 0x00D7},
    {L"&Oslash;", 0x00D8},
    {L"&Ugrave;", 0x00D9},
    {L"&Uacute;", 0x00DA},
    {L"&Ucirc;", 0x00DB},
    {L"&Uuml;", 0x00DC},
    {L"&Yacute;", 0x00DD},
    {L"&THORN;", 0x00DE},
    {L"&szlig;", 0x00DF},
    {L"&agrave;", 0x00E0},
    {L"&aacute;", 0x00E1},
    {L"&acirc;", 0x00E2},
    {L"&atilde;", 0x00E3},
    {L"&auml;", 0x00E4},
    {L"&aring;", 0x00E5},
    {L"&aelig;", 0x00E6},
    {L"&ccedil;", 0x00E7},
    {L"&egrave;", 0x00E8},
    {L"&eacute;", 0x00E9},
    {L"&ecirc;", 0x00EA},
    {L"&euml;", 0x00EB},
    {L"&igrave;", 0x00EC},
    {L"&iacute;", 0x00ED},
    {L"&icirc;", 0x00EE},
    {L"&iuml;", 0x00EF},
    {L"&eth;", 0x00F0},
    {L"&ntilde;", 0x00F1},
    {L"&ograve;", 0x00F2},
    {L"&oacute;", 0x00F3},
    {L"&ocirc;", 0x00F4},
    {L"&otilde;", 0x00F5},
    {L"&ouml;", 0x00F6},
    {L"&divide;", 0x00F7},
    {L"&oslash;", 0x00F8},
    {L"&ugrave;", 0x00F9},
    {L"&uacute;", 0x00FA},
    {L"&ucirc;", 0x00FB},
    {L"&uuml;", 0x00FC},
    {L"&yacute;", 0x00FD},
    {L"&thorn;", 0x00FE},
    {L"&yuml;", 0x00FF},
    // Letters and signs the fonts of the time lacked get a plain stand-in.
    {L"&OElig;", L'E'},
    {L"&oelig;", L'e'},
    {L"&Scaron;", L'S'},
    {L"&scaron;", L's'},
    {L"&Yuml;", 0x0178},
    {L"&fnof;", L'f'},
    {L"&circ;", 0x005E},
    {L"&tilde;", 0x007E},
    {L"&ndash;", 0x002D},
    {L"&mdash;", 0x002D},
    {L"&lsquo;", 0x2018},
    {L"&rsquo;", 0x2019},
    {L"&sbquo;", 0x002C},
    {L"&ldquo;", 0x0022},
    {L"&rdquo;", 0x0022},
    {L"&bdquo;", 0x201E},
    {L"&dagger;", 0x2020},
    {L"&Dagger;", 0x2021},
    {L"&bull;", 0x2022},
    {L"&hellip;", 0x2026},
    {L"&permil;", 0x2030},
    {L"&lsaquo;", 0x2039},
    {L"&rsaquo;", 0x203A},
    {L"&euro;", 0x20AC},
    {L"&trade;", 0x2122},
    // Raw characters: the Windows-1252 dash read as Latin-1, and a no-break space standing in the text.
    {L"\x0097", 0x002D},
    {L"\x00A0", 0x0020},
};

constexpr wchar_t kReplacementCharacter = 0xFFFD;

bool StartsWith(const wchar_t* text, const wchar_t* prefix)
{
    return wcsncmp(text, prefix, wcslen(prefix)) == 0;
}

// Whether an entity of the table can begin with the character: most characters of a page begin none,
// and trying every row at each of them made decoding the bulk of a long page's parse.
bool MayBeginEntity(wchar_t character)
{
    for (const EntityRow& row : kEntities)
        if (row.entity[0] == character)
            return true;
    return false;
}

// "&#" and a decimal number, read like atoi: blanks, a sign, digits. The value wraps to one code unit.
wchar_t ReadCharacterReference(const wchar_t*& read)
{
    const wchar_t* number = read + 2;
    while (*number == L' ' || *number == L'\t' || *number == L'\r' || *number == L'\n')
        ++number;
    bool negative = false;
    if (*number == L'-' || *number == L'+')
        negative = *number++ == L'-';
    uint32_t value = 0;
    while (*number >= L'0' && *number <= L'9')
        value = value * 10u + static_cast<uint32_t>(*number++ - L'0');
    if (negative)
        value = 0u - value;
    // Everything up to the next ";" or space goes, and that ";" or space with it.
    while (*number && *number != L';' && *number != L' ')
        ++number;
    if (*number)
        ++number;
    read = number;
    wchar_t unit = static_cast<wchar_t>(value & 0xFFFFu);
    return unit == 0 ? kReplacementCharacter : unit;
}

COLORREF ColourFromName(const wchar_t* text, bool& found)
{
    size_t count = 0;
    const HtmlNamedColour* colours = HtmlNamedColours(count);
    for (size_t index = 0; index < count; ++index) {
        if (_wcsicmp(colours[index].name, text) == 0) {
            found = true;
            return HtmlColourRgb(colours[index].rgb);
        }
    }
    found = false;
    return 0;
}

// Two characters read with "%x"; what cannot be read is 0. Advances no further than the text goes.
int ReadHexPair(const wchar_t*& read)
{
    wchar_t pair[3] = {};
    for (int index = 0; index < 2 && *read; ++index)
        pair[index] = *read++;
    unsigned int value = 0;
    if (swscanf(pair, L"%x", &value) != 1)
        return 0;
    return static_cast<int>(value & 0xFF);
}

} // namespace

wchar_t* DecodeHtmlEntity(wchar_t* text)
{
    if (!text)
        return text;
    const wchar_t* read = text;
    wchar_t* write = text;
    while (*read) {
        if (*read != L'&' && !MayBeginEntity(*read)) {
            *write++ = *read++;
            continue;
        }
        bool matched = false;
        for (const EntityRow& row : kEntities) {
            if (StartsWith(read, row.entity)) {
                *write++ = row.character;
                read += wcslen(row.entity);
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        if (read[0] == L'&' && read[1] == L'#') {
            *write++ = ReadCharacterReference(read);
            continue;
        }
        *write++ = *read++;
    }
    *write = 0;
    return text;
}

void RepairUtf8Text(wchar_t* text)
{
    if (!text)
        return;
    const wchar_t* read = text;
    wchar_t* write = text;
    while (*read) {
        if (read[0] == 0x00C2 && read[1] >= 0x00A0 && read[1] <= 0x00BF) {
            *write++ = read[1];
            read += 2;
        } else if (read[0] == 0x00C3 && read[1] >= 0x0080 && read[1] <= 0x00BF) {
            *write++ = static_cast<wchar_t>(read[1] + 0x40);
            read += 2;
        } else {
            *write++ = *read++;
        }
    }
    *write = 0;
}

COLORREF ParseHtmlColor(const wchar_t* text)
{
    if (!text)
        return 0;
    bool found = false;
    COLORREF named = ColourFromName(text, found);
    if (found)
        return named;
    const wchar_t* read = text;
    if (*read == L'#')
        ++read;
    int red = ReadHexPair(read);
    int green = ReadHexPair(read);
    int blue = ReadHexPair(read);
    return static_cast<COLORREF>(red + green * 256 + blue * 65536);
}

void ResolveHtmlUrl(const wchar_t* link, wchar_t* out, const wchar_t* base)
{
    std::wstring target = link ? link : L"";
    std::wstring result;

    size_t schemeMark = target.find(L"://");
    size_t firstSlash = target.find(L'/');
    if (schemeMark != std::wstring::npos && (firstSlash == std::wstring::npos || schemeMark < firstSlash)) {
        result = target;
    } else {
        result = base ? base : L"";
        size_t query = result.rfind(L'?');
        if (query != std::wstring::npos)
            result.erase(query);
        for (wchar_t& character : result)
            if (character == L'\\')
                character = L'/';

        size_t schemeEnd = result.find(L"://");
        schemeEnd = schemeEnd == std::wstring::npos ? 3 : schemeEnd + 3;
        if (schemeEnd > result.size() || result.find(L'/', schemeEnd) == std::wstring::npos)
            result += L'/';

        size_t lastSlash = result.rfind(L'/');
        if (lastSlash == std::wstring::npos) {
            result += L'/';
        } else if (lastSlash >= 3 && result.compare(lastSlash - 3, 3, L"://") == 0) {
            if (result.back() != L'/')
                result += L'/';
        } else {
            result.erase(lastSlash + 1);
        }

        size_t linkStart = 0;
        while (target.compare(linkStart, 3, L"../") == 0) {
            if (!result.empty() && result.back() == L'/')
                result.pop_back();
            size_t slash = result.rfind(L'/');
            if (slash != std::wstring::npos && slash > 4)
                result.erase(slash + 1);
            linkStart += 3;
        }
        target.erase(0, linkStart);

        if (!target.empty() && target[0] == L'/') {
            size_t hostEnd = schemeEnd <= result.size() ? result.find(L'/', schemeEnd) : std::wstring::npos;
            if (hostEnd != std::wstring::npos)
                result.erase(hostEnd);
        } else if (result.empty() || result.back() != L'/') {
            result += L'/';
        }
        result += target;
    }

    if (result.size() > static_cast<size_t>(kHtmlUrlCapacity - 1))
        result.resize(static_cast<size_t>(kHtmlUrlCapacity - 1));
    // Local files keep the system's separator.
    if (result.compare(0, 7, L"file://") == 0)
        for (size_t index = 7; index < result.size(); ++index)
            if (result[index] == L'/')
                result[index] = L'\\';
    wmemcpy(out, result.c_str(), result.size() + 1);
}

void ParseTagAttributes(const wchar_t* tagText, CHtmlStringTable* table)
{
    table->Clear();
    if (!tagText)
        return;
    const wchar_t* end = wcschr(tagText, L'>');
    if (!end)
        end = tagText + wcslen(tagText);
    const wchar_t* read = tagText;
    while (read < end && *read != L' ')
        ++read;
    while (read < end) {
        while (read < end && *read == L' ')
            ++read;
        if (read >= end)
            break;
        const wchar_t* name = read;
        while (read < end && *read != L'=' && *read != L' ')
            ++read;
        int row = table->AddRow() - 1;
        table->AppendCell(row, name, static_cast<int>(read - name));
        if (read < end && *read == L'=') {
            ++read;
            while (read < end && *read == L' ')
                ++read;
            const wchar_t* value = read;
            if (read < end && (*read == L'"' || *read == L'\'')) {
                wchar_t quote = *read++;
                value = read;
                while (read < end && *read != quote)
                    ++read;
                table->AppendCell(row, value, static_cast<int>(read - value));
                if (read < end)
                    ++read;
            } else {
                while (read < end && *read != L' ')
                    ++read;
                table->AppendCell(row, value, static_cast<int>(read - value));
            }
        }
    }
}
