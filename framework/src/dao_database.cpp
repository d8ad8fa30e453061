// The DAO classes over the framework's Jet reader: the database file, its catalog, table definitions and
// full-scan recordsets, with the reader's failures turned into CDaoException.
#include <afxdao.h>

#include <oleauto.h>

#include <climits>

#include "jet_database.h"

IMPLEMENT_DYNAMIC(CDaoDatabase, CObject)
IMPLEMENT_DYNAMIC(CDaoTableDef, CObject)
IMPLEMENT_DYNAMIC(CDaoRecordset, CObject)

namespace {

[[noreturn]] void ThrowDao(SCODE scode, const CString& description)
{
    auto* pException = new CDaoException;
    pException->m_scode = scode;
    pException->m_strDescription = description;
    throw pException;
}

CString Text(const std::u16string& text)
{
    return CString(reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()));
}

std::u16string Utf16(LPCWSTR text)
{
    const auto* begin = reinterpret_cast<const char16_t*>(text);
    return std::u16string(begin, begin + wcslen(text));
}

// The database file through Win32: read and write at offsets, never growing it.
class Win32PageFile : public jet::PageFile
{
public:
    Win32PageFile(HANDLE file, bool writable) : m_file(file), m_writable(writable)
    {
        LARGE_INTEGER size = {};
        ::GetFileSizeEx(m_file, &size);
        m_size = static_cast<uint64_t>(size.QuadPart);
    }
    ~Win32PageFile() override { ::CloseHandle(m_file); }
    uint64_t Size() const override { return m_size; }
    bool Read(uint64_t offset, void* buffer, std::size_t size) override
    {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        return ::ReadFile(m_file, buffer, static_cast<DWORD>(size), &read, &at) && read == size;
    }
    bool Write(uint64_t offset, const void* buffer, std::size_t size) override
    {
        if (!m_writable || offset + size > m_size)
            return false;
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        return ::WriteFile(m_file, buffer, static_cast<DWORD>(size), &written, &at) && written == size;
    }

private:
    HANDLE m_file;
    bool m_writable;
    uint64_t m_size = 0;
};

// The table a statement of the form "Select * From [name]" (or a bare name) reads.
bool TableOfStatement(CString statement, CString& table)
{
    statement.Trim();
    CString lower = statement;
    lower.MakeLower();
    static const wchar_t kSelect[] = L"select * from ";
    if (lower.Left(static_cast<int>(wcslen(kSelect))) == kSelect) {
        statement = statement.Mid(static_cast<int>(wcslen(kSelect)));
        statement.Trim();
        if (statement.GetLength() >= 2 && statement[0] == L'[' &&
            statement[statement.GetLength() - 1] == L']')
            statement = statement.Mid(1, statement.GetLength() - 2);
        else if (statement.FindOneOf(L" []") >= 0)
            return false;
    } else if (lower.Left(7) == L"select ") {
        // Any other statement would need a query engine.
        return false;
    }
    if (statement.IsEmpty())
        return false;
    table = statement;
    return true;
}

template <typename Action> auto Guarded(Action action) -> decltype(action())
{
    try {
        return action();
    } catch (const jet::Error& error) {
        ThrowDao(E_DAO_DatabaseCorrupt, CString(L"The database is damaged: ") + CString(error.what()) + L".");
    } catch (const std::bad_alloc&) {
        ThrowDao(E_OUTOFMEMORY, L"Out of memory.");
    }
}

} // namespace

BOOL CDaoException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    if (lpszError == NULL || nMaxError == 0)
        return FALSE;
    CString text = m_strDescription;
    if (text.IsEmpty())
        text.Format(L"Database error 0x%08X.", static_cast<unsigned>(m_scode));
    lstrcpynW(lpszError, text, static_cast<int>(nMaxError));
    return TRUE;
}

CDaoDatabase::CDaoDatabase() = default;

CDaoDatabase::~CDaoDatabase() = default;

void CDaoDatabase::Open(LPCWSTR lpszName, BOOL /*bExclusive*/, BOOL bReadOnly, LPCWSTR /*lpszConnect*/)
{
    Close();
    const CString name = lpszName != NULL ? lpszName : L"";
    bool writable = !bReadOnly;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (writable)
        file = ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        writable = false;
        file = ::CreateFileW(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    }
    if (file == INVALID_HANDLE_VALUE)
        ThrowDao(E_DAO_FileNotFound, L"Could not find file '" + name + L"'.");
    auto pageFile = std::make_unique<Win32PageFile>(file, writable);
    try {
        m_pReader = std::make_unique<jet::Database>(std::move(pageFile));
    } catch (const jet::Error& error) {
        ThrowDao(E_DAO_DatabaseCorrupt,
                 L"Unrecognized database format '" + name + L"' (" + CString(error.what()) + L").");
    } catch (const std::bad_alloc&) {
        ThrowDao(E_OUTOFMEMORY, L"Out of memory.");
    }
    m_strName = name;
}

