// Layout of the drawer's text into lines: pieces and tables, runs and their wrapping, breaks, tab stops,
// rules, the style tags and the device context's font. Both passes run this code; only the lines marked
// for one pass differ, and they never change a decision.
#include "html_drawer.h"

#include <algorithm>
#include <climits>

namespace {

// Tables nested deeper than this are left out (a crafted text must not exhaust the stack).
constexpr int kMaxTableDepth = 32;

// Repeat counts of `br` and `t`.
constexpr int kMaxRepeat = 1000;

// Positions saturate here: GDI cannot address further anyway.
constexpr long long kMaxCoordinate = 1LL << 26;

// Percent widths of rules.
constexpr int kMaxRulePercent = 1000;

// Characters measured beyond the room left on a line when deciding where a long run wraps.
constexpr long long kWrapProbeSlack = 256;

// The characters at which a run may wrap; each stays with the part before it.
constexpr wchar_t kWrapCharacters[] = L" -.,!:;)}]?";

int Saturate(long long value)
{
    return static_cast<int>(std::clamp(value, -kMaxCoordinate, kMaxCoordinate));
}

int CountSpaces(std::wstring_view text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), L' '));
}

std::wstring_view TrimTrailingSpaces(std::wstring_view text)
{
    while (!text.empty() && text.back() == L' ') {
        text.remove_suffix(1);
    }
    return text;
}

void ApplyTextTransform(std::wstring& text, int transform)
{
    switch (transform) {
    case HtmlStyle::TransformUpper:
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
        break;
    case HtmlStyle::TransformLower:
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
        break;
    case HtmlStyle::TransformCapitalise:
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
        for (size_t i = 0; i < text.size(); ++i) {
            if ((i == 0 || text[i - 1] == L' ') && text[i] >= L'a' && text[i] <= L'z') {
                text[i] = static_cast<wchar_t>(text[i] - L'a' + L'A');
            }
        }
        break;
    default:
        break;
    }
}

SIZE TextExtent(HDC dc, std::wstring_view text)
{
    SIZE extent = {0, 0};
    if (!text.empty()) {
        GetTextExtentPoint32W(dc, text.data(), static_cast<int>(std::min<size_t>(text.size(), INT_MAX)),
                              &extent);
    }
    return extent;
}

// How many leading characters fit in `room`.
int FitCount(HDC dc, std::wstring_view text, int room)
{
    if (room <= 0 || text.empty()) {
        return 0;
    }
    int fit = 0;
    SIZE extent = {};
    if (!GetTextExtentExPointW(dc, text.data(), static_cast<int>(std::min<size_t>(text.size(), INT_MAX)),
                               room, &fit, nullptr, &extent)) {
        return 0;
    }
    return fit;
}

} // namespace

SIZE CHtmlDrawer::LayoutDocument(const RECT& rect)
{
    m_savedFont = GetCurrentObject(m_dc, OBJ_FONT);
    m_savedTextColour = GetTextColor(m_dc);
    m_savedBackColour = GetBkColor(m_dc);
    m_savedBackMode = GetBkMode(m_dc);

    m_style.ResetForLayout();
    m_stack.Clear();
    m_reader.ApplyStyle(m_style, L"body", m_dc);
    SelectStyle();
    m_linkCounter = -1;
    m_lineIndex = 0;
    m_tableCounter = 0;

    const SIZE size = LayoutBlock(m_prepared, rect, 0, m_maxWidth);

    SetTextJustification(m_dc, 0, 0);
    if (m_savedFont) {
        SelectObject(m_dc, m_savedFont);
    }
    if (m_font) {
        DeleteObject(m_font);
        m_font = nullptr;
    }
    SetTextColor(m_dc, m_savedTextColour);
    SetBkColor(m_dc, m_savedBackColour);
    SetBkMode(m_dc, m_savedBackMode);
    return size;
}

