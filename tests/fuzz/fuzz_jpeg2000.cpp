// Jpeg2000 pictures decoded whole.
#include "jpeg2000_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    imaging::PicturePixels picture;
    imaging::DecodeJpeg2000(data, size, picture);
    return 0;
}
