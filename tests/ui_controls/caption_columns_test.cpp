// The steps' mode summary drawn as caption columns: whatever blanks pad a caption, the colons of all
// lines stand at one x, read back from a memory DC.
#include "caption_columns.h"
#include "test_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The rightmost dark column of each line band; -1 for a band without ink.
std::vector<int> LastInkPerLine(const TestSurface& surface, int lineHeight, int lines)
{
    std::vector<int> last(static_cast<size_t>(lines), -1);
    for (int line = 0; line < lines; ++line)
        for (int y = line * lineHeight; y < (line + 1) * lineHeight && y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                if (GetRValue(surface.Pixel(x, y)) < 0x80)
                    last[static_cast<size_t>(line)] = std::max(last[static_cast<size_t>(line)], x);
    return last;
}

// Each line cut after its colon.
CString CaptionsOnly(const CString& text)
{
    CString result;
    int start = 0;
    while (start < text.GetLength()) {
        int end = text.Find(L"\r\n", start);
        if (end < 0)
            end = text.GetLength();
        const CString line = text.Mid(start, end - start);
        if (!result.IsEmpty())
            result += L"\r\n";
        result += line.Left(line.Find(L':') + 1);
        start = end + 2;
    }
    return result;
}

TEST(CaptionColumns, TheColonsOfEveryLineStandAtOneXAndTheValuesAfterThem)
{
    struct Case
    {
        const char* name;
        const wchar_t* summary;
    };
    // The summaries as the steps set them, padded for one face each.
    const Case cases[] = {
        {"Quick Scan image", L"Selected Mode  : Recovery Scan \r\nDrive Type         : Virtual Machine Disk"},
        {"Extensive Scan image",
         L"Selected Mode   : Extensive Scan \r\nDrive Type          : Virtual Machine Disk"},
        {"File Trace image", L"Selected Mode : File Trace \r\nDrive Type        : Virtual Hard Disk"},
        {"Quick Scan drive", L"Selected Mode : Quick Scan \r\nDrive Type        : Logical Drive"},
    };
    HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Arial");
    ASSERT_NE(font, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSurface captions(420, 60);
        TestSurface whole(420, 60);
        TEXTMETRIC metrics = {};
        for (TestSurface* surface : {&captions, &whole}) {
            HGDIOBJ old = SelectObject(surface->dc(), font);
            SetBkMode(surface->dc(), TRANSPARENT);
            SetTextColor(surface->dc(), RGB(0, 0, 0));
            GetTextMetricsW(surface->dc(), &metrics);
            const CString text = surface == &captions ? CaptionsOnly(c.summary) : CString(c.summary);
            DrawCaptionColumns(CDC::FromHandle(surface->dc()), CRect(0, 0, 420, 60), text);
            SelectObject(surface->dc(), old);
        }
        const std::vector<int> colons = LastInkPerLine(captions, metrics.tmHeight, 2);
        ASSERT_GT(colons[0], 0);
        EXPECT_EQ(colons[1], colons[0]);
        const std::vector<int> values = LastInkPerLine(whole, metrics.tmHeight, 2);
        EXPECT_GT(values[0], colons[0] + 10);
        EXPECT_GT(values[1], colons[1] + 10);
    }
    DeleteObject(font);
}

} // namespace
