#include "archive_list_view.h"

#include <fcntl.h>
#include <fdi.h>
#include <io.h>
#include <sys/stat.h>

#include "loaded_notice.h"
#include "preview_hand_over.h"
#include "preview_resource_ids.h"
#include "rar_archive_reader.h"
#include "unrar/unrar_interface.h"
#include "zip_archive_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

CObList g_cabEntries(10);

namespace {

// The header pictures, in the order of the header items they go on.
const UINT kHeaderIcons[] = {IDI_PREVIEW_HEADER_NAME,      IDI_PREVIEW_HEADER_FOLDER,
                             IDI_PREVIEW_HEADER_SIZE,      IDI_PREVIEW_HEADER_ACCESS,
                             IDI_PREVIEW_HEADER_CREATED,   IDI_PREVIEW_HEADER_MODIFIED,
                             IDI_PREVIEW_HEADER_ATTRIBUTES};
constexpr int kHeaderIconCount = sizeof(kHeaderIcons) / sizeof(kHeaderIcons[0]);

struct Column
{
    const wchar_t* heading;
    int width;
};
const Column kZipColumns[] = {{L"File Name", 200},   {L"Directory", 100},     {L"File Size(Bytes)", 100},
                              {L"Access Time", 150}, {L"Creation Time", 150}, {L"modify Time", 150},
                              {L"Attribute", 200}};
const Column kCabRarColumns[] = {{L"File Name", 200},
                                 {L"Directory", 100},
                                 {L"File Size", 100},
                                 {L"Access Time (GMT)", 150},
                                 {L"Attribute", 200}};

// "." and the text after the last "." of the path, lower-cased.
CString ExtensionOf(const CString& strPath)
{
    CString strExtension = L"." + strPath.Mid(strPath.ReverseFind(L'.') + 1);
    strExtension.MakeLower();
    return strExtension;
}

std::string Narrow(const CString& text)
{
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, NULL, 0, NULL, NULL);
    if (length <= 0)
        return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, NULL, NULL);
    narrow.resize(static_cast<std::size_t>(length - 1));
    return narrow;
}

CString Widen(const char* text)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    if (length <= 0)
        return CString();
    CString wide;
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.GetBuffer(length), length);
    wide.ReleaseBuffer();
    return wide;
}

CPreviewHandOver* HandOver()
{
    return PreviewHandOver();
}

// The FDI's callbacks: memory through new and delete, files through the C runtime. Only the cabinet
// itself is ever opened, and only for reading.
FNALLOC(CabAlloc)
{
    return ::operator new(cb, std::nothrow);
}
FNFREE(CabFree)
{
    ::operator delete(pv);
}
FNOPEN(CabOpen)
{
    if ((oflag & (_O_WRONLY | _O_RDWR | _O_CREAT | _O_TRUNC | _O_APPEND)) != 0)
        return -1;
    return _open(pszFile, _O_RDONLY | _O_BINARY, pmode);
}
FNREAD(CabRead)
{
    return static_cast<UINT>(_read(static_cast<int>(hf), pv, cb));
}
FNWRITE(CabWrite)
{
    (void)hf;
    (void)pv;
    (void)cb;
    return static_cast<UINT>(-1);
}
FNCLOSE(CabClose)
{
    return _close(static_cast<int>(hf));
}
FNSEEK(CabSeek)
{
    return _lseek(static_cast<int>(hf), dist, seektype);
}

// Records every member at the head of g_cabEntries and copies none.
FNFDINOTIFY(CabNotify)
{
    if (fdint == fdintCOPY_FILE && pfdin != NULL && pfdin->psz1 != NULL) {
        auto* pEntry = new CCabEntry;
        const CString strPath = Widen(pfdin->psz1);
        const int slash = strPath.ReverseFind(L'\\');
        pEntry->m_strName = strPath.Mid(slash + 1);
        pEntry->m_strFolder = strPath.Left(slash + 1);
        pEntry->m_nSize = static_cast<std::uint32_t>(pfdin->cb);
        pEntry->m_modificationTime = DosTimeToUniversal(pfdin->date, pfdin->time);
        pEntry->m_nAttributes = pfdin->attribs;
        g_cabEntries.AddHead(pEntry);
    }
    return 0;
}

