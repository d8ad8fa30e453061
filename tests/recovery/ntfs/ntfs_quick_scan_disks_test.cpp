// The Quick Scan of the NTFS test disks against Sleuth Kit: every NTFS partition, through every image of
// its disk, gives the folders and files that fls -r -p lists for the raw partition, system files under
// the root included. The partition whose $MFT lies in about twenty runs is also read with its map moved
// in part to an extension record.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_boot_params.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/ntfs/quick_ntfs_scan.h"
#include "engine/recovery/save/save_files.h"
#include "engine_probe/probe_scan_rows.h"
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
    std::uint32_t start;
    std::uint32_t sectors;
    std::string files;
};

std::vector<NtfsPartition> NtfsPartitions()
{
    std::vector<NtfsPartition> rows;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), "partitions.tsv"))) {
        if (row.size() >= 8 && row[4] == "ntfs")
            rows.push_back({row[0], row[1], static_cast<std::uint32_t>(std::stoul(row[2])),
                            static_cast<std::uint32_t>(std::stoul(row[3])), row[7]});
    }
    return rows;
}

// What the scan must list, from the oracle: a row per folder (its size is not compared: the scan keeps
// none) and per file; Sleuth Kit's $OrphanFiles and its own entries are left out. A file that fls names
// only through its streams ($Secure:$SDS, $Extend/$Quota:$Q) has no unnamed data: size 0. Keyed by
// path, with the MFT record number from fls's address.
struct Expected
{
    std::string row;
    std::uint32_t record;
};

std::map<std::string, Expected> ExpectedRows(const std::string& filesTsv)
{
    std::map<std::string, Expected> rows;
    std::map<std::string, Expected> streamBases;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), filesTsv))) {
        const std::string& kind = row[1];
        const std::string& deleted = row[2];
        const std::string& path = row[8];
        if (kind == "v" || path.rfind("$OrphanFiles", 0) == 0)
            continue;
        const auto record = static_cast<std::uint32_t>(std::stoul(row[0]));
        if (row[3] == "1") {
            const std::string base = path.substr(0, path.rfind(':'));
            streamBases.emplace(base, Expected{"F\t" + deleted + "\t0\t" + base, record});
            continue;
        }
        const std::string size = kind == "d" ? "0" : row[4];
        rows[path] = {(kind == "d" ? "D\t" : "F\t") + deleted + "\t" + size + "\t" + path, record};
    }
    for (const auto& [base, expected] : streamBases)
        rows.emplace(base, expected);
    return rows;
}

// Compares the scan's rows with the oracle, and checks that each file's entry ID is the sector of its
// own MFT record.
void ExpectRowsMatch(const std::map<std::string, Expected>& expected)
{
    const std::vector<ProbeScanRow> rows = CollectProbeScanRows();
    std::vector<std::string> got;
    for (const ProbeScanRow& row : rows) {
        got.push_back(std::string(1, row.kind) + "\t" + std::to_string(row.deleted) + "\t" +
                      std::to_string(row.size) + "\t" + row.path);
        const auto oracle = expected.find(row.path);
        if (row.kind != 'F' || oracle == expected.end())
            continue;
        std::uint8_t record[kMftRecordSize];
        ASSERT_TRUE(ReadSectors(0, row.id, 0, 2, record)) << row.path;
        EXPECT_EQ(ReadLittleEndian32(record, kRecordNumberField), oracle->second.record)
            << row.path << " at " << row.id;
    }
    std::vector<std::string> want;
    for (const auto& [path, row] : expected)
        want.push_back(row.row);
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
}

TEST(NtfsQuickScanDisks, EveryNtfsPartitionThroughEveryImageMatchesSleuthKit)
{
    ASSERT_TRUE(test_support::TestDisksAvailable()) << "run tools/make-test-disks first";
    const std::vector<NtfsPartition> partitions = NtfsPartitions();
    ASSERT_GE(partitions.size(), 6u);
    int scans = 0;
    for (const NtfsPartition& partition : partitions) {
        const auto expected = ExpectedRows(partition.files);
        for (const std::string& image : test_support::ImagesOfDisk(partition.disk)) {
            SCOPED_TRACE(image + " partition " + partition.part);
            ResetEngineState();
            AttachedImage attached;
            ASSERT_EQ(attached.Attach(JoinPath(TestDisksDir(), image)), "");
            const auto began = std::chrono::steady_clock::now();
            ASSERT_EQ(RunProbeQuickScan(partition.start, partition.sectors, kFsNtfs), 1);
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - began;
            std::printf("%s p%s: %.1f ms\n", image.c_str(), partition.part.c_str(), took.count());
            ExpectRowsMatch(expected);
            ++scans;
        }
    }
    ResetEngineState();
    EXPECT_GE(scans, 6);
}

