// Building the owner-drawn menu: records, appending and modifying items, loading from a menu resource,
// the process-wide icon table and the system facts that choose the look. Drawing is in
// owner_draw_menu_paint.cpp.
#include "owner_draw_menu.h"

#include "dib_bitmap.h"
#include "owner_draw_menu_state.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

IMPLEMENT_DYNAMIC(COwnerDrawMenu, CMenu)

BOOL COwnerDrawMenu::s_xpLookFlat = TRUE;
BOOL COwnerDrawMenu::s_otherLookFlat = FALSE;
BOOL COwnerDrawMenu::s_iconEffects = TRUE;

namespace {

// A popup nests no deeper than this in a menu resource; deeper templates are refused as damaged.
constexpr int kMaxMenuDepth = 16;

// Toolbar resource words: version, image width, image height, button count, then one command per button.
constexpr int kToolbarHeaderWords = 4;
constexpr WORD kToolbarVersion = 1;

BOOL ReadClassicTheme()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return FALSE;
    wchar_t value[130] = {}; // 260 bytes
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return FALSE;
    static const wchar_t kClassic[] = L"Windows Classic.theme";
    const size_t length = wcsnlen(value, sizeof value / sizeof value[0] - 1);
    const size_t suffix = sizeof kClassic / sizeof kClassic[0] - 1;
    return length >= suffix && _wcsicmp(value + length - suffix, kClassic) == 0;
}

void RemoveHandle(std::vector<HMENU>& handles, HMENU handle)
{
    handles.erase(std::remove(handles.begin(), handles.end(), handle), handles.end());
}

// The colours a 16-colour bitmap resource uses, or 0 when the resource is not a readable bitmap.
DWORD ColourCount(HINSTANCE instance, HRSRC resource)
{
    HGLOBAL global = LoadResource(instance, resource);
    const void* data = global ? LockResource(global) : nullptr;
    if (data == nullptr || SizeofResource(instance, resource) < sizeof(BITMAPINFOHEADER))
        return 0;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    return header.biClrUsed != 0 ? header.biClrUsed
                                 : static_cast<DWORD>(CDibBitmap::PaletteEntriesFor(header.biBitCount));
}

} // namespace

OwnerDrawMenuGlobals& OwnerDrawMenuGlobals::Get()
{
    static OwnerDrawMenuGlobals globals;
    return globals;
}

COwnerDrawMenu::COwnerDrawMenu()
{
    OwnerDrawMenuGlobals& globals = OwnerDrawMenuGlobals::Get();
    if (!globals.codePageRead) {
        GetCPInfo(CP_ACP, &globals.codePage);
        globals.codePageRead = TRUE;
    }
}

COwnerDrawMenu::~COwnerDrawMenu()
{
    Release(TRUE);
}

BOOL COwnerDrawMenu::DestroyMenu()
{
    const BOOL had = m_hMenu != NULL;
    Release(TRUE);
    return had;
}

void COwnerDrawMenu::Release(BOOL destroyHandle)
{
    OwnerDrawMenuGlobals& globals = OwnerDrawMenuGlobals::Get();
    for (Item* item : m_items) {
        globals.liveItems.erase(item);
        delete item;
    }
    m_items.clear();
    for (HMENU handle : m_subMenuHandles)
        RemoveHandle(globals.handles, handle);
    m_subMenuHandles.clear();
    if (m_hMenu != NULL)
        RemoveHandle(globals.handles, m_hMenu);
    HMENU handle = Detach();
    // Destroying the menu destroys the popups inside it, those of the sub-menus made here among them.
    if (destroyHandle && handle != NULL)
        ::DestroyMenu(handle);
    for (COwnerDrawMenu* subMenu : m_subMenus) {
        subMenu->Release(FALSE);
        delete subMenu;
    }
    m_subMenus.clear();
    m_menuBar = FALSE;
}

// ---- The system facts that choose the look ----

int COwnerDrawMenu::OsLevelOf(const OSVERSIONINFOW& version)
{
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        // GetVersion's low byte, which this test is made on, is the major version.
        if (version.dwMajorVersion < 4)
            return 0;
        if (version.dwMajorVersion == 4 && version.dwMinorVersion == 10)
            return 3;
        if (version.dwMajorVersion == 4 && version.dwMinorVersion == 90)
            return 4;
        return 2;
    }
    if (version.dwMajorVersion == 4)
        return 5;
    if (version.dwMajorVersion == 5 && version.dwMinorVersion == 0)
        return 6;
    if (version.dwMajorVersion == 5 && version.dwMinorVersion == 1)
        return 7;
    return 1;
}

