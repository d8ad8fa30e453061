// Data access objects over Access databases (".mdb", Jet 3 and Jet 4). No database engine comes with the
// program: the classes sit on the framework's own read-only Jet reader. A database opens its file for
// reading and, unless asked for read-only, for writing too, so that deleting a table or query can mark
// its catalog row deleted. A recordset runs one statement form, "Select * From [table]", as a full scan.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "afxdisp.h"

class CDaoException : public CException
{
    DECLARE_DYNAMIC(CDaoException)
public:
    CDaoException() = default;
    // The description of the failure, as the database engine words it.
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;

    SCODE m_scode = S_OK;
    int m_nAfxDaoError = 0;
    CString m_strDescription;
};

// The status codes of the engine's errors (facility control, the engine's error number).
#define E_DAO_FileNotFound MAKE_SCODE(SEVERITY_ERROR, FACILITY_CONTROL, 3024)
#define E_DAO_DatabaseReadOnly MAKE_SCODE(SEVERITY_ERROR, FACILITY_CONTROL, 3027)
#define E_DAO_FROMSyntaxError MAKE_SCODE(SEVERITY_ERROR, FACILITY_CONTROL, 3131)
#define E_DAO_ObjectNotFound MAKE_SCODE(SEVERITY_ERROR, FACILITY_CONTROL, 3265)
#define E_DAO_DatabaseCorrupt MAKE_SCODE(SEVERITY_ERROR, FACILITY_CONTROL, 3343)
#define E_DAO_ObjectNotOpen MAKE_SCODE(SEVERITY_ERROR, FACILITY_CONTROL, 3420)

// How much of an object's information the Get...Info calls fill.
#define AFX_DAO_PRIMARY_INFO 0x00000001
#define AFX_DAO_SECONDARY_INFO 0x00000002
#define AFX_DAO_ALL_INFO 0x00000004

// Recordset kinds.
#define AFX_DAO_USE_DEFAULT_TYPE (-1)
#define dbOpenTable 1
#define dbOpenDynaset 2
#define dbOpenSnapshot 4

// Object attributes: a system object, a hidden one.
#define dbSystemObject 0x80000002L
#define dbHiddenObject 0x00000001L

// Field types.
#define dbBoolean 1
#define dbByte 2
#define dbInteger 3
#define dbLong 4
#define dbCurrency 5
#define dbSingle 6
#define dbDouble 7
#define dbDate 8
#define dbBinary 9
#define dbText 10
#define dbLongBinary 11
#define dbMemo 12
#define dbGUID 15
#define dbDecimal 20

// Query types.
#define dbQSelect 0
#define dbQCrosstab 16
#define dbQDelete 32
#define dbQUpdate 48
#define dbQAppend 64
#define dbQMakeTable 80

struct CDaoTableDefInfo
{
    CString m_strName;
    BOOL m_bUpdatable = FALSE;
    long m_lAttributes = 0;
    long m_lRecordCount = 0;
};

struct CDaoQueryDefInfo
{
    CString m_strName;
    short m_nType = 0;
    BOOL m_bUpdatable = FALSE;
    BOOL m_bReturnsRecords = FALSE;
};

struct CDaoRelationInfo
{
    CString m_strName;
    CString m_strTable;
    CString m_strForeignTable;
    long m_lAttributes = 0;
};

struct CDaoFieldInfo
{
    CString m_strName;
    short m_nType = 0;
    long m_lSize = 0;
    long m_lAttributes = 0;
    short m_nOrdinalPosition = 0;
    BOOL m_bRequired = FALSE;
};

namespace jet {
class Database;
struct Relation;
struct TableDefinition;
class TableScan;
struct Value;
} // namespace jet

class CDaoDatabase : public CObject
{
    DECLARE_DYNAMIC(CDaoDatabase)
public:
    CDaoDatabase();
    ~CDaoDatabase() override;

