// The File Trace savers: an item is a fixed run of sectors from the sector where its signature was found.
#include <cstring>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/save/save_file_common.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_names.h"

namespace {

// 1 MiB of an item is read in whole pieces.
constexpr std::uint32_t kPiecesPerMiB = 1048576 / (kSavePieceSectors * kSectorSize);
static_assert(kPiecesPerMiB * kSavePieceSectors * kSectorSize == 1048576, "an item's MiB is whole pieces");
// A size past this is a damaged setting, not a choice the file-type dialog offers.
constexpr std::uint32_t kMaxTraceItemMiB = 4096;

// Marked items of the current selection save, for its progress bar.
std::uint32_t markedTraceItems = 0;

void WriteTraceItem(RecoveredFile& file, std::uint32_t startSector)
{
    std::uint32_t megabytes = TraceItemSizeMiB == 0 ? 1 : TraceItemSizeMiB;
    if (megabytes > kMaxTraceItemMiB)
        megabytes = kMaxTraceItemMiB;
    std::vector<std::uint8_t> piece(static_cast<std::size_t>(kSavePieceSectors) * kSectorSize);
    std::uint64_t sector = startSector;
    for (std::uint32_t i = 0; i < kPiecesPerMiB * megabytes; ++i) {
        if (!file.KeepGoing())
            return;
        std::memset(piece.data(), 0, piece.size());
        bool pastImageEnd = false;
        if (!ReadSourceSectors(sector, kSavePieceSectors, piece.data(), &pastImageEnd))
            file.NoteSourceShort(pastImageEnd);
        if (!file.Write(piece.data(), piece.size()))
            return;
        sector += kSavePieceSectors;
    }
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
