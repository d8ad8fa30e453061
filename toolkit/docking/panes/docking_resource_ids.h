// Ids of the docking panes' resources (res/docking.rc); only #defines, as the resource compiler reads it.
// The caption buttons' command ids are also their tooltips' strings.
#pragma once

#define XTP_IDS_DOCKINGPANE_AUTOHIDE 9900
#define XTP_IDS_DOCKINGPANE_CLOSE 9901
#define XTP_IDS_DOCKINGPANE_MAXIMIZE 9907
#define XTP_IDS_DOCKINGPANE_RESTORE 9908
#define XTP_IDS_DOCKINGPANE_MENU 9909
