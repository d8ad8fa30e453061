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
    // reader's negative code.
    int Load(const wchar_t* path);
    HBITMAP GetHBitmap() const { return m_hBitmap; }
    int GetWidth() const { return static_cast<int>(m_document.width); }
    int GetHeight() const { return static_cast<int>(m_document.height); }

    HBITMAP m_hBitmap = NULL;
    bool m_bBitmapNotOwned = false;
    psd::PsdDocument m_document;

private:
    void DeleteBitmap();
};
