// Painting a laid-out page and marking what a selection rectangle covers.
#include "html_document.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr COLORREF kSelectionBack = RGB(0, 0, 128);
constexpr COLORREF kSelectionText = RGB(255, 255, 255);
constexpr COLORREF kHoverColour = RGB(255, 0, 0);
constexpr COLORREF kShadowGrey = RGB(128, 128, 128);
constexpr COLORREF kLightWhite = RGB(255, 255, 255);
// lineColor values of the three-dimensional frames.
constexpr int kSunkenFrame = -1;
constexpr int kRaisedFrame = -2;

bool IsLinkHovered(const CHtmlItem* item, int hoverLink)
{
    return hoverLink != -1 && item->linkId == hoverLink;
}

void FillArea(HDC dc, const RECT& area, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

void DrawLine(HDC dc, int fromX, int fromY, int toX, int toY)
{
    MoveToEx(dc, fromX, fromY, nullptr);
    LineTo(dc, toX, toY);
}

// Rings of one-pixel lines, each inside the previous; a three-dimensional frame changes its pen after the
// left and top edges.
void DrawFrameLines(HDC dc, const CHtmlItem* item, const RECT& area, bool hovered)
{
    COLORREF first = item->lineColor == kSunkenFrame   ? kShadowGrey
                     : item->lineColor == kRaisedFrame ? kLightWhite
                                                       : static_cast<COLORREF>(item->lineColor);
    COLORREF second = item->lineColor == kSunkenFrame   ? kLightWhite
                      : item->lineColor == kRaisedFrame ? kShadowGrey
                                                        : first;
    if (hovered)
        first = second = kHoverColour;
    const unsigned int flags = item->lineFlags;
    for (int ring = 0; ring < item->lineWidth; ++ring) {
        int left = area.left + ring;
        int top = area.top + ring;
        int right = area.right - 1 - ring;
        int bottom = area.bottom - 1 - ring;
        HPEN pen = CreatePen(PS_SOLID, 1, first);
        HGDIOBJ previous = SelectObject(dc, pen);
        if (flags & 1)
            DrawLine(dc, left, top, left, bottom + 1);
        if (flags & 2)
            DrawLine(dc, left, top, right + 1, top);
        HPEN secondPen = CreatePen(PS_SOLID, 1, second);
        SelectObject(dc, secondPen);
        DeleteObject(pen);
        if (flags & 4)
            DrawLine(dc, right, top, right, bottom + 1);
        if (flags & 8)
            DrawLine(dc, left, bottom, right + 1, bottom);
        if (flags & 16) {
            int middle = area.bottom - (area.bottom - area.top) / 2 - 1;
            DrawLine(dc, left, middle, right + 1, middle);
        }
        SelectObject(dc, previous);
        DeleteObject(secondPen);
    }
}

void DrawTextRun(HDC dc, const CHtmlItem* item, const RECT& area, bool hovered)
{
    LOGFONTW font = {};
    font.lfHeight = item->fontSize;
    font.lfWeight = item->bold > 0 ? FW_BOLD : FW_NORMAL;
    font.lfItalic = item->italic ? TRUE : FALSE;
    font.lfUnderline = item->lineFlags == 8 ? TRUE : FALSE;
    font.lfStrikeOut = (item->lineFlags & 16) ? TRUE : FALSE;
    font.lfCharSet = IsWingdingsFace(item->faceName) ? SYMBOL_CHARSET : ANSI_CHARSET;
    wcsncpy(font.lfFaceName, item->faceName, LF_FACESIZE - 1);
    HFONT handle = CreateFontIndirectW(&font);
    HGDIOBJ previous = SelectObject(dc, handle);
    COLORREF colour = item->selected ? kSelectionText : item->textColor;
    if (hovered)
        colour = kHoverColour;
    SetTextColor(dc, colour);
    int textX = area.left + ((item->lineFlags & 1) ? item->lineWidth : 0);
    int textY = area.top + ((item->lineFlags & 2) ? 2 * item->lineWidth : 0);
    TextOutW(dc, textX, textY, item->text, static_cast<int>(wcslen(item->text)));
    SelectObject(dc, previous);
    DeleteObject(handle);
}

// Fills area with the picture repeated on a grid anchored at (originX, originY), through a pattern brush:
// one fill, however small the picture and however large the area.
void TileBitmap(HDC dc, HBITMAP bitmap, int width, int height, int originX, int originY, const RECT& area)
{
    if (!bitmap || width <= 0 || height <= 0 || area.left >= area.right || area.top >= area.bottom)
        return;
    HBRUSH brush = CreatePatternBrush(bitmap);
    if (!brush)
        return;
    // The brush origin is in device units and only its place within one tile matters.
    POINT origin = {originX, originY};
    LPtoDP(dc, &origin, 1);
    POINT previous = {};
    SetBrushOrgEx(dc, (origin.x % width + width) % width, (origin.y % height + height) % height, &previous);
    FillRect(dc, &area, brush);
    SetBrushOrgEx(dc, previous.x, previous.y, NULL);
    DeleteObject(brush);
}

bool Overlaps(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

void CHtmlDocument::TileBackground(HDC dc, int imageIndex, const RECT& area, int originX, int originY)
{
    CHtmlImageJob* job = imageLoader.GetJob(imageIndex);
    if (job)
        imageLoader.DecodeToBitmap(job, 0);
    if (!job || !job->bitmap || job->imageWidth <= 0 || job->imageHeight <= 0)
        return;
    TileBitmap(dc, job->bitmap, job->imageWidth, job->imageHeight, originX, originY, area);
}

void CHtmlDocument::Draw(HDC dc, const RECT* clip, int scrollX, int scrollY)
{
    if (backgroundColor != -1)
        FillArea(dc, *clip, static_cast<COLORREF>(backgroundColor));
    if (backgroundImage != -1) {
        CHtmlImageJob* job = imageLoader.GetJob(backgroundImage);
        if (job && job->background)
            TileBackground(dc, backgroundImage, *clip, -scrollX, -scrollY);
    }
    DrawItems(dc, clip, items, itemCount, scrollX, scrollY);
}

void CHtmlDocument::DrawItems(HDC dc, const RECT* clip, CHtmlItem** array, int count, int scrollX,
                              int scrollY)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    for (int index = 0; index < count; ++index) {
        const CHtmlItem* item = array[index];
        if (item->controlId != -1)
            continue;
        RECT area = {item->x - scrollX, item->y - scrollY, item->x - scrollX + item->width,
                     item->y - scrollY + item->height};
        if (!Overlaps(area, *clip))
            continue;
        const bool hovered = IsLinkHovered(item, hoverLink);
        if (item->selected)
            FillArea(dc, area, kSelectionBack);
        else if (item->backColor != -1)
            FillArea(dc, area, static_cast<COLORREF>(item->backColor));
        if (item->backImageIndex != -1) {
            // Tiled from the item's corner, but only where the paint reaches: a cell may be far larger
            // than what shows.
            const RECT visible = {std::max(area.left, clip->left), std::max(area.top, clip->top),
                                  std::min(area.right, clip->right), std::min(area.bottom, clip->bottom)};
            TileBackground(dc, item->backImageIndex, visible, area.left, area.top);
        }
        if (item->kind == kHtmlItemText && item->width && item->text)
            DrawTextRun(dc, item, area, hovered);
        // Pictures are painted once the image loader decodes them; until then the frame shows.
        if (item->kind == kHtmlItemImage && item->imageIndex != -1) {
            CHtmlImageJob* job = imageLoader.GetJob(item->imageIndex);
            if (job && imageLoader.DecodeToBitmap(job, 0))
                CHtmlImageLoader::DrawImageStretched(job, dc, area.left, area.top, item->width, item->height);
        }
        if (item->kind == kHtmlItemBox)
            DrawItems(dc, clip, item->children, item->childCount, scrollX, scrollY);
        bool fontLine = item->kind == kHtmlItemText && (item->lineFlags == 8 || item->lineFlags == 16);
        if (item->lineFlags != 0 && !fontLine)
            DrawFrameLines(dc, item, area, hovered);
    }
}

void CHtmlDocument::MarkSelection(CHtmlItem** array, int count, const RECT& r)
{
    for (int index = 0; index < count; ++index) {
        CHtmlItem* item = array[index];
        bool markable =
            item->kind == kHtmlItemText ||
            (item->kind == kHtmlItemBreak && !(index + 1 < count && array[index + 1]->kind == kHtmlItemBox));
        int top = item->y;
        int bottom = item->y + item->height;
        int left = item->x;
        int right = item->x + item->width;
        bool topInside = top > r.top && top <= r.bottom && left < r.right;
        bool bottomInside = bottom > r.top && bottom <= r.bottom && left > r.left;
        bool overlapping = left <= r.right && right >= r.left && top <= r.bottom && bottom >= r.top;
        item->selected = markable && (topInside || bottomInside || overlapping) ? 1 : 0;
        if (item->childCount)
            MarkSelection(item->children, item->childCount, r);
    }
}

void CHtmlDocument::SetSelection(const RECT* rectangle)
{
    MarkSelection(items, itemCount, *rectangle);
}