int COwnerDrawMenu::OsLevel()
{
    OwnerDrawMenuGlobals& globals = OwnerDrawMenuGlobals::Get();
    if (!globals.levelKnown) {
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        if (!GetVersionExW(&version))
            version.dwPlatformId = VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
        globals.level = OsLevelOf(version);
        globals.levelKnown = TRUE;
    }
    return globals.level;
}

BOOL COwnerDrawMenu::ClassicThemeActive()
{
    OwnerDrawMenuGlobals& globals = OwnerDrawMenuGlobals::Get();
    if (!globals.themeKnown) {
        globals.classicTheme = ReadClassicTheme();
        globals.themeKnown = TRUE;
    }
    return globals.classicTheme;
}

void COwnerDrawMenu::SetSystemForTesting(const OSVERSIONINFOW& version, BOOL classicTheme)
{
    OwnerDrawMenuGlobals& globals = OwnerDrawMenuGlobals::Get();
    globals.level = OsLevelOf(version);
    globals.levelKnown = TRUE;
    globals.classicTheme = classicTheme;
    globals.themeKnown = TRUE;
}

void COwnerDrawMenu::ResetSystemForTesting()
{
    OwnerDrawMenuGlobals& globals = OwnerDrawMenuGlobals::Get();
    globals.levelKnown = FALSE;
    globals.themeKnown = FALSE;
}

BOOL COwnerDrawMenu::XPLookAvailable()
{
    return OsLevel() == 7 && !ClassicThemeActive();
}

BOOL COwnerDrawMenu::FlatLook()
{
    return XPLookAvailable() ? s_xpLookFlat : s_otherLookFlat;
}

BOOL COwnerDrawMenu::IconEffects()
{
    return FlatLook() && s_iconEffects;
}

BOOL COwnerDrawMenu::IsOwnerDrawMenu(HMENU hMenu)
{
    if (hMenu == NULL)
        return FALSE;
    const std::vector<HMENU>& handles = OwnerDrawMenuGlobals::Get().handles;
    if (std::find(handles.begin(), handles.end(), hMenu) != handles.end())
        return TRUE;
    CMenu* menu = CMenu::FromHandlePermanent(hMenu);
    return menu != NULL && menu->IsKindOf(RUNTIME_CLASS(COwnerDrawMenu));
}

const std::vector<UINT_PTR>& COwnerDrawMenu::IconCommands()
{
    return OwnerDrawMenuGlobals::Get().iconIds;
}

CImageList* COwnerDrawMenu::IconImages()
{
    CImageList& images = OwnerDrawMenuGlobals::Get().images;
    return images.GetSafeHandle() != NULL ? &images : NULL;
}

// ---- Records ----

COwnerDrawMenu::Item* COwnerDrawMenu::NewItem(LPCWSTR text, UINT_PTR id, int image, UINT flags)
{
    Item* item = new Item;
    item->text = text != NULL ? text : L"";
    item->id = id;
    item->image = image;
    item->flags = flags;
    OwnerDrawMenuGlobals::Get().liveItems.insert(item);
    return item;
}

COwnerDrawMenu::Item* COwnerDrawMenu::FindRecord(HMENU hMenu, UINT nItem, BOOL byPosition) const
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_FTYPE;
    if (hMenu == NULL || !::GetMenuItemInfoW(hMenu, nItem, byPosition, &info) ||
        !(info.fType & MFT_OWNERDRAW))
        return NULL;
    // Item data of a menu that is not ours may be anything: only a live record is trusted.
    return OwnerDrawMenuGlobals::LiveItem(info.dwItemData);
}

int COwnerDrawMenu::IconIndexOf(UINT_PTR nID) const
{
    const std::vector<UINT_PTR>& ids = OwnerDrawMenuGlobals::Get().iconIds;
    const auto found = std::find(ids.begin(), ids.end(), nID);
    return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
}

// ---- Appending and modifying ----

