#include "wizard_views.h"

IMPLEMENT_DYNAMIC(CWizardStepView, CView)

void CWizardStepView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(248, 250, 252));
}
