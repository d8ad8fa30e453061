// The drag context of the docking panes: the feedback shown while a pane or container is dragged. The
// manager makes one at construction. Until dragging is built it knows only whether the system offers
// layered windows; a drag it is asked to start changes nothing.
#pragma once

#include <afxwin.h>

class CXTPDockingPaneManager;
class CXTPDockingPaneBase;

class CXTPDockingPaneContext
{
public:
    explicit CXTPDockingPaneContext(CXTPDockingPaneManager* pManager);
    virtual ~CXTPDockingPaneContext() = default;
    CXTPDockingPaneContext(const CXTPDockingPaneContext&) = delete;
    CXTPDockingPaneContext& operator=(const CXTPDockingPaneContext&) = delete;

    virtual void Drag(CXTPDockingPaneBase* pPane, CPoint pt);
    BOOL IsLayeredAvailable() const { return m_pfnSetLayeredWindowAttributes != NULL; }

    CXTPDockingPaneManager* m_pManager;
    typedef BOOL(WINAPI* PFNSETLAYEREDWINDOWATTRIBUTES)(HWND, COLORREF, BYTE, DWORD);
    PFNSETLAYEREDWINDOWATTRIBUTES m_pfnSetLayeredWindowAttributes = NULL;
};
