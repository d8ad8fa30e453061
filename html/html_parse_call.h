#pragma once

// The state one call of the tag parser shares with the builders of tables, forms and blocks.
#include "html_item.h"
#include "html_string_table.h"

#include <windows.h>

#include <string>

// The style state of one call: no stack, closing tags return to the call's base values.
struct HtmlParseStyle
{
    std::wstring face;
    int size = 0;
    COLORREF colour = 0;
    int bold = 0;
    int italic = 0;
    int underline = 0;
    int inLink = 0;
    int linkId = -1;
    int subscript = 0;
    int superscript = 0;
    int strike = 0;
    int centring = 0;
    int lineHasText = 0;
};

// One call of CHtmlDocument::ParseTags: its text, the array it appends to and its base values.
struct HtmlParseCall
{
    wchar_t* text;
    int length;
    CHtmlItem**& array;
    int& count;
    std::wstring baseFace;
    int baseSize;
    COLORREF baseColour;
    const wchar_t* pageUrl;
    int level;
    // A table's align attribute changes it until the table ends.
    int align;
    int noWrap;
    HtmlParseStyle style;
    // Characters of the text runs at the end of the array, modulo the tab width.
    int runColumn = 0;

    int LineAlign() const { return style.centring ? 2 : align; }
    // Past the '>' of the tag at position, or the end of the text.
    int AfterTag(int position) const;
};

// The attributes of one tag, looked up by name without regard to case.
class HtmlTagAttributes
{
public:
    explicit HtmlTagAttributes(const wchar_t* tag);
    int Count() const { return table.RowCount(); }
    const wchar_t* Name(int index) const { return table.GetRow(index)->GetText(0); }
    const wchar_t* Value(int index) const { return table.GetRow(index)->GetText(1); }
    bool Is(int index, const wchar_t* name) const;
    // The value of the last attribute of that name, or null when the tag has none.
    const wchar_t* Find(const wchar_t* name) const;

private:
    CHtmlStringTable table;
};

// A signed decimal number as far as it goes; saturates instead of overflowing.
long long ReadHtmlNumber(const wchar_t* text);
// The number of an attribute value kept within low..high, so that no later pass takes time or memory
// in proportion to what a page asks for.
int ReadClampedNumber(const wchar_t* text, int low, int high);
bool HtmlValueIs(const wchar_t* value, const wchar_t* keyword);
