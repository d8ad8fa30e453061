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
// The caption's glyphs (push pin, push pin hot, close; 16 x 15 each on the mask colour 0xFF00FF) and
// the text of its popup's inner caption.
#define XT_IDB_BTN_OUT 9002
#define XT_IDS_CLICKKEEPOPEN 9036
// The hyperlink's failure texts, one per code of the shell's open call, and the one for other codes.
#define XT_IDS_SE_0 9040
#define XT_IDS_SE_ERR_FNF 9041
#define XT_IDS_SE_ERR_PNF 9042
#define XT_IDS_SE_ERR_ACCESSDENIED 9043
#define XT_IDS_SE_ERR_OOM 9044
#define XT_IDS_SE_ERR_BAD_FORMAT 9045
#define XT_IDS_SE_ERR_SHARE 9046
#define XT_IDS_SE_ERR_ASSOCINCOMPLETE 9047
#define XT_IDS_SE_ERR_DDETIMEOUT 9048
#define XT_IDS_SE_ERR_DDEFAIL 9049
#define XT_IDS_SE_ERR_DDEBUSY 9050
#define XT_IDS_SE_ERR_NOASSOC 9051
#define XT_IDS_SE_ERR_DLLNOTFOUND 9052
#define XT_IDS_SE_ERR_UNKNOWN 9053
