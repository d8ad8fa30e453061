// Benchmark of the NTFS Quick Scan on a large MFT (prints figures; not a test). Writes a volume with
// RECORDS file records (a thousand folders under the root, files spread over them, every tenth file
// deleted, every hundredth with its data in an extension record) to a temporary file, reads it as an
// opened volume, and times the walk of the MFT and the flattening of the tree into rows.
//
//   recovery_ntfs_quick_scan_benchmark [RECORDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/quick_ntfs_scan.h"
#include "engine_probe/quick_ntfs_rows.h"
#include "ntfs_test_records.h"
#include "ntfs_test_volume.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kSectorsPerCluster = 8;
constexpr std::uint32_t kMftCluster = 16;
constexpr std::uint32_t kFirstFolder = 16;
constexpr std::uint32_t kFolders = 1000;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

Bytes Record(std::uint32_t number, std::uint32_t records)
{
    if (number == 0) {
        const std::uint32_t clusters = records / 4;
        return MftRecordMaker(RunEntry(clusters, kMftCluster, 4, 4), std::uint64_t{records} * 1024).Finish();
    }
    if (number == 5)
        return RootFolderMaker().Finish();
    if (number < kFirstFolder)
        return Bytes(1024, 0);
    const std::string digits = std::to_string(number);
    const std::u16string name = u"entry-" + std::u16string(digits.begin(), digits.end());
    if (number < kFirstFolder + kFolders) {
        RecordMaker folder(3);
        folder.AddResident(0x10, Bytes(72, 0));
        folder.AddFileName(5, name);
        folder.AddIndexRoot(0);
        return folder.Finish();
    }
    const std::uint32_t parent = kFirstFolder + number % kFolders;
    const std::uint16_t flags = number % 10 == 0 ? 0 : 1;
    RecordMaker file(flags);
    file.AddResident(0x10, Bytes(72, 0));
    if (number % 100 == 1 && number + 1 < records) {
        Bytes list;
        for (const Bytes& entry : {AttributeListEntry(0x10, number), AttributeListEntry(0x30, number),
                                   AttributeListEntry(0x80, number + 1)})
            list.insert(list.end(), entry.begin(), entry.end());
        file.AddResident(0x20, list);
        file.AddFileName(parent, name);
        return file.Finish();
    }
    if (number % 100 == 2) {
        RecordMaker extension(1, (number - 1) | 0x0001000000000000ull);
        extension.AddNonResident(0x80, RunEntry(100, 500000 + number, 2, 4), 409600);
        return extension.Finish();
    }
    file.AddFileName(parent, name);
    file.AddResident(0x80, Bytes(number % 300, 0x41));
    return file.Finish();
}

} // namespace

int main(int argc, char** argv)
{
    const std::uint32_t records =
        argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 200000;
    if (records < kFirstFolder + kFolders + 100) {
        std::fprintf(stderr, "usage: recovery_ntfs_quick_scan_benchmark [RECORDS >= %u]\n",
                     kFirstFolder + kFolders + 100);
        return 1;
    }
    const std::uint32_t mftSector = kMftCluster * kSectorsPerCluster;
    const std::uint32_t volumeSectors = mftSector + 2 * records + 4096;

    auto began = Clock::now();
    TempVolume volume("benchmark");
    volume.Write(0, NtfsBootSector(kSectorsPerCluster, kMftCluster, 8, volumeSectors - 1));
    Bytes piece;
    std::uint64_t pieceOffset = mftSector * 512ull;
    for (std::uint32_t number = 0; number < records; ++number) {
        const Bytes record = Record(number, records);
        piece.insert(piece.end(), record.begin(), record.end());
        if (piece.size() >= (8u << 20) || number + 1 == records) {
            volume.Write(pieceOffset, piece);
            pieceOffset += piece.size();
            piece.clear();
        }
    }
    volume.Write((volumeSectors - 1) * 512ull, Bytes(512, 0));
    std::printf("volume of %u records written in %.2f s\n", records, Seconds(began));

    if (!volume.Attach())
        return 2;
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.rangeStart = 0;
    VolumeParams.rangeCount = volumeSectors;
    VolumeParams.rangeEnd = volumeSectors - 1;
    VolumeParams.clusterBase = 0;
    VolumeParams.sectorsPerCluster = kSectorsPerCluster;
    VolumeParams.mftStart = mftSector;
    ScanThreadControl.done = 0;

    began = Clock::now();
    const std::uint32_t scanned = BuildQuickNtfsTree();
    const double scanSeconds = Seconds(began);
    began = Clock::now();
    const std::vector<QuickNtfsRow> rows = CollectQuickNtfsRows();
    const double rowSeconds = Seconds(began);
    std::printf("quick scan: %u records in %.3f s (%.0f records/s, %.1f MiB/s)\n", scanned, scanSeconds,
                scanned / scanSeconds, scanned / 1024.0 / scanSeconds);
    std::printf("rows: %zu (folders %u) in %.3f s\n", rows.size(), folderCount, rowSeconds);
    ResetEngineState();
    return 0;
}
