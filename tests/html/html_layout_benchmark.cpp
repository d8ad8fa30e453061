// Not a test: prints the time of loading and of laying out pages built to make the layout slow, and of
// showing long pages through the renderer from a file, as the HTML preview does.
#include "html_document.h"
#include "html_renderer.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Only the pages whose names hold this text, when the command line gives one.
const char* chosen = nullptr;

void Measure(const char* name, const std::wstring& page, int fontSize)
{
    if (chosen && !std::strstr(name, chosen))
        return;
    CHtmlDocument document(nullptr, 0);
    LARGE_INTEGER start, loaded, laidOut, again;
    double cpuStart = CpuSeconds();
    QueryPerformanceCounter(&start);
    document.Load(page.c_str(), L"Arial", fontSize, 0, L"http://host/page.htm");
    QueryPerformanceCounter(&loaded);
    RECT area = {0, 0, 1024, 0};
    document.Layout(&area);
    QueryPerformanceCounter(&laidOut);
    RECT second = {0, 0, 640, 0};
    document.Layout(&second);
    QueryPerformanceCounter(&again);
    double cpu = CpuSeconds() - cpuStart;
    int items = 0;
    document.GetStats(&items, nullptr, nullptr, nullptr);
    std::printf(
        "%-44s %8d items  load %7.3f s  layout %7.3f s  relayout %7.3f s  (cpu %7.3f s)  content %d x %d\n",
        name, items, Seconds(start, loaded), Seconds(loaded, laidOut), Seconds(laidOut, again), cpu,
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

CHtmlRenderer* shownRenderer = nullptr;

LRESULT CALLBACK DrawProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (shownRenderer && message == WM_PAINT)
        return shownRenderer->WindowProc(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// From the navigation to the first paint of the page: fetch, parse with the status line's progress,
// layout and paint, in a window of 800 x 600.
void MeasureShown(const char* name, const std::string& page)
{
    if (chosen && !std::strstr(name, chosen))
        return;
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"html_layout_benchmark.html";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, page.data(), static_cast<DWORD>(page.size()), &written, nullptr);
    CloseHandle(file);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DrawProc;
    windowClass.lpszClassName = L"HtmlBenchmarkDraw";
    RegisterClassW(&windowClass);
    HWND draw = CreateWindowExW(0, L"HtmlBenchmarkDraw", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                nullptr, nullptr, nullptr);
    HWND status = CreateWindowExW(0, L"static", L"", WS_POPUP | WS_VISIBLE, 0, 600, 800, 20, nullptr, nullptr,
                                  nullptr, nullptr);
    double cpuStart = CpuSeconds();
    LARGE_INTEGER start, shown;
    QueryPerformanceCounter(&start);
    {
        CHtmlRenderer renderer(draw, nullptr, status, nullptr, nullptr);
        shownRenderer = &renderer;
        renderer.Navigate((L"file://" + path).c_str());
        QueryPerformanceCounter(&shown);
        double cpu = CpuSeconds() - cpuStart;
        int items = 0;
        renderer.Document()->GetStats(&items, nullptr, nullptr, nullptr);
        wchar_t statusText[200] = {};
        GetWindowTextW(status, statusText, 200);
        std::printf("%-44s %8d items  shown %7.3f s  (cpu %7.3f s)  status \"%ls\"\n", name, items,
                    Seconds(start, shown), cpu, statusText);
        shownRenderer = nullptr;
    }
    DestroyWindow(status);
    DestroyWindow(draw);
    DeleteFileW(path.c_str());
    // The renderer leaves a copy of every page beside the program.
    wchar_t copy[MAX_PATH];
    GetModuleFileNameW(nullptr, copy, MAX_PATH);
    wcscpy(wcsrchr(copy, L'.'), L".txt");
    DeleteFileW(copy);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        chosen = argv[1];
    const size_t megabyte = 1 << 20;
    std::wstring words;
    while (words.size() < megabyte)
        words += L"lorem ipsum dolor sit amet ";
    Measure("1 MB of plain words", words, 15);
    Measure("1 MB of tabs in pre", L"<pre>" + std::wstring(megabyte, L'\t') + L"</pre>", 15);
    std::wstring lines;
    while (lines.size() < megabyte)
        lines += L"line<br>";
    Measure("1 MB of short lines", lines, 15);
    std::string wordPage;
    while (wordPage.size() < megabyte)
        wordPage += "lorem ipsum dolor sit amet ";
    MeasureShown("shown: 1 MB of plain words", wordPage);
    MeasureShown("shown: 1 MB of tabs in pre", "<pre>" + std::string(megabyte, '\t') + "</pre>");
    std::string linePage;
    while (linePage.size() < megabyte)
        linePage += "line<br>";
    MeasureShown("shown: 1 MB of short lines", linePage);
    MeasureShown("shown: 100 KB of plain words", wordPage.substr(0, megabyte / 10));
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
