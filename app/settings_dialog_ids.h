// Resource and control ids of the Recovery Settings and File Filters dialogs: the resource script
// res/settings_dialogs.rc and the code share them.
#pragma once

// Recovery Settings. The deleted-file choices, the retries and their captions exist but stay hidden.
#define IDD_RECOVERY_SETTINGS 206
#define IDC_SETTINGS_SECTORS_CAPTION 1045
#define IDC_SETTINGS_SECTORS 1046
#define IDC_SETTINGS_DUPLICATE_GROUP 1047
#define IDC_SETTINGS_RENAME 1048
#define IDC_SETTINGS_OVERWRITE 1049
#define IDC_SETTINGS_SKIP 1050
#define IDC_SETTINGS_INCLUDE_DELETED 1051
#define IDC_SETTINGS_ONLY_DELETED 1052
#define IDC_SETTINGS_EXCLUDE_DELETED 1053
#define IDC_SETTINGS_RETRIES_CAPTION 1054
#define IDC_SETTINGS_RETRIES 1055
#define IDC_SETTINGS_DELETED_GROUP 1056
#define IDC_SETTINGS_BAD_SECTOR_GROUP 1057

// File Filters.
#define IDD_FILE_FILTERS 209
#define IDC_FILTER_LIST 1063
#define IDC_FILTER_EDIT 1064
#define IDC_FILTER_ADD 1130
#define IDC_FILTER_REMOVE 1062
#define IDC_FILTER_CAPTION 1128
