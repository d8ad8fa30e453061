#pragma once

// The drawing as read from an ASCII DXF file: layers, blocks and the entities of model space, in the
// units of the file. Portable: no window code, so the host build runs crafted files under the sanitizers.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace dxf {

struct Point
{
    double x = 0.0;
    double y = 0.0;
};

// A polyline vertex with the bulge of the segment that starts at it (tan of a quarter of the arc's
// included angle; 0 for a straight segment).
struct Vertex
{
    double x = 0.0;
    double y = 0.0;
    double bulge = 0.0;
};

enum class EntityKind
{
    Line,
    Point,
    Circle,
    Arc,
    LwPolyline,
    Polyline,
    Text,
    MText,
    Insert,
    Ellipse,
    Spline
};

// DXF colour numbers with a meaning of their own.
inline constexpr int kColourByBlock = 0;
inline constexpr int kColourByLayer = 256;
// The colour that is white on a dark background and black on a light one.
inline constexpr int kColourForeground = 7;

// One entity; each kind uses the fields its group codes fill.
struct Entity
{
    EntityKind kind = EntityKind::Line;
    std::string layer = "0";
    int colour = kColourByLayer;
    // Group 230: the Z of the extrusion direction. Planar entities whose extrusion points down (-Z) are
    // drawn mirrored in X (the arbitrary-axis rule gives the X axis (-1, 0, 0) for (0, 0, -1)).
    double extrusionZ = 1.0;

    Point p0; // 10/20: start, centre, insertion or first alignment point
    Point p1; // 11/21: end, second alignment point, ellipse major axis, MTEXT direction
    bool hasP1 = false;
    double radius = 0.0;                     // 40 (circle, arc); text height; ellipse axis ratio
    double startAngle = 0.0;                 // 50: degrees (arc); rotation (text, insert)
    double endAngle = 360.0;                 // 51: degrees (arc)
    double startParameter = 0.0;             // 41 (ellipse)
    double endParameter = 6.283185307179586; // 42 (ellipse)
    double scaleX = 1.0;                     // 41 (insert)
    double scaleY = 1.0;                     // 42 (insert)
    double columnSpacing = 0.0;              // 44 (insert)
    double rowSpacing = 0.0;                 // 45 (insert)
    int columns = 1;                         // 70 (insert)
    int rows = 1;                            // 71 (insert)
    int flags = 0;                // 70: polyline (1 closed, 16 mesh, 64 polyface), spline (1 closed)
    int degree = 3;               // 71 (spline)
    int horizontalAlign = 0;      // 72 (text)
    int verticalAlign = 0;        // 73 (text)
    int attachment = 1;           // 71 (mtext): 1 top left ... 9 bottom right
    std::string text;             // 1 and 3 (text, mtext)
    std::string blockName;        // 2 (insert)
    std::vector<Vertex> vertices; // polyline vertices; spline control points
    std::vector<Point> fitPoints; // 11/21 (spline)
    std::vector<double> knots;    // 40 (spline)
    std::vector<double> weights;  // 41 (spline)
};

struct Layer
{
    int colour = kColourForeground;
    bool on = true;
};

struct Block
{
    Point base;
    std::vector<Entity> entities;
};

struct Drawing
{
    // Keys upper-cased: layer and block names compare without regard to case.
    std::map<std::string, Layer> layers;
    std::map<std::string, Block> blocks;
    std::vector<Entity> entities;
    // $EXTMIN/$EXTMAX as the header states them; they may be stale.
    Point headerMin;
    Point headerMax;
    bool hasHeaderExtents = false;
};

// Called with percentages rising from 0 to 100 while a file is read.
using ProgressFunction = std::function<void(int)>;

// Reads an ASCII DXF held in memory. False (with the reason) when the text is not a DXF that can be read;
// entities of unknown kinds and entities whose values are unusable are skipped.
bool ReadDrawing(const char* data, std::size_t size, Drawing& drawing, std::string& error,
                 const ProgressFunction& progress = {});

// The upper-cased form of a table or block name.
std::string NameKey(const std::string& name);

} // namespace dxf
