#include "commandbars_test_frames.h"

#include "commandbars_test_ids.h"

namespace commandbars_test {

void PumpMessages()
{
    MSG msg;
    for (int nRound = 0; nRound < 3; ++nRound) {
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (!AfxGetThread() || !AfxGetThread()->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        ::Sleep(10);
    }
}

// clang-format off
BEGIN_MESSAGE_MAP(MdiBarsFrame, CMDIFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()
// clang-format on

MdiBarsFrame::~MdiBarsFrame()
{
    if (m_pCommandBars != NULL)
        m_pCommandBars->InternalRelease();
}

int MdiBarsFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    m_pCommandBars->AttachFrame(this);
    m_pCommandBars->CreateDockBars();
    CXTPMenuBar* pMenuBar = m_pCommandBars->CreateMenuBar(L"Menu Bar", IDR_CB_MDI);
    m_pToolBar = m_pCommandBars->Add(L"Standard", xtpBarTop);
    if (pMenuBar == NULL || m_pToolBar == NULL || !m_pToolBar->LoadToolBar(IDR_CB_FRAME))
        return -1;
    pMenuBar->SetFlags(xtpFlagAlignTop | xtpFlagStretched | xtpFlagAddMDISysPopup);
    return 0;
}

} // namespace commandbars_test
