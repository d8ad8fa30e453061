// CMiniFrameWnd: a frame with a small caption, owned by its parent (or a child window), for
// floating palettes; it keeps its caption in step with its owner frame through WM_FLOATSTATUS.
#pragma once

#include "afx/frame_wnd.h"

// Mini frame styles (the class-specific low word of the window style).
#define MFS_SYNCACTIVE 0x00000100L   // its caption is active while its owner frame is
#define MFS_4THICKFRAME 0x00000200L  // resizable on the four sides only
#define MFS_THICKFRAME 0x00000400L   // resizable
#define MFS_MOVEFRAME 0x00000800L    // moved by its edges
#define MFS_BLOCKSYSMENU 0x00001000L // no system menu

class CMiniFrameWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    CMiniFrameWnd();
    ~CMiniFrameWnd() override;

    // A top-level tool window owned by pParentWnd, or a child of it with WS_CHILD.
    BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd = NULL, UINT nID = 0);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd = NULL, UINT nID = 0);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Deletes the object, as every frame.
    void PostNcDestroy() override;

    BOOL m_bSyncActive; // the owner frame said its caption is active

protected:
    afx_msg LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnNcActivate(BOOL bActive);
    DECLARE_MESSAGE_MAP()
};
