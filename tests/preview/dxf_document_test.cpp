// The drawing library's reading, scene building and view, on DXF text written here: the geometry of
// each entity kind, insertions, layers and colours, the view's fit and clipping, and crafted files that
// must load or fail without harm (the test's time-out stands for "quickly").
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "dxf_document.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A DXF file with the given tables, blocks and entities (group lines already written).
std::string Dxf(const std::string& entities, const std::string& blocks = "", const std::string& layers = "")
{
    return "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n0\nENDSEC\n"
           "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n" +
           layers + "0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nBLOCKS\n" + blocks +
           "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

std::string Line(double x0, double y0, double x1, double y1, const std::string& extra = "")
{
    return "0\nLINE\n8\n0\n" + extra + "10\n" + std::to_string(x0) + "\n20\n" + std::to_string(y0) +
           "\n11\n" + std::to_string(x1) + "\n21\n" + std::to_string(y1) + "\n";
}

std::string Block(const std::string& name, const std::string& entities, double baseX = 0, double baseY = 0)
{
    return "0\nBLOCK\n8\n0\n2\n" + name + "\n70\n0\n10\n" + std::to_string(baseX) + "\n20\n" +
           std::to_string(baseY) + "\n" + entities + "0\nENDBLK\n";
}

std::string Insert(const std::string& name, double x, double y, const std::string& extra = "")
{
    return "0\nINSERT\n8\n0\n2\n" + name + "\n10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) +
           "\n" + extra;
}

struct Loaded
{
    bool ok = false;
    dxf::Document document;
};

void Load(Loaded& loaded, const std::string& text)
{
    loaded.ok = loaded.document.LoadText(text.data(), text.size(), {});
}

void ExpectBox(const dxf::Box& box, double minX, double minY, double maxX, double maxY,
               double tolerance = 1e-6)
{
    ASSERT_FALSE(box.empty);
    EXPECT_NEAR(box.minX, minX, tolerance);
    EXPECT_NEAR(box.minY, minY, tolerance);
    EXPECT_NEAR(box.maxX, maxX, tolerance);
    EXPECT_NEAR(box.maxY, maxY, tolerance);
}

TEST(DxfDocumentTest, EachEntityKindCoversItsGeometry)
{
    struct Case
    {
        const char* name;
        std::string entity;
        double minX, minY, maxX, maxY, tolerance;
    };
    const Case cases[] = {
        {"line", Line(1, 2, 5, -3), 1, -3, 5, 2, 1e-9},
        {"point", "0\nPOINT\n10\n4\n20\n7\n", 4, 7, 4, 7, 1e-9},
        {"circle", "0\nCIRCLE\n10\n10\n20\n10\n40\n5\n", 5, 5, 15, 15, 1e-9},
        // A quarter arc from 0 to 90 degrees.
        {"arc", "0\nARC\n10\n0\n20\n0\n40\n2\n50\n0\n51\n90\n", 0, 0, 2, 2, 1e-9},
        // An arc across 0 degrees (350 to 10).
        {"arc across zero", "0\nARC\n10\n0\n20\n0\n40\n1\n50\n350\n51\n10\n", std::cos(10 * kPi / 180),
         -std::sin(10 * kPi / 180), 1, std::sin(10 * kPi / 180), 1e-9},
        // Bulge 1 from (0,0) to (2,0): a half circle to the right of the direction, below the chord.
        {"bulge", "0\nLWPOLYLINE\n90\n2\n70\n0\n10\n0\n20\n0\n42\n1\n10\n2\n20\n0\n", 0, -1, 2, 0, 1e-3},
        {"closed polyline",
         "0\nPOLYLINE\n66\n1\n70\n1\n10\n0\n20\n0\n0\nVERTEX\n10\n1\n20\n1\n0\nVERTEX\n10\n3\n20\n1\n"
         "0\nVERTEX\n10\n3\n20\n4\n0\nSEQEND\n",
         1, 1, 3, 4, 1e-9},
        // Major axis 4 along X, ratio 0.5.
        {"ellipse", "0\nELLIPSE\n10\n0\n20\n0\n11\n4\n21\n0\n40\n0.5\n41\n0\n42\n6.283185307179586\n", -4, -2,
         4, 2, 1e-9},
        // A clamped quadratic spline stays within its control polygon and ends on its end points.
        {"spline",
         "0\nSPLINE\n70\n8\n71\n2\n72\n6\n73\n3\n40\n0\n40\n0\n40\n0\n40\n1\n40\n1\n40\n1\n"
         "10\n0\n20\n0\n10\n1\n20\n2\n10\n2\n20\n0\n",
         0, 0, 2, 1, 1e-6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded loaded;
        Load(loaded, Dxf(c.entity));
        ASSERT_TRUE(loaded.ok);
        ExpectBox(loaded.document.scene().extents, c.minX, c.minY, c.maxX, c.maxY, c.tolerance);
    }
}

TEST(DxfDocumentTest, InsertionsPlaceScaleRotateAndNest)
{
    // Block "B" is a unit line along X from its base point (1, 0); "N" inserts "B" at (0, 10).
    const std::string blocks = Block("B", Line(1, 0, 2, 0), 1, 0) + Block("N", Insert("B", 0, 10));
    Loaded loaded;
    // At (5, 5), scaled 3 in X, rotated 90 degrees: the line runs from (5, 5) up to (5, 8).
    Load(loaded, Dxf(Insert("b", 5, 5, "41\n3\n42\n1\n50\n90\n"), blocks));
    ASSERT_TRUE(loaded.ok);
    ExpectBox(loaded.document.scene().extents, 5, 5, 5, 8, 1e-9);

    Load(loaded, Dxf(Insert("N", 100, 0, "50\n180\n"), blocks));
    ASSERT_TRUE(loaded.ok);
    ExpectBox(loaded.document.scene().extents, 99, -10, 100, -10, 1e-9);

    // A 3 x 2 array with spacing 10 and 20.
    Load(loaded, Dxf(Insert("B", 0, 0, "70\n3\n71\n2\n44\n10\n45\n20\n"), blocks));
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.document.scene().paths.size(), 6u);
    ExpectBox(loaded.document.scene().extents, 0, 0, 21, 20, 1e-9);
}

TEST(DxfDocumentTest, LayersAndColoursResolve)
{
    const std::string layers = "0\nLAYER\n2\nRed\n70\n0\n62\n1\n0\nLAYER\n2\nHidden\n70\n0\n62\n-3\n"
                               "0\nLAYER\n2\nFrozen\n70\n1\n62\n4\n";
    // By layer on "red"; explicit 5 (blue); by block inside a block inserted with colour 3 (green) on a
    // layer that is on; layer-0 entities in that block take the insertion's layer colour.
    const std::string blocks = Block("K", Line(0, 0, 1, 0, "62\n0\n") + Line(0, 1, 1, 1));
    const std::string entities = Line(0, 0, 1, 0, "8\nred\n") + Line(0, 0, 1, 0, "62\n5\n") +
                                 Insert("K", 0, 0, "8\nRed\n62\n3\n") + Line(50, 50, 60, 60, "8\nHidden\n") +
                                 Line(-50, -50, -60, -60, "8\nFrozen\n");
    Loaded loaded;
    Load(loaded, Dxf(entities, blocks, layers));
    ASSERT_TRUE(loaded.ok);
    const dxf::Scene& scene = loaded.document.scene();
    ASSERT_EQ(scene.paths.size(), 4u);
    EXPECT_EQ(scene.paths[0].colour, dxf::ColourOfIndex(1));
    EXPECT_EQ(scene.paths[1].colour, dxf::ColourOfIndex(5));
    EXPECT_EQ(scene.paths[2].colour, dxf::ColourOfIndex(3));
    EXPECT_EQ(scene.paths[3].colour, dxf::ColourOfIndex(1));
    // Entities on layers that are off or frozen neither draw nor count in the extents.
    ExpectBox(scene.extents, 0, 0, 1, 1);
    EXPECT_EQ(dxf::ColourOfIndex(7), 0xFFFFFFu);
    EXPECT_EQ(dxf::ColourOfIndex(1), 0x0000FFu);
    EXPECT_EQ(dxf::ColourOfIndex(5), 0xFF0000u);
}

TEST(DxfDocumentTest, TextsArePlacedAndMTextFormattingIsRemoved)
{
    const std::string entities =
        "0\nTEXT\n10\n1\n20\n2\n40\n0.5\n1\nNorth %%d\n50\n90\n"
        "0\nMTEXT\n10\n0\n20\n10\n40\n1\n71\n1\n3\n{\\fArial|b1;Bold}\\Pnext\n1\n line\n";
    Loaded loaded;
    Load(loaded, Dxf(entities));
    ASSERT_TRUE(loaded.ok);
    const std::vector<dxf::PlacedText>& texts = loaded.document.scene().texts;
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "North %%d");
    EXPECT_NEAR(texts[0].rotation, 90.0, 1e-9);
    EXPECT_NEAR(texts[0].height, 0.5, 1e-12);
    EXPECT_EQ(texts[1].text, "Bold");
    EXPECT_EQ(texts[2].text, "next line");
    // Top-left attachment: the first baseline one height below the point, the next one line lower.
    EXPECT_NEAR(texts[1].position.y, 9.0, 1e-9);
    EXPECT_NEAR(texts[2].position.y, 9.0 - 5.0 / 3.0, 1e-9);
}

