#pragma once

#include <windows.h>

#include "dib_bitmap.h"

#include <cstdint>
#include <vector>

// Area backgrounds, separator lines, images in several states and alpha blending for the message
// box and the HTML text drawer. Works on any device context; keeps one 8-bit palette image between
// calls in which the pattern effects are generated.
class CDrawEffects
{
public:
    // Effect numbers; the HTML text drawer names the same numbers in its `bgeffect` attribute.
    enum Effect
    {
        EffectTransparent = -1,
        EffectSolid = 0,
        EffectHGradient = 1,
        EffectVGradient = 2,
        EffectHCGradient = 3,
        EffectVCGradient = 4,
        Effect3HGradient = 5,
        Effect3VGradient = 6,
        EffectNoise = 7,
        EffectDiagShade = 8,
        EffectHShade = 9,
        EffectVShade = 10,
        EffectHBump = 11,
        EffectVBump = 12,
        EffectSoftBump = 13,
        EffectHardBump = 14,
        EffectMetal = 15,
    };

    // State flags of MakeImageVariant and of the image drawing calls.
    static constexpr UINT StateGrey = 0x0001;
    static constexpr UINT StateDarker = 0x0002;
    static constexpr UINT StateLighter = 0x0004;
    static constexpr UINT StateReplace = 0x0008;
    static constexpr UINT StateShadow = 0x0100;
    static constexpr UINT StateBlurredShadow = 0x0200;
    static constexpr UINT StateInvert = 0x8000;
    // Image pixels black, key pixels white: the AND mask of the two-step transparent blit.
    static constexpr UINT StateMask = StateInvert | StateReplace;

    CDrawEffects();
    virtual ~CDrawEffects();
    CDrawEffects(const CDrawEffects&) = delete;
    CDrawEffects& operator=(const CDrawEffects&) = delete;

    void FillEffect(HDC dc, int effect, const RECT& rect, COLORREF colour1, COLORREF colour2,
                    COLORREF colour3, int granularity = 0, BOOL palette = FALSE);
    void FillGradient(HDC dc, const RECT& rect, COLORREF start, COLORREF end, BOOL horizontal);
    // Generates a pattern effect (7 to 15) into the palette image, sized to the rectangle.
    void FillPattern(const RECT& rect, int effect, int granularity, BOOL palette, COLORREF colour1,
                     COLORREF colour2, COLORREF colour3);
    // Copies a 32-bit source with its own alpha channel over the target.
    void AlphaBlit(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY);

    // A new 32-bit top-down DIB section of width x height holding the bitmap in the state that the flags
    // ask for; null when the bitmap cannot be read or the section cannot be made. `hasAlpha` (optional)
    // tells whether any pixel carried a non-zero alpha byte.
    HBITMAP MakeImageVariant(HBITMAP bitmap, int width, int height, UINT flags, BOOL useKey, COLORREF key,
                             COLORREF replacement, bool* hasAlpha = nullptr);

    static COLORREF GreyColour(COLORREF colour);
    static COLORREF InvertColour(COLORREF colour);
    static COLORREF DarkenColour(COLORREF colour, double factor);
    static COLORREF LightenColour(COLORREF colour, double factor);
    static COLORREF MixColours(COLORREF first, double firstWeight, COLORREF second, double secondWeight);

    static SIZE GetIconSize(HICON icon);
    static SIZE GetBitmapSize(HBITMAP bitmap);
    HICON ResizeIcon(HICON icon, int width, int height);

    void DrawBitmapEx(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, BOOL useKey, COLORREF key,
                      UINT flags, BOOL shadow = FALSE, int shadowX = 0, int shadowY = 0, int blurWidth = 0,
                      int blurHeight = 0, COLORREF colour = 0);
    void DrawIconEx(HDC dc, int x, int y, int width, int height, HICON icon, UINT flags, BOOL shadow = FALSE,
                    int shadowX = 0, int shadowY = 0, int blurWidth = 0, int blurHeight = 0,
                    COLORREF colour = 0);
    void DrawShadow(HDC dc, int x, int y, int width, int height, HBITMAP mask, BOOL blur, int blurWidth,
                    int blurHeight);
    // One value from 0 to 1 per pixel: the mean of the first byte of each 32-bit pixel over a
    // blurWidth x blurHeight window, cells outside the image counting as 255.
    static void BoxBlur(int width, int height, const std::uint32_t* pixels, int blurWidth, int blurHeight,
                        double* output);
    // Draws item `index` of a strip of itemWidth x itemHeight items; FALSE when the strip has no such item.
    BOOL DrawImageListItem(HDC dc, int x, int y, int width, int height, HBITMAP strip, int index,
                           int itemWidth, int itemHeight, int itemsPerRow, BOOL useKey, COLORREF key,
                           UINT flags, BOOL shadow = FALSE, int shadowX = 0, int shadowY = 0,
                           int blurWidth = 0, int blurHeight = 0, COLORREF colour = 0);

    // A two-colour frame inside the rectangle: top and left in the light pen, bottom and right in the
    // dark one. Pen styles are the PS_ values.
    void DrawFrame(HDC dc, int left, int top, int right, int bottom, COLORREF light, COLORREF dark,
                   int penStyle, int lightWidth, int darkWidth);
    void DrawFrame(HDC dc, const RECT& rect, COLORREF light, COLORREF dark, int penStyle, int lightWidth,
                   int darkWidth);
    void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int penStyle = PS_SOLID,
                  int width = 1);

private:
    // The 8-bit image in which the pattern effects are generated.
    CDibBitmap m_pattern;
};
