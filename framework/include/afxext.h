// Extensions over afxwin.h: bitmap buttons and the control-bar base (splitters join later).
#pragma once

#include "afx/bitmap_button.h"
#include "afx/control_bar.h"
#include "afxwin.h"
