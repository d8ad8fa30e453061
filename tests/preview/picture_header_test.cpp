// The sizes picture files declare, read before any decoder has them: every kind that Windows' decoders
// read, at the picture limit and one past it, and the headers that declare more than their first field
// says (a GIF frame beyond its screen, TIFF tiles, an icon's bitmap, a metafile's frame).
#include <gtest/gtest.h>

#include "crafted_pictures.h"
#include "picture_header.h"
#include "picture_pixels.h"

namespace {

using imaging::PictureKind;

TEST(PictureHeader, EveryKindIsReadAndRefusedPastTheLimit)
{
    // 8192 x 8192 is the 64 Mi pixels of the limit; 30000 the longest side.
    struct Case
    {
        const char* name;
        crafted::Bytes bytes;
        PictureKind kind;
        std::uint64_t width;
        std::uint64_t height;
        bool allowed;
    };
    const Case cases[] = {
        {"bmp at the limit", crafted::Bmp(8192, 8192), PictureKind::kBmp, 8192, 8192, true},
        {"bmp one row past", crafted::Bmp(8192, 8193), PictureKind::kBmp, 8192, 8193, false},
        {"bmp top-down one row past", crafted::Bmp(8192, -8193), PictureKind::kBmp, 8192, 8193, false},
        {"bmp of the issue", crafted::Bmp(30000, 30000), PictureKind::kBmp, 30000, 30000, false},
        {"bmp longest side", crafted::Bmp(30000, 2236), PictureKind::kBmp, 30000, 2236, true},
        {"bmp a side too long", crafted::Bmp(30001, 1), PictureKind::kBmp, 30001, 1, false},
        {"png at the limit", crafted::Png(8192, 8192), PictureKind::kPng, 8192, 8192, true},
        {"png one row past", crafted::Png(8192, 8193), PictureKind::kPng, 8192, 8193, false},
        {"png of no pixels", crafted::Png(0, 10), PictureKind::kPng, 0, 10, false},
        {"jpeg at the limit", crafted::Jpeg(8192, 8192), PictureKind::kJpeg, 8192, 8192, true},
        {"jpeg one row past", crafted::Jpeg(8192, 8193), PictureKind::kJpeg, 8192, 8193, false},
        {"jpeg of the issue", crafted::Jpeg(65500, 65500), PictureKind::kJpeg, 65500, 65500, false},
        {"gif at the limit", crafted::Gif(8192, 8192), PictureKind::kGif, 8192, 8192, true},
        {"gif one row past", crafted::Gif(8192, 8193), PictureKind::kGif, 8192, 8193, false},
        {"gif frame past its screen", crafted::Gif(8, 8, 0, 8185, 8192, 8), PictureKind::kGif, 8192, 8193,
         false},
        {"tiff at the limit", crafted::Tiff(8192, 8192), PictureKind::kTiff, 8192, 8192, true},
        {"tiff one row past", crafted::Tiff(8192, 8193), PictureKind::kTiff, 8192, 8193, false},
        {"tiff tiles past", crafted::Tiff(1, 1, 65535, 65535), PictureKind::kTiff, 65535, 65535, false},
        {"icon at the limit", crafted::Icon(8192, 8192), PictureKind::kIcon, 8192, 8192, true},
        {"icon one row past", crafted::Icon(8192, 8193), PictureKind::kIcon, 8192, 8193, false},
        {"icon bitmap at the limit", crafted::Icon(8192, 8192, false), PictureKind::kIcon, 8192, 8192, true},
        {"icon bitmap one row past", crafted::Icon(8192, 8193, false), PictureKind::kIcon, 8192, 8193, false},
        {"emf at the limit", crafted::Emf(8192, 8192), PictureKind::kEmf, 8192, 8192, true},
        {"emf one row past", crafted::Emf(8192, 8193), PictureKind::kEmf, 8192, 8193, false},
        {"emf frame past", crafted::Emf(10, 10, 81920), PictureKind::kEmf, 8193, 8193, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        imaging::PictureHeader header;
        ASSERT_TRUE(imaging::ReadPictureHeader(c.bytes.data(), c.bytes.size(), header));
        EXPECT_EQ(header.kind, c.kind);
        EXPECT_EQ(header.width, c.width);
        EXPECT_EQ(header.height, c.height);
        EXPECT_EQ(imaging::PictureHeaderWithinLimit(c.bytes.data(), c.bytes.size()), c.allowed);
    }
}

// What a decoder goes through beyond the size a header declares first: every frame of a GIF (each held
// whole while the file loads), a TIFF's width as the first of its tags gives it, each scan of a JPEG
// over its whole picture, the bitmaps a metafile's records stretch. Each crafted file beside its like
// within the limits.
TEST(PictureHeader, LaterFramesRepeatedTagsScansAndRecordBitmapsCount)
{
    using Frames = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    const Frames growing = {{16, 16}, {4096, 4096}, {8192, 8192}};
    const struct
    {
        const char* name;
        crafted::Bytes bytes;
        bool allowed;
    } cases[] = {
        {"gif second frame past", crafted::CodedGif("GIF89a", 16, 16, Frames{{16, 16}, {30000, 30000}}),
         false},
        {"gif frames that grow", crafted::CodedGif("GIF89a", 16, 16, growing), false},
        {"gif frames within", crafted::CodedGif("GIF89a", 64, 64, Frames{{64, 64}, {4096, 4096}}), true},
        {"tiff width twice", crafted::PackBitsTiff({9000, 16}, 9000), false},
        {"tiff width twice alike", crafted::PackBitsTiff({64, 64}, 64), false},
        {"tiff width once", crafted::PackBitsTiff({64}, 64), true},
        {"jpeg of 1000 scans", crafted::ProgressiveJpeg(4096, 4096, 1000), false},
        {"jpeg of 200 scans", crafted::ProgressiveJpeg(4096, 4096, 200), false},
        {"jpeg of 100 scans", crafted::ProgressiveJpeg(4096, 4096, 100), true},
        {"small jpeg of 500 scans", crafted::ProgressiveJpeg(64, 64, 500), true},
        {"small jpeg of 5000 scans", crafted::ProgressiveJpeg(64, 64, 5000), false},
        {"emf record bitmap past", crafted::EmfWithBitmap(100, 30000, 30000, false), false},
        {"emf record bitmap within", crafted::EmfWithBitmap(100, 64, 64), true},
        {"wmf record bitmap past", crafted::WmfWithBitmap(100, 30000, 30000, false), false},
        {"wmf record bitmap within", crafted::WmfWithBitmap(100, 64, 64), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        imaging::PictureHeader header;
        EXPECT_EQ(imaging::ReadPictureHeader(c.bytes.data(), c.bytes.size(), header) &&
                      imaging::PictureHeaderAllowed(header),
                  c.allowed);
        EXPECT_EQ(imaging::PictureHeaderWithinLimit(c.bytes.data(), c.bytes.size()), c.allowed);
    }
    // A metafile's records are read whatever its bounds say, and a record whose bitmap lies outside it is
    // refused; a placeable metafile's size is its bounds at its units to the inch.
    crafted::Bytes outside = crafted::EmfWithBitmap(100, 64, 64);
    outside[88 + 49] = 0x10; // the bitmap's offset in the record beyond it
    imaging::PictureHeader header;
    EXPECT_FALSE(imaging::ReadPictureHeader(outside.data(), outside.size(), header));
    const crafted::Bytes wmf = crafted::WmfWithBitmap(2880, 64, 64);
    ASSERT_TRUE(imaging::ReadPictureHeader(wmf.data(), wmf.size(), header));
    EXPECT_EQ(header.kind, PictureKind::kWmf);
    EXPECT_EQ(header.width, 192u);
    EXPECT_EQ(header.height, 192u);
}

// OLE's loader takes a file for a GIF by its first two bytes: six bytes of a signature the header reader
// does not know leave the kind unknown, which the loaders of the outside never get.
TEST(PictureHeader, SignaturesOfNoKnownVersionAreUnknown)
{
    const crafted::Bytes gif90a = crafted::CodedGif("GIF90a", 64, 64, {{64, 64}});
    imaging::PictureHeader header;
    EXPECT_FALSE(imaging::ReadPictureHeader(gif90a.data(), gif90a.size(), header));
    EXPECT_EQ(header.kind, PictureKind::kUnknown);
}

TEST(PictureHeader, BigEndianTiffsOfShortsAndJpegsAfterOtherSegmentsAreRead)
{
    crafted::Bytes tiff;
    crafted::Text(tiff, "MM");
    crafted::Be16(tiff, 42);
    crafted::Be32(tiff, 8);
    crafted::Be16(tiff, 2);
    for (std::uint32_t tag : {256u, 257u}) {
        crafted::Be16(tiff, tag);
        crafted::Be16(tiff, 3); // SHORT: the value is left in the entry's first two bytes
        crafted::Be32(tiff, 1);
        crafted::Be16(tiff, tag == 256 ? 640 : 480);
        crafted::Be16(tiff, 0);
    }
    crafted::Be32(tiff, 0);
    imaging::PictureHeader header;
    ASSERT_TRUE(imaging::ReadPictureHeader(tiff.data(), tiff.size(), header));
    EXPECT_EQ(header.width, 640u);
    EXPECT_EQ(header.height, 480u);

    // A comment and an Exif segment (with a thumbnail's own frame inside it) before the picture's frame,
    // and fill bytes before its marker.
    crafted::Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xFE, 0x00, 0x05, 'h', 'i', '!'};
    const crafted::Bytes thumbnail = crafted::Jpeg(60000, 60000);
    jpeg.insert(jpeg.end(), {0xFF, 0xE1});
    crafted::Be16(jpeg, static_cast<std::uint32_t>(2 + thumbnail.size()));
    jpeg.insert(jpeg.end(), thumbnail.begin(), thumbnail.end());
    const crafted::Bytes picture = crafted::Jpeg(800, 600);
    jpeg.push_back(0xFF);
    jpeg.insert(jpeg.end(), picture.begin() + 2, picture.end());
    ASSERT_TRUE(imaging::ReadPictureHeader(jpeg.data(), jpeg.size(), header));
    EXPECT_EQ(header.width, 800u);
    EXPECT_EQ(header.height, 600u);
}

TEST(PictureHeader, HeadersThatCannotBeReadAreRefused)
{
    crafted::Bytes dnl = crafted::Jpeg(100, 0); // lines given later by a DNL marker
    crafted::Bytes cut = crafted::Png(10, 10);
    cut.resize(18);
    crafted::Bytes scanFirst = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9};
    crafted::Bytes tiffPastItsEnd = crafted::Tiff(10, 10);
    tiffPastItsEnd[4] = 0xF0; // the directory's offset beyond the file
    crafted::Bytes tiffWithoutSize = crafted::Tiff(10, 10);
    tiffWithoutSize[10] = 0x11; // the width's tag made another one
    crafted::Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    crafted::Bytes iconPastItsEnd = crafted::Icon(16, 16);
    iconPastItsEnd[4] = 200; // two hundred entries in a file of one
    const struct
    {
        const char* name;
        const crafted::Bytes& bytes;
        PictureKind kind;
    } cases[] = {{"jpeg without lines", dnl, PictureKind::kJpeg},
                 {"png cut in its header", cut, PictureKind::kPng},
                 {"jpeg scan before its frame", scanFirst, PictureKind::kJpeg},
                 {"tiff directory past the end", tiffPastItsEnd, PictureKind::kTiff},
                 {"tiff without a width", tiffWithoutSize, PictureKind::kTiff},
                 {"icon entries past the end", iconPastItsEnd, PictureKind::kIcon},
                 {"no picture", text, PictureKind::kUnknown}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        imaging::PictureHeader header;
        EXPECT_FALSE(imaging::ReadPictureHeader(c.bytes.data(), c.bytes.size(), header));
        EXPECT_EQ(header.kind, c.kind);
        EXPECT_FALSE(imaging::PictureHeaderWithinLimit(c.bytes.data(), c.bytes.size()));
    }
    // Every cut of a real header ends cleanly, wherever it falls.
    for (const crafted::Bytes& whole : {crafted::Bmp(20, 20), crafted::Jpeg(20, 20), crafted::Gif(20, 20),
                                        crafted::Tiff(20, 20), crafted::Icon(20, 20), crafted::Emf(20, 20)})
        for (std::size_t length = 0; length < whole.size(); ++length) {
            imaging::PictureHeader header;
            imaging::ReadPictureHeader(whole.data(), length, header);
        }
}

} // namespace
