#include "results_state.h"

std::uint32_t PreviewClearPending = 1;
std::uint64_t CurrentFolderId = 0;
std::uint32_t SaveFromFindResults = 0;
std::uint32_t AutoHomeMarker = 0;
