#pragma once

// JPEG 2000 pictures (a JP2 file or a bare code stream) through OpenJPEG's decoder, which the build links
// when it has it.
#include <cstddef>
#include <cstdint>

#include "picture_pixels.h"

namespace imaging {

// What one decode handed to OpenJPEG: the tiles of a header it read and the samples it decoded.
struct Jpeg2000Work
{
    std::uint64_t tiles = 0;
    std::uint64_t samples = 0;
};

// Grey and colour pictures of any sample precision, scaled to 8 bits; false for a file OpenJPEG cannot
// decode, a picture larger than the decoders' limit, or a code stream whose tiles and components the
// file's bytes cannot hold (all checked on the code stream's own header, before OpenJPEG reads it).
bool DecodeJpeg2000(const std::uint8_t* data, std::size_t size, PicturePixels& picture,
                    Jpeg2000Work* work = nullptr);

} // namespace imaging
