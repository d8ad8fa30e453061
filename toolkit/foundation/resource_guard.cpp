#include "resource_guard.h"

namespace {

HINSTANCE g_hToolkitResource = NULL;
HINSTANCE g_hToolkitInstance = NULL;

} // namespace

void AFXAPI XTSetToolkitResourceHandle(HINSTANCE hResource, HINSTANCE hInstance)
{
    g_hToolkitResource = hResource;
    g_hToolkitInstance = hInstance;
}

HINSTANCE AFXAPI XTGetToolkitInstanceHandle()
{
    return g_hToolkitInstance;
}

HINSTANCE CXTResourceGuard::GetToolkitResourceHandle()
{
    return g_hToolkitResource;
}

CXTResourceGuard::CXTResourceGuard() : m_bActive(FALSE), m_hSavedResource(NULL), m_hSavedInstance(NULL)
{
    if (g_hToolkitResource == NULL)
        return;
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    m_hSavedResource = pState->m_hCurrentResourceHandle;
    m_hSavedInstance = pState->m_hCurrentInstanceHandle;
    pState->m_hCurrentResourceHandle = g_hToolkitResource;
    if (pState->m_hCurrentInstanceHandle == NULL)
        pState->m_hCurrentInstanceHandle = g_hToolkitInstance;
    m_bActive = TRUE;
}

CXTResourceGuard::~CXTResourceGuard()
{
    Leave();
    m_hSavedResource = NULL;
    m_hSavedInstance = NULL;
}

void CXTResourceGuard::Leave()
{
    if (!m_bActive)
        return;
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    pState->m_hCurrentResourceHandle = m_hSavedResource;
    pState->m_hCurrentInstanceHandle = m_hSavedInstance;
    m_bActive = FALSE;
}
