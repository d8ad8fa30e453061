#pragma once

#include <afxcmn.h>
#include <afxwin.h>

// What opening a link asks of the system; tests put a recorder in its place, so that no browser starts.
class HyperlinkShell
{
public:
    virtual ~HyperlinkShell() = default;
    // ShellExecute with the verb "open": its result code.
    virtual INT_PTR Open(LPCTSTR lpszURL, int nShowCmd);
    // The default value of a key under HKEY_CLASSES_ROOT; false when it cannot be read.
    virtual bool ReadClassesRootValue(LPCTSTR lpszKey, CString& value);
    // WinExec of the command (in the ANSI code page): its result code.
    virtual UINT Run(LPCSTR lpszCommand, int nShowCmd);
    // Tells the user that a link could not be opened: a warning beep and a message box.
    virtual void ReportFailure(LPCTSTR lpszText);

    // The shell in use; SetCurrent returns the previous one, null restores the system's.
    static HyperlinkShell& Current();
    static HyperlinkShell* SetCurrent(HyperlinkShell* pShell);
};

// The text that follows "Unable to open hyperlink:\n\n" for a result code of the shell.
CString HyperlinkErrorText(INT_PTR nCode);

// A static text control turned into a web link: link colours, underlined while the cursor is over it, the
// URL as its tooltip, a hand cursor, and the URL opened with the shell on a click. Bound to an existing
// static control by subclassing.
class CHyperLink : public CStatic
{
    DECLARE_DYNAMIC(CHyperLink)
public:
    CHyperLink() = default;
    ~CHyperLink() override;

    void SetURL(LPCTSTR lpszURL);
    const CString& GetURL() const { return m_strURL; }
    void SetVisited(BOOL bVisited = TRUE);
    BOOL GetVisited() const { return m_bVisited; }
    // 1 always underlined, 0 never, -1 only while the cursor is over the link.
    void SetUnderline(int nUnderline);
    int GetUnderline() const { return m_nUnderline; }
    BOOL IsOver() const { return m_bOverControl; }
    HCURSOR GetLinkCursor() const { return m_hLinkCursor; }
    CToolTipCtrl& GetToolTip() { return m_ToolTip; }

    // Opens the URL: the shell's "open" first, else the command that opens ".htm" files. The result is
    // the shell's code (above 32 on success).
    static HINSTANCE GotoURL(LPCTSTR lpszURL, int nShowCmd);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL DestroyWindow() override;

    static const UINT_PTR kHoverTimerId = 100;

protected:
    void PreSubclassWindow() override;
    void PositionWindow();
    void LoadLinkCursor();
    void RepaintBelow();

    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnClicked();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    COLORREF m_crLinkColour = 0xEE0000;
    COLORREF m_crVisitedColour = 0x8B1A55;
    COLORREF m_crHoverColour = 0x0000FF;
    BOOL m_bOverControl = FALSE;
    BOOL m_bVisited = FALSE;
    int m_nUnderline = -1;
    BOOL m_bAdjustToFit = TRUE;
    CString m_strURL;
    CFont m_UnderlineFont;
    CFont m_StdFont;
    HCURSOR m_hLinkCursor = NULL;
    BOOL m_bOwnsCursor = FALSE; // a copy of the help program's cursor, not a shared system cursor
    CToolTipCtrl m_ToolTip;
    UINT_PTR m_nTimerID = kHoverTimerId;
};
