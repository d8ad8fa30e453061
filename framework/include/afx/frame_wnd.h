// Frames and views: CFrameWnd lays out its control bars and its view (RecalcLayout ->
// RepositionBars with WM_SIZEPARENT), brings command states up to date at idle time and routes
// commands to the active view, itself and the application; CView is the base of the windows that
// show a document; CCreateContext says what a frame or view creates.
#pragma once

#include "afx/wnd.h"
#include "afxcoll.h"
#include "afxres.h"

class CDocument;
class CDocTemplate;
class CView;
class CControlBar;
class COleDataObject;

// The effects of an OLE drop (DROPEFFECT_COPY, _MOVE, _LINK, _SCROLL).
typedef DWORD DROPEFFECT;
class CPrintInfo;
struct CPrintPreviewState;

// Frame styles (the class-specific low word of the window style).
#define FWS_ADDTOTITLE 0x00008000L  // the document's title joins the frame's
#define FWS_PREFIXTITLE 0x00040000L // "<document> - <frame>" rather than "<frame> - <document>"
#define FWS_SNAPTOBARS 0x00020000L

// A frame's WM_MENUSELECT text stays until the menu closes (CWnd::m_nFlags).
#ifndef WF_NOPOPMSG
#define WF_NOPOPMSG 0x0040
#endif

// The style of a view that a frame creates.
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

// What creating a frame or view goes with: the view class to make, the document it shows, the
// template that made them and the frame that holds them.
class CCreateContext
{
public:
    CCreateContext() = default;
    CRuntimeClass* m_pNewViewClass = NULL;
    CDocument* m_pCurrentDoc = NULL;
    CDocTemplate* m_pNewDocTemplate = NULL;
    CView* m_pLastView = NULL;
    CFrameWnd* m_pCurrentFrame = NULL;
};

// Sizes and moves one window inside a layout: into the deferred batch when there is one (real
// changes only); nothing when the layout only measures.
struct AFX_SIZEPARENTPARAMS;
void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);

// Idle time of the calling thread: WM_IDLEUPDATECMDUI to every frame of the thread other than
// pMainWnd that is visible or about to be shown, and to its descendants.
void AFXAPI AfxIdleUpdateFrames(CWnd* pMainWnd);

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)
public:
    // CW_USEDEFAULT for position and size.
    static const CRect rectDefault;

    CFrameWnd();
    ~CFrameWnd() override;

    // Creation. A missing menu fails (and, as every failed creation, ends the object through
    // PostNcDestroy).
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = NULL, LPCTSTR lpszMenuName = NULL,
                        DWORD dwExStyle = 0, CCreateContext* pContext = NULL);
    // Title from the first "\n" field of string nIDResource, menu and accelerators nIDResource, a
    // window class with icon nIDResource when there is one.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL);
    // The view of a context with a view class, as pane AFX_IDW_PANE_FIRST.
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // A view of the context's class as child nID of any window (also a view); null on failure,
    // when the failed view has already deleted itself.
    static CWnd* PASCAL CreateView(CCreateContext* pContext, UINT nID, CWnd* pParentWnd);
    // Makes pane AFX_IDW_PANE_FIRST the active view when none is; with bMakeVisible sends
    // WM_INITIALUPDATE to every descendant and shows the frame.
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    // nCmdShow -1: shown normal when hidden, restored when minimised.
    virtual void ActivateFrame(int nCmdShow = -1);

    // The active view: commands go to it first and it has the focus.
    CView* GetActiveView() const { return m_pViewActive; }
    // The old view is told first; the new one only with bNotify.
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CFrameWnd* GetActiveFrame() { return this; }
    virtual CDocument* GetActiveDocument();

    // Layout: the bars take their strips, the view the rest. Guarded against re-entry.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // The same at the next idle time.
    void DelayRecalcLayout(BOOL bNotify = TRUE);
    enum IdleFlags
    {
        idleMenu = 1,
        idleTitle = 2,
        idleNotify = 4,
        idleLayout = 8
    };
    UINT m_nIdleFlags;
    CRect m_rectBorder; // space kept free around the view (in-place borders; empty here)

    // Title and menu.
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }
    // Puts hMenuAlt, else the active document's menu, else m_hMenuDefault (null: no menu) on the frame.
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
    HMENU GetDefaultMenu() const { return m_hMenuDefault; }
    HMENU m_hMenuDefault;
    BOOL m_bAutoMenuEnable; // menu items without a handler are disabled
    HACCEL m_hAccelTable;
    virtual HACCEL GetDefaultAccelerator();

    // Status messages into the message bar (descendant AFX_IDW_STATUS_BAR).
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);
    // The text of string nID before its "\n" (the tooltip follows it); empty when there is none.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    virtual CWnd* GetMessageBar();
    UINT m_nIDTracking;    // the prompt to show
    UINT m_nIDLastMessage; // the prompt shown

    // Control bars.
    CControlBar* GetControlBar(UINT nID);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    CPtrList m_listControlBars;
    int m_nShowDelay; // SW_ value of a pending show, -1 when none

    // Print preview is not built; the mode is recorded for those who ask.
    virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);
    BOOL m_bPreviewMode;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The active view, the frame, then the application.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL IsFrameWnd() const override;
    void PostNcDestroy() override;

    CString m_strTitle;
    UINT m_nIDHelp;

    afx_msg BOOL OnBarCheck(UINT nID);
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

protected:
    // Whether the frame may close (the documents agree); the default asks the active document.
    virtual BOOL CanCloseFrame();
    LPCTSTR GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource);
    void LoadAccelTable(LPCTSTR lpszResourceName);

    CView* m_pViewActive;
    BOOL m_bInRecalcLayout;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)
protected:
    CView();

public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CDocument* m_pDocument;

    // Drawing: OnPaint prepares the DC and draws.
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = NULL);
    // WM_INITIALUPDATE: OnUpdate, which invalidates the view.
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    // Activation by the frame: an activated view takes the focus.
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd);

    // Printing.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    // Shows the printer dialog; FALSE when it is cancelled or no printer exists.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // The view, then its document.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void PostNcDestroy() override;

    afx_msg void OnFilePrint();
    // Print preview is not built.
    afx_msg void OnFilePrintPreview();

    // OLE drag and drop, passed on by a COleDropTarget registered for the view (points in client
    // coordinates). The defaults refuse: DROPEFFECT_NONE and FALSE; OnDropEx answers (DROPEFFECT)-1,
    // "not handled", so that the drop goes on to OnDrop.
    virtual DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual void OnDragLeave();
    virtual BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    virtual DROPEFFECT OnDropEx(COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                                CPoint point);
    virtual DROPEFFECT OnDragScroll(DWORD dwKeyState, CPoint point);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnInitialUpdateMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
