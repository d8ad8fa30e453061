// Resource ids of the toolkit control tests.
#pragma once

#define IDR_CONTROLS_FRAME 9600
#define IDM_OWNER_MENU 9601
#define ID_OWNER_FIRST 33100
#define ID_FRAME_ALPHA 33110
#define ID_FRAME_BETA 33111
