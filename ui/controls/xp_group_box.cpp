#include "xp_group_box.h"

namespace {

// The style bit that the box adds to its button style when it is created or taken over.
const DWORD kGroupBoxStyleBit = 0x40;
const int kCornerSize = 10;

} // namespace

IMPLEMENT_DYNAMIC(CXPGroupBox, CButton)

// clang-format off
BEGIN_MESSAGE_MAP(CXPGroupBox, CButton)
    ON_WM_PAINT()
END_MESSAGE_MAP()
// clang-format on

CXPGroupBox::CXPGroupBox()
    : m_crFrame(::GetSysColor(COLOR_BTNSHADOW)), m_crFill(::GetSysColor(COLOR_BTNFACE)),
      m_crBand(::GetSysColor(COLOR_BTNFACE))
{}

BOOL CXPGroupBox::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= kGroupBoxStyleBit;
    return CButton::PreCreateWindow(cs);
}

void CXPGroupBox::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ModifyStyle(0, kGroupBoxStyleBit);
    CFont* pFont = GetFont();
    if (pFont == NULL || pFont->GetSafeHandle() == NULL || pFont->GetLogFont(&m_logFont) == 0)
        ::GetObject(::GetStockObject(SYSTEM_FONT), sizeof m_logFont, &m_logFont);
    MakeFont();
}

void CXPGroupBox::MakeFont()
{
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_logFont);
}

void CXPGroupBox::Redraw()
{
    if (GetSafeHwnd() == NULL)
        return;
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CWnd* pParent = GetParent();
    if (pParent == NULL)
        return;
    CRect rect;
    GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    pParent->InvalidateRect(&rect, TRUE);
    pParent->UpdateWindow();
}

void CXPGroupBox::SetLook(int nLook)
{
    m_nLook = nLook;
    Redraw();
}

void CXPGroupBox::SetFontDescription(const LOGFONT& logFont)
{
    m_logFont = logFont;
    MakeFont();
    Redraw();
}

void CXPGroupBox::SetFontBold(BOOL bBold)
{
    m_logFont.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    MakeFont();
    Redraw();
}

void CXPGroupBox::SetFontName(LPCTSTR lpszFaceName, BYTE nCharSet)
{
    lstrcpyn(m_logFont.lfFaceName, lpszFaceName, LF_FACESIZE);
    m_logFont.lfCharSet = nCharSet;
    MakeFont();
    Redraw();
}

void CXPGroupBox::SetFontUnderline(BOOL bUnderline)
{
    m_logFont.lfUnderline = static_cast<BYTE>(bUnderline ? TRUE : FALSE);
    MakeFont();
    Redraw();
}

void CXPGroupBox::SetFontItalic(BOOL bItalic)
{
    m_logFont.lfItalic = static_cast<BYTE>(bItalic ? TRUE : FALSE);
    MakeFont();
    Redraw();
}

void CXPGroupBox::SetFontSize(int nPoints)
{
    CFont pointFont;
    LOGFONT measured = {};
    if (pointFont.CreatePointFont(nPoints * 10, m_logFont.lfFaceName) &&
        pointFont.GetLogFont(&measured) != 0) {
        m_logFont.lfHeight = measured.lfHeight;
        m_logFont.lfWidth = measured.lfWidth;
    }
    MakeFont();
    Redraw();
}

void CXPGroupBox::SetFrameColour(COLORREF crFrame)
{
    m_crFrame = crFrame;
    Redraw();
}

void CXPGroupBox::SetCaptionColour(COLORREF crCaption)
{
    m_crCaption = crCaption;
    Redraw();
}

void CXPGroupBox::SetFillColours(COLORREF crFill)
{
    SetFillColours(crFill, crFill);
}

void CXPGroupBox::SetFillColours(COLORREF crFill, COLORREF crBand)
{
    m_crFill = crFill;
    m_crBand = crBand;
    Redraw();
}

void CXPGroupBox::SetCaption(LPCTSTR lpszCaption)
{
    if (GetSafeHwnd() == NULL)
        return;
    m_strCaption = CString(L" ") + lpszCaption + L" ";
    Redraw();
}

void CXPGroupBox::SetAlignment(int nAlignment)
{
    if (nAlignment < 0 || nAlignment > 2)
        return;
    m_nAlignment = nAlignment;
    Redraw();
}

void CXPGroupBox::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    rect.DeflateRect(1, 1);
    CFont* pOldFont = dc.SelectObject(&m_font);

    CString caption = m_strCaption;
    if (caption.IsEmpty()) {
        CString text;
        GetWindowText(text);
        // An empty text stays empty, so that a box without any caption draws its frame from the top.
        if (!text.IsEmpty())
            caption = CString(L" ") + text + L" ";
    }
    const CSize extent = caption.IsEmpty() ? CSize(0, 0) : dc.GetTextExtent(caption);
    const int w = extent.cx;
    const int h = extent.cy;

    CPen frame(PS_SOLID, 1, m_crFrame);
    CPen* pOldPen = dc.SelectObject(&frame);
    CPoint captionAt;
    if (m_nLook != 0) {
        CBrush fill(m_crFill);
        CBrush* pOldBrush = dc.SelectObject(&fill);
        dc.RoundRect(&rect, CPoint(kCornerSize, kCornerSize));
        CBrush band(m_crBand);
        dc.SelectObject(&band);
        dc.Rectangle(rect.left, rect.top, rect.right, rect.top + h + 4);
        dc.SelectObject(pOldBrush);
        captionAt.y = rect.top + 2;
        captionAt.x = m_nAlignment == 1   ? rect.left + (rect.Width() - w) / 2
                      : m_nAlignment == 2 ? rect.right - 2 - w
                                          : rect.left + 2;
    } else {
        captionAt.y = rect.top;
        captionAt.x = m_nAlignment == 1   ? rect.left + (rect.Width() - w) / 2
                      : m_nAlignment == 2 ? rect.right - 10 - w
                                          : rect.left + 10;
        CGdiObject* pOldBrush = dc.SelectStockObject(NULL_BRUSH);
        dc.RoundRect(rect.left, rect.top + h / 2, rect.right, rect.bottom, kCornerSize, kCornerSize);
        dc.SelectObject(pOldBrush);
        // The patch under the caption keeps the frame line from running through the text.
        dc.FillSolidRect(captionAt.x, captionAt.y, w, h, m_crFill);
    }
    dc.SelectObject(pOldPen);

    CRect captionRect(captionAt, CSize(w, h));
    dc.SetTextColor(m_crCaption);
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(caption, &captionRect, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    dc.SelectObject(pOldFont);
}
