// Resource and command ids of the popup-menu tests.
#pragma once

#define IDR_PM_FRAME 3300
#define IDR_PM_MDI 3301

#define ID_PM_NEW 3310
#define ID_PM_OPEN 3311
#define ID_PM_RARE 3312
#define ID_PM_EXIT 3313
#define ID_PM_UNDO 3314
#define ID_PM_DEEP 3315
#define ID_PM_CUT 3316
#define ID_PM_COPY 3317
#define ID_PM_PASTE 3318
#define ID_PM_FIND 3319
#define ID_PM_LAST 3399
