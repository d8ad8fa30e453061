#pragma once

// The recovered-items tree on the left of the results view: the found folders under "Root", each with a
// check box.
#include <afxcmn.h>

class CRecoveryTreeCtrl : public CTreeCtrl
{
    DECLARE_DYNAMIC(CRecoveryTreeCtrl)
public:
    CRecoveryTreeCtrl() = default;
};
