// MDI frames, their children and the multiple-document template: the MDI client in the frame's
// layout, commands routed to the active child first, shared menus put on the frame as children
// are activated, and a document with a child frame for every open.
#include <afxext.h>
#include <afxpriv.h>

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

// clang-format off
BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_WM_SIZE()
    ON_COMMAND_EX(ID_WINDOW_ARRANGE, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_CASCADE, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_HORZ, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
    ON_COMMAND_EX(ID_NEXT_PANE, OnMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
    ON_UPDATE_COMMAND_UI(ID_NEXT_PANE, OnUpdateMDIWindowCmd)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivate)
END_MESSAGE_MAP()
// clang-format on

// The frame.

CMDIFrameWnd::CMDIFrameWnd() : m_hWndMDIClient(NULL), m_hMenuWindow(NULL) {}

CMDIFrameWnd::~CMDIFrameWnd() = default;

BOOL CMDIFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                             CCreateContext* pContext)
{
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    m_hMenuWindow = GetWindowMenuPopup(m_hMenuDefault);
    return TRUE;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar)
{
    if (hMenuBar == NULL)
        return NULL;
    const int nCount = ::GetMenuItemCount(hMenuBar);
    for (int i = nCount - 1; i >= 0; --i) {
        HMENU hPopup = ::GetSubMenu(hMenuBar, i);
        if (hPopup == NULL)
            continue;
        for (int j = 0; j < ::GetMenuItemCount(hPopup); ++j) {
            const UINT nID = ::GetMenuItemID(hPopup, j);
            if (nID >= ID_WINDOW_NEW && nID <= ID_WINDOW_SPLIT)
                return hPopup;
        }
    }
    return nCount >= 2 ? ::GetSubMenu(hMenuBar, nCount - 2) : NULL;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*)
{
    CMenu* pMenu = NULL;
    HMENU hMenu = ::GetMenu(m_hWnd);
    if (hMenu != NULL)
        pMenu = CMenu::FromHandle(GetWindowMenuPopup(hMenu));
    return CreateClient(lpcs, pMenu);
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT lpcs, CMenu* pWindowMenu)
{
    CLIENTCREATESTRUCT ccs = {};
    ccs.hWindowMenu = pWindowMenu->GetSafeHmenu();
    ccs.idFirstChild = AFX_IDM_FIRST_MDICHILD;
    DWORD dwStyle = WS_VISIBLE | WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES;
    if (lpcs != NULL)
        dwStyle |= lpcs->style & (WS_HSCROLL | WS_VSCROLL);
    m_hWndMDIClient = ::CreateWindowEx(WS_EX_CLIENTEDGE, L"MDICLIENT", NULL, dwStyle, 0, 0, 0, 0, m_hWnd,
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
                                       AfxGetInstanceHandle(), &ccs);
    return m_hWndMDIClient != NULL;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProc(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    // The children's system keys (Ctrl+F4, Ctrl+F6) first.
    if (m_hWndMDIClient != NULL && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST &&
        ::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
        return TRUE;
    return CFrameWnd::PreTranslateMessage(pMsg);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    BOOL bMaximized = FALSE;
    HWND hWnd = m_hWndMDIClient != NULL
                    ? reinterpret_cast<HWND>(::SendMessage(m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                                           reinterpret_cast<LPARAM>(&bMaximized)))
                    : NULL;
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    CMDIChildWnd* pChild = (pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)))
                               ? static_cast<CMDIChildWnd*>(pWnd)
                               : NULL;
    if (pbMaximized != NULL)
        *pbMaximized = pChild != NULL && bMaximized;
    return pChild;
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pWndActivate->GetSafeHwnd()), 0);
}

void CMDIFrameWnd::MDIMaximize(CWnd* pWnd)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(pWnd->GetSafeHwnd()), 0);
}

void CMDIFrameWnd::MDIRestore(CWnd* pWnd)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(pWnd->GetSafeHwnd()), 0);
}

void CMDIFrameWnd::MDINext()
{
    ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 0);
}

void CMDIFrameWnd::MDIPrev()
{
    ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 1);
}

void CMDIFrameWnd::MDICascade()
{
    ::SendMessage(m_hWndMDIClient, WM_MDICASCADE, 0, 0);
}

