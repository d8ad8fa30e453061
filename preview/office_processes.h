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

// The Office instances a preview step starts in the background (Excel under the web browser's workbook
// view): the step notes the class's processes before it starts, the processes that appeared by its end
// are recorded, and a later view ends the recorded ones that still own such a window.
void NoteProcessesBeforePreview(LPCWSTR pszClass);
void RecordProcessesStartedByPreview(LPCWSTR pszClass);
int EndProcessesStartedByPreviews(LPCWSTR pszClass);
