#include "engine/recovery/save/save_file_common.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/listing/file_name_filter.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_names.h"
#include "engine/recovery/save/save_output_io.h"

namespace {

constexpr std::size_t kPieceBytes = static_cast<std::size_t>(kSavePieceSectors) * kSectorSize;

// The bytes of the first piece of `bytes`, whole sectors.
std::size_t FirstPieceBytes(std::uint64_t bytes)
{
    const std::uint64_t piece = std::min<std::uint64_t>(bytes, kPieceBytes);
    return static_cast<std::size_t>((piece + kSectorSize - 1) / kSectorSize * kSectorSize);
}

// The piece buffer of every file the saving thread writes, at least `bytes` long. A buffer of its own
// for each file would cost every file the page faults of memory that the system hands out cleared,
// which took more of a save of large files than copying their bytes.
std::vector<std::uint8_t>& PieceBuffer(std::size_t bytes)
{
    thread_local std::vector<std::uint8_t> buffer;
    if (buffer.size() < bytes)
        buffer.resize(bytes);
    return buffer;
}

// "Copy (n ) of" is tried up to this n; a folder that holds them all gets no further copy.
constexpr std::uint32_t kMaxDuplicateCopies = 100000;

// Beyond 2 MiB clusters (4096 sectors) no NTFS or FAT volume goes; a larger value is a damaged field.
constexpr std::uint32_t kMaxSectorsPerCluster = 0x10000;

bool IsLeftOutByDeletedPolicy(std::uint32_t deleted)
{
    const std::uint16_t policy = RecoverySettings.deletedPolicy;
    if (policy == kDeletedExclude)
        return deleted != 0;
    if (policy == kDeletedOnly)
        return deleted == 0;
    return false;
}

// How often a paused saver looks whether it may go on.
constexpr std::chrono::milliseconds kPausePoll{10};

void CountNotCreated()
{
    ++SaveOutcome.failed;
    ++SaveOutcome.notCreated;
}

} // namespace

void WaitWhileSavePaused()
{
    if (SaveControl.pause == 0)
        return;
    SaveControl.paused = 1;
    while (SaveControl.pause != 0)
        std::this_thread::sleep_for(kPausePoll);
    SaveControl.paused = 0;
}

FileStart BeginFileSave(const char16_t* folder, const char16_t* name, int mode, bool applyDeletedPolicy,
                        std::uint32_t deleted)
{
    FileStart start;
    // Before the file is made, so that a stop answered meanwhile makes no file at all.
    WaitWhileSavePaused();
    if (SaveControl.stop == 1)
        return start;
    SaveControl.skip = 0;

    const std::u16string folderText = folder ? folder : u"";
    const char16_t* diskName = name ? name : u"";
    std::u16string fileName = MakeSafeName(diskName);
    std::u16string path = JoinSavePath(folderText, fileName);
    start.result = 1;
    if (!PathLiesInside(folderText, path)) {
        CountNotCreated();
        return start;
    }

    if (mode == kSaveModeSelection) {
        start.result = 0;
        if (!PassesFileFilter(diskName) || (applyDeletedPolicy && IsLeftOutByDeletedPolicy(deleted))) {
            ++SaveOutcome.skipped;
            return start;
        }
        // A name that is taken is found when the file is created: asking first would cost every file a
        // second look-up of its name, which is slow on some systems (Wine reads the whole folder for a
        // name that is not there).
        start.keepExisting = RecoverySettings.duplicatePolicy != kDuplicateOverwrite;
        ++SaveControl.fileCounter;
        SavingDialogUi& dialog = UiSavingDialog();
        dialog.SetFileNameText(fileName.c_str());
        dialog.SetFolderText(folderText.c_str());
        dialog.SetCounterText(DecimalText(SaveControl.fileCounter).c_str());
        dialog.SetProgressPos(0);
    }

    start.go = true;
    start.path = std::move(path);
    start.folder = folderText;
    start.fileName = std::move(fileName);
    return start;
}

void CountNothingToSave()
{
    ++SaveOutcome.skipped;
}

std::u16string CreateMarkedFolder(const char16_t* base, const char16_t* folderName)
{
    const std::u16string baseText = base ? base : u"";
    std::u16string path = JoinSavePath(baseText, MakeSafeName(folderName ? folderName : u""));
    if (!PathLiesInside(baseText, path))
        return {};
    WaitWhileSavePaused();
    OutputCreateFolder(path.c_str());
    return path;
}

