// The drawer object: its tables, settings, the two passes, and the links.
#include "html_drawer.h"

#include "data_file_module.h"

#include <shellapi.h>

#include <algorithm>

namespace {

struct TagEntry
{
    const wchar_t* name;
    int id;
    // The style name that a closing tag must match; empty tags have none.
    const wchar_t* styleName;
};

constexpr TagEntry kTags[] = {
    {L"b", HtmlTagBold, L"bold"},
    {L"i", HtmlTagItalic, L"italic"},
    {L"em", HtmlTagItalic, L"italic"},
    {L"u", HtmlTagUnderline, L"underline"},
    {L"s", HtmlTagStrikeOut, L"strikeout"},
    {L"strike", HtmlTagStrikeOut, L"strikeout"},
    {L"font", HtmlTagFont, L"font"},
    {L"hr", HtmlTagRule, L""},
    {L"br", HtmlTagBreak, L""},
    {L"t", HtmlTagTab, L""},
    {L"left", HtmlTagLeft, L"left"},
    {L"center", HtmlTagCentre, L"center"},
    {L"right", HtmlTagRight, L"right"},
    {L"justify", HtmlTagJustify, L"justify"},
    {L"baseline", HtmlTagBaseline, L"baseline"},
    {L"top", HtmlTagTop, L"top"},
    {L"vcenter", HtmlTagMiddle, L"vcenter"},
    {L"middle", HtmlTagMiddle, L"vcenter"},
    {L"bottom", HtmlTagBottom, L"bottom"},
    {L"bmp", HtmlTagBitmap, L""},
    {L"icon", HtmlTagIcon, L""},
    {L"ilst", HtmlTagImageList, L""},
    {L"string", HtmlTagString, L""},
    {L"body", HtmlTagNamedStyle, L"body"},
    {L"h1", HtmlTagNamedStyle, L"h1"},
    {L"h2", HtmlTagNamedStyle, L"h2"},
    {L"h3", HtmlTagNamedStyle, L"h3"},
    {L"h4", HtmlTagNamedStyle, L"h4"},
    {L"h5", HtmlTagNamedStyle, L"h5"},
    {L"h6", HtmlTagNamedStyle, L"h6"},
    {L"code", HtmlTagNamedStyle, L"code"},
    {L"pre", HtmlTagNamedStyle, L"pre"},
    {L"big", HtmlTagNamedStyle, L"big"},
    {L"small", HtmlTagNamedStyle, L"small"},
    {L"sub", HtmlTagNamedStyle, L"sub"},
    {L"sup", HtmlTagNamedStyle, L"sup"},
    {L"span", HtmlTagSpan, L"span"},
    {L"a", HtmlTagLink, L"link"},
};

// The help program's hand cursor, for systems without IDC_HAND.
constexpr int kHelpHandCursorId = 106;

// Registry values read while looking for the browser, in bytes.
constexpr DWORD kRegistryValueBytes = 260;

std::wstring ReadDefaultValue(HKEY root, const std::wstring& path, bool& found)
{
    found = false;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return {};
    }
    found = true;
    wchar_t buffer[kRegistryValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD size = kRegistryValueBytes;
    DWORD type = 0;
    std::wstring value;
    if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        value.assign(buffer, std::min<size_t>(size / sizeof(wchar_t), kRegistryValueBytes / sizeof(wchar_t)));
        const size_t end = value.find(L'\0');
        if (end != std::wstring::npos) {
            value.resize(end);
        }
    }
    RegCloseKey(key);
    return value;
}

} // namespace

CHtmlDrawer::CHtmlDrawer()
{
    for (const TagEntry& tag : kTags) {
        m_tags.emplace(tag.name, HtmlTagInfo{tag.id, tag.styleName});
    }
    LoadDefaultLinkCursor();
    SetShadow(4, 4, 50, 1, 7, 7);
    m_reader.SetEnabled(true);
    m_reader.SetDisabledColour(GetSysColor(COLOR_BTNSHADOW));
}

CHtmlDrawer::~CHtmlDrawer()
{
    ReleaseLinkCursor();
    if (m_font) {
        DeleteObject(m_font);
    }
}

void CHtmlDrawer::SetHoverNotify(HWND window, UINT message, LPARAM lParam)
{
    m_hoverWindow = window;
    m_hoverMessage = window ? message : 0;
    m_hoverLParam = window ? lParam : 0;
}

void CHtmlDrawer::SetLinkMessage(HWND window, UINT message, LPARAM lParam)
{
    m_linkWindow = window;
    m_linkMessage = window ? message : 0;
    m_linkLParam = window ? lParam : 0;
}

void CHtmlDrawer::SetEnabled(BOOL enabled)
{
    m_reader.SetEnabled(enabled != FALSE);
}

void CHtmlDrawer::SetDisabledColor(COLORREF colour)
{
    m_reader.SetDisabledColour(colour);
}

void CHtmlDrawer::SetShadow(int offsetX, int offsetY, int darkness, int kind, int blurWidth, int blurHeight)
{
    m_shadowOffsetX = offsetX;
    m_shadowOffsetY = offsetY;
    m_shadowDarkness = std::clamp(darkness, 0, 100);
    m_shadowKind = kind;
    m_shadowBlurWidth = blurWidth;
    m_shadowBlurHeight = blurHeight;
    const int grey = 255 * (100 - m_shadowDarkness) / 100;
    m_shadowColour = RGB(grey, grey, grey);
}

void CHtmlDrawer::SetStyle(const wchar_t* name, const wchar_t* declarations)
{
    if (name) {
        m_reader.SetStyle(name, declarations ? declarations : L"");
    }
}