void CMDIFrameWnd::MDICascade(int nType)
{
    ::SendMessage(m_hWndMDIClient, WM_MDICASCADE, static_cast<WPARAM>(nType), 0);
}

void CMDIFrameWnd::MDITile()
{
    ::SendMessage(m_hWndMDIClient, WM_MDITILE, 0, 0);
}

void CMDIFrameWnd::MDITile(int nType)
{
    ::SendMessage(m_hWndMDIClient, WM_MDITILE, static_cast<WPARAM>(nType), 0);
}

void CMDIFrameWnd::MDIIconArrange()
{
    ::SendMessage(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0);
}

HMENU CMDIFrameWnd::MDISetMenu(HMENU hFrameMenu, HMENU hWindowMenu)
{
    const HMENU hOld = reinterpret_cast<HMENU>(::SendMessage(m_hWndMDIClient, WM_MDISETMENU,
                                                             reinterpret_cast<WPARAM>(hFrameMenu),
                                                             reinterpret_cast<LPARAM>(hWindowMenu)));
    ::DrawMenuBar(m_hWnd);
    return hOld;
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* pActive = MDIGetActive();
    return pActive != NULL ? static_cast<CFrameWnd*>(pActive) : this;
}

CDocument* CMDIFrameWnd::GetActiveDocument()
{
    CMDIChildWnd* pActive = MDIGetActive();
    return pActive != NULL ? pActive->GetActiveDocument() : CFrameWnd::GetActiveDocument();
}

