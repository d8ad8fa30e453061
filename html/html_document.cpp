#include "html_document.h"

#include "html_host_callback.h"
#include "html_tag_table.h"
#include "html_text_routines.h"

#include <climits>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

// The room of an item array when its first item comes.
constexpr int kFirstItemSlots = 4;

bool IsWhiteSpace(wchar_t character)
{
    return character == L' ' || character == L'\t' || character == L'\r' || character == L'\n';
}

// A tag opening followed by the end of its name.
bool IsTagAt(const wchar_t* text, const wchar_t* opening)
{
    if (!HtmlStartsWithNoCase(text, opening))
        return false;
    wchar_t next = text[wcslen(opening)];
    return next == 0 || next == L'>' || IsWhiteSpace(next);
}

// The first position at or after from where text holds marker (without regard to case), or end.
const wchar_t* FindNoCase(const wchar_t* from, const wchar_t* end, const wchar_t* marker)
{
    size_t markerLength = wcslen(marker);
    for (const wchar_t* at = from; at + markerLength <= end; ++at)
        if (HtmlStartsWithNoCase(at, marker))
            return at;
    return end;
}

const wchar_t* FindCharacter(const wchar_t* from, const wchar_t* end, wchar_t character)
{
    for (const wchar_t* at = from; at < end; ++at)
        if (*at == character)
            return at;
    return end;
}

// Past the '>' that follows from, or end.
const wchar_t* PastTagEnd(const wchar_t* from, const wchar_t* end)
{
    const wchar_t* close = FindCharacter(from, end, L'>');
    return close < end ? close + 1 : end;
}

bool HasTextExtension(const wchar_t* url, const wchar_t* extension)
{
    if (!url)
        return false;
    const wchar_t* dot = wcsrchr(url, L'.');
    return dot && _wcsicmp(dot + 1, extension) == 0;
}

} // namespace

CHtmlDocument::CHtmlDocument(CHtmlHostCallback* host, int waitForImages)
    : host(host), imageLoader(host), waitForImages(waitForImages)
{}

CHtmlDocument::~CHtmlDocument()
{
    FreeItems();
}

void CHtmlDocument::FreeItems()
{
    for (int index = 0; index < itemCount; ++index) {
        FreeItem(items[index]);
        delete items[index];
    }
    free(items);
    items = nullptr;
    itemCount = 0;
}

bool CHtmlDocument::AppendItemSlot(CHtmlItem**& array, int& count)
{
    if (itemTotal >= kHtmlMaxPageItems) {
        parseStopped = true;
        if (limitNotice.empty() && pageText) {
            long long loaded = parsedTo ? parsedTo - pageText : 0;
            wchar_t notice[100];
            swprintf(notice, 100, L"Loaded %lld of %lld total characters", loaded, pageLength);
            limitNotice = notice;
        }
        return false;
    }
    return GrowItemArray(array, count);
}

bool CHtmlDocument::GrowItemArray(CHtmlItem**& array, int& count)
{
    // The array's room doubles, and follows from its count alone: a power of two, at least
    // kFirstItemSlots. Growing by one slot at a time copied a long page's array over and over.
    const bool full = count == 0 || (count >= kFirstItemSlots && (count & (count - 1)) == 0);
    if (full) {
        if (count > INT_MAX / 2) {
            parseStopped = true;
            return false;
        }
        size_t room = count == 0 ? kFirstItemSlots : 2 * static_cast<size_t>(count);
        void* grown = realloc(array, sizeof(CHtmlItem*) * room);
        if (!grown) {
            Beep(1000, 10);
            parseStopped = true;
            return false;
        }
        array = static_cast<CHtmlItem**>(grown);
    }
    array[count] = nullptr;
    ++count;
    ++itemTotal;
    return true;
}

