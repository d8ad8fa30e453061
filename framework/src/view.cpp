// CView: a child window of a frame that shows its document; it draws through OnDraw, becomes the
// frame's active view when clicked and deletes itself when its window goes.
#include <afxpriv.h>

IMPLEMENT_DYNAMIC(CView, CWnd)

// clang-format off
BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()
// clang-format on

CView::CView() : m_pDocument(NULL) {}

CView::~CView()
{
    if (m_pDocument != NULL)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL) {
        AfxDeferRegisterClass(AFX_WNDFRAMEORVIEW_REG);
        cs.lpszClass = AFX_WNDFRAMEORVIEW_CLASS;
    }
    // The sunken edge of today's windows in place of a flat border.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    CCreateContext* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (pContext != NULL && pContext->m_pCurrentDoc != NULL)
        pContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != NULL && pFrame->GetActiveView() == this)
        pFrame->SetActiveView(NULL, FALSE);
    CWnd::OnDestroy();
}

void CView::PostNcDestroy()
{
    delete this;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument != NULL && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::OnPrepareDC(CDC*, CPrintInfo*) {}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate()
{
    OnUpdate(NULL, 0, NULL);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView*, CView*)
{
    if (bActivate && IsTopParentActive())
        SetFocus();
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    const int nResult = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT)
        return nResult;
    if (CFrameWnd* pFrame = GetParentFrame()) {
        HWND hWndFocus = ::GetFocus();
        if (pFrame->GetActiveView() == this && m_hWnd != hWndFocus && !::IsChild(m_hWnd, hWndFocus))
            OnActivateView(TRUE, this, this); // active already: only the focus comes back
        else
            pFrame->SetActiveView(this);
    }
    return nResult;
}

// Printing. Without a printer (as under Wine) the dialog fails and nothing is printed.

CPrintInfo::CPrintInfo()
    : m_pd{}, m_bDirect(FALSE), m_bPreview(FALSE), m_bContinuePrinting(TRUE), m_nCurPage(1),
      m_nNumPreviewPages(0), m_lpUserData(NULL), m_rectDraw(0, 0, 0, 0)
{
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.Flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION | PD_RETURNDC | PD_NOWARNING;
    m_pd.nFromPage = 1;
    m_pd.nToPage = 0xFFFF;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo()
{
    if (m_pd.hDevMode != NULL)
        ::GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames != NULL)
        ::GlobalFree(m_pd.hDevNames);
    if (m_pd.hDC != NULL)
        ::DeleteDC(m_pd.hDC);
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    if (pInfo == NULL)
        return FALSE;
    pInfo->m_pd.hwndOwner = GetTopLevelParent()->GetSafeHwnd();
    if (pInfo->m_pd.nMinPage > pInfo->m_pd.nMaxPage)
        pInfo->m_pd.nMaxPage = pInfo->m_pd.nMinPage;
    if (!::PrintDlg(&pInfo->m_pd))
        return FALSE;
    return pInfo->m_pd.hDC != NULL;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* pDC, CPrintInfo*)
{
    OnDraw(pDC);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

void CView::OnFilePrint()
{
    CPrintInfo printInfo;
    if (!OnPreparePrinting(&printInfo) || printInfo.m_pd.hDC == NULL)
        return;
    CDC dc;
    dc.Attach(printInfo.m_pd.hDC);
    CString title = m_pDocument != NULL ? m_pDocument->GetTitle() : CString();
    DOCINFO docInfo = {};
    docInfo.cbSize = sizeof(docInfo);
    docInfo.lpszDocName = title;
    OnBeginPrinting(&dc, &printInfo);
    if (::StartDoc(dc.m_hDC, &docInfo) > 0) {
        UINT nFrom = printInfo.GetFromPage(), nTo = printInfo.GetToPage();
        if (!(printInfo.m_pd.Flags & PD_PAGENUMS)) {
            nFrom = printInfo.GetMinPage();
            nTo = printInfo.GetMaxPage();
        }
        // A document without a page count prints its first page.
        for (printInfo.m_nCurPage = nFrom; printInfo.m_nCurPage <= nTo; ++printInfo.m_nCurPage) {
            printInfo.m_bContinuePrinting = printInfo.GetMaxPage() != 0xFFFF || printInfo.m_nCurPage == 1;
            OnPrepareDC(&dc, &printInfo);
            if (!printInfo.m_bContinuePrinting || ::StartPage(dc.m_hDC) <= 0)
                break;
            printInfo.m_rectDraw.SetRect(0, 0, ::GetDeviceCaps(dc.m_hDC, HORZRES),
                                         ::GetDeviceCaps(dc.m_hDC, VERTRES));
            OnPrint(&dc, &printInfo);
            if (::EndPage(dc.m_hDC) <= 0)
                break;
        }
        ::EndDoc(dc.m_hDC);
    }
    OnEndPrinting(&dc, &printInfo);
    dc.Detach(); // CPrintInfo deletes it
}

void CView::OnFilePrintPreview() {}
