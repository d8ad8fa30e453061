#include "icon_button.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CIconButton, CButton)

BEGIN_MESSAGE_MAP(CIconButton, CButton)
ON_WM_CTLCOLOR_REFLECT()
ON_WM_SYSCOLORCHANGE()
ON_WM_SETCURSOR()
ON_WM_MOUSEMOVE()
ON_WM_KILLFOCUS()
ON_WM_CANCELMODE()
ON_WM_ACTIVATE()
ON_WM_ENABLE()
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

namespace {

constexpr int kTooltipWidth = 400;

// A copy of a bitmap whose every pixel but the transparent ones is changed by `change`.
template <typename Change> HBITMAP ChangedCopy(HBITMAP source, COLORREF transparent, Change change)
{
    BITMAP bm = {};
    if (source == NULL || !::GetObjectW(source, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return NULL;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
    HDC screen = ::GetDC(NULL);
    HBITMAP copy = NULL;
    if (::GetDIBits(screen, source, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &info,
                    DIB_RGB_COLORS)) {
        for (DWORD& pixel : pixels) {
            const COLORREF colour = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
            if (colour == transparent)
                continue;
            const COLORREF changed = change(colour);
            pixel = (static_cast<DWORD>(GetRValue(changed)) << 16) |
                    (static_cast<DWORD>(GetGValue(changed)) << 8) | GetBValue(changed);
        }
        copy = ::CreateCompatibleBitmap(screen, bm.bmWidth, bm.bmHeight);
        if (copy != NULL && !::SetDIBits(screen, copy, 0, static_cast<UINT>(bm.bmHeight), pixels.data(),
                                         &info, DIB_RGB_COLORS)) {
            ::DeleteObject(copy);
            copy = NULL;
        }
    }
    ::ReleaseDC(NULL, screen);
    return copy;
}

COLORREF Grey(COLORREF colour)
{
    const BYTE grey =
        static_cast<BYTE>(0.299 * GetRValue(colour) + 0.587 * GetGValue(colour) + 0.114 * GetBValue(colour));
    return RGB(grey, grey, grey);
}

COLORREF Darker(COLORREF colour)
{
    auto darker = [](BYTE channel) { return static_cast<BYTE>(channel - channel * 0.25); };
    return RGB(darker(GetRValue(colour)), darker(GetGValue(colour)), darker(GetBValue(colour)));
}

} // namespace

CIconButton::CIconButton()
{
    ResetColors(FALSE);
}

CIconButton::~CIconButton()
{
    FreeImages();
    if (m_cursor != NULL)
        ::DestroyCursor(m_cursor);
}

// ---- Images ----

void CIconButton::FreeImages()
{
    for (Image* image : {&m_imageIn, &m_imageOut}) {
        if (image->bitmap != NULL)
            ::DeleteObject(image->bitmap);
        if (image->mask != NULL)
            ::DeleteObject(image->mask);
        *image = Image();
    }
}

DWORD CIconButton::MakeImage(HBITMAP bitmap, COLORREF transparent, Image& image)
{
    BITMAP bm = {};
    if (!::GetObjectW(bitmap, sizeof bm, &bm))
        return kInvalidResource;
    HBITMAP maskBitmap = ::CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, NULL);
    HDC screen = ::GetDC(NULL);
    HDC source = ::CreateCompatibleDC(screen);
    HDC mask = ::CreateCompatibleDC(screen);
    ::ReleaseDC(NULL, screen);
    HGDIOBJ oldSource = source ? ::SelectObject(source, bitmap) : NULL;
    HGDIOBJ oldMask = mask && maskBitmap ? ::SelectObject(mask, maskBitmap) : NULL;
    const BOOL made = oldSource != NULL && oldMask != NULL;
    if (made) {
        // White where the bitmap has its transparent colour; those pixels then become black, so that the
        // bitmap can be laid over the mask with SRCPAINT.
        ::SetBkColor(source, transparent);
        ::BitBlt(mask, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
        ::SetTextColor(source, RGB(255, 255, 255));
        ::SetBkColor(source, RGB(0, 0, 0));
        ::BitBlt(source, 0, 0, bm.bmWidth, bm.bmHeight, mask, 0, 0, SRCAND);
    }
    if (oldSource != NULL)
        ::SelectObject(source, oldSource);
    if (oldMask != NULL)
        ::SelectObject(mask, oldMask);
    if (source != NULL)
        ::DeleteDC(source);
    if (mask != NULL)
        ::DeleteDC(mask);
    if (!made) {
        if (maskBitmap != NULL)
            ::DeleteObject(maskBitmap);
        return kFailedMask;
    }
    image.bitmap = bitmap;
    image.mask = maskBitmap;
    image.width = bm.bmWidth;
    image.height = bm.bmHeight;
    return kOk;
}

DWORD CIconButton::SetImages(HBITMAP hBitmapIn, COLORREF crTransIn, HBITMAP hBitmapOut, COLORREF crTransOut)
{
    FreeImages();
    if (hBitmapIn == NULL)
        return kOk;
    // A made copy keeps the in bitmap's transparent colour, and is made before the masking changes it.
    const auto outCode = reinterpret_cast<INT_PTR>(hBitmapOut);
    if (outCode == kGreyCopy || outCode == kDarkerCopy) {
        hBitmapOut = outCode == kGreyCopy ? ChangedCopy(hBitmapIn, crTransIn, Grey)
                                          : ChangedCopy(hBitmapIn, crTransIn, Darker);
        crTransOut = crTransIn;
        if (hBitmapOut == NULL) {
            ::DeleteObject(hBitmapIn);
            return kInvalidResource;
        }
    }
    DWORD result = MakeImage(hBitmapIn, crTransIn, m_imageIn);
    if (result == kOk && hBitmapOut != NULL)
        result = MakeImage(hBitmapOut, crTransOut, m_imageOut);
    if (result != kOk) {
        // The button owns what it was given, also what it could not use.
        if (m_imageIn.bitmap != hBitmapIn)
            ::DeleteObject(hBitmapIn);
        if (hBitmapOut != NULL && m_imageOut.bitmap != hBitmapOut)
            ::DeleteObject(hBitmapOut);
        FreeImages();
    }
    Repaint(TRUE);
    return result;
}

DWORD CIconButton::SetImages(int nBitmapIn, COLORREF crTransIn, int nBitmapOut, COLORREF crTransOut)
{
    auto load = [](int id) -> HBITMAP {
        const LPCWSTR name = MAKEINTRESOURCEW(id);
        return static_cast<HBITMAP>(
            ::LoadImageW(AfxFindResourceHandle(name, MAKEINTRESOURCEW(2)), name, IMAGE_BITMAP, 0, 0, 0));
    };
    HBITMAP in = nBitmapIn != 0 ? load(nBitmapIn) : NULL;
    HBITMAP out = NULL;
    if (nBitmapOut == kGreyCopy || nBitmapOut == kDarkerCopy)
        out = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(nBitmapOut));
    else if (nBitmapOut != 0)
        out = load(nBitmapOut);
    const bool outMissing = nBitmapOut != 0 && out == NULL;
    if ((nBitmapIn != 0 && in == NULL) || outMissing) {
        if (in != NULL)
            ::DeleteObject(in);
        if (out != NULL && nBitmapOut > 0)
            ::DeleteObject(out);
        FreeImages();
        return kInvalidResource;
    }
    return SetImages(in, crTransIn, out, crTransOut);
}

// ---- Setters ----

void CIconButton::Repaint(BOOL bRepaint)
{
    if (bRepaint && m_hWnd != NULL)
        Invalidate();
}

DWORD CIconButton::SetPushedOffset(int nMode, BOOL bRepaint)
{
    if (nMode == 0)
        m_pushedOffset = CSize(1, 1);
    else if (nMode == 1)
        m_pushedOffset = CSize(0, 2);
    else
        return kInvalidPushedStyle;
    Repaint(bRepaint);
    return kOk;
}

DWORD CIconButton::SetChecked(BOOL bChecked, BOOL bRepaint)
{
    if (m_checkBox) {
        m_checked = bChecked;
        Repaint(bRepaint);
    }
    return kOk;
}

DWORD CIconButton::ResetColors(BOOL bRepaint)
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    for (int index = 0; index < kColorCount; index += 2) {
        m_colors[index] = face;
        m_colors[index + 1] = text;
    }
    Repaint(bRepaint);
    return kOk;
}

