// Measuring and drawing the owner-drawn menu's items in the classic and the flat look, and the shaded,
// disabled and embossed forms of their icons.
#include "owner_draw_menu.h"

#include "owner_draw_menu_state.h"

#include <algorithm>

COLORREF LightenColor(COLORREF colour, double factor)
{
    if (!(factor > 0.0 && factor <= 1.0))
        return colour;
    auto lighten = [factor](BYTE channel) { return static_cast<BYTE>(channel + (255 - channel) * factor); };
    return RGB(lighten(GetRValue(colour)), lighten(GetGValue(colour)), lighten(GetBValue(colour)));
}

namespace {

// ROP that paints the brush where the (monochrome) source is black and keeps the destination elsewhere,
// with white as the text colour and black as the background colour of the destination.
constexpr DWORD kBrushWhereSourceBlack = 0x00E20746;

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    const COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, NULL, 0, NULL);
    ::SetBkColor(dc, old);
}

void Frame(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FrameRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

// A frame with the top and left in one colour, the bottom and right in the other.
void Frame3d(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    Fill(dc, {rect.left, rect.top, rect.left + width - 1, rect.top + 1}, topLeft);
    Fill(dc, {rect.left, rect.top, rect.left + 1, rect.top + height - 1}, topLeft);
    Fill(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    Fill(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
}

void DrawIcon(HDC dc, int image, int x, int y)
{
    CImageList* images = COwnerDrawMenu::IconImages();
    if (images != NULL && image >= 0)
        ImageList_Draw(images->m_hImageList, image, dc, x, y, ILD_TRANSPARENT);
}

int Truncate(double value)
{
    return static_cast<int>(value);
}

// An item's checked-state bitmap is the framework's radio mark.
BOOL HasRadioMark(const DRAWITEMSTRUCT& dis)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS | MIIM_FTYPE;
    if (!::GetMenuItemInfoW(reinterpret_cast<HMENU>(dis.hwndItem), dis.itemID, FALSE, &info))
        return FALSE;
    return info.hbmpChecked != NULL || (info.fType & MFT_RADIOCHECK);
}

} // namespace

void COwnerDrawMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    const Item* item = OwnerDrawMenuGlobals::LiveItem(lpMeasureItemStruct->itemData);
    if (item == NULL)
        return;
    const BOOL flat = FlatLook();
    const int gap = flat && s_iconEffects ? 7 : 4;
    const int menuHeight = ::GetSystemMetrics(SM_CYMENU);
    if (item->flags & MF_SEPARATOR) {
        lpMeasureItemStruct->itemWidth = 0;
        lpMeasureItemStruct->itemHeight =
            static_cast<UINT>(std::max(menuHeight / 2, (m_iconHeight + gap) / 2));
        return;
    }
    SIZE extent = {};
    const int level = OsLevel();
    if (level != 0) {
        CFont font;
        HDC screen = ::GetDC(NULL);
        HGDIOBJ old = level >= 2 ? ::SelectObject(screen, CreateMenuFont(font)->m_hObject) : NULL;
        ::GetTextExtentPoint32W(screen, item->text.GetString(), item->text.GetLength(), &extent);
        if (old != NULL)
            ::SelectObject(screen, old);
        ::ReleaseDC(NULL, screen);
    }
    const LONG width = flat ? m_iconWidth + extent.cx + gap + 8 : extent.cx + 2 * m_iconWidth + 1;
    lpMeasureItemStruct->itemWidth = static_cast<UINT>(width);
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(std::max(menuHeight, m_iconHeight + gap));
}

void COwnerDrawMenu::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    const Item* item = OwnerDrawMenuGlobals::LiveItem(lpDrawItemStruct->itemData);
    if (item == NULL || lpDrawItemStruct->CtlType != ODT_MENU)
        return;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const BOOL palette = (::GetDeviceCaps(pDC->m_hDC, RASTERCAPS) & RC_PALETTE) != 0;
    const int savedState = ::SaveDC(pDC->m_hDC);
    if (FlatLook() && !palette)
        DrawFlat(pDC, *lpDrawItemStruct, *item);
    else
        DrawClassic(pDC, *lpDrawItemStruct, *item);
    ::RestoreDC(pDC->m_hDC, savedState);
}

