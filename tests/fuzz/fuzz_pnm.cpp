// Pnm pictures decoded whole.
#include "raster_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    imaging::PicturePixels picture;
    imaging::DecodePnm(data, size, picture);
    return 0;
}
