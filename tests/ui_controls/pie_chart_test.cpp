// The pie chart drawn into memory DCs (pixels read back) and into an enhanced metafile (its texts read back),
// and its archive form.
#include "pie_chart.h"
#include "test_surface.h"

#include <afx.h>

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const COLORREF kRed = RGB(220, 40, 40);
const COLORREF kBlue = RGB(40, 60, 220);
const COLORREF kGreen = RGB(30, 160, 60);
const COLORREF kWhite = RGB(255, 255, 255);

const int kCentreX = 150;
const int kCentreY = 150;
const int kRadius = 60;

// A chart that owns the slices it is given.
struct OwningChart : CPieChart
{
    OwningChart(std::initializer_list<std::pair<int, COLORREF>> slices)
    {
        m_bOwnsSlices = TRUE;
        m_crOutline = kWhite;
        int index = 0;
        for (const auto& [value, colour] : slices) {
            CString label;
            label.Format(L"Part %d", ++index);
            AddSlice(new CPieSlice(value, colour, label));
        }
    }
};

// The colour at a distance from the centre, at an angle in degrees counted from straight up towards the
// left, the way the slices follow each other.
COLORREF ColourAt(const TestSurface& surface, double degrees, double distance)
{
    const double radians = degrees * 3.14159265358979 / 180.0;
    const int x = kCentreX - static_cast<int>(std::lround(distance * std::sin(radians)));
    const int y = kCentreY - static_cast<int>(std::lround(distance * std::cos(radians)));
    return surface.Pixel(x, y);
}

struct DrawnText
{
    POINT at;
    std::wstring text;
};

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM context)
{
    const auto* textOut = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    // Solid rectangles are drawn as opaque text outputs without characters.
    if (record->iType == EMR_EXTTEXTOUTW && textOut->emrtext.nChars > 0) {
        const auto* characters = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                                  textOut->emrtext.offString);
        reinterpret_cast<std::vector<DrawnText>*>(context)->push_back(
            {{textOut->emrtext.ptlReference.x, textOut->emrtext.ptlReference.y},
             std::wstring(characters, textOut->emrtext.nChars)});
    }
    return 1;
}

// The texts that the chart writes, in order, recorded in an enhanced metafile.
std::vector<DrawnText> TextsDrawn(CPieChart& chart, BOOL bShowTitle, int nLegendPosition, BOOL bFillUp)
{
    HDC reference = ::GetDC(NULL);
    HDC recorder = ::CreateEnhMetaFileW(reference, NULL, NULL, NULL);
    ::ReleaseDC(NULL, reference);
    CDC dc;
    dc.Attach(recorder);
    chart.Draw(&dc, kCentreX, kCentreY, kRadius, bShowTitle, nLegendPosition, bFillUp);
    dc.Detach();
    HENHMETAFILE metafile = ::CloseEnhMetaFile(recorder);
    std::vector<DrawnText> texts;
    ::EnumEnhMetaFile(NULL, metafile, CollectText, &texts, NULL);
    ::DeleteEnhMetaFile(metafile);
    return texts;
}

void Draw(CPieChart& chart, TestSurface& surface, int nLegendPosition, BOOL bFillUp)
{
    CDC dc;
    dc.Attach(surface.dc());
    chart.Draw(&dc, kCentreX, kCentreY, kRadius, FALSE, nLegendPosition, bFillUp);
    dc.SetViewportOrg(0, 0);
    dc.Detach();
}

TEST(PieChart, SlicesThatDoNotMakeAHundredDrawNothingUnlessFilledUp)
{
    OwningChart chart({{30, kRed}, {60, kBlue}});
    TestSurface surface(400, 300);
    CDC dc;
    dc.Attach(surface.dc());
    chart.Draw(&dc, kCentreX, kCentreY, kRadius, TRUE, 1, FALSE);
    EXPECT_EQ(surface.Count(kWhite), 400 * 300);
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(0, 0));

    chart.Draw(&dc, kCentreX, kCentreY, kRadius, FALSE, 0, TRUE);
    // The viewport origin stays at the centre for the caller.
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(kCentreX, kCentreY));
    dc.SetViewportOrg(0, 0);
    dc.Detach();
    // The whole disc: the first 30 percent red, the rest, up to 100, blue.
    for (int degrees = 5; degrees < 360; degrees += 10) {
        SCOPED_TRACE(degrees);
        EXPECT_EQ(ColourAt(surface, degrees, kRadius * 0.8), degrees < 108 ? kRed : kBlue);
    }

    const std::vector<DrawnText> texts = TextsDrawn(chart, FALSE, 1, TRUE);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, L"Part 1 (30%)");
    EXPECT_EQ(texts[1].text, L"Part 2(70%)");
}

