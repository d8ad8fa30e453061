// The results view's preview host: a view of the frame's active document, made through the frame like
// every view, then laid out by the inner splitter bar below the list.
#include "main_preview_view.h"
#include "results_resource_ids.h"
#include "results_view.h"

bool CThirdView_HDD::CreatePreviewHost()
{
    CFrameWnd* pFrame = GetParentFrame();
    CWnd* pParent = pFrame != NULL ? static_cast<CWnd*>(pFrame) : static_cast<CWnd*>(this);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CMainPreviewView);
    context.m_pCurrentDoc = pFrame != NULL ? pFrame->GetActiveDocument() : NULL;
    if (context.m_pCurrentDoc == NULL)
        context.m_pCurrentDoc = GetDocument();
    m_pPreviewHost =
        static_cast<CMainPreviewView*>(CFrameWnd::CreateView(&context, IDC_RESULTS_PREVIEW, pParent));
    if (m_pPreviewHost == NULL)
        return false;
    // A plain child: the splitter bar draws the only edge between the list and the pane.
    m_pPreviewHost->ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
    m_pPreviewHost->SendMessage(WM_INITIALUPDATE);
    m_pPreviewHost->ShowWindow(SW_SHOW);
    return true;
}
