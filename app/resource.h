// Resource and command ids of the program: its main script res/app.rc and the code share them.
#pragma once

// The document template's resources: the program icon, the toolbar with its bitmap, the document string
// and the frame's accelerator table.
#define IDR_MAINFRAME 128
#define IDR_MAIN_MENU 343

// The toolbar commands' icons.
#define IDI_COMMAND_OPEN 342
#define IDI_COMMAND_RECOVER 242
#define IDI_COMMAND_SAVE_SNAPSHOT 189
#define IDI_COMMAND_LOAD_SNAPSHOT 190
#define IDI_COMMAND_FIND 236
#define IDI_COMMAND_SETTINGS 188

#define IDB_MAIN_BANNER 384

// The caption of the progress window.
#define IDS_PROGRESS_CAPTION 61465

// About dialog.
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_LINE_1 1043
#define IDC_ABOUT_LINE_2 1044
#define IDC_ABOUT_VERSION 1047
#define IDC_ABOUT_MAKER 1048
#define IDC_ABOUT_LINE_3 1122
#define IDC_ABOUT_LINE_4 1123
#define IDC_ABOUT_LINE_5 1124
#define IDC_ABOUT_TITLE 1136
#define IDC_ABOUT_WEB_SITE 1045
#define IDC_ABOUT_SALES_MAIL 1102
#define IDC_ABOUT_SUPPORT_MAIL 1103
#define IDC_ABOUT_PRODUCT_PAGE 1120

// Progress window.
#define IDD_PROGRESS 226
#define IDC_PROGRESS_STATUS 1139
#define IDC_PROGRESS_PERCENT 1082
#define IDC_PROGRESS_BAR 1083

// The status bar's link pane.
#define ID_INDICATOR_LINK 101

// Frame commands.
#define ID_RECOVERY_OPEN 32818
#define ID_RECOVER_SELECTED 32777
#define ID_SAVE_SNAPSHOT 32811
#define ID_LOAD_SNAPSHOT 32781
#define ID_RECOVERY_EXIT 32809
#define ID_VIEW_ICONS 32782
#define ID_VIEW_LIST_STYLE 59410
#define ID_VIEW_DETAILS_STYLE 59411
#define ID_FIND_FILES 32785
#define ID_FILE_FILTERS 32786
#define ID_RECOVERY_SETTINGS 32787
#define ID_DRIVE_INFORMATION 32788
// Commands of the program that do nothing.
#define ID_IDLE_COMMAND_1 32790
#define ID_IDLE_COMMAND_2 32791
#define ID_IDLE_COMMAND_3 32792

// The window ids of the wizard's views; the shown one carries AFX_IDW_PANE_FIRST (59648).
#define ID_VIEW_PANE_DRIVE 59649
#define ID_VIEW_PANE_PARTITION 59650
#define ID_VIEW_PANE_FILE_SYSTEM 59651
#define ID_VIEW_PANE_RESULTS 59652

// The home view's art.
#define IDB_HOME_PANEL 251
#define IDB_HOME_QUICK_SCAN_HOVER 253
#define IDB_HOME_QUICK_SCAN 254
#define IDB_HOME_EXTENSIVE_SCAN_HOVER 258
#define IDB_HOME_EXTENSIVE_SCAN 259
#define IDB_HOME_FILE_TRACE 260
#define IDB_HOME_FILE_TRACE_HOVER 261
#define IDB_HOME_BAND 269
#define IDB_HOME_MARK_LEFT 274
#define IDB_HOME_MARK_RIGHT 276

// The drive step's art and the Partition Type dialog.
#define IDI_TREE_COMPUTER 148
#define IDI_TREE_FOLDER 151
#define IDI_TREE_CDROM 152
#define IDI_TREE_REMOVABLE 153
#define IDI_TREE_FLOPPY 154
#define IDI_TREE_FIXED 155
#define IDI_TREE_PARTITION 179
#define IDC_TREE_ITEM 249
#define IDC_TREE_BUTTON 250
#define IDB_DRIVE_BACKGROUND 252
#define IDB_DRIVE_HOME 268
#define IDB_DRIVE_HEADER_RIGHT 273
#define IDB_DRIVE_HEADER_MIDDLE 275
#define IDB_DRIVE_HEADER_LEFT 277
#define IDB_DRIVE_HEADER_LEFT_BUSY 282
#define IDB_DRIVE_HOME_HOVER 317
#define IDB_DRIVE_NEXT_HOVER 318
#define IDB_DRIVE_BACK 319
#define IDB_DRIVE_BACK_HOVER 320
#define IDB_DRIVE_NEXT 321
#define IDB_DRIVE_STOP_HOVER 323
#define IDB_DRIVE_STOP 324
#define IDB_DRIVE_LOGO 376
#define IDD_PARTITION_TYPE 301
