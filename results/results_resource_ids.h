#pragma once

// Resource ids of the results view, its list and its please-wait dialog. The resource script
// res/results.rc includes this header as well, so it holds plain definitions only.

// Background, header strip (left piece, right piece, the band between) and the list's tiled background.
#define IDB_RESULTS_BACKGROUND 252
#define IDB_RESULTS_STRIP_LEFT 281
#define IDB_RESULTS_STRIP_RIGHT 273
#define IDB_RESULTS_BAND 275
#define IDB_RESULTS_LIST_BACKGROUND 160

// Picture buttons: normal face, then hover face.
#define IDB_RESULTS_SAVE 330
#define IDB_RESULTS_SAVE_HOVER 329
#define IDB_RESULTS_BACK 319
#define IDB_RESULTS_BACK_HOVER 320
#define IDB_RESULTS_HOME 268
#define IDB_RESULTS_HOME_HOVER 317

// The result list's check boxes (unmarked, marked, none) and its header icons.
#define IDB_RESULT_LIST_STATES 201
#define IDI_RESULT_HEADER_FIRST 161
#define IDI_RESULT_HEADER_LAST 167
// The hand over a check box.
#define IDC_RESULT_LIST_HAND 249

// The please-wait dialog of Save; its skin is IDB_SKIN_WAIT.
#define IDD_WAIT_DLG 376
#define IDC_WAIT_DLG_TEXT 1138
#define IDC_WAIT_DLG_CANCEL_2 1140

// Window ids inside the results view.
#define IDC_RESULTS_OUTER_SPLITTER 157
#define IDC_RESULTS_SAVE 159
#define IDC_RESULTS_BACK 160
#define IDC_RESULTS_TREE 162
#define IDC_RESULTS_INNER_SPLITTER 164
#define IDC_RESULTS_LIST 165
#define IDC_RESULTS_PREVIEW 59649
#define IDC_RESULTS_HOME 61481
#define IDC_RESULTS_LABEL_1 61482
#define IDC_RESULTS_LABEL_2 61484
#define IDC_RESULTS_LABEL_3 61488

// The recovered-items tree's check boxes (none, unchecked, checked, partly checked) and its cursors over
// an item's expand button and over an item (over a check box it is the list's hand).
#define IDB_RECOVERY_TREE_STATES 200
#define IDC_RECOVERY_TREE_EXPAND 250
#define IDC_RECOVERY_TREE_ITEM 264

// The result list's please-wait box while a folder opens.
#define IDD_LIST_WAIT_DLG 380
#define IDC_LIST_WAIT_TEXT 1136

// The recovered-items tree's context menu ("Right Click") and the commands it holds besides the frame's.
#define IDR_RECOVERY_TREE_MENU 325
#define ID_TREE_PROPERTIES 32804

// The saving dialog ("Data is Saving please wait..."); its skin is IDB_SKIN_WAIT.
#define IDD_SAVING_DLG 215
#define IDC_SAVING_SKIP 1071
#define IDC_SAVING_FILE_NAME 1043
#define IDC_SAVING_FILE_NAME_LABEL 1073
#define IDC_SAVING_PROGRESS 1074
#define IDC_SAVING_TOTAL 1075
#define IDC_SAVING_PATH 1076
#define IDC_SAVING_PATH_LABEL 1077
#define IDC_SAVING_TOTAL_LABEL 1078
#define IDB_SAVING_STOP 305
#define IDB_SAVING_STOP_HOVER 306
#define IDB_SAVING_SKIP 307
#define IDB_SAVING_SKIP_HOVER 308

// The result list's context menu and its commands besides the frame's Recover Selected, Find Files and
// Settings.
#define IDR_RESULT_LIST_MENU 192
#define ID_RESULT_LIST_RECOVER 32777
#define ID_RESULT_LIST_ICONS 32782
#define ID_RESULT_LIST_LIST 59410
#define ID_RESULT_LIST_DETAILS 59411
#define ID_RESULT_LIST_FIND 32785
#define ID_RESULT_LIST_RENAME 32802
#define ID_RESULT_LIST_SETTINGS 32787
#define ID_RESULT_LIST_PROPERTIES 32804

// "File/Folder Properties"; its skin is IDB_SKIN_PROPERTIES.
#define IDD_PROPERTIES_DLG 212
#define IDC_PROPERTIES_NAME_LABEL 1016
#define IDC_PROPERTIES_SIZE_LABEL 1017
#define IDC_PROPERTIES_CONTAINS_LABEL 1018
#define IDC_PROPERTIES_CREATED_LABEL 1019
#define IDC_PROPERTIES_MODIFIED_LABEL 1020
#define IDC_PROPERTIES_NAME 1043
#define IDC_PROPERTIES_CREATED 1066
#define IDC_PROPERTIES_MODIFIED 1067
#define IDC_PROPERTIES_SIZE 1068
#define IDC_PROPERTIES_CONTAINS 1069

// The Find File(s) dialog; its skin is IDB_SKIN_FIND_FILES, its list's hand cursor IDC_RESULT_LIST_HAND.
#define IDD_FIND_FILES_DLG 195
#define IDC_FIND_PATTERN 1032
#define IDC_FIND_PATTERN_LABEL 1033
#define IDC_FIND_LAST_FILE_LABEL 1035
#define IDC_FIND_LAST_FILE 1036
#define IDC_FIND_COUNT_LABEL 1037
#define IDC_FIND_COUNT 1038
#define IDC_FIND_STOP 1039
#define IDC_FIND_LIST 1040
#define IDC_FIND_SELECT_ALL 1070
#define IDC_FIND_SAVE 1080
#define IDC_FIND_STATUS 1089
#define IDB_FIND_START 1140
#define IDB_FIND_START_HOVER 1141
#define IDB_FIND_STOP 1142
#define IDB_FIND_STOP_HOVER 1143
#define IDB_FIND_SAVE 1144
#define IDB_FIND_SAVE_HOVER 1145