TEST(DxfDocumentTest, ZoomExtentsFitsTheEntitiesNotTheHeader)
{
    std::string text = Dxf(Line(10, 20, 30, 60));
    // Stale header extents.
    text.replace(text.find("9\n$ACADVER"), 0,
                 "9\n$EXTMIN\n10\n-1000\n20\n-1000\n9\n$EXTMAX\n10\n1000\n20\n1000\n");
    Loaded loaded;
    Load(loaded, text);
    ASSERT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.document.drawing().hasHeaderExtents);
    EXPECT_EQ(loaded.document.drawing().headerMin.x, -1000.0);
    dxf::Document& document = loaded.document;
    document.InitView(0, 0, 400, 300);
    document.ZoomExtents();
    const dxf::ViewProperties& view = document.View();
    // Height 40 limits: 300 px over 40 units with the margin on both sides.
    EXPECT_NEAR(view.pixelsPerUnit, 300.0 / (40.0 * (1 + 2 * dxf::kExtentsMargin)), 1e-9);
    EXPECT_EQ(view.zoom, 1.0);
    // The centre of the window shows the centre of the line.
    EXPECT_NEAR(view.originX + 200.0 / view.pixelsPerUnit, 20.0, 1e-9);
    EXPECT_NEAR(view.originY + 150.0 / view.pixelsPerUnit, 40.0, 1e-9);

    // An empty drawing is a unit box.
    Load(loaded, Dxf(""));
    ASSERT_TRUE(loaded.ok);
    loaded.document.InitView(0, 0, 100, 100);
    loaded.document.ZoomExtents();
    EXPECT_NEAR(loaded.document.View().pixelsPerUnit, 100.0 / (1 + 2 * dxf::kExtentsMargin), 1e-9);
    // Non-finite or non-positive view values are refused.
    dxf::ViewProperties bad = loaded.document.View();
    bad.zoom = 0.0;
    EXPECT_FALSE(loaded.document.SetView(bad));
    bad.zoom = std::nan("");
    EXPECT_FALSE(loaded.document.SetView(bad));
}