TEST(PieChart, WedgesAreInProportionOnBothAxes)
{
    struct Case
    {
        const char* name;
        int first;
        double insideDegrees;
        double outsideDegrees;
    };
    // A ray squeezed on the vertical axis lies beyond the true boundary everywhere but at the quarters.
    const Case cases[] = {
        {"half: the left half, then the right", 50, 175, 185},
        {"a quarter", 25, 86, 94},
        {"13 percent ends at 46.8 degrees", 13, 43, 51},
        {"62 percent ends at 223.2 degrees", 62, 219, 227},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OwningChart chart({{c.first, kRed}, {100 - c.first, kBlue}});
        TestSurface surface(400, 300);
        Draw(chart, surface, 0, FALSE);
        EXPECT_EQ(ColourAt(surface, c.insideDegrees, kRadius * 0.8), kRed);
        EXPECT_EQ(ColourAt(surface, c.outsideDegrees, kRadius * 0.8), kBlue);
    }
    OwningChart halves({{50, kRed}, {50, kBlue}});
    TestSurface surface(400, 300);
    Draw(halves, surface, 0, FALSE);
    EXPECT_EQ(surface.Pixel(kCentreX - kRadius / 2, kCentreY), kRed);
    EXPECT_EQ(surface.Pixel(kCentreX + kRadius / 2, kCentreY), kBlue);
}

TEST(PieChart, ASliceOfNothingHasALegendRowButNoWedge)
{
    OwningChart chart({{40, kRed}, {0, kGreen}, {60, kBlue}});
    TestSurface surface(400, 300);
    Draw(chart, surface, 1, FALSE);
    // Green only in the legend's colour box.
    EXPECT_EQ(surface.Count(kGreen), 30 * 15);
    EXPECT_EQ(ColourAt(surface, 100, kRadius * 0.8), kRed);
    EXPECT_EQ(ColourAt(surface, 200, kRadius * 0.8), kBlue);
    const std::vector<DrawnText> texts = TextsDrawn(chart, FALSE, 1, FALSE);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].text, L"Part 2 (0%)");

    // Filled up, a last slice with nothing left to fill is no full disc over the others either.
    OwningChart filled({{50, kRed}, {50, kBlue}, {0, kGreen}});
    TestSurface filledSurface(400, 300);
    Draw(filled, filledSurface, 0, TRUE);
    EXPECT_EQ(filledSurface.Count(kGreen), 0);
    EXPECT_EQ(filledSurface.Pixel(kCentreX - kRadius / 2, kCentreY), kRed);
    EXPECT_EQ(filledSurface.Pixel(kCentreX + kRadius / 2, kCentreY), kBlue);
}

TEST(PieChart, LegendStandsBesideOrBelowThePieWhereverTheOriginIs)
{
    OwningChart many({{10, kRed},
                      {10, kBlue},
                      {10, kRed},
                      {10, kBlue},
                      {10, kRed},
                      {10, kBlue},
                      {10, kRed},
                      {10, kBlue},
                      {10, kRed},
                      {10, kGreen}});
    TestSurface surface(400, 300);
    Draw(many, surface, 1, FALSE);
    // Ten rows would start 100 pixels above the centre: they start at the top of the pie instead.
    const int left = kCentreX + kRadius + 30;
    const int top = kCentreY - kRadius;
    EXPECT_EQ(surface.Pixel(left + 2, top + 2), kRed);
    EXPECT_EQ(surface.Pixel(left + 2, top - 2), kWhite);
    EXPECT_EQ(surface.Pixel(left - 2, top + 2), kWhite);
    EXPECT_EQ(surface.Pixel(left + 2, top + 9 * 20 + 2), kGreen);

    OwningChart two({{30, kRed}, {70, kBlue}});
    two.m_strTitle = L"Disk";
    TestSurface below(400, 300);
    Draw(two, below, 2, FALSE);
    EXPECT_EQ(below.Pixel(kCentreX - kRadius + 2, kCentreY + kRadius + 32), kRed);
    EXPECT_EQ(below.Pixel(kCentreX - kRadius + 2, kCentreY + kRadius + 52), kBlue);
    EXPECT_EQ(below.Pixel(kCentreX - kRadius - 2, kCentreY + kRadius + 32), kWhite);

    // The texts are placed in the moved origin's units: the title over the centre, the legend beside.
    const std::vector<DrawnText> texts = TextsDrawn(two, TRUE, 1, FALSE);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, L"Disk");
    EXPECT_EQ(texts[0].at.x, 0);
    EXPECT_EQ(texts[0].at.y, -kRadius - 20);
    EXPECT_EQ(texts[1].at.x, kRadius + 30 + 35);
    EXPECT_EQ(texts[1].at.y, -20);
}

