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

bool ReadSourceSectors(std::uint64_t sector, std::uint32_t count, std::uint8_t* buffer, bool* pastImageEnd,
                       bool* anyRead)
{
    bool stoppedAtImageEnd = false;
    bool whole = ReadSectors(0, static_cast<std::uint32_t>(sector), static_cast<std::uint32_t>(sector >> 32),
                             count, buffer) == 1;
    bool some = whole;
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
            } else {
                some = true;
            }
        }
    }
    if (pastImageEnd)
        *pastImageEnd = stoppedAtImageEnd;
    if (anyRead)
        *anyRead = some;
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

OutputTargetFacts (*OutputFactsHook)(const char16_t* folder) = nullptr;

namespace {

// The facts of the target volume that holds the file at `path`.
OutputTargetFacts FactsOfFolderHolding(const std::u16string& path)
{
    const std::size_t separator = path.find_last_of(u'\\');
    const std::u16string folder = separator == std::u16string::npos ? path : path.substr(0, separator);
    return OutputFactsHook ? OutputFactsHook(folder.c_str()) : OutputFactsOf(folder.c_str());
}

} // namespace

bool RecoveredFile::FitsTarget(const std::u16string& path)
{
    // A file of one piece is a single write: a target without the room refuses it, and it is removed.
    if (size <= kPieceBytes)
        return true;
    const OutputTargetFacts facts = FactsOfFolderHolding(path);
    factsKnown = true;
    keepsHoles = facts.keepsHoles;
    // Where the target keeps holes a sparse file needs far less than its size, which is not known here;
    // one that does not fit fails at its write and is removed.
    if (keepsHoles || size <= facts.freeBytes)
        return true;
    tooLarge = true;
    return false;
}

bool RecoveredFile::TargetKeepsHoles()
{
    if (sparseAsked)
        return keepsHoles;
    sparseAsked = true;
    if (!factsKnown) {
        keepsHoles = FactsOfFolderHolding(madePath).keepsHoles;
        factsKnown = true;
    }
    // A file system may say it keeps holes and still refuse this file; the zeros are then written.
    keepsHoles = keepsHoles && OutputMarkSparse(file);
    return keepsHoles;
}

bool RecoveredFile::Create(const FileStart& start)
{
    if (!FitsTarget(start.path))
        return false;
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
    if (!tooLarge && !factsKnown && !FitsTarget(path))
        return false;
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
    if (count > 0)
        storedRead = true;
    return WriteBytes(bytes, count);
}

bool RecoveredFile::WriteBytes(const void* bytes, std::size_t count)
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
        if (!WriteBytes(zeros.data(), piece))
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
    // Left to the system, a target that keeps no holes would write them as zeros in one call at the next
    // write or the end: no stop, no skip and no progress for as long as that takes.
    if (!TargetKeepsHoles())
        return WriteZeros(count);
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
        bool anyRead = false;
        if (!ReadSourceSectors(firstSector, sectors, buffer.data(), &pastImageEnd, &anyRead))
            NoteSourceShort(pastImageEnd);
        storedRead = storedRead || anyRead;
        if (!WriteBytes(buffer.data(), piece))
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

void RecoveredFile::NoteKeptWithZeros()
{
    ++SaveOutcome.keptWithZeros;
    if (SaveOutcome.keptWithZerosNames.size() >= kKeptWithZerosNamed)
        return;
    // Named from the folder the user chose, as the user finds it there.
    const std::u16string& target = SaveOutcome.target;
    std::u16string name = madePath;
    if (!target.empty() && name.size() > target.size() && name.compare(0, target.size(), target) == 0) {
        name.erase(0, target.size());
        if (!name.empty() && name[0] == u'\\')
            name.erase(0, 1);
    }
    SaveOutcome.keptWithZerosNames.push_back(std::move(name));
}

void RecoveredFile::Finish()
{
    Close();
    if (counted)
        return;
    counted = true;
    const bool zerosStandIn = unreadable || beyondImageEnd || outsideVolume;
    // Made, and not one stored byte of it read: zeros alone would pass for the file.
    const bool nothingRead = zerosStandIn && !storedRead && !notCreated && !madePath.empty();
    // A file cut short, by a failed write or by Stop or Skip, would look like a whole one: it goes.
    const bool removed = notCreated || interrupted || nothingRead;
    if (removed && !madePath.empty())
        OutputDeleteFile(madePath.c_str());
    if (duplicateSkipped) {
        ++SaveOutcome.skipped;
        return;
    }
    if (tooLarge) {
        ++SaveOutcome.failed;
        ++SaveOutcome.tooLarge;
        return;
    }
    if (nothingRead) {
        ++SaveOutcome.failed;
        ++SaveOutcome.nothingRead;
        return;
    }
    SaveOutcome.bytesWritten += written;
    if (notCreated || zerosStandIn || storedAsIs || noData) {
        ++SaveOutcome.failed;
        SaveOutcome.notCreated += notCreated ? 1 : 0;
        SaveOutcome.unreadable += unreadable ? 1 : 0;
        SaveOutcome.beyondImageEnd += beyondImageEnd ? 1 : 0;
        SaveOutcome.outsideVolume += outsideVolume ? 1 : 0;
        SaveOutcome.storedAsIs += storedAsIs ? 1 : 0;
        SaveOutcome.noData += noData ? 1 : 0;
        if (zerosStandIn && !removed && !madePath.empty())
            NoteKeptWithZeros();
    } else if (interrupted) {
        ++SaveOutcome.skipped;
    } else {
        ++SaveOutcome.saved;
    }
}
