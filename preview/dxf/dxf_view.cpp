#include "dxf_view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace dxf {

namespace {

// Texts shorter than this many pixels are not drawn; taller ones are drawn at this height at most.
constexpr double kSmallestTextPixels = 1.0;
constexpr double kTallestTextPixels = 4000.0;

struct Projection
{
    double left, bottom, originX, originY, scale;

    double X(double x) const { return left + (x - originX) * scale; }
    double Y(double y) const { return bottom - (y - originY) * scale; }
};

// Liang-Barsky: cuts the segment to the rectangle; false when nothing of it is inside.
bool Clip(double& x0, double& y0, double& x1, double& y1, double minX, double minY, double maxX, double maxY)
{
    const double dx = x1 - x0, dy = y1 - y0;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - minX, maxX - x0, y0 - minY, maxY - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
    }
    const double startX = x0, startY = y0;
    x0 = startX + t0 * dx;
    y0 = startY + t0 * dy;
    x1 = startX + t1 * dx;
    y1 = startY + t1 * dy;
    return true;
}

int Pixel(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

ViewProperties InitialView(int x, int y, int width, int height)
{
    ViewProperties view{};
    view.size = static_cast<std::int32_t>(sizeof(ViewProperties));
    view.left = x;
    view.top = y;
    view.right = x + std::max(width, 0);
    view.bottom = y + std::max(height, 0);
    view.pixelsPerUnit = 1.0;
    view.zoom = 1.0;
    return view;
}

bool IsUsableView(const ViewProperties& view)
{
    return std::isfinite(view.originX) && std::isfinite(view.originY) && std::isfinite(view.pixelsPerUnit) &&
           std::isfinite(view.zoom) && view.pixelsPerUnit > 0.0 && view.zoom > 0.0 &&
           std::isfinite(view.pixelsPerUnit * view.zoom) && view.pixelsPerUnit * view.zoom > 0.0;
}

void ZoomToExtents(ViewProperties& view, const Box& extents)
{
    Box box = extents;
    if (box.empty) {
        box.minX = box.minY = 0.0;
        box.maxX = box.maxY = 1.0;
    }
    double width = box.maxX - box.minX;
    double height = box.maxY - box.minY;
    const double centreX = box.minX + width / 2.0;
    const double centreY = box.minY + height / 2.0;
    // A single point or a straight line along an axis gets the size of its other side, or one unit.
    if (width <= 0.0 && height <= 0.0)
        width = height = 1.0;
    const double windowWidth = std::max(1, view.right - view.left);
    const double windowHeight = std::max(1, view.bottom - view.top);
    const double grown = 1.0 + 2.0 * kExtentsMargin;
    double scale = 0.0;
    if (width > 0.0)
        scale = windowWidth / (width * grown);
    if (height > 0.0) {
        const double vertical = windowHeight / (height * grown);
        scale = scale > 0.0 ? std::min(scale, vertical) : vertical;
    }
    if (!std::isfinite(scale) || !(scale > 0.0))
        scale = 1.0;
    view.size = static_cast<std::int32_t>(sizeof(ViewProperties));
    view.pixelsPerUnit = scale;
    view.zoom = 1.0;
    view.originX = centreX - windowWidth / 2.0 / scale;
    view.originY = centreY - windowHeight / 2.0 / scale;
    view.extentsWidth = box.maxX - box.minX;
    view.extentsHeight = box.maxY - box.minY;
}

void PaintScene(const Scene& scene, const ViewProperties& view, Canvas& canvas)
{
    if (!IsUsableView(view))
        return;
    const Projection projection{static_cast<double>(view.left), static_cast<double>(view.bottom),
                                view.originX, view.originY, view.pixelsPerUnit * view.zoom};
    // A little beyond the window, so that lines ending at its edge keep their last pixel.
    const double minX = view.left - 2.0, maxX = view.right + 2.0;
    const double minY = view.top - 2.0, maxY = view.bottom + 2.0;
    for (const Path& path : scene.paths) {
        const Point* points = scene.points.data() + path.first;
        if (path.count == 1) {
            const double x = projection.X(points[0].x), y = projection.Y(points[0].y);
            if (x >= minX && x <= maxX && y >= minY && y <= maxY)
                canvas.Dot(path.colour, Pixel(x), Pixel(y));
            continue;
        }
        int lastX = 0, lastY = 0;
        bool drewDot = false;
        for (std::size_t i = 1; i < path.count; ++i) {
            double x0 = projection.X(points[i - 1].x), y0 = projection.Y(points[i - 1].y);
            double x1 = projection.X(points[i].x), y1 = projection.Y(points[i].y);
            if (!Clip(x0, y0, x1, y1, minX, minY, maxX, maxY))
                continue;
            const int ax = Pixel(x0), ay = Pixel(y0), bx = Pixel(x1), by = Pixel(y1);
            if (ax == bx && ay == by) {
                // Many points on one pixel (a drawing zoomed far out) make one dot.
                if (!drewDot || ax != lastX || ay != lastY)
                    canvas.Dot(path.colour, ax, ay);
                drewDot = true;
                lastX = ax;
                lastY = ay;
                continue;
            }
            drewDot = false;
            canvas.Line(path.colour, ax, ay, bx, by);
        }
    }
    for (const PlacedText& text : scene.texts) {
        const double height = text.height * projection.scale;
        if (!(height >= kSmallestTextPixels))
            continue;
        const double x = projection.X(text.position.x), y = projection.Y(text.position.y);
        // Texts whose anchor is further from the window than their own length are off screen.
        const double reach =
            std::min(height, kTallestTextPixels) * (static_cast<double>(text.text.size()) + 1.0);
        if (x < minX - reach || x > maxX + reach || y < minY - reach || y > maxY + reach)
            continue;
        canvas.Text(text.colour, Pixel(x), Pixel(y), Pixel(std::min(height, kTallestTextPixels)),
                    text.rotation, text.align, text.text);
    }
}

FontChoice::Font FontChoice::Choose(int height, double rotation, bool& isNew)
{
    isNew = false;
    int tenths = 0;
    if (std::isfinite(rotation)) {
        tenths = static_cast<int>(std::lround(std::fmod(rotation, 360.0) * 10.0));
        tenths = ((tenths % 3600) + 3600) % 3600;
    }
    const Font wanted{height, tenths};
    const Font* nearest = nullptr;
    long long nearestAngle = 0;
    long long nearestHeight = 0;
    for (const Font& font : m_made) {
        const int turn = std::abs(font.tenths - tenths);
        const long long angle = std::min(turn, 3600 - turn);
        const long long size = std::llabs(static_cast<long long>(font.height) - height);
        if (angle == 0 && size == 0)
            return font;
        if (nearest == nullptr || angle < nearestAngle || (angle == nearestAngle && size < nearestHeight)) {
            nearest = &font;
            nearestAngle = angle;
            nearestHeight = size;
        }
    }
    if (m_made.size() >= kMaxFontsPerPaint && nearest != nullptr)
        return *nearest;
    m_made.push_back(wanted);
    isNew = true;
    return wanted;
}

} // namespace dxf
