#include "image_view.h"

#include "preview_hand_over.h"
#include "preview_image.h"

IMPLEMENT_DYNCREATE(CImage_View, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CImage_View, CView)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

namespace {

CString PreviewPathOfDocument()
{
    CPreviewHandOver* pHandOver = PreviewHandOver();
    return pHandOver != NULL ? pHandOver->PreviewPath() : CString();
}

void ReportFailure()
{
    if (CPreviewHandOver* pHandOver = PreviewHandOver())
        pHandOver->m_bPreviewOk = FALSE;
}

} // namespace

namespace {

// The picture is drawn 200 pixels wide and 100 + 100 * height / width high.
constexpr int kDrawnWidth = 200;

int DrawnHeight(int width, int height)
{
    const float ratio = static_cast<float>(height) / static_cast<float>(width);
    return static_cast<int>(ratio * 100) + 100;
}

} // namespace

int CImage_View::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    const CString strPath = PreviewPathOfDocument();
    const int type = ImageTypeOfPath(strPath);
    if (type == kImageNone)
        return 0;
    m_image.Load(strPath, type);
    if (m_image.GetWidth() == 0 || m_image.GetHeight() == 0) {
        ReportFailure();
        return 0;
    }
    // Kept at twice the drawn size at most, so that a large picture holds no more memory than the pane
    // shows.
    m_nDrawnHeight = DrawnHeight(m_image.GetWidth(), m_image.GetHeight());
    m_image.ReduceTo(2 * kDrawnWidth, 2 * m_nDrawnHeight);
    return 0;
}

void CImage_View::OnDraw(CDC* pDC)
{
    if (m_image.GetWidth() == 0 || m_image.GetHeight() == 0)
        return;
    // The picture is centred on a line 60 pixels down.
    CRect rectClient;
    GetClientRect(&rectClient);
    m_image.Stretch(pDC->GetSafeHdc(), rectClient.Width() / 2 - kDrawnWidth / 2,
                    (120 - (m_nDrawnHeight - 100)) / 2, kDrawnWidth, m_nDrawnHeight, SRCCOPY);
}