void COwnerDrawMenu::DrawText(CDC* pDC, const CRect& rect, const CString& text, COLORREF colour) const
{
    if (text.IsEmpty())
        return;
    const int firstTab = text.Find(L'\t');
    const CString label = firstTab < 0 ? text : text.Left(firstTab);
    const CString shortcut = firstTab < 0 ? CString() : text.Mid(text.ReverseFind(L'\t') + 1);
    CRect area = rect;
    if (firstTab >= 0)
        area.right -= m_iconWidth;
    HDC dc = pDC->m_hDC;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    ::DrawTextW(dc, label.GetString(), label.GetLength(), &area, DT_SINGLELINE | DT_VCENTER);
    if (!shortcut.IsEmpty())
        ::DrawTextW(dc, shortcut.GetString(), shortcut.GetLength(), &area,
                    DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

void COwnerDrawMenu::DrawCheckMark(CDC* pDC, int x, int y, BOOL radio) const
{
    HDC dc = pDC->m_hDC;
    const COLORREF colour = ::GetSysColor(COLOR_MENUTEXT);
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    if (radio) {
        HBRUSH brush = ::CreateSolidBrush(colour);
        HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        ::Ellipse(dc, x, y, x + 6, y + 6);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(brush);
    } else {
        static const int kColumnTops[7] = {2, 3, 4, 3, 2, 1, 0};
        for (int column = 0; column < 7; ++column) {
            ::MoveToEx(dc, x + column, y + kColumnTops[column], NULL);
            ::LineTo(dc, x + column, y + kColumnTops[column] + 3);
        }
    }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
}

void COwnerDrawMenu::DrawClassic(CDC* pDC, const DRAWITEMSTRUCT& dis, const Item& item)
{
    HDC dc = pDC->m_hDC;
    const COLORREF background = ::GetSysColor(XPLookAvailable() ? COLOR_BTNFACE : COLOR_MENU);
    const CRect rect = dis.rcItem;
    const int w = m_iconWidth;
    const int h = m_iconHeight;
    const BOOL frames3d = OsLevel() >= 2;
    if (item.flags & MF_SEPARATOR) {
        Fill(dc, rect, background);
        RECT line = {rect.left, rect.top + rect.Height() / 2, rect.right, rect.bottom};
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const BOOL selected = (dis.itemState & ODS_SELECTED) != 0;
    const BOOL disabled = (dis.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const BOOL checked = (dis.itemState & ODS_CHECKED) != 0;
    const BOOL hasIcon = item.image >= 0;

    COLORREF textColour;
    if (selected) {
        CRect fill = rect;
        if (hasIcon || checked)
            fill.left = rect.left + w + 5;
        Fill(dc, fill, ::GetSysColor(COLOR_HIGHLIGHT));
        textColour = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else {
        Fill(dc, rect, background);
        Frame(dc, rect, background);
        textColour = ::GetSysColor(COLOR_MENUTEXT);
    }

    const int dy = std::max(0, (rect.Height() - h - 4) / 2);
    if (hasIcon) {
        const RECT box = {rect.left, rect.top + dy, rect.left + w + 4, rect.top + dy + h + 4};
        const RECT inner = {rect.left + 1, rect.top + dy + 1, rect.left + w + 3, rect.top + dy + h + 3};
        Frame(dc, inner, background);
        const int iconX = rect.left + 2;
        const int iconY = rect.top + dy + 2;
        const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
        if (disabled) {
            Frame(dc, box, background);
            HICON icon = ImageList_GetIcon(IconImages()->m_hImageList, item.image, ILD_NORMAL);
            DrawEmbossed(pDC, icon, iconX, iconY, background);
            if (icon != NULL)
                ::DestroyIcon(icon);
        } else if (selected) {
            Fill(dc, inner, background);
            if (frames3d)
                Frame3d(dc, box, checked ? shadow : light, checked ? light : shadow);
            DrawIcon(dc, item.image, iconX, iconY);
        } else {
            if (checked) {
                Fill(dc, inner, LightenColor(background, 0.6));
                if (frames3d)
                    Frame3d(dc, box, shadow, light);
            } else {
                Fill(dc, inner, background);
                Frame(dc, box, background);
            }
            DrawIcon(dc, item.image, iconX, iconY);
        }
    } else if (checked) {
        RECT box = {rect.left + 1, rect.top + dy + 2, rect.left + w + 1, rect.top + dy + h + 2};
        Fill(dc, box, selected ? background : LightenColor(background, 0.6));
        if (frames3d)
            ::DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
        const BOOL radio = HasRadioMark(dis);
        DrawCheckMark(pDC, box.left + (radio ? 5 : 4), box.top + 4, radio);
    }

    const CRect textRect(rect.left + w + 9, rect.top - 1, rect.right, rect.bottom - 1);
    if (!disabled) {
        DrawText(pDC, textRect, item.text, textColour);
    } else if (!selected) {
        CRect raised = textRect;
        raised.OffsetRect(1, 1);
        DrawText(pDC, raised, item.text, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawText(pDC, textRect, item.text, ::GetSysColor(COLOR_GRAYTEXT));
    } else {
        DrawText(pDC, textRect, item.text, background);
    }
}

BOOL COwnerDrawMenu::HasIconCopies(const Item& item) const
{
    const std::vector<UINT_PTR>& ids = OwnerDrawMenuGlobals::Get().iconIds;
    const size_t first = static_cast<size_t>(item.image);
    return s_iconEffects && item.image >= 0 && first + 2 < ids.size() && ids[first] == item.id &&
           ids[first + 1] == item.id && ids[first + 2] == item.id;
}

void COwnerDrawMenu::DrawFlat(CDC* pDC, const DRAWITEMSTRUCT& dis, const Item& item)
{
    const BOOL xpLook = XPLookAvailable();
    const COLORREF background = ::GetSysColor(COLOR_WINDOW);
    const COLORREF column =
        xpLook ? ::GetSysColor(COLOR_BTNFACE) : LightenColor(::GetSysColor(COLOR_BTNFACE), 0.25);
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF selectionFill = LightenColor(highlight, xpLook ? 0.7 : 0.85);
    const COLORREF checkedFill = LightenColor(highlight, 0.85);
    const int w = m_iconWidth;
    const int h = m_iconHeight;
    const int gap = s_iconEffects ? 7 : 4;
    const int columnWidth = w + gap;
    const CRect rect = dis.rcItem;
    const BOOL disabled = (dis.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const BOOL selected = !disabled && (dis.itemState & ODS_SELECTED) != 0;
    const BOOL checked = (dis.itemState & ODS_CHECKED) != 0;

    // A disabled item is drawn off-screen and copied whole, so that its embossed icon and grey text
    // appear at once.
    CDC offscreen;
    CBitmap bitmap;
    CFont font;
    CBitmap* oldBitmap = NULL;
    CFont* oldFont = NULL;
    const BOOL printing = ::GetDeviceCaps(pDC->m_hDC, TECHNOLOGY) == DT_RASPRINTER;
    CDC* target = pDC;
    if (disabled && !printing && offscreen.CreateCompatibleDC(pDC) &&
        bitmap.CreateCompatibleBitmap(pDC, rect.Width(), rect.Height())) {
        oldBitmap = offscreen.SelectObject(&bitmap);
        ::SetWindowOrgEx(offscreen.m_hDC, rect.left, rect.top, NULL);
        oldFont = offscreen.SelectObject(CreateMenuFont(font));
        target = &offscreen;
    }
    HDC dc = target->m_hDC;
    const RECT columnRect = {rect.left, rect.top, rect.left + columnWidth, rect.bottom};

    if (item.flags & MF_SEPARATOR) {
        Fill(dc, rect, background);
        Fill(dc, columnRect, column);
        Frame(dc, columnRect, column);
        RECT line = {rect.left + columnWidth + gap, rect.top + rect.Height() / 2, rect.right, rect.bottom};
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    } else {
        if (selected) {
            Fill(dc, rect, selectionFill);
            Frame(dc, rect, highlight);
        } else {
            Fill(dc, rect, background);
            Fill(dc, columnRect, column);
            Frame(dc, rect, background);
            Frame(dc, columnRect, column);
        }
        const int dy = std::max(0, Truncate((rect.Height() - h + 1) * 0.5));
        const int dx = std::max(0, Truncate((columnWidth - w + 1) * 0.5));
        const int iconX = rect.left + dx;
        const int iconY = rect.top + dy;
        const RECT box = {rect.left + 1, rect.top + 1, rect.left + columnWidth - 1, rect.bottom - 1};
        if (item.image >= 0) {
            const BOOL copies = HasIconCopies(item);
            if (disabled) {
                HICON icon = ImageList_GetIcon(IconImages()->m_hImageList, item.image, ILD_NORMAL);
                DrawEmbossed(target, icon, iconX, iconY, column);
                if (icon != NULL)
                    ::DestroyIcon(icon);
            } else if (selected) {
                Fill(dc, box, selectionFill);
                if (checked) {
                    Frame(dc, box, highlight);
                    DrawIcon(dc, item.image, iconX - 1, iconY - 1);
                } else if (copies) {
                    DrawIcon(dc, item.image + 2, iconX + 1, iconY + 1);
                    DrawIcon(dc, item.image, iconX - 1, iconY - 1);
                } else {
                    DrawIcon(dc, item.image, iconX, iconY);
                }
            } else if (checked) {
                Fill(dc, box, checkedFill);
                Frame(dc, box, highlight);
                DrawIcon(dc, item.image, iconX - 1, iconY - 1);
            } else {
                Fill(dc, box, column);
                Frame(dc, box, column);
                DrawIcon(dc, copies ? item.image + 1 : item.image, iconX, iconY);
            }
        } else if (checked) {
            const int left = rect.left + std::max(0, Truncate((columnWidth - 15) * 0.5));
            const int top = rect.top + std::max(0, Truncate((rect.Height() - 15) * 0.5));
            const RECT markBox = {left, top, left + 16, top + 16};
            Fill(dc, markBox, checkedFill);
            Frame(dc, markBox, highlight);
            DrawCheckMark(target, left + 5, top + 4, HasRadioMark(dis));
        }
        const CRect textRect(rect.left + columnWidth + 8, rect.top - 1, rect.right, rect.bottom - 1);
        const COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
        DrawText(target, textRect, item.text,
                 disabled ? (xpLook ? grey : LightenColor(grey, 0.4)) : ::GetSysColor(COLOR_MENUTEXT));
    }

    if (target == &offscreen) {
        ::BitBlt(pDC->m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), offscreen.m_hDC, rect.left,
                 rect.top, SRCCOPY);
        offscreen.SelectObject(oldFont);
        offscreen.SelectObject(oldBitmap);
    }
}

// ---- Icon forms ----

void COwnerDrawMenu::DrawEmbossed(CDC* pDC, HICON icon, int x, int y, COLORREF background) const
{
    if (icon == NULL)
        return;
    const int w = m_iconWidth;
    const int h = m_iconHeight;
    HDC target = pDC->m_hDC;
    HDC work = ::CreateCompatibleDC(target);
    HBITMAP picture = ::CreateCompatibleBitmap(target, w, h);
    HDC maskDC = ::CreateCompatibleDC(target);
    HBITMAP mask = ::CreateBitmap(w, h, 1, 1, NULL);
    HGDIOBJ oldPicture = ::SelectObject(work, picture);
    HGDIOBJ oldMask = ::SelectObject(maskDC, mask);
    const RECT all = {0, 0, w, h};
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);

    Fill(work, all, face);
    ::DrawIconEx(work, 0, 0, icon, w, h, 0, NULL, DI_NORMAL);
    // The mask: white where the picture shows the face or the highlight colour, black on the icon's lines.
    Fill(maskDC, all, RGB(255, 255, 255));
    ::SetBkColor(work, face);
    ::BitBlt(maskDC, 0, 0, w, h, work, 0, 0, SRCCOPY);
    ::SetBkColor(work, light);
    ::BitBlt(maskDC, 0, 0, w, h, work, 0, 0, SRCPAINT);

    Fill(work, all, background);
    ::SetTextColor(work, RGB(255, 255, 255));
    ::SetBkColor(work, RGB(0, 0, 0));
    HBRUSH lightBrush = ::CreateSolidBrush(light);
    HGDIOBJ oldBrush = ::SelectObject(work, lightBrush);
    ::BitBlt(work, 0, 0, w, h, maskDC, 0, 0, kBrushWhereSourceBlack);
    ::BitBlt(target, x + 1, y + 1, w, h, work, 0, 0, SRCCOPY);

    ::BitBlt(work, 1, 1, w, h, maskDC, 0, 0, kBrushWhereSourceBlack);
    HBRUSH shadowBrush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW));
    ::SelectObject(work, shadowBrush);
    ::BitBlt(work, 0, 0, w, h, maskDC, 0, 0, kBrushWhereSourceBlack);
    ::BitBlt(target, x, y, w, h, work, 0, 0, SRCCOPY);

    ::SelectObject(work, oldBrush);
    ::DeleteObject(lightBrush);
    ::DeleteObject(shadowBrush);
    ::SelectObject(maskDC, oldMask);
    ::SelectObject(work, oldPicture);
    ::DeleteObject(mask);
    ::DeleteObject(picture);
    ::DeleteDC(maskDC);
    ::DeleteDC(work);
}

void COwnerDrawMenu::AddIconCopies(HICON icon, int at)
{
    const int w = m_iconWidth;
    const int h = m_iconHeight;
    const BOOL xpLook = XPLookAvailable();
    const COLORREF faceColour = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF disabledColour = xpLook ? shadow : LightenColor(shadow, 0.49);
    HDC screen = ::GetDC(NULL);
    HDC work = ::CreateCompatibleDC(screen);
    const RECT all = {0, 0, w, h};

    // The face colour as the device stores it, which may differ from the system colour in depth.
    HBITMAP probe = ::CreateCompatibleBitmap(screen, std::max(w, 2), std::max(h, 2));
    HGDIOBJ old = ::SelectObject(work, probe);
    Fill(work, {0, 0, std::max(w, 2), std::max(h, 2)}, faceColour);
    const COLORREF face = ::GetPixel(work, 1, 1);

    OwnerDrawMenuGlobals& globals = OwnerDrawMenuGlobals::Get();
    for (int copy = 0; copy < 2; ++copy) {
        HBITMAP picture = ::CreateCompatibleBitmap(screen, w, h);
        ::SelectObject(work, picture);
        Fill(work, all, faceColour);
        ::DrawIconEx(work, 0, 0, icon, w, h, 0, NULL, DI_NORMAL);
        for (int x = 0; x < w; ++x) {
            for (int y = 0; y < h; ++y) {
                const COLORREF pixel = ::GetPixel(work, x, y);
                if (pixel != face)
                    ::SetPixel(work, x, y, copy == 0 ? LightenColor(pixel, 0.3) : disabledColour);
            }
        }
        ::SelectObject(work, probe);
        HIMAGELIST single = ImageList_Create(w, h, ILC_COLORDDB | ILC_MASK, 1, 1);
        ImageList_AddMasked(single, picture, faceColour);
        HICON copyIcon = ImageList_GetIcon(single, 0, ILD_NORMAL);
        ImageList_ReplaceIcon(globals.images.m_hImageList, at < 0 ? -1 : at + copy, copyIcon);
        if (copyIcon != NULL)
            ::DestroyIcon(copyIcon);
        ImageList_Destroy(single);
        ::DeleteObject(picture);
    }
    ::SelectObject(work, old);
    ::DeleteObject(probe);
    ::DeleteDC(work);
    ::ReleaseDC(NULL, screen);
}
