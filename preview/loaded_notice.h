#pragma once

// The notice of a preview that holds only the first records of a file (the lists, at the record limit of
// the hand-over) or its first lines or characters (the plain text): "Loaded N of M total records" (or
// "lines", "characters") in a box and on the frame's status bar.
#include <afxwin.h>

class CPreviewHandOver;

// The most records a preview list holds: the hand-over's limit, at least 1.
unsigned long long PreviewRecordLimit(const CPreviewHandOver& handOver);

// Paints the list first, so that it shows behind the box, then gives the notice.
void ShowLoadedNotice(CWnd& shown, unsigned long long loaded, unsigned long long total,
                      const wchar_t* pszWhat = L"records");
