// The frame-window base of the program's main frame: a CFrameWnd (or, for an MDI frame, a
// CMDIFrameWnd) that routes keyboard pre-translation, its messages, print-preview changes and the
// controls' executed message through the frame's command bars; and the edit and static with a
// one-pixel border that the frame holds.
#pragma once

#include <afxwin.h>

#include "command_bars.h"

// The layer under CXTPFrameWnd and CXTPMDIFrameWnd; it has no run-time class of its own, so either
// frame keeps the framework frame it stands on as its base class record.
template <class TFrame> class CXTPFrameWndBase : public TFrame
{
public:
    CXTPFrameWndBase() = default;
    // Releases the command bars (once).
    ~CXTPFrameWndBase() override;

    // Keys for a focused command-bar edit other than Enter, Tab and Escape pass untouched; then the
    // frame's own translation; then the command bars'.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The command bars see every message first; XTP_WM_CONTROL_EXECUTED is routed as a command
    // notification of the control's id.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // With command bars whose shortcut manager holds a table, the frame's own table is dropped so
    // that the manager alone translates accelerators.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL) override;
    // The command bars hide (or show again) before the framework switches.
    void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) override;

    CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }

    // Made by the main frame's OnCreate; owned by the frame.
    CXTPCommandBars* m_pCommandBars = NULL;
};

extern template class CXTPFrameWndBase<CFrameWnd>;
extern template class CXTPFrameWndBase<CMDIFrameWnd>;

class CXTPFrameWnd : public CXTPFrameWndBase<CFrameWnd>
{
    DECLARE_DYNCREATE(CXTPFrameWnd)
public:
    CXTPFrameWnd() = default;

    // Under a menu bar the frame shows no window menu, whatever document is active.
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;
};

class CXTPMDIFrameWnd : public CXTPFrameWndBase<CMDIFrameWnd>
{
    DECLARE_DYNCREATE(CXTPMDIFrameWnd)
public:
    CXTPMDIFrameWnd() = default;

    // The tab groups' commands go to the tab client attached to the MDI client: it enables them and
    // carries them out.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
};

// One-pixel border in colour 52 and the command bars' regular font (DEFAULT_GUI_FONT without a
// paint manager).
LRESULT AFXAPI ThinBorderWindowProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL* pHandled);

class CThinBorderEdit : public CEdit
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CThinBorderStatic : public CStatic
{
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
