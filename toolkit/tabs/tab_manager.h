// The window-less engine of a tab strip: ordered tabs, the selected and the hot tab, the scroll offset,
// the three navigate buttons and the rectangles the paint manager lays the strip out into. It draws
// nothing and owns no window: an owner derives from it, supplies the window, the paint manager and the
// redraw, and forwards mouse and keyboard input.
#pragma once

#include <afxwin.h>

#include <afxtempl.h>
#include <commctrl.h>

#include "tab_directions.h"
#include "theme_handle.h"

class CXTPTabManager;
class CXTPTabPaintManager;

// What InsertItem hands every new tab: automatic colour number n is 0x1000000 + n, n 0 to 7.
#define XTP_TAB_AUTOMATIC_COLOR_FIRST 0x1000000
#define XTP_TAB_AUTOMATIC_COLOR_COUNT 8

class CXTPTabOwnerBase
{
public:
    virtual void UpdateLayout() { Reposition(); }
    virtual ~CXTPTabOwnerBase() {}
    virtual void Reposition() = 0;
};

class CXTPTabManagerItem : public CCmdTarget
{
public:
    CXTPTabManagerItem();

    // Stores a changed caption and lays the strip out again.
    void SetCaption(LPCTSTR lpszCaption);
    // Through the manager, so that an owner can answer for its tabs.
    CString GetCaption() const;
    void SetColor(COLORREF clr);
    COLORREF GetColor() const;
    void SetToolTip(LPCTSTR lpszToolTip) { m_strToolTip = lpszToolTip; }
    CString GetToolTip() const { return m_strToolTip; }
    // The manager's DeleteItem of this tab: the list's reference goes.
    void Remove();

    int GetIndex() const { return m_nIndex; }
    BOOL IsSelected() const;
    BOOL IsHot() const;
    BOOL IsVisible() const { return m_bVisible; }
    void SetVisible(BOOL bVisible);
    BOOL IsEnabled() const { return m_bEnabled; }
    void SetEnabled(BOOL bEnabled);
    BOOL IsClosable() const { return m_bClosable; }
    void SetClosable(BOOL bClosable) { m_bClosable = bClosable; }
    int GetImageIndex() const { return m_nImage; }
    void SetImageIndex(int nImage) { m_nImage = nImage; }
    void* GetData() const { return m_pData; }
    void SetData(void* pData) { m_pData = pData; }
    CRect GetRect() const { return m_rcItem; }
    void SetRect(const CRect& rc) { m_rcItem = rc; }
    int GetItemRow() const { return m_nItemRow; }
    // The length the layout gave the tab and the length its whole caption needs.
    int GetButtonLength() const { return m_nButtonLength; }
    int GetContentLength() const { return m_nContentLength; }
    CXTPTabManager* GetTabManager() const { return m_pTabManager; }

    int m_nButtonLength;
    int m_nContentLength;
    int m_nIndex;
    BOOL m_bEnabled;
    BOOL m_bVisible;
    int m_nImage;
    void* m_pData;
    CRect m_rcItem;
    CString m_strCaption;
    CString m_strToolTip;
    COLORREF m_clrItem;
    CXTPTabManager* m_pTabManager;
    int m_nItemRow;
    BOOL m_bClosable;
};

class CXTPTabManagerRows
{
public:
    struct ROW
    {
        int nFirstItem;
        int nLastItem;
    };

    explicit CXTPTabManagerRows(CXTPTabManager* pManager);
    ~CXTPTabManagerRows();
    CXTPTabManagerRows(const CXTPTabManagerRows&) = delete;
    CXTPTabManagerRows& operator=(const CXTPTabManagerRows&) = delete;

    // Row 0 becomes 0 .. item count - 1; the array is reallocated only for another count.
    void SetRowCount(int nRowCount);
    int GetCount() const { return m_nRowCount; }
    ROW& operator[](int nIndex) { return m_pRows[nIndex]; }
    const ROW& operator[](int nIndex) const { return m_pRows[nIndex]; }

private:
    int m_nRowCount;
    ROW* m_pRows;
    CXTPTabManager* m_pManager;
};

enum XTPTabNavigateButton
{
    xtpTabNavigateButtonLeft = 0,
    xtpTabNavigateButtonRight = 1,
    xtpTabNavigateButtonClose = 2,
};

enum XTPTabNavigateButtonShow
{
    xtpTabNavigateButtonNever = 0,
    xtpTabNavigateButtonAutomatic = 1,
    xtpTabNavigateButtonAlways = 2,
};

