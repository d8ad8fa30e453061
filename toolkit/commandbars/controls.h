// The items of a command bar: the control base, buttons and popups, and the ordered collection of a
// bar's controls with its row layout (wrapping, right alignment, stretching).
#pragma once

#include <afxext.h>
#include <afxwin.h>

#include "accessible_base.h"

#include <set>
#include <vector>

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControl;
class CXTPControls;
class CXTPImageManager;
class CXTPImageManagerIcon;
class CXTPPaintManagerCore;
class CXTPPropExchange;

enum XTPBarPosition
{
    xtpBarTop = 0,
    xtpBarBottom = 1,
    xtpBarLeft = 2,
    xtpBarRight = 3,
    xtpBarFloating = 4,
    xtpBarPopup = 5,
    xtpBarNone = 7,
};

enum XTPBarType
{
    xtpBarTypeMenuBar = 0,
    xtpBarTypeNormal = 1,
    xtpBarTypePopup = 2,
    // The drop-down list of a combo box: a popup whose window is a list box.
    xtpBarTypeListBox = 6,
};

enum XTPControlType
{
    xtpControlError = 0,
    xtpControlButton = 1,
    xtpControlPopup = 2,
    xtpControlButtonPopup = 3,
    xtpControlSplitButtonPopup = 4,
    xtpControlComboBox = 5,
    xtpControlEdit = 6,
    xtpControlCustom = 7,
    xtpControlLabel = 8,
};

// Reasons for a control to be hidden; 0 is visible.
enum XTPControlHideFlags
{
    xtpNoHide = 0,
    xtpHideGeneric = 1,
    xtpHideWrap = 2,
    xtpHideDockingPosition = 8,
    xtpHideCustomize = 16,
    xtpHideExpand = 32,
    xtpHideDocTemplate = 64,
};

// Layout and behaviour bits of a control.
enum XTPControlFlags
{
    xtpFlagRightAlign = 1,
    xtpFlagSkipFocus = 2,
    xtpFlagManualUpdate = 8,
    xtpFlagNoMovable = 16,
    xtpFlagControlStretched = 32,
};

// Command ids with fixed meanings.
#define XTP_ID_TOOLBAR_EXPAND 9400
#define XTP_ID_TOOLBAR_HIDE 9401
#define XTP_ID_MENUBAR_CLOSE 9403
#define XTP_ID_MENUBAR_RESTORE 9404
#define XTP_ID_MENUBAR_MINIMIZE 9405
#define XTP_ID_MENUBAR_SYSMENU 9406
#define XTP_ID_OLE_VERBS 57872

// The layout-mode bit of a bar that may shrink, and the one of popup bars.
#define XTP_LM_SHRINK 0x80
#define XTP_LM_POPUP 0x100

// Record of message 0x285E/0x285F: the menu item or toolbar button that becomes a control. The
// frame may put its own control into pControl (it is used as it is, one reference passing).
struct XTP_COMMANDBARS_CREATECONTROL
{
    HMENU hMenu;
    UINT nIndex;
    CString strCaption;
    XTPControlType controlType;
    UINT nID;
    BOOL bToolBar;
    BOOL bBeginGroup;
    CXTPCommandBar* pCommandBar;
    CXTPControl* pControl;
    CString strParameter;
};

class CXTPControl : public CCmdTarget, public CXTAccessibleBase
{
    DECLARE_DYNCREATE(CXTPControl)
    DECLARE_INTERFACE_MAP()
public:
    CXTPControl();
    ~CXTPControl() override;

