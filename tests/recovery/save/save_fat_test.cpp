// FAT files saved from a disk made by the test: cluster chains from either FAT copy or in a row, sizes
// around the cluster, reads that fail, clusters outside the volume, the dialog's skip, stop and pause, the
// selection policies, names that are no paths, and the FAT date on the saved file.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <thread>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/save/save_files.h"
#include "save_test_support.h"
#include "ui_recorder.h"

namespace {

// A FAT16 volume of 4 sectors per cluster over the whole 4096-sector disk: FAT copies at sectors 1 and
// 17 (16 sectors each), cluster 2 at sector 40.
constexpr std::uint32_t kSectors = 4096;
constexpr std::uint32_t kSectorsPerCluster = 4;
constexpr std::uint32_t kClusterBytes = kSectorsPerCluster * 512;
constexpr std::uint32_t kFat1 = 1;
constexpr std::uint32_t kFat2 = 17;
constexpr std::uint32_t kClusterBase = 32;
constexpr std::uint16_t kEndOfChain = 0xFFFF;
// 1 January 2025 as a FAT date word.
constexpr std::uint16_t kFatDate2025 = (45 << 9) | (1 << 5) | 1;

class SaveFat : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        recorder.targetFolder = scratch.TargetText();
        ScanSelection.scanKind = kScanQuick;
        VolumeParams.fsCode = kFsFat16;
        VolumeParams.sectorsPerCluster = kSectorsPerCluster;
        VolumeParams.fatSize = 16;
        VolumeParams.fat1Start = kFat1;
        VolumeParams.fat2Start = kFat2;
        VolumeParams.clusterBase = kClusterBase;
        VolumeParams.rangeStart = 0;
        VolumeParams.rangeCount = kSectors;
        VolumeParams.rangeEnd = kSectors - 1;
    }
    void TearDown() override { ResetEngineState(); }

    void SetChain(std::uint32_t fatStart, const std::vector<std::uint32_t>& chain)
    {
        for (std::size_t i = 0; i < chain.size(); ++i)
            disk.PutU16(fatStart * 512ull + chain[i] * 2ull,
                        static_cast<std::uint16_t>(i + 1 < chain.size() ? chain[i + 1] : kEndOfChain));
    }

    // A file of `size` pattern bytes laid into the clusters in order; returns its bytes.
    std::string PutFile(std::uint32_t seed, std::uint32_t size, const std::vector<std::uint32_t>& clusters)
    {
        const std::string bytes = disk.Pattern(seed, size);
        for (std::size_t i = 0; i * kClusterBytes < size && i < clusters.size(); ++i) {
            const std::size_t take = std::min<std::size_t>(kClusterBytes, size - i * kClusterBytes);
            disk.Put((kClusterBase + clusters[i] * kSectorsPerCluster) * 512ull,
                     bytes.data() + i * kClusterBytes, take);
        }
        return bytes;
    }

    FatFileRec* AddFile(const char16_t* name, std::uint32_t firstCluster, std::uint32_t size,
                        std::uint32_t parent = 0, std::uint32_t deleted = 0)
    {
        FatFileRec* record = AddFatFileRec(name, firstCluster, parent, kFatDate2025, 0, size, deleted);
        ++fileCount;
        return record;
    }

    void MarkEveryFile()
    {
        for (const FatFileRec* record = fatFiles.head; record; record = record->next)
            if (record->parentCluster == 0)
                recorder.markedEntryIds.push_back(record->fileId);
    }

    void Attach() { ASSERT_TRUE(disk.Attach(diskFolder.Parent() / "disk.vhd")); }

    std::string Saved(const char16_t* relative)
    {
        return ReadFileBytes(FsPath(scratch.TargetText() + u"\\" + relative));
    }
    bool Exists(const char16_t* relative)
    {
        return std::filesystem::exists(FsPath(scratch.TargetText() + u"\\" + relative));
    }

    UiRecorder recorder;
    ScratchFolder scratch;
    ScratchFolder diskFolder;
    CraftedDisk disk{kSectors};
};