DWORD CIconButton::SetColorEntry(int nIndex, COLORREF colour, BOOL bRepaint)
{
    if (nIndex < 0 || nIndex >= kColorCount)
        return kInvalidIndex;
    m_colors[nIndex] = colour;
    Repaint(bRepaint);
    return kOk;
}

DWORD CIconButton::ShadeColorEntry(int nIndex, int nAmount, BOOL bRepaint)
{
    if (nIndex < 0 || nIndex >= kColorCount)
        return kInvalidIndex;
    if (nAmount < -255 || nAmount > 255)
        return kBadParameter;
    const COLORREF colour = m_colors[nIndex];
    const int red = GetRValue(colour);
    const int green = GetGValue(colour);
    const int blue = GetBValue(colour);
    // One amount for all three channels keeps the hue: it is cut so that no channel leaves its range.
    if (nAmount > 0)
        nAmount = std::min(nAmount, 255 - std::max({red, green, blue}));
    else
        nAmount = std::max(nAmount, -std::min({red, green, blue}));
    m_colors[nIndex] = RGB(red + nAmount, green + nAmount, blue + nAmount);
    Repaint(bRepaint);
    return kOk;
}

DWORD CIconButton::SetHoverCursor(int nCursorID, BOOL bRepaint)
{
    if (m_cursor != NULL) {
        ::DestroyCursor(m_cursor);
        m_cursor = NULL;
    }
    DWORD result = kOk;
    if (nCursorID != 0) {
        const LPCWSTR name = MAKEINTRESOURCEW(nCursorID);
        m_cursor = static_cast<HCURSOR>(
            ::LoadImageW(AfxFindResourceHandle(name, MAKEINTRESOURCEW(12)), name, IMAGE_CURSOR, 0, 0, 0));
        if (m_cursor == NULL)
            result = kInvalidResource;
    }
    Repaint(bRepaint);
    return result;
}

