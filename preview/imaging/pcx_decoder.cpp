#include "raster_decoders.h"

namespace imaging {

namespace {

// The 128-byte PCX header.
constexpr std::size_t kPcxHeaderSize = 128;
constexpr std::size_t kPcxManufacturer = 0; // always 0x0A
constexpr std::size_t kPcxEncoding = 2;     // 1: run-length coded
constexpr std::size_t kPcxBitsPerPixel = 3; // per plane
constexpr std::size_t kPcxMinX = 4;
constexpr std::size_t kPcxMinY = 6;
constexpr std::size_t kPcxMaxX = 8; // inclusive
constexpr std::size_t kPcxMaxY = 10;
constexpr std::size_t kPcxHeaderPalette = 16; // 16 colours of 3 bytes
constexpr std::size_t kPcxPlanes = 65;
constexpr std::size_t kPcxBytesPerLine = 66; // per plane, even
// The 256-colour palette of 8-bit pictures: a 0x0C byte and 768 bytes at the end of the file.
constexpr std::size_t kPcxEndPaletteSize = 769;
constexpr std::uint8_t kPcxEndPaletteMark = 0x0C;
// A run of 63 bytes takes two.
constexpr std::uint64_t kPcxLargestExpansion = 32;

} // namespace

bool DecodePcx(const std::uint8_t* data, std::size_t size, PicturePixels& picture)
{
    picture = PicturePixels();
    if (data == nullptr || size < kPcxHeaderSize || data[kPcxManufacturer] != 0x0A)
        return false;
    const bool runLength = data[kPcxEncoding] == 1;
    if (data[kPcxEncoding] > 1)
        return false;
    const unsigned bits = data[kPcxBitsPerPixel];
    const unsigned planes = data[kPcxPlanes];
    const std::uint32_t bytesPerLine = ReadLe16(data + kPcxBytesPerLine);
    const std::uint32_t minX = ReadLe16(data + kPcxMinX);
    const std::uint32_t minY = ReadLe16(data + kPcxMinY);
    const std::uint32_t maxX = ReadLe16(data + kPcxMaxX);
    const std::uint32_t maxY = ReadLe16(data + kPcxMaxY);
    if (maxX < minX || maxY < minY)
        return false;
    const std::uint32_t width = maxX - minX + 1;
    const std::uint32_t height = maxY - minY + 1;

    const bool indexedBits =
        (bits == 1 && planes >= 1 && planes <= 4) || ((bits == 2 || bits == 4) && planes == 1);
    const bool bytes = bits == 8 && (planes == 1 || planes == 3 || planes == 4);
    if (!indexedBits && !bytes)
        return false;
    if (static_cast<std::uint64_t>(bytesPerLine) * 8 < static_cast<std::uint64_t>(width) * bits)
        return false;
    const std::uint64_t scanline = static_cast<std::uint64_t>(bytesPerLine) * planes;
    const std::size_t available = size - kPcxHeaderSize;
    if (!AllocatePicture(picture, width, height, scanline * height, available,
                         runLength ? kPcxLargestExpansion : 1)) {
        picture = PicturePixels();
        return false;
    }

    std::uint32_t palette[256];
    for (unsigned index = 0; index < 256; ++index)
        palette[index] = Rgb(index, index, index);
    if (bits == 1 && planes == 1) {
        palette[0] = Rgb(0, 0, 0);
        palette[1] = Rgb(255, 255, 255);
    } else if (indexedBits) {
        for (unsigned index = 0; index < 16; ++index) {
            const std::uint8_t* entry = data + kPcxHeaderPalette + index * 3;
            palette[index] = Rgb(entry[0], entry[1], entry[2]);
        }
    } else if (planes == 1 && available >= kPcxEndPaletteSize &&
               data[size - kPcxEndPaletteSize] == kPcxEndPaletteMark) {
        for (unsigned index = 0; index < 256; ++index) {
            const std::uint8_t* entry = data + size - 768 + index * 3;
            palette[index] = Rgb(entry[0], entry[1], entry[2]);
        }
    }

    std::vector<std::uint8_t> row(static_cast<std::size_t>(scanline));
    const std::uint8_t* cursor = data + kPcxHeaderSize;
    const std::uint8_t* end = data + size;
    // A run may carry on into the next scan line.
    unsigned runLeft = 0;
    std::uint8_t runValue = 0;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::size_t filled = 0; filled < row.size();) {
            if (runLeft == 0) {
                if (cursor >= end) {
                    picture = PicturePixels();
                    return false;
                }
                const std::uint8_t code = *cursor++;
                if (runLength && code >= 0xC0) {
                    if (cursor >= end) {
                        picture = PicturePixels();
                        return false;
                    }
                    runLeft = code & 0x3F;
                    runValue = *cursor++;
                } else {
                    runLeft = 1;
                    runValue = code;
                }
                continue;
            }
            row[filled++] = runValue;
            --runLeft;
        }
        std::uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(y) * width;
        for (std::uint32_t x = 0; x < width; ++x) {
            if (bytes && planes > 1) {
                out[x] = Rgb(row[x], row[bytesPerLine + x], row[2 * bytesPerLine + x]);
            } else if (bytes) {
                out[x] = palette[row[x]];
            } else if (bits == 1) {
                unsigned index = 0;
                for (unsigned plane = 0; plane < planes; ++plane)
                    index |= ((row[plane * bytesPerLine + x / 8] >> (7 - x % 8)) & 1u) << plane;
                out[x] = palette[index];
            } else {
                const unsigned perByte = 8 / bits;
                const unsigned shift = 8 - bits * (x % perByte + 1);
                out[x] = palette[(row[x / perByte] >> shift) & ((1u << bits) - 1)];
            }
        }
    }
    return true;
}

} // namespace imaging
