// A toolbar that hosts one window of the application under a caption (title, optional drop-down
// menu, close button). Its size is the hosted window's plus margins and caption; the borders resize
// it freely, and it keeps one client size while docked and another while floating.
#pragma once

#include <afxwin.h>

#include "tool_bar.h"

// The caption's control and the close button of a dialog bar.
const UINT XTP_ID_DIALOGBAR_CAPTION = 9399;
const UINT XTP_ID_DIALOGBAR_CLOSE = 9401;

class CXTPDialogBar : public CXTPToolBar
{
    DECLARE_DYNCREATE(CXTPDialogBar)
public:
    CXTPDialogBar();
    ~CXTPDialogBar() override;

    // The hosted window (a child of the bar); the bar only places it.
    void SetChild(CWnd* pChildWnd);
    HWND GetChildHwnd() const { return m_hwndChild; }
    void SetCaption(LPCTSTR lpszCaption);
    const CString& GetCaption() const { return m_strCaption; }
    // The drop-down menu of the caption (owned by the bar).
    CXTPPopupBar* GetCaptionPopupBar() const { return m_pPopupBar; }
    void SetResizable(BOOL bResizable) { m_bResizable = bResizable; }
    void ShowCaption(BOOL bShow) { m_bShowCaption = bShow; }
    void ShowCaptionMenu(BOOL bShow) { m_bCaptionMenu = bShow; }
    CSize GetDockingClientSize() const { return m_szDockingClient; }
    CSize GetFloatingClientSize() const { return m_szFloatingClient; }
    // Sizes read from a stored layout are data: kept within 0 to 32000.
    void SetDockingClientSize(CSize size) { m_szDockingClient = ClampClientSize(size); }
    void SetFloatingClientSize(CSize size) { m_szFloatingClient = ClampClientSize(size); }
    // Margins around the client, the caption height added to the top.
    CRect GetClientMargins() const;
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    BOOL IsResizable() const { return m_bResizable; }

    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    CSize CalcDockingLayout(int nLength, DWORD dwMode, int nWidth = 0) override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    // The drag tracker's resize to a window rectangle (screen) by a border's hit code; a client
    // below the minimum is refused.
    virtual void ResizeTo(CRect rect, int nHitCode);
    // The hit code for a screen point on the borders; 0 when the base answer holds.
    int HitTestBorder(CPoint point) const;

protected:
    static CSize ClampClientSize(CSize size)
    {
        return CSize(size.cx < 0       ? 0
                     : size.cx > 32000 ? 32000
                                       : size.cx,
                     size.cy < 0       ? 0
                     : size.cy > 32000 ? 32000
                                       : size.cy);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CSize CalcSize(int nLength, DWORD dwMode, CSize szClient);
    void PlaceChild();

    CRect m_rcMargins = CRect(3, 3, 3, 3);
    BOOL m_bResizable = TRUE;
    CSize m_szMinClient = CSize(50, 50);
    BOOL m_bShowCaption = TRUE;
    BOOL m_bCaptionMenu = TRUE;
    int m_nCaptionHeight = 0;
    CSize m_szDockingClient = CSize(200, 200);
    CSize m_szFloatingClient = CSize(200, 200);
    HWND m_hwndChild = NULL;
    CString m_strCaption;
    CXTPPopupBar* m_pPopupBar = NULL;
};

// The caption's drop-down menu: it opens below the caption, its right edge at the caption's right
// end.
class CXTPDialogBarPopupBar : public CXTPPopupBar
{
    DECLARE_DYNCREATE(CXTPDialogBarPopupBar)
public:
    void UpdateLocation() override;
};

// The caption of a dialog bar: its text, and a triangle when it offers the menu.
class CXTPDialogBarCaption : public CXTPControlPopup
{
    DECLARE_DYNCREATE(CXTPDialogBarCaption)
public:
    void Draw(CDC* pDC) override;
    BOOL m_bMenu = FALSE;
};

// The close button of a dialog bar: a Marlett glyph; hides the bar.
class CXTPDialogBarCloseButton : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPDialogBarCloseButton)
public:
    void Draw(CDC* pDC) override;
    void Execute() override;
};
