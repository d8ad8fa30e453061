#pragma once

// The picture previews' imaging layer: a picture decoded from a file by its type code, drawn stretched
// onto a device context. Windows' GDI+ reads BMP, GIF, JPEG, PNG, TIFF and icons (and what it can of
// metafiles); the decoders written here read TGA, PCX and the portable any-maps. The other codes give an
// invalid picture.
#include <windows.h>

#include "picture_pixels.h"

// The type codes of picture files, by extension.
enum PreviewImageType
{
    kImageNone = 0,
    kImageBmp = 1,
    kImageGif = 2,
    kImageJpeg = 3,
    kImagePng = 4,
    kImageIcon = 5,
    kImageTiff = 6,
    kImageTga = 7,
    kImagePcx = 8,
    kImageWbmp = 9,
    kImageMetafile = 10,
    kImageJpeg2000 = 11,
    kImageJpeg2000CodeStream = 12,
    kImagePgx = 13,
    kImagePnm = 14,
    kImageRas = 15,
};

// The type code of a path by the text after its last '.', without regard to case; kImageNone when it is no
// picture.
int ImageTypeOfPath(const wchar_t* path);

// What one load handed on to GDI+: a file whose header declares more than the limit never gets there.
struct PreviewImageWork
{
    int gdiplusDecodes = 0;
};

class CPreviewImage
{
public:
    CPreviewImage() = default;
    // Decodes the file as the type; a file that cannot be read leaves the picture invalid.
    CPreviewImage(const wchar_t* path, int type);

    bool Load(const wchar_t* path, int type, PreviewImageWork* work = nullptr);
    int GetWidth() const { return m_picture.width; }
    int GetHeight() const { return m_picture.height; }
    bool IsValid() const { return m_picture.IsValid(); }
    // Draws the whole picture into the rectangle, whatever its aspect.
    bool Stretch(HDC dc, int x, int y, int width, int height, DWORD rop = SRCCOPY) const;
    void Destroy();
    // Keeps the picture at most maxWidth by maxHeight pixels, every n-th row and column.
    void ReduceTo(int maxWidth, int maxHeight) { imaging::ReducePicture(m_picture, maxWidth, maxHeight); }

    const imaging::PicturePixels& Pixels() const { return m_picture; }

private:
    bool Decode(const wchar_t* path, int type, PreviewImageWork* work);

    imaging::PicturePixels m_picture;
};

// For the loaders of the outside that take a file by its path (OLE pictures): false when the file is of
// no kind the header reader knows, cannot be read to its size, or declares more than the limits. A
// metafile passes whatever its size, as long as its records' bitmaps are within the limit: it is drawn,
// never set up as pixels by its declared size.
bool PictureFileFitsLimit(const wchar_t* path);

// The largest file the layer reads whole.
constexpr unsigned long long kMaxPreviewImageFileBytes = 512ull * 1024 * 1024;
