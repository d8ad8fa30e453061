#include "html_style_reader.h"

#include "html_colour_names.h"

#include <algorithm>
#include <climits>
#include <cwchar>

const wchar_t kHtmlDefaultStyleSheet[] =
    L"body {font-size: 10pt; color:black; font-family:Verdana}\r\n"
    L"p {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
    L"h1 {font-size: 14pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
    L"h2 {font-size: 13pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
    L"h3 {font-size: 12pt; color:#ff9900; font-family:Arial; font-weight:bold}\r\n"
    L"h4 {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
    L"h5 {font-size: 9pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
    L"h6 {font-size: 65%; color:#626262; font-family:Verdana; font-weight:normal}\r\n"
    L"pre {font-size: 9pt; font-family:\"Courier\"; background-color:#fbedbb}\r\n"
    L"code {color:#990000; font-family:Arial}\r\n"
    L"a:link {text-decoration:none; color:blue}\r\n"
    L"a:hover {text-decoration:underline; color:blue}\r\n"
    L"sub {font-size:65%; vertical-align:bottom}\r\n"
    L"sup {font-size:65%; vertical-align:top}\r\n"
    L"big {font-size:125%}\r\n"
    L"small {font-size:75%}\r\n"
    L".cpp-comment {color:green; font-style:italic}\r\n";

namespace {

struct SystemColourName
{
    const wchar_t* name;
    int index;
};

constexpr SystemColourName kSystemColours[] = {
    {L"activeborder", COLOR_ACTIVEBORDER},
    {L"activecaption", COLOR_ACTIVECAPTION},
    {L"appworkspace", COLOR_APPWORKSPACE},
    {L"background", COLOR_BACKGROUND},
    {L"buttonface", COLOR_BTNFACE},
    {L"buttonhighlight", COLOR_BTNHIGHLIGHT},
    {L"buttonshadow", COLOR_BTNSHADOW},
    {L"buttontext", COLOR_BTNTEXT},
    {L"captiontext", COLOR_CAPTIONTEXT},
    {L"graytext", COLOR_GRAYTEXT},
    {L"highlight", COLOR_HIGHLIGHT},
    {L"highlighttext", COLOR_HIGHLIGHTTEXT},
    {L"inactiveborder", COLOR_INACTIVEBORDER},
    {L"inactivecaption", COLOR_INACTIVECAPTION},
    {L"inactivecaptiontext", COLOR_INACTIVECAPTIONTEXT},
    {L"infobackground", COLOR_INFOBK},
    {L"infotext", COLOR_INFOTEXT},
    {L"menu", COLOR_MENU},
    {L"menutext", COLOR_MENUTEXT},
    {L"scrollbar", COLOR_SCROLLBAR},
    {L"threeddarkshadow", COLOR_3DDKSHADOW},
    {L"threedface", COLOR_BTNFACE},
    {L"threedhighlight", COLOR_BTNHIGHLIGHT},
    {L"threedlightshadow", COLOR_3DLIGHT},
    {L"threedshadow", COLOR_BTNSHADOW},
    {L"window", COLOR_WINDOW},
    {L"windowframe", COLOR_WINDOWFRAME},
    {L"windowtext", COLOR_WINDOWTEXT},
};

struct EffectName
{
    const wchar_t* name;
    int effect;
};

constexpr EffectName kEffectNames[] = {
    {L"transparent", -1}, {L"solid", 0},      {L"hgradient", 1},  {L"vgradient", 2}, {L"hcgradient", 3},
    {L"vcgradient", 4},   {L"3hgradient", 5}, {L"3vgradient", 6}, {L"noise", 7},     {L"diagshade", 8},
    {L"hshade", 9},       {L"vshade", 10},    {L"hbump", 11},     {L"vbump", 12},    {L"softbump", 13},
    {L"hardbump", 14},    {L"metal", 15},
};

// HTML font sizes 1 to 7.
constexpr int kHtmlFontSizes[] = {8, 10, 12, 14, 18, 24, 36};

int ClampLength(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, -kHtmlMaxLength, kHtmlMaxLength));
}

// The decimal number at the start of the text (optionally signed), clamped; 0 when there is none.
long long LeadingNumber(std::wstring_view text, bool allowSign)
{
    size_t i = 0;
    bool negative = false;
    if (allowSign && i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - L'0'), 1000000000LL);
    }
    return negative ? -value : value;
}

