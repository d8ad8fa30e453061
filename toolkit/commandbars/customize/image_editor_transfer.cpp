// The editor's picture conversions, clipboard and file import.
#include "image_editor_transfer.h"

#include "color_table.h"

#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

const int kLargestSource = 2048; // sides beyond this are refused rather than read

// The pixels of a bitmap as top-down 32-bit rows; empty when it is too large or unreadable.
std::vector<DWORD> ReadBitmapPixels(HBITMAP hBitmap, int& nWidth, int& nHeight)
{
    BITMAP bm = {};
    if (hBitmap == NULL || !::GetObject(hBitmap, sizeof(bm), &bm))
        return {};
    nWidth = bm.bmWidth;
    nHeight = std::abs(bm.bmHeight);
    if (nWidth <= 0 || nHeight <= 0 || nWidth > kLargestSource || nHeight > kLargestSource)
        return {};
    std::vector<DWORD> pixels(static_cast<size_t>(nWidth) * nHeight);
    BITMAPINFO info = XTPImageEditorBitmapInfo(CSize(nWidth, nHeight));
    HDC hDC = ::GetDC(NULL);
    const int nLines = ::GetDIBits(hDC, hBitmap, 0, nHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(NULL, hDC);
    if (nLines != nHeight)
        return {};
    return pixels;
}

bool HasAlpha(const std::vector<DWORD>& pixels)
{
    return std::any_of(pixels.begin(), pixels.end(), [](DWORD p) { return (p >> 24) != 0; });
}

bool HasPartialAlpha(const std::vector<DWORD>& pixels)
{
    return std::any_of(pixels.begin(), pixels.end(), [](DWORD p) {
        const DWORD a = p >> 24;
        return a != 0 && a != 255;
    });
}

// Pixels whose alpha is 0 or 255 only: transparency becomes the transparent colour.
void AlphaToTransparentColor(std::vector<DWORD>& pixels)
{
    for (DWORD& p : pixels)
        p = (p >> 24) == 0 ? 0x00FFFEFFu : (p & 0x00FFFFFFu);
}

std::wstring LowerExtension(LPCTSTR lpszPath)
{
    std::wstring path(lpszPath);
    const size_t nDot = path.find_last_of(L'.');
    const size_t nSlash = path.find_last_of(L"\\/");
    if (nDot == std::wstring::npos || (nSlash != std::wstring::npos && nDot < nSlash))
        return std::wstring();
    std::wstring ext = path.substr(nDot + 1);
    for (wchar_t& c : ext)
        c = static_cast<wchar_t>(towlower(c));
    return ext;
}

// Something drawn by GDI over the transparent colour on a canvas of the source's size (what it
// leaves alone stays transparent), then fitted to the picture's size; null when drawing fails.
std::unique_ptr<CXTPImageEditorBitmap> DrawnPicture(CSize szSource, CSize size,
                                                    const std::function<BOOL(HDC)>& draw)
{
    CXTPImageEditorBitmap canvas(szSource, FALSE);
    HDC hDC = ::CreateCompatibleDC(NULL);
    std::unique_ptr<CXTPImageEditorBitmap> pResult;
    if (canvas.IsValid() && hDC != NULL) {
        HGDIOBJ hOld = ::SelectObject(hDC, canvas.GetHandle());
        const BOOL bDrawn = draw(hDC);
        ::GdiFlush();
        ::SelectObject(hDC, hOld);
        if (bDrawn) {
            std::vector<DWORD> pixels(static_cast<size_t>(szSource.cx) * szSource.cy);
            for (int y = 0; y < szSource.cy; ++y)
                for (int x = 0; x < szSource.cx; ++x)
                    pixels[static_cast<size_t>(y) * szSource.cx + x] = canvas.GetRaw(x, y) & 0x00FFFFFFu;
            pResult = CXTPImageEditorBitmap::FromPixels(pixels.data(), szSource.cx, szSource.cy, FALSE, size);
        }
    }
    if (hDC != NULL)
        ::DeleteDC(hDC);
    return pResult;
}

std::unique_ptr<CXTPImageEditorBitmap> ImportThroughOle(LPCTSTR lpszPath, CSize size)
{
    IPicture* pPicture = NULL;
    if (FAILED(::OleLoadPicturePath(const_cast<LPOLESTR>(lpszPath), NULL, 0, 0, IID_IPicture,
                                    reinterpret_cast<void**>(&pPicture))) ||
        pPicture == NULL)
        return nullptr;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    pPicture->get_Width(&hmWidth);
    pPicture->get_Height(&hmHeight);
    // HIMETRIC to pixels at the screen's resolution.
    HDC hScreen = ::GetDC(NULL);
    int nWidth = ::MulDiv(hmWidth, ::GetDeviceCaps(hScreen, LOGPIXELSX), 2540);
    int nHeight = ::MulDiv(hmHeight, ::GetDeviceCaps(hScreen, LOGPIXELSY), 2540);
    ::ReleaseDC(NULL, hScreen);
    std::unique_ptr<CXTPImageEditorBitmap> pResult;
    if (nWidth > 0 && nHeight > 0) {
        // A huge picture is drawn at the picture's size straight away.
        if (nWidth > kLargestSource || nHeight > kLargestSource) {
            const double scale =
                std::min(static_cast<double>(size.cx) / nWidth, static_cast<double>(size.cy) / nHeight);
            nWidth = std::max(1, static_cast<int>(nWidth * scale));
            nHeight = std::max(1, static_cast<int>(nHeight * scale));
        }
        pResult = DrawnPicture(CSize(nWidth, nHeight), size, [&](HDC hDC) {
            return SUCCEEDED(
                pPicture->Render(hDC, 0, 0, nWidth, nHeight, 0, hmHeight, hmWidth, -hmHeight, NULL));
        });
    }
    pPicture->Release();
    return pResult;
}

} // namespace

