// The renderer in a test dialog under Wine: pages from a local HTTP server (html_fetch_server.py), from
// resources of this program and from files; form submission; images downloaded on threads.
#include "html_document.h"
#include "html_renderer.h"
#include "html_scroll.h"
#include "support/screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

std::wstring Environment(const char* name)
{
    const char* value = std::getenv(name);
    std::string text = value ? value : "";
    return std::wstring(text.begin(), text.end());
}

std::wstring Server(const std::wstring& path)
{
    return L"http://127.0.0.1:" + Environment("HTML_TEST_PORT") + L"/" + path;
}

// Counted across threads; globals, because download threads may still be inside a fetch while a
// renderer's derived part is gone.
std::atomic<int> fetchesInside{0};
std::atomic<int> mostFetchesInside{0};
std::atomic<int> resourceFetches{0};

// What the drawing window was told, in order.
struct Reports
{
    std::vector<std::pair<int, int>> loaded;
    int relayouts = 0;
} reports;

std::vector<std::wstring> statusTexts;
WNDPROC staticProc = nullptr;

LRESULT CALLBACK RecordingStatusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        statusTexts.push_back(reinterpret_cast<const wchar_t*>(lParam));
    return CallWindowProcW(staticProc, window, message, wParam, lParam);
}

class TestRenderer : public CHtmlRenderer
{
public:
    using CHtmlRenderer::CHtmlRenderer;

    wchar_t* FetchPage(const wchar_t* url, int* byteCount) override
    {
        ++pageFetches;
        return CHtmlRenderer::FetchPage(url, byteCount);
    }
    unsigned char* FetchResource(const wchar_t* url, int* byteCount) override
    {
        ++resourceFetches;
        int inside = ++fetchesInside;
        int most = mostFetchesInside.load();
        while (inside > most && !mostFetchesInside.compare_exchange_weak(most, inside)) {
        }
        unsigned char* data = CHtmlRenderer::FetchResource(url, byteCount);
        --fetchesInside;
        return data;
    }
    void InvalidateDocRect(const RECT* rect) override
    {
        invalidated.push_back(*rect);
        CHtmlRenderer::InvalidateDocRect(rect);
    }

    int pageFetches = 0;
    std::vector<RECT> invalidated;
};

TestRenderer* activeRenderer = nullptr;

INT_PTR CALLBACK DrawDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == kHtmlImageLoaded)
        reports.loaded.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
    if (message == kHtmlRelayout)
        ++reports.relayouts;
    if (!activeRenderer)
        return 0;
    return activeRenderer->WindowProc(window, message, wParam, lParam);
}

void Pump(DWORD milliseconds)
{
    DWORD end = GetTickCount() + milliseconds;
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(2);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

bool PumpUntil(const std::function<bool()>& done, DWORD limit = 20000)
{
    DWORD end = GetTickCount() + limit;
    while (!done()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0)
            return false;
        Pump(5);
    }
    return true;
}

// A modeless dialog as the drawing window, a static as the status line, a static as the view and an
// address box, all real windows on the test display. The windows serve every test (the display takes
// seconds to let a shown window go); each test gets a renderer of its own.
struct RendererWindow
{
    static inline HWND view = nullptr;
    static inline HWND status = nullptr;
    static inline HWND address = nullptr;
    static inline HWND draw = nullptr;
    std::unique_ptr<TestRenderer> renderer;

