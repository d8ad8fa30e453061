#pragma once

// A parsed page laid out at a given width, the items of it found by their text, and a 24-bit DIB section
// in a memory DC to draw it into and read its pixels back.
#include "html_document.h"
#include "recording_host.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <functional>
#include <vector>

struct LaidOutPage
{
    RecordingHost host;
    CHtmlDocument document{&host, 0};

    explicit LaidOutPage(const wchar_t* text)
    {
        document.Load(text, L"Arial", 15, 0, L"http://host/page.htm");
    }
    // Lays out the top-level items in an area from 0 to right.
    void LayOut(int right)
    {
        RECT area = {0, 0, right, 100000};
        document.LayoutItems(area, document.items, document.itemCount);
    }
    int Count() const { return document.itemCount; }
    CHtmlItem* Item(int index) const { return document.items[index]; }
};

// Every item of the tree in document order, boxes before their children.
inline void ForEachItem(CHtmlItem** items, int count, const std::function<void(CHtmlItem*)>& visit)
{
    for (int index = 0; index < count; ++index) {
        visit(items[index]);
        ForEachItem(items[index]->children, items[index]->childCount, visit);
    }
}

inline std::vector<CHtmlItem*> AllItems(const CHtmlDocument& document)
{
    std::vector<CHtmlItem*> all;
    ForEachItem(document.items, document.itemCount, [&](CHtmlItem* item) { all.push_back(item); });
    return all;
}

inline CHtmlItem* FindText(const CHtmlDocument& document, const wchar_t* text)
{
    for (CHtmlItem* item : AllItems(document))
        if (item->text && wcscmp(item->text, text) == 0)
            return item;
    return nullptr;
}

inline std::vector<CHtmlItem*> ItemsOfKind(const CHtmlDocument& document, int kind)
{
    std::vector<CHtmlItem*> found;
    for (CHtmlItem* item : AllItems(document))
        if (item->kind == kind)
            found.push_back(item);
    return found;
}

// A memory DC with a 24-bit DIB section selected, its pixels readable as COLORREF.
class DibCanvas
{
public:
    DibCanvas(int width, int height) : width(width), height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        previous = SelectObject(dc, bitmap);
        Fill(RGB(255, 255, 255));
    }
    ~DibCanvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    void Fill(COLORREF colour)
    {
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const std::uint8_t* pixel = bits + static_cast<size_t>(y) * Stride() + static_cast<size_t>(x) * 3;
        return RGB(pixel[2], pixel[1], pixel[0]);
    }
    std::vector<COLORREF> Pixels() const
    {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(At(x, y));
        return pixels;
    }
    // The smallest rectangle holding every pixel of the colour; empty when there is none.
    RECT BoundsOf(COLORREF colour) const
    {
        RECT bounds = {width, height, -1, -1};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) == colour) {
                    bounds.left = std::min<LONG>(bounds.left, x);
                    bounds.top = std::min<LONG>(bounds.top, y);
                    bounds.right = std::max<LONG>(bounds.right, x);
                    bounds.bottom = std::max<LONG>(bounds.bottom, y);
                }
        return bounds;
    }
    RECT Area() const { return {0, 0, width, height}; }

    HDC dc;
    const int width;
    const int height;

private:
    size_t Stride() const { return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3); }
    HBITMAP bitmap;
    HGDIOBJ previous;
    std::uint8_t* bits = nullptr;
};
