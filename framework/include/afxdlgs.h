// Common dialogs: file dialogs, the folder browser and the colour dialog; property sheets.
#pragma once

#include "afxext.h"

#include <commdlg.h>

#include "afx/color_dialog.h"
#include "afx/common_dialogs.h"
#include "afx/property_sheet.h"
