// Resource and control ids of the partition step, its panel and the File Types dialog: the resource
// script res/partition_step.rc and the code share them.
#pragma once

// File Types dialog.
#define IDD_FILE_TYPES 237
#define IDC_FILE_TYPE_TREE 1085
#define IDC_FILE_TYPE_SIZE 1105
#define IDC_FILE_TYPE_INSTRUCTION 1101
#define IDC_FILE_TYPE_SIZE_CAPTION 1107
#define IDC_FILE_TYPE_SIZE_UNIT 1134
// The tree's state images, 16 pixels wide each: none, unchecked, checked, partly checked.
#define IDB_FILE_TYPE_STATES 200

// The partition step's header strips and its Scan button faces.
#define IDB_STEP_HEADER_LOGICAL 278
#define IDB_STEP_HEADER_SCANNING 279
#define IDB_STEP_HEADER_QUICK 283
#define IDB_FILE_SYSTEM_HEADER 284
#define IDB_STEP_HEADER_EXTENSIVE 285
#define IDB_SCAN_BUTTON 344
#define IDB_SCAN_BUTTON_HOVER 345

// The partition step's panel (CSecondDisplay). The hint and the status line share 170, and both group
// boxes 61479: the panel keeps each as an object and never looks one up by its id.
#define IDC_PANEL_HINT 170
#define IDC_PANEL_STATUS 170
#define IDC_PANEL_CAPTION_FIRST 32812
#define IDC_PANEL_VALUE_FIRST 32817
#define IDC_PANEL_EXPLANATION 61487
#define IDC_PANEL_TITLE 32823
#define IDC_PANEL_FS_CAPTION 61458
#define IDC_PANEL_START_CAPTION 61459
#define IDC_PANEL_END_CAPTION 61460
#define IDC_PANEL_START_SECTOR 61462
#define IDC_PANEL_END_SECTOR 61461
#define IDC_PANEL_FS_COMBO 61463
#define IDC_PANEL_GROUP 61479
#define IDC_PANEL_PIE 61467
#define IDC_PANEL_TOGGLE 61486
#define IDC_PANEL_PROGRESS 61457
#define IDC_PANEL_LOGO 32825

// Drive Information dialog: the labels 1016 to 1020 and 1029 to 1031, their values 1021 to 1028.
#define IDD_DRIVE_INFO 194
#define IDC_DRIVE_INFO_TITLE 1127
#define IDC_DRIVE_INFO_FS_LABEL 1016
#define IDC_DRIVE_INFO_START_LABEL 1017
#define IDC_DRIVE_INFO_DIRS_LABEL 1018
#define IDC_DRIVE_INFO_FILES_LABEL 1019
#define IDC_DRIVE_INFO_SPC_LABEL 1020
#define IDC_DRIVE_INFO_FAT1_LABEL 1029
#define IDC_DRIVE_INFO_FAT2_LABEL 1030
#define IDC_DRIVE_INFO_MFT_LABEL 1031
#define IDC_DRIVE_INFO_FS 1021
#define IDC_DRIVE_INFO_DIRS 1022
#define IDC_DRIVE_INFO_FILES 1023
#define IDC_DRIVE_INFO_START 1024
#define IDC_DRIVE_INFO_SPC 1025
#define IDC_DRIVE_INFO_FAT1 1026
#define IDC_DRIVE_INFO_FAT2 1027
#define IDC_DRIVE_INFO_MFT 1028
