#pragma once

// Walks the program's wizard from outside, one step at a time, as a user does: the home view's path and
// mode buttons, the drive step's Next and the Partition Type question, a partition of the tree and Scan,
// the file-system step's volume and Next, the results tree's boxes, Save and the folder browser. Every
// step leaves a picture NN-step.png in the shots folder. A step that does not come within its time
// leaves a picture of the failure and the program's windows on stderr, and says false.
#include "program_driver.h"
#include "remote_controls.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class RoadMode
{
    Quick,
    Extensive,
    Trace,
};

enum class WizardStep
{
    Unknown,
    Home,
    Drive,
    Partition,
    FileSystem,
    Results,
};

inline constexpr DWORD kStepWaitMs = 30000;
// Back and Home: the same ids on every step.
inline constexpr int kStepBack = 160;
inline constexpr int kStepHome = 61481;

class RoadWalker
{
public:
    // Pictures go into shotsFolder (a path of this system; none when empty).
    RoadWalker(ProgramDriver& program, std::wstring shotsFolder);

    // Starts the program and waits for its frame on the home view.
    bool Start(const std::wstring& arguments = L"", const std::wstring& currentFolder = L"");
    // Waits for the frame of a program started elsewhere (a restart) and learns its views.
    bool AttachToFrame();
    HWND Frame() const { return m_frame; }
    WizardStep ShownStep() const;
    bool WaitForStep(WizardStep step, DWORD timeoutMs = kStepWaitMs);

    // The image's path typed into the home view's box.
    bool TypeImagePath(const std::wstring& path);
    // A mode button of the home view; the drive step follows.
    bool ChooseMode(RoadMode mode);
    // Next on the drive step, the Partition Type question answered with OK; the partition step follows
    // with its tree filled.
    bool SearchPartitions();
    // A click on row `row` (from 1) of the partition step's tree.
    bool ChoosePartition(int row);
    // Scan on the partition step. File Trace answers the File Types dialog with the types as they stand
    // and notes the size of the items. The results view (Quick, File Trace) or the file-system step
    // (Extensive) follows.
    bool Scan(RoadMode mode, DWORD timeoutMs);
    // The k-th found volume (from 1) of the file-system step and Next; the results view follows.
    bool ChooseVolume(int k, DWORD timeoutMs);
    // Scan on the partition step (File Trace's types as in Scan), Stop pressed as soon as it shows and its
    // question answered Yes; then the step that the stopped scan leads to (the results, the file-system
    // step, or home after a notice, which is answered), once the program is quiet. An Extensive Scan
    // scans the sectors `firstSector` to `lastSector` when they are given (typed into the step's fields).
    bool ScanAndStop(RoadMode mode, const std::wstring& firstSector, const std::wstring& lastSector,
                     DWORD timeoutMs);
    // Back or Home on the shown view, the snapshot question answered No; true once one of the steps
    // `to` is shown and the program is quiet.
    bool Leave(int button, const std::vector<WizardStep>& to);

    // The results view's tree and list.
    RemoteTree ResultTree() const;
    std::vector<std::vector<std::wstring>> ResultRows(int most = INT_MAX) const;
    // Clicks an item's box and waits until its state has changed and the program is quiet again.
    bool ToggleBox(HTREEITEM item, DWORD timeoutMs = kStepWaitMs);
    // Expands an item of the results tree through its button.
    bool Expand(HTREEITEM item);
    // Clicks a folder of the results tree and waits until it is selected and the program is quiet again.
    bool ListFolder(HTREEITEM item, DWORD timeoutMs = kStepWaitMs);
    // A click on the result list's header over a column, sent as the mouse sends it; true once the
    // program has answered the release, so the sort the click asks for is done (StepEnd).
    bool ClickResultHeader(int column, DWORD timeoutMs = kStepWaitMs);
    // The item at a folder path below the root ("Level1\Level2"), expanding on the way.
    HTREEITEM FolderItem(const std::wstring& path);

