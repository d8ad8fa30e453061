// Crafted message texts: they end without a crash, ask for nothing huge, and run no code of a module that
// they name.
#include "html_drawer.h"
#include "html_markup_helpers.h"
#include "test_surface.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

SIZE MeasureAndDraw(CHtmlDrawer& drawer, TestSurface& surface, const std::wstring& text)
{
    SIZE size = {-1, -1};
    drawer.Measure(surface.dc(), text.c_str(), &size);
    drawer.Draw(surface.dc(), {0, 0, surface.width(), surface.height()});
    return size;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

bool ProbeRan()
{
    wchar_t value[8] = {};
    return GetEnvironmentVariableW(L"UI_CONTROLS_PROBE_RAN", value, 8) != 0;
}

} // namespace

TEST(HtmlDrawerHostile, HugeSpansAndSizesStayBounded)
{
    TestSurface surface(400, 300);
    CHtmlDrawer drawer;
    struct Case
    {
        const char* name;
        std::wstring text;
        int maxWidth;
        int maxHeight;
    };
    const Case cases[] = {
        {"colspan of a billion",
         L"<table border=1><tr><td colspan=1000000000>a</td><td>b</td></tr><tr><td "
         L"rowspan=1000000000>c</td></tr>"
         L"</table>",
         1 << 20, 1 << 20},
        {"image of 100000 %", L"<bmp idres=101 width=100000% height=100000%>", 80 + 1, 60 + 1},
        {"icon of 100000 %", L"<icon idres=32512 width=100000% height=100000%>", 2048 + 1, 2048 + 1},
        {"rule of 100000 %", L"<hr width=100000% size=100000>", 2, 32767 + 9},
        {"a billion breaks", L"x<br=1000000000>x", 1 << 20, 1 << 26},
        {"a billion tab stops", L"<t=1000000000>x", 1 << 26, 1 << 20},
        {"huge cell sizes", L"<table><tr><td width=99999999 height=99999999>x</td></tr></table>", 1 << 20,
         1 << 20},
        {"a huge pattern background",
         L"<table bgeffect=metal bgcolor=#ff0000><tr><td width=30000 height=30000>x</td></tr></table>",
         1 << 20, 1 << 20},
        {"handles that are not handles",
         L"<icon handle=0x12345678><bmp handle=0xFFFFFFFFFFFFFFFF><bmp handle=-1>", 1, 1},
        {"resource ids beyond 16 bits", L"<bmp idres=70000><icon iddll=4000000000><string idres=65536>", 1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SIZE size = MeasureAndDraw(drawer, surface, c.text);
        EXPECT_LE(size.cx, c.maxWidth);
        EXPECT_LE(size.cy, c.maxHeight);
    }
}

TEST(HtmlDrawerHostile, UnterminatedTableEndsAtTheEndOfTheText)
{
    TestSurface surface(300, 100);
    CHtmlDrawer drawer;
    const SIZE open = MeasureAndDraw(drawer, surface, L"<table border=1><tr><td>abc");
    SIZE closed = {};
    drawer.Measure(surface.dc(), L"<table border=1><tr><td>abc</td></tr></table>", &closed);
    EXPECT_EQ(open.cx, closed.cx);
    EXPECT_EQ(open.cy, closed.cy);
    EXPECT_GT(open.cx, 4);
    for (const wchar_t* text :
         {L"<table", L"<table>", L"<table><tr>", L"</table></td><td>", L"<td><tr></table>"}) {
        MeasureAndDraw(drawer, surface, text);
    }
}

TEST(HtmlDrawerHostile, DeepNestingIsCut)
{
    std::wstring text;
    for (int i = 0; i < 5000; ++i) {
        text += L"<table border=1><tr><td>";
    }
    text += L"x";
    TestSurface surface(300, 300);
    CHtmlDrawer drawer;
    const SIZE size = MeasureAndDraw(drawer, surface, text);
    EXPECT_GT(size.cx, 1);

    std::wstring tags;
    for (int i = 0; i < 20000; ++i) {
        tags += L"<b><font color=red><a href=x>";
    }
    MeasureAndDraw(drawer, surface, tags + L"x");
}

TEST(HtmlDrawerHostile, LongRunsWrapIntoManyLines)
{
    std::wstring words;
    for (int i = 0; i < 20000; ++i) {
        words += L"word ";
    }
    TestSurface surface(200, 100);
    CHtmlDrawer drawer;
    drawer.SetMaxWidth(120);
    const SIZE wrapped = MeasureAndDraw(drawer, surface, words);
    const SIZE cut = MeasureAndDraw(drawer, surface, std::wstring(100000, L'W'));
    EXPECT_LE(wrapped.cx, 121);
    EXPECT_LE(cut.cx, 121);
    SIZE line = {};
    drawer.Measure(surface.dc(), L"word", &line);
    EXPECT_GT(wrapped.cy, 1000 * (line.cy - 1));
}

TEST(HtmlDrawerHostile, ModulesNamedByTheTextAreMappedAsDataOnly)
{
    ASSERT_FALSE(ProbeRan());
    const std::wstring probe = ProgramFolder() + L"ui_controls_probe_module.dll";
    ASSERT_NE(GetFileAttributesW(probe.c_str()), INVALID_FILE_ATTRIBUTES);
    TestSurface surface(300, 100);
    CHtmlDrawer drawer;

    // The probe's bitmap 1 (8 x 6) and string 201 are reached, its code never runs.
    EXPECT_EQ(MeasureAndDraw(drawer, surface, L"<bmp srcdll=\"" + probe + L"\" iddll=1>").cx, 8 + 1);
    SIZE text = {};
    drawer.Measure(surface.dc(), L"Text from the probe module", &text);
    EXPECT_EQ(MeasureAndDraw(drawer, surface, L"<string srcdll='" + probe + L"' iddll=201>").cx, text.cx);
    EXPECT_EQ(MeasureAndDraw(drawer, surface, L"<icon srcdll=\"" + probe + L"\" iddll=1>").cx, 1);
    // A program is a module too: the test program itself, mapped for its bitmap 101.
    EXPECT_EQ(MeasureAndDraw(drawer, surface, L"<bmp srcdll=\"" + ProgramPath() + L"\" iddll=101>").cx,
              8 + 1);
    MeasureAndDraw(drawer, surface, L"<bmp srcdll=\"C:\\windows\\system32\\notepad.exe\" iddll=1>");
    EXPECT_EQ(MeasureAndDraw(drawer, surface, L"<bmp srcdll=\"Z:\\no\\such\\module.dll\" iddll=1>").cx, 1);

    EXPECT_FALSE(ProbeRan());
    EXPECT_EQ(GetModuleHandleW(probe.c_str()), nullptr);

    // The probe does announce itself when it really runs.
    HMODULE loaded = LoadLibraryW(probe.c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(ProbeRan());
    FreeLibrary(loaded);
}

TEST(HtmlDrawerHostile, RandomMarkupNeverCrashes)
{
    const wchar_t* fragments[] = {
        L"<",
        L">",
        L"<<",
        L"&",
        L"&lt;",
        L"&amp;",
        L"<table",
        L"</table>",
        L"<tr>",
        L"<td",
        L"</td>",
        L" colspan=",
        L" rowspan=",
        L"9999999",
        L"-1",
        L"0",
        L"%",
        L"<b>",
        L"</b>",
        L"<br=",
        L"<t=",
        L"<hr width=",
        L"<bmp idres=101",
        L"<icon handle=",
        L"<a href=",
        L"<a msg=",
        L"</a>",
        L"<font size=",
        L"color=",
        L"\"",
        L"'",
        L"x",
        L"word ",
        L"\n",
        L"\t",
        L"=",
        L" ",
        L"<ilst cx=",
        L" cy=",
        L" index=",
        L"<string idres=",
        L"bgeffect=",
        L"metal",
        L"<span class=",
        L"<h1>",
        L"</h1>",
        L"<sub>",
        L"#ff00ff",
        L"<table border=3 borderstyle=double>",
    };
    std::mt19937 random(20240611);
    TestSurface surface(200, 150);
    CHtmlDrawer drawer;
    for (int round = 0; round < 600; ++round) {
        std::wstring text;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            text += fragments[random() % (sizeof fragments / sizeof fragments[0])];
        }
        drawer.SetMaxWidth(round % 3 == 0 ? 120 : 0);
        MeasureAndDraw(drawer, surface, text);
        drawer.OnMouseMove({static_cast<LONG>(random() % 200), static_cast<LONG>(random() % 150)});
    }
}
