// The toolkit's owner-drawn push button: a button theme places and paints its icon and text, with
// hot tracking, a pressed look and flicker-free painting. The caption's button stands on it.
#pragma once

#include <afxwin.h>

#include "color_table.h"
#include "theme_handle.h"
#include "theme_manager.h"

class CXTButton;
class CXTPImageManagerIcon;
class CXTPImageHandle;

// SetXButtonStyle bits.
#define BS_XT_FLAT 0x0001
#define BS_XT_SEMIFLAT 0x0002
#define BS_XT_TWOROWS 0x0004 // the image above the text
#define BS_XT_SHOWFOCUS 0x0010
#define BS_XT_HILITEPRESSED 0x0020 // a dithered face while pressed
#define BS_XT_XPFLAT 0x0040        // a private flat-highlight theme
#define BS_XT_WINXP_COMPAT 0x1000  // drawn with the visual style

// The default look: a raised double frame, or the flat and semi-flat one-pixel frames.
class CXTButtonTheme : public CXTThemeObject
{
public:
    CXTButtonTheme();

    void RefreshMetrics() override;

    virtual BOOL IsHotTrackingEnabled(CXTButton* pButton);
    virtual BOOL UseWinXPThemes(CXTButton* pButton);
    virtual BOOL GetShowImage() const { return m_bShowImage; }
    virtual void SetShowImage(BOOL bShowImage) { m_bShowImage = bShowImage; }
    virtual CFont* GetThemeFont(CXTButton* pButton) const;
    virtual void SetThemeFont(CFont* pFont);
    virtual void SetColors(COLORREF clrFace, COLORREF clrHilite, COLORREF clrShadow, COLORREF clrText);
    virtual void SetColorFace(COLORREF clr) { m_clrFace.SetCustomValue(clr); }
    virtual COLORREF GetColorFace() const { return m_clrFace; }
    virtual void SetColorHilite(COLORREF clr) { m_clrLight.SetCustomValue(clr); }
    virtual void SetColorShadow(COLORREF clr) { m_clrShadow.SetCustomValue(clr); }
    virtual void SetColorText(COLORREF clr) { m_clrText.SetCustomValue(clr); }
    virtual CPoint CalcImagePosition(int nWidth, int nHeight, CXTButton* pButton);
    virtual CPoint CalcTextPosition(UINT nState, const CRect& rect, CSize sizeText, CXTButton* pButton);
    virtual COLORREF GetTextColor(UINT nState, CXTButton* pButton);
    virtual void DrawButtonText(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton);
    virtual CPoint CalcIconPosition(CDC* pDC, UINT nState, const CRect& rect, BOOL bHasHotImage,
                                    CXTButton* pButton);
    virtual void DrawButtonIcon(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton);
    virtual void DrawButton(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton);
    virtual BOOL DrawWinXPBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton);
    virtual BOOL DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton);
    virtual void DrawFocusRect(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton);

    BOOL m_bShowImage = TRUE;
    // The text moves one pixel right and down while the button is pressed.
    BOOL m_bOffsetHiliteText = TRUE;
    CFont* m_pFont = NULL; // not owned; null: the button's own font
    CXTColorValue m_clrFace;
    CXTColorValue m_clrText;
    CXTColorValue m_clrDisabledText;
    CXTColorValue m_clrLight;
    CXTColorValue m_clrShadow;
    CXTColorValue m_clrHighlight;
    CXTColorValue m_clrDarkShadow;
    CXTThemeHandle m_themeButton;

protected:
    // The text as measured: single ampersands removed, in the theme font.
    CSize MeasureText(CDC* pDC, CXTButton* pButton);
    // The button's icon when images are shown; null otherwise.
    CXTPImageManagerIcon* GetDrawableIcon(CXTButton* pButton) const;
    static BOOL IsPressed(UINT nState) { return (nState & ODS_SELECTED) != 0; }
};

// The flat highlight look: coloured faces for hot and pressed, faded and shadowed icons.
class CXTButtonThemeOfficeXP : public CXTButtonTheme
{
public:
    explicit CXTButtonThemeOfficeXP(BOOL bFramed = FALSE);

    void RefreshMetrics() override;
    BOOL IsHotTrackingEnabled(CXTButton*) override { return TRUE; }
    COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
    void DrawButtonIcon(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton) override;
    BOOL DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
    void DrawFocusRect(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton) override;
    virtual void SetFramed(BOOL bFramed);
    virtual void SetColorPushed(COLORREF clr) { m_clrPushedFace.SetCustomValue(clr); }
    virtual void SetColorHot(COLORREF clr) { m_clrHotFace.SetCustomValue(clr); }
    virtual void SetTextColorPushed(COLORREF clr) { m_clrPushedText.SetCustomValue(clr); }
    virtual void SetTextColorHot(COLORREF clr) { m_clrHotText.SetCustomValue(clr); }

