#include "wizard_views.h"

IMPLEMENT_DYNAMIC(CWizardStepView, CView)

void CWizardStepView::LayoutStepRow(int cx, int cy, CWnd& forward, CWnd& stop, CWnd& back, CWnd* pHome,
                                    CWnd& splitter)
{
    forward.MoveWindow(cx - 129, cy - 32, 74, 26);
    stop.MoveWindow(cx - 129, cy - 32, 74, 26);
    back.MoveWindow(cx - 213, cy - 32, 74, 26);
    if (pHome != NULL)
        pHome->MoveWindow(cx - 297, cy - 32, 74, 26);
    splitter.MoveWindow(0, 0, cx, cy - 50 > 0 ? cy - 50 : 0);
}

void CWizardStepView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(248, 250, 252));
}
