#include "recovery_doc.h"

#include <afxdao.h>

#include <objidl.h>

#include <gdiplus.h>

#include "message_dialogs.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CEx_StyleDoc, CDocument)

// clang-format off
BEGIN_MESSAGE_MAP(CEx_StyleDoc, CDocument)
END_MESSAGE_MAP()
// clang-format on

namespace {

struct ImageType
{
    const wchar_t* extension;
    int code;
};

constexpr ImageType kImageTypes[] = {
    {L"bmp", 1},  {L"gif", 2},  {L"jpg", 3},  {L"jpeg", 3}, {L"png", 4},  {L"ico", 5},
    {L"tif", 6},  {L"tiff", 6}, {L"tga", 7},  {L"pcx", 8},  {L"wbmp", 9}, {L"wmf", 10},
    {L"emf", 10}, {L"j2k", 11}, {L"jp2", 11}, {L"j2c", 12}, {L"jpc", 12}, {L"pgx", 13},
    {L"pnm", 14}, {L"pgm", 14}, {L"ppm", 14}, {L"ras", 15},
};

bool IsDotEntry(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

} // namespace

CEx_StyleDoc::CEx_StyleDoc()
{
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, NULL);
}

CEx_StyleDoc::~CEx_StyleDoc()
{
    m_pDatabase = NULL;
    ReleaseImages();
    if (m_gdiplusToken != 0)
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
}

void CEx_StyleDoc::Serialize(CArchive&) {}

int CEx_StyleDoc::IsImageFile(const CString& path)
{
    const int dot = path.ReverseFind(L'.');
    if (dot < 0)
        return 0;
    const CString extension = path.Mid(dot + 1);
    for (const ImageType& type : kImageTypes) {
        if (extension.CompareNoCase(type.extension) == 0)
            return type.code;
    }
    return 0;
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
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW(folder + L"\\*.*", &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotEntry(found.cFileName) || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                continue;
            if (IsImageFile(found.cFileName) != 0) {
                CString name(found.cFileName);
                name.MakeLower();
                m_imageNames.push_back(name);
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    SortImageNames(m_imageNames);
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
        m_pCurrentImage.reset(Gdiplus::Bitmap::FromFile(path));
}

void CEx_StyleDoc::DeleteFolderFiles(const CString& folder)
{
    m_strImageFolder = folder;
    ReleaseImages();
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW(folder + L"\\*.*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!IsDotEntry(found.cFileName) && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            ::DeleteFileW(folder + L"\\" + found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

int CEx_StyleDoc::OpenDatabase(const CString&)
{
    // No database engine comes with the program: every database fails to open as the engine's
    // "not registered" failure would.
    auto* pException = new CDaoException;
    pException->m_scode = REGDB_E_CLASSNOTREG;
    throw pException;
}

void SortImageNames(std::vector<CString>& names)
{
    std::sort(names.begin(), names.end(),
              [](const CString& left, const CString& right) { return wcscmp(left, right) < 0; });
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
