// Property exchange over the registry (values read back raw) and over archives, the toolkit's registry
// and INI profile, and window placement with a real top-level window.
#include "prop_exchange.h"
#include "registry_profile.h"
#include "window_placement.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "settings_test.h"
#include "toolkit_test_app.h"

IMPLEMENT_SERIAL(CSettingsTestItem, CObject, 3)

void CSettingsTestItem::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_nValue;
    else
        ar >> m_nValue;
}

ScratchRegistry::ScratchRegistry()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratchPath);
    RegCreateKeyExW(HKEY_CURRENT_USER, kScratchPath, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &m_hKey, NULL);
}

ScratchRegistry::~ScratchRegistry()
{
    RegCloseKey(m_hKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratchPath);
}

RawValue ScratchRegistry::Raw(LPCWSTR lpszSubKey, LPCWSTR lpszName) const
{
    RawValue value;
    HKEY hKey = NULL;
    if (RegOpenKeyExW(m_hKey, lpszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return value;
    DWORD nSize = 0;
    if (RegQueryValueExW(hKey, lpszName, NULL, &value.type, NULL, &nSize) == ERROR_SUCCESS) {
        value.bytes.resize(nSize);
        if (RegQueryValueExW(hKey, lpszName, NULL, &value.type, value.bytes.data(), &nSize) == ERROR_SUCCESS)
            value.present = true;
    }
    RegCloseKey(hKey);
    return value;
}

bool ScratchRegistry::KeyExists(LPCWSTR lpszSubKey) const
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(m_hKey, lpszSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

void ScratchRegistry::SetRaw(LPCWSTR lpszSubKey, LPCWSTR lpszName, DWORD dwType, const void* pData,
                             DWORD nBytes)
{
    HKEY hKey = NULL;
    ASSERT_EQ(RegCreateKeyExW(m_hKey, lpszSubKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(hKey, lpszName, 0, dwType, static_cast<const BYTE*>(pData), nBytes),
              ERROR_SUCCESS);
    RegCloseKey(hKey);
}

std::wstring RawValue::Text() const
{
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    while (!text.empty() && text.back() == 0)
        text.pop_back();
    return text;
}

DWORD RawValue::Dword() const
{
    DWORD dw = 0;
    memcpy(&dw, bytes.data(), bytes.size() < 4 ? bytes.size() : 4);
    return dw;
}

AppProfileNames::AppProfileNames(LPCTSTR lpszRegistryKey, LPCTSTR lpszProfileName)
    : m_lpszRegistryKey(theApp.m_pszRegistryKey), m_lpszProfileName(theApp.m_pszProfileName)
{
    theApp.m_pszRegistryKey = lpszRegistryKey;
    theApp.m_pszProfileName = lpszProfileName;
}

AppProfileNames::~AppProfileNames()
{
    theApp.m_pszRegistryKey = m_lpszRegistryKey;
    theApp.m_pszProfileName = m_lpszProfileName;
}

namespace {

// The registry medium with the text form of byte blocks that media without binary values use.
class LetterBlobExchange : public CXTPPropExchangeRegistry
{
public:
    using CXTPPropExchangeRegistry::CXTPPropExchangeRegistry;
    BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes) override
    {
        return CXTPPropExchange::ExchangeBlob(pszPropName, pData, nBytes);
    }
};

struct SettingsValues
{
    long nLong = 0;
    BOOL bFlag = FALSE;
    BYTE nByte = 0;
    short nShort = 0;
    CString strText;
    RECT rc = {0, 0, 0, 0};
    SIZE sz = {0, 0};
    std::vector<BYTE> blob;
};

// The one exchange routine that runs in both directions.
void ExchangeSettings(CXTPPropExchange* pPX, SettingsValues& v)
{
    ExchangeLongDefault(pPX, L"Long", v.nLong, 0);
    ExchangeBool(pPX, L"Flag", v.bFlag, FALSE);
    ExchangeByte(pPX, L"Byte", v.nByte, 0);
    ExchangeShort(pPX, L"Short", v.nShort, 0);
    ExchangeStringDefault(pPX, L"Text", v.strText, L"");
    ExchangeRect(pPX, L"Rect", v.rc, CRect(0, 0, 0, 0));
    ExchangeSize(pPX, L"Size", v.sz, CSize(0, 0));
    BYTE* pData = v.blob.empty() ? NULL : v.blob.data();
    DWORD nBytes = static_cast<DWORD>(v.blob.size());
    if (pPX->IsLoading())
        pData = NULL;
    ExchangeBytes(pPX, L"Blob", pData, nBytes);
    if (pPX->IsLoading() && pData != NULL) {
        v.blob.assign(pData, pData + nBytes);
        free(pData);
    }
}

TEST(RegistryExchange, ValuesAreStoredInTheirRegistryFormsAndLoadBack)
{
    ScratchRegistry reg;
    SettingsValues stored;
    stored.nLong = 123456;
    stored.bFlag = TRUE;
    stored.nByte = 0xA5;
    stored.nShort = -1;
    stored.strText = L"Some text";
    stored.rc = CRect(10, 20, 30, 40);
    stored.sz = CSize(3, 4);
    stored.blob = {1, 2, 0, 255};
    {
        CXTPPropExchangeRegistry px(FALSE, reg.Key(), L"Values");
        ExchangeSettings(&px, stored);
    }
    struct
    {
        LPCWSTR name;
        DWORD type;
        DWORD dword;
        LPCWSTR text;
    } const expected[] = {
        {L"Long", REG_DWORD, 123456, NULL}, {L"Flag", REG_DWORD, 1, NULL},
        {L"Byte", REG_DWORD, 0xA5, NULL},   {L"Short", REG_DWORD, 65535, NULL},
        {L"Text", REG_SZ, 0, L"Some text"}, {L"Rect", REG_SZ, 0, L"10, 20, 30, 40"},
        {L"Size", REG_SZ, 0, L"3, 4"},
    };
    for (const auto& e : expected) {
        const RawValue raw = reg.Raw(L"Values", e.name);
        ASSERT_TRUE(raw.present) << Narrow(e.name);
        EXPECT_EQ(raw.type, e.type) << Narrow(e.name);
        if (e.type == REG_DWORD) {
            EXPECT_EQ(raw.bytes.size(), 4u) << Narrow(e.name);
            EXPECT_EQ(raw.Dword(), e.dword) << Narrow(e.name);
        } else {
            EXPECT_EQ(raw.Text(), e.text) << Narrow(e.name);
            // Stored with its terminator.
            EXPECT_EQ(raw.bytes.size(), (wcslen(e.text) + 1) * 2) << Narrow(e.name);
        }
    }
    const RawValue blob = reg.Raw(L"Values", L"Blob");
    EXPECT_EQ(blob.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(blob.bytes, stored.blob);

    SettingsValues loaded;
    CXTPPropExchangeRegistry px(TRUE, reg.Key(), L"Values");
    ExchangeSettings(&px, loaded);
    EXPECT_EQ(loaded.nLong, 123456);
    EXPECT_EQ(loaded.bFlag, TRUE);
    EXPECT_EQ(loaded.nByte, 0xA5);
    EXPECT_EQ(loaded.nShort, -1);
    EXPECT_EQ(loaded.strText, L"Some text");
    EXPECT_TRUE(EqualRect(&loaded.rc, CRect(10, 20, 30, 40)));
    EXPECT_EQ(loaded.sz.cx, 3);
    EXPECT_EQ(loaded.sz.cy, 4);
    EXPECT_EQ(loaded.blob, stored.blob);
}

TEST(RegistryExchange, AValueEqualToItsDefaultIsDeletedUnlessDefaultsAreWritten)
{
    ScratchRegistry reg;
    {
        CXTPPropExchangeRegistry px(FALSE, reg.Key(), L"Defaults");
        long n = 5;
        ExchangeLongDefault(&px, L"Value", n, 7);
        EXPECT_TRUE(reg.Raw(L"Defaults", L"Value").present);
        n = 7;
        EXPECT_TRUE(ExchangeLongDefault(&px, L"Value", n, 7));
        EXPECT_FALSE(reg.Raw(L"Defaults", L"Value").present);

        px.UseDefaultOnSave(FALSE);
        EXPECT_TRUE(ExchangeLongDefault(&px, L"Value", n, 7));
        EXPECT_EQ(reg.Raw(L"Defaults", L"Value").Dword(), 7u);
        px.UseDefaultOnSave(TRUE);

        CXTPPropExchangeSection child(&px, L"Child");
        long c = 1;
        ExchangeLongDefault(&child, L"ChildValue", c, 0);
        EXPECT_TRUE(reg.KeyExists(L"Defaults\\Child"));
    }
    {
        CXTPPropExchangeRegistry px(FALSE, reg.Key(), L"Defaults");
        px.EmptySection();
        EXPECT_FALSE(reg.KeyExists(L"Defaults"));
        // An emptied section deletes nothing; the next value makes the key again.
        long n = 7;
        EXPECT_TRUE(ExchangeLongDefault(&px, L"Value", n, 7));
        EXPECT_FALSE(reg.Raw(L"Defaults", L"Value").present);
    }
    {
        // Loading yields the default for a missing value; without defaults on load the field stays.
        CXTPPropExchangeRegistry px(TRUE, reg.Key(), L"Defaults");
        long n = 99;
        EXPECT_TRUE(ExchangeLongDefault(&px, L"Missing", n, 42));
        EXPECT_EQ(n, 42);
        px.UseDefaultOnLoad(FALSE);
        n = 99;
        EXPECT_FALSE(ExchangeLongDefault(&px, L"Missing", n, 42));
        EXPECT_EQ(n, 99);
    }
}

TEST(RegistryExchange, HostileStoredValuesLoadDefaultsOrFail)
{
    ScratchRegistry reg;
    const wchar_t rect3[] = L"10, 20, 30";
    reg.SetRaw(L"Hostile", L"Rect3", REG_SZ, rect3, sizeof(rect3));
    const char oddText[] = {'a', 0, 'b', 0, 'c'}; // 5 bytes, no terminator
    reg.SetRaw(L"Hostile", L"OddText", REG_SZ, oddText, sizeof(oddText));
    const BYTE threeBytes[] = {0x01, 0x02, 0x03};
    reg.SetRaw(L"Hostile", L"Dword3", REG_DWORD, threeBytes, sizeof(threeBytes));
    const BYTE eightBytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
    reg.SetRaw(L"Hostile", L"Dword8", REG_DWORD, eightBytes, sizeof(eightBytes));
    const wchar_t size1[] = L"12";
    reg.SetRaw(L"Hostile", L"Size1", REG_SZ, size1, sizeof(size1));
    std::vector<BYTE> huge(100u * 1024 * 1024, 0x5A);
    HKEY hKey = NULL;
    ASSERT_EQ(RegOpenKeyExW(reg.Key(), L"Hostile", 0, KEY_ALL_ACCESS, &hKey), ERROR_SUCCESS);
    const bool bHugeStored = RegSetValueExW(hKey, L"Huge", 0, REG_BINARY, huge.data(),
                                            static_cast<DWORD>(huge.size())) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    huge.clear();
    huge.shrink_to_fit();

    CXTPPropExchangeRegistry px(TRUE, reg.Key(), L"Hostile");
    RECT rc = {1, 1, 1, 1};
    ExchangeRect(&px, L"Rect3", rc, CRect(5, 6, 7, 8));
    EXPECT_TRUE(EqualRect(&rc, CRect(5, 6, 7, 8)));
    SIZE sz = {1, 1};
    ExchangeSize(&px, L"Size1", sz, CSize(9, 9));
    EXPECT_EQ(sz.cx, 9);
    CString strText;
    EXPECT_TRUE(ExchangeStringDefault(&px, L"OddText", strText, L"default"));
    EXPECT_EQ(strText, L"ab");
    long n = 77;
    EXPECT_TRUE(ExchangeLongDefault(&px, L"Dword3", n, 0));
    EXPECT_EQ(n, 0x030201);
    n = 77;
    ExchangeLongDefault(&px, L"Dword8", n, 11);
    EXPECT_EQ(n, 11);
    short s = 0;
    ExchangeShort(&px, L"Dword8", s, 12);
    EXPECT_EQ(s, 12);

    if (bHugeStored) {
        BYTE* pData = NULL;
        DWORD nBytes = 0;
        EXPECT_FALSE(ExchangeBytes(&px, L"Huge", pData, nBytes));
        EXPECT_EQ(pData, nullptr);
        CXTRegistryProfile profile;
        (void)profile;
    } else {
        ADD_FAILURE() << "the registry refused a 100 MB value; the cap is untested";
    }
    // A caller's buffer smaller than the stored block.
    BYTE small[2];
    BYTE* pSmall = small;
    DWORD nSmall = sizeof(small);
    reg.SetRaw(L"Hostile", L"Four", REG_BINARY, eightBytes, 4);
    EXPECT_FALSE(ExchangeBytes(&px, L"Four", pSmall, nSmall));
}

TEST(RegistryExchange, EnumeratedSectionsLieBesideTheirCount)
{
    ScratchRegistry reg;
    for (DWORD nItems : {3u, 0u}) {
        CXTPPropExchangeRegistry px(FALSE, reg.Key(), nItems ? L"Three" : L"Empty");
        std::unique_ptr<CXTPPropSectionEnumerator> pEnum(px.GetEnumerator(L"Item"));
        POSITION pos = pEnum->GetPosition(nItems);
        long nValue = 100;
        while (pos != NULL) {
            CXTPPropExchangeSection item(pEnum->GetNext(pos));
            ExchangeLong(&item, L"Value", nValue);
            nValue++;
        }
    }
    EXPECT_EQ(reg.Raw(L"Three", L"Count").Dword(), 3u);
    for (LPCWSTR name : {L"Three\\Item0", L"Three\\Item1", L"Three\\Item2"})
        EXPECT_TRUE(reg.KeyExists(name)) << Narrow(name);
    EXPECT_FALSE(reg.KeyExists(L"Three\\Item3"));
    EXPECT_EQ(reg.Raw(L"Three\\Item2", L"Value").Dword(), 102u);
    EXPECT_FALSE(reg.Raw(L"Empty", L"Count").present);

    CXTPPropExchangeRegistry px(TRUE, reg.Key(), L"Three");
    std::unique_ptr<CXTPPropSectionEnumerator> pEnum(px.GetEnumerator(L"Item"));
    POSITION pos = pEnum->GetPosition();
    std::vector<long> values;
    while (pos != NULL) {
        CXTPPropExchangeSection item(pEnum->GetNext(pos));
        long n = 0;
        ExchangeLong(&item, L"Value", n);
        values.push_back(n);
    }
    EXPECT_EQ(values, (std::vector<long>{100, 101, 102}));
}

TEST(RegistryExchange, ByteBlocksAsLettersForTextMedia)
{
    ScratchRegistry reg;
    BYTE bytes[] = {0x12, 0xAB};
    {
        LetterBlobExchange px(FALSE, reg.Key(), L"Letters");
        BYTE* pData = bytes;
        DWORD nBytes = 2;
        EXPECT_TRUE(ExchangeBytes(&px, L"Block", pData, nBytes));
    }
    EXPECT_EQ(reg.Raw(L"Letters", L"Block").Text(), L"CBLK");
    {
        LetterBlobExchange px(TRUE, reg.Key(), L"Letters");
        BYTE* pData = NULL;
        DWORD nBytes = 0;
        ASSERT_TRUE(ExchangeBytes(&px, L"Block", pData, nBytes));
        ASSERT_EQ(nBytes, 2u);
        EXPECT_EQ(pData[0], 0x12);
        EXPECT_EQ(pData[1], 0xAB);
        free(pData);
    }
    const wchar_t odd[] = L"CBL";
    reg.SetRaw(L"Letters", L"Odd", REG_SZ, odd, sizeof(odd));
    LetterBlobExchange px(TRUE, reg.Key(), L"Letters");
    BYTE* pData = NULL;
    DWORD nBytes = 0;
    EXPECT_FALSE(ExchangeBytes(&px, L"Odd", pData, nBytes));
    EXPECT_EQ(pData, nullptr);
}

// Runs the mixed routine over one archive; the names never reach it.
void ExchangeMixed(CXTPPropExchange* pPX, long& n, BOOL& b, CString& s, RECT& rc, std::vector<BYTE>& blob,
                   CRuntimeClass*& pClass, CSettingsTestItem& item)
{
    ExchangeLong(pPX, pPX->IsLoading() ? L"other" : L"Long", n);
    ExchangeBool(pPX, L"Bool", b, FALSE);
    ExchangeString(pPX, L"String", s);
    ExchangeRect(pPX, L"Rect", rc, CRect(0, 0, 0, 0));
    BYTE* pData = pPX->IsLoading() ? NULL : blob.data();
    DWORD nBytes = static_cast<DWORD>(blob.size());
    EXPECT_TRUE(ExchangeBytes(pPX, L"Blob", pData, nBytes));
    if (pPX->IsLoading()) {
        blob.assign(pData, pData + nBytes);
        free(pData);
    }
    EXPECT_TRUE(ExchangeClassName(pPX, L"Class", pClass, RUNTIME_CLASS(CObject)));
    CXTPPropExchangeSection section(pPX, L"Section");
    EXPECT_TRUE(ExchangeObject(&section, L"Object", &item));
}

TEST(ArchiveExchange, AMixedSequenceLoadsAsStoredAndNamesAreIgnored)
{
    CMemFile file;
    std::vector<BYTE> blob = {9, 8, 7};
    {
        CArchive ar(&file, CArchive::store);
        CXTPPropExchangeArchive px(ar);
        EXPECT_FALSE(px.CanOmitDefaults());
        long n = -5;
        BOOL b = TRUE;
        CString s = L"archived";
        RECT rc = {1, 2, 3, 4};
        CRuntimeClass* pClass = RUNTIME_CLASS(CSettingsTestItem);
        CSettingsTestItem item;
        item.m_nValue = 4711;
        ExchangeMixed(&px, n, b, s, rc, blob, pClass, item);
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    long n = 0;
    BOOL b = FALSE;
    CString s;
    RECT rc = {};
    std::vector<BYTE> loaded;
    CRuntimeClass* pClass = NULL;
    CSettingsTestItem item;
    ExchangeMixed(&px, n, b, s, rc, loaded, pClass, item);
    EXPECT_EQ(n, -5);
    EXPECT_EQ(b, TRUE);
    EXPECT_EQ(s, L"archived");
    EXPECT_TRUE(EqualRect(&rc, CRect(1, 2, 3, 4)));
    EXPECT_EQ(loaded, blob);
    EXPECT_EQ(pClass, RUNTIME_CLASS(CSettingsTestItem));
    // The class record carries the stored schema into the exchange.
    EXPECT_EQ(px.m_nSchema, 3u);
    EXPECT_EQ(item.m_nValue, 4711);
}

// Every value type through an archive: the bytes each one takes, in call order, and the value back.
TEST(ArchiveExchange, EveryValueTypeKeepsItsLayoutAndLoadsBack)
{
    struct Values
    {
        short i2;
        long i4;
        float r4;
        double r8;
        CY cy;
        BYTE ui1;
        SIZE size;
        RECT rect;
        CString text;
        COleDateTime date;
        COleVariant variant;
    };
    auto exchange = [](CXTPPropExchange* pPX, Values& v) {
        EXPECT_TRUE(pPX->ExchangeValue(L"I2", VT_I2, &v.i2, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"I4", VT_I4, &v.i4, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"R4", VT_R4, &v.r4, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"R8", VT_R8, &v.r8, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"Cy", VT_CY, &v.cy, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"UI1", VT_UI1, &v.ui1, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"Size", VT_EX_SIZE, &v.size, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"Rect", VT_EX_RECT, &v.rect, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"Text", VT_EX_CSTRING, &v.text, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"Date", VT_DATE, &v.date, NULL));
        EXPECT_TRUE(pPX->ExchangeValue(L"Variant", VT_VARIANT, &v.variant, NULL));
    };
    Values stored{-2,
                  -70000,
                  1.5f,
                  -2.25,
                  {},
                  0xAB,
                  {7, -8},
                  {1, -2, 3, -4},
                  L"ab",
                  COleDateTime(2024, 2, 29, 13, 14, 15),
                  COleVariant(42L)};
    stored.cy.Lo = 0x89ABCDEF;
    stored.cy.Hi = -3;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CXTPPropExchangeArchive px(ar);
        exchange(&px, stored);
        ar.Close();
    }
    std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    const std::vector<BYTE> fixed = {
        0xFE, 0xFF,                                     // short
        0x90, 0xEE, 0xFE, 0xFF,                         // long
        0x00, 0x00, 0xC0, 0x3F,                         // float
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0xC0, // double
        0xEF, 0xCD, 0xAB, 0x89, 0xFD, 0xFF, 0xFF, 0xFF, // currency: low, then high half
        0xAB,                                           // byte
        7,    0,    0,    0,    0xF8, 0xFF, 0xFF, 0xFF, // size as it lies in memory
        1,    0,    0,    0,    0xFE, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 0xFC, 0xFF, 0xFF, 0xFF, // rectangle
        0xFF, 0xFE, 0xFF, 2,    L'a', 0,    L'b', 0};                                       // text
    ASSERT_GT(bytes.size(), fixed.size());
    EXPECT_EQ(fixed,
              std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(fixed.size())));

    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    Values loaded{};
    exchange(&px, loaded);
    EXPECT_EQ(stored.i2, loaded.i2);
    EXPECT_EQ(stored.i4, loaded.i4);
    EXPECT_EQ(stored.r4, loaded.r4);
    EXPECT_EQ(stored.r8, loaded.r8);
    EXPECT_EQ(stored.cy.int64, loaded.cy.int64);
    EXPECT_EQ(stored.ui1, loaded.ui1);
    EXPECT_EQ(stored.size.cx, loaded.size.cx);
    EXPECT_EQ(stored.size.cy, loaded.size.cy);
    EXPECT_TRUE(EqualRect(&stored.rect, &loaded.rect));
    EXPECT_EQ(stored.text, loaded.text);
    EXPECT_EQ(stored.date, loaded.date);
    EXPECT_TRUE(stored.variant == loaded.variant);
}

std::vector<BYTE> ClassRecord(const char* name)
{
    std::vector<BYTE> bytes = {0xFF, 0xFF, 3, 0, static_cast<BYTE>(strlen(name)), 0};
    bytes.insert(bytes.end(), name, name + strlen(name));
    return bytes;
}

TEST(ArchiveExchange, UnknownClassNamesAndInflatedCountsAreRefused)
{
    std::vector<BYTE> bytes = ClassRecord("CNoSuchToolkitClass");
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    CRuntimeClass* pClass = NULL;
    int cause = -1;
    try {
        px.ExchangeClass(L"Class", pClass, RUNTIME_CLASS(CObject));
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(cause, CArchiveException::badClass);

    // Counts of a block that claim more than the archive holds: nothing allocated, FALSE.
    const std::vector<std::vector<BYTE>> inflated = {
        {0x10, 0x00, 1, 2},                         // 16 claimed, 2 present
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2}, // 2 GiB claimed
        {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10},       // 256 MiB claimed, nothing present
    };
    for (const auto& data : inflated) {
        std::vector<BYTE> copy = data;
        CMemFile inflatedFile(copy.data(), static_cast<UINT>(copy.size()));
        CArchive arLoad(&inflatedFile, CArchive::load);
        CXTPPropExchangeArchive pxLoad(arLoad);
        BYTE* pData = NULL;
        DWORD nBytes = 0;
        EXPECT_FALSE(ExchangeBytes(&pxLoad, L"Blob", pData, nBytes));
        EXPECT_EQ(pData, nullptr);
    }
}

TEST(ArchiveExchange, ObjectsByClassEnterTheArchiveMap)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CXTPPropExchangeArchive px(ar);
        CSettingsTestItem item;
        item.m_nValue = 12;
        CObject* pObject = &item;
        EXPECT_TRUE(ExchangeObjectInstance(&px, pObject, RUNTIME_CLASS(CObject)));
        // A second mention is a reference to the mapped object.
        ar << pObject;
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    CObject* pObject = NULL;
    ASSERT_TRUE(ExchangeObjectInstance(&px, pObject, RUNTIME_CLASS(CObject)));
    ASSERT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CSettingsTestItem)));
    CObject* pAgain = NULL;
    ar >> pAgain;
    EXPECT_EQ(pAgain, pObject);
    delete pObject;
}

