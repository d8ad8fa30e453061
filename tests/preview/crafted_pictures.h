#pragma once

// Picture files of a few bytes that declare a size of the test's choosing, written byte by byte from the
// public descriptions of the formats: the headers a damaged disk may hold. Their pixel data is cut short
// or empty; what a decoder sets up for them is what their headers declare.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
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

inline std::uint16_t ReadWord(const Bytes& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
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

// The LZW codes of `count` pixels all of colour 0 at a code size of two bits, as GIF encoders write them:
// each code one pixel longer than the last until the table is full, then a clear code, with the code
// width raised as the table grows. A picture of millions of pixels takes a few kilobytes.
inline Bytes LzwOfOneColour(std::uint64_t count)
{
    constexpr std::uint32_t kClear = 4, kEnd = 5, kFirst = 6, kTableFull = 4095;
    Bytes out;
    std::uint32_t pending = 0, pendingBits = 0, width = 3, next = kFirst;
    auto put = [&](std::uint32_t code) {
        pending |= code << pendingBits;
        for (pendingBits += width; pendingBits >= 8; pendingBits -= 8, pending >>= 8)
            out.push_back(static_cast<std::uint8_t>(pending));
        if (next >= (1u << width) && code <= kTableFull)
            ++width;
    };
    put(kClear);
    while (count > 0) {
        // Code k (from kFirst on) stands for k - 4 pixels of colour 0, code 0 for one.
        const std::uint64_t length = std::min<std::uint64_t>(next - 5, count);
        put(length == 1 ? 0 : static_cast<std::uint32_t>(length + 4));
        count -= length;
        if (count == 0)
            break;
        if (next >= kTableFull) {
            put(kClear);
            next = kFirst;
            width = 3;
        } else {
            ++next;
        }
    }
    put(kEnd);
    if (pendingBits > 0)
        out.push_back(static_cast<std::uint8_t>(pending));
    return out;
}

// A screen of the size with a four-colour table (colour 0 green) and frames at (0, 0) of the sizes, each
// coded in full in colour 0. `signature` is "GIF89a", or another six bytes a decoder may still take.
inline Bytes CodedGif(const char* signature, std::uint32_t width, std::uint32_t height,
                      const std::vector<std::pair<std::uint32_t, std::uint32_t>>& frames)
{
    Bytes bytes;
    Text(bytes, signature);
    Le16(bytes, width);
    Le16(bytes, height);
    bytes.insert(bytes.end(), {0x81, 0, 0}); // a global table of four colours
    bytes.insert(bytes.end(), {0x20, 0xA0, 0x40, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});
    for (const auto& frame : frames) {
        bytes.push_back(0x2C);
        Le16(bytes, 0);
        Le16(bytes, 0);
        Le16(bytes, frame.first);
        Le16(bytes, frame.second);
        bytes.push_back(0);
        bytes.push_back(2); // LZW code size
        const Bytes codes = LzwOfOneColour(static_cast<std::uint64_t>(frame.first) * frame.second);
        for (std::size_t at = 0; at < codes.size(); at += 255) { // sub-blocks, each led by its length
            const std::size_t length = std::min<std::size_t>(255, codes.size() - at);
            bytes.push_back(static_cast<std::uint8_t>(length));
            bytes.insert(bytes.end(), codes.begin() + at, codes.begin() + at + length);
        }
        bytes.push_back(0);
    }
    bytes.push_back(0x3B);
    return bytes;
}

// A grey progressive JPEG of the size: one scan of the DC coefficients (every block the same grey), then
// `emptyScans` scans of the AC coefficients that hold no data, each of which a decoder still goes
// through over the whole picture.
inline Bytes ProgressiveJpeg(std::uint32_t width, std::uint32_t height, std::uint32_t emptyScans)
{
    Bytes bytes = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
    bytes.insert(bytes.end(), 64, 1); // every quantiser 1
    bytes.insert(bytes.end(), {0xFF, 0xC2, 0, 11, 8});
    Be16(bytes, height);
    Be16(bytes, width);
    bytes.insert(bytes.end(), {1, 1, 0x11, 0});
    // A DC table and an AC table of one one-bit code each: no difference, and the end of the block.
    for (std::uint8_t table : {0x00, 0x10}) {
        bytes.insert(bytes.end(), {0xFF, 0xC4, 0, 20, table, 1});
        bytes.insert(bytes.end(), 15, 0);
        bytes.push_back(0);
    }
    bytes.insert(bytes.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 0, 0});
    const std::uint64_t blocks = static_cast<std::uint64_t>((width + 7) / 8) * ((height + 7) / 8);
    bytes.insert(bytes.end(), static_cast<std::size_t>(blocks / 8), 0);
    if (blocks % 8 != 0)
        bytes.push_back(static_cast<std::uint8_t>(0xFF >> (blocks % 8))); // padded with one bits
    for (std::uint32_t scan = 0; scan < emptyScans; ++scan)
        bytes.insert(bytes.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 1, 63, 0});
    bytes.insert(bytes.end(), {0xFF, 0xD9});
    return bytes;
}