SIZE CHtmlDrawer::LayoutBlock(std::wstring_view text, const RECT& rect, int depth, int wrapWidth)
{
    SIZE size = {0, 0};
    int y = rect.top;
    size_t position = 0;
    while (position < text.size()) {
        const size_t tableStart = FindHtmlTableStart(text, position);
        const size_t pieceEnd = tableStart == std::wstring_view::npos ? text.size() : tableStart;
        if (pieceEnd > position) {
            const SIZE piece = LayoutPiece(text.substr(position, pieceEnd - position),
                                           {rect.left, y, rect.right, rect.bottom}, wrapWidth);
            size.cx = std::max(size.cx, piece.cx);
            size.cy = Saturate(static_cast<long long>(size.cy) + piece.cy);
            y = Saturate(static_cast<long long>(y) + piece.cy);
        }
        if (tableStart == std::wstring_view::npos) {
            break;
        }
        const size_t tableEnd = FindHtmlTableEnd(text, tableStart);
        if (depth < kMaxTableDepth) {
            const SIZE table = LayoutTable(text.substr(tableStart, tableEnd - tableStart),
                                           {rect.left, y, rect.right, rect.bottom}, depth, wrapWidth);
            size.cx = std::max(size.cx, table.cx);
            size.cy = Saturate(static_cast<long long>(size.cy) + table.cy);
            y = Saturate(static_cast<long long>(y) + table.cy);
        }
        position = tableEnd;
    }
    return size;
}

SIZE CHtmlDrawer::LayoutPiece(std::wstring_view piece, const RECT& rect, int wrapWidth)
{
    m_rect = rect;
    m_wrapRight = wrapWidth > 0 ? Saturate(static_cast<long long>(rect.left) + wrapWidth) : INT_MAX;
    m_y = rect.top;
    m_pieceWidth = 0;
    StartLine();

    std::wstring wrapped;
    wrapped.reserve(piece.size() + 13);
    wrapped.append(L"<body>").append(piece).append(L"</body>");
    HtmlMarkupScanner scanner(wrapped);
    HtmlToken token;
    while (scanner.Next(token)) {
        if (token.kind == HtmlToken::Text) {
            LayoutRun(std::move(token.text));
        } else {
            HandleTag(token);
        }
    }
    if (m_lineHasContent) {
        EndLine(1, false);
    }
    return {m_pieceWidth, Saturate(static_cast<long long>(m_y) - rect.top)};
}

void CHtmlDrawer::StartLine()
{
    m_x = m_rect.left;
    m_lineTop = m_y;
    m_lineAscent = 0;
    m_lineHasContent = false;
    m_lineOffset = 0;
    m_justifyWidth = 0;
    m_justifiedSpaces = 0;
    if (Measuring()) {
        m_line = HtmlLineRecord();
        m_line.alignment = m_style.horizontalAlign;
        return;
    }
    if (m_lineIndex >= 0 && static_cast<size_t>(m_lineIndex) < m_lines.size()) {
        m_line = m_lines[m_lineIndex];
    } else {
        // The drawing went further than the measuring: an empty line of the font's height.
        m_line = HtmlLineRecord();
        m_line.height = m_metrics.tmHeight;
    }
    const long long available = static_cast<long long>(m_rect.right) - m_rect.left;
    const long long width = m_line.width + available * m_line.percent / 100;
    long long offset = 0;
    if (m_line.alignment == HtmlStyle::AlignCentre) {
        offset = (available - width) / 2;
    } else if (m_line.alignment == HtmlStyle::AlignRight) {
        offset = available - width;
    }
    m_lineOffset = Saturate(offset);
    if (m_line.alignment == HtmlStyle::AlignJustify && m_line.wrapped && m_line.spaces > 0 &&
        available > width) {
        m_justifyWidth = Saturate(available - width);
    }
}

void CHtmlDrawer::EndLine(int count, bool wrapped)
{
    int height = m_line.height;
    if (Measuring()) {
        height = std::max(m_line.height, m_lineAscent + m_line.descent);
        if (height <= 0) {
            height = m_metrics.tmHeight;
        }
        m_line.height = height;
        m_line.width = Saturate(static_cast<long long>(m_x) - m_rect.left);
        m_line.wrapped = wrapped ? 1 : 0;
        m_pieceWidth = std::max(m_pieceWidth, m_line.width);
        m_lines.push_back(m_line);
    } else {
        m_pieceWidth = std::max(m_pieceWidth, Saturate(static_cast<long long>(m_x) - m_rect.left));
    }
    m_y = Saturate(static_cast<long long>(m_y) + static_cast<long long>(height) * std::max(1, count));
    ++m_lineIndex;
    StartLine();
}