TEST_F(SaveFat, ChainsSizesAndDeletedFilesAreSavedByteExact)
{
    std::map<std::u16string, std::string> expected;
    // A fragmented file through FAT copy 1.
    SetChain(kFat1, {2, 3, 7});
    SetChain(kFat2, {2, 3, 7});
    expected[u"chain.bin"] = PutFile(1, 5000, {2, 3, 7});
    AddFile(u"chain.bin", 2, 5000);
    // FAT copy 1 ends the chain too early; copy 2 has it whole.
    SetChain(kFat1, {10});
    SetChain(kFat2, {10, 12});
    expected[u"second-fat.bin"] = PutFile(2, 3000, {10, 12});
    AddFile(u"second-fat.bin", 10, 3000);
    // A deleted file: its FAT entries are free, its clusters lie in a row.
    expected[u"xeleted.bin"] = PutFile(3, 5000, {20, 21, 22});
    AddFile(u"xeleted.bin", 20, 5000, 0, 1);
    // Sizes around the cluster.
    expected[u"empty.bin"] = "";
    AddFile(u"empty.bin", 0, 0);
    SetChain(kFat1, {30});
    SetChain(kFat2, {30});
    expected[u"one.bin"] = PutFile(4, 1, {30});
    AddFile(u"one.bin", 30, 1);
    SetChain(kFat1, {31});
    SetChain(kFat2, {31});
    expected[u"cluster.bin"] = PutFile(5, kClusterBytes, {31});
    AddFile(u"cluster.bin", 31, kClusterBytes);
    SetChain(kFat1, {32, 40});
    SetChain(kFat2, {32, 40});
    expected[u"cluster-plus-one.bin"] = PutFile(6, kClusterBytes + 1, {32, 40});
    AddFile(u"cluster-plus-one.bin", 32, kClusterBytes + 1);
    Attach();
    MarkEveryFile();

    const SaveOutcomeBlock outcome = SaveSelection();
    for (const auto& [name, bytes] : expected) {
        SCOPED_TRACE(Utf8(name));
        EXPECT_EQ(Saved(name.c_str()), bytes);
    }
    EXPECT_EQ(outcome.saved, expected.size());
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_EQ(Utf8(SaveOutcomeText(outcome)), "Files Saved Successfully.");
    // Each file was counted and shown.
    EXPECT_EQ(SaveControl.fileCounter, expected.size());
    EXPECT_EQ(recorder.ArgumentsOf("savingDialog.SetCounterText").back(), "\"7\"");
}

TEST_F(SaveFat, UnreadableAndOutsideClustersAreZerosAndCountedAsFailures)
{
    // The volume claims more sectors than the disk has: cluster 1016 lies within the volume but past the
    // image's end, so it cannot be read. Its part must be zeros, not the cluster read before it.
    VolumeParams.rangeEnd = 100000;
    SetChain(kFat1, {1015, 1016});
    SetChain(kFat2, {1015, 1016});
    const std::string readable = PutFile(7, kClusterBytes, {1015});
    AddFile(u"half.bin", 1015, 2 * kClusterBytes);
    ASSERT_TRUE(disk.AttachAsVolume(diskFolder.Parent() / "disk.raw"));
    MarkEveryFile();
    SaveOutcomeBlock outcome = SaveSelection();
    EXPECT_EQ(Saved(u"half.bin"), readable + std::string(kClusterBytes, '\0'));
    EXPECT_EQ(outcome.failed, 1u);
    EXPECT_EQ(outcome.unreadable, 1u);
    EXPECT_EQ(outcome.keptWithZerosNames, std::vector<std::u16string>{u"half.bin"});
    EXPECT_NE(Utf8(SaveOutcomeText(outcome)), "Files Saved Successfully.");

    // Back to the real end: a cluster past it is not read at all.
    VolumeParams.rangeEnd = kSectors - 1;
    recorder.markedEntryIds.clear();
    AddFile(u"outside.bin", 1100, 100);
    recorder.markedEntryIds.push_back(fatFiles.tail->fileId);
    // Not one byte of it can be read: no file of zeros alone is made.
    outcome = SaveSelection();
    EXPECT_FALSE(Exists(u"outside.bin"));
    EXPECT_EQ(outcome.failed, 1u);
    EXPECT_EQ(outcome.nothingRead, 1u);
    EXPECT_EQ(outcome.keptWithZeros, 0u);

    // Without a cluster size nothing is divided by it and no file is made.
    VolumeParams.sectorsPerCluster = 0;
    recorder.markedEntryIds = {fatFiles.head->fileId};
    RecoverySettings.duplicatePolicy = kDuplicateOverwrite;
    std::filesystem::remove(FsPath(scratch.TargetText() + u"\\half.bin"));
    outcome = SaveSelection();
    EXPECT_FALSE(Exists(u"half.bin"));
    EXPECT_EQ(outcome.failed, 1u);
    EXPECT_EQ(outcome.outsideVolume, 1u);
}

