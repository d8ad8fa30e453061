#include "picture_pixels.h"

namespace imaging {

bool AllocatePicture(PicturePixels& picture, std::uint32_t width, std::uint32_t height,
                     std::uint64_t bytesNeeded, std::uint64_t available, std::uint64_t expansion)
{
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return false;
    const std::uint64_t count = static_cast<std::uint64_t>(width) * height;
    if (count > kMaxPicturePixels || bytesNeeded > available * expansion)
        return false;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.assign(static_cast<std::size_t>(count), Rgb(255, 255, 255));
    return true;
}

} // namespace imaging