int CHtmlDrawer::DrawX() const
{
    return Saturate(static_cast<long long>(m_x) + m_lineOffset);
}

int CHtmlDrawer::TextTop(int textHeight) const
{
    switch (m_style.verticalAlign) {
    case HtmlStyle::AlignTop:
        return m_lineTop;
    case HtmlStyle::AlignMiddle:
        return m_lineTop + (m_line.height - textHeight) / 2;
    case HtmlStyle::AlignBottom:
        return m_lineTop + m_line.height - m_metrics.tmAscent;
    default:
        return m_lineTop + m_line.height - m_metrics.tmAscent - m_line.descent;
    }
}

int CHtmlDrawer::ImageTop(int imageHeight) const
{
    switch (m_style.verticalAlign) {
    case HtmlStyle::AlignTop:
        return m_lineTop;
    case HtmlStyle::AlignMiddle:
        return m_lineTop + (m_line.height - imageHeight) / 2;
    case HtmlStyle::AlignBottom:
        return m_lineTop + m_line.height - imageHeight;
    default:
        return m_lineTop + m_line.height - m_line.descent - imageHeight;
    }
}

void CHtmlDrawer::RecordLinkArea(int left, int top, int right, int bottom)
{
    if (!Measuring() && m_style.linkKind != HtmlStyle::LinkNone) {
        m_linkAreas.push_back(
            {left, top, right, bottom, m_style.linkKind, m_style.linkIndex, m_style.linkTarget});
    }
}

void CHtmlDrawer::LayoutRun(std::wstring text)
{
    ApplyTextTransform(text, m_style.textTransform);
    const bool wrapping = m_wrapRight != INT_MAX;
    size_t position = 0;
    while (position < text.size()) {
        const std::wstring_view rest(text.data() + position, text.size() - position);
        SetTextJustification(m_dc, 0, 0);
        // While wrapping, a long run is measured only as far as can fit on the line and a little more, so
        // that cutting it into many lines does not measure the whole rest again for every one of them.
        std::wstring_view measured = rest;
        if (wrapping) {
            const long long room = std::max<long long>(0, static_cast<long long>(m_wrapRight) - m_x);
            const size_t probe =
                static_cast<size_t>(std::min<long long>(room + kWrapProbeSlack, rest.size()));
            if (probe < rest.size() && TextExtent(m_dc, rest.substr(0, probe)).cx > room) {
                measured = rest.substr(0, probe);
            }
        }
        const SIZE extent = TextExtent(m_dc, measured);
        std::wstring_view part = rest;
        size_t next = text.size();
        bool cut = false;
        if (wrapping && static_cast<long long>(m_x) + extent.cx > m_wrapRight) {
            const int fit = FitCount(m_dc, measured, m_wrapRight - m_x);
            size_t breakEnd = 0;
            for (size_t i = static_cast<size_t>(std::max(fit, 0)); i > 0; --i) {
                if (std::wstring_view(kWrapCharacters).find(rest[i - 1]) != std::wstring_view::npos) {
                    breakEnd = i;
                    break;
                }
            }
            if (breakEnd > 0) {
                part = TrimTrailingSpaces(rest.substr(0, breakEnd));
                next = position + breakEnd;
                cut = true;
            } else if (m_x == m_rect.left) {
                const size_t length = static_cast<size_t>(std::max(fit, 1));
                part = rest.substr(0, length);
                next = position + length;
                cut = true;
            } else {
                EndLine(1, true);
                continue;
            }
            while (next < text.size() && text[next] == L' ') {
                ++next;
            }
        }
        const SIZE partExtent = cut ? TextExtent(m_dc, part) : extent;
        if (Measuring()) {
            m_line.alignment = m_style.horizontalAlign;
            m_line.spaces += CountSpaces(part);
            m_line.descent = std::max(m_line.descent, static_cast<int>(partExtent.cy - m_metrics.tmAscent));
            m_lineAscent = std::max(m_lineAscent, static_cast<int>(m_metrics.tmAscent));
        } else {
            // Trailing spaces of a run are not drawn (no underline or background under them), but they
            // keep their place, as the measuring counted them.
            const std::wstring_view drawn = cut ? part : TrimTrailingSpaces(part);
            const int top = TextTop(partExtent.cy);
            int extra = 0;
            const int drawnSpaces = CountSpaces(drawn);
            if (m_justifyWidth > 0 && drawnSpaces > 0 && m_line.spaces > 0) {
                const long long before =
                    static_cast<long long>(m_justifyWidth) * m_justifiedSpaces / m_line.spaces;
                m_justifiedSpaces = std::min(m_line.spaces, m_justifiedSpaces + drawnSpaces);
                const long long after =
                    static_cast<long long>(m_justifyWidth) * m_justifiedSpaces / m_line.spaces;
                extra = static_cast<int>(after - before);
                SetTextJustification(m_dc, extra, drawnSpaces);
            }
            const int x = DrawX();
            const int drawnWidth =
                (drawn.size() == part.size() ? partExtent.cx : TextExtent(m_dc, drawn).cx) + extra;
            RecordLinkArea(x, top, x + drawnWidth, top + partExtent.cy);
            if (!drawn.empty()) {
                TextOutW(m_dc, x, top, drawn.data(), static_cast<int>(drawn.size()));
            }
            if (m_style.overline && drawnWidth > 0) {
                const int thickness = m_style.weight > 699 ? 2 : 1;
                m_effects.DrawLine(m_dc, x, top + thickness / 2, x + drawnWidth, top + thickness / 2,
                                   GetTextColor(m_dc), PS_SOLID, thickness);
            }
            SetTextJustification(m_dc, 0, 0);
            m_lineOffset = Saturate(static_cast<long long>(m_lineOffset) + extra);
        }
        m_x = Saturate(static_cast<long long>(m_x) + partExtent.cx);
        m_lineHasContent = true;
        position = next;
        if (position < text.size()) {
            EndLine(1, true);
        }
    }
}

