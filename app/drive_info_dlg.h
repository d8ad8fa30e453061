#pragma once

// The frame's Drive Information: the file system, start sector, cluster size, FAT and MFT positions of
// the volume the last scan or snapshot used (VolumeParams), and the counts of folders and files found.
#include <afxwin.h>

#include <cstdint>

#include "caption_static.h"
#include "skinned_dialog.h"
#include "transparent_controls.h"

struct DriveInfoTexts
{
    CString fileSystem;
    CString startSector;
    CString directories;
    CString files;
    CString sectorsPerCluster;
    CString firstFat;
    CString secondFat;
    CString mftStart;
};

// The first sector of the chosen volume: NTFS keeps it as its base; a FAT volume's base is where cluster
// 0 would lie, so its boot sector is found from the first FAT and the reserved sectors before it.
std::uint32_t VolumeStartSector();

// The values as the dialog shows them, from the engine's state and the scan mode.
DriveInfoTexts CollectDriveInfo();

class CDriveInfoDlg : public CDialog
{
public:
    explicit CDriveInfoDlg(CWnd* pParent = NULL);

protected:
    BOOL OnInitDialog() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    CDialogSkin m_skin;
    // The captions pad their names with blanks for one face; drawn as captions, their colons stand at
    // one x in any face.
    CCaptionStatic m_labels[8];
    CFont m_labelFont;
    CFont m_valueFont;
    CBrush m_whiteBrush;
};