    explicit RendererWindow(int width = 640, int height = 480)
    {
        reports = Reports();
        statusTexts.clear();
        if (!draw)
            CreateWindows();
        SetWindowTextW(status, L"");
        SetWindowPos(draw, HWND_TOP, 0, 0, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
        renderer = std::make_unique<TestRenderer>(draw, view, status, address, nullptr);
        activeRenderer = renderer.get();
        SendMessageW(draw, WM_SIZE, 0, MAKELPARAM(width, height));
    }
    ~RendererWindow() { Destroy(); }
    static void CreateWindows()
    {
        view = CreateWindowExW(0, L"static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        status =
            CreateWindowExW(0, L"static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        staticProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingStatusProc)));
        address =
            CreateWindowExW(0, L"edit", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        struct
        {
            DLGTEMPLATE dialog;
            WORD menu, windowClass, title;
        } form = {};
        form.dialog.style = WS_POPUP | WS_CLIPCHILDREN;
        draw =
            CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &form.dialog, nullptr, DrawDialogProc, 0);
    }
    void Destroy()
    {
        activeRenderer = nullptr;
        renderer.reset();
        // Reports posted before the renderer went are nobody's.
        Pump(1);
        statusTexts.clear();
    }
    std::wstring Status() const
    {
        wchar_t text[300] = {};
        GetWindowTextW(status, text, 300);
        return text;
    }
    bool WaitForImages(int total)
    {
        return PumpUntil([&] {
            for (const auto& report : reports.loaded)
                if (report.first == total && report.second == total)
                    return true;
            return false;
        });
    }
    COLORREF Pixel(int x, int y) const
    {
        UpdateWindow(draw);
        HDC dc = GetDC(draw);
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(draw, dc);
        return colour;
    }
    std::vector<CHtmlItem*> Items(int kind) const
    {
        std::vector<CHtmlItem*> found;
        std::function<void(CHtmlItem**, int)> walk = [&](CHtmlItem** items, int count) {
            for (int index = 0; index < count; ++index) {
                if (items[index]->kind == kind)
                    found.push_back(items[index]);
                walk(items[index]->children, items[index]->childCount);
            }
        };
        walk(renderer->Document()->items, renderer->Document()->itemCount);
        return found;
    }
    CHtmlItem* Text(const wchar_t* text) const
    {
        for (CHtmlItem* item : Items(kHtmlItemText))
            if (item->text && wcscmp(item->text, text) == 0)
                return item;
        return nullptr;
    }
};

// The copy of every page beside the program goes with each test.
class HtmlRenderer : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    void TearDown() override
    {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        wcscpy(wcsrchr(path, L'.'), L".txt");
        DeleteFileW(path);
    }
};

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& prefix)
{
    for (const std::wstring& text : texts)
        if (text.rfind(prefix, 0) == 0)
            return true;
    return false;
}

TEST_F(HtmlRenderer, ARelativeRedirectionLandsOnTheFinalUrl)
{
    RendererWindow window;
    window.renderer->Navigate(Server(L"redirect").c_str());
    EXPECT_EQ(std::wstring(window.renderer->CurrentUrl()), Server(L"sub/final.html"));
    ASSERT_EQ(window.renderer->History().RowCount(), 1);
    EXPECT_NE(std::wstring(window.renderer->History().GetRow(0)->GetText(1)).find(L"Final page"),
              std::wstring::npos);
    EXPECT_EQ(std::wstring(window.renderer->History().GetRow(0)->GetText(0)), Server(L"sub/final.html"));
    EXPECT_TRUE(Contains(statusTexts, L"From Internet"));
    EXPECT_TRUE(Contains(statusTexts, L"Parsing "));
    wchar_t address[200] = {};
    GetWindowTextW(window.address, address, 200);
    EXPECT_EQ(std::wstring(address), Server(L"sub/final.html"));
    // The page's copy beside the program: UTF-16 without a byte-order mark.
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wcscpy(wcsrchr(path, L'.'), L".txt");
    HANDLE copy = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(copy, INVALID_HANDLE_VALUE);
    std::wstring written(4096, L'\0');
    DWORD read = 0;
    ReadFile(copy, written.data(), 8192, &read, nullptr);
    CloseHandle(copy);
    written.resize(read / sizeof(wchar_t));
    EXPECT_EQ(written, window.renderer->History().GetRow(0)->GetText(1));
    // Leaving a page keeps its scroll position in its history row.
    window.renderer->Navigate(Server(L"echo").c_str());
    EXPECT_EQ(std::wstring(window.renderer->History().GetRow(0)->GetText(2)), L"0");
    EXPECT_EQ(window.renderer->History().GetRow(1)->Count(), 2);
}

TEST_F(HtmlRenderer, TheDrawingWindowWantsAllKeysThroughTheDialogResult)
{
    RendererWindow window;
    EXPECT_EQ(SendMessageW(window.draw, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
}

TEST_F(HtmlRenderer, ARedirectionLoopEndsAsAFailureAfterTwenty)
{
    RendererWindow window;
    window.renderer->Navigate(Server(L"loop/0").c_str());
    EXPECT_EQ(window.renderer->History().RowCount(), 0);
    EXPECT_EQ(std::wstring(window.renderer->CurrentUrl()), Server(L"loop/20"));
}

TEST_F(HtmlRenderer, ReadingShowsTheRunningTotalWithAndWithoutALength)
{
    for (bool length : {true, false}) {
        RendererWindow window;
        window.renderer->Navigate(Server(length ? L"big" : L"big-nolength").c_str());
        std::vector<int> totals;
        for (const std::wstring& text : statusTexts) {
            int read = 0, total = 0;
            int fields = swscanf(text.c_str(), L"Reading %d of %d", &read, &total);
            if (fields < 1)
                continue;
            EXPECT_EQ(fields, length ? 2 : 1) << text;
            if (length) {
                EXPECT_EQ(total, 2500);
            }
            totals.push_back(read);
        }
        ASSERT_GE(totals.size(), 2u) << length;
        EXPECT_TRUE(std::is_sorted(totals.begin(), totals.end()));
        EXPECT_LT(totals.front(), 2500);
        EXPECT_EQ(totals.back(), 2500);
    }
}

TEST_F(HtmlRenderer, ResourcePagesAreFoundByNameAndByTheirLastPart)
{
    for (const wchar_t* url : {L"res://page.htm", L"res://dir/page.htm", L"RES://PAGE.HTM"}) {
        RendererWindow window;
        window.renderer->Navigate(url);
        ASSERT_EQ(window.renderer->History().RowCount(), 1) << url;
        EXPECT_EQ(std::wstring(window.renderer->CurrentUrl()), url);
        EXPECT_NE(window.Text(L"\u00dc"), nullptr) << url;
    }
    RendererWindow window;
    window.renderer->Navigate(L"res://none.htm");
    EXPECT_EQ(window.renderer->History().RowCount(), 0);
    // An odd-sized resource as bytes: its size and one zero after them.
    int size = 0;
    std::unique_ptr<unsigned char[]> odd(window.renderer->FetchResource(L"res://odd.htm", &size));
    ASSERT_TRUE(odd);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(odd.get())), "abcde");
}

TEST_F(HtmlRenderer, AFilePageIsReadThroughAPathWithSpaces)
{
    RendererWindow window;
    std::wstring url = L"file://" + Environment("HTML_TEST_FIXTURES") + L"\\dir with spaces\\page one.html";
    window.renderer->Navigate(url.c_str());
    ASSERT_EQ(window.renderer->History().RowCount(), 1);
    EXPECT_EQ(std::wstring(window.renderer->CurrentUrl()), url);
    // A zero byte of a navigated page reads as a space, as through WinInet.
    EXPECT_NE(std::wstring(window.renderer->History().GetRow(0)->GetText(1)).find(L"page tail"),
              std::wstring::npos);
    EXPECT_TRUE(Contains(statusTexts, L"Reading 5"));
    // The same file with a slash before its drive letter.
    std::wstring slashed = L"file:///" + url.substr(7);
    int size = 0;
    std::unique_ptr<unsigned char[]> bytes(window.renderer->FetchResource(slashed.c_str(), &size));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(size, 57);
    EXPECT_EQ(bytes[38], 0);
    EXPECT_EQ(bytes[57], 0);
}

TEST_F(HtmlRenderer, AFileLargerThanTheFetchLimitIsCut)
{
    // A sparse file just over 64 MiB: the read stops at the limit with what it has.
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path =
        std::wstring(folder) + L"html_fetch_limit_" + std::to_wstring(GetCurrentProcessId());
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = 64ll * 1024 * 1024 + 5000;
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    RendererWindow window;
    int size = 0;
    std::unique_ptr<unsigned char[]> bytes(
        window.renderer->FetchResource((L"file://" + path).c_str(), &size));
    DeleteFileW(path.c_str());
    ASSERT_TRUE(bytes);
    EXPECT_GE(size, 64 * 1024 * 1024);
    EXPECT_LT(size, 64 * 1024 * 1024 + 5000);
}

TEST_F(HtmlRenderer, APictureUrlMakesAYellowPageWithoutAFetch)
{
    RendererWindow window;
    std::wstring url = Server(L"wide.JPG");
    window.renderer->Navigate(url.c_str());
    EXPECT_EQ(window.renderer->pageFetches, 0);
    ASSERT_EQ(window.renderer->History().RowCount(), 1);
    EXPECT_EQ(std::wstring(window.renderer->History().GetRow(0)->GetText(0)), url);
    EXPECT_EQ(window.Pixel(300, 300), RGB(255, 255, 0));
}

TEST_F(HtmlRenderer, HoverShowsLinksAndRestoresThePageStatus)
{
    RendererWindow window;
    window.renderer->Navigate(Server(L"links.html").c_str());
    ASSERT_TRUE(window.WaitForImages(1));
    Pump(50);
    std::wstring ready = window.renderer->PageStatusText();
    int items = 0, images = 0, links = 0, level = 0;
    window.renderer->Document()->GetStats(&items, &images, &links, &level);
    wchar_t expected[128];
    swprintf(expected, 128, L"Ready, items:%d, images:%d, links:%d, level:%d", items, images, links, level);
    EXPECT_EQ(ready, expected);
    EXPECT_EQ(links, 2);
    CHtmlItem* alpha = window.Text(L"Alpha");
    CHtmlItem* beta = window.Text(L"Beta");
    ASSERT_TRUE(alpha && beta);
    SendMessageW(window.draw, WM_MOUSEMOVE, 0, MAKELPARAM(alpha->x + 2, alpha->y + 2));
    EXPECT_EQ(window.Status(), Server(L"a.html"));
    window.renderer->invalidated.clear();
    SendMessageW(window.draw, WM_MOUSEMOVE, 0, MAKELPARAM(beta->x + 2, beta->y + 2));
    EXPECT_EQ(window.Status(), Server(L"b.html"));
    auto touched = [&](const CHtmlItem* item) {
        for (const RECT& rect : window.renderer->invalidated)
            if (rect.left == item->x && rect.top == item->y)
                return true;
        return false;
    };
    EXPECT_TRUE(touched(alpha));
    EXPECT_TRUE(touched(beta));
    SendMessageW(window.draw, WM_MOUSEMOVE, 0, MAKELPARAM(600, 400));
    EXPECT_EQ(window.Status(), ready);
}

TEST_F(HtmlRenderer, DraggingBelowTheBottomEdgeScrolls)
{
    RendererWindow window(300, 200);
    std::wstring page;
    for (int line = 0; line < 60; ++line)
        page += L"line " + std::to_wstring(line) + L"<br>";
    window.renderer->Navigate(L"res://page.htm");
    window.renderer->Document()->Load(page.c_str(), L"Arial", 15, 0, L"");
    window.renderer->Relayout();
    ASSERT_GT(HtmlScrollProc(window.draw, kHtmlScrollGetMaxY, 0, 0), 100);
    SendMessageW(window.draw, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ASSERT_EQ(GetCapture(), window.draw);
    RECT client;
    GetClientRect(window.draw, &client);
    SendMessageW(window.draw, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, client.bottom + 40));
    EXPECT_EQ(HtmlScrollProc(window.draw, kHtmlScrollGetY, 0, 0), 40);
    // The anchor kept its document point: a second move selects from the same place.
    CHtmlItem* first = window.Text(L"line");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->selected);
    SendMessageW(window.draw, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(HtmlRenderer, UrlEncodingKeepsLettersAndDigitsAndEncodesBytes)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* encoded;
    } cases[] = {{L"a b", L"a+b"},   {L"a/b", L"a%2fb"},  {L"\u00dc", L"%dc"}, {L"Zz09", L"Zz09"},
                 {L"&=", L"%26%3d"}, {L"\u20ac", L"%80"}, {L"", L""}};
    for (const auto& test : cases) {
        std::unique_ptr<wchar_t[]> encoded(CHtmlRenderer::UrlEncodeFormValue(test.text));
        EXPECT_EQ(std::wstring(encoded.get()), test.encoded) << test.text;
    }
}

