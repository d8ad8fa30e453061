// The bytes of snapshot documents, pinned by hand from the document's layout, and the names and
// columns that go with them.
#include <gtest/gtest.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "save_test_support.h"
#include "snapshot_test_support.h"
#include "ui_recorder.h"

using namespace std::string_literals;

namespace {

// "41 00 7a ..." as bytes.
std::string Hex(const char* text)
{
    std::string bytes;
    unsigned value = 0;
    int digits = 0;
    for (const char* c = text; *c; ++c) {
        const int digit = *c >= '0' && *c <= '9' ? *c - '0' : *c >= 'a' && *c <= 'f' ? *c - 'a' + 10 : -1;
        if (digit < 0)
            continue;
        value = value << 4 | static_cast<unsigned>(digit);
        if (++digits == 2) {
            bytes += static_cast<char>(value);
            value = 0;
            digits = 0;
        }
    }
    return bytes;
}

std::string HexOf(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
        text += ' ';
    }
    return text;
}

// A VolumeParams whose every field has bytes of its own, so that each lands visibly at its offset.
VolumeParamsBlock DistinctVolume(std::uint16_t fsCode)
{
    VolumeParamsBlock v;
    v.scanFsCode = 0x0102;
    v.rangeStart = 0x03040506;
    v.rangeCount = 0x0708090A;
    v.rangeEnd = 0x0B0C0D0E;
    v.driveIndex = 0x0F10;
    v.fsCode = fsCode;
    v.fatSize = 0x11121314;
    v.sectorsPerCluster = 0x15161718;
    v.rootDirSectors = 0x191A1B1C;
    v.rootStart = 0xDEADBEEF; // not kept
    v.reservedSectors = 0x1D1E1F20;
    v.clusterBase = 0x21222324;
    v.fat1Start = 0x25262728;
    v.fat2Start = 0x292A2B2C;
    v.mftStart = 0x2D2E2F30;
    v.mftMirrStart = 0x31323334;
    v.unused = 0x35363738;
    v.indexSectors = 0x393A3B3C;
    v.endSector = 0x3D3E3F40;
    v.volumeNumber = 0x4142;
    return v;
}

// The head of DistinctVolume(200) after the mode letter, offset by offset. rootStart is not kept:
// reservedSectors follows rootDirSectors.
constexpr const char* kDistinctHeadAfterLetter = "71 00 7a 00 76 00 34" // 2: "qzv4" in UTF-16LE, 7 bytes
                                                 "31 00 2e"             // 9: "1.", 3 bytes
                                                 "02 01"                // 12: scanFsCode
                                                 "06 05 04 03"          // 14: rangeStart
                                                 "0a 09 08 07"          // 18: rangeCount
                                                 "0e 0d 0c 0b"          // 22: rangeEnd
                                                 "10 0f"                // 26: driveIndex
                                                 "c8 00"                // 28: fsCode 200
                                                 "14 13 12 11"          // 30: fatSize
                                                 "18 17 16 15"          // 34: sectorsPerCluster
                                                 "1c 1b 1a 19"          // 38: rootDirSectors
                                                 "20 1f 1e 1d"          // 42: reservedSectors
                                                 "24 23 22 21"          // 46: clusterBase
                                                 "28 27 26 25"          // 50: fat1Start
                                                 "2c 2b 2a 29"          // 54: fat2Start
                                                 "30 2f 2e 2d"          // 58: mftStart
                                                 "34 33 32 31"          // 62: mftMirrStart
                                                 "38 37 36 35"          // 66: the field that stays 0
                                                 "3c 3b 3a 39"          // 70: indexSectors
                                                 "40 3f 3e 3d"          // 74: endSector
                                                 "42 41";               // 78: volumeNumber, ends at 80

class SnapshotFormat : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
    }
    void TearDown() override { ResetEngineState(); }

    std::string WriteAndRead(bool trace)
    {
        const std::u16string path = EngineText(scratch.Target() / "golden.vqdx");
        EXPECT_TRUE(trace ? WriteTraceSnapshotFile(path.c_str()) : WriteScanSnapshotFile(path.c_str()));
        return FileBytes(scratch.Target() / "golden.vqdx");
    }

    std::vector<std::string> Messages() const { return recorder.ArgumentsOf("messages.ShowMessage"); }

    UiRecorder recorder;
    ScratchFolder scratch;
};

