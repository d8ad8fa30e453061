#include "html_item.h"

#include "html_image_loader.h"
#include "html_text_routines.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int kMaxSpan = 1000;

// Faces shared by the runs of every page; past this many a run keeps its own copy, so that pages of
// ever new faces cannot grow the shared ones without bound.
constexpr size_t kSharedFaces = 1024;

// Sets the record's face as far as it holds one; a face list keeps its first name.
void SetFaceName(CHtmlItem* item, const wchar_t* face)
{
    size_t length = 0;
    while (face && length < kHtmlFaceNameCapacity - 1 && face[length] && face[length] != L',')
        ++length;
    // Runs come in long stretches of one face.
    thread_local const wchar_t* lastShared = nullptr;
    if (lastShared && wcslen(lastShared) == length && wmemcmp(lastShared, face, length) == 0) {
        item->faceName = lastShared;
        return;
    }
    std::wstring name(face ? face : L"", length);
    static std::mutex lock;
    static std::unordered_set<std::wstring> shared;
    {
        std::lock_guard<std::mutex> guard(lock);
        auto found = shared.find(name);
        if (found == shared.end() && shared.size() < kSharedFaces)
            found = shared.insert(name).first;
        if (found != shared.end()) {
            // Elements of an unordered set keep their place while others are added.
            item->faceName = found->c_str();
            lastShared = item->faceName;
            return;
        }
    }
    item->faceCopy = new wchar_t[name.size() + 1];
    wmemcpy(item->faceCopy, name.c_str(), name.size() + 1);
    item->faceName = item->faceCopy;
}

CHtmlItem* NewItem(int kind)
{
    CHtmlItem* item = new CHtmlItem;
    InitItem(item);
    item->kind = kind;
    return item;
}

} // namespace

void InitItem(CHtmlItem* item)
{
    *item = CHtmlItem{};
    item->kind = kHtmlItemUnset;
    item->faceName = L"";
    item->backColor = -1;
    item->imageIndex = -1;
    item->backImageIndex = -1;
    item->linkId = -1;
    std::fill(std::begin(item->gridSlots), std::end(item->gridSlots), -1);
    item->controlId = -1;
    item->floatSide = -1;
}

bool IsWingdingsFace(const wchar_t* face)
{
    return face && _wcsicmp(face, L"Wingdings") == 0;
}

