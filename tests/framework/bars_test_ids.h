// Resource ids of the status bar, toolbar, dock bar, mini frame and MDI tests' script.
#pragma once

#define IDR_BARS_FRAME 140
#define IDR_BARS_TOOLBAR 141 // three buttons and a separator, with its bitmap
#define IDR_BARS_BROKEN 142  // a toolbar resource of the wrong version
#define IDR_MDI_FRAME 143
#define IDR_MDI_DOC 144

#define ID_BAR_RUN 33200      // handled by the frame
#define ID_BAR_DISABLED 33201 // the frame's update handler disables it
#define ID_BAR_NOHANDLER 33202
#define ID_INDICATOR_TEST 33203    // a pane the frame's update handler fills
#define ID_INDICATOR_LINK 33204    // an owner-drawn pane
#define ID_INDICATOR_MISSING 33205 // no string
#define ID_MDI_CMD 33210           // handled by the view and the MDI frame
