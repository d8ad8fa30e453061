#pragma once

#include "draw_effects.h"
#include "html_style.h"
#include "html_style_reader.h"
#include "html_text_reader.h"

#include <commctrl.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

// Tag ids of the tag map.
enum HtmlTagId
{
    HtmlTagBold = 1,
    HtmlTagItalic = 2,
    HtmlTagUnderline = 3,
    HtmlTagStrikeOut = 4,
    HtmlTagFont = 5,
    HtmlTagRule = 6,
    HtmlTagBreak = 7,
    HtmlTagTab = 8,
    HtmlTagLeft = 9,
    HtmlTagCentre = 10,
    HtmlTagRight = 11,
    HtmlTagJustify = 12,
    HtmlTagBaseline = 13,
    HtmlTagTop = 14,
    HtmlTagMiddle = 15,
    HtmlTagBottom = 16,
    HtmlTagBitmap = 17,
    HtmlTagIcon = 18,
    HtmlTagImageList = 19,
    HtmlTagString = 20,
    HtmlTagNamedStyle = 21,
    HtmlTagSpan = 22,
    HtmlTagLink = 23,
};

struct HtmlTagInfo
{
    int id;
    std::wstring styleName;
};

// Where a link was drawn, in logical units of the layout; the hit test includes all four edges.
struct HtmlLinkArea
{
    int left;
    int top;
    int right;
    int bottom;
    int kind;
    int index;
    std::wstring target;
};

struct HtmlLineRecord
{
    int width = 0;
    int height = 0;
    int descent = 0;
    // Sum of the percentage widths of the rules in the line.
    int percent = 0;
    int alignment = HtmlStyle::AlignLeft;
    int spaces = 0;
    // 1 when the line ended because the next text did not fit.
    int wrapped = 0;
};

// Measures and draws a short text in a small HTML-like markup with CSS-like styles into a device context
// that its owner gives it, and makes the links in it work. The owner measures first, then draws the same
// text with a device context of the same font metrics: both passes run one layout and take the same
// decisions, the drawing pass reading the line and table records that the measuring pass built.
//
// The text is markup: text from outside (names read from a disk, paths) goes through EscapeHtmlText
// (html_markup_helpers.h) before it is put into a message.
class CHtmlDrawer
{
public:
    // The link index that the hover notification carries when the mouse has left every link.
    static constexpr int kNoLink = -2;

    CHtmlDrawer();
    virtual ~CHtmlDrawer();
    CHtmlDrawer(const CHtmlDrawer&) = delete;
    CHtmlDrawer& operator=(const CHtmlDrawer&) = delete;

    // The hover notification is SendMessage(window, message, link index or kNoLink, lParam).
    void SetHoverNotify(HWND window, UINT message, LPARAM lParam);
    // A click on a `msg` link sends SendMessage(window, message, pointer to the link's text, lParam).
    void SetLinkMessage(HWND window, UINT message, LPARAM lParam);

    // Measures the text; a text that is not empty measures at least (1, 1).
    void Measure(HDC dc, const wchar_t* text, SIZE* size);
    // Draws the text that the last Measure prepared into the rectangle.
    void Draw(HDC dc, const RECT& rect);
    // Hover tracking; TRUE when it set the link cursor.
    BOOL OnMouseMove(POINT point);
    void OnClick(POINT point);

    CDrawEffects* GetDrawEffects() { return &m_effects; }

    // FALSE draws every colour in the disabled colour and every background transparent.
    void SetEnabled(BOOL enabled);
    void SetDisabledColor(COLORREF colour);
    void SetConvertBreaks(BOOL convert) { m_convertBreaks = convert != FALSE; }
    // Null restores the system's hand cursor. A cursor given here stays the caller's: the drawer destroys
    // only a cursor that it copied itself.
    void SetLinkCursor(HCURSOR cursor);
    // The module of `iddll` images and strings without `srcdll`; not owned. Null: the program.
    void SetResourceModule(HMODULE module) { m_resourceModule = module; }
    void SetShadow(int offsetX, int offsetY, int darkness, int kind, int blurWidth, int blurHeight);
    void SetStyleSheet(const wchar_t* text) { m_reader.SetStyleSheet(text); }
    void SetStyle(const wchar_t* name, const wchar_t* declarations);
    // 0: no wrapping; lines end only at breaks.
    void SetMaxWidth(int width) { m_maxWidth = width > 0 ? width : 0; }
    // The image list of `ilst` tags without a source; not owned.
    void SetImageList(HIMAGELIST imageList) { m_imageList = imageList; }

private:
    enum Pass
    {
        PassDrawing = 0,
        PassMeasuring = 1,
    };

    struct TableRecord
    {
        int width = 0;
        int height = 0;
        std::vector<int> columnWidths;
        std::vector<char> fixedColumns;
        std::vector<int> rowHeights;
        // Measured content height of each cell, in text order.
        std::vector<int> contentHeights;
    };

    struct ImageDescriptor
    {
        int index = 0;
        int idres = 0;
        int iddll = 0;
        std::uintptr_t handle = 0;
        int cx = 0;
        int cy = 0;
        int width = 100;
        bool widthPercent = true;
        int height = 100;
        bool heightPercent = true;
        int speed = 0;
        UINT style = 0;
        UINT hotStyle = 0;
        bool useMask = false;
        COLORREF mask = RGB(255, 0, 255);
        std::wstring file;
        std::wstring srcdll;
    };

