#pragma once

// A Photoshop document decoded into a 24-bit device-independent bitmap, for the PSD preview.
#include <windows.h>

#include "psd_document.h"

class CPsdImage
{
public:
    CPsdImage() = default;
    ~CPsdImage();
    CPsdImage(const CPsdImage&) = delete;
    CPsdImage& operator=(const CPsdImage&) = delete;

    // 0 when a picture was read (with a bitmap, unless the document held too few pixels), else the
    // reader's negative code. With a largest size the bitmap keeps every n-th row and column of a larger
    // picture, so that it is at most that size.
    int Load(const wchar_t* path, int maxWidth = 0, int maxHeight = 0);
    HBITMAP GetHBitmap() const { return m_hBitmap; }
    // The document's size, and the size of the bitmap kept of it.
    int GetWidth() const { return static_cast<int>(m_document.width); }
    int GetHeight() const { return static_cast<int>(m_document.height); }
    SIZE GetBitmapSize() const { return m_bitmapSize; }

    HBITMAP m_hBitmap = NULL;
    SIZE m_bitmapSize = {0, 0};
    bool m_bBitmapNotOwned = false;
    psd::PsdDocument m_document;

private:
    void DeleteBitmap();
};
