#pragma once

// Picture files of a few bytes that declare a size of the test's choosing, written byte by byte from the
// public descriptions of the formats: the headers a damaged disk may hold. Their pixel data is cut short
// or empty; what a decoder sets up for them is what their headers declare.
#include <cstdint>
#include <string>
#include <vector>

namespace crafted {

using Bytes = std::vector<std::uint8_t>;

inline void Le16(Bytes& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void Le32(Bytes& bytes, std::uint32_t value)
{
    Le16(bytes, value & 0xFFFF);
    Le16(bytes, value >> 16);
}

inline void Be16(Bytes& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}

inline void Be32(Bytes& bytes, std::uint32_t value)
{
    Be16(bytes, value >> 16);
    Be16(bytes, value & 0xFFFF);
}

inline void Text(Bytes& bytes, const char* text)
{
    bytes.insert(bytes.end(), text, text + std::char_traits<char>::length(text));
}

// An 8-bit run-length coded bitmap with a grey palette whose only code ends the picture; a negative
// height is a top-down picture.
inline Bytes Bmp(std::int32_t width, std::int32_t height)
{
    Bytes bytes;
    Text(bytes, "BM");
    Le32(bytes, 14 + 40 + 1024 + 2);
    Le32(bytes, 0);
    Le32(bytes, 14 + 40 + 1024);
    Le32(bytes, 40);
    Le32(bytes, static_cast<std::uint32_t>(width));
    Le32(bytes, static_cast<std::uint32_t>(height));
    Le16(bytes, 1);
    Le16(bytes, 8);
    Le32(bytes, 1); // BI_RLE8
    Le32(bytes, 2);
    Le32(bytes, 2835);
    Le32(bytes, 2835);
    Le32(bytes, 256);
    Le32(bytes, 0);
    for (std::uint32_t grey = 0; grey < 256; ++grey)
        Le32(bytes, grey * 0x010101);
    bytes.push_back(0);
    bytes.push_back(1); // end of the bitmap
    return bytes;
}

inline Bytes PngHeader(std::uint32_t width, std::uint32_t height)
{
    Bytes bytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Be32(bytes, 13);
    Text(bytes, "IHDR");
    Be32(bytes, width);
    Be32(bytes, height);
    bytes.insert(bytes.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    Be32(bytes, 0);
    return bytes;
}

// IHDR, then the end: no pixel data at all.
inline Bytes Png(std::uint32_t width, std::uint32_t height)
{
    Bytes bytes = PngHeader(width, height);
    Be32(bytes, 0);
    Text(bytes, "IEND");
    Be32(bytes, 0xAE426082);
    return bytes;
}

// A JFIF segment, then a baseline frame header of three components, then the end of the picture.
inline Bytes Jpeg(std::uint32_t width, std::uint32_t height)
{
    Bytes bytes = {0xFF, 0xD8, 0xFF, 0xE0};
    Be16(bytes, 16);
    Text(bytes, "JFIF");
    bytes.insert(bytes.end(), {0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    bytes.insert(bytes.end(), {0xFF, 0xC0});
    Be16(bytes, 17);
    bytes.push_back(8);
    Be16(bytes, height);
    Be16(bytes, width);
    bytes.insert(bytes.end(), {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
    bytes.insert(bytes.end(), {0xFF, 0xD9});
    return bytes;
}

// A screen of the size and one frame at (left, top) of the frame's size, with no colour table.
inline Bytes Gif(std::uint32_t width, std::uint32_t height, std::uint32_t left = 0, std::uint32_t top = 0,
                 std::uint32_t frameWidth = 0, std::uint32_t frameHeight = 0)
{
    Bytes bytes;
    Text(bytes, "GIF89a");
    Le16(bytes, width);
    Le16(bytes, height);
    bytes.insert(bytes.end(), {0, 0, 0});
    bytes.insert(bytes.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0}); // a graphic control extension first
    bytes.push_back(0x2C);
    Le16(bytes, left);
    Le16(bytes, top);
    Le16(bytes, frameWidth != 0 ? frameWidth : width);
    Le16(bytes, frameHeight != 0 ? frameHeight : height);
    bytes.insert(bytes.end(), {0, 2, 0, 0x3B});
    return bytes;
}

// A little-endian TIFF of one directory: the size as LONGs, and tiles of the tile size when given.
inline Bytes Tiff(std::uint32_t width, std::uint32_t height, std::uint32_t tileWidth = 0,
                  std::uint32_t tileLength = 0)
{
    Bytes bytes;
    Text(bytes, "II");
    Le16(bytes, 42);
    Le32(bytes, 8);
    const bool tiled = tileWidth != 0;
    Le16(bytes, tiled ? 5 : 3);
    auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t value) {
        Le16(bytes, tag);
        Le16(bytes, type);
        Le32(bytes, 1);
        Le32(bytes, value);
    };
    entry(256, 4, width);
    entry(257, 4, height);
    entry(258, 3, 8);
    if (tiled) {
        entry(322, 4, tileWidth);
        entry(323, 4, tileLength);
    }
    Le32(bytes, 0);
    return bytes;
}

// An icon of one image: a PNG of the size, or a bitmap (whose height counts the mask too).
inline Bytes Icon(std::uint32_t width, std::uint32_t height, bool png = true)
{
    Bytes image;
    if (png) {
        image = Png(width, height);
    } else {
        Le32(image, 40);
        Le32(image, width);
        Le32(image, height * 2);
        Le16(image, 1);
        Le16(image, 32);
        for (int field = 0; field < 6; ++field)
            Le32(image, 0);
    }
    Bytes bytes;
    Le16(bytes, 0);
    Le16(bytes, 1);
    Le16(bytes, 1);
    bytes.insert(bytes.end(), {0, 0, 0, 0});
    Le16(bytes, 1);
    Le16(bytes, 32);
    Le32(bytes, static_cast<std::uint32_t>(image.size()));
    Le32(bytes, 22);
    bytes.insert(bytes.end(), image.begin(), image.end());
    return bytes;
}

// An enhanced metafile of its header alone: bounds of the size in pixels, and a frame of
// frameHundredths (hundredths of a millimetre, square) on a reference device of 100 pixels to 10 mm.
inline Bytes Emf(std::uint32_t width, std::uint32_t height, std::uint32_t frameHundredths = 0)
{
    Bytes bytes;
    Le32(bytes, 1);
    Le32(bytes, 88);
    for (std::uint32_t value : {0u, 0u, width - 1, height - 1, 0u, 0u, frameHundredths, frameHundredths})
        Le32(bytes, value);
    Le32(bytes, 0x464D4520);
    Le32(bytes, 0x10000);
    Le32(bytes, 88);
    Le32(bytes, 1);
    Le16(bytes, 1);
    Le16(bytes, 0);
    Le32(bytes, 0);
    Le32(bytes, 0);
    Le32(bytes, 0);
    for (std::uint32_t value : {100u, 100u, 10u, 10u})
        Le32(bytes, value);
    return bytes;
}

} // namespace crafted