int CHtmlDrawer::RepeatCount(std::wstring_view attributes)
{
    // The number follows the tag name's "=" directly: the first character of the attribute text is that
    // "=" (or, after a space, the number's own first digit, which is lost).
    if (attributes.size() < 2) {
        return 1;
    }
    return std::clamp(m_reader.ParseLength(attributes.substr(1), 1, false, m_dc), 1, kMaxRepeat);
}

void CHtmlDrawer::PlaceTab(int count)
{
    const long long width = std::max(1, m_tabWidth);
    long long offset = static_cast<long long>(m_x) - m_rect.left;
    if (offset % width != 0) {
        offset = (offset / width + 1) * width + (count - 1) * width;
    } else {
        offset += count * width;
    }
    m_x = Saturate(m_rect.left + offset);
    m_lineHasContent = true;
}

void CHtmlDrawer::PlaceRule(std::wstring_view attributes)
{
    HtmlStyle rule = m_style;
    rule.borderStyle = HtmlStyle::BorderSolid;
    m_reader.ApplyStyle(rule, L"hr", m_dc);
    bool isPercent = true;
    int percent = 100;
    int width = 0;
    int thickness = rule.ruleThickness;
    COLORREF colour = rule.borderColourLight;
    for (const HtmlAttribute& attribute : ReadHtmlAttributes(attributes)) {
        if (attribute.name == L"width") {
            if (!attribute.value.empty() && attribute.value.back() == L'%') {
                isPercent = true;
                percent =
                    std::clamp(m_reader.ParseLength(attribute.value, 100, false, m_dc), 0, kMaxRulePercent);
            } else {
                isPercent = false;
                width = std::clamp(m_reader.ParseLength(attribute.value, 0, false, m_dc), 0, kHtmlMaxLength);
            }
        } else if (attribute.name == L"size") {
            thickness =
                std::clamp(m_reader.ParseLength(attribute.value, thickness, false, m_dc), 0, kHtmlMaxLength);
        } else if (attribute.name == L"color") {
            colour = m_reader.ParseColour(attribute.value, colour);
        }
    }
    if (!m_reader.IsEnabled()) {
        colour = m_reader.DisabledColour();
    }
    // A percentage rule counts as one unit in the line's width and logical x; the drawing pass adds the
    // rest of its length to the line's offset.
    const int advance = isPercent ? 1 : width;
    if (Measuring()) {
        m_line.height = std::max(m_line.height, thickness + 8);
        m_line.alignment = m_style.horizontalAlign;
        if (isPercent) {
            m_line.percent = std::min(m_line.percent + percent, 100 * kMaxRulePercent);
        }
    } else {
        const long long available = static_cast<long long>(m_rect.right) - m_rect.left;
        const int length = isPercent ? Saturate(available * percent / 100) : width;
        const int x = DrawX();
        const int centre = m_lineTop + m_line.height / 2;
        if (thickness > 0 && length > 0) {
            m_effects.DrawLine(m_dc, x, centre, Saturate(static_cast<long long>(x) + length), centre, colour,
                               PS_SOLID, thickness);
        }
        m_lineOffset = Saturate(static_cast<long long>(m_lineOffset) + length - advance);
    }
    m_x = Saturate(static_cast<long long>(m_x) + advance);
    m_lineHasContent = true;
}

