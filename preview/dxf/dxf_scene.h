#pragma once

// The drawing reduced to what is painted: polylines, dots and placed texts in drawing units, with
// block insertions expanded and curves flattened, each with its colour resolved to RGB.
#include <cstdint>
#include <string>
#include <vector>

#include "dxf_model.h"

namespace dxf {

struct Box
{
    double minX = 0.0;
    double minY = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    bool empty = true;

    void Add(double x, double y);
};

// 0x00BBGGRR, as a Windows colour value.
using Rgb = std::uint32_t;

struct Path
{
    Rgb colour = 0;
    std::size_t first = 0; // into Scene::points
    std::size_t count = 0; // 1: a dot
};

enum TextAlign
{
    kAlignLeft = 0,
    kAlignCentre = 1,
    kAlignRight = 2
};

struct PlacedText
{
    Rgb colour = 0;
    Point position;        // of the baseline at the alignment point
    double height = 1.0;   // drawing units
    double rotation = 0.0; // degrees, counter-clockwise
    int align = kAlignLeft;
    std::string text; // one line, as the file holds it
};

struct Scene
{
    std::vector<Point> points;
    std::vector<Path> paths;
    std::vector<PlacedText> texts;
    // What the entities cover (texts by an estimate of their box).
    Box extents;
    // Set when the limits below cut the expansion short; what was built is still drawn.
    bool truncated = false;
};

// The expansion stops adding once the scene holds this many points or texts: a drawing of nested
// block arrays can otherwise ask for more than any memory holds.
inline constexpr std::size_t kMostScenePoints = 8u << 20;
inline constexpr std::size_t kMostSceneTexts = 1u << 20;
// Block insertions nest at most this deep.
inline constexpr int kDeepestInsert = 32;

void BuildScene(const Drawing& drawing, Scene& scene);

// The RGB of a DXF colour number (1..255); 7 is white, for the black canvas.
Rgb ColourOfIndex(int index);

} // namespace dxf
