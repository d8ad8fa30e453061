// Resource ids of the window tests' script (shared by the script and the tests).
#pragma once

#define IDD_TEST_FORM 200
#define IDD_TEST_PRESS 201
#define IDR_TEST_TOOLBAR 300
#define IDS_TEST_TITLE 400

#define IDC_EDIT_TEXT 1001
#define IDC_EDIT_NUMBER 1002
#define IDC_CHECK 1003
#define IDC_RADIO1 1004
#define IDC_RADIO2 1005
#define IDC_RADIO3 1006
#define IDC_OTHER 1007
#define IDC_OWNERDRAW 1008
#define IDC_CHECKLIST 1009
#define IDC_LABEL 1010

#define ID_TEST_NEW 32801
#define ID_TEST_OPEN 32802
