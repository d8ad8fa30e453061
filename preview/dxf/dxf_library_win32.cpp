// "DXF.dll": the exported entry points over dxf::Document, and its painting with GDI.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "dxf_document.h"
#include "dxf_library_api.h"

#define DXF_EXPORT extern "C" __declspec(dllexport)

namespace {

// The live drawings: a handle that is not here is refused, so a stale or made-up one does no harm.
std::mutex g_lock;
std::set<dxf::Document*> g_drawings;

dxf::Document* Find(DxfDrawingHandle handle)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto* document = static_cast<dxf::Document*>(handle);
    return g_drawings.count(document) != 0 ? document : nullptr;
}

// DXF text as UTF-16: UTF-8 when it reads as such (files of 2007 and later), else the ANSI code page;
// the %% control codes for degree, plus-minus and diameter become their characters.
std::wstring WideText(const std::string& text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && text[i + 1] == '%') {
            const char code = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 2])));
            const char* replacement = code == 'd'   ? "\xC2\xB0"
                                      : code == 'p' ? "\xC2\xB1"
                                      : code == 'c' ? "\xE2\x8C\x80"
                                      : code == '%' ? "%"
                                                    : nullptr;
            if (replacement != nullptr) {
                plain += replacement;
                i += 2;
                continue;
            }
        }
        plain += text[i];
    }
    const int size = static_cast<int>(std::min<std::size_t>(plain.size(), 4096));
    if (size == 0)
        return std::wstring();
    UINT codePage = CP_UTF8;
    int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, plain.data(), size, nullptr, 0);
    if (length <= 0) {
        codePage = CP_ACP;
        length = ::MultiByteToWideChar(CP_ACP, 0, plain.data(), size, nullptr, 0);
    }
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, plain.data(), size,
                          &wide[0], length);
    return wide;
}

class GdiCanvas : public dxf::Canvas
{
public:
    GdiCanvas(HDC dc, const LOGFONTW& font) : m_dc(dc), m_font(font)
    {
        m_oldPen = ::SelectObject(m_dc, ::GetStockObject(BLACK_PEN));
        m_oldFont = ::GetCurrentObject(m_dc, OBJ_FONT);
        ::SetBkMode(m_dc, TRANSPARENT);
    }
    ~GdiCanvas() override
    {
        ::SelectObject(m_dc, m_oldPen);
        ::SelectObject(m_dc, m_oldFont);
        for (auto& entry : m_pens)
            ::DeleteObject(entry.second);
        for (auto& entry : m_fonts)
            ::DeleteObject(entry.second);
    }

    void Line(dxf::Rgb colour, int x0, int y0, int x1, int y1) override
    {
        UsePen(colour);
        if (!m_havePosition || m_x != x0 || m_y != y0)
            ::MoveToEx(m_dc, x0, y0, nullptr);
        ::LineTo(m_dc, x1, y1);
        // LineTo leaves out the last pixel.
        ::SetPixelV(m_dc, x1, y1, colour);
        m_havePosition = true;
        m_x = x1;
        m_y = y1;
    }

    void Dot(dxf::Rgb colour, int x, int y) override { ::SetPixelV(m_dc, x, y, colour); }

    void Text(dxf::Rgb colour, int x, int y, int height, double rotation, int align,
              const std::string& text) override
    {
        const std::wstring wide = WideText(text);
        if (wide.empty())
            return;
        bool isNew = false;
        const dxf::FontChoice::Font chosen = m_fontChoice.Choose(height, rotation, isNew);
        HFONT& font = m_fonts[chosen];
        if (isNew) {
            LOGFONTW logFont = m_font;
            logFont.lfHeight = -chosen.height;
            logFont.lfWidth = 0;
            logFont.lfEscapement = chosen.tenths;
            logFont.lfOrientation = chosen.tenths;
            font = ::CreateFontIndirectW(&logFont);
        }
        if (font == nullptr)
            return;
        ::SelectObject(m_dc, font);
        ::SetTextColor(m_dc, colour);
        const UINT horizontal = align == dxf::kAlignCentre  ? TA_CENTER
                                : align == dxf::kAlignRight ? TA_RIGHT
                                                            : TA_LEFT;
        ::SetTextAlign(m_dc, horizontal | TA_BASELINE | TA_NOUPDATECP);
        ::TextOutW(m_dc, x, y, wide.data(), static_cast<int>(wide.size()));
    }

private:
    // A drawing may hold lines of thousands of colours, while a process may own only so many GDI objects:
    // the canvas keeps a few pens, and starts again when full. Fonts are bounded per paint by the choice.
    static constexpr std::size_t kMaxCachedObjects = 64;

    void ForgetPens()
    {
        ::SelectObject(m_dc, ::GetStockObject(BLACK_PEN));
        for (auto& entry : m_pens)
            ::DeleteObject(entry.second);
        m_pens.clear();
        m_havePen = false;
    }

    void UsePen(dxf::Rgb colour)
    {
        if (m_havePen && m_penColour == colour)
            return;
        if (m_pens.size() >= kMaxCachedObjects && m_pens.count(colour) == 0)
            ForgetPens();
        HPEN& pen = m_pens[colour];
        if (pen == nullptr)
            pen = ::CreatePen(PS_SOLID, 1, colour);
        ::SelectObject(m_dc, pen != nullptr ? static_cast<HGDIOBJ>(pen) : ::GetStockObject(WHITE_PEN));
        m_havePen = true;
        m_penColour = colour;
        m_havePosition = false;
    }

