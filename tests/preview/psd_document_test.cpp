// The Photoshop document reader on documents written here byte by byte: the colour modes' conversions,
// the resolution, the resources walk, and truncated or crafted documents that must fail with their code
// without harm (run under the sanitizers on the host).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "psd_document.h"

namespace {

std::string Be16(unsigned value)
{
    return {static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)};
}

std::string Be32(std::uint32_t value)
{
    return Be16(value >> 16) + Be16(value & 0xFFFF);
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

// One image resource: "8BIM", the id, an empty name and the data (padded to even).
std::string Resource(unsigned id, const std::string& data, const char* signature = "8BIM")
{
    std::string block =
        std::string(signature, 4) + Be16(id) + std::string(2, '\0') + Be32(data.size()) + data;
    if (data.size() % 2)
        block += '\0';
    return block;
}

std::string Resolution(unsigned dpi)
{
    return Resource(1005, Be16(dpi) + Be32(1) + Be16(1) + Be16(dpi) + Be32(1) + Be16(1));
}

struct Psd
{
    unsigned channels = 3;
    std::uint32_t height = 1;
    std::uint32_t width = 1;
    unsigned depth = 8;
    unsigned mode = psd::kPsdRgb;
    unsigned version = 1;
    std::string colourData;
    std::string resources;
    unsigned compression = 0;
    std::string imageData;

    std::string Bytes() const
    {
        return "8BPS" + Be16(version) + std::string(6, '\0') + Be16(channels) + Be32(height) + Be32(width) +
               Be16(depth) + Be16(mode) + Be32(colourData.size()) + colourData + Be32(resources.size()) +
               resources + Be32(0) + Be16(compression) + imageData;
    }
};

struct Read
{
    int result = 1;
    psd::PsdDocument document;
    psd::PsdPicture picture;
};

Read ReadBytes(const std::string& bytes)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "psd_document_test.psd";
    Read read;
    std::FILE* file = std::fopen(path.string().c_str(), "wb+");
    EXPECT_NE(file, nullptr);
    if (file == nullptr)
        return read;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
    std::rewind(file);
    read.result = psd::ReadPsd(file, read.document, read.picture);
    std::fclose(file);
    std::filesystem::remove(path);
    return read;
}

std::uint32_t Grey(unsigned value)
{
    return (value << 16) | (value << 8) | value;
}

TEST(PsdDocument, ColourModesBecomeTheirRgb)
{
    struct Case
    {
        const char* name;
        unsigned mode;
        unsigned channels;
        std::string planes; // raw: each channel's plane in turn
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"Lab white, mid grey, black",
         psd::kPsdLab,
         3,
         Bytes({255, 128, 0, 128, 128, 128, 128, 128, 128}),
         {Grey(253), Grey(119), Grey(0)}},
        {"CMYK no ink, full black",
         psd::kPsdCmyk,
         4,
         Bytes({255, 255, 255, 255, 255, 255, 255, 0}),
         {Grey(253), Grey(0)}},
        {"RGB", psd::kPsdRgb, 3, Bytes({10, 200, 20, 100, 30, 0}), {0x0A141E, 0xC86400}},
        {"grey", psd::kPsdGreyscale, 1, Bytes({0x40, 0xF0}), {Grey(0x40), Grey(0xF0)}},
        {"duotone shown as grey", psd::kPsdDuotone, 1, Bytes({7, 9}), {Grey(7), Grey(9)}},
        {"RGB with an alpha channel", psd::kPsdRgb, 4, Bytes({1, 2, 3, 4, 5, 6, 0, 0}), {0x010305, 0x020406}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Psd psd;
        psd.mode = c.mode;
        psd.channels = c.channels;
        psd.width = static_cast<std::uint32_t>(c.expected.size());
        psd.imageData = c.planes;
        const Read read = ReadBytes(psd.Bytes());
        ASSERT_EQ(read.result, psd::kPsdOk);
        ASSERT_TRUE(read.picture.made);
        EXPECT_EQ(read.picture.pixels, c.expected);
    }
}

TEST(PsdDocument, MultichannelTakesCmyFromThreeChannelsAndBlackFromAFourth)
{
    psd::PsdDocument document;
    document.mode = psd::kPsdMultichannel;
    document.depth = 8;
    const std::uint32_t noInk[4] = {255, 255, 255, 0};
    std::uint32_t colour = 1;
    ASSERT_TRUE(psd::PsdPixelColour(document, noInk, 3, colour));
    EXPECT_EQ(colour, Grey(254));
    ASSERT_TRUE(psd::PsdPixelColour(document, noInk, 4, colour));
    EXPECT_EQ(colour, Grey(0));
    EXPECT_FALSE(psd::PsdPixelColour(document, noInk, 2, colour));
}

