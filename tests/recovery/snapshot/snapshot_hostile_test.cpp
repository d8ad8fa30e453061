// Snapshot documents cut short or crafted: every one is refused with the program's message, frees what it
// had read, and leaves the results, the engine's state and the views as they were. Parent links that go
// round load, and nothing that walks them loops.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "save_test_support.h"
#include "snapshot_test_support.h"
#include "ui_recorder.h"

#if defined(__SANITIZE_ADDRESS__)
// In the sanitizer build any allocation past 64 MiB ends the run: no length or count read from a document
// may size one.
extern "C" const char* __asan_default_options()
{
    return "max_allocation_size_mb=64:allocator_may_return_null=0";
}
#endif

namespace {

enum class Kind
{
    Fat,
    NtfsQuick,
    NtfsExtensive,
    Trace,
};

void ClearResults()
{
    FreeScanLists();
    FreeFolderLists();
    FreePartitionLists();
    FreeTraceFoundList();
    FreeFileSignatureList();
}

// Small documents with one-letter names, so that every field has an offset that can be counted by hand
// (see the layouts in the cases below).
void FillResults(Kind kind)
{
    ClearResults();
    VolumeParams = {};
    VolumeParams.rangeStart = 100;
    VolumeParams.rangeCount = 10000;
    VolumeParams.clusterBase = 100;
    VolumeParams.endSector = 10000;
    switch (kind) {
    case Kind::Fat:
        ScanSelection.scanKind = kScanQuick;
        VolumeParams.fsCode = kFsFat32;
        AddFatFolderRec(u"A", 5, 0, 1, 2, 0, 0);
        AddFatFolderRec(u"B", 6, 5, 3, 4, 0, 1);
        fileCount = 0;
        AddFatFileRec(u"x", 7, 0, 5, 6, 100, 0);
        ++fileCount;
        AddFatFileRec(u"y", 8, 6, 7, 8, 200, 1);
        ++fileCount;
        break;
    case Kind::NtfsQuick:
    case Kind::NtfsExtensive:
        ScanSelection.scanKind = kind == Kind::NtfsQuick ? kScanQuick : kScanExtensive;
        VolumeParams.fsCode = kFsNtfs;
        AddNtfsEntryNode(u"D", 6, 5, 1, 2, 0, 0);
        AddNtfsEntryNode(u"E", 7, 6, 3, 4, 0, 1);
        if (kind == Kind::NtfsQuick) {
            AddNtfsScanNode(200, u"f", 64, 5, 5, 6, 300, 0);
            AddNtfsScanNode(202, u"g", 65, 7, 7, 8, 400, 1);
        } else {
            AddNtfsFileNode(u"f", 200, 5, 5, 6, 300, 0);
            AddNtfsFileNode(u"g", 202, 7, 7, 8, 400, 1);
        }
        break;
    case Kind::Trace:
        ScanSelection.scanKind = kScanFileTrace;
        AddFileSignatureRec(u".a", u"T", 1, "ab", 0);
        AddFileSignatureRec(u".b", u"T", 1, "cd", 0);
        AddTraceFoundRec(u"1.a", u".a", u"T", 1, 150);
        AddTraceFoundRec(u"2.b", u".b", u"T", 2, 160);
        break;
    }
}

bool Load(Kind kind, const std::u16string& path)
{
    return kind == Kind::Trace ? ReadTraceSnapshot(path.c_str()) : ReadScanSnapshot(path.c_str());
}

void Put16(std::string& bytes, std::size_t offset, std::uint16_t value)
{
    ASSERT_LE(offset + 2, bytes.size());
    bytes[offset] = static_cast<char>(value);
    bytes[offset + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, std::size_t offset, std::uint32_t value)
{
    ASSERT_LE(offset + 4, bytes.size());
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

std::uint16_t Get16(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                      static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

class SnapshotHostile : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        for (Kind kind : {Kind::Fat, Kind::NtfsQuick, Kind::NtfsExtensive, Kind::Trace}) {
            FillResults(kind);
            const std::u16string path = EngineText(scratch.Target() / "valid.vqdx");
            ASSERT_TRUE(kind == Kind::Trace ? WriteTraceSnapshotFile(path.c_str())
                                            : WriteScanSnapshotFile(path.c_str()));
            documents[static_cast<int>(kind)] = FileBytes(scratch.Target() / "valid.vqdx");
        }
        // What the program shows when the documents are offered: an earlier Quick Scan's results.
        ClearResults();
        ScanSelection.scanKind = kScanQuick;
        ScanSelection.modeName = u"Quick Scan";
        VolumeParams = {};
        VolumeParams.fsCode = kFsFat16;
        VolumeParams.rangeStart = 2048;
        SourceState.deviceIndex = 2;
        AddFatFolderRec(u"Earlier", 9, 0, 0, 0, 0, 0);
        AddFatFileRec(u"earlier.txt", 9, 9, 0, 0, 5, 0);
        fileCount = 1;
        before = DumpSnapshotState();
        recorder.Clear();
    }
    void TearDown() override { ResetEngineState(); }

    const std::string& Document(Kind kind) const { return documents[static_cast<int>(kind)]; }

    // Offers `bytes` to the reader of `kind`: refused with `message`, and nothing changed.
    void ExpectRefused(Kind kind, const std::string& bytes, const char16_t* message)
    {
        const std::filesystem::path file = scratch.Target() / "offered.vqdx";
        WriteBytes(file, bytes);
        recorder.Clear();
        EXPECT_FALSE(Load(kind, EngineText(file)));
        EXPECT_EQ(recorder.ArgumentsOf("messages.ShowMessage"),
                  std::vector<std::string>{"2, \"" + Utf8(message) + "\""});
        EXPECT_EQ(DumpSnapshotState(), before);
        EXPECT_EQ(Utf8(ScanSelection.modeName), "Quick Scan");
        for (const std::string& call : recorder.Calls()) {
            EXPECT_EQ(call.rfind("recoveryTree.", 0), std::string::npos) << call;
            EXPECT_EQ(call.rfind("resultList.", 0), std::string::npos) << call;
        }
        EXPECT_TRUE(recorder.ArgumentsOf("shell.SwitchView").empty());
        EXPECT_EQ(recorder.ArgumentsOf("shell.CreateProgressDlg").size(),
                  recorder.ArgumentsOf("shell.DestroyProgressDlg").size());
    }

    UiRecorder recorder;
    ScratchFolder scratch;
    std::string documents[4];
    std::vector<std::string> before;
};

// Layouts, offsets in bytes. Head 0 to 80. FAT: folder count 80; folder "A" 84 (length 84, name 86, NUL
// 88, first cluster 90 ... ) to 105; "B" to 126; file count 126; file "x" 130 (length 130, name 132, NUL
// 134) to 159; "y" to 188; trailer 188 (device index) and 190 (source kind). NTFS: folder count 80;
// "D" 84 to 119, "E" to 154; file count 154; "f" 158 (length 158, first 160, name 164, NUL 166) to
// 203, "g" to 248; trailer 248. File Trace: signature count 80; first signature 84 (extension length
// 84, ".a" 86, type length 92, "T" 94, signature length 98, "ab" 100, its NUL 102) to 114, second to
// 144; item count 144; first item 148 (extension length 148, name length 158, "1.a" 160, type length
// 170, "T" 172, its NUL 174) to 186, second to 224; trailer 224.
TEST_F(SnapshotHostile, LayoutOfTheSmallDocuments)
{
    EXPECT_EQ(Document(Kind::Fat).size(), 192u);
    EXPECT_EQ(Get16(Document(Kind::Fat), 84), 19);
    EXPECT_EQ(Get16(Document(Kind::Fat), 130), 27);
    EXPECT_EQ(Document(Kind::NtfsQuick).size(), 252u);
    EXPECT_EQ(Get16(Document(Kind::NtfsQuick), 158), 43);
    EXPECT_EQ(Document(Kind::NtfsExtensive).size(), 252u);
    EXPECT_EQ(Document(Kind::Trace).size(), 228u);
    EXPECT_EQ(Get16(Document(Kind::Trace), 98), 21);
    EXPECT_EQ(Get16(Document(Kind::Trace), 158), 31);
    // And they are valid: each loads.
    for (Kind kind : {Kind::Fat, Kind::NtfsQuick, Kind::NtfsExtensive, Kind::Trace}) {
        WriteBytes(scratch.Target() / "whole.vqdx", Document(kind));
        EXPECT_TRUE(Load(kind, EngineText(scratch.Target() / "whole.vqdx")));
    }
}

TEST_F(SnapshotHostile, EveryTruncationIsRefused)
{
    for (Kind kind : {Kind::Fat, Kind::NtfsQuick, Kind::NtfsExtensive, Kind::Trace}) {
        const std::string& whole = Document(kind);
        for (std::size_t length = 0; length < whole.size(); ++length) {
            SCOPED_TRACE(std::to_string(static_cast<int>(kind)) + " cut at " + std::to_string(length));
            ExpectRefused(kind, whole.substr(0, length), kInvalidSnapshotText);
            if (HasFailure())
                return;
        }
    }
}

TEST_F(SnapshotHostile, CraftedLengthsCountsAndIndexesAreRefused)
{
    struct Case
    {
        const char* name;
        Kind kind;
        std::size_t offset;
        std::uint32_t value;
        int width; // 1, 2 or 4 bytes
        const char16_t* message = kInvalidSnapshotText;
    };
    const Case cases[] = {
        {"FAT folder count past the file", Kind::Fat, 80, 0xFFFFFFFF, 4},
        {"FAT folder count the rest cannot hold", Kind::Fat, 80, 6, 4},
        {"FAT folder count one too many", Kind::Fat, 80, 3, 4},
        {"FAT folder length below the fixed part", Kind::Fat, 84, 14, 2},
        {"FAT folder length without room for the NUL", Kind::Fat, 84, 15, 2},
        {"FAT folder length odd", Kind::Fat, 84, 18, 2},
        {"FAT folder name past the buffer", Kind::Fat, 84, 2 * 1023 + 17, 2},
        {"FAT folder name past the end of the file", Kind::Fat, 84, 2 * 1000 + 17, 2},
        {"FAT folder length at its largest", Kind::Fat, 84, 0xFFFF, 2},
        {"FAT folder name without its NUL", Kind::Fat, 88, 'Z', 2},
        {"FAT file count past the file", Kind::Fat, 126, 0x7FFFFFFF, 4},
        {"FAT file length below the fixed part", Kind::Fat, 130, 20, 2},
        {"FAT file length odd", Kind::Fat, 130, 26, 2},
        {"FAT file name without its NUL", Kind::Fat, 134, 'Q', 2},
        {"drive-letter index past the table", Kind::Fat, 26, 26, 2},
        {"drive-letter index at its largest", Kind::Fat, 26, 0xFFFF, 2},
        {"device index past the table", Kind::Fat, 188, 10, 2},
        {"source kind unknown", Kind::Fat, 190, 4, 2},
        {"file-system code unknown", Kind::Fat, 28, 400, 2},
        {"file-system code missing", Kind::Fat, 28, 0, 2},
        {"mode letter of File Trace", Kind::Fat, 0, 'R', 2},
        {"mode letter unknown", Kind::Fat, 0, 'X', 2},
        {"tag", Kind::Fat, 2, 'Q', 1, kInvalidSnapshotVersionText},
        {"version", Kind::Fat, 11, '!', 1, kSnapshotVersionMismatchText},
        {"NTFS folder length below the fixed part", Kind::NtfsQuick, 84, 26, 2},
        {"NTFS folder length odd", Kind::NtfsQuick, 84, 30, 2},
        {"NTFS folder count past the file", Kind::NtfsQuick, 80, 0x10000000, 4},
        {"NTFS file count past the file", Kind::NtfsQuick, 154, 0xFFFFFFFF, 4},
        {"NTFS file length below the fixed part", Kind::NtfsQuick, 158, 36, 2},
        {"NTFS file name past the buffer", Kind::NtfsQuick, 158, 0xFFFF, 2},
        {"NTFS file name without its NUL", Kind::NtfsQuick, 166, 'Z', 2},
        {"Extensive NTFS file length odd", Kind::NtfsExtensive, 158, 44, 2},
        {"Extensive NTFS device index", Kind::NtfsExtensive, 248, 0x8000, 2},
        {"File Trace read as a scan", Kind::Trace, 0, 'D', 2},
        {"signature count past the file", Kind::Trace, 80, 0xFFFFFFFF, 4},
        {"signature extension length below the fixed part", Kind::Trace, 84, 3, 2},
        {"signature text odd", Kind::Trace, 98, 16, 2},
        {"signature text below the fixed part", Kind::Trace, 98, 14, 2},
        {"signature text without its NUL", Kind::Trace, 102, 'c', 1},
        {"item count past the file", Kind::Trace, 144, 0x10000000, 4},
        {"item name past the buffer", Kind::Trace, 158, 0xFFFF, 2},
        {"item type without its NUL", Kind::Trace, 174, 'U', 2},
        {"File Trace source kind", Kind::Trace, 226, 0xFFFF, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = Document(c.kind);
        if (c.width == 1)
            bytes[c.offset] = static_cast<char>(c.value);
        else if (c.width == 2)
            Put16(bytes, c.offset, static_cast<std::uint16_t>(c.value));
        else
            Put32(bytes, c.offset, c.value);
        ExpectRefused(c.kind, bytes, c.message);
    }
    // A File Trace document offered to the scan reader, and the other way round.
    ExpectRefused(Kind::Fat, Document(Kind::Trace), kInvalidSnapshotText);
    ExpectRefused(Kind::Trace, Document(Kind::NtfsQuick), kInvalidSnapshotText);
}

// Folders whose parent links go round, through the root's own value too, and folders listed twice: the
// document loads, and the tree, the listing, the rows and the save all end.
TEST_F(SnapshotHostile, ParentLoopsLoadAndEnd)
{
    ClearResults();
    ScanSelection.scanKind = kScanQuick;
    VolumeParams = {};
    VolumeParams.fsCode = kFsFat16;
    AddFatFolderRec(u"Zero", 0, 9, 0, 0, 0, 0);
    AddFatFolderRec(u"Nine", 9, 0, 0, 0, 0, 0);
    AddFatFolderRec(u"Twenty", 20, 21, 0, 0, 0, 0);
    AddFatFolderRec(u"TwentyOne", 21, 20, 0, 0, 0, 0);
    AddFatFileRec(u"in-zero.txt", 30, 0, 0, 0, 10, 0);
    AddFatFileRec(u"in-nine.txt", 31, 9, 0, 0, 10, 0);
    const std::u16string fatPath = EngineText(scratch.Target() / "fat-loops.vqdx");
    ASSERT_TRUE(WriteScanSnapshotFile(fatPath.c_str()));

    ClearResults();
    VolumeParams.fsCode = kFsNtfs;
    AddNtfsEntryNode(u"X", 7, 5, 0, 0, 0, 0);
    AddNtfsEntryNode(u"Z", 8, 7, 0, 0, 0, 0);
    AddNtfsEntryNode(u"X again", 7, 8, 0, 0, 0, 0);
    AddNtfsEntryNode(u"Root again", 5, 8, 0, 0, 0, 0);
    AddNtfsScanNode(300, u"in-x.txt", 70, 7, 0, 0, 10, 0);
    const std::u16string ntfsPath = EngineText(scratch.Target() / "ntfs-loops.vqdx");
    ASSERT_TRUE(WriteScanSnapshotFile(ntfsPath.c_str()));

    for (const std::u16string& path : {fatPath, ntfsPath}) {
        SCOPED_TRACE(Utf8(path));
        ASSERT_TRUE(ReadScanSnapshot(path.c_str()));
        EXPECT_LE(recorder.recoveryTreeItems.size(), 5u);
        EXPECT_FALSE(ResultRowsAsProbePrints().empty());
        ListFolderFat(9);
        ListFolderNtfs(7);
        ComputeSelectedSize();
        // No source is open: the save ends, and says what failed.
        SaveEverything(recorder, scratch.Target() / "saved");
    }
}

} // namespace
