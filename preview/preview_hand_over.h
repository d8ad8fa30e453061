#pragma once

// What the preview pane takes from the program around it. The main frame implements it (AfxGetMainWnd()),
// so that the pane and its views stand without knowing the program: the flags the views and the results
// list share, the path the next view opens (the active document's), the results list's focus, the scan
// mode of the results and the program's progress window.
#include <afxwin.h>

#include <vector>

class CMainPreviewView;

class CPreviewHandOver
{
public:
    virtual ~CPreviewHandOver() = default;

    // The path of the file that the next preview view opens, kept by the active document.
    virtual CString& PreviewPath() = 0;
    // Gives the keyboard focus to the results list of the recovered-files view.
    virtual void FocusResultsList() = 0;
    // The scan mode of the results shown (ScanSelection's scan kind: Extensive, File Trace or Quick).
    virtual UINT ScanMode() = 0;
    // Shows the program's progress window (default caption, range 0 to 100) while a view loads its file;
    // the window takes WM_USER + 1 with the position in wParam. Null when there is none.
    virtual HWND OpenProgress() = 0;
    virtual void CloseProgress() = 0;
    // The thumbnail preview's pictures, kept by the active document: the picture files of a folder are
    // collected (names lower-cased and sorted), and every file of a folder is deleted when the preview is
    // done with them. A program without thumbnails keeps none.
    virtual void CollectImages(const CString& /*folder*/) {}
    virtual CString ImageFolder() { return CString(); }
    virtual std::vector<CString> ImageNames() { return {}; }
    virtual void DeleteFolderFiles(const CString& /*folder*/) {}

    CMainPreviewView* m_pPreviewHost = NULL;
    BOOL m_bPreviewOk = FALSE;
    BOOL m_bPreviewable = FALSE;
    BOOL m_bNoSelection = FALSE;
};

// The main window's hand-over; null when the main window has none.
CPreviewHandOver* PreviewHandOver();

// The selected entry's folder path and name, drawn in the pane's header.
extern CString g_strPreviewItemPath;
