// Each kind of result of the shared test disks scanned, written as a snapshot, freed and read back: the
// same records field by field, the same rows, and the same files saved from the image opened again.
#include <gtest/gtest.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine/recovery/trace/file_trace_scan.h"
#include "engine_probe/probe_scan_rows.h"
#include "ntfs_test_volume.h"
#include "save_test_support.h"
#include "snapshot_test_support.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"
#include "ui_recorder.h"

namespace {

enum class Mode
{
    Quick,
    Extensive,
    Trace,
};

struct Case
{
    const char* name;
    const char* disk;
    const char* partition;
    Mode mode;
};

const Case kCases[] = {
    {"FAT16 Quick Scan", "mbr-ext05", "1", Mode::Quick},
    {"FAT32 Quick Scan", "mbr-ext05", "2", Mode::Quick},
    {"FAT16 Extensive Scan", "mbr-ext05", "5", Mode::Extensive},
    {"FAT32 Extensive Scan", "mbr-ext05", "7", Mode::Extensive},
    {"NTFS Quick Scan", "mbr-ext05", "3", Mode::Quick},
    {"NTFS Quick Scan, deleted folders", "sample-ntfs", "1", Mode::Quick},
    {"NTFS Extensive Scan", "mbr-ext05", "3", Mode::Extensive},
    {"NTFS Extensive Scan, 512-byte clusters", "mbr-ext05", "6", Mode::Extensive},
    {"File Trace", "sample-vfat", "1", Mode::Trace},
};

struct Partition
{
    std::uint32_t start = 0;
    std::uint32_t sectors = 0;
    std::uint16_t fsCode = 0;
};

Partition FindPartition(const std::string& disk, const std::string& number)
{
    for (const auto& row :
         test_support::ReadTsv(test_support::JoinPath(test_support::TestDisksDir(), "partitions.tsv"))) {
        if (row.at(0) != disk || row.at(1) != number)
            continue;
        const std::string& fs = row.at(4);
        return {static_cast<std::uint32_t>(std::stoul(row.at(2))),
                static_cast<std::uint32_t>(std::stoul(row.at(3))),
                fs == "fat16"   ? kFsFat16
                : fs == "fat32" ? kFsFat32
                                : kFsNtfs};
    }
    ADD_FAILURE() << "no partition " << disk << " " << number;
    return {};
}

void Scan(Mode mode, const Partition& partition)
{
    VolumeParams.scanFsCode = partition.fsCode;
    VolumeParams.rangeStart = partition.start;
    VolumeParams.rangeCount = partition.sectors;
    VolumeParams.rangeEnd = partition.start + partition.sectors - 1;
    switch (mode) {
    case Mode::Quick:
        ASSERT_EQ(RunProbeQuickScan(partition.start, partition.sectors, partition.fsCode), 1);
        return;
    case Mode::Extensive:
        ScanSelection.scanKind = kScanExtensive;
        PrepareExtensiveScan();
        ExtensiveScanThread();
        ASSERT_TRUE(ChooseFoundVolumeNumber(1));
        ArmScanWorker();
        FileSystemScanThread();
        return;
    case Mode::Trace:
        ScanSelection.scanKind = kScanFileTrace;
        AddFileSignatureRec(u".jpg", u"JPEG Image", 3, "ffd8ff", 1);
        AddFileSignatureRec(u".png", u"PNG Image", 8, "89504e470d0a1a0a", 2);
        AddFileSignatureRec(u".pdf", u"PDF Document", 5, "255044462D", 3);
        ScanThreadControl.running = 1;
        ScanThreadControl.done = 0;
        FileTraceSearch();
        return;
    }
}

// What a load must put back, taken away: the lists, and VolumeParams and the scan kind set to values
// the document does not hold.
void ForgetResults()
{
    FreeScanLists();
    FreeFolderLists();
    FreePartitionLists();
    FreeTraceFoundList();
    FreeFileSignatureList();
    VolumeParams = {};
    VolumeParams.fsCode = 123;
    ScanSelection.scanKind = 7;
}

class SnapshotRoundTrip : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(test_support::TestDisksAvailable()) << test_support::TestDisksDir(); }
    void TearDown() override { ResetEngineState(); }
};

