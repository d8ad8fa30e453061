#pragma once

#include "html_image_loader.h"
#include "html_item.h"
#include "html_string_table.h"

#include <windows.h>

#include <string>
#include <vector>

class CHtmlHostCallback;
class HtmlTagIndex;
struct HtmlLayoutCache;
struct HtmlParseCall;

// Regions nest no deeper than this; a deeper region is parsed flat in the call that meets it.
constexpr int kHtmlMaxParseLevel = 200;
// Items one page makes at most: a longer page shows its beginning and says how much of it that is. Every
// item costs memory and time, and a preview of a megabyte of words or tabs would hold the window for
// seconds.
constexpr int kHtmlMaxPageItems = 100000;

// The page the renderer shows: its items, links, background and image jobs.
class CHtmlDocument
{
public:
    CHtmlDocument(CHtmlHostCallback* host, int waitForImages);
    ~CHtmlDocument();
    CHtmlDocument(const CHtmlDocument&) = delete;
    CHtmlDocument& operator=(const CHtmlDocument&) = delete;

    // Replaces the page; image jobs of earlier pages stay.
    void Load(const wchar_t* text, const wchar_t* fontFace, int fontSize, COLORREF textColor,
              const wchar_t* baseUrl);

    // Appends the items of text (writable, NUL-terminated) to items/count. Returns 0 when the parse had
    // to stop because an item array could not grow; the items made so far stay.
    int ParseTags(wchar_t* text, CHtmlItem**& items, int& count, const wchar_t* face, int size,
                  COLORREF color, const wchar_t* pageUrl, int level, int align, int noWrap);

    // Grows the array by one slot and counts the item; false (after a beep) when it cannot grow. The array
    // must have been grown by this alone, which keeps more room than its count shows.
    bool AppendItemSlot(CHtmlItem**& array, int& count);

    // Gives every item its place within the rectangle, whose right edge loses 2 pixels; on return the
    // rectangle's right and bottom hold the content's extent.
    void Layout(RECT* rectangle);
    // Lays out one item array within the area (right 0: no width, every item on a line of its own).
    void LayoutItems(const RECT& area, CHtmlItem** array, int count);
    // Completes an image item's size from its picture before it is laid out.
    void PrepareImageItem(CHtmlItem* item, int wait);
    // Paints the laid-out page, scrolled by scrollX and scrollY, within the clip rectangle.
    void Draw(HDC dc, const RECT* clip, int scrollX, int scrollY);
    void DrawItems(HDC dc, const RECT* clip, CHtmlItem** array, int count, int scrollX, int scrollY);
    // Marks the text runs and breaks that a selection rectangle in document coordinates covers.
    void SetSelection(const RECT* rectangle);

    void OnMouseMove(int x, int y);
    void OnClick(int x, int y);
    void HighlightLink(const wchar_t* url);
    void GetStats(int* itemsOut, int* imagesOut, int* linksOut, int* levelOut);
    // "Loaded N of M total characters" when the page made kHtmlMaxPageItems items before its end,
    // otherwise empty.
    const std::wstring& LimitNotice() const { return limitNotice; }
    // The window the host made for an item's controlId, or null.
    HWND GetControlWindow(int controlId) const;

    int itemTotal = 0;
    int level = 0;
    CHtmlItem** items = nullptr;
    int itemCount = 0;
    CHtmlHostCallback* host;
    CHtmlImageLoader imageLoader;
    // Row 0 holds the URL of every link; an item's linkId is a cell index of it.
    CHtmlStringTable links;
    int backgroundColor = -1;
    int backgroundImage = -1;
    int hoverLink = -1;
    int listDepth = 0;
    int currentForm = -1;
    int busy = 0;
    int waitForImages;

private:
    void FreeItems();
    // AppendItemSlot without the page's item limit.
    bool GrowItemArray(CHtmlItem**& array, int& count);
    // Ends every region that the item limit left open at the end of the page with a break.
    void CloseCutRegions(CHtmlItem**& array, int& count);
    void MoveControls(CHtmlItem** array, int count);
    void TileBackground(HDC dc, int imageIndex, const RECT& area, int originX, int originY);
    void MarkSelection(CHtmlItem** array, int count, const RECT& rectangle);
    // Removes scripts, styles, comments, the title and unknown tags and collapses white space, in place.
    int CleanPageText(wchar_t* text, int length, const wchar_t* baseUrl, int preDepth);
    // At a '<': drops what the pre-pass removes and returns true, or counts pre sections and returns false
    // for a tag that is kept.
    bool SkipDroppedMarkup(const wchar_t*& read, const wchar_t* end, const wchar_t* baseUrl,
                           const wchar_t*& styleClose, int& preDepth);
    void ReadBodyAttributes(const wchar_t* tag, const wchar_t* end, const wchar_t* baseUrl);
    void ReportTitle(const wchar_t* start, const wchar_t* end);
    bool HitTest(CHtmlItem** array, int count, int x, int y, bool click);
    void InvalidateLinkItems(CHtmlItem** array, int count, int linkId);
    int FindOrAddLink(const wchar_t* url);
    // Registers a background image and returns its job index (-1 for an empty URL).
    int AddBackgroundImage(const wchar_t* url, const wchar_t* pageUrl);

