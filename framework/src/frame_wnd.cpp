// CFrameWnd: creation from resources, the view it holds, command routing, accelerators, menus
// brought up to date when they open, status messages and the work it leaves for idle time.
#include <afxext.h>
#include <afxpriv.h>
#include <commctrl.h>

#include <algorithm>
#include <iterator>

void AfxRegisterThreadFrame(CFrameWnd* pFrame);
void AfxUnregisterThreadFrame(CFrameWnd* pFrame);

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

// clang-format off
BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_SETFOCUS()
    ON_WM_ACTIVATE()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
    ON_WM_ENTERIDLE()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_REBAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_REBAR, OnBarCheck)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
    ON_WM_NCACTIVATE()
    ON_WM_ENABLE()
END_MESSAGE_MAP()
// clang-format on

CFrameWnd::CFrameWnd()
    : m_nIdleFlags(0), m_hMenuDefault(NULL), m_bAutoMenuEnable(TRUE), m_hAccelTable(NULL), m_nIDTracking(0),
      m_nIDLastMessage(0), m_nShowDelay(-1), m_bPreviewMode(FALSE), m_nIDHelp(0), m_pViewActive(NULL),
      m_bInRecalcLayout(FALSE)
{
    m_rectBorder.SetRectEmpty();
    AfxRegisterThreadFrame(this);
}

CFrameWnd::~CFrameWnd()
{
    AfxUnregisterThreadFrame(this);
    // Bars that outlive the frame (members of a derived frame) no longer name it.
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != NULL;)
        static_cast<CControlBar*>(m_listControlBars.GetNext(pos))->m_pDockSite = NULL;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext)
{
    HMENU hMenu = NULL;
    if (lpszMenuName != NULL) {
        hMenu = ::LoadMenu(AfxFindResourceHandle(lpszMenuName, RT_MENU), lpszMenuName);
        if (hMenu == NULL) {
            PostNcDestroy();
            return FALSE;
        }
    }
    m_strTitle = lpszWindowName;
    int x = rect.left, y = rect.top, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
    if (!::EqualRect(&rect, &rectDefault)) {
        cx = rect.right - rect.left;
        cy = rect.bottom - rect.top;
    }
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, pParentWnd->GetSafeHwnd(),
                  hMenu, pContext)) {
        if (hMenu != NULL)
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

LPCTSTR CFrameWnd::GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource)
{
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCE(nIDResource), RT_GROUP_ICON);
    HICON hIcon = ::LoadIcon(hInst, MAKEINTRESOURCE(nIDResource));
    if (hIcon == NULL)
        return NULL;
    CREATESTRUCT cs = {};
    cs.style = dwDefaultStyle;
    PreCreateWindow(cs);
    WNDCLASS wndcls = {};
    if (cs.lpszClass != NULL && ::GetClassInfo(AfxGetInstanceHandle(), cs.lpszClass, &wndcls) &&
        wndcls.hIcon != hIcon)
        return AfxRegisterWndClass(wndcls.style, wndcls.hCursor, wndcls.hbrBackground, hIcon);
    return NULL;
}

void CFrameWnd::LoadAccelTable(LPCTSTR lpszResourceName)
{
    if (m_hAccelTable != NULL)
        return;
    m_hAccelTable =
        ::LoadAccelerators(AfxFindResourceHandle(lpszResourceName, RT_ACCELERATOR), lpszResourceName);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString strFull;
    if (strFull.LoadString(nIDResource)) {
        const int nEnd = strFull.Find(L'\n');
        m_strTitle = nEnd >= 0 ? strFull.Left(nEnd) : strFull;
    }
    AfxDeferRegisterClass(AFX_WNDFRAMEORVIEW_REG);
    LPCTSTR lpszClass = GetIconWndClass(dwDefaultStyle, nIDResource);
    const CString strTitle = m_strTitle;
    if (!Create(lpszClass, strTitle, dwDefaultStyle, rectDefault, pParentWnd, MAKEINTRESOURCE(nIDResource), 0,
                pContext))
        return FALSE;
    m_hMenuDefault = ::GetMenu(m_hWnd);
    LoadAccelTable(MAKEINTRESOURCE(nIDResource));
    if (pContext == NULL)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL) {
        AfxDeferRegisterClass(AFX_WNDFRAMEORVIEW_REG);
        cs.lpszClass = AFX_WNDFRAMEORVIEW_CLASS;
    }
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!OnCreateClient(lpcs, static_cast<CCreateContext*>(lpcs->lpCreateParams)))
        return -1;
    // The message bar, made by a derived OnCreate after this, shows the idle prompt.
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext != NULL && pContext->m_pNewViewClass != NULL)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != NULL;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    return CreateView(pContext, nID, this);
}