    struct AnimatedImage
    {
        int index;
        int speed;
    };

    bool Measuring() const { return m_pass == PassMeasuring; }

    // Layout (one code path for both passes).
    SIZE LayoutDocument(const RECT& rect);
    SIZE LayoutBlock(std::wstring_view text, const RECT& rect, int depth, int wrapWidth);
    SIZE LayoutPiece(std::wstring_view piece, const RECT& rect, int wrapWidth);
    void StartLine();
    void EndLine(int count, bool wrapped);
    void LayoutRun(std::wstring text);
    void HandleTag(const HtmlToken& token);
    void ApplyFontAttributes(std::wstring_view attributes);
    void OpenLink(std::wstring_view attributes);
    int RepeatCount(std::wstring_view attributes);
    void PlaceTab(int count);
    void PlaceRule(std::wstring_view attributes);
    int TextTop(int textHeight) const;
    int ImageTop(int imageHeight) const;
    int DrawX() const;
    void RecordLinkArea(int left, int top, int right, int bottom);
    void SelectStyle();

    // Images and resource strings.
    ImageDescriptor ReadImageDescriptor(std::wstring_view attributes) const;
    UINT ImageFlags(const ImageDescriptor& image) const;
    bool ImageWraps(int width);
    void PlaceImage(int tagId, std::wstring_view attributes);
    void PlaceImageListItem(std::wstring_view attributes);
    void PlaceString(std::wstring_view attributes);
    HMODULE ProgramModule() const;
    HMODULE ResourceModule() const;

    // Tables.
    SIZE LayoutTable(std::wstring_view text, const RECT& rect, int depth, int wrapWidth);
    SIZE LayoutCell(std::wstring_view content, const HtmlStyle& cellStyle, const RECT& rect, int depth,
                    int wrapWidth);
    void ApplyTableAttributes(HtmlStyle& style, std::wstring_view attributes, int* columnSpan, int* rowSpan);
    void DrawBackground(const HtmlStyle& style, const RECT& rect);
    void DrawBorder(const HtmlStyle& style, const RECT& rect, int penWidth, bool doubleLine);

    // Links.
    bool FindLinkArea(POINT point, HtmlLinkArea& area) const;
    void NotifyHover(int index);
    void OpenHref(const std::wstring& target);
    void ReleaseLinkCursor();
    void LoadDefaultLinkCursor();

    std::vector<TableRecord> m_tables;
    HWND m_hoverWindow = nullptr;
    UINT m_hoverMessage = 0;
    LPARAM m_hoverLParam = 0;
    HWND m_linkWindow = nullptr;
    UINT m_linkMessage = 0;
    LPARAM m_linkLParam = 0;
    HtmlStyle m_style;
    CDrawEffects m_effects;
    HMODULE m_resourceModule = nullptr;
    HIMAGELIST m_imageList = nullptr;
    HCURSOR m_linkCursor = nullptr;
    // Set only for a cursor that the drawer copied itself; the system's hand cursor is shared.
    bool m_ownsLinkCursor = false;

    RECT m_rect = {};
    HDC m_dc = nullptr;
    std::wstring m_text;
    std::wstring m_prepared;
    Pass m_pass = PassMeasuring;
    int m_tabWidth = 32;
    int m_maxWidth = 0;
    int m_lineIndex = 0;
    int m_hoveredLink = kNoLink;
    int m_linkCounter = -1;
    bool m_convertBreaks = true;

    int m_shadowKind = 1;
    int m_shadowOffsetX = 4;
    int m_shadowOffsetY = 4;
    int m_shadowDarkness = 50;
    int m_shadowBlurWidth = 7;
    int m_shadowBlurHeight = 7;
    COLORREF m_shadowColour = RGB(127, 127, 127);

    TEXTMETRICW m_metrics = {};
    HFONT m_font = nullptr;

    std::vector<HtmlLineRecord> m_lines;
    std::vector<HtmlLinkArea> m_linkAreas;
    HtmlStyleStack m_stack;
    CHtmlStyleReader m_reader;
    std::map<std::wstring, HtmlTagInfo> m_tags;
    std::vector<AnimatedImage> m_animatedImages;

    // State of the line being laid out. x is logical: it advances the same way in both passes, so that
    // wrapping and tab stops decide alike; the drawing pass adds the line's alignment, rule and
    // justification offsets on top of it.
    int m_x = 0;
    int m_y = 0;
    int m_lineTop = 0;
    int m_lineAscent = 0;
    bool m_lineHasContent = false;
    int m_lineOffset = 0;
    int m_wrapRight = 0;
    int m_pieceWidth = 0;
    int m_justifyWidth = 0;
    int m_justifiedSpaces = 0;
    HtmlLineRecord m_line;
    size_t m_tableCounter = 0;

    // What the device context had before a layout, put back at its end.
    HGDIOBJ m_savedFont = nullptr;
    COLORREF m_savedTextColour = 0;
    COLORREF m_savedBackColour = 0;
    int m_savedBackMode = 0;
};
