#pragma once

// Screenshots of the tests as PNG files in the build's screenshot folder, for a person to look at.
#include <windows.h>

#include <string>
#include <vector>

// The file in the screenshot folder of the build (created when missing), as a path of the running system.
std::wstring ScreenshotPath(const std::wstring& name);
// Writes the pixels (top row first) as a 24-bit PNG; false on failure.
bool WritePng(const std::wstring& path, int width, int height, const std::vector<COLORREF>& pixels);
// The window's client area as it is on the screen, written as a PNG into the screenshot folder.
bool WriteClientScreenshot(HWND window, const std::wstring& name);
