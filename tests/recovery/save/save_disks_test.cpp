// Every FAT and NTFS volume of the shared test disks, scanned by the Quick Scan, marked whole (every
// folder with its files, the root's files by their IDs) and saved: each live file must have the MD5 of
// icat, each deleted file that icat can recover the MD5 of icat -r, and nothing may land outside the
// chosen folder. Natively every image of every disk is read; under Wine one image per disk.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/save/save_names.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "engine_probe/probe_scan_rows.h"
#include "ntfs_test_volume.h"
#include "save_test_support.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"
#include "ui_recorder.h"

namespace {

struct Partition
{
    std::string disk;
    std::string number;
    std::uint32_t start;
    std::uint32_t sectors;
    std::uint16_t fsCode;
    std::string files;
};

std::vector<Partition> Partitions()
{
    std::vector<Partition> partitions;
    for (const auto& row :
         test_support::ReadTsv(test_support::JoinPath(test_support::TestDisksDir(), "partitions.tsv"))) {
        const std::string& fs = row.at(4);
        const std::uint16_t code = fs == "fat16"   ? kFsFat16
                                   : fs == "fat32" ? kFsFat32
                                   : fs == "ntfs"  ? kFsNtfs
                                                   : 0;
        if (code != 0)
            partitions.push_back({row.at(0), row.at(1), static_cast<std::uint32_t>(std::stoul(row.at(2))),
                                  static_cast<std::uint32_t>(std::stoul(row.at(3))), code, row.at(7)});
    }
    return partitions;
}

// The images to read: every one natively; under Wine one per disk, a different kind for each.
std::vector<std::pair<std::string, std::string>> Images()
{
    std::vector<std::pair<std::string, std::string>> images;
#ifdef _WIN32
    const std::map<std::string, std::string> chosen = {
        {"mbr-ext05", "mbr-ext05.vmdk"},
        {"mbr-ext0f", "mbr-ext0f.vhdx"},
        {"no-table", "no-table.vhd"},
        {"gpt", "gpt.32m.vhdx"},
        {"big-4g", "big-4g.vhd"},
        {"sample-ntfs", "sample-ntfs.fixed.vhdx"},
        {"sample-vfat", "sample-vfat.fixed.vhd"},
    };
    for (const auto& [disk, file] : chosen)
        images.emplace_back(disk, file);
#else
    for (const auto& row :
         test_support::ReadTsv(test_support::JoinPath(test_support::TestDisksDir(), "images.tsv")))
        images.emplace_back(row.at(0), row.at(1));
#endif
    return images;
}

std::u16string Utf16(const std::string& utf8)
{
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        std::uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += 1 + extra;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

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

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The path a file of the oracle takes under the target: each name made safe. Compared without case,
// as a FAT volume gives short names in upper case where fls shows the case flags.
std::string SavedKey(const std::string& oraclePath)
{
    std::string key;
    for (const std::string& part : Split(oraclePath)) {
        if (!key.empty())
            key += '/';
        key += Utf8(MakeSafeName(Utf16(part)));
    }
    return Upper(key);
}

// A deleted FAT entry has lost the first character of its short name (fls shows "_", the scan "x"):
// every component without its first character, and the size.
std::string DeletedKey(const std::string& key, std::uint64_t size)
{
    std::string reduced;
    for (const std::string& part : Split(key))
        reduced += "/" + (part.empty() ? part : part.substr(1));
    return reduced + "#" + std::to_string(size);
}

struct SavedFile
{
    std::string md5;
    std::uint64_t size;
};

class SaveDisks : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(test_support::TestDisksAvailable()) << test_support::TestDisksDir(); }
    void TearDown() override { ResetEngineState(); }

