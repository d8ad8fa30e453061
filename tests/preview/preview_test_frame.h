#pragma once

// A main frame and a document that stand in for the program's around the preview pane.
#include <afxwin.h>

#include <vector>

#include "preview_hand_over.h"

class CMainPreviewView;

class CPreviewTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CPreviewTestDoc)
public:
    CString m_strPreviewPath;
    CString m_strImageFolder;
    std::vector<CString> m_imageNames;
};

class CPreviewTestFrame : public CFrameWnd, public CPreviewHandOver
{
public:
    CString& PreviewPath() override;
    void FocusResultsList() override { ++m_nResultsFocused; }
    UINT ScanMode() override { return m_nScanMode; }
    // A window that records the positions WM_USER + 1 brings; closing it first hands it what is still
    // queued for it.
    HWND OpenProgress() override;
    void CloseProgress() override;
    void CollectImages(const CString& folder) override;
    CString ImageFolder() override { return Document().m_strImageFolder; }
    std::vector<CString> ImageNames() override { return Document().m_imageNames; }
    void DeleteFolderFiles(const CString& folder) override;
    CPreviewTestDoc& Document();
    // What the program's main frame does when the results list hands it a file.
    void ShowPreview(CString strPath, CString strExtension);

    CPreviewTestDoc* m_pDoc = NULL;
    int m_nResultsFocused = 0;
    UINT m_nScanMode = 2; // Quick Scan
    HWND m_hProgress = NULL;
    int m_nProgressOpened = 0;
    std::vector<int> m_progressPositions;
};

// Dispatches the messages that arrive during the time given.
void PumpMessages(DWORD milliseconds);
// A shown test frame of 820 x 600 with a document and the preview pane as its view (the application's
// main window); the pane, or null with the frame null when it could not be made.
CMainPreviewView* CreatePreviewHostFrame(CPreviewTestFrame*& pFrame, const wchar_t* title);
