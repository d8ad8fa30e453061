// What dialog templates need besides the template: their initialisation data (list-box and
// combo-box entries kept in an RT_DLGINIT resource of the template's name, added by
// CWnd::ExecuteDlgInit from CDialog::OnInitDialog) and the rich edit 1.0 library for templates
// with RICHEDIT controls.
//
// The data is a list of entries, each a WORD control id, a WORD message (0x0401 adds a list-box
// string, 0x0403 a combo-box string, 0x1234 is control data and skipped), a DWORD length and that
// many bytes of ANSI text with its terminating zero; a WORD 0 ends the list.
#pragma once

#include <windows.h>

#include <cstddef>

#include "afx/base_types.h"

// Adds the entries to the controls of hWnd in order, reading no more than nSize bytes. Stops at
// the first damaged entry (a header or length past the end, an unknown message) and returns FALSE
// then, with the entries before it added; TRUE when the list ended with its zero.
BOOL AFXAPI AfxExecuteDlgInit(HWND hWnd, const void* pData, size_t nSize);

// Loads the rich edit 1.0 library (window class "RICHEDIT") once per process; FALSE when it is
// missing.
BOOL AFXAPI AfxInitRichEdit();