class RecordingCanvas : public dxf::Canvas
{
public:
    void Line(dxf::Rgb, int x0, int y0, int x1, int y1) override
    {
        ++lines;
        Note(x0, y0);
        Note(x1, y1);
    }
    void Dot(dxf::Rgb, int x, int y) override
    {
        ++dots;
        Note(x, y);
    }
    void Text(dxf::Rgb, int x, int y, int, double, int, const std::string&) override
    {
        ++texts;
        (void)x;
        (void)y;
    }
    void Note(int x, int y)
    {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    int lines = 0, dots = 0, texts = 0;
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
};

TEST(DxfDocumentTest, PaintProjectsWithYUpAndClipsToTheWindow)
{
    Loaded loaded;
    Load(loaded, Dxf(Line(0, 0, 100, 50)));
    ASSERT_TRUE(loaded.ok);
    dxf::Document& document = loaded.document;
    document.InitView(0, 0, 200, 100);
    dxf::ViewProperties view = document.View();
    view.pixelsPerUnit = 2.0;
    ASSERT_TRUE(document.SetView(view));
    RecordingCanvas canvas;
    document.Paint(canvas);
    // (0, 0) at the bottom-left corner, (100, 50) at the top-right.
    EXPECT_EQ(canvas.lines, 1);
    EXPECT_EQ(canvas.minX, 0);
    EXPECT_EQ(canvas.maxY, 100);
    EXPECT_EQ(canvas.maxX, 200);
    EXPECT_EQ(canvas.minY, 0);

    // Zoomed in a million times about the middle, the pixels stay at the window.
    view.zoom = 1e6;
    view.originX = 50.0;
    view.originY = 25.0;
    ASSERT_TRUE(document.SetView(view));
    RecordingCanvas close;
    document.Paint(close);
    EXPECT_EQ(close.lines, 1);
    EXPECT_GE(close.minX, -2);
    EXPECT_LE(close.maxX, 202);
    EXPECT_GE(close.minY, -2);
    EXPECT_LE(close.maxY, 102);
}

// Chooses fonts as the library's GDI canvas does, and counts the fonts a paint makes.
class FontCountingCanvas : public RecordingCanvas
{
public:
    void Text(dxf::Rgb colour, int x, int y, int height, double rotation, int align,
              const std::string& text) override
    {
        RecordingCanvas::Text(colour, x, y, height, rotation, align, text);
        bool isNew = false;
        const dxf::FontChoice::Font font = choice.Choose(height, rotation, isNew);
        made += isNew ? 1 : 0;
        exact += font.height == height && font.tenths == static_cast<int>(std::lround(rotation * 10)) % 3600;
    }
    dxf::FontChoice choice;
    std::size_t made = 0;
    int exact = 0;
};

// A crafted drawing of 4,000 texts, each of its own height and angle, makes at most the cap of fonts in
// one paint and still draws every text; a drawing of a few sizes gets each text its own font.
TEST(DxfDocumentTest, APaintMakesAtMostTheCapOfFonts)
{
    std::string crafted;
    for (int i = 0; i < 4000; ++i)
        crafted += "0\nTEXT\n10\n" + std::to_string(i % 64 * 2) + "\n20\n" + std::to_string(i / 64 * 2) +
                   "\n40\n" + std::to_string(1 + i % 97 * 0.25) + "\n1\nA\n50\n" + std::to_string(i * 0.7) +
                   "\n";
    std::string plain;
    for (int i = 0; i < 30; ++i)
        plain += "0\nTEXT\n10\n" + std::to_string(i * 10) + "\n20\n0\n40\n" + (i % 3 == 0 ? "2" : "4") +
                 "\n1\nA\n50\n" + (i % 2 == 0 ? "0" : "90") + "\n";
    struct Case
    {
        const char* name;
        std::string entities;
        int texts;
        std::size_t fonts;
    };
    for (const Case& c : {Case{"crafted", crafted, 4000, dxf::FontChoice::kMaxFontsPerPaint},
                          Case{"two sizes at two angles", plain, 30, 4}}) {
        SCOPED_TRACE(c.name);
        Loaded loaded;
        Load(loaded, Dxf(c.entities));
        ASSERT_TRUE(loaded.ok);
        loaded.document.InitView(0, 0, 1600, 1200);
        loaded.document.ZoomExtents();
        FontCountingCanvas canvas;
        loaded.document.Paint(canvas);
        EXPECT_EQ(canvas.texts, c.texts);
        EXPECT_EQ(canvas.made, c.fonts);
        EXPECT_EQ(canvas.choice.Made(), c.fonts);
        if (c.fonts < dxf::FontChoice::kMaxFontsPerPaint) {
            EXPECT_EQ(canvas.exact, c.texts);
        }
    }
    // Past the cap, a text takes the made font nearest its angle first, then its height.
    dxf::FontChoice choice;
    bool isNew = false;
    for (int i = 0; i < static_cast<int>(dxf::FontChoice::kMaxFontsPerPaint); ++i)
        choice.Choose(10 + i % 2 * 90, i * 2.0, isNew);
    const dxf::FontChoice::Font nearest = choice.Choose(95, -1.9, isNew);
    EXPECT_FALSE(isNew);
    EXPECT_EQ(nearest.tenths, 0);
    EXPECT_EQ(nearest.height, 10);
    EXPECT_EQ(choice.Made(), dxf::FontChoice::kMaxFontsPerPaint);
}

TEST(DxfDocumentTest, ProgressRisesToOneHundred)
{
    std::string entities;
    for (int i = 0; i < 2000; ++i)
        entities += Line(i, 0, i, 1);
    const std::string text = Dxf(entities);
    std::vector<int> seen;
    dxf::Document document;
    ASSERT_TRUE(document.LoadText(text.data(), text.size(), [&](int percent) { seen.push_back(percent); }));
    ASSERT_GE(seen.size(), 10u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

TEST(DxfDocumentTest, CraftedFilesLoadOrFailQuickly)
{
    std::string hugePolyline = "0\nLWPOLYLINE\n90\n1000000\n70\n0\n";
    for (int i = 0; i < 1000000; ++i)
        hugePolyline += "10\n" + std::to_string(i % 1000) + "\n20\n" + std::to_string(i / 1000) + "\n";
    // Ten levels of 100-cell arrays of the next block, the last one empty: 10^20 cells if expanded.
    std::string arrays;
    for (int level = 0; level < 10; ++level)
        arrays += Block("L" + std::to_string(level),
                        level == 9 ? std::string()
                                   : Insert("L" + std::to_string(level + 1), 0, 0, "70\n10\n71\n10\n"));
    struct Case
    {
        const char* name;
        std::string text;
        bool loads;
        std::size_t paths; // drawn paths expected, when it loads
    };
    const Case cases[] = {
        {"group code not a number", "0\nSECTION\n2\nENTITIES\nxx\nLINE\n0\nEOF\n", false, 0},
        {"group code too long", "0\nSECTION\n2\nENTITIES\n1234567\nLINE\n", false, 0},
        {"no section at all", "0\nLINE\n10\n1\n", false, 0},
        {"empty", "", false, 0},
        {"value missing at the end", "0\nSECTION\n2\nENTITIES\n" + Line(0, 0, 1, 1) + "0\nCIRCLE\n40\n1\n10",
         true, 2},
        {"unknown codes and entities skipped",
         Dxf("0\nHATCH\n10\n1\n0\nLINE\n999\nnote\n1071\n5\n11\n1\n21\n1\n"), true, 1},
        {"huge and non-finite numbers drop their entity",
         Dxf(Line(0, 0, 1, 1) +
             "0\nLINE\n10\n1e308\n20\n0\n11\n0\n21\n0\n0\nLINE\n10\nnan\n20\n0\n11\n0\n21\n0\n"
             "0\nCIRCLE\n10\n0\n20\n0\n40\ninf\n0\nLINE\n10\n1e400\n20\n0\n11\n0\n21\n0\n"),
         true, 1},
        {"scale that overflows the product",
         Dxf(Insert("B", 1e19, 0, "41\n1e19\n"), Block("B", Line(0, 0, 1e19, 0))), true, 0},
        {"huge bulge", Dxf("0\nLWPOLYLINE\n10\n0\n20\n0\n42\n1e19\n10\n1\n20\n0\n"), true, 1},
        {"vertex y before x", Dxf("0\nLWPOLYLINE\n20\n5\n10\n0\n20\n0\n10\n1\n20\n1\n"), true, 1},
        {"self-inserting block", Dxf(Insert("S", 0, 0), Block("S", Line(0, 0, 1, 1) + Insert("S", 1, 1))),
         true, 1},
        {"blocks inserting each other",
         Dxf(Insert("A", 0, 0), Block("A", Line(0, 0, 1, 0) + Insert("B", 0, 1)) +
                                    Block("B", Line(0, 0, 1, 0) + Insert("A", 0, 1))),
         true, 2},
        {"array too large", Dxf(Insert("B", 0, 0, "70\n100000\n71\n100000\n"), Block("B", Line(0, 0, 1, 0))),
         true, 0},
        {"nested arrays of empty blocks", Dxf(Insert("L0", 0, 0, "70\n10\n71\n10\n"), arrays), true, 0},
        {"spline of degree 0", Dxf("0\nSPLINE\n71\n0\n10\n0\n20\n0\n10\n1\n20\n1\n"), true, 0},
        {"spline with falling knots and a zero weight",
         Dxf("0\nSPLINE\n71\n3\n40\n5\n40\n1\n40\n0\n41\n0\n10\n0\n20\n0\n10\n1\n20\n1\n10\n2\n20\n0\n10\n3\n"
             "20\n1\n"),
         true, 1},
        {"spline with too few control points", Dxf("0\nSPLINE\n71\n3\n10\n0\n20\n0\n10\n1\n20\n1\n"), true,
         1},
        {"polyline vertex outside a polyline", Dxf("0\nVERTEX\n10\n1\n20\n1\n0\nSEQEND\n" + Line(0, 0, 1, 1)),
         true, 1},
        {"polyline never ended",
         Dxf("0\nPOLYLINE\n70\n0\n0\nVERTEX\n10\n0\n20\n0\n0\nVERTEX\n10\n1\n20\n1\n"), true, 1},
        {"10^6-vertex polyline", Dxf(hugePolyline), true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded loaded;
        Load(loaded, c.text);
        EXPECT_EQ(loaded.ok, c.loads);
        if (loaded.ok) {
            EXPECT_EQ(loaded.document.scene().paths.size(), c.paths);
            loaded.document.InitView(0, 0, 640, 480);
            loaded.document.ZoomExtents();
            EXPECT_TRUE(dxf::IsUsableView(loaded.document.View()));
            RecordingCanvas canvas;
            loaded.document.Paint(canvas);
        }
    }
}

} // namespace