// Counts its deletions, so that the tests see which slices a chart frees.
struct CountedSlice : CPieSlice
{
    static int deleted;
    ~CountedSlice() override { ++deleted; }
};
int CountedSlice::deleted = 0;

std::vector<BYTE> Written(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive archive(&file, CArchive::store);
        write(archive);
        archive.Close();
    }
    const UINT length = static_cast<UINT>(file.GetLength());
    BYTE* data = file.Detach();
    std::vector<BYTE> bytes(data, data + length);
    free(data);
    return bytes;
}

std::vector<BYTE> Stored(CObject& object)
{
    return Written([&object](CArchive& archive) { object.Serialize(archive); });
}

void Load(CObject& object, std::vector<BYTE> bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive archive(&file, CArchive::load);
    object.Serialize(archive);
    archive.Close();
}

TEST(PieChart, ArchiveKeepsEveryFieldAndLoadingFreesOnlyOwnedSlices)
{
    CPieChart source;
    source.m_bOwnsSlices = TRUE;
    source.m_strTitle = L"Partitions";
    source.m_crOutline = RGB(1, 2, 3);
    source.AddSlice(new CPieSlice(35, RGB(0x1D, 0x75, 0xBD), L"NTFS"));
    source.AddSlice(new CPieSlice(65, RGB(0x80, 0x80, 0x80), L"Unallocated"));
    const std::vector<BYTE> bytes = Stored(source);

    CountedSlice::deleted = 0;
    CPieChart borrowing;
    auto* kept1 = new CountedSlice;
    auto* kept2 = new CountedSlice;
    borrowing.AddSlice(kept1);
    borrowing.AddSlice(kept2);
    Load(borrowing, bytes);
    EXPECT_EQ(CountedSlice::deleted, 0);
    EXPECT_TRUE(borrowing.m_bOwnsSlices);
    EXPECT_EQ(borrowing.m_strTitle, CString(L"Partitions"));
    EXPECT_EQ(borrowing.m_crOutline, RGB(1, 2, 3));
    ASSERT_EQ(borrowing.GetSliceCount(), 2);
    EXPECT_EQ(borrowing.GetSlice(0)->m_nValue, 35);
    EXPECT_EQ(borrowing.GetSlice(0)->m_crColor, RGB(0x1D, 0x75, 0xBD));
    EXPECT_EQ(borrowing.GetSlice(0)->m_strLabel, CString(L"NTFS"));
    EXPECT_EQ(borrowing.GetSlice(1)->m_nValue, 65);
    EXPECT_EQ(borrowing.GetSlice(1)->m_strLabel, CString(L"Unallocated"));
    delete kept1;
    delete kept2;

    CountedSlice::deleted = 0;
    CPieChart owning;
    owning.m_bOwnsSlices = TRUE;
    owning.AddSlice(new CountedSlice);
    Load(owning, bytes);
    EXPECT_EQ(CountedSlice::deleted, 1);
    EXPECT_EQ(owning.GetSliceCount(), 2);
}

TEST(PieChart, SliceOfAnotherVersionReadsNothingMore)
{
    std::vector<BYTE> bytes = Written([](CArchive& archive) {
        archive << static_cast<DWORD>(2) << static_cast<LONG>(77) << static_cast<DWORD>(kBlue)
                << CString(L"x");
    });
    CMemFile input(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive archive(&input, CArchive::load);
    CPieSlice slice;
    slice.Serialize(archive);
    EXPECT_EQ(slice.m_nValue, 50);
    EXPECT_EQ(slice.m_crColor, RGB(255, 0, 0));
    EXPECT_EQ(slice.m_strLabel, CString(L"<no description>"));
    // The value after the version is still there for whoever reads on.
    LONG next = 0;
    archive >> next;
    EXPECT_EQ(next, 77);
    archive.Close();
}

TEST(PieChart, ArchiveThatNamesOneSliceTwiceIsRefused)
{
    CPieSlice shared(50, kRed, L"twice");
    CPieChart source;
    source.AddSlice(&shared);
    source.AddSlice(&shared);
    const std::vector<BYTE> bytes = Stored(source);

    CPieChart target;
    int cause = -1;
    try {
        Load(target, bytes);
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CArchiveException::badClass);
    EXPECT_EQ(target.GetSliceCount(), 0);
}

} // namespace
