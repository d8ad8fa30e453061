// File Trace on real disks: files planted by dd at known sectors (a raw disk read as a volume and its
// VMDK), a disk whose range ends at sector 2^32 - 1 with a document running on past it (raw and VHDX;
// the VMDK reader takes disks of up to 512 GiB), and the forensics-samples disks, whose originals' first
// sectors Sleuth Kit's istat gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/trace/file_trace_scan.h"
#include "engine/recovery/trace/office_naming.h"
#include "file_trace_test_support.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"
#include "ui_recorder.h"

namespace {

constexpr char kCompound[] = "d0cf11e0a1b11ae1";

class FileTraceDisks : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        ui.Attach();
    }
    void TearDown() override { ResetEngineState(); }

    PrivateTempFolder tempFolder;

    UiRecorder ui;
};

void ChoosePlantedTypes()
{
    AddSignature(u".jpg", u"JPEG Image", 3, "ffd8ff");
    AddSignature(u".png", u"PNG Image", 8, "89504e470d0a1a0a");
    AddSignature(u".pdf", u"PDF Document", 5, "255044462d");
    AddSignature(u".zip", u"ZIP Archive", 4, "504b0304");
    AddSignature(u".doc", u"Office Document", 8, kCompound);
    AddSignature(u".xls", u"Excel Workbook", 8, kCompound);
    AddSignature(u".ppt", u"PowerPoint Presentation", 8, kCompound);
    AddSignature(u".pub", u"Publisher Document", 8, kCompound);
}

TEST_F(FileTraceDisks, PlantedFilesAreFoundAtTheirSectorsInOrder)
{
    std::vector<FoundItem> expected;
    for (const auto& row : test_support::ReadTsv(TraceFixturePath("planted.tsv"))) {
        const auto number = static_cast<std::uint32_t>(expected.size() + 1);
        const std::string extension = row.at(1);
        // Every compound document matches the first of the four compound signatures.
        const std::map<std::string, std::string> types = {
            {".jpg", "JPEG Image"}, {".png", "PNG Image"}, {".pdf", "PDF Document"}, {".zip", "ZIP Archive"}};
        const auto type = types.find(extension);
        expected.push_back({std::to_string(number) + extension, extension,
                            type == types.end() ? "Office Document" : type->second,
                            static_cast<std::uint32_t>(std::stoul(row.at(0))), number});
    }
    ASSERT_EQ(expected.size(), 12u);
    for (const char* image : {"planted.raw", "planted.vmdk"}) {
        SCOPED_TRACE(image);
        ResetEngineState();
        ui.Attach();
        TraceSource source;
        ASSERT_TRUE(source.Open(TraceFixturePath(image)));
        ChoosePlantedTypes();
        SetTraceRange(0, (16 << 20) / 512 - 1);
        FileTraceSearch();
        EXPECT_EQ(FoundItems(), expected);
        EXPECT_FALSE(OfficeTempFileExists());
    }
}

// The range ends at sector 0xFFFFFFFF, where an Excel workbook begins whose FAT lies past 2^32: the
// search ends there, the naming reads on past 2^32 rather than from sector 0, and the files behind the
// range are not found.
TEST_F(FileTraceDisks, ARangeEndingAtTheLastThirtyTwoBitSector)
{
    constexpr std::uint64_t kTop = std::uint64_t{1} << 32;
    for (const char* image : {"near-4g.raw", "near-4g.vhdx"}) {
        SCOPED_TRACE(image);
        ResetEngineState();
        ui.Attach();
        TraceSource source;
        ASSERT_TRUE(source.Open(TraceFixturePath(image)));
        ChoosePlantedTypes();
        SetTraceRange(kTop - 300, kTop - 1);
        FileTraceSearch();
        EXPECT_EQ(FoundItems(),
                  (std::vector<FoundItem>{{"1.jpg", ".jpg", "JPEG Image", 0xFFFFFFFF - 289, 1},
                                          {"2.xls", ".xls", "Office Document", 0xFFFFFFFF, 2}}));
        EXPECT_EQ(GetOfficeExtension(0xFFFFFFFF), u".xls");
        EXPECT_FALSE(OfficeTempFileExists());
    }
}

// ---- The forensics-samples disks ---------------------------------------------------------------------

