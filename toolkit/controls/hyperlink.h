// A static text that behaves as a link: underlined in the link, hover or visited colour, a hand
// cursor and a tooltip over its text, and its URL opened by the shell when clicked, a failure told
// in a message box.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

class CXTHyperLink : public CStatic
{
    DECLARE_DYNAMIC(CXTHyperLink)
public:
    CXTHyperLink();
    ~CXTHyperLink() override;

    virtual void SetURL(LPCTSTR lpszURL);
    virtual CString GetURL() const { return m_strURL; }
    virtual void SetColors(COLORREF clrLink, COLORREF clrVisited, COLORREF clrHover);
    virtual COLORREF GetLinkColor() const { return m_clrLink; }
    virtual COLORREF GetVisitedColor() const { return m_clrVisited; }
    virtual COLORREF GetHoverColor() const { return m_clrHover; }
    virtual void SetVisited(BOOL bVisited = TRUE);
    virtual BOOL GetVisited() const { return m_bVisited; }
    virtual void SetLinkCursor(HCURSOR hCursor) { m_hcurLink = hCursor; }
    virtual HCURSOR GetLinkCursor() const { return m_hcurLink; }
    virtual void SetUnderline(BOOL bUnderline = TRUE);
    virtual BOOL GetUnderline() const { return m_bUnderline; }
    virtual void SetBackColor(COLORREF clrBack);
    // Colour 15 of the colour table while none is set.
    virtual COLORREF GetBackColor() const;
    // Opens the URL (null: the stored one) with the shell's "open"; a failure is reported.
    virtual BOOL GotoURL(LPCTSTR lpszURL = NULL, int nShowCmd = SW_SHOW, LPCTSTR lpszParams = NULL,
                         LPCTSTR lpszDir = NULL);
    // A left, centred or right text static (not an icon, bitmap or other kind).
    virtual BOOL IsTextControl() const;
    // Whether the cursor lies over the text; always for a static that is no text control.
    virtual BOOL PtInText() const;
    // A beep and a message box with the text for the shell's error code.
    virtual void ReportError(int nError);
    virtual void InitControl();
    virtual void InitFont();
    // A copy of the control's font (or of the status font) with the underline flag.
    virtual BOOL CreateFont(CFont& font, BOOL bUnderline);

    void EnableShellOpen(BOOL bOpen) { m_bOpenOnClick = static_cast<BYTE>(bOpen ? 1 : 0); }
    void SetShowToolTip(BOOL bShow) { m_bShowToolTip = static_cast<BYTE>(bShow ? 1 : 0); }
    BOOL IsHot() const { return m_bHot; }
    CToolTipCtrl& GetToolTipCtrl() { return m_toolTip; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PreSubclassWindow() override;
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg BOOL OnClicked();
    DECLARE_MESSAGE_MAP()

    BYTE m_bOpenOnClick = 1;
    BYTE m_bFromResource = 1;
    BYTE m_bUnderline = 1;
    BYTE m_bHot = 0;
    BYTE m_bVisited = 0;
    BYTE m_bShowToolTip = 1;
    CFont m_font;
    CString m_strURL;
    CString m_strTipText;
    HCURSOR m_hcurLink;
    COLORREF m_clrLink = RGB(0, 0, 255);
    COLORREF m_clrHover = RGB(255, 0, 0);
    COLORREF m_clrVisited = RGB(128, 0, 128);
    COLORREF m_clrBack = COLORREF(-1);
    CToolTipCtrl m_toolTip;
};
