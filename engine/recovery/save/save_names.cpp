#include "engine/recovery/save/save_names.h"

#include <array>

namespace {

constexpr char16_t kReplacement = u'_';

bool IsRefusedCharacter(char16_t c)
{
    if (c < 32)
        return true;
    switch (c) {
    case u'\\':
    case u'/':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
        return true;
    default:
        return false;
    }
}

char16_t UpperAscii(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool EqualsAsciiIgnoringCase(std::u16string_view text, std::u16string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (UpperAscii(text[i]) != upper[i])
            return false;
    return true;
}

// The system reads a device in the part before the first dot, trailing spaces dropped: "con", "Con.txt",
// "NUL .tar.gz", "COM¹".
bool NamesDevice(std::u16string_view name)
{
    std::u16string_view base = name.substr(0, name.find(u'.'));
    while (!base.empty() && base.back() == u' ')
        base.remove_suffix(1);

    static constexpr std::array<std::u16string_view, 7> kPlainDevices = {
        u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$", u"CLOCK$",
    };
    for (std::u16string_view device : kPlainDevices)
        if (EqualsAsciiIgnoringCase(base, device))
            return true;

    // COM and LPT with one digit, 0 to 9, or the superscripts 1, 2 and 3.
    if (base.size() == 4 && (EqualsAsciiIgnoringCase(base.substr(0, 3), u"COM") ||
                             EqualsAsciiIgnoringCase(base.substr(0, 3), u"LPT"))) {
        const char16_t digit = base[3];
        return (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
               digit == u'\u00B3';
    }
    return false;
}

} // namespace

std::u16string MakeSafeName(std::u16string_view name)
{
    std::u16string safe(name);
    for (char16_t& c : safe)
        if (IsRefusedCharacter(c))
            c = kReplacement;
    if (safe.empty())
        return std::u16string(1, kReplacement);
    if (NamesDevice(safe))
        safe.insert(safe.begin(), kReplacement);
    if (safe.back() == u'.' || safe.back() == u' ')
        safe += kReplacement;
    return safe;
}

bool IsSafeName(std::u16string_view component)
{
    return !component.empty() && MakeSafeName(component) == component;
}

std::u16string JoinSavePath(std::u16string_view folder, std::u16string_view component)
{
    std::u16string path(folder);
    if (path.empty() || path.back() != u'\\')
        path += u'\\';
    path += component;
    return path;
}

bool PathLiesInside(std::u16string_view folder, std::u16string_view path)
{
    while (!folder.empty() && folder.back() == u'\\')
        folder.remove_suffix(1);
    if (folder.empty() || path.size() <= folder.size() + 1 || path.substr(0, folder.size()) != folder ||
        path[folder.size()] != u'\\')
        return false;

    std::u16string_view rest = path.substr(folder.size() + 1);
    while (true) {
        const std::size_t separator = rest.find(u'\\');
        if (!IsSafeName(rest.substr(0, separator)))
            return false;
        if (separator == std::u16string_view::npos)
            return true;
        rest = rest.substr(separator + 1);
    }
}

std::u16string DuplicateCopyName(std::uint32_t n, std::u16string_view name)
{
    std::u16string number;
    do {
        number.insert(number.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n != 0);
    return u"Copy (" + number + u" ) of " + std::u16string(name);
}