CWnd* PASCAL CFrameWnd::CreateView(CCreateContext* pContext, UINT nID, CWnd* pParentWnd)
{
    if (pContext == NULL || pContext->m_pNewViewClass == NULL || pParentWnd == NULL ||
        !pContext->m_pNewViewClass->IsDerivedFrom(RUNTIME_CLASS(CWnd)))
        return NULL;
    CWnd* pView = static_cast<CWnd*>(pContext->m_pNewViewClass->CreateObject());
    if (pView == NULL)
        return NULL;
    // A failed creation ends in the view's PostNcDestroy, which deletes a view; other windows
    // are deleted here.
    const BOOL bSelfDeleting = pView->IsKindOf(RUNTIME_CLASS(CView));
    if (!pView->Create(NULL, NULL, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), pParentWnd, nID, pContext)) {
        if (!bSelfDeleting)
            delete pView;
        return NULL;
    }
    return pView;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* pView = NULL;
    if (GetActiveView() == NULL) {
        CWnd* pWnd = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
        if (pWnd != NULL && pWnd->IsKindOf(RUNTIME_CLASS(CView))) {
            pView = static_cast<CView*>(pWnd);
            SetActiveView(pView, FALSE);
        }
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        if (pView != NULL)
            pView->OnActivateFrame(WA_INACTIVE, this);
        ActivateFrame(-1);
        if (pView != NULL)
            pView->OnActivateView(TRUE, pView, pView);
    }
    if (pDoc != NULL)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1) {
        ShowWindow(nCmdShow);
        if (nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE && nCmdShow != SW_HIDE &&
            nCmdShow != SW_MINIMIZE && nCmdShow != SW_SHOWMINNOACTIVE)
            BringWindowToTop();
    }
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = NULL; // none while the old one is told
    if (pViewOld != NULL)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    if (m_pViewActive != NULL)
        return; // the old view chose another one
    m_pViewActive = pViewNew;
    if (pViewNew != NULL && bNotify)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    CView* pView = GetActiveView();
    return pView != NULL ? pView->GetDocument() : NULL;
}

BOOL CFrameWnd::IsFrameWnd() const
{
    return TRUE;
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL hAccel = GetDefaultAccelerator();
        return hAccel != NULL && ::TranslateAccelerator(m_hWnd, hAccel, pMsg);
    }
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    CView* pView = GetActiveView();
    if (pView != NULL && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState*)
{
    m_bPreviewMode = bPreview;
}

// Layout.

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout || m_hWnd == NULL)
        return;
    m_bInRecalcLayout = TRUE;
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify)
{
    m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0);
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    // The view covers the client area; erasing under it would only flicker.
    if (m_pViewActive != NULL && m_pViewActive->m_hWnd != NULL)
        return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (m_nIdleFlags & idleMenu)
        OnUpdateFrameMenu(NULL);
    if (m_nIdleFlags & idleTitle)
        OnUpdateFrameTitle(TRUE);
    if (m_nIdleFlags & idleLayout) {
        RecalcLayout((m_nIdleFlags & idleNotify) != 0);
        UpdateWindow();
    }
    if (m_nIDTracking != m_nIDLastMessage) {
        SetMessageText(m_nIDTracking);
        m_nIDLastMessage = m_nIDTracking;
    }
    m_nIdleFlags = 0;
    return 0;
}

// Title and menu.

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    CDocument* pDocument = GetActiveDocument();
    if (bAddToTitle && pDocument != NULL)
        UpdateFrameTitleForDocument(pDocument->GetTitle());
    else
        UpdateFrameTitleForDocument(NULL);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName)
{
    CString text;
    if (GetStyle() & FWS_PREFIXTITLE) {
        if (lpszDocName != NULL) {
            text += lpszDocName;
            text += L" - ";
        }
        text += m_strTitle;
    } else {
        text += m_strTitle;
        if (lpszDocName != NULL) {
            text += L" - ";
            text += lpszDocName;
        }
    }
    CString current;
    GetWindowText(current);
    if (current != text)
        SetWindowText(text);
}

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (hMenuAlt == NULL) {
        if (CDocument* pDoc = GetActiveDocument())
            hMenuAlt = pDoc->GetDefaultMenu();
        if (hMenuAlt == NULL)
            hMenuAlt = m_hMenuDefault;
    }
    if (::GetMenu(m_hWnd) != hMenuAlt)
        ::SetMenu(m_hWnd, hMenuAlt);
}

