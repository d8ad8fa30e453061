// What the command-bar tests on real frames share: pumping the queue, keys held for GetKeyState, the
// start of a frame's bars in the program's order, and an MDI frame with a menu bar (the maximised child's
// system menu shown) and the "Standard" toolbar.
#pragma once

#include "command_bars.h"

#include <cstring>
#include <initializer_list>

namespace commandbars_test {

// Dispatches what is queued, a few rounds; a quit stays queued.
void PumpMessages();

// Keys held in the thread's keyboard state while it lives, as GetKeyState reads them.
class HeldKeys
{
public:
    HeldKeys(std::initializer_list<int> keys)
    {
        ::GetKeyboardState(m_saved);
        BYTE state[256];
        memcpy(state, m_saved, sizeof(state));
        for (int nKey : keys)
            state[nKey] |= 0x80;
        ::SetKeyboardState(state);
    }
    ~HeldKeys() { ::SetKeyboardState(m_saved); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE m_saved[256];
};

// Attaches new command bars to the frame with their dock bars, then the menu bar of that menu
// resource along the top, stretched; the menu bar, or NULL where it cannot be made.
inline CXTPMenuBar* AttachBarsWithMenuBar(CFrameWnd* pFrame, CXTPCommandBars*& pCommandBars, UINT nMenuId)
{
    pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    pCommandBars->AttachFrame(pFrame);
    pCommandBars->CreateDockBars();
    CXTPMenuBar* pMenuBar = pCommandBars->CreateMenuBar(L"Menu Bar", nMenuId);
    if (pMenuBar != NULL)
        pMenuBar->SetFlags(xtpFlagAlignTop | xtpFlagStretched);
    return pMenuBar;
}

// Those bars, then the "Standard" toolbar along the top from the toolbar resource of the same id; the
// toolbar, or NULL where a bar cannot be made.
inline CXTPToolBar* AttachMenuAndStandardBars(CFrameWnd* pFrame, CXTPCommandBars*& pCommandBars, UINT nId)
{
    if (AttachBarsWithMenuBar(pFrame, pCommandBars, nId) == NULL)
        return NULL;
    CXTPToolBar* pToolBar = pCommandBars->Add(L"Standard", xtpBarTop);
    return pToolBar != NULL && pToolBar->LoadToolBar(nId) ? pToolBar : NULL;
}

class MdiBarsFrame : public CMDIFrameWnd
{
public:
    ~MdiBarsFrame() override;
    CXTPCommandBars* m_pCommandBars = NULL;
    CXTPToolBar* m_pToolBar = NULL;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()
};

} // namespace commandbars_test
