#pragma once

// Resource ids of the message dialogs and of the skinned dialogs' bitmaps. The resource script
// res/message_boxes.rc includes this header as well, so it holds plain definitions only.

// The Yes/No question's own template (its text control is absent: the question always goes through the
// HTML message box) and the notice's own template.
#define IDD_QUESTION_DLG 204
#define IDD_MESSAGE_DLG 217

#define IDC_MESSAGE_ICON 1041
#define IDC_MESSAGE_TEXT 1079

// The program's own icon of the notice.
#define IDI_NOTICE 382

// Skin bitmaps, painted as the whole background of their dialogs.
#define IDB_SKIN_PARTITION_TYPE 202
#define IDB_SKIN_FIND_FILES 203
#define IDB_SKIN_SETTINGS 208
#define IDB_SKIN_FILE_FILTERS 210
#define IDB_SKIN_PROPERTIES 213
#define IDB_SKIN_WAIT 216
#define IDB_SKIN_MESSAGE 221
#define IDB_SKIN_PANEL 224
#define IDB_SKIN_PROGRESS 229
#define IDB_SKIN_ABOUT 383
