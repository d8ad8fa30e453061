#include "html_scroll.h"

#include <windowsx.h>

#include <algorithm>
#include <deque>

namespace {

constexpr int kLineStep = 10;
constexpr int kWheelLines = 3;
// The bars keep their default range of 0 to 100; the page is a percentage of it.
constexpr int kBarRange = 100;

// One record per window that ever used the handler; only the user-interface thread touches it. A deque
// keeps a record in place while a message sent from its handling registers another window.
std::deque<ScrollState> scrollStates;
// The last mouse position of a pan, one for all windows.
POINT lastPanPoint;

ScrollState* FindState(HWND window)
{
    for (ScrollState& state : scrollStates)
        if (state.window == window)
            return &state;
    return nullptr;
}

ScrollState& Register(HWND window)
{
    ScrollState* existing = FindState(window);
    if (!existing) {
        scrollStates.push_back(ScrollState{});
        existing = &scrollStates.back();
    }
    // A handle that Windows hands out again belongs to a new window: it starts unscrolled.
    *existing = ScrollState{};
    existing->window = window;
    existing->lineX = kLineStep;
    existing->lineY = kLineStep;
    return *existing;
}

int VerticalBarThickness()
{
    return GetSystemMetrics(SM_CXHTHUMB);
}

int HorizontalBarThickness()
{
    return GetSystemMetrics(SM_CYVTHUMB);
}

void SetThumb(HWND window, int bar, int position, int units, int maximum)
{
    if (maximum == 0)
        return;
    long long thumb = static_cast<long long>(position) * units / maximum + (position > 0 ? 1 : 0);
    SetScrollPos(window, bar, static_cast<int>(thumb), TRUE);
}

// Moves the content by (dx, dy): the window hears of it first, then its pixels follow.
void ShiftContent(HWND window, int dx, int dy)
{
    SendMessageW(window, kHtmlScrollShifted, static_cast<WPARAM>(dx), static_cast<LPARAM>(dy));
    ScrollWindow(window, dx, dy, nullptr, nullptr);
}

void OnSize(ScrollState& state, int cx, int cy)
{
    if (state.sizing)
        return;
    state.sizing = 1;
    HWND window = state.window;
    const int oldMaxX = state.maxX;
    const int oldMaxY = state.maxY;
    if (state.maxY != 0)
        cx += VerticalBarThickness();
    if (state.maxX != 0)
        cy += HorizontalBarThickness();
    bool horizontalTaken = false;
    bool verticalTaken = false;
    // One bar can make the other necessary: the second pass settles it.
    for (int pass = 0; pass < 2; ++pass) {
        if (state.contentWidth > cx) {
            state.maxX = state.contentWidth - cx;
            if (!horizontalTaken) {
                cy -= HorizontalBarThickness();
                horizontalTaken = true;
            }
        } else {
            state.maxX = 0;
        }
        if (state.contentHeight > cy) {
            state.maxY = state.contentHeight - cy;
            if (!verticalTaken) {
                cx -= VerticalBarThickness();
                verticalTaken = true;
            }
        } else {
            state.maxY = 0;
        }
    }
    if (state.posX > state.maxX) {
        SendMessageW(window, WM_HSCROLL, SB_LINEDOWN, 0);
        state.posX = state.maxX;
    }
    if (state.posY > state.maxY) {
        SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, 0);
        state.posY = state.maxY;
    }
    if ((oldMaxX == 0) != (state.maxX == 0)) {
        SetScrollPos(window, SB_HORZ, 0, TRUE);
        ShowScrollBar(window, SB_HORZ, state.maxX != 0);
    }
    if ((oldMaxY == 0) != (state.maxY == 0)) {
        SetScrollPos(window, SB_VERT, 0, TRUE);
        ShowScrollBar(window, SB_VERT, state.maxY != 0);
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_PAGE;
    if (state.contentWidth && state.maxX) {
        int page = std::clamp(static_cast<int>(static_cast<long long>(cx) * kBarRange / state.contentWidth),
                              1, kBarRange - 1);
        info.nPage = static_cast<UINT>(page);
        SetScrollInfo(window, SB_HORZ, &info, TRUE);
        state.unitsX = kBarRange - page;
    }
    if (state.contentHeight && state.maxY) {
        int page = std::clamp(static_cast<int>(static_cast<long long>(cy) * kBarRange / state.contentHeight),
                              1, kBarRange - 1);
        info.nPage = static_cast<UINT>(page);
        SetScrollInfo(window, SB_VERT, &info, TRUE);
        state.unitsY = kBarRange - page;
    }
    state.sizing = 0;
}

void ResizeToClient(ScrollState& state)
{
    RECT client = {};
    GetClientRect(state.window, &client);
    OnSize(state, client.right, client.bottom);
}

LRESULT OnScroll(ScrollState& state, bool vertical, WPARAM wParam, LPARAM lParam)
{
    const int code = LOWORD(wParam);
    if (lParam != 0 || code == SB_ENDSCROLL)
        return 0;
    int& position = vertical ? state.posY : state.posX;
    const int maximum = vertical ? state.maxY : state.maxX;
    const int units = vertical ? state.unitsY : state.unitsX;
    const int line = vertical ? state.lineY : state.lineX;
    RECT client = {};
    GetClientRect(state.window, &client);
    const int page = vertical ? client.bottom : client.right;
    long long d = 0;
    switch (code) {
    case SB_LINEUP:
        d = line;
        break;
    case SB_LINEDOWN:
        d = -line;
        break;
    case SB_PAGEUP:
        d = page;
        break;
    case SB_PAGEDOWN:
        d = -page;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        // A bar without units has no thumb to follow.
        d = units ? position - static_cast<long long>(HIWORD(wParam)) * maximum / units : 0;
        break;
    default:
        break;
    }
    d = std::clamp<long long>(d, static_cast<long long>(position) - maximum, position);
    position -= static_cast<int>(d);
    ShiftContent(state.window, vertical ? 0 : static_cast<int>(d), vertical ? static_cast<int>(d) : 0);
    SetThumb(state.window, vertical ? SB_VERT : SB_HORZ, position, units, maximum);
    return 0;
}

LRESULT SetPosition(ScrollState& state, bool vertical, LPARAM lParam)
{
    int& position = vertical ? state.posY : state.posX;
    const int maximum = vertical ? state.maxY : state.maxX;
    const int units = vertical ? state.unitsY : state.unitsX;
    if (maximum == 0 || units == 0)
        return 0;
    int wanted = static_cast<int>(std::clamp<long long>(static_cast<long long>(lParam), 0, maximum));
    int d = position - wanted;
    position = wanted;
    SetThumb(state.window, vertical ? SB_VERT : SB_HORZ, position, units, maximum);
    ShiftContent(state.window, vertical ? 0 : d, vertical ? d : 0);
    SendMessageW(state.window, WM_VSCROLL, SB_ENDSCROLL, 0);
    return 0;
}

void OnPan(ScrollState& state, LPARAM lParam)
{
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    int wantedX = static_cast<int>(std::clamp<long>(state.posX - (point.x - lastPanPoint.x), 0, state.maxX));
    int wantedY = static_cast<int>(std::clamp<long>(state.posY - (point.y - lastPanPoint.y), 0, state.maxY));
    int dx = state.posX - wantedX;
    int dy = state.posY - wantedY;
    state.posX = wantedX;
    state.posY = wantedY;
    ShiftContent(state.window, dx, dy);
    SetThumb(state.window, SB_HORZ, state.posX, state.unitsX, state.maxX);
    SetThumb(state.window, SB_VERT, state.posY, state.unitsY, state.maxY);
    lastPanPoint.x += dx;
    lastPanPoint.y += dy;
    SendMessageW(state.window, WM_VSCROLL, SB_ENDSCROLL, 0);
}

} // namespace

