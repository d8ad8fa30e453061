// Ids of the task-panel tests' dialog.
#pragma once

#define IDD_TASKPANEL_TEST 3100
#define IDC_TASKPANEL_BEFORE 3101
#define IDC_TASKPANEL_AFTER 3102
#define IDC_TASKPANEL_PANEL 3103
