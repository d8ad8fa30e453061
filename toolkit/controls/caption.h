// A themed title bar above a child window. In its text-button form the caption's button shows the
// text and lifts the child out into a pop-up with a push pin; in its close-button form the button
// shows a small cross and sends the caption's command to the owner.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include "button.h"

class CXTCaption;
class CXTCaptionPopupWnd;

// Caption style bits (the low three bits of Create's style argument).
#define CPWS_EX_GROOVE_EDGE 0x0001 // etched border
#define CPWS_EX_RAISED_EDGE 0x0002 // raised border
#define CPWS_EX_CLOSEBUTTON 0x0004 // close-button form

// Sent to the caption and then to its owner: the push pin was clicked, the child is docked again.
#define CPWN_XT_PUSHPINBUTTON 0x273E
// Sent to the caption and then to its owner: the pop-up lost the focus and is gone.
#define CPWN_XT_PUSHPINCANCEL 0x273F
// The id of the caption's button and of the pop-up's push pin.
#define XT_IDC_BTN_CLOSE 9115

// Owns one icon handle; assigning destroys the one held before.
class CXTIconHandle
{
public:
    CXTIconHandle() = default;
    virtual ~CXTIconHandle();
    CXTIconHandle(const CXTIconHandle&) = delete;
    CXTIconHandle& operator=(const CXTIconHandle&) = delete;

    CXTIconHandle& operator=(HICON hIcon);
    operator HICON() const { return m_hIcon; }

private:
    HICON m_hIcon = NULL;
};

class CXTCaptionTheme : public CXTThemeObject
{
public:
    void RefreshMetrics() override;

    virtual void DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rect);
    virtual void DrawCaptionText(CDC* pDC, CXTCaption* pCaption);
    virtual void DrawCaptionIcon(CDC* pDC, CXTCaption* pCaption, CRect& rect);

    CXTColorValue m_clrShadow;
    CXTColorValue m_clrHighlight;
};

class CXTCaptionThemeOfficeXP : public CXTCaptionTheme
{
public:
    void DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rect) override;
};

class CXTCaptionThemeOffice2003 : public CXTCaptionTheme
{
public:
    void DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rect) override;
};

XT_DECLARE_THEME_FACTORY(CXTCaptionThemeFactory)

// The caption buttons' looks: the button themes of the same numbers in the caption's colours, with
// the caption's text in the text-button form.
class CXTCaptionButtonTheme : public CXTButtonTheme
{
public:
    CXTCaptionButtonTheme();
    COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
    BOOL DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
    void DrawButtonText(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton) override;
};

class CXTCaptionButtonThemeOfficeXP : public CXTButtonThemeOfficeXP
{
public:
    CXTCaptionButtonThemeOfficeXP();
    COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
    BOOL DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
    void DrawButtonText(CDC* pDC, UINT nState, const CRect& rect, CXTButton* pButton) override;
};

class CXTCaptionButtonThemeOffice2003 : public CXTButtonThemeOffice2003
{
public:
    COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
    BOOL DrawButtonBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
    // The two colours of the caption's own gradient under the rectangle (screen coordinates).
    BOOL GetCaptionGradient(const CRect& rectScreen, CXTCaption* pCaption, CXTColorPair& pair);
};

XT_DECLARE_THEME_FACTORY(CXTCaptionButtonThemeFactory)

class CXTCaptionButton : public CXTButton
{
    DECLARE_DYNAMIC(CXTCaptionButton)
public:
    CXTCaptionButton();

    // Keeps the style; takes the caption's colours and font when the parent is a caption.
    DWORD SetXButtonStyle(DWORD dwStyle, BOOL bRedraw = TRUE) override;
    // The owner caption while it has a window, else null.
    CXTCaption* GetOwnerCaption() const;

    CXTCaption* m_pCaption = NULL;
};

class CXTCaption : public CStatic, public CXTThemeHost
{
    DECLARE_DYNAMIC(CXTCaption)
public:
    CXTCaption();
    ~CXTCaption() override;