void CDaoDatabase::Close()
{
    m_pReader.reset();
    m_strName.Empty();
    m_pTablePositions.reset();
    m_pQueryPositions.reset();
    m_pRelations.reset();
}

const std::vector<std::size_t>& CDaoDatabase::Positions(int16_t type)
{
    std::unique_ptr<std::vector<std::size_t>>& positions =
        type == jet::kObjectTable ? m_pTablePositions : m_pQueryPositions;
    if (!positions) {
        auto collected = std::make_unique<std::vector<std::size_t>>();
        const std::vector<jet::CatalogObject>& objects = Reader().Objects();
        for (std::size_t i = 0; i < objects.size(); ++i)
            if (objects[i].type == type)
                collected->push_back(i);
        positions = std::move(collected);
    }
    return *positions;
}

const std::vector<jet::Relation>& CDaoDatabase::Relations()
{
    if (!m_pRelations)
        m_pRelations =
            Guarded([&] { return std::make_unique<std::vector<jet::Relation>>(Reader().ReadRelations()); });
    return *m_pRelations;
}

BOOL CDaoDatabase::IsOpen() const
{
    return m_pReader != nullptr;
}

jet::Database& CDaoDatabase::Reader()
{
    if (!m_pReader)
        ThrowDao(E_DAO_ObjectNotOpen, L"The database is not open.");
    return *m_pReader;
}

short CDaoDatabase::GetTableDefCount()
{
    const std::size_t count = Positions(jet::kObjectTable).size();
    return static_cast<short>(count > SHRT_MAX ? SHRT_MAX : count);
}

void CDaoDatabase::GetTableDefInfo(int nIndex, CDaoTableDefInfo& info, DWORD dwInfoOptions)
{
    const std::vector<std::size_t>& positions = Positions(jet::kObjectTable);
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= positions.size())
        ThrowDao(E_DAO_ObjectNotFound, L"Item not found in this collection.");
    const jet::CatalogObject& table = Reader().Objects()[positions[static_cast<std::size_t>(nIndex)]];
    info.m_strName = Text(table.name);
    info.m_lAttributes = static_cast<long>(table.flags);
    info.m_bUpdatable = FALSE;
    // The record count is secondary information: only it needs the table's definition.
    info.m_lRecordCount = 0;
    if ((dwInfoOptions & (AFX_DAO_SECONDARY_INFO | AFX_DAO_ALL_INFO)) != 0)
        info.m_lRecordCount =
            Guarded([&] { return static_cast<long>(Reader().ReadDefinition(table).rowCount); });
}

short CDaoDatabase::GetQueryDefCount()
{
    const std::size_t count = Positions(jet::kObjectQuery).size();
    return static_cast<short>(count > SHRT_MAX ? SHRT_MAX : count);
}

void CDaoDatabase::GetQueryDefInfo(int nIndex, CDaoQueryDefInfo& info, DWORD /*dwInfoOptions*/)
{
    const std::vector<std::size_t>& positions = Positions(jet::kObjectQuery);
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= positions.size())
        ThrowDao(E_DAO_ObjectNotFound, L"Item not found in this collection.");
    const jet::CatalogObject& query = Reader().Objects()[positions[static_cast<std::size_t>(nIndex)]];
    info.m_strName = Text(query.name);
    // The catalog keeps the query's kind in these bits: 0 select, 0x10 crosstab, 0x20 and up action queries.
    info.m_nType = static_cast<short>(query.flags & 0xF0);
    info.m_bUpdatable = FALSE;
    info.m_bReturnsRecords = info.m_nType == dbQSelect || info.m_nType == dbQCrosstab;
}

short CDaoDatabase::GetRelationCount()
{
    const std::size_t count = Relations().size();
    return static_cast<short>(count > SHRT_MAX ? SHRT_MAX : count);
}

