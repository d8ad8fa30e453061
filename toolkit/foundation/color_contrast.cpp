#include "color_contrast.h"

#include <algorithm>
#include <cmath>

namespace {

struct Weighted
{
    double r;
    double g;
    double b;
};

// The largest value of each weighted channel (white).
constexpr Weighted kWhite = {195.0, 390.0, 65.0};

Weighted ToWeighted(COLORREF colour)
{
    return {GetRValue(colour) * 0.7647058823529411, GetGValue(colour) * 1.5294117647058822,
            GetBValue(colour) * 0.2549019607843137};
}

int Channel(double value, double maximum, double factor)
{
    value = std::clamp(value, 0.0, maximum);
    const int channel = static_cast<int>(value * factor + 0.5);
    return std::clamp(channel, 0, 255);
}

COLORREF FromWeighted(const Weighted& colour)
{
    return RGB(Channel(colour.r, kWhite.r, 1.3076923076923077),
               Channel(colour.g, kWhite.g, 0.6538461538461539),
               Channel(colour.b, kWhite.b, 3.923076923076923));
}

double SquaredDistance(const Weighted& a, const Weighted& b)
{
    return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
}

double Brightness(const Weighted& colour)
{
    return std::sqrt(SquaredDistance(colour, {0.0, 0.0, 0.0}));
}

// Dark colours get up to twice the threshold, colours of brightness 220 or more the threshold.
double AdjustedThreshold(COLORREF colour, int nThreshold)
{
    const int nBrightness = static_cast<int>(Brightness(ToWeighted(colour)));
    return (2.0 - std::min(nBrightness, 220) * 0.0045454544) * nThreshold;
}

Weighted Mirrored(const Weighted& colour)
{
    return {kWhite.r - colour.r, kWhite.g - colour.g, kWhite.b - colour.b};
}

} // namespace

bool XTColorIsFarEnough(COLORREF a, COLORREF b, bool bAdjust, int nThreshold)
{
    const double limit = bAdjust ? AdjustedThreshold(a, nThreshold) : nThreshold;
    return SquaredDistance(ToWeighted(a), ToWeighted(b)) > limit * limit;
}

COLORREF XTColorPullTowards(COLORREF a, COLORREF b, int nThreshold)
{
    const Weighted wa = ToWeighted(a);
    const Weighted wb = ToWeighted(b);
    const double distance = std::sqrt(SquaredDistance(wa, wb));
    if (distance == 0.0)
        return b;
    const double travel = distance - AdjustedThreshold(a, nThreshold);
    return FromWeighted({wb.r + (wa.r - wb.r) * travel / distance, wb.g + (wa.g - wb.g) * travel / distance,
                         wb.b + (wa.b - wb.b) * travel / distance});
}

COLORREF XTColorPushAway(COLORREF a, COLORREF b, int nThreshold)
{
    const double threshold = AdjustedThreshold(a, nThreshold);
    Weighted wa = ToWeighted(a);
    Weighted wb = ToWeighted(b);
    const double brightnessA = Brightness(wa);
    const double brightnessB = Brightness(wb);
    const bool bMirrored =
        brightnessB > brightnessA ? brightnessA <= 442.0 - threshold : brightnessA <= threshold;
    if (bMirrored) {
        wa = Mirrored(wa);
        wb = Mirrored(wb);
    }
    const double length = std::max(Brightness(wb), 0.001);
    const double dot = wa.r * wb.r + wa.g * wb.g + wa.b * wb.b;
    const double projection = dot / length;
    const double scale = dot / (length * length);
    const double offAxis = SquaredDistance(wa, {wb.r * scale, wb.g * scale, wb.b * scale});
    if (threshold * threshold < offAxis)
        return 0;
    const double k = projection - std::sqrt(threshold * threshold - offAxis);
    Weighted moved = {wb.r * k / length, wb.g * k / length, wb.b * k / length};
    if (bMirrored)
        moved = Mirrored(moved);
    return FromWeighted(moved);
}
