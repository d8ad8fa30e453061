#pragma once

// The progress bar of the wizard's scan panels: a blue bar with its percentage in white over a light
// grey ground, positions 0 to 100.
#include "text_progress_ctrl.h"

inline void SetUpStepProgressBar(CTextProgressCtrl& bar, COLORREF colour)
{
    bar.m_backgroundColour = RGB(0xF2, 0xF2, 0xF2);
    bar.m_barTextColour = RGB(0xFF, 0xFF, 0xFF);
    bar.m_backgroundTextColour = RGB(0xFF, 0xFF, 0xFF);
    bar.m_colours.RemoveAll();
    bar.m_colours.Add(colour);
    bar.m_colours.Add(colour);
    bar.SetText(L"%d%%", TPBS_PERCENT);
    bar.SetRange32(0, 100);
    bar.SetPos(0);
}
