#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Reading the HTML drawer's markup: entity replacement, runs and tags, attributes, and the tables that
// the layout cuts out of the flowing text.

struct HtmlEntity
{
    const wchar_t* name;
    const wchar_t* replacement;
};

// The entity map in its order (code-unit order of the names). "&lt;" becomes two less-than signs,
// which the tag reader turns back into one literal "<".
const HtmlEntity* HtmlEntities(size_t& count);

// Replaces every entity, one after another in map order, over the whole text; removes carriage
// returns; turns line feeds and tabs into "<br>" and "<t>" when `convertBreaks`, else removes them.
std::wstring PrepareHtmlText(std::wstring_view text, bool convertBreaks);

struct HtmlToken
{
    enum Kind
    {
        Text,
        Tag,
    };
    Kind kind = Text;
    // Text: the run, with escaped less-than signs resolved.
    std::wstring text;
    // Tag: the name without the "/" of a closing tag, and the attribute text without leading spaces.
    std::wstring_view name;
    bool closing = false;
    std::wstring_view attributes;
    // Where the token lies in the scanned text.
    size_t start = 0;
    size_t end = 0;
};

// Splits markup into text runs and tags. "<<" and a final "<" are a literal "<"; a "<" with no ">"
// after it, and the "<" of "<>", are dropped.
class HtmlMarkupScanner
{
public:
    explicit HtmlMarkupScanner(std::wstring_view text, size_t position = 0);
    bool Next(HtmlToken& token);

private:
    std::wstring_view m_text;
    size_t m_position;
    size_t m_lastClose;
};

struct HtmlAttribute
{
    std::wstring_view name;
    std::wstring_view value;
};

// The attributes that carry a value ("name=value", the value optionally quoted), in text order.
std::vector<HtmlAttribute> ReadHtmlAttributes(std::wstring_view text);

// Start of the next "<table" tag at or after `from`; npos when there is none.
size_t FindHtmlTableStart(std::wstring_view text, size_t from);
// One past the "</table>" that matches the table starting at `tableStart` (nested tables counted), or
// the end of the text when it has none.
size_t FindHtmlTableEnd(std::wstring_view text, size_t tableStart);

struct HtmlCellSource
{
    std::wstring_view attributes;
    std::wstring_view content;
};

struct HtmlTableSource
{
    std::wstring_view attributes;
    std::vector<std::vector<HtmlCellSource>> rows;
};

// Rows ("<tr" .. "</tr>") and cells ("<td" .. "</td>") of one table, nested tables left inside their
// cells. Missing closing tags end at the next row, cell or the end of the table.
HtmlTableSource ParseHtmlTable(std::wstring_view tableText);
