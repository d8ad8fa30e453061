#pragma once

#include "html_image_loader.h"
#include "html_item.h"
#include "html_string_table.h"

#include <windows.h>

class CHtmlHostCallback;

// Regions nest no deeper than this; a deeper region is parsed flat in the call that meets it.
constexpr int kHtmlMaxParseLevel = 200;

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

    // Grows the array by one slot and counts the item; false (after a beep) when it cannot grow.
    bool AppendItemSlot(CHtmlItem**& array, int& count);

    void OnMouseMove(int x, int y);
    void OnClick(int x, int y);
    void HighlightLink(const wchar_t* url);
    void GetStats(int* itemsOut, int* imagesOut, int* linksOut, int* levelOut);

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

    // Set when an item array could not grow: the parse of the page ends with what it has.
    bool parseStopped = false;
};
