#include "wizard_views.h"

#include "hover_buttons.h"
#include "resource.h"
#include "scan_worker_control.h"

IMPLEMENT_DYNAMIC(CWizardStepView, CView)

namespace {

// Draws a bitmap resource at (x, y), stretched to width × height where they are positive; its own size
// comes back.
CSize DrawBitmap(CDC& dc, UINT id, int x, int y, int width = 0, int height = 0)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(id))
        return CSize(0, 0);
    BITMAP info = {};
    bitmap.GetBitmap(&info);
    CDC source;
    source.CreateCompatibleDC(&dc);
    CBitmap* pOld = source.SelectObject(&bitmap);
    if (width <= 0)
        width = info.bmWidth;
    if (height <= 0)
        height = info.bmHeight;
    if (width == info.bmWidth && height == info.bmHeight)
        dc.BitBlt(x, y, width, height, &source, 0, 0, SRCCOPY);
    else
        dc.StretchBlt(x, y, width, height, &source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    source.SelectObject(pOld);
    return CSize(info.bmWidth, info.bmHeight);
}

CSize BitmapSize(UINT id)
{
    CBitmap bitmap;
    BITMAP info = {};
    if (!bitmap.LoadBitmap(id) || !bitmap.GetBitmap(&info))
        return CSize(0, 0);
    return CSize(info.bmWidth, info.bmHeight);
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CWizardStepView, CView)
    ON_WM_DESTROY()
    ON_WM_SIZE()
END_MESSAGE_MAP()
// clang-format on

BOOL CWizardStepView::IsWorkerEndTick(UINT_PTR nIDEvent)
{
    if (nIDEvent != kWorkerTimer) {
        CView::OnTimer(nIDEvent);
        return FALSE;
    }
    return CScanWorkerControl::HasEnded();
}

void CWizardStepView::EndWorkerWatch()
{
    KillTimer(kWorkerTimer);
    CScanWorkerControl::Release();
}

CWizardStepView::StepRow CWizardStepView::GetStepRow()
{
    return {};
}

void CWizardStepView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    const StepRow row = GetStepRow();
    if (row.pForward != NULL && row.pForward->GetSafeHwnd() != NULL)
        LayoutStepRow(cx, cy, *row.pForward, *row.pStop, *row.pBack, row.pHome, *row.pSplitter);
}

void CWizardStepView::OnDestroy()
{
    KillTimer(kWorkerTimer);
    CView::OnDestroy();
}

void CWizardStepView::LayoutStepRow(int cx, int cy, CWnd& forward, CWnd& stop, CWnd& back, CWnd* pHome,
                                    CWnd& splitter)
{
    forward.MoveWindow(cx - 129, cy - 32, 74, 26);
    stop.MoveWindow(cx - 129, cy - 32, 74, 26);
    back.MoveWindow(cx - 213, cy - 32, 74, 26);
    // Home is reached through its command alone: the row has no room for it.
    if (pHome != NULL)
        pHome->MoveWindow(0, 0, 0, 0);
    splitter.MoveWindow(0, 0, cx, cy - 50 > 0 ? cy - 50 : 0);
}

void CWizardStepView::CreateSummaryFont(CFont& font)
{
    font.CreateFont(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

void CWizardStepView::CreateStepButtons(std::initializer_list<StepButtonSpec> specs, DWORD style, bool titled)
{
    for (const StepButtonSpec& spec : specs) {
        spec.pButton->Create(titled ? spec.tip : L"", style, CRect(0, 0, 100, 100), this, spec.command);
        spec.pButton->LoadBitmaps(spec.normal, spec.hover);
        spec.pButton->SetTooltipText(spec.tip);
    }
}

void CWizardStepView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(248, 250, 252));
}

void CWizardStepView::DrawStepHeader(CDC& dc, const CRect& client, UINT leftHeader, int& leftWidth,
                                     int& rightX)
{
    DrawBitmap(dc, IDB_DRIVE_BACKGROUND, 0, 0, client.Width(), client.Height());
    leftWidth = DrawBitmap(dc, leftHeader, 0, 0).cx;
    rightX = client.Width() - BitmapSize(IDB_DRIVE_HEADER_RIGHT).cx;
    DrawBitmap(dc, IDB_DRIVE_HEADER_RIGHT, rightX, 0);
    const CSize middle = BitmapSize(IDB_DRIVE_HEADER_MIDDLE);
    if (rightX > leftWidth && middle.cy > 0)
        DrawBitmap(dc, IDB_DRIVE_HEADER_MIDDLE, leftWidth, 0, rightX - leftWidth, middle.cy);
}
