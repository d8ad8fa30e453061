// Resource ids of the command bars' own resources (res/commandbars.rc). Usable from resource scripts.
#pragma once

#define XTP_IDS_ADDORREMOVE 9300
#define XTP_IDS_CONFIRM_RESETTOOLBAR 9349
#define XTP_IDS_RESET 9395
#define XTP_IDS_TOOLBAR_EXPAND 9400
#define XTP_IDS_TOOLBAR_HIDE 9401
#define XTP_IDS_MDI_CLOSE 9403
#define XTP_IDS_MDI_RESTORE 9404
#define XTP_IDS_MDI_MINIMIZE 9405
#define XTP_IDB_MDI_BUTTONS 9407
#define XTP_IDS_CONFIRM_UPDATE 9394
