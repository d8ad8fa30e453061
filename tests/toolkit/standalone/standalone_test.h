// What the stand-alone control tests share: a top-most parent window that records the commands and
// notifications of its children, message pumping with a deadline, and pictures of a window's client
// area read back from the screen (the program runs alone on the display) and saved as PNG files.
#pragma once

#include "toolkit_test_app.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class RecordingParent : public CWnd
{
public:
    // A visible top-most pop-up at the rectangle, in the button-face colour.
    BOOL Create(const CRect& rect, LPCTSTR lpszTitle = L"standalone");

    struct Command
    {
        UINT nID;
        UINT nCode;
        HWND hWndFrom;
    };
    std::vector<Command> m_commands;
    // Other messages the tests ask for, as (message, wParam).
    std::vector<std::pair<UINT, WPARAM>> m_messages;
    std::vector<UINT> m_recordedMessages;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The one parent of the tests' controls (records cleared).
RecordingParent& SharedParent();

// Dispatches the waiting messages.
void Pump();
// Pumps until the condition holds or the time is up; the condition's last answer.
bool PumpUntil(const std::function<bool()>& condition, int nMilliseconds = 2000);
// Pumps for the time, so that timers run.
void PumpFor(int nMilliseconds);

// The client area (or the whole window) of a window as it shows on the screen, after a full repaint.
class ClientPicture
{
public:
    explicit ClientPicture(CWnd* pWnd, bool bWholeWindow = false);
    COLORREF Pixel(int x, int y) const { return m_surface->Pixel(x, y); }
    int Width() const { return m_surface->width(); }
    int Height() const { return m_surface->height(); }
    // The smallest rectangle of pixels in the area that satisfy the test; empty when none does.
    CRect Bounds(const std::function<bool(COLORREF)>& test,
                 const CRect& area = CRect(0, 0, 4096, 4096)) const;
    int Count(const std::function<bool(COLORREF)>& test) const;
    // Into the build folder's screenshots.
    bool Save(const std::wstring& name) const;

private:
    std::unique_ptr<PixelSurface> m_surface;
};

// A 16 x 16 icon of one colour, for the image tests.
HICON MakeSolidIcon(COLORREF clr, int nSize = 16);
bool IsDark(COLORREF clr);
