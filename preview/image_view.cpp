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

int CImage_View::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    const CString strPath = PreviewPathOfDocument();
    const int type = ImageTypeOfPath(strPath);
    if (type == kImageNone)
        return 0;
    CPreviewImage image(strPath, type);
    if (image.GetWidth() == 0 || image.GetHeight() == 0)
        ReportFailure();
    image.Destroy();
    return 0;
}

void CImage_View::OnDraw(CDC* pDC)
{
    const CString strPath = PreviewPathOfDocument();
    const int type = ImageTypeOfPath(strPath);
    if (type == kImageNone)
        return;
    CPreviewImage image(strPath, type);
    if (image.GetWidth() == 0 || image.GetHeight() == 0) {
        ReportFailure();
        return;
    }
    // The width is always 200; the height grows by 100 for each unit of the height-to-width ratio, and
    // the picture is centred on a line 60 pixels down.
    const float ratio = static_cast<float>(image.GetHeight()) / static_cast<float>(image.GetWidth());
    const int scaled = static_cast<int>(ratio * 100);
    CRect rectClient;
    GetClientRect(&rectClient);
    image.Stretch(pDC->GetSafeHdc(), rectClient.Width() / 2 - 100, (120 - scaled) / 2, 200, scaled + 100,
                  SRCCOPY);
    image.Destroy();
}
