#pragma once

// Lines of "caption : value" text (the steps' mode summary), drawn with the colons of all lines at one x
// after the widest caption, whatever widths the face gives the captions: the blanks that pad a caption
// are meant for one face only and leave the colons apart in another. A line without a colon is drawn as
// it stands.
#include <afxwin.h>

// Draws text's lines ("\r\n" or "\n" apart) from the top left of rect in the DC's font and colours,
// without clipping at the rectangle.
void DrawCaptionColumns(CDC* pDC, const CRect& rect, const CString& text);
