#include "html_message_box_buttons.h"

namespace {

struct BuiltInCaption
{
    int id;
    UINT stringId;
    const wchar_t* text;
};

constexpr BuiltInCaption kCaptions[] = {
    {IDOK, 9001, L"OK"},
    {IDCANCEL, 9002, L"Cancel"},
    {IDIGNORE, 9003, L"Ignore"},
    {IDRETRY, 9004, L"Retry"},
    {IDABORT, 9005, L"Abort"},
    {IDHELP, 9006, L"Help"},
    {IDYES, 9007, L"Yes"},
    {IDNO, 9008, L"No"},
    {kHtmlBoxIdContinue, 9009, L"Continue"},
    {kHtmlBoxIdMore, 9010, L"More >>"},
    {kHtmlBoxIdLess, 9011, L"<< More"},
    {kHtmlBoxIdYesToAll, 9013, L"Yes to all"},
    {kHtmlBoxIdNoToAll, 9014, L"No to all"},
    {kHtmlBoxIdTryAgain, 9015, L"Try again"},
    {kHtmlBoxIdReport, 9016, L"Report"},
    {kHtmlBoxIdIgnoreAll, 9017, L"Ignore all"},
    {kHtmlBoxIdSkip, 9018, L"Skip"},
    {kHtmlBoxIdSkipAll, 9019, L"Skip all"},
};

const BuiltInCaption* FindCaption(int id)
{
    for (const BuiltInCaption& caption : kCaptions) {
        if (caption.id == id) {
            return &caption;
        }
    }
    return nullptr;
}

UINT ButtonSet(UINT style)
{
    const UINT set = style & kHtmlBoxButtonSetMask;
    return set <= 9 ? set : 0;
}

} // namespace

std::vector<int> HtmlMessageBoxButtonIds(UINT style, int customButtonCount, bool reportButton,
                                         bool detailsButton)
{
    std::vector<int> ids;
    if (customButtonCount > 0) {
        for (int i = 0; i < customButtonCount && i < kHtmlBoxMaxCustomButtons; ++i) {
            ids.push_back(kHtmlBoxIdCustomFirst + i);
        }
    } else {
        const bool yesToAll = (style & kHtmlBoxYesToAll) != 0;
        const bool noToAll = (style & kHtmlBoxNoToAll) != 0;
        switch (ButtonSet(style)) {
        case 0:
            ids = {IDOK};
            break;
        case 1:
            ids = {IDOK, IDCANCEL};
            break;
        case 2:
            ids = {IDABORT, IDRETRY, IDIGNORE};
            break;
        case 3:
        case 4:
            ids.push_back(IDYES);
            if (yesToAll) {
                ids.push_back(kHtmlBoxIdYesToAll);
            }
            ids.push_back(IDNO);
            if (noToAll) {
                ids.push_back(kHtmlBoxIdNoToAll);
            }
            if (ButtonSet(style) == 3) {
                ids.push_back(IDCANCEL);
            }
            break;
        case 5:
            ids = {IDRETRY, IDCANCEL};
            break;
        case 6:
            ids = {IDCANCEL, kHtmlBoxIdTryAgain, kHtmlBoxIdContinue};
            break;
        case 7:
            ids = {kHtmlBoxIdContinue, IDABORT};
            break;
        case 8:
            ids = {kHtmlBoxIdSkip, kHtmlBoxIdSkipAll, IDCANCEL};
            break;
        case 9:
            ids = {IDIGNORE, kHtmlBoxIdIgnoreAll, IDCANCEL};
            break;
        }
    }
    if (style & kHtmlBoxHelpButton) {
        ids.push_back(IDHELP);
    }
    if (reportButton) {
        ids.push_back(kHtmlBoxIdReport);
    }
    if (detailsButton) {
        ids.push_back(kHtmlBoxIdMore);
    }
    return ids;
}

bool HtmlMessageBoxMayClose(UINT style, int customButtonCount)
{
    switch (ButtonSet(style)) {
    case 0:
        return customButtonCount <= 0;
    case 2:
    case 4:
    case 7:
        return false;
    default:
        return true;
    }
}

const wchar_t* HtmlMessageBoxBuiltInCaption(int id)
{
    const BuiltInCaption* caption = FindCaption(id);
    return caption ? caption->text : nullptr;
}

UINT HtmlMessageBoxCaptionStringId(int id)
{
    const BuiltInCaption* caption = FindCaption(id);
    return caption ? caption->stringId : 0;
}