TEST_F(SnapshotFormat, HeadHoldsTheVolumeHeaderAtItsOffsets)
{
    ScanSelection.scanKind = kScanQuick;
    VolumeParams = DistinctVolume(kFsFat32);
    SourceState.deviceIndex = 3;
    SourceState.sourceKind = kSourceLogicalVolume;
    const std::string bytes = WriteAndRead(false);
    // A FAT volume without folders or files: the folder count 0, directly the file count 0, the trailer.
    const std::string expected =
        Hex("44 00") + Hex(kDistinctHeadAfterLetter) + Hex("00 00 00 00  00 00 00 00  03 00 02 00");
    EXPECT_EQ(HexOf(bytes), HexOf(expected));

    ScanSelection.scanKind = kScanExtensive;
    EXPECT_EQ(WriteAndRead(false).substr(0, 2), "A\0"s);
}

TEST_F(SnapshotFormat, FatRecords)
{
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.fsCode = kFsFat16;
    AddFatFolderRec(u"Ab", 0x11223344, 0x55667788, 0x1234, 0x5678, 0, 1)->treeItem = 99;
    fileCount = 7;
    AddFatFileRec(u"c", 0x0A0B0C0D, 0x11223344, 0x2345, 0x3456, 0x01020304, 0);
    SourceState.deviceIndex = 3;
    SourceState.sourceKind = kSourceLogicalVolume;
    const std::string body = WriteAndRead(false).substr(80);
    EXPECT_EQ(HexOf(body), HexOf(Hex("01 00 00 00"                // one folder
                                     "15 00"                      // 2 x 2 + 17
                                     "41 00 62 00 00 00"          // "Ab", NUL
                                     "44 33 22 11 88 77 66 55"    // first cluster, parent
                                     "34 12 78 56"                // write date, access date
                                     "01 00 00"                   // deleted, the reserved field
                                     "01 00 00 00"                // one file
                                     "1b 00"                      // 2 x 1 + 25
                                     "63 00 00 00 00 00"          // "c", NUL, zero unit
                                     "0d 0c 0b 0a 44 33 22 11"    // first cluster, parent
                                     "45 23 56 34"                // dates
                                     "04 03 02 01 00 07 00 00 00" // size, deleted, entry ID
                                     "03 00 02 00")));            // device index, source kind
}

TEST_F(SnapshotFormat, NtfsQuickRecords)
{
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.fsCode = kFsNtfs;
    AddNtfsEntryNode(u"D", 6, 5, 0x0102030405060708, 0x1112131415161718, 77, 1)->reserved = 0xABCD;
    AddNtfsScanNode(0x00C0FFEE, u"e", 0x42, 6, 0x2122232425262728, 0x3132333435363738, 0x0000000100000002, 0);
    const std::string body = WriteAndRead(false).substr(80);
    EXPECT_EQ(HexOf(body), HexOf(Hex("01 00 00 00"
                                     "21 00"                   // 2 x 1 + 31
                                     "44 00 00 00 00 00"       // "D", NUL, zero unit
                                     "06 00 00 00 05 00 00 00" // folder number, parent
                                     "08 07 06 05 04 03 02 01" // creation
                                     "18 17 16 15 14 13 12 11" // change
                                     "01 cd ab"                // deleted, the node's last field
                                     "01 00 00 00"
                                     "2b 00"                      // 2 x 1 + 41
                                     "ee ff c0 00"                // data-record sector
                                     "65 00 00 00 00 00"          // "e"
                                     "42 00 00 00 06 00 00 00"    // record number, parent
                                     "28 27 26 25 24 23 22 21"    // creation
                                     "38 37 36 35 34 33 32 31"    // change
                                     "00 02 00 00 00 01 00 00 00" // deleted, size
                                     "00 00 03 00")));            // device 0, no source selected
}

// Only the file records within the volume are kept, with zeros before the parent.
TEST_F(SnapshotFormat, NtfsExtensiveRecords)
{
    ScanSelection.scanKind = kScanExtensive;
    VolumeParams.fsCode = kFsNtfs;
    VolumeParams.clusterBase = 1000;
    VolumeParams.endSector = 2000;
    AddNtfsEntryNode(u"D", 6, 5, 1, 2, 0, 0);
    AddNtfsFileNode(u"at-start", 1000, 5, 0, 0, 0, 0);
    AddNtfsFileNode(u"f", 1500, 6, 0x0102030405060708, 0x1112131415161718, 0x99, 1)->reserved = 0x77777777;
    AddNtfsFileNode(u"past-end", 2001, 5, 0, 0, 0, 0);
    const std::string body = WriteAndRead(false).substr(80);
    EXPECT_EQ(HexOf(body.substr(4 + 35)), HexOf(Hex("01 00 00 00"
                                                    "2b 00 dc 05 00 00"       // length, record sector 1500
                                                    "66 00 00 00 00 00"       // "f"
                                                    "00 00 00 00 06 00 00 00" // zeros, parent
                                                    "08 07 06 05 04 03 02 01 18 17 16 15 14 13 12 11"
                                                    "01 99 00 00 00 00 00 00 00" // deleted, size
                                                    "00 00 03 00")));
    EXPECT_EQ(WriteAndRead(false).substr(0, 2), "A\0"s);
}

