// Wrappers of the common controls and image lists.
#pragma once

#include "afxwin.h"

#include <commctrl.h>

#include "afx/common_controls.h"
#include "afx/image_list.h"
#include "afx/list_ctrl.h"
#include "afx/rich_edit_ctrl.h"
#include "afx/tree_ctrl.h"
