#pragma once

// Helpers of the owner-drawn menu and icon button tests: the system facts the menus read, a window that
// owns menus and records what it is told, and pixels of bitmaps.
#include "owner_draw_menu.h"

#include <afxwin.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Version records of the systems the menu tells apart.
OSVERSIONINFOW VersionRecord(DWORD platform, DWORD major, DWORD minor);
// The record Wine reports (Windows 7, 6.1): level 1, the classic look.
inline OSVERSIONINFOW WineVersion()
{
    return VersionRecord(VER_PLATFORM_WIN32_NT, 6, 1);
}
// Windows XP: level 7, where the flat look lives.
inline OSVERSIONINFOW XPVersion()
{
    return VersionRecord(VER_PLATFORM_WIN32_NT, 5, 1);
}
// Windows 95: level 2, the first with three-dimensional icon frames.
inline OSVERSIONINFOW Win95Version()
{
    return VersionRecord(VER_PLATFORM_WIN32_WINDOWS, 4, 0);
}

// A top-level window that hands the owner-draw requests of menus to their menu object, as an owner
// does, and records the commands and other messages it receives.
class MenuOwnerWnd : public CWnd
{
public:
    BOOL CreateOwner(int x = 40, int y = 40, int width = 320, int height = 200);
    COwnerDrawMenu* m_menu = nullptr;
    std::vector<MSG> m_received;
    // Runs every few milliseconds while set; the owner's timer keeps ticking inside modal menu loops.
    std::function<void()> m_tick;

    int Count(UINT message) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Starts a timer that calls `tick` inside whatever loop runs, and a safety timer that closes any open menu
// after `safetyMs`, so that a fault never hangs the run.
class MenuLoopDriver
{
public:
    MenuLoopDriver(std::function<void(int tick)> tick, UINT intervalMs = 100, UINT safetyMs = 10000);
    ~MenuLoopDriver();
    MenuLoopDriver(const MenuLoopDriver&) = delete;
    MenuLoopDriver& operator=(const MenuLoopDriver&) = delete;
    bool TimedOut() const { return m_timedOut; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    static void CALLBACK OnSafety(HWND, UINT, UINT_PTR, DWORD);
    std::function<void(int)> m_function;
    int m_ticks = 0;
    bool m_timedOut = false;
    UINT_PTR m_timer = 0;
    UINT_PTR m_safety = 0;
};

// The open popup menu window, or null.
HWND OpenPopupMenuWindow();

// Pixels of a bitmap as COLORREF values, row by row from the top.
std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int& width, int& height);

// The item's record in an owner-drawn menu.
const COwnerDrawMenu::Item* RecordOf(HMENU menu, UINT position);
