#pragma once

// Screenshots of the test programs' windows as PNG files, all in the build's one screenshots folder, for a
// person to look at. Windows only.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// The build's screenshots folder (created when missing), as a path of the running system.
std::wstring ScreenshotFolder();
// The file <name>.png in the screenshots folder.
std::wstring ScreenshotPath(const std::wstring& name);

// Writes 32-bit pixels (0x00RRGGBB, top row first) as a 24-bit PNG file; false when it cannot.
bool WritePng(const std::wstring& path, const std::uint32_t* pixels, int width, int height);
// Writes COLORREF pixels (top row first) as <name>.png in the screenshots folder.
bool WriteScreenshot(const std::wstring& name, const std::vector<COLORREF>& pixels, int width, int height);

// The pixels (0x00RRGGBB, top row first) of an area of a device context; empty when it cannot be read.
std::vector<std::uint32_t> CaptureDc(HDC dc, const RECT& area);
// The window with a frame and caption drawn for the picture around its client area: the test display runs
// no window manager, so nobody else draws them.
std::vector<std::uint32_t> CaptureFramedWindow(HWND window, int& width, int& height);

// An area of a device context as <name>.png in the screenshots folder.
bool WriteDcScreenshot(HDC dc, const RECT& area, const std::wstring& name);
// The screen under the window, after it and its children were painted.
bool WriteWindowScreenshot(HWND window, const std::wstring& name);
// The window's client area, read from its own device context.
bool WriteClientScreenshot(HWND window, const std::wstring& name);
// The window with the frame and caption drawn for the picture.
bool WriteFramedWindowScreenshot(HWND window, const std::wstring& name);

} // namespace test_support