// An entry whose size is far past the volume's (a crafted or damaged entry): the file keeps its clusters
// up to the volume's end, read, and no more, and counts as failed.
TEST_F(SaveFat, ASizePastTheVolumeKeepsOnlyWhatTheVolumeHolds)
{
    constexpr std::uint32_t kFirst = 1010;
    constexpr std::uint32_t kClaimed = 64u << 20;
    SetChain(kFat1, {kFirst});
    SetChain(kFat2, {kFirst});
    const std::string tail = PutFile(8, 6 * kClusterBytes, {1010, 1011, 1012, 1013, 1014, 1015});
    AddFile(u"claims-64-mib.bin", kFirst, kClaimed);
    Attach();
    MarkEveryFile();

    const SaveOutcomeBlock outcome = SaveSelection();
    const std::string saved = Saved(u"claims-64-mib.bin");
    const std::uint64_t volumeBytes = (kSectors - kClusterBase) * 512ull;
    EXPECT_LE(saved.size(), volumeBytes);
    EXPECT_LE(outcome.bytesWritten, volumeBytes);
    // The clusters before the volume's end are read, not replaced by zeros.
    EXPECT_TRUE(saved.compare(0, tail.size(), tail) == 0);
    EXPECT_EQ(saved.find_first_not_of('\0', tail.size()), std::string::npos);
    EXPECT_EQ(outcome.failed, 1u);
    EXPECT_EQ(outcome.outsideVolume, 1u);
}

// The saving dialog as the user works it: sets a SaveControl flag when the bar first moves past 0.
class FlagOnProgress final : public SavingDialogUi
{
public:
    explicit FlagOnProgress(std::atomic<std::uint32_t>& flag) : flag(flag) {}
    void SetFileNameText(const char16_t*) override {}
    void SetFolderText(const char16_t*) override {}
    void SetCounterText(const char16_t*) override {}
    void SetProgressPos(std::uint32_t percent) override
    {
        if (percent > 0 && !raised) {
            raised = true;
            flag = 1;
        }
    }

private:
    std::atomic<std::uint32_t>& flag;
    bool raised = false;
};

TEST_F(SaveFat, SkipEndsTheFileAndStopEndsTheSaveWithNoFileLeftCut)
{
    // Two files of 20 clusters, every other cluster, so that each cluster is a piece of its own.
    std::vector<std::uint32_t> first;
    std::vector<std::uint32_t> second;
    for (std::uint32_t i = 0; i < 20; ++i) {
        first.push_back(100 + 2 * i);
        second.push_back(200 + 2 * i);
    }
    SetChain(kFat1, first);
    SetChain(kFat1, second);
    PutFile(8, 20 * kClusterBytes, first);
    const std::string secondBytes = PutFile(9, 20 * kClusterBytes, second);
    AddFile(u"first.bin", 100, 20 * kClusterBytes);
    AddFile(u"second.bin", 200, 20 * kClusterBytes);
    Attach();
    MarkEveryFile();

    FlagOnProgress skipper(SaveControl.skip);
    engineUi.savingDialog = &skipper;
    SaveOutcomeBlock outcome = SaveSelection();
    EXPECT_FALSE(Exists(u"first.bin")) << "the skipped file is left cut";
    EXPECT_EQ(Saved(u"second.bin"), secondBytes);
    EXPECT_EQ(outcome.skipped, 1u);
    EXPECT_EQ(outcome.saved, 1u);

    std::filesystem::remove_all(scratch.Target());
    std::filesystem::create_directory(scratch.Target());
    FlagOnProgress stopper(SaveControl.stop);
    engineUi.savingDialog = &stopper;
    outcome = SaveSelection();
    EXPECT_EQ(ListTree(scratch.Parent()), std::vector<std::string>{"target/"}) << "a file is left cut";
    EXPECT_EQ(outcome.skipped, 1u);
    EXPECT_EQ(outcome.saved, 0u);
}

