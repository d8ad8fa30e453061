#pragma once

// A main frame and a document that stand in for the program's around the preview pane.
#include <afxwin.h>

#include "preview_hand_over.h"

class CPreviewTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CPreviewTestDoc)
public:
    CString m_strPreviewPath;
};

class CPreviewTestFrame : public CFrameWnd, public CPreviewHandOver
{
public:
    CString& PreviewPath() override;
    void FocusResultsList() override { ++m_nResultsFocused; }
    // What the program's main frame does when the results list hands it a file.
    void ShowPreview(CString strPath, CString strExtension);

    CPreviewTestDoc* m_pDoc = NULL;
    int m_nResultsFocused = 0;
};