std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorPictureFromBitmap(HBITMAP hBitmap, BOOL bAlpha,
                                                                              CSize size)
{
    int nWidth = 0, nHeight = 0;
    std::vector<DWORD> pixels = ReadBitmapPixels(hBitmap, nWidth, nHeight);
    if (pixels.empty())
        return nullptr;
    if (bAlpha && !HasPartialAlpha(pixels) && HasAlpha(pixels)) {
        AlphaToTransparentColor(pixels);
        bAlpha = FALSE;
    } else if (bAlpha && !HasAlpha(pixels)) {
        bAlpha = FALSE; // a 32-bit bitmap without alpha is opaque
    }
    if (!bAlpha)
        for (DWORD& p : pixels)
            p &= 0x00FFFFFFu;
    return CXTPImageEditorBitmap::FromPixels(pixels.data(), nWidth, nHeight, bAlpha, size);
}

std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorPictureFromIcon(HICON hIcon, CSize size)
{
    ICONINFO info = {};
    if (hIcon == NULL || !::GetIconInfo(hIcon, &info))
        return nullptr;
    std::unique_ptr<CXTPImageEditorBitmap> pResult;
    BITMAP bm = {};
    if (info.hbmColor != NULL && ::GetObject(info.hbmColor, sizeof(bm), &bm) && bm.bmBitsPixel == 32) {
        int nWidth = 0, nHeight = 0;
        std::vector<DWORD> pixels = ReadBitmapPixels(info.hbmColor, nWidth, nHeight);
        if (HasAlpha(pixels))
            pResult = XTPImageEditorPictureFromBitmap(info.hbmColor, TRUE, size);
    }
    if (pResult == nullptr && info.hbmMask != NULL && ::GetObject(info.hbmMask, sizeof(bm), &bm)) {
        // Drawn over the transparent colour: what the mask leaves out keeps it.
        const int nWidth = bm.bmWidth;
        const int nHeight = info.hbmColor != NULL ? bm.bmHeight : bm.bmHeight / 2;
        if (nWidth > 0 && nHeight > 0 && nWidth <= kLargestSource && nHeight <= kLargestSource) {
            pResult = DrawnPicture(CSize(nWidth, nHeight), size, [&](HDC hDC) {
                return ::DrawIconEx(hDC, 0, 0, hIcon, nWidth, nHeight, 0, NULL, DI_NORMAL);
            });
        }
    }
    if (info.hbmColor != NULL)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask != NULL)
        ::DeleteObject(info.hbmMask);
    return pResult;
}

