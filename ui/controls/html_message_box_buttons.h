#pragma once

#include <windows.h>

#include <vector>

// The buttons of the HTML message box: which style gives which buttons, their built-in captions and the
// string resources that may replace those captions. Ids below 12 are the platform message box's.

inline constexpr int kHtmlBoxIdTryAgain = 10;
inline constexpr int kHtmlBoxIdContinue = 11;
inline constexpr int kHtmlBoxIdSkip = 14;
inline constexpr int kHtmlBoxIdSkipAll = 15;
inline constexpr int kHtmlBoxIdIgnoreAll = 16;
inline constexpr int kHtmlBoxIdYesToAll = 19;
inline constexpr int kHtmlBoxIdNoToAll = 20;
inline constexpr int kHtmlBoxIdReport = 21;
// The custom buttons take these ids in the order of their captions.
inline constexpr int kHtmlBoxIdCustomFirst = 23;
inline constexpr int kHtmlBoxMaxCustomButtons = 4;
// The details button: 31 while the details are hidden ("More >>"), 30 while shown ("<< More").
inline constexpr int kHtmlBoxIdLess = 30;
inline constexpr int kHtmlBoxIdMore = 31;

// Style bits beyond the platform message box's button set, icon and default-button bits.
inline constexpr UINT kHtmlBoxButtonSetMask = 0x0000000F;
inline constexpr UINT kHtmlBoxIconMask = 0x000000F0;
inline constexpr UINT kHtmlBoxIconFile = 0x00000080;
inline constexpr UINT kHtmlBoxDefaultButtonMask = 0x00000F00;
inline constexpr UINT kHtmlBoxHelpButton = 0x00004000;
inline constexpr UINT kHtmlBoxForeground = 0x00010000;
inline constexpr UINT kHtmlBoxTopmost = 0x00040000;
inline constexpr UINT kHtmlBoxRightText = 0x00080000;
inline constexpr UINT kHtmlBoxCheckBox = 0x01000000;
inline constexpr UINT kHtmlBoxChecked = 0x02000000;
inline constexpr UINT kHtmlBoxCheckBoxBelow = 0x04000000;
inline constexpr UINT kHtmlBoxYesToAll = 0x08000000;
inline constexpr UINT kHtmlBoxNoToAll = 0x10000000;
inline constexpr UINT kHtmlBoxNoResourceCaptions = 0x20000000;
inline constexpr UINT kHtmlBoxNoBeep = 0x40000000;

// String resources that may replace the check box's caption and the caption's count-down format.
inline constexpr UINT kHtmlBoxCheckBoxStringId = 9012;
inline constexpr UINT kHtmlBoxCountdownStringId = 9020;

// The ids of the buttons in the order they are created: the button set of the style (or the custom
// buttons, which replace it), then Help, Report and More as asked. A button set beyond 9 is taken as 0.
std::vector<int> HtmlMessageBoxButtonIds(UINT style, int customButtonCount, bool reportButton,
                                         bool detailsButton);

// Whether Escape, the close box and a Cancel command may end a box of this style.
bool HtmlMessageBoxMayClose(UINT style, int customButtonCount);

// The built-in caption of a button id; null for ids without one (the custom buttons).
const wchar_t* HtmlMessageBoxBuiltInCaption(int id);
// The string resource that may replace that caption; 0 for none.
UINT HtmlMessageBoxCaptionStringId(int id);
