// The Extensive Scan of NTFS against Sleuth Kit on the real test disks: every NTFS partition, through
// every image of its disk (one image per disk under Wine, where reading is slower), gives the volume
// whose base is the partition's start with fsstat's cluster size, and that volume lists every folder and
// file that fls -r -p lists, under the same parents, each once. Then copies of the partitions without
// their boot sectors (the volume is inferred from pairs of folder index records) or without a folder's
// record (its children go under "Lost Dir"), a whole disk with two NTFS volumes, and the files of a
// found volume saved and compared with icat.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_fs_steps.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_names.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine_probe/extensive_ntfs_rows.h"
#include "extensive_scan_runs.h"
#include "ntfs_test_records.h"
#include "ntfs_test_volume.h"
#include "save_test_support.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"
#include "ui_recorder.h"

namespace {

using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

// Offset of the record's own number in a file record header (NTFS 3.1).
constexpr std::size_t kRecordNumberField = 44;

struct NtfsPartition
{
    std::string disk;
    std::string part;
    std::uint32_t start = 0;
    std::uint32_t sectors = 0;
    std::string files;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t mftCluster = 0;
};

std::uint32_t FsstatNumber(const std::string& text, const std::string& label)
{
    const std::size_t at = text.find(label + ": ");
    return at == std::string::npos
               ? 0
               : static_cast<std::uint32_t>(std::stoul(text.substr(at + label.size() + 2)));
}

std::vector<NtfsPartition> NtfsPartitions()
{
    std::vector<NtfsPartition> rows;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), "partitions.tsv"))) {
        if (row.size() < 8 || row[4] != "ntfs")
            continue;
        NtfsPartition partition{row[0], row[1], static_cast<std::uint32_t>(std::stoul(row[2])),
                                static_cast<std::uint32_t>(std::stoul(row[3])), row[7]};
        const std::string fsstat =
            test_support::ReadWholeFile(JoinPath(TestDisksDir(), row[0] + ".p" + row[1] + ".fsstat.txt"));
        partition.sectorsPerCluster = FsstatNumber(fsstat, "Cluster Size") / 512;
        partition.mftCluster = FsstatNumber(fsstat, "First Cluster of MFT");
        rows.push_back(partition);
    }
    return rows;
}

NtfsPartition PartitionOf(const std::string& disk, const std::string& part)
{
    return test_support::RowOfPartition(NtfsPartitions(), disk, part);
}

std::vector<std::string> NtfsDisks()
{
    return test_support::DisksOfRows(NtfsPartitions());
}

// ---- Comparing with fls -----------------------------------------------------------------------------

// One line per folder or file: kind, deleted flag, size (0 for folders) and path.
std::string RowKey(char kind, bool deleted, std::uint64_t size, const std::string& path)
{
    return std::string(1, kind) + "\t" + (deleted ? "1" : "0") + "\t" +
           std::to_string(kind == 'D' ? 0 : size) + "\t" + path;
}

struct Oracle
{
    std::vector<std::string> rows;                // sorted
    std::map<std::string, std::uint32_t> records; // a file's MFT record number by path
};

// What fls lists, less what the scan is not expected to find: Sleuth Kit's own entries ($OrphanFiles and
// what stands under it), named streams (a file record is listed once, with its unnamed data), and the
// metadata files that hold indexes of their own rather than data ($Secure, $Extend/$Quota and the like,
// whose record flags are neither a file's nor a folder's; fls names them only through their streams).
// `rename` maps a path prefix of the oracle to where the scan is expected to put it.
Oracle FlsOracle(const std::string& filesTsv,
                 const std::vector<std::pair<std::string, std::string>>& rename = {})
{
    Oracle oracle;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), filesTsv))) {
        if (row.size() < 9)
            continue;
        const std::string& kind = row[1];
        std::string path = row[8];
        if (kind == "v" || row[3] == "1" || path.starts_with("$OrphanFiles"))
            continue;
        bool dropped = false;
        for (const auto& [from, to] : rename) {
            if (path == from)
                dropped = true;
            else if (path.starts_with(from + "/"))
                path = to + path.substr(from.size());
        }
        if (dropped)
            continue;
        oracle.rows.push_back(RowKey(kind == "d" ? 'D' : 'F', row[2] == "1", std::stoull(row[4]), path));
        if (kind == "f")
            oracle.records[path] = static_cast<std::uint32_t>(std::stoul(row[0]));
    }
    std::sort(oracle.rows.begin(), oracle.rows.end());
    return oracle;
}