DWORD CIconButton::SetLink(LPCWSTR lpszLink)
{
    m_link = lpszLink != NULL ? CString(lpszLink, static_cast<int>(wcsnlen(lpszLink, kMaxLink))) : CString();
    return kOk;
}

DWORD CIconButton::SetBorderOnHover(BOOL bBorder, BOOL bRepaint)
{
    m_borderOnHover = bBorder;
    Repaint(bRepaint);
    return kOk;
}

DWORD CIconButton::SetTooltipText(LPCWSTR lpszText, BOOL bActivate)
{
    if (lpszText == NULL || m_hWnd == NULL)
        return kOk;
    if (m_tooltip.m_hWnd == NULL) {
        m_tooltip.Create(this);
        m_tooltip.Activate(FALSE);
        m_tooltip.SetMaxTipWidth(kTooltipWidth);
    }
    if (m_tooltip.GetToolCount() == 0)
        m_tooltip.AddTool(this, lpszText);
    else
        m_tooltip.UpdateTipText(lpszText, this);
    m_tooltip.Activate(bActivate);
    return kOk;
}

DWORD CIconButton::SetMenu(UINT nMenuID, HWND hOwnerWnd, BOOL bRepaint)
{
    m_menu.DestroyMenu();
    m_menuOwner = hOwnerWnd;
    DWORD result = kOk;
    if (nMenuID != 0 && !m_menu.LoadMenu(nMenuID))
        result = kInvalidResource;
    Repaint(bRepaint);
    return result;
}

DWORD CIconButton::SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam)
{
    m_callbackWnd = hWnd;
    m_callbackMessage = nMessage;
    m_callbackParam = lParam;
    return kOk;
}