BOOL COwnerDrawMenu::AppendODMenu(LPCWSTR lpszText, UINT nFlags, UINT_PTR nID, int nToolBarID)
{
    if (m_hMenu == NULL)
        return FALSE;
    if (nID == 0)
        nFlags = (nFlags & MF_BYPOSITION) | MF_SEPARATOR | MF_OWNERDRAW;
    else
        nFlags |= MF_OWNERDRAW;

    int image = -1;
    if (!(nFlags & (MF_SEPARATOR | MF_POPUP)))
        image = nToolBarID == -1 ? IconIndexOf(nID) : IconFromToolbar(static_cast<UINT>(nToolBarID), nID);
    if (nFlags & MF_POPUP) {
        HMENU subMenu = reinterpret_cast<HMENU>(nID);
        OwnerDrawMenuGlobals::Get().handles.push_back(subMenu);
        m_subMenuHandles.push_back(subMenu);
    }
    Item* item = NewItem(lpszText, nID, image, nFlags);
    m_items.push_back(item);
    const BOOL appended = ::AppendMenuW(m_hMenu, nFlags, nID, reinterpret_cast<LPCWSTR>(item));
    if (appended && m_menuBar)
        ReturnPopupsToText();
    return appended;
}

BOOL COwnerDrawMenu::ModifyODMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCWSTR lpszText)
{
    if (m_hMenu == NULL)
        return FALSE;
    const int image = (nFlags & (MF_SEPARATOR | MF_POPUP)) ? -1 : IconIndexOf(nIDNewItem);
    Item* item = NewItem(lpszText, nIDNewItem, image, nFlags);
    m_items.push_back(item);
    const LPCWSTR data = (nFlags & MF_OWNERDRAW) ? reinterpret_cast<LPCWSTR>(item) : item->text.GetString();
    return ::ModifyMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, data);
}

int COwnerDrawMenu::FirstRecordPosition() const
{
    // An owner-drawn item has no text for the system to give back, so such an item is matched by the record
    // it carries; items the system put in front (a maximised child window's system menu) match nothing.
    const int count = ::GetMenuItemCount(m_hMenu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[kMaxItemText] = {};
        ::GetMenuStringW(m_hMenu, static_cast<UINT>(position), text, kMaxItemText, MF_BYPOSITION);
        const Item* carried = FindRecord(m_hMenu, static_cast<UINT>(position), TRUE);
        for (size_t index = 0; index < m_items.size(); ++index) {
            if (m_items[index] == carried || (text[0] != 0 && m_items[index]->text == text))
                return position - static_cast<int>(index);
        }
    }
    return -1;
}

void COwnerDrawMenu::ReturnPopupsToText()
{
    const int first = FirstRecordPosition();
    if (first < 0)
        return;
    const int count = ::GetMenuItemCount(m_hMenu);
    for (int position = first; position < count; ++position) {
        const size_t index = static_cast<size_t>(position - first);
        HMENU subMenu = ::GetSubMenu(m_hMenu, position);
        if (subMenu == NULL || index >= m_items.size())
            continue;
        Item* item = m_items[index];
        item->flags = MF_BYPOSITION | MF_POPUP;
        ::ModifyMenuW(m_hMenu, static_cast<UINT>(position), item->flags, reinterpret_cast<UINT_PTR>(subMenu),
                      item->text.GetString());
    }
}

// ---- Icons from toolbars ----

int COwnerDrawMenu::IconFromToolbar(UINT nToolBarID, UINT_PTR nID)
{
    // The toolbar resource is read directly: the image of a button is its index among the buttons that are
    // not separators, as a toolbar window made from the resource would number them.
    const LPCWSTR name = MAKEINTRESOURCEW(nToolBarID);
    const LPCWSTR type = MAKEINTRESOURCEW(241);
    HINSTANCE instance = AfxFindResourceHandle(name, type);
    HRSRC resource = ::FindResourceW(instance, name, type);
    HGLOBAL global = resource ? ::LoadResource(instance, resource) : NULL;
    const BYTE* data = global ? static_cast<const BYTE*>(::LockResource(global)) : NULL;
    const DWORD words = resource ? ::SizeofResource(instance, resource) / sizeof(WORD) : 0;
    if (data == NULL || words < kToolbarHeaderWords)
        return -1;
    auto word = [data](DWORD index) {
        WORD value;
        std::memcpy(&value, data + index * sizeof(WORD), sizeof value);
        return value;
    };
    if (word(0) != kToolbarVersion)
        return -1;
    const DWORD buttons = std::min<DWORD>(word(3), words - kToolbarHeaderWords);
    int image = -1;
    int images = 0;
    for (DWORD button = 0; button < buttons && image < 0; ++button) {
        const WORD command = word(kToolbarHeaderWords + button);
        if (command == 0)
            continue;
        if (command == nID)
            image = images;
        ++images;
    }
    if (image < 0)
        return -1;
    CImageList imageList;
    if (!LoadToolbarBitmap(nToolBarID, imageList))
        return -1;
    return AddCommandIcon(imageList, image, nID);
}

