// The image manager: icons from a masked strip, an alpha strip and a toolbar resource, drawn into a
// 32-bit DIB before and after the archive, registry and clipboard round trips; scaling, the derived
// images' pixel rules, and stored image data that lies.
#include "image_manager.h"

#include "color_table.h"
#include "common_controls_version.h"
#include "prop_exchange.h"

#include <afxole.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "fixtures/image_fixture_ids.h"
#include "settings_test.h"
#include "support/screenshot.h"
#include "toolkit_test_app.h"

namespace {

const UINT kCommands[] = {100, 101, 0, 102};
const UINT kDrawn[] = {100, 101, 102};
const COLORREF kBackground = RGB(250, 240, 230);

struct ManagerDeleter
{
    void operator()(CXTPImageManager* p) const { p->InternalRelease(); }
};
using ManagerPtr = std::unique_ptr<CXTPImageManager, ManagerDeleter>;

ManagerPtr NewManager()
{
    return ManagerPtr(new CXTPImageManager);
}

BITMAPINFOHEADER Header32(int nWidth, int nHeight)
{
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = nWidth;
    bih.biHeight = -nHeight;
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    bih.biCompression = BI_RGB;
    return bih;
}

// The strip the masked and the alpha sources share: 3 images of 16 x 16.
HBITMAP MakeStrip(bool bAlpha)
{
    const int nWidth = 48, nHeight = 16;
    BITMAPINFOHEADER bih = Header32(nWidth, nHeight);
    void* pBits = NULL;
    HBITMAP hBitmap =
        CreateDIBSection(NULL, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS, &pBits, NULL, 0);
    DWORD* px = static_cast<DWORD*>(pBits);
    for (int y = 0; y < nHeight; y++) {
        for (int x = 0; x < nWidth; x++) {
            const int i = x / 16, u = x % 16;
            const bool inside = u >= 2 + i && u < 14 - i && y >= 3 && y < 13;
            DWORD value;
            if (bAlpha)
                value = inside ? (DWORD(255 - 70 * i) << 24) | (DWORD(30 + 80 * i) << 16) |
                                     (DWORD(u * 12) << 8) | DWORD(y * 12)
                               : 0;
            else
                value = inside ? (DWORD(200 - 60 * i) << 16) | (DWORD(u * 15) << 8) | DWORD(40 * i)
                               : 0x00FF00FF; // magenta; no alpha, as a plain bitmap has none
            px[y * nWidth + x] = value;
        }
    }
    return hBitmap;
}

// The three sources of the round trips.
struct Source
{
    const char* name;
    std::function<BOOL(CXTPImageManager&)> add;
};

const Source kSources[] = {
    {"masked strip",
     [](CXTPImageManager& m) {
         HBITMAP h = MakeStrip(false);
         const BOOL b = m.AddIconsFromBitmapHandle(h, kCommands, 4, 16, 16);
         DeleteObject(h);
         return b;
     }},
    {"alpha strip",
     [](CXTPImageManager& m) {
         HBITMAP h = MakeStrip(true);
         const BOOL b = m.AddIconsFromBitmapHandle(h, kCommands, 4, 16, 16, xtpImageNormal, TRUE);
         DeleteObject(h);
         return b;
     }},
    {"toolbar resource",
     [](CXTPImageManager& m) {
         return m.AddIconsFromToolBar(GetModuleHandleW(NULL), IDR_STRIP_TOOLBAR, IDB_STRIP24);
     }},
    {"alpha bitmap resource",
     [](CXTPImageManager& m) {
         return m.AddIconsFromBitmap(GetModuleHandleW(NULL), IDB_STRIP32, kCommands, 4, 16, 16);
     }},
};

// Every command's normal, disabled and shadow images side by side, as pixels.
std::vector<COLORREF> Render(CXTPImageManager& manager, const UINT* pCommands, int nCount,
                             std::vector<std::uint32_t>* pPng = NULL)
{
    PixelSurface surface(16 * 3, 16 * nCount, kBackground);
    for (int i = 0; i < nCount; i++) {
        CXTPImageManagerIcon* pIcon = manager.GetImage(pCommands[i], 16);
        if (pIcon == NULL)
            continue;
        pIcon->Draw(surface.dc(), CPoint(0, 16 * i), pIcon->GetImage());
        pIcon->Draw(surface.dc(), CPoint(16, 16 * i), pIcon->GetDisabledImage());
        pIcon->Draw(surface.dc(), CPoint(32, 16 * i), pIcon->GetShadowImage());
    }
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16 * nCount; y++) {
        for (int x = 0; x < 48; x++) {
            pixels.push_back(surface.Pixel(x, y));
            if (pPng != NULL)
                pPng->push_back(TestSurface::ToPixel(surface.Pixel(x, y)));
        }
    }
    return pixels;
}

