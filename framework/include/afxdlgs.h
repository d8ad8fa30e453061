// Common dialogs: file dialogs and the folder browser (property sheets join later).
#pragma once

#include "afxext.h"

#include <commdlg.h>

#include "afx/common_dialogs.h"