namespace {

LOGFONTW MeasuringFont(const wchar_t* face, int fontSize, int bold, int italic)
{
    LOGFONTW font = {};
    font.lfHeight = fontSize;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfCharSet = IsWingdingsFace(face) ? SYMBOL_CHARSET : ANSI_CHARSET;
    if (face)
        wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

// Texts up to this long have their extents kept: words and tab runs, not whole lines of a plain page.
constexpr int kKeptTextLength = 32;
// Kept extents of one scope; past this the kept ones are dropped and keeping starts again, so that a page
// of distinct words costs no memory beyond it.
constexpr size_t kKeptExtents = 1 << 16;
// Fonts one scope keeps; a page of more styles starts again, so that it never holds many GDI objects.
constexpr size_t kKeptFonts = 32;

class MeasureCache
{
public:
    MeasureCache() : screen(GetDC(nullptr)) {}
    ~MeasureCache()
    {
        DropFonts();
        if (screen)
            ReleaseDC(nullptr, screen);
    }
    MeasureCache(const MeasureCache&) = delete;
    MeasureCache& operator=(const MeasureCache&) = delete;

    void Measure(const LOGFONTW& logFont, const wchar_t* text, int count, SIZE* size)
    {
        if (!screen)
            return;
        Font* font = Select(logFont);
        if (!font)
            return;
        if (count > kKeptTextLength) {
            GetTextExtentPoint32W(screen, text, count, size);
            return;
        }
        std::wstring key(text, static_cast<size_t>(count));
        auto kept = font->extents.find(key);
        if (kept != font->extents.end()) {
            *size = kept->second;
            return;
        }
        GetTextExtentPoint32W(screen, text, count, size);
        if (keptCount >= kKeptExtents) {
            for (Font& each : fonts)
                each.extents.clear();
            keptCount = 0;
        }
        font->extents.emplace(std::move(key), *size);
        ++keptCount;
    }

private:
    struct Font
    {
        LOGFONTW logFont;
        HFONT handle;
        std::unordered_map<std::wstring, SIZE> extents;
    };

    static bool SameFont(const LOGFONTW& a, const LOGFONTW& b)
    {
        return a.lfHeight == b.lfHeight && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
               a.lfCharSet == b.lfCharSet && wcscmp(a.lfFaceName, b.lfFaceName) == 0;
    }

    Font* Select(const LOGFONTW& logFont)
    {
        if (current && SameFont(current->logFont, logFont))
            return current;
        Font* found = nullptr;
        for (Font& font : fonts)
            if (SameFont(font.logFont, logFont))
                found = &font;
        if (!found && fonts.size() >= kKeptFonts)
            DropFonts();
        if (!found) {
            HFONT handle = CreateFontIndirectW(&logFont);
            if (!handle)
                return nullptr;
            fonts.push_back(Font{logFont, handle, {}});
            found = &fonts.back();
        }
        HGDIOBJ previous = SelectObject(screen, found->handle);
        if (!original)
            original = previous;
        current = found;
        return current;
    }

    void DropFonts()
    {
        if (screen && original)
            SelectObject(screen, original);
        original = nullptr;
        current = nullptr;
        for (Font& font : fonts)
            DeleteObject(font.handle);
        fonts.clear();
        keptCount = 0;
    }

    HDC screen;
    HGDIOBJ original = nullptr;
    // A deque keeps the addresses of its elements as it grows at the back.
    std::deque<Font> fonts;
    Font* current = nullptr;
    size_t keptCount = 0;
};

thread_local MeasureCache* measureCache = nullptr;

} // namespace

HtmlMeasureScope::HtmlMeasureScope() : owner(measureCache == nullptr)
{
    if (owner)
        measureCache = new MeasureCache;
}

HtmlMeasureScope::~HtmlMeasureScope()
{
    if (!owner)
        return;
    delete measureCache;
    measureCache = nullptr;
}

void MeasureText(const wchar_t* face, int fontSize, int bold, int italic, SIZE* size, const wchar_t* text,
                 int length)
{
    size->cx = 0;
    size->cy = 0;
    if (!text)
        return;
    LOGFONTW font = MeasuringFont(face, fontSize, bold, italic);
    int count = length < 0 ? static_cast<int>(wcslen(text)) : length;
    if (measureCache) {
        measureCache->Measure(font, text, count, size);
        return;
    }
    HDC screen = GetDC(nullptr);
    HFONT handle = CreateFontIndirectW(&font);
    HGDIOBJ previous = SelectObject(screen, handle);
    GetTextExtentPoint32W(screen, text, count, size);
    SelectObject(screen, previous);
    DeleteObject(handle);
    ReleaseDC(nullptr, screen);
}

CHtmlItem* CreateTextItem(const wchar_t* text, unsigned int lineFlags, int lineWidth, int lineColor,
                          const wchar_t* face, int fontSize, int bold, int italic, COLORREF textColor,
                          int backColor, int align, int valign, int linkId, int noWrap)
{
    CHtmlItem* item = NewItem(kHtmlItemText);
    item->lineFlags = lineFlags;
    item->lineWidth = lineWidth;
    item->lineColor = lineColor;
    SetFaceName(item, face);
    item->fontSize = fontSize;
    item->bold = bold;
    item->italic = italic;
    item->textColor = textColor;
    item->backColor = backColor;
    item->align = align;
    item->valign = valign;
    item->linkId = linkId;
    item->noWrap = noWrap;
    const wchar_t* source = text ? text : L"";
    size_t length = wcslen(source);
    item->text = new wchar_t[length + 1];
    wmemcpy(item->text, source, length + 1);
    RepairUtf8Text(DecodeHtmlEntity(item->text));
    SIZE extent = {};
    MeasureText(item->faceName, fontSize, bold, italic, &extent, item->text, -1);
    item->width = extent.cx;
    item->height = extent.cy;
    return item;
}

CHtmlItem* CreateImageItem(const wchar_t* url, int align, CHtmlImageLoader* loader, int linkId, int noWrap,
                           int background, int borderWidth)
{
    CHtmlItem* item = NewItem(kHtmlItemImage);
    item->align = align;
    item->linkId = linkId;
    item->noWrap = noWrap;
    if (loader && url) {
        int index = loader->FindJob(url, background);
        item->imageIndex = index >= 0 ? index : loader->AddJob(url, background);
    }
    if (borderWidth) {
        item->lineFlags = 15;
        item->lineWidth = borderWidth;
    }
    return item;
}

CHtmlItem* CreateBreakItem(int height, int width, int align, int clear)
{
    CHtmlItem* item = NewItem(kHtmlItemBreak);
    item->height = height;
    item->width = width;
    item->align = align;
    item->clear = clear;
    if (width)
        item->lineFlags = 15;
    item->lineWidth = 1;
    item->lineColor = -1;
    return item;
}

CHtmlItem* CreateBoxItem(int row, int column, int cellWidth, int align, int valign, int backColor, int border,
                         int colSpan, int rowSpan, int cellPadding, int spacing, int tableWidth,
                         int backImageIndex, int cellHeight, int tableHeight, int borderColor, int floatSide)
{
    CHtmlItem* item = NewItem(kHtmlItemBox);
    item->row = row;
    item->column = column;
    item->cellWidth = cellWidth;
    item->align = align;
    item->valign = valign;
    item->backColor = backColor;
    item->border = border;
    item->colSpan = std::clamp(colSpan, 1, kMaxSpan);
    item->rowSpan = std::clamp(rowSpan, 1, kMaxSpan);
    item->spacing = spacing;
    item->tableWidth = tableWidth;
    item->backImageIndex = backImageIndex;
    item->cellHeight = cellHeight;
    item->tableHeight = tableHeight;
    item->floatSide = floatSide;
    if (border) {
        item->lineFlags = 15;
        item->lineWidth = 1;
        item->padding = cellPadding + 1;
    } else {
        item->padding = cellPadding;
    }
    item->lineColor = borderColor;
    return item;
}

void FreeItem(CHtmlItem* item)
{
    if (!item)
        return;
    for (int index = 0; index < item->childCount; ++index) {
        FreeItem(item->children[index]);
        delete item->children[index];
    }
    free(item->children);
    item->children = nullptr;
    item->childCount = 0;
    delete[] item->text;
    item->text = nullptr;
    delete[] item->faceCopy;
    item->faceCopy = nullptr;
    item->faceName = L"";
}

void OffsetChildren(CHtmlItem* box, int dx, int dy)
{
    for (int index = 0; index < box->childCount; ++index) {
        CHtmlItem* child = box->children[index];
        child->x += dx;
        child->y += dy;
        OffsetChildren(child, dx, dy);
    }
}
