// ReadSectors against images made by qemu-img from one raw disk (make_sector_fixtures.sh); the raw
// file's bytes are the oracle.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "support/test_paths.h"

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kGiB = 1024 * kMiB;
constexpr std::uint64_t kDiskBytes = 5 * kGiB + kMiB;
constexpr std::uint64_t kDiskSectors = kDiskBytes / 512;
constexpr std::uint8_t kStale = 0xCC;

std::string FixturePath(const std::string& name)
{
    return test_support::RunningPlatformPath(std::string(RECOVERY_FIXTURES_DIR) + "/" + name);
}

std::u16string Utf16(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::vector<std::uint8_t> RawSectors(std::uint64_t sector, std::uint32_t count)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * 512);
    std::ifstream raw(FixturePath("disk.raw"), std::ios::binary);
    raw.seekg(static_cast<std::streamoff>(sector * 512));
    raw.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(raw.good()) << "oracle read at sector " << sector;
    return bytes;
}

// Reads through ReadSectors into a buffer that starts out stale.
std::vector<std::uint8_t> EngineSectors(std::uint64_t sector, std::uint32_t count, int& result)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * 512, kStale);
    result = ReadSectors(0, static_cast<std::uint32_t>(sector), static_cast<std::uint32_t>(sector >> 32),
                         count, bytes.data());
    return bytes;
}

bool AllZero(const std::uint8_t* bytes, std::size_t size)
{
    return std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; });
}

struct Read
{
    const char* name;
    std::uint64_t sector;
    std::uint32_t count;
};

// Places where the raw disk holds data, and their edges.
const Read kFixedReads[] = {
    {"sector 0", 0, 1},
    {"128 sectors from sector 64 cross the end of the first 64 KiB grain", 64, 128},
    {"a piece of a data run", 1000, 37},
    {"the end of the first MiB into the empty space", 2040, 16},
    {"across 4 GiB", 4 * kGiB / 512 - 64, 128},
    {"just past 4 GiB", 4 * kGiB / 512 + 5, 3},
    {"a lone sector inside an empty grain, with its grain", 2 * kGiB / 512 + 12345 - 70, 200},
    {"an empty region", 1 * kGiB / 512, 64},
    {"data after 3 GiB", (3 * kGiB + 7 * kMiB) / 512 + 5, 100},
    {"the last sectors of the disk", kDiskSectors - 300, 300},
};

// A random sector range, drawn near the data half of the time.
Read RandomRead(std::mt19937_64& random)
{
    static const std::uint64_t dataPlaces[] = {0, 4 * kGiB / 512 - 384, 2 * kGiB / 512 + 12345,
                                               (3 * kGiB + 7 * kMiB) / 512, 5 * kGiB / 512};
    const std::uint32_t count = 1 + static_cast<std::uint32_t>(random() % 256);
    std::uint64_t sector;
    if (random() % 2)
        sector = dataPlaces[random() % 5] + random() % 2048;
    else
        sector = random() % kDiskSectors;
    sector = std::min(sector, kDiskSectors - count);
    return {"random", sector, count};
}

class SectorSource : public testing::Test
{
public:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    // Opens one image with its reader and selects it as ReadSectors' source.
    bool Select(const std::string& file, std::uint32_t imageKind)
    {
        const std::u16string path = Utf16(FixturePath(file));
        ScanSelection.imageKind = imageKind;
        SourceState.sourceKind = kSourceImage;
        if (imageKind == kImageVmdk) {
            if (!extent.Open(path))
                return false;
            SourceState.vmdkExtent = &extent;
        } else {
            source.Create(imageKind == kImageVhd ? CImageSource::kKindVhd : CImageSource::kKindVhdx);
            if (!source.Open(path))
                return false;
            SourceState.imageSource = &source;
        }
        return true;
    }

    void ExpectSameAsRaw(const Read& read)
    {
        int result = 0;
        const auto got = EngineSectors(read.sector, read.count, result);
        EXPECT_EQ(result, 1) << read.name << " at " << read.sector;
        EXPECT_TRUE(got == RawSectors(read.sector, read.count))
            << read.name << " at sector " << read.sector << ", " << read.count << " sectors";
    }

    CVmdkSparseExtent extent;
    CImageSource source;
};

struct ImageCase
{
    const char* file;
    std::uint32_t imageKind;
};

const ImageCase kImages[] = {
    {"disk.vmdk", kImageVmdk},
    {"dynamic.vhd", kImageVhd},
    {"fixed.vhd", kImageVhd},
    {"disk.vhdx", kImageVhdx},
};

