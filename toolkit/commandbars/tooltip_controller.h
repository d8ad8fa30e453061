// Tooltips of the toolkit's owner windows (command bars, docking panes, task panel): the controller
// that asks the owner's tool hit test and keeps one tooltip window and its current tool, and the
// tooltip windows it makes: the common-controls tooltip, the toolkit's drawn window, the drawn window
// in the colours of the colour scheme, and the rich-text window.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include <vector>

class CXTPToolTipController;

// Sent to a child window: 1 when the parent's tooltips apply to it.
#define XTP_WM_TOOLTIP_CHECK 10824

// Kinds of tooltip window (CXTPToolTipController::SetStyle).
enum XTPToolTipStyle
{
    xtpToolTipStandard = 0,
    xtpToolTipBalloon = 1,
    xtpToolTipOffice = 2,
    xtpToolTipRTF = 3,
    xtpToolTipLuna = 4,
};

// The title and description a hit test hands over through the tool record's lParam (the record of
// the size with lParam); the controller frees both.
struct XTP_TOOLTIP_CONTEXT
{
    LPWSTR lpszDescription;
    LPWSTR lpszTitle;
};

// The common-controls tooltip, which takes a parent window for a child that asks for its tooltips.
class CXTPToolTipCtrl : public CToolTipCtrl
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The toolkit's drawn tooltip window.
class CXTPToolTipWnd : public CWnd
{
public:
    explicit CXTPToolTipWnd(CXTPToolTipController* pController);
    ~CXTPToolTipWnd() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle);

    struct Tool
    {
        HWND hwnd = NULL;
        UINT_PTR uId = static_cast<UINT_PTR>(-1);
        UINT uFlags = 0;
        CRect rect;
        CString strText;
        BOOL bCallback = FALSE;
        BOOL IsSame(const Tool& other) const { return hwnd == other.hwnd && uId == other.uId; }
        BOOL IsNone() const { return hwnd == NULL && uId == static_cast<UINT_PTR>(-1); }
    };

    // The tool now shown (none: window 0, id -1), and the size a text of the window needs.
    const Tool& GetShownTool() const { return m_shown; }
    const Tool& GetPressedTool() const { return m_pressed; }
    const Tool& GetPendingTool() const { return m_pending; }
    int GetToolCount() const { return static_cast<int>(m_tools.size()); }
    CString GetTitle() const { return m_strTitle; }
    BOOL IsActive() const { return m_bActive; }
    // The text the tool shows (a callback text asked of its window's parent).
    CString GetToolText(const Tool& tool);

    DWORD m_nInitialDelay = 500;
    DWORD m_nReshowDelay = 200;

protected:
    virtual CSize CalcToolSize(const CString& strText);
    virtual void DrawBackground(CDC* pDC, CRect rect);
    virtual void DrawContent(CDC* pDC, CRect rect);
    // A rich-text window measures its text when it is shown.
    virtual void OnBeforeShow(const CString& /*strText*/) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void RelayEvent(const MSG* pMsg);
    // The tool under the cursor, or none.
    Tool FindToolUnderCursor() const;
    void ShowTool(const Tool& tool);
    void HideTip();
    void SetMouseHook(BOOL bHook);
    static LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam);

    CXTPToolTipController* m_pController;
    std::vector<Tool> m_tools;
    BOOL m_bActive = FALSE;
    Tool m_shown;
    Tool m_pressed;
    Tool m_pending;
    CFont m_font;
    UINT_PTR m_nTimer = 0;
    DWORD m_dwLastChange = 0;
    CString m_strTitle;
    CString m_strShownText;
};

// Drawn in the colours of the current colour scheme.
class CXTPToolTipSchemeWnd : public CXTPToolTipWnd
{
public:
    using CXTPToolTipWnd::CXTPToolTipWnd;

protected:
    void DrawBackground(CDC* pDC, CRect rect) override;
};

