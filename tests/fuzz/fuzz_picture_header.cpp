// The sizes picture headers declare (BMP, PNG, JPEG, TIFF, GIF, icons, metafiles), read as the picture
// previews read them before GDI+ or OLE may have the file.
#include "picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    imaging::PictureHeader header;
    imaging::ReadPictureHeader(data, size, header);
    imaging::PictureHeaderWithinLimit(data, size);
    return 0;
}
