#pragma once

#include "html_style.h"

#include <map>
#include <string>
#include <string_view>

// Lengths read from the text are kept within this many logical units either way, so that no size,
// position or allocation computed from them can grow without bound.
constexpr int kHtmlMaxLength = 32767;

// The style side of the HTML text drawer: the colour map, the style sheet and its declarations, and the
// parsing of colours, lengths and the keyword values that tags share with the declarations.
class CHtmlStyleReader
{
public:
    // Builds the colour map (system colours as they are now) and loads the default style sheet.
    CHtmlStyleReader();

    // While disabled, every colour is the disabled colour and text backgrounds stay transparent.
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsEnabled() const { return m_enabled; }
    void SetDisabledColour(COLORREF colour) { m_disabledColour = colour; }
    COLORREF DisabledColour() const { return m_disabledColour; }

    // Empties the style map; null loads the default style sheet, other text is read entry by entry.
    void SetStyleSheet(const wchar_t* text);
    // Stores the declarations under the name in lower case, replacing an entry of that name.
    void SetStyle(std::wstring_view name, std::wstring_view declarations);
    const std::wstring* FindStyle(std::wstring_view name) const;
    const std::wstring& StyleSheetText() const { return m_sheetText; }

    // Applies the named entry to the style; false when there is none. `dc` holds the style's font (for
    // the units that depend on it) and may be null.
    bool ApplyStyle(HtmlStyle& style, std::wstring_view name, HDC dc) const;
    // Lowers the whole text, then applies each "property: value" in turn.
    void ApplyDeclarations(HtmlStyle& style, std::wstring_view declarations, HDC dc) const;

    COLORREF ParseColour(std::wstring_view value, COLORREF fallback) const;
    // A length in logical units of the device context; with `fontSize` the plain numbers 1 to 7 are the
    // HTML font sizes.
    int ParseLength(std::wstring_view value, int current, bool fontSize, HDC dc) const;

    static int ParseFontWeight(std::wstring_view value);
    static int ParseTextAlign(std::wstring_view value, int current);
    static int ParseVerticalAlign(std::wstring_view value, int current);
    static int ParseBorderStyle(std::wstring_view value, int current);
    // A `bgeffect` value: an effect name, else a number.
    static int ParseBackgroundEffect(std::wstring_view value, int current);

    // Border width and style move together: no width means no border, a style needs a width.
    static void SetBorderWidth(HtmlStyle& style, int width);
    static void SetBorderStyle(HtmlStyle& style, int borderStyle);

private:
    void ApplyProperty(HtmlStyle& style, std::wstring_view name, std::wstring_view value, HDC dc) const;

    std::map<std::wstring, COLORREF> m_colours;
    std::map<std::wstring, std::wstring> m_styles;
    std::wstring m_sheetText;
    bool m_enabled = true;
    COLORREF m_disabledColour;
};

// The style sheet in force until another is set.
extern const wchar_t kHtmlDefaultStyleSheet[];

std::wstring HtmlLowerAscii(std::wstring_view text);
bool HtmlIsNameStart(wchar_t c);
// The next name in text from i on: skips to a name start and reads up to a space or stop. Leaves i
// after the name; the name is empty (and i at the end) when no name is left.
std::wstring_view HtmlReadName(std::wstring_view text, size_t& i, wchar_t stop);
