// Module and thread state: which module's instance and resources are current, which CWinThread
// runs on this thread. The program is one module; AFX_MANAGE_STATE still swaps the state for the
// length of a scope so that code written for several modules reads the same.
#pragma once

#include "afx/base_types.h"

struct AFX_MODULE_STATE
{
    CWinApp* m_pCurrentWinApp = NULL;
    HINSTANCE m_hCurrentInstanceHandle = NULL; // the executable unless set otherwise
    HINSTANCE m_hCurrentResourceHandle = NULL; // where resources are looked up first
    LPCWSTR m_lpszCurrentAppName = NULL;
    BOOL m_bDLL = FALSE;
    DWORD m_dwVersion = 0x0420; // the framework version the module asks for (DAO reads it)
};

struct AFX_THREAD_STATE
{
    AFX_MODULE_STATE* m_pModuleState = NULL; // set while AFX_MANAGE_STATE is in force
    AFX_MODULE_STATE* m_pPrevModuleState = NULL;
    CWinThread* m_pCurrentWinThread = NULL;
};

AFX_MODULE_STATE* AFXAPI AfxGetModuleState();
AFX_MODULE_STATE* AFXAPI AfxGetAppModuleState();
AFX_MODULE_STATE* AFXAPI AfxGetStaticModuleState();
AFX_THREAD_STATE* AFXAPI AfxGetThreadState();

// Makes a module state current for the length of a scope.
class AFX_MAINTAIN_STATE2
{
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pModuleState);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevModuleState;
    AFX_THREAD_STATE* m_pThreadState;
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p);

HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);
void AFXAPI AfxSetInstanceHandle(HINSTANCE hInstance);
// The module that holds the resource: the resource module, then the instance; the resource
// module when neither has it.
HINSTANCE AFXAPI AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType);
// Copies string resource nID into the buffer (always terminated); returns its length, 0 if missing.
int AFXAPI AfxLoadString(UINT nID, LPWSTR lpszBuf, UINT nMaxBuf = 256);