TEST(PsdDocument, ResolutionGivesPixelsPerMetre)
{
    const struct
    {
        const char* name;
        std::string resources;
        int expected;
    } cases[] = {{"72 dpi", Resolution(72), 2834}, {"96 dpi", Resolution(96), 3779}, {"none", "", 3780}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Psd psd;
        psd.resources = c.resources;
        psd.imageData = Bytes({1, 2, 3});
        const Read read = ReadBytes(psd.Bytes());
        ASSERT_EQ(read.result, psd::kPsdOk);
        EXPECT_EQ(read.picture.pixelsPerMetreX, c.expected);
        EXPECT_EQ(read.picture.pixelsPerMetreY, c.expected);
    }
}

TEST(PsdDocument, SixteenBitSamplesShowTheirHighByteRawAndPacked)
{
    Psd psd;
    psd.mode = psd::kPsdGreyscale;
    psd.channels = 1;
    psd.depth = 16;
    psd.width = 3;
    psd.imageData = Bytes({0x12, 0xAB, 0xFF, 0x00, 0x80, 0xFF});
    Read read = ReadBytes(psd.Bytes());
    ASSERT_EQ(read.result, psd::kPsdOk);
    EXPECT_EQ(read.picture.pixels, (std::vector<std::uint32_t>{Grey(0x12), Grey(0xFF), Grey(0x80)}));

    // Packed rows of width x 2 bytes: a literal of two bytes, then a run of four 0x7F.
    psd.compression = 1;
    psd.imageData = Be16(5) + Bytes({1, 0x12, 0xAB, 0xFD, 0x7F});
    read = ReadBytes(psd.Bytes());
    ASSERT_EQ(read.result, psd::kPsdOk);
    EXPECT_EQ(read.picture.pixels, (std::vector<std::uint32_t>{Grey(0x12), Grey(0x7F), Grey(0x7F)}));

    psd.mode = psd::kPsdRgb;
    psd.channels = 3;
    psd.width = 1;
    psd.compression = 0;
    psd.imageData = Bytes({0xA0, 1, 0xB0, 2, 0xC0, 3});
    read = ReadBytes(psd.Bytes());
    ASSERT_EQ(read.result, psd::kPsdOk);
    EXPECT_EQ(read.picture.pixels, (std::vector<std::uint32_t>{0xA0B0C0}));
}

TEST(PsdDocument, IndexedNeedsItsTableAndColourCount)
{
    std::string table(768, '\0');
    table[5] = 10;
    table[256 + 5] = 20;
    table[512 + 5] = 30;
    Psd psd;
    psd.mode = psd::kPsdIndexed;
    psd.channels = 1;
    psd.colourData = table;
    psd.imageData = Bytes({5});
    Read read = ReadBytes(psd.Bytes());
    ASSERT_EQ(read.result, psd::kPsdOk);
    EXPECT_EQ(read.picture.pixels, (std::vector<std::uint32_t>{Grey(255)}));
    psd.resources = Resource(1046, Be16(6));
    read = ReadBytes(psd.Bytes());
    ASSERT_EQ(read.result, psd::kPsdOk);
    EXPECT_EQ(read.document.indexedColourCount, 6);
    EXPECT_EQ(read.picture.pixels, (std::vector<std::uint32_t>{0x0A141E}));
}

TEST(PsdDocument, ResourcesAreWalkedByTheirSizes)
{
    Psd psd;
    psd.imageData = Bytes({1, 2, 3});
    // A short thumbnail, an odd-sized unknown block, a resource of another signature, display
    // information for two channels, and the angle.
    psd.resources = Resource(1036, std::string(10, 'x')) + Resource(1010, "abc") +
                    Resource(1005, std::string(16, '\0'), "MeSa") +
                    Resource(1007, Be16(0) + Be16(1) + Be16(2) + Be16(3) + Be16(4) + Be16(100) +
                                       Bytes({1, 0}) + std::string(14, '\0')) +
                    Resource(1037, Be32(120)) + Resource(1034, Be16(1)) +
                    Resource(1000, Be16(3) + Be16(1) + Be16(1) + Be16(8) + Be16(3));
    Read read = ReadBytes(psd.Bytes());
    ASSERT_EQ(read.result, psd::kPsdOk);
    EXPECT_FALSE(read.document.hasThumbnail);
    EXPECT_FALSE(read.document.hasResolution);
    EXPECT_TRUE(read.document.hasDisplayInfo);
    EXPECT_EQ(read.document.displayColour[3], 4);
    EXPECT_EQ(read.document.displayKind, 1);
    EXPECT_EQ(read.document.globalAngle, 120);
    EXPECT_TRUE(read.document.copyrighted);
    EXPECT_TRUE(read.document.hasChannelsInfo);
    EXPECT_TRUE(read.picture.made);

    // A full thumbnail header is kept.
    psd.resources = Resource(1036, Be32(1) + Be32(16) + Be32(8) + Be32(48) + Be32(384) + Be32(20) + Be16(24) +
                                       Be16(1) + std::string(20, 'j'));
    read = ReadBytes(psd.Bytes());
    ASSERT_EQ(read.result, psd::kPsdOk);
    EXPECT_TRUE(read.document.hasThumbnail);
    EXPECT_EQ(read.document.thumbnailWidth, 16u);
    EXPECT_EQ(read.document.thumbnailBitsPerPixel, 24);
}

