#pragma once

// The Photoshop document reader of the PSD preview: the header, the colour-mode data, the image
// resources and the merged image of a ".psd" file, turned into RGB pixels. Layers are not read.
// Portable: the Windows view puts the pixels into a bitmap.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace psd {

// What reading a document ends with.
enum PsdResult
{
    kPsdOk = 0,
    kPsdCannotOpen = -1,
    kPsdBadHeader = -2,
    kPsdBadColourModeData = -3,
    kPsdBadResources = -4,
    kPsdBadImageData = -6,
    kPsdNoBitmap = -9,
    kPsdZipCompressed = -10,
    kPsdZipPredictionCompressed = -11,
    kPsdUnknownCompression = -12,
};

// Colour modes of the header.
enum PsdColourMode
{
    kPsdBitmapMode = 0,
    kPsdGreyscale = 1,
    kPsdIndexed = 2,
    kPsdRgb = 3,
    kPsdCmyk = 4,
    kPsdMultichannel = 7,
    kPsdDuotone = 8,
    kPsdLab = 9,
};

// Pixels per metre when the document has no resolution resource.
constexpr int kPsdDefaultPixelsPerMetre = 3780;
// The largest document drawn: a side of 30,000 pixels, 1 GiB of channel data and 64 Mi pixels.
constexpr std::uint32_t kPsdMaxSide = 30000;
constexpr std::uint64_t kPsdMaxChannelBytes = 1ull << 30;
constexpr std::uint64_t kPsdMaxPixels = 64ull * 1024 * 1024;

// The values a document holds besides its pixels; -1 (or unset flags) for what it does not hold.
struct PsdDocument
{
    // Header.
    int channels = -1;
    std::int64_t height = -1;
    std::int64_t width = -1;
    int depth = -1;
    int mode = -1;
    // Colour-mode data (the palette of an indexed document: 256 red, 256 green, 256 blue).
    std::vector<std::uint8_t> colourModeData;
    // Resources 1046 and 1047.
    int indexedColourCount = -1;
    int transparentIndex = -1;
    // Resource 1037.
    std::int32_t globalAngle = 30;
    // Resource 1005: the integer parts of the resolutions, with their units.
    bool hasResolution = false;
    int horizontalResolution = 0;
    std::uint32_t horizontalResolutionFractionAndUnit = 0;
    int widthUnit = 0;
    int verticalResolution = 0;
    std::uint32_t verticalResolutionFractionAndUnit = 0;
    int heightUnit = 0;
    // Resource 1000.
    bool hasChannelsInfo = false;
    int infoChannels = 0, infoRows = 0, infoColumns = 0, infoDepth = 0, infoMode = 0;
    // Resource 1007.
    bool hasDisplayInfo = false;
    int displayColourSpace = 0;
    int displayColour[4] = {0, 0, 0, 0};
    int displayOpacity = 0;
    int displayKind = 0;
    // Resources 1033 and 1036.
    bool hasThumbnail = false;
    std::uint32_t thumbnailFormat = 0, thumbnailWidth = 0, thumbnailHeight = 0, thumbnailWidthBytes = 0,
                  thumbnailTotalSize = 0, thumbnailCompressedSize = 0;
    int thumbnailBitsPerPixel = 0, thumbnailPlanes = 0;
    // Resource 1034.
    bool copyrighted = false;
};

// The merged image as RGB pixels (0x00RRGGBB, top row first), white where the mode gives no colour.
struct PsdPicture
{
    bool made = false;
    int width = 0;
    int height = 0;
    int pixelsPerMetreX = kPsdDefaultPixelsPerMetre;
    int pixelsPerMetreY = kPsdDefaultPixelsPerMetre;
    std::vector<std::uint32_t> pixels;
};

// Reads an open file from its start. kPsdOk with or without a picture (raw data of an unsupported mode,
// or too short, makes none), else a negative result and no picture.
int ReadPsd(std::FILE* file, PsdDocument& document, PsdPicture& picture);

// The colour of one pixel from its samples (each depth / 8 bytes, big-endian, as numbers), in the
// document's mode; false when the mode gives no colour (the pixel stays white).
bool PsdPixelColour(const PsdDocument& document, const std::uint32_t* samples, int sampleCount,
                    std::uint32_t& colour);

} // namespace psd