    // The id and, when its string exists, description and tooltip (split at "\n"); an empty caption
    // takes the tooltip.
    void SetID(int nId);
    int GetID() const { return m_nId; }
    // Text after a tab becomes the shortcut text.
    void SetCaption(LPCTSTR lpszCaption);
    CString GetCaption() const { return m_strCustomCaption.IsEmpty() ? m_strCaption : m_strCustomCaption; }
    CString GetShortcutText() const { return m_strShortcutText; }
    void SetShortcutText(LPCTSTR lpszText) { m_strShortcutText = lpszText; }
    void SetTooltip(LPCTSTR lpszText) { m_strTooltip = lpszText; }
    void SetDescription(LPCTSTR lpszText) { m_strDescription = lpszText; }
    CString GetParameter() const { return m_strParameter; }
    // The group the customise sheet lists the command under.
    CString GetCategory() const { return m_strCategory; }
    void SetCategory(LPCTSTR lpszCategory) { m_strCategory = lpszCategory; }
    void SetParameter(LPCTSTR lpszText) { m_strParameter = lpszText; }
    int GetIconId() const
    {
        return m_nCustomIconId != 0 ? m_nCustomIconId : m_nIconId > 0 ? m_nIconId : m_nId;
    }
    void SetIconId(int nId) { m_nIconId = nId; }
    // What the user changed in customise mode: an own icon, caption and style (0 for none).
    int GetCustomIconId() const { return m_nCustomIconId; }
    void SetCustomIconId(int nId) { m_nCustomIconId = nId; }
    CString GetCustomCaption() const { return m_strCustomCaption; }
    void SetCustomCaption(LPCTSTR lpszCaption) { m_strCustomCaption = lpszCaption; }
    XTPControlType GetType() const { return m_controlType; }
    void SetType(XTPControlType type) { m_controlType = type; }
    DWORD GetFlags() const { return m_dwFlags; }
    void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
    DWORD GetHideFlags() const { return m_dwHideFlags; }
    BOOL IsVisible() const { return m_dwHideFlags == xtpNoHide; }
    BOOL IsTemporary() const { return m_bTemporary; }
    void SetTemporary(BOOL bTemporary) { m_bTemporary = bTemporary; }
    BOOL GetBeginGroup() const { return m_bBeginGroup; }
    BOOL GetEnabled() const { return m_bEnabled; }
    BOOL GetChecked() const { return m_bChecked; }
    void SetChecked(BOOL bChecked);
    int GetPressed() const { return m_nPressed; }
    void SetPressed(int nPressed) { m_nPressed = nPressed; }
    BOOL GetWrap() const { return m_bWrap; }
    void SetWrap(BOOL bWrap) { m_bWrap = bWrap; }
    CRect GetRect() const { return m_rcControl; }
    CRect GetRowRect() const { return m_rcRow; }
    void SetRowRect(const CRect& rect) { m_rcRow = rect; }
    int GetIndex() const { return m_nIndex; }
    CXTPCommandBar* GetParent() const { return m_pParent; }
    CXTPControls* GetControls() const { return m_pControls; }
    BOOL IsDefaultItem() const { return m_bDefaultItem; }
    void SetItemDefault(BOOL bDefault) { m_bDefaultItem = bDefault; }
    int GetStyle() const { return m_nCustomStyle != 0 ? m_nCustomStyle : m_nStyle; }
    void SetStyle(int nStyle) { m_nStyle = nStyle; }
    void SetCloseSubMenuOnClick(BOOL bClose) { m_bCloseSubMenuOnClick = bClose; }
    void SetExpanded(BOOL bExpanded);
    DWORD m_dwTag = 0;
    // Document templates (their resource ids) for which the control shows, or hides; empty sets
    // leave it alone.
    void AssignDocTemplate(UINT nIDResource) { m_setDocTemplatesAssigned.insert(nIDResource); }
    void ExcludeDocTemplate(UINT nIDResource) { m_setDocTemplatesExcluded.insert(nIDResource); }
    const std::set<UINT>& GetDocTemplatesAssigned() const { return m_setDocTemplatesAssigned; }
    const std::set<UINT>& GetDocTemplatesExcluded() const { return m_setDocTemplatesExcluded; }