BOOL COwnerDrawMenu::LoadToolbarBitmap(UINT nBitmapID, CImageList& imageList)
{
    const LPCWSTR name = MAKEINTRESOURCEW(nBitmapID);
    HINSTANCE instance = AfxFindResourceHandle(name, MAKEINTRESOURCEW(2));
    HRSRC resource = ::FindResourceW(instance, name, MAKEINTRESOURCEW(2));
    if (resource == NULL)
        return FALSE;
    HBITMAP bitmap = ColourCount(instance, resource) == 16 ? AfxLoadSysColorBitmap(instance, resource)
                                                           : ::LoadBitmapW(instance, name);
    if (bitmap == NULL)
        return FALSE;
    imageList.DeleteImageList();
    BOOL loaded = imageList.Create(m_iconWidth, m_iconHeight, ILC_COLORDDB | ILC_MASK, 1, 1);
    if (loaded) {
        const COLORREF mask = m_useMaskColour ? m_maskColour : ::GetSysColor(COLOR_BTNFACE);
        loaded = ImageList_AddMasked(imageList.m_hImageList, bitmap, mask) >= 0;
    }
    ::DeleteObject(bitmap);
    return loaded;
}

int COwnerDrawMenu::AddCommandIcon(CImageList& imageList, int nImage, UINT_PTR nID)
{
    if (imageList.GetSafeHandle() == NULL || nImage < 0 || nImage >= imageList.GetImageCount())
        return -1;
    HICON icon = ImageList_GetIcon(imageList.m_hImageList, nImage, ILD_NORMAL);
    if (icon == NULL)
        return -1;
    OwnerDrawMenuGlobals& globals = OwnerDrawMenuGlobals::Get();
    if (globals.images.GetSafeHandle() == NULL)
        globals.images.Create(m_iconWidth, m_iconHeight, ILC_COLORDDB | ILC_MASK, 1, 1);
    std::vector<UINT_PTR>& ids = globals.iconIds;
    int index = IconIndexOf(nID);
    if (index >= 0) {
        ImageList_ReplaceIcon(globals.images.m_hImageList, index, icon);
        const size_t next = static_cast<size_t>(index) + 1;
        if (IconEffects() && next + 1 < ids.size() && ids[next] == nID && ids[next + 1] == nID)
            AddIconCopies(icon, index + 1);
    } else if (ImageList_ReplaceIcon(globals.images.m_hImageList, -1, icon) == static_cast<int>(ids.size())) {
        index = static_cast<int>(ids.size());
        ids.push_back(nID);
        if (IconEffects()) {
            AddIconCopies(icon, -1);
            // Only the copies that the image list took are named, so that ids and images stay in step.
            while (ids.size() < static_cast<size_t>(globals.images.GetImageCount()))
                ids.push_back(nID);
        }
    }
    ::DestroyIcon(icon);
    return index;
}

// ---- Loading from a menu resource ----

BOOL COwnerDrawMenu::LoadMenu(LPCWSTR lpszResourceName)
{
    HINSTANCE instance = AfxFindResourceHandle(lpszResourceName, MAKEINTRESOURCEW(4));
    HRSRC resource = ::FindResourceW(instance, lpszResourceName, MAKEINTRESOURCEW(4));
    if (resource == NULL) {
        instance = AfxGetInstanceHandle();
        resource = ::FindResourceW(instance, lpszResourceName, MAKEINTRESOURCEW(4));
    }
    HGLOBAL global = resource ? ::LoadResource(instance, resource) : NULL;
    const BYTE* data = global ? static_cast<const BYTE*>(::LockResource(global)) : NULL;
    const DWORD size = resource ? ::SizeofResource(instance, resource) : 0;
    if (data == NULL || size < 2 * sizeof(WORD))
        return FALSE;
    WORD header[2];
    std::memcpy(header, data, sizeof header);
    // Only the plain template (version 0) is read; its header is followed by header[1] bytes of padding.
    if (header[0] != 0 || sizeof header + header[1] > size)
        return FALSE;
    Release(TRUE);
    if (!CreateMenu())
        return FALSE;
    OwnerDrawMenuGlobals::Get().handles.push_back(m_hMenu);
    const BYTE* cursor = data + sizeof header + header[1];
    if (!LoadFromTemplate(cursor, data + size, 0)) {
        Release(TRUE);
        return FALSE;
    }
    m_menuBar = TRUE;
    return TRUE;
}

