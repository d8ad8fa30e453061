// What the edit control and the combo box share as fields on a bar: the edit window they type into,
// the text cached from it, the hint that stands in the empty field, the width and the label before
// the field, the keyboard focus and the shell's auto-complete.
#pragma once

#include "controls.h"

class CXTPShellAutoComplete;
template <class TControl> class CXTPControlFieldEditCtrl;

// TBase is the control's own base class, TEditCtrl the class of its edit window.
template <class TBase, class TEditCtrl> class CXTPControlField : public TBase
{
public:
    ~CXTPControlField() override;

    // The text of the field; the hint standing in the empty field, or a text equal to the hint,
    // reads as empty.
    CString GetEditText() const;
    CString GetEditHint() const { return m_strEditHint; }
    BOOL IsHintShown() const { return m_bHintShown; }
    void EnableShellAutoComplete(DWORD dwFlags);
    DWORD GetShellAutoCompleteFlags() const { return m_dwShellAutoCompleteFlags; }
    CXTPShellAutoComplete* GetAutoComplete() const { return m_pAutoComplete; }
    void SetWidth(int nWidth);
    int GetWidth() const { return m_nWidth; }
    TEditCtrl* GetEditCtrl() const { return m_pEdit; }
    // Space the paint manager gives the label before the field.
    void SetLabelWidth(int nWidth)
    {
        m_bDelayReposition |= nWidth != m_nLabelWidth;
        m_nLabelWidth = nWidth;
    }
    int GetLabelWidth() const { return m_nLabelWidth; }

    BOOL IsFocused() const override { return m_bFocused; }
    BOOL CanTakeFocus() const override;
    CSize GetSize(CDC* pDC) override;
    void SetEnabled(BOOL bEnabled) override;
    void SetHideFlags(DWORD dwFlags) override;

protected:
    // The hint goes into the field while it is empty and has no focus.
    void ShowHint();
    void OnEditDestroyed();
    // Sets the edit window's text without reporting it as a change.
    void SetWindowTextQuietly(LPCTSTR lpszText);

    // A window laid out right to left, or one no longer in the bar, is destroyed; TRUE when the
    // edit window exists afterwards.
    BOOL KeepWindowInBar(CXTPCommandBar* pBar);
    // Creates the edit window in the bar with the field's text, state and auto-complete.
    BOOL CreateEditWindow(CXTPCommandBar* pBar);
    // Moves the edit window into the control's rectangle after the label, nRightInset pixels from
    // its right edge, shown or hidden with the control.
    void PlaceEditWindow(CRect rcControl, int nRightInset);

    // The field takes the keyboard: the hint goes, the text is kept to come back to, the edit window
    // gets the focus, the bar tracks with the control selected, the mouse manager is locked and the
    // frame hears nSetFocusCode.
    void TakeFocus(UINT nSetFocusCode);
    // The field gives the keyboard back to the window that had it, unlocks the mouse manager, tells
    // the frame nKillFocusCode and shows the hint again.
    void GiveUpFocus(UINT nKillFocusCode);

    TEditCtrl* m_pEdit = NULL;
    int m_nWidth = 100;
    int m_nLabelWidth = 0;
    BOOL m_bDelayReposition = FALSE;
    BOOL m_bFocused = FALSE;
    BOOL m_bHintShown = FALSE;
    CString m_strEditHint;
    CString m_strLastText;
    mutable CString m_strEditText;
    mutable BOOL m_bTextChanged = FALSE;
    DWORD m_dwShellAutoCompleteFlags = 0;
    CXTPShellAutoComplete* m_pAutoComplete = NULL;
    // Above 0 while the control sets the window's text itself: no change is reported.
    int m_nSettingText = 0;

    template <class TControl> friend class CXTPControlFieldEditCtrl;
};