// An unsigned number in C notation (decimal, 0x hexadecimal, 0 octal), read as far as it goes and clamped.
unsigned long long CNotationNumber(std::wstring_view text)
{
    const std::wstring copy(text);
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(copy.c_str(), &end, 0);
    return std::min<unsigned long long>(value, 0xFFFFFFFFULL);
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

class ScreenDcIfNone
{
public:
    explicit ScreenDcIfNone(HDC dc) : m_dc(dc)
    {
        if (!m_dc) {
            m_dc = m_owned = GetDC(nullptr);
        }
    }
    ~ScreenDcIfNone()
    {
        if (m_owned) {
            ReleaseDC(nullptr, m_owned);
        }
    }
    ScreenDcIfNone(const ScreenDcIfNone&) = delete;
    ScreenDcIfNone& operator=(const ScreenDcIfNone&) = delete;
    HDC dc() const { return m_dc; }

private:
    HDC m_dc;
    HDC m_owned = nullptr;
};

} // namespace

std::wstring HtmlLowerAscii(std::wstring_view text)
{
    std::wstring lowered(text);
    for (wchar_t& c : lowered) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return lowered;
}

bool HtmlIsNameStart(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'.';
}

std::wstring_view HtmlReadName(std::wstring_view text, size_t& i, wchar_t stop)
{
    while (i < text.size() && !HtmlIsNameStart(text[i])) {
        ++i;
    }
    const size_t start = i;
    while (i < text.size() && text[i] != L' ' && text[i] != stop) {
        ++i;
    }
    return text.substr(start, i - start);
}

CHtmlStyleReader::CHtmlStyleReader() : m_disabledColour(GetSysColor(COLOR_BTNSHADOW))
{
    size_t count = 0;
    const HtmlNamedColour* named = HtmlNamedColours(count);
    for (size_t i = 0; i < count; ++i) {
        m_colours.emplace(named[i].name, HtmlColourRgb(named[i].rgb));
    }
    for (const SystemColourName& system : kSystemColours) {
        m_colours.emplace(system.name, GetSysColor(system.index));
    }
    SetStyleSheet(nullptr);
}

void CHtmlStyleReader::SetStyleSheet(const wchar_t* text)
{
    m_styles.clear();
    m_sheetText = text ? text : kHtmlDefaultStyleSheet;
    const std::wstring_view sheet(m_sheetText);
    size_t i = 0;
    while (i < sheet.size()) {
        // A selector that runs to the end has no rules.
        const std::wstring_view selector = HtmlReadName(sheet, i, L'{');
        if (i >= sheet.size()) {
            break;
        }
        const size_t open = sheet.find(L'{', i);
        if (open == std::wstring_view::npos) {
            break;
        }
        const size_t close = sheet.find(L'}', open + 1);
        if (close == std::wstring_view::npos) {
            break;
        }
        SetStyle(selector, sheet.substr(open + 1, close - open - 1));
        i = close + 1;
    }
}

void CHtmlStyleReader::SetStyle(std::wstring_view name, std::wstring_view declarations)
{
    m_styles[HtmlLowerAscii(name)] = std::wstring(declarations);
}

const std::wstring* CHtmlStyleReader::FindStyle(std::wstring_view name) const
{
    const auto found = m_styles.find(HtmlLowerAscii(name));
    return found == m_styles.end() ? nullptr : &found->second;
}

bool CHtmlStyleReader::ApplyStyle(HtmlStyle& style, std::wstring_view name, HDC dc) const
{
    const std::wstring* declarations = FindStyle(name);
    if (!declarations) {
        return false;
    }
    ApplyDeclarations(style, *declarations, dc);
    return true;
}

void CHtmlStyleReader::ApplyDeclarations(HtmlStyle& style, std::wstring_view declarations, HDC dc) const
{
    const std::wstring text = HtmlLowerAscii(declarations);
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && !HtmlIsNameStart(text[i])) {
            ++i;
        }
        if (i >= text.size()) {
            break;
        }
        const size_t nameStart = i;
        while (i < text.size() && text[i] != L' ' && text[i] != L':') {
            ++i;
        }
        const std::wstring_view name(text.data() + nameStart, i - nameStart);
        size_t look = i;
        while (look < text.size() && text[look] == L' ') {
            ++look;
        }
        std::wstring_view value;
        if (look < text.size() && text[look] == L':') {
            i = look + 1;
            while (i < text.size() && (text[i] == L' ' || text[i] == L';')) {
                ++i;
            }
            if (i < text.size() && text[i] == L'"') {
                const size_t start = i + 1;
                size_t end = text.find(L'"', start);
                if (end == std::wstring::npos) {
                    end = text.size();
                }
                value = std::wstring_view(text.data() + start, end - start);
                i = end < text.size() ? end + 1 : end;
            } else {
                const size_t start = i;
                while (i < text.size() && text[i] != L';' && text[i] != L' ') {
                    ++i;
                }
                value = std::wstring_view(text.data() + start, i - start);
            }
        }
        ApplyProperty(style, name, value, dc);
    }
}

