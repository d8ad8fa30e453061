// The expand-button pictures: the visual style's own shell pictures when a colour scheme is in use,
// else the program's two bitmaps recoloured into the caption text colours.
#include "task_panel.h"

#include <afxcmn.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The shell-style pictures are resources 100 to 107 of shellstyle.dll.
const int kFirstShellBitmap = 100;
const int kExpandImageSize = 19;
const COLORREF kMaskColor = RGB(0, 0xFF, 0);

struct Hsl
{
    double h, s, l;
};

Hsl ToHsl(COLORREF clr)
{
    const double r = GetRValue(clr) / 255.0, g = GetGValue(clr) / 255.0, b = GetBValue(clr) / 255.0;
    const double dMax = std::max({r, g, b}), dMin = std::min({r, g, b});
    Hsl hsl = {0, 0, (dMax + dMin) / 2};
    const double d = dMax - dMin;
    if (d <= 0)
        return hsl;
    hsl.s = hsl.l > 0.5 ? d / (2 - dMax - dMin) : d / (dMax + dMin);
    if (dMax == r)
        hsl.h = (g - b) / d + (g < b ? 6 : 0);
    else if (dMax == g)
        hsl.h = (b - r) / d + 2;
    else
        hsl.h = (r - g) / d + 4;
    hsl.h /= 6;
    return hsl;
}

double HueChannel(double p, double q, double t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (t < 1.0 / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

COLORREF FromHsl(const Hsl& hsl)
{
    auto channel = [](double v) {
        return static_cast<BYTE>(std::lround(std::min(1.0, std::max(0.0, v)) * 255));
    };
    if (hsl.s <= 0)
        return RGB(channel(hsl.l), channel(hsl.l), channel(hsl.l));
    const double q = hsl.l < 0.5 ? hsl.l * (1 + hsl.s) : hsl.l + hsl.s - hsl.l * hsl.s;
    const double p = 2 * hsl.l - q;
    return RGB(channel(HueChannel(p, q, hsl.h + 1.0 / 3)), channel(HueChannel(p, q, hsl.h)),
               channel(HueChannel(p, q, hsl.h - 1.0 / 3)));
}

using PFN_GETCURRENTTHEMENAME = HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);

CString VisualStyleFolder()
{
    WCHAR szFile[MAX_PATH] = L"";
    if (HMODULE hTheme = ::LoadLibraryW(L"uxtheme.dll")) {
        auto pfn = reinterpret_cast<PFN_GETCURRENTTHEMENAME>(
            reinterpret_cast<void (*)()>(::GetProcAddress(hTheme, "GetCurrentThemeName")));
        if (pfn == NULL || FAILED(pfn(szFile, MAX_PATH, NULL, 0, NULL, 0)))
            szFile[0] = L'\0';
        ::FreeLibrary(hTheme);
    }
    CString strFile(szFile);
    CString strLower(strFile);
    strLower.MakeLower();
    if (strLower.Find(L"luna.msstyles") != -1)
        return strFile.Left(strFile.ReverseFind(L'\\') + 1);
    WCHAR szWindows[MAX_PATH] = L"";
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    return CString(szWindows) + L"\\Resources\\Themes\\Luna\\";
}

// Multiplies every colour channel by the pixel's alpha, as AlphaBlend's per-pixel alpha expects.
void PremultiplyAlpha(HBITMAP hBitmap)
{
    DIBSECTION ds = {};
    if (::GetObjectW(hBitmap, sizeof(ds), &ds) != sizeof(ds) || ds.dsBm.bmBitsPixel != 32 ||
        ds.dsBm.bmBits == NULL)
        return;
    BYTE* pBits = static_cast<BYTE*>(ds.dsBm.bmBits);
    const size_t nPixels =
        static_cast<size_t>(ds.dsBm.bmWidth) * static_cast<size_t>(std::abs(ds.dsBm.bmHeight));
    for (size_t i = 0; i < nPixels; i++, pBits += 4) {
        const int nAlpha = pBits[3];
        for (int c = 0; c < 3; c++)
            pBits[c] = static_cast<BYTE>(pBits[c] * nAlpha / 255);
    }
}

} // namespace

COLORREF AFXAPI CXTPTaskPanelPaintManager::BlendColors255(COLORREF clrA, COLORREF clrB, int nWeight)
{
    auto blend = [nWeight](int a, int b) {
        return static_cast<BYTE>(std::min(255, std::max(0, (a * nWeight + b * (255 - nWeight)) / 255)));
    };
    return RGB(blend(GetRValue(clrA), GetRValue(clrB)), blend(GetGValue(clrA), GetGValue(clrB)),
               blend(GetBValue(clrA), GetBValue(clrB)));
}

