#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include <vector>

// A menu whose items are all owner-drawn, each with the icon of its command from one process-wide icon
// table, in the classic look (raised or sunken icon frame on the menu colour) or the flat look (icon
// column, light highlight, shaded icons that rise with a shadow under the mouse).
//
// The look depends on the system: its level (worked out once from the version record) and whether the
// classic desktop theme is active (read once from the registry). Both can be set through
// `SetSystemForTesting`, so that every look can be reached on any system.
class COwnerDrawMenu : public CMenu
{
    DECLARE_DYNAMIC(COwnerDrawMenu)
public:
    // One record per owner-drawn item; the item's data points at it.
    struct Item
    {
        CString text;
        UINT_PTR id = 0;
        int image = -1; // index in the global icon table, -1 for none
        UINT flags = 0; // MF_ flags; MF_SEPARATOR marks a separator
        BOOL used = FALSE;
    };

    // Texts are read from the system and copied out through buffers of this many characters.
    static constexpr int kMaxItemText = 256;

    COwnerDrawMenu();
    ~COwnerDrawMenu() override;
    COwnerDrawMenu(const COwnerDrawMenu&) = delete;
    COwnerDrawMenu& operator=(const COwnerDrawMenu&) = delete;

    // Frees every record, the sub-menus this menu made and the system menu.
    BOOL DestroyMenu();

    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // Appends an owner-drawn item. nToolBarID names a toolbar resource (and its bitmap) that holds the
    // command's icon; -1 takes the icon the global table already has for the command.
    BOOL AppendODMenu(LPCWSTR lpszText, UINT nFlags = MF_STRING, UINT_PTR nID = 0, int nToolBarID = -1);
    BOOL ModifyODMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszText);
    // Builds the menu from a menu resource, every item owner-drawn, shortcuts in one column per popup.
    BOOL LoadMenu(LPCWSTR lpszResourceName);
    BOOL LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEW(nIDResource)); }
    // Makes every item of the system menu owner-drawn, keeping the records of items that have one.
    void RebuildOwnerDraw();

    // The item's text by position (MF_BYPOSITION) or by command, cut to kMaxItemText - 1 characters.
    BOOL GetMenuText(UINT nItem, CString& text, UINT nFlags = MF_BYCOMMAND);
    // The menu (this one or a sub-menu, depth first) that holds the command, and its position there;
    // null and -1 when no item carries it.
    CMenu* FindMenuOption(UINT_PTR nID, int& nPosition);

    // Loads a toolbar's bitmap into an image list of the icon size; FALSE when it cannot be loaded.
    BOOL LoadToolbarBitmap(UINT nBitmapID, CImageList& imageList);
    // Adds (or replaces) a command's icon in the global table; the index of its first entry, -1 when the
    // image list has no such image.
    int AddCommandIcon(CImageList& imageList, int nImage, UINT_PTR nID);

    void SetIconSize(int width, int height)
    {
        m_iconWidth = width;
        m_iconHeight = height;
    }
    void SetMaskColor(COLORREF colour, BOOL useIt)
    {
        m_maskColour = colour;
        m_useMaskColour = useIt;
    }
    BOOL IsMenuBar() const { return m_menuBar; }
    const std::vector<Item*>& Items() const { return m_items; }

    // The answer to WM_MENUCHAR for a menu of this class: MAKELONG(position, MNC_EXECUTE) for the first
    // item whose text marks the typed character with '&', 0 otherwise.
    static LRESULT FindKeyboardShortcut(UINT nChar, UINT nFlags, CMenu* pMenu);
    // True for menus of this class and the sub-menus appended to them.
    static BOOL IsOwnerDrawMenu(HMENU hMenu);

    // The system facts that choose the look.
    static int OsLevelOf(const OSVERSIONINFOW& version);
    static int OsLevel();
    static BOOL ClassicThemeActive();
    // Replaces the level and the classic-theme answer that were read from the system.
    static void SetSystemForTesting(const OSVERSIONINFOW& version, BOOL classicTheme);
    // Reads both from the system again at their next use.
    static void ResetSystemForTesting();
    static BOOL XPLookAvailable();
    static BOOL FlatLook();
    static BOOL IconEffects();

    // Look switches: the look on XP with a visual theme (1 flat), on other systems (0 classic), and the
    // shaded and disabled icon copies of the flat look.
    static BOOL s_xpLookFlat;
    static BOOL s_otherLookFlat;
    static BOOL s_iconEffects;

    // The global icon table, for inspection.
    static const std::vector<UINT_PTR>& IconCommands();
    static CImageList* IconImages();

private:
    Item* NewItem(LPCWSTR text, UINT_PTR id, int image, UINT flags);
    Item* FindRecord(HMENU hMenu, UINT nItem, BOOL byPosition) const;
    int IconIndexOf(UINT_PTR nID) const;
    int IconFromToolbar(UINT nToolBarID, UINT_PTR nID);
    void ReturnPopupsToText();
    int FirstRecordPosition() const;
    BOOL LoadFromTemplate(const BYTE*& cursor, const BYTE* end, int depth);
    void AlignShortcuts();
    void Release(BOOL destroyHandle);
    CFont* CreateMenuFont(CFont& font) const;

    void DrawClassic(CDC* pDC, const DRAWITEMSTRUCT& dis, const Item& item);
    void DrawFlat(CDC* pDC, const DRAWITEMSTRUCT& dis, const Item& item);
    void DrawText(CDC* pDC, const CRect& rect, const CString& text, COLORREF colour) const;
    void DrawCheckMark(CDC* pDC, int x, int y, BOOL radio) const;
    void DrawEmbossed(CDC* pDC, HICON icon, int x, int y, COLORREF background) const;
    BOOL HasIconCopies(const Item& item) const;
    void AddIconCopies(HICON icon, int at);

    std::vector<Item*> m_items;
    std::vector<HMENU> m_subMenuHandles;
    std::vector<COwnerDrawMenu*> m_subMenus; // made by the loader; owned
    int m_iconWidth = 16;
    int m_iconHeight = 15;
    COLORREF m_maskColour = RGB(192, 192, 192);
    BOOL m_useMaskColour = FALSE;
    BOOL m_menuBar = FALSE;
};

// Lightens a colour towards white by f (0 < f <= 1); any other f leaves it as it is.
COLORREF LightenColor(COLORREF colour, double factor);