void CHtmlStyleReader::ApplyProperty(HtmlStyle& style, std::wstring_view name, std::wstring_view value,
                                     HDC dc) const
{
    if (name == L"font-size") {
        style.fontHeight = ParseLength(value, style.fontHeight, true, dc);
    } else if (name == L"font-family") {
        if (!value.empty()) {
            style.face.assign(value);
        }
    } else if (name == L"font-style") {
        if (value.empty() || value == L"normal") {
            style.italic = 0;
        } else if (value == L"italic" || value == L"oblique") {
            style.italic = 1;
        }
    } else if (name == L"font-weight") {
        style.weight = ParseFontWeight(value);
    } else if (name == L"text-align") {
        style.horizontalAlign = ParseTextAlign(value, style.horizontalAlign);
    } else if (name == L"text-transform") {
        if (value.empty() || value == L"none") {
            style.textTransform = HtmlStyle::TransformNone;
        } else if (value == L"uppercase") {
            style.textTransform = HtmlStyle::TransformUpper;
        } else if (value == L"lowercase") {
            style.textTransform = HtmlStyle::TransformLower;
        } else if (value == L"capitalize") {
            style.textTransform = HtmlStyle::TransformCapitalise;
        }
    } else if (name == L"color") {
        style.textColour = m_enabled ? ParseColour(value, style.textColour) : m_disabledColour;
    } else if (name == L"background-color") {
        if (!m_enabled || value.empty() || value == L"transparent") {
            style.textBackgroundMode = TRANSPARENT;
        } else {
            style.textBackgroundMode = OPAQUE;
            style.backgroundColour = ParseColour(value, style.backgroundColour);
        }
    } else if (name == L"text-decoration") {
        size_t i = 0;
        bool any = false;
        while (i <= value.size()) {
            size_t end = value.find_first_of(L" ,", i);
            if (end == std::wstring_view::npos) {
                end = value.size();
            }
            const std::wstring_view word = value.substr(i, end - i);
            if (!word.empty()) {
                any = true;
            }
            if (word == L"none") {
                style.underline = style.strikeOut = style.overline = 0;
            } else if (word == L"underline") {
                style.underline = 1;
            } else if (word == L"line-through") {
                style.strikeOut = 1;
            } else if (word == L"overline") {
                style.overline = 1;
            }
            i = end + 1;
        }
        if (!any) {
            style.underline = style.strikeOut = style.overline = 0;
        }
    } else if (name == L"vertical-align") {
        style.verticalAlign = ParseVerticalAlign(value, style.verticalAlign);
    } else if (name == L"border-color") {
        const COLORREF colour = m_enabled ? ParseColour(value, style.borderColourLight) : m_disabledColour;
        style.borderColourLight = style.borderColourDark = colour;
    } else if (name == L"border-width" || name == L"size") {
        int width = style.borderWidth;
        if (value == L"thin") {
            width = MulDiv(style.borderWidth, 75, 100);
        } else if (value == L"thick") {
            width = MulDiv(style.borderWidth, 125, 100);
        } else if (value != L"medium") {
            width = ParseLength(value, style.borderWidth, false, dc);
        }
        SetBorderWidth(style, width);
    } else if (name == L"border-style") {
        SetBorderStyle(style, ParseBorderStyle(value, style.borderStyle));
    } else if (name == L"margin") {
        style.margin = ParseLength(value, style.margin, false, dc);
    } else if (name == L"padding") {
        style.padding = ParseLength(value, style.padding, false, dc);
    }
}

void CHtmlStyleReader::SetBorderWidth(HtmlStyle& style, int width)
{
    style.borderWidth = width;
    if (width == 0) {
        style.borderStyle = HtmlStyle::BorderNone;
    } else if (style.borderStyle == HtmlStyle::BorderNone) {
        style.borderStyle = HtmlStyle::BorderSolid;
    }
}

void CHtmlStyleReader::SetBorderStyle(HtmlStyle& style, int borderStyle)
{
    style.borderStyle = borderStyle;
    if (borderStyle != HtmlStyle::BorderNone && style.borderWidth == 0) {
        style.borderWidth = 1;
    }
}

COLORREF CHtmlStyleReader::ParseColour(std::wstring_view value, COLORREF fallback) const
{
    if (value.empty()) {
        return fallback;
    }
    if (value[0] == L'#') {
        if (value.size() != 7) {
            return fallback;
        }
        int channels[3] = {};
        for (int channel = 0; channel < 3; ++channel) {
            const int high = HexDigit(value[1 + channel * 2]);
            const int low = HexDigit(value[2 + channel * 2]);
            if (high < 0 || low < 0) {
                return fallback;
            }
            channels[channel] = high * 16 + low;
        }
        return RGB(channels[0], channels[1], channels[2]);
    }
    if (value[0] >= L'0' && value[0] <= L'9') {
        // The number is the stored form itself: 255 is red.
        return static_cast<COLORREF>(CNotationNumber(value));
    }
    if (!m_enabled) {
        return m_disabledColour;
    }
    const auto found = m_colours.find(std::wstring(value));
    return found == m_colours.end() ? fallback : found->second;
}

