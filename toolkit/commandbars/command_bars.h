// The command bars of a frame: the manager that owns the bars, the four dock bars, the options,
// the shortcut manager and the tooltip controller, hands frame messages to the bars, turns Alt and
// access keys into menu tracking and keeps the bars' command states up to date at idle time. This
// header brings in every class of the command bars, so callers include it alone.
#pragma once

#include <afxwin.h>

#include "command_bar.h"
#include "command_bars_options.h"
#include "controls.h"
#include "customize/customize_drop_source.h"
#include "hook_managers.h"
#include "list_item_controls.h"
#include "menu_sound.h"
#include "shadow_manager.h"
#include "shortcut_manager.h"
#include "themes/paint_manager.h"
#include "themes/paint_theme_default.h"
#include "themes/paint_theme_gradient.h"
#include "themes/paint_theme_visual_style.h"
#include "tool_bar.h"
#include "tooltip_controller.h"

#include <set>
#include <vector>

class CXTPImageManager;
class CXTLayoutProfile;
struct CXTPBarPlacementInfo;

// Messages the bars send to their frame.
#define XTP_WM_COMMANDBARS_SHOWHIDE 0x2855
#define XTP_WM_CONTROL_SELECTED 0x2856
#define XTP_WM_DRAGCONTROL_CHANGED 0x2857
#define XTP_WM_TRACKING_MENUBAR 0x2858
#define XTP_WM_CONTROL_RCLICK 0x2859
#define XTP_WM_COMMANDBARS_KEYDOWN 0x285A
#define XTP_WM_TOOLBAR_CONTEXTMENU 0x285C
#define XTP_WM_BEFORE_CREATE_CONTROL 0x285E
#define XTP_WM_AFTER_CREATE_CONTROL 0x285F
#define XTP_WM_GET_MDI_ICON 0x2860
#define XTP_WM_CREATE_COMMANDBAR 0x2861
// Sent to the frame when a control is executed; lParam points to an NMXTPCONTROL. A result of 0
// makes the control send an ordinary WM_COMMAND with its id.
#define XTP_WM_CONTROL_EXECUTED 0x2862
#define XTP_CN_EXECUTE 100

// Timer a menu bar posts to itself to refresh its MDI buttons after MDI messages.
#define XTP_TID_MDI_REFRESH 12223

// Dock bar window ids.
#define XTP_IDW_DOCKBAR_TOP 59419
#define XTP_IDW_DOCKBAR_BOTTOM 59422
#define XTP_IDW_DOCKBAR_LEFT 59420
#define XTP_IDW_DOCKBAR_RIGHT 59421
#define XTP_ID_CUSTOMIZE 35001

// {window 0, control id, XTP_CN_EXECUTE} and the control.
struct NMXTPCONTROL
{
    NMHDR hdr;
    CXTPControl* pControl;
};

// The record of message 0x2861: the frame may put a bar of its own into pCommandBar.
struct XTP_COMMANDBARS_CREATEBAR
{
    CXTPCommandBar* pCommandBar;
    BOOL bPopup;
    BOOL bReserved;
    BOOL bToolBar;
    BOOL bFloating;
    LPCTSTR lpcstrCaption;
    UINT nID;
};

class CXTPCustomizeSheet;
class CXTPCommandBars : public CCmdTarget
{
    DECLARE_DYNCREATE(CXTPCommandBars)
public:
    CXTPCommandBars();
    ~CXTPCommandBars() override;

    // What the frame calls at creation, in this order.
    void AttachFrame(CWnd* pFrame);
    // The four dock bars; a failure throws the resource exception.
    void CreateDockBars();
    CXTPMenuBar* CreateMenuBar(LPCTSTR lpszName, UINT nMenuId);
    CXTPToolBar* Add(LPCTSTR lpszName, int barPosition, CRuntimeClass* pToolbarClass = NULL);
    void HideCommands(const UINT* pCommands, int nCount);

