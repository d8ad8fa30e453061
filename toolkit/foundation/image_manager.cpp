#include "image_manager.h"

#include "color_table.h"
#include "common_controls_version.h"
#include "prop_exchange.h"

#include <afxadv.h>
#include <afxole.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

IMPLEMENT_DYNAMIC(CXTPImageManagerIcon, CCmdTarget)
IMPLEMENT_DYNAMIC(CXTPImageManagerIconSet, CCmdTarget)
IMPLEMENT_DYNAMIC(CXTPImageManager, CCmdTarget)

namespace {
// Largest image side the stored data may claim.
const int kMaxImageSide = 256;

int Stride(int nWidth, int nBitCount)
{
    return ((nWidth * nBitCount + 31) / 32) * 4;
}

BITMAPINFOHEADER Header32(int nWidth, int nHeight)
{
    BITMAPINFOHEADER bih;
    std::memset(&bih, 0, sizeof(bih));
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = nWidth;
    bih.biHeight = -nHeight; // top-down
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    bih.biCompression = BI_RGB;
    return bih;
}

// A top-down 32-bit DIB section, filled from pPixels when given.
HBITMAP CreateDib32(int nWidth, int nHeight, const DWORD* pPixels)
{
    BITMAPINFOHEADER bih = Header32(nWidth, nHeight);
    void* pBits = NULL;
    HBITMAP hBitmap =
        CreateDIBSection(NULL, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS, &pBits, NULL, 0);
    if (hBitmap != NULL && pPixels != NULL)
        std::memcpy(pBits, pPixels, static_cast<size_t>(nWidth) * nHeight * 4);
    else if (hBitmap != NULL)
        std::memset(pBits, 0, static_cast<size_t>(nWidth) * nHeight * 4);
    return hBitmap;
}

CSize BitmapSize(HBITMAP hBitmap)
{
    BITMAP bm;
    if (hBitmap == NULL || GetObjectW(hBitmap, sizeof(bm), &bm) == 0)
        return CSize(0, 0);
    return CSize(bm.bmWidth, bm.bmHeight);
}

// The bitmap's pixels as top-down 32-bit values (0xAARRGGBB).
BOOL ReadPixels(HBITMAP hBitmap, std::vector<DWORD>& pixels, CSize& size)
{
    size = BitmapSize(hBitmap);
    if (size.cx <= 0 || size.cy <= 0)
        return FALSE;
    BITMAPINFOHEADER bih = Header32(size.cx, size.cy);
    pixels.assign(static_cast<size_t>(size.cx) * size.cy, 0);
    HDC hDC = GetDC(NULL);
    const int nLines = GetDIBits(hDC, hBitmap, 0, size.cy, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bih),
                                 DIB_RGB_COLORS);
    ReleaseDC(NULL, hDC);
    return nLines == size.cy;
}

BYTE Clamp255(double value)
{
    return static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
}

DWORD MakePixel(DWORD alpha, BYTE r, BYTE g, BYTE b)
{
    return (alpha & 0xFF000000) | (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) | b;
}

// The three pixel rules of the derived images; alpha stays.
struct FadeRule
{
    DWORD operator()(DWORD px) const
    {
        auto fade = [](BYTE c) { return static_cast<BYTE>(c + (255 - c) * 30 / 100); };
        return MakePixel(px, fade(static_cast<BYTE>(px >> 16)), fade(static_cast<BYTE>(px >> 8)),
                         fade(static_cast<BYTE>(px)));
    }
};

struct ShadowRule
{
    COLORREF clr;
    DWORD operator()(DWORD px) const { return MakePixel(px, GetRValue(clr), GetGValue(clr), GetBValue(clr)); }
};

struct DisabledRule
{
    COLORREF clrA;
    COLORREF clrB;
    DWORD operator()(DWORD px) const
    {
        const double t = (0.299 * static_cast<BYTE>(px >> 16) + 0.587 * static_cast<BYTE>(px >> 8) +
                          0.114 * static_cast<BYTE>(px)) /
                         255.0;
        if (clrA == COLORREF(-1) || clrB == COLORREF(-1)) {
            const BYTE grey = Clamp255(255.0 * std::sqrt(t));
            return MakePixel(px, grey, grey, grey);
        }
        auto mix = [t](BYTE a, BYTE b) { return Clamp255(b * (1.0 - t) + a * t); };
        return MakePixel(px, mix(GetRValue(clrA), GetRValue(clrB)), mix(GetGValue(clrA), GetGValue(clrB)),
                         mix(GetBValue(clrA), GetBValue(clrB)));
    }
};

// The derived form of an image: for an icon the pixels its mask shows, for an alpha image every
// pixel.
template <class Rule>
void DeriveImage(const CXTPImageHandle& hSource, CXTPImageHandle& hTarget, const Rule& rule)
{
    hTarget.Clear();
    if (hSource.IsAlpha()) {
        std::vector<DWORD> pixels;
        CSize size;
        if (!ReadPixels(hSource.GetBitmap(), pixels, size))
            return;
        for (DWORD& px : pixels)
            px = rule(px);
        HBITMAP hBitmap = CreateDib32(size.cx, size.cy, pixels.data());
        if (hBitmap != NULL) {
            hTarget.SetBitmap(hBitmap);
            DeleteObject(hBitmap);
        }
        return;
    }
    ICONINFO info;
    if (hSource.GetIcon() == NULL || !GetIconInfo(hSource.GetIcon(), &info))
        return;
    std::vector<DWORD> color, mask;
    CSize sizeColor, sizeMask;
    if (info.hbmColor != NULL && ReadPixels(info.hbmColor, color, sizeColor) &&
        ReadPixels(info.hbmMask, mask, sizeMask) && sizeMask.cy >= sizeColor.cy &&
        sizeMask.cx == sizeColor.cx) {
        for (size_t i = 0; i < color.size(); i++) {
            if ((mask[i] & 0x00FFFFFF) == 0)
                color[i] = rule(color[i]);
        }
        HBITMAP hColor = CreateDib32(sizeColor.cx, sizeColor.cy, color.data());
        if (hColor != NULL) {
            ICONINFO newInfo = info;
            newInfo.fIcon = TRUE;
            newInfo.hbmColor = hColor;
            hTarget.SetIcon(CreateIconIndirect(&newInfo));
            DeleteObject(hColor);
        }
    }
    if (info.hbmColor != NULL)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// An icon from a colour bitmap and its mask, through a 24-bit masked image list.
HICON IconFromPair(HBITMAP hColor, HBITMAP hMask)
{
    const CSize size = BitmapSize(hColor);
    HIMAGELIST hList = ImageList_Create(size.cx, size.cy, ILC_COLOR24 | ILC_MASK, 1, 0);
    if (hList == NULL)
        return NULL;
    HICON hIcon = NULL;
    if (ImageList_Add(hList, hColor, hMask) >= 0)
        hIcon = ImageList_GetIcon(hList, 0, ILD_NORMAL);
    ImageList_Destroy(hList);
    return hIcon;
}

// One stored bitmap: the count and bytes of its BITMAPINFO, then those of its pixels; 0 for none.
void WriteBitmap(CArchive& ar, HBITMAP hBitmap, int nBitCount)
{
    const CSize size = BitmapSize(hBitmap);
    if (size.cx <= 0 || size.cy <= 0) {
        ar.WriteCount(0);
        return;
    }
    const int nColors = nBitCount <= 8 ? (1 << nBitCount) : 0;
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + nColors * sizeof(RGBQUAD), 0);
    BITMAPINFOHEADER* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    pHeader->biSize = sizeof(BITMAPINFOHEADER);
    pHeader->biWidth = size.cx;
    pHeader->biHeight = size.cy;
    pHeader->biPlanes = 1;
    pHeader->biBitCount = static_cast<WORD>(nBitCount);
    pHeader->biCompression = BI_RGB;
    std::vector<BYTE> bits(static_cast<size_t>(Stride(size.cx, nBitCount)) * size.cy, 0);
    HDC hDC = GetDC(NULL);
    GetDIBits(hDC, hBitmap, 0, size.cy, bits.data(), reinterpret_cast<BITMAPINFO*>(info.data()),
              DIB_RGB_COLORS);
    ReleaseDC(NULL, hDC);
    pHeader->biSizeImage = static_cast<DWORD>(bits.size());
    pHeader->biClrUsed = 0;
    ar.WriteCount(info.size());
    ar.Write(info.data(), static_cast<UINT>(info.size()));
    ar.WriteCount(bits.size());
    ar.Write(bits.data(), static_cast<UINT>(bits.size()));
}