int CHtmlStyleReader::ParseLength(std::wstring_view value, int current, bool fontSize, HDC dc) const
{
    if (value.empty()) {
        return current;
    }
    if (value.back() == L'%') {
        const long long percent = std::clamp<long long>(LeadingNumber(value, true), -100000, 100000);
        return ClampLength(
            MulDiv(std::clamp(current, -kHtmlMaxLength, kHtmlMaxLength), static_cast<int>(percent), 100));
    }
    if (value[0] == L'+' || value[0] == L'-') {
        value.remove_prefix(1);
    }
    const long long number = LeadingNumber(value, false);
    if (value.size() >= 2) {
        const std::wstring_view unit = value.substr(value.size() - 2);
        if (unit == L"px") {
            return ClampLength(number);
        }
        if (unit == L"ex" || unit == L"em" || unit == L"in" || unit == L"cm" || unit == L"mm" ||
            unit == L"pt" || unit == L"pc") {
            ScreenDcIfNone device(dc);
            if (unit == L"ex") {
                SIZE extent = {};
                GetTextExtentPoint32W(device.dc(), L"x", 1, &extent);
                return ClampLength(number * extent.cy);
            }
            if (unit == L"em") {
                TEXTMETRICW metrics = {};
                GetTextMetricsW(device.dc(), &metrics);
                return ClampLength(number * metrics.tmHeight);
            }
            const long long dpi = GetDeviceCaps(device.dc(), LOGPIXELSY);
            if (unit == L"in") {
                return ClampLength(number * dpi);
            }
            if (unit == L"cm") {
                return ClampLength(static_cast<long long>(number * dpi * 0.39370078740157477));
            }
            if (unit == L"mm") {
                return ClampLength(static_cast<long long>(number * dpi * 0.03937007874015748));
            }
            if (unit == L"pt") {
                return ClampLength(number * dpi / 72);
            }
            return ClampLength(number * dpi / 6);
        }
    }
    const unsigned long long plain = CNotationNumber(value);
    if (fontSize && plain >= 1 && plain <= 7) {
        return kHtmlFontSizes[plain - 1];
    }
    return ClampLength(static_cast<long long>(plain));
}

int CHtmlStyleReader::ParseFontWeight(std::wstring_view value)
{
    if (value.empty() || value == L"normal") {
        return FW_NORMAL;
    }
    if (value == L"bold") {
        return FW_BOLD;
    }
    if (value == L"bolder") {
        return FW_HEAVY;
    }
    if (value == L"lighter") {
        return FW_THIN;
    }
    return static_cast<int>(std::clamp<long long>(LeadingNumber(value, false), 0, 1000));
}

int CHtmlStyleReader::ParseTextAlign(std::wstring_view value, int current)
{
    if (value.empty() || value == L"left") {
        return HtmlStyle::AlignLeft;
    }
    if (value == L"center") {
        return HtmlStyle::AlignCentre;
    }
    if (value == L"right") {
        return HtmlStyle::AlignRight;
    }
    return current;
}

int CHtmlStyleReader::ParseVerticalAlign(std::wstring_view value, int current)
{
    if (value.empty() || value == L"baseline") {
        return HtmlStyle::AlignBaseline;
    }
    if (value == L"middle" || value == L"vcenter") {
        return HtmlStyle::AlignMiddle;
    }
    if (value == L"top") {
        return HtmlStyle::AlignTop;
    }
    if (value == L"bottom") {
        return HtmlStyle::AlignBottom;
    }
    return current;
}

int CHtmlStyleReader::ParseBorderStyle(std::wstring_view value, int current)
{
    if (value.empty() || value == L"none") {
        return HtmlStyle::BorderNone;
    }
    if (value == L"solid") {
        return HtmlStyle::BorderSolid;
    }
    if (value == L"dotted") {
        return HtmlStyle::BorderDotted;
    }
    if (value == L"dashed") {
        return HtmlStyle::BorderDashed;
    }
    if (value == L"double") {
        return HtmlStyle::BorderDouble;
    }
    return current;
}

int CHtmlStyleReader::ParseBackgroundEffect(std::wstring_view value, int current)
{
    for (const EffectName& effect : kEffectNames) {
        if (value == effect.name) {
            return effect.effect;
        }
    }
    if (value.empty()) {
        return current;
    }
    if (value[0] != L'-' && value[0] != L'+' && (value[0] < L'0' || value[0] > L'9')) {
        return current;
    }
    return static_cast<int>(std::clamp<long long>(LeadingNumber(value, true), -1, 15));
}
