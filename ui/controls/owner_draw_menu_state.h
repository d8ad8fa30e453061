#pragma once

// The process-wide state of the owner-drawn menus, shared by their building and drawing halves.
#include "owner_draw_menu.h"

#include <set>
#include <vector>

struct OwnerDrawMenuGlobals
{
    static OwnerDrawMenuGlobals& Get();
    // The record behind an item's data, or null when the data is not a record of a live menu.
    static COwnerDrawMenu::Item* LiveItem(ULONG_PTR data)
    {
        auto* item = reinterpret_cast<COwnerDrawMenu::Item*>(data);
        return Get().liveItems.count(item) ? item : nullptr;
    }

    // Menu handles that belong to menus of the class, and the popups appended to them.
    std::vector<HMENU> handles;
    std::set<COwnerDrawMenu::Item*> liveItems;
    // The icon table: entry i names the command whose icon is image i.
    std::vector<UINT_PTR> iconIds;
    CImageList images;

    BOOL levelKnown = FALSE;
    int level = 1;
    BOOL themeKnown = FALSE;
    BOOL classicTheme = FALSE;
    BOOL codePageRead = FALSE;
    CPINFO codePage = {};
};
