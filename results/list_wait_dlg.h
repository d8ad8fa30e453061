#pragma once

// The please-wait box of the result list while a double-clicked folder is listed on a worker thread.
// Cancel ends the listing between rows; the rows listed so far stay.
#include <afxwin.h>

#include "modal_wait_dialog.h"

class CListWaitDlg : public CModalWaitDlg
{
public:
    explicit CListWaitDlg(CWnd* pParent = NULL);

protected:
    BOOL OnInitDialog() override;
};