DWORD CIconButton::SetSound(LPCWSTR lpszSound, HMODULE hModule, DWORD dwFlags, BOOL bHover)
{
    Sound& sound = bHover ? m_hoverSound : m_clickSound;
    sound = Sound();
    if (lpszSound != NULL) {
        // A resource id is kept as its number, a name as text.
        sound.name = IS_INTRESOURCE(lpszSound) ? CString() : CString(lpszSound);
        sound.module = hModule;
        sound.flags = dwFlags;
        sound.set = TRUE;
        if (IS_INTRESOURCE(lpszSound))
            sound.name.Format(L"#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(lpszSound)));
    }
    return kOk;
}

void CIconButton::PlayButtonSound(const Sound& sound) const
{
    if (sound.set)
        ::PlaySoundW(sound.name.GetString(), sound.module, sound.flags);
}

// ---- Messages ----

void CIconButton::PreSubclassWindow()
{
    const UINT type = static_cast<UINT>(GetStyle()) & BS_TYPEMASK;
    m_savedType = type;
    if (type != BS_OWNERDRAW) {
        m_checkBox = (type & BS_CHECKBOX) != 0;
        m_default = type == BS_DEFPUSHBUTTON;
    }
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

LRESULT CIconButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return CButton::WindowProc(message, wParam, lParam) |
               (m_default ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE: {
        const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            m_default = type == BS_DEFPUSHBUTTON;
        return CButton::WindowProc(message, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW,
                                   lParam);
    }
    case BM_SETCHECK:
        m_checked = wParam == BST_CHECKED || wParam == BST_INDETERMINATE;
        Invalidate();
        return 0;
    case BM_GETCHECK:
        return m_checked ? BST_CHECKED : BST_UNCHECKED;
    case WM_MOUSELEAVE:
        EndHover();
        return 0;
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
        if (measure->CtlType == ODT_MENU) {
            m_menu.MeasureItem(measure);
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (draw->CtlType == ODT_MENU) {
            m_menu.DrawItem(draw);
            return TRUE;
        }
        break;
    }
    case WM_MENUCHAR: {
        HMENU menu = reinterpret_cast<HMENU>(lParam);
        if (COwnerDrawMenu::IsOwnerDrawMenu(menu))
            return COwnerDrawMenu::FindKeyboardShortcut(LOWORD(wParam), HIWORD(wParam),
                                                        CMenu::FromHandle(menu));
        break;
    }
    default:
        break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

BOOL CIconButton::PreTranslateMessage(MSG* pMsg)
{
    if (m_tooltip.m_hWnd == NULL) {
        m_tooltip.Create(this);
        m_tooltip.Activate(TRUE);
        m_tooltip.SetMaxTipWidth(kTooltipWidth);
    }
    m_tooltip.RelayEvent(pMsg);
    if (pMsg->message == WM_LBUTTONDBLCLK)
        pMsg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(pMsg);
}

HBRUSH CIconButton::CtlColor(CDC*, UINT)
{
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CIconButton::OnSysColorChange()
{
    CButton::OnSysColorChange();
    ResetColors(TRUE);
}

BOOL CIconButton::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_cursor != NULL) {
        ::SetCursor(m_cursor);
        return TRUE;
    }
    return CButton::OnSetCursor(pWnd, nHitTest, message);
}

void CIconButton::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    if ((nFlags & MK_LBUTTON) && !m_hover)
        return;
    CPoint screen = point;
    ClientToScreen(&screen);
    const BOOL ownerActive = ::GetActiveWindow() == ::GetAncestor(m_hWnd, GA_ROOT);
    if (::WindowFromPoint(screen) == m_hWnd && (m_hoverWhenInactive || ownerActive)) {
        if (!m_hover) {
            m_hover = TRUE;
            Invalidate();
            PlayButtonSound(m_hoverSound);
            TRACKMOUSEEVENT track = {};
            track.cbSize = sizeof track;
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = m_hWnd;
            ::_TrackMouseEvent(&track);
        }
    } else {
        EndHover();
    }
}

void CIconButton::EndHover()
{
    if (m_hover) {
        m_hover = FALSE;
        Invalidate();
    }
}

void CIconButton::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    EndHover();
}