TEST_F(SnapshotFormat, FileTraceRecords)
{
    ScanSelection.scanKind = kScanFileTrace;
    AddFileSignatureRec(u".jpg", u"JPEG", 3, "ffd8ff", 9);
    AddTraceFoundRec(u"1.jpg", u".jpg", u"JPEG", 1, 0x12345678);
    const std::string bytes = WriteAndRead(true);
    EXPECT_EQ(bytes.substr(0, 2), "R\0"s);
    EXPECT_EQ(HexOf(bytes.substr(80)),
              HexOf(Hex("01 00 00 00"
                        "19 00 2e 00 6a 00 70 00 67 00 00 00" // 2 x 4 + 17, ".jpg", NUL
                        "19 00 4a 00 50 00 45 00 47 00 00 00" // "JPEG"
                        "1d 00 66 66 64 38 66 66 00"          // 2 x 7 + 15, ANSI, NUL
                        "00 00 00 00 00 00 00"                // n + 1 zero bytes
                        "03 00 00 00 09 00 00 00"             // length, number
                        "01 00 00 00"
                        "21 00 2e 00 6a 00 70 00 67 00 00 00 00 00"       // 2 x 4 + 25
                        "23 00 31 00 2e 00 6a 00 70 00 67 00 00 00 00 00" // "1.jpg"
                        "21 00 4a 00 50 00 45 00 47 00 00 00 00 00"       // "JPEG"
                        "01 00 00 00 78 56 34 12"                         // ID, sector
                        "00 00 03 00")));                                 // device 0, none selected
}

// The golden documents read back into the records they were written from.
TEST_F(SnapshotFormat, GoldenDocumentsReadBack)
{
    ScanSelection.scanKind = kScanExtensive;
    VolumeParams.fsCode = kFsNtfs;
    VolumeParams.clusterBase = 1000;
    VolumeParams.endSector = 2000;
    AddNtfsEntryNode(u"D", 6, 5, 1, 2, 0, 0);
    AddNtfsFileNode(u"f", 1500, 6, 3, 4, 0x99, 1);
    const std::vector<std::string> written = DumpSnapshotState();
    const std::u16string path = EngineText(scratch.Target() / "extensive.vqdx");
    ASSERT_TRUE(WriteScanSnapshotFile(path.c_str()));
    ResetEngineState();
    recorder.Attach();
    ASSERT_TRUE(ReadScanSnapshot(path.c_str()));
    EXPECT_EQ(DumpSnapshotState(), written);
    ASSERT_NE(ntfsFileNodes.head, nullptr);
    EXPECT_EQ(ntfsFileNodes.head->recordSector, 1500u);
    EXPECT_EQ(ntfsFileNodes.head->parentNumber, 6u);
    EXPECT_EQ(ntfsScanNodes.head, nullptr);
    // A path given with quotes, as a command line gives it.
    const std::u16string quoted = u"\"" + path + u"\"";
    EXPECT_TRUE(ReadScanSnapshot(quoted.c_str()));
}

TEST_F(SnapshotFormat, NamesColumnsAndExtension)
{
    std::tm time{};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 2;
    time.tm_mday = 5;
    time.tm_hour = 7;
    time.tm_min = 8;
    time.tm_sec = 9;
    EXPECT_EQ(Utf8(SnapshotDefaultName(kScanQuick, time, u"Quick Scan")), "03-05-2024_07.08.09_Quick Scan");
    EXPECT_EQ(Utf8(SnapshotDefaultName(kScanExtensive, time, u"x")), "03-05-2024_07.08.09_x");
    EXPECT_EQ(Utf8(SnapshotDefaultName(kScanFileTrace, time, u"x")), "05-03-2024_07.08.09_x");

    EXPECT_EQ(Utf8(WithSnapshotExtension(u"scan1")), "scan1.vqdx");
    EXPECT_EQ(Utf8(WithSnapshotExtension(u"scan1.vqdx")), "scan1.vqdx");
    EXPECT_EQ(Utf8(WithSnapshotExtension(u"SCAN1.VQDX")), "SCAN1.VQDX");
    EXPECT_EQ(Utf8(WithSnapshotExtension(u"vqdx")), "vqdx.vqdx");

    const auto trace = SnapshotResultColumns(kScanFileTrace);
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(Utf8(trace[2].title), "ID");
    EXPECT_EQ(trace[0].width, 200);
    const auto scan = SnapshotResultColumns(kScanQuick);
    ASSERT_EQ(scan.size(), 6u);
    EXPECT_EQ(Utf8(scan[4].title), "Modification Time (GMT)");
    EXPECT_EQ(scan[4].width, 150);
}

} // namespace
