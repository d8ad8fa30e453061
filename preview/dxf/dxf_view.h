#pragma once

// The view of a drawing in a window: the record the library exchanges with its callers, the zoom to the
// drawing's extents, and painting as lines, dots and texts handed to a canvas in window pixels.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dxf_scene.h"

namespace dxf {

// The view-properties record. Offsets 4 to 16 and 24, 32, 56 and 64 are fixed for callers; the size
// field and the extents box are this library's own.
struct ViewProperties
{
    std::int32_t size;     // 0: sizeof(ViewProperties)
    std::int32_t left;     // 4: window, pixels
    std::int32_t top;      // 8
    std::int32_t right;    // 12
    std::int32_t bottom;   // 16
    std::int32_t reserved; // 20
    double originX;        // 24: the drawing point at the window's bottom-left corner
    double originY;        // 32
    double extentsWidth;   // 40: of the drawn entities, drawing units
    double extentsHeight;  // 48
    double pixelsPerUnit;  // 56
    double zoom;           // 64
};
static_assert(offsetof(ViewProperties, left) == 4 && offsetof(ViewProperties, bottom) == 16);
static_assert(offsetof(ViewProperties, originX) == 24 && offsetof(ViewProperties, originY) == 32);
static_assert(offsetof(ViewProperties, pixelsPerUnit) == 56 && offsetof(ViewProperties, zoom) == 64);

// The share of the extents left free on each side by ZoomExtents.
inline constexpr double kExtentsMargin = 0.02;

ViewProperties InitialView(int x, int y, int width, int height);
// Values that keep every projection finite: positive finite scale and zoom, finite origin.
bool IsUsableView(const ViewProperties& view);
// Fits the extents (a unit box when there are none) into the window, zoom 1.
void ZoomToExtents(ViewProperties& view, const Box& extents);

// Receives what a paint draws, in window pixels (Y down).
class Canvas
{
public:
    virtual ~Canvas() = default;
    virtual void Line(Rgb colour, int x0, int y0, int x1, int y1) = 0;
    virtual void Dot(Rgb colour, int x, int y) = 0;
    // height in pixels; rotation in degrees counter-clockwise; the position is the baseline's point at
    // the alignment.
    virtual void Text(Rgb colour, int x, int y, int height, double rotation, int align,
                      const std::string& text) = 0;
};

// The fonts of one paint, each a text height in pixels and an angle in tenths of a degree (0 to 3599). A
// drawing may hold texts of thousands of sizes and angles, while a process owns at most 10,000 GDI objects
// and each font costs time to make: one paint makes at most kMaxFontsPerPaint, and past that a text is
// drawn with the made font nearest its angle, then its height.
class FontChoice
{
public:
    static constexpr std::size_t kMaxFontsPerPaint = 128;

    struct Font
    {
        int height;
        int tenths;
        bool operator<(const Font& other) const
        {
            return height != other.height ? height < other.height : tenths < other.tenths;
        }
    };

    // The font to draw a text with; `isNew` when this paint has not made it yet.
    Font Choose(int height, double rotation, bool& isNew);
    std::size_t Made() const { return m_made.size(); }

private:
    std::vector<Font> m_made;
};

// Projects the scene through the view and hands the visible part to the canvas; segments are clipped to
// the window first, so that no pixel value leaves the int range however far the view is zoomed.
void PaintScene(const Scene& scene, const ViewProperties& view, Canvas& canvas);

} // namespace dxf