void ClearCabEntries()
{
    while (!g_cabEntries.IsEmpty())
        delete g_cabEntries.RemoveHead();
}

CString Decimal(std::uint64_t value)
{
    CString text;
    text.Format(L"%I64d", static_cast<long long>(value));
    return text;
}

} // namespace

CString ArchiveAttributeText(std::uint64_t attributes)
{
    CString text;
    text += (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? L'r' : L'-';
    text += (attributes & FILE_ATTRIBUTE_ARCHIVE) != 0 ? L'a' : L'-';
    text += (attributes & FILE_ATTRIBUTE_HIDDEN) != 0 ? L'h' : L'-';
    text += (attributes & FILE_ATTRIBUTE_SYSTEM) != 0 ? L's' : L'-';
    return text;
}

CString ArchiveTimeText(const FILETIME& universalTime)
{
    // 1 January 1970 as a FILETIME; the time class holds nothing earlier.
    constexpr ULONGLONG kUnixEpoch = 116444736000000000ull;
    const ULONGLONG ticks =
        (static_cast<ULONGLONG>(universalTime.dwHighDateTime) << 32) | universalTime.dwLowDateTime;
    if (ticks < kUnixEpoch)
        return CString();
    return CTime(universalTime).Format(L"%d %b %Y, %X");
}

FILETIME DosTimeToUniversal(WORD date, WORD time)
{
    FILETIME local = {}, universal = {};
    if (::DosDateTimeToFileTime(date, time, &local))
        ::LocalFileTimeToFileTime(&local, &universal);
    return universal;
}

BEGIN_MESSAGE_MAP(CZipListCtrl, CListCtrl)
ON_NOTIFY_REFLECT(NM_CLICK, OnClick)
ON_NOTIFY_REFLECT(NM_DBLCLK, OnClick)
ON_NOTIFY_REFLECT(LVN_BEGINDRAG, OnBeginDrag)
ON_NOTIFY(HDN_BEGINDRAG, 0, OnHeaderDrag)
ON_NOTIFY(HDN_ENDDRAG, 0, OnHeaderDrag)
END_MESSAGE_MAP()

CZipListCtrl::CZipListCtrl()
{
    m_headerImages.Create(16, 16, ILC_COLOR4 | ILC_MASK, 0, 7);
    for (UINT nIcon : kHeaderIcons) {
        HICON hIcon = static_cast<HICON>(
            ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIcon), IMAGE_ICON, 48, 48, 0));
        if (hIcon != NULL) {
            m_headerImages.Add(hIcon);
            ::DestroyIcon(hIcon);
        }
    }
}

CZipListCtrl::~CZipListCtrl() = default;

void CZipListCtrl::SetUpColumns(const CString& strExtension)
{
    const Column* pColumns = NULL;
    int nCount = 0;
    if (strExtension == L".zip") {
        pColumns = kZipColumns;
        nCount = sizeof(kZipColumns) / sizeof(kZipColumns[0]);
    } else if (strExtension == L".cab" || strExtension == L".rar") {
        pColumns = kCabRarColumns;
        nCount = sizeof(kCabRarColumns) / sizeof(kCabRarColumns[0]);
    }
    for (int i = 0; i < nCount; ++i)
        InsertColumn(i, pColumns[i].heading, LVCFMT_LEFT, pColumns[i].width);
}

void CZipListCtrl::SetUpHeaderPictures()
{
    CHeaderCtrl* pHeader = GetHeaderCtrl();
    if (pHeader == NULL)
        return;
    Header_SetImageList(pHeader->m_hWnd, m_headerImages.GetSafeHandle());
    for (int i = 0; i < kHeaderIconCount && i < pHeader->GetItemCount(); ++i) {
        HDITEM item = {};
        item.mask = HDI_FORMAT;
        pHeader->GetItem(i, &item);
        item.mask = HDI_IMAGE | HDI_FORMAT;
        item.fmt |= HDF_IMAGE;
        item.iImage = i;
        pHeader->SetItem(i, &item);
    }
}

void CZipListCtrl::OnClick(NMHDR*, LRESULT* pResult)
{
    Invalidate();
    *pResult = 0;
}

void CZipListCtrl::OnBeginDrag(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}

