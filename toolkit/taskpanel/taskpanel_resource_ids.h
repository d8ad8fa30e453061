// Ids of the task panel's resources (res/docking.rc); only #defines, as the resource compiler reads it.
#pragma once

// The expand-button faces built when the visual style's own pictures are not loaded.
#define XTP_IDB_TASKPANEL_EXPAND_NORMAL 9197
#define XTP_IDB_TASKPANEL_EXPAND_SPECIAL 9198