// Calls fn(key, value) for every entry, in the map's order.
template <class K, class AK, class V, class AV, class Fn>
void ForEachAssoc(const CMap<K, AK, V, AV>& map, Fn fn)
{
    POSITION pos = map.GetStartPosition();
    while (pos != NULL) {
        K key = K();
        V value = V();
        map.GetNextAssoc(pos, key, value);
        fn(key, value);
    }
}

[[noreturn]] void ThrowBadImage()
{
    AfxThrowArchiveException(CArchiveException::genericException);
}

// Reads one stored bitmap; the stored header and counts are checked before anything is made from
// them. Null for the empty bitmap.
HBITMAP ReadBitmap(CArchive& ar)
{
    const DWORD_PTR nInfo = ar.ReadCount();
    if (nInfo == 0)
        return NULL;
    const size_t nMaxInfo = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
    if (nInfo < sizeof(BITMAPINFOHEADER) || nInfo > nMaxInfo || nInfo > XTArchiveBytesLeft(ar))
        ThrowBadImage();
    std::vector<BYTE> info(nMaxInfo, 0);
    ar.EnsureRead(info.data(), static_cast<UINT>(nInfo));
    BITMAPINFOHEADER* pHeader = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    const int nBitCount = pHeader->biBitCount;
    const bool bKnownDepth = nBitCount == 1 || nBitCount == 4 || nBitCount == 8 || nBitCount == 16 ||
                             nBitCount == 24 || nBitCount == 32;
    if (pHeader->biSize < sizeof(BITMAPINFOHEADER) || pHeader->biSize > nInfo || !bKnownDepth ||
        pHeader->biCompression != BI_RGB || pHeader->biPlanes != 1 || pHeader->biWidth <= 0 ||
        pHeader->biWidth > kMaxImageSide || pHeader->biHeight <= 0 || pHeader->biHeight > kMaxImageSide)
        ThrowBadImage();
    if (nBitCount <= 8) {
        const DWORD nColors = pHeader->biClrUsed != 0 ? pHeader->biClrUsed : (1u << nBitCount);
        if (nColors > (1u << nBitCount) || nInfo < pHeader->biSize + nColors * sizeof(RGBQUAD))
            ThrowBadImage();
    }
    // The colour table is looked for right behind a 40-byte header.
    if (pHeader->biSize != sizeof(BITMAPINFOHEADER)) {
        std::memmove(info.data() + sizeof(BITMAPINFOHEADER), info.data() + pHeader->biSize,
                     nInfo - pHeader->biSize);
        pHeader->biSize = sizeof(BITMAPINFOHEADER);
    }

    const size_t nNeeded = static_cast<size_t>(Stride(pHeader->biWidth, nBitCount)) * pHeader->biHeight;
    const DWORD_PTR nBits = ar.ReadCount();
    if (nBits < nNeeded || nBits > XTArchiveBytesLeft(ar))
        ThrowBadImage();
    std::vector<BYTE> bits(nBits);
    ar.EnsureRead(bits.data(), static_cast<UINT>(nBits));

    pHeader->biSizeImage = static_cast<DWORD>(nNeeded);
    void* pBits = NULL;
    HBITMAP hBitmap =
        CreateDIBSection(NULL, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &pBits, NULL, 0);
    if (hBitmap == NULL)
        AfxThrowMemoryException();
    std::memcpy(pBits, bits.data(), nNeeded);
    return hBitmap;
}

void WriteHandle(CArchive& ar, const CXTPImageHandle& hImage)
{
    if (hImage.IsAlpha()) {
        WriteBitmap(ar, hImage.GetBitmap(), 32);
        ar.WriteCount(0);
        return;
    }
    ICONINFO info;
    if (hImage.GetIcon() == NULL || !GetIconInfo(hImage.GetIcon(), &info)) {
        ar.WriteCount(0);
        ar.WriteCount(0);
        return;
    }
    if (info.hbmColor == NULL) {
        // A monochrome icon keeps both masks in one bitmap: stored as its drawn image and its mask.
        const CSize size = hImage.GetExtent();
        HBITMAP hColor = CreateDib32(size.cx, size.cy, NULL);
        HBITMAP hMask = CreateBitmap(size.cx, size.cy, 1, 1, NULL);
        HDC hDC = CreateCompatibleDC(NULL);
        HGDIOBJ hOld = SelectObject(hDC, hColor);
        DrawIconEx(hDC, 0, 0, hImage.GetIcon(), size.cx, size.cy, 0, NULL, DI_NORMAL);
        SelectObject(hDC, hMask);
        DrawIconEx(hDC, 0, 0, hImage.GetIcon(), size.cx, size.cy, 0, NULL, DI_MASK);
        SelectObject(hDC, hOld);
        DeleteDC(hDC);
        WriteBitmap(ar, hColor, 32);
        WriteBitmap(ar, hMask, 1);
        DeleteObject(hColor);
        DeleteObject(hMask);
    } else {
        WriteBitmap(ar, info.hbmColor, 32);
        WriteBitmap(ar, info.hbmMask, 1);
        DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);
}

// Reads a pair into the holder: colour and mask an icon, colour alone an alpha image.
void ReadHandle(CArchive& ar, CXTPImageHandle& hImage)
{
    hImage.Clear();
    HBITMAP hColor = ReadBitmap(ar);
    HBITMAP hMask = NULL;
    try {
        hMask = ReadBitmap(ar);
    } catch (...) {
        if (hColor != NULL)
            DeleteObject(hColor);
        throw;
    }
    if (hColor != NULL && hMask != NULL)
        hImage.SetIcon(IconFromPair(hColor, hMask));
    else if (hColor != NULL)
        hImage.SetBitmap(hColor);
    if (hColor != NULL)
        DeleteObject(hColor);
    if (hMask != NULL)
        DeleteObject(hMask);
}