void CDaoDatabase::GetRelationInfo(int nIndex, CDaoRelationInfo& info, DWORD /*dwInfoOptions*/)
{
    const std::vector<jet::Relation>& relations = Relations();
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= relations.size())
        ThrowDao(E_DAO_ObjectNotFound, L"Item not found in this collection.");
    const jet::Relation& relation = relations[static_cast<std::size_t>(nIndex)];
    info.m_strName = Text(relation.name);
    info.m_strTable = Text(relation.table);
    info.m_strForeignTable = Text(relation.foreignTable);
    info.m_lAttributes = static_cast<long>(relation.attributes);
}

void CDaoDatabase::DeleteObject(LPCWSTR lpszName, int16_t type)
{
    jet::Database& reader = Reader();
    const jet::CatalogObject* object = reader.FindObject(Utf16(lpszName != NULL ? lpszName : L""), type);
    if (object == nullptr)
        ThrowDao(E_DAO_ObjectNotFound, L"Item not found in this collection.");
    try {
        reader.DeleteObject(*object);
    } catch (const jet::Error&) {
        ThrowDao(E_DAO_DatabaseReadOnly, L"Cannot update. Database or object is read-only.");
    }
    m_pTablePositions.reset();
    m_pQueryPositions.reset();
}

void CDaoDatabase::DeleteTableDef(LPCWSTR lpszName)
{
    DeleteObject(lpszName, jet::kObjectTable);
}

void CDaoDatabase::DeleteQueryDef(LPCWSTR lpszName)
{
    DeleteObject(lpszName, jet::kObjectQuery);
}

CDaoTableDef::CDaoTableDef(CDaoDatabase* pDatabase) : m_pDatabase(pDatabase) {}

CDaoTableDef::~CDaoTableDef() = default;

void CDaoTableDef::Open(LPCWSTR lpszName)
{
    if (m_pDatabase == NULL)
        ThrowDao(E_DAO_ObjectNotOpen, L"The database is not open.");
    jet::Database& reader = m_pDatabase->Reader();
    const jet::CatalogObject* table =
        reader.FindObject(Utf16(lpszName != NULL ? lpszName : L""), jet::kObjectTable);
    if (table == nullptr)
        ThrowDao(E_DAO_ObjectNotFound, L"Item not found in this collection.");
    m_pDefinition =
        Guarded([&] { return std::make_unique<jet::TableDefinition>(reader.ReadDefinition(*table)); });
}

void CDaoTableDef::Close()
{
    m_pDefinition.reset();
}

BOOL CDaoTableDef::IsOpen() const
{
    return m_pDefinition != nullptr;
}

short CDaoTableDef::GetFieldCount()
{
    if (!m_pDefinition)
        ThrowDao(E_DAO_ObjectNotOpen, L"The table definition is not open.");
    return static_cast<short>(m_pDefinition->columns.size());
}

void CDaoTableDef::GetFieldInfo(int nIndex, CDaoFieldInfo& info, DWORD /*dwInfoOptions*/)
{
    if (!m_pDefinition || nIndex < 0 || static_cast<std::size_t>(nIndex) >= m_pDefinition->columns.size())
        ThrowDao(E_DAO_ObjectNotFound, L"Item not found in this collection.");
    const jet::Column& column = m_pDefinition->columns[static_cast<std::size_t>(nIndex)];
    info.m_strName = Text(column.name);
    info.m_nType = column.type == jet::kTypeNumeric ? dbDecimal : static_cast<short>(column.type);
    info.m_lSize = column.length;
    if (column.type == jet::kTypeText && m_pDatabase->Reader().IsJet4())
        info.m_lSize = column.length / 2;
    info.m_lAttributes = column.IsFixed() ? 1 : 2;
    info.m_nOrdinalPosition = static_cast<short>(nIndex);
    info.m_bRequired = FALSE;
}

CDaoRecordset::CDaoRecordset(CDaoDatabase* pDatabase) : m_pDatabase(pDatabase) {}

CDaoRecordset::~CDaoRecordset() = default;

void CDaoRecordset::Open(int /*nOpenType*/, LPCWSTR lpszSQL, int /*nOptions*/)
{
    Close();
    if (m_pDatabase == NULL)
        ThrowDao(E_DAO_ObjectNotOpen, L"The database is not open.");
    CString tableName;
    if (lpszSQL == NULL || !TableOfStatement(lpszSQL, tableName))
        ThrowDao(E_DAO_FROMSyntaxError, L"Syntax error in FROM clause.");
    jet::Database& reader = m_pDatabase->Reader();
    const jet::CatalogObject* table = reader.FindObject(Utf16(tableName), jet::kObjectTable);
    if (table == nullptr)
        ThrowDao(E_DAO_ObjectNotFound,
                 L"The Microsoft Jet database engine cannot find the input table or query '" + tableName +
                     L"'.");
    Guarded([&] {
        m_pDefinition = std::make_unique<jet::TableDefinition>(reader.ReadDefinition(*table));
        m_pScan = std::make_unique<jet::TableScan>(reader, *m_pDefinition);
        m_pValues = std::make_unique<std::vector<jet::Value>>();
        return 0;
    });
    Fetch();
    m_bBOF = m_bEOF;
}

