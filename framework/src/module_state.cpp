#include <afxwin.h>

namespace {

thread_local AFX_THREAD_STATE t_threadState;

} // namespace

AFX_THREAD_STATE* AFXAPI AfxGetThreadState()
{
    return &t_threadState;
}

AFX_MODULE_STATE* AFXAPI AfxGetAppModuleState()
{
    static AFX_MODULE_STATE appModuleState;
    return &appModuleState;
}

AFX_MODULE_STATE* AFXAPI AfxGetStaticModuleState()
{
    return AfxGetAppModuleState();
}

AFX_MODULE_STATE* AFXAPI AfxGetModuleState()
{
    AFX_MODULE_STATE* pState = t_threadState.m_pModuleState;
    return pState != NULL ? pState : AfxGetAppModuleState();
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pModuleState) : m_pThreadState(AfxGetThreadState())
{
    m_pPrevModuleState = m_pThreadState->m_pModuleState;
    m_pThreadState->m_pModuleState = pModuleState;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2()
{
    m_pThreadState->m_pModuleState = m_pPrevModuleState;
}

HINSTANCE AFXAPI AfxGetInstanceHandle()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    if (pState->m_hCurrentInstanceHandle == NULL)
        pState->m_hCurrentInstanceHandle = ::GetModuleHandleW(NULL); // before the application sets it
    return pState->m_hCurrentInstanceHandle;
}

void AFXAPI AfxSetInstanceHandle(HINSTANCE hInstance)
{
    AfxGetModuleState()->m_hCurrentInstanceHandle = hInstance;
}

HINSTANCE AFXAPI AfxGetResourceHandle()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    return pState->m_hCurrentResourceHandle != NULL ? pState->m_hCurrentResourceHandle
                                                    : AfxGetInstanceHandle();
}

void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource)
{
    AfxGetModuleState()->m_hCurrentResourceHandle = hInstResource;
}
