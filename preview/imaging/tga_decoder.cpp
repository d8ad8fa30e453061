#include "raster_decoders.h"

namespace imaging {

namespace {

// The 18-byte TGA header.
constexpr std::size_t kTgaHeaderSize = 18;
constexpr std::size_t kTgaIdLength = 0;      // bytes of the image id that follows the header
constexpr std::size_t kTgaColourMapType = 1; // 1 when a colour map follows the id
constexpr std::size_t kTgaImageType = 2;     // 1 mapped, 2 true colour, 3 grey; +8 when run-length coded
constexpr std::size_t kTgaMapFirst = 3;      // index of the first colour-map entry stored
constexpr std::size_t kTgaMapLength = 5;     // entries stored
constexpr std::size_t kTgaMapEntryBits = 7;  // 15, 16, 24 or 32
constexpr std::size_t kTgaWidth = 12;
constexpr std::size_t kTgaHeight = 14;
constexpr std::size_t kTgaPixelBits = 16;
constexpr std::size_t kTgaDescriptor = 17; // bit 4 right to left, bit 5 top row first

constexpr std::uint32_t Scale5(std::uint32_t value)
{
    return (value * 255 + 15) / 31;
}

// One stored colour (a pixel or a map entry) of 2, 3 or 4 bytes, blue first.
std::uint32_t TrueColour(const std::uint8_t* bytes, unsigned byteCount)
{
    if (byteCount == 2) {
        const std::uint32_t value = ReadLe16(bytes);
        return Rgb(Scale5((value >> 10) & 31), Scale5((value >> 5) & 31), Scale5(value & 31));
    }
    return Rgb(bytes[2], bytes[1], bytes[0]);
}

} // namespace

bool DecodeTga(const std::uint8_t* data, std::size_t size, PicturePixels& picture)
{
    picture = PicturePixels();
    if (data == nullptr || size < kTgaHeaderSize)
        return false;
    const unsigned imageType = data[kTgaImageType];
    const unsigned baseType = imageType & 7;
    const bool runLength = (imageType & 8) != 0;
    if ((imageType & ~11u) != 0 || baseType < 1 || baseType > 3)
        return false;
    const unsigned pixelBits = data[kTgaPixelBits];
    const unsigned pixelBytes = (pixelBits + 7) / 8;
    const std::uint32_t width = ReadLe16(data + kTgaWidth);
    const std::uint32_t height = ReadLe16(data + kTgaHeight);
    const unsigned descriptor = data[kTgaDescriptor];

    // The colour map, kept as colours.
    std::size_t offset = kTgaHeaderSize + data[kTgaIdLength];
    std::vector<std::uint32_t> colourMap;
    const std::uint32_t mapFirst = ReadLe16(data + kTgaMapFirst);
    if (data[kTgaColourMapType] == 1) {
        const std::uint32_t mapLength = ReadLe16(data + kTgaMapLength);
        const unsigned entryBits = data[kTgaMapEntryBits];
        const unsigned entryBytes = (entryBits + 7) / 8;
        if (entryBytes < 2 || entryBytes > 4)
            return false;
        if (offset > size || (size - offset) / entryBytes < mapLength)
            return false;
        for (std::uint32_t entry = 0; entry < mapLength; ++entry)
            colourMap.push_back(TrueColour(data + offset + entry * entryBytes, entryBytes));
        offset += static_cast<std::size_t>(mapLength) * entryBytes;
    } else if (data[kTgaColourMapType] != 0) {
        return false;
    }
    if (offset > size)
        return false;

    switch (baseType) {
    case 1:
        if (colourMap.empty() || (pixelBits != 8 && pixelBits != 16))
            return false;
        break;
    case 2:
        if (pixelBits != 15 && pixelBits != 16 && pixelBits != 24 && pixelBits != 32)
            return false;
        break;
    default:
        if (pixelBits != 8 && pixelBits != 16)
            return false;
        break;
    }

    const std::uint64_t count = static_cast<std::uint64_t>(width) * height;
    // A run of 128 pixels takes one header and one pixel.
    if (!AllocatePicture(picture, width, height, count * pixelBytes, size - offset, runLength ? 128 : 1)) {
        picture = PicturePixels();
        return false;
    }

    auto colourOf = [&](const std::uint8_t* bytes) -> std::uint32_t {
        if (baseType == 1) {
            const std::uint32_t index = pixelBytes == 1 ? bytes[0] : ReadLe16(bytes);
            if (index < mapFirst || index - mapFirst >= colourMap.size())
                return 0;
            return colourMap[index - mapFirst];
        }
        if (baseType == 3)
            return Rgb(bytes[0], bytes[0], bytes[0]);
        return TrueColour(bytes, pixelBytes);
    };
    const bool topFirst = (descriptor & 0x20) != 0;
    const bool rightFirst = (descriptor & 0x10) != 0;
    auto put = [&](std::uint64_t index, std::uint32_t colour) {
        std::uint32_t row = static_cast<std::uint32_t>(index / width);
        std::uint32_t column = static_cast<std::uint32_t>(index % width);
        if (!topFirst)
            row = height - 1 - row;
        if (rightFirst)
            column = width - 1 - column;
        picture.pixels[static_cast<std::size_t>(row) * width + column] = colour;
    };

    const std::uint8_t* cursor = data + offset;
    const std::uint8_t* end = data + size;
    std::uint64_t done = 0;
    while (done < count) {
        if (!runLength) {
            if (static_cast<std::size_t>(end - cursor) < pixelBytes)
                break;
            put(done++, colourOf(cursor));
            cursor += pixelBytes;
            continue;
        }
        if (cursor >= end)
            break;
        const unsigned header = *cursor++;
        const std::uint64_t length = (header & 0x7F) + 1u;
        const bool repeated = (header & 0x80) != 0;
        // A packet may carry on into the next row; it never writes past the picture.
        for (std::uint64_t n = 0; n < length && done < count; ++n) {
            if (static_cast<std::size_t>(end - cursor) < pixelBytes) {
                cursor = end;
                break;
            }
            put(done++, colourOf(cursor));
            if (!repeated)
                cursor += pixelBytes;
        }
        if (repeated && static_cast<std::size_t>(end - cursor) >= pixelBytes)
            cursor += pixelBytes;
        if (cursor >= end && done < count)
            break;
    }
    if (done < count) {
        picture = PicturePixels();
        return false;
    }
    return true;
}

} // namespace imaging