// An 8-bit grey TIFF whose width tag is given once for each of `widths` (a decoder takes the first), of
// one PackBits strip that holds every row of the first width in mid grey.
inline Bytes PackBitsTiff(const std::vector<std::uint32_t>& widths, std::uint32_t height)
{
    Bytes row;
    for (std::uint32_t left = widths.front(); left > 0;) {
        const std::uint32_t run = std::min<std::uint32_t>(left, 128);
        row.push_back(run == 1 ? 0 : static_cast<std::uint8_t>(257 - run)); // a literal of one or a run
        row.push_back(0x80);
        left -= run;
    }
    const std::uint32_t entries = static_cast<std::uint32_t>(widths.size()) + 8;
    const std::uint32_t stripAt = 8 + 2 + entries * 12 + 4;
    Bytes bytes;
    Text(bytes, "II");
    Le16(bytes, 42);
    Le32(bytes, 8);
    Le16(bytes, entries);
    auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint32_t value) {
        Le16(bytes, tag);
        Le16(bytes, type);
        Le32(bytes, 1);
        Le32(bytes, value);
    };
    for (std::uint32_t width : widths)
        entry(256, 4, width);
    entry(257, 4, height);
    entry(258, 3, 8);
    entry(259, 3, 32773); // PackBits
    entry(262, 3, 1);     // black is zero
    entry(273, 4, stripAt);
    entry(277, 3, 1);
    entry(278, 4, height);
    entry(279, 4, static_cast<std::uint32_t>(row.size() * height));
    Le32(bytes, 0);
    for (std::uint32_t y = 0; y < height; ++y)
        bytes.insert(bytes.end(), row.begin(), row.end());
    return bytes;
}

// A device-independent bitmap's header and two colours (0 white, 1 red), and its 8-bit run-length code:
// every row one run of colour 1 when `filled`, else only the end of the bitmap.
inline Bytes RunLengthDib(std::uint32_t width, std::uint32_t height, bool filled, Bytes& bits)
{
    Bytes info;
    Le32(info, 40);
    Le32(info, width);
    Le32(info, height);
    Le16(info, 1);
    Le16(info, 8);
    Le32(info, 1); // BI_RLE8
    bits.clear();
    for (std::uint32_t y = 0; filled && y < height; ++y) {
        for (std::uint32_t left = width; left > 0;) {
            const std::uint32_t run = std::min<std::uint32_t>(left, 255);
            bits.insert(bits.end(), {static_cast<std::uint8_t>(run), 1});
            left -= run;
        }
        bits.insert(bits.end(), {0, 0}); // end of the row
    }
    bits.insert(bits.end(), {0, 1}); // end of the bitmap
    Le32(info, static_cast<std::uint32_t>(bits.size()));
    Le32(info, 2835);
    Le32(info, 2835);
    Le32(info, 2);
    Le32(info, 0);
    Le32(info, 0xFFFFFF);
    Le32(info, 0xFF0000);
    return info;
}