BOOL COwnerDrawMenu::LoadFromTemplate(const BYTE*& cursor, const BYTE* end, int depth)
{
    auto readWord = [&cursor, end](WORD& value) {
        if (end - cursor < static_cast<ptrdiff_t>(sizeof(WORD)))
            return false;
        std::memcpy(&value, cursor, sizeof value);
        cursor += sizeof value;
        return true;
    };
    for (;;) {
        WORD flags = 0;
        WORD id = 0;
        if (!readWord(flags) || (!(flags & MF_POPUP) && !readWord(id)))
            return FALSE;
        CString text;
        for (WORD character = 0;;) {
            if (!readWord(character))
                return FALSE;
            if (character == 0)
                break;
            text += static_cast<wchar_t>(character);
        }
        const UINT itemFlags = flags & ~(MF_END | MF_POPUP);
        if (flags & MF_POPUP) {
            if (depth >= kMaxMenuDepth)
                return FALSE;
            auto* subMenu = new COwnerDrawMenu;
            m_subMenus.push_back(subMenu);
            subMenu->m_iconWidth = m_iconWidth;
            subMenu->m_iconHeight = m_iconHeight;
            subMenu->m_maskColour = m_maskColour;
            subMenu->m_useMaskColour = m_useMaskColour;
            // Appended before it is filled, so that destroying this menu always takes the popup with it.
            if (!subMenu->CreatePopupMenu() ||
                !AppendODMenu(text, itemFlags | MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu->m_hMenu)) ||
                !subMenu->LoadFromTemplate(cursor, end, depth + 1))
                return FALSE;
        } else if (!AppendODMenu(text, itemFlags, id)) {
            return FALSE;
        }
        if (flags & MF_END)
            break;
    }
    if (depth > 0)
        AlignShortcuts();
    return TRUE;
}

void COwnerDrawMenu::AlignShortcuts()
{
    CFont font;
    CDC screen;
    screen.Attach(::GetDC(NULL));
    CFont* old = screen.SelectObject(CreateMenuFont(font));
    auto widthOf = [&screen](const CString& text) {
        SIZE size = {};
        ::GetTextExtentPoint32W(screen.m_hDC, text.GetString(), text.GetLength(), &size);
        return size.cx;
    };
    LONG widest = 0;
    for (const Item* item : m_items) {
        const int tab = item->text.Find(L'\t');
        widest = std::max(widest, widthOf((tab < 0 ? item->text : item->text.Left(tab)) + L" "));
    }
    for (Item* item : m_items) {
        const int tab = item->text.Find(L'\t');
        if (tab < 0)
            continue;
        CString label = item->text.Left(tab);
        // Bounded, so that a font whose blank has no width cannot keep the loop going.
        for (int blanks = 0; blanks < kMaxItemText && widthOf(label) < widest; ++blanks)
            label += L' ';
        item->text = label + item->text.Mid(tab);
    }
    screen.SelectObject(old);
    ::ReleaseDC(NULL, screen.Detach());
}

CFont* COwnerDrawMenu::CreateMenuFont(CFont& font) const
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) ||
        !font.CreateFontIndirect(&metrics.lfMenuFont))
        return CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    return &font;
}

// ---- Rebuilding, texts and searching ----