HICON CopyIconOrNull(HICON hIcon)
{
    return hIcon != NULL ? CopyIcon(hIcon) : NULL;
}
} // namespace

// ---------------------------------------------------------------------------------------------------
// Free helpers

HBITMAP AFXAPI CopyAlphaBitmap(HBITMAP hBitmap)
{
    std::vector<DWORD> pixels;
    CSize size;
    if (!ReadPixels(hBitmap, pixels, size))
        return NULL;
    return CreateDib32(size.cx, size.cy, pixels.data());
}

BOOL AFXAPI SplitAlphaBitmap(HBITMAP hBitmap, int nCount, HBITMAP* pBitmaps)
{
    std::vector<DWORD> pixels;
    CSize size;
    if (nCount <= 0 || !ReadPixels(hBitmap, pixels, size) || size.cx % nCount != 0)
        return FALSE;
    const int nPieceWidth = size.cx / nCount;
    std::vector<DWORD> piece(static_cast<size_t>(nPieceWidth) * size.cy);
    for (int i = 0; i < nCount; i++) {
        for (int y = 0; y < size.cy; y++)
            std::memcpy(&piece[static_cast<size_t>(y) * nPieceWidth],
                        &pixels[static_cast<size_t>(y) * size.cx + static_cast<size_t>(i) * nPieceWidth],
                        nPieceWidth * sizeof(DWORD));
        pBitmaps[i] = CreateDib32(nPieceWidth, size.cy, piece.data());
        if (pBitmaps[i] == NULL) {
            for (int j = 0; j < i; j++)
                DeleteObject(pBitmaps[j]);
            return FALSE;
        }
    }
    return TRUE;
}

HICON AFXAPI ScaleIcon(HICON hIcon, CSize szIcon, int nNewWidth)
{
    if (hIcon == NULL || nNewWidth == 0 || szIcon.cx == 0 || szIcon.cy == 0)
        return NULL;
    if (nNewWidth == szIcon.cx)
        return CopyIcon(hIcon);
    HIMAGELIST hList =
        ImageList_Create(nNewWidth, MulDiv(szIcon.cy, nNewWidth, szIcon.cx), ILC_COLOR32 | ILC_MASK, 1, 0);
    if (hList == NULL)
        return NULL;
    HICON hResult = NULL;
    if (ImageList_ReplaceIcon(hList, -1, hIcon) >= 0)
        hResult = ImageList_GetIcon(hList, 0, ILD_NORMAL);
    ImageList_Destroy(hList);
    return hResult;
}

BOOL AFXAPI IsAlphaBitmapFile(LPCTSTR lpszFileName)
{
    HANDLE hFile = CreateFileW(lpszFileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    BYTE header[sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)];
    DWORD nRead = 0;
    const BOOL bRead = ReadFile(hFile, header, sizeof(header), &nRead, NULL) && nRead == sizeof(header);
    CloseHandle(hFile);
    if (!bRead)
        return FALSE;
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, header + sizeof(BITMAPFILEHEADER), sizeof(bih));
    return bih.biBitCount == 32;
}

HBITMAP AFXAPI LoadAlphaOrPlainBitmap(HINSTANCE hInst, LPCTSTR lpszResourceName, BOOL* pbAlpha)
{
    if (pbAlpha != NULL)
        *pbAlpha = FALSE;
    HRSRC hResource = FindResourceW(hInst, lpszResourceName, RT_BITMAP);
    if (hResource == NULL)
        return NULL;
    const DWORD nSize = SizeofResource(hInst, hResource);
    HGLOBAL hGlobal = LoadResource(hInst, hResource);
    const BYTE* pData = hGlobal != NULL ? static_cast<const BYTE*>(LockResource(hGlobal)) : NULL;
    if (pData != NULL && nSize >= sizeof(BITMAPINFOHEADER)) {
        BITMAPINFOHEADER bih;
        std::memcpy(&bih, pData, sizeof(bih));
        const LONG nHeight = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
        if (bih.biBitCount == 32 && bih.biCompression == BI_RGB && bih.biSize == sizeof(BITMAPINFOHEADER) &&
            bih.biWidth > 0 && nHeight > 0 && bih.biWidth <= 0x8000 && nHeight <= 0x8000 &&
            static_cast<ULONGLONG>(nSize) >=
                sizeof(bih) + static_cast<ULONGLONG>(bih.biWidth) * nHeight * 4) {
            void* pBits = NULL;
            HBITMAP hBitmap =
                CreateDIBSection(NULL, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS, &pBits, NULL, 0);
            if (hBitmap == NULL)
                AfxThrowMemoryException();
            std::memcpy(pBits, pData + sizeof(bih), static_cast<size_t>(bih.biWidth) * nHeight * 4);
            if (pbAlpha != NULL)
                *pbAlpha = TRUE;
            return hBitmap;
        }
    }
    return LoadBitmapW(hInst, lpszResourceName);
}

