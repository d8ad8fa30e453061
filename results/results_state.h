#pragma once

// The results step's process-wide values that the wizard's Back handlers put back to their start values
// (1, 0 and 0), which are also their values when the program starts.
#include <cstdint>

// 1: the result list's next paint clears the preview; set whenever the results are left.
extern std::uint32_t PreviewClearPending;
// The ID column of the folder row last opened in the result list (a tree item: pointer-wide).
extern std::uint64_t CurrentFolderId;
// 1 while a save of the Find dialog's rows is prepared or runs.
extern std::uint32_t SaveFromFindResults;
// 5 while the partition step, after a scan that left the tree empty, runs the results view's Home: Back
// then does not offer to save a snapshot.
extern std::uint32_t AutoHomeMarker;
