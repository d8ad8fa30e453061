// The picture previews in the preview pane of a test frame, on the display under Wine: ImageMagick's
// pictures of every raster kind decoded to its own pixels, the picture's place drawn into a memory DC,
// icons and a metafile made by GDI through OLE pictures, the thumbnails of a folder of GIFs, the
// Photoshop documents against ImageMagick's pixels, and the files that show "Corrupt File".
#include <afxwin.h>

#include <afxdisp.h>
#include <afxole.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crafted_pictures.h"
#include "image_view.h"
#include "main_preview_view.h"
#include "picture_view.h"
#include "preview_image.h"
#include "preview_test_frame.h"
#include "psd_view.h"
#include "raster_decoders.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "thumb_view.h"

namespace {

CString Fixture(const std::string& name)
{
    return CString(test_support::RunningPlatformPath(std::string(PREVIEW_FIXTURES_DIR) + "/" + name).c_str());
}

// ImageMagick's (or Pillow's) reading of a picture, written as PPM beside it.
imaging::PicturePixels ReadPpm(const std::string& name)
{
    std::ifstream file(std::string(PREVIEW_FIXTURES_DIR) + "/" + name + ".ppm", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    imaging::PicturePixels picture;
    EXPECT_TRUE(imaging::DecodePnm(bytes.data(), bytes.size(), picture)) << name;
    return picture;
}

// The largest difference of one channel between two pictures of the same size.
int LargestDifference(const std::vector<std::uint32_t>& left, const std::vector<std::uint32_t>& right)
{
    int largest = 0;
    for (std::size_t index = 0; index < left.size() && index < right.size(); ++index)
        for (int shift = 0; shift < 24; shift += 8)
            largest = std::max(largest, std::abs(static_cast<int>((left[index] >> shift) & 0xFF) -
                                                 static_cast<int>((right[index] >> shift) & 0xFF)));
    return largest;
}

// Pixels (0x00RRGGBB) of a bitmap drawn by `draw` into a memory DC of the size, first filled with `fill`.
template <class Draw>
std::vector<std::uint32_t> DrawIntoMemory(int width, int height, COLORREF fill, Draw draw)
{
    HDC screen = ::GetDC(NULL);
    CDC memoryDc;
    memoryDc.Attach(::CreateCompatibleDC(screen));
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(NULL, screen);
    HGDIOBJ old = ::SelectObject(memoryDc.m_hDC, bitmap);
    memoryDc.FillSolidRect(0, 0, width, height, fill);
    draw(memoryDc);
    const CRect area(0, 0, width, height);
    std::vector<std::uint32_t> pixels = test_support::CaptureDc(memoryDc.m_hDC, area);
    ::SelectObject(memoryDc.m_hDC, old);
    ::DeleteObject(bitmap);
    return pixels;
}

std::uint32_t Rgb(COLORREF colour)
{
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) | (GetGValue(colour) << 8) |
           GetBValue(colour);
}

class PictureViewsTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (m_pFrame != NULL)
            m_pFrame->DestroyWindow();
        PreviewTestApp().m_pMainWnd = NULL;
        Pump(50);
    }

    void MakeHost()
    {
        m_pFrame = new CPreviewTestFrame;
        m_pHost = m_pFrame->CreateWithHost(L"Picture preview test", CRect(0, 0, 820, 600));
        ASSERT_NE(m_pHost, nullptr);
        m_pFrame->RecalcLayout();
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->UpdateWindow();
        Pump(50);
    }

    void Show(const CString& strPath)
    {
        m_pFrame->ShowPreview(strPath, strPath.Mid(strPath.ReverseFind(L'.')));
        Pump(100);
    }

    // The pane as it shows on the screen once its view has painted (the view's WM_PAINT may come after
    // the redraw returns).
    void Screenshot(const wchar_t* name)
    {
        m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(100);
        CRect rect;
        m_pHost->GetWindowRect(&rect);
        HDC hScreenDc = ::GetDC(NULL);
        test_support::WriteDcScreenshot(hScreenDc, rect, name);
        ::ReleaseDC(NULL, hScreenDc);
    }

    void ExpectCorruptFile(const char* what)
    {
        SCOPED_TRACE(what);
        EXPECT_TRUE(!m_pFrame->m_bPreviewOk || m_pFrame->m_bPreviewable);
        ASSERT_NE(m_pHost->m_pViews[kPreviewPlaceholder], nullptr);
        EXPECT_TRUE(::IsWindow(m_pHost->m_pViews[kPreviewPlaceholder]->GetSafeHwnd()));
    }

    CPreviewTestFrame* m_pFrame = NULL;
    CMainPreviewView* m_pHost = NULL;
};