BOOL AFXAPI ReadToolBarResource(HINSTANCE hInst, UINT nIDResource, CArray<UINT, UINT>& arrCommands,
                                CSize& szImage)
{
    arrCommands.RemoveAll();
    HRSRC hResource = FindResourceW(hInst, MAKEINTRESOURCEW(nIDResource), MAKEINTRESOURCEW(241));
    if (hResource == NULL)
        return FALSE;
    const DWORD nSize = SizeofResource(hInst, hResource);
    HGLOBAL hGlobal = LoadResource(hInst, hResource);
    const WORD* pData = hGlobal != NULL ? static_cast<const WORD*>(LockResource(hGlobal)) : NULL;
    if (pData == NULL || nSize < 4 * sizeof(WORD))
        return FALSE;
    szImage = CSize(pData[1], pData[2]);
    // The item count is the resource's claim; the resource's own size bounds it.
    const DWORD nItems = std::min<DWORD>(pData[3], nSize / sizeof(WORD) - 4);
    for (DWORD i = 0; i < nItems; i++) {
        if (pData[4 + i] != 0)
            arrCommands.Add(pData[4 + i]);
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------------
// Image holder

CXTPImageHandle::CXTPImageHandle() : m_hIcon(NULL), m_hBitmap(NULL), m_hExtraBitmap(NULL), m_bOwns(TRUE) {}

CXTPImageHandle::~CXTPImageHandle()
{
    Clear();
}

void CXTPImageHandle::Clear()
{
    if (m_bOwns) {
        if (m_hIcon != NULL)
            DestroyIcon(m_hIcon);
        if (m_hBitmap != NULL)
            DeleteObject(m_hBitmap);
    }
    if (m_hExtraBitmap != NULL)
        DeleteObject(m_hExtraBitmap);
    m_hIcon = NULL;
    m_hBitmap = NULL;
    m_hExtraBitmap = NULL;
    m_bOwns = TRUE;
}

void CXTPImageHandle::SetIcon(HICON hIcon)
{
    Clear();
    m_hIcon = hIcon;
}

void CXTPImageHandle::SetBitmap(HBITMAP hBitmap)
{
    Clear();
    m_hBitmap = CopyAlphaBitmap(hBitmap);
}

void CXTPImageHandle::CopyHandle(const CXTPImageHandle& other)
{
    if (&other == this)
        return;
    if (other.IsAlpha())
        SetBitmap(other.m_hBitmap);
    else
        SetIcon(CopyIconOrNull(other.m_hIcon));
}

void CXTPImageHandle::InitShared(const CXTPImageHandle& other)
{
    Clear();
    m_hIcon = other.m_hIcon;
    m_hBitmap = other.m_hBitmap;
    m_bOwns = FALSE;
}

CSize CXTPImageHandle::GetExtent() const
{
    if (m_hIcon != NULL) {
        ICONINFO info;
        if (!GetIconInfo(m_hIcon, &info))
            return CSize(0, 0);
        CSize size;
        if (info.hbmColor != NULL) {
            size = BitmapSize(info.hbmColor);
            DeleteObject(info.hbmColor);
        } else {
            size = BitmapSize(info.hbmMask);
            size.cy /= 2;
        }
        DeleteObject(info.hbmMask);
        return size;
    }
    if (m_hBitmap != NULL)
        return BitmapSize(m_hBitmap);
    return CSize(0, 0);
}

HBITMAP CXTPImageHandle::PreMultiply()
{
    if (m_hExtraBitmap != NULL)
        return m_hExtraBitmap;
    std::vector<DWORD> pixels;
    CSize size;
    BOOL bRead = FALSE;
    if (m_hBitmap != NULL) {
        bRead = ReadPixels(m_hBitmap, pixels, size);
    } else if (m_hIcon != NULL) {
        ICONINFO info;
        if (GetIconInfo(m_hIcon, &info)) {
            bRead = info.hbmColor != NULL && ReadPixels(info.hbmColor, pixels, size);
            if (info.hbmColor != NULL)
                DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
    if (!bRead)
        return NULL;
    for (DWORD& px : pixels) {
        const DWORD a = px >> 24;
        const DWORD r = ((px >> 16) & 0xFF) * a / 255;
        const DWORD g = ((px >> 8) & 0xFF) * a / 255;
        const DWORD b = (px & 0xFF) * a / 255;
        px = (a << 24) | (r << 16) | (g << 8) | b;
    }
    m_hExtraBitmap = CreateDib32(size.cx, size.cy, pixels.data());
    return m_hExtraBitmap;
}

BOOL CXTPImageHandle::LoadIcon(HINSTANCE hInst, LPCTSTR lpszResourceName, int nWidth, int nHeight,
                               BOOL bExact)
{
    if (bExact) {
        HRSRC hGroup = FindResourceW(hInst, lpszResourceName, RT_GROUP_ICON);
        if (hGroup != NULL) {
            const DWORD nSize = SizeofResource(hInst, hGroup);
            HGLOBAL hGlobal = LoadResource(hInst, hGroup);
            const BYTE* pData = hGlobal != NULL ? static_cast<const BYTE*>(LockResource(hGlobal)) : NULL;
            if (pData == NULL || nSize < 6)
                return FALSE;
            const WORD nCount = static_cast<WORD>(pData[4] | (pData[5] << 8));
            const int nEntries = static_cast<int>(std::min<DWORD>(nCount, (nSize - 6) / 14));
            for (int i = nEntries - 1; i >= 0; i--) {
                const BYTE* pEntry = pData + 6 + i * 14;
                const int cx = pEntry[0] == 0 ? 256 : pEntry[0];
                const int cy = pEntry[1] == 0 ? 256 : pEntry[1];
                const WORD nID = static_cast<WORD>(pEntry[12] | (pEntry[13] << 8));
                if (cx == nWidth && cy == nHeight &&
                    LoadIcon(hInst, MAKEINTRESOURCEW(nID), nWidth, nHeight, FALSE))
                    return TRUE;
            }
            return FALSE;
        }
    }
    Clear();
    HRSRC hResource = FindResourceW(hInst, lpszResourceName, RT_ICON);
    if (hResource == NULL)
        return FALSE;
    const DWORD nSize = SizeofResource(hInst, hResource);
    HGLOBAL hGlobal = LoadResource(hInst, hResource);
    BYTE* pData = hGlobal != NULL ? static_cast<BYTE*>(LockResource(hGlobal)) : NULL;
    if (pData == NULL || nSize < sizeof(BITMAPINFOHEADER))
        return FALSE;
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, pData, sizeof(bih));
    if (bih.biBitCount == 32) {
        if (!XTPImageManager()->IsAlphaSupported())
            return FALSE;
        const LONG nImageHeight = bih.biHeight / 2; // the header counts the mask rows too
        if (bih.biSize < sizeof(BITMAPINFOHEADER) || bih.biWidth <= 0 || nImageHeight <= 0 ||
            bih.biWidth > kMaxImageSide || nImageHeight > kMaxImageSide ||
            nSize < bih.biSize + static_cast<DWORD>(bih.biWidth) * nImageHeight * 4)
            return FALSE;
        BITMAPINFOHEADER header = bih;
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biHeight = nImageHeight;
        header.biCompression = BI_RGB;
        header.biSizeImage = 0;
        void* pBits = NULL;
        HBITMAP hBitmap =
            CreateDIBSection(NULL, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &pBits, NULL, 0);
        if (hBitmap == NULL)
            return FALSE;
        std::memcpy(pBits, pData + bih.biSize, static_cast<size_t>(bih.biWidth) * nImageHeight * 4);
        SetBitmap(hBitmap);
        DeleteObject(hBitmap);
    } else {
        SetIcon(CreateIconFromResourceEx(pData, nSize, TRUE, 0x30000, nWidth, nHeight, 0));
    }
    return !IsEmpty();
}

// ---------------------------------------------------------------------------------------------------
// Icon

CXTPImageManagerIcon::CXTPImageManagerIcon(UINT nID, int nWidth, int nHeight,
                                           CXTPImageManagerImageList* pImageList)
    : m_pImageManager(NULL), m_nID(nID), m_nWidth(nWidth), m_nHeight(nHeight), m_wReserved(0),
      m_pImageList(pImageList)
{}

CXTPImageManagerIcon::~CXTPImageManagerIcon() = default;

void CXTPImageManagerIcon::DropDerived()
{
    m_hFaded.Clear();
    m_hShadow.Clear();
    m_hDisabledAuto.Clear();
}

CXTPImageHandle& CXTPImageManagerIcon::GetFadedImage()
{
    if (m_hFaded.IsEmpty())
        DeriveImage(m_hIcon, m_hFaded, FadeRule());
    return m_hFaded;
}

CXTPImageHandle& CXTPImageManagerIcon::GetShadowImage()
{
    if (m_hShadow.IsEmpty()) {
        const COLORREF clr = GetColorTable()->GetColor(31);
        const COLORREF clrShadow =
            RGB(static_cast<BYTE>(GetRValue(clr) * 0.75), static_cast<BYTE>(GetGValue(clr) * 0.75),
                static_cast<BYTE>(GetBValue(clr) * 0.75));
        DeriveImage(m_hIcon, m_hShadow, ShadowRule{clrShadow});
    }
    return m_hShadow;
}

CXTPImageHandle& CXTPImageManagerIcon::GetDisabledImage(BOOL bCreate)
{
    if (!m_hDisabled.IsEmpty())
        return m_hDisabled;
    if (bCreate)
        CreateDisabledImage();
    return m_hDisabledAuto;
}

void CXTPImageManagerIcon::CreateDisabledImage(COLORREF clrA, COLORREF clrB)
{
    if (!m_hDisabledAuto.IsEmpty())
        return;
    DeriveImage(m_hIcon, m_hDisabledAuto, DisabledRule{clrA, clrB});
}

void CXTPImageManagerIcon::SetImage(const CXTPImageHandle& hImage)
{
    m_hIcon.CopyHandle(hImage);
    DropDerived();
    const CSize size = m_hIcon.GetExtent();
    if (size.cx > 0) {
        m_nWidth = size.cx;
        m_nHeight = size.cy;
    }
    Refresh();
}

void CXTPImageManagerIcon::SetDisabledImage(const CXTPImageHandle& hImage)
{
    m_hDisabled.CopyHandle(hImage);
    DropDerived();
}

void CXTPImageManagerIcon::SetHotImage(const CXTPImageHandle& hImage)
{
    m_hHot.CopyHandle(hImage);
    DropDerived();
}

void CXTPImageManagerIcon::SetPressedImage(const CXTPImageHandle& hImage)
{
    m_hPressed.CopyHandle(hImage);
    DropDerived();
}

void CXTPImageManagerIcon::Refresh()
{
    // Derived images follow the colours of the moment.
    m_hFaded.Clear();
    m_hShadow.Clear();
}

void CXTPImageManagerIcon::Draw(CDC* pDC, CPoint pt, CXTPImageHandle& hImage, CSize sz)
{
    if (sz.cx == 0)
        sz.cx = m_nWidth;
    if (sz.cy == 0)
        sz.cy = m_nWidth != 0 ? m_nHeight * sz.cx / m_nWidth : m_nHeight;
    CXTPImageManager* pManager = m_pImageManager != NULL ? m_pImageManager : XTPImageManager();
    if (m_pImageList != NULL) {
        m_pImageList->Draw(pDC, pt, m_nID, sz);
        return;
    }
    const BOOL bRtl = pManager->IsDrawRightToLeft();
    if (!hImage.IsAlpha()) {
        if (hImage.GetIcon() == NULL)
            return;
        if (bRtl)
            DrawIconEx(pDC->GetSafeHdc(), pt.x + sz.cx, pt.y, hImage.GetIcon(), -sz.cx, sz.cy, 0, NULL,
                       DI_NORMAL);
        else
            DrawIconEx(pDC->GetSafeHdc(), pt.x, pt.y, hImage.GetIcon(), sz.cx, sz.cy, 0, NULL, DI_NORMAL);
        return;
    }
    HBITMAP hPremultiplied = hImage.PreMultiply();
    if (hPremultiplied == NULL)
        return;
    if (!bRtl) {
        pManager->DrawAlphaBitmap(pDC, hPremultiplied, pt, sz);
        return;
    }
    // Mirrored through a temporary copy.
    std::vector<DWORD> pixels;
    CSize size;
    if (!ReadPixels(hPremultiplied, pixels, size))
        return;
    for (int y = 0; y < size.cy; y++) {
        DWORD* row = &pixels[static_cast<size_t>(y) * size.cx];
        std::reverse(row, row + size.cx);
    }
    HBITMAP hMirror = CreateDib32(size.cx, size.cy, pixels.data());
    if (hMirror != NULL) {
        pManager->DrawAlphaBitmap(pDC, hMirror, pt, sz, CPoint(0, 0), size);
        DeleteObject(hMirror);
    }
}

void CXTPImageManagerIcon::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nHeight);
        ar << static_cast<DWORD>(16);
        WriteHandle(ar, m_hIcon);
        WriteHandle(ar, m_hDisabled);
        WriteHandle(ar, m_hHot);
        WriteHandle(ar, m_hPressed);
        return;
    }
    DWORD nHeight = 0;
    DWORD nSchema = 0;
    ar >> nHeight >> nSchema;
    // Read whole before anything changes, so a refused image leaves the icon as it was.
    CXTPImageHandle normal, disabled, hot, pressed;
    ReadHandle(ar, normal);
    ReadHandle(ar, disabled);
    ReadHandle(ar, hot);
    if (nSchema > 7)
        ReadHandle(ar, pressed);
    m_hIcon.CopyHandle(normal);
    m_hDisabled.CopyHandle(disabled);
    m_hHot.CopyHandle(hot);
    m_hPressed.CopyHandle(pressed);
    DropDerived();
    const CSize size = m_hIcon.GetExtent();
    m_nHeight = nHeight > 0 && nHeight <= static_cast<DWORD>(kMaxImageSide)
                    ? static_cast<int>(nHeight)
                    : (size.cy > 0 ? size.cy : m_nHeight);
}

