#pragma once

// Drives the program from outside, as a user does: starts it in the project's Wine prefix (this test runs
// in it too) and keeps its process, finds its frame, the shown view and its message boxes, posts frame
// commands and button clicks, reads texts, and ends the program only through its own process handle.
#include <windows.h>

#include <string>
#include <vector>

// The window id of the wizard view that is shown.
inline constexpr int kShownViewId = 59648;
inline constexpr wchar_t kProgramTitle[] = L"Corvane VMDK Recovery";

class ProgramDriver
{
public:
    ProgramDriver() = default;
    // Ends a program that is still running.
    ~ProgramDriver();
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    // The program of this build, as a full path.
    static std::wstring ProgramPath();

    // The command line after the program's path, as given; the program starts in currentFolder when one
    // is named.
    bool Start(const std::wstring& arguments = L"", const std::wstring& currentFolder = L"");
    DWORD ProcessId() const { return m_processId; }
    // The program's process, opened with every right (for reading and writing its memory).
    HANDLE Process() const { return m_process; }
    bool Running() const;
    // The exit code once the program ended within the time; false while it still runs.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode);
    // Terminates the program through its handle.
    void End();

    // The program's visible top-level windows.
    std::vector<HWND> TopLevelWindows() const;
    // The main frame: the visible top-level window titled like the program that is no dialog.
    HWND WaitForFrame(DWORD timeoutMs = 30000) const;
    // The visible dialog with this caption whose push buttons carry all these texts; null at the time-out.
    HWND WaitForBox(const std::wstring& caption, const std::vector<std::wstring>& buttons,
                    DWORD timeoutMs = 20000) const;
    // Whether the frame handles messages.
    bool Answers(HWND frame) const;

    static HWND ShownView(HWND frame) { return GetDlgItem(frame, kShownViewId); }
    // The first window inside parent, at any depth, with this text (a command bar by its title).
    static HWND Descendant(HWND parent, const std::wstring& text);
    // The frame's children with the wizard's view ids (59648 to 59652) that are visible.
    static std::vector<HWND> VisibleViews(HWND frame);
    static void PostCommand(HWND frame, UINT id);
    // Clicks a push button of a box the way a click reaches it.
    static bool ClickButton(HWND box, const std::wstring& text);
    static std::wstring Text(HWND window);
    static std::wstring ClassName(HWND window);
    static std::vector<std::wstring> PushButtonTexts(HWND box);

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
};

// A value read back raw from the registry: its type and bytes; false when it is not there.
bool ReadRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& type,
                       std::vector<BYTE>& data);
// A REG_SZ value as text (empty when missing or of another type).
std::wstring ReadRegistryText(HKEY root, const std::wstring& key, const std::wstring& name);
