#include "psd_image.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "picture_pixels.h"

CPsdImage::~CPsdImage()
{
    DeleteBitmap();
}

void CPsdImage::DeleteBitmap()
{
    if (m_hBitmap != NULL && !m_bBitmapNotOwned)
        ::DeleteObject(m_hBitmap);
    m_hBitmap = NULL;
    m_bitmapSize = SIZE{0, 0};
}

int CPsdImage::Load(const wchar_t* path, int maxWidth, int maxHeight)
{
    DeleteBitmap();
    std::FILE* file = path != NULL ? _wfopen(path, L"rb") : NULL;
    if (file == NULL)
        return psd::kPsdCannotOpen;
    psd::PsdPicture picture;
    int result = psd::kPsdNoBitmap;
    // A crafted header may ask for more memory than the process can have: no picture, not a crash.
    try {
        result = psd::ReadPsd(file, m_document, picture);
    } catch (const std::bad_alloc&) {
        picture = psd::PsdPicture();
        result = psd::kPsdNoBitmap;
    }
    std::fclose(file);
    if (result != psd::kPsdOk || !picture.made)
        return result;
    if (maxWidth > 0 && maxHeight > 0) {
        imaging::PicturePixels kept;
        kept.width = picture.width;
        kept.height = picture.height;
        kept.pixels.swap(picture.pixels);
        imaging::ReducePicture(kept, maxWidth, maxHeight);
        picture.width = kept.width;
        picture.height = kept.height;
        picture.pixels.swap(kept.pixels);
    }

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = picture.height; // bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biXPelsPerMeter = picture.pixelsPerMetreX;
    info.bmiHeader.biYPelsPerMeter = picture.pixelsPerMetreY;
    void* bits = NULL;
    m_hBitmap = ::CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (m_hBitmap == NULL || bits == NULL) {
        DeleteBitmap();
        return psd::kPsdNoBitmap;
    }
    // Rows of three bytes a pixel (blue first), each padded to four bytes.
    const std::size_t stride =
        (static_cast<std::size_t>(picture.width) * 3 + 3) & ~static_cast<std::size_t>(3);
    for (int y = 0; y < picture.height; ++y) {
        auto* row =
            static_cast<std::uint8_t*>(bits) + stride * static_cast<std::size_t>(picture.height - 1 - y);
        const std::uint32_t* source = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
        for (int x = 0; x < picture.width; ++x) {
            row[x * 3] = static_cast<std::uint8_t>(source[x]);
            row[x * 3 + 1] = static_cast<std::uint8_t>(source[x] >> 8);
            row[x * 3 + 2] = static_cast<std::uint8_t>(source[x] >> 16);
        }
    }
    ::GdiFlush();
    m_bitmapSize = SIZE{picture.width, picture.height};
    return psd::kPsdOk;
}
