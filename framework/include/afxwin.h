// Windows, drawing and the application: command targets, threads and module state; CWnd with
// its message maps; CDC and the GDI objects; menus; the standard controls; dialogs and data
// exchange; CWinApp. See framework/README.md.
#pragma once

#include "afx.h"
#include "afx/cmd_target.h"
#include "afx/cmd_ui.h"
#include "afx/command_line_info.h"
#include "afx/module_state.h"
#include "afx/win_thread.h"
#include "afxres.h"

#include "afx/controls.h"
#include "afx/dc.h"
#include "afx/dialog.h"
#include "afx/dialog_init.h"
#include "afx/gdi_objects.h"
#include "afx/geometry.h"
#include "afx/menu.h"
#include "afx/startup_services.h"
#include "afx/win_app.h"
#include "afx/window_message_map.h"
#include "afx/wnd.h"

// Frames and views, then documents.
#include "afx/document.h"
#include "afx/frame_wnd.h"
#include "afx/mdi.h"

// A bitmap resource of at most 256 colours whose black, dark grey, light grey and white are shown in the
// system's button text, shadow, face and highlight colours; null for a missing or damaged resource.
// bMono makes a monochrome bitmap of it.
HBITMAP AFXAPI AfxLoadSysColorBitmap(HINSTANCE hInst, HRSRC hRsrc, BOOL bMono = FALSE);