    // Opens the database file; throws CDaoException when it cannot be opened or is no sound database.
    virtual void Open(LPCWSTR lpszName, BOOL bExclusive = FALSE, BOOL bReadOnly = FALSE,
                      LPCWSTR lpszConnect = L"");
    virtual void Close();
    BOOL IsOpen() const;
    CString GetName() const { return m_strName; }

    short GetTableDefCount();
    void GetTableDefInfo(int nIndex, CDaoTableDefInfo& tabledefinfo,
                         DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    short GetQueryDefCount();
    void GetQueryDefInfo(int nIndex, CDaoQueryDefInfo& querydefinfo,
                         DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    short GetRelationCount();
    void GetRelationInfo(int nIndex, CDaoRelationInfo& relinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);
    // Mark the object deleted in the file; throw CDaoException for an unknown name or a read-only file.
    void DeleteTableDef(LPCWSTR lpszName);
    void DeleteQueryDef(LPCWSTR lpszName);

    // The reader under the database; throws CDaoException when the database is not open.
    jet::Database& Reader();

private:
    // The positions of the tables and of the queries in the catalog, and the relations: read once, as the
    // collections are, and again after a delete.
    const std::vector<std::size_t>& Positions(int16_t type);
    void DeleteObject(LPCWSTR lpszName, int16_t type);
    const std::vector<jet::Relation>& Relations();

    std::unique_ptr<jet::Database> m_pReader;
    CString m_strName;
    std::unique_ptr<std::vector<std::size_t>> m_pTablePositions;
    std::unique_ptr<std::vector<std::size_t>> m_pQueryPositions;
    std::unique_ptr<std::vector<jet::Relation>> m_pRelations;
};

class CDaoTableDef : public CObject
{
    DECLARE_DYNAMIC(CDaoTableDef)
public:
    explicit CDaoTableDef(CDaoDatabase* pDatabase);
    ~CDaoTableDef() override;

    virtual void Open(LPCWSTR lpszName);
    virtual void Close();
    BOOL IsOpen() const;
    short GetFieldCount();
    void GetFieldInfo(int nIndex, CDaoFieldInfo& fieldinfo, DWORD dwInfoOptions = AFX_DAO_PRIMARY_INFO);

    CDaoDatabase* m_pDatabase;

private:
    std::unique_ptr<jet::TableDefinition> m_pDefinition;
};

class CDaoRecordset : public CObject
{
    DECLARE_DYNAMIC(CDaoRecordset)
public:
    explicit CDaoRecordset(CDaoDatabase* pDatabase = NULL);
    ~CDaoRecordset() override;

    // lpszSQL is "Select * From [table]" (or the table's name); other statements throw CDaoException.
    virtual void Open(int nOpenType = AFX_DAO_USE_DEFAULT_TYPE, LPCWSTR lpszSQL = NULL, int nOptions = 0);
    virtual void Close();
    BOOL IsOpen() const;
    BOOL IsEOF() const;
    BOOL IsBOF() const;
    void MoveNext();
    short GetFieldCount();
    void GetFieldValue(int nIndex, COleVariant& varValue);
    COleVariant GetFieldValue(int nIndex);

    CDaoDatabase* m_pDatabase;

private:
    void Fetch();

    std::unique_ptr<jet::TableDefinition> m_pDefinition;
    std::unique_ptr<jet::TableScan> m_pScan;
    std::unique_ptr<std::vector<jet::Value>> m_pValues;
    BOOL m_bEOF = TRUE;
    BOOL m_bBOF = TRUE;
    BOOL m_bValuesRead = FALSE;
};

// The value of a field as a variant: Boolean, byte, 2- and 4-byte integers, currency, 4- and 8-byte reals,
// date, text (text, memo, GUID and numeric as their text), bytes (OLE and binary as a byte array); null
// for a null field.
void DaoValueToVariant(const jet::Value& value, COleVariant& variant);

// Start and end of the database engine for the program: nothing to load, so both succeed and do nothing.
void AFXAPI AfxDaoInit();
void AFXAPI AfxDaoTerm();
