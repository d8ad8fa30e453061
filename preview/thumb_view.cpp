#include "thumb_view.h"

#include "preview_hand_over.h"
#include "preview_image.h"

IMPLEMENT_DYNCREATE(CThumbView, CListView)

// clang-format off
BEGIN_MESSAGE_MAP(CThumbView, CListView)
END_MESSAGE_MAP()
// clang-format on

CThumbView::CThumbView() = default;

BOOL CThumbView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_AUTOARRANGE | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
    return CListView::PreCreateWindow(cs);
}

void CThumbView::CreateImageList()
{
    m_imageList.DeleteImageList();
    m_imageList.Create(kThumbWidth, kThumbHeight, ILC_COLOR24, 0, 1);
    GetListCtrl().SetImageList(&m_imageList, LVSIL_NORMAL);
}

void CThumbView::OnInitialUpdate()
{
    CListView::OnInitialUpdate();
    CreateImageList();
}

void CThumbView::AddThumbnail()
{
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL)
        return;
    const CString strFolder = pHandOver->ImageFolder();
    const std::vector<CString> names = pHandOver->ImageNames();
    CListCtrl& list = GetListCtrl();
    CreateImageList();
    ImageList_Remove(m_imageList.GetSafeHandle(), -1);
    list.DeleteAllItems();
    m_imageList.SetImageCount(static_cast<UINT>(names.size()));

    SetRedraw(FALSE);
    for (int index = 0; index < static_cast<int>(names.size()); ++index) {
        CString strNumber;
        strNumber.Format(L"%d", index + 1);
        list.InsertItem(index, strNumber, index);
    }
    SetRedraw(TRUE);

    CBrush frameBrush;
    frameBrush.CreateSolidBrush(RGB(0, 0, 0));
    CBrush backgroundBrush;
    backgroundBrush.CreateStockObject(WHITE_BRUSH);
    CClientDC viewDc(this);
    const CRect rectCell(0, 0, kThumbWidth, kThumbHeight);
    for (int index = 0; index < static_cast<int>(names.size()); ++index) {
        const CString strPath = strFolder + L"\\" + names[static_cast<std::size_t>(index)];
        const int type = ImageTypeOfPath(strPath);
        if (type == kImageNone)
            continue;
        CPreviewImage image(strPath, type);
        if (!image.IsValid())
            continue;
        // Landscape pictures (up to 4:3) take the cell's width, taller ones its height; the other side
        // is centred.
        const float ratio = static_cast<float>(image.GetHeight()) / static_cast<float>(image.GetWidth());
        int width = kThumbWidth, height = kThumbHeight, x = 0, y = 0;
        if (ratio <= 0.75f) {
            height = static_cast<int>(ratio * kThumbWidth);
            y = (kThumbHeight - height) / 2;
        } else {
            width = static_cast<int>(kThumbHeight / ratio);
            x = (kThumbWidth - width) / 2;
        }
        CDC memoryDc;
        memoryDc.CreateCompatibleDC(&viewDc);
        CBitmap bitmap;
        bitmap.CreateCompatibleBitmap(&viewDc, kThumbWidth, kThumbHeight);
        CBitmap* pOld = memoryDc.SelectObject(&bitmap);
        memoryDc.FillRect(rectCell, &backgroundBrush);
        image.Stretch(memoryDc.GetSafeHdc(), x, y, width, height, SRCCOPY);
        memoryDc.FrameRect(rectCell, &frameBrush);
        memoryDc.SelectObject(pOld);
        m_imageList.Replace(index, &bitmap, NULL);
        list.RedrawItems(index, index);
    }
    frameBrush.DeleteObject();
    backgroundBrush.DeleteObject();
    Invalidate();
}
