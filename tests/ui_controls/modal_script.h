#pragma once

// Drives the message boxes of the tests on the display: the steps of a script run from inside the box's
// own modal loop, the first one posted as soon as the box's window exists (before its loop starts), each
// next one after everything that the step before posted; no step runs before the box is visible. A safety
// timer ends a box that is still open when the time is up, so that a fault never hangs the run.
#include <afxwin.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

struct ButtonInfo
{
    int id;
    std::wstring text;
    bool enabled;
};

class ModalScript
{
public:
    // A step returns false to be run again a little later (waiting for the box to change).
    using Step = std::function<bool(HWND box)>;
    static Step Do(std::function<void(HWND box)> action)
    {
        return [action](HWND box) {
            action(box);
            return true;
        };
    }

    // Watches the next dialog window that the calling thread creates.
    explicit ModalScript(std::vector<Step> steps, UINT safetyMs = 20000);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    HWND Box() const { return m_box; }
    bool TimedOut() const { return m_timedOut; }
    bool AllStepsRan() const { return m_nextStep == m_steps.size(); }
    // Top-level windows that this thread created while the script watched.
    int TopLevelWindowsCreated() const { return m_topLevelCreated; }
    // Every text that a button of the box had: the one it was created with, then each one set.
    std::vector<std::wstring> ButtonTextHistory(int id) const;

    // The result that the safety timer ends a box with.
    static constexpr int kTimedOutResult = -99;

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CallWindowHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK SafetyTimer(HWND, UINT, UINT_PTR, DWORD);
    static void CALLBACK RetryTimer(HWND, UINT, UINT_PTR, DWORD);
    void RunNextStep();
    void PostNextStep();

    std::vector<Step> m_steps;
    size_t m_nextStep = 0;
    HWND m_box = nullptr;
    bool m_timedOut = false;
    int m_topLevelCreated = 0;
    std::map<int, std::vector<std::wstring>> m_buttonTexts;
    HHOOK m_cbtHook = nullptr;
    HHOOK m_callWindowHook = nullptr;
    HHOOK m_getMessageHook = nullptr;
    UINT_PTR m_safetyTimer = 0;
    UINT_PTR m_retryTimer = 0;
    UINT m_stepMessage = 0;
    ModalScript* m_previous = nullptr;
};

// The visible buttons of a box (push buttons only, no check boxes), in creation order.
std::vector<ButtonInfo> VisibleButtons(HWND box);
std::wstring WindowText(HWND window);
// Presses a button the way a click does; false when the box has no such button.
bool ClickButton(HWND box, int id);
// The key reaches the box through its modal loop, as typed keys do.
void PostKey(HWND box, UINT key);
// The close box: the system command, handled before the function returns.
void PressCloseBox(HWND box);
bool CloseItemGreyed(HWND box);

// Writes the window with its frame and caption as a 24-bit BMP file; false on failure. The test display
// has no window manager to draw frames, so the frame and caption are drawn for the picture by the system's
// own caption drawing.
bool WriteWindowBitmap(HWND window, const std::wstring& path);
// A file in the folder of the test program (the build folder).
std::wstring BuildFolderFile(const std::wstring& name);
// Pixels of a window's client area, read back from the window's own device context.
std::vector<COLORREF> ClientPixels(HWND window, const RECT& area);

// Removes what earlier steps left in this thread's queue.
void DrainMessages();
// Pumps this thread's messages until the handle is signalled or the time runs out; false on timeout.
bool PumpUntilSignalled(HANDLE handle, DWORD timeoutMs);