size_t CountBackground(const std::vector<COLORREF>& pixels)
{
    return std::count(pixels.begin(), pixels.end(), kBackground);
}

class ImageManagerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { OleInitialize(NULL); }
    static void TearDownTestSuite() { OleUninitialize(); }
};

TEST_F(ImageManagerTest, IconsSurviveArchiveRegistryAndClipboardRoundTrips)
{
    std::vector<std::uint32_t> png;
    CWnd owner;
    ASSERT_TRUE(
        owner.CreateEx(0, AfxRegisterWndClass(0), L"Clipboard owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    for (const Source& source : kSources) {
        SCOPED_TRACE(source.name);
        ManagerPtr manager = NewManager();
        ASSERT_TRUE(source.add(*manager));
        EXPECT_EQ(manager->GetImages().GetCount(), 3);
        EXPECT_EQ(manager->LookupIconSet(0), nullptr); // the separator took no image
        const std::vector<COLORREF> drawn = Render(*manager, kDrawn, 3, &png);
        // Something of every image is drawn, and the masked background is not.
        EXPECT_GT(drawn.size() - CountBackground(drawn), 3u * 3 * 40);
        EXPECT_GT(CountBackground(drawn), 3u * 3 * 40);

        // Archive.
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            manager->Serialize(ar);
            ar.Close();
        }
        file.SeekToBegin();
        ManagerPtr fromArchive = NewManager();
        {
            CArchive ar(&file, CArchive::load);
            fromArchive->Serialize(ar);
        }
        EXPECT_EQ(Render(*fromArchive, kDrawn, 3), drawn);

        // Registry.
        ScratchRegistry reg;
        {
            CXTPPropExchangeRegistry px(FALSE, reg.Key(), L"Images");
            manager->DoPropExchange(&px);
        }
        EXPECT_EQ(reg.Raw(L"Images", L"Count").Dword(), 3u);
        EXPECT_EQ(reg.Raw(L"Images\\IconSet0\\Icon0", L"Data").type, static_cast<DWORD>(REG_BINARY));
        ManagerPtr fromRegistry = NewManager();
        {
            CXTPPropExchangeRegistry px(TRUE, reg.Key(), L"Images");
            fromRegistry->DoPropExchange(&px);
        }
        EXPECT_EQ(Render(*fromRegistry, kDrawn, 3), drawn);

        // Clipboard: each paste takes the next custom id.
        ASSERT_TRUE(manager->CopyToClipboard(101, owner.GetSafeHwnd()));
        COleDataObject data;
        ASSERT_TRUE(data.AttachClipboard());
        EXPECT_EQ(manager->PasteFromClipboard(&data), 68267u);
        EXPECT_EQ(manager->PasteFromClipboard(&data), 68268u);
        const UINT pasted[] = {101, 68267, 68268};
        const std::vector<COLORREF> three = Render(*manager, pasted, 3);
        const size_t nRow = 16 * 48;
        EXPECT_TRUE(std::equal(three.begin(), three.begin() + nRow, three.begin() + nRow));
        EXPECT_TRUE(std::equal(three.begin(), three.begin() + nRow, three.begin() + 2 * nRow));
    }
    owner.DestroyWindow();
    EXPECT_TRUE(test_support::WritePng(test_support::ScreenshotPath(L"toolkit_image_manager"), png.data(), 48,
                                       static_cast<int>(png.size() / 48)));
}

