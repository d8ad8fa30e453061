// The command bars as the rest of the toolkit uses them: the frame's command-bars object, popup bars,
// toolbars, controls, the command bars' edit window and the process-wide paint manager. Until the
// command bars themselves are built these answer "no command bars": no paint manager is installed,
// no popup bar is created, the frame hooks handle nothing and the shortcut manager has no table.
// Everything that a bar supplies is virtual, so a bar (or a test's double) fills it in.
#pragma once

#include <afxwin.h>

class CXTPImageManager;
class CXTPCommandBars;
class CXTPCommandBar;
class CXTPControl;

// Sent to the frame when a control is executed; lParam points to an NMXTPCONTROL. A result of 0
// makes the control send an ordinary WM_COMMAND with its id.
#define XTP_WM_CONTROL_EXECUTED 0x2862
#define XTP_CN_EXECUTE 100

// {window 0, control id, XTP_CN_EXECUTE} and the control.
struct NMXTPCONTROL
{
    NMHDR hdr;
    CXTPControl* pControl;
};

// The bit of a bar's flags that says it is docked, and the layout flag of a bar that wraps.
#define XTP_BAR_FLAG_DOCKED 0x400000
#define XTP_LM_WRAP 0x80

class CXTPShortcutManager : public CCmdTarget
{
public:
    // The working accelerator table, or null when the manager holds none.
    virtual HACCEL GetDefaultAccelerator() const { return m_hAccelTable; }

protected:
    HACCEL m_hAccelTable = NULL;
};

class CXTPPaintManager : public CCmdTarget
{
public:
    CXTPPaintManager();
    ~CXTPPaintManager() override;

    // Creates the paint manager of a theme number and installs it process-wide; no theme is
    // available yet, so nothing is installed.
    static void AFXAPI SetTheme(int nTheme);
    // Installs a paint manager made elsewhere (owned from then on; null removes the current one).
    static void AFXAPI SetCustomTheme(CXTPPaintManager* pPaintManager);
    // The process-wide paint manager; null until one is installed.
    static CXTPPaintManager* AFXAPI Instance();

    // The regular text font of bars and controls.
    virtual CFont* GetRegularFont() { return &m_fontRegular; }

protected:
    CFont m_fontRegular;
};

class CXTPCommandBar : public CWnd
{
    DECLARE_DYNCREATE(CXTPCommandBar)
public:
    CXTPCommandBar();
    ~CXTPCommandBar() override;

    // Fills the bar's controls from the menu (emptied first when bRemoveControls); FALSE for a
    // handle that is not a menu.
    virtual BOOL LoadMenu(CMenu* pMenu, BOOL bRemoveControls = TRUE);
    // The bar's own images; the bar keeps the one reference it is given.
    virtual void SetImageManager(CXTPImageManager* pImageManager);
    CXTPImageManager* GetImageManager() const { return m_pImageManager; }

    CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }
    void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
    UINT GetBarID() const { return m_nBarID; }
    DWORD GetFlags() const { return m_dwFlags; }

protected:
    CXTPCommandBars* m_pCommandBars = NULL;
    CXTPImageManager* m_pImageManager = NULL;
    UINT m_nBarID = 0;
    DWORD m_dwFlags = 0;
};

class CXTPPopupBar : public CXTPCommandBar
{
    DECLARE_DYNCREATE(CXTPPopupBar)
public:
    // A popup bar of m_pPopupBarClass (reference-counted; the caller releases it with
    // InternalRelease); null while no popup-bar class is set.
    static CXTPPopupBar* AFXAPI CreatePopupBar(CXTPCommandBars* pCommandBars);
    static CRuntimeClass* m_pPopupBarClass;

    // Shows the bar at a point with TrackPopupMenu's flags; the chosen command with TPM_RETURNCMD,
    // else non-zero on success.
    virtual int Popup(UINT nFlags, int x, int y, CWnd* pOwner, LPCRECT lpRectExclude);
};

class CXTPToolBar : public CXTPCommandBar
{
    DECLARE_DYNCREATE(CXTPToolBar)
public:
    // The size in a layout of LM_* flags (XTP_LM_WRAP when the bar wraps its controls).
    virtual CSize CalcDynamicLayout(int nLength, DWORD dwMode);
    // Leaves the dock bar it is on and clears its dock link.
    virtual void RemoveFromDockBar();
};

class CXTPControl : public CCmdTarget
{
    DECLARE_DYNCREATE(CXTPControl)
public:
    CXTPControl() = default;

    int GetID() const { return m_nId; }
    void SetID(int nId) { m_nId = nId; }
    // The window that hears the control's commands.
    void SetSite(CWnd* pSite) { m_pSite = pSite; }
    virtual CWnd* GetSite() const;

    // XTP_WM_CONTROL_EXECUTED to the site; WM_COMMAND with the id when that answers 0.
    virtual void Execute();

protected:
    int m_nId = 0;
    CWnd* m_pSite = NULL;
};

// The edit window of the command bars' edit boxes: the frame lets it have every key but Enter, Tab
// and Escape before any accelerator.
class CXTPEdit : public CEdit
{
    DECLARE_DYNCREATE(CXTPEdit)
};

class CXTPCommandBars : public CCmdTarget
{
    DECLARE_DYNCREATE(CXTPCommandBars)
public:
    CXTPCommandBars();
    ~CXTPCommandBars() override;

    virtual CXTPShortcutManager* GetShortcutManager() { return &m_shortcutManager; }
    // TRUE when the bars handled the frame's message; the result then stands in *pResult.
    virtual BOOL OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnSetPreviewMode(BOOL bPreview);
    virtual BOOL PreTranslateFrameMessage(MSG* pMsg);

    // Shows a popup bar (see CXTPPopupBar::Popup); 0 without a bar.
    static int AFXAPI TrackPopupBar(CXTPPopupBar* pPopupBar, UINT nFlags, int x, int y, CWnd* pOwner,
                                    LPCRECT lpRectExclude = NULL);

protected:
    CXTPShortcutManager m_shortcutManager;
};
