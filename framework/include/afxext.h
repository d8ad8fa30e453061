// Extensions over afxwin.h: bitmap buttons, control bars (status bar, toolbar, rebar, dock bars),
// mini frames and form views.
#pragma once

#include "afx/bitmap_button.h"
#include "afx/control_bar.h"
#include "afx/dock_bar.h"
#include "afx/form_view.h"
#include "afx/mini_frame.h"
#include "afx/rebar.h"
#include "afx/status_bar.h"
#include "afx/tool_bar.h"
#include "afxwin.h"
