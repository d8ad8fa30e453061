#pragma once

// The tags the engine knows, in the order they are tried; the first match wins, so "<b" comes after
// "<br" and "<blockquote" is never taken for "<b".
enum HtmlTag
{
    kTagBr,
    kTagI,
    kTagEndI,
    kTagB,
    kTagEndB,
    kTagStrong,
    kTagEndStrong,
    kTagU,
    kTagEndU,
    kTagA,
    kTagEndA,
    kTagSmall,
    kTagEndSmall,
    kTagBig,
    kTagEndBig,
    kTagCenter,
    kTagEndCenter,
    kTagP,
    kTagFont,
    kTagEndFont,
    kTagImg,
    kTagH1,
    kTagEndH1,
    kTagDiv,
    kTagEndDiv,
    kTagHr,
    kTagTable,
    kTagEndTable,
    kTagTr,
    kTagEndTr,
    kTagTd,
    kTagEndTd,
    kTagH2,
    kTagEndH2,
    kTagH3,
    kTagEndH3,
    kTagPre,
    kTagEndPre,
    kTagInput,
    kTagUl,
    kTagOl,
    kTagLi,
    kTagEndUl,
    kTagEndOl,
    kTagSub,
    kTagEndSub,
    kTagSup,
    kTagEndSup,
    kTagStrike,
    kTagEndStrike,
    kTagSelect,
    kTagEndSelect,
    kTagOption,
    kTagTextarea,
    kTagEndTextarea,
    kTagTh,
    kTagEndTh,
    kTagForm,
    kTagEndForm,
    kTagBlockquote,
    kTagEndBlockquote,
    kTagEndP,
    kHtmlTagCount
};

// The opening text of a tag, "<br" or "</table".
const wchar_t* HtmlTagOpening(int tag);

// The tag that text (at a '<') opens, or -1. The name must end at the end of the text, a space or
// '>'; with anyWhiteSpace, also at a tab, carriage return or line feed (raw page text).
int MatchHtmlTag(const wchar_t* text, bool anyWhiteSpace);

// Case-insensitive "text begins with prefix", reading no further than the text goes.
bool HtmlStartsWithNoCase(const wchar_t* text, const wchar_t* prefix);