// Shows its text as RTF (else plain text) through a read-only rich-edit child.
class CXTPToolTipRichWnd : public CXTPToolTipWnd
{
public:
    using CXTPToolTipWnd::CXTPToolTipWnd;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle);

protected:
    CSize CalcToolSize(const CString& strText) override;
    void DrawContent(CDC* pDC, CRect rect) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CRichEditCtrl m_wndRichEdit;
    CSize m_szRequested = CSize(0, 0);
};

class CXTPToolTipController : public CCmdTarget
{
public:
    CXTPToolTipController();
    ~CXTPToolTipController() override;

    // The kind of tooltip window (XTPToolTipStyle) and the initial delay (-1 keeps the system's).
    void SetStyle(int nStyle, int nShowDelay = -1);
    int GetStyle() const { return m_nStyle; }
    // Removes and adds tooltip window style bits; a change makes the next tip a new window.
    void ModifyToolTipStyle(DWORD dwRemove, DWORD dwAdd);
    DWORD GetToolTipStyle() const { return m_dwToolTipStyle; }
    void ShowTitleAndDescription(BOOL bShowTitle, int nTitleIcon = 1);
    void SetMargin(const CRect& rcMargin) { m_rcMargin = rcMargin; }
    CRect GetMargin() const { return m_rcMargin; }
    void SetMaxTipWidth(int nWidth) { m_nMaxTipWidth = nWidth; }
    int GetMaxTipWidth() const { return m_nMaxTipWidth; }
    void SetDelayTime(DWORD dwDuration, int nTime);
    void SetTipBkColor(COLORREF clr) { m_clrBack = clr; }
    void SetTipTextColor(COLORREF clr) { m_clrText = clr; }
    // -1 takes the colour table's tooltip colours.
    COLORREF GetTipBkColor() const;
    COLORREF GetTipTextColor() const;
    DWORD GetComCtlVersion() const { return m_dwComCtlVersion; }

    // The whole tooltip logic for one message of the owner (or, from relay, of any window).
    void FilterToolTipMessage(CWnd* pOwner, MSG* pMsg, BOOL bFromRelay = FALSE);
    void FilterToolTipMessage(CWnd* pOwner, UINT message, WPARAM wParam, LPARAM lParam);
    // A message of the owner's window with the cursor position, as if relayed.
    void RelayToolTipMessage(CWnd* pOwner, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual CWnd* CreateToolTip(CWnd* pParentWnd);
    void CancelToolTips();
    CWnd* GetToolTip() const { return m_pToolTip; }
    void DestroyToolTip();

    // Fills a tool record from a hit test: the text (and, for the record with lParam, a title and a
    // description) in blocks the controller frees.
    static void AFXAPI FillToolInfo(TOOLINFO* pTI, HWND hWnd, CRect rect, UINT_PTR nID,
                                    const CString& strText, const CString& strTitle = CString(),
                                    const CString& strDescription = CString());
    // Frees what FillToolInfo allocated (not a callback text nor a resource string).
    static void AFXAPI FreeToolInfo(TOOLINFO* pTI);

    int m_nStyle = xtpToolTipStandard;
    // The initial delay; -1 keeps the system's.
    int m_nShowDelay = -1;

protected:
    void RelayToTip(const MSG* pMsg);
    void InitToolTip();
    BOOL SupportsTitle() const;

    BOOL m_bShowTitle = FALSE;
    DWORD m_dwComCtlVersion = 0;
    int m_nTitleIcon = 1;
    int m_nMaxTipWidth = 0;
    DWORD m_dwToolTipStyle = 2;
    CRect m_rcMargin = CRect(0, 0, 0, 0);
    int m_nReshowDelay = -1;
    int m_nAutoPopDelay = -1;
    CWnd* m_pToolTip = NULL;
    HWND m_hwndToolTipOwner = NULL;
    TOOLINFO m_lastInfo{};
    COLORREF m_clrBack = static_cast<COLORREF>(-1);
    COLORREF m_clrText = static_cast<COLORREF>(-1);
};