// Profile

TEST(RegistryProfile, WithoutARegistryKeyTheDefaultComesBackAndNothingIsCreated)
{
    AppProfileNames names(NULL, L"ToolkitSettingsTest");
    auto softwareKeys = [] {
        std::set<std::wstring> keys;
        HKEY hKey = NULL;
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &hKey);
        WCHAR name[256];
        for (DWORD i = 0;; i++) {
            DWORD n = 256;
            if (RegEnumKeyExW(hKey, i, name, &n, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
                break;
            keys.insert(name);
        }
        RegCloseKey(hKey);
        return keys;
    };
    const std::set<std::wstring> before = softwareKeys();
    CXTRegistryProfile profile;
    EXPECT_EQ(profile.GetProfileString(L"Settings", L"Name", L"fallback"), L"fallback");
    EXPECT_EQ(profile.WriteProfileString(L"Settings", L"Name", L"text"), 0);
    BYTE* pData = reinterpret_cast<BYTE*>(1);
    UINT nBytes = 1;
    EXPECT_FALSE(profile.GetProfileBinary(L"Settings", L"Name", &pData, &nBytes));
    EXPECT_EQ(pData, nullptr);
    EXPECT_EQ(softwareKeys(), before);
}

TEST(RegistryProfile, NullNameDeletesTheSectionAndNullTextTheValue)
{
    ScratchRegistry reg;
    AppProfileNames names(kScratchCompany, L"Profile");
    CXTRegistryProfile profile;
    EXPECT_EQ(profile.WriteProfileString(L"Section", L"One", L"first"), 1);
    EXPECT_EQ(profile.WriteProfileString(L"Section", L"Two", L"second"), 1);
    EXPECT_EQ(reg.Raw(L"Profile\\Section", L"One").Text(), L"first");
    EXPECT_EQ(profile.GetProfileString(L"Section", L"Two"), L"second");

    EXPECT_EQ(profile.WriteProfileString(L"Section", L"One", NULL), 1);
    EXPECT_FALSE(reg.Raw(L"Profile\\Section", L"One").present);
    EXPECT_TRUE(reg.Raw(L"Profile\\Section", L"Two").present);
    EXPECT_EQ(profile.GetProfileString(L"Section", L"One", L"gone"), L"gone");

    EXPECT_EQ(profile.WriteProfileString(L"Section", NULL, NULL), 1);
    EXPECT_FALSE(reg.KeyExists(L"Profile\\Section"));

    const BYTE bytes[] = {0, 1, 2, 3, 250};
    EXPECT_EQ(profile.WriteProfileBinary(L"Binary", L"Block", bytes, sizeof(bytes)), 1);
    EXPECT_EQ(reg.Raw(L"Profile\\Binary", L"Block").type, static_cast<DWORD>(REG_BINARY));
    BYTE* pData = NULL;
    UINT nBytes = 0;
    ASSERT_TRUE(profile.GetProfileBinary(L"Binary", L"Block", &pData, &nBytes));
    EXPECT_EQ(std::vector<BYTE>(pData, pData + nBytes),
              std::vector<BYTE>(std::begin(bytes), std::end(bytes)));
    delete[] pData;

    // A text without terminator and of odd size still comes back terminated.
    const char odd[] = {'x', 0, 'y'};
    reg.SetRaw(L"Profile\\Section", L"Odd", REG_SZ, odd, sizeof(odd));
    EXPECT_EQ(profile.GetProfileString(L"Section", L"Odd"), L"x");
}

TEST(RegistryProfile, TheIniFormKeepsByteBlocksAsLetters)
{
    const std::wstring path = BuildFolderFile(L"toolkit_settings_test.ini");
    DeleteFileW(path.c_str());
    XTGetProfileIniPath() = path.c_str();
    CXTRegistryProfile profile;
    const BYTE bytes[] = {0x12, 0xAB};
    EXPECT_EQ(profile.WriteProfileBinary(L"Blocks", L"Letters", bytes, 2), 1);
    WCHAR text[64] = {};
    GetPrivateProfileStringW(L"Blocks", L"Letters", L"", text, 64, path.c_str());
    EXPECT_STREQ(text, L"CBLK");
    BYTE* pData = NULL;
    UINT nBytes = 0;
    const BOOL bRead = profile.GetProfileBinary(L"Blocks", L"Letters", &pData, &nBytes);
    XTGetProfileIniPath().Empty();
    ASSERT_TRUE(bRead);
    ASSERT_EQ(nBytes, 2u);
    EXPECT_EQ(pData[0], 0x12);
    EXPECT_EQ(pData[1], 0xAB);
    delete[] pData;
    DeleteFileW(path.c_str());
}

// Placement

class PlacementTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(Create(m_wnd)); }
    void TearDown() override
    {
        if (m_wnd.GetSafeHwnd() != NULL)
            m_wnd.DestroyWindow();
    }
    static BOOL Create(CWnd& wnd)
    {
        const CString strClass =
            AfxRegisterWndClass(0, LoadCursor(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
        return wnd.CreateEx(0, strClass, L"Placement", WS_OVERLAPPEDWINDOW, 120, 90, 400, 300, NULL, NULL);
    }

    ScratchRegistry m_reg;
    AppProfileNames m_names{kScratchCompany, L"Placement"};
    CWnd m_wnd;
};

TEST_F(PlacementTest, AMaximisedWindowComesBackZoomedWithItsNormalRectangle)
{
    m_wnd.ShowWindow(SW_SHOWNORMAL);
    m_wnd.ShowWindow(SW_SHOWMAXIMIZED);
    CXTWindowPlacement placement;
    ASSERT_TRUE(placement.Save(&m_wnd));
    const RawValue raw = m_reg.Raw(L"Placement\\Settings", L"Window Position");
    ASSERT_EQ(raw.bytes.size(), 48u);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_BINARY));
    LONG fields[12];
    memcpy(fields, raw.bytes.data(), 48);
    EXPECT_EQ(fields[1], 44); // the placement's own length
    EXPECT_EQ(fields[3], SW_SHOWMAXIMIZED);
    EXPECT_EQ(fields[8], 120);
    EXPECT_EQ(fields[9], 90);
    EXPECT_EQ(fields[10], 520);
    EXPECT_EQ(fields[11], 390);

    CWnd restored;
    ASSERT_TRUE(Create(restored));
    CXTWindowPlacement loader;
    EXPECT_TRUE(loader.Restore(&restored));
    EXPECT_TRUE(restored.IsZoomed());
    restored.ShowWindow(SW_RESTORE);
    CRect rc;
    restored.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(120, 90, 520, 390));
    restored.DestroyWindow();
}