TEST(PictureLayer, EveryRasterKindDecodesToTheOutsideReadersPixels)
{
    const struct
    {
        const char* name;
        int tolerance;
    } cases[] = {
        {"rose.png", 0},      {"rose.gif", 0},       {"rose.jpg", 2},     {"rose.bmp", 0},
        {"rose.tif", 0},      {"rose.tga", 0},       {"rose-rle.tga", 0}, {"rose-bottom-origin.tga", 0},
        {"rose-8bit.pcx", 0}, {"rose-24bit.pcx", 0}, {"rose.pgm", 0},     {"rose.ppm", 0},
        {"rose.pbm", 0},      {"rose.jp2", 0},       {"rose.j2k", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = std::string("pictures/") + c.name;
        const CString strPath = Fixture(name);
        // PBM has no type code of its own: it is read as any PNM.
        const int type = ImageTypeOfPath(strPath) != kImageNone ? ImageTypeOfPath(strPath) : kImagePnm;
        CPreviewImage image(strPath, type);
        ASSERT_TRUE(image.IsValid());
        const imaging::PicturePixels expected = ReadPpm(name);
        ASSERT_EQ(image.GetWidth(), expected.width);
        ASSERT_EQ(image.GetHeight(), expected.height);
        EXPECT_LE(LargestDifference(image.Pixels().pixels, expected.pixels), c.tolerance);
    }
    // A file cut short, another kind under a picture's name, and the kinds without a decoder here.
    for (const char* name : {"pictures/truncated.jp2", "pictures/not-a-picture.png", "pictures/huge.tga"}) {
        SCOPED_TRACE(name);
        const CString strPath = Fixture(name);
        EXPECT_FALSE(CPreviewImage(strPath, ImageTypeOfPath(strPath)).IsValid());
    }
    EXPECT_FALSE(CPreviewImage(Fixture("pictures/rose.png"), kImageWbmp).IsValid());
    EXPECT_FALSE(CPreviewImage(Fixture("pictures/rose.png"), kImagePgx).IsValid());
    EXPECT_FALSE(CPreviewImage(Fixture("pictures/rose.png"), kImageRas).IsValid());
}

// A crafted picture written into the temporary folder; deleted with the object.
class CraftedFile
{
public:
    CraftedFile(const wchar_t* name, const crafted::Bytes& bytes)
    {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        m_strPath = CString(folder) + name;
        std::ofstream out(m_strPath.GetString(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ~CraftedFile() { ::DeleteFileW(m_strPath); }
    const CString& Path() const { return m_strPath; }

private:
    CString m_strPath;
};

// GDI+ sets up the whole picture a header declares before it reads a pixel: a header past the limit
// (64 Mi pixels, 8192 x 8192) never reaches it, whatever the file's name says; one at the limit does.
TEST(PictureLayer, HeadersPastThePixelLimitNeverReachGdiplus)
{
    const struct
    {
        const wchar_t* name;
        crafted::Bytes atLimit;
        crafted::Bytes past;
    } cases[] = {{L"crafted.bmp", crafted::Bmp(8192, 8192), crafted::Bmp(8192, 8193)},
                 {L"crafted.png", crafted::Png(8192, 8192), crafted::Png(8192, 8193)},
                 {L"crafted.jpg", crafted::Jpeg(8192, 8192), crafted::Jpeg(8192, 8193)},
                 {L"crafted.gif", crafted::Gif(8192, 8192), crafted::Gif(8192, 8193)},
                 {L"crafted.tif", crafted::Tiff(8192, 8192), crafted::Tiff(8192, 8193)},
                 {L"crafted.ico", crafted::Icon(8192, 8192), crafted::Icon(8192, 8193)},
                 {L"crafted.emf", crafted::Emf(8192, 8192), crafted::Emf(8192, 8193)},
                 // Another kind under a picture's name: GDI+ would read it by its bytes.
                 {L"crafted-jpeg.png", crafted::Jpeg(8192, 8192), crafted::Jpeg(8192, 8193)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const CraftedFile atLimit(c.name, c.atLimit);
        PreviewImageWork work;
        CPreviewImage image;
        image.Load(atLimit.Path(), ImageTypeOfPath(atLimit.Path()), &work);
        EXPECT_EQ(work.gdiplusDecodes, 1);
        const CraftedFile past(c.name, c.past);
        work = PreviewImageWork();
        EXPECT_FALSE(image.Load(past.Path(), ImageTypeOfPath(past.Path()), &work));
        EXPECT_EQ(work.gdiplusDecodes, 0);
        EXPECT_FALSE(image.IsValid());
    }
}

TEST_F(PictureViewsTest, PicturesAreDrawn200WideNearTheTop)
{
    MakeHost();
    const struct
    {
        const char* name;
        COLORREF colour;
        int top;
        int height;
    } cases[] = {{"square.png", RGB(0xC0, 0x30, 0x20), 10, 200},
                 {"wide.png", RGB(0x20, 0x50, 0xC0), 35, 150}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Show(Fixture(std::string("pictures/") + c.name));
        auto* pView = DYNAMIC_DOWNCAST(CImage_View, m_pHost->m_pViews[kPreviewImage]);
        ASSERT_NE(pView, nullptr);
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        EXPECT_EQ(m_pHost->m_pViews[kPreviewPlaceholder], nullptr);
        CRect rectClient;
        pView->GetClientRect(&rectClient);
        const int width = rectClient.Width(), height = rectClient.Height();
        const COLORREF fill = RGB(1, 2, 3);
        const std::vector<std::uint32_t> pixels =
            DrawIntoMemory(width, height, fill, [&](CDC& dc) { pView->OnDraw(&dc); });
        int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixels[static_cast<std::size_t>(y) * width + x] != Rgb(fill)) {
                    EXPECT_EQ(pixels[static_cast<std::size_t>(y) * width + x], Rgb(c.colour));
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        EXPECT_EQ(left, width / 2 - 100);
        EXPECT_EQ(right - left + 1, 200);
        EXPECT_EQ(top, c.top);
        EXPECT_EQ(bottom - top + 1, c.height);
    }
    Show(Fixture("pictures/rose.png"));
    Screenshot(L"picture_preview_rose_png");
}

TEST_F(PictureViewsTest, UnreadablePicturesShowCorruptFile)
{
    MakeHost();
    for (const char* name : {"pictures/not-a-picture.png", "pictures/huge.tga", "pictures/truncated.jp2"}) {
        Show(Fixture(name));
        ExpectCorruptFile(name);
        EXPECT_FALSE(m_pFrame->m_bPreviewOk);
    }
    // Headers of a few bytes that declare more than the picture limit: a run-length bitmap of 30000 x
    // 30000 and a JPEG of 65500 x 65500 (gigabytes in the decoders), and an icon one row past the limit
    // for the OLE picture that shows icons.
    const CraftedFile bitmap(L"crafted-huge.bmp", crafted::Bmp(30000, 30000));
    const CraftedFile jpeg(L"crafted-huge.jpg", crafted::Jpeg(65500, 65500));
    const CraftedFile icon(L"crafted-huge.ico", crafted::Icon(8192, 8193));
    for (const CraftedFile* pFile : {&bitmap, &jpeg, &icon}) {
        Show(pFile->Path());
        ExpectCorruptFile(Narrow(pFile->Path()).c_str());
        EXPECT_FALSE(m_pFrame->m_bPreviewOk);
    }
    Screenshot(L"picture_preview_corrupt_file");
}

// The largest working set of the process while `step` runs, sampled by a thread of its own: the
// process's own peak never comes down, so it cannot tell one step's cost from an earlier step's.
template <class Step> double LargestWorkingSetMiB(Step step)
{
    struct Sampler
    {
        volatile LONG stop = 0;
        SIZE_T largest = 0;
        void Sample()
        {
            PROCESS_MEMORY_COUNTERS counters = {};
            counters.cb = sizeof counters;
            if (::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters))
                largest = std::max(largest, counters.WorkingSetSize);
        }
    } sampler;
    sampler.Sample();
    HANDLE thread = ::CreateThread(
        NULL, 0,
        [](LPVOID parameter) -> DWORD {
            auto* pSampler = static_cast<Sampler*>(parameter);
            while (pSampler->stop == 0) {
                pSampler->Sample();
                ::Sleep(5);
            }
            return 0;
        },
        &sampler, 0, NULL);
    step();
    ::InterlockedExchange(&sampler.stop, 1);
    if (thread != NULL) {
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
    }
    sampler.Sample();
    return static_cast<double>(sampler.largest) / (1 << 20);
}

// Files of at most a megabyte or so that a look at their first frame or first value lets by, while the
// decoder behind it would set up gigabytes or work for minutes: a GIF's later frames, a GIF under a
// signature the header reader does not know that OLE's loader still takes for one, a TIFF that gives its
// width twice, a progressive JPEG of a thousand scans, and metafiles whose records stretch a bitmap of
// 12000 x 12000. Each shows "Corrupt File" at once, and its like within the limits stays a picture. The
// figures printed are each file's time to its view and the process's largest working set meanwhile.
TEST_F(PictureViewsTest, CraftedFilesShowAPictureOrCorruptFileWithinTheLimits)
{
    MakeHost();
    using Frames = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    const Frames growing = {{16, 16},     {1024, 1024}, {2048, 2048}, {4096, 4096},
                            {8192, 8192}, {8192, 8192}, {8192, 8192}, {8192, 8192}};
    // GIFs named as pictures of the image view: GDI+ reads a file by its bytes, not by its name.
    const struct
    {
        const wchar_t* name;
        crafted::Bytes bytes;
        bool picture;
    } cases[] = {
        {L"crafted-second-frame.png", crafted::CodedGif("GIF89a", 16, 16, Frames{{16, 16}, {30000, 30000}}),
         false},
        {L"crafted-growing-frames.png", crafted::CodedGif("GIF89a", 16, 16, growing), false},
        {L"crafted-two-frames.png", crafted::CodedGif("GIF89a", 64, 64, Frames{{64, 64}, {64, 64}}), true},
        {L"crafted-gif90a.ico", crafted::CodedGif("GIF90a", 12000, 12000, Frames{{12000, 12000}}), false},
        {L"crafted-gif89a.ico", crafted::CodedGif("GIF89a", 64, 64, Frames{{64, 64}}), true},
        {L"crafted-width-twice.tif", crafted::PackBitsTiff({9000, 16}, 9000), false},
        {L"crafted-width-once.tif", crafted::PackBitsTiff({64}, 64), true},
        {L"crafted-1000-scans.jpg", crafted::ProgressiveJpeg(4096, 4096, 1000), false},
        {L"crafted-100-scans.jpg", crafted::ProgressiveJpeg(4096, 4096, 100), true},
        {L"crafted-record-bitmap.emf", crafted::EmfWithBitmap(100, 12000, 12000), false},
        {L"crafted-small-record-bitmap.emf", crafted::EmfWithBitmap(100, 64, 64), true},
        {L"crafted-wmf-record-bitmap.emf", crafted::WmfWithBitmap(100, 12000, 12000), false},
        {L"crafted-wmf-small-record-bitmap.emf", crafted::WmfWithBitmap(100, 64, 64), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        const CraftedFile file(c.name, c.bytes);
        const ULONGLONG started = ::GetTickCount64();
        const double largestMiB = LargestWorkingSetMiB([&] {
            Show(file.Path());
            m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        });
        printf("crafted\t%s\t%zu bytes\t%.2f s\t%.0f MiB\t%s\n", Narrow(c.name).c_str(), c.bytes.size(),
               static_cast<double>(::GetTickCount64() - started) / 1000, largestMiB,
               m_pHost->m_pViews[kPreviewPlaceholder] != nullptr ? "Corrupt File" : "picture");
        fflush(stdout);
        if (c.picture) {
            EXPECT_TRUE(m_pFrame->m_bPreviewOk);
            EXPECT_EQ(m_pHost->m_pViews[kPreviewPlaceholder], nullptr);
        } else {
            ExpectCorruptFile(Narrow(c.name).c_str());
            EXPECT_FALSE(m_pFrame->m_bPreviewOk);
        }
        EXPECT_LT(largestMiB, 1024.0);
        if (std::wstring(c.name) == L"crafted-record-bitmap.emf")
            Screenshot(L"picture_preview_crafted_corrupt_file");
        if (std::wstring(c.name) == L"crafted-small-record-bitmap.emf")
            Screenshot(L"picture_preview_crafted_metafile");
    }
}

// Records a metafile of GDI's own: a frame of the size (hundredths of a millimetre) with a red rectangle
// over its left half.
bool RecordHalfRedMetafile(const CString& strPath, int width, int height)
{
    HDC screen = ::GetDC(NULL);
    const RECT frame = {0, 0, width, height};
    HDC recorder = ::CreateEnhMetaFileW(screen, strPath, &frame, NULL);
    ::ReleaseDC(NULL, screen);
    if (recorder == NULL)
        return false;
    const long long mmWidth = ::GetDeviceCaps(recorder, HORZSIZE),
                    pxWidth = ::GetDeviceCaps(recorder, HORZRES);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    const RECT half = {0, 0, static_cast<LONG>(width * pxWidth / mmWidth / 200),
                       static_cast<LONG>(height * pxWidth / mmWidth / 100)};
    ::FillRect(recorder, &half, red);
    ::DeleteObject(red);
    ::DeleteEnhMetaFile(::CloseEnhMetaFile(recorder));
    return true;
}

TEST_F(PictureViewsTest, IconsAndMetafilesShowThroughOlePictures)
{
    MakeHost();
    Show(Fixture("pictures/rose.ico"));
    auto* pIcon = DYNAMIC_DOWNCAST(CTextView, m_pHost->m_pViews[kPreviewPicture]);
    ASSERT_NE(pIcon, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(pIcon->m_nWidth, 32);
    EXPECT_EQ(pIcon->m_nHeight, 32);
    Screenshot(L"picture_preview_icon");

    // Metafiles of GDI's own: a red rectangle over the left half of a 6 x 4 cm frame, and of a frame that
    // claims 50 metres.
    const struct
    {
        const char* name;
        int width;
        int height;
    } metafiles[] = {{"pictures/drawn.emf", 6000, 4000}, {"pictures/huge-frame.emf", 5000000, 5000000}};
    for (const auto& m : metafiles) {
        SCOPED_TRACE(m.name);
        const CString strMetafile = Fixture(m.name);
        ASSERT_TRUE(RecordHalfRedMetafile(strMetafile, m.width, m.height));
        Show(strMetafile);
        auto* pMetafile = DYNAMIC_DOWNCAST(CTextView, m_pHost->m_pViews[kPreviewPicture]);
        ASSERT_NE(pMetafile, nullptr);
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        EXPECT_NEAR(pMetafile->m_nHimetricWidth, m.width, m.width / 100);
        EXPECT_NEAR(pMetafile->m_nHimetricHeight, m.height, m.height / 100);
        CRect rectClient;
        pMetafile->GetClientRect(&rectClient);
        const int clientWidth = rectClient.Width();
        // GDI's metafiles load as transparent pictures: drawn through a bitmap of their size but no larger
        // than drawn, stretched to (200, 10) with the target's right and bottom taken as width and height.
        // The bitmap is made once: later paints keep it.
        const int drawnWidth = clientWidth - 400, drawnHeight = rectClient.Height() - 20;
        HGDIOBJ hRendered = NULL;
        for (int paint = 0; paint < 3; ++paint) {
            SCOPED_TRACE(paint);
            const std::vector<std::uint32_t> pixels = DrawIntoMemory(
                clientWidth, rectClient.Height(), RGB(1, 2, 3), [&](CDC& dc) { pMetafile->OnDraw(&dc); });
            EXPECT_LE(pMetafile->m_sizeRendered.cx, 200 + drawnWidth);
            EXPECT_LE(pMetafile->m_sizeRendered.cy, 10 + drawnHeight);
            auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * clientWidth + x]; };
            const int middle = 10 + drawnHeight / 2;
            EXPECT_EQ(at(200 + drawnWidth / 4, middle), 0xFF0000u);
            EXPECT_EQ(at(200 + 1, 10 + 1), 0xFF0000u);
            EXPECT_NE(at(200 + drawnWidth * 3 / 4, middle), 0xFF0000u);
            EXPECT_EQ(at(199, middle), 0x010203u);
            EXPECT_EQ(at(200 + drawnWidth, middle), 0x010203u);
            EXPECT_EQ(at(200 + drawnWidth / 4, 9), 0x010203u);
            EXPECT_EQ(at(200 + drawnWidth / 4, 10 + drawnHeight), 0x010203u);
            if (paint > 0)
                EXPECT_EQ(pMetafile->m_rendered.GetSafeHandle(), hRendered);
            hRendered = pMetafile->m_rendered.GetSafeHandle();
        }
        Screenshot(m.width < 10000 ? L"picture_preview_metafile" : L"picture_preview_metafile_huge_frame");
        Show(Fixture("pictures/rose.png"));
        ::DeleteFileW(strMetafile);
    }
}

// A JPEG 2000 picture is decoded once, when its view is made: later paints draw it though the file is gone.
TEST_F(PictureViewsTest, APictureIsDecodedOnceNotOnEveryPaint)
{
    MakeHost();
    std::ifstream in(Fixture("pictures/rose.jp2").GetString(), std::ios::binary);
    const std::string original{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(original.empty());
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const CString strCopy = CString(folder) + L"preview_decoded_once.jp2";
    {
        std::ofstream out(strCopy.GetString(), std::ios::binary);
        out.write(original.data(), static_cast<std::streamsize>(original.size()));
    }
    Show(strCopy);
    auto* pView = DYNAMIC_DOWNCAST(CImage_View, m_pHost->m_pViews[kPreviewImage]);
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    ASSERT_TRUE(::DeleteFileW(strCopy));
    CRect rectClient;
    pView->GetClientRect(&rectClient);
    const COLORREF fill = RGB(1, 2, 3);
    const std::vector<std::uint32_t> pixels =
        DrawIntoMemory(rectClient.Width(), rectClient.Height(), fill, [&](CDC& dc) { pView->OnDraw(&dc); });
    int drawn = 0;
    for (const std::uint32_t pixel : pixels)
        drawn += pixel != Rgb(fill) ? 1 : 0;
    EXPECT_GT(drawn, 200 * 100);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
}

TEST_F(PictureViewsTest, AFolderOfGifsShowsNumberedFramedThumbnails)
{
    MakeHost();
    // The preview deletes the folder it showed: it gets a copy.
    const CString strFolder = Fixture("thumbnails-shown");
    ::CreateDirectoryW(strFolder, NULL);
    for (const wchar_t* name : {L"a-landscape.gif", L"b-square.gif", L"c-portrait.gif"})
        ASSERT_TRUE(::CopyFileW(Fixture("thumbnails\\") + name, strFolder + L"\\" + name, FALSE));
    ASSERT_TRUE(m_pHost->CreateThumbView(strFolder));
    auto* pView = DYNAMIC_DOWNCAST(CThumbView, m_pHost->m_pViews[kPreviewThumbnail]);
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(m_pFrame->PreviewPath(), strFolder);
    EXPECT_EQ(::GetFileAttributesW(strFolder), INVALID_FILE_ATTRIBUTES);
    CListCtrl& list = pView->GetListCtrl();
    ASSERT_EQ(list.GetItemCount(), 3);
    ASSERT_EQ(pView->m_imageList.GetImageCount(), 3);

    const struct
    {
        const char* text;
        COLORREF colour;
        CRect picture; // where the picture lies in its cell
    } cells[] = {{"1", RGB(0xD0, 0x40, 0x40), CRect(0, 20, 160, 100)},
                 {"2", RGB(0x40, 0xA0, 0x40), CRect(20, 0, 140, 120)},
                 {"3", RGB(0x40, 0x40, 0xD0), CRect(53, 0, 106, 120)}};
    for (int index = 0; index < 3; ++index) {
        const auto& cell = cells[index];
        SCOPED_TRACE(cell.text);
        EXPECT_EQ(list.GetItemText(index, 0), CString(cell.text));
        const std::vector<std::uint32_t> pixels = DrawIntoMemory(160, 120, RGB(9, 9, 9), [&](CDC& dc) {
            ImageList_Draw(pView->m_imageList.GetSafeHandle(), index, dc.m_hDC, 0, 0, ILD_NORMAL);
        });
        auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * 160 + x]; };
        // Framed in black all round.
        for (int x = 0; x < 160; ++x) {
            EXPECT_EQ(at(x, 0), 0u);
            EXPECT_EQ(at(x, 119), 0u);
        }
        for (int y = 0; y < 120; ++y) {
            EXPECT_EQ(at(0, y), 0u);
            EXPECT_EQ(at(159, y), 0u);
        }
        const CRect& p = cell.picture;
        EXPECT_EQ(at(p.CenterPoint().x, p.CenterPoint().y), Rgb(cell.colour));
        EXPECT_EQ(at(p.left + 1, p.top + 1), Rgb(cell.colour));
        EXPECT_EQ(at(p.right - 2, p.bottom - 2), Rgb(cell.colour));
        // White around the picture.
        if (p.left > 2) {
            EXPECT_EQ(at(p.left - 2, 60), 0xFFFFFFu);
        }
        if (p.right < 158) {
            EXPECT_EQ(at(p.right + 1, 60), 0xFFFFFFu);
        }
        if (p.top > 2) {
            EXPECT_EQ(at(80, p.top - 2), 0xFFFFFFu);
        }
    }
    Screenshot(L"picture_preview_thumbnails");
}

TEST_F(PictureViewsTest, APresentationWithoutPowerPointShowsCorruptFile)
{
    MakeHost();
    Show(Fixture("pictures/slides.pptx"));
    EXPECT_FALSE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(m_pHost->m_pViews[kPreviewThumbnail], nullptr);
    ExpectCorruptFile(".pptx");
    // The results list clears "previewable" once the preview is shown; the placeholder still shows
    // "Corrupt File", by the failed preview.
    m_pFrame->m_bPreviewable = FALSE;
    ExpectCorruptFile(".pptx from the results list");
    Screenshot(L"picture_preview_presentation_corrupt");
}

TEST(PsdImage, ImageMagicksDocumentsDecodeToItsPixels)
{
    const struct
    {
        const char* name;
        int tolerance;
    } cases[] = {{"rgb-rle.psd", 0},
                 {"rgb-raw.psd", 0},
                 {"grey-rle.psd", 0},
                 {"grey-raw.psd", 0},
                 {"rgb16-rle.psd", 0},
                 {"rgb16-raw.psd", 0},
                 // 16-bit samples show their high byte; ImageMagick rounds them to 8 bits instead.
                 {"grey16-rle.psd", 1},
                 {"grey16-raw.psd", 1},
                 // ImageMagick turns CMYK into RGB by its own arithmetic: they differ by rounding.
                 {"cmyk-rle.psd", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = std::string("psd/") + c.name;
        CPsdImage image;
        ASSERT_EQ(image.Load(Fixture(name)), 0);
        DIBSECTION section = {};
        ASSERT_EQ(::GetObjectW(image.GetHBitmap(), sizeof(section), &section),
                  static_cast<int>(sizeof(section)));
        EXPECT_EQ(section.dsBmih.biBitCount, 24);
        const imaging::PicturePixels expected = ReadPpm(name);
        ASSERT_EQ(section.dsBm.bmWidth, expected.width);
        ASSERT_EQ(section.dsBm.bmHeight, expected.height);
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < expected.height; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(section.dsBm.bmBits) +
                              static_cast<std::size_t>(section.dsBm.bmWidthBytes) * (expected.height - 1 - y);
            for (int x = 0; x < expected.width; ++x)
                pixels.push_back((row[x * 3 + 2] << 16) | (row[x * 3 + 1] << 8) | row[x * 3]);
        }
        EXPECT_LE(LargestDifference(pixels, expected.pixels), c.tolerance);
    }

    CPsdImage lab;
    ASSERT_EQ(lab.Load(Fixture("psd/lab.psd")), 0);
    DIBSECTION section = {};
    ::GetObjectW(lab.GetHBitmap(), sizeof(section), &section);
    const auto* top = static_cast<const std::uint8_t*>(section.dsBm.bmBits) + section.dsBm.bmWidthBytes;
    EXPECT_EQ(top[0], 253);
    EXPECT_EQ(top[3], 119);
    EXPECT_EQ(top[6], 0);
    EXPECT_EQ(section.dsBmih.biXPelsPerMeter, 3780);

    CPsdImage resolution;
    ASSERT_EQ(resolution.Load(Fixture("psd/rgb-72dpi.psd")), 0);
    ::GetObjectW(resolution.GetHBitmap(), sizeof(section), &section);
    EXPECT_EQ(section.dsBmih.biXPelsPerMeter, 2834);
    EXPECT_EQ(section.dsBmih.biYPelsPerMeter, 2834);

    CPsdImage refused;
    EXPECT_EQ(refused.Load(Fixture("psd/zip.psd")), -10);
    EXPECT_EQ(refused.Load(Fixture("psd/version2.psd")), -2);
    EXPECT_EQ(refused.Load(Fixture("psd/not-there.psd")), -1);
    EXPECT_EQ(refused.GetHBitmap(), (HBITMAP)NULL);
}

TEST_F(PictureViewsTest, PhotoshopDocumentsStretchOverTheView)
{
    MakeHost();
    Show(Fixture("psd/rgb-rle.psd"));
    auto* pView = DYNAMIC_DOWNCAST(CPSDViewView, m_pHost->m_pViews[kPreviewPsd]);
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(pView->m_nLoadResult, 0);
    EXPECT_EQ(pView->m_frame.GetDlgCtrlID(), 61468);
    EXPECT_EQ(pView->m_nWidth, 70);
    EXPECT_EQ(pView->m_nHeight, 46);
    CRect rectClient;
    pView->GetClientRect(&rectClient);
    // The picture's top-left and bottom-right pixels reach the view's corners.
    const imaging::PicturePixels expected = ReadPpm("psd/rgb-rle.psd");
    const std::vector<std::uint32_t> pixels = DrawIntoMemory(
        rectClient.Width(), rectClient.Height(), RGB(1, 2, 3), [&](CDC& dc) { pView->OnDraw(&dc); });
    EXPECT_EQ(pixels[static_cast<std::size_t>(rectClient.Width()) + 1], expected.pixels[0]);
    EXPECT_EQ(pixels.back(), expected.pixels.back());
    Screenshot(L"psd_preview_rose");

    // Later paints of the same size copy the picture stretched once.
    const int scalings = pView->m_nScalings;
    for (int paint = 0; paint < 3; ++paint)
        DrawIntoMemory(rectClient.Width(), rectClient.Height(), RGB(1, 2, 3),
                       [&](CDC& dc) { pView->OnDraw(&dc); });
    EXPECT_EQ(pView->m_nScalings, scalings);

    // A document that cannot be shown leaves the view blank and no placeholder.
    Show(Fixture("psd/zip.psd"));
    pView = DYNAMIC_DOWNCAST(CPSDViewView, m_pHost->m_pViews[kPreviewPsd]);
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->m_nLoadResult, -10);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(m_pHost->m_pViews[kPreviewPlaceholder], nullptr);
}

// A grey document of the size, packed: its left half black, its right half white.
crafted::Bytes HalvedGreyPsd(std::uint32_t width, std::uint32_t height)
{
    crafted::Bytes row;
    for (const std::uint8_t grey : {0x00, 0xFF})
        for (std::uint32_t left = width / 2; left > 0;) {
            const std::uint32_t run = std::min<std::uint32_t>(left, 128);
            row.push_back(static_cast<std::uint8_t>(257 - run)); // the next byte, run times
            row.push_back(grey);
            left -= run;
        }
    crafted::Bytes bytes;
    crafted::Text(bytes, "8BPS");
    crafted::Be16(bytes, 1);
    bytes.insert(bytes.end(), 6, 0);
    crafted::Be16(bytes, 1); // one channel
    crafted::Be32(bytes, height);
    crafted::Be32(bytes, width);
    crafted::Be16(bytes, 8);
    crafted::Be16(bytes, 1); // grey
    crafted::Be32(bytes, 0);
    crafted::Be32(bytes, 0);
    crafted::Be32(bytes, 0);
    crafted::Be16(bytes, 1); // packed
    for (std::uint32_t y = 0; y < height; ++y)
        crafted::Be16(bytes, static_cast<std::uint32_t>(row.size()));
    for (std::uint32_t y = 0; y < height; ++y)
        bytes.insert(bytes.end(), row.begin(), row.end());
    return bytes;
}

// A document larger than the screen is kept at the screen's size and stretched once for the view's
// size; a paint then only copies it.
TEST_F(PictureViewsTest, ALargePhotoshopDocumentIsReducedOnceNotOnEveryPaint)
{
    MakeHost();
    const CraftedFile document(L"crafted-large.psd", HalvedGreyPsd(8000, 6000));
    Show(document.Path());
    auto* pView = DYNAMIC_DOWNCAST(CPSDViewView, m_pHost->m_pViews[kPreviewPsd]);
    ASSERT_NE(pView, nullptr);
    ASSERT_EQ(pView->m_nLoadResult, 0);
    EXPECT_EQ(pView->m_nWidth, 8000);
    EXPECT_EQ(pView->m_nHeight, 6000);
    const SIZE kept = pView->m_image.GetBitmapSize();
    EXPECT_LE(kept.cx, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_LE(kept.cy, ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_GT(kept.cx, 0);
    CRect rectClient;
    pView->GetClientRect(&rectClient);
    const int width = rectClient.Width(), height = rectClient.Height();
    const int scalingsBefore = pView->m_nScalings;
    for (int paint = 0; paint < 3; ++paint) {
        SCOPED_TRACE(paint);
        const std::vector<std::uint32_t> pixels =
            DrawIntoMemory(width, height, RGB(1, 2, 3), [&](CDC& dc) { pView->OnDraw(&dc); });
        EXPECT_EQ(pixels[static_cast<std::size_t>(height / 2) * width + 2], 0x000000u);
        EXPECT_EQ(pixels[static_cast<std::size_t>(height / 2) * width + width - 3], 0xFFFFFFu);
    }
    EXPECT_EQ(pView->m_sizeScaled, rectClient.Size());
    EXPECT_LE(pView->m_nScalings - scalingsBefore, 1);
    Screenshot(L"psd_preview_large");
}

} // namespace