    HDC m_dc;
    LOGFONTW m_font;
    HGDIOBJ m_oldPen;
    HGDIOBJ m_oldFont;
    std::map<dxf::Rgb, HPEN> m_pens;
    dxf::FontChoice m_fontChoice;
    std::map<dxf::FontChoice::Font, HFONT> m_fonts;
    bool m_havePen = false;
    dxf::Rgb m_penColour = 0;
    bool m_havePosition = false;
    int m_x = 0;
    int m_y = 0;
};

// Paints the view's window area into a bitmap first, so that the canvas never shows it half drawn.
int PaintDocument(const dxf::Document& document, HDC dc)
{
    const DxfViewProperties& view = document.View();
    const int width = view.right - view.left;
    const int height = view.bottom - view.top;
    if (width <= 0 || height <= 0)
        return 1;
    LOGFONTW font{};
    if (::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font) == 0)
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = memory != nullptr ? ::CreateCompatibleBitmap(dc, width, height) : nullptr;
    if (bitmap == nullptr) {
        if (memory != nullptr)
            ::DeleteDC(memory);
        return 0;
    }
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    ::SetViewportOrgEx(memory, -view.left, -view.top, nullptr);
    RECT rect{view.left, view.top, view.right, view.bottom};
    ::FillRect(memory, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    {
        GdiCanvas canvas(memory, font);
        document.Paint(canvas);
    }
    ::SetViewportOrgEx(memory, 0, 0, nullptr);
    ::BitBlt(dc, view.left, view.top, width, height, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    return 1;
}

template <typename Body> int Guarded(DxfDrawingHandle handle, Body body)
{
    try {
        dxf::Document* document = Find(handle);
        return document != nullptr ? body(*document) : 0;
    } catch (...) {
        return 0;
    }
}

} // namespace

DXF_EXPORT DxfDrawingHandle __cdecl drwCreate()
{
    try {
        auto document = std::make_unique<dxf::Document>();
        std::lock_guard<std::mutex> guard(g_lock);
        g_drawings.insert(document.get());
        return document.release();
    } catch (...) {
        return nullptr;
    }
}

DXF_EXPORT int __cdecl drwDestroy(DxfDrawingHandle handle)
{
    try {
        std::lock_guard<std::mutex> guard(g_lock);
        auto* document = static_cast<dxf::Document*>(handle);
        if (g_drawings.erase(document) == 0)
            return 0;
        delete document;
        return 1;
    } catch (...) {
        return 0;
    }
}

DXF_EXPORT int __cdecl drwLoadDataFromFile(DxfDrawingHandle handle, std::intptr_t /*block*/,
                                           std::intptr_t /*flags*/, const char* path, HWND progressWindow)
{
    return Guarded(handle, [&](dxf::Document& document) {
        dxf::ProgressFunction progress;
        if (progressWindow != nullptr && ::IsWindow(progressWindow))
            progress = [progressWindow](int percent) {
                ::PostMessageW(progressWindow, kDxfProgressMessage, static_cast<WPARAM>(percent), 0);
            };
        return document.LoadFile(path, progress) ? 1 : 0;
    });
}

DXF_EXPORT int __cdecl drwInitView(DxfDrawingHandle handle, int x, int y, int width, int height)
{
    return Guarded(handle, [&](dxf::Document& document) {
        document.InitView(x, y, width, height);
        return 1;
    });
}

DXF_EXPORT int __cdecl drwPaint(DxfDrawingHandle handle, HDC dc)
{
    if (dc == nullptr)
        return 0;
    return Guarded(handle, [&](dxf::Document& document) { return PaintDocument(document, dc); });
}

DXF_EXPORT int __cdecl drwGetViewProperties(DxfDrawingHandle handle, DxfViewProperties* view)
{
    if (view == nullptr)
        return 0;
    return Guarded(handle, [&](dxf::Document& document) {
        *view = document.View();
        return 1;
    });
}

DXF_EXPORT int __cdecl drwSetViewProperties(DxfDrawingHandle handle, const DxfViewProperties* view)
{
    if (view == nullptr)
        return 0;
    return Guarded(handle, [&](dxf::Document& document) { return document.SetView(*view) ? 1 : 0; });
}

DXF_EXPORT int __cdecl drwZoomExtents(DxfDrawingHandle handle)
{
    return Guarded(handle, [&](dxf::Document& document) {
        document.ZoomExtents();
        return 1;
    });
}

#define DXF_UNUSED_ENTRY(name)                                                                               \
    DXF_EXPORT std::intptr_t __cdecl name()                                                                  \
    {                                                                                                        \
        return 0;                                                                                            \
    }
DXF_UNUSED_ENTRY(drwAddTableType)
DXF_UNUSED_ENTRY(drwDeleteTableType)
DXF_UNUSED_ENTRY(drwFindTableType)
DXF_UNUSED_ENTRY(drwAddBlock)
DXF_UNUSED_ENTRY(drwDeleteBlock)
DXF_UNUSED_ENTRY(drwFindBlock)
DXF_UNUSED_ENTRY(drwAddEntity)
DXF_UNUSED_ENTRY(drwDeleteEntity)
DXF_UNUSED_ENTRY(drwChangeEntity)
DXF_UNUSED_ENTRY(drwFindEntity)
DXF_UNUSED_ENTRY(drwSaveDataToFile)
// A test build leaves this one out, to show that the preview refuses an incomplete library.
#ifndef DXF_LIBRARY_WITHOUT_DRAWING_BORDER
DXF_UNUSED_ENTRY(drwGetDrawingBorder)
#endif
