// Area fills (solid, gradients, generated patterns), frames, lines and the colour helpers.
#include "draw_effects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

namespace {

// Pattern images beyond this many pixels are generated smaller and stretched, so that a huge area
// never asks for a huge buffer.
constexpr long long kMaxPatternPixels = 4LL * 1024 * 1024;

// The gradient is drawn as this many filled bands, not per pixel.
constexpr int kGradientBands = 64;

int ClampChannel(double value)
{
    if (!(value > 0.0)) {
        return 0;
    }
    if (value >= 255.0) {
        return 255;
    }
    return static_cast<int>(std::lround(value));
}

COLORREF BlendIntegers(COLORREF first, int firstWeight, COLORREF second, int secondWeight, int total)
{
    const int red = (GetRValue(first) * firstWeight + GetRValue(second) * secondWeight) / total;
    const int green = (GetGValue(first) * firstWeight + GetGValue(second) * secondWeight) / total;
    const int blue = (GetBValue(first) * firstWeight + GetBValue(second) * secondWeight) / total;
    return RGB(red, green, blue);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    HBRUSH brush = CreateSolidBrush(colour);
    if (brush) {
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
}

// Rows shade as a cubic bump: t runs from -127 to 128 across the extent.
int BumpTerm(int position, int extent)
{
    const int t = position * 255 / extent - 127;
    return t * t * t / 16384;
}

} // namespace

CDrawEffects::CDrawEffects() = default;

CDrawEffects::~CDrawEffects() = default;

void CDrawEffects::FillEffect(HDC dc, int effect, const RECT& rect, COLORREF colour1, COLORREF colour2,
                              COLORREF colour3, int granularity, BOOL palette)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!dc || effect < 0 || width <= 0 || height <= 0) {
        return;
    }
    const int centreX = rect.left + width / 2;
    const int centreY = rect.top + height / 2;
    switch (effect) {
    case EffectHGradient:
        FillGradient(dc, rect, colour1, colour3, TRUE);
        break;
    case EffectVGradient:
        FillGradient(dc, rect, colour1, colour3, FALSE);
        break;
    case EffectHCGradient:
        FillGradient(dc, {rect.left, rect.top, centreX, rect.bottom}, colour1, colour3, TRUE);
        FillGradient(dc, {centreX, rect.top, rect.right, rect.bottom}, colour3, colour1, TRUE);
        break;
    case EffectVCGradient:
        FillGradient(dc, {rect.left, rect.top, rect.right, centreY}, colour1, colour3, FALSE);
        FillGradient(dc, {rect.left, centreY, rect.right, rect.bottom}, colour3, colour1, FALSE);
        break;
    case Effect3HGradient:
        FillGradient(dc, {rect.left, rect.top, centreX, rect.bottom}, colour1, colour2, TRUE);
        FillGradient(dc, {centreX, rect.top, rect.right, rect.bottom}, colour2, colour3, TRUE);
        break;
    case Effect3VGradient:
        FillGradient(dc, {rect.left, rect.top, rect.right, centreY}, colour1, colour2, FALSE);
        FillGradient(dc, {rect.left, centreY, rect.right, rect.bottom}, colour2, colour3, FALSE);
        break;
    case EffectNoise:
    case EffectDiagShade:
    case EffectHShade:
    case EffectVShade:
    case EffectHBump:
    case EffectVBump:
    case EffectSoftBump:
    case EffectHardBump:
    case EffectMetal: {
        int patternWidth = width;
        int patternHeight = height;
        const long long area = static_cast<long long>(width) * height;
        if (area > kMaxPatternPixels) {
            const double scale =
                std::sqrt(static_cast<double>(kMaxPatternPixels) / static_cast<double>(area));
            patternWidth = std::max(1, static_cast<int>(width * scale));
            patternHeight = std::max(1, static_cast<int>(height * scale));
        }
        FillPattern({0, 0, patternWidth, patternHeight}, effect, granularity, palette, colour1, colour2,
                    colour3);
        if (m_pattern.GetBits() == nullptr) {
            break;
        }
        CDC* target = CDC::FromHandle(dc);
        if (patternWidth == width && patternHeight == height) {
            m_pattern.Draw(target, rect.left, rect.top);
        } else {
            m_pattern.StretchDraw(target, rect);
        }
        break;
    }
    default:
        FillSolid(dc, rect, colour1);
        break;
    }
}

