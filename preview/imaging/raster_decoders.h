#pragma once

// The small decoders of the picture previews, from the public descriptions of the formats: Truevision
// TGA, ZSoft PCX and the portable any-maps (PBM, PGM, PPM). Each takes the whole file and gives the
// picture, or false for a file it cannot read (truncated, crafted, a kind it does not know); a crafted
// size never allocates more than the file could fill.
#include <cstddef>
#include <cstdint>

#include "picture_pixels.h"

namespace imaging {

// Colour-mapped, true-colour and grey pictures of 8, 15/16, 24 and 32 bits, raw or run-length coded.
bool DecodeTga(const std::uint8_t* data, std::size_t size, PicturePixels& picture);
// 1 bit in 1 or 4 planes, 2 or 4 bits in 1 plane, 8 bits in 1 plane (palette at the end) or in 3 or 4
// planes, run-length coded.
bool DecodePcx(const std::uint8_t* data, std::size_t size, PicturePixels& picture);
// P1 to P6, maximum values up to 65535, scaled to 8 bits.
bool DecodePnm(const std::uint8_t* data, std::size_t size, PicturePixels& picture);

} // namespace imaging
