#include "recovery_doc.h"

IMPLEMENT_DYNCREATE(CEx_StyleDoc, CDocument)

// clang-format off
BEGIN_MESSAGE_MAP(CEx_StyleDoc, CDocument)
END_MESSAGE_MAP()
// clang-format on

CEx_StyleDoc::CEx_StyleDoc() = default;
CEx_StyleDoc::~CEx_StyleDoc() = default;

void CEx_StyleDoc::Serialize(CArchive&) {}

void CEx_StyleDoc::DeleteFolderFiles(const CString& folder)
{
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW(folder + L"\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            ::DeleteFileW(folder + L"\\" + found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}
