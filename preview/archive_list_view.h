#pragma once

// What a ZIP, CAB or RAR archive holds, one list row per member: the name with its shell icon, the
// folder, the size, times and "rahs" attributes. ZIP through the minizip layer, CAB through the system's
// Cabinet.dll (FDI), RAR through "unrar.dll". Nothing is extracted.
#include <afxcmn.h>
#include <afxwin.h>

#include "engine/recovery/listing/shell_file_info.h"

#include <cstdint>
#include <string>
#include <vector>

// The list of an archive preview, with its column pictures in the header.
class CZipListCtrl : public CListCtrl
{
public:
    CZipListCtrl();
    ~CZipListCtrl() override;

    // The columns of the archive kind that the extension names (none for another extension).
    void SetUpColumns(const CString& strExtension);
    // Image i of the header pictures on header item i, beside the text.
    void SetUpHeaderPictures();

    CImageList m_headerImages;

protected:
    afx_msg void OnClick(NMHDR* pNotifyStruct, LRESULT* pResult);
    afx_msg void OnBeginDrag(NMHDR* pNotifyStruct, LRESULT* pResult);
    afx_msg void OnHeaderDrag(NMHDR* pNotifyStruct, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};

// One cabinet member as the FDI reported it.
class CCabEntry : public CObject
{
public:
    CString m_strName;
    // The path up to and including its last "\", empty when there is none.
    CString m_strFolder;
    std::uint32_t m_nSize = 0;
    // Converted from the member's MS-DOS date and time, local time.
    FILETIME m_modificationTime = {};
    std::uint16_t m_nAttributes = 0;
};

// The records of the last cabinet listed, newest first.
extern CObList g_cabEntries;

struct RarEntry
{
    CString name;
    std::uint64_t flags;
    std::uint64_t packedSize;
    std::uint64_t unpackedSize;
    // MS-DOS date (high word) and time (low word), local time.
    std::uint32_t modificationTime;
    std::uint64_t attributes;
};

// One RAR listing through "unrar.dll", loaded for the listing's life.
class CRarArchive
{
public:
    CRarArchive();
    ~CRarArchive();
    CRarArchive(const CRarArchive&) = delete;
    CRarArchive& operator=(const CRarArchive&) = delete;

    void LoadUnrar();
    // True when the archive could be opened; the members are then in m_entries.
    bool ListEntries(const std::string& strPath);

    CString m_strError;
    CString m_strUnused;
    std::string m_strArchivePath;
    HMODULE m_hUnrar = NULL;
    std::vector<RarEntry> m_entries;
    FARPROC m_pOpenArchiveEx = NULL;
    FARPROC m_pCloseArchive = NULL;
    FARPROC m_pProcessFile = NULL;
    FARPROC m_pReadHeaderEx = NULL;
};

class CMyListCtrl : public CView
{
    DECLARE_DYNCREATE(CMyListCtrl)
public:
    static constexpr UINT kListId = 165;

    CMyListCtrl();
    ~CMyListCtrl() override;

    // Each lists the archive at the document's path into the list, at most m_nRowLimit rows, and counts
    // its members in m_nMembers: 1 shown, 0 failed.
    BOOL FillZipList(const CString& strPath);
    BOOL FillCabList();
    BOOL FillRarList();

    CZipListCtrl* m_pList;
    CShellFileInfo m_shellFileInfo;
    unsigned long long m_nRowLimit = 10000;
    unsigned long long m_nMembers = 0;

protected:
    void OnDraw(CDC* pDC) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    int InsertMember(int nRow, const CString& strName);
};

// "rahs": read-only, archive, hidden, system, each "-" when its bit is clear.
CString ArchiveAttributeText(std::uint64_t attributes);
// A UTC file time as the list shows it ("%d %b %Y, %X", local time); empty for one before 1970.
CString ArchiveTimeText(const FILETIME& universalTime);
// An MS-DOS date and time (local) as a UTC file time.
FILETIME DosTimeToUniversal(WORD date, WORD time);