void CZipListCtrl::OnHeaderDrag(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}

CRarArchive::CRarArchive()
{
    LoadUnrar();
}

CRarArchive::~CRarArchive()
{
    if (m_hUnrar != NULL)
        ::FreeLibrary(m_hUnrar);
}

void CRarArchive::LoadUnrar()
{
    m_hUnrar = ::LoadLibraryW(L"unrar.dll");
    if (m_hUnrar == NULL)
        m_strError = L"Load Error: unrar.dll could not be loaded";
}

bool CRarArchive::ListEntries(const std::string& strPath)
{
    if (m_hUnrar == NULL)
        return false;
    m_pOpenArchiveEx = ::GetProcAddress(m_hUnrar, "RAROpenArchiveEx");
    m_pCloseArchive = ::GetProcAddress(m_hUnrar, "RARCloseArchive");
    m_pProcessFile = ::GetProcAddress(m_hUnrar, "RARProcessFile");
    m_pReadHeaderEx = ::GetProcAddress(m_hUnrar, "RARReadHeaderEx");
    // A library without one of the four is as good as none.
    if (m_pOpenArchiveEx == NULL || m_pCloseArchive == NULL || m_pProcessFile == NULL ||
        m_pReadHeaderEx == NULL) {
        m_strError = L"Load Error: unrar.dll could not be loaded";
        return false;
    }
    auto openArchive = reinterpret_cast<RAROpenArchiveExFunction>(reinterpret_cast<void*>(m_pOpenArchiveEx));
    auto closeArchive = reinterpret_cast<RARCloseArchiveFunction>(reinterpret_cast<void*>(m_pCloseArchive));
    auto processFile = reinterpret_cast<RARProcessFileFunction>(reinterpret_cast<void*>(m_pProcessFile));
    auto readHeader = reinterpret_cast<RARReadHeaderExFunction>(reinterpret_cast<void*>(m_pReadHeaderEx));

    m_strArchivePath = strPath;
    RAROpenArchiveDataEx openData = {};
    openData.ArcName = m_strArchivePath.data();
    openData.OpenMode = RAR_OM_LIST;
    HANDLE hArchive = openArchive(&openData);
    if (openData.OpenResult != ERAR_SUCCESS || hArchive == NULL) {
        m_strError = L"Open Error: Failed to open RAR file";
        return false;
    }
    m_entries.clear();
    std::vector<char> comment(16384);
    auto header = std::make_unique<RARHeaderDataEx>();
    std::memset(header.get(), 0, sizeof *header);
    header->CmtBuf = comment.data();
    header->CmtBufSize = static_cast<unsigned int>(comment.size());
    while (readHeader(hArchive, header.get()) == ERAR_SUCCESS) {
        header->FileName[sizeof header->FileName - 1] = '\0';
        RarEntry entry;
        entry.name = Widen(header->FileName);
        entry.flags = header->Flags;
        entry.packedSize = (static_cast<std::uint64_t>(header->PackSizeHigh) << 32) | header->PackSize;
        entry.unpackedSize = (static_cast<std::uint64_t>(header->UnpSizeHigh) << 32) | header->UnpSize;
        entry.modificationTime = header->FileTime;
        entry.attributes = header->FileAttr;
        m_entries.push_back(entry);
        if (processFile(hArchive, RAR_SKIP, NULL, NULL) != ERAR_SUCCESS)
            break;
    }
    closeArchive(hArchive);
    return true;
}

IMPLEMENT_DYNCREATE(CMyListCtrl, CView)

BEGIN_MESSAGE_MAP(CMyListCtrl, CView)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CMyListCtrl::CMyListCtrl() : m_pList(NULL) {}

CMyListCtrl::~CMyListCtrl()
{
    delete m_pList;
}

void CMyListCtrl::OnDraw(CDC*) {}

int CMyListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_pList = new CZipListCtrl;
    // The small icons are the results view's: shared, so that closing the preview leaves them alive.
    m_pList->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                        LVS_AUTOARRANGE | LVS_SHAREIMAGELISTS,
                    CRect(0, 0, 0, 0), this, kListId);
    m_pList->SetExtendedStyle(m_pList->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CPreviewHandOver* pHandOver = HandOver();
    if (pHandOver == NULL)
        return 0;
    if (HIMAGELIST hSmallIcons = pHandOver->ResultsSmallImageList())
        ListView_SetImageList(m_pList->m_hWnd, hSmallIcons, LVSIL_SMALL);
    const CString strPath = pHandOver->PreviewPath();
    const CString strExtension = ExtensionOf(strPath);
    m_pList->SetUpColumns(strExtension);
    m_pList->SetUpHeaderPictures();
    m_nRowLimit = PreviewRecordLimit(*pHandOver);
    m_nMembers = 0;
    // Filled without drawing: the list is drawn and its scroll bars set once, not at every row.
    m_pList->SetRedraw(FALSE);
    if (strExtension == L".zip")
        pHandOver->m_bPreviewOk = FillZipList(strPath);
    else if (strExtension == L".cab")
        pHandOver->m_bPreviewOk = FillCabList();
    else if (strExtension == L".rar")
        pHandOver->m_bPreviewOk = FillRarList();
    m_pList->SetRedraw(TRUE);
    // Every row costs a shell icon look-up on this thread: a long archive lists its first members only,
    // with the notice of the other long lists.
    const unsigned long long nRows = static_cast<unsigned long long>(m_pList->GetItemCount());
    if (pHandOver->m_bPreviewOk && m_nMembers > nRows)
        ShowLoadedNotice(*m_pList, nRows, m_nMembers);
    return 0;
}

void CMyListCtrl::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_pList != NULL && ::IsWindow(m_pList->m_hWnd)) {
        CRect rectClient;
        GetClientRect(&rectClient);
        m_pList->MoveWindow(rectClient, TRUE);
    }
}

int CMyListCtrl::InsertMember(int nRow, const CString& strName)
{
    const int nIcon =
        m_shellFileInfo.GetFileIconIndex(reinterpret_cast<const char16_t*>(LPCWSTR(strName)), true);
    return m_pList->InsertItem(nRow, strName, nIcon);
}

BOOL CMyListCtrl::FillZipList(const CString& strPath)
{
    ZipArchiveHandle* hArchive = ZipArchiveOpen(strPath, 0, kZipFileNameIsPath);
    if (hArchive == NULL)
        return FALSE;
    ZipArchiveEntry entry = {};
    ZipArchiveGetItem(hArchive, -1, &entry);
    // Past the rows shown, the central directory's count tells how many there are.
    m_nMembers = entry.index > 0 ? static_cast<unsigned long long>(entry.index) : 0;
    const int nCount = static_cast<int>(std::min<unsigned long long>(m_nMembers, m_nRowLimit));
    for (int i = 0; i < nCount; ++i) {
        // What was read before a damaged member stays listed, and is all there is.
        if (ZipArchiveGetItem(hArchive, i, &entry) != kZipOk) {
            m_nMembers = static_cast<unsigned long long>(i);
            break;
        }
        const CString strName = entry.name;
        const int nItem = InsertMember(i, strName);
        CString strSize;
        strSize.Format(L"%ld", static_cast<long>(entry.compressedSize));
        m_pList->SetItemText(nItem, 1, strName.Find(L'/') >= 0 ? L"Yes" : L"No");
        m_pList->SetItemText(nItem, 2, strSize);
        m_pList->SetItemText(nItem, 3, ArchiveTimeText(entry.accessTime));
        m_pList->SetItemText(nItem, 4, ArchiveTimeText(entry.creationTime));
        m_pList->SetItemText(nItem, 5, ArchiveTimeText(entry.modificationTime));
        m_pList->SetItemText(nItem, 6, ArchiveAttributeText(entry.attributes));
    }
    ZipArchiveClose(hArchive);
    return TRUE;
}

