// Wrappers of the common controls (joining with the window classes).
#pragma once

#include "afxwin.h"

// After the framework headers, which bring in windows.h.
#include <commctrl.h>
