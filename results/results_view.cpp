#include "results_view.h"

#include "engine/recovery/snapshot/snapshot_document.h"

namespace {

// The result list's window id inside the view.
constexpr UINT kResultListId = 1001;

} // namespace

IMPLEMENT_DYNCREATE(CThirdView_HDD, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CThirdView_HDD, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()
// clang-format on

CThirdView_HDD::CThirdView_HDD() = default;
CThirdView_HDD::~CThirdView_HDD() = default;

int CThirdView_HDD::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_resultList.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
                             CRect(0, 0, 0, 0), this, kResultListId))
        return -1;
    return 0;
}

void CThirdView_HDD::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_resultList.GetSafeHwnd() != NULL)
        m_resultList.MoveWindow(cx / 4, 0, cx - cx / 4, cy / 2);
}

void CThirdView_HDD::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(255, 255, 255));
}

int CThirdView_HDD::GetResultColumnCount()
{
    CHeaderCtrl* pHeader = m_resultList.GetHeaderCtrl();
    return pHeader != NULL ? pHeader->GetItemCount() : 0;
}

void CThirdView_HDD::SetResultColumns(std::span<const ResultColumn> columns)
{
    for (int count = GetResultColumnCount(); count > 0; --count)
        m_resultList.DeleteColumn(0);
    int index = 0;
    for (const ResultColumn& column : columns) {
        m_resultList.InsertColumn(index++, reinterpret_cast<const wchar_t*>(column.title), LVCFMT_LEFT,
                                  column.width);
    }
}
