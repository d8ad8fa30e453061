#pragma once

// JPEG 2000 pictures (a JP2 file or a bare code stream) through OpenJPEG's decoder, which the build links
// when it has it.
#include <cstddef>
#include <cstdint>

#include "picture_pixels.h"

namespace imaging {

// Grey and colour pictures of any sample precision, scaled to 8 bits; false for a file OpenJPEG cannot
// decode or a picture larger than the decoders' limit (checked before any pixel is decoded).
bool DecodeJpeg2000(const std::uint8_t* data, std::size_t size, PicturePixels& picture);

} // namespace imaging