// The MFT map of mbr-ext05 partition 3 (about twenty runs) split after its first runs: record 0 keeps
// them and gains an attribute list; record 16, an unused record, becomes the extension record that
// holds the rest.
TEST(NtfsQuickScanDisks, AnMftMapContinuedInAnExtensionRecordIsReadWhole)
{
    ASSERT_TRUE(test_support::TestDisksAvailable()) << "run tools/make-test-disks first";
    NtfsPartition partition;
    for (const NtfsPartition& candidate : NtfsPartitions()) {
        if (candidate.disk == "mbr-ext05" && candidate.part == "3")
            partition = candidate;
    }
    ASSERT_EQ(partition.disk, "mbr-ext05");
    ResetEngineState();
    TempVolume volume("mft-list");
    ASSERT_TRUE(
        volume.CopyFrom(JoinPath(TestDisksDir(), "mbr-ext05.raw"), partition.start, partition.sectors));
    ASSERT_TRUE(volume.Attach());
    ASSERT_TRUE(SetNtfsVolumeParams(0, partition.sectors));
    const std::uint32_t sectorsPerCluster = VolumeParams.sectorsPerCluster;
    const std::uint64_t mftOffset = VolumeParams.mftStart * 512ull;

    Bytes original = volume.Read(mftOffset, kMftRecordSize);
    ApplyFixup(original.data(), original.size());
    // The $MFT's runs, read here byte by byte rather than through the engine's decoder.
    std::vector<std::pair<std::int64_t, std::uint32_t>> runs; // cluster, length
    Bytes dataAttribute;
    NtfsAttributeWalk walk(original.data());
    NtfsAttribute attribute;
    std::vector<Bytes> otherAttributes;
    while (walk.Next(attribute)) {
        const Bytes bytes(original.begin() + attribute.offset,
                          original.begin() + attribute.offset + attribute.length);
        if (attribute.type != 0x80) {
            otherAttributes.push_back(bytes);
            continue;
        }
        dataAttribute = bytes;
        std::int64_t cluster = 0;
        for (std::size_t at = ReadLittleEndian16(bytes.data(), 32); bytes[at] != 0;) {
            const unsigned lengthWidth = bytes[at] & 15;
            const unsigned offsetWidth = bytes[at] >> 4;
            std::uint64_t length = 0;
            std::int64_t offset = 0;
            for (unsigned i = 0; i < lengthWidth; ++i)
                length |= static_cast<std::uint64_t>(bytes[at + 1 + i]) << (8 * i);
            for (unsigned i = 0; i < offsetWidth; ++i)
                offset |= static_cast<std::int64_t>(bytes[at + 1 + lengthWidth + i]) << (8 * i);
            if (offsetWidth > 0 && (bytes[at + lengthWidth + offsetWidth] & 0x80))
                offset -= std::int64_t{1} << (8 * offsetWidth);
            cluster += offset;
            runs.emplace_back(cluster, static_cast<std::uint32_t>(length));
            at += 1 + lengthWidth + offsetWidth;
        }
    }
    ASSERT_GE(runs.size(), 10u);
    const std::uint64_t dataSize = ReadLittleEndian64(dataAttribute.data(), 48);

    const std::size_t kept = 3;
    std::uint64_t keptClusters = 0;
    Bytes firstRuns;
    Bytes restRuns;
    std::int64_t previous = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (i == kept)
            previous = 0; // each piece's list starts from cluster 0
        const Bytes entry = RunEntry(runs[i].second, runs[i].first - previous, 4, 4);
        (i < kept ? firstRuns : restRuns)
            .insert((i < kept ? firstRuns : restRuns).end(), entry.begin(), entry.end());
        if (i < kept)
            keptClusters += runs[i].second;
        previous = runs[i].first;
    }
    // The list in the record, and the list in a cluster of its own (the volume's last but one: nothing
    // the scan reads lies there).
    for (const bool listOutside : {false, true}) {
        SCOPED_TRACE(listOutside ? "attribute list outside the record" : "attribute list in the record");
        RecordMaker base(1);
        base.bytes = original;
        base.next = 56;
        std::fill(base.bytes.begin() + 56, base.bytes.end(), 0);
        base.AddRaw(otherAttributes.at(0)); // $STANDARD_INFORMATION
        Bytes list;
        for (const Bytes& entry :
             {AttributeListEntry(0x10, 0), AttributeListEntry(0x30, 0), AttributeListEntry(0x80, 0, 0),
              AttributeListEntry(0x80, 16, keptClusters), AttributeListEntry(0xB0, 0)})
            list.insert(list.end(), entry.begin(), entry.end());
        if (listOutside) {
            const std::uint32_t listCluster = partition.sectors / sectorsPerCluster - 2;
            Bytes cluster(sectorsPerCluster * 512ull, 0);
            std::copy(list.begin(), list.end(), cluster.begin());
            volume.Write(listCluster * sectorsPerCluster * 512ull, cluster);
            Bytes runs = RunEntry(1, listCluster, 1, 4);
            runs.push_back(0);
            base.AddNonResident(0x20, runs, list.size());
        } else {
            base.AddResident(0x20, list);
        }
        for (std::size_t i = 1; i < otherAttributes.size(); ++i) {
            if (ReadLittleEndian32(otherAttributes[i].data(), 0) == 0xB0)
                continue;
            base.AddRaw(otherAttributes[i]); // $FILE_NAME
        }
        base.AddNonResident(0x80, firstRuns, dataSize);
        for (const Bytes& other : otherAttributes) {
            if (ReadLittleEndian32(other.data(), 0) == 0xB0)
                base.AddRaw(other); // $BITMAP
        }
        PutU16(base.bytes, 48, 0); // the record maker writes its own update sequence
        volume.Write(mftOffset, base.Finish());

        RecordMaker extension(1, 0x0001000000000000ull);
        extension.AddNonResident(0x80, restRuns, 0, keptClusters);
        const std::uint64_t record16 = (runs[0].first * sectorsPerCluster + 2 * 16) * 512ull;
        volume.Write(record16, extension.Finish());

        // A volume file stands in for an opened logical volume, which the Quick Scan's own entry would
        // open anew by its drive letter: the NTFS steps run directly.
        ResetEngineState();
        ASSERT_TRUE(volume.Attach());
        ASSERT_TRUE(SetNtfsVolumeParams(0, partition.sectors));
        ScanSelection.scanKind = kScanQuick;
        ASSERT_EQ(ReadNtfsPartitionParams(), 1);
        ASSERT_EQ(BuildQuickNtfsTree(), dataSize / kMftRecordSize);
        EXPECT_EQ(mftRunTables.runs.size(), runs.size());
        ExpectRowsMatch(ExpectedRows(partition.files));
    }
    ResetEngineState();
}