void CDaoRecordset::Fetch()
{
    // Fields are read when first asked for, so walking records only to count them reads no long values.
    const bool found = Guarded([&] { return m_pScan->Advance(); });
    m_bEOF = found ? FALSE : TRUE;
    m_bValuesRead = FALSE;
}

void CDaoRecordset::Close()
{
    m_pScan.reset();
    m_pDefinition.reset();
    m_pValues.reset();
    m_bEOF = TRUE;
    m_bBOF = TRUE;
}

BOOL CDaoRecordset::IsOpen() const
{
    return m_pScan != nullptr;
}

BOOL CDaoRecordset::IsEOF() const
{
    return m_bEOF;
}

BOOL CDaoRecordset::IsBOF() const
{
    return m_bBOF;
}

void CDaoRecordset::MoveNext()
{
    if (!m_pScan || m_bEOF)
        ThrowDao(E_DAO_ObjectNotOpen, L"No current record.");
    m_bBOF = FALSE;
    Fetch();
}

short CDaoRecordset::GetFieldCount()
{
    if (!m_pDefinition)
        ThrowDao(E_DAO_ObjectNotOpen, L"The recordset is not open.");
    return static_cast<short>(m_pDefinition->columns.size());
}

void CDaoRecordset::GetFieldValue(int nIndex, COleVariant& varValue)
{
    if (!m_pValues || m_bEOF)
        ThrowDao(E_DAO_ObjectNotOpen, L"No current record.");
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= m_pDefinition->columns.size())
        ThrowDao(E_DAO_ObjectNotFound, L"Item not found in this collection.");
    if (!m_bValuesRead) {
        Guarded([&] {
            m_pScan->ReadCurrent(*m_pValues);
            return 0;
        });
        m_bValuesRead = TRUE;
    }
    DaoValueToVariant((*m_pValues)[static_cast<std::size_t>(nIndex)], varValue);
}

COleVariant CDaoRecordset::GetFieldValue(int nIndex)
{
    COleVariant value;
    GetFieldValue(nIndex, value);
    return value;
}

void DaoValueToVariant(const jet::Value& value, COleVariant& variant)
{
    variant.Clear();
    VARIANT& out = variant;
    switch (value.kind) {
    case jet::Value::Kind::Null:
        out.vt = VT_NULL;
        break;
    case jet::Value::Kind::Boolean:
        out.vt = VT_BOOL;
        out.boolVal = value.integer != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case jet::Value::Kind::Byte:
        out.vt = VT_UI1;
        out.bVal = static_cast<BYTE>(value.integer);
        break;
    case jet::Value::Kind::Integer:
        out.vt = VT_I2;
        out.iVal = static_cast<SHORT>(value.integer);
        break;
    case jet::Value::Kind::Long:
        out.vt = VT_I4;
        out.lVal = static_cast<LONG>(value.integer);
        break;
    case jet::Value::Kind::Currency:
        out.vt = VT_CY;
        out.cyVal.int64 = value.integer;
        break;
    case jet::Value::Kind::Single:
        out.vt = VT_R4;
        out.fltVal = static_cast<float>(value.real);
        break;
    case jet::Value::Kind::Double:
        out.vt = VT_R8;
        out.dblVal = value.real;
        break;
    case jet::Value::Kind::DateTime:
        out.vt = VT_DATE;
        out.date = value.real;
        break;
    case jet::Value::Kind::Text:
        out.vt = VT_BSTR;
        out.bstrVal = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(value.text.data()),
                                          static_cast<UINT>(value.text.size()));
        break;
    case jet::Value::Kind::Bytes: {
        SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(value.bytes.size()));
        if (array == NULL)
            AfxThrowMemoryException();
        void* data = NULL;
        if (SUCCEEDED(::SafeArrayAccessData(array, &data))) {
            if (!value.bytes.empty())
                memcpy(data, value.bytes.data(), value.bytes.size());
            ::SafeArrayUnaccessData(array);
        }
        out.vt = VT_ARRAY | VT_UI1;
        out.parray = array;
        break;
    }
    }
}
