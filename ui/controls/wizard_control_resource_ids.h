#pragma once

// Resource ids of the wizard's picture buttons and of the previews' empty child dialog. The resource script
// res/wizard_controls.rc includes this header as well, so it holds plain definitions only.

// The empty, transparent child dialog that a preview lays over itself.
#define IDD_EMPTY_CHILD 300

// Cursors of the hover buttons: over the button, and while it is pressed.
#define IDC_HOVER_BUTTON_HOVER 264
#define IDC_HOVER_BUTTON_PRESS 265