    // The main loop's steps and the builders of tables, forms and blocks; each builder returns the
    // position at which the parse resumes.
    bool AppendItem(HtmlParseCall& call, CHtmlItem* item);
    bool AppendBreak(HtmlParseCall& call, int height, int width, int align, int clear);
    bool AppendRun(HtmlParseCall& call, const wchar_t* runText);
    bool AppendSpace(HtmlParseCall& call);
    void ReportProgress(const HtmlParseCall& call, int position);
    int HandleStyleTag(HtmlParseCall& call, int tag, int position);
    void HandleLineEndingTag(HtmlParseCall& call, int tag, int position);
    // ParseTags for a text whose length (to its NUL) is known: a nested region measures nothing again.
    int ParseText(wchar_t* text, int length, CHtmlItem**& array, int& count, const wchar_t* face, int size,
                  COLORREF color, const wchar_t* pageUrl, int nestLevel, int align, int noWrap);
    // Parses [start, end) of the call's text by a nested call into items/count.
    void ParseRegion(HtmlParseCall& call, int start, int end, CHtmlItem**& array, int& count,
                     const wchar_t* face, int size, COLORREF colour, int align, int noWrap);
    // Appends a box and parses [start, end) into it; null when the box could not be appended.
    CHtmlItem* AppendRegionBox(HtmlParseCall& call, CHtmlItem* box, int start, int end, const wchar_t* face,
                               int size, COLORREF colour, int align, int noWrap);
    // The call position of the entry's closing tag, or the end of the call's text.
    int MatchedEnd(const HtmlParseCall& call, int entry, bool block);
    int ParseTable(HtmlParseCall& call, int position);
    // Moves on to the first of the wanted tags before limit, opening and closing forms on the way.
    int FindTableTag(HtmlParseCall& call, int from, int limit, const int* wanted, int wantedCount, int* tag);
    void OpenForm(const wchar_t* tag, const wchar_t* pageUrl);
    void ParseInput(HtmlParseCall& call, int position);
    int ParseSelect(HtmlParseCall& call, int position);
    int ParseTextArea(HtmlParseCall& call, int position);
    int AddControl(HWND window);
    // -1 when the div or p is a plain line-ending tag.
    int ParseAlignedRegion(HtmlParseCall& call, int tag, int position);
    int ParsePreformatted(HtmlParseCall& call, int position);
    int ParseBlockQuote(HtmlParseCall& call, int position);
    int ParseList(HtmlParseCall& call, int tag, int position);
    void ParseImage(HtmlParseCall& call, int position);

    // Set when an item array could not grow or the page reached its item limit: the parse of the page
    // ends with what it has.
    bool parseStopped = false;
    // The page's cleaned text and the place its parse had reached, for the limit's notice.
    const wchar_t* pageText = nullptr;
    long long pageLength = 0;
    const wchar_t* parsedTo = nullptr;
    std::wstring limitNotice;
    // The tags of the text being parsed; nested calls share their page's index.
    HtmlTagIndex* tagIndex = nullptr;
    // The host's windows of the page's form controls; an item's controlId is an index of it.
    std::vector<HWND> controlWindows;
    // The measurements of boxes while a layout runs.
    HtmlLayoutCache* layoutCache = nullptr;
};
