// A pane of the toolkit's status bar (CXTPStatusBar) and the small window a pane can host.
#pragma once

#include <afxext.h>

class CXTPImageManagerIcon;
class CXTPStatusBar;

// Colour fields of a pane that are not set.
#define XTP_STATUS_NO_COLOR (static_cast<COLORREF>(-1))

class CXTPStatusBarPane : public CCmdTarget
{
    DECLARE_DYNAMIC(CXTPStatusBarPane)
public:
    CXTPStatusBarPane();

    static const UINT pendingText = 0x01;

    UINT GetID() const { return m_nID; }
    int GetIndex() const { return m_nIndex; }
    CXTPStatusBar* GetStatusBar() const { return m_pStatusBar; }

    // The width without the pane's frame of 6 pixels.
    int GetWidth() const { return m_cxText; }
    void SetWidth(int cxText);
    // SBPS_* bits; the low word goes to the system's window with the text.
    UINT GetStyle() const { return m_nStyle; }
    void SetStyle(UINT nStyle);
    const CString& GetText() const { return m_strText; }
    void SetText(LPCTSTR lpszText);
    // A hidden pane keeps its text but takes no part of the window.
    BOOL IsVisible() const { return m_bVisible; }
    void SetVisible(BOOL bVisible);

    // Drawing by the paint manager: a disabled pane's text is grey and its icon the disabled image.
    BOOL IsEnabled() const { return m_bEnabled; }
    void SetEnabled(BOOL bEnabled);
    COLORREF GetTextColor() const { return m_clrText; }
    void SetTextColor(COLORREF clrText);
    COLORREF GetBackgroundColor() const { return m_clrBackground; }
    void SetBackgroundColor(COLORREF clrBackground);
    // DT_LEFT, DT_CENTER or DT_RIGHT.
    UINT GetTextAlignment() const { return m_nAlignment; }
    void SetTextAlignment(UINT nAlignment);
    // The image of this command id in the bar's image manager, drawn before the text; 0 for none.
    UINT GetIconId() const { return m_nIconId; }
    void SetIconId(UINT nIconId);
    CXTPImageManagerIcon* GetImage() const;
    // A font of the pane's own (copied); null returns to the bar's font.
    void SetTextFont(CFont* pFont);
    HFONT GetTextFont() const;

    // A child window of the bar laid over the pane; null for none.
    HWND GetChild() const { return m_hWndPane; }
    void SetChild(HWND hWnd);

protected:
    // The bar lays its panes out again after a change of width, style or visibility.
    void OnLayoutChanged();
    void Redraw() const;

    UINT m_nID = 0;
    int m_cxText = 0;
    UINT m_nStyle = SBPS_NORMAL;
    // pendingText: the text changed while the window could not be told.
    UINT m_nPending = 0;
    CString m_strText;
    BOOL m_bVisible = TRUE;
    HWND m_hWndPane = NULL;
    int m_nIndex = -1;
    int m_nPart = -1;

    CXTPStatusBar* m_pStatusBar = NULL;
    BOOL m_bEnabled = TRUE;
    COLORREF m_clrText = XTP_STATUS_NO_COLOR;
    COLORREF m_clrBackground = XTP_STATUS_NO_COLOR;
    UINT m_nAlignment = DT_LEFT;
    UINT m_nIconId = 0;
    CFont m_font;

    friend class CXTPStatusBar;
};

// A small window a pane can host: double-buffered, in the button face colour, with DrawContent for
// what a caller draws on it.
class CXTPStatusBarPaneWnd : public CWnd
{
    DECLARE_DYNAMIC(CXTPStatusBarPaneWnd)
public:
    CXTPStatusBarPaneWnd() = default;

    virtual BOOL Create(CWnd* pParentWnd, const RECT& rect, UINT nID, LPCTSTR lpszText);
    virtual void DrawContent(CDC* pDC, CRect rectClient);

    const CString& GetText() const { return m_strText; }

protected:
    CString m_strText;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