TEST_F(SnapshotRoundTrip, EveryKindComesBackAsScannedAndSavesTheSameFiles)
{
    ScratchFolder scratch;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        UiRecorder recorder;
        recorder.Attach();
        AttachedImage image;
        ASSERT_EQ(
            image.Attach(test_support::JoinPath(test_support::TestDisksDir(), std::string(c.disk) + ".vmdk")),
            "");
        // As the drive step leaves it once the search has started: nothing selected.
        SourceState.sourceKind = kSourceNone;
        Scan(c.mode, FindPartition(c.disk, c.partition));
        if (HasFatalFailure())
            return;

        const std::vector<std::string> scanned = DumpSnapshotState();
        const std::vector<std::string> scannedRows = ResultRowsAsProbePrints();
        ASSERT_GT(scannedRows.size(), 3u);
        const std::filesystem::path folder = scratch.Target() / c.name;
        std::uint32_t failedAfterScan = 0;
        const auto savedAfterScan = SaveEverything(recorder, folder / "scan", &failedAfterScan);
        EXPECT_FALSE(savedAfterScan.empty());

        const std::filesystem::path document = folder / "result.vqdx";
        const std::u16string documentPath = EngineText(document);
        ASSERT_TRUE(c.mode == Mode::Trace ? WriteTraceSnapshotFile(documentPath.c_str())
                                          : WriteScanSnapshotFile(documentPath.c_str()));
        ForgetResults();
        recorder.Clear();
        recorder.resultRows.clear();

        std::uint32_t kind = 99;
        ASSERT_TRUE(PeekSnapshotKind(documentPath.c_str(), kind));
        ASSERT_TRUE(ReadSnapshot(documentPath.c_str(), kind));
        EXPECT_EQ(DumpSnapshotState(), scanned);
        EXPECT_EQ(ResultRowsAsProbePrints(), scannedRows);

        // The views: the progress dialog came and went, the tree was built and the root listed (a root
        // has no "Parent..." row), and the results view was shown.
        const std::vector<std::string> shell = recorder.ArgumentsOf("shell.CreateProgressDlg");
        ASSERT_EQ(shell.size(), 1u);
        EXPECT_EQ(shell[0], "\"Opening the file...\"");
        EXPECT_EQ(recorder.ArgumentsOf("shell.DestroyProgressDlg").size(), 1u);
        EXPECT_EQ(recorder.ArgumentsOf("shell.SwitchView"), std::vector<std::string>{"4"});
        EXPECT_EQ(recorder.ArgumentsOf("recoveryTree.InsertFolderItem").at(0), "\"Root\", 0");
        ASSERT_FALSE(recorder.resultRows.empty());
        EXPECT_NE(recorder.resultRows[0][0], kParentEntryText);
        EXPECT_TRUE(recorder.ArgumentsOf("messages.ShowMessage").empty());

        std::uint32_t failedAfterLoad = 0;
        EXPECT_EQ(SaveEverything(recorder, folder / "load", &failedAfterLoad), savedAfterScan);
        EXPECT_EQ(failedAfterLoad, failedAfterScan);
        std::printf("%s\t%zu records\t%zu rows\t%zu files saved\t%ju bytes\n", c.name, scanned.size(),
                    scannedRows.size(), savedAfterScan.size(),
                    static_cast<std::uintmax_t>(std::filesystem::file_size(document)));
    }
}

// A document whose source kind is the image device reads the image the frame has open: no physical
// drive is opened, and the files saved are those saved after the scan.
TEST_F(SnapshotRoundTrip, AnImageDeviceDocumentReadsTheImageNeverADrive)
{
    ScratchFolder scratch;
    UiRecorder recorder;
    recorder.Attach();
    AttachedImage image;
    ASSERT_EQ(image.Attach(test_support::JoinPath(test_support::TestDisksDir(), "mbr-ext05.vmdk")), "");
    SourceState.sourceKind = kSourceImageDevice;
    Scan(Mode::Quick, FindPartition("mbr-ext05", "2"));
    const auto savedAfterScan = SaveEverything(recorder, scratch.Target() / "scan");
    ASSERT_FALSE(savedAfterScan.empty());
    const std::u16string documentPath = EngineText(scratch.Target() / "device.vqdx");
    ASSERT_TRUE(WriteScanSnapshotFile(documentPath.c_str()));

    ForgetResults();
    SourceState.sourceKind = kSourceNone;
    ASSERT_TRUE(ReadScanSnapshot(documentPath.c_str()));
    EXPECT_EQ(SourceState.sourceKind, kSourceImageDevice);
    EXPECT_EQ(SourceState.driveHandle, kNoHandle);
    EXPECT_TRUE(CheckSourceForSave());
    EXPECT_EQ(SaveEverything(recorder, scratch.Target() / "load"), savedAfterScan);
}

// Without the image open again a loaded snapshot has nothing to read its files from: the save says so.
TEST_F(SnapshotRoundTrip, SavingWithoutTheImageSaysSo)
{
    ScratchFolder scratch;
    UiRecorder recorder;
    recorder.Attach();
    const std::u16string documentPath = EngineText(scratch.Target() / "quick.vqdx");
    {
        AttachedImage image;
        ASSERT_EQ(image.Attach(test_support::JoinPath(test_support::TestDisksDir(), "mbr-ext05.vmdk")), "");
        Scan(Mode::Quick, FindPartition("mbr-ext05", "1"));
        EXPECT_TRUE(CheckSourceForSave());
        ASSERT_TRUE(WriteScanSnapshotFile(documentPath.c_str()));
    }
    ForgetResults();
    ASSERT_TRUE(ReadScanSnapshot(documentPath.c_str()));
    recorder.Clear();
    EXPECT_FALSE(CheckSourceForSave());
    EXPECT_EQ(recorder.ArgumentsOf("messages.ShowMessage"),
              std::vector<std::string>{"2, \"" + Utf8(kSourceNotOpenText) + "\""});

    AttachedImage image;
    ASSERT_EQ(image.Attach(test_support::JoinPath(test_support::TestDisksDir(), "mbr-ext05.vhd")), "");
    EXPECT_TRUE(CheckSourceForSave());
}

} // namespace