    virtual CXTPShortcutManager* GetShortcutManager() { return &m_shortcutManager; }
    // TRUE when the bars handled the frame's message; the result then stands in *pResult.
    virtual BOOL OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnSetPreviewMode(BOOL bPreview);
    virtual BOOL PreTranslateFrameMessage(MSG* pMsg);
    // The user's options under "<profile>-Options" of the application's registry key.
    void SaveOptions(LPCTSTR lpszProfileName);
    void LoadOptions(LPCTSTR lpszProfileName);
    // The bars' arrangement under "<profile>-Summary", "-Bar%d" and "-DockBar%d" of the application's
    // registry key, and, when the frame handles the customise command, their controls under
    // "-Controls". The frame saves at close and loads while it is created.
    void SaveLayout(LPCTSTR lpszProfileName, BOOL bSaveOnlyCustomized = TRUE);
    void LoadLayout(LPCTSTR lpszProfileName, BOOL bKeepCurrentToolbars = FALSE);
    // The layout's archive of bars: section "CommandBars", then per bar its class record and keys.
    // Loading gives FALSE when a bar's class cannot be made; the list holds one reference a bar.
    virtual BOOL SaveCommandBarList(CXTPPropExchange* pPX, CXTPCommandBarList* pList);
    virtual BOOL LoadCommandBarList(CXTPPropExchange* pPX, CXTPCommandBarList* pList);
    virtual void GenerateCommandBarList(CXTPCommandBarList* pList, CXTPCommandBarsExchangeParam* pParam);
    // Merges loaded toolbars into the bars; asks the user about a built-in toolbar that changed.
    virtual void RestoreCommandBarList(CXTPCommandBarList* pList, BOOL bKeepCurrentToolbars);
    // The file of an archive too large for the registry; empty: one in the application-data folder.
    CString m_strControlsFileName;

    virtual BOOL IsCommandHidden(UINT nId) const;
    virtual BOOL IsControlHidden(CXTPControl* pControl) const;
    virtual UINT GetActiveDocTemplate() const;
    virtual void OnTrackingModeChanged(CXTPCommandBar* pBar, int nMode);
    // The toolbar list at a screen point (message 0x285C lets the frame change it first); tracked
    // modally, released in every case. Nothing while customising.
    virtual void ShowContextMenu(CXTPCommandBar* pBar, CPoint point);
    // A new popup bar (one reference for the caller) listing the toolbars and the customise item.
    virtual CXTPPopupBar* GetToolbarsPopup();
    // Clones into the popup every control of the bar's dock row that did not fit.
    virtual void FillHiddenControls(CXTPCommandBar* pBar, CXTPPopupBar* pPopup);
    // One "show or hide buttons" submenu per bar of the row, then the customise item when handled.
    virtual void FillCustomizeItems(CXTPCommandBar* pBar, CXTPPopupBar* pPopup);

    // Shows a popup bar (see CXTPPopupBar::Popup); 0 without a bar.
    static int AFXAPI TrackPopupBar(CXTPPopupBar* pPopupBar, UINT nFlags, int x, int y, CWnd* pOwner,
                                    LPCRECT lpRectExclude = NULL);
    // Loads the menu into a new popup bar of these command bars, tracks it and releases it.
    int TrackContextMenu(CMenu* pMenu, UINT nFlags, int x, int y, LPCRECT lpRectExclude = NULL);

