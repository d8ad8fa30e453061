#pragma once

#include "main_frame.h"
#include "recovery_app.h"

#include <functional>

extern CRecoveryApp theApp;

// The frame that the program's start-up made in this process; null when start-up failed.
CMainFrame* StartedFrame();
// The frame's placement as start-up left it.
const WINDOWPLACEMENT& PlacementAfterStart();
// Handles this thread's messages and idle updates for a while.
void PumpMessages(DWORD ms);
// Pumps messages until the condition holds; false when it did not within the limit.
bool WaitFor(const std::function<bool()>& condition, DWORD limitMs);
