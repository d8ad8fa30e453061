// Crafted headers: each field the readers rely on set to zero, to its maximum and past the end of the
// file, on copies of small real images. Each is refused with its reason or opens and reads without a
// crash, a hang or a large allocation (the host build caps allocations for this test).
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "engine/image/byte_order.h"
#include "engine_probe/probe_disk.h"
#include "image_test_support.h"

using namespace image_test;

namespace {

struct Patch
{
    uint64_t offset;
    std::vector<uint8_t> bytes;
};

// Where the structures of one fixture image lie, read from the image itself.
struct Layout
{
    uint64_t fileSize = 0;
    std::map<std::string, uint64_t> at;
};

// What the first MiB of an image that opens reads as.
enum class Start
{
    Data,
    // A table or block that says "no data here".
    Zeros,
    // A table or block that the image places past the end of its file: what it held is lost, and the
    // read fails rather than pass zeros off as the disk's bytes.
    Unreadable,
    // A table taken from bytes that are no table: its entries point anywhere, in the file or past it, so
    // reads may fail; they must only not crash.
    Any,
};

struct Case
{
    const char* name;
    std::function<std::vector<Patch>(const Layout&)> patches;
    ImageOpenError expected; // None: it opens and reads
    Start start = Start::Data;
};

Layout VmdkLayout(const std::string& image)
{
    const std::string path = FixturePath(image);
    const auto header = ReadFileRange(path, 0, 512);
    Layout layout;
    layout.fileSize = FileSize(path);
    layout.at["directory"] = ReadLittleEndian64(header.data() + 48) * 512;
    const auto directory = ReadFileRange(path, layout.at["directory"], 4);
    layout.at["table"] = ReadLittleEndian32(directory.data()) * 512ull;
    return layout;
}

Layout VhdLayout(const std::string& image)
{
    const std::string path = FixturePath(image);
    Layout layout;
    layout.fileSize = FileSize(path);
    layout.at["footer"] = layout.fileSize - 512;
    layout.at["dynamic"] = 512;
    const auto dynamicHeader = ReadFileRange(path, 512, 1024);
    if (dynamicHeader.size() == 1024)
        layout.at["table"] = ReadBigEndian64(dynamicHeader.data() + 16);
    return layout;
}

Layout VhdxLayout(const std::string& image)
{
    const std::string path = FixturePath(image);
    Layout layout;
    layout.fileSize = FileSize(path);
    const auto regions = ReadFileRange(path, 196608, 65536);
    for (uint32_t index = 0; index < ReadLittleEndian32(regions.data() + 8); ++index) {
        const uint8_t* entry = regions.data() + 16 + 32 * index;
        const std::string name = ReadLittleEndian32(entry) == 0x2DC27766 ? "bat" : "metadata";
        layout.at[name + " entry"] = 196608 + 16 + 32 * index;
        layout.at[name] = ReadLittleEndian64(entry + 16);
    }
    const auto table = ReadFileRange(path, layout.at["metadata"], 65536);
    const std::map<uint32_t, std::string> items = {
        {0xCAA16737, "file parameters"}, {0x2FA54224, "disk size"}, {0x8141BF1D, "logical sector size"}};
    for (uint32_t index = 0; index < ReadLittleEndian16(table.data() + 10); ++index) {
        const uint8_t* entry = table.data() + 32 + 32 * index;
        const auto found = items.find(ReadLittleEndian32(entry));
        if (found == items.end())
            continue;
        layout.at[found->second + " entry"] = layout.at["metadata"] + 32 + 32 * index;
        layout.at[found->second] = layout.at["metadata"] + ReadLittleEndian32(entry + 16);
    }
    return layout;
}

// Applies each case to a fresh copy of the image and checks the outcome.
void RunCases(const std::string& image, const Layout& layout, const std::vector<Case>& cases,
              bool vhdxChecksums)
{
    const std::string extension = image.substr(image.find('.'));
    for (const Case& c : cases) {
        SCOPED_TRACE(image + ": " + c.name);
        const std::string path = ScratchCopy(image, "crafted" + extension);
        for (const Patch& patch : c.patches(layout))
            PatchFile(path, patch.offset, patch.bytes);
        if (vhdxChecksums)
            FixVhdxChecksums(path);
        ProbeDisk disk;
        const bool opened = disk.Open(ToUtf16(path));
        if (c.expected != ImageOpenError::None) {
            EXPECT_FALSE(opened);
            EXPECT_EQ(disk.GetRefusal(), ImageOpenErrorText(c.expected));
            continue;
        }
        ASSERT_TRUE(opened) << disk.GetRefusal();
        std::vector<uint8_t> bytes(1 << 20, 0xAA);
        const uint64_t size = disk.GetSize();
        const bool startRead = disk.ReadAt(0, bytes.data(), static_cast<uint32_t>(bytes.size()));
        const bool startStoppedAtFileEnd = disk.StoppedAtFileEnd();
        const bool startZeros = std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
        const bool endRead = disk.ReadAt(size - std::min<uint64_t>(size, 65536), bytes.data(), 65536);
        const bool middleRead = disk.ReadAt(size / 2, bytes.data(), 65536);
        if (c.start == Start::Any)
            continue;
        EXPECT_EQ(startRead, c.start != Start::Unreadable);
        EXPECT_EQ(startStoppedAtFileEnd, c.start == Start::Unreadable);
        if (c.start == Start::Zeros)
            EXPECT_TRUE(startZeros);
        if (c.start != Start::Unreadable) {
            EXPECT_TRUE(endRead);
            EXPECT_TRUE(middleRead);
        }
    }
}

std::vector<Patch> At(uint64_t offset, std::vector<uint8_t> bytes)
{
    return {{offset, std::move(bytes)}};
}

const std::vector<uint8_t> kMax32 = LittleEndian(UINT32_MAX, 4);
const std::vector<uint8_t> kMax64 = LittleEndian(UINT64_MAX, 8);

} // namespace

