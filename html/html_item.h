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

// Characters a face name keeps, terminator included.
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
    // Never null. Shared by every run of the face (a page has few faces and may have a million runs), or
    // faceCopy when the process already shares many faces.
    const wchar_t* faceName;
    wchar_t* faceCopy;
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

// While one lives on a thread, MeasureText there keeps its device context, the fonts it makes and the
// extents of short texts, instead of making and deleting a font for every word: a page's words and tab
// runs repeat, and under Wine each font costs more than the rest of the word's parse. The outermost one
// on a thread owns the cache; inner ones change nothing.
class HtmlMeasureScope
{
public:
    HtmlMeasureScope();
    ~HtmlMeasureScope();
    HtmlMeasureScope(const HtmlMeasureScope&) = delete;
    HtmlMeasureScope& operator=(const HtmlMeasureScope&) = delete;

private:
    bool owner;
};

CHtmlItem* CreateTextItem(const wchar_t* text, unsigned int lineFlags, int lineWidth, int lineColor,
                          const wchar_t* face, int fontSize, int bold, int italic, COLORREF textColor,
                          int backColor, int align, int valign, int linkId, int noWrap);
CHtmlItem* CreateImageItem(const wchar_t* url, int align, CHtmlImageLoader* loader, int linkId, int noWrap,
                           int background, int borderWidth);
CHtmlItem* CreateBreakItem(int height, int width, int align, int clear);
CHtmlItem* CreateBoxItem(int row, int column, int cellWidth, int align, int valign, int backColor, int border,
                         int colSpan, int rowSpan, int cellPadding, int spacing, int tableWidth,
                         int backImageIndex, int cellHeight, int tableHeight, int borderColor, int floatSide);

// Frees the children, the text and a face of its own; the caller deletes the record itself.
void FreeItem(CHtmlItem* item);
void OffsetChildren(CHtmlItem* box, int dx, int dy);