std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorPictureFromDib32(const void* pData, size_t cbData,
                                                                             CSize size)
{
    if (pData == NULL || cbData < sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER header;
    std::memcpy(&header, pData, sizeof(header));
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > cbData || header.biBitCount != 32 ||
        header.biPlanes != 1 || header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == LONG_MIN)
        return nullptr;
    const int nWidth = header.biWidth;
    const int nHeight = std::abs(header.biHeight);
    if (nWidth > kLargestSource || nHeight > kLargestSource)
        return nullptr;
    size_t cbOffset = header.biSize;
    if (header.biCompression == BI_BITFIELDS) {
        // Only the standard layout of the channels is understood; the masks follow a 40-byte header
        // or sit inside a longer one.
        DWORD masks[3] = {};
        const size_t cbMasksEnd = sizeof(BITMAPINFOHEADER) + sizeof(masks);
        if (header.biSize == sizeof(BITMAPINFOHEADER))
            cbOffset += sizeof(masks);
        else if (header.biSize < cbMasksEnd)
            return nullptr;
        if (cbData < cbMasksEnd)
            return nullptr;
        std::memcpy(masks, static_cast<const BYTE*>(pData) + sizeof(BITMAPINFOHEADER), sizeof(masks));
        if (masks[0] != 0x00FF0000 || masks[1] != 0x0000FF00 || masks[2] != 0x000000FF)
            return nullptr;
    } else if (header.biCompression != BI_RGB) {
        return nullptr;
    }
    if (header.biClrUsed > 256)
        return nullptr;
    cbOffset += static_cast<size_t>(header.biClrUsed) * sizeof(RGBQUAD);
    const size_t cbPixels = static_cast<size_t>(nWidth) * nHeight * sizeof(DWORD);
    if (cbOffset > cbData || cbData - cbOffset < cbPixels)
        return nullptr;
    std::vector<DWORD> pixels(static_cast<size_t>(nWidth) * nHeight);
    const BYTE* pRows = static_cast<const BYTE*>(pData) + cbOffset;
    for (int y = 0; y < nHeight; ++y) {
        const int nSourceRow = header.biHeight > 0 ? nHeight - 1 - y : y;
        std::memcpy(&pixels[static_cast<size_t>(y) * nWidth],
                    pRows + static_cast<size_t>(nSourceRow) * nWidth * 4, static_cast<size_t>(nWidth) * 4);
    }
    BOOL bAlpha = HasPartialAlpha(pixels);
    if (!bAlpha)
        AlphaToTransparentColor(pixels);
    return CXTPImageEditorBitmap::FromPixels(pixels.data(), nWidth, nHeight, bAlpha, size);
}

std::vector<BYTE> AFXAPI XTPImageEditorDib32FromPicture(const CXTPImageEditorBitmap& picture)
{
    const CSize size = picture.GetSize();
    std::vector<BYTE> data(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(size.cx) * size.cy * 4);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = size.cx;
    header.biHeight = size.cy;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(data.size() - sizeof(header));
    std::memcpy(data.data(), &header, sizeof(header));
    BYTE* pRows = data.data() + sizeof(header);
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            const COLORREF clr = picture.GetPixel(x, y);
            const DWORD dwAlpha = picture.GetAlpha(x, y);
            const DWORD dwPixel = (dwAlpha << 24) | (static_cast<DWORD>(GetRValue(clr)) << 16) |
                                  (static_cast<DWORD>(GetGValue(clr)) << 8) | GetBValue(clr);
            std::memcpy(pRows + (static_cast<size_t>(size.cy - 1 - y) * size.cx + x) * 4, &dwPixel, 4);
        }
    }
    return data;
}

CLIPFORMAT AFXAPI XTPImageEditorDib32Format()
{
    static const CLIPFORMAT s_cf = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"DIB32"));
    return s_cf;
}

