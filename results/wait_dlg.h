#pragma once

// The modal "please wait" box of Save: a worker thread runs the results view's preparation of the marks
// while the box is up, and the box closes itself once the worker has returned. Both Cancel buttons of its
// template are hidden.
#include <afxwin.h>

#include "modal_wait_dialog.h"

class CThirdView_HDD;

class CWaitDlg : public CModalWaitDlg
{
public:
    explicit CWaitDlg(CWnd* pParent = NULL);

    // The view whose PrepareSaveSelection the worker runs; set before DoModal.
    CThirdView_HDD* m_pJobOwner = NULL;

    INT_PTR DoModal() override;

protected:
    BOOL OnInitDialog() override;

private:
    static void WaitDlgThread(UINT_PTR owner, UINT_PTR, UINT_PTR, const std::atomic<bool>& stop);

    CFont m_boldFont;
};
