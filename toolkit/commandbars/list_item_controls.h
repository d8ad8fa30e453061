// Menu entries that stand for a list changing at run time: the open MDI windows, the toolbars, the
// recent files, the OLE verbs and the tab-group actions. Each hides itself when its menu is laid
// out and inserts one temporary item per entry right after itself, removing those it inserted the
// time before. A grid selector and a text label complete the family.
#pragma once

#include "commandbars_resource_ids.h"
#include "controls.h"

#define XTP_ID_WINDOWLIST 35000
#define XTP_ID_WORKSPACE_ACTIONS 35002
#define XTP_ID_FILE_MRU 35003
#define XTP_ID_TOOLBARLIST 59392
#define XTP_ID_FILE_MRU_FIRST 57616

// "&1 name" for n = 1 to 9, "1&0 name" for 10, "11 name" beyond; every "&" of the name doubled.
CString AFXAPI XTPNumberedCaption(int n, const CString& strName);
// The list control a command id stands for (bMenu: the id came from a menu item), else a button.
CXTPControl* AFXAPI XTPCreateButtonForId(int nId, BOOL bMenu);

class CXTPControlWindowList : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlWindowList)
public:
    void OnCalcDynamicSize(DWORD dwMode) override;
};

class CXTPControlToolbars : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlToolbars)
public:
    void OnCalcDynamicSize(DWORD dwMode) override;
    // Inserts one check item per listed toolbar at nInsert (and the customise item when asked and
    // handled); the index after the last inserted item.
    static int AFXAPI CreateToolbarMenu(CXTPCommandBar* pPopupBar, int nInsert, int nID,
                                        BOOL bAddCustomizeItem);
};

// One toolbar of the toolbar list: its tag is the toolbar's index in the command bars.
class CXTPControlToolbar : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlToolbar)
public:
    void Execute() override;
};

class CXTPControlRecentFileList : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlRecentFileList)
public:
    CXTPControlRecentFileList();
    void OnCalcDynamicSize(DWORD dwMode) override;
};

class CXTPControlWorkspaceActions : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlWorkspaceActions)
public:
    void OnCalcDynamicSize(DWORD dwMode) override;
};

// A grid of cells of m_szItem; the grid shown grows towards m_szItemsMax as the mouse moves over
// its edge, and the block from the first cell to the hovered one is highlighted.
class CXTPControlSelector : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlSelector)
public:
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    // The cell (columns and rows counted from 1) under a point of the bar; 0 x 0 outside.
    CSize HitTestCell(CPoint point) const;
    // Follows the mouse: the hovered block, and a grid grown to hold it plus one.
    void TrackCell(CPoint point);
    CSize GetHovered() const { return m_szHovered; }
    CSize GetShown() const { return m_szShown; }

    CSize m_szItemsCount = CSize(5, 4);
    CSize m_szItemsMax = CSize(12, 12);
    CSize m_szItem = CSize(28, 28);

protected:
    CSize m_szShown = CSize(5, 4);
    CSize m_szHovered = CSize(0, 0);
};

class CXTPControlLabel : public CXTPControl
{
    DECLARE_DYNCREATE(CXTPControlLabel)
public:
    CXTPControlLabel();
    void OnClick(BOOL /*bKeyboard*/ = FALSE, CPoint /*pt*/ = CPoint(0, 0)) override {}
};

// An item of a toolbar's "Add or Remove Buttons" list: checked while the button it stands for (its
// tag's index in that bar) is not hidden by the user; executing it shows or hides that button.
class CXTPControlShowHideButton : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlShowHideButton)
public:
    void Execute() override;
    CXTPCommandBar* m_pTargetBar = NULL;
};

// The toolbar's "Reset" item of that list.
class CXTPControlResetBar : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlResetBar)
public:
    void Execute() override;
    CXTPCommandBar* m_pTargetBar = NULL;
};