void CHtmlDrawer::Measure(HDC dc, const wchar_t* text, SIZE* size)
{
    m_dc = dc;
    if (dc) {
        SetTextJustification(dc, 0, 0);
    }
    m_text = text ? text : L"";
    m_prepared = PrepareHtmlText(m_text, m_convertBreaks);
    SIZE result = {0, 0};
    m_tables.clear();
    m_lines.clear();
    m_linkAreas.clear();
    m_animatedImages.clear();
    if (!dc || m_prepared.empty()) {
        m_prepared.clear();
        if (size) {
            *size = result;
        }
        return;
    }
    m_pass = PassMeasuring;
    result = LayoutDocument({0, 0, m_maxWidth, 0});
    if (result.cx == 0 && result.cy == 0) {
        m_prepared.clear();
    }
    if (m_maxWidth != 0 && result.cx > m_maxWidth) {
        result.cx = m_maxWidth;
    }
    ++result.cx;
    ++result.cy;
    if (size) {
        *size = result;
    }
}

void CHtmlDrawer::Draw(HDC dc, const RECT& rect)
{
    if (!dc || m_prepared.empty()) {
        return;
    }
    // Every drawing records the link areas anew, so repeated paints do not pile them up.
    m_linkAreas.clear();
    m_pass = PassDrawing;
    m_dc = dc;
    LayoutDocument(rect);
}

bool CHtmlDrawer::FindLinkArea(POINT point, HtmlLinkArea& area) const
{
    for (const HtmlLinkArea& candidate : m_linkAreas) {
        if (point.x >= candidate.left && point.x <= candidate.right && point.y >= candidate.top &&
            point.y <= candidate.bottom) {
            area = candidate;
            return true;
        }
    }
    return false;
}

void CHtmlDrawer::NotifyHover(int index)
{
    if (m_hoverWindow && m_hoverMessage) {
        SendMessageW(m_hoverWindow, m_hoverMessage, static_cast<WPARAM>(static_cast<INT_PTR>(index)),
                     m_hoverLParam);
    }
}

BOOL CHtmlDrawer::OnMouseMove(POINT point)
{
    // A copy: the notification may repaint, and a drawing records the areas anew.
    HtmlLinkArea area;
    if (!FindLinkArea(point, area)) {
        if (m_hoveredLink != kNoLink) {
            m_hoveredLink = kNoLink;
            NotifyHover(kNoLink);
        }
        return FALSE;
    }
    if (m_hoveredLink != area.index) {
        m_hoveredLink = area.index;
        NotifyHover(area.index);
    }
    if (!area.target.empty() && m_linkCursor) {
        SetCursor(m_linkCursor);
        return TRUE;
    }
    return FALSE;
}

void CHtmlDrawer::OnClick(POINT point)
{
    HtmlLinkArea area;
    if (!FindLinkArea(point, area) || area.target.empty()) {
        return;
    }
    if (area.kind == HtmlStyle::LinkHref) {
        OpenHref(area.target);
    } else if (area.kind == HtmlStyle::LinkMessage && m_linkWindow && m_linkMessage) {
        SendMessageW(m_linkWindow, m_linkMessage, reinterpret_cast<WPARAM>(area.target.c_str()),
                     m_linkLParam);
    }
}

void CHtmlDrawer::OpenHref(const std::wstring& target)
{
    SetLinkCursor(nullptr);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) > 32) {
        return;
    }
    // No handler for the target itself: run the program that opens web pages with it.
    bool found = false;
    const std::wstring htmlClass = ReadDefaultValue(HKEY_CLASSES_ROOT, L".htm", found);
    if (!found) {
        return;
    }
    std::wstring command = ReadDefaultValue(HKEY_CLASSES_ROOT, htmlClass + L"\\shell\\open\\command", found);
    if (!found) {
        return;
    }
    size_t cut = command.find(L"\"%1\"");
    if (cut == std::wstring::npos) {
        cut = command.find(L"%1");
    }
    if (cut != std::wstring::npos) {
        command.resize(cut);
    }
    command += L" ";
    command += target;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, command.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return;
    }
    std::string ansi(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, command.c_str(), -1, ansi.data(), bytes, nullptr, nullptr);
    WinExec(ansi.c_str(), SW_SHOW);
}

void CHtmlDrawer::ReleaseLinkCursor()
{
    if (m_linkCursor && m_ownsLinkCursor) {
        DestroyCursor(m_linkCursor);
    }
    m_linkCursor = nullptr;
    m_ownsLinkCursor = false;
}

void CHtmlDrawer::LoadDefaultLinkCursor()
{
    m_linkCursor = LoadCursorW(nullptr, IDC_HAND);
    m_ownsLinkCursor = false;
    if (m_linkCursor) {
        return;
    }
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const DataFileModule help(std::wstring(folder) + L"\\winhlp32.exe");
    if (!help.get()) {
        return;
    }
    HCURSOR shared = LoadCursorW(help.get(), MAKEINTRESOURCEW(kHelpHandCursorId));
    if (shared) {
        // The module goes away at once, so the drawer keeps (and later destroys) a copy of its own.
        m_linkCursor = static_cast<HCURSOR>(CopyIcon(shared));
        m_ownsLinkCursor = m_linkCursor != nullptr;
    }
}

void CHtmlDrawer::SetLinkCursor(HCURSOR cursor)
{
    if (cursor && cursor == m_linkCursor) {
        return;
    }
    ReleaseLinkCursor();
    if (cursor) {
        m_linkCursor = cursor;
    } else {
        LoadDefaultLinkCursor();
    }
}
