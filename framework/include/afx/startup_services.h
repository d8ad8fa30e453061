// Start-up services that a program's InitInstance calls before its templates: control hosting.
#pragma once

#include "afx/base_types.h"

// Marks the program as a host of ActiveX controls (dialogs and views may then create them).
void AFXAPI AfxEnableControlContainer();
// Whether AfxEnableControlContainer has been called.
BOOL AFXAPI AfxIsControlContainerEnabled();