TEST_F(HtmlRenderer, FormsGoByGetAndByPost)
{
    RendererWindow window;
    window.renderer->Navigate(Server(L"forms.html").c_str());
    const CHtmlStringTable& controls = window.renderer->Controls();
    ASSERT_EQ(controls.RowCount(), 8);
    for (int row = 0; row < controls.RowCount(); ++row) {
        HWND control = CHtmlRenderer::ControlWindow(controls.GetRow(row));
        EXPECT_EQ(GetDlgCtrlID(control), row + 1);
    }
    // The unchecked box and the push button stay out; the list sends its selected option's value.
    window.renderer->SubmitForm(0, nullptr, 0);
    EXPECT_EQ(std::wstring(window.renderer->CurrentUrl()), Server(L"echo?x=1&q=a+b&s=a%2fb%dc&pick=v2"));

    window.renderer->Navigate(Server(L"forms.html").c_str());
    int rows = window.renderer->History().RowCount();
    window.renderer->Navigate(L"Submit(-1");
    EXPECT_EQ(window.renderer->History().RowCount(), rows);
    window.renderer->Navigate(L"Submit(2");
    EXPECT_EQ(std::wstring(window.renderer->CurrentUrl()), Server(L"echo?form=2&z=1"));

    window.renderer->Navigate(Server(L"forms.html").c_str());
    rows = window.renderer->History().RowCount();
    // The user ticks the second form's box.
    for (int row = 0; row < controls.RowCount(); ++row) {
        const CHtmlStringArray* cells = controls.GetRow(row);
        if (wcscmp(cells->GetText(3), L"3") == 0 && wcscmp(cells->GetText(2), L"1") == 0)
            SendMessageW(CHtmlRenderer::ControlWindow(cells), BM_SETCHECK, BST_CHECKED, 0);
    }
    window.renderer->SubmitForm(1, nullptr, 0);
    ASSERT_EQ(window.renderer->History().RowCount(), rows + 1);
    EXPECT_EQ(std::wstring(window.renderer->History().GetRow(rows)->GetText(0)), Server(L"post"));
    std::wstring posted = window.renderer->History().GetRow(rows)->GetText(1);
    EXPECT_NE(posted.find(L"posted:n=x+y&box=yes to /post as application/x-www-form-urlencoded"),
              std::wstring::npos)
        << posted;
}