// A volume made beside the shared disks (make_ntfs_cluster_fixtures.sh), as the engine opens a path.
std::string ClusterFixture(const std::string& name)
{
    std::string folder = test_support::RunningPlatformPath(NTFS_CLUSTER_FIXTURES);
    return JoinPath(folder, name);
}

// The rows that fls -r -p -l lists: the kind after "/" in the first column ("-/r" for a deleted entry),
// "*" for deleted, the size in the seventh column; a metadata stream is a "$" name with a ":" in it.
std::map<std::string, Expected> FlsListingRows(const std::string& listing)
{
    std::map<std::string, Expected> expected;
    std::map<std::string, Expected> streamBases;
    for (const auto& row : ReadTsv(listing)) {
        EXPECT_GE(row.size(), 7u);
        if (row.size() < 7)
            return {};
        const std::string& type = row[0];
        const std::string& path = row[1];
        const char kind = type[2];
        const bool deleted = type.find(" * ") != std::string::npos;
        if (kind == 'V' || path.rfind("$OrphanFiles", 0) == 0)
            continue;
        const std::size_t name = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
        const std::string flag = deleted ? "1" : "0";
        const auto record = static_cast<std::uint32_t>(std::stoul(type.substr(type.rfind(' ') + 1)));
        if (path[name] == '$' && path.find(':', name) != std::string::npos) {
            const std::string base = path.substr(0, path.find(':', name));
            streamBases.emplace(base, Expected{"F\t" + flag + "\t0\t" + base, record});
            continue;
        }
        expected[path] = {
            (kind == 'd' ? "D\t" : "F\t") + flag + "\t" + (kind == 'd' ? "0" : row[6]) + "\t" + path, record};
    }
    for (const auto& [base, row] : streamBases)
        expected.emplace(base, row);
    return expected;
}

