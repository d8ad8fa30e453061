// Forms and their controls: each visible control is a framed text run that keeps the control's place,
// and the host lays a child window of its own over it.
#include "html_document.h"
#include "html_host_callback.h"
#include "html_parse_call.h"
#include "html_tag_index.h"
#include "html_tag_table.h"
#include "html_text_routines.h"

#include <algorithm>
#include <cwchar>
#include <string>

namespace {

constexpr const wchar_t* kControlFace = L"MS Sans serif";
constexpr const wchar_t* kTextAreaFace = L"Courier New";
constexpr int kControlFontSize = 15;
constexpr int kFrameFlags = 15;
constexpr int kFrameWidth = 2;
constexpr int kSunkenFrame = -1;
constexpr int kRaisedFrame = -2;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kButtonGrey = RGB(192, 192, 192);
constexpr int kCheckMarkSize = 13;
constexpr int kMaxPixels = 32767;
constexpr int kMaxCharacters = 1000;

std::wstring Decoded(const wchar_t* text)
{
    std::wstring decoded = text ? text : L"";
    decoded.resize(wcslen(DecodeHtmlEntity(decoded.data())));
    return decoded;
}

void ReplaceText(CHtmlItem* item, const std::wstring& text)
{
    delete[] item->text;
    item->text = new wchar_t[text.size() + 1];
    wmemcpy(item->text, text.c_str(), text.size() + 1);
}

// A count of characters from an attribute; a missing, zero or negative one takes the default.
int ReadCharacterCount(const wchar_t* value, int fallback)
{
    if (!value)
        return fallback;
    long long number = ReadHtmlNumber(value);
    return number <= 0 ? fallback : static_cast<int>(std::min<long long>(number, kMaxCharacters));
}

const wchar_t* OrEmpty(const wchar_t* value)
{
    return value ? value : L"";
}

} // namespace

int CHtmlDocument::AddControl(HWND window)
{
    if (!window)
        return -1;
    controlWindows.push_back(window);
    return static_cast<int>(controlWindows.size()) - 1;
}

HWND CHtmlDocument::GetControlWindow(int controlId) const
{
    if (controlId < 0 || controlId >= static_cast<int>(controlWindows.size()))
        return nullptr;
    return controlWindows[static_cast<size_t>(controlId)];
}

void CHtmlDocument::OpenForm(const wchar_t* tag, const wchar_t* pageUrl)
{
    if (!host)
        return;
    HtmlTagAttributes attributes(tag);
    const wchar_t* action = attributes.Find(L"action");
    const wchar_t* method = attributes.Find(L"method");
    std::wstring url(kHtmlUrlCapacity, L'\0');
    if (action)
        ResolveHtmlUrl(action, url.data(), pageUrl);
    currentForm = host->AddForm(url.c_str(), method ? method : L"get");
}

void CHtmlDocument::ParseInput(HtmlParseCall& call, int position)
{
    HtmlTagAttributes attributes(call.text + position);
    const wchar_t* typeValue = attributes.Find(L"type");
    const wchar_t* type = typeValue ? typeValue : L"text";
    const int size = ReadCharacterCount(attributes.Find(L"size"), 10);
    const wchar_t* maxLength = attributes.Find(L"maxlength");
    const int limit = maxLength ? ReadClampedNumber(maxLength, 0, 0x7FFFFFFF) : 0;
    const wchar_t* value = OrEmpty(attributes.Find(L"value"));
    const wchar_t* name = OrEmpty(attributes.Find(L"name"));
    const wchar_t* widthValue = attributes.Find(L"width");
    const wchar_t* heightValue = attributes.Find(L"height");
    const int width = widthValue ? ReadClampedNumber(widthValue, 0, kMaxPixels) : 0;
    const int height = heightValue ? ReadClampedNumber(heightValue, 0, kMaxPixels) : 0;
    const int form = currentForm;
    const int align = call.LineAlign();

    auto framedRun = [&](const wchar_t* text, const wchar_t* face, int fontSize, bool raised) {
        return CreateTextItem(text, kFrameFlags, kFrameWidth, raised ? kRaisedFrame : kSunkenFrame, face,
                              fontSize, 0, 0, 0, static_cast<int>(raised ? kButtonGrey : kWhite), align, 0,
                              -1, call.noWrap);
    };

    CHtmlItem* item = nullptr;
    if (HtmlValueIs(type, L"text") || HtmlValueIs(type, L"password")) {
        item = framedRun(std::wstring(static_cast<size_t>(size), L'0').c_str(), kControlFace,
                         kControlFontSize, false);
        item->width += 8;
        item->height += 4;
        ReplaceText(item, Decoded(value));
        if (host)
            item->controlId =
                AddControl(host->CreateEditControl(size, limit, item->width, item->height, item->text, 0,
                                                   name, form, HtmlValueIs(type, L"password")));
    } else if (HtmlValueIs(type, L"button") || HtmlValueIs(type, L"submit")) {
        item = framedRun(value, kControlFace, kControlFontSize, true);
        item->width += 8;
        item->height += 4;
        if (host)
            item->controlId =
                AddControl(host->CreateButtonControl(item->width, item->height, item->text, name, form));
    } else if (HtmlValueIs(type, L"radio") || HtmlValueIs(type, L"checkbox")) {
        item = framedRun(L"    ", call.style.face.c_str(), call.style.size, false);
        item->width = kCheckMarkSize;
        item->height = kCheckMarkSize;
        if (host)
            item->controlId = AddControl(
                HtmlValueIs(type, L"radio")
                    ? host->CreateRadioControl(kCheckMarkSize, kCheckMarkSize, value, name, form)
                    : host->CreateCheckBoxControl(kCheckMarkSize, kCheckMarkSize, value, name, form));
    } else if (HtmlValueIs(type, L"hidden")) {
        item = framedRun(value, call.style.face.c_str(), call.style.size, false);
        item->width = 0;
        item->height = 0;
        if (host)
            item->controlId =
                AddControl(host->CreateEditControl(size, 0, 0, 0, item->text, 0, name, form, 0));
    } else if (HtmlValueIs(type, L"image")) {
        // Submitting is the host's business: the image links to a pseudo-URL it knows.
        const wchar_t* source = attributes.Find(L"src");
        std::wstring url(kHtmlUrlCapacity, L'\0');
        if (source)
            ResolveHtmlUrl(source, url.data(), call.pageUrl);
        int link = FindOrAddLink((L"Submit(" + std::to_wstring(form) + L")").c_str());
        item = CreateImageItem(source ? url.c_str() : nullptr, align, &imageLoader, link, call.noWrap, 0, 0);
        if (width)
            item->width = width;
        if (height)
            item->height = height;
    }
    if (item)
        AppendItem(call, item);
}

