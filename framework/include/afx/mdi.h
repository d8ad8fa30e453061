// Multiple-document frames: CMDIFrameWnd holds the system's MDI client, whose children are
// CMDIChildWnd frames; commands go to the active child first and the menu is the active child's
// shared menu (the frame's own when none is open). CMultiDocTemplate makes a document and a child
// frame for every open.
#pragma once

#include "afx/document.h"
#include "afx/frame_wnd.h"

class CMDIChildWnd;

class CMDIFrameWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    // The MDI client as pane AFX_IDW_PANE_FIRST; the window menu is the frame menu's popup that
    // holds the ID_WINDOW_ commands, else its last-but-one popup.
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    virtual BOOL CreateClient(LPCREATESTRUCT lpCreateStruct, CMenu* pWindowMenu);
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL) override;

    // The active child; pbMaximized says whether it is maximised.
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = NULL) const;
    void MDIActivate(CWnd* pWndActivate);
    void MDIMaximize(CWnd* pWnd);
    void MDIRestore(CWnd* pWnd);
    void MDINext();
    void MDIPrev();
    void MDICascade();
    void MDICascade(int nType);
    void MDITile();
    void MDITile(int nType);
    void MDIIconArrange();
    // WM_MDISETMENU: the frame's menu and its window menu; the old frame menu comes back.
    HMENU MDISetMenu(HMENU hFrameMenu, HMENU hWindowMenu);
    HMENU GetWindowMenuPopup(HMENU hMenuBar);

    CFrameWnd* GetActiveFrame() override;
    CDocument* GetActiveDocument() override;
    // The active child's menu, else hMenuAlt, else the frame's own.
    void OnUpdateFrameMenu(HMENU hMenuAlt) override;
    HACCEL GetDefaultAccelerator() override;
    // The active child first, then the frame's own route.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND m_hWndMDIClient;
    HMENU m_hMenuWindow; // the window menu of the default menu

protected:
    afx_msg BOOL OnMDIWindowCmd(UINT nID);
    afx_msg void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    // A child of pParentWnd's MDI client (the main window's when null).
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CMDIFrameWnd* pParentWnd = NULL,
                        CCreateContext* pContext = NULL);
    // Title from string nIDResource; the menu and accelerators are shared: the template's, else
    // loaded once for this child.
    BOOL LoadFrame(UINT nIDResource,
                   DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL) override;

    CMDIFrameWnd* GetMDIFrame() const;
    // Shown and made the MDI client's active child.
    void ActivateFrame(int nCmdShow = -1) override;
    void MDIDestroy();
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();
    // Puts the shared menu on the MDI frame when activated; the frame's own when nothing is.
    virtual void OnUpdateFrameMenu(BOOL bActive, CWnd* pActivateWnd, HMENU hMenuAlt);
    using CFrameWnd::OnUpdateFrameMenu;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HACCEL GetDefaultAccelerator() override;

    HMENU m_hMenuShared;
    HACCEL m_hAccelShared;

protected:
    BOOL m_bOwnMenu; // the shared menu is this child's own (no template gave one)

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnMDIActivate(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

class CMultiDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    // The menu and accelerators nIDResource are loaded once and shared by every child frame.
    CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                      CRuntimeClass* pViewClass);
    ~CMultiDocTemplate() override;

    void LoadTemplate() override;
    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    // A new document in a new child frame for every call; a failed open destroys both.
    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    // The document name with a number ("Doc1", "Doc2", ...).
    void SetDefaultTitle(CDocument* pDocument) override;

    HMENU m_hMenuShared;
    HACCEL m_hAccelTable;
    CPtrList m_docList;
    UINT m_nUntitledCount;
};