    // The window that hears the control's commands: the frame of the command bars, else the bar's
    // owner; SetSite names one for a control without a bar.
    void SetSite(CWnd* pSite) { m_pSite = pSite; }
    virtual CWnd* GetSite() const;
    CXTPCommandBars* GetCommandBars() const;
    CXTPImageManager* GetImageManager() const;
    CXTPPaintManagerCore* GetPaintManager() const;
    void RedrawParent();
    void DelayLayoutParent();
    BOOL IsCursorOver() const;
    // Message 0x2862 to the site with the execute record; its answer.
    LRESULT NotifyExecute(UINT nCode);

    virtual CString GetDescription() const { return m_strDescription; }
    virtual CString GetTooltip() const { return m_strTooltip; }
    virtual void SetBeginGroup(BOOL bBeginGroup);
    virtual void SetEnabled(BOOL bEnabled);
    virtual int GetSelected() const { return m_nSelected; }
    virtual void SetRect(CRect rcControl) { m_rcControl = rcControl; }
    virtual BOOL IsCaptionVisible() const;
    virtual BOOL IsEqual(CXTPControl* pOther) const;
    virtual void SetHideFlags(DWORD dwFlags) { m_dwHideFlags = dwFlags; }
    virtual void SetHideFlag(DWORD dwFlag, BOOL bSet);
    // Sends the command to the site (0x2862, then WM_COMMAND when unanswered) and ends the menus.
    virtual void Execute();
    virtual CSize GetSize(CDC* pDC);
    virtual void Draw(CDC* pDC);
    virtual void OnCalcDynamicSize(DWORD /*dwMode*/) {}
    virtual CXTPImageManagerIcon* GetImage(int nWidth = 16) const;
    virtual void OnUnderlineActivate() { Execute(); }
    virtual void SetParent(CXTPCommandBar* pParent) { m_pParent = pParent; }
    virtual void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE);
    virtual void OnClick(BOOL /*bKeyboard*/ = FALSE, CPoint /*pt*/ = CPoint(0, 0)) {}
    virtual BOOL OnLButtonUp(CPoint point);
    virtual void OnMouseRelease(CPoint) {}
    virtual void OnMouseHoverClose();
    virtual BOOL SetSelected(int bSelected);
    virtual CXTPControl* Clone(BOOL bRecursive = FALSE);
    virtual CXTPCommandBar* GetCommandBar() const { return NULL; }
    // Whether the control holds the keyboard (an edit field or combo box with the focus); the bar
    // then hands it each key first: 1 consumed, 2 passed on, 0 not handled.
    virtual BOOL IsFocused() const { return FALSE; }
    // Whether the control can take the keyboard when Tab makes it hot (an enabled, shown field).
    virtual BOOL CanTakeFocus() const { return FALSE; }
    virtual void SetFocused(BOOL /*bFocused*/) {}
    virtual int OnHookKeyDown(UINT /*nChar*/, LPARAM /*lParam*/) { return 0; }
    // The control's keys in the saved layout's archive.
    virtual void DoPropExchange(CXTPPropExchange* pPX);

    // The control as an accessible object (child 0 only); its popup bar is its one child.
    CCmdTarget* GetOwnerCmdTarget() override { return this; }
    HRESULT get_accParent(IDispatch** ppdispParent) override;
    HRESULT get_accChildCount(long* pcountChildren) override;
    HRESULT get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    HRESULT get_accName(VARIANT varChild, BSTR* pszName) override;
    HRESULT get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
    HRESULT get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    HRESULT get_accState(VARIANT varChild, VARIANT* pvarState) override;
    HRESULT accDoDefaultAction(VARIANT varChild) override;
    HRESULT accSelect(long flagsSelect, VARIANT varChild) override;
    HRESULT accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                        VARIANT varChild) override;
    HRESULT accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;

