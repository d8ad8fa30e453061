#pragma once

// The wizard's step numbers per scan mode and the results-ready mark, and the clean-up that every Back,
// Home and exit runs on the results and the temporary files.
#include <afxwin.h>

#include <cstdint>

struct WizardStepStateBlock
{
    std::uint32_t extensive = 0;
    std::uint32_t fileTrace = 0;
    std::uint32_t quick = 0;
    // kResultsReady once a scan was started that leads to results.
    std::uint32_t resultsReady = 0;
};

extern WizardStepStateBlock WizardStepState;

inline constexpr std::uint32_t kResultsReady = 5;

// The step number of the scan mode chosen on the home view.
std::uint32_t& CurrentModeStep();

// A scan reached its results and no snapshot of them was written or loaded since: Extensive Scan at step
// 4, or Quick Scan or File Trace at step 3, with the results-ready mark.
bool ScanFinishedAndUnsaved();

// The user's temporary folder's "ssss", where the slide previews put their pictures.
CString SlideFolderPath();

// Deletes the result list's preview copies (the map keeps its entries) and the files of the slide
// folder, then the folder itself; missing files are no failure. Needs the main window and its active
// document, else does nothing.
void ResetResultsAndTempFiles();
