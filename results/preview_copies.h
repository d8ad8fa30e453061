#pragma once

// The temporary copies that the result list makes of a file for the preview pane: their names
// ("tmp<N>.<ext>" in the user's temporary folder), the one-copy-per-entry rule, the 5 MB rule, and the
// Office windows that may hold an earlier copy open.
#include <afxwin.h>

#include <cstdint>
#include <vector>

#include "preview_hand_over.h"

// A file larger than this is not copied in Quick and Extensive Scan: the preview shows its large-file
// view instead.
inline constexpr std::uint64_t kLargePreviewFileSize = 5242880;
// The path that asks the preview for its large-file view.
inline constexpr wchar_t kLargeFilePreviewPath[] = L"largefile";

// The counter of the copies' names: it starts at 0 with the process and only grows.
extern std::uint32_t TempFileCounter;
// The name of the copy last prepared, without its folder.
extern CString TempFileName;
// The last entry copied: the temporary folder joined with its name in lower case, and its entry ID.
extern CString LastPreviewPath;
extern std::uint64_t LastPreviewId;
// The entry's path inside the volume, shown next to "Preview:", is the preview pane's
// g_strPreviewItemPath (preview_hand_over.h).

// The user's temporary folder with its trailing "\".
CString PreviewTempFolder();

// The extension a copy of `name` gets: the text after its last ".", or the whole name when it has none,
// in lower case. Names come from the disk: path separators, ":", "..", control characters and the
// characters a file name cannot hold become "_", and the result is cut to 16 characters, so that the copy
// lands in the temporary folder and nowhere else.
CString PreviewExtension(const CString& name);

// The free name "tmp<TempFileCounter>.<ext>" (the counter moves on past names that exist), recorded with
// its full path in `madeCopies`; also kept in TempFileName.
CString MakeTempFileName(const CString& name, std::vector<CString>& madeCopies);

// 0 when the entry (the temporary folder joined with its name, and its ID) is the one copied last;
// otherwise it becomes the last one and the answer is 1.
int IsNewPreviewTarget(const CString& tempFolder, const CString& name, std::uint64_t id);

// Asks the Office windows (Word, PowerPoint, Excel) whose title names one of the copies to close, and
// ends the Excel instances that workbook previews started; an Office window of another file is left alone.
void CloseOfficeViewers(const std::vector<CString>& copies);
