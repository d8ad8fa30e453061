#pragma once

// The preview pane of the recovered-files step: picks one view by the file's extension, makes it its only
// child under a header band, and shows a placeholder picture that says why when the file cannot be shown.
#include <afxwin.h>

enum PreviewKind
{
    kPreviewImage,
    kPreviewBrowser,
    kPreviewDocument,
    kPreviewArchive,
    kPreviewAvi,
    kPreviewMedia,
    kPreviewThumbnail,
    kPreviewDbf,
    kPreviewMdb,
    kPreviewPlaceholder,
    kPreviewCustomHtml,
    kPreviewDxf,
    kPreviewPsd,
    kPreviewLargeFile,
    kPreviewPicture,
    kPreviewKindCount
};

class CMainPreviewView : public CView
{
    DECLARE_DYNCREATE(CMainPreviewView)
public:
    // The child id of every preview view and the band of the header that the views leave free.
    static constexpr UINT kPreviewChildId = AFX_IDW_PANE_FIRST;
    static constexpr int kChildTop = 35;
    static constexpr int kHeaderHeight = 50;
    static constexpr COLORREF kBodyColour = 0xBD751D;

    CMainPreviewView();
    ~CMainPreviewView() override;

    void ShowPreview(CString strPath, CString strExtension);
    static BOOL IsPreviewable(CString strPath, CString strExtension);
    void ClosePreviewViews();
    void ShowNoPreview();
    // For the thread's report of an exception that a window's handler let out: when memory ran out in one
    // of the shown preview's windows (a damaged file can ask for more than there is), the preview has
    // failed; its views are closed for the "Corrupt File" placeholder once the failed message has returned,
    // and TRUE comes back. FALSE for any other exception or window, which the thread reports itself.
    static BOOL TakeWndProcException(CException* e, const MSG* pMsg);

    void CreateImageView(CString strPath, CString strExtension);
    void CreatePictureView(CString strPath);
    void CreateHtmlView(CString strPath, CString strExtension);
    void CreateCustomHtmlView(CString strPath, CString strExtension);
    void CreateDocumentView(CString strPath);
    void CreateArchiveView(CString strPath);
    void CreatePsdView(CString strPath, CString strExtension);
    void CreateAviView(CString strPath);
    void CreateMediaView(CString strPath);
    BOOL ShowPowerPointPreview(CString strPath);
    // Shows the pictures of the folder as thumbnails, then deletes them and the folder.
    BOOL CreateThumbView(CString strFolder);
    void CreateDbfView(CString strPath);
    BOOL CreateMdbView(CString strPath);
    void CreateDxfView(CString strPath, CString strExtension);
    void CreateLargeFileView();

    // The live child of each kind (null when none).
    CWnd* m_pViews[kPreviewKindCount];
    // The view class each kind's creator makes; null for a kind whose view this build lacks, whose
    // creator then makes nothing.
    CRuntimeClass* m_pViewClasses[kPreviewKindCount];

    CString m_strHeaderLeft1;
    CString m_strHeaderLeft2;
    CString m_strHeaderRight1;
    CString m_strItemPath;
    CString m_strInfo;
    CRect m_rectHeader;
    CRect m_rectBody;
    int m_bHeader;

protected:
    void OnDraw(CDC* pDC) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg LRESULT OnPreviewFailed(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    // Writes the path for the view (unless null), creates the kind's view as the only child, shows it and
    // lays it out; the view or null.
    CWnd* CreatePreviewView(PreviewKind kind, const CString* pPath, BOOL bShow = TRUE);
    void DrawHeader(CDC* pDC, const CRect& rectHeader);
};

// The placeholder picture: "Select file for preview", "Corrupt File" or "Preview not available…".
class CCorrupted_NoPreview_View : public CView
{
    DECLARE_DYNCREATE(CCorrupted_NoPreview_View)
protected:
    void OnDraw(CDC* pDC) override;
};

// "File too large to Preview".
class CLargeFileView : public CView
{
    DECLARE_DYNCREATE(CLargeFileView)
protected:
    void OnDraw(CDC* pDC) override;
};

// Draws a bitmap resource at its natural size, centred in the rectangle and moved nLeft pixels left.
void DrawCentredBitmap(CDC* pDC, const CRect& rect, UINT nIDBitmap, int nLeft);
