#include "caption_columns.h"

#include <algorithm>
#include <vector>

namespace {

struct CaptionLine
{
    CString caption;
    CString value;
    bool hasColon = false;
};

std::vector<CaptionLine> SplitLines(const CString& text)
{
    std::vector<CaptionLine> lines;
    int start = 0;
    while (start <= text.GetLength()) {
        int end = text.Find(L'\n', start);
        if (end < 0)
            end = text.GetLength();
        CString line = text.Mid(start, end - start);
        line.TrimRight(L"\r");
        CaptionLine parts;
        const int colon = line.Find(L':');
        if (colon >= 0) {
            parts.hasColon = true;
            parts.caption = line.Left(colon);
            parts.caption.TrimRight();
            parts.value = line.Mid(colon + 1);
            parts.value.Trim();
        } else {
            parts.caption = line;
        }
        lines.push_back(parts);
        start = end + 1;
    }
    return lines;
}

} // namespace

void DrawCaptionColumns(CDC* pDC, const CRect& rect, const CString& text)
{
    if (pDC == NULL || text.IsEmpty())
        return;
    const std::vector<CaptionLine> lines = SplitLines(text);
    int captionWidth = 0;
    for (const CaptionLine& line : lines)
        if (line.hasColon)
            captionWidth = std::max(captionWidth, static_cast<int>(pDC->GetTextExtent(line.caption).cx));
    const int blank = pDC->GetTextExtent(L" ").cx;
    const int colonX = rect.left + captionWidth + blank;
    const int valueX = colonX + pDC->GetTextExtent(L": ").cx;
    TEXTMETRIC metrics = {};
    pDC->GetTextMetrics(&metrics);
    const UINT format = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
    int y = rect.top;
    for (const CaptionLine& line : lines) {
        CRect box(rect.left, y, rect.right, y + metrics.tmHeight);
        pDC->DrawText(line.caption, box, format);
        if (line.hasColon) {
            box.left = colonX;
            pDC->DrawText(L":", 1, box, format);
            box.left = valueX;
            pDC->DrawText(line.value, box, format);
        }
        y += metrics.tmHeight;
    }
}
