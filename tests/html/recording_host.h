#pragma once

#include "html_document.h"
#include "html_host_callback.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// A host that records what the engine reports and creates nothing.
class RecordingHost : public CHtmlHostCallback
{
public:
    int ShowParseProgress(int flag, int done, int total) override
    {
        ++progressCalls;
        lastProgress = {flag, done, total};
        if (done > total || done < 0)
            ++progressOutOfRange;
        return flag;
    }
    void Navigate(const wchar_t* url) override { log.push_back(L"Navigate " + std::wstring(url)); }
    void OnLinkHover(int overLink, const wchar_t* url) override
    {
        log.push_back(L"OnLinkHover " + std::to_wstring(overLink) + L" " + url);
    }
    void SetTitle(const wchar_t* title) override { log.push_back(L"SetTitle " + std::wstring(title)); }
    wchar_t* FetchPage(const wchar_t*, int*) override { return nullptr; }
    unsigned char* FetchResource(const wchar_t*, int*) override { return nullptr; }
    void ShowLoadStatus(int, int) override {}
    // Forms are numbered from 0 and every control gets a window handle of its own, which nothing uses.
    int AddForm(const wchar_t* action, const wchar_t* method) override
    {
        log.push_back(L"AddForm " + std::wstring(action) + L" " + method);
        return forms++;
    }
    HWND CreateEditControl(int hasLimit, int limit, int width, int height, const wchar_t* text, int multiLine,
                           const wchar_t* name, int formNumber, int password) override
    {
        return Control(L"Edit " + Join({hasLimit, limit, width, height}) + L" [" + text + L"] " +
                       std::to_wstring(multiLine) + L" [" + name + L"] " + Join({formNumber, password}));
    }
    HWND CreateButtonControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                             int formNumber) override
    {
        return Control(L"Button " + Join({width, height}) + L" [" + caption + L"] [" + name + L"] " +
                       std::to_wstring(formNumber));
    }
    HWND CreateRadioControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                            int formNumber) override
    {
        return Control(L"Radio " + Join({width, height}) + L" [" + caption + L"] [" + name + L"] " +
                       std::to_wstring(formNumber));
    }
    HWND CreateCheckBoxControl(int width, int height, const wchar_t* caption, const wchar_t* name,
                               int formNumber) override
    {
        return Control(L"CheckBox " + Join({width, height}) + L" [" + caption + L"] [" + name + L"] " +
                       std::to_wstring(formNumber));
    }
    HWND CreateComboBoxControl(int width, int height, const CHtmlStringTable* options, int selected,
                               const wchar_t* name, int formNumber) override
    {
        std::wstring list;
        for (int row = 0; row < options->RowCount(); ++row)
            list += L"[" + std::wstring(options->GetRow(row)->GetText(0)) + L"=" +
                    options->GetRow(row)->GetText(1) + L"]";
        return Control(L"ComboBox " + Join({width, height}) + L" " + list + L" " + std::to_wstring(selected) +
                       L" [" + name + L"] " + std::to_wstring(formNumber));
    }
    void MoveControl(HWND, int, int) override {}
    void InvalidateDocRect(const RECT* rect) override
    {
        log.push_back(L"Invalidate " + std::to_wstring(rect->left) + L"," + std::to_wstring(rect->top));
    }

    static std::wstring Join(std::initializer_list<int> numbers)
    {
        std::wstring text;
        for (int number : numbers)
            text += (text.empty() ? L"" : L" ") + std::to_wstring(number);
        return text;
    }
    HWND Control(const std::wstring& entry)
    {
        log.push_back(entry);
        return reinterpret_cast<HWND>(static_cast<intptr_t>(0x1000 + log.size()));
    }

    std::vector<std::wstring> log;
    int forms = 0;
    int progressCalls = 0;
    int progressOutOfRange = 0;
    struct Progress
    {
        int flag, done, total;
    } lastProgress = {-1, -1, -1};
};

// One item as a line: kind, text, face, size, bold, italic, lineFlags, link number, colour.
inline std::wstring DumpItem(const CHtmlItem* item)
{
    std::wstring line = std::to_wstring(item->kind) + L"|";
    if (item->text)
        line += item->text;
    line += L"|" + std::wstring(item->faceName) + L"|" + std::to_wstring(item->fontSize) + L"|" +
            std::to_wstring(item->bold) + std::to_wstring(item->italic) + L"|" +
            std::to_wstring(item->lineFlags) + L"|" + std::to_wstring(item->linkId) + L"|" +
            std::to_wstring(item->textColor);
    return line;
}

// The fields that place an item in a table, list or frame: kind, row, column, spans, padding, spacing,
// lineFlags, lineWidth, lineColor, floatSide and controlId.
inline std::wstring DumpBox(const CHtmlItem* item)
{
    return std::to_wstring(item->kind) + L" r" + std::to_wstring(item->row) + L" c" +
           std::to_wstring(item->column) + L" s" + std::to_wstring(item->colSpan) + L"x" +
           std::to_wstring(item->rowSpan) + L" p" + std::to_wstring(item->padding) + L" sp" +
           std::to_wstring(item->spacing) + L" f" + std::to_wstring(item->lineFlags) + L" w" +
           std::to_wstring(item->lineWidth) + L" l" + std::to_wstring(item->lineColor) + L" fl" +
           std::to_wstring(item->floatSide) + L" id" + std::to_wstring(item->controlId);
}

inline std::vector<std::wstring> DumpItems(CHtmlItem** items, int count)
{
    std::vector<std::wstring> lines;
    for (int index = 0; index < count; ++index)
        lines.push_back(DumpItem(items[index]));
    return lines;
}

// The page as text: runs as written, a break as a line feed.
inline std::wstring ItemsAsText(CHtmlItem** items, int count)
{
    std::wstring text;
    for (int index = 0; index < count; ++index) {
        if (items[index]->kind == kHtmlItemText)
            text += items[index]->text;
        else if (items[index]->kind == kHtmlItemBreak)
            text += L"\n";
    }
    return text;
}
