// Contrast decisions of the colour table in a weighted colour space in which green counts twice and
// blue a third of red; distances there follow what the eye sees better than plain RGB distances.
#pragma once

#include <windows.h>

// Whether b lies farther than the threshold from a; with bAdjust the threshold grows for dark a.
bool XTColorIsFarEnough(COLORREF a, COLORREF b, bool bAdjust, int nThreshold);
// b moved along the line towards a until it lies at the adjusted threshold from a.
COLORREF XTColorPullTowards(COLORREF a, COLORREF b, int nThreshold);
// b moved along its ray from black (or from white) until it lies at the adjusted threshold from a;
// black when no point of the ray lies that far.
COLORREF XTColorPushAway(COLORREF a, COLORREF b, int nThreshold);
