// The image-source facade: kinds without a reader, replacing a reader, and what it reports.
#include <gtest/gtest.h>

#include "engine/image/image_source.h"
#include "engine/image/vhd_image.h"
#include "engine/image/vhdx_image.h"
#include "image_test_support.h"

using namespace image_test;

TEST(ImageSource, NothingWorksBeforeCreateOrForAnUnknownKind)
{
    for (uint32_t kind : {0u, 3u}) {
        SCOPED_TRACE(kind);
        CImageSource source;
        if (kind != 0) {
            EXPECT_EQ(source.Create(kind), nullptr);
        }
        uint8_t byte = 0;
        EXPECT_EQ(source.Read(&byte, 1), 0);
        EXPECT_EQ(source.SeekVirtual(0), 0);
        EXPECT_EQ(source.Open(FixturePath16("main.vhd")), 0);
        EXPECT_EQ(source.GetOpenError(), ImageOpenError::UnknownImageKind);
        EXPECT_EQ(source.Close(), 0);
        EXPECT_EQ(source.GetDiskSize(), 0u);
        EXPECT_EQ(source.GetCylinders(), 0u);
        EXPECT_EQ(source.GetDiskTypeName(), u"");
    }
}

TEST(ImageSource, CreateAgainReplacesTheReader)
{
    CImageSource source;
    ASSERT_NE(source.Create(CImageSource::kKindVhd), nullptr);
    ASSERT_EQ(source.Open(FixturePath16("main.vhd")), 1);
    ASSERT_NE(source.Create(CImageSource::kKindVhd), nullptr);
    uint8_t byte = 0;
    EXPECT_EQ(source.Read(&byte, 1), 0) << "the new reader has nothing open";
    EXPECT_EQ(source.GetOpenError(), ImageOpenError::NotOpen);
    ASSERT_EQ(source.Open(FixturePath16("small.vhd")), 1);
    EXPECT_EQ(source.GetDiskSize(), QemuVirtualSize("small.vhd"));
}

TEST(ImageSource, ReportsWhatEachKindHas)
{
    CImageSource source;
    source.Create(CImageSource::kKindVhd);
    ASSERT_EQ(source.Open(FixturePath16("main.vhd")), 1);
    EXPECT_EQ(source.GetDiskSize(), QemuVirtualSize("main.vhd"));
    EXPECT_GT(source.GetCylinders(), 0u);
    EXPECT_GT(source.GetHeads(), 0u);
    EXPECT_GT(source.GetSectorsPerTrack(), 0u);
    EXPECT_EQ(static_cast<uint64_t>(source.GetCylinders()) * source.GetHeads() * source.GetSectorsPerTrack() *
                  512,
              source.GetDiskSize())
        << "qemu-img sizes a VHD by its geometry";
    EXPECT_EQ(source.GetDiskTypeName(), u"");
    EXPECT_EQ(source.GetBatEntryCount(), 0u);
    EXPECT_EQ(source.Close(), 1);

    source.Create(CImageSource::kKindVhdx);
    ASSERT_EQ(source.Open(FixturePath16("main.1m.vhdx")), 1);
    EXPECT_EQ(source.GetDiskSize(), QemuVirtualSize("main.1m.vhdx"));
    EXPECT_EQ(source.GetDiskTypeName(), u"Dynamic Disk");
    EXPECT_EQ(source.GetDataBlockCount(), 40u);
    EXPECT_EQ(source.GetBatEntryCount(), 40u);
    EXPECT_EQ(source.GetSectorsPerTrack(), 0u);
    // The geometry getters keep the last VHD values; a VHDX has none of its own.
    std::vector<uint8_t> bytes(4096);
    ASSERT_EQ(source.SeekVirtual(2 * 1048576), 1);
    ASSERT_EQ(source.Read(bytes.data(), 4096), 1);
    EXPECT_EQ(bytes, ReadFileRange(FixturePath("main.raw"), 2 * 1048576, 4096));
    EXPECT_EQ(source.Close(), 1);
    EXPECT_EQ(source.Read(bytes.data(), 1), 0);
}

TEST(ImageSource, RefusalsCarryTheirReason)
{
    struct Case
    {
        uint32_t kind;
        const char* file;
        ImageOpenError error;
    };
    const Case cases[] = {
        {CImageSource::kKindVhd, "main.vmdk", ImageOpenError::VhdNoFooter},
        {CImageSource::kKindVhd, "missing.vhd", ImageOpenError::CannotOpenFile},
        {CImageSource::kKindVhdx, "main.vhd", ImageOpenError::VhdxBadSignature},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CImageSource source;
        source.Create(c.kind);
        EXPECT_EQ(source.Open(FixturePath16(c.file)), 0);
        EXPECT_EQ(source.GetOpenError(), c.error);
        EXPECT_STRNE(source.GetOpenErrorText(), "");
    }
}