void CDrawEffects::FillGradient(HDC dc, const RECT& rect, COLORREF start, COLORREF end, BOOL horizontal)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!dc || width <= 0 || height <= 0) {
        return;
    }
    const long long extent = horizontal ? width : height;
    for (int band = 0; band < kGradientBands; ++band) {
        const int from = static_cast<int>(extent * band / kGradientBands);
        const int to = static_cast<int>(extent * (band + 1) / kGradientBands);
        if (to <= from) {
            continue;
        }
        const COLORREF colour = BlendIntegers(start, kGradientBands - band, end, band, kGradientBands);
        RECT bandRect = rect;
        if (horizontal) {
            bandRect.left = rect.left + from;
            bandRect.right = rect.left + to;
        } else {
            bandRect.top = rect.top + from;
            bandRect.bottom = rect.top + to;
        }
        FillSolid(dc, bandRect, colour);
    }
}

void CDrawEffects::FillPattern(const RECT& rect, int effect, int granularity, BOOL palette, COLORREF colour1,
                               COLORREF colour2, COLORREF colour3)
{
    // The palette flag marks colour 1 as the image's transparent colour for callers that blit with a key;
    // the copy that FillEffect makes is opaque, so the mark changes nothing that is drawn here.
    static_cast<void>(palette);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (effect < EffectNoise || effect > EffectMetal) {
        return;
    }
    if (m_pattern.Create(width, height, 8) == nullptr) {
        return;
    }
    m_pattern.Fill(0); // the row padding too

    // Entry 0 is colour 3, entry 128 colour 2, and the entries above run on towards colour 1.
    auto setEntry = [this](int index, COLORREF colour) {
        m_pattern.SetPaletteColor(index, GetRValue(colour), GetGValue(colour), GetBValue(colour));
    };
    for (int i = 0; i <= 128; ++i) {
        setEntry(i, BlendIntegers(colour3, 128 - i, colour2, i, 128));
    }
    for (int i = 1; i < 128; ++i) {
        setEntry(128 + i, BlendIntegers(colour2, 128 - i, colour1, i, 128));
    }

    const int g = std::clamp(granularity, 0, 255);
    const int noiseDivisor = 32767 / std::max(1, 2 * g);
    auto noise = [&]() { return std::rand() / noiseDivisor - g; };

    // Values are computed per row and column term, then noise is added and wraps in 8 bits.
    std::vector<int> base;
    if (effect == EffectMetal) {
        try {
            base.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        } catch (const std::bad_alloc&) {
            return;
        }
        const int side = std::min(width, height) / 2;
        for (int stroke = 0; stroke < 200; ++stroke) {
            const int startX = std::rand() % width;
            const int startY = std::rand() % height;
            const int length = std::rand() % (side + 1);
            const int shade = std::rand() % 256;
            for (int k = 0; k < length && startX + k < width && startY + k < height; ++k) {
                base[static_cast<size_t>(startY + k) * width + startX + k] = shade;
            }
        }
    }

    const int shadeRange = 255 - 2 * g;
    for (int y = 0; y < height; ++y) {
        // The image is stored bottom-up: row y from the top is row height - 1 - y of the block.
        std::uint8_t* row = m_pattern.GetBits() +
                            static_cast<size_t>(height - 1 - y) * static_cast<size_t>(m_pattern.GetStride());
        const int rowBump = BumpTerm(y, height);
        for (int x = 0; x < width; ++x) {
            int value = 128;
            switch (effect) {
            case EffectDiagShade: {
                // Brightest at the top-left corner, darkest at the bottom-right one.
                const int d = shadeRange / 2;
                value = g + ((height - 1 - y) * d) / height + ((width - 1 - x) * d) / width;
                break;
            }
            case EffectHShade:
                value = g + y * shadeRange / height;
                break;
            case EffectVShade:
                value = g + shadeRange * (width - x) / width;
                break;
            case EffectHBump:
                value = 128 + rowBump * (128 - g) / 128;
                break;
            case EffectVBump:
                value = 128 + BumpTerm(x, width) * (128 - g) / 128;
                break;
            case EffectSoftBump:
                value = (rowBump + BumpTerm(x, width)) * (128 - g) / 128 + 128;
                value = std::min(std::max(value, g), 255 - g);
                break;
            case EffectHardBump: {
                value = 128 + rowBump * 2 * (64 - g) / 128;
                const int band = std::min(16, width / 6);
                if (band > 0 && x < band) {
                    value += (band - x) * 64 / band;
                } else if (band > 0 && x >= width - band) {
                    value -= (x - (width - band) + 1) * 64 / band;
                }
                value = std::clamp(value, 0, 255);
                break;
            }
            case EffectMetal: {
                const int d = (215 - 2 * g) / 2;
                value = base[static_cast<size_t>(y) * width + x] + ((height - 1 - y) * d) / height +
                        ((width - 1 - x) * d) / width;
                break;
            }
            default:
                break;
            }
            row[x] = static_cast<std::uint8_t>(value + noise());
        }
    }
}

