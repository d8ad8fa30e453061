// Photoshop documents: the header, the resources, the layers and the composite picture.
#include <cstdio>

#include "psd_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    psd::PsdDocument document;
    psd::PsdPicture picture;
    psd::ReadPsd(file, document, picture);
    std::fclose(file);
    return 0;
}
