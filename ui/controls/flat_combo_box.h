#pragma once

#include <afxwin.h>

// The combo box type of the shell's dialogs: members attached to their combo box controls. It adds
// no message handling and no drawing, so it looks and behaves exactly as the system's combo box.
class CFlatComboBox : public CComboBox
{
public:
    CFlatComboBox() = default;
};
