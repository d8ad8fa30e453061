#include "docking_pane_context.h"

CXTPDockingPaneContext::CXTPDockingPaneContext(CXTPDockingPaneManager* pManager) : m_pManager(pManager)
{
    HMODULE hUser32 = ::GetModuleHandleW(L"user32.dll");
    if (hUser32 != NULL)
        m_pfnSetLayeredWindowAttributes = reinterpret_cast<PFNSETLAYEREDWINDOWATTRIBUTES>(
            reinterpret_cast<void*>(::GetProcAddress(hUser32, "SetLayeredWindowAttributes")));
}

void CXTPDockingPaneContext::Drag(CXTPDockingPaneBase* pPane, CPoint pt)
{
    (void)pPane;
    (void)pt;
}