HACCEL CFrameWnd::GetDefaultAccelerator()
{
    // The active document's table first.
    CDocument* pDoc = GetActiveDocument();
    HACCEL hAccel = pDoc != NULL ? pDoc->GetDefaultAccelerator() : NULL;
    return hAccel != NULL ? hAccel : m_hAccelTable;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT nIndex, BOOL bSysMenu)
{
    CWnd::OnInitMenuPopup(pMenu, nIndex, bSysMenu);
    if (bSysMenu || pMenu == NULL)
        return;
    CCmdUI state;
    state.m_pMenu = pMenu;
    state.m_nIndexMax = static_cast<UINT>(pMenu->GetMenuItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
            continue; // separators and popups keep their state
        state.m_pSubMenu = NULL;
        // System commands are the system's; the others are disabled without a handler.
        state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        // A handler may have added or removed items: find this item's successor again.
        const UINT nCount = static_cast<UINT>(pMenu->GetMenuItemCount());
        if (nCount < state.m_nIndexMax) {
            state.m_nIndex -= std::min(state.m_nIndex, state.m_nIndexMax - nCount);
            while (state.m_nIndex < nCount &&
                   pMenu->GetMenuItemID(static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = nCount;
    }
}

// Status messages.

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && hSysMenu == NULL) {
        // The menu closed: back to the idle prompt.
        m_nFlags &= ~WF_NOPOPMSG;
        m_nIDTracking = AFX_IDS_IDLEMESSAGE;
        SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        return;
    }
    if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP)))
        m_nIDTracking = 0;
    else
        m_nIDTracking = nItemID;
    if (m_nIDTracking != m_nIDLastMessage)
        SetMessageText(m_nIDTracking);
    // Set after the text: showing it clears the flag.
    m_nFlags |= WF_NOPOPMSG;
}

void CFrameWnd::OnEnterIdle(UINT nWhy, CWnd* pWho)
{
    CWnd::OnEnterIdle(nWhy, pWho);
    if (nWhy == MSGF_MENU && m_nIDTracking != m_nIDLastMessage)
        SetMessageText(m_nIDTracking);
}

CWnd* CFrameWnd::GetMessageBar()
{
    return GetDescendantWindow(AFX_IDW_STATUS_BAR, FALSE);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage.Empty();
    CString strFull;
    if (nID != 0 && strFull.LoadString(nID)) {
        const int nEnd = strFull.Find(L'\n');
        rMessage = nEnd >= 0 ? strFull.Left(nEnd) : strFull;
    }
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SendMessage(WM_SETMESSAGESTRING, nID);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    const UINT nIDLast = m_nIDLastMessage;
    m_nFlags &= ~WF_NOPOPMSG;
    if (CWnd* pMessageBar = GetMessageBar()) {
        CString strMessage;
        LPCTSTR lpsz = L"";
        if (lParam != 0)
            lpsz = reinterpret_cast<LPCTSTR>(lParam);
        else if (wParam != 0) {
            GetMessageString(static_cast<UINT>(wParam), strMessage);
            lpsz = strMessage;
        }
        pMessageBar->SetWindowText(lpsz);
        // A bar in another frame records the prompt there as well.
        CFrameWnd* pBarFrame = pMessageBar->GetParentFrame();
        if (pBarFrame != NULL && pBarFrame != this) {
            pBarFrame->m_nIDLastMessage = static_cast<UINT>(wParam);
            pBarFrame->m_nIDTracking = static_cast<UINT>(wParam);
        }
    }
    m_nIDLastMessage = static_cast<UINT>(wParam);
    m_nIDTracking = static_cast<UINT>(wParam);
    return nIDLast;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam)
{
    if (m_nFlags & WF_NOPOPMSG)
        return 0; // a menu prompt stays while the menu is open
    return SendMessage(WM_SETMESSAGESTRING, wParam, lParam);
}

