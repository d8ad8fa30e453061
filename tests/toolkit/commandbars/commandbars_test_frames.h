// What the command-bar tests on real frames share: pumping the queue, and an MDI frame with a
// menu bar (the maximised child's system menu shown) and the "Standard" toolbar.
#pragma once

#include "command_bars.h"

namespace commandbars_test {

// Dispatches what is queued, a few rounds; a quit stays queued.
void PumpMessages();

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