// While a question about the save stands the saver holds still within its file; once it is answered the
// save goes on (No) or ends without the file it held (Yes).
TEST_F(SaveFat, APauseHoldsTheSaveWithinItsFileUntilItIsLifted)
{
    std::vector<std::uint32_t> clusters;
    for (std::uint32_t i = 0; i < 20; ++i)
        clusters.push_back(100 + 2 * i);
    SetChain(kFat1, clusters);
    const std::string bytes = PutFile(8, 20 * kClusterBytes, clusters);
    AddFile(u"first.bin", 100, 20 * kClusterBytes);
    AddFile(u"second.bin", 100, 20 * kClusterBytes);
    Attach();
    MarkEveryFile();

    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "answered Yes" : "answered No");
        std::filesystem::remove_all(scratch.Target());
        std::filesystem::create_directory(scratch.Target());
        FlagOnProgress pauser(SaveControl.pause);
        engineUi.savingDialog = &pauser;
        SaveOutcomeBlock outcome;
        std::thread worker([&] { outcome = SaveSelection(); });
        const auto started = std::chrono::steady_clock::now();
        while (SaveControl.paused == 0 &&
               std::chrono::steady_clock::now() - started < std::chrono::seconds(20))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(SaveControl.paused, 1u);
        const std::uintmax_t held = std::filesystem::file_size(scratch.Target() / "first.bin");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(std::filesystem::file_size(scratch.Target() / "first.bin"), held);
        EXPECT_LT(held, bytes.size());
        EXPECT_FALSE(Exists(u"second.bin"));
        SaveControl.stop = stop ? 1 : 0;
        SaveControl.pause = 0;
        worker.join();
        EXPECT_EQ(SaveControl.paused, 0u);
        if (stop) {
            EXPECT_EQ(ListTree(scratch.Parent()), std::vector<std::string>{"target/"});
            EXPECT_EQ(outcome.skipped, 1u);
        } else {
            EXPECT_EQ(Saved(u"first.bin"), bytes);
            EXPECT_EQ(Saved(u"second.bin"), bytes);
            EXPECT_EQ(outcome.saved, 2u);
        }
        SaveControl.stop = 0;
    }
}

// Thousands of files into one folder, each new name and each taken one: every file lands under its own
// name or its first free copy name, with its own bytes. Names that differ only in case are one name where
// the system matches names so (Windows), two where it does not.
TEST_F(SaveFat, ManyNamesInOneFolderEachSavedWithItsBytes)
{
    constexpr std::uint32_t kFiles = 2000;
    constexpr std::uint32_t kClusters = 200;
    std::vector<std::string> clusterBytes;
    for (std::uint32_t c = 0; c < kClusters; ++c) {
        SetChain(kFat1, {100 + c});
        clusterBytes.push_back(PutFile(1000 + c, kClusterBytes, {100 + c}));
    }
    std::map<std::u16string, std::string> expected;
    const auto add = [&](const std::u16string& name, const std::u16string& savedAs, std::uint32_t i) {
        const std::uint32_t size = 1 + i % kClusterBytes;
        AddFile(name.c_str(), 100 + i % kClusters, size);
        expected[savedAs] = clusterBytes[i % kClusters].substr(0, size);
    };
    for (std::uint32_t i = 0; i < kFiles; ++i) {
        const std::u16string name = u"file-" + DecimalText(i) + u".dat";
        add(name, name, i);
    }
    // The same names again (twice for the first), and one in other case.
    add(u"file-7.dat", u"Copy (1 ) of file-7.dat", kFiles);
    add(u"file-7.dat", u"Copy (2 ) of file-7.dat", kFiles + 1);
    add(u"file-1999.dat", u"Copy (1 ) of file-1999.dat", kFiles + 2);
#ifdef _WIN32
    add(u"FILE-42.DAT", u"Copy (1 ) of FILE-42.DAT", kFiles + 3);
#else
    add(u"FILE-42.DAT", u"FILE-42.DAT", kFiles + 3);
#endif
    Attach();
    MarkEveryFile();

    const SaveOutcomeBlock outcome = SaveSelection();
    EXPECT_EQ(outcome.saved, expected.size());
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_EQ(ListTree(scratch.Target()).size(), expected.size());
    std::size_t wrong = 0;
    for (const auto& [name, bytes] : expected) {
        if (Saved(name.c_str()) == bytes)
            continue;
        ADD_FAILURE() << Utf8(name) << " does not hold its bytes";
        if (++wrong == 5)
            break;
    }
}