void CHtmlDocument::Load(const wchar_t* text, const wchar_t* fontFace, int fontSize, COLORREF textColor,
                         const wchar_t* baseUrl)
{
    busy = 1;
    backgroundColor = RGB(255, 255, 255);
    backgroundImage = -1;
    itemTotal = 0;
    level = 0;
    currentForm = -1;
    listDepth = 0;
    parseStopped = false;
    limitNotice.clear();
    links.Clear();
    FreeItems();
    // The host destroys the windows of the old page's controls itself.
    controlWindows.clear();
    int jobCount = imageLoader.JobCount();
    for (int index = 0; index < jobCount; ++index)
        imageLoader.ReleaseBitmap(imageLoader.GetJob(index));

    const wchar_t* source = text ? text : L"";
    std::vector<wchar_t> working(source, source + wcslen(source) + 1);
    bool plainText = HasTextExtension(baseUrl, L"txt");
    const wchar_t* face = plainText ? L"Courier New" : fontFace;
    int cleanedLength =
        CleanPageText(working.data(), static_cast<int>(working.size()) - 1, baseUrl, plainText ? 1 : 0);

    HtmlMeasureScope measuring;
    pageText = working.data();
    pageLength = cleanedLength;
    parsedTo = pageText;
    ParseTags(working.data(), items, itemCount, face, fontSize, textColor, baseUrl ? baseUrl : L"", 0, 0,
              plainText ? 1 : 0);
    pageText = nullptr;
    parsedTo = nullptr;
    if (!limitNotice.empty())
        CloseCutRegions(items, itemCount);
    if (host)
        host->ShowParseProgress(0, cleanedLength, cleanedLength);
    busy = 0;
}

void CHtmlDocument::CloseCutRegions(CHtmlItem**& array, int& count)
{
    // The layout takes a box for a table only when something follows it, as the break that ends every
    // region does; a page cut inside a region lacks those breaks, and its last regions would not be shown.
    if (count == 0 || array[count - 1]->kind != kHtmlItemBox)
        return;
    CHtmlItem* box = array[count - 1];
    CloseCutRegions(box->children, box->childCount);
    if (GrowItemArray(array, count))
        array[count - 1] = CreateBreakItem(0, 0, box->align, 0);
}

int CHtmlDocument::CleanPageText(wchar_t* text, int length, const wchar_t* baseUrl, int preDepth)
{
    const wchar_t* read = text;
    const wchar_t* end = text + length;
    wchar_t* write = text;
    // Where the next "</style" stands (end when there is none): reading only moves forward, so one search
    // serves every style tag before it, and many unclosed style tags cost one scan.
    const wchar_t* styleClose = nullptr;
    // Writing never overtakes reading, so the text can be cleaned in its own buffer.
    while (read < end) {
        if (*read == L'<' && SkipDroppedMarkup(read, end, baseUrl, styleClose, preDepth))
            continue;
        wchar_t character = *read++;
        if (preDepth == 0 && IsWhiteSpace(character)) {
            if (write > text && write[-1] != L' ')
                *write++ = L' ';
        } else {
            *write++ = character;
        }
    }
    *write = 0;
    return static_cast<int>(write - text);
}

bool CHtmlDocument::SkipDroppedMarkup(const wchar_t*& read, const wchar_t* end, const wchar_t* baseUrl,
                                      const wchar_t*& styleClose, int& preDepth)
{
    if (HtmlStartsWithNoCase(read, L"<script")) {
        read = PastTagEnd(FindNoCase(read + 7, end, L"</script"), end);
        return true;
    }
    if (HtmlStartsWithNoCase(read, L"<!--")) {
        read = PastTagEnd(FindNoCase(read + 4, end, L"-->"), end);
        return true;
    }
    if (IsTagAt(read, L"<title")) {
        const wchar_t* start = PastTagEnd(read, end);
        const wchar_t* close = FindNoCase(start, end, L"</title");
        ReportTitle(start, close);
        read = PastTagEnd(close, end);
        return true;
    }
    if (IsTagAt(read, L"<body")) {
        ReadBodyAttributes(read, PastTagEnd(read, end), baseUrl);
        read = PastTagEnd(read, end);
        return true;
    }
    if (IsTagAt(read, L"<style")) {
        if (!styleClose || (styleClose < read + 6 && styleClose < end))
            styleClose = FindNoCase(read + 6, end, L"</style");
        read = PastTagEnd(styleClose < end ? styleClose : read, end);
        return true;
    }
    if (IsTagAt(read, L"<pre"))
        ++preDepth;
    else if (IsTagAt(read, L"</pre") && preDepth > 0)
        --preDepth;
    if (MatchHtmlTag(read, true) < 0) {
        read = PastTagEnd(read, end);
        return true;
    }
    return false;
}

void CHtmlDocument::ReportTitle(const wchar_t* start, const wchar_t* end)
{
    while (start < end && IsWhiteSpace(*start))
        ++start;
    while (end > start && IsWhiteSpace(end[-1]))
        --end;
    if (!host)
        return;
    std::wstring title(start, end);
    DecodeHtmlEntity(title.data());
    RepairUtf8Text(title.data());
    host->SetTitle(title.c_str());
}

