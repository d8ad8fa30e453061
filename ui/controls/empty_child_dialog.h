#pragma once

#include <afxwin.h>

#include "wizard_control_resource_ids.h"

// An empty, transparent child dialog that a preview lays over itself and keeps at the size of its client
// area. It clips its siblings and children, so that the preview under it is not painted over.
class CEmptyChildDlg : public CDialog
{
    DECLARE_DYNAMIC(CEmptyChildDlg)
public:
    enum
    {
        IDD = IDD_EMPTY_CHILD
    };
    explicit CEmptyChildDlg(CWnd* pParent = NULL);

    using CDialog::Create;
    // Modeless, from template 300.
    BOOL Create(CWnd* pParentWnd);
    // Creates from the template with the window styles that PreCreateWindow gives.
    BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
};
