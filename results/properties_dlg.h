#pragma once

// "File/Folder Properties": the name, size, contents and times of a row of the result list or of a
// folder of the recovered-items tree, on the properties skin.
#include <afxwin.h>

#include "engine/recovery/core/engine_types.h"
#include "skinned_dialog.h"
#include "transparent_controls.h"

#include <cstdint>

class CRecoveryTreeCtrl;

// What the dialog shows, filled just before it opens. A folder's tree item is pointer-sized.
struct PropertiesTexts
{
    CString PropName;
    CString PropSize;
    CString PropCreated;
    CString PropModified;
    bool PropIsFolder = false;
    TreeItemValue PropItemId = 0;
    // A folder's totals, counted when the dialog opens.
    std::uint64_t PropFileCount = 0;
    std::uint64_t PropByteCount = 0;
    std::uint64_t PropFolderCount = 0;
};

// A file's size as the dialog shows it: whole KiB plus one, "n KB" (0 bytes "1 KB", 1024 bytes "2 KB").
CString PropertiesFileSizeText(std::uint64_t bytes);
// A folder's: whole MiB, "n MB", or "Less than 1 MB".
CString PropertiesFolderSizeText(std::uint64_t bytes);
// "x File(s) and y Folder(s)".
CString PropertiesContentsText(std::uint64_t files, std::uint64_t folders);

class CPropertiesDlg : public CDialog
{
public:
    // `pTree` counts a folder's contents; without one a folder shows none.
    CPropertiesDlg(const PropertiesTexts& texts, CRecoveryTreeCtrl* pTree, CWnd* pParent = NULL);

    const PropertiesTexts& Texts() const { return m_texts; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    PropertiesTexts m_texts;
    CRecoveryTreeCtrl* m_pTree;
    CDialogSkin m_skin;
    CTransparentStatic m_statics[10];
    CFont m_labelFont;
    CFont m_valueFont;
};

// The tree's Properties command: the folder of the item, its times from its record.
void ShowFolderProperties(CRecoveryTreeCtrl& tree, HTREEITEM item, CWnd* pParent);