bool ReadSourceSectors(std::uint64_t sector, std::uint32_t count, std::uint8_t* buffer, bool* pastImageEnd)
{
    bool stoppedAtImageEnd = false;
    bool whole = ReadSectors(0, static_cast<std::uint32_t>(sector), static_cast<std::uint32_t>(sector >> 32),
                             count, buffer) == 1;
    if (!whole && count <= 1)
        stoppedAtImageEnd = LastReadStoppedAtImageEnd();
    if (!whole && count > 1) {
        whole = true;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t one = sector + i;
            if (ReadSectors(0, static_cast<std::uint32_t>(one), static_cast<std::uint32_t>(one >> 32), 1,
                            buffer + static_cast<std::size_t>(i) * kSectorSize) != 1) {
                whole = false;
                stoppedAtImageEnd = stoppedAtImageEnd || LastReadStoppedAtImageEnd();
            }
        }
    }
    if (pastImageEnd)
        *pastImageEnd = stoppedAtImageEnd;
    return whole;
}

std::uint64_t VolumeLastSector()
{
    // Only a volume picked after an Extensive Scan has its own end; the Quick Scan's volume is the range.
    if (ScanSelection.scanKind == kScanExtensive && VolumeParams.endSector != 0)
        return VolumeParams.endSector;
    if (VolumeParams.rangeEnd != 0)
        return VolumeParams.rangeEnd;
    if (VolumeParams.rangeCount != 0)
        return static_cast<std::uint64_t>(VolumeParams.rangeStart) + VolumeParams.rangeCount - 1;
    return UINT64_MAX;
}

std::uint64_t VolumeByteSize()
{
    // A volume whose fields claim more (a loaded snapshot's, say) still holds no more than the disk.
    std::uint64_t last = VolumeLastSector();
    const std::uint64_t sourceSectors = SourceSectorCount();
    if (sourceSectors != 0)
        last = std::min(last, sourceSectors - 1);
    if (last == UINT64_MAX || last < VolumeParams.clusterBase)
        return UINT64_MAX;
    return (last - VolumeParams.clusterBase + 1) * kSectorSize;
}

bool ClusterSpanSectors(std::uint64_t firstCluster, std::uint64_t count, std::uint64_t& firstSector)
{
    const std::uint32_t sectorsPerCluster = VolumeParams.sectorsPerCluster;
    if (sectorsPerCluster == 0 || sectorsPerCluster > kMaxSectorsPerCluster || firstCluster > UINT32_MAX ||
        count > UINT32_MAX)
        return false;
    firstSector = VolumeParams.clusterBase + firstCluster * sectorsPerCluster;
    if (count == 0)
        return true;
    const std::uint64_t lastSector = firstSector + count * sectorsPerCluster - 1;
    return lastSector <= VolumeLastSector();
}

RecoveredFile::RecoveredFile(int mode, std::uint64_t size, bool progress)
    : mode(mode), size(size), progress(progress && mode == kSaveModeSelection)
{
    // The common start has shown 0 already.
    shownPercent = 0;
}

RecoveredFile::~RecoveredFile()
{
    Finish();
}

bool RecoveredFile::Create(const FileStart& start)
{
    if (!start.keepExisting)
        return Create(start.path);
    file = OutputCreateNewFile(start.path.c_str());
    if (IsUsableHandle(file)) {
        madePath = start.path;
        return true;
    }
    file = kNoHandle;
    // Only a name that is there is a duplicate; any other failure would fail for each copy name too.
    if (!OutputPathExists(start.path.c_str())) {
        notCreated = true;
        return false;
    }
    if (RecoverySettings.duplicatePolicy == kDuplicateSkip) {
        duplicateSkipped = true;
        return false;
    }
    // Any policy but overwrite keeps both files.
    for (std::uint32_t n = 1; n <= kMaxDuplicateCopies; ++n) {
        const std::u16string copyName = DuplicateCopyName(n, start.fileName);
        const std::u16string copyPath = JoinSavePath(start.folder, copyName);
        file = OutputCreateNewFile(copyPath.c_str());
        if (IsUsableHandle(file)) {
            madePath = copyPath;
            UiSavingDialog().SetFileNameText(copyName.c_str());
            return true;
        }
        file = kNoHandle;
        if (!OutputPathExists(copyPath.c_str()))
            break;
    }
    notCreated = true;
    return false;
}

bool RecoveredFile::Create(const std::u16string& path)
{
    file = OutputCreateFile(path.c_str());
    if (!IsUsableHandle(file)) {
        file = kNoHandle;
        notCreated = true;
        return false;
    }
    madePath = path;
    return true;
}

bool RecoveredFile::Write(const void* bytes, std::size_t count)
{
    if (notCreated || !IsUsableHandle(file) || !PassPendingHole())
        return false;
    const auto* next = static_cast<const std::uint8_t*>(bytes);
    while (count > 0) {
        const auto piece = static_cast<std::uint32_t>(std::min<std::size_t>(count, kPieceBytes));
        if (!OutputWrite(file, next, piece)) {
            notCreated = true;
            return false;
        }
        written += piece;
        next += piece;
        count -= piece;
    }
    return true;
}

