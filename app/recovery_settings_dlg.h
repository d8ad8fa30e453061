#pragma once

// The frame's Recovery Settings: how many sectors one read of a scan takes and what a save does with a
// file that already exists in the target folder. The deleted-file choice and the retries on bad sectors
// stay hidden; they are still filled from RecoverySettings and read back on OK, so they keep their
// values. OK stores, Cancel leaves RecoverySettings as it was.
#include <afxwin.h>

#include "flat_combo_box.h"
#include "skinned_dialog.h"
#include "transparent_controls.h"

class CRecoverySettingsDlg : public CDialog
{
public:
    explicit CRecoverySettingsDlg(CWnd* pParent = NULL);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    DECLARE_MESSAGE_MAP()

private:
    CFlatComboBox m_sectorsCombo;
    CFlatComboBox m_retriesCombo;
    CTransparentStatic m_labels[5];
    CTransparentButtonCtrl m_radios[6];
    CDialogSkin m_skin;
    CFont m_groupFont;
    CFont m_font;
    HICON m_hIcon = NULL;
};