// The volume lists every line of the oracle exactly once; lines beyond it may only stand under
// "Lost Dir" (the folder itself included). Each listed file's ID is the sector of its own MFT record.
void ExpectVolumeListsOracle(const Oracle& oracle)
{
    std::vector<std::string> actual;
    for (const QuickNtfsRow& row : CollectExtensiveNtfsRows()) {
        const std::string path = Utf8(row.path);
        actual.push_back(RowKey(row.folder ? 'D' : 'F', row.deleted != 0, row.size, path));
        const auto record = oracle.records.find(path);
        if (row.folder || record == oracle.records.end())
            continue;
        std::uint8_t bytes[kMftRecordSize];
        ASSERT_TRUE(ReadSectors(0, static_cast<std::uint32_t>(row.entryId), 0, 2, bytes)) << path;
        EXPECT_EQ(ReadLittleEndian32(bytes, kRecordNumberField), record->second)
            << path << " at " << row.entryId;
    }
    std::sort(actual.begin(), actual.end());
    std::vector<std::string> missing;
    std::vector<std::string> extra;
    std::set_difference(oracle.rows.begin(), oracle.rows.end(), actual.begin(), actual.end(),
                        std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), oracle.rows.begin(), oracle.rows.end(),
                        std::back_inserter(extra));
    std::string text;
    for (const auto& line : missing)
        text += "  missing: " + line + "\n";
    EXPECT_TRUE(missing.empty()) << text;
    for (const auto& line : extra)
        EXPECT_NE(line.find("\tLost Dir"), std::string::npos) << "unexpected: " << line;
}

// ---- Running the scan -------------------------------------------------------------------------------

class ExtensiveNtfsDiskTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test_support::TestDisksAvailable()) << "run tools/make-test-disks first";
        ResetEngineState();
    }
    void TearDown() override { ResetEngineState(); }

    // The Extensive Scan of a range, as the partition step runs it, with the time it took.
    static long long ScanRange(std::uint32_t start, std::uint32_t sectors)
    {
        ScanSelection.scanKind = kScanExtensive;
        const long long milliseconds = RunExtensiveRange(kFsNtfs, start, sectors);
        EXPECT_EQ(ScanThreadControl.done.load(), 1u);
        EXPECT_EQ(ScanThreadControl.running.load(), 0u);
        return milliseconds;
    }

    // The file-system step on volume `number`, as its worker runs it.
    static void ScanVolume(std::uint32_t number) { RunVolumeSteps(number, ScanNtfsSteps); }

    static std::string Volumes()
    {
        std::string text;
        for (FoundVolumeRec* volume = foundVolumes.head; volume; volume = volume->next)
            text +=
                " " + std::to_string(volume->clusterBase) + "/" + std::to_string(volume->sectorsPerCluster);
        return text;
    }

    static std::string Label(const UiRecorder& ui, const FoundVolumeRec& volume)
    {
        return volume.treeItem != 0 && volume.treeItem <= ui.partitionTreeItems.size()
                   ? Utf8(ui.partitionTreeItems[volume.treeItem - 1].text)
                   : std::string("-");
    }
};

class ExtensiveNtfsDisk : public ExtensiveNtfsDiskTest, public testing::WithParamInterface<std::string>
{
};