// ---------------------------------------------------------------------------------------------------
// Icon set

CXTPImageManagerIconSet::CXTPImageManagerIconSet(UINT nID, CXTPImageManager* pImageManager)
    : m_nID(nID), m_pImageManager(pImageManager), m_mapIcons(10)
{
    m_mapIcons.InitHashTable(17, FALSE);
}

CXTPImageManagerIconSet::~CXTPImageManagerIconSet()
{
    RemoveAll();
}

void CXTPImageManagerIconSet::RemoveAll()
{
    ForEachAssoc(m_mapIcons, [&](int, CXTPImageManagerIcon* pIcon) { pIcon->InternalRelease(); });
    m_mapIcons.RemoveAll();
}

CXTPImageManagerIcon* CXTPImageManagerIconSet::CreateIcon(int nWidth, int nHeight)
{
    CXTPImageManagerIcon* pIcon = NULL;
    if (m_mapIcons.Lookup(nWidth, pIcon))
        return pIcon;
    pIcon = new CXTPImageManagerIcon(m_nID, nWidth, nHeight);
    pIcon->m_pImageManager = m_pImageManager;
    m_mapIcons.SetAt(nWidth, pIcon);
    return pIcon;
}

CXTPImageManagerIcon* CXTPImageManagerIconSet::GetIcon(int nWidth, BOOL bScaled)
{
    CXTPImageManagerIcon* pIcon = NULL;
    if (m_mapIcons.Lookup(nWidth, pIcon))
        return pIcon;
    CXTPImageManagerIcon* pNearest = NULL;
    int nBest = INT_MAX;
    POSITION pos = m_mapIcons.GetStartPosition();
    while (pos != NULL) {
        int nKey = 0;
        m_mapIcons.GetNextAssoc(pos, nKey, pIcon);
        const int nDistance = std::abs(nKey - nWidth);
        if (nDistance < nBest) {
            nBest = nDistance;
            pNearest = pIcon;
        }
    }
    if (pNearest == NULL || !bScaled || pNearest->IsAlpha() || pNearest->GetWidth() <= 0 || nWidth <= 0)
        return pNearest;

    const CSize szNearest = pNearest->GetExtent();
    CXTPImageManagerIcon* pScaled =
        new CXTPImageManagerIcon(m_nID, nWidth, MulDiv(szNearest.cy, nWidth, szNearest.cx));
    pScaled->m_pImageManager = m_pImageManager;
    struct
    {
        CXTPImageHandle& from;
        CXTPImageHandle& to;
    } const images[] = {{pNearest->m_hIcon, pScaled->m_hIcon},
                        {pNearest->m_hDisabled, pScaled->m_hDisabled},
                        {pNearest->m_hHot, pScaled->m_hHot},
                        {pNearest->m_hPressed, pScaled->m_hPressed}};
    for (const auto& image : images) {
        if (image.from.GetIcon() != NULL)
            image.to.SetIcon(ScaleIcon(image.from.GetIcon(), szNearest, nWidth));
    }
    m_mapIcons.SetAt(nWidth, pScaled);
    return pScaled;
}