protected:
    // The modal loop of a press: TRUE when the button was released over the control.
    BOOL ClickToolBarButton(CRect rcActiveRect = CRect(0, 0, 0, 0));

    int m_nIndex = 0;
    int m_nId = 0;
    int m_nIconId = 0;
    int m_nCustomIconId = 0;
    BOOL m_bWrap = FALSE;
    BOOL m_bBeginGroup = FALSE;
    BOOL m_bEnabled = TRUE;
    BOOL m_bChecked = FALSE;
    int m_nSelected = 0;
    int m_nPressed = 0;
    BOOL m_bTemporary = FALSE;
    CRect m_rcRow;
    CRect m_rcControl;
    DWORD m_dwHideFlags = 0;
    DWORD m_dwFlags = 0;
    CString m_strCaption;
    CString m_strCustomCaption;
    CString m_strShortcutText;
    CString m_strTooltip;
    CString m_strDescription;
    CString m_strParameter;
    CString m_strCategory;
    CXTPControls* m_pControls = NULL;
    XTPControlType m_controlType = xtpControlError;
    CXTPCommandBar* m_pParent = NULL;
    BOOL m_bExpanded = FALSE;
    int m_nStyle = 0;
    int m_nCustomStyle = 0;
    BOOL m_bCloseSubMenuOnClick = TRUE;
    BOOL m_bDefaultItem = FALSE;
    CWnd* m_pSite = NULL;
    std::set<UINT> m_setDocTemplatesAssigned;
    std::set<UINT> m_setDocTemplatesExcluded;

    friend class CXTPControls;
};

class CXTPControlButton : public CXTPControl
{
    DECLARE_DYNCREATE(CXTPControlButton)
public:
    CXTPControlButton() { m_controlType = xtpControlButton; }
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnMouseRelease(CPoint point) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
};

class CXTPControlPopup : public CXTPControl
{
    DECLARE_DYNCREATE(CXTPControlPopup)
public:
    CXTPControlPopup() { m_controlType = xtpControlPopup; }
    ~CXTPControlPopup() override;

    // The submenu (one reference is taken).
    void SetCommandBar(CXTPCommandBar* pBar);
    CXTPCommandBar* GetCommandBar() const override { return m_pCommandBar; }
    BOOL GetPopuped() const { return m_bPopup; }
    virtual BOOL SetPopupOpen(BOOL bOpen);

    BOOL IsEqual(CXTPControl* pOther) const override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnUnderlineActivate() override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnMouseHoverClose() override;
    BOOL SetSelected(int bSelected) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    // The id of the popup bar read from an archive, until the loaded bars are linked.
    long m_nExchangedBarId = 0;

protected:
    BOOL m_bPopup = FALSE;
    CXTPCommandBar* m_pCommandBar = NULL;
};

// The toolbar's chevron: knows whether controls of its bar did not fit.
class CXTPControlExpandButton : public CXTPControlPopup
{
    DECLARE_DYNCREATE(CXTPControlExpandButton)
public:
    CXTPControlExpandButton();
    void SetRect(CRect rcControl) override;
    void Draw(CDC* pDC) override;
    BOOL HasHiddenControls() const { return m_bHiddenControls; }
    BOOL SetPopupOpen(BOOL bOpen) override;

private:
    BOOL m_bHiddenControls = FALSE;
};

// The place of the OLE verbs in a menu. Without an OLE container it hides itself and lists nothing.
class CXTPControlOleItems : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlOleItems)
public:
    void OnCalcDynamicSize(DWORD dwMode) override;
};

// The close button in a floating toolbar's caption.
class CXTPControlCloseButton : public CXTPControlButton
{
    DECLARE_DYNCREATE(CXTPControlCloseButton)
public:
    void Draw(CDC* pDC) override;
    void Execute() override;
};

// One control's place in a layout.
struct XTP_LAYOUT_RECORD
{
    CRect rect;
    CRect rectRow;
    int nWidth = 0;
    int nHeight = 0;
    BOOL bVisible = FALSE;
    BOOL bWrap = FALSE;
    BOOL bHidden = FALSE;
    BOOL bBeginGroup = FALSE;
};
typedef std::vector<XTP_LAYOUT_RECORD> CXTPLayoutRecords;

