// The FAT savers: a file rebuilt from its cluster chain, the files of a folder, and the FAT date as the
// saved file's times.
#include <algorithm>
#include <chrono>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/file_time.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/fat/fat_chain.h"
#include "engine/recovery/save/save_file_common.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_names.h"
#include "engine/recovery/save/save_output_io.h"

namespace {

constexpr std::uint64_t kTicksPerMillisecond = kFiletimeTicksPerSecond / 1000;
constexpr std::uint64_t kMillisecondsPerDay = kSecondsPerDay * 1000;

std::uint32_t ChainLength()
{
    std::uint32_t length = 0;
    for (const ClusterNode* node = clusterChain.head; node; node = node->next)
        ++length;
    return length;
}

// The clusters a file of `count` clusters takes: its chain in FAT copy 1 when that has exactly the right
// length, else in copy 2, else the clusters that follow the first one (a deleted file's chain is gone;
// its clusters most often lie in a row).
std::vector<std::uint32_t> FileClusters(std::uint32_t firstCluster, std::uint32_t count)
{
    std::vector<std::uint32_t> clusters;
    for (std::uint16_t copy = 1; copy <= 2; ++copy) {
        CollectFatChain(firstCluster, count, copy);
        if (ChainLength() == count) {
            clusters.reserve(count);
            for (const ClusterNode* node = clusterChain.head; node; node = node->next)
                clusters.push_back(node->cluster);
            FreeClusterChain();
            return clusters;
        }
    }
    FreeClusterChain();
    clusters.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i)
        clusters.push_back(static_cast<std::uint32_t>(firstCluster + i));
    return clusters;
}

bool IsVolumeCluster(std::uint32_t cluster)
{
    std::uint64_t sector = 0;
    return IsUsableCluster(cluster) && ClusterSpanSectors(cluster, 1, sector);
}

// Writes the file's bytes cluster run by cluster run; clusters that are no cluster of this volume are
// not read and stand as zeros. A run ends where the volume does, so that the clusters before its end
// are read even when the run goes on past it.
void WriteClusters(RecoveredFile& file, const std::vector<std::uint32_t>& clusters, std::uint64_t size)
{
    const std::uint64_t clusterBytes =
        static_cast<std::uint64_t>(VolumeParams.sectorsPerCluster) * kSectorSize;
    std::uint64_t remaining = size;
    std::size_t index = 0;
    while (remaining > 0 && index < clusters.size()) {
        const bool inVolume = IsVolumeCluster(clusters[index]);
        std::size_t end = index + 1;
        while (end < clusters.size() && clusters[end] == clusters[end - 1] + 1 &&
               IsVolumeCluster(clusters[end]) == inVolume)
            ++end;
        const std::uint64_t runClusters = end - index;
        const std::uint64_t bytes = std::min(remaining, runClusters * clusterBytes);
        std::uint64_t firstSector = 0;
        bool written;
        if (inVolume && ClusterSpanSectors(clusters[index], runClusters, firstSector)) {
            written = file.CopySectors(firstSector, bytes);
        } else {
            file.NoteOutsideVolume();
            written = file.WriteZeros(bytes);
        }
        if (!written)
            return;
        remaining -= bytes;
        index = end;
    }
}

// No file of a FAT volume is longer than the volume's clusters: the most bytes one can hold.
std::uint64_t FatVolumeBytes(std::uint64_t clusterBytes)
{
    std::uint64_t bytes = VolumeByteSize();
    const std::uint32_t limit = FatClusterLimit();
    if (limit != 0)
        bytes = std::min<std::uint64_t>(bytes, static_cast<std::uint64_t>(limit) * clusterBytes);
    return bytes;
}

} // namespace

int SaveFileFat(const char16_t* folder, std::uint32_t /*entryId*/, int mode, std::uint32_t firstCluster,
                std::uint32_t size, const char16_t* name, std::uint32_t deleted)
{
    const FileStart start = BeginFileSave(folder, name, mode, true, deleted);
    if (!start.go)
        return start.result;

    RecoveredFile file(mode, size, true);
    const std::uint64_t clusterBytes =
        static_cast<std::uint64_t>(VolumeParams.sectorsPerCluster) * kSectorSize;
    if (size > 0 && clusterBytes == 0) {
        // No cluster size: nothing can be found, and nothing is divided by it.
        file.NoteOutsideVolume();
        return 1;
    }
    if (!file.Create(start))
        return file.DuplicateSkipped() ? 0 : 1;
    // A size past what the volume holds is a damaged entry: what the volume can hold of the file is
    // kept, since its first clusters may well be the data the user is after, and the file counts as
    // failed. Writing the rest would only fill the target disk with zeros.
    std::uint64_t kept = size;
    if (kept > FatVolumeBytes(clusterBytes)) {
        kept = FatVolumeBytes(clusterBytes);
        file.NoteOutsideVolume();
    }
    if (kept > 0) {
        const auto count = static_cast<std::uint32_t>((kept + clusterBytes - 1) / clusterBytes);
        WriteClusters(file, FileClusters(firstCluster, count), kept);
    }
    CloseWithFatDateTimes(file);
    return 1;
}

void SaveFatFolderFiles(std::uint32_t folderValue, const char16_t* path)
{
    for (const FatFileRec* record = fatFiles.head; record && SaveControl.stop != 1; record = record->next) {
        if (record->parentCluster != folderValue)
            continue;
        PendingFileTime = record->writeDate;
        SaveFileFat(path, record->fileId, kSaveModeSelection, record->firstCluster, record->size,
                    record->name, record->deleted);
    }
}

void CreateFatFolder(const char16_t* base, const char16_t* folderName, std::uint32_t folderValue)
{
    const std::u16string path = CreateMarkedFolder(base, folderName);
    if (!path.empty())
        SaveFatFolderFiles(folderValue, path.c_str());
}

void SplitFatDate(std::uint16_t date, std::uint32_t& year, std::uint32_t& month, std::uint32_t& day)
{
    year = (date >> 9) + 1980u;
    month = (date >> 5) & 15u;
    day = date & 31u;
}

bool PendingFatDateTimes(PlatformFileTimes& times)
{
    std::uint32_t year = 0;
    std::uint32_t month = 0;
    std::uint32_t day = 0;
    SplitFatDate(static_cast<std::uint16_t>(PendingFileTime & 0xFFFF), year, month, day);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;

    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    const auto millisecondOfDay =
        static_cast<std::uint64_t>(sinceEpoch.count() % static_cast<std::int64_t>(kMillisecondsPerDay));
    const auto daysSince1601 =
        static_cast<std::uint64_t>(DaysFromCivil(year, month, day) + kDaysFrom1601To1970);
    const std::uint64_t filetime =
        (daysSince1601 * kMillisecondsPerDay + millisecondOfDay) * kTicksPerMillisecond;

    times.creation = filetime;
    times.lastAccess = filetime;
    times.lastWrite = filetime;
    return true;
}

void SetFileTimesFromFatDate(const char16_t* path)
{
    PlatformFileTimes times;
    if (PendingFatDateTimes(times))
        OutputSetFileTimes(path, times);
}

void CloseWithFatDateTimes(RecoveredFile& file)
{
    PlatformFileTimes times;
    if (PendingFatDateTimes(times))
        file.CloseWithTimes(times);
    else
        file.Close();
}