TEST(HostileHeaders, Vmdk)
{
    const Layout layout = VmdkLayout("small.vmdk");
    const auto le64 = [](uint64_t value) { return LittleEndian(value, 8); };
    const auto le32 = [](uint64_t value) { return LittleEndian(value, 4); };
    const std::vector<Case> cases = {
        {"magic",
         [](const Layout&) {
             return At(0, {'K', 'D', 'M', 'X'});
         },
         ImageOpenError::VmdkBadMagic},
        {"capacity 0", [&](const Layout&) { return At(12, le64(0)); }, ImageOpenError::VmdkZeroCapacity},
        {"capacity max", [&](const Layout&) { return At(12, kMax64); },
         ImageOpenError::VmdkDirectoryTooLarge},
        {"capacity at the directory limit", [&](const Layout&) { return At(12, le64(1ull << 30)); },
         ImageOpenError::None, Start::Any},
        {"grain size 0", [&](const Layout&) { return At(20, le64(0)); }, ImageOpenError::VmdkBadGrainSize},
        {"grain size 7", [&](const Layout&) { return At(20, le64(7)); }, ImageOpenError::VmdkBadGrainSize},
        {"grain size 2 GiB", [&](const Layout&) { return At(20, le64(1u << 22)); },
         ImageOpenError::VmdkBadGrainSize},
        {"grain size max", [&](const Layout&) { return At(20, kMax64); }, ImageOpenError::VmdkBadGrainSize},
        {"grain size 8 sectors", [&](const Layout&) { return At(20, le64(8)); }, ImageOpenError::None},
        {"table entries 0", [&](const Layout&) { return At(44, le32(0)); },
         ImageOpenError::VmdkBadGrainTableSize},
        {"table entries max", [&](const Layout&) { return At(44, kMax32); },
         ImageOpenError::VmdkBadGrainTableSize},
        {"both directories 0",
         [&](const Layout&) {
             return std::vector<Patch>{{48, le64(0)}, {56, le64(0)}};
         },
         ImageOpenError::VmdkDirectoryOutsideFile},
        {"directory max", [&](const Layout&) { return At(48, kMax64); },
         ImageOpenError::VmdkDirectoryOutsideFile},
        {"directory past the end", [&](const Layout& l) { return At(48, le64(l.fileSize / 512)); },
         ImageOpenError::VmdkDirectoryOutsideFile},
        {"no redundant directory: the primary one serves", [&](const Layout&) { return At(48, le64(0)); },
         ImageOpenError::None},
        {"descriptor offset max", [&](const Layout&) { return At(28, kMax64); }, ImageOpenError::None},
        {"descriptor size max", [&](const Layout&) { return At(36, kMax64); }, ImageOpenError::None},
        {"overhead 0", [&](const Layout&) { return At(64, le64(0)); }, ImageOpenError::None},
        {"compressed grains flag", [&](const Layout&) { return At(10, {0x01}); },
         ImageOpenError::VmdkStreamOptimized},
        {"compression algorithm",
         [&](const Layout&) {
             return At(77, {0x01, 0x00});
         },
         ImageOpenError::VmdkStreamOptimized},
        {"directory entry 0", [&](const Layout& l) { return At(l.at.at("directory"), le32(0)); },
         ImageOpenError::None, Start::Zeros},
        {"directory entry past the end", [&](const Layout& l) { return At(l.at.at("directory"), kMax32); },
         ImageOpenError::None, Start::Unreadable},
        {"grain entries past the end",
         [&](const Layout& l) {
             std::vector<uint8_t> entries;
             for (int grain = 0; grain < 16; ++grain)
                 entries.insert(entries.end(), kMax32.begin(), kMax32.end());
             return At(l.at.at("table"), entries);
         },
         ImageOpenError::None, Start::Unreadable},
    };
    RunCases("small.vmdk", layout, cases, false);
}