TEST_F(SectorSource, EveryImageKindGivesTheRawDisksSectors)
{
    for (const ImageCase& image : kImages) {
        SCOPED_TRACE(image.file);
        ResetEngineState();
        ASSERT_TRUE(Select(image.file, image.imageKind));
        for (const Read& read : kFixedReads)
            ExpectSameAsRaw(read);
        std::mt19937_64 random(4096);
        for (int i = 0; i < 150; ++i)
            ExpectSameAsRaw(RandomRead(random));
        EXPECT_EQ(ScanSelection.imageKind, image.imageKind) << "ReadSectors never changes the image kind";
    }
}

TEST_F(SectorSource, AFailedPhysicalDriveDoesNotStopImageReads)
{
    ASSERT_TRUE(Select("disk.vmdk", kImageVmdk));
    SourceState.deviceIndex = 9;
    EXPECT_EQ(OpenPhysicalDrive(), kInvalidHandle);
    EXPECT_EQ(SourceState.driveHandle, kInvalidHandle);
    ExpectSameAsRaw({"after a failed drive open", 64, 128});
}

// A drive handle (here another file whose sectors differ from the disk's) is never what a scan reads:
// every kind but a logical drive reads the disk image, opened or failed drive alike.
TEST_F(SectorSource, EveryKindButALogicalDriveReadsTheImageNeverTheDriveHandle)
{
    const std::uint16_t kinds[] = {0, kSourceImageDevice, kSourceNone};
    for (const std::uint16_t kind : kinds) {
        for (const bool driveOpen : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << "kind " << kind << (driveOpen ? ", drive open" : ", drive failed"));
            ResetEngineState();
            ASSERT_TRUE(Select("disk.vmdk", kImageVmdk));
            SourceState.sourceKind = kind;
            SourceState.driveHandle =
                driveOpen
                    ? PlatformOpenForRead(Utf16(FixturePath("dynamic.vhd")).c_str(), ReadShare::ReadOnly)
                    : kInvalidHandle;
            ASSERT_EQ(IsUsableHandle(SourceState.driveHandle), driveOpen);
            for (const Read& read : kFixedReads)
                ExpectSameAsRaw(read);
        }
    }
}