// Attaches a volume file at sector 0 and runs the NTFS Quick Scan steps on it directly (the Quick
// Scan's own entry would open a logical volume anew by its drive letter).
std::uint32_t QuickScanVolumeFile(const std::string& path, std::uint32_t sectors)
{
    EXPECT_TRUE(AttachVolumeFile(path));
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.scanFsCode = kFsNtfs;
    VolumeParams.fsCode = kFsNtfs;
    VolumeParams.rangeStart = 0;
    VolumeParams.rangeCount = sectors;
    VolumeParams.rangeEnd = sectors - 1;
    EXPECT_EQ(ReadNtfsPartitionParams(), 1);
    return BuildQuickNtfsTree();
}

// The shared disks hold no volume with 64 KiB clusters; this one is made beside them.
TEST(NtfsQuickScanDisks, AVolumeWith64KiBClustersMatchesSleuthKit)
{
    const std::map<std::string, Expected> expected = FlsListingRows(ClusterFixture("ntfs-64k.fls.txt"));
    ASSERT_GE(expected.size(), 25u);
    ResetEngineState();
    EXPECT_GT(QuickScanVolumeFile(ClusterFixture("ntfs-64k.raw"), 128 * 2048), 70u);
    EXPECT_EQ(VolumeParams.sectorsPerCluster, 128u);
    ExpectRowsMatch(expected);
    ResetEngineState();
}

// A folder of 10,000 files and a file in 600 fragments, made by libntfs-3g: their attributes, names
// included, lie in extension records that an attribute list outside the base record names. Every file
// of the folder is listed as fls lists it, and the fragmented file, whose data runs go on in another
// record, is saved as icat reads it.
TEST(NtfsQuickScanDisks, AttributeListsOutsideTheRecordAreRead)
{
    const std::map<std::string, Expected> expected = FlsListingRows(ClusterFixture("ntfs-attrlist.fls.txt"));
    ASSERT_GE(expected.size(), 10000u);
    ResetEngineState();
    UiRecorder recorder;
    recorder.Attach();
    EXPECT_GT(QuickScanVolumeFile(ClusterFixture("ntfs-attrlist.raw"), 64 * 2048), 10000u);
    ExpectRowsMatch(expected);

    const NtfsScanNode* fragmented = ntfsScanNodes.head;
    while (fragmented && std::u16string_view(fragmented->name) != u"Frag.bin")
        fragmented = fragmented->next;
    ASSERT_NE(fragmented, nullptr);
    const std::string icat = ReadFileBytes(FsPath(WidePath(ClusterFixture("ntfs-attrlist.Frag.icat"))));
    ASSERT_EQ(fragmented->dataSize, icat.size());
    ScratchFolder scratch;
    recorder.targetFolder = scratch.TargetText();
    recorder.markedEntryIds = {fragmented->dataRecordSector};
    const SaveOutcomeBlock outcome = SaveSelection();
    EXPECT_EQ(outcome.saved, 1u);
    EXPECT_EQ(outcome.failed, 0u);
    const std::string saved = ReadFileBytes(FsPath(scratch.TargetText() + u"\\Frag.bin"));
    EXPECT_EQ(saved.size(), icat.size());
    EXPECT_TRUE(saved == icat) << "MD5 " << Md5Hex(saved) << ", icat " << Md5Hex(icat);
    DetachVolumeFile();
    ResetEngineState();
}

} // namespace
