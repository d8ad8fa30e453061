#include "html_item.h"

#include "html_image_loader.h"
#include "html_text_routines.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

namespace {

constexpr int kMaxSpan = 1000;

// Copies a face name as far as the record holds it; a face list keeps its first name.
void CopyFaceName(wchar_t* target, const wchar_t* face)
{
    target[0] = 0;
    if (!face)
        return;
    int length = 0;
    while (length < kHtmlFaceNameCapacity - 1 && face[length] && face[length] != L',') {
        target[length] = face[length];
        ++length;
    }
    target[length] = 0;
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

void MeasureText(const wchar_t* face, int fontSize, int bold, int italic, SIZE* size, const wchar_t* text,
                 int length)
{
    size->cx = 0;
    size->cy = 0;
    if (!text)
        return;
    LOGFONTW font = {};
    font.lfHeight = fontSize;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfCharSet = IsWingdingsFace(face) ? SYMBOL_CHARSET : ANSI_CHARSET;
    if (face)
        wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    int count = length < 0 ? static_cast<int>(wcslen(text)) : length;
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
    CopyFaceName(item->faceName, face);
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
