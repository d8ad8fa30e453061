#pragma once

// Screenshots for a person to look at: a window with its frame and caption, written as a PNG file into
// the build's screenshots folder.
#include <windows.h>

#include <string>

// The file's full path in the screenshots folder (created when missing).
std::wstring ScreenshotPath(const std::wstring& name);
// False when the window could not be captured or the file not written.
bool WriteWindowPng(HWND window, const std::wstring& name);
