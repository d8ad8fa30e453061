// Extensions over afxwin.h: bitmap buttons (control bars and splitters join later).
#pragma once

#include "afx/bitmap_button.h"
#include "afxwin.h"
