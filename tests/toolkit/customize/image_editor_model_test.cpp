// The button image editor's picture without windows: each tool on a 16 x 16 picture read back as
// text, erasing with the pencil, Pick Color, the sixteen undo levels, redo, and the move buttons.
#include "customize/image_editor_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// The first rows of a picture: '#' red, 'b' blue, '.' transparent, '?' anything else.
std::vector<std::string> Rows(const CXTPImageEditorBitmap& picture, int nRows)
{
    std::vector<std::string> rows;
    for (int y = 0; y < nRows; ++y) {
        std::string row;
        for (int x = 0; x < picture.GetSize().cx; ++x) {
            const COLORREF clr = picture.GetPixel(x, y);
            row += clr == kRed ? '#' : clr == kBlue ? 'b' : clr == XTP_IMAGEEDITOR_TRANSPARENT ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

void Stroke(CXTPImageEditorModel& model, int nTool, CPoint from, CPoint to, COLORREF clr = kRed)
{
    model.SetTool(nTool);
    ASSERT_TRUE(model.Press(from, clr));
    model.DragTo(to);
    model.Release();
}

TEST(ImageEditorModel, ToolsDrawTheirShapes)
{
    struct Case
    {
        const char* name;
        int nTool;
        CPoint from, to;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"pencil fills the cells between two positions",
         xtpImageEditorPencil,
         CPoint(1, 1),
         CPoint(5, 1),
         {"................", ".#####..........", "................"}},
        {"line",
         xtpImageEditorLine,
         CPoint(0, 0),
         CPoint(3, 3),
         {"#...............", ".#..............", "..#.............", "...#............",
          "................"}},
        {"rectangle outline, corners included",
         xtpImageEditorRectangle,
         CPoint(5, 3),
         CPoint(1, 0),
         {".#####..........", ".#...#..........", ".#...#..........", ".#####..........",
          "................"}},
        {"ellipse",
         xtpImageEditorEllipse,
         CPoint(0, 0),
         CPoint(6, 6),
         {"..###...........", ".#...#..........", "#.....#.........", "#.....#.........", "#.....#.........",
          ".#...#..........", "..###...........", "................"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CXTPImageEditorModel model;
        Stroke(model, c.nTool, c.from, c.to);
        EXPECT_EQ(c.rows, Rows(model.GetPicture(), static_cast<int>(c.rows.size())));
        EXPECT_EQ(1, model.GetUndoCount());
    }
}

TEST(ImageEditorModel, AShapeIsRedrawnFromItsStartAtEveryMove)
{
    CXTPImageEditorModel model;
    model.SetTool(xtpImageEditorLine);
    ASSERT_TRUE(model.Press(CPoint(0, 0), kRed));
    model.DragTo(CPoint(3, 0));
    model.DragTo(CPoint(0, 2));
    model.Release();
    EXPECT_EQ((std::vector<std::string>{"#...............", "#...............", "#..............."}),
              Rows(model.GetPicture(), 3));
}

TEST(ImageEditorModel, FillStopsAtOtherColoursAndCommitsAtOnce)
{
    CXTPImageEditorModel model;
    Stroke(model, xtpImageEditorRectangle, CPoint(0, 0), CPoint(4, 3));
    model.SetTool(xtpImageEditorFill);
    ASSERT_TRUE(model.Press(CPoint(2, 1), kBlue));
    EXPECT_FALSE(model.IsDrawing());
    EXPECT_EQ(2, model.GetUndoCount());
    EXPECT_EQ((std::vector<std::string>{"#####...........", "#bbb#...........", "#bbb#...........",
                                        "#####...........", "................"}),
              Rows(model.GetPicture(), 5));
    // Outside the outline the whole transparent area takes the colour.
    ASSERT_TRUE(model.Press(CPoint(10, 10), kBlue));
    EXPECT_EQ(kBlue, model.GetPicture().GetPixel(15, 0));
    EXPECT_EQ(kBlue, model.GetPicture().GetPixel(0, 15));
    EXPECT_EQ(kRed, model.GetPicture().GetPixel(0, 0));
}

TEST(ImageEditorModel, APressOnAPixelOfTheCurrentColourErasesIt)
{
    CXTPImageEditorModel model;
    Stroke(model, xtpImageEditorPencil, CPoint(2, 2), CPoint(4, 2));
    ASSERT_TRUE(model.Press(CPoint(3, 2), kRed));
    model.DragTo(CPoint(4, 2));
    model.Release();
    EXPECT_EQ("..#.............", Rows(model.GetPicture(), 3)[2]);
    EXPECT_EQ(0, model.GetPicture().GetAlpha(3, 2));
}

TEST(ImageEditorModel, PickColorAnswersTheColourAndReturnsToThePreviousTool)
{
    CXTPImageEditorModel model;
    Stroke(model, xtpImageEditorPencil, CPoint(7, 7), CPoint(7, 7));
    model.SetTool(xtpImageEditorRectangle);
    model.SetTool(xtpImageEditorPickColor);
    model.SetTool(xtpImageEditorPickColor); // choosing it again keeps the tool before it
    EXPECT_EQ(xtpImageEditorRectangle, model.GetPreviousTool());
    COLORREF clrPicked = CLR_INVALID;
    ASSERT_TRUE(model.Press(CPoint(7, 7), kBlue, &clrPicked));
    EXPECT_EQ(kRed, clrPicked);
    EXPECT_EQ(xtpImageEditorRectangle, model.GetTool());
    EXPECT_FALSE(model.IsDrawing());
    EXPECT_EQ(1, model.GetUndoCount());
    EXPECT_FALSE(model.Press(CPoint(16, 0), kBlue)) << "outside the picture";
}

TEST(ImageEditorModel, SixteenLevelsOfUndoAndRedoRestores)
{
    CXTPImageEditorModel model;
    std::vector<std::unique_ptr<CXTPImageEditorBitmap>> states;
    states.push_back(model.GetPicture().Clone());
    for (int i = 0; i < 17; ++i) {
        Stroke(model, xtpImageEditorPencil, CPoint(i % 16, i / 16), CPoint(i % 16, i / 16));
        states.push_back(model.GetPicture().Clone());
    }
    EXPECT_EQ(16, model.GetUndoCount());
    int nUndone = 0;
    while (model.CanUndo()) {
        model.Undo();
        ++nUndone;
        EXPECT_TRUE(model.GetPicture().IsEqual(*states[17 - nUndone]));
    }
    EXPECT_EQ(16, nUndone);
    EXPECT_FALSE(model.GetPicture().IsEqual(*states[0])) << "the first change is beyond the undo levels";
    model.Redo();
    model.Redo();
    EXPECT_TRUE(model.GetPicture().IsEqual(*states[3]));
    // A new change after an undo empties the redo list.
    model.Undo();
    Stroke(model, xtpImageEditorPencil, CPoint(9, 9), CPoint(9, 9));
    EXPECT_FALSE(model.CanRedo());
}

TEST(ImageEditorModel, MoveShiftsByOnePixelWithATransparentEdge)
{
    struct Case
    {
        const char* name;
        int dx, dy;
        CPoint ptMoved; // where the corner pixel at (0, 0) lands, or off the picture
    };
    const Case cases[] = {
        {"left", -1, 0, CPoint(-1, 0)},
        {"right", 1, 0, CPoint(1, 0)},
        {"up", 0, -1, CPoint(0, -1)},
        {"down", 0, 1, CPoint(0, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CXTPImageEditorModel model;
        // A full picture: every pixel blue, the corner red.
        model.SetTool(xtpImageEditorFill);
        ASSERT_TRUE(model.Press(CPoint(5, 5), kBlue));
        Stroke(model, xtpImageEditorPencil, CPoint(0, 0), CPoint(0, 0));
        model.Move(c.dx, c.dy);
        const CXTPImageEditorBitmap& picture = model.GetPicture();
        if (picture.Contains(c.ptMoved)) {
            EXPECT_EQ(kRed, picture.GetPixel(c.ptMoved.x, c.ptMoved.y));
        }
        int nTransparent = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                nTransparent += picture.GetAlpha(x, y) == 0;
        EXPECT_EQ(16, nTransparent);
        const int xEdge = c.dx < 0 ? 15 : 0;
        const int yEdge = c.dy < 0 ? 15 : 0;
        EXPECT_EQ(XTP_IMAGEEDITOR_TRANSPARENT,
                  picture.GetPixel(c.dx != 0 ? xEdge : 7, c.dy != 0 ? yEdge : 7));
        EXPECT_EQ(3, model.GetUndoCount());
    }
}

TEST(ImageEditorModel, ClearIsAChangeThatUndoRestores)
{
    CXTPImageEditorModel model;
    Stroke(model, xtpImageEditorLine, CPoint(0, 0), CPoint(15, 15));
    auto pDrawn = model.GetPicture().Clone();
    model.Clear();
    EXPECT_TRUE(model.GetPicture().IsEqual(CXTPImageEditorBitmap(CSize(16, 16), FALSE)));
    model.Undo();
    EXPECT_TRUE(model.GetPicture().IsEqual(*pDrawn));
}

TEST(ImageEditorModel, APictureWithAlphaKeepsItAndToolsDrawOpaque)
{
    std::vector<DWORD> pixels(16 * 16, 0x80FF0000u); // half-transparent red
    auto pPicture = CXTPImageEditorBitmap::FromPixels(pixels.data(), 16, 16, TRUE, CSize(16, 16));
    ASSERT_NE(nullptr, pPicture);
    CXTPImageEditorModel model;
    model.SetPicture(std::move(pPicture));
    EXPECT_EQ(0x80, model.GetPicture().GetAlpha(0, 0));
    Stroke(model, xtpImageEditorPencil, CPoint(0, 0), CPoint(0, 0), kBlue);
    EXPECT_EQ(255, model.GetPicture().GetAlpha(0, 0));
    EXPECT_EQ(kBlue, model.GetPicture().GetPixel(0, 0));
    EXPECT_EQ(0x80, model.GetPicture().GetAlpha(1, 0));
}

} // namespace