class CXTPTabManagerNavigateButton
{
public:
    CXTPTabManagerNavigateButton(CXTPTabManager* pManager, int nID, int nShowMode);
    virtual ~CXTPTabManagerNavigateButton() {}
    CXTPTabManagerNavigateButton(const CXTPTabManagerNavigateButton&) = delete;
    CXTPTabManagerNavigateButton& operator=(const CXTPTabManagerNavigateButton&) = delete;

    // Takes the button's extent from *pnLength when the button will show.
    virtual void AdjustExtent(int* pnLength);
    // The pressed-button loop; OnExecute(TRUE) every 20 ms while held, OnExecute(FALSE) on a click.
    virtual void PerformClick(HWND hWnd, CPoint point);
    // Places the button at the end of the header and takes its room from it, or empties it.
    virtual void Reposition(CRect& rcHeader);
    virtual void DrawGlyph(CDC* pDC, CRect rc) = 0;
    virtual void OnExecute(BOOL bTick) = 0;

    void Draw(CDC* pDC);
    // Hot tracking of the button for a mouse move in hWnd.
    void CheckHot(HWND hWnd, CPoint point);

    int GetID() const { return m_nID; }
    int GetShowMode() const { return m_nShowMode; }
    void SetShowMode(int nShowMode) { m_nShowMode = nShowMode; }
    CRect GetRect() const { return m_rcButton; }
    BOOL IsEnabled() const { return m_bEnabled; }
    BOOL IsPressed() const { return m_bPressed; }
    BOOL IsHot() const { return m_bHot; }
    CXTPTabManager* GetTabManager() const { return m_pManager; }

protected:
    void RepositionBase(CRect& rcHeader, BOOL bShow);

    int m_nID;
    int m_nShowMode;
    int m_nWidth;
    int m_nHeight;
    CXTPTabManager* m_pManager;
    CRect m_rcButton;
    BOOL m_bEnabled;
    BOOL m_bPressed;
    BOOL m_bHot;
};

// The scroll arrows show only while the tabs do not fit (or always, by their show mode).
class CXTPTabManagerNavigateButtonArrow : public CXTPTabManagerNavigateButton
{
public:
    using CXTPTabManagerNavigateButton::CXTPTabManagerNavigateButton;
    void AdjustExtent(int* pnLength) override;
    void Reposition(CRect& rcHeader) override;
};

class CXTPTabManagerNavigateButtonLeft : public CXTPTabManagerNavigateButtonArrow
{
public:
    explicit CXTPTabManagerNavigateButtonLeft(CXTPTabManager* pManager);
    void Reposition(CRect& rcHeader) override;
    void DrawGlyph(CDC* pDC, CRect rc) override;
    void OnExecute(BOOL bTick) override;
};

class CXTPTabManagerNavigateButtonRight : public CXTPTabManagerNavigateButtonArrow
{
public:
    explicit CXTPTabManagerNavigateButtonRight(CXTPTabManager* pManager);
    void Reposition(CRect& rcHeader) override;
    void DrawGlyph(CDC* pDC, CRect rc) override;
    void OnExecute(BOOL bTick) override;
};

class CXTPTabManagerNavigateButtonClose : public CXTPTabManagerNavigateButton
{
public:
    explicit CXTPTabManagerNavigateButtonClose(CXTPTabManager* pManager);
    void DrawGlyph(CDC* pDC, CRect rc) override;
    void OnExecute(BOOL bTick) override;
};

class CXTPTabManager : public CXTPTabOwnerBase
{
public:
    CXTPTabManager();
    ~CXTPTabManager() override;
    CXTPTabManager(const CXTPTabManager&) = delete;
    CXTPTabManager& operator=(const CXTPTabManager&) = delete;

