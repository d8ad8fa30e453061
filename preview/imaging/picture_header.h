#pragma once

// The size a picture file declares, read from its own header before any decoder sees the file: the kinds
// that Windows' decoders read (BMP, PNG, JPEG, TIFF, GIF, icons and cursors, enhanced metafiles), told
// apart by their first bytes, not by the file's name, since those decoders look at the bytes too. A
// decoder sets up the whole picture a header declares before it reads a pixel, so a file of a few bytes
// can cost gigabytes; what the header declares is therefore what the limit is checked on. Portable: no
// window code.
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
};

struct PictureHeader
{
    PictureKind kind = PictureKind::kUnknown;
    // The largest area a decoder of the kind sets up for the file: for an icon the largest of its
    // images, for a GIF the screen or the first frame where it reaches further, for a TIFF the first
    // image or its tiles, for a metafile its bounds or its frame at the reference device's resolution.
    std::uint64_t width = 0;
    std::uint64_t height = 0;
};

// The kind and declared size of the file's bytes; false when the kind is none of the above or its
// header cannot be read to the size (the kind is then still set when the first bytes told it).
bool ReadPictureHeader(const std::uint8_t* data, std::size_t size, PictureHeader& header);

// True when a picture of the size may be made: each side from 1 to kMaxPictureSide, and at most
// kMaxPicturePixels in all.
bool PictureSizeAllowed(std::uint64_t width, std::uint64_t height);

// True when the file's header is read and declares a size within the limit: only then may a decoder of
// the outside have the file.
bool PictureHeaderWithinLimit(const std::uint8_t* data, std::size_t size);

} // namespace imaging
