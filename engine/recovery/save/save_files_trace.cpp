// The File Trace savers: an item is a fixed run of sectors from the sector where its signature was found.
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/save/save_file_common.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_names.h"

namespace {

// A size past this is a damaged setting, not a choice the file-type dialog offers.
constexpr std::uint32_t kMaxTraceItemMiB = 4096;

// Marked items of the current selection save, for its progress bar.
std::uint32_t markedTraceItems = 0;

// Whole pieces of sectors from the start sector on, as many as the item's MiB hold; past the disk's end
// they read as zeros.
void WriteTraceItem(RecoveredFile& file, std::uint32_t startSector)
{
    std::uint32_t megabytes = TraceItemSizeMiB == 0 ? 1 : TraceItemSizeMiB;
    if (megabytes > kMaxTraceItemMiB)
        megabytes = kMaxTraceItemMiB;
    file.CopySectors(startSector, static_cast<std::uint64_t>(megabytes) << 20);
}

} // namespace

void SetMarkedTraceItems(std::uint32_t count)
{
    markedTraceItems = count;
}

int SaveTraceFile(const char16_t* folder, const char16_t* name, std::uint32_t startSector, int mode)
{
    const FileStart start = BeginFileSave(folder, name, mode, false, 0);
    if (!start.go)
        return start.result;
    if (mode == kSaveModeSelection)
        UiSavingDialog().SetProgressPos(ProgressPercent(SaveControl.fileCounter, markedTraceItems));
    RecoveredFile file(mode, 0, false);
    if (!file.Create(start))
        return file.DuplicateSkipped() ? 0 : 1;
    WriteTraceItem(file, startSector);
    CloseWithFatDateTimes(file);
    return 1;
}

int CopyRawRange(std::uint32_t startSector, const char16_t* folder, const char16_t* name)
{
    SaveControl.skip = 0;
    const std::u16string folderText = folder ? folder : u"";
    const std::u16string path = JoinSavePath(folderText, MakeSafeName(name ? name : u""));
    RecoveredFile file(kSaveModeAsIs, 0, false);
    if (!PathLiesInside(folderText, path)) {
        file.NoteNotCreated();
        return 1;
    }
    if (!file.Create(path))
        return 1;
    WriteTraceItem(file, startSector);
    return 1;
}
