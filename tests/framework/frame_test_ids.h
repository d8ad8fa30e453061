// Resource ids of the frame and document tests' script.
#pragma once

#define IDR_TEST_FRAME 128
#define IDR_TEST_DOC 129
#define IDR_NO_MENU 130

#define ID_CMD_VIEW 33100   // handled by the view, the frame and the application
#define ID_CMD_FRAME 33101  // handled by the frame and the application
#define ID_CMD_ACCEL 33102  // F5 in the frame's accelerators; handled by the frame
#define ID_CMD_PROMPT 33103 // its string is "Prompt\nTip"
#define ID_CMD_NOHANDLER 33104
#define ID_CMD_BAR 33105   // the bars' item; the main frame's update handler decides
#define ID_CMD_CHAIN 33106 // handled by view, document, template, frame and application
