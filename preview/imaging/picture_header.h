#pragma once

// The size a picture file declares, read from its own header before any decoder sees the file: the kinds
// that Windows' decoders read (BMP, PNG, JPEG, TIFF, GIF, icons and cursors, enhanced and placeable
// Windows metafiles), told
// apart by their first bytes, not by the file's name, since those decoders look at the bytes too. A
// decoder sets up the whole picture a header declares before it reads a pixel, so a file of a few bytes
// can cost gigabytes; what the header declares is therefore what the limit is checked on, with what
// else the file makes a decoder set up or go through: every frame of a GIF, every scan of a JPEG, every
// bitmap of a metafile's records. Portable: no window code.
#include <cstddef>
#include <cstdint>

namespace imaging {

enum class PictureKind
{
    kUnknown,
    kBmp,
    kPng,
    kJpeg,
    kTiff,
    kGif,
    kIcon,
    kEmf,
    kWmf,
};

struct PictureHeader
{
    PictureKind kind = PictureKind::kUnknown;
    // The largest area a decoder of the kind sets up for the file: for an icon the largest of its
    // images, for a GIF the screen or any frame where it reaches further, for a TIFF the first image or
    // its tiles, for an enhanced metafile its bounds or its frame at the reference device's resolution,
    // for a placeable one its bounds at 96 pixels to the inch.
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    // The pixels of every frame of a GIF together (a decoder holds each whole while the file loads), or
    // of every bitmap that a metafile's records draw.
    std::uint64_t storedPixels = 0;
    // The scans of a JPEG: a decoder goes through the whole picture for each.
    std::uint64_t scans = 0;
};

// The kind and declared size of the file's bytes; false when the kind is none of the above or its
// header cannot be read to the size (the kind is then still set when the first bytes told it).
bool ReadPictureHeader(const std::uint8_t* data, std::size_t size, PictureHeader& header);

// True when a picture of the size may be made: each side from 1 to kMaxPictureSide, and at most
// kMaxPicturePixels in all.
bool PictureSizeAllowed(std::uint64_t width, std::uint64_t height);

// True when what the header reader found of the file is within the limits: its size, its frames or its
// records' bitmaps (kMaxPicturePixels together), its scans (kMaxJpegScans, and kMaxJpegScanPixels
// over the picture).
bool PictureHeaderAllowed(const PictureHeader& header);

// True when what a metafile draws is within the limits: the bitmaps of its records. A metafile is drawn
// at the size it is shown, never set up at its declared size.
bool MetafileContentsAllowed(const PictureHeader& header);

// True when the file's header is read and is allowed: only then may a decoder of the outside have the
// file.
bool PictureHeaderWithinLimit(const std::uint8_t* data, std::size_t size);

} // namespace imaging