    // Scans and saves one partition of the attached image into `folder`; returns what was saved by
    // path key.
    std::map<std::string, SavedFile> ScanAndSave(const Partition& partition,
                                                 const std::filesystem::path& folder, bool extensive = false)
    {
        ResetEngineState();
        UiRecorder recorder;
        recorder.Attach();
        image.reset(new AttachedImage);
        const std::string refused =
            image->Attach(test_support::JoinPath(test_support::TestDisksDir(), currentImage));
        EXPECT_EQ(refused, "");
        if (extensive) {
            // The Extensive Scan of the partition's range, then the file-system step on the volume it found.
            ScanSelection.scanKind = kScanExtensive;
            VolumeParams.scanFsCode = partition.fsCode;
            VolumeParams.rangeStart = partition.start;
            VolumeParams.rangeCount = partition.sectors;
            VolumeParams.rangeEnd = partition.start + partition.sectors - 1;
            PrepareExtensiveScan();
            ExtensiveScanThread();
            EXPECT_TRUE(ChooseFoundVolumeNumber(1));
            ArmScanWorker();
            FileSystemScanThread();
        } else {
            EXPECT_EQ(RunProbeQuickScan(partition.start, partition.sectors, partition.fsCode), 1);
        }

        // Every folder is marked with its files; the root's files by their IDs.
        if (partition.fsCode == kFsNtfs) {
            for (const NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next)
                if (node->treeItem != 0)
                    recorder.markedTreeItems.push_back(node->treeItem);
            for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
                if (node->parentNumber == 5)
                    recorder.markedEntryIds.push_back(node->dataRecordSector);
        } else {
            for (const FatFolderRec* record = fatFolders.head; record; record = record->next)
                if (record->treeItem != 0)
                    recorder.markedTreeItems.push_back(record->treeItem);
            for (const FatFileRec* record = fatFiles.head; record; record = record->next)
                if (record->parentCluster == 0)
                    recorder.markedEntryIds.push_back(record->fileId);
        }
        std::filesystem::create_directories(folder);
        recorder.targetFolder = EngineText(folder);
        const SaveOutcomeBlock outcome = SaveSelection();
        EXPECT_GT(outcome.saved, 0u);
        // Deleted files whose clusters were reused, or whose records were, may read as anything but
        // must not fail; a live volume has nothing unreadable.
        EXPECT_EQ(outcome.failed, 0u) << Utf8(SaveOutcomeText(outcome));

        std::map<std::string, SavedFile> saved;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (!entry.is_regular_file())
                continue;
            const std::string bytes = ReadFileBytes(entry.path());
            saved[Upper(Utf8Name(std::filesystem::relative(entry.path(), folder)))] = {Md5Hex(bytes),
                                                                                       bytes.size()};
        }
        image.reset();
        return saved;
    }

    void Compare(const Partition& partition, const std::map<std::string, SavedFile>& saved)
    {
        std::map<std::string, SavedFile> deletedSaved;
        for (const auto& [key, file] : saved)
            deletedSaved[DeletedKey(key, file.size)] = file;
        const bool fat = partition.fsCode != kFsNtfs;
        int live = 0;
        int deleted = 0;
        for (const auto& row :
             test_support::ReadTsv(test_support::JoinPath(test_support::TestDisksDir(), partition.files))) {
            const std::string& kind = row.at(1);
            const bool isDeleted = row.at(2) == "1";
            const std::string& md5 = row.at(5);
            const std::string& recoverable = row.at(7);
            const std::string& path = row.at(8);
            if (kind != "f" || row.at(3) != "0" || md5 == "-" || path.rfind("$OrphanFiles/", 0) == 0)
                continue;
            SCOPED_TRACE(path);
            const std::uint64_t size = std::stoull(row.at(4));
            const std::string key = SavedKey(path);
            if (!isDeleted) {
                const auto found = saved.find(key);
                if (found == saved.end()) {
                    ADD_FAILURE() << "live file not saved";
                    continue;
                }
                EXPECT_EQ(found->second.md5, md5);
                ++live;
                continue;
            }
            // Deleted: what icat -r gets back (FAT, recoverable 1) or what icat reads (NTFS) must be what
            // was saved. Files whose clusters were reused on purpose are left out.
            if (recoverable == "0")
                continue;
            const auto& index = fat ? deletedSaved : saved;
            const auto found = index.find(fat ? DeletedKey(key, size) : key);
            if (found == index.end()) {
                if (recoverable == "1")
                    ADD_FAILURE() << "recoverable deleted file not saved";
                continue;
            }
            EXPECT_EQ(found->second.md5, md5);
            ++deleted;
        }
        EXPECT_GT(live, 0);
        std::printf("%s\tp%s\t%s\tlive %d\tdeleted %d\tsaved %zu\n", partition.disk.c_str(),
                    partition.number.c_str(), currentImage.c_str(), live, deleted, saved.size());
    }

    std::string currentImage;
    std::unique_ptr<AttachedImage> image;
};

TEST_F(SaveDisks, EverySavedFileMatchesIcat)
{
    const std::vector<Partition> partitions = Partitions();
    ASSERT_FALSE(partitions.empty());
    ScratchFolder scratch;
    int saves = 0;
    for (const auto& [disk, file] : Images()) {
        currentImage = file;
        for (const Partition& partition : partitions) {
            if (partition.disk != disk)
                continue;
            SCOPED_TRACE(file + " partition " + partition.number);
            const std::filesystem::path folder = scratch.Target() / (file + ".p" + partition.number);
            Compare(partition, ScanAndSave(partition, folder));
            std::filesystem::remove_all(folder);
            ++saves;
        }
    }
    EXPECT_GT(saves, 0);
    // Nothing was written beside the target folder.
    EXPECT_EQ(ListTree(scratch.Parent()), (std::vector<std::string>{"target/"}));
}

// The Extensive Scan's FAT volumes (the NTFS file-system step does not list files yet): one image of each
// disk with FAT volumes.
TEST_F(SaveDisks, ExtensiveFatSavesMatchIcat)
{
    ScratchFolder scratch;
    int saves = 0;
    for (const char* file : {"mbr-ext05.vmdk", "mbr-ext0f.vhd", "no-table.vhdx", "sample-vfat.fixed.vhdx"}) {
        currentImage = file;
        for (const Partition& partition : Partitions()) {
            if (partition.disk != currentImage.substr(0, currentImage.find('.')) ||
                partition.fsCode == kFsNtfs)
                continue;
            SCOPED_TRACE(currentImage + " partition " + partition.number + ", Extensive Scan");
            const std::filesystem::path folder = scratch.Target() / (currentImage + ".p" + partition.number);
            Compare(partition, ScanAndSave(partition, folder, true));
            std::filesystem::remove_all(folder);
            ++saves;
        }
    }
    EXPECT_GT(saves, 0);
}

} // namespace
