#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include "owner_draw_menu.h"

// A flat owner-drawn push button with in and out bitmaps and a caption: it rises under the mouse, can act
// as a check box, shows a tooltip, opens a link or a drop-down owner-drawn menu when clicked, plays sounds
// on hover and click, and shows its own cursor. Subclass it from a dialog or create it as a push button.
class CIconButton : public CButton
{
    DECLARE_DYNAMIC(CIconButton)
public:
    // Setter results.
    enum Result
    {
        kOk = 0,
        kInvalidResource = 1,
        kFailedMask = 2,
        kInvalidIndex = 3,
        kBadParameter = 5,
        kInvalidPushedStyle = 6,
    };
    // Colour entries: background and text of the states in (hover or pushed), out and focus.
    enum ColorEntry
    {
        kColorBackgroundIn = 0,
        kColorTextIn,
        kColorBackgroundOut,
        kColorTextOut,
        kColorBackgroundFocus,
        kColorTextFocus,
        kColorCount
    };
    // Out images made from the in image.
    static constexpr INT_PTR kGreyCopy = -2;
    static constexpr INT_PTR kDarkerCopy = -3;
    static constexpr int kMaxLink = 260;

    CIconButton();
    ~CIconButton() override;

    // The button takes the bitmaps over; the out bitmap may be kGreyCopy or kDarkerCopy (as a handle).
    DWORD SetImages(HBITMAP hBitmapIn, COLORREF crTransIn, HBITMAP hBitmapOut = NULL,
                    COLORREF crTransOut = 0);
    DWORD SetImages(int nBitmapIn, COLORREF crTransIn, int nBitmapOut = 0, COLORREF crTransOut = 0);
    DWORD SetPushedOffset(int nMode, BOOL bRepaint = TRUE);
    DWORD SetChecked(BOOL bChecked, BOOL bRepaint = TRUE);
    BOOL IsChecked() const { return m_checked; }
    DWORD ResetColors(BOOL bRepaint = TRUE);
    DWORD SetColorEntry(int nIndex, COLORREF colour, BOOL bRepaint = TRUE);
    DWORD ShadeColorEntry(int nIndex, int nAmount, BOOL bRepaint = TRUE);
    COLORREF GetColorEntry(int nIndex) const
    {
        return nIndex >= 0 && nIndex < kColorCount ? m_colors[nIndex] : 0;
    }
    DWORD SetHoverCursor(int nCursorID, BOOL bRepaint = TRUE);
    DWORD SetLink(LPCWSTR lpszLink);
    const CString& GetLink() const { return m_link; }
    DWORD SetBorderOnHover(BOOL bBorder, BOOL bRepaint = TRUE);
    void SetHoverWhenInactive(BOOL bHover) { m_hoverWhenInactive = bHover; }
    DWORD SetTooltipText(LPCWSTR lpszText, BOOL bActivate = TRUE);
    // The drop-down menu: popup 0 of the menu resource, its commands posted to the owner window.
    DWORD SetMenu(UINT nMenuID, HWND hOwnerWnd, BOOL bRepaint = TRUE);
    // Told (the menu handle as wParam) just before the menu opens.
    DWORD SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam = 0);
    // Sounds for hover and click: a sound name with its module and PlaySound flags; null for none.
    DWORD SetSound(LPCWSTR lpszSound, HMODULE hModule = NULL, DWORD dwFlags = 0, BOOL bHover = TRUE);

    CSize GetPushedOffset() const { return m_pushedOffset; }
    BOOL IsDefault() const { return m_default; }
    BOOL IsCheckBox() const { return m_checkBox; }
    BOOL IsHovering() const { return m_hover; }
    HBITMAP GetImage(BOOL bIn) const { return bIn ? m_imageIn.bitmap : m_imageOut.bitmap; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual void PaintBackground(CDC* pDC, const CRect& rect);
    virtual void PaintBorder(CDC* pDC, const CRect& rect);
    virtual void PaintBitmap(CDC* pDC, BOOL hasCaption, const CRect& itemRect, CRect& captionRect,
                             BOOL pushed, BOOL disabled);
    virtual void PaintCaption(CDC* pDC, BOOL hasCaption, const CRect& itemRect, CRect& captionRect,
                              BOOL pushed, BOOL disabled);

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnSysColorChange();
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnCancelMode();
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg BOOL OnClicked();
    DECLARE_MESSAGE_MAP()

private:
    struct Image
    {
        HBITMAP bitmap = NULL;
        HBITMAP mask = NULL;
        int width = 0;
        int height = 0;
    };
    struct Sound
    {
        CString name;
        HMODULE module = NULL;
        DWORD flags = 0;
        BOOL set = FALSE;
    };

    void FreeImages();
    DWORD MakeImage(HBITMAP bitmap, COLORREF transparent, Image& image);
    void EndHover();
    void Repaint(BOOL bRepaint);
    void PlayButtonSound(const Sound& sound) const;

    BOOL m_hover = FALSE;
    BOOL m_pressed = FALSE;
    BOOL m_focused = FALSE;
    BOOL m_paintPushed = FALSE; // the pushed state of the drawing under way, for the painters
    BOOL m_default = FALSE;
    BOOL m_checkBox = FALSE;
    BOOL m_checked = FALSE;
    UINT m_savedType = 15;
    CSize m_pushedOffset{1, 1};
    int m_imageMargin = 3;
    BOOL m_borderOnHover = TRUE;
    BOOL m_hoverWhenInactive = TRUE;
    COLORREF m_colors[kColorCount] = {};
    Image m_imageIn;
    Image m_imageOut;
    HCURSOR m_cursor = NULL;
    CString m_link;
    COwnerDrawMenu m_menu;
    HWND m_menuOwner = NULL;
    HWND m_callbackWnd = NULL;
    UINT m_callbackMessage = 0;
    LPARAM m_callbackParam = 0;
    Sound m_hoverSound;
    Sound m_clickSound;
    CToolTipCtrl m_tooltip;
};