class CXTPControls : public CCmdTarget
{
    DECLARE_DYNCREATE(CXTPControls)
public:
    CXTPControls();
    ~CXTPControls() override;

    // A control of the type (null for an unknown type), inserted before nBefore (appended when out
    // of range).
    CXTPControl* Add(XTPControlType type, int nId = 0, LPCTSTR lpszParameter = NULL, int nBefore = -1,
                     BOOL bTemporary = FALSE);
    // Takes the caller's reference.
    CXTPControl* AddControl(CXTPControl* pControl, int nId = 0, LPCTSTR lpszParameter = NULL,
                            int nBefore = -1, BOOL bTemporary = FALSE);
    CXTPControl* AddClone(CXTPControl* pControl, int nBefore = -1, BOOL bRecursive = FALSE);
    CXTPControl* AddMenuItem(CMenu* pMenu, int nIndex);
    void Remove(CXTPControl* pControl);
    void Remove(int nIndex);
    void RemoveAll();

    int GetCount() const { return static_cast<int>(m_arrControls.size()); }
    CXTPControl* GetAt(int nIndex) const;
    CXTPControl* GetFirst() const { return GetAt(0); }
    void GetNext(CXTPControl*& pControl) const;
    CXTPControl* FindControl(int nId) const;
    CXTPControl* FindControl(XTPControlType type, int nId, BOOL bVisible, BOOL bRecursive) const;
    int GetNextIndex(int nIndex, int nDirection, BOOL bKeyboard = TRUE, BOOL bSkipTemporary = FALSE,
                     BOOL bSkipCollapsed = TRUE) const;
    CXTPControl* HitTest(CPoint point) const;
    int GetVisibleCount(BOOL bIgnoreWraps = TRUE) const;

    void SetParent(CXTPCommandBar* pParent);
    CXTPCommandBar* GetParent() const { return m_pParent; }
    void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
    CXTPCommandBars* GetCommandBars() const;

    CXTPControls* Duplicate(BOOL bRecursive = FALSE);
    void CreateOriginalControls();
    CXTPControls* GetOriginalControls() const { return m_pOriginalControls; }
    void SetOriginalControls(CXTPControls* pControls);
    BOOL IsEqual(CXTPControls* pOther) const;
    BOOL IsChanged() const;

    // The contents' size for a length in a layout mode, controls placed when it commits.
    CSize CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder, int nWidth = 0);
    // Where rows break; the number of rows.
    int WrapControls(CXTPLayoutRecords& records, int nLength, DWORD& dwMode) const;
    CSize CalcRowLayout(CXTPLayoutRecords& records, CSize szGap, BOOL bVertical) const;
    CSize SizeToLength(CXTPLayoutRecords& records, int nLength, DWORD dwMode, CSize szGap) const;
    CSize CalcBalancedLayout(CXTPLayoutRecords& records, DWORD dwMode, CSize szGap) const;
    void AdjustRow(CXTPLayoutRecords& records, int nFirst, int nLast, int nLength, const CRect& rcBorder,
                   BOOL bVertical) const;
    // The layout whose height is nHeight (a square layout for -1), searched by width.
    CSize SearchHeight(CXTPLayoutRecords& records, DWORD dwMode, CSize szGap, int nHeight) const;

    // Renumbers and gives every control this collection and its bar.
    void RefreshIndexes();
    // The controls (and the built-in ones) in the saved layout's archive; loading replaces them.
    void DoPropExchange(CXTPPropExchange* pPX);

protected:
    void InsertAt(CXTPControl* pControl, int nBefore);
    CXTPControl* CreatePopupBarFor(CXTPControlPopup* pPopup, UINT nMenuId, CMenu* pSubMenu, BOOL bClear);

    CXTPCommandBar* m_pParent = NULL;
    std::vector<CXTPControl*> m_arrControls;
    CXTPCommandBars* m_pCommandBars = NULL;
    CXTPControls* m_pOriginalControls = NULL;
};
