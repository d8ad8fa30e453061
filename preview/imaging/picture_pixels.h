#pragma once

// Decoded pictures of the picture previews, shared by the decoders written here and the Windows layer
// that draws them. Portable: no window code.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

// A decoded picture: one 0x00RRGGBB value per pixel, top row first.
struct PicturePixels
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool IsValid() const { return width > 0 && height > 0; }
};

// The largest picture any decoder makes: a side of 30,000 pixels and 64 Mi pixels in all (256 MiB).
constexpr std::uint32_t kMaxPictureSide = 30000;
constexpr std::uint64_t kMaxPicturePixels = 64ull * 1024 * 1024;
// A JPEG decoder goes through the whole picture once for each scan: at most 1000 scans, and at most 2 Gi
// pixels over all of them (128 scans of 4096 x 4096, a second or two; a progressive picture has ten or so).
constexpr std::uint64_t kMaxJpegScans = 1000;
constexpr std::uint64_t kMaxJpegScanPixels = 2ull * 1024 * 1024 * 1024;

constexpr std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return (red << 16) | (green << 8) | blue;
}

// True when a picture of the size may be made from `available` bytes that expand at most `expansion`
// times (a run-length code turns a few bytes into many pixels; raw data never fewer bytes than pixels);
// the picture's pixels are then allocated white.
bool AllocatePicture(PicturePixels& picture, std::uint32_t width, std::uint32_t height,
                     std::uint64_t bytesNeeded, std::uint64_t available, std::uint64_t expansion);

// Keeps every n-th row and column so that the picture is at most maxWidth by maxHeight (each side on its
// own); a picture within both is left as it is.
void ReducePicture(PicturePixels& picture, int maxWidth, int maxHeight);

// Little-endian and big-endian fields of a byte buffer.
inline std::uint16_t ReadLe16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline std::uint32_t ReadLe32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

inline std::uint16_t ReadBe16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]);
}

inline std::uint32_t ReadBe32(const std::uint8_t* bytes)
{
    return (static_cast<std::uint32_t>(bytes[0]) << 24) | (static_cast<std::uint32_t>(bytes[1]) << 16) |
           (static_cast<std::uint32_t>(bytes[2]) << 8) | bytes[3];
}

} // namespace imaging