TEST_F(ImageManagerTest, PasteWithoutTheFormatGivesNoId)
{
    ManagerPtr manager = NewManager();
    CWnd owner;
    ASSERT_TRUE(
        owner.CreateEx(0, AfxRegisterWndClass(0), L"Clipboard owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    ASSERT_TRUE(OpenClipboard(owner.GetSafeHwnd()));
    EmptyClipboard();
    CloseClipboard();
    COleDataObject data;
    data.AttachClipboard();
    EXPECT_EQ(manager->PasteFromClipboard(&data), 0u);
    EXPECT_EQ(manager->GetLastCustomID(), 0x10AAAu);
    owner.DestroyWindow();
}

TEST_F(ImageManagerTest, AForeignCheckSumIsABadClass)
{
    ScratchRegistry reg;
    const wchar_t other[] = L"SomethingElse";
    reg.SetRaw(L"Icons", L"CheckSum", REG_SZ, other, sizeof(other));
    ManagerPtr manager = NewManager();
    CXTPPropExchangeRegistry px(TRUE, reg.Key(), L"Icons");
    int cause = -1;
    try {
        manager->ExchangeIcons(5, &px);
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CArchiveException::badClass);
    EXPECT_EQ(manager->LookupIconSet(5), nullptr);
}

TEST_F(ImageManagerTest, LargerWidthsAreScaledAndKeptButAlphaImagesAreNot)
{
    ManagerPtr manager = NewManager();
    ASSERT_TRUE(kSources[0].add(*manager));
    CXTPImageManagerIcon* pScaled = manager->GetImage(100, 24);
    ASSERT_NE(pScaled, nullptr);
    EXPECT_EQ(pScaled->GetWidth(), 24);
    EXPECT_EQ(pScaled->GetHeight(), 24);
    EXPECT_EQ(pScaled->GetImage().GetExtent(), CSize(24, 24));
    EXPECT_EQ(manager->GetImage(100, 24), pScaled);
    EXPECT_EQ(manager->LookupIconSet(100)->GetIcons()->GetCount(), 2);

    ManagerPtr alpha = NewManager();
    ASSERT_TRUE(kSources[1].add(*alpha));
    CXTPImageManagerIcon* pAlpha = alpha->GetImage(100, 24);
    ASSERT_NE(pAlpha, nullptr);
    EXPECT_EQ(pAlpha->GetWidth(), 16);
    EXPECT_EQ(alpha->LookupIconSet(100)->GetIcons()->GetCount(), 1);
    EXPECT_EQ(manager->GetImage(999, 16), nullptr);

    // The state drawing of the system gives an icon's own pixels in its normal state.
    CXTPImageManagerIcon* pIcon = manager->GetImage(101, 16);
    PixelSurface surface(32, 16, kBackground);
    pIcon->Draw(surface.dc(), CPoint(0, 0));
    EXPECT_TRUE(CXTPImageManager::DrawIconState(surface.dc(), pIcon->GetImage().GetIcon(), CPoint(16, 0),
                                                CSize(16, 16), DSS_NORMAL));
    int nDiffering = 0;
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++)
            nDiffering += surface.Pixel(x, y) != surface.Pixel(16 + x, y) ? 1 : 0;
    }
    EXPECT_EQ(nDiffering, 0);
}