void CHtmlDrawer::HandleTag(const HtmlToken& token)
{
    const auto found = m_tags.find(std::wstring(token.name));
    if (found == m_tags.end()) {
        return;
    }
    const HtmlTagInfo& tag = found->second;
    // Empty tags act where they stand; their closing forms act as the opening ones.
    switch (tag.id) {
    case HtmlTagRule:
        PlaceRule(token.attributes);
        return;
    case HtmlTagBreak:
        EndLine(RepeatCount(token.attributes), false);
        return;
    case HtmlTagTab:
        PlaceTab(RepeatCount(token.attributes));
        return;
    case HtmlTagBitmap:
    case HtmlTagIcon:
        PlaceImage(tag.id, token.attributes);
        return;
    case HtmlTagImageList:
        PlaceImageListItem(token.attributes);
        return;
    case HtmlTagString:
        PlaceString(token.attributes);
        return;
    default:
        break;
    }

    if (token.closing) {
        m_stack.PopMatching(tag.styleName, m_style);
        SelectStyle();
        return;
    }
    m_stack.Push(m_style, tag.styleName);
    switch (tag.id) {
    case HtmlTagBold:
        m_style.weight = std::min(m_style.weight * 2, static_cast<int>(FW_HEAVY));
        break;
    case HtmlTagItalic:
        m_style.italic = !m_style.italic;
        break;
    case HtmlTagUnderline:
        m_style.underline = !m_style.underline;
        break;
    case HtmlTagStrikeOut:
        m_style.strikeOut = !m_style.strikeOut;
        break;
    case HtmlTagFont:
        ApplyFontAttributes(token.attributes);
        break;
    case HtmlTagLeft:
        m_style.horizontalAlign = HtmlStyle::AlignLeft;
        break;
    case HtmlTagCentre:
        m_style.horizontalAlign = HtmlStyle::AlignCentre;
        break;
    case HtmlTagRight:
        m_style.horizontalAlign = HtmlStyle::AlignRight;
        break;
    case HtmlTagJustify:
        m_style.horizontalAlign = HtmlStyle::AlignJustify;
        break;
    case HtmlTagBaseline:
        m_style.verticalAlign = HtmlStyle::AlignBaseline;
        break;
    case HtmlTagTop:
        m_style.verticalAlign = HtmlStyle::AlignTop;
        break;
    case HtmlTagMiddle:
        m_style.verticalAlign = HtmlStyle::AlignMiddle;
        break;
    case HtmlTagBottom:
        m_style.verticalAlign = HtmlStyle::AlignBottom;
        break;
    case HtmlTagNamedStyle:
        m_reader.ApplyStyle(m_style, tag.styleName, m_dc);
        break;
    case HtmlTagSpan:
        for (const HtmlAttribute& attribute : ReadHtmlAttributes(token.attributes)) {
            if (attribute.name == L"class") {
                m_reader.ApplyStyle(m_style, L"." + std::wstring(attribute.value), m_dc);
            }
        }
        break;
    case HtmlTagLink:
        OpenLink(token.attributes);
        break;
    default:
        break;
    }
    SelectStyle();
}