LRESULT HtmlScrollProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window && message == 0 && wParam == 0 && lParam == 0) {
        scrollStates.clear();
        scrollStates.shrink_to_fit();
        return 0;
    }
    if (message == WM_CREATE) {
        Register(window);
        return 0;
    }
    ScrollState* found = FindState(window);
    ScrollState& state = found ? *found : Register(window);
    switch (message) {
    case WM_SIZE:
        OnSize(state, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_HSCROLL:
        return OnScroll(state, false, wParam, lParam);
    case WM_VSCROLL:
        return OnScroll(state, true, wParam, lParam);
    case WM_MOUSEWHEEL: {
        // One notch scrolls three lines whatever the delta says.
        WPARAM code = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? SB_LINEDOWN : SB_LINEUP;
        for (int line = 0; line < kWheelLines; ++line)
            SendMessageW(window, WM_VSCROLL, code, 0);
        SendMessageW(window, WM_VSCROLL, SB_ENDSCROLL, 0);
        return 0;
    }
    case WM_LBUTTONDOWN:
        lastPanPoint = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        SetCapture(window);
        state.dragging = 1;
        return 0;
    case WM_MOUSEMOVE:
        if (state.dragging && GetCapture() == window)
            OnPan(state, lParam);
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        // Releasing the capture may have reached the window already; the record is found again.
        if (ScrollState* current = FindState(window))
            current->dragging = 0;
        return 0;
    case WM_CAPTURECHANGED:
        state.dragging = 0;
        return 0;
    case kHtmlScrollSetContentSize:
        state.contentWidth = static_cast<int>(wParam);
        state.contentHeight = static_cast<int>(lParam);
        ResizeToClient(state);
        return 0;
    case kHtmlScrollSetX:
        return SetPosition(state, false, lParam);
    case kHtmlScrollSetY:
        return SetPosition(state, true, lParam);
    case kHtmlScrollGetX:
    case kHtmlScrollGetY: {
        int position = message == kHtmlScrollGetX ? state.posX : state.posY;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = position;
        return position;
    }
    case kHtmlScrollGetMaxX:
        return state.maxX;
    case kHtmlScrollGetMaxY:
        return state.maxY;
    default:
        return 0;
    }
}