COLORREF CDrawEffects::GreyColour(COLORREF colour)
{
    const int grey =
        ClampChannel(0.299 * GetRValue(colour) + 0.587 * GetGValue(colour) + 0.114 * GetBValue(colour));
    return RGB(grey, grey, grey);
}

COLORREF CDrawEffects::InvertColour(COLORREF colour)
{
    return RGB(255 - GetRValue(colour), 255 - GetGValue(colour), 255 - GetBValue(colour));
}

COLORREF CDrawEffects::DarkenColour(COLORREF colour, double factor)
{
    if (!(factor >= 0.0 && factor < 1.0)) {
        return colour;
    }
    return RGB(ClampChannel(GetRValue(colour) * factor), ClampChannel(GetGValue(colour) * factor),
               ClampChannel(GetBValue(colour) * factor));
}

COLORREF CDrawEffects::LightenColour(COLORREF colour, double factor)
{
    const double scale = 1.0 + factor;
    return RGB(ClampChannel(GetRValue(colour) * scale), ClampChannel(GetGValue(colour) * scale),
               ClampChannel(GetBValue(colour) * scale));
}

COLORREF CDrawEffects::MixColours(COLORREF first, double firstWeight, COLORREF second, double secondWeight)
{
    return RGB(ClampChannel(GetRValue(first) * firstWeight + GetRValue(second) * secondWeight),
               ClampChannel(GetGValue(first) * firstWeight + GetGValue(second) * secondWeight),
               ClampChannel(GetBValue(first) * firstWeight + GetBValue(second) * secondWeight));
}

void CDrawEffects::DrawFrame(HDC dc, int left, int top, int right, int bottom, COLORREF light, COLORREF dark,
                             int penStyle, int lightWidth, int darkWidth)
{
    if (!dc || penStyle == PS_NULL || right <= left || bottom <= top) {
        return;
    }
    lightWidth = std::max(1, lightWidth);
    darkWidth = std::max(1, darkWidth);
    if (penStyle == PS_SOLID || penStyle == PS_INSIDEFRAME) {
        FillSolid(dc, {left, top, right, std::min(bottom, top + lightWidth)}, light);
        FillSolid(dc, {left, top, std::min(right, left + lightWidth), bottom}, light);
        FillSolid(dc, {left, std::max(top, bottom - darkWidth), right, bottom}, dark);
        FillSolid(dc, {std::max(left, right - darkWidth), top, right, bottom}, dark);
        return;
    }
    // Dashed and dotted frames: one-unit rings, because wide pens are always drawn solid.
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    HPEN lightPen = CreatePen(penStyle, 1, light);
    HPEN darkPen = CreatePen(penStyle, 1, dark);
    HGDIOBJ oldPen = SelectObject(dc, lightPen);
    for (int ring = 0; ring < lightWidth && left + ring < right - ring && top + ring < bottom - ring;
         ++ring) {
        MoveToEx(dc, left + ring, bottom - 1 - ring, nullptr);
        LineTo(dc, left + ring, top + ring);
        LineTo(dc, right - 1 - ring, top + ring);
    }
    SelectObject(dc, darkPen);
    for (int ring = 0; ring < darkWidth && left + ring < right - ring && top + ring < bottom - ring; ++ring) {
        MoveToEx(dc, right - 1 - ring, top + ring, nullptr);
        LineTo(dc, right - 1 - ring, bottom - 1 - ring);
        LineTo(dc, left + ring - 1, bottom - 1 - ring);
    }
    SelectObject(dc, oldPen);
    DeleteObject(lightPen);
    DeleteObject(darkPen);
    SetBkMode(dc, oldMode);
}

void CDrawEffects::DrawFrame(HDC dc, const RECT& rect, COLORREF light, COLORREF dark, int penStyle,
                             int lightWidth, int darkWidth)
{
    DrawFrame(dc, rect.left, rect.top, rect.right, rect.bottom, light, dark, penStyle, lightWidth, darkWidth);
}

void CDrawEffects::DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int penStyle, int width)
{
    if (!dc || penStyle == PS_NULL) {
        return;
    }
    width = std::max(1, width);
    // Solid straight lines are filled, so that their ends and thickness are exact.
    if (penStyle == PS_SOLID && y1 == y2) {
        const int top = y1 - width / 2;
        FillSolid(dc, {std::min(x1, x2), top, std::max(x1, x2), top + width}, colour);
        return;
    }
    if (penStyle == PS_SOLID && x1 == x2) {
        const int left = x1 - width / 2;
        FillSolid(dc, {left, std::min(y1, y2), left + width, std::max(y1, y2)}, colour);
        return;
    }
    HPEN pen = CreatePen(penStyle, width, colour);
    if (!pen) {
        return;
    }
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}
