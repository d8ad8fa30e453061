#pragma once

// The program's document: the single document of the frame. It stores and serialises nothing; it holds
// what the preview pane works on: the path to preview, the images of a folder for the thumbnail preview
// with the current decoded one, and the database of the Access preview. A snapshot named on the command
// line is opened as this document first; reading it is the snapshot readers' work.
#include <afxwin.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "picture_folder.h"
#include "preview_image.h"

class CDaoException;
class CView;

// The database of the Access preview, opened on the preview's temporary copy.
class CDaoDatabase;

class CEx_StyleDoc : public CDocument
{
    DECLARE_DYNCREATE(CEx_StyleDoc)
public:
    CEx_StyleDoc();
    ~CEx_StyleDoc() override;

    void Serialize(CArchive& ar) override;

    // The image type code of a path by its extension, without regard to case (the previews' numbering:
    // 1 bmp ... 15 ras); 0 when it is no image.
    static int IsImageFile(const CString& path);
    // Collects the image files directly inside the folder, lower-cased and in ascending code-unit order;
    // no image is current afterwards. A folder that cannot be listed leaves the list empty.
    void CollectImages(const CString& folder);
    // Makes the collected image `index` current; the current index again or one outside the list
    // changes nothing.
    void LoadImageAt(int index);
    // Releases the collected images, then deletes every file (no folder, no file of a subfolder) directly
    // inside the folder; files that cannot be deleted are left.
    void DeleteFolderFiles(const CString& folder);
    // Opens an Access database for the preview, replacing the one open before, and hands it to the Access
    // views (the tree registered as the table view, the record list as the query view); throws
    // CDaoException when it cannot be opened, leaving the open one as it was.
    int OpenDatabase(const CString& path);

    CString m_strPreviewPath;
    CString m_strImageFolder;
    std::vector<CString> m_imageNames;
    int m_nCurrentImage = -1;
    std::unique_ptr<CPreviewImage> m_pCurrentImage;
    CDaoDatabase* m_pDatabase = NULL;
    // Asked after each CollectImages: the thumbnail preview shows the new list. Set by that preview.
    std::function<void()> m_refreshThumbnails;
    // The Access preview's structure tree and record list, which receive the database; not owned.
    CView* m_pTableView = NULL;
    CView* m_pQueryView = NULL;

    DECLARE_MESSAGE_MAP()

private:
    void ReleaseImages();
};

// The text that ReportDaoException shows for a failure without error information.
CString DaoExceptionText(const CDaoException& exception);
// Shows a database failure as an error message; one that carries error information shows nothing.
void ReportDaoException(const CDaoException& exception);
