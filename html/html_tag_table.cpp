#include "html_tag_table.h"

#include <cwchar>

namespace {

constexpr const wchar_t* kOpenings[kHtmlTagCount] = {
    L"<br",      L"<i",      L"</i",      L"<b",          L"</b",          L"<strong",    L"</strong",
    L"<u",       L"</u",     L"<a",       L"</a",         L"<small",       L"</small",    L"<big",
    L"</big",    L"<center", L"</center", L"<p",          L"<font",        L"</font",     L"<img",
    L"<h1",      L"</h1",    L"<div",     L"</div",       L"<hr",          L"<table",     L"</table",
    L"<tr",      L"</tr",    L"<td",      L"</td",        L"<h2",          L"</h2",       L"<h3",
    L"</h3",     L"<pre",    L"</pre",    L"<input",      L"<ul",          L"<ol",        L"<li",
    L"</ul",     L"</ol",    L"<sub",     L"</sub",       L"<sup",         L"</sup",      L"<strike",
    L"</strike", L"<select", L"</select", L"<option",     L"<textarea",    L"</textarea", L"<th",
    L"</th",     L"<form",   L"</form",   L"<blockquote", L"</blockquote", L"</p",
};

} // namespace

const wchar_t* HtmlTagOpening(int tag)
{
    return tag >= 0 && tag < kHtmlTagCount ? kOpenings[tag] : L"";
}

bool HtmlStartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    // Tag names and markers are ASCII; other letters never match them in any case.
    auto lower = [](wchar_t character) {
        return character >= L'A' && character <= L'Z' ? static_cast<wchar_t>(character + (L'a' - L'A'))
                                                      : character;
    };
    for (; *prefix; ++text, ++prefix)
        if (!*text || lower(*text) != lower(*prefix))
            return false;
    return true;
}

int MatchHtmlTag(const wchar_t* text, bool anyWhiteSpace)
{
    for (int tag = 0; tag < kHtmlTagCount; ++tag) {
        if (!HtmlStartsWithNoCase(text, kOpenings[tag]))
            continue;
        wchar_t next = text[wcslen(kOpenings[tag])];
        if (next == 0 || next == L' ' || next == L'>')
            return tag;
        if (anyWhiteSpace && (next == L'\t' || next == L'\r' || next == L'\n'))
            return tag;
    }
    return -1;
}
