#pragma once

// A main frame and a document that stand in for the program's around the preview pane.
#include <afxdao.h>
#include <afxwin.h>

#include <memory>
#include <vector>

#include "preview_hand_over.h"

#include <string>

// The test programs' application object; the framework, the common controls and OLE (the web-browser
// view is an OLE control) are set up before the first test.
extern CWinApp& PreviewTestApp();

// Handles this thread's messages for a while.
void Pump(DWORD milliseconds);
// A text with every character past ASCII as "?".
std::string Narrow(const CString& text);
// The text of the first child window of a box (a message box's) that holds the part; empty when none.
std::wstring BoxTextHolding(HWND box, const wchar_t* part);

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
    HIMAGELIST ResultsSmallImageList() override { return m_hResultsSmallIcons; }
    // Makes the window, the program's main window from now on, with the pane as its view over the
    // frame's document; the pane, or null when it could not be made.
    CMainPreviewView* CreateWithHost(const wchar_t* pszTitle, const CRect& rect);
    UINT ScanMode() override { return m_nScanMode; }
    // A window that records the positions WM_USER + 1 brings; closing it first hands it what is still
    // queued for it.
    HWND OpenProgress() override;
    void CloseProgress() override;
    // The thumbnails' folder of pictures, kept in the document as the program's document keeps it.
    void CollectImages(const CString& folder) override;
    CString ImageFolder() override { return Document().m_strImageFolder; }
    std::vector<CString> ImageNames() override { return Document().m_imageNames; }
    void DeleteFolderFiles(const CString& folder) override;
    CPreviewTestDoc& Document();
    // What the program's main frame does when the results list hands it a file.
    void ShowPreview(CString strPath, CString strExtension);

    // The document's part in the Access preview: the views register, and a database opened on request is
    // handed to them; a failure is reported (a message box) and gives FALSE. Only when m_bOpensDatabases
    // is set; otherwise nothing opens.
    void RegisterDatabaseView(CView* pView) override;
    BOOL OpenDatabase(const CString& path) override;
    BOOL m_bOpensDatabases = FALSE;
    CView* m_pDatabaseTreeView = NULL;
    CView* m_pDatabaseListView = NULL;
    std::unique_ptr<CDaoDatabase> m_pDatabase;

    CPreviewTestDoc* m_pDoc = NULL;
    int m_nResultsFocused = 0;
    HIMAGELIST m_hResultsSmallIcons = NULL;
    UINT m_nScanMode = 2; // Quick Scan
    HWND m_hProgress = NULL;
    int m_nProgressOpened = 0;
    std::vector<int> m_progressPositions;
};
