// Screenshots of test windows as PNG files in the build folder, for a person to look at.
#pragma once

#include <windows.h>

#include <string>

// Paints the window and everything in it and writes what it shows to <build folder>/screenshots/<name>.png.
bool WriteWindowScreenshot(HWND hWnd, const std::wstring& name);