int CHtmlDocument::ParseSelect(HtmlParseCall& call, int position)
{
    const std::wstring name = OrEmpty(HtmlTagAttributes(call.text + position).Find(L"name"));
    int end = call.length;
    const int first = tagIndex->FirstAtOrAfter(call.text + position + 1);
    for (int entry = first; entry < tagIndex->Count(); ++entry) {
        const HtmlTagEntry& found = tagIndex->Entry(entry);
        if (found.at >= call.text + call.length)
            break;
        if (found.tag == kTagEndSelect) {
            end = static_cast<int>(found.at - call.text);
            break;
        }
    }

    CHtmlStringTable options;
    int selected = 0;
    int widest = 0;
    std::wstring firstText;
    for (int entry = first; entry < tagIndex->Count(); ++entry) {
        const HtmlTagEntry& option = tagIndex->Entry(entry);
        int optionAt = static_cast<int>(option.at - call.text);
        if (optionAt >= end)
            break;
        if (option.tag != kTagOption)
            continue;
        HtmlTagAttributes attributes(option.at);
        if (attributes.Find(L"selected"))
            selected = options.RowCount();
        int textStart = std::min(call.AfterTag(optionAt), end);
        int textEnd = end;
        for (int next = entry + 1; next < tagIndex->Count() && tagIndex->Entry(next).at < call.text + end;
             ++next) {
            if (tagIndex->Entry(next).tag == kTagOption) {
                textEnd = std::max(textStart, static_cast<int>(tagIndex->Entry(next).at - call.text));
                break;
            }
        }
        std::wstring raw(call.text + textStart, call.text + textEnd);
        std::wstring text = Decoded(raw.c_str());
        int row = options.AddRow() - 1;
        options.AppendCell(row, text.c_str(), -1);
        options.AppendCell(row, OrEmpty(attributes.Find(L"value")), -1);
        SIZE extent = {};
        MeasureText(kControlFace, kControlFontSize, 0, 0, &extent, text.c_str(), -1);
        widest = std::max<int>(widest, extent.cx);
        if (row == 0)
            firstText = raw;
    }

    CHtmlItem* item = CreateTextItem(firstText.c_str(), kFrameFlags, kFrameWidth, kSunkenFrame, kControlFace,
                                     kControlFontSize, 0, 0, 0, static_cast<int>(kWhite), call.LineAlign(), 0,
                                     -1, call.noWrap);
    item->width = widest + GetSystemMetrics(SM_CXVSCROLL) + 8;
    item->height += 4;
    if (host)
        item->controlId = AddControl(host->CreateComboBoxControl(item->width, item->height, &options,
                                                                 selected, name.c_str(), currentForm));
    AppendItem(call, item);
    return end < call.length ? call.AfterTag(end) : call.length;
}

int CHtmlDocument::ParseTextArea(HtmlParseCall& call, int position)
{
    HtmlTagAttributes attributes(call.text + position);
    const int columns = ReadCharacterCount(attributes.Find(L"cols"), 15);
    const int rows = ReadCharacterCount(attributes.Find(L"rows"), 3);
    const wchar_t* name = OrEmpty(attributes.Find(L"name"));
    int start = call.AfterTag(position);
    int end = call.length;
    for (int entry = tagIndex->FirstAtOrAfter(call.text + start); entry < tagIndex->Count(); ++entry) {
        const HtmlTagEntry& found = tagIndex->Entry(entry);
        if (found.at >= call.text + call.length)
            break;
        if (found.tag == kTagEndTextarea) {
            end = static_cast<int>(found.at - call.text);
            break;
        }
    }
    CHtmlItem* item =
        CreateTextItem(L" ", kFrameFlags, kFrameWidth, kSunkenFrame, kTextAreaFace, kControlFontSize, 0, 0, 0,
                       static_cast<int>(kWhite), call.LineAlign(), 0, -1, call.noWrap);
    ReplaceText(item, Decoded(std::wstring(call.text + start, call.text + std::max(start, end)).c_str()));
    item->width = columns * item->width + 4;
    item->height = rows * item->height + 4;
    if (host)
        item->controlId = AddControl(
            host->CreateEditControl(-1, 0, item->width, item->height, item->text, 1, name, currentForm, 0));
    AppendItem(call, item);
    return end < call.length ? call.AfterTag(end) : call.length;
}