TEST(HostileHeaders, Vhd)
{
    const auto be64 = [](uint64_t value) { return BigEndian(value, 8); };
    const auto be32 = [](uint64_t value) { return BigEndian(value, 4); };
    const std::vector<Case> dynamicCases = {
        {"both footers lost",
         [](const Layout& l) {
             return std::vector<Patch>{{0, {0, 0, 0, 0}}, {l.at.at("footer"), {0, 0, 0, 0}}};
         },
         ImageOpenError::VhdNoFooter},
        {"disk type 0", [&](const Layout& l) { return At(l.at.at("footer") + 60, be32(0)); },
         ImageOpenError::VhdUnknownDiskType},
        {"differencing", [&](const Layout& l) { return At(l.at.at("footer") + 60, be32(4)); },
         ImageOpenError::VhdDifferencing},
        {"disk type max", [&](const Layout& l) { return At(l.at.at("footer") + 60, be32(UINT32_MAX)); },
         ImageOpenError::VhdUnknownDiskType},
        {"dynamic header at 0", [&](const Layout& l) { return At(l.at.at("footer") + 16, be64(0)); },
         ImageOpenError::VhdBadDynamicHeader},
        {"dynamic header max", [&](const Layout& l) { return At(l.at.at("footer") + 16, be64(UINT64_MAX)); },
         ImageOpenError::VhdBadDynamicHeader},
        {"dynamic header past the end",
         [&](const Layout& l) { return At(l.at.at("footer") + 16, be64(l.fileSize)); },
         ImageOpenError::VhdBadDynamicHeader},
        {"disk size 0", [&](const Layout& l) { return At(l.at.at("footer") + 48, be64(0)); },
         ImageOpenError::None},
        {"disk size max", [&](const Layout& l) { return At(l.at.at("footer") + 48, be64(UINT64_MAX)); },
         ImageOpenError::VhdTableTooSmall},
        {"disk size past the table",
         [&](const Layout& l) { return At(l.at.at("footer") + 48, be64(1ull << 40)); },
         ImageOpenError::VhdTableTooSmall},
        {"table at 0", [&](const Layout& l) { return At(l.at.at("dynamic") + 16, be64(0)); },
         ImageOpenError::None, Start::Any},
        {"table max", [&](const Layout& l) { return At(l.at.at("dynamic") + 16, be64(UINT64_MAX)); },
         ImageOpenError::VhdTableOutsideFile},
        {"table past the end", [&](const Layout& l) { return At(l.at.at("dynamic") + 16, be64(l.fileSize)); },
         ImageOpenError::VhdTableOutsideFile},
        {"table entries 0", [&](const Layout& l) { return At(l.at.at("dynamic") + 28, be32(0)); },
         ImageOpenError::VhdTableTooSmall},
        {"table entries max", [&](const Layout& l) { return At(l.at.at("dynamic") + 28, be32(UINT32_MAX)); },
         ImageOpenError::VhdTableOutsideFile},
        {"block size 0", [&](const Layout& l) { return At(l.at.at("dynamic") + 32, be32(0)); },
         ImageOpenError::VhdBadBlockSize},
        {"block size 256", [&](const Layout& l) { return At(l.at.at("dynamic") + 32, be32(256)); },
         ImageOpenError::VhdBadBlockSize},
        {"block size max", [&](const Layout& l) { return At(l.at.at("dynamic") + 32, be32(UINT32_MAX)); },
         ImageOpenError::VhdBadBlockSize},
        {"block size 2 GiB", [&](const Layout& l) { return At(l.at.at("dynamic") + 32, be32(1u << 31)); },
         ImageOpenError::None},
        {"first block past the end", [&](const Layout& l) { return At(l.at.at("table"), be32(0xFFFFFFFE)); },
         ImageOpenError::None, Start::Unreadable},
    };
    RunCases("small.vhd", VhdLayout("small.vhd"), dynamicCases, false);

    const std::vector<Case> fixedCases = {
        {"disk size 0", [&](const Layout& l) { return At(l.at.at("footer") + 48, be64(0)); },
         ImageOpenError::None},
        {"disk size max", [&](const Layout& l) { return At(l.at.at("footer") + 48, be64(UINT64_MAX)); },
         ImageOpenError::VhdFixedSizeBeyondFile},
        {"disk size 1 TiB", [&](const Layout& l) { return At(l.at.at("footer") + 48, be64(1ull << 40)); },
         ImageOpenError::VhdFixedSizeBeyondFile},
        {"disk size one sector past the data",
         [&](const Layout& l) { return At(l.at.at("footer") + 48, be64(l.fileSize - 512 + 512)); },
         ImageOpenError::VhdFixedSizeBeyondFile},
        {"disk size one sector short of the data",
         [&](const Layout& l) { return At(l.at.at("footer") + 48, be64(l.fileSize - 1024)); },
         ImageOpenError::None},
    };
    RunCases("small.fixed.vhd", VhdLayout("small.fixed.vhd"), fixedCases, false);
}