void CHtmlDrawer::ApplyFontAttributes(std::wstring_view attributes)
{
    for (const HtmlAttribute& attribute : ReadHtmlAttributes(attributes)) {
        const std::wstring_view value = attribute.value;
        if (attribute.name == L"face") {
            if (!value.empty()) {
                m_style.face.assign(value);
            }
        } else if (attribute.name == L"size") {
            m_style.fontHeight = m_reader.ParseLength(value, m_style.fontHeight, true, m_dc);
        } else if (attribute.name == L"color") {
            m_style.textColour = m_reader.IsEnabled() ? m_reader.ParseColour(value, m_style.textColour)
                                                      : m_reader.DisabledColour();
        } else if (attribute.name == L"style") {
            bool clear = false;
            for (const wchar_t letter : value) {
                int* flag = nullptr;
                switch (letter) {
                case L'-':
                    clear = true;
                    continue;
                case L'+':
                    clear = false;
                    continue;
                case L'b':
                    m_style.weight = clear ? FW_NORMAL : FW_BOLD;
                    break;
                case L'i':
                    flag = &m_style.italic;
                    break;
                case L'u':
                    flag = &m_style.underline;
                    break;
                case L's':
                    flag = &m_style.strikeOut;
                    break;
                case L'o':
                    flag = &m_style.overline;
                    break;
                default:
                    break;
                }
                if (flag) {
                    *flag = clear ? 0 : 1;
                }
                clear = false;
            }
        } else if (attribute.name == L"weight") {
            m_style.weight = CHtmlStyleReader::ParseFontWeight(value);
        } else if (attribute.name == L"bkgnd") {
            if (!m_reader.IsEnabled() || value.empty() || value == L"transparent") {
                m_style.textBackgroundMode = TRANSPARENT;
            } else {
                m_style.textBackgroundMode = OPAQUE;
                m_style.backgroundColour = m_reader.ParseColour(value, m_style.backgroundColour);
            }
        }
    }
}

void CHtmlDrawer::OpenLink(std::wstring_view attributes)
{
    int kind = HtmlStyle::LinkMessage;
    std::wstring target;
    for (const HtmlAttribute& attribute : ReadHtmlAttributes(attributes)) {
        if (attribute.name == L"href") {
            kind = HtmlStyle::LinkHref;
            target.assign(attribute.value);
        } else if (attribute.name == L"msg") {
            kind = HtmlStyle::LinkMessage;
            target.assign(attribute.value);
        }
    }
    if (m_linkCounter < INT_MAX) {
        ++m_linkCounter;
    }
    m_style.linkKind = kind;
    m_style.linkTarget = std::move(target);
    m_style.linkIndex = m_linkCounter;
    m_reader.ApplyStyle(m_style, m_linkCounter == m_hoveredLink ? L"a:hover" : L"a:link", m_dc);
}

void CHtmlDrawer::SelectStyle()
{
    LOGFONTW font = {};
    font.lfHeight = m_style.fontHeight;
    font.lfWeight = std::clamp(m_style.weight, 0, 1000);
    font.lfItalic = m_style.italic ? 1 : 0;
    font.lfUnderline = m_style.underline ? 1 : 0;
    font.lfStrikeOut = m_style.strikeOut ? 1 : 0;
    font.lfCharSet = DEFAULT_CHARSET;
    m_style.face.copy(font.lfFaceName, LF_FACESIZE - 1);
    HFONT made = CreateFontIndirectW(&font);
    if (made) {
        SelectObject(m_dc, made);
        if (m_font) {
            DeleteObject(m_font);
        }
        m_font = made;
    }
    GetTextMetricsW(m_dc, &m_metrics);
    const bool enabled = m_reader.IsEnabled();
    SetBkMode(m_dc, enabled ? m_style.textBackgroundMode : TRANSPARENT);
    SetTextColor(m_dc, enabled ? m_style.textColour : m_reader.DisabledColour());
    SetBkColor(m_dc, m_style.backgroundColour);
}
