// COleObjectFactory: the class factories a program offers to other programs. This program offers
// none, so the calls that a start-up makes for all factories succeed with nothing to do.
#pragma once

#include "afx/cmd_target.h"

class COleObjectFactory : public CCmdTarget
{
public:
    // Registers every factory with OLE (when run embedded or automated).
    static BOOL PASCAL RegisterAll();
    static void PASCAL RevokeAll();
    // Writes (or with FALSE removes) every factory's registry entries.
    static BOOL PASCAL UpdateRegistryAll(BOOL bRegister = TRUE);
};