    // Save, the folder browser answered with OK on the folder (this system's path), and the closing
    // message's text. The browser's choice is checked before OK, so nothing is saved elsewhere.
    bool Save(const std::wstring& folder, std::wstring& outcome, DWORD timeoutMs);
    // Save into the folder as Save does; once the folder holds its first files, Stop Saving, its question
    // left up for `holdMs`, then Yes. The files below the folder when the question came, after the hold
    // and once the program is quiet again; `outcome` is the message the save showed after all, or
    // "stopped".
    struct StopSaveCounts
    {
        int atQuestion = -1;
        int afterHold = -1;
        int atEnd = -1;
    };
    bool StopSave(const std::wstring& folder, DWORD holdMs, StopSaveCounts& counts, std::wstring& outcome,
                  DWORD timeoutMs);
    // The regular files below a folder (this system's path), however deep.
    static int CountFiles(const std::wstring& folder);
    // Prints a message box's text on a line "message".
    static void PrintMessage(HWND box);

    // The first visible dialog with an OK or Yes button and its texts; null at the time-out.
    HWND WaitForMessage(const std::vector<std::wstring>& buttons, DWORD timeoutMs = kStepWaitMs);
    // The texts of a dialog's static controls, joined by blanks: the visible ones, and the hidden one that
    // holds a drawn message's text.
    static std::wstring StaticTexts(HWND dialog);
    // A common file dialog of the program: the name typed into its box and OK.
    bool AnswerFileDialog(const std::wstring& name, DWORD timeoutMs = kStepWaitMs);
    // Waits until the program shows no window but its frame (no question, no please-wait box).
    bool WaitQuiet(DWORD timeoutMs = kStepWaitMs);

    // Clicks a button of the shown view by its id, once it is visible and enabled.
    bool ClickViewButton(int id, DWORD timeoutMs = kStepWaitMs);
    // A picture of the window (the frame when null) as NN-name.png.
    void Shot(const std::wstring& name, HWND window = nullptr);
    // A picture of the screen over the frame as NN-name.png: what lies on top of it too (open menus and
    // their shadows, boxes), as the display shows it.
    void ScreenShot(const std::wstring& name);
    // Leaves a picture and the program's windows for a failed step; returns false.
    bool Fail(const std::wstring& what);
    // The item size that the File Types dialog offered, as it showed it ("1 MB").
    const std::wstring& TraceItemSize() const { return m_traceItemSize; }
    const std::wstring& FailureText() const { return m_failure; }
    // When the last step's outcome showed (GetTickCount64): the frame, the filled partition list, the
    // first quiet poll after a click or a scan, the save's closing message. The pause that tells the
    // program quiet and the pictures come after it, so a timing ends here.
    ULONGLONG StepEnd() const { return m_stepEnd; }
    // When Save answered the folder browser with OK.
    ULONGLONG SaveStart() const { return m_saveStart; }

    // Polls the condition until it holds (true) or the time is out or the program has ended (false).
    bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

private:
    void WriteShot(const std::wstring& name, const std::vector<std::uint32_t>& pixels, int width, int height);
    bool StartScan(RoadMode mode);
    HWND Partner(const std::function<bool(HWND)>& test) const;
    // No window of the program's besides the frame, and none on its way: the frame takes input.
    bool Quiet() const;
    bool ChooseBrowserFolder(HWND browser, const std::wstring& folder);
    // Save up to the folder browser's OK on the folder.
    bool StartSave(const std::wstring& folder);

    ProgramDriver& m_program;
    std::wstring m_shots;
    int m_shotNumber = 0;
    HWND m_frame = nullptr;
    HWND m_views[5] = {};
    std::wstring m_traceItemSize;
    std::wstring m_failure;
    ULONGLONG m_stepEnd = 0;
    ULONGLONG m_saveStart = 0;
};