TEST_P(ExtensiveNtfsDisk, FindsEachNtfsVolumeAndListsWhatFlsLists)
{
    const std::string disk = GetParam();
    std::vector<std::string> images = test_support::ImagesOfDisk(disk);
    ASSERT_FALSE(images.empty());
#ifdef _WIN32
    // One image per disk under Wine, a different kind from disk to disk.
    const std::vector<std::string> disks = NtfsDisks();
    const std::size_t diskIndex = std::find(disks.begin(), disks.end(), disk) - disks.begin();
    images = {images[diskIndex % images.size()]};
#endif
    for (const NtfsPartition& partition : NtfsPartitions()) {
        if (partition.disk != disk)
            continue;
        const Oracle oracle = FlsOracle(partition.files);
        ASSERT_GT(oracle.rows.size(), 40u);
        for (const std::string& image : images) {
            SCOPED_TRACE(image + " partition " + partition.part);
            ResetEngineState();
            UiRecorder ui;
            ui.Attach();
            AttachedImage attached;
            ASSERT_EQ(attached.Attach(JoinPath(TestDisksDir(), image)), "");
            const long long elapsed = ScanRange(partition.start, partition.sectors);
            std::printf("[ scan     ] %s p%s: %lld ms, %u folder, %u file, %u index records, volumes%s\n",
                        image.c_str(), partition.part.c_str(), elapsed, foundFolderCount, ntfsFileNodeCount,
                        ntfsIndexNodeCount, Volumes().c_str());
            const FoundVolumeRec* volume = FoundVolumeByNumber(1);
            ASSERT_NE(volume, nullptr);
            EXPECT_EQ(volume->fsCode, kFsNtfs);
            EXPECT_EQ(volume->clusterBase, partition.start);
            EXPECT_EQ(volume->sectorsPerCluster, partition.sectorsPerCluster);
            EXPECT_EQ(volume->mftStart, partition.start + partition.mftCluster * partition.sectorsPerCluster);
            // The boot sector counts every sector but its backup copy in the last one.
            EXPECT_EQ(volume->endSector, partition.start + partition.sectors - 1);
            EXPECT_EQ(volume->indexSectors, 8u); // 4 KiB index records on every test volume
            EXPECT_EQ(Label(ui, *volume), "NTFS @" + std::to_string(partition.start));
            ASSERT_FALSE(ui.partitionTreeItems.empty());
            EXPECT_EQ(Utf8(ui.partitionTreeItems[0].text), "File System");
            ScanVolume(1);
            ExpectVolumeListsOracle(oracle);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(TestDisks, ExtensiveNtfsDisk, testing::ValuesIn(NtfsDisks()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// A partition copied into a volume file with `lead` sectors of the disk before it, so that its base is
// not sector 0 of what the engine reads.
struct PartitionCopy
{
    explicit PartitionCopy(const NtfsPartition& partition)
        : partition(partition), lead(std::min<std::uint32_t>(4096, partition.start)), volume("extensive")
    {
        EXPECT_TRUE(volume.CopyFrom(JoinPath(TestDisksDir(), partition.disk + ".raw"), partition.start - lead,
                                    std::uint64_t{lead} + partition.sectors));
    }

    void ZeroSector(std::uint64_t sector) { volume.Write(sector * 512, Bytes(512, 0)); }

    // The sector of the MFT record whose header names `number`, found by reading the copy's sectors.
    std::uint64_t RecordSector(std::uint32_t number) const
    {
        const std::uint64_t end = std::uint64_t{lead} + partition.sectors;
        for (std::uint64_t first = lead; first < end; first += 2048) {
            const std::uint64_t count = std::min<std::uint64_t>(2048, end - first);
            const Bytes bytes = volume.Read(first * 512, static_cast<std::size_t>(count * 512));
            for (std::uint64_t index = 0; index < count; ++index) {
                const std::uint8_t* sector = bytes.data() + index * 512;
                if (HasSignature(sector, "FILE") && ReadLittleEndian32(sector, kRecordNumberField) == number)
                    return first + index;
            }
        }
        return 0;
    }

    NtfsPartition partition;
    std::uint32_t lead;
    TempVolume volume;
};

TEST_F(ExtensiveNtfsDiskTest, WithoutBootSectorsTheVolumeIsInferredFromFolderIndexRecords)
{
    for (const NtfsPartition& partition : NtfsPartitions()) {
        SCOPED_TRACE(partition.disk + " partition " + partition.part);
        ResetEngineState();
        PartitionCopy copy(partition);
        copy.ZeroSector(copy.lead);
        copy.ZeroSector(std::uint64_t{copy.lead} + partition.sectors - 1);
        ASSERT_TRUE(copy.volume.Attach());
        const long long elapsed = ScanRange(0, copy.lead + partition.sectors);
        std::printf("[ scan     ] %s p%s without boot sectors: %lld ms, %u boot sectors, volumes%s\n",
                    partition.disk.c_str(), partition.part.c_str(), elapsed, bootSectorCount,
                    Volumes().c_str());
        EXPECT_EQ(bootSectorCount, 0u);
        const FoundVolumeRec* volume = FoundVolumeByNumber(1);
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(volume->clusterBase, copy.lead);
        EXPECT_EQ(volume->sectorsPerCluster, partition.sectorsPerCluster);
        EXPECT_EQ(volume->mftStart, 0u) << "inferred, not read from a boot sector";
        EXPECT_EQ(volume->endSector, copy.lead + partition.sectors - 1);
        EXPECT_EQ(FoundVolumeByNumber(2), nullptr);
        ScanVolume(1);
        ExpectVolumeListsOracle(FlsOracle(partition.files));
    }
}

TEST_F(ExtensiveNtfsDiskTest, AFolderWhoseRecordIsGoneLeavesItsChildrenUnderLostDir)
{
    const NtfsPartition partition = PartitionOf("mbr-ext05", "3");
    PartitionCopy copy(partition);
    std::uint32_t level1 = 0;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files)))
        if (row.size() >= 9 && row[8] == "Level1")
            level1 = static_cast<std::uint32_t>(std::stoul(row[0]));
    ASSERT_NE(level1, 0u);
    const std::uint64_t record = copy.RecordSector(level1);
    ASSERT_NE(record, 0u);
    copy.ZeroSector(record);
    copy.ZeroSector(record + 1);
    ASSERT_TRUE(copy.volume.Attach());
    ScanRange(0, copy.lead + partition.sectors);
    ScanVolume(1);
    // Level1's subfolder and its file both name the lost record as their parent: one "Dir" folder.
    ExpectVolumeListsOracle(FlsOracle(partition.files, {{"Level1", "Lost Dir/Dir0"}}));
    const std::vector<QuickNtfsRow> rows = CollectExtensiveNtfsRows();
    const auto lostFolder = std::find_if(
        rows.begin(), rows.end(), [](const QuickNtfsRow& row) { return row.path == u"Lost Dir/Dir0"; });
    ASSERT_NE(lostFolder, rows.end());
    EXPECT_EQ(lostFolder->entryId, level1);
}

TEST_F(ExtensiveNtfsDiskTest, TwoNtfsVolumesOnOneDiskAreNumberedInDiskOrder)
{
    UiRecorder ui;
    ui.Attach();
    AttachedImage attached;
    ASSERT_EQ(attached.Attach(JoinPath(TestDisksDir(), "mbr-ext05.vmdk")), "");
    std::uint32_t diskSectors = 0;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), "disks.tsv")))
        if (row.size() >= 3 && row[0] == "mbr-ext05")
            diskSectors = static_cast<std::uint32_t>(std::stoull(row[2]) / 512);
    ASSERT_GT(diskSectors, 0u);
    const long long elapsed = ScanRange(0, diskSectors);
    std::printf("[ scan     ] mbr-ext05 whole disk: %lld ms, %u boot sectors, volumes%s\n", elapsed,
                bootSectorCount, Volumes().c_str());
    const NtfsPartition first = PartitionOf("mbr-ext05", "3");
    const NtfsPartition second = PartitionOf("mbr-ext05", "6");
    // Each volume's boot sector and its backup copy.
    EXPECT_EQ(bootSectorCount, 4u);
    const FoundVolumeRec* volume1 = FoundVolumeByNumber(1);
    const FoundVolumeRec* volume2 = FoundVolumeByNumber(2);
    ASSERT_NE(volume1, nullptr);
    ASSERT_NE(volume2, nullptr);
    EXPECT_EQ(FoundVolumeByNumber(3), nullptr);
    EXPECT_EQ(Label(ui, *volume1), "NTFS @" + std::to_string(first.start));
    EXPECT_EQ(Label(ui, *volume2), "NTFS @" + std::to_string(second.start));
    EXPECT_EQ(volume2->sectorsPerCluster, second.sectorsPerCluster);
    ScanVolume(2);
    ExpectVolumeListsOracle(FlsOracle(second.files));
    ScanVolume(1);
    ExpectVolumeListsOracle(FlsOracle(first.files));
}

