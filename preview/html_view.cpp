#include "html_view.h"

#include "empty_child_dialog.h"
#include "office_processes.h"

IMPLEMENT_DYNCREATE(CHtml_View, CHtmlView)

BEGIN_MESSAGE_MAP(CHtml_View, CHtmlView)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CHtml_View::CHtml_View() : m_pOverlay(NULL) {}

CHtml_View::~CHtml_View()
{
    delete m_pOverlay;
    // An Excel that showed a workbook here is the preview's own, for the document view to end.
    RecordProcessesStartedByPreview(L"XLMain");
}

int CHtml_View::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CHtmlView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_pOverlay = new CEmptyChildDlg(this);
    if (m_pOverlay->Create(this))
        m_pOverlay->ShowWindow(SW_SHOW);
    return 0;
}

void CHtml_View::OnSize(UINT nType, int cx, int cy)
{
    CHtmlView::OnSize(nType, cx, cy);
    if (m_pOverlay != NULL && ::IsWindow(m_pOverlay->GetSafeHwnd())) {
        CRect rect;
        GetClientRect(&rect);
        rect.right -= kOverlayMargin;
        rect.bottom -= kOverlayMargin;
        m_pOverlay->MoveWindow(rect);
        m_pOverlay->SetFocus();
    }
}
