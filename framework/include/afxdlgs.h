// Common dialogs and property sheets (joining with the window classes).
#pragma once

#include "afxext.h"

// After the framework headers, which bring in windows.h.
#include <commdlg.h>