HACCEL CMDIFrameWnd::GetDefaultAccelerator()
{
    CMDIChildWnd* pActive = MDIGetActive();
    HACCEL hAccel = pActive != NULL ? pActive->GetDefaultAccelerator() : NULL;
    return hAccel != NULL ? hAccel : m_hAccelTable;
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (CMDIChildWnd* pActive = MDIGetActive()) {
        pActive->OnUpdateFrameMenu(TRUE, pActive, hMenuAlt);
        return;
    }
    HMENU hMenu = hMenuAlt != NULL ? hMenuAlt : m_hMenuDefault;
    if (hMenu != NULL && ::GetMenu(m_hWnd) != hMenu)
        MDISetMenu(hMenu, GetWindowMenuPopup(hMenu));
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    CMDIChildWnd* pActive = MDIGetActive();
    if (pActive != NULL && pActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::OnMDIWindowCmd(UINT nID)
{
    switch (nID) {
    case ID_WINDOW_ARRANGE:
        MDIIconArrange();
        break;
    case ID_WINDOW_CASCADE:
        MDICascade();
        break;
    case ID_WINDOW_TILE_HORZ:
        MDITile(MDITILE_HORIZONTAL);
        break;
    case ID_WINDOW_TILE_VERT:
        MDITile(MDITILE_VERTICAL);
        break;
    case ID_NEXT_PANE:
        MDINext();
        break;
    default:
        return FALSE;
    }
    return TRUE;
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(MDIGetActive() != NULL);
}

void CMDIFrameWnd::OnSize(UINT nType, int, int)
{
    // The system would give the client the whole area; the layout leaves the bars theirs.
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
    CWnd::Default();
}

// The children.

CMDIChildWnd::CMDIChildWnd() : m_hMenuShared(NULL), m_hAccelShared(NULL), m_bOwnMenu(FALSE) {}

CMDIChildWnd::~CMDIChildWnd()
{
    if (m_bOwnMenu && m_hMenuShared != NULL)
        ::DestroyMenu(m_hMenuShared);
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style &= ~(FWS_PREFIXTITLE | FWS_ADDTOTITLE) | (cs.style & FWS_ADDTOTITLE);
    cs.dwExStyle |= WS_EX_MDICHILD;
    return TRUE;
}

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (pParentWnd == NULL) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != NULL && pMainWnd->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
            pParentWnd = static_cast<CMDIFrameWnd*>(pMainWnd);
    }
    if (pParentWnd == NULL || pParentWnd->m_hWndMDIClient == NULL) {
        PostNcDestroy();
        return FALSE;
    }
    m_strTitle = lpszWindowName;
    int x = rect.left, y = rect.top, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
    if (!::EqualRect(&rect, &rectDefault)) {
        cx = rect.right - rect.left;
        cy = rect.bottom - rect.top;
    }
    // The MDI client keeps the child's bookkeeping; a child is created through it.
    return CreateEx(WS_EX_MDICHILD, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, x, y, cx, cy,
                    pParentWnd->m_hWndMDIClient, NULL, pContext);
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                             CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString strFull;
    if (strFull.LoadString(nIDResource)) {
        const int nEnd = strFull.Find(L'\n');
        m_strTitle = nEnd >= 0 ? strFull.Left(nEnd) : strFull;
    }
    CMultiDocTemplate* pTemplate = NULL;
    if (pContext != NULL && pContext->m_pNewDocTemplate != NULL &&
        pContext->m_pNewDocTemplate->IsKindOf(RUNTIME_CLASS(CMultiDocTemplate)))
        pTemplate = static_cast<CMultiDocTemplate*>(pContext->m_pNewDocTemplate);
    if (pTemplate != NULL && pTemplate->m_hMenuShared != NULL) {
        m_hMenuShared = pTemplate->m_hMenuShared;
        m_hAccelShared = pTemplate->m_hAccelTable;
    } else {
        LPCTSTR lpszName = MAKEINTRESOURCE(nIDResource);
        m_hMenuShared = ::LoadMenu(AfxFindResourceHandle(lpszName, RT_MENU), lpszName);
        m_bOwnMenu = m_hMenuShared != NULL;
        m_hAccelShared = ::LoadAccelerators(AfxFindResourceHandle(lpszName, RT_ACCELERATOR), lpszName);
    }
    AfxDeferRegisterClass(AFX_WNDFRAMEORVIEW_REG);
    LPCTSTR lpszClass = GetIconWndClass(dwDefaultStyle, nIDResource);
    CMDIFrameWnd* pFrame = NULL;
    if (pParentWnd != NULL && pParentWnd->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
        pFrame = static_cast<CMDIFrameWnd*>(pParentWnd);
    const CString strTitle = m_strTitle;
    if (!Create(lpszClass, strTitle, dwDefaultStyle | WS_CHILD, rectDefault, pFrame, pContext))
        return FALSE;
    if (pContext == NULL)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    // The system passes the creation parameter inside its MDI creation structure.
    CREATESTRUCT cs = *lpcs;
    const MDICREATESTRUCT* pMcs = static_cast<const MDICREATESTRUCT*>(lpcs->lpCreateParams);
    cs.lpCreateParams = pMcs != NULL ? reinterpret_cast<LPVOID>(pMcs->lParam) : NULL;
    return CFrameWnd::OnCreate(&cs);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProc(m_hWnd, message, wParam, lParam);
}

HACCEL CMDIChildWnd::GetDefaultAccelerator()
{
    HACCEL hAccel = CFrameWnd::GetDefaultAccelerator();
    return hAccel != NULL ? hAccel : m_hAccelShared;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND hClient = ::GetParent(m_hWnd);
    CWnd* pFrame = hClient != NULL ? CWnd::FromHandlePermanent(::GetParent(hClient)) : NULL;
    return (pFrame != NULL && pFrame->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
               ? static_cast<CMDIFrameWnd*>(pFrame)
               : NULL;
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    CFrameWnd::ActivateFrame(nCmdShow);
    if (nCmdShow != SW_HIDE && nCmdShow != SW_MINIMIZE)
        MDIActivate();
}

void CMDIChildWnd::MDIDestroy()
{
    ::SendMessage(::GetParent(m_hWnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIActivate()
{
    ::SendMessage(::GetParent(m_hWnd), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIMaximize()
{
    ::SendMessage(::GetParent(m_hWnd), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIRestore()
{
    ::SendMessage(::GetParent(m_hWnd), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::OnUpdateFrameMenu(BOOL bActivate, CWnd* pActivateWnd, HMENU hMenuAlt)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame == NULL)
        return;
    if (hMenuAlt == NULL && bActivate) {
        CDocument* pDoc = GetActiveDocument();
        if (pDoc != NULL)
            hMenuAlt = pDoc->GetDefaultMenu();
    }
    if (hMenuAlt == NULL)
        hMenuAlt = m_hMenuShared;
    if (bActivate && hMenuAlt != NULL)
        pFrame->MDISetMenu(hMenuAlt, pFrame->GetWindowMenuPopup(hMenuAlt));
    else if (!bActivate && pActivateWnd == NULL && pFrame->m_hMenuDefault != NULL)
        pFrame->MDISetMenu(pFrame->m_hMenuDefault, pFrame->m_hMenuWindow);
}

LRESULT CMDIChildWnd::OnMDIActivate(WPARAM wParam, LPARAM lParam)
{
    Default();
    const HWND hActivate = reinterpret_cast<HWND>(lParam);
    const BOOL bActivate = hActivate == m_hWnd;
    CWnd* pActivate = CWnd::FromHandle(hActivate);
    // The newly active child puts its own menu; the last one to go puts the frame's back.
    if (bActivate || hActivate == NULL)
        OnUpdateFrameMenu(bActivate, hActivate != NULL ? pActivate : NULL, NULL);
    if (CView* pView = GetActiveView())
        pView->OnActivateView(bActivate, pView, pView);
    (void)wParam;
    return 0;
}

void CMDIChildWnd::OnDestroy()
{
    // The frame's menu follows whichever child is active once this one has gone.
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->m_nIdleFlags |= idleMenu;
    CFrameWnd::OnDestroy();
}

void CMDIChildWnd::OnSize(UINT nType, int cx, int cy)
{
    // DefMDIChildProc keeps the maximised state and the frame's caption in step.
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
    (void)cx;
    (void)cy;
}

// The template.

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                     CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_hMenuShared(NULL), m_hAccelTable(NULL),
      m_nUntitledCount(0)
{
    CMultiDocTemplate::LoadTemplate();
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    if (m_hMenuShared != NULL)
        ::DestroyMenu(m_hMenuShared);
}

void CMultiDocTemplate::LoadTemplate()
{
    CDocTemplate::LoadTemplate();
    LPCTSTR lpszName = MAKEINTRESOURCE(m_nIDResource);
    if (m_hMenuShared == NULL)
        m_hMenuShared = ::LoadMenu(AfxFindResourceHandle(lpszName, RT_MENU), lpszName);
    if (m_hAccelTable == NULL)
        m_hAccelTable = ::LoadAccelerators(AfxFindResourceHandle(lpszName, RT_ACCELERATOR), lpszName);
}

POSITION CMultiDocTemplate::GetFirstDocPosition() const
{
    return m_docList.GetHeadPosition();
}

CDocument* CMultiDocTemplate::GetNextDoc(POSITION& rPos) const
{
    return static_cast<CDocument*>(const_cast<CPtrList&>(m_docList).GetNext(rPos));
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    if (m_docList.Find(pDoc) == NULL)
        m_docList.AddTail(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (POSITION pos = m_docList.Find(pDoc))
        m_docList.RemoveAt(pos);
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString strDocName;
    if (!GetDocString(strDocName, docName) || strDocName.IsEmpty())
        strDocName.LoadString(AFX_IDS_UNTITLED);
    CString strTitle;
    strTitle.Format(L"%s%u", strDocName.GetString(), m_nUntitledCount + 1);
    pDocument->SetTitle(strTitle);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = CreateNewDocument();
    if (pDocument == NULL) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return NULL;
    }
    // The document must survive a frame that fails.
    const BOOL bAutoDelete = pDocument->m_bAutoDelete;
    pDocument->m_bAutoDelete = FALSE;
    CFrameWnd* pFrame = CreateNewFrame(pDocument, NULL);
    pDocument->m_bAutoDelete = bAutoDelete;
    if (pFrame == NULL) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        delete pDocument;
        return NULL;
    }
    if (lpszPathName == NULL) {
        SetDefaultTitle(pDocument);
        if (!bMakeVisible)
            pDocument->m_bEmbedded = TRUE;
        if (!pDocument->OnNewDocument()) {
            pFrame->DestroyWindow(); // and with its last view the document
            return NULL;
        }
        ++m_nUntitledCount;
    } else {
        CWaitCursor wait;
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            pFrame->DestroyWindow();
            return NULL;
        }
        pDocument->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}
