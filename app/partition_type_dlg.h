#pragma once

// "Partition Type": whether the partition search takes the partitions from the table it read or searches
// the disk for them. The answer is PartitionSearchChoice.
#include <afxwin.h>

#include "skinned_dialog.h"
#include "xp_group_box.h"

#include <cstdint>

// 0 use the existing partition information, 1 search for partitions.
extern std::uint32_t PartitionSearchChoice;

inline constexpr UINT kPartitionTypeUseExisting = 1091;
inline constexpr UINT kPartitionTypeSearch = 1092;
inline constexpr UINT kPartitionTypeGroup = 1093;
inline constexpr UINT kPartitionTypeLabel = 1132;

class CPartitionTypeDlg : public CDialog
{
public:
    explicit CPartitionTypeDlg(CWnd* pParent = NULL);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    CDialogSkin m_skin;
    CXPGroupBox m_groupBox;
    CFont m_labelFont;
    CFont m_controlFont;
};
