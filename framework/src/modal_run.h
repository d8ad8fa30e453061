// What a modal dialog and a modal property sheet share: choosing the owner and the run itself.
#pragma once

#include <afxwin.h>

#include <functional>

// The owner of a modal window: hWndParent, else the thread's main window, taken up to its top-level
// window (stored in *phWndTop when asked) and then to the popup last active over that; null when
// there is none.
HWND AfxModalOwner(HWND hWndParent, HWND* phWndTop = NULL);

// Runs pWnd modally over hWndOwner, which is disabled meanwhile: create() makes the window, the
// modal loop runs unless creation has already ended it (without idle messages when
// bHonourNoIdleMsg and the window has DS_NOIDLEMSG), then the window is hidden, the owner enabled
// and activated again, and the window destroyed. An exception makes the result -1; otherwise it is
// the one the loop ended with, or the one the caller set (create() included) when no loop ran.
// Answers pWnd->m_nModalResult.
INT_PTR AfxRunModalWindow(CWnd* pWnd, HWND hWndOwner, BOOL bHonourNoIdleMsg,
                          const std::function<BOOL()>& create);