void CXTPImageManagerIconSet::Refresh()
{
    ForEachAssoc(m_mapIcons, [&](int, CXTPImageManagerIcon* pIcon) { pIcon->Refresh(); });
}

// ---------------------------------------------------------------------------------------------------
// Image-list holder

CXTPImageManagerImageList::~CXTPImageManagerImageList()
{
    ForEachAssoc(m_mapIcons, [&](UINT, CXTPImageManagerIcon* pIcon) { pIcon->InternalRelease(); });
    if (m_bDestroyImageList && m_hImageList != NULL)
        ImageList_Destroy(m_hImageList);
}

BOOL CXTPImageManagerImageList::Lookup(UINT nCommand) const
{
    return m_hImageList != NULL && nCommand >= m_nBaseCommand &&
           nCommand < m_nBaseCommand + static_cast<UINT>(ImageList_GetImageCount(m_hImageList));
}

CXTPImageManagerIcon* CXTPImageManagerImageList::GetIcon(UINT nCommand)
{
    CXTPImageManagerIcon* pIcon = NULL;
    if (m_mapIcons.Lookup(nCommand, pIcon))
        return pIcon;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(m_hImageList, &cx, &cy);
    pIcon = new CXTPImageManagerIcon(nCommand, cx, cy, this);
    m_mapIcons.SetAt(nCommand, pIcon);
    return pIcon;
}

void CXTPImageManagerImageList::Draw(CDC* pDC, CPoint pt, UINT nCommand, CSize sz)
{
    ImageList_DrawEx(m_hImageList, static_cast<int>(nCommand - m_nBaseCommand), pDC->GetSafeHdc(), pt.x, pt.y,
                     sz.cx, sz.cy, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
}

// ---------------------------------------------------------------------------------------------------
// Manager

CXTPImageManager::CXTPImageManager()
    : m_clrMask(COLORREF(-1)), m_mapImages(10), m_nCustomID(0x10AAA), m_hMsImg32(NULL), m_pfnAlphaBlend(NULL),
      m_bDrawReverted(FALSE)
{
    m_mapImages.InitHashTable(17, FALSE);
    m_hMsImg32 = LoadLibraryW(L"msimg32.dll");
    if (m_hMsImg32 != NULL)
        m_pfnAlphaBlend = reinterpret_cast<PFN_ALPHABLEND>(
            reinterpret_cast<void*>(GetProcAddress(m_hMsImg32, "AlphaBlend")));
    GetClipboardFormat();
    GetAlphaClipboardFormat();
}

CXTPImageManager::~CXTPImageManager()
{
    RemoveAll();
    for (INT_PTR i = 0; i < m_arrImageList.GetSize(); i++)
        delete m_arrImageList[i];
    m_arrImageList.RemoveAll();
    if (m_hMsImg32 != NULL)
        FreeLibrary(m_hMsImg32);
}

CXTPImageManager* AFXAPI XTPImageManager()
{
    static CXTPImageManager s_imageManager;
    return &s_imageManager;
}

namespace {
// Built before the application starts, like the other toolkit singletons that are not lazy.
struct ImageManagerInit
{
    ImageManagerInit() { XTPImageManager(); }
} s_imageManagerInit;
} // namespace

CLIPFORMAT AFXAPI CXTPImageManager::GetClipboardFormat()
{
    static const CLIPFORMAT s_cf =
        static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Toolkit ToolBar Image"));
    return s_cf;
}

CLIPFORMAT AFXAPI CXTPImageManager::GetAlphaClipboardFormat()
{
    static const CLIPFORMAT s_cf = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"Alpha Bitmap Image"));
    return s_cf;
}

BOOL AFXAPI CXTPImageManager::IsAlphaImageListSupported()
{
    return XTGetComCtlVersion() >= 0x00060000;
}

CXTPImageManagerIconSet* CXTPImageManager::LookupIconSet(UINT nCommand) const
{
    CXTPImageManagerIconSet* pIconSet = NULL;
    return m_mapImages.Lookup(nCommand, pIconSet) ? pIconSet : NULL;
}

CXTPImageManagerIconSet* CXTPImageManager::GetOrCreateIconSet(UINT nCommand)
{
    CXTPImageManagerIconSet* pIconSet = LookupIconSet(nCommand);
    if (pIconSet == NULL) {
        pIconSet = new CXTPImageManagerIconSet(nCommand, this);
        m_mapImages.SetAt(nCommand, pIconSet);
    }
    return pIconSet;
}

BOOL CXTPImageManager::SetCommandImage(const CXTPImageHandle& hImage, UINT nCommand, int nWidth, int nHeight,
                                       int imageState)
{
    if (hImage.IsEmpty())
        return FALSE;
    if (nWidth == 0 || nHeight == 0) {
        const CSize size = hImage.GetExtent();
        if (nWidth == 0)
            nWidth = size.cx;
        if (nHeight == 0)
            nHeight = size.cy;
    }
    CXTPImageManagerIcon* pIcon = GetOrCreateIconSet(nCommand)->CreateIcon(nWidth, nHeight);
    switch (imageState) {
    case xtpImageDisabled:
        pIcon->SetDisabledImage(hImage);
        break;
    case xtpImageHot:
        pIcon->SetHotImage(hImage);
        break;
    case xtpImageChecked:
        pIcon->SetPressedImage(hImage);
        break;
    default:
        pIcon->SetImage(hImage);
        break;
    }
    return TRUE;
}

BOOL CXTPImageManager::SetCommandIcon(const CXTPImageHandle& hImage, UINT nCommand)
{
    return SetCommandImage(hImage, nCommand, 0, 0, xtpImageNormal);
}

