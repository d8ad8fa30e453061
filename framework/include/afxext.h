// Extensions over afxwin.h (control bars, bitmap buttons, splitters and the like join it with the
// window classes).
#pragma once

#include "afxwin.h"