TEST_F(SectorSource, ReadsThatCannotBeServedFailWithZeros)
{
    struct Case
    {
        const char* name;
        void (*prepare)(SectorSource&);
        std::uint64_t sector;
    };
    const Case cases[] = {
        {"no reader attached", [](SectorSource&) { ScanSelection.imageKind = kImageVmdk; }, 0},
        {"a VMDK reader that is not open",
         [](SectorSource& self) {
             ScanSelection.imageKind = kImageVmdk;
             SourceState.vmdkExtent = &self.extent;
         },
         0},
        {"a VHD kind with only the VMDK reader open",
         [](SectorSource& self) {
             ASSERT_TRUE(self.Select("disk.vmdk", kImageVmdk));
             ScanSelection.imageKind = kImageVhd;
         },
         0},
        {"an unknown image kind",
         [](SectorSource& self) {
             ASSERT_TRUE(self.Select("disk.vmdk", kImageVmdk));
             ScanSelection.imageKind = 7;
         },
         0},
        {"a logical volume that is not open",
         [](SectorSource&) { SourceState.sourceKind = kSourceLogicalVolume; }, 0},
        {"a sector whose byte offset needs more than 64 bits",
         [](SectorSource& self) { ASSERT_TRUE(self.Select("disk.vmdk", kImageVmdk)); },
         0xFFFFFFFF00000000ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        c.prepare(*this);
        int result = -1;
        const auto got = EngineSectors(c.sector, 8, result);
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(AllZero(got.data(), got.size()));
    }
}

TEST_F(SectorSource, SeekAndReadStayTogetherAcrossThreads)
{
    for (const ImageCase& image : {kImages[0], kImages[3]}) {
        SCOPED_TRACE(image.file);
        ResetEngineState();
        ASSERT_TRUE(Select(image.file, image.imageKind));
        // Each thread reads places whose bytes differ from the other's, so an interleaved seek shows.
        std::atomic<int> mismatches{0};
        auto reader = [&](std::uint64_t firstSector, std::uint32_t seed) {
            std::mt19937_64 random(seed);
            for (int i = 0; i < 200; ++i) {
                const std::uint64_t sector = firstSector + random() % 1500;
                const std::uint32_t count = 1 + static_cast<std::uint32_t>(random() % 64);
                int result = 0;
                if (EngineSectors(sector, count, result) != RawSectors(sector, count) || result != 1)
                    ++mismatches;
            }
        };
        std::thread low(reader, 0, 1);
        std::thread high(reader, 4 * kGiB / 512 - 384, 2);
        low.join();
        high.join();
        EXPECT_EQ(mismatches, 0);
    }
}

class VolumeSource : public SectorSource
{
protected:
    void SetUp() override
    {
        SectorSource::SetUp();
        SourceState.sourceKind = kSourceLogicalVolume;
    }
};

// The volume is the raw disk file behind a handle given to the engine: the same reads as a volume
// opened by drive letter, without a drive.
TEST_F(VolumeSource, InjectedHandleReadsLikeTheRawDisk)
{
    SourceState.volumeHandle =
        PlatformOpenForRead(Utf16(FixturePath("disk.raw")).c_str(), ReadShare::ReadAndWrite);
    ASSERT_TRUE(IsUsableHandle(SourceState.volumeHandle));
    for (const Read& read : kFixedReads)
        ExpectSameAsRaw(read);
    std::mt19937_64 random(512);
    for (int i = 0; i < 100; ++i)
        ExpectSameAsRaw(RandomRead(random));

    std::vector<std::uint8_t> direct(4096, kStale);
    EXPECT_EQ(ReadVolumeSectors(static_cast<std::uint32_t>(4 * kGiB / 512), 0, 8, direct.data()), 1);
    EXPECT_TRUE(direct == RawSectors(4 * kGiB / 512, 8));
}

TEST_F(VolumeSource, AReadPastTheVolumeEndKeepsWhatCameAndZeroesTheRest)
{
    SourceState.volumeHandle =
        PlatformOpenForRead(Utf16(FixturePath("disk.raw")).c_str(), ReadShare::ReadAndWrite);
    ASSERT_TRUE(IsUsableHandle(SourceState.volumeHandle));
    int result = -1;
    const auto got = EngineSectors(kDiskSectors - 3, 8, result);
    EXPECT_EQ(result, 0);
    const auto raw = RawSectors(kDiskSectors - 3, 3);
    EXPECT_TRUE(std::equal(raw.begin(), raw.end(), got.begin()));
    EXPECT_TRUE(AllZero(got.data() + raw.size(), got.size() - raw.size()));
}

TEST_F(VolumeSource, SeekHandle64MovesBy64BitDistances)
{
    const PlatformHandle handle =
        PlatformOpenForRead(Utf16(FixturePath("disk.raw")).c_str(), ReadShare::ReadOnly);
    ASSERT_TRUE(IsUsableHandle(handle));
    struct Case
    {
        const char* name;
        std::int32_t low;
        std::uint32_t high;
        std::uint32_t method;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"5 GiB from the start", 0x40000000, 1, kSeekFromBegin, 5 * kGiB},
        {"a low half with its top bit set", static_cast<std::int32_t>(0x80000000u), 1, kSeekFromBegin,
         0x180000000ull},
        {"all-ones low half is a position, not an error", -1, 0, kSeekFromBegin, 0xFFFFFFFFull},
        {"back 512 from the end", -512, 0xFFFFFFFF, kSeekFromEnd, kDiskBytes - 512},
        {"forward from the current position", 512, 0, kSeekFromCurrent, kDiskBytes},
        {"before the start", -1, 0xFFFFFFFF, kSeekFromBegin, UINT64_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SeekHandle64(handle, c.low, c.high, c.method), c.expected);
    }
    EXPECT_EQ(SeekHandle64(kInvalidHandle, 0, 0, kSeekFromBegin), UINT64_MAX);
    PlatformCloseHandle(handle);
}

// The real thing: a drive letter whose device form ("\\.\X:") is the raw disk. Under Wine the CTest
// entry recovery_volume_letter_test points a drive of a private prefix at the raw file and names it in
// RECOVERY_VOLUME_LETTER; elsewhere there is no such drive and the test is skipped.
TEST_F(VolumeSource, DriveLetterOpensTheVolumeThroughItsDeviceName)
{
    const char* letter = std::getenv("RECOVERY_VOLUME_LETTER");
    if (!letter || !letter[0])
        GTEST_SKIP() << "no drive letter points at the raw disk";
    const char16_t entry[] = {static_cast<char16_t>(letter[0]), u':', u'\\', 0};
    const PlatformHandle volume = OpenLogicalVolume(entry);
    ASSERT_TRUE(IsUsableHandle(volume)) << "\\\\.\\" << letter[0] << ": did not open";
    EXPECT_EQ(SourceState.volumeHandle, volume);
    for (const Read& read : kFixedReads)
        ExpectSameAsRaw(read);
    std::mt19937_64 random(26);
    for (int i = 0; i < 50; ++i)
        ExpectSameAsRaw(RandomRead(random));

    // Opening another letter replaces the handle; a letter that names nothing fails the reads.
    EXPECT_EQ(OpenLogicalVolume(u"Q:"), kInvalidHandle);
    int result = -1;
    const auto got = EngineSectors(0, 1, result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(AllZero(got.data(), got.size()));
}

TEST(SectorSourceHelpers, DeviceNamesArePhysicalDrivesFromZero)
{
    EXPECT_STREQ(DeviceNameTable[0], "\\\\.\\PhysicalDrive0");
    EXPECT_STREQ(DeviceNameTable[9], "\\\\.\\PhysicalDrive9");
}

} // namespace