TEST_F(SaveFat, DuplicateDeletedAndFilterPolicies)
{
    SetChain(kFat1, {50});
    const std::string live = PutFile(10, 100, {50});
    SetChain(kFat1, {51});
    const std::string other = PutFile(11, 200, {51});
    Attach();
    const std::u16string target = scratch.TargetText();
    const auto save = [&](const char16_t* name, std::uint32_t cluster, std::uint32_t size,
                          std::uint32_t deleted) {
        return SaveFileFat(target.c_str(), 0, kSaveModeSelection, cluster, size, name, deleted);
    };

    // Rename: the first free "Copy (n ) of" name, also when an earlier one is taken.
    RecoverySettings.duplicatePolicy = kDuplicateRename;
    EXPECT_EQ(save(u"a.txt", 50, 100, 0), 1);
    EXPECT_EQ(save(u"a.txt", 51, 200, 0), 1);
    EXPECT_EQ(save(u"a.txt", 51, 200, 0), 1);
    EXPECT_EQ(ListTree(scratch.Target()),
              (std::vector<std::string>{"Copy (1 ) of a.txt", "Copy (2 ) of a.txt", "a.txt"}));
    std::filesystem::remove(scratch.Target() / "Copy (1 ) of a.txt");
    EXPECT_EQ(save(u"a.txt", 51, 200, 0), 1);
    EXPECT_TRUE(std::filesystem::exists(scratch.Target() / "Copy (1 ) of a.txt"));
    EXPECT_EQ(Saved(u"a.txt"), live);
    // A folder takes a name as a file does.
    std::filesystem::create_directory(scratch.Target() / "b.txt");
    EXPECT_EQ(save(u"b.txt", 50, 100, 0), 1);
    EXPECT_EQ(Saved(u"Copy (1 ) of b.txt"), live);
    std::filesystem::remove(scratch.Target() / "Copy (1 ) of b.txt");
    std::filesystem::remove(scratch.Target() / "b.txt");

    // Overwrite replaces; skip leaves the file and says so.
    RecoverySettings.duplicatePolicy = kDuplicateOverwrite;
    EXPECT_EQ(save(u"a.txt", 51, 200, 0), 1);
    EXPECT_EQ(Saved(u"a.txt"), other);
    RecoverySettings.duplicatePolicy = kDuplicateSkip;
    SaveOutcome = {};
    EXPECT_EQ(save(u"a.txt", 50, 100, 0), 0);
    EXPECT_EQ(Saved(u"a.txt"), other);
    EXPECT_EQ(SaveOutcome.skipped, 1u);

    // Deleted-file policies decide on the record's deleted flag.
    struct Case
    {
        const char* name;
        std::uint16_t policy;
        bool liveSaved;
        bool deletedSaved;
    };
    const Case cases[] = {
        {"include", kDeletedInclude, true, true},
        {"only deleted", kDeletedOnly, false, true},
        {"exclude deleted", kDeletedExclude, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecoverySettings.deletedPolicy = c.policy;
        EXPECT_EQ(save(u"live.bin", 50, 100, 0), c.liveSaved ? 1 : 0);
        EXPECT_EQ(save(u"deleted.bin", 51, 200, 1), c.deletedSaved ? 1 : 0);
        EXPECT_EQ(Exists(u"live.bin"), c.liveSaved);
        EXPECT_EQ(Exists(u"deleted.bin"), c.deletedSaved);
        std::filesystem::remove(scratch.Target() / "live.bin");
        std::filesystem::remove(scratch.Target() / "deleted.bin");
    }

    // Mode 0 ignores the policies and overwrites.
    EXPECT_EQ(SaveFileFat(target.c_str(), 0, kSaveModeAsIs, 50, 100, u"deleted.bin", 1), 1);
    EXPECT_EQ(SaveFileFat(target.c_str(), 0, kSaveModeAsIs, 51, 200, u"deleted.bin", 1), 1);
    EXPECT_EQ(Saved(u"deleted.bin"), other);

    // The filter: upper-cased names against upper-cased patterns.
    RecoverySettings.deletedPolicy = kDeletedInclude;
    FileFilterTable.count = 1;
    std::u16string(u"*.jpg").copy(FileFilterTable.patterns[0], kFileFilterLength);
    EXPECT_EQ(save(u"photo.JPG", 50, 100, 0), 1);
    EXPECT_EQ(save(u"notes.txt", 50, 100, 0), 0);
    EXPECT_TRUE(Exists(u"photo.JPG"));
    EXPECT_FALSE(Exists(u"notes.txt"));
}

TEST_F(SaveFat, NamesThatAreNoPathsStayInsideTheTarget)
{
    SetChain(kFat1, {60});
    const std::string bytes = PutFile(12, 10, {60});
    Attach();
    // Folders: ".." (cluster 70) under the root, ".." again inside it (71), and "Sub" (72).
    AddFatFolderRec(u"..", 70, 0, 0, 0, 0, 0)->treeItem = 1;
    AddFatFolderRec(u"..", 71, 70, 0, 0, 0, 0)->treeItem = 2;
    AddFatFolderRec(u"Sub", 72, 0, 0, 0, 0, 0)->treeItem = 3;
    for (const char16_t* name : {u"a:b", u"we\\ird..name", u"CON", u"aux.txt", u"trailing. "})
        AddFile(name, 60, 10);
    AddFile(u"inside.txt", 60, 10, 70);
    AddFile(u"deep.txt", 60, 10, 71);
    AddFile(u"..", 60, 10, 72);
    AddFile(u"C:\\Windows\\evil.dll", 60, 10, 72);
    MarkEveryFile();
    recorder.markedTreeItems = {1, 2, 3};

    ASSERT_EQ(ListTree(scratch.Parent()), (std::vector<std::string>{"target/"}));
    const SaveOutcomeBlock outcome = SaveSelection();
    EXPECT_EQ(outcome.saved, 9u);
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_EQ(
        ListTree(scratch.Parent()),
        (std::vector<std::string>{"target/", "target/.._/", "target/.._/.._/", "target/.._/.._/deep.txt",
                                  "target/.._/inside.txt", "target/Sub/", "target/Sub/.._",
                                  "target/Sub/C__Windows_evil.dll", "target/_CON", "target/_aux.txt",
                                  "target/a_b", "target/trailing. _", "target/we_ird..name"}));
    EXPECT_EQ(Saved(u"we_ird..name"), bytes);
}

TEST_F(SaveFat, TheFatDateLandsOnTheSavedFileWithTheTimeOfDay)
{
    std::uint32_t year = 0, month = 0, day = 0;
    SplitFatDate(kFatDate2025, year, month, day);
    EXPECT_EQ(year, 2025u);
    EXPECT_EQ(month, 1u);
    EXPECT_EQ(day, 1u);

    Attach();
    const std::u16string target = scratch.TargetText();
    constexpr std::uint64_t kTicksPerSecond = 10000000;
    constexpr std::uint64_t kSecondsPerDay = 86400;
    // 1 January 2025 in days since 1601.
    constexpr std::uint64_t kDay2025 = 154863;
    const auto nowSeconds = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count());

    PendingFileTime = kFatDate2025;
    ASSERT_EQ(SaveFileFat(target.c_str(), 0, kSaveModeAsIs, 0, 0, u"dated.txt", 0), 1);
    PlatformFileTimes times;
    ASSERT_TRUE(PlatformGetFileTimes((target + u"\\dated.txt").c_str(), &times));
    const std::uint64_t secondsSince1601 = times.lastWrite / kTicksPerSecond;
    EXPECT_EQ(secondsSince1601 / kSecondsPerDay, kDay2025);
    // The time of day is the current one (a minute of slack for a run that crosses a minute).
    const std::int64_t dayDifference = static_cast<std::int64_t>(secondsSince1601 % kSecondsPerDay) -
                                       static_cast<std::int64_t>(nowSeconds % kSecondsPerDay);
    EXPECT_TRUE(std::llabs(dayDifference) < 60 ||
                std::llabs(dayDifference) > static_cast<std::int64_t>(kSecondsPerDay) - 60)
        << dayDifference;
#ifdef _WIN32
    EXPECT_EQ(times.creation / kTicksPerSecond / kSecondsPerDay, kDay2025);
#endif

    // A date that names no day leaves the times as the system set them.
    PendingFileTime = (45 << 9) | (0 << 5) | 1;
    ASSERT_EQ(SaveFileFat(target.c_str(), 0, kSaveModeAsIs, 0, 0, u"undated.txt", 0), 1);
    ASSERT_TRUE(PlatformGetFileTimes((target + u"\\undated.txt").c_str(), &times));
    EXPECT_GT(times.lastWrite / kTicksPerSecond / kSecondsPerDay, kDay2025 + 100);
}