BOOL CMyListCtrl::FillCabList()
{
    m_pList->DeleteAllItems();
    HMODULE hCabinet = ::LoadLibraryW(L"Cabinet.dll");
    if (hCabinet == NULL)
        return FALSE;
    using CreateFunction =
        HFDI(DIAMONDAPI*)(PFNALLOC, PFNFREE, PFNOPEN, PFNREAD, PFNWRITE, PFNCLOSE, PFNSEEK, int, PERF);
    using CopyFunction = BOOL(DIAMONDAPI*)(HFDI, char*, char*, int, PFNFDINOTIFY, PFNFDIDECRYPT, void*);
    using DestroyFunction = BOOL(DIAMONDAPI*)(HFDI);
    auto create =
        reinterpret_cast<CreateFunction>(reinterpret_cast<void*>(::GetProcAddress(hCabinet, "FDICreate")));
    auto copy =
        reinterpret_cast<CopyFunction>(reinterpret_cast<void*>(::GetProcAddress(hCabinet, "FDICopy")));
    auto destroy =
        reinterpret_cast<DestroyFunction>(reinterpret_cast<void*>(::GetProcAddress(hCabinet, "FDIDestroy")));
    if (create == NULL || copy == NULL || destroy == NULL ||
        ::GetProcAddress(hCabinet, "FDIIsCabinet") == NULL) {
        ::FreeLibrary(hCabinet);
        return FALSE;
    }
    ERF error = {};
    HFDI hContext =
        create(CabAlloc, CabFree, CabOpen, CabRead, CabWrite, CabClose, CabSeek, cpu80386, &error);
    CPreviewHandOver* pHandOver = HandOver();
    const std::string strPath = pHandOver != NULL ? Narrow(pHandOver->PreviewPath()) : std::string();
    if (hContext == NULL || strPath.empty()) {
        if (hContext != NULL)
            destroy(hContext);
        ::FreeLibrary(hCabinet);
        return FALSE;
    }
    ClearCabEntries();
    const std::size_t slash = strPath.rfind('\\');
    std::string strName = slash == std::string::npos ? strPath : strPath.substr(slash + 1);
    std::string strFolder = slash == std::string::npos ? std::string() : strPath.substr(0, slash + 1);
    if (!copy(hContext, strName.data(), strFolder.data(), 0, CabNotify, NULL, NULL)) {
        destroy(hContext);
        ::FreeLibrary(hCabinet);
        return FALSE;
    }
    int nRow = 0;
    m_nMembers = static_cast<unsigned long long>(g_cabEntries.GetCount());
    for (POSITION position = g_cabEntries.GetHeadPosition();
         position != NULL && static_cast<unsigned long long>(nRow) < m_nRowLimit;) {
        auto* pEntry = static_cast<CCabEntry*>(g_cabEntries.GetNext(position));
        const int nItem = InsertMember(nRow++, pEntry->m_strName);
        CString strSize;
        strSize.Format(L"%d", static_cast<int>(pEntry->m_nSize));
        m_pList->SetItemText(nItem, 1, pEntry->m_strFolder);
        m_pList->SetItemText(nItem, 2, strSize);
        m_pList->SetItemText(nItem, 3, ArchiveTimeText(pEntry->m_modificationTime));
        m_pList->SetItemText(nItem, 4, ArchiveAttributeText(pEntry->m_nAttributes));
    }
    destroy(hContext);
    ::FreeLibrary(hCabinet);
    return TRUE;
}

BOOL CMyListCtrl::FillRarList()
{
    CPreviewHandOver* pHandOver = HandOver();
    if (pHandOver == NULL)
        return FALSE;
    const std::string strPath = Narrow(pHandOver->PreviewPath());
    CRarArchive archive;
    if (!archive.ListEntries(strPath))
        return FALSE;
    m_pList->DeleteAllItems();
    m_nMembers = archive.m_entries.size();
    for (std::size_t i = 0; i < archive.m_entries.size() && i < m_nRowLimit; ++i) {
        const RarEntry& entry = archive.m_entries.at(i);
        const int nItem = InsertMember(static_cast<int>(i), entry.name);
        const wchar_t* pszFolder = entry.flags == kRarDirectoryFlags ? L"Yes"
                                   : entry.flags == kRarFileFlags    ? L"No"
                                                                     : L"";
        m_pList->SetItemText(nItem, 1, pszFolder);
        m_pList->SetItemText(nItem, 2, Decimal(entry.unpackedSize));
        m_pList->SetItemText(nItem, 3,
                             ArchiveTimeText(DosTimeToUniversal(HIWORD(entry.modificationTime),
                                                                LOWORD(entry.modificationTime))));
        m_pList->SetItemText(nItem, 4, ArchiveAttributeText(entry.attributes));
    }
    return TRUE;
}
