// Bitmaps, icons, image-list items and resource strings named by the drawer's tags.
#include "html_drawer.h"

#include "data_file_module.h"
#include "html_markup_helpers.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

// Drawn images never exceed this on either side, whatever percentage the text asks for.
constexpr int kMaxImageSide = 2048;
constexpr int kMaxImagePercent = 1000;

// Resource ids are 16-bit; anything larger would be taken for a name pointer.
bool IsResourceId(int id)
{
    return id >= 1 && id <= 0xFFFF;
}

int ScaleSide(int size, int value, bool percent)
{
    const long long scaled = percent
                                 ? static_cast<long long>(size) * std::clamp(value, 0, kMaxImagePercent) / 100
                                 : std::clamp(value, 0, kMaxImageSide);
    return static_cast<int>(std::clamp<long long>(scaled, 0, kMaxImageSide));
}

// An image for one use: freed at the end of it unless the text supplied its handle.
class LoadedImage
{
public:
    LoadedImage() = default;
    LoadedImage(HANDLE handle, UINT type, bool owned) : m_handle(handle), m_type(type), m_owned(owned) {}
    ~LoadedImage()
    {
        if (m_handle && m_owned) {
            if (m_type == IMAGE_ICON) {
                DestroyIcon(static_cast<HICON>(m_handle));
            } else {
                DeleteObject(m_handle);
            }
        }
    }
    LoadedImage(const LoadedImage&) = delete;
    LoadedImage& operator=(const LoadedImage&) = delete;
    LoadedImage(LoadedImage&& other) noexcept
        : m_handle(std::exchange(other.m_handle, nullptr)), m_type(other.m_type), m_owned(other.m_owned)
    {}
    LoadedImage& operator=(LoadedImage&& other) noexcept
    {
        if (this != &other) {
            LoadedImage released(std::move(*this));
            m_handle = std::exchange(other.m_handle, nullptr);
            m_type = other.m_type;
            m_owned = other.m_owned;
        }
        return *this;
    }

    HBITMAP bitmap() const { return m_type == IMAGE_BITMAP ? static_cast<HBITMAP>(m_handle) : nullptr; }
    HICON icon() const { return m_type == IMAGE_ICON ? static_cast<HICON>(m_handle) : nullptr; }
    bool owned() const { return m_owned; }

private:
    HANDLE m_handle = nullptr;
    UINT m_type = IMAGE_BITMAP;
    bool m_owned = false;
};

} // namespace

HMODULE CHtmlDrawer::ProgramModule() const
{
    return GetModuleHandleW(nullptr);
}

HMODULE CHtmlDrawer::ResourceModule() const
{
    return m_resourceModule ? m_resourceModule : ProgramModule();
}

CHtmlDrawer::ImageDescriptor CHtmlDrawer::ReadImageDescriptor(std::wstring_view attributes) const
{
    ImageDescriptor image;
    auto number = [&](std::wstring_view value, int current) {
        return m_reader.ParseLength(value, current, false, m_dc);
    };
    auto states = [&](std::wstring_view value) {
        UINT flags = 0;
        for (const wchar_t letter : value) {
            switch (letter) {
            case L'g':
                flags |= CDrawEffects::StateGrey;
                break;
            case L'd':
                flags |= CDrawEffects::StateDarker;
                break;
            case L'l':
                flags |= CDrawEffects::StateLighter;
                break;
            case L's':
                if (m_shadowOffsetX != 0 || m_shadowOffsetY != 0) {
                    flags |= m_shadowKind == 2 ? CDrawEffects::StateBlurredShadow : CDrawEffects::StateShadow;
                }
                break;
            default:
                break;
            }
        }
        return flags;
    };
    for (const HtmlAttribute& attribute : ReadHtmlAttributes(attributes)) {
        const std::wstring_view name = attribute.name;
        const std::wstring_view value = attribute.value;
        if (name == L"index") {
            image.index = number(value, image.index);
        } else if (name == L"idres") {
            image.idres = number(value, image.idres);
        } else if (name == L"iddll") {
            image.iddll = number(value, image.iddll);
        } else if (name == L"handle") {
            image.handle = ParseHtmlHandle(value);
        } else if (name == L"cx") {
            image.cx = number(value, image.cx);
        } else if (name == L"cy") {
            image.cy = number(value, image.cy);
        } else if (name == L"speed") {
            image.speed = number(value, image.speed);
        } else if (name == L"width" || name == L"height") {
            const bool percent = !value.empty() && value.back() == L'%';
            const int parsed = percent ? m_reader.ParseLength(value, 100, false, m_dc) : number(value, 0);
            (name == L"width" ? image.width : image.height) = parsed;
            (name == L"width" ? image.widthPercent : image.heightPercent) = percent;
        } else if (name == L"file") {
            if (!value.empty()) {
                image.file.assign(value);
            }
        } else if (name == L"srcdll") {
            if (!value.empty()) {
                image.srcdll.assign(value);
            }
        } else if (name == L"mask") {
            image.mask = m_reader.ParseColour(value, image.mask);
            image.useMask = true;
        } else if (name == L"style") {
            image.style = image.hotStyle = states(value);
        } else if (name == L"hotstyle") {
            image.hotStyle = states(value);
        }
    }
    return image;
}

