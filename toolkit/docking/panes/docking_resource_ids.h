// Ids of the docking panes' resources (res/docking.rc); only #defines, as the resource compiler reads it.
// The caption buttons' command ids are also their tooltips' strings.
#pragma once

#define XTP_IDS_DOCKINGPANE_AUTOHIDE 9900
#define XTP_IDS_DOCKINGPANE_CLOSE 9901
#define XTP_IDS_DOCKINGPANE_MAXIMIZE 9907
#define XTP_IDS_DOCKINGPANE_RESTORE 9908
#define XTP_IDS_DOCKINGPANE_MENU 9909

// The dock markers' artwork (res/docking/, made by tools/make-dock-markers): the centre group's
// background square and the blue, olive and silver sheets of marker style 0, and every piece of style 1.
#define XTP_IDB_DOCKINGPANE_MARKER_SQUARE 9903
#define XTP_IDB_DOCKINGPANE_MARKERS_BLUE 9904
#define XTP_IDB_DOCKINGPANE_MARKERS_OLIVE 9905
#define XTP_IDB_DOCKINGPANE_MARKERS_SILVER 9906
#define XTP_IDB_DOCKINGPANE_MARKERS_STYLE1 9910