bool RecoveredFile::WriteZeros(std::uint64_t count)
{
    if (count == 0)
        return true;
    const std::size_t span = FirstPieceBytes(count);
    std::vector<std::uint8_t>& zeros = PieceBuffer(span);
    std::memset(zeros.data(), 0, span);
    while (count > 0) {
        if (!KeepGoing())
            return false;
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(count, span));
        if (!Write(zeros.data(), piece))
            return false;
        ShowProgress();
        count -= piece;
    }
    return true;
}

bool RecoveredFile::SkipZeros(std::uint64_t count)
{
    if (count == 0)
        return true;
    if (!KeepGoing())
        return false;
    if (!sparseAsked) {
        sparseAsked = true;
        // A target that keeps no holes stores the zeros instead: the file is the same.
        OutputMarkSparse(file);
    }
    pendingHole += count;
    holes += count;
    ShowProgress();
    return true;
}

bool RecoveredFile::PassPendingHole()
{
    if (pendingHole == 0)
        return true;
    if (!OutputSkip(file, pendingHole)) {
        notCreated = true;
        return false;
    }
    pendingHole = 0;
    return true;
}

bool RecoveredFile::CopySectors(std::uint64_t firstSector, std::uint64_t bytes)
{
    std::vector<std::uint8_t>& buffer = PieceBuffer(FirstPieceBytes(bytes));
    while (bytes > 0) {
        if (!KeepGoing())
            return false;
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, kPieceBytes));
        const auto sectors = static_cast<std::uint32_t>((piece + kSectorSize - 1) / kSectorSize);
        bool pastImageEnd = false;
        if (!ReadSourceSectors(firstSector, sectors, buffer.data(), &pastImageEnd))
            NoteSourceShort(pastImageEnd);
        if (!Write(buffer.data(), piece))
            return false;
        // After the piece, so that a file of one piece shows its bar full as well.
        ShowProgress();
        firstSector += sectors;
        bytes -= piece;
    }
    return true;
}

bool RecoveredFile::KeepGoing()
{
    if (notCreated)
        return false;
    WaitWhileSavePaused();
    if (SaveControl.stop == 1 || SaveControl.skip == 1) {
        interrupted = true;
        return false;
    }
    return true;
}

void RecoveredFile::ShowProgress()
{
    if (!progress || size == 0)
        return;
    const std::uint32_t percent = ProgressPercent(written + holes, size);
    if (percent != shownPercent) {
        shownPercent = percent;
        UiSavingDialog().SetProgressPos(percent);
    }
}

void RecoveredFile::EndAfterHole()
{
    // A file that ends in a hole gets its length from an end set after the hole; set before the times,
    // since setting it moves the last-write time.
    if (IsUsableHandle(file) && !notCreated && pendingHole != 0 &&
        (!PassPendingHole() || !OutputEndHere(file)))
        notCreated = true;
}

void RecoveredFile::CloseWithTimes(const PlatformFileTimes& times)
{
    EndAfterHole();
    if (IsUsableHandle(file))
        OutputSetHandleTimes(file, times);
    Close();
}

void RecoveredFile::Close()
{
    if (!IsUsableHandle(file))
        return;
    EndAfterHole();
    if (!OutputClose(file))
        notCreated = true;
    file = kNoHandle;
}

void RecoveredFile::Finish()
{
    Close();
    if (counted)
        return;
    counted = true;
    // A file cut short, by a failed write or by Stop or Skip, would look like a whole one: it goes.
    if ((notCreated || interrupted) && !madePath.empty())
        OutputDeleteFile(madePath.c_str());
    if (duplicateSkipped) {
        ++SaveOutcome.skipped;
        return;
    }
    SaveOutcome.bytesWritten += written;
    if (notCreated || unreadable || beyondImageEnd || outsideVolume || storedAsIs || noData) {
        ++SaveOutcome.failed;
        SaveOutcome.notCreated += notCreated ? 1 : 0;
        SaveOutcome.unreadable += unreadable ? 1 : 0;
        SaveOutcome.beyondImageEnd += beyondImageEnd ? 1 : 0;
        SaveOutcome.outsideVolume += outsideVolume ? 1 : 0;
        SaveOutcome.storedAsIs += storedAsIs ? 1 : 0;
        SaveOutcome.noData += noData ? 1 : 0;
    } else if (interrupted) {
        ++SaveOutcome.skipped;
    } else {
        ++SaveOutcome.saved;
    }
}