// ---- Saving -----------------------------------------------------------------------------------------

std::vector<std::string> Split(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', start)) {
        parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    parts.push_back(path.substr(start));
    return parts;
}

std::u16string Utf16(const std::string& text)
{
    std::u16string out;
    for (std::size_t index = 0; index < text.size();) {
        const auto lead = static_cast<unsigned char>(text[index]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int more = 1; more < length && index + more < text.size(); ++more)
            code = code << 6 | (static_cast<unsigned char>(text[index + more]) & 0x3F);
        index += length;
        if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

// Where a file of the oracle lands under the target: each name made safe.
std::string SavedPath(const std::string& oraclePath)
{
    std::string path;
    for (const std::string& part : Split(oraclePath))
        path += (path.empty() ? "" : "/") + Utf8(MakeSafeName(Utf16(part)));
    return path;
}

TEST_F(ExtensiveNtfsDiskTest, FilesSavedFromAFoundVolumeMatchIcat)
{
    ScratchFolder scratch;
    const std::vector<std::string> disks = NtfsDisks();
    for (const NtfsPartition& partition : NtfsPartitions()) {
        // One image per disk, a different kind from disk to disk.
        const std::vector<std::string> images = test_support::ImagesOfDisk(partition.disk);
        const std::size_t diskIndex = std::find(disks.begin(), disks.end(), partition.disk) - disks.begin();
        const std::string image = images[diskIndex % images.size()];
        SCOPED_TRACE(image + " partition " + partition.part);
        ResetEngineState();
        UiRecorder ui;
        ui.Attach();
        AttachedImage attached;
        ASSERT_EQ(attached.Attach(JoinPath(TestDisksDir(), image)), "");
        ScanRange(partition.start, partition.sectors);
        ScanVolume(1);

        // Every folder of the tree with its files, and the root's files by their IDs, as a checked root
        // marks them.
        for (const NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next)
            if (node->treeItem != 0)
                ui.markedTreeItems.push_back(node->treeItem);
        for (const NtfsFileNode* node = ntfsFileNodes.head; node; node = node->next)
            if (node->parentNumber == 5 && node->recordSector > VolumeParams.clusterBase &&
                node->recordSector <= VolumeParams.endSector)
                ui.markedEntryIds.push_back(node->recordSector);
        const std::filesystem::path folder = scratch.Target() / (image + ".p" + partition.part);
        std::filesystem::create_directories(folder);
        ui.targetFolder = EngineText(folder);
        const SaveOutcomeBlock outcome = SaveSelection();
        EXPECT_EQ(outcome.failed, 0u);

        std::map<std::string, std::string> saved;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                saved[Utf8Name(std::filesystem::relative(entry.path(), folder))] =
                    Md5Hex(ReadFileBytes(entry.path()));
        int live = 0;
        int deleted = 0;
        for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files))) {
            const std::string& path = row.at(8);
            if (row.at(1) != "f" || row.at(3) != "0" || row.at(5) == "-" || row.at(7) == "0" ||
                path.starts_with("$OrphanFiles"))
                continue;
            const auto found = saved.find(SavedPath(path));
            if (found == saved.end()) {
                ADD_FAILURE() << path << " not saved";
                continue;
            }
            EXPECT_EQ(found->second, row.at(5)) << path;
            ++(row.at(2) == "1" ? deleted : live);
        }
        std::printf("[ save     ] %s p%s: %d live and %d deleted files match icat, %zu files saved\n",
                    image.c_str(), partition.part.c_str(), live, deleted, saved.size());
        EXPECT_GT(live, 20);
        EXPECT_GT(deleted, 0);
        std::filesystem::remove_all(folder);
    }
}

} // namespace
