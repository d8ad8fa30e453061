// Command targets, command-UI state, threads, and module and resource state. Window classes join
// this header (see framework/README.md).
#pragma once

#include "afx.h"
#include "afx/cmd_target.h"
#include "afx/cmd_ui.h"
#include "afx/module_state.h"
#include "afx/win_thread.h"
