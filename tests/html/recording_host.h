#pragma once

#include "html_document.h"
#include "html_host_callback.h"

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
    int AddForm(const wchar_t*, const wchar_t*) override { return -1; }
    HWND CreateEditControl(int, int, int, int, const wchar_t*, int, const wchar_t*, int, int) override
    {
        return nullptr;
    }
    HWND CreateButtonControl(int, int, const wchar_t*, const wchar_t*, int) override { return nullptr; }
    HWND CreateRadioControl(int, int, const wchar_t*, const wchar_t*, int) override { return nullptr; }
    HWND CreateCheckBoxControl(int, int, const wchar_t*, const wchar_t*, int) override { return nullptr; }
    HWND CreateComboBoxControl(int, int, const CHtmlStringTable*, int, const wchar_t*, int) override
    {
        return nullptr;
    }
    void MoveControl(HWND, int, int) override {}
    void InvalidateDocRect(const RECT* rect) override
    {
        log.push_back(L"Invalidate " + std::to_wstring(rect->left) + L"," + std::to_wstring(rect->top));
    }

    std::vector<std::wstring> log;
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