HBITMAP AFXAPI CXTPTaskPanelPaintManager::RecolorExpandBitmap(HBITMAP hBitmap, COLORREF clrTarget)
{
    BITMAP bm = {};
    if (hBitmap == NULL || ::GetObjectW(hBitmap, sizeof(bm), &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight == 0)
        return NULL;
    const int nWidth = bm.bmWidth, nHeight = std::abs(bm.bmHeight);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = nWidth;
    bmi.bmiHeader.biHeight = -nHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight));
    HDC hDC = ::GetDC(NULL);
    const int nRead =
        ::GetDIBits(hDC, hBitmap, 0, static_cast<UINT>(nHeight), pixels.data(), &bmi, DIB_RGB_COLORS);
    if (nRead != nHeight) {
        ::ReleaseDC(NULL, hDC);
        return NULL;
    }
    auto toColor = [](DWORD px) { return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF); };
    auto toPixel = [](COLORREF clr) {
        return static_cast<DWORD>(GetRValue(clr)) << 16 | static_cast<DWORD>(GetGValue(clr)) << 8 |
               GetBValue(clr);
    };
    const DWORD nKey = pixels[0] & 0xFFFFFF;
    double dKeyLightness = ToHsl(toColor(nKey)).l;
    // A black key would divide by nothing; it counts as full lightness instead.
    if (dKeyLightness <= 0)
        dKeyLightness = 1;
    const Hsl target = ToHsl(clrTarget);
    for (DWORD& px : pixels) {
        if ((px & 0xFFFFFF) == nKey) {
            px = toPixel(kMaskColor);
            continue;
        }
        Hsl hsl = target;
        hsl.l = std::min(1.0, ToHsl(toColor(px)).l / dKeyLightness * target.l);
        px = toPixel(FromHsl(hsl));
    }
    bmi.bmiHeader.biBitCount = 24;
    void* pBits = NULL;
    HBITMAP hResult = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    if (hResult != NULL) {
        const int nStride = (nWidth * 3 + 3) / 4 * 4;
        BYTE* pRow = static_cast<BYTE*>(pBits);
        for (int y = 0; y < nHeight; y++, pRow += nStride) {
            for (int x = 0; x < nWidth; x++) {
                const DWORD px = pixels[static_cast<size_t>(y) * nWidth + x];
                pRow[x * 3] = static_cast<BYTE>(px & 0xFF);
                pRow[x * 3 + 1] = static_cast<BYTE>((px >> 8) & 0xFF);
                pRow[x * 3 + 2] = static_cast<BYTE>((px >> 16) & 0xFF);
            }
        }
    }
    ::ReleaseDC(NULL, hDC);
    return hResult;
}

void CXTPTaskPanelPaintManager::FreeShellStyle()
{
    for (HBITMAP& hBitmap : m_hShellStyle) {
        if (hBitmap != NULL)
            ::DeleteObject(hBitmap);
        hBitmap = NULL;
    }
    m_bShellStyleLoaded = FALSE;
}

void CXTPTaskPanelPaintManager::DestroyExpandImages()
{
    for (HICON& hIcon : m_hExpandImages) {
        if (hIcon != NULL)
            ::DestroyIcon(hIcon);
        hIcon = NULL;
    }
}

void CXTPTaskPanelPaintManager::CreateExpandImages()
{
    DestroyExpandImages();
    const UINT nIds[2] = {XTP_IDB_TASKPANEL_EXPAND_NORMAL, XTP_IDB_TASKPANEL_EXPAND_SPECIAL};
    const COLORREF clrTargets[2] = {m_groupNormal.clrHeadTextNormal, m_groupSpecial.clrHeadTextNormal};
    for (int i = 0; i < 2; i++) {
        HBITMAP hSource = static_cast<HBITMAP>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIds[i]),
                                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (hSource == NULL)
            continue;
        HBITMAP hRecolored = RecolorExpandBitmap(hSource, clrTargets[i]);
        ::DeleteObject(hSource);
        if (hRecolored == NULL)
            continue;
        HIMAGELIST hList =
            ::ImageList_Create(kExpandImageSize, kExpandImageSize, ILC_COLOR24 | ILC_MASK, 1, 1);
        if (hList != NULL) {
            if (::ImageList_AddMasked(hList, hRecolored, kMaskColor) != -1)
                m_hExpandImages[i] = ::ImageList_GetIcon(hList, 0, ILD_NORMAL);
            ::ImageList_Destroy(hList);
        }
        ::DeleteObject(hRecolored);
    }
}

BOOL CXTPTaskPanelPaintManager::LoadShellStyle()
{
    FreeShellStyle();
    const UINT nScheme = GetCurrentColorScheme();
    // The visual style's file only answers for the XP colour schemes; otherwise its pictures would
    // not match the colours around them.
    if (nScheme != xtSchemeNone) {
        const CString strColor = nScheme == xtSchemeOlive    ? L"Homestead"
                                 : nScheme == xtSchemeSilver ? L"Metallic"
                                                             : L"NormalColor";
        const CString strFile = VisualStyleFolder() + L"shell\\" + strColor + L"\\shellstyle.dll";
        HMODULE hModule = ::LoadLibraryExW(strFile, NULL, LOAD_LIBRARY_AS_DATAFILE);
        if (hModule != NULL) {
            BOOL bAll = TRUE;
            for (int i = 0; i < 8 && bAll; i++) {
                m_hShellStyle[i] =
                    static_cast<HBITMAP>(::LoadImageW(hModule, MAKEINTRESOURCEW(kFirstShellBitmap + i),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
                if (m_hShellStyle[i] == NULL)
                    bAll = FALSE;
                else
                    PremultiplyAlpha(m_hShellStyle[i]);
            }
            ::FreeLibrary(hModule);
            if (bAll)
                m_bShellStyleLoaded = TRUE;
            else
                FreeShellStyle();
        }
    }
    if (!m_bShellStyleLoaded)
        CreateExpandImages();
    return m_bShellStyleLoaded;
}
