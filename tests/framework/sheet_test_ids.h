// Resource ids of the property sheet and dialog initialisation tests (shared by script and tests).
#pragma once

#define IDD_PAGE_FIRST 500
#define IDD_PAGE_SECOND 501
#define IDD_DLGINIT_EXAMPLE 502
#define IDD_DLGINIT_TRUNCATED 503
#define IDD_DLGINIT_UNKNOWN 504
#define IDD_RICH_EDIT 505

#define IDS_SHEET_TITLE 520
#define IDS_PAGE_SECOND_CAPTION 521

#define IDC_PAGE_EDIT 1101
#define IDC_PAGE_COMBO 1102
#define IDC_PAGE_CHECK 1103
#define IDC_DLGINIT_EXAMPLE_COMBO 1110
#define IDC_DLGINIT_EXAMPLE_LIST 1111
#define IDC_RICH_TEXT 1112

#define ID_SHEET_COMMAND 33101
#define ID_SHEET_DISABLED 33102
