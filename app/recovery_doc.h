#pragma once

// The program's document: the single document of the frame. A snapshot named on the command line is
// opened as this document first; reading it is the snapshot readers' work, so the document reads
// nothing itself.
#include <afxwin.h>

class CEx_StyleDoc : public CDocument
{
    DECLARE_DYNCREATE(CEx_StyleDoc)
public:
    CEx_StyleDoc();
    ~CEx_StyleDoc() override;

    void Serialize(CArchive& ar) override;

    // Deletes every file (no folder, no file of a subfolder) directly inside the folder; files that
    // cannot be deleted are left.
    void DeleteFolderFiles(const CString& folder);

    DECLARE_MESSAGE_MAP()
};