    virtual void SetCaptionColors(COLORREF clrBorder, COLORREF clrBack, COLORREF clrText);
    // Each argument counts only when it is not zero or null.
    virtual void ModifyCaptionStyle(int nBorderSize, CFont* pFont = NULL, LPCTSTR lpszText = NULL,
                                    HICON hIcon = NULL);
    virtual void SetChildWindow(CWnd* pChildWnd, CWnd* pNotifyWnd);
    virtual void HidePopupWindow();
    virtual BOOL ShowPopupWindow();
    virtual void UpdateCaption(LPCTSTR lpszText, HICON hIcon);
    // nStyleBits: CPWS_EX_* in the low three bits, the window's extended style above them.
    virtual BOOL Create(CWnd* pParentWnd, LPCTSTR lpszText, DWORD nStyleBits, DWORD dwStyle,
                        const CRect& rect, UINT nID);
    virtual CRect GetTextRect();
    virtual void DrawCaptionBack(CDC* pDC, CRect& rect);
    virtual void DrawCaptionText(CDC* pDC);
    virtual void DrawCaptionIcon(CDC* pDC, CRect& rect);
    virtual void UpdateCaptionText(CDC* pDC);
    virtual CRect GetButtonRect();

    CXTCaptionTheme* GetTheme() const { return static_cast<CXTCaptionTheme*>(GetSafeTheme()); }
    int GetBorderSize() const { return m_nBorder; }
    COLORREF GetBorderColor() const { return m_clrBorder; }
    COLORREF GetBackColor() const { return m_clrBack; }
    COLORREF GetCaptionTextColor() const { return m_clrText; }
    DWORD GetCaptionStyle() const { return m_dwCaptionStyle; }
    BOOL IsTextButtonForm() const { return m_bTextButton; }
    void SetTextButtonForm(BOOL bTextButton) { m_bTextButton = static_cast<BYTE>(bTextButton ? 1 : 0); }
    const CString& GetCaptionText() const { return m_strCaption; }
    HICON GetCaptionIcon() const { return m_hIcon; }
    CSize GetIconSize() const { return m_sizeIcon; }
    CXTCaptionButton& GetCaptionButton() { return m_btnCaption; }
    CXTCaptionPopupWnd* GetPopupWnd() const { return m_pPopupWnd; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnSysColorChange();
    afx_msg LRESULT OnPushPinButton(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPushPinCancel(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The owner window, else the parent.
    HWND GetNotifyTarget() const;
    void DestroyPopup();
    void SetButtonColors();

    int m_nBorder = 0;
    COLORREF m_clrBorder;
    COLORREF m_clrBack;
    COLORREF m_clrText;
    int m_nOffset = 0;
    BYTE m_bCustomColors = 0;
    BYTE m_bTextButton = 0;
    CWnd* m_pChildWnd = NULL;
    // Held as handles: the framework's temporary objects for them would not outlive idle time.
    HWND m_hWndChildParent = NULL;
    HWND m_hWndParentParent = NULL;
    HWND m_hWndNotify = NULL;
    CSize m_sizeIcon;
    CRect m_rectChild;
    CRect m_rectParent;
    CRect m_rectGrandParent;
    DWORD m_dwCaptionStyle = 0;
    HICON m_hIcon = NULL;
    CString m_strCaption;
    CImageList m_ilGlyphs;
    CXTCaptionButton m_btnCaption;
    CXTCaptionPopupWnd* m_pPopupWnd = NULL;
};

class CXTCaptionPopupWnd : public CWnd
{
    DECLARE_DYNAMIC(CXTCaptionPopupWnd)
public:
    CXTCaptionPopupWnd();
    ~CXTCaptionPopupWnd() override;

    // A visible tool window owned by the caption that takes the child in; FALSE unless caption and
    // child have windows.
    virtual BOOL Create(const CRect& rect, CXTCaption* pCaption, CWnd* pChildWnd);
    virtual void RecalcLayout();
    // Gives the child back to its previous parent; TRUE when both still have windows.
    virtual BOOL RestoreChildParent();
    // TRUE when the focus had gone elsewhere and the pop-up was closed.
    virtual BOOL CheckFocus();

    CXTCaption& GetInnerCaption() { return m_caption; }
    CXTCaptionButton& GetPushPin() { return m_btnPin; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    CXTCaption* m_pOwnerCaption = NULL;
    CWnd* m_pChildWnd = NULL;
    HWND m_hWndChildParent = NULL;
    CXTCaption m_caption;
    CXTCaptionButton m_btnPin;
    CXTIconHandle m_hIconPinHot;
    CXTIconHandle m_hIconPin;
};
