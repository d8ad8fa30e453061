#include "html_text_reader.h"

#include "html_style_reader.h"

namespace {

// In code-unit order of the names: "&amp;" is replaced first, so "&amp;lt;" ends up as "<".
constexpr HtmlEntity kEntities[] = {
    {L"&amp;", L"&"},        {L"&bull;", L"\u2022"},   {L"&copy;", L"\u00A9"}, {L"&euro;", L"\u20AC"},
    {L"&gt;", L">"},         {L"&iquest;", L"\u00BF"}, {L"&lt;", L"<<"},       {L"&nbsp;", L" "},
    {L"&para;", L"\u00B6"},  {L"&pound;", L"\u00A3"},  {L"&quot;", L"\""},     {L"&reg;", L"\u00AE"},
    {L"&trade;", L"\u2122"},
};

void ReplaceAll(std::wstring& text, std::wstring_view from, std::wstring_view to)
{
    if (text.find(from) == std::wstring::npos) {
        return;
    }
    std::wstring result;
    result.reserve(text.size());
    size_t position = 0;
    for (;;) {
        const size_t found = text.find(from, position);
        if (found == std::wstring::npos) {
            break;
        }
        result.append(text, position, found - position);
        result.append(to);
        position = found + from.size();
    }
    result.append(text, position, std::wstring::npos);
    text.swap(result);
}

bool IsTag(const HtmlToken& token, std::wstring_view name, bool closing)
{
    return token.kind == HtmlToken::Tag && token.closing == closing && token.name == name;
}

} // namespace

const HtmlEntity* HtmlEntities(size_t& count)
{
    count = sizeof(kEntities) / sizeof(kEntities[0]);
    return kEntities;
}

std::wstring PrepareHtmlText(std::wstring_view text, bool convertBreaks)
{
    std::wstring prepared(text);
    for (const HtmlEntity& entity : kEntities) {
        ReplaceAll(prepared, entity.name, entity.replacement);
    }
    std::wstring result;
    result.reserve(prepared.size());
    for (const wchar_t c : prepared) {
        if (c == L'\r') {
            continue;
        }
        if (c == L'\n' || c == L'\t') {
            if (convertBreaks) {
                result.append(c == L'\n' ? L"<br>" : L"<t>");
            }
            continue;
        }
        result.push_back(c);
    }
    return result;
}

HtmlMarkupScanner::HtmlMarkupScanner(std::wstring_view text, size_t position)
    : m_text(text), m_position(position), m_lastClose(text.rfind(L'>'))
{}

bool HtmlMarkupScanner::Next(HtmlToken& token)
{
    token = HtmlToken();
    token.start = m_position;
    const size_t size = m_text.size();
    while (m_position < size) {
        const wchar_t c = m_text[m_position];
        if (c != L'<') {
            token.text.push_back(c);
            ++m_position;
            continue;
        }
        if (m_position + 1 >= size || m_text[m_position + 1] == L'<') {
            token.text.push_back(L'<');
            m_position += 2;
            continue;
        }
        // Without a ">" after it, or as the "<" of "<>", the "<" is dropped and reading goes on after it.
        if (m_lastClose == std::wstring_view::npos || m_lastClose <= m_position ||
            m_text[m_position + 1] == L'>') {
            ++m_position;
            continue;
        }
        if (!token.text.empty()) {
            break;
        }
        const size_t close = m_text.find(L'>', m_position + 1);
        std::wstring_view inside = m_text.substr(m_position + 1, close - m_position - 1);
        size_t split = inside.find_first_of(L" =");
        if (split == std::wstring_view::npos) {
            split = inside.size();
        }
        std::wstring_view name = inside.substr(0, split);
        std::wstring_view attributes = inside.substr(split);
        while (!attributes.empty() && attributes.front() == L' ') {
            attributes.remove_prefix(1);
        }
        token.kind = HtmlToken::Tag;
        token.closing = !name.empty() && name.front() == L'/';
        if (token.closing) {
            name.remove_prefix(1);
        }
        token.name = name;
        token.attributes = attributes;
        token.start = m_position;
        m_position = close + 1;
        token.end = m_position;
        return true;
    }
    if (m_position > size) {
        m_position = size;
    }
    token.end = m_position;
    return !token.text.empty();
}

