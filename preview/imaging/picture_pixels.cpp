#include "picture_pixels.h"

#include <new>

#include "picture_header.h"

namespace imaging {

bool AllocatePicture(PicturePixels& picture, std::uint32_t width, std::uint32_t height,
                     std::uint64_t bytesNeeded, std::uint64_t available, std::uint64_t expansion)
{
    if (!PictureSizeAllowed(width, height) || bytesNeeded > available * expansion)
        return false;
    const std::uint64_t count = static_cast<std::uint64_t>(width) * height;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    // A crafted header may ask for more than the process can have; that is a picture that cannot be shown.
    try {
        picture.pixels.assign(static_cast<std::size_t>(count), Rgb(255, 255, 255));
    } catch (const std::bad_alloc&) {
        picture = PicturePixels();
        return false;
    }
    return true;
}

void ReducePicture(PicturePixels& picture, int maxWidth, int maxHeight)
{
    if (!picture.IsValid() || maxWidth <= 0 || maxHeight <= 0 ||
        (picture.width <= maxWidth && picture.height <= maxHeight))
        return;
    const int width = picture.width < maxWidth ? picture.width : maxWidth;
    const int height = picture.height < maxHeight ? picture.height : maxHeight;
    std::vector<std::uint32_t> kept(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::size_t row =
            static_cast<std::size_t>(static_cast<std::uint64_t>(y) * picture.height / height);
        for (int x = 0; x < width; ++x) {
            const std::size_t column =
                static_cast<std::size_t>(static_cast<std::uint64_t>(x) * picture.width / width);
            kept[static_cast<std::size_t>(y) * width + x] = picture.pixels[row * picture.width + column];
        }
    }
    picture.width = width;
    picture.height = height;
    picture.pixels.swap(kept);
}

} // namespace imaging