BOOL AFXAPI XTPImageEditorCopyToClipboard(const CXTPImageEditorBitmap& picture, HWND hWndOwner)
{
    if (!picture.IsValid() || !::OpenClipboard(hWndOwner))
        return FALSE;
    ::EmptyClipboard();
    const CSize size = picture.GetSize();
    // CF_BITMAP: the picture over the button face.
    const COLORREF clrFace = GetColorTable()->GetColor(COLOR_BTNFACE);
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * size.cy);
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            const COLORREF clr = picture.GetPixel(x, y);
            const int a = picture.GetAlpha(x, y);
            auto blend = [a](int c, int face) { return (c * a + face * (255 - a) + 127) / 255; };
            const int r = blend(GetRValue(clr), GetRValue(clrFace));
            const int g = blend(GetGValue(clr), GetGValue(clrFace));
            const int b = blend(GetBValue(clr), GetBValue(clrFace));
            pixels[static_cast<size_t>(y) * size.cx + x] = static_cast<DWORD>((r << 16) | (g << 8) | b);
        }
    }
    BITMAPINFO info = XTPImageEditorBitmapInfo(CSize(size.cx, size.cy));
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, size.cx, size.cy);
    if (hBitmap != NULL)
        ::SetDIBits(hScreen, hBitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(NULL, hScreen);
    BOOL bResult = FALSE;
    if (hBitmap != NULL) {
        if (::SetClipboardData(CF_BITMAP, hBitmap) != NULL)
            bResult = TRUE;
        else
            ::DeleteObject(hBitmap);
    }
    // "DIB32": the picture with its alpha.
    const std::vector<BYTE> dib = XTPImageEditorDib32FromPicture(picture);
    HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE, dib.size());
    if (hData != NULL) {
        if (void* pData = ::GlobalLock(hData)) {
            std::memcpy(pData, dib.data(), dib.size());
            ::GlobalUnlock(hData);
        }
        if (::SetClipboardData(XTPImageEditorDib32Format(), hData) == NULL)
            ::GlobalFree(hData);
        else
            bResult = TRUE;
    }
    ::CloseClipboard();
    return bResult;
}

std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorPasteFromClipboard(HWND hWndOwner, CSize size)
{
    if (!::OpenClipboard(hWndOwner))
        return nullptr;
    std::unique_ptr<CXTPImageEditorBitmap> pResult;
    if (::IsClipboardFormatAvailable(XTPImageEditorDib32Format())) {
        HGLOBAL hData = ::GetClipboardData(XTPImageEditorDib32Format());
        const void* pData = hData != NULL ? ::GlobalLock(hData) : NULL;
        if (pData != NULL) {
            pResult = XTPImageEditorPictureFromDib32(pData, ::GlobalSize(hData), size);
            ::GlobalUnlock(hData);
        }
    } else if (::IsClipboardFormatAvailable(CF_BITMAP)) {
        pResult =
            XTPImageEditorPictureFromBitmap(static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP)), FALSE, size);
    }
    ::CloseClipboard();
    return pResult;
}

std::unique_ptr<CXTPImageEditorBitmap> AFXAPI XTPImageEditorImportFile(LPCTSTR lpszPath, CSize size)
{
    if (lpszPath == NULL || *lpszPath == 0)
        return nullptr;
    const std::wstring ext = LowerExtension(lpszPath);
    if (ext == L"ico") {
        HICON hIcon =
            static_cast<HICON>(::LoadImageW(NULL, lpszPath, IMAGE_ICON, size.cx, size.cy, LR_LOADFROMFILE));
        if (hIcon == NULL)
            return nullptr;
        auto pResult = XTPImageEditorPictureFromIcon(hIcon, size);
        ::DestroyIcon(hIcon);
        return pResult;
    }
    if (ext == L"bmp") {
        HBITMAP hBitmap = static_cast<HBITMAP>(
            ::LoadImageW(NULL, lpszPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        if (hBitmap == NULL)
            return nullptr;
        BITMAP bm = {};
        ::GetObject(hBitmap, sizeof(bm), &bm);
        auto pResult = XTPImageEditorPictureFromBitmap(hBitmap, bm.bmBitsPixel == 32, size);
        ::DeleteObject(hBitmap);
        return pResult;
    }
    return ImportThroughOle(lpszPath, size);
}
