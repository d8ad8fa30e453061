// A top-level window's position, size and show state kept between runs as one 48-byte binary value
// of the toolkit's registry profile: a reserved word, then the system's WINDOWPLACEMENT.
#pragma once

#include <afxwin.h>

class CXTWindowPlacement
{
public:
    CXTWindowPlacement();
    virtual ~CXTWindowPlacement() = default;

    // A minimised window is saved as normal; FALSE without a live window.
    BOOL Save(CWnd* pWnd, LPCTSTR lpszEntry = NULL, LPCTSTR lpszSection = NULL);
    // FALSE unless exactly the 48 bytes of a record are stored.
    BOOL Load(LPCTSTR lpszEntry = NULL, LPCTSTR lpszSection = NULL);
    BOOL Restore(CWnd* pWnd, LPCTSTR lpszEntry = NULL, LPCTSTR lpszSection = NULL);

    const WINDOWPLACEMENT& GetPlacement() const { return m_record.placement; }

    static const UINT s_nRecordSize = 48;

protected:
#pragma pack(push, 4)
    struct Record
    {
        DWORD dwReserved;
        WINDOWPLACEMENT placement;
    };
#pragma pack(pop)
    static_assert(sizeof(WINDOWPLACEMENT) == 44, "the stored record holds a 44-byte placement");
    static_assert(sizeof(Record) == 48, "the stored record is 48 bytes");

    Record m_record;
};