void CIconButton::OnCancelMode()
{
    CButton::OnCancelMode();
    EndHover();
}

void CIconButton::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CButton::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE)
        EndHover();
}

void CIconButton::OnEnable(BOOL bEnable)
{
    CButton::OnEnable(bEnable);
    if (bEnable)
        return;
    EndHover();
    // A disabled button cannot keep the focus; it goes on to the next control, as a tab would move it.
    CWnd* parent = GetParent();
    if (parent != NULL && ::GetFocus() == m_hWnd) {
        HWND next = ::GetNextDlgTabItem(parent->m_hWnd, m_hWnd, FALSE);
        ::SetFocus(next != NULL && next != m_hWnd ? next : parent->m_hWnd);
    }
}

BOOL CIconButton::OnClicked()
{
    SetFocus();
    PlayButtonSound(m_clickSound);
    if (m_checkBox) {
        m_checked = !m_checked;
        Invalidate();
    } else if (m_menu.m_hMenu != NULL) {
        HMENU popup = ::GetSubMenu(m_menu.m_hMenu, 0);
        if (popup == NULL)
            popup = m_menu.m_hMenu;
        m_pressed = TRUE;
        Invalidate();
        UpdateWindow();
        if (m_callbackWnd != NULL)
            ::SendMessageW(m_callbackWnd, m_callbackMessage, reinterpret_cast<WPARAM>(popup),
                           m_callbackParam);
        CRect rect;
        GetWindowRect(&rect);
        const UINT command = static_cast<UINT>(
            ::TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                               rect.left, rect.bottom, m_hWnd, NULL));
        m_pressed = FALSE;
        Invalidate();
        UpdateWindow();
        // A dismissed menu chooses nothing, and nothing is posted.
        if (command != 0 && m_menuOwner != NULL)
            ::PostMessageW(m_menuOwner, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    } else if (!m_link.IsEmpty()) {
        SHELLEXECUTEINFOW execute = {};
        execute.cbSize = sizeof execute;
        execute.fMask = SEE_MASK_FLAG_NO_UI;
        execute.hwnd = m_hWnd;
        execute.lpVerb = L"open";
        execute.lpFile = m_link.GetString();
        execute.nShow = SW_SHOWMAXIMIZED;
        ::ShellExecuteExW(&execute);
    }
    // The parent hears of the click as well.
    return FALSE;
}

// ---- Drawing ----

void CIconButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const UINT state = lpDrawItemStruct->itemState;
    const BOOL selected = (state & ODS_SELECTED) != 0;
    const BOOL pushed = m_checkBox ? (selected || m_checked) : (selected || m_pressed);
    m_focused = (state & ODS_FOCUS) != 0;
    const BOOL disabled = (state & ODS_DISABLED) != 0;
    const CRect itemRect = lpDrawItemStruct->rcItem;
    m_paintPushed = pushed;

    ::SetBkMode(pDC->m_hDC, TRANSPARENT);
    PaintBackground(pDC, itemRect);
    PaintBorder(pDC, itemRect);
    CString caption;
    GetWindowText(caption);
    const BOOL hasCaption = !caption.IsEmpty();
    CRect captionRect = itemRect;
    if (m_imageIn.bitmap != NULL) {
        ::SetBkColor(pDC->m_hDC, RGB(255, 255, 255));
        PaintBitmap(pDC, hasCaption, itemRect, captionRect, pushed, disabled);
    }
    if (hasCaption)
        PaintCaption(pDC, hasCaption, itemRect, captionRect, pushed, disabled);
}

void CIconButton::PaintBackground(CDC* pDC, const CRect& rect)
{
    const int entry = (m_hover || m_paintPushed) ? kColorBackgroundIn
                      : m_focused                ? kColorBackgroundFocus
                                                 : kColorBackgroundOut;
    pDC->FillSolidRect(&rect, m_colors[entry]);
}

void CIconButton::PaintBorder(CDC* pDC, const CRect& rect)
{
    if (!m_borderOnHover)
        return;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_paintPushed)
        pDC->Draw3dRect(&rect, shadow, light);
    else if (m_hover)
        pDC->Draw3dRect(&rect, light, shadow);
}

