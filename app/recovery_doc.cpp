#include "recovery_doc.h"

#include <afxdao.h>

#include "mdb_view.h"
#include "message_dialogs.h"

IMPLEMENT_DYNCREATE(CEx_StyleDoc, CDocument)

// clang-format off
BEGIN_MESSAGE_MAP(CEx_StyleDoc, CDocument)
END_MESSAGE_MAP()
// clang-format on

CEx_StyleDoc::CEx_StyleDoc() = default;

CEx_StyleDoc::~CEx_StyleDoc()
{
    delete m_pDatabase;
    m_pDatabase = NULL;
    ReleaseImages();
}

void CEx_StyleDoc::Serialize(CArchive&) {}

int CEx_StyleDoc::IsImageFile(const CString& path)
{
    return ImageTypeOfPath(path);
}

void CEx_StyleDoc::ReleaseImages()
{
    m_imageNames.clear();
    m_pCurrentImage.reset();
    m_nCurrentImage = -1;
}

void CEx_StyleDoc::CollectImages(const CString& folder)
{
    m_strImageFolder = folder;
    ReleaseImages();
    m_imageNames = CollectPictureNames(folder);
    m_nCurrentImage = -1;
    if (m_refreshThumbnails)
        m_refreshThumbnails();
}

void CEx_StyleDoc::LoadImageAt(int index)
{
    if (index == m_nCurrentImage || index < 0 || index >= static_cast<int>(m_imageNames.size()))
        return;
    m_pCurrentImage.reset();
    m_nCurrentImage = index;
    const CString path = m_strImageFolder + L"\\" + m_imageNames[static_cast<std::size_t>(index)];
    if (IsImageFile(path) != 0)
        m_pCurrentImage.reset(new CPreviewImage(path, IsImageFile(path)));
}

void CEx_StyleDoc::DeleteFolderFiles(const CString& folder)
{
    m_strImageFolder = folder;
    ReleaseImages();
    DeleteFilesOfFolder(folder);
}

int CEx_StyleDoc::OpenDatabase(const CString& path)
{
    ::CoInitialize(NULL);
    auto pDatabase = std::make_unique<CDaoDatabase>();
    pDatabase->Open(path, FALSE, FALSE, L"");
    if (m_pDatabase != NULL) {
        m_pDatabase->Close();
        delete m_pDatabase;
    }
    m_pDatabase = pDatabase.release();
    HandDatabaseToViews(m_pDatabase, m_pTableView, m_pQueryView);
    return 1;
}

CString DaoExceptionText(const CDaoException& exception)
{
    const auto code = static_cast<unsigned long>(exception.m_scode);
    CString text;
    text.Format(L"ERROR:CDaoException\n\nSCODE_CODE      =%d\nSCODE_FACILITY  =%d\nSCODE_SEVERITY  =%d\n"
                L"ResultFromScode =%d\n",
                static_cast<int>(code & 0xFFFF), static_cast<int>((code >> 16) & 0x1FFF),
                static_cast<int>((code >> 31) & 1), static_cast<int>(exception.m_scode));
    return text;
}

void ReportDaoException(const CDaoException& exception)
{
    // Our exceptions carry no error information of a database engine, so the code is always shown.
    MessageBoxRequest.Set(DaoExceptionText(exception), kMessageKindError);
    CMessageDlg dialog;
    dialog.DoModal();
}