BOOL CXTPImageManager::AddIconsFromImageList(HIMAGELIST hImageList, const UINT* pCommands, int nCount,
                                             int nWidth, int nHeight, int imageState)
{
    if (hImageList == NULL)
        return FALSE;
    const int nImages = ImageList_GetImageCount(hImageList);
    if (pCommands == NULL && nCount == 0)
        nCount = nImages;
    if (nWidth == 0 && nHeight == 0)
        ImageList_GetIconSize(hImageList, &nWidth, &nHeight);
    const BOOL bSeparators = pCommands != NULL && nCount > nImages;
    int nImage = 0;
    for (int i = 0; i < nCount && nImage < nImages; i++) {
        if (bSeparators && pCommands[i] == 0)
            continue;
        HICON hIcon = ImageList_GetIcon(hImageList, nImage, ILD_NORMAL);
        if (hIcon == NULL)
            return FALSE;
        CXTPImageHandle hImage;
        hImage.SetIcon(hIcon);
        SetCommandImage(hImage, pCommands != NULL ? pCommands[i] : static_cast<UINT>(nImage), nWidth, nHeight,
                        imageState);
        nImage++;
    }
    return TRUE;
}

BOOL CXTPImageManager::AddIconsFromBitmapHandle(HBITMAP hBitmap, const UINT* pCommands, int nCount,
                                                int nWidth, int nHeight, int imageState, BOOL bAlpha)
{
    if (nWidth == 0 || hBitmap == NULL)
        return FALSE;
    const CSize size = BitmapSize(hBitmap);
    if (!bAlpha) {
        if (nHeight == 0)
            nHeight = size.cy;
        HIMAGELIST hList = ImageList_Create(nWidth, nHeight, ILC_COLOR24 | ILC_MASK, 0, 1);
        if (hList == NULL)
            return FALSE;
        COLORREF clrMask = m_clrMask;
        if (clrMask == COLORREF(-1)) {
            HDC hDC = CreateCompatibleDC(NULL);
            HGDIOBJ hOld = SelectObject(hDC, hBitmap);
            clrMask = GetPixel(hDC, 0, 0);
            SelectObject(hDC, hOld);
            DeleteDC(hDC);
        }
        ImageList_AddMasked(hList, hBitmap, clrMask);
        const BOOL bResult = AddIconsFromImageList(hList, pCommands, nCount, nWidth, nHeight, imageState);
        ImageList_Destroy(hList);
        return bResult;
    }
    if (size.cx <= 0 || size.cx % nWidth != 0)
        return FALSE;
    const int nPieces = size.cx / nWidth;
    std::vector<HBITMAP> pieces(nPieces, NULL);
    if (!SplitAlphaBitmap(hBitmap, nPieces, pieces.data()))
        return FALSE;
    if (pCommands == NULL && nCount == 0)
        nCount = nPieces;
    const BOOL bSeparators = pCommands != NULL && nCount > nPieces;
    int nPiece = 0;
    for (int i = 0; i < nCount && nPiece < nPieces; i++) {
        if (bSeparators && pCommands[i] == 0)
            continue;
        CXTPImageHandle hImage;
        hImage.SetBitmap(pieces[nPiece]);
        SetCommandImage(hImage, pCommands != NULL ? pCommands[i] : static_cast<UINT>(nPiece), nWidth,
                        nHeight != 0 ? nHeight : size.cy, imageState);
        nPiece++;
    }
    for (HBITMAP hPiece : pieces)
        DeleteObject(hPiece);
    return TRUE;
}

BOOL CXTPImageManager::AddIconsFromBitmap(HINSTANCE hInst, UINT nIDResourceBitmap, const UINT* pCommands,
                                          int nCount, int nWidth, int nHeight, int imageState)
{
    BOOL bAlpha = FALSE;
    HBITMAP hBitmap = LoadAlphaOrPlainBitmap(hInst, MAKEINTRESOURCEW(nIDResourceBitmap), &bAlpha);
    if (hBitmap == NULL)
        return FALSE;
    const BOOL bResult =
        AddIconsFromBitmapHandle(hBitmap, pCommands, nCount, nWidth, nHeight, imageState, bAlpha);
    DeleteObject(hBitmap);
    return bResult;
}

BOOL CXTPImageManager::AddIconsFromToolBar(HINSTANCE hInst, UINT nIDResourceToolBar, UINT nIDResourceBitmap,
                                           int imageState)
{
    CArray<UINT, UINT> arrCommands;
    CSize szImage;
    if (!ReadToolBarResource(hInst, nIDResourceToolBar, arrCommands, szImage))
        return FALSE;
    return AddIconsFromBitmap(hInst, nIDResourceBitmap != 0 ? nIDResourceBitmap : nIDResourceToolBar,
                              arrCommands.GetData(), static_cast<int>(arrCommands.GetSize()), szImage.cx,
                              szImage.cy, imageState);
}

void CXTPImageManager::SetImageList(HIMAGELIST hImageList, UINT nBaseCommand, BOOL bDestroyImageList)
{
    CXTPImageManagerImageList* pImageList = new CXTPImageManagerImageList;
    pImageList->m_hImageList = hImageList;
    pImageList->m_nBaseCommand = nBaseCommand;
    pImageList->m_bDestroyImageList = bDestroyImageList;
    m_arrImageList.Add(pImageList);
}

CXTPImageManagerIcon* CXTPImageManager::GetImage(UINT nCommand, int nWidth)
{
    if (CXTPImageManagerIconSet* pIconSet = LookupIconSet(nCommand))
        return pIconSet->GetIcon(nWidth);
    for (INT_PTR i = 0; i < m_arrImageList.GetSize(); i++) {
        if (m_arrImageList[i]->Lookup(nCommand))
            return m_arrImageList[i]->GetIcon(nCommand);
    }
    return NULL;
}

void CXTPImageManager::RemoveIcon(UINT nCommand)
{
    if (CXTPImageManagerIconSet* pIconSet = LookupIconSet(nCommand)) {
        m_mapImages.RemoveKey(nCommand);
        pIconSet->InternalRelease();
    }
}

void CXTPImageManager::RemoveAll()
{
    ForEachAssoc(m_mapImages, [&](UINT, CXTPImageManagerIconSet* pIconSet) { pIconSet->InternalRelease(); });
    m_mapImages.RemoveAll();
}

void CXTPImageManager::RefreshAll()
{
    ForEachAssoc(m_mapImages, [&](UINT, CXTPImageManagerIconSet* pIconSet) { pIconSet->Refresh(); });
    for (INT_PTR i = 0; i < m_arrImageList.GetSize(); i++)
        m_arrImageList[i]->Refresh();
}

void CXTPImageManager::DrawAlphaBitmap(CDC* pDC, HBITMAP hBitmap, CPoint ptDest, CSize szDest, CPoint ptSrc,
                                       CSize szSrc)
{
    if (m_pfnAlphaBlend == NULL || hBitmap == NULL)
        return;
    if (szSrc.cx == 0 && szSrc.cy == 0)
        szSrc = szDest;
    HDC hMemDC = CreateCompatibleDC(pDC->GetSafeHdc());
    HGDIOBJ hOld = SelectObject(hMemDC, hBitmap);
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    m_pfnAlphaBlend(pDC->GetSafeHdc(), ptDest.x, ptDest.y, szDest.cx, szDest.cy, hMemDC, ptSrc.x, ptSrc.y,
                    szSrc.cx, szSrc.cy, bf);
    SelectObject(hMemDC, hOld);
    DeleteDC(hMemDC);
}

