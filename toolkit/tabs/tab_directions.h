// The side a tab strip sits on and the side a docking pane docks to. They number the sides
// differently, so they are distinct types that cannot be mixed up unnoticed.
#pragma once

enum XTPTabPosition
{
    xtpTabPositionTop = 0,
    xtpTabPositionLeft = 1,
    xtpTabPositionBottom = 2,
    xtpTabPositionRight = 3,
};

enum XTPDockingPaneDirection
{
    xtpPaneDockLeft = 0,
    xtpPaneDockRight = 1,
    xtpPaneDockTop = 2,
    xtpPaneDockBottom = 3,
};