std::string LowerExtension(const std::string& path)
{
    std::string extension = path.substr(path.rfind('.') + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// The types among the originals, and which type each original's extension should be found as.
void ChooseSampleTypes()
{
    AddSignature(u".jpg", u"JPEG", 3, "ffd8ff");
    AddSignature(u".png", u"PNG", 8, "89504e470d0a1a0a");
    AddSignature(u".pdf", u"PDF", 5, "255044462d");
    AddSignature(u".zip", u"ZIP", 4, "504b0304");
    AddSignature(u".ogg", u"OGG", 4, "4f676753");
    AddSignature(u".wav", u"RIFF", 4, "52494646");
    AddSignature(u".mp3", u"MP3", 3, "494433");
    AddSignature(u".xcf", u"XCF", 8, "67696d7020786366");
    AddSignature(u".ppm", u"PPM", 3, "50360a");
    AddSignature(u".mp4", u"MP4", 8, "0000001866747970");
    AddSignature(u".mp4", u"MP4", 8, "0000002066747970");
    AddSignature(u".mpg", u"MPEG", 4, "000001ba");
    AddSignature(u".sh", u"Script", 3, "23212f");
}

const std::map<std::string, std::string> kSampleTypes = {
    {"jpg", "JPEG"}, {"png", "PNG"},  {"pdf", "PDF"},   {"docx", "ZIP"}, {"odt", "ZIP"},
    {"ogg", "OGG"},  {"wav", "RIFF"}, {"avi", "RIFF"},  {"mp3", "MP3"},  {"xcf", "XCF"},
    {"ppm", "PPM"},  {"mp4", "MP4"},  {"mpeg", "MPEG"}, {"sh", "Script"}};

TEST_F(FileTraceDisks, ForensicsSamplesOriginalsAreFoundWhereTheirDataStarts)
{
    const std::vector<test_support::TsvRow> rows = test_support::ReadTsv(TraceFixturePath("samples.tsv"));
    ASSERT_GE(rows.size(), 60u) << "samples.tsv is made when the test disks exist";
    for (const char* disk : {"sample-ntfs", "sample-vfat"}) {
        SCOPED_TRACE(disk);
        ResetEngineState();
        ui.Attach();
        TraceSource source;
        ASSERT_TRUE(
            source.Open(test_support::JoinPath(test_support::TestDisksDir(), std::string(disk) + ".vmdk")));
        ChooseSampleTypes();
        std::uint32_t start = 0;
        std::uint32_t count = 0;
        for (const auto& row : rows) {
            if (row.at(0) == disk) {
                start = static_cast<std::uint32_t>(std::stoul(row.at(1)));
                count = static_cast<std::uint32_t>(std::stoul(row.at(2)));
            }
        }
        ASSERT_NE(count, 0u);
        SetTraceRange(start, std::uint64_t{start} + count - 1);
        FileTraceSearch();

        std::map<std::uint32_t, FoundItem> bySector;
        for (const FoundItem& item : FoundItems())
            bySector.emplace(item.sector, item);
        int originals = 0;
        int found = 0;
        int equal = 0;
        for (const auto& row : rows) {
            if (row.at(0) != disk)
                continue;
            const std::string& path = row.at(3);
            const std::uint64_t size = std::stoull(row.at(4));
            const bool deleted = row.at(5) == "1";
            const bool sameAsOriginal = row.at(6) == "1";
            const auto sector = static_cast<std::uint32_t>(std::stoul(row.at(7)));
            ++originals;
            const auto item = bySector.find(sector);
            // A deleted file whose clusters were reused (its recovered bytes are not the original's)
            // need not begin with its signature any more.
            if (!deleted || sameAsOriginal) {
                SCOPED_TRACE(path);
                ASSERT_NE(item, bySector.end()) << "not found at sector " << sector;
                EXPECT_EQ(item->second.typeName, kSampleTypes.at(LowerExtension(path)));
            }
            if (item == bySector.end())
                continue;
            ++found;
            // What a save of 1 MiB from the item's sector would hold, against the original file.
            const std::vector<std::uint8_t> original = ReadFileBytes(OriginalFilePath(path));
            const std::size_t compared = static_cast<std::size_t>(std::min<std::uint64_t>(size, 1 << 20));
            std::vector<std::uint8_t> data((compared + 511) / 512 * 512);
            ReadSectors(0, sector, 0, static_cast<std::uint32_t>(data.size() / 512), data.data());
            if (original.size() >= compared &&
                std::equal(original.begin(), original.begin() + compared, data.begin()))
                ++equal;
        }
        std::cout << disk << ": " << FoundItems().size() << " items; " << found << " of " << originals
                  << " originals found at their first sector; " << equal
                  << " of them equal their original for min(size, 1 MiB) bytes\n";
        RecordProperty(std::string(disk) + "_found", found);
        RecordProperty(std::string(disk) + "_equal", equal);
        EXPECT_FALSE(OfficeTempFileExists());
    }
}

} // namespace
