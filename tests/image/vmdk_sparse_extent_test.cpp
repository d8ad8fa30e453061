// The VMDK sparse extent reader: descriptor geometry, offset 0, grains far into the extent file, and
// the kinds it refuses. Whole-disk and random reads against the raw bytes are in image_reads_test.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "engine/image/vmdk_sparse_extent.h"
#include "image_test_support.h"
#include "support/oracle_files.h"

using namespace image_test;

TEST(VmdkSparseExtent, GeometryKeysStandAloneInAnyOrder)
{
    struct Case
    {
        const char* name;
        const char* descriptor;
        int32_t cylinders;
        int32_t heads;
        int32_t sectors;
    };
    const Case cases[] = {
        {"usual order with longContentID",
         "#DDB\nddb.geometry.cylinders = \"16383\"\nddb.geometry.heads = \"16\"\nddb.geometry.sectors = "
         "\"63\"\n"
         "ddb.longContentID = \"abc\"\n",
         16383, 16, 63},
        {"qemu-img writes no longContentID",
         "# The Disk Data Base\n#DDB\n\nddb.virtualHWVersion = \"4\"\nddb.geometry.cylinders = \"81\"\n"
         "ddb.geometry.heads = \"16\"\nddb.geometry.sectors = \"63\"\nddb.adapterType = \"ide\"\n",
         81, 16, 63},
        {"reverse order, CR LF line ends",
         "ddb.geometry.sectors = \"32\"\r\nddb.geometry.heads = \"255\"\r\nddb.geometry.cylinders = "
         "\"1044\"\r\n",
         1044, 255, 32},
        {"old Mac line ends, no quotes, tabs",
         "ddb.geometry.cylinders\t=\t20\rddb.geometry.heads=4\rddb.geometry.sectors = 17", 20, 4, 17},
        {"missing heads stays 0", "ddb.geometry.cylinders = \"100\"\nddb.geometry.sectors = \"63\"\n", 100, 0,
         63},
        {"first occurrence counts, look-alike keys do not",
         "ddb.geometry.headsX = \"9\"\nddb.geometry.heads = \"16\"\nddb.geometry.heads = \"99\"\n"
         "# ddb.geometry.sectors = \"5\"\n",
         0, 16, 0},
        {"no digits, too large, negative",
         "ddb.geometry.cylinders = \"abc\"\nddb.geometry.heads = \"99999999999\"\nddb.geometry.sectors = "
         "\"-3\"\n",
         0, 0, -3},
        {"empty", "", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t cylinders = -1, heads = -1, sectors = -1;
        CVmdkSparseExtent::ParseGeometry(c.descriptor, cylinders, heads, sectors);
        EXPECT_EQ(cylinders, c.cylinders);
        EXPECT_EQ(heads, c.heads);
        EXPECT_EQ(sectors, c.sectors);
    }
}

TEST(VmdkSparseExtent, GeometryIsTheOneTheQemuDescriptorStates)
{
    const auto rows = test_support::ReadTsv(FixturePath("main.geometry.tsv"));
    ASSERT_EQ(rows.size(), 2u);
    CVmdkSparseExtent vmdk;
    ASSERT_EQ(vmdk.Open(FixturePath16("main.vmdk")), 1) << vmdk.GetOpenErrorText();
    EXPECT_EQ(vmdk.cylinders, std::stoi(rows[1][0]));
    EXPECT_EQ(vmdk.heads, std::stoi(rows[1][1]));
    EXPECT_EQ(vmdk.sectors, std::stoi(rows[1][2]));
    EXPECT_NE(vmdk.sectors, 0);
    EXPECT_EQ(vmdk.GetDiskSize(), QemuVirtualSize("main.vmdk"));
}

TEST(VmdkSparseExtent, OffsetZeroGoesThroughTheGrainTables)
{
    // The first 2 MiB of main.raw are zeros, so qemu-img left grain 0 unallocated; the first grain
    // stored at the overhead holds the data of 2 MiB.
    CVmdkSparseExtent vmdk;
    ASSERT_EQ(vmdk.Open(FixturePath16("main.vmdk")), 1);
    std::vector<uint8_t> bytes(4096, 0xAA);
    ASSERT_EQ(vmdk.SeekVirtual(0), 1);
    EXPECT_EQ(vmdk.zeroFill, 1);
    ASSERT_EQ(vmdk.Read(bytes.data(), 4096), 1);
    EXPECT_EQ(bytes, std::vector<uint8_t>(4096, 0));
    // Another read right after continues where the first stopped.
    ASSERT_EQ(vmdk.SeekVirtual(2 * 1048576 - 2048), 1);
    ASSERT_EQ(vmdk.Read(bytes.data(), 2048), 1);
    ASSERT_EQ(vmdk.Read(bytes.data() + 2048, 2048), 1);
    EXPECT_EQ(bytes, ReadFileRange(FixturePath("main.raw"), 2 * 1048576 - 2048, 4096));
}

TEST(VmdkSparseExtent, GrainStoredBeyond4GiBInTheExtentFile)
{
    // A crafted extent: two 64 KiB grains, the first stored at 4.5 GiB of the (sparse) file, the
    // second pointing past the end of the file.
    const std::string path = ScratchPath("far-grain.vmdk");
    const uint64_t farSector = 0x900000;
    std::vector<uint8_t> grain(65536);
    SplitMix64 random(7);
    for (uint8_t& byte : grain)
        byte = static_cast<uint8_t>(random.Next());
    {
        std::vector<uint8_t> head(6 * 512, 0);
        auto put = [&](size_t offset, const std::vector<uint8_t>& value) {
            std::copy(value.begin(), value.end(), head.begin() + static_cast<std::ptrdiff_t>(offset));
        };
        put(0, {'K', 'D', 'M', 'V'});
        put(4, LittleEndian(1, 4));
        put(12, LittleEndian(256, 8)); // capacity
        put(20, LittleEndian(128, 8)); // grain size
        put(44, LittleEndian(512, 4)); // entries per grain table
        put(48, LittleEndian(1, 8));   // redundant directory at sector 1
        put(56, LittleEndian(1, 8));
        put(64, LittleEndian(128, 8)); // overhead
        put(512, LittleEndian(2, 4));  // the one directory entry: table at sector 2
        put(1024, LittleEndian(farSector, 4));
        put(1028, LittleEndian(farSector + 0x100000, 4));
        std::ofstream out(std::filesystem::path(ToUtf16(path)), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
        out.seekp(static_cast<std::streamoff>(farSector * 512));
        out.write(reinterpret_cast<const char*>(grain.data()), static_cast<std::streamsize>(grain.size()));
        ASSERT_TRUE(out.good());
    }
    CVmdkSparseExtent vmdk;
    ASSERT_EQ(vmdk.Open(ToUtf16(path)), 1) << vmdk.GetOpenErrorText();
    EXPECT_EQ(vmdk.cylinders, 0) << "no descriptor, no geometry";
    std::vector<uint8_t> bytes(131072, 0xAA);
    ASSERT_EQ(vmdk.SeekVirtual(0), 1);
    EXPECT_EQ(vmdk.Read(bytes.data(), 131072), 0) << "a grain past the end of the file does not read";
    EXPECT_TRUE(vmdk.ReadStoppedAtFileEnd());
    EXPECT_EQ(vmdk.GetVirtualPosition(), 65536u);
    EXPECT_TRUE(std::equal(grain.begin(), grain.end(), bytes.begin()));
    ASSERT_EQ(vmdk.SeekVirtual(65536 - 100), 1);
    EXPECT_EQ(vmdk.physicalPos, farSector * 512 + 65536 - 100);
    vmdk.Close();
    std::filesystem::remove(std::filesystem::path(ToUtf16(path)));
}

TEST(VmdkSparseExtent, RefusesStreamOptimizedAndOtherFiles)
{
    struct Case
    {
        const char* file;
        ImageOpenError error;
    };
    const Case cases[] = {
        {"stream.vmdk", ImageOpenError::VmdkStreamOptimized},
        {"main.vhd", ImageOpenError::VmdkBadMagic},
        {"no-such.vmdk", ImageOpenError::CannotOpenFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CVmdkSparseExtent vmdk;
        EXPECT_EQ(vmdk.Open(FixturePath16(c.file)), 0);
        EXPECT_EQ(vmdk.GetOpenError(), c.error);
        EXPECT_FALSE(vmdk.handle.IsOpen());
        uint8_t byte;
        EXPECT_EQ(vmdk.Read(&byte, 1), 0);
    }
}

TEST(VmdkSparseExtent, OpeningAnotherFileReplacesTheDirectory)
{
    CVmdkSparseExtent vmdk;
    ASSERT_EQ(vmdk.Open(FixturePath16("big.vmdk")), 1);
    const size_t bigEntries = vmdk.grainDirectory.size();
    ASSERT_EQ(vmdk.Open(FixturePath16("small.vmdk")), 1);
    EXPECT_LT(vmdk.grainDirectory.size(), bigEntries);
    EXPECT_EQ(vmdk.GetDiskSize(), 3u * 1048576);
    std::vector<uint8_t> bytes(65536);
    ASSERT_EQ(vmdk.SeekVirtual(0), 1);
    ASSERT_EQ(vmdk.Read(bytes.data(), 65536), 1);
    EXPECT_EQ(bytes, ReadFileRange(FixturePath("small.raw"), 0, 65536));
}

TEST(VmdkSparseExtent, PrimaryDirectoryServesWhenThereIsNoRedundantOne)
{
    const std::string path = ScratchCopy("small.vmdk", "no-redundant-directory.vmdk");
    PatchFile(path, 48, LittleEndian(0, 8));
    CVmdkSparseExtent vmdk;
    ASSERT_EQ(vmdk.Open(ToUtf16(path)), 1) << vmdk.GetOpenErrorText();
    std::vector<uint8_t> bytes(3 * 1048576);
    ASSERT_EQ(vmdk.SeekVirtual(0), 1);
    ASSERT_EQ(vmdk.Read(bytes.data(), static_cast<uint32_t>(bytes.size())), 1);
    EXPECT_EQ(bytes, ReadFileBytes(FixturePath("small.raw")));
}
