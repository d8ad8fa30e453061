#include "dfx_view.h"

#include <cstring>
#include <string>

#include "engine/recovery/core/engine_types.h"
#include "preview_hand_over.h"

IMPLEMENT_DYNCREATE(CDFXView, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CDFXView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()
// clang-format on

namespace {

// The path in the ANSI code page, as the library takes it; false when a character has no exact form
// there (the library would otherwise open a file of another name).
bool AnsiPath(const CString& strPath, std::string& ansi)
{
    const int length = strPath.GetLength();
    if (length == 0)
        return false;
    BOOL usedDefault = FALSE;
    const int size =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, strPath, length, NULL, 0, NULL, &usedDefault);
    if (size <= 0 || usedDefault)
        return false;
    ansi.assign(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, strPath, length, &ansi[0], size, NULL, &usedDefault);
    return !usedDefault;
}

} // namespace

BOOL CDFXView::IsTextDxf(const char* pStart, int nLength)
{
    // A binary DXF's signature line ends in a zero byte before any "SECTION".
    std::string text(pStart, static_cast<std::size_t>(nLength > 0 ? nLength : 0));
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return text.find("SECTION") != std::string::npos && text.find("HEADER") != std::string::npos;
}

int CDFXView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_canvas.m_pDrawing = &m_drawing;
    m_canvas.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_BLACKRECT, CRect(0, 0, 0, 0), this,
                    kCanvasId);
    CPreviewHandOver* pHandOver = PreviewHandOver();
    if (pHandOver == NULL)
        return 0;
    const CString strPath = pHandOver->PreviewPath();
    if (m_drawing.m_hDrawing != NULL)
        m_drawing.Destroy();
    if (!m_drawing.Create()) {
        pHandOver->m_bPreviewOk = FALSE;
        return 0;
    }
    const HWND hProgress = pHandOver->OpenProgress();
    const BOOL bLoaded = LoadDrawing(strPath, hProgress);
    pHandOver->CloseProgress();
    if (bLoaded && pHandOver->m_bPreviewOk) {
        FitCanvas();
        m_canvas.ShowWindow(SW_SHOW);
    }
    return 0;
}

// False when the file cannot be opened (the view stays blank); otherwise the load's result is the
// hand-over's preview flag.
BOOL CDFXView::LoadDrawing(const CString& strPath, HWND hProgress)
{
    CPreviewHandOver* pHandOver = PreviewHandOver();
    HANDLE hFile = ::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    char start[kSignatureBytes] = {};
    DWORD got = 0;
    if (!::ReadFile(hFile, start, kSignatureBytes, &got, NULL))
        got = 0;
    ::CloseHandle(hFile);
    const BOOL bAccepted = IsTextDxf(start, static_cast<int>(got)) && pHandOver->ScanMode() != kScanFileTrace;
    if (!bAccepted) {
        pHandOver->m_bPreviewOk = FALSE;
        return TRUE;
    }
    std::string ansi;
    if (!AnsiPath(strPath, ansi)) {
        pHandOver->m_bPreviewOk = FALSE;
        return TRUE;
    }
    BOOL bOk = FALSE;
    try {
        bOk = m_drawing.LoadFromFile(ansi.c_str(), hProgress);
    } catch (...) {
        bOk = FALSE;
    }
    pHandOver->m_bPreviewOk = bOk;
    return TRUE;
}

void CDFXView::FitCanvas()
{
    CRect rectCanvas;
    m_canvas.GetClientRect(&rectCanvas);
    m_drawing.InitView(0, 0, rectCanvas.Width(), rectCanvas.Height());
    m_drawing.ZoomExtents();
    m_canvas.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CDFXView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_canvas.GetSafeHwnd() == NULL)
        return;
    m_canvas.MoveWindow(0, 0, cx, cy);
    FitCanvas();
}

BOOL CDFXView::OnMouseWheel(UINT nFlags, short zDelta, CPoint point)
{
    if (m_drawing.IsLoaded()) {
        m_drawing.SetZoom(m_drawing.GetZoom() * (zDelta < 1 ? 2.0 / 3.0 : 1.5));
        m_canvas.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return CView::OnMouseWheel(nFlags, zDelta, point);
}

void CDFXView::OnDraw(CDC* /*pDC*/)
{
    // The canvas covers the view.
}