TEST(HostileHeaders, Vhdx)
{
    const auto le64 = [](uint64_t value) { return LittleEndian(value, 8); };
    const auto le32 = [](uint64_t value) { return LittleEndian(value, 4); };
    const auto le16 = [](uint64_t value) { return LittleEndian(value, 2); };
    const std::vector<Case> cases = {
        {"signature",
         [](const Layout&) {
             return At(0, {'v', 'h', 'd', 'y'});
         },
         ImageOpenError::VhdxBadSignature},
        {"log to replay",
         [](const Layout&) {
             return std::vector<Patch>{{65536 + 48, {1}}, {131072 + 48, {1}}};
         },
         ImageOpenError::VhdxLogToReplay},
        {"no header of version 1",
         [&](const Layout&) {
             return std::vector<Patch>{{65536 + 66, le16(0)}, {131072 + 66, le16(0)}};
         },
         ImageOpenError::VhdxNoValidHeader},
        {"region count 0", [&](const Layout&) { return At(196608 + 8, le32(0)); },
         ImageOpenError::VhdxMissingRegion},
        {"region count 2048", [&](const Layout&) { return At(196608 + 8, le32(2048)); },
         ImageOpenError::VhdxBadRegionTable},
        {"region count max", [&](const Layout&) { return At(196608 + 8, kMax32); },
         ImageOpenError::VhdxBadRegionTable},
        {"BAT region at 0", [&](const Layout& l) { return At(l.at.at("bat entry") + 16, le64(0)); },
         ImageOpenError::None, Start::Any},
        {"BAT region max", [&](const Layout& l) { return At(l.at.at("bat entry") + 16, kMax64); },
         ImageOpenError::VhdxRegionOutsideFile},
        {"BAT region past the end",
         [&](const Layout& l) { return At(l.at.at("bat entry") + 16, le64(l.fileSize)); },
         ImageOpenError::VhdxRegionOutsideFile},
        {"BAT region length 0", [&](const Layout& l) { return At(l.at.at("bat entry") + 24, le32(0)); },
         ImageOpenError::VhdxBatOutsideRegion},
        {"BAT region length max", [&](const Layout& l) { return At(l.at.at("bat entry") + 24, kMax32); },
         ImageOpenError::VhdxRegionOutsideFile},
        {"metadata region at 0", [&](const Layout& l) { return At(l.at.at("metadata entry") + 16, le64(0)); },
         ImageOpenError::VhdxBadMetadataTable},
        {"metadata region length 0",
         [&](const Layout& l) { return At(l.at.at("metadata entry") + 24, le32(0)); },
         ImageOpenError::VhdxBadMetadataTable},
        {"unknown required region",
         [&](const Layout& l) {
             return std::vector<Patch>{{l.at.at("bat entry"), {0x00}}, {l.at.at("bat entry") + 28, le32(1)}};
         },
         ImageOpenError::VhdxUnknownRequiredRegion},
        {"metadata region listed twice",
         [&](const Layout& l) {
             auto guid = ReadFileRange(FixturePath("small.1m.vhdx"), l.at.at("metadata entry"), 16);
             return At(l.at.at("bat entry"), guid);
         },
         ImageOpenError::VhdxDuplicateRegion},
        {"metadata signature", [&](const Layout& l) { return At(l.at.at("metadata"), {'M'}); },
         ImageOpenError::VhdxBadMetadataTable},
        {"metadata count 0", [&](const Layout& l) { return At(l.at.at("metadata") + 10, le16(0)); },
         ImageOpenError::VhdxMissingMetadataItem},
        {"metadata count max", [&](const Layout& l) { return At(l.at.at("metadata") + 10, le16(0xFFFF)); },
         ImageOpenError::VhdxBadMetadataTable},
        {"file parameters at offset 0",
         [&](const Layout& l) { return At(l.at.at("file parameters entry") + 16, le32(0)); },
         ImageOpenError::VhdxBadBlockSize},
        {"file parameters past the region",
         [&](const Layout& l) { return At(l.at.at("file parameters entry") + 16, kMax32); },
         ImageOpenError::VhdxMetadataItemOutsideRegion},
        {"block size 0", [&](const Layout& l) { return At(l.at.at("file parameters"), le32(0)); },
         ImageOpenError::VhdxBadBlockSize},
        {"block size 512 KiB", [&](const Layout& l) { return At(l.at.at("file parameters"), le32(1 << 19)); },
         ImageOpenError::VhdxBadBlockSize},
        {"block size max", [&](const Layout& l) { return At(l.at.at("file parameters"), kMax32); },
         ImageOpenError::VhdxBadBlockSize},
        {"block size 256 MiB", [&](const Layout& l) { return At(l.at.at("file parameters"), le32(1 << 28)); },
         ImageOpenError::None},
        {"has a parent", [&](const Layout& l) { return At(l.at.at("file parameters") + 4, le32(2)); },
         ImageOpenError::VhdxDifferencing},
        {"parent and fixed", [&](const Layout& l) { return At(l.at.at("file parameters") + 4, le32(3)); },
         ImageOpenError::VhdxDifferencing},
        {"disk size 0", [&](const Layout& l) { return At(l.at.at("disk size"), le64(0)); },
         ImageOpenError::VhdxBadDiskSize},
        {"disk size max", [&](const Layout& l) { return At(l.at.at("disk size"), kMax64); },
         ImageOpenError::VhdxBadDiskSize},
        {"disk size not whole sectors",
         [&](const Layout& l) { return At(l.at.at("disk size"), le64(3000000)); },
         ImageOpenError::VhdxBadDiskSize},
        {"disk size beyond the BAT region",
         [&](const Layout& l) { return At(l.at.at("disk size"), le64(1ull << 40)); },
         ImageOpenError::VhdxBatOutsideRegion},
        {"logical sector size 0",
         [&](const Layout& l) { return At(l.at.at("logical sector size"), le32(0)); },
         ImageOpenError::VhdxBadLogicalSectorSize},
        {"logical sector size max",
         [&](const Layout& l) { return At(l.at.at("logical sector size"), kMax32); },
         ImageOpenError::VhdxBadLogicalSectorSize},
        {"logical sector size 4096",
         [&](const Layout& l) { return At(l.at.at("logical sector size"), le32(4096)); },
         ImageOpenError::None},
        {"first block past the end",
         [&](const Layout& l) { return At(l.at.at("bat"), le64(UINT64_MAX & ~1ull)); }, ImageOpenError::None,
         Start::Unreadable},
        {"first block partially present", [&](const Layout& l) { return At(l.at.at("bat"), {0x07}); },
         ImageOpenError::None, Start::Zeros},
    };
    RunCases("small.1m.vhdx", VhdxLayout("small.1m.vhdx"), cases, true);
}
