// Numbers the task panel shares with its owner: the notification message and its codes, item types,
// behaviours, layouts, hot-track styles and drag permissions.
#pragma once

#include "taskpanel_resource_ids.h"

// Sent to the owner window (the parent when no owner is set): wParam a code below, lParam its data.
#define XTPWM_TASKPANEL_NOTIFY 0x27EC

#define XTP_TPN_CLICK 1
#define XTP_TPN_RCLICK 2
#define XTP_TPN_STARTDRAG 3
#define XTP_TPN_ENDLABELEDIT 4
#define XTP_TPN_ITEMDROP 5
#define XTP_TPN_GROUPEXPANDING 6
#define XTP_TPN_GROUPEXPANDED 7
#define XTP_TPN_DBLCLICK 8
#define XTP_TPN_FOCUSEDITEMCHANGED 9

// A notification answer that refuses what the code announces.
#define XTP_ACTION_CANCEL (-1)

enum XTPTaskPanelItemType
{
    xtpTaskItemTypeGroup = 0,
    xtpTaskItemTypeLink = 1,
    xtpTaskItemTypeText = 2,
    xtpTaskItemTypeControl = 3,
};

enum XTPTaskPanelBehaviour
{
    xtpTaskPanelBehaviourExplorer = 0,
    xtpTaskPanelBehaviourToolbox = 1,
    xtpTaskPanelBehaviourList = 2,
};

enum XTPTaskPanelItemLayout
{
    xtpTaskItemLayoutDefault = 0,
    xtpTaskItemLayoutImages = 1,
    xtpTaskItemLayoutImagesWithText = 2,
    xtpTaskItemLayoutImagesWithTextBelow = 3,
};

enum XTPTaskPanelHotTrackStyle
{
    xtpTaskPanelHighlightDefault = 0,
    xtpTaskPanelHighlightText = 1,
    xtpTaskPanelHighlightImage = 2,
    xtpTaskPanelHighlightItem = 3,
};

enum XTPTaskPanelAnimation
{
    xtpTaskPanelAnimationYes = 0,
    xtpTaskPanelAnimationNo = 1,
    xtpTaskPanelAnimationSystem = 2,
};

// Drag permissions of the panel, a group or an item; 1 takes the owner's.
enum XTPTaskPanelItemAllowDrag
{
    xtpTaskItemAllowDragNone = 0x00,
    xtpTaskItemAllowDragDefault = 0x01,
    xtpTaskItemAllowDragCopyWithinGroup = 0x02,
    xtpTaskItemAllowDragCopyWithinControl = 0x04,
    xtpTaskItemAllowDragCopyOutsideControl = 0x08,
    xtpTaskItemAllowDragCopy = 0x0E,
    xtpTaskItemAllowDragMoveWithinGroup = 0x20,
    xtpTaskItemAllowDragMoveWithinControl = 0x40,
    xtpTaskItemAllowDragMoveOutsideControl = 0x80,
    xtpTaskItemAllowDragMove = 0xE0,
    xtpTaskItemAllowDragWithinControl = 0x66,
    xtpTaskItemAllowDragAll = 0xCC,
};

// Expand-button looks of the paint manager.
enum XTPTaskPanelExpandButtonStyle
{
    xtpTaskPanelExpandButtonNone = 0,
    xtpTaskPanelExpandButtonShellStyle = 1,
    xtpTaskPanelExpandButtonFramed = 2,
    xtpTaskPanelExpandButtonTriangle = 3,
};

// Colour modes of the paint manager's item highlights.
enum XTPTaskPanelColorMode
{
    xtpTaskPanelColorSystem = 0,
    xtpTaskPanelColorFixed = 1,
    xtpTaskPanelColorScheme = 2,
};