    // The owner lays the strip out again through its paint manager and redraws.
    void Reposition() override = 0;
    virtual CString GetItemCaption(const CXTPTabManagerItem* pItem) const;
    virtual int GetItemImage(const CXTPTabManagerItem* pItem) const;
    // The automatic colour numbers resolved through the palette.
    virtual COLORREF GetItemColor(const CXTPTabManagerItem* pItem) const;
    virtual CString GetItemTooltip(const CXTPTabManagerItem* pItem) const;
    // Renumbers the tabs and lays the strip out again.
    virtual void OnItemsChanged();
    virtual void SetSelectedItem(CXTPTabManagerItem* pItem);
    // The keyboard's way: through OnItemClick.
    virtual void SelectItem(CXTPTabManagerItem* pItem);
    virtual void GetItemMetrics(CSize* pszItem, CSize* pszMin, CSize* pszMax) const;
    virtual CXTPTabPaintManager* GetPaintManager() const = 0;
    virtual void OnNotify(WPARAM wParam) { (void)wParam; }
    virtual void RedrawControl() = 0;
    virtual BOOL IsAllowReorder() const { return m_bAllowReorder; }
    virtual void SetAllowReorder(BOOL bAllowReorder) { m_bAllowReorder = bAllowReorder; }
    virtual BOOL IsStaticFrame() const;
    // The owner draws a tab's icon at the point; with bDraw FALSE it only answers whether the tab
    // has one.
    virtual BOOL DrawItemIcon(CDC* pDC, CXTPTabManagerItem* pItem, CPoint pt, CSize szIcon, BOOL bDraw) = 0;
    virtual XTPTabPosition GetPosition() const;
    // Direction 0 scrolls toward the start (the offset grows), any other toward the end.
    virtual void OnScroll(int nDirection);
    virtual BOOL IsNavigateButtonVisible(CXTPTabManagerNavigateButton* pButton);
    virtual void OnItemClick(CXTPTabManagerItem* pItem);
    // The drag loop that moves a pressed tab; ends on button-up, Escape, a right click, WM_CANCELMODE
    // or losing the capture.
    virtual void ReOrder(HWND hWnd, CPoint point, CXTPTabManagerItem* pItem);
    virtual void OnNavigateButtonClick(int nID) { (void)nID; }
    virtual BOOL IsMouseLocked() const { return FALSE; }
    virtual BOOL OnKeyDown(HWND hWnd, UINT nKey);
    virtual BOOL HasFocus() const { return FALSE; }
    // Whether the owner counts as active: the paint manager draws the selected tab bold only then and
    // uses the inactive text colour otherwise.
    virtual BOOL IsActive() const { return TRUE; }

    // Every inserted tab, a passed-in one too, gets the next automatic colour: an owner moving a tab
    // from another manager saves its colour before and writes it back after the call.
    CXTPTabManagerItem* InsertItem(int nIndex, CXTPTabManagerItem* pItem = NULL);
    BOOL DeleteItem(int nIndex);
    void DeleteAllItems();
    int GetItemCount() const { return static_cast<int>(m_arrItems.GetSize()); }
    CXTPTabManagerItem* GetItem(int nIndex) const;
    CXTPTabManagerItem* GetSelectedItem() const { return m_pSelected; }
    CXTPTabManagerItem* GetHotItem() const { return m_pHighlighted; }
    CXTPTabManagerNavigateButton* FindNavigateButton(int nID) const;
    int GetNavigateButtonCount() const { return static_cast<int>(m_arrNavigateButtons.GetSize()); }
    CXTPTabManagerNavigateButton* GetNavigateButton(int nIndex) const { return m_arrNavigateButtons[nIndex]; }
    // Never positive.
    void SetScrollOffset(int nOffset);
    int GetScrollOffset() const { return m_nScrollOffset; }
    int GetItemsLength() const;
    CXTPTabManagerItem* HitTest(CPoint point) const;
    BOOL HandleClick(HWND hWnd, CPoint point, BOOL bButtonsOnly);
    void HandleMouseMove(HWND hWnd, CPoint point);
    // The tab's index as tool id when it gets a tooltip, else -1.
    int FillToolInfo(HWND hWnd, CXTPTabManagerItem* pItem, TOOLINFO* pToolInfo);
    CXTPTabManagerItem* FindNextSelectable(int nIndex, int nStep) const;
    void SelectNearest(int nIndex);

    BOOL IsHorizontalPosition() const;
    CXTPTabManagerRows* GetRows() const { return m_pRows; }
    CRect GetHeaderRect() const { return m_rcHeaderRect; }
    CRect GetControlRect() const { return m_rcControl; }
    CRect GetClientRect() const { return m_rcClient; }
    void SetItemMetrics(CSize szItem, CSize szMin = CSize(0, 0), CSize szMax = CSize(0, 0));
    CXTThemeHandle& GetThemeHandle() { return m_themeTab; }

    CXTPTabManagerItem* m_pSelected;
    CXTPTabManagerItem* m_pHighlighted;
    int m_nScrollOffset;
    BOOL m_bAllowReorder;
    CSize m_szItem;
    CSize m_szItemMin;
    CSize m_szItemMax;
    CRect m_rcHeaderRect;
    CRect m_rcControl;
    CRect m_rcClient;
    CArray<CXTPTabManagerItem*, CXTPTabManagerItem*> m_arrItems;
    CArray<CXTPTabManagerNavigateButton*, CXTPTabManagerNavigateButton*> m_arrNavigateButtons;
    CXTThemeHandle m_themeTab;
    CXTPTabManagerRows* m_pRows;
    int m_nScrollStep;
};
