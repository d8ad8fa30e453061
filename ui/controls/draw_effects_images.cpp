// Images in their states: variants, masks, transparent and alpha blits, shadows and the box blur.
#include "draw_effects.h"

#include <algorithm>
#include <new>

namespace {

// Images and shadows are never made larger than this on either side.
constexpr int kMaxImageSide = 4096;

// The alpha weight of one step, as the blending arithmetic counts it.
constexpr double kOneOver255 = 0.00392156862745098;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// 32-bit DIB pixels are blue, green, red, alpha from the low byte up; COLORREF has red low.
COLORREF PixelToColour(std::uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

std::uint32_t ColourToPixel(COLORREF colour)
{
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

bool SizeAllowed(int width, int height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

HBITMAP CreateDib32(int width, int height, std::uint32_t** bits)
{
    *bits = nullptr;
    if (!SizeAllowed(width, height)) {
        return nullptr;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!bitmap || !memory) {
        if (bitmap) {
            DeleteObject(bitmap);
        }
        return nullptr;
    }
    *bits = static_cast<std::uint32_t*>(memory);
    return bitmap;
}

// The pixels of one of our own top-down 32-bit DIB sections.
std::uint32_t* DibPixels(HBITMAP bitmap)
{
    DIBSECTION section = {};
    if (GetObjectW(bitmap, sizeof section, &section) != sizeof section || section.dsBm.bmBitsPixel != 32) {
        return nullptr;
    }
    return static_cast<std::uint32_t*>(section.dsBm.bmBits);
}

// Reads any bitmap as 32-bit top-down pixels, scaled (nearest pixel) to width x height. The alpha byte
// is kept as the bitmap holds it (0 for bitmaps without alpha).
bool ReadBitmapPixels(HBITMAP bitmap, int width, int height, std::vector<std::uint32_t>& pixels)
{
    const SIZE size = CDrawEffects::GetBitmapSize(bitmap);
    if (!SizeAllowed(size.cx, size.cy) || !SizeAllowed(width, height)) {
        return false;
    }
    std::vector<std::uint32_t> source;
    try {
        source.assign(static_cast<size_t>(size.cx) * size.cy, 0);
        pixels.assign(static_cast<size_t>(width) * height, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        return false;
    }
    GdiFlush();
    const int lines =
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(size.cy), source.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (lines != size.cy) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        const int sourceY = static_cast<int>(static_cast<long long>(y) * size.cy / height);
        for (int x = 0; x < width; ++x) {
            const int sourceX = static_cast<int>(static_cast<long long>(x) * size.cx / width);
            pixels[static_cast<size_t>(y) * width + x] =
                source[static_cast<size_t>(sourceY) * size.cx + sourceX];
        }
    }
    return true;
}

// A memory DC holding a bitmap for the length of a scope.
class SelectedBitmap
{
public:
    SelectedBitmap(HDC compatible, HBITMAP bitmap) : m_dc(CreateCompatibleDC(compatible))
    {
        if (m_dc && bitmap) {
            m_old = SelectObject(m_dc, bitmap);
        }
    }
    ~SelectedBitmap()
    {
        if (m_dc) {
            if (m_old) {
                SelectObject(m_dc, m_old);
            }
            DeleteDC(m_dc);
        }
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
    HDC dc() const { return m_old ? m_dc : nullptr; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

} // namespace

SIZE CDrawEffects::GetBitmapSize(HBITMAP bitmap)
{
    BITMAP record = {};
    if (!bitmap || GetObjectW(bitmap, sizeof record, &record) == 0) {
        return {0, 0};
    }
    return {record.bmWidth, record.bmHeight < 0 ? -record.bmHeight : record.bmHeight};
}

SIZE CDrawEffects::GetIconSize(HICON icon)
{
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) {
        return {0, 0};
    }
    if (info.hbmColor) {
        DeleteObject(info.hbmColor);
    }
    if (info.hbmMask) {
        DeleteObject(info.hbmMask);
    }
    // The hot spot of an icon lies in its centre.
    return {static_cast<LONG>(info.xHotspot * 2), static_cast<LONG>(info.yHotspot * 2)};
}

HBITMAP CDrawEffects::MakeImageVariant(HBITMAP bitmap, int width, int height, UINT flags, BOOL useKey,
                                       COLORREF key, COLORREF replacement, bool* hasAlpha)
{
    if (hasAlpha) {
        *hasAlpha = false;
    }
    std::vector<std::uint32_t> pixels;
    if (!ReadBitmapPixels(bitmap, width, height, pixels)) {
        return nullptr;
    }
    std::uint32_t* bits = nullptr;
    HBITMAP variant = CreateDib32(width, height, &bits);
    if (!variant) {
        return nullptr;
    }
    const std::uint32_t keyPixel = ColourToPixel(key);
    const std::uint32_t replacementPixel = ColourToPixel(replacement);
    bool alphaFound = false;
    for (std::uint32_t& pixel : pixels) {
        if (useKey && (pixel & 0x00FFFFFF) == keyPixel) {
            pixel = 0;
        } else {
            const std::uint32_t alpha = pixel & 0xFF000000;
            if (alpha != 0) {
                alphaFound = true;
            }
            COLORREF colour = PixelToColour(pixel);
            if (flags & StateGrey) {
                colour = GreyColour(colour);
            }
            if (flags & StateDarker) {
                colour = DarkenColour(colour, 0.75);
            }
            if (flags & StateLighter) {
                colour = LightenColour(colour, 0.25);
            }
            pixel = alpha | ((flags & StateReplace) ? replacementPixel : ColourToPixel(colour));
        }
        if (flags & StateInvert) {
            pixel = (pixel & 0xFF000000) | ColourToPixel(InvertColour(PixelToColour(pixel)));
        }
    }
    GdiFlush();
    std::copy(pixels.begin(), pixels.end(), bits);
    if (hasAlpha) {
        *hasAlpha = alphaFound;
    }
    return variant;
}

void CDrawEffects::AlphaBlit(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
                             int sourceY)
{
    if (!target || !source || !SizeAllowed(width, height)) {
        return;
    }
    std::uint32_t* sourceBits = nullptr;
    std::uint32_t* targetBits = nullptr;
    HBITMAP sourceCopy = CreateDib32(width, height, &sourceBits);
    HBITMAP targetCopy = CreateDib32(width, height, &targetBits);
    if (sourceCopy && targetCopy) {
        SelectedBitmap sourceDc(target, sourceCopy);
        SelectedBitmap targetDc(target, targetCopy);
        if (sourceDc.dc() && targetDc.dc()) {
            // A source without an alpha channel of its own counts as opaque.
            bool sourceHasAlpha = false;
            DIBSECTION section = {};
            HGDIOBJ selected = GetCurrentObject(source, OBJ_BITMAP);
            GdiFlush();
            if (GetObjectW(selected, sizeof section, &section) == sizeof section &&
                section.dsBm.bmBitsPixel == 32 && section.dsBm.bmBits) {
                sourceHasAlpha = true;
                const bool bottomUp = section.dsBmih.biHeight > 0;
                const auto* rows = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
                for (int row = 0; row < height; ++row) {
                    for (int column = 0; column < width; ++column) {
                        const int sx = sourceX + column;
                        const int sy = sourceY + row;
                        std::uint32_t value = 0;
                        if (sx >= 0 && sy >= 0 && sx < section.dsBm.bmWidth && sy < section.dsBm.bmHeight) {
                            const int line = bottomUp ? section.dsBm.bmHeight - 1 - sy : sy;
                            value = reinterpret_cast<const std::uint32_t*>(
                                rows + static_cast<size_t>(line) * section.dsBm.bmWidthBytes)[sx];
                        }
                        sourceBits[static_cast<size_t>(row) * width + column] = value;
                    }
                }
            } else {
                BitBlt(sourceDc.dc(), 0, 0, width, height, source, sourceX, sourceY, SRCCOPY);
            }
            BitBlt(targetDc.dc(), 0, 0, width, height, target, x, y, SRCCOPY);
            GdiFlush();
            const size_t count = static_cast<size_t>(width) * height;
            for (size_t i = 0; i < count; ++i) {
                const double alpha = sourceHasAlpha ? (sourceBits[i] >> 24) * kOneOver255 : 1.0;
                const COLORREF mixed = MixColours(PixelToColour(sourceBits[i]), alpha,
                                                  PixelToColour(targetBits[i]), 1.0 - alpha);
                targetBits[i] = ColourToPixel(mixed);
            }
            BitBlt(target, x, y, width, height, targetDc.dc(), 0, 0, SRCCOPY);
        }
    }
    if (sourceCopy) {
        DeleteObject(sourceCopy);
    }
    if (targetCopy) {
        DeleteObject(targetCopy);
    }
}

HICON CDrawEffects::ResizeIcon(HICON icon, int width, int height)
{
    ICONINFO info = {};
    if (!icon || !SizeAllowed(width, height) || !GetIconInfo(icon, &info)) {
        return nullptr;
    }
    HICON resized = nullptr;
    if (!info.hbmColor) {
        // A monochrome icon keeps both halves in its mask; the system scales it as a whole.
        resized = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, width, height, 0));
    } else {
        std::vector<std::uint32_t> pixels;
        std::uint32_t* bits = nullptr;
        HBITMAP colour = ReadBitmapPixels(info.hbmColor, width, height, pixels)
                             ? CreateDib32(width, height, &bits)
                             : nullptr;
        HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
        const SIZE maskSize = GetBitmapSize(info.hbmMask);
        if (colour && mask) {
            GdiFlush();
            std::copy(pixels.begin(), pixels.end(), bits);
            SelectedBitmap from(nullptr, info.hbmMask);
            SelectedBitmap to(nullptr, mask);
            if (from.dc() && to.dc()) {
                SetStretchBltMode(to.dc(), COLORONCOLOR);
                StretchBlt(to.dc(), 0, 0, width, height, from.dc(), 0, 0, maskSize.cx, maskSize.cy, SRCCOPY);
            }
        }
        if (colour && mask) {
            ICONINFO made = {TRUE, 0, 0, mask, colour};
            resized = CreateIconIndirect(&made);
        }
        if (colour) {
            DeleteObject(colour);
        }
        if (mask) {
            DeleteObject(mask);
        }
    }
    if (info.hbmColor) {
        DeleteObject(info.hbmColor);
    }
    if (info.hbmMask) {
        DeleteObject(info.hbmMask);
    }
    return resized;
}

namespace {

// The last step of both image calls: alpha images blend, others go through the AND mask and the OR
// of the state image, so that key-coloured (zero) pixels leave the target as it was.
void BlitStateImage(CDrawEffects& effects, HDC dc, int x, int y, int width, int height, HBITMAP state,
                    HBITMAP mask, bool hasAlpha, bool blackText)
{
    SelectedBitmap stateDc(dc, state);
    if (!stateDc.dc()) {
        return;
    }
    if (hasAlpha) {
        effects.AlphaBlit(dc, x, y, width, height, stateDc.dc(), 0, 0);
        return;
    }
    SelectedBitmap maskDc(dc, mask);
    if (!maskDc.dc()) {
        return;
    }
    COLORREF oldText = 0;
    COLORREF oldBack = 0;
    if (blackText) {
        oldText = SetTextColor(dc, RGB(0, 0, 0));
        oldBack = SetBkColor(dc, kWhite);
    }
    BitBlt(dc, x, y, width, height, maskDc.dc(), 0, 0, SRCAND);
    BitBlt(dc, x, y, width, height, stateDc.dc(), 0, 0, SRCPAINT);
    if (blackText) {
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
    }
}

// Where the caller asked for a shadow: the shadow of the flags' kind drawn at the offset, or with no
// shadow kind among the flags the image itself moved by the offset.
struct ShadowRequest
{
    BOOL shadow;
    int x;
    int y;
    int blurWidth;
    int blurHeight;
};

// The shadow, then the image over it. The shadow's mask is only made when a shadow is drawn.
template <class TMakeShadowMask>
void BlitWithShadow(CDrawEffects& effects, HDC dc, int x, int y, int width, int height, UINT flags,
                    const ShadowRequest& shadow, TMakeShadowMask makeShadowMask, HBITMAP state, HBITMAP mask,
                    bool hasAlpha, bool blackText)
{
    if (shadow.shadow && (flags & (CDrawEffects::StateShadow | CDrawEffects::StateBlurredShadow))) {
        if (HBITMAP shadowMask = makeShadowMask()) {
            effects.DrawShadow(dc, x + shadow.x, y + shadow.y, width, height, shadowMask,
                               (flags & CDrawEffects::StateBlurredShadow) != 0, shadow.blurWidth,
                               shadow.blurHeight);
            DeleteObject(shadowMask);
        }
    } else if (shadow.shadow) {
        x += shadow.x;
        y += shadow.y;
    }
    BlitStateImage(effects, dc, x, y, width, height, state, mask, hasAlpha, blackText);
}

} // namespace

void CDrawEffects::DrawBitmapEx(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, BOOL useKey,
                                COLORREF key, UINT flags, BOOL shadow, int shadowX, int shadowY,
                                int blurWidth, int blurHeight, COLORREF colour)
{
    if (!dc || !bitmap || !SizeAllowed(width, height)) {
        return;
    }
    bool hasAlpha = false;
    HBITMAP state = MakeImageVariant(bitmap, width, height, flags, useKey, key, colour, &hasAlpha);
    HBITMAP mask = MakeImageVariant(bitmap, width, height, StateMask, useKey, key, kWhite);
    if (state && mask) {
        BlitWithShadow(
            *this, dc, x, y, width, height, flags, {shadow, shadowX, shadowY, blurWidth, blurHeight},
            [&] {
                return MakeImageVariant(bitmap, width, height, StateMask, useKey, key, InvertColour(colour));
            },
            state, mask, hasAlpha, false);
    }
    if (state) {
        DeleteObject(state);
    }
    if (mask) {
        DeleteObject(mask);
    }
}

void CDrawEffects::DrawIconEx(HDC dc, int x, int y, int width, int height, HICON icon, UINT flags,
                              BOOL shadow, int shadowX, int shadowY, int blurWidth, int blurHeight,
                              COLORREF colour)
{
    if (!dc || !icon || !SizeAllowed(width, height)) {
        return;
    }
    HICON resized = nullptr;
    const SIZE size = GetIconSize(icon);
    if (size.cx != width || size.cy != height) {
        resized = ResizeIcon(icon, width, height);
    }
    HICON work = resized ? resized : icon;
    ICONINFO info = {};
    if (!GetIconInfo(work, &info)) {
        if (resized) {
            DestroyIcon(resized);
        }
        return;
    }
    if (!info.hbmColor) {
        // Monochrome icons keep image and mask in one bitmap; the system draws them as they are.
        ::DrawIconEx(dc, x, y, work, width, height, 0, nullptr, DI_NORMAL);
    } else {
        bool hasAlpha = false;
        HBITMAP state = MakeImageVariant(info.hbmColor, width, height, flags, FALSE, 0, colour, &hasAlpha);
        HBITMAP mask = MakeImageVariant(info.hbmMask, width, height, StateMask, TRUE, kWhite, kWhite);
        std::uint32_t* stateBits = state ? DibPixels(state) : nullptr;
        std::uint32_t* maskBits = mask ? DibPixels(mask) : nullptr;
        if (stateBits && maskBits) {
            if (!hasAlpha) {
                // The colour bitmap is undefined where the icon's mask is transparent; keep it zero there so
                // that the OR blit leaves the target alone whatever the state did to it.
                GdiFlush();
                const size_t count = static_cast<size_t>(width) * height;
                for (size_t i = 0; i < count; ++i) {
                    if ((maskBits[i] & 0x00FFFFFF) == 0x00FFFFFF) {
                        stateBits[i] = 0;
                    }
                }
            }
            BlitWithShadow(
                *this, dc, x, y, width, height, flags, {shadow, shadowX, shadowY, blurWidth, blurHeight},
                [&] {
                    return MakeImageVariant(info.hbmMask, width, height, StateMask, TRUE, kWhite,
                                            InvertColour(colour));
                },
                state, mask, hasAlpha, true);
        }
        if (state) {
            DeleteObject(state);
        }
        if (mask) {
            DeleteObject(mask);
        }
    }
    if (info.hbmColor) {
        DeleteObject(info.hbmColor);
    }
    if (info.hbmMask) {
        DeleteObject(info.hbmMask);
    }
    if (resized) {
        DestroyIcon(resized);
    }
}

void CDrawEffects::DrawShadow(HDC dc, int x, int y, int width, int height, HBITMAP mask, BOOL blur,
                              int blurWidth, int blurHeight)
{
    if (!dc || !mask || !SizeAllowed(width, height)) {
        return;
    }
    blurWidth = std::clamp(blurWidth, 1, 255);
    blurHeight = std::clamp(blurHeight, 1, 255);
    std::uint32_t* maskBits = nullptr;
    std::uint32_t* targetBits = nullptr;
    HBITMAP maskCopy = CreateDib32(width, height, &maskBits);
    HBITMAP targetCopy = CreateDib32(width, height, &targetBits);
    std::vector<double> factors;
    try {
        factors.assign(static_cast<size_t>(width) * height, 1.0);
    } catch (const std::bad_alloc&) {
        maskBits = nullptr;
    }
    if (maskCopy && targetCopy && maskBits) {
        SelectedBitmap copyDc(dc, maskCopy);
        SelectedBitmap targetDc(dc, targetCopy);
        SelectedBitmap sourceDc(dc, mask);
        if (copyDc.dc() && targetDc.dc() && sourceDc.dc()) {
            if (blur) {
                if (blurWidth % 2 == 0) {
                    ++blurWidth;
                }
                if (blurHeight % 2 == 0) {
                    ++blurHeight;
                }
                PatBlt(copyDc.dc(), 0, 0, width, height, WHITENESS);
                const SIZE maskSize = GetBitmapSize(mask);
                if (width > blurWidth && height > blurHeight) {
                    SetStretchBltMode(copyDc.dc(), COLORONCOLOR);
                    StretchBlt(copyDc.dc(), blurWidth / 2, blurHeight / 2, width - blurWidth,
                               height - blurHeight, sourceDc.dc(), 0, 0, maskSize.cx, maskSize.cy, SRCCOPY);
                }
            } else {
                BitBlt(copyDc.dc(), 0, 0, width, height, sourceDc.dc(), 0, 0, SRCCOPY);
            }
            BitBlt(targetDc.dc(), 0, 0, width, height, dc, x, y, SRCCOPY);
            GdiFlush();
            const size_t count = static_cast<size_t>(width) * height;
            if (blur) {
                BoxBlur(width, height, maskBits, blurWidth, blurHeight, factors.data());
            } else {
                for (size_t i = 0; i < count; ++i) {
                    factors[i] = (maskBits[i] & 0xFF) * kOneOver255;
                }
            }
            for (size_t i = 0; i < count; ++i) {
                targetBits[i] = ColourToPixel(DarkenColour(PixelToColour(targetBits[i]), factors[i]));
            }
            BitBlt(dc, x, y, width, height, targetDc.dc(), 0, 0, SRCCOPY);
        }
    }
    if (maskCopy) {
        DeleteObject(maskCopy);
    }
    if (targetCopy) {
        DeleteObject(targetCopy);
    }
}

void CDrawEffects::BoxBlur(int width, int height, const std::uint32_t* pixels, int blurWidth, int blurHeight,
                           double* output)
{
    if (!output || !pixels || width <= 0 || height <= 0) {
        return;
    }
    blurWidth = std::max(1, blurWidth);
    blurHeight = std::max(1, blurHeight);
    // The padded grid starts blurHeight / 2 rows above and blurWidth / 2 columns left of the image;
    // cells outside the image hold 255.
    const int gridRows = height + blurHeight - 1;
    const int originX = blurWidth / 2;
    const int originY = blurHeight / 2;
    auto cell = [&](int gridX, int gridY) -> double {
        const int x = gridX - originX;
        const int y = gridY - originY;
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 255.0;
        }
        return static_cast<double>(pixels[static_cast<size_t>(y) * width + x] & 0xFF);
    };

    // Sliding sums along each grid row: each next window adds the cell that enters and drops the one
    // that leaves.
    std::vector<double> rowSums(static_cast<size_t>(gridRows) * width);
    for (int gridY = 0; gridY < gridRows; ++gridY) {
        double sum = 0.0;
        for (int k = 0; k < blurWidth; ++k) {
            sum += cell(k, gridY);
        }
        double* row = rowSums.data() + static_cast<size_t>(gridY) * width;
        row[0] = sum;
        for (int x = 1; x < width; ++x) {
            sum += cell(x + blurWidth - 1, gridY) - cell(x - 1, gridY);
            row[x] = sum;
        }
    }
    // Then the same down each column over blurHeight row sums.
    const double divisor = static_cast<double>(blurWidth) * blurHeight * 255.0;
    for (int x = 0; x < width; ++x) {
        double sum = 0.0;
        for (int k = 0; k < blurHeight; ++k) {
            sum += rowSums[static_cast<size_t>(k) * width + x];
        }
        output[x] = sum / divisor;
        for (int y = 1; y < height; ++y) {
            sum += rowSums[static_cast<size_t>(y + blurHeight - 1) * width + x] -
                   rowSums[static_cast<size_t>(y - 1) * width + x];
            output[static_cast<size_t>(y) * width + x] = sum / divisor;
        }
    }
}

BOOL CDrawEffects::DrawImageListItem(HDC dc, int x, int y, int width, int height, HBITMAP strip, int index,
                                     int itemWidth, int itemHeight, int itemsPerRow, BOOL useKey,
                                     COLORREF key, UINT flags, BOOL shadow, int shadowX, int shadowY,
                                     int blurWidth, int blurHeight, COLORREF colour)
{
    const SIZE size = GetBitmapSize(strip);
    if (!dc || index < 0 || !SizeAllowed(itemWidth, itemHeight) || !SizeAllowed(size.cx, size.cy)) {
        return FALSE;
    }
    const int perRow = itemsPerRow > 0 ? itemsPerRow : size.cx / itemWidth;
    if (perRow <= 0) {
        return FALSE;
    }
    const long long column = index % perRow;
    const long long row = index / perRow;
    if ((column + 1) * itemWidth > size.cx || (row + 1) * itemHeight > size.cy) {
        return FALSE;
    }
    std::vector<std::uint32_t> pixels;
    std::uint32_t* bits = nullptr;
    if (!ReadBitmapPixels(strip, size.cx, size.cy, pixels)) {
        return FALSE;
    }
    HBITMAP item = CreateDib32(itemWidth, itemHeight, &bits);
    if (!item) {
        return FALSE;
    }
    GdiFlush();
    for (int line = 0; line < itemHeight; ++line) {
        const std::uint32_t* from =
            pixels.data() + static_cast<size_t>(row * itemHeight + line) * size.cx + column * itemWidth;
        std::copy(from, from + itemWidth, bits + static_cast<size_t>(line) * itemWidth);
    }
    DrawBitmapEx(dc, x, y, width, height, item, useKey, key, flags, shadow, shadowX, shadowY, blurWidth,
                 blurHeight, colour);
    DeleteObject(item);
    return TRUE;
}
