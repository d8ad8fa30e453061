// Not a test: prints the time of loading and of laying out pages built to make the layout slow.
#include "html_document.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Measure(const char* name, const std::wstring& page, int fontSize)
{
    CHtmlDocument document(nullptr, 0);
    LARGE_INTEGER start, loaded, laidOut, again;
    QueryPerformanceCounter(&start);
    document.Load(page.c_str(), L"Arial", fontSize, 0, L"http://host/page.htm");
    QueryPerformanceCounter(&loaded);
    RECT area = {0, 0, 1024, 0};
    document.Layout(&area);
    QueryPerformanceCounter(&laidOut);
    RECT second = {0, 0, 640, 0};
    document.Layout(&second);
    QueryPerformanceCounter(&again);
    int items = 0;
    document.GetStats(&items, nullptr, nullptr, nullptr);
    std::printf("%-44s %8d items  load %7.3f s  layout %7.3f s  relayout %7.3f s  content %d x %d\n", name,
                items, Seconds(start, loaded), Seconds(loaded, laidOut), Seconds(laidOut, again),
                static_cast<int>(area.right), static_cast<int>(area.bottom));
}

std::wstring WideTable(int columns, int rows, const wchar_t* cell)
{
    std::wstring page = L"<table width=32767>";
    for (int row = 0; row < rows; ++row) {
        page += L"<tr>";
        for (int column = 0; column < columns; ++column)
            page += cell;
        page += L"</tr>";
    }
    return page + L"</table>";
}

std::wstring NestedTables(int depth, const wchar_t* cellAttributes)
{
    std::wstring page;
    for (int level = 0; level < depth; ++level)
        page += std::wstring(L"<table><tr><td ") + cellAttributes + L">x</td><td>";
    page += L"inner";
    for (int level = 0; level < depth; ++level)
        page += L"</td></tr></table>";
    return page;
}

} // namespace

int main()
{
    Measure("table width=32767, 500 x 500, font 1000", WideTable(500, 500, L"<td>W</td>"), 1000);
    Measure("the same with cell widths of 32767", WideTable(500, 500, L"<td width=32767>W</td>"), 1000);
    Measure("500 x 500 cells spanning 1000 columns/rows",
            WideTable(500, 500, L"<td colspan=1000 rowspan=1000>W</td>"), 15);
    for (int depth : {8, 10, 12, 199}) {
        std::string name = "tables nested " + std::to_string(depth) + " deep";
        Measure(name.c_str(), NestedTables(depth, L""), 15);
    }
    Measure("tables nested 199 deep, cells width=50%", NestedTables(199, L"width=50%"), 15);
    return 0;
}
