#pragma once

// The processes that own top-level windows of a class (Word's "OpusApp", Excel's "XLMain"), so that a
// preview ends only the Office instances its own automation started and never the user's.
#include <windows.h>

#include <set>

using ProcessIdSet = std::set<DWORD>;

// The ids of the processes owning a top-level window of the class.
ProcessIdSet ProcessesOwningWindowClass(LPCWSTR pszClass);
// Ends every process owning a window of the class that is not in the set taken before; returns how many
// were ended.
int EndProcessesStartedSince(LPCWSTR pszClass, const ProcessIdSet& before);