TEST_F(HtmlRenderer, APostWithoutAUsableHostFails)
{
    RendererWindow window;
    int size = 0;
    std::wstring longHost = L"http://" + std::wstring(256, L'h') + L"/post";
    for (const std::wstring& action :
         {longHost, std::wstring(L"post"), std::wstring(L"ftp://127.0.0.1/post")})
        EXPECT_EQ(window.renderer->PostForm(action.c_str(), L"a=1", &size), nullptr) << action.size();
}

TEST_F(HtmlRenderer, ThirtyPicturesDownloadElevenAtATime)
{
    RendererWindow window;
    mostFetchesInside = 0;
    window.renderer->Navigate(Server(L"images.html?delay=200").c_str());
    ASSERT_TRUE(window.WaitForImages(30));
    Pump(100);
    EXPECT_EQ(mostFetchesInside.load(), 11);
    ASSERT_EQ(reports.loaded.size(), 30u);
    // A report counts the pictures found so far: on a busy machine the first downloads may end before
    // the layout has found all thirty. A relayout follows every tenth of the count and the last one.
    int most = 0;
    int atSteps = 0;
    for (const auto& report : reports.loaded) {
        EXPECT_LE(report.first, report.second);
        EXPECT_LE(report.second, 30);
        most = std::max(most, report.first);
        const int step = report.second > 10 ? 10 : 1;
        atSteps += report.first == report.second || report.first % step == 0 ? 1 : 0;
    }
    EXPECT_NE(std::find(reports.loaded.begin(), reports.loaded.end(), std::make_pair(30, 30)),
              reports.loaded.end());
    EXPECT_EQ(most, 30);
    EXPECT_EQ(reports.relayouts, atSteps);
    EXPECT_LE(reports.relayouts, 5);
    for (CHtmlItem* image : window.Items(kHtmlItemImage))
        EXPECT_GT(image->width, 19);
    InvalidateRect(window.draw, nullptr, FALSE);
    UpdateWindow(window.draw);
    test_support::WriteClientScreenshot(window.draw, L"html_renderer_images");
}