void CXTPImageManager::ExchangeIcons(UINT nCommand, CXTPPropExchange* pPX)
{
    CString strCheckSum(L"CXTPImageManagerIcons");
    ExchangeStringDefault(pPX, L"CheckSum", strCheckSum, L"CXTPImageManagerIcons");
    if (pPX->IsLoading() && strCheckSum != L"CXTPImageManagerIcons")
        AfxThrowArchiveException(CArchiveException::badClass);

    std::unique_ptr<CXTPPropSectionEnumerator> pEnumerator(pPX->GetEnumerator(L"Icon"));
    if (pPX->IsStoring()) {
        CXTPImageManagerIconSet* pIconSet = LookupIconSet(nCommand);
        POSITION posEnum = pEnumerator->GetPosition(
            pIconSet != NULL ? static_cast<DWORD>(pIconSet->m_mapIcons.GetCount()) : 0);
        POSITION pos = pIconSet != NULL ? pIconSet->m_mapIcons.GetStartPosition() : NULL;
        while (pos != NULL && posEnum != NULL) {
            int nWidth = 0;
            CXTPImageManagerIcon* pIcon = NULL;
            pIconSet->m_mapIcons.GetNextAssoc(pos, nWidth, pIcon);
            CXTPPropExchangeSection section(pEnumerator->GetNext(posEnum));
            long nStoredWidth = nWidth;
            ExchangeLong(&section, L"Width", nStoredWidth);
            ExchangeObject(&section, L"Data", pIcon);
        }
        return;
    }

    // Loaded into a set of its own first: a refused image leaves no half-built set behind.
    CXTPImageManagerIconSet loaded(nCommand, this);
    POSITION posEnum = pEnumerator->GetPosition(0);
    while (posEnum != NULL) {
        CXTPPropExchangeSection section(pEnumerator->GetNext(posEnum));
        long nWidth = 0;
        ExchangeLong(&section, L"Width", nWidth);
        if (nWidth <= 0 || nWidth > kMaxImageSide)
            AfxThrowArchiveException(CArchiveException::genericException);
        CXTPImageManagerIcon* pIcon = new CXTPImageManagerIcon(nCommand, nWidth, 15);
        pIcon->m_pImageManager = this;
        if (!ExchangeObject(&section, L"Data", pIcon)) {
            pIcon->InternalRelease();
            AfxThrowArchiveException(CArchiveException::genericException);
        }
        CXTPImageManagerIcon* pOld = NULL;
        if (loaded.m_mapIcons.Lookup(nWidth, pOld))
            pOld->InternalRelease();
        loaded.m_mapIcons.SetAt(nWidth, pIcon);
    }
    CXTPImageManagerIconSet* pIconSet = GetOrCreateIconSet(nCommand);
    ForEachAssoc(loaded.m_mapIcons, [&](int nWidth, CXTPImageManagerIcon* pIcon) {
        CXTPImageManagerIcon* pOld = NULL;
        if (pIconSet->m_mapIcons.Lookup(nWidth, pOld))
            pOld->InternalRelease();
        pIconSet->m_mapIcons.SetAt(nWidth, pIcon);
    });
    loaded.m_mapIcons.RemoveAll();
}

void CXTPImageManager::DoPropExchange(CXTPPropExchange* pPX)
{
    if (pPX->IsLoading())
        RemoveAll();
    std::unique_ptr<CXTPPropSectionEnumerator> pEnumerator(pPX->GetEnumerator(L"IconSet"));
    POSITION posEnum =
        pEnumerator->GetPosition(pPX->IsStoring() ? static_cast<DWORD>(m_mapImages.GetCount()) : 0);
    if (pPX->IsStoring()) {
        POSITION pos = m_mapImages.GetStartPosition();
        while (pos != NULL && posEnum != NULL) {
            UINT nID = 0;
            CXTPImageManagerIconSet* pIconSet = NULL;
            m_mapImages.GetNextAssoc(pos, nID, pIconSet);
            CXTPPropExchangeSection section(pEnumerator->GetNext(posEnum));
            long nStoredID = static_cast<long>(nID);
            ExchangeLong(&section, L"Id", nStoredID);
            ExchangeIcons(nID, &section);
        }
        return;
    }
    while (posEnum != NULL) {
        CXTPPropExchangeSection section(pEnumerator->GetNext(posEnum));
        long nID = 0;
        ExchangeLong(&section, L"Id", nID);
        ExchangeIcons(static_cast<UINT>(nID), &section);
    }
}

void CXTPImageManager::Serialize(CArchive& ar)
{
    CXTPPropExchangeArchive px(ar);
    DoPropExchange(&px);
}

void CXTPImageManager::ExchangeIconsArchive(UINT nCommand, CArchive& ar)
{
    CXTPPropExchangeArchive px(ar);
    ExchangeIcons(nCommand, &px);
}

BOOL CXTPImageManager::CopyToClipboard(UINT nCommand, HWND hWndOwner)
{
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store, 4096);
        ExchangeIconsArchive(nCommand, ar);
        ar.Close();
    }
    const SIZE_T nBytes = static_cast<SIZE_T>(file.GetLength());
    HGLOBAL hGlobal = GlobalAlloc(GMEM_MOVEABLE, nBytes);
    if (hGlobal == NULL)
        return FALSE;
    void* pData = GlobalLock(hGlobal);
    file.SeekToBegin();
    file.Read(pData, static_cast<UINT>(nBytes));
    GlobalUnlock(hGlobal);

    if (hWndOwner == NULL && AfxGetMainWnd() != NULL)
        hWndOwner = AfxGetMainWnd()->GetSafeHwnd();
    if (!OpenClipboard(hWndOwner)) {
        GlobalFree(hGlobal);
        return FALSE;
    }
    EmptyClipboard();
    const BOOL bResult = SetClipboardData(GetClipboardFormat(), hGlobal) != NULL;
    CloseClipboard();
    if (!bResult)
        GlobalFree(hGlobal);
    return bResult;
}

UINT CXTPImageManager::PasteFromClipboard(COleDataObject* pData)
{
    const CLIPFORMAT cf = GetClipboardFormat();
    if (pData == NULL || !pData->IsDataAvailable(cf))
        return 0;
    HGLOBAL hGlobal = pData->GetGlobalData(cf);
    if (hGlobal == NULL)
        return 0;
    UINT nResult = 0;
    try {
        CSharedFile file(0x2002, 4096);
        file.SetHandle(hGlobal, FALSE);
        CArchive ar(&file, CArchive::load, 4096);
        m_nCustomID++;
        ExchangeIconsArchive(m_nCustomID, ar);
        nResult = m_nCustomID;
    } catch (CException* e) {
        e->Delete();
    }
    GlobalFree(hGlobal);
    return nResult;
}
