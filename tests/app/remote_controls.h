#pragma once

// The tree and list controls of another process, read and clicked as a user would: the structures that
// their messages point at live in that process's memory, written and read back through its handle.
// Clicks are posted to the control at its own client coordinates, so no stray pointer can move them.
#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <string>
#include <vector>

// A block of memory inside another process, freed with the object.
class RemoteMemory
{
public:
    RemoteMemory(HANDLE process, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Valid() const { return m_address != nullptr; }
    void* Address() const { return m_address; }
    LPARAM Param() const { return reinterpret_cast<LPARAM>(m_address); }
    bool Write(const void* data, size_t size, size_t offset = 0);
    bool Read(void* data, size_t size, size_t offset = 0) const;

private:
    HANDLE m_process;
    void* m_address = nullptr;
};

class RemoteTree
{
public:
    RemoteTree(HANDLE process, HWND tree) : m_process(process), m_tree(tree) {}

    HWND Window() const { return m_tree; }
    HTREEITEM Root() const;
    HTREEITEM Parent(HTREEITEM item) const;
    HTREEITEM Selected() const;
    std::vector<HTREEITEM> Children(HTREEITEM parent) const;
    std::wstring Text(HTREEITEM item) const;
    // The check state image: 1 unchecked, 2 checked, 3 partly checked; 0 without one.
    int CheckState(HTREEITEM item) const;
    bool Expanded(HTREEITEM item) const;
    // The first child of parent (or among the roots, when parent is null) with this text.
    HTREEITEM Child(HTREEITEM parent, const std::wstring& text) const;
    // The item's label as client coordinates; false when it is scrolled out or collapsed away.
    bool LabelRect(HTREEITEM item, RECT& rect) const;
    // A client point over the item's part that the hit test names (TVHT_ONITEMSTATEICON,
    // TVHT_ONITEMBUTTON, TVHT_ONITEMLABEL).
    bool PointOn(HTREEITEM item, UINT part, POINT& point) const;
    // Posts a left click (down and up) at the point.
    void Click(POINT point) const;
    bool ClickPart(HTREEITEM item, UINT part) const;
    // Brings an item into view (the control's own scrolling, as the scroll bar does).
    void EnsureVisible(HTREEITEM item) const;

private:
    bool HitTest(POINT point, HTREEITEM& item, UINT& flags) const;

    HANDLE m_process;
    HWND m_tree;
};

class RemoteList
{
public:
    RemoteList(HANDLE process, HWND list) : m_process(process), m_list(list) {}

    int Count() const;
    int Columns() const;
    std::wstring Text(int row, int column) const;
    // Every row's texts, column by column.
    // The texts of the first `most` rows (every row by default).
    std::vector<std::vector<std::wstring>> Rows(int most = INT_MAX) const;

private:
    HANDLE m_process;
    HWND m_list;
};

// The first window at any depth inside parent with this id and window class; null when there is none.
HWND FindChild(HWND parent, int id, const wchar_t* className = nullptr);
