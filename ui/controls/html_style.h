#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// One formatting state of the HTML text drawer: font, colours, backgrounds, alignment, borders, cell
// spacing and the open link.
struct HtmlStyle
{
    enum HorizontalAlign
    {
        AlignLeft = 0,
        AlignCentre = 1,
        AlignRight = 2,
        AlignJustify = 3,
    };
    enum VerticalAlign
    {
        AlignTop = 0,
        AlignMiddle = 1,
        AlignBottom = 2,
        AlignBaseline = 3,
    };
    enum BorderStyle
    {
        BorderNone = 0,
        BorderSolid = 1,
        BorderDashed = 2,
        BorderDotted = 3,
        BorderDouble = 6,
    };
    enum TextTransform
    {
        TransformNone = 0,
        TransformUpper = 1,
        TransformLower = 2,
        TransformCapitalise = 3,
    };
    enum LinkKind
    {
        LinkNone = 0,
        LinkHref = 1,
        LinkMessage = 2,
    };

    std::wstring name;
    int fontHeight = 16;
    int weight = FW_NORMAL;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int overline = 0;
    std::wstring face = L"Verdana";
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF backgroundColour = RGB(255, 255, 255);
    COLORREF borderColourLight = RGB(0, 0, 0);
    COLORREF borderColourDark = RGB(0, 0, 0);
    COLORREF backgroundMidColour = RGB(255, 255, 255);
    COLORREF backgroundEndColour = RGB(255, 255, 255);
    int textBackgroundMode = TRANSPARENT;
    int backgroundEffect = -1;
    std::wstring backgroundImage;
    int horizontalAlign = AlignLeft;
    int verticalAlign = AlignBaseline;
    int borderStyle = BorderNone;
    int borderWidth = 0;
    // Cell width and height of tables; a layout does not reset them.
    int width = 0;
    int height = 0;
    // Thickness of a horizontal rule without a `size`; no property sets it.
    int ruleThickness = 2;
    int textTransform = TransformNone;
    // Inset of a table cell's content (`cellpadding`).
    int margin = 2;
    // Spacing between a table's cells (`cellspacing`).
    int padding = 0;
    int linkKind = LinkNone;
    std::wstring linkTarget;
    // Number of the open link in the text, counted from 0; -1 while no link is open.
    int linkIndex = -1;

    // The values every layout starts from; width, height and the rule thickness are kept.
    void ResetForLayout();
};

// Saved styles of the open tags. A closing tag takes effect only when it matches the innermost open
// one; no fixed depth limit.
class HtmlStyleStack
{
public:
    // Pushes the current style under the tag's style name.
    void Push(HtmlStyle& current, std::wstring_view styleName);
    // Restores and pops the innermost record when its name matches; returns whether it did. Either way the
    // current style's name is empty afterwards.
    bool PopMatching(std::wstring_view styleName, HtmlStyle& current);
    void Clear() { m_records.clear(); }
    size_t Size() const { return m_records.size(); }
    // Drops records above the given depth (a table cell does not leak its open tags).
    void Truncate(size_t size);

private:
    std::vector<HtmlStyle> m_records;
};
