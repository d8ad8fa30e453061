// The small picture decoders (TGA, PCX, PNM) on files written here byte by byte: each kind and
// orientation they read, and truncated or crafted files that must fail without harm (run under the
// sanitizers on the host). The pixels of ImageMagick's own files are checked under Wine
// (picture_views_test).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster_decoders.h"
#ifdef IMAGING_HAS_JPEG2000
#include "jpeg2000_decoder.h"
#endif

namespace {

using imaging::PicturePixels;

std::string Le16(unsigned value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

std::string Tga(unsigned type, unsigned width, unsigned height, unsigned bits, unsigned descriptor,
                const std::string& map = "", unsigned mapLength = 0, unsigned mapBits = 0)
{
    return Bytes({0, map.empty() ? 0 : 1, static_cast<int>(type)}) + Le16(0) + Le16(mapLength) +
           Bytes({static_cast<int>(mapBits)}) + Le16(0) + Le16(0) + Le16(width) + Le16(height) +
           Bytes({static_cast<int>(bits), static_cast<int>(descriptor)}) + map;
}

std::string Pcx(unsigned bits, unsigned planes, unsigned width, unsigned height, unsigned bytesPerLine,
                const std::string& headerPalette = "")
{
    std::string header = Bytes({0x0A, 5, 1, static_cast<int>(bits)}) + Le16(0) + Le16(0) + Le16(width - 1) +
                         Le16(height - 1) + Le16(72) + Le16(72);
    std::string palette = headerPalette;
    palette.resize(48, '\0');
    header += palette + Bytes({0, static_cast<int>(planes)}) + Le16(bytesPerLine) + Le16(1);
    header.resize(128, '\0');
    return header;
}

struct Case
{
    const char* name;
    bool (*decode)(const std::uint8_t*, std::size_t, PicturePixels&);
    std::string bytes;
    int width; // 0: the file is refused
    int height;
    std::vector<std::uint32_t> pixels;
};

void RunCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PicturePixels picture;
        const bool decoded =
            c.decode(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size(), picture);
        if (c.width == 0) {
            EXPECT_FALSE(decoded);
            EXPECT_TRUE(picture.pixels.empty());
            continue;
        }
        ASSERT_TRUE(decoded);
        EXPECT_EQ(picture.width, c.width);
        EXPECT_EQ(picture.height, c.height);
        EXPECT_EQ(picture.pixels, c.pixels);
    }
}

const std::uint32_t kWhite = 0xFFFFFF, kBlack = 0, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

