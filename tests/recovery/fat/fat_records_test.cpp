// FAT found-entry records, the list free routines and the engine's reset. LeakSanitizer on the host
// build checks that the free routines release every record and name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "ui_recorder.h"

namespace {

class FatRecords : public testing::Test
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }
};

struct FolderCall
{
    const char16_t* name;
    std::uint32_t firstCluster;
    std::uint32_t deleted;
};

struct FolderExpect
{
    const char16_t* name;
    std::uint32_t firstCluster;
    std::uint32_t deleted;
};

std::vector<FolderExpect> ListedFolders()
{
    std::vector<FolderExpect> folders;
    for (FatFolderRec* record = fatFolders.head; record; record = record->next)
        folders.push_back({record->name, record->firstCluster, record->deleted});
    return folders;
}

TEST_F(FatRecords, AddFatFolderRecKeepsOneRecordPerFirstCluster)
{
    struct Case
    {
        const char* name;
        std::vector<FolderCall> calls;
        std::vector<FolderExpect> expected;
    };
    const Case cases[] = {
        {"deleted then live: the live name revives the record",
         {{u"old", 5, 1}, {u"new", 5, 0}},
         {{u"new", 5, 0}}},
        {"live then deleted: unchanged", {{u"live", 5, 0}, {u"gone", 5, 1}}, {{u"live", 5, 0}}},
        {"live then live: the first name stays", {{u"a", 5, 0}, {u"b", 5, 0}}, {{u"a", 5, 0}}},
        {"deleted then deleted: the first name stays", {{u"a", 5, 1}, {u"b", 5, 1}}, {{u"a", 5, 1}}},
        {"different clusters in call order",
         {{u"a", 7, 0}, {u"b", 6, 1}, {u"c", 8, 0}},
         {{u"a", 7, 0}, {u"b", 6, 1}, {u"c", 8, 0}}},
        {"revival in the middle of the list",
         {{u"a", 1, 0}, {u"x", 2, 1}, {u"c", 3, 0}, {u"y", 2, 0}, {u"z", 2, 1}},
         {{u"a", 1, 0}, {u"y", 2, 0}, {u"c", 3, 0}}},
        {"Lost Dir once",
         {{u"Lost Dir", kLostDirValue, 0}, {u"Lost Dir", kLostDirValue, 0}},
         {{u"Lost Dir", kLostDirValue, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreeScanLists();
        for (const FolderCall& call : c.calls)
            AddFatFolderRec(call.name, call.firstCluster, 99, 0x3A65, 0x3A66, 0, call.deleted);
        const auto listed = ListedFolders();
        ASSERT_EQ(listed.size(), c.expected.size());
        EXPECT_EQ(folderCount, c.expected.size());
        for (std::size_t i = 0; i < listed.size(); ++i) {
            EXPECT_EQ(std::u16string(listed[i].name), c.expected[i].name) << "record " << i;
            EXPECT_EQ(listed[i].firstCluster, c.expected[i].firstCluster) << "record " << i;
            EXPECT_EQ(listed[i].deleted, c.expected[i].deleted) << "record " << i;
        }
    }
}

TEST_F(FatRecords, RevivedFolderKeepsItsOtherFields)
{
    FatFolderRec* first = AddFatFolderRec(u"old", 9, 4, 0x1111, 0x2222, 0, 1);
    FatFolderRec* second = AddFatFolderRec(u"new", 9, 77, 0x3333, 0x4444, 0, 0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::u16string(first->name), u"new");
    EXPECT_EQ(first->parentCluster, 4u);
    EXPECT_EQ(first->writeDate, 0x1111);
    EXPECT_EQ(first->accessDate, 0x2222);
    EXPECT_EQ(first->treeItem, 0u);
    EXPECT_EQ(first->next, nullptr);
}

TEST_F(FatRecords, FolderDedupeFollowsTheListAfterFreeAndOutsideAppends)
{
    AddFatFolderRec(u"a", 5, 0, 0, 0, 0, 0);
    FreeScanLists();
    EXPECT_EQ(folderCount, 0u);
    FatFolderRec* fresh = AddFatFolderRec(u"b", 5, 0, 0, 0, 0, 0);
    EXPECT_EQ(fatFolders.head, fresh);
    EXPECT_EQ(folderCount, 1u);

    // A record linked by other code is still found by its first cluster.
    auto* outside = AllocateRecord<FatFolderRec>();
    outside->name = CopyText(u"outside");
    outside->firstCluster = 12;
    outside->deleted = 1;
    LinkAtTail(fatFolders, outside);
    EXPECT_EQ(AddFatFolderRec(u"live", 12, 0, 0, 0, 0, 0), outside);
    EXPECT_EQ(std::u16string(outside->name), u"live");
    EXPECT_EQ(ListedFolders().size(), 2u);
}

TEST_F(FatRecords, FilesTakeTheFileCounterAsTheirIdAndOwnTheirNames)
{
    char16_t name[] = u"REPORT.DOC";
    FatFileRec* first = AddFatFileRec(name, 3, 0, 0x3A65, 0x3A66, 4097, 0);
    name[0] = u'X';
    ++fileCount;
    FatFileRec* second = AddFatFileRec(u"xEADME.TXT", 9, 3, 1, 2, 0, 1);
    EXPECT_EQ(first->fileId, 0u);
    EXPECT_EQ(second->fileId, 1u);
    EXPECT_EQ(std::u16string(first->name), u"REPORT.DOC");
    EXPECT_EQ(first->firstCluster, 3u);
    EXPECT_EQ(first->size, 4097u);
    EXPECT_EQ(first->writeDate, 0x3A65);
    EXPECT_EQ(first->accessDate, 0x3A66);
    EXPECT_EQ(second->parentCluster, 3u);
    EXPECT_EQ(second->deleted, 1u);
    EXPECT_EQ(fatFiles.head, first);
    EXPECT_EQ(first->next, second);
    EXPECT_EQ(fatFiles.tail, second);
    EXPECT_EQ(fileCount, 1u) << "the caller advances the counter, not AddFatFileRec";
}

TEST_F(FatRecords, CandidatesClustersAndValueLists)
{
    FatDirCandidate* candidate = AddFatDirCandidate(4080, 2, 0, 0x3A65, 0x3A66);
    EXPECT_EQ(candidate->sector, 4080u);
    EXPECT_EQ(candidate->firstCluster, 2u);
    EXPECT_EQ(candidate->volumeNumber, 0u);
    EXPECT_EQ(fatDirCandidates.head, candidate);

    for (std::uint32_t cluster : {2u, 3u, 9u})
        AddClusterNode(cluster);
    std::vector<std::uint32_t> chain;
    for (ClusterNode* node = clusterChain.head; node; node = node->next)
        chain.push_back(node->cluster);
    EXPECT_EQ(chain, (std::vector<std::uint32_t>{2, 3, 9}));
    FreeClusterChain();
    EXPECT_EQ(clusterChain.head, nullptr);
    AddClusterNode(5);
    EXPECT_EQ(clusterChain.head->cluster, 5u);

    // Two lists filled in turn keep their own order.
    U32Node* other = nullptr;
    for (std::uint32_t i = 0; i < 1000; ++i) {
        AppendU32Node(&bootSectorList, i);
        AppendU32Node(&other, 5000 + i);
    }
    std::uint32_t expected = 0;
    for (U32Node* node = bootSectorList; node; node = node->next)
        EXPECT_EQ(node->value, expected++);
    EXPECT_EQ(expected, 1000u);
    FreeU32List(&other);
    EXPECT_EQ(other, nullptr);
    U32Node* first = AppendU32Node(&other, 7);
    EXPECT_EQ(other, first);
    EXPECT_EQ(first->next, nullptr);
    FreeU32List(&other);
}

// Builds one record of each NTFS kind, the way the NTFS code will.
void AddOneOfEachNtfsRecord()
{
    auto* file = AllocateRecord<NtfsFileNode>();
    file->name = CopyText(u"file");
    LinkAtTail(ntfsFileNodes, file);
    auto* folder = AllocateRecord<NtfsFolderNode>();
    folder->name = CopyText(u"folder");
    LinkAtTail(ntfsFolderNodes, folder);
    auto* scan = AllocateRecord<NtfsScanNode>();
    scan->name = CopyText(u"scan");
    LinkAtTail(ntfsScanNodes, scan);
    auto* entry = AllocateRecord<NtfsEntryNode>();
    entry->name = CopyText(u"entry");
    LinkAtTail(ntfsEntryNodes, entry);
    LinkAtTail(ntfsIndexNodes, AllocateRecord<NtfsIndexNode>());
    LinkAtTail(foundVolumes, AllocateRecord<FoundVolumeRec>());
}

TEST_F(FatRecords, EachFreeRoutineFreesItsOwnListsAndCounters)
{
    struct Case
    {
        const char* name;
        void (*freeLists)();
        bool scanListsGone;      // fatFiles, fatFolders
        bool folderListsGone;    // NTFS entry and scan nodes
        bool partitionListsGone; // candidates, boot sectors, NTFS folder/file/index nodes, volumes
    };
    const Case cases[] = {
        {"FreeScanLists", FreeScanLists, true, true, false},
        {"FreeFolderLists", FreeFolderLists, false, true, false},
        {"FreePartitionLists", FreePartitionLists, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        AddFatFileRec(u"f", 3, 0, 0, 0, 10, 0);
        AddFatFolderRec(u"d", 4, 0, 0, 0, 0, 0);
        AddFatDirCandidate(100, 4, 0, 0, 0);
        AppendU32Node(&bootSectorList, 2048);
        AddOneOfEachNtfsRecord();
        fileCount = 1;
        entriesDone = 7;
        listedBytes = 10;
        foundFolderCount = 3;
        ntfsFileNodeCount = 1;
        ntfsIndexNodeCount = 1;
        bootSectorCount = 1;
        volumeCounter = 1;

        c.freeLists();

        EXPECT_EQ(fatFiles.Empty(), c.scanListsGone);
        EXPECT_EQ(fatFolders.Empty(), c.scanListsGone);
        EXPECT_EQ(ntfsEntryNodes.Empty(), c.folderListsGone);
        EXPECT_EQ(ntfsScanNodes.Empty(), c.folderListsGone);
        EXPECT_EQ(fatDirCandidates.Empty(), c.partitionListsGone);
        EXPECT_EQ(bootSectorList == nullptr, c.partitionListsGone);
        EXPECT_EQ(ntfsFolderNodes.Empty(), c.partitionListsGone);
        EXPECT_EQ(ntfsFileNodes.Empty(), c.partitionListsGone);
        EXPECT_EQ(ntfsIndexNodes.Empty(), c.partitionListsGone);
        EXPECT_EQ(foundVolumes.Empty(), c.partitionListsGone);
        EXPECT_EQ(folderCount == 0, c.scanListsGone || c.folderListsGone);
        EXPECT_EQ(fileCount == 0, c.scanListsGone || c.folderListsGone);
        EXPECT_EQ(entriesDone == 0 && listedBytes == 0, c.scanListsGone);
        EXPECT_EQ(foundFolderCount == 0 && ntfsFileNodeCount == 0 && ntfsIndexNodeCount == 0 &&
                      bootSectorCount == 0 && volumeCounter == 0,
                  c.partitionListsGone);
    }
}

TEST_F(FatRecords, FreeingEmptyListsIsHarmlessAndAnAppendStartsANewList)
{
    for (int round = 0; round < 2; ++round) {
        FreeScanLists();
        FreePartitionLists();
        FreeFolderLists();
        FreeClusterChain();
    }
    FatFileRec* file = AddFatFileRec(u"a", 2, 0, 0, 0, 1, 0);
    EXPECT_EQ(fatFiles.head, file);
    EXPECT_EQ(fatFiles.tail, file);
    EXPECT_EQ(file->fileId, 0u);
}

TEST_F(FatRecords, ResetEngineStatePutsEveryGlobalBack)
{
    UiRecorder recorder;
    recorder.Attach();
    AddFatFileRec(u"a", 2, 0, 0, 0, 1, 0);
    AddTraceFoundRec(u"1.jpg", u".jpg", u"JPEG", 1, 100);
    AddFileSignatureRec(u".jpg", u"JPEG", 3, "ffd8ff", 0);
    partitionTable[3] = {2048, 100, kFsFat32};
    partitionCount = 4;
    SourceState.sourceKind = kSourceLogicalVolume;
    SourceState.deviceIndex = 3;
    VolumeParams.fsCode = kFsNtfs;
    VolumeParams.volumeNumber = 2;
    ScanSelection.imageKind = kImageVmdk;
    ScanSelection.scanKind = kScanQuick;
    ScanSelection.modeName = u"Quick Scan";
    ScanThreadControl.running = 1;
    ScanThreadControl.done = 1;
    RecoverySettings.sectorsPerRead = 8;
    RecoverySettings.duplicatePolicy = kDuplicateSkip;
    FileFilterTable.count = 1;
    FileFilterTable.patterns[0][0] = u'*';
    DriveEntryTable.entries[0][0] = u'E';
    DeviceGeometry[9].heads = 255;
    PartitionParamsMissing = 1;
    ScanDetailsShown = 0;
    StepWaitFlags[1] = 1;
    SaveControl.stop = 1;
    SaveControl.skip = 1;
    SaveControl.fileCounter = 5;
    TreeInsertedCount = 12;
    InheritDeletedState = 1;
    bootVolumesDone = 1;
    inferenceDone = 1;
    placedCandidates = 3;

    ResetEngineState();

    EXPECT_TRUE(fatFiles.Empty());
    EXPECT_TRUE(traceFoundList.Empty());
    EXPECT_TRUE(fileSignatureList.Empty());
    EXPECT_EQ(partitionCount, 0u);
    EXPECT_EQ(partitionTable[3].startSector, 0u);
    EXPECT_EQ(SourceState.sourceKind, kSourceNone);
    EXPECT_EQ(SourceState.deviceIndex, 0);
    EXPECT_EQ(SourceState.driveHandle, kNoHandle);
    EXPECT_EQ(SourceState.volumeHandle, kNoHandle);
    EXPECT_EQ(VolumeParams.fsCode, 0);
    EXPECT_EQ(VolumeParams.volumeNumber, 0);
    EXPECT_EQ(ScanSelection.imageKind, kImageVhd);
    EXPECT_EQ(ScanSelection.scanKind, kScanExtensive);
    EXPECT_TRUE(ScanSelection.modeName.empty());
    EXPECT_EQ(ScanThreadControl.running, 0);
    EXPECT_EQ(ScanThreadControl.done, 0u);
    EXPECT_EQ(RecoverySettings.sectorsPerRead, 100u);
    EXPECT_EQ(RecoverySettings.duplicatePolicy, kDuplicateRename);
    EXPECT_EQ(RecoverySettings.deletedPolicy, kDeletedInclude);
    EXPECT_EQ(FileFilterTable.count, 0);
    EXPECT_EQ(FileFilterTable.patterns[0][0], 0);
    EXPECT_EQ(DriveEntryTable.entries[0][0], 0);
    EXPECT_EQ(DeviceGeometry[9].heads, 0u);
    EXPECT_EQ(PartitionParamsMissing, 0u);
    EXPECT_EQ(ScanDetailsShown, 1u);
    EXPECT_EQ(StepWaitFlags[1], 0u);
    EXPECT_EQ(SaveControl.stop, 0u);
    EXPECT_EQ(SaveControl.skip, 0u);
    EXPECT_EQ(SaveControl.fileCounter, 0u);
    EXPECT_EQ(TreeInsertedCount, 0u);
    EXPECT_EQ(InheritDeletedState, 0u);
    EXPECT_EQ(bootVolumesDone, 0u);
    EXPECT_EQ(inferenceDone, 0u);
    EXPECT_EQ(placedCandidates, 0u);
    EXPECT_EQ(engineUi.messages, nullptr);
    EXPECT_EQ(engineUi.scanPanel, nullptr);
}

// The message goes through the attached message dialog as an error (kind 2), then the process ends with
// exit code 0. The recorder writes the message to stderr, where the death test reads it.
void RunOutOfMemory(long allocationsThatSucceed, void (*allocate)())
{
    UiRecorder recorder;
    recorder.Attach();
    recorder.echoMessagesToStderr = true;
    FailEngineAllocationAfterForTests(allocationsThatSucceed);
    allocate();
}

TEST(FatRecordsDeathTest, FailedAllocationShowsTheErrorAndEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case
    {
        const char* name;
        long allocationsThatSucceed;
        void (*allocate)();
    };
    const Case cases[] = {
        {"file record", 0, [] { AddFatFileRec(u"a", 2, 0, 0, 0, 1, 0); }},
        {"file name", 1, [] { AddFatFileRec(u"a", 2, 0, 0, 0, 1, 0); }},
        {"folder record", 0, [] { AddFatFolderRec(u"a", 2, 0, 0, 0, 0, 0); }},
        {"revived folder's name", 2,
         [] {
             AddFatFolderRec(u"a", 2, 0, 0, 0, 0, 1);
             AddFatFolderRec(u"b", 2, 0, 0, 0, 0, 0);
         }},
        {"value node", 0, [] { AppendU32Node(&bootSectorList, 1); }},
        {"trace item", 2, [] { AddTraceFoundRec(u"1.jpg", u".jpg", u"JPEG", 1, 100); }},
        {"hexadecimal text", 0,
         [] {
             static const std::uint8_t bytes[] = {1};
             BytesToHex(bytes, 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(RunOutOfMemory(c.allocationsThatSucceed, c.allocate), testing::ExitedWithCode(0),
                    "message 2: Out of memory, close other applications and run again");
    }
}

} // namespace
