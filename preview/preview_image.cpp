#include "preview_image.h"

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <new>
#include <vector>

#include <shlwapi.h>

#include "picture_header.h"
#include "raster_decoders.h"
#ifdef IMAGING_HAS_JPEG2000
#include "jpeg2000_decoder.h"
#endif

namespace {

struct ImageExtension
{
    const wchar_t* extension;
    int type;
};

constexpr ImageExtension kImageExtensions[] = {
    {L"bmp", kImageBmp},
    {L"gif", kImageGif},
    {L"jpg", kImageJpeg},
    {L"jpeg", kImageJpeg},
    {L"png", kImagePng},
    {L"ico", kImageIcon},
    {L"tif", kImageTiff},
    {L"tiff", kImageTiff},
    {L"tga", kImageTga},
    {L"pcx", kImagePcx},
    {L"wbmp", kImageWbmp},
    {L"wmf", kImageMetafile},
    {L"emf", kImageMetafile},
    {L"j2k", kImageJpeg2000},
    {L"jp2", kImageJpeg2000},
    {L"j2c", kImageJpeg2000CodeStream},
    {L"jpc", kImageJpeg2000CodeStream},
    {L"pgx", kImagePgx},
    {L"pnm", kImagePnm},
    {L"pgm", kImagePnm},
    {L"ppm", kImagePnm},
    {L"ras", kImageRas},
};

// GDI+ is started once for the process and left running: pictures may be decoded until the end.
bool GdiplusReady()
{
    static const bool ready = [] {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, NULL) == Gdiplus::Ok;
    }();
    return ready;
}

bool CopyPixels(Gdiplus::Bitmap& bitmap, imaging::PicturePixels& picture)
{
    const UINT width = bitmap.GetWidth();
    const UINT height = bitmap.GetHeight();
    if (!imaging::AllocatePicture(picture, width, height, 0, 0, 1))
        return false;
    Gdiplus::Rect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data = {};
    if (bitmap.LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
        picture = imaging::PicturePixels();
        return false;
    }
    for (UINT y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride);
        for (UINT x = 0; x < width; ++x)
            picture.pixels[static_cast<std::size_t>(y) * width + x] = row[x] & 0xFFFFFF;
    }
    bitmap.UnlockBits(&data);
    return true;
}

bool ReadWholeFile(const wchar_t* path, std::vector<std::uint8_t>& bytes)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool ok = ::GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= kMaxPreviewImageFileBytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (ok && done < bytes.size()) {
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
            ok = ::ReadFile(file, bytes.data() + done, want, &got, NULL) && got > 0;
            done += got;
        }
    }
    ::CloseHandle(file);
    return ok;
}

// The size the file declares is checked before GDI+ sees the file, since GDI+ sets up the whole picture
// before its first pixel; GDI+ then reads the very bytes that were checked.
bool DecodeWithGdiplus(const wchar_t* path, imaging::PicturePixels& picture, PreviewImageWork* work)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes) || !imaging::PictureHeaderWithinLimit(bytes.data(), bytes.size()) ||
        !GdiplusReady())
        return false;
    IStream* stream = ::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
    if (stream == NULL)
        return false;
    if (work != NULL)
        ++work->gdiplusDecodes;
    bool decoded = false;
    {
        // The bitmap reads from the stream for its whole life: it goes first.
        std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
        if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok)
            decoded = CopyPixels(*bitmap, picture);
    }
    stream->Release();
    return decoded;
}

} // namespace

int ImageTypeOfPath(const wchar_t* path)
{
    if (path == NULL)
        return kImageNone;
    const wchar_t* dot = std::wcsrchr(path, L'.');
    if (dot == NULL)
        return kImageNone;
    for (const ImageExtension& entry : kImageExtensions)
        if (::lstrcmpiW(dot + 1, entry.extension) == 0)
            return entry.type;
    return kImageNone;
}

CPreviewImage::CPreviewImage(const wchar_t* path, int type)
{
    Load(path, type);
}

bool CPreviewImage::Load(const wchar_t* path, int type, PreviewImageWork* work)
{
    Destroy();
    if (path == NULL)
        return false;
    // A crafted header may ask for more memory than the process can have: an invalid picture, not a crash.
    try {
        return Decode(path, type, work);
    } catch (const std::bad_alloc&) {
        Destroy();
        return false;
    }
}

bool CPreviewImage::Decode(const wchar_t* path, int type, PreviewImageWork* work)
{
    switch (type) {
    case kImageBmp:
    case kImageGif:
    case kImageJpeg:
    case kImagePng:
    case kImageIcon:
    case kImageTiff:
    case kImageMetafile:
        return DecodeWithGdiplus(path, m_picture, work);
    case kImageTga:
    case kImagePcx:
    case kImagePnm:
    case kImageJpeg2000:
    case kImageJpeg2000CodeStream: {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(path, bytes))
            return false;
        const std::uint8_t* data = bytes.data();
        if (type == kImageTga)
            return imaging::DecodeTga(data, bytes.size(), m_picture);
        if (type == kImagePcx)
            return imaging::DecodePcx(data, bytes.size(), m_picture);
        if (type == kImagePnm)
            return imaging::DecodePnm(data, bytes.size(), m_picture);
#ifdef IMAGING_HAS_JPEG2000
        return imaging::DecodeJpeg2000(data, bytes.size(), m_picture);
#else
        return false;
#endif
    }
    default:
        // Wireless bitmaps, PGX and Sun rasters have no decoder here.
        return false;
    }
}

bool CPreviewImage::Stretch(HDC dc, int x, int y, int width, int height, DWORD rop) const
{
    if (!IsValid() || dc == NULL)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = m_picture.width;
    info.bmiHeader.biHeight = -m_picture.height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // Whole source pixels, never blended: the stretched picture keeps the file's colours.
    const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    const int lines = ::StretchDIBits(dc, x, y, width, height, 0, 0, m_picture.width, m_picture.height,
                                      m_picture.pixels.data(), &info, DIB_RGB_COLORS, rop);
    ::SetStretchBltMode(dc, oldMode);
    return lines > 0;
}

bool PictureFileFitsLimit(const wchar_t* path)
{
    std::vector<std::uint8_t> bytes;
    if (path == NULL || !ReadWholeFile(path, bytes))
        return false;
    // OLE's loader picks a decoder by the first bytes alone: a file of a kind the header reader does not
    // know (a GIF of another version, say) would reach a decoder unchecked, and is refused.
    imaging::PictureHeader header;
    if (!imaging::ReadPictureHeader(bytes.data(), bytes.size(), header))
        return false;
    if (header.kind == imaging::PictureKind::kEmf || header.kind == imaging::PictureKind::kWmf)
        return imaging::MetafileContentsAllowed(header);
    return imaging::PictureHeaderAllowed(header);
}

void CPreviewImage::Destroy()
{
    m_picture = imaging::PicturePixels();
}
