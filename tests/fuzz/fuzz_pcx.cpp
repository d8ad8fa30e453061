// Pcx pictures decoded whole.
#include "raster_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    imaging::PicturePixels picture;
    imaging::DecodePcx(data, size, picture);
    return 0;
}
