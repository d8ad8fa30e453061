#pragma once

// The progress bar of the wizard's scan panels and the progress window: a bar of one colour on a light
// grey ground, positions 0 to 100. Its percentage is white over the filled part and in the bar's colour
// over the rest, so that it reads at 0% as well as at 100%.
#include "text_progress_ctrl.h"

inline void SetUpStepProgressBar(CTextProgressCtrl& bar, COLORREF colour)
{
    bar.m_backgroundColour = RGB(0xF2, 0xF2, 0xF2);
    bar.m_barTextColour = RGB(0xFF, 0xFF, 0xFF);
    bar.m_backgroundTextColour = colour;
    bar.m_colours.RemoveAll();
    bar.m_colours.Add(colour);
    bar.m_colours.Add(colour);
    bar.SetText(L"%d%%", TPBS_PERCENT);
    bar.SetRange32(0, 100);
    bar.SetPos(0);
}