    BOOL m_bFramed;
    BOOL m_bFadedImage = TRUE;
    BOOL m_bShadowedHotImage = TRUE;
    CXTColorValue m_clrPushedFace;
    CXTColorValue m_clrHotFace;
    CXTColorValue m_clrPushedText;
    CXTColorValue m_clrHotText;
};

// The flat highlight look in the colours of the visual style's scheme, with gradient faces.
class CXTButtonThemeOffice2003 : public CXTButtonThemeOfficeXP
{
public:
    explicit CXTButtonThemeOffice2003(BOOL bFramed = FALSE);

    void RefreshMetrics() override;
    void DrawButtonIcon(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton) override;
    BOOL DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
};

XT_DECLARE_THEME_FACTORY(CXTButtonThemeFactory)

class CXTButton : public CButton, public CXTThemeHost
{
    DECLARE_DYNAMIC(CXTButton)
public:
    explicit CXTButton(CRuntimeClass* pFactoryClass = NULL);
    ~CXTButton() override;

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    // The button copies the icons; the hot one may be null. A zero size takes the icon's own.
    virtual BOOL SetIcon(CSize size, HICON hIcon, HICON hIconHot = NULL, BOOL bRedraw = TRUE);
    virtual BOOL SetIcon(CSize size, UINT nID, UINT nHotID = 0, BOOL bRedraw = TRUE);
    virtual BOOL SetIcon(CSize size, WORD nID, WORD nHotID, BOOL bRedraw = TRUE);
    virtual BOOL SetIcon(CSize size, CXTPImageManagerIcon* pIcon, BOOL bRedraw = TRUE);
    virtual BOOL SetBitmap(CSize size, UINT nID, BOOL bRedraw = TRUE);
    virtual BOOL SetTextAndImagePos(CPoint ptImage, CPoint ptText, BOOL bRedraw = TRUE);
    // Returns the old style; see BS_XT_*.
    virtual DWORD SetXButtonStyle(DWORD dwStyle, BOOL bRedraw = TRUE);
    virtual DWORD GetXButtonStyle() const { return m_dwXButtonStyle; }
    virtual BOOL HasTheme() const { return GetSafeTheme() != NULL; }
    virtual void SetColors(COLORREF clrFace, COLORREF clrHilite, COLORREF clrShadow, COLORREF clrText);
    virtual void SetColorFace(COLORREF clr);
    virtual COLORREF GetColorFace() const;
    virtual void SetColorHilite(COLORREF clr);
    virtual void SetColorShadow(COLORREF clr);
    virtual void SetColorText(COLORREF clr);
    // Only for the flat highlight theme.
    virtual void SetColors(COLORREF clrBorder, COLORREF clrHot, COLORREF clrPushed);
    virtual void ToggleShowImage();
    virtual CFont* SetFontEx(CFont* pFont);
    // Makes the button owner-drawn; FALSE without a window.
    virtual BOOL InitButton();
    virtual void CleanUpGDI();
    virtual CString GetButtonText(BOOL bRemoveAmpersands) const;

    CXTButtonTheme* GetTheme() const { return static_cast<CXTButtonTheme*>(GetSafeTheme()); }
    CXTPImageManagerIcon* GetIcon() const { return m_pIcon; }
    // Zero while the theme shows no images.
    CSize GetImageSize() const;
    CPoint GetImagePoint() const;
    CPoint GetTextPoint() const;
    BOOL IsHot() const { return m_bHot; }
    BOOL IsPushed() const { return m_bPushed; }
    BOOL UserPositions() const { return m_bUserPosition; }

    int m_nBorderGap = 4;
    int m_nImageGap = 8;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    BYTE m_bFromResource = TRUE;
    BOOL m_bHot = FALSE;
    BOOL m_bUserPosition = FALSE;
    BOOL m_bPushed = FALSE;
    BOOL m_bHotShown = FALSE;
    DWORD m_dwXButtonStyle = BS_XT_FLAT;
    CSize m_sizeImage = CSize(0, 0);
    CPoint m_ptImage = CPoint(0, 0);
    CPoint m_ptText = CPoint(0, 0);
    CXTPImageManagerIcon* m_pIcon = NULL;
};

// Settings and colour changes refresh the theme's metrics before the framework sees them.
void AFXAPI XTRefreshThemeOnSettingChange(CXTThemeHost* pHost, UINT message);
