#include "picture_header.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "picture_pixels.h"

namespace imaging {

namespace {

constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// The PNG's first chunk is IHDR: its width and height follow the chunk's length and type.
constexpr std::size_t kPngWidth = 16;
constexpr std::size_t kPngHeight = 20;

// BITMAPFILEHEADER is 14 bytes; the info header after it starts with its own size. The core header of
// 12 bytes has 16-bit sides, every later one signed 32-bit sides (a negative height is a top-down picture).
constexpr std::size_t kBmpInfoHeader = 14;
constexpr std::uint32_t kBmpCoreHeaderSize = 12;

// ENHMETAHEADER: record type 1, bounds in device pixels at 8, frame in hundredths of a millimetre at 24,
// the signature " EMF" at 40, the reference device in pixels at 72 and in millimetres at 80.
constexpr std::uint32_t kEmfHeaderRecord = 1;
constexpr std::uint32_t kEmfSignature = 0x464D4520;
constexpr std::size_t kEmfBounds = 8;
constexpr std::size_t kEmfFrame = 24;
constexpr std::size_t kEmfSignatureAt = 40;
constexpr std::size_t kEmfDevicePixels = 72;
constexpr std::size_t kEmfDeviceMillimetres = 80;
constexpr std::size_t kEmfHeaderSize = 88;

// Records whose bitmaps a player sets up whole, with where each record holds its bitmap's info header
// (an offset from the record's start, then its length): EMR_BITBLT, EMR_STRETCHBLT, EMR_MASKBLT (and its
// mask), EMR_PLGBLT (and its mask), EMR_SETDIBITSTODEVICE, EMR_STRETCHDIBITS, EMR_CREATEMONOBRUSH,
// EMR_CREATEDIBPATTERNBRUSHPT, EMR_EXTCREATEPEN, EMR_ALPHABLEND, EMR_TRANSPARENTBLT.
struct RecordBitmap
{
    std::uint32_t type;
    std::size_t infoOffsetAt;
};
constexpr RecordBitmap kEmfRecordBitmaps[] = {{76, 84},  {77, 84},  {78, 84}, {78, 112}, {79, 96},
                                              {79, 124}, {80, 48},  {81, 48}, {93, 16},  {94, 16},
                                              {95, 12},  {114, 84}, {116, 84}};
constexpr std::uint32_t kEmfEndRecord = 14;

// The placeable header of a Windows metafile: its key, its bounds (four 16-bit values at 6), its units to
// the inch at 14; the metafile's own 18-byte header follows it, then its records: a length in 16-bit
// words, a function, parameters. The records that hold a bitmap hold it whole, its info header at a fixed
// place: META_DIBBITBLT, META_DIBSTRETCHBLT (those two only when longer than their form without one),
// META_SETDIBTODEV, META_STRETCHDIB, META_DIBCREATEPATTERNBRUSH.
constexpr std::uint32_t kWmfPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kWmfBounds = 6;
constexpr std::size_t kWmfUnitsPerInch = 14;
constexpr std::size_t kWmfFirstRecord = 22 + 18;
constexpr std::uint32_t kWmfPixelsPerInch = 96;
struct WmfRecordBitmap
{
    std::uint16_t function;
    std::size_t infoAt;
    std::uint32_t shortestWords; // a record of at most this many words holds no bitmap
};
constexpr WmfRecordBitmap kWmfRecordBitmaps[] = {
    {0x0940, 22, 12}, {0x0B41, 26, 12}, {0x0D33, 24, 0}, {0x0F43, 28, 0}, {0x0142, 10, 0}};

// TIFF tags of the first image's size and of its tiles.
constexpr std::uint16_t kTiffImageWidth = 256;
constexpr std::uint16_t kTiffImageLength = 257;
constexpr std::uint16_t kTiffTileWidth = 322;
constexpr std::uint16_t kTiffTileLength = 323;

std::int64_t SignedLe32(const std::uint8_t* bytes)
{
    return static_cast<std::int32_t>(ReadLe32(bytes));
}

std::uint64_t Distance(std::int64_t from, std::int64_t to)
{
    return static_cast<std::uint64_t>(to >= from ? to - from : from - to);
}

// Pixels counted together, held far below the point where they would wrap.
void AddPixels(std::uint64_t& total, std::uint64_t width, std::uint64_t height)
{
    constexpr std::uint64_t kMost = 1ull << 62;
    const std::uint64_t side = 1ull << 31;
    total = std::min(kMost, total + std::min(width, side) * std::min(height, side));
}

bool StartsWith(const std::uint8_t* data, std::size_t size, const void* prefix, std::size_t length)
{
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

bool ReadPng(const std::uint8_t* data, std::size_t size, PictureHeader& header)
{
    if (size < kPngHeight + 4 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    header.width = ReadBe32(data + kPngWidth);
    header.height = ReadBe32(data + kPngHeight);
    return true;
}

bool ReadBmpInfo(const std::uint8_t* info, std::size_t size, std::uint64_t& width, std::uint64_t& height)
{
    if (size < 4)
        return false;
    const std::uint32_t headerSize = ReadLe32(info);
    if (headerSize == kBmpCoreHeaderSize && size >= 8) {
        width = ReadLe16(info + 4);
        height = ReadLe16(info + 6);
        return true;
    }
    if (headerSize < 16 || size < 12)
        return false;
    width = Distance(0, SignedLe32(info + 4));
    height = Distance(0, SignedLe32(info + 8));
    return true;
}

bool ReadBmp(const std::uint8_t* data, std::size_t size, PictureHeader& header)
{
    return size > kBmpInfoHeader &&
           ReadBmpInfo(data + kBmpInfoHeader, size - kBmpInfoHeader, header.width, header.height);
}

// The scans from `at` to the picture's end. A decoder takes anything between markers for damage and goes
// on to the next marker, and so does the count: entropy-coded data is passed over to a 0xFF that is
// neither a stuffed zero, a fill byte nor a restart.
std::uint64_t CountJpegScans(const std::uint8_t* data, std::size_t size, std::size_t at)
{
    std::uint64_t scans = 0;
    while (at + 1 < size) {
        const std::uint8_t marker = data[at + 1];
        if (data[at] != 0xFF || marker == 0x00 || marker == 0xFF || (marker >= 0xD0 && marker <= 0xD7)) {
            ++at;
            continue;
        }
        at += 2;
        if (marker == 0xD9) // the picture's end
            break;
        if (marker == 0x01 || marker == 0xD8 || size - at < 2)
            continue;
        const std::size_t length = ReadBe16(data + at);
        if (length < 2 || length > size - at)
            continue;
        if (marker == 0xDA)
            ++scans;
        at += length;
    }
    return scans;
}

// The first frame's SOF marker; segments before it are walked by their lengths.
bool ReadJpeg(const std::uint8_t* data, std::size_t size, PictureHeader& header)
{
    std::size_t at = 2;
    while (at < size) {
        if (data[at] != 0xFF)
            return false;
        while (at < size && data[at] == 0xFF) // fill bytes
            ++at;
        if (at >= size)
            return false;
        const std::uint8_t marker = data[at++];
        if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a segment
        if (marker == 0xD9 || marker == 0xDA || size - at < 2)
            return false; // the picture's end or its data before any frame header
        const std::size_t length = ReadBe16(data + at);
        if (length < 2 || length > size - at)
            return false;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            // Length, precision, then the number of lines and the samples per line. No lines means a later
            // DNL marker gives them: nothing a header can bound.
            if (length < 8)
                return false;
            header.height = ReadBe16(data + at + 3);
            header.width = ReadBe16(data + at + 5);
            header.scans = CountJpegScans(data, size, at + length);
            return header.height != 0;
        }
        at += length;
    }
    return false;
}

// The logical screen, and every frame's extent where it reaches past the screen; the frames' pixels
// together, as a decoder holds every frame while it loads the file.
bool ReadGif(const std::uint8_t* data, std::size_t size, PictureHeader& header)
{
    if (size < 13)
        return false;
    header.width = ReadLe16(data + 6);
    header.height = ReadLe16(data + 8);
    std::size_t at = 13;
    if ((data[10] & 0x80) != 0)
        at += 3u << ((data[10] & 0x07) + 1);
    while (at < size) {
        const std::uint8_t introducer = data[at];
        if (introducer == 0x2C) { // image descriptor
            if (size - at < 10)
                return true;
            const std::uint64_t width = ReadLe16(data + at + 5), height = ReadLe16(data + at + 7);
            header.width = std::max<std::uint64_t>(header.width, ReadLe16(data + at + 1) + width);
            header.height = std::max<std::uint64_t>(header.height, ReadLe16(data + at + 3) + height);
            AddPixels(header.storedPixels, width, height);
            const std::uint8_t flags = data[at + 9];
            at += 10;
            if ((flags & 0x80) != 0) // a colour table of its own
                at += 3u << ((flags & 0x07) + 1);
            ++at; // the LZW code size, then the data's sub-blocks
        } else if (introducer == 0x21 && size - at >= 2) {
            at += 2;
        } else { // the trailer, or what a decoder stops at
            return true;
        }
        while (at < size && data[at] != 0) // sub-blocks, each led by its length
            at += 1 + data[at];
        ++at;
    }
    return true;
}

// Every image of the directory, by its entry and by the header of its data (PNG or a bitmap whose
// height counts the mask too).
bool ReadIcon(const std::uint8_t* data, std::size_t size, PictureHeader& header)
{
    const std::uint16_t count = ReadLe16(data + 4);
    if (count == 0 || size < 6 + static_cast<std::size_t>(count) * 16)
        return false;
    for (std::uint16_t index = 0; index < count; ++index) {
        const std::uint8_t* entry = data + 6 + static_cast<std::size_t>(index) * 16;
        std::uint64_t width = entry[0] != 0 ? entry[0] : 256;
        std::uint64_t height = entry[1] != 0 ? entry[1] : 256;
        const std::uint32_t offset = ReadLe32(entry + 12);
        if (offset < size) {
            PictureHeader image;
            std::uint64_t bitmapWidth = 0, bitmapHeight = 0;
            if (StartsWith(data + offset, size - offset, kPngSignature, sizeof kPngSignature)) {
                if (ReadPng(data + offset, size - offset, image)) {
                    width = std::max(width, image.width);
                    height = std::max(height, image.height);
                }
            } else if (ReadBmpInfo(data + offset, size - offset, bitmapWidth, bitmapHeight)) {
                width = std::max(width, bitmapWidth);
                height = std::max(height, (bitmapHeight + 1) / 2);
            }
        }
        header.width = std::max(header.width, width);
        header.height = std::max(header.height, height);
    }
    return true;
}

// The device pixels of a length of the frame, in hundredths of a millimetre, on the reference device.
std::uint64_t FramePixels(std::uint64_t hundredths, std::int64_t devicePixels, std::int64_t deviceMillimetres)
{
    if (devicePixels <= 0 || deviceMillimetres <= 0)
        return 0;
    return hundredths * static_cast<std::uint64_t>(devicePixels) /
               (static_cast<std::uint64_t>(deviceMillimetres) * 100) +
           1;
}

// Adds the pixels of the bitmap whose info header lies `infoAt` bytes into the record; false when the
// header lies outside the record or cannot be read, since a player would still read one there.
bool AddRecordBitmap(const std::uint8_t* record, std::size_t recordSize, std::size_t infoAt,
                     std::uint64_t& pixels)
{
    if (infoAt > recordSize)
        return false;
    std::uint64_t width = 0, height = 0;
    if (!ReadBmpInfo(record + infoAt, recordSize - infoAt, width, height))
        return false;
    AddPixels(pixels, width, height);
    return true;
}

// Every record up to the end record, as a player goes through them.
bool ReadEmfRecords(const std::uint8_t* data, std::size_t size, PictureHeader& header)
{
    std::size_t at = ReadLe32(data + 4); // past the header record
    while (at < size && size - at >= 8) {
        const std::uint32_t type = ReadLe32(data + at);
        const std::uint32_t recordSize = ReadLe32(data + at + 4);
        if (type == kEmfEndRecord || recordSize < 8 || recordSize > size - at)
            break;
        for (const RecordBitmap& field : kEmfRecordBitmaps) {
            if (field.type != type || field.infoOffsetAt + 8 > recordSize)
                continue;
            const std::uint32_t infoAt = ReadLe32(data + at + field.infoOffsetAt);
            const std::uint32_t infoSize = ReadLe32(data + at + field.infoOffsetAt + 4);
            if (infoSize != 0 && !AddRecordBitmap(data + at, recordSize, infoAt, header.storedPixels))
                return false;
        }
        at += recordSize;
    }
    return true;
}

bool ReadEmf(const std::uint8_t* data, std::size_t size, PictureHeader& header)
{
    if (size < kEmfHeaderSize)
        return false;
    const std::uint8_t* bounds = data + kEmfBounds;
    const std::uint8_t* frame = data + kEmfFrame;
    header.width = Distance(SignedLe32(bounds), SignedLe32(bounds + 8)) + 1;
    header.height = Distance(SignedLe32(bounds + 4), SignedLe32(bounds + 12)) + 1;
    const std::int64_t pixelsX = SignedLe32(data + kEmfDevicePixels);
    const std::int64_t pixelsY = SignedLe32(data + kEmfDevicePixels + 4);
    const std::int64_t millimetresX = SignedLe32(data + kEmfDeviceMillimetres);
    const std::int64_t millimetresY = SignedLe32(data + kEmfDeviceMillimetres + 4);
    header.width = std::max(
        header.width, FramePixels(Distance(SignedLe32(frame), SignedLe32(frame + 8)), pixelsX, millimetresX));
    header.height =
        std::max(header.height,
                 FramePixels(Distance(SignedLe32(frame + 4), SignedLe32(frame + 12)), pixelsY, millimetresY));
    return ReadEmfRecords(data, size, header);
}

bool ReadWmf(const std::uint8_t* data, std::size_t size, PictureHeader& header)
{
    if (size < kWmfFirstRecord)
        return false;
    const std::uint16_t unitsPerInch = ReadLe16(data + kWmfUnitsPerInch);
    if (unitsPerInch == 0)
        return false;
    const auto bound = [&](std::size_t index) {
        return static_cast<std::int16_t>(ReadLe16(data + kWmfBounds + 2 * index));
    };
    header.width = Distance(bound(0), bound(2)) * kWmfPixelsPerInch / unitsPerInch;
    header.height = Distance(bound(1), bound(3)) * kWmfPixelsPerInch / unitsPerInch;
    std::size_t at = kWmfFirstRecord;
    while (size - at >= 6) {
        const std::uint64_t words = ReadLe32(data + at);
        const std::uint16_t function = ReadLe16(data + at + 4);
        if (function == 0 || words < 3 || words > (size - at) / 2) // the end record, or no record
            break;
        const std::size_t recordSize = static_cast<std::size_t>(words * 2);
        for (const WmfRecordBitmap& field : kWmfRecordBitmaps)
            if (field.function == function && words > field.shortestWords &&
                !AddRecordBitmap(data + at, recordSize, field.infoAt, header.storedPixels))
                return false;
        at += recordSize;
    }
    return true;
}

// The first directory of a classic TIFF (32-bit offsets, 12-byte entries) or a BigTIFF (64-bit offsets,
// 20-byte entries), in the byte order the file names.
class TiffReader
{
public:
    TiffReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Read(PictureHeader& header)
    {
        m_bigEndian = m_data[0] == 'M';
        const std::uint16_t version = static_cast<std::uint16_t>(Number(2, 2));
        std::uint64_t directory = 0;
        if (version == 42) {
            directory = Number(4, 4);
        } else if (version == 43 && m_size >= 16 && Number(4, 2) == 8) {
            m_big = true;
            directory = Number(8, 8);
        } else {
            return false;
        }
        const std::size_t countSize = m_big ? 8 : 2;
        const std::size_t entrySize = m_big ? 20 : 12;
        if (directory > m_size || m_size - directory < countSize)
            return false;
        const std::uint64_t count = Number(static_cast<std::size_t>(directory), countSize);
        const std::size_t first = static_cast<std::size_t>(directory) + countSize;
        if (count > (m_size - first) / entrySize)
            return false;
        // A decoder takes the first of a tag given twice, a reader of the last would check another size:
        // a size given twice, or as a type a size is not, is refused.
        constexpr std::uint16_t kSizeTags[] = {kTiffImageWidth, kTiffImageLength, kTiffTileWidth,
                                               kTiffTileLength};
        std::uint64_t sizes[4] = {};
        bool given[4] = {};
        for (std::uint64_t index = 0; index < count; ++index) {
            const std::size_t entry = first + static_cast<std::size_t>(index) * entrySize;
            const std::uint16_t tag = static_cast<std::uint16_t>(Number(entry, 2));
            const std::size_t which = static_cast<std::size_t>(
                std::find(std::begin(kSizeTags), std::end(kSizeTags), tag) - std::begin(kSizeTags));
            if (which == 4)
                continue;
            if (given[which] || !Value(entry, sizes[which]))
                return false;
            given[which] = true;
        }
        const std::uint64_t width = sizes[0], length = sizes[1], tileWidth = sizes[2], tileLength = sizes[3];
        if (width == 0 || length == 0)
            return false;
        header.width = std::max(width, tileWidth);
        header.height = std::max(length, tileLength);
        return true;
    }

private:
    std::uint64_t Number(std::size_t at, std::size_t bytes) const
    {
        std::uint64_t value = 0;
        for (std::size_t index = 0; index < bytes; ++index) {
            const std::uint64_t byte = m_data[at + index];
            value |= m_bigEndian ? byte << (8 * (bytes - 1 - index)) : byte << (8 * index);
        }
        return value;
    }

    // A SHORT, LONG or LONG8 value held in the entry itself, as a size is.
    bool Value(std::size_t entry, std::uint64_t& value) const
    {
        const std::uint16_t type = static_cast<std::uint16_t>(Number(entry + 2, 2));
        const std::size_t at = entry + (m_big ? 12 : 8);
        if (type == 3)
            value = Number(at, 2);
        else if (type == 4)
            value = Number(at, 4);
        else if (type == 16 && m_big)
            value = Number(at, 8);
        else
            return false;
        return true;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    bool m_bigEndian = false;
    bool m_big = false;
};

} // namespace

bool ReadPictureHeader(const std::uint8_t* data, std::size_t size, PictureHeader& header)
{
    header = PictureHeader();
    if (data == nullptr || size < 8)
        return false;
    bool read = false;
    if (StartsWith(data, size, kPngSignature, sizeof kPngSignature)) {
        header.kind = PictureKind::kPng;
        read = ReadPng(data, size, header);
    } else if (data[0] == 'B' && data[1] == 'M') {
        header.kind = PictureKind::kBmp;
        read = ReadBmp(data, size, header);
    } else if (data[0] == 0xFF && data[1] == 0xD8) {
        header.kind = PictureKind::kJpeg;
        read = ReadJpeg(data, size, header);
    } else if (StartsWith(data, size, "GIF87a", 6) || StartsWith(data, size, "GIF89a", 6)) {
        header.kind = PictureKind::kGif;
        read = ReadGif(data, size, header);
    } else if ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M')) {
        header.kind = PictureKind::kTiff;
        read = TiffReader(data, size).Read(header);
    } else if (ReadLe16(data) == 0 && (ReadLe16(data + 2) == 1 || ReadLe16(data + 2) == 2)) {
        header.kind = PictureKind::kIcon; // an icon (1) or a cursor (2) directory
        read = ReadIcon(data, size, header);
    } else if (size >= kEmfHeaderSize && ReadLe32(data) == kEmfHeaderRecord &&
               ReadLe32(data + kEmfSignatureAt) == kEmfSignature) {
        header.kind = PictureKind::kEmf;
        read = ReadEmf(data, size, header);
    } else if (ReadLe32(data) == kWmfPlaceableKey) {
        header.kind = PictureKind::kWmf;
        read = ReadWmf(data, size, header);
    }
    if (!read) {
        const PictureKind kind = header.kind;
        header = PictureHeader();
        header.kind = kind;
    }
    return read;
}

bool PictureSizeAllowed(std::uint64_t width, std::uint64_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

bool MetafileContentsAllowed(const PictureHeader& header)
{
    return header.storedPixels <= kMaxPicturePixels;
}

bool PictureHeaderAllowed(const PictureHeader& header)
{
    return PictureSizeAllowed(header.width, header.height) && header.storedPixels <= kMaxPicturePixels &&
           header.scans <= kMaxJpegScans &&
           (header.scans == 0 || header.width * header.height <= kMaxJpegScanPixels / header.scans);
}

bool PictureHeaderWithinLimit(const std::uint8_t* data, std::size_t size)
{
    PictureHeader header;
    return ReadPictureHeader(data, size, header) && PictureHeaderAllowed(header);
}

} // namespace imaging
