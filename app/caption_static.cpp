#include "caption_static.h"

IMPLEMENT_DYNAMIC(CCaptionStatic, CTransparentStatic)

// clang-format off
BEGIN_MESSAGE_MAP(CCaptionStatic, CTransparentStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()
// clang-format on

CString CCaptionStatic::NameOf(const CString& caption)
{
    CString name = caption;
    const int tab = name.Find(L'\t');
    if (tab >= 0) {
        name = name.Left(tab);
    } else if (!name.IsEmpty() && name[name.GetLength() - 1] == L':') {
        name = name.Left(name.GetLength() - 1);
    }
    name.TrimRight(L" \t");
    return name;
}

void CCaptionStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CString text;
    GetWindowText(text);
    CFont* pOldFont = dc.SelectObject(GetFont());
    // The parent chooses the colours as for any static; the background is the parent's own.
    CWnd* pParent = GetParent();
    HBRUSH brush = pParent != NULL ? reinterpret_cast<HBRUSH>(pParent->SendMessage(
                                         WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.GetSafeHdc()),
                                         reinterpret_cast<LPARAM>(GetSafeHwnd())))
                                   : NULL;
    if (brush != NULL)
        ::FillRect(dc.GetSafeHdc(), &client, brush);
    dc.SetBkMode(TRANSPARENT);
    const CString name = NameOf(text);
    dc.DrawText(name, client, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (text.TrimRight().Right(1) == L":")
        dc.DrawText(L":", 1, client, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(pOldFont);
}