// An enhanced metafile of bounds `size` x `size` pixels (at 10 pixels to the millimetre) whose one
// drawing record stretches a run-length bitmap of the bitmap's size over them.
inline Bytes EmfWithBitmap(std::uint32_t size, std::uint32_t bitmapWidth, std::uint32_t bitmapHeight,
                           bool filled = true)
{
    Bytes bits;
    const Bytes info = RunLengthDib(bitmapWidth, bitmapHeight, filled, bits);
    bits.resize((bits.size() + 3) / 4 * 4, 0); // records are whole 32-bit words
    Bytes record;
    Le32(record, 81); // EMR_STRETCHDIBITS
    Le32(record, static_cast<std::uint32_t>(80 + info.size() + bits.size()));
    for (std::uint32_t value : {0u, 0u, size - 1, size - 1, 0u, 0u, 0u, 0u, bitmapWidth, bitmapHeight})
        Le32(record, value);
    Le32(record, 80);
    Le32(record, static_cast<std::uint32_t>(info.size()));
    Le32(record, static_cast<std::uint32_t>(80 + info.size()));
    Le32(record, static_cast<std::uint32_t>(bits.size()));
    Le32(record, 0);          // DIB_RGB_COLORS
    Le32(record, 0x00CC0020); // SRCCOPY
    Le32(record, size);
    Le32(record, size);
    record.insert(record.end(), info.begin(), info.end());
    record.insert(record.end(), bits.begin(), bits.end());
    Bytes bytes = Emf(size, size, size * 10);
    // The file's length and its three records.
    const std::uint32_t total = static_cast<std::uint32_t>(bytes.size() + record.size() + 20);
    for (int at = 0; at < 4; ++at) {
        bytes[48 + at] = static_cast<std::uint8_t>(total >> (8 * at));
        bytes[52 + at] = static_cast<std::uint8_t>(3 >> (8 * at));
    }
    bytes.insert(bytes.end(), record.begin(), record.end());
    for (std::uint32_t value : {14u, 20u, 0u, 16u, 20u}) // EMR_EOF
        Le32(bytes, value);
    return bytes;
}

// A placeable Windows metafile of `size` x `size` at 1440 units to the inch whose one record stretches a
// run-length bitmap of the bitmap's size over it.
inline Bytes WmfWithBitmap(std::uint32_t size, std::uint32_t bitmapWidth, std::uint32_t bitmapHeight,
                           bool filled = true)
{
    Bytes bits;
    const Bytes info = RunLengthDib(bitmapWidth, bitmapHeight, filled, bits);
    Bytes record;
    const std::uint32_t recordWords = static_cast<std::uint32_t>((28 + info.size() + bits.size() + 1) / 2);
    Le32(record, recordWords);
    Le16(record, 0x0F43); // META_STRETCHDIB
    Le32(record, 0x00CC0020);
    Le16(record, 0); // DIB_RGB_COLORS
    for (std::uint32_t value : {bitmapHeight, bitmapWidth, 0u, 0u, size, size, 0u, 0u})
        Le16(record, value);
    record.insert(record.end(), info.begin(), info.end());
    record.insert(record.end(), bits.begin(), bits.end());
    record.resize(recordWords * 2u, 0);
    Bytes bytes;
    Le32(bytes, 0x9AC6CDD7);
    Le16(bytes, 0);
    for (std::uint32_t value : {0u, 0u, size, size, 1440u})
        Le16(bytes, value);
    Le32(bytes, 0);
    std::uint16_t checksum = 0;
    for (std::size_t at = 0; at < bytes.size(); at += 2)
        checksum ^= ReadWord(bytes, at);
    Le16(bytes, checksum);
    const std::uint32_t fileWords = 9 + recordWords + 3;
    for (std::uint32_t value : {1u, 9u, 0x300u})
        Le16(bytes, value);
    Le32(bytes, fileWords);
    Le16(bytes, 0);
    Le32(bytes, recordWords);
    Le16(bytes, 0);
    bytes.insert(bytes.end(), record.begin(), record.end());
    Le32(bytes, 3);
    Le16(bytes, 0); // the end record
    return bytes;
}

} // namespace crafted