    CWnd* GetSite() const { return m_pFrame; }
    CXTPMenuBar* GetMenuBar() const { return m_pMenuBar; }
    CXTPCommandBarsOptions* GetCommandBarsOptions() const { return m_pOptions; }
    CXTPToolTipController* GetToolTipController() const { return m_pToolTipController; }
    CXTPPaintManagerCore* GetPaintManager() const;
    void SetPaintManager(CXTPPaintManagerCore* pPaintManager);
    CXTPImageManager* GetImageManager() const;
    int GetCount() const { return static_cast<int>(m_arrBars.size()); }
    CXTPCommandBar* GetAt(int nIndex) const;
    CXTPCommandBar* FindBar(UINT nId) const;
    int FindIndex(CXTPCommandBar* pBar) const;
    CXTPDockBar* GetDockBar(int nPosition) const;
    void Remove(CXTPCommandBar* pBar);
    void DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect, CXTPDockBar* pDockBar);
    BOOL DockCommandBar(CXTPToolBar* pBar, XTPBarPosition barPosition);
    BOOL FloatCommandBar(CXTPToolBar* pBar);
    CXTPDockBar* CanDock(CPoint pt, CXTPDockBar* pMainDock = NULL) const;
    void RecalcFrameLayout(BOOL bDelay = FALSE);
    void RedrawCommandBars();
    void RecalcAllLayouts();
    // Ends the tracking of every bar of the thread.
    void ClosePopups() const;
    BOOL IsCustomizeMode() const { return m_bCustomizeMode; }
    // Customise mode: the options count as changed, the drag control is dropped and the keyboard
    // cues show; the frame refuses WM_CLOSE meanwhile.
    void SetCustomizeMode(BOOL bMode);
    // The control selected for editing in customise mode (one reference held); the open customise
    // sheet, else the frame, hears of each change (0x2857).
    void SetDragControl(CXTPControl* pControl);
    CXTPControl* GetDragControl() const { return m_pDragControl; }
    // The customise sheet while it is open; a right click on a control opens its context menu.
    void SetCustomizeSheet(CXTPCustomizeSheet* pSheet) { m_pCustomizeSheet = pSheet; }
    CXTPCustomizeSheet* GetCustomizeSheet() const { return m_pCustomizeSheet; }
    BOOL IsLayoutLocked() const { return m_bRecalcLayout; }
    BOOL IsCustomizeCommandHandled() const { return m_bCustomizeAvail; }
    BOOL IsRightToLeft() const { return m_bRightToLeft; }
    // Shows or hides the cues while they follow the keyboard; otherwise the options decide.
    void SetKeyboardCuesShown(BOOL bShow);
    // The options' choice: whether cues follow the keyboard, and whether they show now.
    void SetKeyboardCuesOption(BOOL bFollowKeyboard, BOOL bShow);
    BOOL IsKeyboardCuesShown() const { return m_bKeyboardCuesVisible; }
    void HideCommand(UINT nId);
    void SetCommandUsed(UINT nId);
    void ResetUsageData();
    // The control of an access key across the bars (menu bar first); its bar and whether the key
    // was ambiguous.
    CXTPControl* FindAccelerator(UINT chAccel, CXTPCommandBar*& pBar, BOOL& bAmbiguous) const;
    BOOL OnFrameAccel(UINT nChar);

    // Cues hidden until the keyboard is used.
    BOOL m_bKeyboardCuesFollowKeyboard = FALSE;
    BOOL m_bIgnoreShiftMenuKey = FALSE;

    // The customise drag of controls, with every bar of this manager as a target.
    CXTPCustomizeDropSource* GetDropSource() const { return m_pDropSource; }

protected:
    void AddBar(CXTPCommandBar* pBar);
    // The layout's parts that reach into the bars and dock bars.
    void SaveDockBarRows(LPCTSTR lpszProfileName);
    void LoadDockBarRows(LPCTSTR lpszProfileName, CXTLayoutProfile& profile);
    void ApplyPlacement(const CXTPBarPlacementInfo& info);
    void SaveControlsLayout(LPCTSTR lpszProfileName, BOOL bSaveOnlyCustomized);
    void LoadControlsLayout(LPCTSTR lpszProfileName, BOOL bKeepCurrentToolbars);
    CString GetControlsFileName(LPCTSTR lpszProfileName) const;

    BOOL m_bCustomizeMode = FALSE;
    BOOL m_bCustomizeAvail = FALSE;
    CXTPControl* m_pDragControl = NULL;
    CXTPCustomizeSheet* m_pCustomizeSheet = NULL;
    UINT m_nMenuId = 0;
    BOOL m_bCustomizeModeRequested = FALSE;
    CXTPCommandBarsOptions* m_pOptions = NULL;
    CXTPPaintManagerCore* m_pPaintManager = NULL;
    CXTPImageManager* m_pImageManager = NULL;
    std::vector<CXTPCommandBar*> m_arrBars;
    CXTPDockBar* m_pDocks[4] = {NULL, NULL, NULL, NULL};
    CWnd* m_pFrame = NULL;
    CXTPMenuBar* m_pMenuBar = NULL;
    CXTPToolTipController* m_pToolTipController = NULL;
    BOOL m_bKeyboardCuesVisible = TRUE;
    CXTPShortcutManager m_shortcutManager;
    BOOL m_bRecalcLayout = FALSE;
    BOOL m_bRightToLeft = FALSE;
    CXTPCustomizeDropSource* m_pDropSource = NULL;

    friend class CXTPDockBar;
};
