// The DAO classes on the Access fixtures, against what mdbtools said of them: tables with their
// attributes, fields, queries with their types, relations, and every record; damaged files and the
// statement forms a recordset refuses.
#include <afxdao.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/access_oracle.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"

using namespace test_support;

namespace {

std::string Fixture(const std::string& name)
{
    return RunningPlatformPath(std::string(PREVIEW_FIXTURES_DIR) + "/access/" + name);
}

CString Wide(const std::string& utf8)
{
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, NULL, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), size);
    return CString(wide.c_str());
}

std::string Utf8Of(const CString& text)
{
    return Utf8(std::u16string(reinterpret_cast<const char16_t*>(text.GetString()),
                               static_cast<std::size_t>(text.GetLength())));
}

// A copy of a fixture in the temporary folder, removed at the end.
class TempCopy
{
public:
    explicit TempCopy(const std::string& fixture)
    {
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        m_path = CString(folder) + Wide(UniqueTempName("dao_", ".mdb"));
        ::CopyFileW(Wide(Fixture(fixture)), m_path, FALSE);
    }
    ~TempCopy() { ::DeleteFileW(m_path); }
    const CString& Path() const { return m_path; }

private:
    CString m_path;
};

// A field value in the form the fixtures' mdb-export wrote it (numbers apart, compared as numbers).
std::string OracleText(const COleVariant& value, short fieldType)
{
    char text[64];
    switch (value.vt) {
    case VT_NULL:
        return "";
    case VT_BOOL:
        return value.boolVal != VARIANT_FALSE ? "1" : "0";
    case VT_UI1:
        return std::to_string(value.bVal);
    case VT_I2:
        return std::to_string(value.iVal);
    case VT_I4:
        return std::to_string(value.lVal);
    case VT_CY: {
        const long long amount = value.cyVal.int64;
        const unsigned long long magnitude = amount < 0 ? 0ULL - static_cast<unsigned long long>(amount)
                                                        : static_cast<unsigned long long>(amount);
        std::snprintf(text, sizeof(text), "%s%llu.%04llu", amount < 0 ? "-" : "", magnitude / 10000,
                      magnitude % 10000);
        return text;
    }
    case VT_DATE:
        return AccessDateText(value.date);
    case VT_BSTR: {
        const std::string utf8 = Utf8Of(CString(value.bstrVal));
        return fieldType == dbGUID ? GuidOracleText(utf8) : utf8;
    }
    case VT_ARRAY | VT_UI1: {
        std::vector<unsigned char> bytes(value.parray->rgsabound[0].cElements);
        void* data = NULL;
        ::SafeArrayAccessData(value.parray, &data);
        if (!bytes.empty())
            memcpy(bytes.data(), data, bytes.size());
        ::SafeArrayUnaccessData(value.parray);
        return HexText(bytes);
    }
    default:
        return "type " + std::to_string(value.vt);
    }
}

SCODE ScodeOfOpen(const CString& path)
{
    CDaoDatabase database;
    try {
        database.Open(path);
    } catch (CDaoException* pException) {
        const SCODE scode = pException->m_scode;
        pException->Delete();
        return scode;
    }
    return S_OK;
}

class DaoFixture : public ::testing::TestWithParam<const char*>
{
protected:
    std::string Oracle(const std::string& suffix) const
    {
        return std::string(PREVIEW_FIXTURES_DIR) + "/access/" + GetParam() + suffix;
    }
};

} // namespace

TEST_P(DaoFixture, CatalogTablesQueriesAndRelationsEqualMdbTools)
{
    TempCopy copy(std::string(GetParam()) + ".mdb");
    CDaoDatabase database;
    database.Open(copy.Path());
    ASSERT_TRUE(database.IsOpen());

    std::vector<std::string> tables;
    for (short i = 0; i < database.GetTableDefCount(); ++i) {
        CDaoTableDefInfo info;
        database.GetTableDefInfo(i, info);
        tables.push_back(Utf8Of(info.m_strName));
        const bool system = info.m_strName.Left(4) == L"MSys";
        EXPECT_EQ((static_cast<unsigned long>(info.m_lAttributes) & 0x80000002UL) != 0, system)
            << tables.back();
    }
    std::vector<std::string> listed;
    for (const TsvRow& row : ReadTsv(Oracle(".tables")))
        listed.push_back(row[0]);
    EXPECT_EQ(tables, listed);

    std::vector<std::pair<std::string, short>> queries;
    for (short i = 0; i < database.GetQueryDefCount(); ++i) {
        CDaoQueryDefInfo info;
        database.GetQueryDefInfo(i, info);
        queries.emplace_back(Utf8Of(info.m_strName), info.m_nType);
    }
    const std::vector<TsvRow> queryOracle = ReadTsv(Oracle(".queries"));
    ASSERT_EQ(queries.size(), queryOracle.size());
    for (std::size_t i = 0; i < queries.size(); ++i)
        EXPECT_EQ(queries[i].first, queryOracle[i][0]);
    EXPECT_EQ(queries[0].second, dbQSelect);
    EXPECT_EQ(queries[1].second, dbQDelete);

    const std::vector<CsvRow> relations = ReadCsv(Oracle(".relations"));
    ASSERT_EQ(database.GetRelationCount(), static_cast<short>(relations.size() - 1));
    CDaoRelationInfo relation;
    database.GetRelationInfo(0, relation);
    EXPECT_EQ(Utf8Of(relation.m_strName), relations[1][7]);
    EXPECT_EQ(Utf8Of(relation.m_strTable), relations[1][4]);
    EXPECT_EQ(Utf8Of(relation.m_strForeignTable), relations[1][6]);
}