void CHtmlDocument::ReadBodyAttributes(const wchar_t* tag, const wchar_t* end, const wchar_t* baseUrl)
{
    // The raw tag may spread its attributes over lines; the attribute reader splits at spaces.
    std::wstring tagText(tag, end);
    for (wchar_t& character : tagText)
        if (IsWhiteSpace(character))
            character = L' ';
    CHtmlStringTable attributes;
    ParseTagAttributes(tagText.c_str(), &attributes);
    for (int row = 0; row < attributes.RowCount(); ++row) {
        const CHtmlStringArray* attribute = attributes.GetRow(row);
        const wchar_t* name = attribute->GetText(0);
        const wchar_t* value = attribute->GetText(1);
        if (_wcsicmp(name, L"bgcolor") == 0) {
            backgroundColor = static_cast<int>(ParseHtmlColor(value));
        } else if (_wcsicmp(name, L"background") == 0 && *value) {
            backgroundImage = AddBackgroundImage(value, baseUrl ? baseUrl : L"");
        }
    }
}

int CHtmlDocument::AddBackgroundImage(const wchar_t* url, const wchar_t* pageUrl)
{
    if (!url || !*url)
        return -1;
    std::wstring resolved(kHtmlUrlCapacity, L'\0');
    ResolveHtmlUrl(url, resolved.data(), pageUrl);
    CHtmlItem* image = CreateImageItem(resolved.c_str(), 0, &imageLoader, -1, 0, 1, 0);
    int index = image->imageIndex;
    FreeItem(image);
    delete image;
    return index;
}

bool CHtmlDocument::HitTest(CHtmlItem** array, int count, int x, int y, bool click)
{
    for (int index = 0; index < count; ++index) {
        CHtmlItem* item = array[index];
        if (item->kind == kHtmlItemBox && HitTest(item->children, item->childCount, x, y, click))
            return true;
        if (item->linkId == -1)
            continue;
        if (x < item->x || x >= item->x + item->width || y < item->y || y >= item->y + item->height)
            continue;
        hoverLink = item->linkId;
        const wchar_t* url = links.GetRow(0)->GetText(item->linkId);
        if (click)
            host->Navigate(url);
        else
            host->OnLinkHover(1, url);
        return true;
    }
    return false;
}

void CHtmlDocument::OnMouseMove(int x, int y)
{
    if (!host)
        return;
    if (!HitTest(items, itemCount, x, y, false)) {
        hoverLink = -1;
        host->OnLinkHover(0, L"");
    }
}

void CHtmlDocument::OnClick(int x, int y)
{
    if (!host)
        return;
    if (!HitTest(items, itemCount, x, y, true))
        hoverLink = -1;
}

void CHtmlDocument::InvalidateLinkItems(CHtmlItem** array, int count, int linkId)
{
    for (int index = 0; index < count; ++index) {
        CHtmlItem* item = array[index];
        if (item->linkId == linkId) {
            RECT area = {item->x, item->y, item->x + item->width, item->y + item->height};
            host->InvalidateDocRect(&area);
        } else if (item->kind == kHtmlItemBox) {
            InvalidateLinkItems(item->children, item->childCount, linkId);
        }
    }
}

void CHtmlDocument::HighlightLink(const wchar_t* url)
{
    if (!host || !url)
        return;
    const CHtmlStringArray* row = links.GetRow(0);
    for (int cell = 0; cell < row->Count(); ++cell) {
        if (wcscmp(row->GetText(cell), url) == 0) {
            InvalidateLinkItems(items, itemCount, cell);
            return;
        }
    }
}

int CHtmlDocument::FindOrAddLink(const wchar_t* url)
{
    if (links.RowCount() == 0)
        links.AddRow();
    CHtmlStringArray* row = links.GetRow(0);
    for (int cell = 0; cell < row->Count(); ++cell)
        if (_wcsicmp(row->GetText(cell), url) == 0)
            return cell;
    links.AppendCell(0, url, -1);
    return row->Count() - 1;
}

void CHtmlDocument::GetStats(int* itemsOut, int* imagesOut, int* linksOut, int* levelOut)
{
    if (itemsOut)
        *itemsOut = itemTotal;
    if (imagesOut)
        *imagesOut = imageLoader.JobCount();
    if (linksOut)
        *linksOut = links.GetRow(0)->Count();
    if (levelOut)
        *levelOut = level;
}