TEST_F(PlacementTest, AMinimisedWindowIsSavedNormal)
{
    m_wnd.ShowWindow(SW_SHOWNORMAL);
    m_wnd.ShowWindow(SW_MINIMIZE);
    CXTWindowPlacement placement;
    ASSERT_TRUE(placement.Save(&m_wnd, L"Minimised", L"Other"));
    const RawValue raw = m_reg.Raw(L"Placement\\Other", L"Minimised");
    ASSERT_EQ(raw.bytes.size(), 48u);
    LONG fields[12];
    memcpy(fields, raw.bytes.data(), 48);
    EXPECT_EQ(fields[3], SW_SHOWNORMAL);
    CXTWindowPlacement none;
    CWnd closed;
    EXPECT_FALSE(none.Save(&closed));
    EXPECT_FALSE(none.Save(NULL));
}

TEST_F(PlacementTest, OnlyA48ByteValueIsLoaded)
{
    m_wnd.ShowWindow(SW_SHOWNORMAL);
    CRect before;
    m_wnd.GetWindowRect(&before);
    for (DWORD nSize : {0u, 47u, 49u}) {
        std::vector<BYTE> bytes(nSize == 0 ? 48 : nSize, 0);
        LONG fields[12] = {0, 44, 0, SW_SHOWMAXIMIZED, 0, 0, 0, 0, 10, 10, 200, 200};
        memcpy(bytes.data(), fields, std::min<size_t>(bytes.size(), 48));
        if (nSize == 0)
            continue;
        m_reg.SetRaw(L"Placement\\Settings", L"Window Position", REG_BINARY, bytes.data(), nSize);
        CXTWindowPlacement placement;
        EXPECT_FALSE(placement.Load()) << nSize;
        EXPECT_FALSE(placement.Restore(&m_wnd)) << nSize;
        EXPECT_EQ(placement.GetPlacement().showCmd, static_cast<UINT>(SW_SHOW));
        EXPECT_FALSE(m_wnd.IsZoomed());
        CRect after;
        m_wnd.GetWindowRect(&after);
        EXPECT_EQ(after, before);
    }
    // Nothing stored at all.
    CXTWindowPlacement missing;
    EXPECT_FALSE(missing.Load(L"NoSuchEntry"));
}

} // namespace
