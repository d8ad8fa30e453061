// Resource ids of the toolkit's own resources (res/toolkit.rc). Usable from resource scripts.
#pragma once

// Cursors of the metrics object that no part of the program names; the program holds none of them.
#define XT_IDC_CURSOR_9008 9008
#define XT_IDC_CURSOR_9009 9009
#define XT_IDC_CURSOR_9011 9011
// Sizing cursors of splitters and pane edges, and the hand that stands in for a missing system hand.
#define XT_IDC_HSPLITBAR 9970
#define XT_IDC_VSPLITBAR 9971
#define XT_IDC_HAND 9973
// The popup menus of the toolkit's controls (sub-menu 1 edit commands, 2 the list header's), and the
// toolbar whose images they would show (not authored: the menus show without images).
#define XT_IDM_POPUP 9014
#define XT_IDR_TBAR_HDR 9015
#define XT_IDR_TBAR_POPUP 9017
