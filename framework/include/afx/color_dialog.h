// CColorDialog: the system's colour chooser (ChooseColorW). The custom colours are the process's
// own: every colour dialog starts with the ones the last one left.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "afx/common_dialogs.h"

class CColorDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CColorDialog)
public:
    // An initial colour other than 0 is preselected (CC_RGBINIT).
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = NULL);
    ~CColorDialog() override;

    CHOOSECOLOR m_cc;

    // IDOK with the chosen colour in GetColor, IDCANCEL otherwise. The dialog's window is attached
    // to the object while it runs; its messages stay the system's.
    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    // While the dialog runs, selects the colour in it; before, makes it the initial colour.
    void SetCurrentColor(COLORREF clr);
    // The process's 16 custom colours (white until a dialog changes them).
    static COLORREF* PASCAL GetSavedCustomColors();

private:
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LPCCHOOKPROC m_pfnCallerHook; // a hook the caller set in m_cc, called after ours
};