TEST(PsdDocument, RefusalsAndCraftedDocumentsEndWithTheirCode)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        int expected;
        bool made;
    };
    Psd base;
    base.imageData = Bytes({1, 2, 3});
    const std::string good = base.Bytes();
    auto with = [&](auto change) {
        Psd psd = base;
        change(psd);
        return psd.Bytes();
    };
    std::string reservedSet = good;
    reservedSet[8] = 1;
    // The resource section says 40 bytes but holds one 12-byte block.
    std::string shortSection = with([](Psd& p) { p.resources = Resource(1037, Be32(5)); });
    shortSection.replace(26 + 4, 4, Be32(40));
    const Case cases[] = {
        {"empty file", "", psd::kPsdBadHeader, false},
        {"truncated header", good.substr(0, 20), psd::kPsdBadHeader, false},
        {"large document format (version 2)", with([](Psd& p) { p.version = 2; }), psd::kPsdBadHeader, false},
        {"reserved bytes set", reservedSet, psd::kPsdBadHeader, false},
        {"colour data longer than the file", good.substr(0, 26) + Be32(0x7FFFFFFF),
         psd::kPsdBadColourModeData, false},
        {"resources cut off", good.substr(0, 30) + Be32(1000) + "8BIM", psd::kPsdBadResources, false},
        {"resource section overrun", shortSection, psd::kPsdBadResources, false},
        {"block size past the section",
         with([](Psd& p) { p.resources = "8BIM" + Be16(1037) + Be16(0) + Be32(0x7FFFFFF0) + Be32(5); }),
         psd::kPsdBadResources, false},
        {"ZIP", with([](Psd& p) { p.compression = 2; }), psd::kPsdZipCompressed, false},
        {"ZIP with prediction", with([](Psd& p) { p.compression = 3; }), psd::kPsdZipPredictionCompressed,
         false},
        {"unknown compression", with([](Psd& p) { p.compression = 9; }), psd::kPsdUnknownCompression, false},
        {"no compression field", good.substr(0, good.size() - 4), psd::kPsdBadImageData, false},
        {"depth 1", with([](Psd& p) { p.depth = 1; }), psd::kPsdNoBitmap, false},
        {"depth 32", with([](Psd& p) { p.depth = 32; }), psd::kPsdNoBitmap, false},
        {"side past 30,000", with([](Psd& p) { p.width = 30001; }), psd::kPsdNoBitmap, false},
        {"4 GiB of channels", with([](Psd& p) {
             p.width = p.height = 30000;
             p.channels = 4;
             p.depth = 16;
         }),
         psd::kPsdNoBitmap, false},
        {"no width", with([](Psd& p) { p.width = 0; }), psd::kPsdNoBitmap, false},
        {"no channels", with([](Psd& p) { p.channels = 0; }), psd::kPsdNoBitmap, false},
        {"raw data too short", with([](Psd& p) { p.width = 2; }), psd::kPsdOk, false},
        {"huge raw size in a small file", with([](Psd& p) { p.width = p.height = 8000; }), psd::kPsdOk,
         false},
        {"multichannel raw", with([](Psd& p) { p.mode = psd::kPsdMultichannel; }), psd::kPsdOk, false},
        {"packed: row table cut off", with([](Psd& p) {
             p.compression = 1;
             p.imageData = Be16(2);
         }),
         psd::kPsdBadImageData, false},
        {"packed: end of file inside a run", with([](Psd& p) {
             p.compression = 1;
             p.channels = 1;
             p.mode = psd::kPsdGreyscale;
             p.width = 8;
             p.imageData = Be16(3) + Bytes({5, 1, 2});
         }),
         psd::kPsdBadImageData, false},
        {"packed: huge size in a small file", with([](Psd& p) {
             p.compression = 1;
             p.channels = 1;
             p.mode = psd::kPsdGreyscale;
             p.width = p.height = 8000;
             p.imageData = std::string(80000, '\0') + Bytes({0x81, 0});
         }),
         psd::kPsdBadImageData, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Read read = ReadBytes(c.bytes);
        EXPECT_EQ(read.result, c.expected);
        EXPECT_EQ(read.picture.made, c.made);
    }
}

TEST(PsdDocument, PackedRunsNeverWritePastARow)
{
    // Two rows of two grey pixels: the first row's literal of five bytes and run of 100 are cut at the
    // row's end, and the second row starts on its own.
    Psd psd;
    psd.mode = psd::kPsdGreyscale;
    psd.channels = 1;
    psd.width = 2;
    psd.height = 2;
    psd.compression = 1;
    psd.imageData =
        Be16(6) + Be16(2) + Bytes({4, 10, 11, 12, 13, 14}) + Bytes({0x9D, 50}) + Bytes({0xFF, 60});
    const Read read = ReadBytes(psd.Bytes());
    ASSERT_EQ(read.result, psd::kPsdOk);
    EXPECT_EQ(read.picture.pixels, (std::vector<std::uint32_t>{Grey(10), Grey(11), Grey(50), Grey(50)}));
}

} // namespace