UINT CHtmlDrawer::ImageFlags(const ImageDescriptor& image) const
{
    const bool hovered = m_style.linkKind != HtmlStyle::LinkNone && m_style.linkIndex == m_hoveredLink;
    UINT flags = hovered ? image.hotStyle : image.style;
    if (!m_reader.IsEnabled()) {
        flags = (flags & ~0xFFu) | CDrawEffects::StateReplace;
    }
    return flags;
}

bool CHtmlDrawer::ImageWraps(int width)
{
    if (m_wrapRight != INT_MAX && static_cast<long long>(m_x) + width > m_wrapRight && m_x != m_rect.left) {
        EndLine(1, true);
        return true;
    }
    return false;
}

namespace {

// First source that the descriptor gives: the program's resources, a file, a resource module (the
// text's `srcdll` as data only, else the drawer's module), a handle that the text supplies.
template <typename Descriptor>
LoadedImage LoadTagImage(const Descriptor& image, UINT type, int width, int height, HMODULE program,
                         HMODULE resources)
{
    const UINT flags = type == IMAGE_BITMAP ? LR_CREATEDIBSECTION : 0;
    if (image.idres != 0) {
        if (!IsResourceId(image.idres)) {
            return {};
        }
        return {LoadImageW(program, MAKEINTRESOURCEW(image.idres), type, width, height, flags), type, true};
    }
    if (!image.file.empty()) {
        return {LoadImageW(nullptr, image.file.c_str(), type, width, height, flags | LR_LOADFROMFILE), type,
                true};
    }
    if (image.iddll != 0) {
        if (!IsResourceId(image.iddll)) {
            return {};
        }
        if (!image.srcdll.empty()) {
            const DataFileModule module(image.srcdll);
            if (!module.get()) {
                return {};
            }
            return {LoadImageW(module.get(), MAKEINTRESOURCEW(image.iddll), type, width, height, flags), type,
                    true};
        }
        return {LoadImageW(resources, MAKEINTRESOURCEW(image.iddll), type, width, height, flags), type, true};
    }
    if (image.handle != 0) {
        return {reinterpret_cast<HANDLE>(image.handle), type, false};
    }
    return {};
}

bool HasSource(int idres, int iddll, const std::wstring& file, std::uintptr_t handle)
{
    return idres != 0 || iddll != 0 || !file.empty() || handle != 0;
}

} // namespace

void CHtmlDrawer::PlaceImage(int tagId, std::wstring_view attributes)
{
    const ImageDescriptor image = ReadImageDescriptor(attributes);
    LoadedImage loaded;
    SIZE size = {0, 0};
    if (tagId == HtmlTagBitmap) {
        loaded = LoadTagImage(image, IMAGE_BITMAP, 0, 0, ProgramModule(), ResourceModule());
        const SIZE natural = CDrawEffects::GetBitmapSize(loaded.bitmap());
        size = {ScaleSide(natural.cx, image.width, image.widthPercent),
                ScaleSide(natural.cy, image.height, image.heightPercent)};
    } else {
        const int baseWidth = image.cx > 0 ? std::min(image.cx, kMaxImageSide) : GetSystemMetrics(SM_CXICON);
        const int baseHeight = image.cy > 0 ? std::min(image.cy, kMaxImageSide) : GetSystemMetrics(SM_CYICON);
        const int requestWidth = ScaleSide(baseWidth, image.width, image.widthPercent);
        const int requestHeight = ScaleSide(baseHeight, image.height, image.heightPercent);
        if (requestWidth > 0 && requestHeight > 0) {
            loaded = LoadTagImage(image, IMAGE_ICON, requestWidth, requestHeight, ProgramModule(),
                                  ResourceModule());
        }
        const SIZE natural = CDrawEffects::GetIconSize(loaded.icon());
        // An icon loaded here already has the scaled size; one supplied by handle is scaled now.
        size = loaded.owned() ? natural
                              : SIZE{ScaleSide(natural.cx, image.width, image.widthPercent),
                                     ScaleSide(natural.cy, image.height, image.heightPercent)};
    }
    if (size.cx <= 0 || size.cy <= 0) {
        return;
    }
    const UINT flags = ImageFlags(image);
    const bool shadow = (flags & (CDrawEffects::StateShadow | CDrawEffects::StateBlurredShadow)) != 0;
    const int boxWidth = size.cx + (shadow ? std::abs(m_shadowOffsetX) : 0);
    const int boxHeight = size.cy + (shadow ? std::abs(m_shadowOffsetY) : 0);
    ImageWraps(boxWidth);
    if (Measuring()) {
        m_lineAscent = std::max(m_lineAscent, boxHeight);
    } else {
        const int x = DrawX();
        const int top = ImageTop(boxHeight);
        RecordLinkArea(x, top, x + boxWidth, top + boxHeight);
        const COLORREF colour = m_reader.IsEnabled() ? m_shadowColour : m_reader.DisabledColour();
        if (tagId == HtmlTagBitmap) {
            m_effects.DrawBitmapEx(m_dc, x, top, size.cx, size.cy, loaded.bitmap(), image.useMask, image.mask,
                                   flags, shadow, m_shadowOffsetX, m_shadowOffsetY, m_shadowBlurWidth,
                                   m_shadowBlurHeight, colour);
        } else {
            m_effects.DrawIconEx(m_dc, x, top, size.cx, size.cy, loaded.icon(), flags, shadow,
                                 m_shadowOffsetX, m_shadowOffsetY, m_shadowBlurWidth, m_shadowBlurHeight,
                                 colour);
        }
    }
    m_x = static_cast<int>(std::min<long long>(static_cast<long long>(m_x) + boxWidth, INT_MAX / 2));
    m_lineHasContent = true;
}