// The derived images of a 2 x 2 image of four colours, as an icon and as an alpha image.
TEST_F(ImageManagerTest, ShadowAndDisabledPixelsFollowTheirFormulas)
{
    const COLORREF colours[4] = {RGB(200, 10, 10), RGB(10, 180, 30), RGB(20, 40, 220), RGB(255, 255, 255)};
    const COLORREF c31 = GetColorTable()->GetColor(31);
    const COLORREF shadow =
        RGB(int(GetRValue(c31) * 0.75), int(GetGValue(c31) * 0.75), int(GetBValue(c31) * 0.75));
    auto grey = [](COLORREF c) {
        const double t = (0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c)) / 255;
        const int g = int(255 * std::sqrt(t));
        return RGB(g, g, g);
    };
    const COLORREF a = RGB(240, 220, 200), b = RGB(20, 40, 60);
    auto mixed = [a, b](COLORREF c) {
        const double t = (0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c)) / 255;
        auto mix = [t](int va, int vb) { return int(vb * (1 - t) + va * t); };
        return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
                   mix(GetBValue(a), GetBValue(b)));
    };
    for (bool bAlpha : {false, true}) {
        SCOPED_TRACE(bAlpha ? "alpha" : "icon");
        BITMAPINFOHEADER bih = Header32(2, 2);
        void* pBits = NULL;
        HBITMAP hBitmap =
            CreateDIBSection(NULL, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS, &pBits, NULL, 0);
        for (int i = 0; i < 4; i++)
            static_cast<DWORD*>(pBits)[i] = 0xFF000000 | (GetRValue(colours[i]) << 16) |
                                            (GetGValue(colours[i]) << 8) | GetBValue(colours[i]);
        ManagerPtr manager = NewManager();
        manager->SetMaskColor(RGB(1, 2, 3));
        const UINT id = 7;
        ASSERT_TRUE(manager->AddIconsFromBitmapHandle(hBitmap, &id, 1, 2, 2, xtpImageNormal, bAlpha));
        DeleteObject(hBitmap);
        CXTPImageManagerIcon* pIcon = manager->GetImage(7, 2);
        ASSERT_NE(pIcon, nullptr);
        EXPECT_EQ(pIcon->IsAlpha(), bAlpha ? TRUE : FALSE);

        PixelSurface surface(8, 2, kBackground);
        pIcon->Draw(surface.dc(), CPoint(0, 0), pIcon->GetImage());
        pIcon->Draw(surface.dc(), CPoint(2, 0), pIcon->GetShadowImage());
        pIcon->Draw(surface.dc(), CPoint(4, 0), pIcon->GetDisabledImage());
        CXTPImageManagerIcon twoColours(7, 2, 2);
        twoColours.SetImage(pIcon->GetImage());
        twoColours.CreateDisabledImage(a, b);
        twoColours.Draw(surface.dc(), CPoint(6, 0), twoColours.GetDisabledImage());
        for (int i = 0; i < 4; i++) {
            const int x = i % 2, y = i / 2;
            EXPECT_EQ(surface.Pixel(x, y), colours[i]) << i;
            EXPECT_EQ(surface.Pixel(2 + x, y), shadow) << i;
            EXPECT_EQ(surface.Pixel(4 + x, y), grey(colours[i])) << i;
            EXPECT_EQ(surface.Pixel(6 + x, y), mixed(colours[i])) << i;
        }
        // A built disabled image stays until the image changes.
        CXTPImageHandle* pDisabled = &pIcon->GetDisabledImage();
        const HANDLE hBefore =
            pDisabled->IsAlpha() ? HANDLE(pDisabled->GetBitmap()) : HANDLE(pDisabled->GetIcon());
        pIcon->CreateDisabledImage(a, b);
        EXPECT_EQ(pDisabled->IsAlpha() ? HANDLE(pDisabled->GetBitmap()) : HANDLE(pDisabled->GetIcon()),
                  hBefore);
    }
}

// A stored icon built field by field, so each field can lie.
struct StoredBitmap
{
    DWORD nInfoCount = 40;
    LONG biSize = 40;
    LONG width = 16;
    LONG height = 16;
    WORD bitCount = 32;
    DWORD compression = BI_RGB;
    DWORD nPixelCount = 16 * 16 * 4;
    DWORD nPixelBytesPresent = 16 * 16 * 4;
};

std::vector<BYTE> StoredIcons(const StoredBitmap& bm)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << CString(L"CXTPImageManagerIcons");
        ar.WriteCount(1);             // one icon
        ar << LONG(16);               // its width
        ar << DWORD(16) << DWORD(16); // height, schema
        ar.WriteCount(bm.nInfoCount);
        BITMAPINFOHEADER bih = {};
        bih.biSize = bm.biSize;
        bih.biWidth = bm.width;
        bih.biHeight = bm.height;
        bih.biPlanes = 1;
        bih.biBitCount = bm.bitCount;
        bih.biCompression = bm.compression;
        std::vector<BYTE> info(bm.nInfoCount < 4096 ? bm.nInfoCount : 40, 0);
        memcpy(info.data(), &bih, std::min<size_t>(info.size(), sizeof(bih)));
        ar.Write(info.data(), static_cast<UINT>(info.size()));
        ar.WriteCount(bm.nPixelCount);
        std::vector<BYTE> pixels(bm.nPixelBytesPresent, 0x80);
        ar.Write(pixels.data(), static_cast<UINT>(pixels.size()));
        for (int i = 0; i < 7; i++)
            ar.WriteCount(0); // mask and the other three images empty
        ar.Close();
    }
    std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

// Loads icons for id 9 from the bytes: true when they were taken, false when refused by an
// archive exception; no half-built set in that case.
bool LoadIcons(CXTPImageManager& manager, std::vector<BYTE> bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    try {
        manager.ExchangeIcons(9, &px);
    } catch (CArchiveException* e) {
        e->Delete();
        EXPECT_EQ(manager.LookupIconSet(9), nullptr);
        return false;
    }
    return true;
}