// Activation, focus, the end.

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive != NULL && m_pViewActive->m_hWnd != NULL)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CWnd::OnActivate(nState, pWndOther, bMinimized);
    NotifyActivation(nState, pWndOther);
    if (m_pViewActive != NULL && m_pViewActive->m_hWnd != NULL) {
        m_pViewActive->OnActivateFrame(nState, this);
        if (nState != WA_INACTIVE && !bMinimized)
            m_pViewActive->OnActivateView(TRUE, m_pViewActive, m_pViewActive);
    }
}

BOOL CFrameWnd::CanCloseFrame()
{
    CDocument* pDocument = GetActiveDocument();
    return pDocument == NULL || pDocument->CanCloseFrame(this);
}

void CFrameWnd::OnClose()
{
    // Only the active document is asked here; the main frame asks all of them.
    if (!CanCloseFrame())
        return;
    CDocument* pDocument = GetActiveDocument();
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pMainWnd == this) {
        if (pDocument == NULL && !pApp->SaveAllModified())
            return;
        pApp->CloseAllDocuments(FALSE);
        // Closing the documents may have destroyed this frame already (its last view went).
        if (pApp->m_pMainWnd == NULL) {
            AfxPostQuitMessage(0);
            return;
        }
    }
    // The last frame of an auto-deleting document closes the document, which destroys the frame.
    if (pDocument != NULL && pDocument->m_bAutoDelete) {
        BOOL bOtherFrame = FALSE;
        for (POSITION pos = pDocument->GetFirstViewPosition(); pos != NULL && !bOtherFrame;)
            bOtherFrame = pDocument->GetNextView(pos)->GetParentFrame() != this;
        if (!bOtherFrame) {
            pDocument->OnCloseDocument();
            return;
        }
        pDocument->PreCloseFrame(this);
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    // The default menu goes with the window (another menu on the frame belongs to its owner).
    if (m_hMenuDefault != NULL && ::GetMenu(m_hWnd) != m_hMenuDefault)
        ::SetMenu(m_hWnd, m_hMenuDefault);
    CWnd::OnDestroy();
}

// Control bars.

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (pBar != NULL && m_listControlBars.Find(pBar) == NULL)
        m_listControlBars.AddTail(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    if (POSITION pos = m_listControlBars.Find(pBar))
        m_listControlBars.RemoveAt(pos);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    if (nID == 0)
        return NULL;
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != NULL;) {
        CControlBar* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (pBar->m_hWnd != NULL && static_cast<UINT>(pBar->GetDlgCtrlID()) == nID)
            return pBar;
    }
    return NULL;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (pBar == NULL || pBar->m_hWnd == NULL)
        return;
    CFrameWnd* pLayoutFrame = pBar->GetParentFrame();
    if (pLayoutFrame == NULL)
        pLayoutFrame = this;
    if (bDelay) {
        pBar->DelayShow(bShow);
        pLayoutFrame->DelayRecalcLayout();
    } else {
        pBar->SetWindowPos(NULL, 0, 0, 0, 0,
                           SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                               (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        pBar->DelayShow(bShow); // clears what was pending
        pLayoutFrame->RecalcLayout();
    }
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (pBar == NULL)
        return FALSE;
    ShowControlBar(pBar, (pBar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    if (CControlBar* pBar = GetControlBar(pCmdUI->m_nID)) {
        pCmdUI->SetCheck((pBar->GetStyle() & WS_VISIBLE) != 0);
        return;
    }
    pCmdUI->ContinueRouting();
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTTDISPINFOW* pInfo = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
    UINT_PTR nID = pNMHDR->idFrom;
    if (pInfo->uFlags & TTF_IDISHWND)
        nID = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
    CString strTip;
    if (nID != 0 && nID <= 0xFFFF && strTip.LoadString(static_cast<UINT>(nID))) {
        const int nNewline = strTip.Find(L'\n');
        strTip = nNewline >= 0 ? strTip.Mid(nNewline + 1) : CString();
    }
    const int nCopy = std::min(strTip.GetLength(), static_cast<int>(std::size(pInfo->szText)) - 1);
    std::copy(strTip.GetString(), strTip.GetString() + nCopy, pInfo->szText);
    pInfo->szText[nCopy] = L'\0';
    pInfo->lpszText = pInfo->szText;
    pInfo->hinst = NULL;
    if (pResult != NULL)
        *pResult = 0;
    // Tooltips sit on top of other windows: keep them there.
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
    return TRUE;
}
