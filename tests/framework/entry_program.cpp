// A program written to the framework's documented interface: an application object and nothing
// else. The library's entry point runs InitInstance, the loop and ExitInstance; the exit code is 0
// when the frame was made, shown, closed by a posted WM_CLOSE and the loop ended.
#include <afxwin.h>

#include "frame_test_ids.h"

class CEntryApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        CFrameWnd* pFrame = new CFrameWnd;
        if (!pFrame->LoadFrame(IDR_TEST_FRAME, WS_OVERLAPPEDWINDOW))
            return FALSE;
        m_pMainWnd = pFrame;
        pFrame->ShowWindow(SW_SHOWNOACTIVATE);
        m_bRan = pFrame->GetTitle() == L"Test Frame";
        pFrame->PostMessage(WM_CLOSE);
        return TRUE;
    }
    int ExitInstance() override
    {
        CWinApp::ExitInstance();
        return (m_bRan && m_pMainWnd == NULL) ? 0 : 3;
    }
    bool m_bRan = false;
};

CEntryApp theApp;