std::vector<HtmlAttribute> ReadHtmlAttributes(std::wstring_view text)
{
    std::vector<HtmlAttribute> attributes;
    size_t i = 0;
    while (i < text.size()) {
        const std::wstring_view name = HtmlReadName(text, i, L'=');
        if (name.empty()) {
            break;
        }
        size_t look = i;
        while (look < text.size() && text[look] == L' ') {
            ++look;
        }
        if (look >= text.size() || text[look] != L'=') {
            continue;
        }
        i = look + 1;
        while (i < text.size() && text[i] == L' ') {
            ++i;
        }
        std::wstring_view value;
        if (i < text.size() && (text[i] == L'"' || text[i] == L'\'')) {
            const wchar_t quote = text[i];
            const size_t start = i + 1;
            size_t end = text.find(quote, start);
            if (end == std::wstring_view::npos) {
                end = text.size();
            }
            value = text.substr(start, end - start);
            i = end < text.size() ? end + 1 : end;
        } else {
            const size_t start = i;
            while (i < text.size() && text[i] != L' ' && text[i] != L'=') {
                ++i;
            }
            value = text.substr(start, i - start);
        }
        attributes.push_back({name, value});
    }
    return attributes;
}

size_t FindHtmlTableStart(std::wstring_view text, size_t from)
{
    HtmlMarkupScanner scanner(text, from);
    HtmlToken token;
    while (scanner.Next(token)) {
        if (IsTag(token, L"table", false)) {
            return token.start;
        }
    }
    return std::wstring_view::npos;
}

size_t FindHtmlTableEnd(std::wstring_view text, size_t tableStart)
{
    HtmlMarkupScanner scanner(text, tableStart);
    HtmlToken token;
    if (!scanner.Next(token) || !IsTag(token, L"table", false)) {
        return text.size();
    }
    size_t depth = 0;
    while (scanner.Next(token)) {
        if (IsTag(token, L"table", false)) {
            ++depth;
        } else if (IsTag(token, L"table", true)) {
            if (depth == 0) {
                return token.end;
            }
            --depth;
        }
    }
    return text.size();
}

HtmlTableSource ParseHtmlTable(std::wstring_view tableText)
{
    HtmlTableSource table;
    HtmlMarkupScanner scanner(tableText);
    HtmlToken token;
    if (!scanner.Next(token) || !IsTag(token, L"table", false)) {
        return table;
    }
    table.attributes = token.attributes;

    bool rowOpen = false;
    bool cellOpen = false;
    size_t contentStart = 0;
    std::wstring_view cellAttributes;
    size_t depth = 0;
    auto closeCell = [&](size_t at) {
        if (cellOpen) {
            table.rows.back().push_back({cellAttributes, tableText.substr(contentStart, at - contentStart)});
            cellOpen = false;
        }
    };
    size_t end = tableText.size();
    while (scanner.Next(token)) {
        if (token.kind != HtmlToken::Tag) {
            continue;
        }
        if (IsTag(token, L"table", false)) {
            ++depth;
            continue;
        }
        if (IsTag(token, L"table", true)) {
            if (depth == 0) {
                end = token.start;
                break;
            }
            --depth;
            continue;
        }
        if (depth > 0) {
            continue;
        }
        if (IsTag(token, L"tr", false)) {
            closeCell(token.start);
            table.rows.emplace_back();
            rowOpen = true;
        } else if (IsTag(token, L"tr", true)) {
            closeCell(token.start);
            rowOpen = false;
        } else if (IsTag(token, L"td", false)) {
            closeCell(token.start);
            if (!rowOpen) {
                table.rows.emplace_back();
                rowOpen = true;
            }
            cellOpen = true;
            cellAttributes = token.attributes;
            contentStart = token.end;
        } else if (IsTag(token, L"td", true)) {
            closeCell(token.start);
        }
    }
    closeCell(end);
    return table;
}