TEST_P(DaoFixture, FieldsAndRecordsEqualMdbExport)
{
    TempCopy copy(std::string(GetParam()) + ".mdb");
    CDaoDatabase database;
    database.Open(copy.Path());
    for (const char* name : {"AllTypes", "People", "Orders", "Big10000", "Big9999"}) {
        SCOPED_TRACE(name);
        CDaoTableDef tableDef(&database);
        tableDef.Open(Wide(name));
        const auto fields = SchemaFields(Oracle(".schema"), name);
        ASSERT_EQ(tableDef.GetFieldCount(), static_cast<short>(fields.size()));
        std::vector<short> types;
        for (short i = 0; i < tableDef.GetFieldCount(); ++i) {
            CDaoFieldInfo info;
            tableDef.GetFieldInfo(i, info);
            EXPECT_EQ(Utf8Of(info.m_strName), fields[static_cast<std::size_t>(i)].first);
            const int jetType = SchemaColumnType(fields[static_cast<std::size_t>(i)].second);
            EXPECT_EQ(info.m_nType, jetType == 16 ? dbDecimal : jetType);
            types.push_back(info.m_nType);
        }
        tableDef.Close();

        const std::vector<CsvRow> rows = ReadCsv(Oracle(std::string(".") + name + ".csv"));
        CDaoRecordset recordset(&database);
        recordset.Open(dbOpenDynaset, CString(L"Select * From [") + Wide(name) + L"]");
        std::size_t record = 1;
        for (; !recordset.IsEOF(); recordset.MoveNext(), ++record) {
            ASSERT_LT(record, rows.size());
            for (short c = 0; c < recordset.GetFieldCount(); ++c) {
                const COleVariant value = recordset.GetFieldValue(c);
                std::string expected = rows[record][static_cast<std::size_t>(c)];
                const short type = types[static_cast<std::size_t>(c)];
                if (type == dbGUID)
                    expected = GuidHexWithoutHyphens(expected);
                if ((type == dbSingle || type == dbDouble) && value.vt != VT_NULL) {
                    const double number = value.vt == VT_R4 ? value.fltVal : value.dblVal;
                    EXPECT_EQ(value.vt, type == dbSingle ? VT_R4 : VT_R8);
                    EXPECT_NEAR(number, std::strtod(expected.c_str(), nullptr),
                                std::fabs(number) * 1e-6 + 1e-300);
                } else {
                    EXPECT_EQ(OracleText(value, type), expected) << "record " << record << " field " << c;
                }
            }
        }
        EXPECT_EQ(record, rows.size());
        recordset.Close();
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DaoFixture, ::testing::Values("jet3", "jet4"));

TEST(DaoDatabase, UnreadableFilesAndUnknownNamesRaiseDaoExceptions)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const CString text = CString(folder) + Wide(UniqueTempName("dao_text_", ".mdb"));
    const CString truncated = CString(folder) + Wide(UniqueTempName("dao_short_", ".mdb"));
    const std::string jet4 = ReadWholeFile(std::string(PREVIEW_FIXTURES_DIR) + "/access/jet4.mdb");
    auto write = [](const CString& path, const std::string& bytes) {
        HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
        ::CloseHandle(file);
    };
    write(text, std::string(6000, 'A'));
    write(truncated, jet4.substr(0, 2 * 4096 + 100));
    EXPECT_EQ(ScodeOfOpen(text), E_DAO_DatabaseCorrupt);
    EXPECT_EQ(ScodeOfOpen(truncated), E_DAO_DatabaseCorrupt);
    EXPECT_EQ(ScodeOfOpen(CString(folder) + L"no such file.mdb"), E_DAO_FileNotFound);
    ::DeleteFileW(text);
    ::DeleteFileW(truncated);

    TempCopy copy("jet4.mdb");
    CDaoDatabase database;
    database.Open(copy.Path());
    CDaoRecordset recordset(&database);
    const struct
    {
        const wchar_t* statement;
        SCODE scode;
    } cases[] = {{L"Select ID From [People]", E_DAO_FROMSyntaxError},
                 {L"Select * From [Nobody]", E_DAO_ObjectNotFound},
                 {L"Select * From People Where ID = 1", E_DAO_FROMSyntaxError}};
    for (const auto& c : cases) {
        SCODE scode = S_OK;
        try {
            recordset.Open(dbOpenDynaset, c.statement);
        } catch (CDaoException* pException) {
            scode = pException->m_scode;
            pException->Delete();
        }
        EXPECT_EQ(scode, c.scode) << Utf8Of(c.statement);
    }
    recordset.Open(dbOpenDynaset, L"  select * from People ");
    EXPECT_FALSE(recordset.IsEOF());

    CDaoDatabase readOnly;
    readOnly.Open(copy.Path(), FALSE, TRUE);
    SCODE scode = S_OK;
    try {
        readOnly.DeleteTableDef(L"People");
    } catch (CDaoException* pException) {
        scode = pException->m_scode;
        pException->Delete();
    }
    EXPECT_EQ(scode, E_DAO_DatabaseReadOnly);
}
