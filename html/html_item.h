#pragma once

#include <windows.h>

class CHtmlImageLoader;

enum HtmlItemKind
{
    kHtmlItemUnset = -1,
    kHtmlItemText = 0,
    kHtmlItemImage = 1,
    kHtmlItemBreak = 2,
    kHtmlItemBox = 3,
};

// Characters of faceName, terminator included.
constexpr int kHtmlFaceNameCapacity = 100;

// One thing the layout places and the drawing paints. Owned by the array that holds it.
struct CHtmlItem
{
    int kind;
    int width, height;
    int x, y;
    // Bits 0-3 left, top, right, bottom edge, bit 4 a line through the middle; on a text run 8 alone is
    // underline and 16 alone strike-through, drawn by the font.
    unsigned int lineFlags;
    int lineWidth;
    // -1 a sunken frame, -2 a raised one.
    int lineColor;
    wchar_t faceName[kHtmlFaceNameCapacity];
    int fontSize;
    int bold;
    int italic;
    COLORREF textColor;
    int backColor;
    int align;
    int valign;
    wchar_t* text;
    int imageIndex;
    int backImageIndex;
    int row;
    int column;
    int colSpan, rowSpan;
    int cellWidth;
    int tableWidth;
    int border;
    int cellHeight;
    int tableHeight;
    int padding;
    int spacing;
    int linkId;
    int gridSlots[4];
    int selected;
    int noWrap;
    int controlId;
    int floatSide;
    int clear;
    CHtmlItem** children;
    int childCount;
};

void InitItem(CHtmlItem* item);

// The one test of the symbol face, shared by measuring and drawing.
bool IsWingdingsFace(const wchar_t* face);

void MeasureText(const wchar_t* face, int fontSize, int bold, int italic, SIZE* size, const wchar_t* text,
                 int length);

CHtmlItem* CreateTextItem(const wchar_t* text, unsigned int lineFlags, int lineWidth, int lineColor,
                          const wchar_t* face, int fontSize, int bold, int italic, COLORREF textColor,
                          int backColor, int align, int valign, int linkId, int noWrap);
CHtmlItem* CreateImageItem(const wchar_t* url, int align, CHtmlImageLoader* loader, int linkId, int noWrap,
                           int background, int borderWidth);
CHtmlItem* CreateBreakItem(int height, int width, int align, int clear);
CHtmlItem* CreateBoxItem(int row, int column, int cellWidth, int align, int valign, int backColor, int border,
                         int colSpan, int rowSpan, int cellPadding, int spacing, int tableWidth,
                         int backImageIndex, int cellHeight, int tableHeight, int borderColor, int floatSide);

// Frees the children and the text; the caller deletes the record itself.
void FreeItem(CHtmlItem* item);
void OffsetChildren(CHtmlItem* box, int dx, int dy);
