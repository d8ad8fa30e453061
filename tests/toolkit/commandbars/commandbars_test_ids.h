// Resource and command ids of the command-bar tests.
#pragma once

#define IDR_CB_FRAME 3100
#define IDR_CB_ITEMS 3101
#define IDR_CB_MDI 3102
#define IDR_CB_BAD_VERSION 3103
#define IDR_CB_BAD_COUNT 3104
#define IDD_CB_TOOLBAR_DIALOG 3105
#define IDC_CB_DIALOG_NAME 3106
#define IDC_CB_DIALOG_NOTE 3107
#define IDC_CB_DIALOG_BAR 3108
#define IDR_CB_WIDE 3109
#define IDR_CB_SMALL 3110

#define ID_CB_NEW 3200
#define ID_CB_OPEN 3201
#define ID_CB_SAVE 3202
#define ID_CB_SEND 3203
#define ID_CB_PRINT 3204
#define ID_CB_UNDO 3205
#define ID_CB_STORE 3206
#define ID_CB_ITEM_ONE 3210
#define ID_CB_ITEM_TWO 3211
#define ID_CB_ITEM_DEEP 3212
#define ID_CB_OLE_VERB 57872
