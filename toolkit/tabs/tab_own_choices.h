// What the tab strips settle for themselves where the design leaves the choice open, kept in one
// place:
//
// | Choice                                   | Value                                                     |
// |------------------------------------------|-----------------------------------------------------------|
// | Theme6 and Theme9 button frame (schemes) | 0x800000, the Style 4 scheme 1 frame                      |
// | Theme6 and Theme9 colours not named      | those of the default colour set                           |
// | Style16 colours not named                | those of the default colour set                           |
// | Visual-style tab item part and states    | TABP_TABITEM (1): normal 1, hot 2, selected 3, disabled 4 |
// | Visual-style tab pane part               | TABP_PANE (9), state 0                                    |
// | Visual-style toolbar button part, states | TP_BUTTON (1): normal 1, hot 2, pressed 3                 |
// | Rotated layout (5): tab length           | the row height, every tab alike                           |
// | Rotated layout (5): tab depth            | the whole header less its margins                         |
#pragma once

#define XTP_TAB_THEME6_SCHEME_BUTTON_FRAME 0x800000

#define XTP_TAB_VS_PART_TABITEM 1
#define XTP_TAB_VS_PART_PANE 9
#define XTP_TAB_VS_STATE_NORMAL 1
#define XTP_TAB_VS_STATE_HOT 2
#define XTP_TAB_VS_STATE_SELECTED 3
#define XTP_TAB_VS_STATE_DISABLED 4

#define XTP_TAB_VS_PART_TOOLBAR_BUTTON 1
#define XTP_TAB_VS_STATE_TOOLBAR_NORMAL 1
#define XTP_TAB_VS_STATE_TOOLBAR_HOT 2
#define XTP_TAB_VS_STATE_TOOLBAR_PRESSED 3