void COwnerDrawMenu::RebuildOwnerDraw()
{
    if (m_hMenu == NULL)
        return;
    for (Item* item : m_items)
        item->used = FALSE;
    auto takeUnused = [this](UINT_PTR id) -> Item* {
        for (Item* item : m_items) {
            if (!item->used && item->id == id)
                return item;
        }
        return NULL;
    };
    std::vector<Item*> order;
    const int count = ::GetMenuItemCount(m_hMenu);
    for (int position = 0; position < count; ++position) {
        const UINT state = ::GetMenuState(m_hMenu, static_cast<UINT>(position), MF_BYPOSITION);
        HMENU subMenu = ::GetSubMenu(m_hMenu, position);
        const UINT_PTR id = subMenu != NULL          ? reinterpret_cast<UINT_PTR>(subMenu)
                            : (state & MF_SEPARATOR) ? 0
                                                     : ::GetMenuItemID(m_hMenu, position);
        Item* item = takeUnused(id);
        if (item == NULL) {
            UINT flags = 0;
            if (subMenu != NULL)
                flags = (LOBYTE(state) & ~MF_POPUP) | MF_BYPOSITION | MF_OWNERDRAW | MF_POPUP;
            else if (state & MF_SEPARATOR)
                flags = state | MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION;
            else
                flags = LOBYTE(state) | MF_OWNERDRAW | MF_BYPOSITION;
            const int image = (flags & (MF_POPUP | MF_SEPARATOR)) ? -1 : IconIndexOf(id);
            item = NewItem(L"", id, image, flags);
        } else {
            item->flags |= MF_OWNERDRAW | MF_BYPOSITION;
        }
        item->used = TRUE;
        // An owner-drawn item has no text of its own: the record keeps the one it had.
        wchar_t text[kMaxItemText] = {};
        if (::GetMenuStringW(m_hMenu, static_cast<UINT>(position), text, kMaxItemText, MF_BYPOSITION) > 0)
            item->text = text;
        // The item keeps its current check and enabled state, which the record may not know of.
        const UINT stateBits = MF_CHECKED | MF_GRAYED | MF_DISABLED;
        const UINT flags = (item->flags & ~stateBits) | (state & stateBits);
        ::ModifyMenuW(m_hMenu, static_cast<UINT>(position), flags, id, reinterpret_cast<LPCWSTR>(item));
        order.push_back(item);
    }
    OwnerDrawMenuGlobals& globals = OwnerDrawMenuGlobals::Get();
    for (Item* item : m_items) {
        if (!item->used) {
            globals.liveItems.erase(item);
            delete item;
        }
    }
    m_items = order;
}

BOOL COwnerDrawMenu::GetMenuText(UINT nItem, CString& text, UINT nFlags)
{
    HMENU holder = m_hMenu;
    UINT position = nItem;
    if (!(nFlags & MF_BYPOSITION)) {
        int found = -1;
        CMenu* menu = FindMenuOption(nItem, found);
        if (menu == NULL)
            return FALSE;
        holder = menu->m_hMenu;
        position = static_cast<UINT>(found);
    }
    const Item* item = FindRecord(holder, position, TRUE);
    if (item == NULL)
        return FALSE;
    wchar_t buffer[kMaxItemText];
    const int length = std::min(item->text.GetLength(), kMaxItemText - 1);
    std::memcpy(buffer, item->text.GetString(), static_cast<size_t>(length) * sizeof(wchar_t));
    buffer[length] = 0;
    text = buffer;
    return TRUE;
}

namespace {

HMENU FindCommandIn(HMENU menu, UINT_PTR nID, int& position, int depth)
{
    const int count = ::GetMenuItemCount(menu);
    for (int index = 0; index < count; ++index) {
        HMENU subMenu = ::GetSubMenu(menu, index);
        if (subMenu != NULL) {
            if (depth < kMaxMenuDepth) {
                HMENU holder = FindCommandIn(subMenu, nID, position, depth + 1);
                if (holder != NULL)
                    return holder;
            }
        } else if (::GetMenuItemID(menu, index) == nID) {
            position = index;
            return menu;
        }
    }
    return NULL;
}

} // namespace

CMenu* COwnerDrawMenu::FindMenuOption(UINT_PTR nID, int& nPosition)
{
    nPosition = -1;
    HMENU holder = m_hMenu != NULL ? FindCommandIn(m_hMenu, nID, nPosition, 0) : NULL;
    return holder != NULL ? CMenu::FromHandle(holder) : NULL;
}

LRESULT COwnerDrawMenu::FindKeyboardShortcut(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    if (!(nFlags & MF_POPUP) || pMenu == NULL)
        return 0;
    auto* menu = DYNAMIC_DOWNCAST(COwnerDrawMenu, CMenu::FromHandlePermanent(pMenu->GetSafeHmenu()));
    if (menu == NULL)
        return 0;
    const int count = ::GetMenuItemCount(menu->m_hMenu);
    if (count != static_cast<int>(menu->m_items.size()))
        menu->RebuildOwnerDraw();
    const wchar_t pattern[] = {L'&', static_cast<wchar_t>(std::towlower(static_cast<wint_t>(nChar))), 0};
    for (int position = 0; position < count; ++position) {
        const Item* item = menu->FindRecord(menu->m_hMenu, static_cast<UINT>(position), TRUE);
        if (item == NULL)
            continue;
        CString text = item->text;
        text.MakeLower();
        if (text.Find(pattern) >= 0)
            return MAKELONG(position, MNC_EXECUTE);
    }
    return 0;
}
