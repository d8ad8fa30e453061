// Module and thread state: which module's instance and resources are current, which CWinThread
// runs on this thread, and the window state that belongs to one thread (the message being handled,
// the window being created, the temporary objects of the handle maps). The program is one module;
// AFX_MANAGE_STATE still swaps the state for the length of a scope so that code written for several
// modules reads the same.
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

// The temporary objects that FromHandle made on one thread (see src/handle_map.h).
struct AFX_TEMP_MAPS;

struct AFX_THREAD_STATE
{
    AFX_THREAD_STATE() = default;
    // Frees the thread's temporary objects when the thread ends.
    ~AFX_THREAD_STATE();
    AFX_THREAD_STATE(const AFX_THREAD_STATE&) = delete;
    AFX_THREAD_STATE& operator=(const AFX_THREAD_STATE&) = delete;

    AFX_MODULE_STATE* m_pModuleState = NULL; // set while AFX_MANAGE_STATE is in force
    AFX_MODULE_STATE* m_pPrevModuleState = NULL;
    CWinThread* m_pCurrentWinThread = NULL;

    // Window messages: the message the innermost window procedure is handling (what Default
    // passes on), the window whose control notifications UpdateData holds back, and the message
    // a pump without a CWinThread reads into.
    MSG m_lastSentMsg = {};
    HWND m_hLockoutNotifyWindow = NULL;
    MSG m_msgCur = {};
    // The popup menu being shown (from WM_INITMENUPOPUP), where owner-drawn items are measured.
    HMENU m_hTrackingMenu = NULL;
    HWND m_hTrackingWindow = NULL;

    // Window creation: the object that the next window created on this thread is attached to,
    // and the creation hook that attaches it.
    CWnd* m_pWndInit = NULL;
    HHOOK m_hHookOldCbtFilter = NULL;

    // Temporary CWnd, CDC, CGdiObject, CMenu and CImageList objects; freed at idle unless locked.
    AFX_TEMP_MAPS* m_pTempMaps = NULL;
    int m_nTempMapLock = 0;
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

// Temporary objects live until the thread's next idle time; while the lock count is above zero
// idle time keeps them. AfxUnlockTempMaps frees them when the count reaches zero and bDeleteTemps
// is set; it returns TRUE when it freed them.
void AFXAPI AfxLockTempMaps();
BOOL AFXAPI AfxUnlockTempMaps(BOOL bDeleteTemps = TRUE);
// The number of temporary objects the calling thread holds now (all kinds together).
UINT AFXAPI AfxGetTempObjectCount();