TEST(RasterDecoders, TgaKindsAndOrientations)
{
    const std::string map24 = Bytes({0, 0, 255, 0, 255, 0, 255, 0, 0}); // red, green, blue (blue first)
    RunCases({
        {"24 bits, bottom row first",
         imaging::DecodeTga,
         Tga(2, 2, 2, 24, 0) + Bytes({0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}),
         2,
         2,
         {kBlue, kWhite, kRed, kGreen}},
        {"32 bits, top row first",
         imaging::DecodeTga,
         Tga(2, 1, 1, 32, 0x28) + Bytes({1, 2, 3, 0}),
         1,
         1,
         {0x030201}},
        {"16 bits: five bits a channel",
         imaging::DecodeTga,
         Tga(2, 3, 1, 16, 0x20) + Le16(0x7C00) + Le16(0x03E0) + Le16(0x4210),
         3,
         1,
         {kRed, kGreen, 0x848484}},
        {"grey, right to left",
         imaging::DecodeTga,
         Tga(3, 2, 1, 8, 0x30) + Bytes({10, 20}),
         2,
         1,
         {0x141414, 0x0A0A0A}},
        {"mapped, run-length, a run into the next row",
         imaging::DecodeTga,
         Tga(9, 2, 2, 8, 0x20, map24, 3, 24) + Bytes({0x82, 1, 0x00, 2}),
         2,
         2,
         {kGreen, kGreen, kGreen, kBlue}},
        {"mapped index outside the map is black",
         imaging::DecodeTga,
         Tga(1, 1, 1, 8, 0x20, map24, 3, 24) + Bytes({9}),
         1,
         1,
         {kBlack}},
        {"true colour, run-length",
         imaging::DecodeTga,
         Tga(10, 3, 1, 24, 0x20) + Bytes({0x82, 0, 0, 255}),
         3,
         1,
         {kRed, kRed, kRed}},
        {"header only", imaging::DecodeTga, Tga(2, 1, 1, 24, 0), 0, 0, {}},
        {"short header", imaging::DecodeTga, Tga(2, 1, 1, 24, 0).substr(0, 17), 0, 0, {}},
        {"huge size in a small file",
         imaging::DecodeTga,
         Tga(2, 65535, 65535, 24, 0) + std::string(300, 'x'),
         0,
         0,
         {}},
        {"run-length huge size",
         imaging::DecodeTga,
         Tga(10, 30000, 30000, 32, 0) + std::string(300, '\xFF'),
         0,
         0,
         {}},
        {"end of file inside a run",
         imaging::DecodeTga,
         Tga(10, 4, 1, 24, 0) + Bytes({0x83, 0, 0}),
         0,
         0,
         {}},
        {"end of file inside a raw packet",
         imaging::DecodeTga,
         Tga(10, 4, 1, 24, 0) + Bytes({0x03, 0, 0, 0, 1}),
         0,
         0,
         {}},
        {"colour map longer than the file",
         imaging::DecodeTga,
         Tga(1, 1, 1, 8, 0, map24, 60000, 24),
         0,
         0,
         {}},
        {"unknown type", imaging::DecodeTga, Tga(32, 1, 1, 8, 0) + Bytes({1}), 0, 0, {}},
        {"odd pixel size", imaging::DecodeTga, Tga(2, 1, 1, 12, 0) + Bytes({1, 2}), 0, 0, {}},
        {"zero width", imaging::DecodeTga, Tga(2, 0, 1, 24, 0) + Bytes({1, 2, 3}), 0, 0, {}},
    });
}