TEST_F(HtmlRenderer, ARelayoutFollowsEveryTenthOrEveryDownloadOfSmallPages)
{
    const struct
    {
        int total;
        std::vector<int> relayoutAt;
    } cases[] = {{7, {1, 2, 3, 4, 5, 6, 7}},
                 {30, {10, 20, 30}},
                 {10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                 {250, {100, 200, 250}}};
    for (const auto& test : cases) {
        std::vector<int> found;
        for (int done = 1; done <= test.total; ++done)
            if (CHtmlRenderer::LoadStatusNeedsRelayout(done, test.total))
                found.push_back(done);
        EXPECT_EQ(found, test.relayoutAt) << test.total;
    }
}

TEST_F(HtmlRenderer, PicturesTakeTheirSizeTileAndStandInWhenMissing)
{
    RendererWindow window;
    resourceFetches = 0;
    window.renderer->Navigate(Server(L"sizes.html").c_str());
    std::vector<CHtmlItem*> images = window.Items(kHtmlItemImage);
    ASSERT_EQ(images.size(), 3u);
    // Before the slow downloads end the pictures keep the page's sizes.
    EXPECT_EQ(images[0]->width, 100);
    EXPECT_EQ(images[0]->height, 0);
    EXPECT_EQ(images[2]->width, 0);
    ASSERT_TRUE(window.WaitForImages(4));
    Pump(100);
    images = window.Items(kHtmlItemImage);
    EXPECT_EQ(images[0]->width, 100);
    EXPECT_EQ(images[0]->height, 25);
    EXPECT_EQ(images[1]->width, 60);
    EXPECT_EQ(images[1]->height, 40);
    EXPECT_EQ(images[2]->width, 16);
    EXPECT_EQ(images[2]->height, 12);
    EXPECT_EQ(window.Pixel(images[0]->x + 50, images[0]->y + 12), RGB(255, 0, 0));
    EXPECT_EQ(window.Pixel(images[1]->x + 30, images[1]->y + 20), RGB(255, 255, 255));
    EXPECT_EQ(window.Pixel(images[2]->x + 8, images[2]->y + 6), RGB(0, 0, 255));
    // The tile's left half is green and its right half black, repeated from the page's corner.
    EXPECT_EQ(window.Pixel(400, 300), RGB(0, 255, 0));
    EXPECT_EQ(window.Pixel(402, 301), RGB(0, 0, 0));
    EXPECT_EQ(window.Pixel(405, 302), RGB(0, 255, 0));
    EXPECT_EQ(window.Pixel(407, 303), RGB(0, 0, 0));
    test_support::WriteClientScreenshot(window.draw, L"html_renderer_sizes");

    int fetches = resourceFetches;
    int wideJob = images[0]->imageIndex;
    window.renderer->Navigate(Server(L"sizes2.html").c_str());
    images = window.Items(kHtmlItemImage);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0]->imageIndex, wideJob);
    EXPECT_EQ(images[0]->height, 25);
    Pump(300);
    EXPECT_EQ(resourceFetches.load(), fetches);
}