void CHtmlDrawer::PlaceImageListItem(std::wstring_view attributes)
{
    const ImageDescriptor image = ReadImageDescriptor(attributes);
    const UINT flags = ImageFlags(image);
    const bool shadow = (flags & (CDrawEffects::StateShadow | CDrawEffects::StateBlurredShadow)) != 0;
    const COLORREF colour = m_reader.IsEnabled() ? m_shadowColour : m_reader.DisabledColour();
    SIZE size = {0, 0};
    LoadedImage strip;
    HICON listIcon = nullptr;
    int itemsPerRow = 0;
    if (HasSource(image.idres, image.iddll, image.file, image.handle)) {
        strip = LoadTagImage(image, IMAGE_BITMAP, 0, 0, ProgramModule(), ResourceModule());
        const SIZE stripSize = CDrawEffects::GetBitmapSize(strip.bitmap());
        if (image.cx <= 0 || image.cy <= 0 || image.cx > kMaxImageSide || image.cy > kMaxImageSide) {
            return;
        }
        itemsPerRow = stripSize.cx / image.cx;
        const long long items = static_cast<long long>(itemsPerRow) * (stripSize.cy / image.cy);
        if (image.index < 0 || image.index >= items) {
            return;
        }
        size = {ScaleSide(image.cx, image.width, image.widthPercent),
                ScaleSide(image.cy, image.height, image.heightPercent)};
    } else if (m_imageList) {
        if (image.index < 0 || image.index >= ImageList_GetImageCount(m_imageList)) {
            return;
        }
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(m_imageList, &width, &height);
        size = {ScaleSide(width, image.width, image.widthPercent),
                ScaleSide(height, image.height, image.heightPercent)};
        if (!Measuring()) {
            listIcon = ImageList_GetIcon(m_imageList, image.index, ILD_NORMAL);
        }
    }
    if (size.cx <= 0 || size.cy <= 0) {
        return;
    }
    const int boxWidth = size.cx + (shadow ? std::abs(m_shadowOffsetX) : 0);
    const int boxHeight = size.cy + (shadow ? std::abs(m_shadowOffsetY) : 0);
    ImageWraps(boxWidth);
    if (Measuring()) {
        m_lineAscent = std::max(m_lineAscent, boxHeight);
        if (image.speed != 0) {
            m_animatedImages.push_back({image.index, image.speed});
        }
    } else {
        const int x = DrawX();
        const int top = ImageTop(boxHeight);
        RecordLinkArea(x, top, x + boxWidth, top + boxHeight);
        if (strip.bitmap()) {
            m_effects.DrawImageListItem(m_dc, x, top, size.cx, size.cy, strip.bitmap(), image.index, image.cx,
                                        image.cy, itemsPerRow, image.useMask, image.mask, flags, shadow,
                                        m_shadowOffsetX, m_shadowOffsetY, m_shadowBlurWidth,
                                        m_shadowBlurHeight, colour);
        } else if (listIcon) {
            m_effects.DrawIconEx(m_dc, x, top, size.cx, size.cy, listIcon, flags, shadow, m_shadowOffsetX,
                                 m_shadowOffsetY, m_shadowBlurWidth, m_shadowBlurHeight, colour);
        }
    }
    if (listIcon) {
        DestroyIcon(listIcon);
    }
    m_x = static_cast<int>(std::min<long long>(static_cast<long long>(m_x) + boxWidth, INT_MAX / 2));
    m_lineHasContent = true;
}

void CHtmlDrawer::PlaceString(std::wstring_view attributes)
{
    const ImageDescriptor source = ReadImageDescriptor(attributes);
    const int id = source.idres != 0 ? source.idres : source.iddll;
    if (!IsResourceId(id)) {
        return;
    }
    std::wstring text;
    {
        const DataFileModule module(source.srcdll);
        HMODULE from = module.get();
        if (!source.srcdll.empty() && !from) {
            return;
        }
        if (!from) {
            from = source.idres != 0 ? ProgramModule() : ResourceModule();
        }
        const wchar_t* resource = nullptr;
        const int length = LoadStringW(from, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&resource), 0);
        if (length > 0 && resource) {
            text.assign(resource, static_cast<size_t>(length));
        }
    }
    if (!text.empty()) {
        LayoutRun(std::move(text));
    }
}