TEST_F(ImageManagerTest, TruncatedAndInflatedStoredImagesAreRefused)
{
    {
        ManagerPtr manager = NewManager();
        ASSERT_TRUE(LoadIcons(*manager, StoredIcons(StoredBitmap())));
        EXPECT_TRUE(manager->GetImage(9, 16)->IsAlpha());
    }
    struct
    {
        const char* name;
        std::function<void(StoredBitmap&)> lie;
    } const cases[] = {
        {"header count below 40", [](StoredBitmap& b) { b.nInfoCount = 39; }},
        {"header count past the data", [](StoredBitmap& b) { b.nInfoCount = 0x7FFFFFF0; }},
        {"header size 12", [](StoredBitmap& b) { b.biSize = 12; }},
        {"zero width", [](StoredBitmap& b) { b.width = 0; }},
        {"width 257", [](StoredBitmap& b) { b.width = 257; }},
        {"negative height", [](StoredBitmap& b) { b.height = -16; }},
        {"height 100000", [](StoredBitmap& b) { b.height = 100000; }},
        {"bit count 7", [](StoredBitmap& b) { b.bitCount = 7; }},
        {"bit count 0", [](StoredBitmap& b) { b.bitCount = 0; }},
        {"compressed", [](StoredBitmap& b) { b.compression = BI_RLE8; }},
        {"8 bits without a colour table", [](StoredBitmap& b) { b.bitCount = 8; }},
        {"fewer pixel bytes than rows", [](StoredBitmap& b) { b.nPixelCount = b.nPixelBytesPresent = 100; }},
        {"pixel count past the data", [](StoredBitmap& b) { b.nPixelCount = 0x40000000; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StoredBitmap bm;
        c.lie(bm);
        ManagerPtr manager = NewManager();
        EXPECT_FALSE(LoadIcons(*manager, StoredIcons(bm)));
    }

    // Every cut of a real stored set.
    ManagerPtr source = NewManager();
    ASSERT_TRUE(kSources[0].add(*source));
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CXTPPropExchangeArchive px(ar);
        source->ExchangeIcons(100, &px);
        ar.Close();
    }
    std::vector<BYTE> whole(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(whole.data(), static_cast<UINT>(whole.size()));
    for (size_t nCut = 0; nCut < whole.size(); nCut += 1 + whole.size() / 97) {
        ManagerPtr manager = NewManager();
        EXPECT_FALSE(LoadIcons(*manager, std::vector<BYTE>(whole.begin(), whole.begin() + nCut))) << nCut;
    }
    ManagerPtr manager = NewManager();
    EXPECT_TRUE(LoadIcons(*manager, whole));
}

TEST_F(ImageManagerTest, IconResourcesAndTheCommonControlsVersion)
{
    CXTPImageHandle icon;
    ASSERT_TRUE(XTPImageManager()->IsAlphaSupported());
    EXPECT_TRUE(icon.LoadIcon(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDI_ALPHA32), 16, 16, FALSE));
    EXPECT_TRUE(icon.IsAlpha());
    EXPECT_EQ(icon.GetExtent(), CSize(16, 16));
    // The header claims 16 x 16 x 4 pixel bytes the resource does not hold.
    CXTPImageHandle shortIcon;
    EXPECT_FALSE(shortIcon.LoadIcon(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDI_SHORT32), 16, 16, FALSE));
    EXPECT_TRUE(shortIcon.IsEmpty());

    // Wine's common controls say 5.81: the 24-bit masked lists are the path there.
    EXPECT_FALSE(CXTPImageManager::IsAlphaImageListSupported());
    XTSetComCtlVersionOverride(0x00060000);
    EXPECT_TRUE(CXTPImageManager::IsAlphaImageListSupported());
    XTSetComCtlVersionOverride(0);

    CArray<UINT, UINT> commands;
    CSize size;
    ASSERT_TRUE(ReadToolBarResource(GetModuleHandleW(NULL), IDR_STRIP_TOOLBAR, commands, size));
    EXPECT_EQ(commands.GetSize(), 3);
    EXPECT_EQ(commands[2], 102u);
    EXPECT_EQ(size, CSize(16, 16));
    EXPECT_FALSE(ReadToolBarResource(GetModuleHandleW(NULL), 4242, commands, size));
}

} // namespace