TEST_F(HtmlRenderer, DestroyingWithDownloadsInFlightNeitherCrashesNorHangs)
{
    std::mt19937 random(62);
    for (int round = 0; round < 100; ++round) {
        RendererWindow window;
        window.renderer->Navigate(Server(L"images.html?delay=30").c_str());
        Pump(std::uniform_int_distribution<DWORD>(0, 60)(random));
    }
    SUCCEED();
}

TEST_F(HtmlRenderer, TheDebianPageIsShown)
{
    RendererWindow window(800, 600);
    std::string path = HTML_REAL_PAGE;
    std::replace(path.begin(), path.end(), '/', '\\');
    std::wstring url = L"file://Z:" + std::wstring(path.begin(), path.end());
    window.renderer->Navigate(url.c_str());
    ASSERT_EQ(window.renderer->History().RowCount(), 1);
    EXPECT_GT(window.renderer->Document()->itemTotal, 500);
    InvalidateRect(window.draw, nullptr, FALSE);
    UpdateWindow(window.draw);
    EXPECT_TRUE(test_support::WriteClientScreenshot(window.draw, L"html_renderer_base_passwd"));
}

TEST_F(HtmlRenderer, ALongPageShowsItsBeginningAndTheLimitInTheStatus)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"html_renderer_long_page.html";
    std::string page = "<h1>A long page</h1>";
    while (page.size() < (1u << 20))
        page += "lorem ipsum dolor sit amet, consectetur adipiscing elit ";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, page.data(), static_cast<DWORD>(page.size()), &written, nullptr);
    CloseHandle(file);

    RendererWindow window(800, 600);
    window.renderer->Navigate((L"file://" + path).c_str());
    DeleteFileW(path.c_str());
    EXPECT_EQ(window.renderer->Document()->itemTotal, kHtmlMaxPageItems);
    const std::wstring notice = window.renderer->Document()->LimitNotice();
    EXPECT_EQ(notice.rfind(L"Loaded ", 0), 0u) << notice;
    EXPECT_NE(notice.find(L" of 1048", 0), std::wstring::npos) << notice;
    EXPECT_EQ(window.Status(), notice);
    EXPECT_EQ(std::wstring(window.renderer->PageStatusText()), notice);
    // The status line showed the parse's progress a hundred times or so, not once per word.
    EXPECT_LE(std::count_if(statusTexts.begin(), statusTexts.end(),
                            [](const std::wstring& text) { return text.rfind(L"Parsing ", 0) == 0; }),
              101);
    InvalidateRect(window.draw, nullptr, FALSE);
    UpdateWindow(window.draw);
    EXPECT_TRUE(test_support::WriteClientScreenshot(window.draw, L"html_renderer_long_page"));
}

} // namespace