TEST(RasterDecoders, PcxKindsAndRuns)
{
    std::string palette256(768, '\0');
    palette256[3 * 7 + 0] = 1;
    palette256[3 * 7 + 1] = 2;
    palette256[3 * 7 + 2] = 3;
    const std::string ega = Bytes({0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    RunCases({
        {"8 bits with the palette at the end",
         imaging::DecodePcx,
         Pcx(8, 1, 2, 1, 2) + Bytes({0xC2, 7}) + "\x0C" + palette256,
         2,
         1,
         {0x010203, 0x010203}},
        {"8 bits without a palette is grey",
         imaging::DecodePcx,
         Pcx(8, 1, 2, 1, 2) + Bytes({5, 6}),
         2,
         1,
         {0x050505, 0x060606}},
        {"24 bits in three planes, a run across planes and lines",
         imaging::DecodePcx,
         Pcx(8, 3, 1, 2, 2) + Bytes({0xC3, 9, 0xC9, 0}),
         1,
         2,
         {0x090900, 0x000000}},
        {"1 bit, black and white",
         imaging::DecodePcx,
         Pcx(1, 1, 3, 1, 2) + Bytes({0xA0, 0}),
         3,
         1,
         {kWhite, kBlack, kWhite}},
        {"1 bit in 4 planes through the header palette",
         imaging::DecodePcx,
         Pcx(1, 4, 2, 1, 2, ega) + Bytes({0xC1, 0xC0, 0, 0x80, 0, 0, 0, 0, 0}),
         2,
         1,
         {kBlue, kRed}},
        {"4 bits in one plane",
         imaging::DecodePcx,
         Pcx(4, 1, 2, 1, 2, ega) + Bytes({0x12, 0}),
         2,
         1,
         {kRed, kGreen}},
        {"truncated inside a line", imaging::DecodePcx, Pcx(8, 3, 4, 4, 4) + Bytes({0xC9, 1}), 0, 0, {}},
        {"run count without its value", imaging::DecodePcx, Pcx(8, 1, 2, 1, 2) + Bytes({0xC2}), 0, 0, {}},
        {"huge size in a small file",
         imaging::DecodePcx,
         Pcx(8, 3, 65535, 65535, 65535) + std::string(100, '\xFF'),
         0,
         0,
         {}},
        {"line shorter than the width",
         imaging::DecodePcx,
         Pcx(8, 1, 10, 1, 4) + std::string(10, 'a'),
         0,
         0,
         {}},
        {"not a PCX file", imaging::DecodePcx, std::string(200, 'P'), 0, 0, {}},
        {"minimum past maximum",
         imaging::DecodePcx,
         [] {
             std::string b = Pcx(8, 1, 2, 1, 2) + "ab";
             b[4] = 9;
             return b;
         }(),
         0,
         0,
         {}},
    });
}

TEST(RasterDecoders, PnmKinds)
{
    RunCases({
        {"P1 with a comment, digits without spaces",
         imaging::DecodePnm,
         "P1\n# recovered\n3 1\n101\n",
         3,
         1,
         {kBlack, kWhite, kBlack}},
        {"P2 scaled from 1000", imaging::DecodePnm, "P2 2 1 1000 0 500", 2, 1, {kBlack, 0x808080}},
        {"P3", imaging::DecodePnm, "P3 1 1 255\n255 0 128\n", 1, 1, {0xFF0080}},
        {"P4 rows padded to a byte",
         imaging::DecodePnm,
         "P4 9 2\n" + Bytes({0x80, 0x80, 0x00, 0x00}),
         9,
         2,
         {kBlack, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kBlack, kWhite, kWhite, kWhite,
          kWhite, kWhite, kWhite, kWhite, kWhite, kWhite}},
        {"P5 of 16 bits",
         imaging::DecodePnm,
         "P5 2 1 65535\n" + Bytes({0xFF, 0xFF, 0x80, 0x00}),
         2,
         1,
         {kWhite, 0x808080}},
        {"P6", imaging::DecodePnm, "P6 1 1 255\n" + Bytes({1, 2, 3}), 1, 1, {0x010203}},
        {"P6 one byte short", imaging::DecodePnm, "P6 2 1 255\n" + Bytes({1, 2, 3, 4, 5}), 0, 0, {}},
        {"huge size in a small file",
         imaging::DecodePnm,
         "P6 30000 30000 255\n" + std::string(100, 'x'),
         0,
         0,
         {}},
        {"number past 32 bits", imaging::DecodePnm, "P5 99999999999 1 255\nx", 0, 0, {}},
        {"P2 ends early", imaging::DecodePnm, "P2 3 1 255 1 2", 0, 0, {}},
        {"maximum 0", imaging::DecodePnm, "P2 1 1 0 0", 0, 0, {}},
        {"maximum past 16 bits", imaging::DecodePnm, "P5 1 1 70000\nxx", 0, 0, {}},
        {"no space after the header", imaging::DecodePnm, "P5 1 1 255", 0, 0, {}},
        {"P7", imaging::DecodePnm, "P7 1 1 255\nx", 0, 0, {}},
    });
}

#ifdef IMAGING_HAS_JPEG2000
// A bare code stream's start (SOC and SIZ) for 8-bit components of the size, in tiles of the tile size.
std::string CodeStreamHeader(std::uint32_t width, std::uint32_t height, std::uint32_t tileWidth = 0,
                             std::uint32_t tileHeight = 0, int components = 1)
{
    auto be32 = [](std::uint32_t value) {
        return Bytes({static_cast<int>(value >> 24), static_cast<int>((value >> 16) & 0xFF),
                      static_cast<int>((value >> 8) & 0xFF), static_cast<int>(value & 0xFF)});
    };
    std::string header = Bytes({0xFF, 0x4F, 0xFF, 0x51, 0, 38 + 3 * components, 0, 0}) + be32(width) +
                         be32(height) + be32(0) + be32(0) + be32(tileWidth ? tileWidth : width) +
                         be32(tileHeight ? tileHeight : height) + be32(0) + be32(0) + Bytes({0, components});
    for (int component = 0; component < components; ++component)
        header += Bytes({7, 1, 1});
    return header;
}

bool DecodeJpeg2000(const std::uint8_t* data, std::size_t size, PicturePixels& picture)
{
    return imaging::DecodeJpeg2000(data, size, picture);
}

TEST(RasterDecoders, CraftedJpeg2000FailsBeforeDecoding)
{
    RunCases({
        {"huge size, header only", DecodeJpeg2000, CodeStreamHeader(100000, 100000), 0, 0, {}},
        {"small size, no tile data", DecodeJpeg2000, CodeStreamHeader(16, 16), 0, 0, {}},
        {"JP2 signature only",
         DecodeJpeg2000,
         Bytes({0, 0, 0, 12, 0x6A, 0x50, 0x20, 0x20, 13, 10, 0x87, 10}),
         0,
         0,
         {}},
        {"neither signature", DecodeJpeg2000, std::string(64, 'J'), 0, 0, {}},
        {"empty", DecodeJpeg2000, "", 0, 0, {}},
    });
}

// OpenJPEG sets up every tile of the declared grid when it reads the header, before any picture check
// can run: a file of a few kilobytes declaring thousands of tiles took seconds. The decoder hands
// OpenJPEG only a grid whose tiles and components the file's bytes can hold, whichever wrapping.
TEST(RasterDecoders, Jpeg2000TilesAreBoundedByTheFileSize)
{
    const std::string jp2Start = Bytes({0, 0, 0, 12, 0x6A, 0x50, 0x20, 0x20, 13, 10, 0x87, 10}) +
                                 Bytes({0, 0, 0, 20, 0x66, 0x74, 0x79, 0x70, 0x6A, 0x70, 0x32, 0x20}) +
                                 std::string(8, '\0') + Bytes({0, 0, 0, 0, 0x6A, 0x70, 0x32, 0x63});
    struct TileCase
    {
        const char* name;
        std::string bytes;
        std::uint64_t tilesHanded;
    };
    const std::string manyTiles = CodeStreamHeader(29400, 46, 7, 46, 3); // 4,200 tiles
    const std::string someTiles = CodeStreamHeader(256, 256, 16, 16, 3); // 256 tiles
    const TileCase cases[] = {
        {"4,200 tiles in 4 KiB", manyTiles + std::string(4096, '\0'), 0},
        {"4,200 tiles in a JP2 box of 4 KiB", jp2Start + manyTiles + std::string(4096, '\0'), 0},
        {"256 tiles of 3 components in 4,351 bytes",
         someTiles + std::string(256 * 17 - 1 - someTiles.size(), '\0'), 0},
        {"256 tiles of 3 components in 4,352 bytes",
         someTiles + std::string(256 * 17 - someTiles.size(), '\0'), 256},
        {"256 tiles in a JP2 box", jp2Start + someTiles + std::string(256 * 17, '\0'), 256},
        {"3 components of 30,000 x 1,000 pixels",
         CodeStreamHeader(30000, 1000, 0, 0, 3) + std::string(4096, '\0'), 0},
    };
    for (const TileCase& test : cases) {
        SCOPED_TRACE(test.name);
        PicturePixels picture;
        imaging::Jpeg2000Work work;
        const auto* data = reinterpret_cast<const std::uint8_t*>(test.bytes.data());
        EXPECT_FALSE(imaging::DecodeJpeg2000(data, test.bytes.size(), picture, &work));
        EXPECT_EQ(work.tiles, test.tilesHanded);
        EXPECT_EQ(work.samples, 0u);
    }
}
#endif

} // namespace

// A picture kept for a view is reduced to what the view can show by keeping every n-th row and column;
// one within the bounds stays as it is.
TEST(RasterDecoders, PicturesAreReducedByKeepingRowsAndColumns)
{
    imaging::PicturePixels picture;
    ASSERT_TRUE(imaging::AllocatePicture(picture, 6, 4, 0, 0, 1));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            picture.pixels[static_cast<std::size_t>(y) * 6 + x] = static_cast<std::uint32_t>(10 * y + x);
    imaging::PicturePixels same = picture;
    imaging::ReducePicture(same, 6, 4);
    EXPECT_EQ(same.pixels, picture.pixels);

    imaging::ReducePicture(picture, 3, 2);
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 2);
    EXPECT_EQ(picture.pixels, (std::vector<std::uint32_t>{0, 2, 4, 20, 22, 24}));

    imaging::ReducePicture(picture, 100, 1);
    EXPECT_EQ(picture.width, 3);
    EXPECT_EQ(picture.pixels, (std::vector<std::uint32_t>{0, 2, 4}));
}
