#include "picture_view.h"

#include <algorithm>
#include <climits>

#include "preview_hand_over.h"
#include "preview_image.h"

IMPLEMENT_DYNCREATE(CTextView, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CTextView, CView)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

namespace {

// HIMETRIC units are hundredths of a millimetre: 2540 to the inch.
constexpr int kHimetricPerInch = 2540;

int HimetricToPixels(int himetric, int pixelsPerInch)
{
    // In 64 bits: a crafted metafile may claim a size near the largest int.
    const long long pixels =
        (static_cast<long long>(himetric) * pixelsPerInch + kHimetricPerInch / 2) / kHimetricPerInch;
    return static_cast<int>(pixels > INT_MAX ? INT_MAX : pixels < INT_MIN ? INT_MIN : pixels);
}

} // namespace

CTextView::CTextView() = default;

CTextView::~CTextView()
{
    if (m_pPicture != NULL)
        m_pPicture->Release();
}

int CTextView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver != NULL && !LoadPicture(pHandOver->PreviewPath()))
        pHandOver->m_bPreviewOk = FALSE;
    return 0;
}

int CTextView::LoadPicture(const CString& strPath)
{
    // OLE sets up a raster picture (an icon, or whatever picture the file really holds) at the size its
    // header declares.
    if (!PictureFileFitsLimit(strPath))
        return 0;
    IPicture* pPicture = NULL;
    BSTR path = ::SysAllocString(strPath);
    const HRESULT result =
        ::OleLoadPicturePath(path, NULL, 0, 0, IID_IPicture, reinterpret_cast<void**>(&pPicture));
    ::SysFreeString(path);
    if (FAILED(result) || pPicture == NULL)
        return 0;
    if (m_pPicture != NULL)
        m_pPicture->Release();
    m_pPicture = pPicture;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    m_pPicture->get_Width(&width);
    m_pPicture->get_Height(&height);
    m_nHimetricWidth = static_cast<int>(width);
    m_nHimetricHeight = static_cast<int>(height);
    HDC screen = ::GetDC(NULL);
    m_nWidth = HimetricToPixels(m_nHimetricWidth, ::GetDeviceCaps(screen, LOGPIXELSX));
    m_nHeight = HimetricToPixels(m_nHimetricHeight, ::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(NULL, screen);
    return 1;
}

void CTextView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    CView::OnPrepareDC(pDC, pInfo);
    // One logical unit to one screen pixel.
    CDC display;
    display.CreateIC(L"DISPLAY", NULL, NULL, NULL);
    const CSize pixelsPerInch(display.GetDeviceCaps(LOGPIXELSX), display.GetDeviceCaps(LOGPIXELSY));
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(pixelsPerInch);
    pDC->SetViewportExt(pixelsPerInch);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
}

void CTextView::OnDraw(CDC* pDC)
{
    if (m_pPicture == NULL)
        return;
    CRect rectTarget;
    GetClientRect(&rectTarget);
    rectTarget.left += 200;
    rectTarget.top += 10;
    rectTarget.right -= 400;
    rectTarget.bottom -= 20;

    OLE_HANDLE paletteHandle = 0;
    HPALETTE hOldPalette = NULL;
    if (SUCCEEDED(m_pPicture->get_hPal(&paletteHandle)) && paletteHandle != 0) {
        hOldPalette = ::SelectPalette(
            pDC->GetSafeHdc(), reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(paletteHandle)), FALSE);
        ::RealizePalette(pDC->GetSafeHdc());
    }
    DWORD attributes = 0;
    if (FAILED(m_pPicture->get_Attributes(&attributes)) || (attributes & PICTURE_TRANSPARENT) != 0) {
        // Through a bitmap, stretched so that the target's right and bottom are its width and height. The
        // bitmap is the picture's size but no larger than that, whatever size the file claims, and is made
        // once for the view's size, not on every paint.
        const CSize sizeRendered(std::max(1, std::min(m_nWidth, static_cast<int>(rectTarget.right))),
                                 std::max(1, std::min(m_nHeight, static_cast<int>(rectTarget.bottom))));
        CDC memoryDc;
        memoryDc.CreateCompatibleDC(pDC);
        if (m_rendered.GetSafeHandle() == NULL || sizeRendered != m_sizeRendered) {
            m_rendered.DeleteObject();
            m_sizeRendered = CSize(0, 0);
            if (m_rendered.CreateCompatibleBitmap(pDC, sizeRendered.cx, sizeRendered.cy)) {
                m_sizeRendered = sizeRendered;
                CBitmap* pOld = memoryDc.SelectObject(&m_rendered);
                m_pPicture->Render(memoryDc.GetSafeHdc(), 0, 0, sizeRendered.cx, sizeRendered.cy, 0,
                                   m_nHimetricHeight, m_nHimetricWidth, -m_nHimetricHeight, NULL);
                memoryDc.SelectObject(pOld);
            }
        }
        if (m_rendered.GetSafeHandle() != NULL) {
            CBitmap* pOld = memoryDc.SelectObject(&m_rendered);
            pDC->StretchBlt(rectTarget.left, rectTarget.top, rectTarget.right, rectTarget.bottom, &memoryDc,
                            0, 0, m_sizeRendered.cx, m_sizeRendered.cy, SRCCOPY);
            memoryDc.SelectObject(pOld);
        }
    } else {
        m_pPicture->Render(pDC->GetSafeHdc(), 0, 0, m_nWidth, m_nHeight, 0, m_nHimetricHeight,
                           m_nHimetricWidth, -m_nHimetricHeight, NULL);
    }
    if (hOldPalette != NULL)
        ::SelectPalette(pDC->GetSafeHdc(), hOldPalette, FALSE);
}