void CIconButton::PaintBitmap(CDC* pDC, BOOL hasCaption, const CRect& itemRect, CRect& captionRect,
                              BOOL pushed, BOOL disabled)
{
    const BOOL showIn = m_checkBox ? pushed : (pushed || m_hover);
    const Image& image = (showIn || m_imageOut.bitmap == NULL) ? m_imageIn : m_imageOut;
    const int w = image.width;
    const int h = image.height;
    CRect imageRect;
    if (hasCaption) {
        imageRect.left = itemRect.left + m_imageMargin;
        captionRect.left += m_imageMargin + w;
    } else {
        imageRect.left = itemRect.left + (itemRect.Width() - w) / 2;
    }
    imageRect.top = itemRect.top + (itemRect.Height() - h) / 2;
    if (pushed && !m_checkBox) {
        imageRect.left += m_pushedOffset.cx;
        imageRect.top += m_pushedOffset.cy;
    }
    imageRect.right = imageRect.left + w;
    imageRect.bottom = imageRect.top + h;

    HDC dc = pDC->m_hDC;
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(source, image.mask);
    // Mask white (transparent) keeps the button, black clears it for the bitmap laid over with SRCPAINT.
    const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkColor(dc, RGB(255, 255, 255));
    if (!disabled) {
        ::BitBlt(dc, imageRect.left, imageRect.top, w, h, source, 0, 0, SRCAND);
        ::SelectObject(source, image.bitmap);
        ::BitBlt(dc, imageRect.left, imageRect.top, w, h, source, 0, 0, SRCPAINT);
    } else {
        HDC work = ::CreateCompatibleDC(dc);
        HBITMAP picture = ::CreateCompatibleBitmap(dc, w, h);
        HGDIOBJ oldPicture = ::SelectObject(work, picture);
        const RECT all = {0, 0, w, h};
        ::FillRect(work, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::SetTextColor(work, RGB(0, 0, 0));
        ::SetBkColor(work, RGB(255, 255, 255));
        ::BitBlt(work, 0, 0, w, h, source, 0, 0, SRCAND);
        ::SelectObject(source, image.bitmap);
        ::BitBlt(work, 0, 0, w, h, source, 0, 0, SRCPAINT);
        ::SelectObject(work, oldPicture);
        ::DrawStateW(dc, NULL, NULL, reinterpret_cast<LPARAM>(picture), 0, imageRect.left, imageRect.top, w,
                     h, DST_BITMAP | DSS_DISABLED);
        ::DeleteObject(picture);
        ::DeleteDC(work);
    }
    ::SetTextColor(dc, oldText);
    ::SelectObject(source, old);
    ::DeleteDC(source);
}

void CIconButton::PaintCaption(CDC* pDC, BOOL, const CRect&, CRect& captionRect, BOOL pushed, BOOL disabled)
{
    CString caption;
    GetWindowText(caption);
    if (pushed && !m_checkBox)
        captionRect.OffsetRect(m_pushedOffset.cx, m_pushedOffset.cy);
    HDC dc = pDC->m_hDC;
    CRect centred = captionRect;
    ::DrawTextW(dc, caption.GetString(), caption.GetLength(), &centred,
                DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    centred.OffsetRect((captionRect.Width() - centred.Width()) / 2,
                       (captionRect.Height() - centred.Height()) / 2);
    ::SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_WORDBREAK | DT_CENTER;
    if (disabled) {
        CRect raised = centred;
        raised.OffsetRect(1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::DrawTextW(dc, caption.GetString(), caption.GetLength(), &raised, format);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
        ::DrawTextW(dc, caption.GetString(), caption.GetLength(), &centred, format);
        return;
    }
    const int state = (m_hover || pushed) ? kColorBackgroundIn
                      : m_focused         ? kColorBackgroundFocus
                                          : kColorBackgroundOut;
    ::SetTextColor(dc, m_colors[state + 1]);
    ::SetBkColor(dc, m_colors[state]);
    ::DrawTextW(dc, caption.GetString(), caption.GetLength(), &centred, format);
}