TEST(SaveOutcome, TheClosingMessageSaysWhatFailed)
{
    SaveOutcomeBlock outcome;
    // Nothing written and nothing failed is no success.
    EXPECT_EQ(Utf8(SaveOutcomeText(outcome)), "No file was saved: nothing that was marked holds a file.");
    outcome.skipped = 4;
    EXPECT_EQ(Utf8(SaveOutcomeText(outcome)),
              "No file was saved: 4 file(s) were skipped or left out by the file filters or the recovery "
              "settings.");
    outcome.skipped = 0;
    outcome.saved = 12;
    EXPECT_EQ(Utf8(SaveOutcomeText(outcome)), "Files Saved Successfully.");
    outcome.skipped = 3;
    EXPECT_EQ(Utf8(SaveOutcomeText(outcome)), "Files Saved Successfully.");
    outcome.failed = 4;
    outcome.notCreated = 1;
    outcome.unreadable = 1;
    outcome.beyondImageEnd = 1;
    outcome.storedAsIs = 1;
    EXPECT_EQ(
        Utf8(SaveOutcomeText(outcome)),
        "4 file(s) could not be saved completely (12 saved).\r\n"
        "1 could not be created or written whole in the chosen folder; none of them was left there.\r\n"
        "1 had parts that could not be read; zeros stand in for them.\r\n"
        "1 had parts past the end of the disk image file, which is cut short; zeros stand in for them.\r\n"
        "1 are compressed or encrypted and were saved as stored, not decoded.");

    // Files of which nothing could be read are not made; those kept with zeros are named, the first ten.
    outcome = {};
    outcome.saved = 2;
    outcome.failed = 13;
    outcome.beyondImageEnd = 12;
    outcome.nothingRead = 1;
    outcome.keptWithZeros = 12;
    for (int i = 0; i < 10; ++i)
        outcome.keptWithZerosNames.push_back(u"Music\\song" + std::u16string(1, u'0' + i) + u".mp3");
    const std::string named = Utf8(SaveOutcomeText(outcome));
    EXPECT_EQ(
        named.substr(0, named.find("    Music\\song1")),
        "13 file(s) could not be saved completely (2 saved).\r\n"
        "1 had no data that could be read (a read error, or a disk image file cut short); no file was "
        "made.\r\n"
        "12 had parts past the end of the disk image file, which is cut short; zeros stand in for them.\r\n"
        "Files kept with zeros in place of the parts that could not be read:\r\n"
        "    Music\\song0.mp3\r\n");
    EXPECT_EQ(named.substr(named.find("    Music\\song9")), "    Music\\song9.mp3\r\n    and 2 more.");
    outcome.keptWithZeros = 10;
    EXPECT_EQ(Utf8(SaveOutcomeText(outcome)).find("more"), std::string::npos);
}

TEST(SaveOutcome, TheFolderBrowserGivesTheTargetOrNothing)
{
    ResetEngineState();
    UiRecorder recorder;
    recorder.Attach();
    std::u16string folder = u"previous";
    BrowseForSaveFolder(folder);
    EXPECT_EQ(folder, u"");
    EXPECT_EQ(recorder.ArgumentsOf("resultsView.BrowseForFolder"),
              std::vector<std::string>{"\"Please select the path to save the data\""});
    recorder.browseFolderAnswer = u"D:\\Recovered";
    BrowseForSaveFolder(folder);
    EXPECT_EQ(Utf8(folder), "D:\\Recovered");
    ResetEngineState();
}

} // namespace
