#pragma once

// What the preview pane takes from the program around it. The main frame implements it (AfxGetMainWnd()),
// so that the pane and its views stand without knowing the program: the flags the views and the results
// list share, the path the next view opens (the active document's), the results list's focus and its
// small icons, the scan mode of the results and the program's progress window.
#include <afxwin.h>

#include <vector>

class CMainPreviewView;
class CDaoException;

class CPreviewHandOver
{
public:
    virtual ~CPreviewHandOver() = default;

    // The path of the file that the next preview view opens, kept by the active document.
    virtual CString& PreviewPath() = 0;
    // Gives the keyboard focus to the results list of the recovered-files view.
    virtual void FocusResultsList() = 0;
    // The system small-icon list that the recovered-files view shows; null when it has none. Borrowed:
    // whoever shows it must not destroy it.
    virtual HIMAGELIST ResultsSmallImageList() = 0;
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

    // The Access preview's tree and list register here as they are created (the document keeps them); the
    // host then asks for the database at the path to be opened and handed to them. False when it cannot
    // be opened, after the failure was reported. Without a document nothing registers and nothing opens.
    virtual void RegisterDatabaseView(CView* /*pView*/) {}
    virtual BOOL OpenDatabase(const CString& /*path*/) { return FALSE; }
    // Reports a database failure of the Access preview (the program's error report); without one, the
    // exception's description is shown in a message box.
    virtual void ReportDatabaseError(const CDaoException& exception);

    CMainPreviewView* m_pPreviewHost = NULL;
    BOOL m_bPreviewOk = FALSE;
    BOOL m_bPreviewable = FALSE;
    BOOL m_bNoSelection = FALSE;
    // The application's settings of the Access preview: system objects stay hidden, deletes are
    // confirmed, and so many records are loaded at most.
    BOOL m_bShowSystemObjects = FALSE;
    BOOL m_bConfirmDeletes = TRUE;
    long m_nMaxRecords = 10000;
};

// The main window's hand-over; null when the main window has none.
CPreviewHandOver* PreviewHandOver();

// The selected entry's folder path and name, drawn in the pane's header.
extern CString g_strPreviewItemPath;
