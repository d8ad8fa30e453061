#pragma once

// What the results view needs of the application around it. The view reaches the wizard, the frame and
// the other steps only through this interface; the application implements it and hands it to the view
// with CThirdView_HDD::SetHost. Every method runs on the user-interface thread.
#include <cstdint>
#include <string>

class CMenu;

class ResultsHost
{
public:
    virtual ~ResultsHost() = default;

    // The wizard's view switch, index 0 to 4.
    virtual void SwitchView(int index) = 0;
    // Notes the frame's active view in the application before a command runs.
    virtual void NoteActiveView() = 0;
    // True once a scan has led to results (the wizard's results-ready mark is 5).
    virtual bool ScanResultsReady() = 0;
    // The mode summary that the wizard's steps draw at their bottom left.
    virtual std::wstring ModeSummary() = 0;
    // Hands a percent of the tree's building to the progress window of a snapshot load; false when no
    // load shows one.
    virtual bool ReportLoadProgress(std::uint32_t percent) = 0;
    // Hands a file's preview copy (or an empty path, or "largefile") to the preview, with its extension.
    virtual void ShowPreview(const std::wstring& path, const std::wstring& extension) = 0;
    // A popup menu at a screen point through the frame's command bars; the chosen command, 0 for none.
    virtual int TrackContextMenu(CMenu* pMenu, int x, int y) = 0;
    // Runs a command of the frame (Find Files, Settings).
    virtual void RunFrameCommand(unsigned int command) = 0;
    // The frame's Save Recovery Snapshot command.
    virtual void SaveSnapshot() = 0;
    // Deletes the result list's preview copies and the slide files of the previews.
    virtual void ResetResultsAndTempFiles() = 0;
    // Both results flags of the frame off, its step flags at their start values.
    virtual void ResetFrameResultsFlags() = 0;
    // The partition step back in its choosing state after Back from the results of a Quick Scan or a
    // File Trace (the scan kind), its step number set to 2; the file-system step likewise after an
    // Extensive Scan, its step number set to 3.
    virtual void ReturnToPartitionStep(std::uint32_t scanKind) = 0;
    virtual void ReturnToFileSystemStep() = 0;
    // Home: the Back handlers of the file-system, partition and drive steps in that order (which end on
    // the home view), then every step number of the wizard 0.
    virtual void ReturnHome() = 0;
};
