#include "prop_exchange.h"

#include "registry_profile.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

const RECT UnsetRect = {LONG(0x80000000), LONG(0x80000000), LONG(0x80000000), LONG(0x80000000)};

IMPLEMENT_DYNAMIC(CXTPPropExchange, CCmdTarget)
IMPLEMENT_DYNAMIC(CXTPPropExchangeArchive, CXTPPropExchange)
IMPLEMENT_DYNAMIC(CXTPPropExchangeRegistry, CXTPPropExchange)

namespace {
// A malloc'd block of nBytes, or null (also for sizes the platform cannot hold).
BYTE* AllocBlock(DWORD nBytes)
{
    return static_cast<BYTE*>(std::malloc(nBytes == 0 ? 1 : nBytes));
}

// Deletes a key with everything below it; the system's own tree delete is not on every version.
void DeleteKeyTree(HKEY hParent, LPCWSTR lpszKey)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(hParent, lpszKey, 0, KEY_READ | KEY_WRITE, &hKey) == ERROR_SUCCESS) {
        WCHAR szName[256];
        for (;;) {
            DWORD nName = static_cast<DWORD>(sizeof(szName) / sizeof(szName[0]));
            if (RegEnumKeyExW(hKey, 0, szName, &nName, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
                break;
            const DWORD nBefore = nName;
            DeleteKeyTree(hKey, szName);
            // A sub-key that cannot go would be met again forever.
            nName = static_cast<DWORD>(sizeof(szName) / sizeof(szName[0]));
            WCHAR szAgain[256];
            if (RegEnumKeyExW(hKey, 0, szAgain, &nName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS &&
                nName == nBefore && wcscmp(szAgain, szName) == 0)
                break;
        }
        RegCloseKey(hKey);
    }
    RegDeleteKeyW(hParent, lpszKey);
}
} // namespace

// ---------------------------------------------------------------------------------------------------
// Base

CXTPPropExchange::CXTPPropExchange()
    : m_pOwner(NULL), m_nSchema(16), m_bLoading(FALSE), m_bChildSection(FALSE), m_bEmptySection(FALSE),
      m_bInitialized(FALSE), m_bUseDefaultOnLoad(TRUE), m_bUseDefaultOnSave(TRUE)
{}

UINT AFXAPI CXTPPropExchange::GetSizeOfVarType(VARTYPE vt)
{
    switch (vt) {
    case VT_I2:
        return 2;
    case VT_I4:
    case VT_R4:
    case VT_BOOL:
        return 4;
    case VT_R8:
    case VT_CY:
    case VT_EX_SIZE:
        return 8;
    case VT_DATE:
        return 12;
    case VT_BSTR:
        return 4;
    case VT_VARIANT:
        return 16;
    case VT_UI1:
        return 1;
    case VT_EX_RECT:
        return 16;
    default:
        return 0;
    }
}

namespace {
// Writes the field to a storing archive or fills it from a loading one.
template <class T> void ArchiveField(CArchive& ar, T& value)
{
    if (ar.IsStoring())
        ar << value;
    else
        ar >> value;
}

// A field kept in the archive as another type (a LONG for a long, the halves of a currency).
template <class Stored, class T> void ArchiveFieldAs(CArchive& ar, T& value)
{
    Stored stored = static_cast<Stored>(value);
    ArchiveField(ar, stored);
    value = static_cast<T>(stored);
}

template <class T> void ArchiveValue(CArchive& ar, void* pvProp)
{
    ArchiveField(ar, *static_cast<T*>(pvProp));
}

void ArchiveLong(CArchive& ar, void* pvProp)
{
    ArchiveFieldAs<LONG>(ar, *static_cast<long*>(pvProp));
}

void ArchiveCurrency(CArchive& ar, void* pvProp)
{
    CY* pCy = static_cast<CY*>(pvProp);
    ArchiveFieldAs<DWORD>(ar, pCy->Lo);
    ArchiveFieldAs<LONG>(ar, pCy->Hi);
}

// Rectangles and sizes go as the bytes of their fields.
template <UINT nBytes> void ArchiveRaw(CArchive& ar, void* pvProp)
{
    if (ar.IsStoring())
        ar.Write(pvProp, nBytes);
    else
        ar.EnsureRead(pvProp, nBytes);
}

// What each value type is to the exchanges: the size of the caller's field when its value is
// compared and copied as bytes (0: it is not), and how an archive moves it.
struct ValueType
{
    VARTYPE vt;
    UINT nPlainSize;
    void (*pfnArchive)(CArchive& ar, void* pvProp);
};
const ValueType kValueTypes[] = {
    {VT_I2, sizeof(short), ArchiveValue<short>},
    {VT_I4, sizeof(long), ArchiveLong},
    {VT_BOOL, sizeof(BOOL), ArchiveLong},
    {VT_R4, sizeof(float), ArchiveValue<float>},
    {VT_R8, sizeof(double), ArchiveValue<double>},
    {VT_CY, sizeof(CY), ArchiveCurrency},
    {VT_DATE, 0, ArchiveValue<COleDateTime>},
    {VT_VARIANT, 0, ArchiveValue<COleVariant>},
    {VT_UI1, 1, ArchiveValue<BYTE>},
    {VT_EX_CSTRING, 0, ArchiveValue<CString>},
    {VT_EX_RECT, sizeof(RECT), ArchiveRaw<sizeof(RECT)>},
    {VT_EX_SIZE, sizeof(SIZE), ArchiveRaw<sizeof(SIZE)>},
};

const ValueType* FindValueType(VARTYPE vt)
{
    for (const ValueType& type : kValueTypes)
        if (type.vt == vt)
            return &type;
    return NULL;
}

// Types whose value is compared and copied as its bytes; the size is that of the caller's field.
UINT PlainSize(VARTYPE vt)
{
    const ValueType* pType = FindValueType(vt);
    return pType != NULL ? pType->nPlainSize : 0;
}
} // namespace

BOOL AFXAPI CXTPPropExchange::IsSamePropValue(VARTYPE vtProp, const void* pv1, const void* pv2)
{
    if (pv1 == pv2)
        return TRUE;
    if (pv1 == NULL || pv2 == NULL)
        return FALSE;
    if (const UINT nSize = PlainSize(vtProp))
        return std::memcmp(pv1, pv2, nSize) == 0;
    switch (vtProp) {
    case VT_DATE: {
        const COleDateTime* p1 = static_cast<const COleDateTime*>(pv1);
        const COleDateTime* p2 = static_cast<const COleDateTime*>(pv2);
        return p1->GetStatus() == p2->GetStatus() && p1->m_dt == p2->m_dt;
    }
    case VT_BSTR: {
        const BSTR bstr = *static_cast<const BSTR*>(pv1);
        return wcscmp(bstr != NULL ? bstr : L"", static_cast<LPCWSTR>(pv2)) == 0;
    }
    case VT_EX_CSTRING:
        return wcscmp(static_cast<const CString*>(pv1)->GetString(), static_cast<LPCWSTR>(pv2)) == 0;
    case VT_VARIANT:
        return *static_cast<const COleVariant*>(pv1) == *static_cast<const VARIANT*>(pv2);
    default:
        return FALSE;
    }
}

BOOL AFXAPI CXTPPropExchange::CopyPropValue(VARTYPE vtProp, void* pvDest, const void* pvSrc)
{
    if (pvSrc == NULL || pvDest == NULL)
        return FALSE;
    if (const UINT nSize = PlainSize(vtProp)) {
        std::memcpy(pvDest, pvSrc, nSize);
        return TRUE;
    }
    switch (vtProp) {
    case VT_DATE:
        *static_cast<COleDateTime*>(pvDest) = *static_cast<const COleDateTime*>(pvSrc);
        return TRUE;
    case VT_BSTR:
        *static_cast<BSTR*>(pvDest) = SysAllocString(static_cast<LPCWSTR>(pvSrc));
        return TRUE;
    case VT_EX_CSTRING:
        *static_cast<CString*>(pvDest) = static_cast<LPCWSTR>(pvSrc);
        return TRUE;
    case VT_VARIANT:
        try {
            *static_cast<COleVariant*>(pvDest) = *static_cast<const VARIANT*>(pvSrc);
        } catch (CException* e) {
            e->Delete();
            return FALSE;
        }
        return TRUE;
    default:
        return TRUE;
    }
}

void CXTPPropExchange::InitSection(CXTPPropExchange* pExchangeSection)
{
    pExchangeSection->m_bChildSection = TRUE;
    pExchangeSection->m_nSchema = m_nSchema;
    pExchangeSection->m_pExchangeParam = m_pExchangeParam;
    pExchangeSection->m_pOwner = m_pOwner;
    pExchangeSection->m_bEmptySection = m_bEmptySection;
    pExchangeSection->m_bUseDefaultOnLoad = m_bUseDefaultOnLoad;
    pExchangeSection->m_bUseDefaultOnSave = m_bUseDefaultOnSave;
}

BOOL CXTPPropExchange::ExchangeBlob(LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes)
{
    CString strValue;
    if (IsStoring()) {
        try {
            LPWSTR p = strValue.GetBuffer(static_cast<int>(nBytes * 2));
            for (DWORD i = 0; i < nBytes; i++) {
                *p++ = static_cast<WCHAR>(L'A' + (pData[i] & 0x0F));
                *p++ = static_cast<WCHAR>(L'A' + ((pData[i] >> 4) & 0x0F));
            }
            strValue.ReleaseBuffer(static_cast<int>(nBytes * 2));
        } catch (CMemoryException* e) {
            e->Delete();
            return FALSE;
        }
        return ExchangeValue(pszPropName, VT_EX_CSTRING, &strValue, L"");
    }

    ExchangeValue(pszPropName, VT_EX_CSTRING, &strValue, L"");
    const int nLength = strValue.GetLength();
    if (nLength == 0)
        return TRUE;
    if (nLength % 2 != 0)
        return FALSE;
    const DWORD nCount = static_cast<DWORD>(nLength / 2);
    BYTE* pBuffer = pData;
    if (pBuffer == NULL) {
        pBuffer = AllocBlock(nCount);
        if (pBuffer == NULL)
            return FALSE;
    } else if (nBytes < nCount) {
        return FALSE;
    }
    LPCWSTR p = strValue.GetString();
    for (DWORD i = 0; i < nCount; i++, p += 2)
        pBuffer[i] = static_cast<BYTE>(((p[1] - L'A') & 0x0F) * 16 + ((p[0] - L'A') & 0x0F));
    pData = pBuffer;
    nBytes = nCount;
    return TRUE;
}

BOOL CXTPPropExchange::ExchangeClass(LPCTSTR pszPropName, CRuntimeClass*& pClass,
                                     CRuntimeClass* pDefaultClass)
{
    if (IsStoring()) {
        CString strName(pClass != NULL ? CString(pClass->m_lpszClassName) : CString());
        CString strDefault(pDefaultClass != NULL ? CString(pDefaultClass->m_lpszClassName) : CString());
        return ExchangeValue(pszPropName, VT_EX_CSTRING, &strName,
                             pDefaultClass != NULL ? strDefault.GetString() : NULL);
    }
    CString strName;
    if (!ExchangeValue(pszPropName, VT_EX_CSTRING, &strName, NULL) || strName.IsEmpty()) {
        pClass = pDefaultClass;
        return TRUE;
    }
    pClass = CRuntimeClass::FromName(strName.GetString());
    return pClass != NULL;
}

BOOL CXTPPropExchange::ExchangeObjectClass(CObject*& pObject, CRuntimeClass* pObjectRuntime)
{
    if (IsStoring()) {
        CRuntimeClass* pClass = pObject->GetRuntimeClass();
        return ExchangeClass(L"Class", pClass, pObjectRuntime);
    }
    CRuntimeClass* pClass = NULL;
    ExchangeClass(L"Class", pClass, pObjectRuntime);
    if (pClass == NULL)
        return FALSE;
    CObject* pNew = pClass->CreateObject();
    if (pNew == NULL)
        return FALSE;
    if (pObjectRuntime != NULL && !pNew->IsKindOf(pObjectRuntime)) {
        delete pNew;
        return FALSE;
    }
    pObject = pNew;
    return TRUE;
}

CArchive* CXTPPropExchange::GetArchive(LPCTSTR pszPropName)
{
    if (IsLoading()) {
        BYTE* pData = NULL;
        DWORD nBytes = 0;
        if (!ExchangeBlob(pszPropName, pData, nBytes) || pData == NULL || nBytes == 0) {
            std::free(pData);
            return NULL;
        }
        CMemFile* pFile = new CMemFile(pData, nBytes, 0);
        return new CArchive(pFile, CArchive::load, 4096);
    }
    CMemFile* pFile = new CMemFile(1024);
    return new CArchive(pFile, CArchive::store, 4096);
}

void CXTPPropExchange::ReleaseArchive(LPCTSTR pszPropName, CArchive* pArchive)
{
    CMemFile* pFile = static_cast<CMemFile*>(pArchive->GetFile());
    if (IsStoring()) {
        pArchive->Flush();
        DWORD nBytes = static_cast<DWORD>(pFile->GetPosition());
        BYTE* pData = pFile->Detach();
        ExchangeBlob(pszPropName, pData, nBytes);
        std::free(pData);
        pArchive->Abort();
        pFile->Close();
    } else {
        pArchive->Abort();
        BYTE* pData = pFile->Detach();
        pFile->Close();
        std::free(pData);
    }
    delete pFile;
    delete pArchive;
}

void CXTPPropExchange::EmptySection()
{
    m_bEmptySection = TRUE;
}

void CXTPPropExchange::WriteCount(DWORD dwCount)
{
    long nCount = static_cast<long>(dwCount);
    ExchangeLongDefault(this, L"Count", nCount, 0);
}

DWORD CXTPPropExchange::ReadCount()
{
    long nCount = 0;
    ExchangeLongDefault(this, L"Count", nCount, 0);
    return static_cast<DWORD>(nCount);
}

void CXTPPropExchange::Write(LPCTSTR pszPropName, const void* lpBuf, UINT nCount)
{
    BYTE* pData = static_cast<BYTE*>(const_cast<void*>(lpBuf));
    DWORD nBytes = nCount;
    ExchangeBlob(pszPropName, pData, nBytes);
}

UINT CXTPPropExchange::Read(LPCTSTR pszPropName, void* lpBuf, UINT nCount)
{
    BYTE* pData = static_cast<BYTE*>(lpBuf);
    DWORD nBytes = nCount;
    return ExchangeBlob(pszPropName, pData, nBytes) ? nBytes : 0;
}

CXTPPropSectionEnumerator* CXTPPropExchange::CreateSectionEnumerator(LPCTSTR lpszSection)
{
    return new CXTPPropSectionEnumerator(this, lpszSection);
}

void CXTPPropExchange::ExchangeSchema()
{
    long nSchema = static_cast<long>(m_nSchema);
    ExchangeLongDefault(this, L"Schema", nSchema, 16);
    m_nSchema = static_cast<UINT>(nSchema);
}

// ---------------------------------------------------------------------------------------------------
// Archive

ULONGLONG AFXAPI XTArchiveBytesLeft(CArchive& ar)
{
    CFile* pFile = ar.GetFile();
    if (pFile == NULL)
        return 0;
    // Puts the file back where the reader stands.
    ar.Flush();
    const ULONGLONG nLength = pFile->GetLength();
    const ULONGLONG nPosition = pFile->GetPosition();
    return nLength > nPosition ? nLength - nPosition : 0;
}

CXTPPropExchangeArchive::CXTPPropExchangeArchive(CArchive& ar) : m_ar(ar)
{
    m_bLoading = ar.IsLoading();
}

// Types the archive does not know pass without a byte.
BOOL CXTPPropExchangeArchive::ExchangeValue(LPCTSTR, VARTYPE vtProp, void* pvProp, const void*)
{
    PrepareExchange();
    if (const ValueType* pType = FindValueType(vtProp))
        pType->pfnArchive(m_ar, pvProp);
    return TRUE;
}

BOOL CXTPPropExchangeArchive::ExchangeBlob(LPCTSTR, BYTE*& pData, DWORD& nBytes)
{
    PrepareExchange();
    if (IsStoring()) {
        m_ar.WriteCount(nBytes);
        m_ar.Write(pData, nBytes);
        return TRUE;
    }
    const DWORD_PTR nCount = m_ar.ReadCount();
    if (nCount > XTArchiveBytesLeft(m_ar) || nCount > 0xFFFFFFFFu)
        return FALSE;
    BYTE* pBuffer = pData;
    if (pBuffer == NULL) {
        pBuffer = AllocBlock(static_cast<DWORD>(nCount));
        if (pBuffer == NULL)
            return FALSE;
    } else if (nBytes < nCount) {
        return FALSE;
    }
    const UINT nRead = m_ar.Read(pBuffer, static_cast<UINT>(nCount));
    if (nRead != nCount) {
        if (pBuffer != pData)
            std::free(pBuffer);
        return FALSE;
    }
    pData = pBuffer;
    nBytes = static_cast<DWORD>(nCount);
    return TRUE;
}

BOOL CXTPPropExchangeArchive::ExchangeClass(LPCTSTR, CRuntimeClass*& pClass, CRuntimeClass* pDefaultClass)
{
    PrepareExchange();
    if (IsStoring()) {
        m_ar.WriteClass(pClass);
        return TRUE;
    }
    UINT nSchema = 0;
    pClass = m_ar.ReadClass(pDefaultClass, &nSchema);
    if (pClass == NULL)
        return FALSE;
    m_nSchema = nSchema;
    return TRUE;
}

BOOL CXTPPropExchangeArchive::ExchangeObjectClass(CObject*& pObject, CRuntimeClass* pObjectRuntime)
{
    if (!CXTPPropExchange::ExchangeObjectClass(pObject, pObjectRuntime))
        return FALSE;
    m_ar.MapObject(pObject);
    return TRUE;
}

CArchive* CXTPPropExchangeArchive::GetArchive(LPCTSTR)
{
    return &m_ar;
}

void CXTPPropExchangeArchive::ReleaseArchive(LPCTSTR, CArchive*) {}

CXTPPropExchange* CXTPPropExchangeArchive::GetSection(LPCTSTR)
{
    CXTPPropExchangeArchive* pSection = new CXTPPropExchangeArchive(m_ar);
    InitSection(pSection);
    return pSection;
}

void CXTPPropExchangeArchive::WriteCount(DWORD dwCount)
{
    m_ar.WriteCount(dwCount);
}

DWORD CXTPPropExchangeArchive::ReadCount()
{
    return static_cast<DWORD>(m_ar.ReadCount());
}

void CXTPPropExchangeArchive::Write(LPCTSTR, const void* lpBuf, UINT nCount)
{
    m_ar.Write(lpBuf, nCount);
}

UINT CXTPPropExchangeArchive::Read(LPCTSTR, void* lpBuf, UINT nCount)
{
    return m_ar.Read(lpBuf, nCount);
}

// ---------------------------------------------------------------------------------------------------
// Registry

CXTPPropExchangeRegistry::CXTPPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR lpszSection)
    : m_hSectionKey(NULL), m_hParentKey(hParentKey), m_strSectionName(lpszSection)
{
    m_bLoading = bLoading;
}

CXTPPropExchangeRegistry::~CXTPPropExchangeRegistry()
{
    if (m_hSectionKey != NULL)
        RegCloseKey(m_hSectionKey);
}

BOOL CXTPPropExchangeRegistry::PrepareExchange()
{
    if (m_hParentKey == NULL)
        return FALSE;
    if (!m_bInitialized) {
        DWORD dwDisposition = 0;
        if (RegCreateKeyExW(m_hParentKey, m_strSectionName, 0, NULL, REG_OPTION_NON_VOLATILE,
                            IsLoading() ? KEY_READ : KEY_WRITE, NULL, &m_hSectionKey,
                            &dwDisposition) != ERROR_SUCCESS)
            m_hSectionKey = NULL;
        m_bInitialized = TRUE;
    }
    return m_hSectionKey != NULL;
}

BOOL CXTPPropExchangeRegistry::ExchangeValue(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp,
                                             const void* pvDefault)
{
    if (IsStoring()) {
        if (!m_bUseDefaultOnSave)
            pvDefault = NULL;
        if (!PrepareExchange())
            return FALSE;
        if (IsSamePropValue(vtProp, pvProp, pvDefault)) {
            if (m_hSectionKey != NULL && !m_bEmptySection)
                RegDeleteValueW(m_hSectionKey, pszPropName);
            return TRUE;
        }
        LONG nResult = ERROR_INVALID_PARAMETER;
        switch (vtProp) {
        case VT_I2:
        case VT_I4:
        case VT_BOOL:
        case VT_UI1: {
            DWORD dw = 0;
            std::memcpy(&dw, pvProp, vtProp == VT_I2 ? 2 : vtProp == VT_UI1 ? 1 : 4);
            nResult =
                RegSetValueExW(m_hSectionKey, pszPropName, 0, REG_DWORD, reinterpret_cast<BYTE*>(&dw), 4);
            break;
        }
        case VT_R4:
        case VT_R8:
            nResult = RegSetValueExW(m_hSectionKey, pszPropName, 0, REG_BINARY, static_cast<BYTE*>(pvProp),
                                     vtProp == VT_R4 ? 4 : 8);
            break;
        case VT_EX_CSTRING:
        case VT_EX_RECT:
        case VT_EX_SIZE: {
            CString strValue;
            if (vtProp == VT_EX_RECT) {
                const RECT* rc = static_cast<const RECT*>(pvProp);
                strValue.Format(L"%i, %i, %i, %i", rc->left, rc->top, rc->right, rc->bottom);
            } else if (vtProp == VT_EX_SIZE) {
                const SIZE* sz = static_cast<const SIZE*>(pvProp);
                strValue.Format(L"%i, %i", sz->cx, sz->cy);
            } else {
                strValue = *static_cast<const CString*>(pvProp);
            }
            nResult = RegSetValueExW(m_hSectionKey, pszPropName, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(strValue.GetString()),
                                     static_cast<DWORD>((strValue.GetLength() + 1) * sizeof(WCHAR)));
            break;
        }
        default:
            return FALSE;
        }
        return nResult == ERROR_SUCCESS;
    }

    if (!m_bUseDefaultOnLoad)
        pvDefault = NULL;
    if (!PrepareExchange())
        return CopyPropValue(vtProp, pvProp, pvDefault);
    switch (vtProp) {
    case VT_I2:
    case VT_I4:
    case VT_BOOL:
    case VT_UI1: {
        // Zeroed first: a stored value shorter than four bytes leaves no stale bytes; a longer one
        // fails the query and gives the default.
        DWORD dw = 0;
        DWORD nSize = sizeof(dw);
        DWORD dwType = 0;
        if (RegQueryValueExW(m_hSectionKey, pszPropName, NULL, &dwType, reinterpret_cast<BYTE*>(&dw),
                             &nSize) != ERROR_SUCCESS)
            return CopyPropValue(vtProp, pvProp, pvDefault);
        std::memcpy(pvProp, &dw, vtProp == VT_I2 ? 2 : vtProp == VT_UI1 ? 1 : 4);
        return TRUE;
    }
    case VT_EX_CSTRING:
    case VT_EX_RECT:
    case VT_EX_SIZE: {
        CString strValue;
        if (!XTRegQueryText(m_hSectionKey, pszPropName, strValue, s_nMaxValueBytes))
            return CopyPropValue(vtProp, pvProp, pvDefault);
        if (vtProp == VT_EX_CSTRING) {
            *static_cast<CString*>(pvProp) = strValue;
            return TRUE;
        }
        int v[4] = {0, 0, 0, 0};
        const int nWanted = vtProp == VT_EX_RECT ? 4 : 2;
        const int nRead = vtProp == VT_EX_RECT
                              ? swscanf(strValue, L"%i, %i, %i, %i", &v[0], &v[1], &v[2], &v[3])
                              : swscanf(strValue, L"%i, %i", &v[0], &v[1]);
        if (nRead < nWanted)
            return CopyPropValue(vtProp, pvProp, pvDefault);
        if (vtProp == VT_EX_RECT)
            SetRect(static_cast<RECT*>(pvProp), v[0], v[1], v[2], v[3]);
        else
            *static_cast<SIZE*>(pvProp) = SIZE{v[0], v[1]};
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL CXTPPropExchangeRegistry::ExchangeBlob(LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes)
{
    if (!PrepareExchange())
        return FALSE;
    if (IsStoring())
        return RegSetValueExW(m_hSectionKey, pszPropName, 0, REG_BINARY, pData, nBytes) == ERROR_SUCCESS;

    DWORD dwType = 0;
    DWORD nSize = 0;
    if (RegQueryValueExW(m_hSectionKey, pszPropName, NULL, &dwType, NULL, &nSize) != ERROR_SUCCESS)
        return FALSE;
    if (nSize > s_nMaxValueBytes)
        return FALSE;
    BYTE* pBuffer = pData;
    if (pBuffer == NULL) {
        pBuffer = AllocBlock(nSize);
        if (pBuffer == NULL)
            return FALSE;
    } else if (nBytes < nSize) {
        return FALSE;
    }
    DWORD nRead = nSize;
    if (RegQueryValueExW(m_hSectionKey, pszPropName, NULL, &dwType, pBuffer, &nRead) != ERROR_SUCCESS ||
        nRead > nSize) {
        if (pBuffer != pData)
            std::free(pBuffer);
        return FALSE;
    }
    pData = pBuffer;
    nBytes = nRead;
    return TRUE;
}

CXTPPropExchange* CXTPPropExchangeRegistry::GetSection(LPCTSTR pszSection)
{
    PrepareExchange();
    CXTPPropExchangeRegistry* pSection = new CXTPPropExchangeRegistry(IsLoading(), m_hSectionKey, pszSection);
    InitSection(pSection);
    return pSection;
}

void CXTPPropExchangeRegistry::EmptySection()
{
    CXTPPropExchange::EmptySection();
    if (m_hSectionKey != NULL) {
        RegCloseKey(m_hSectionKey);
        m_hSectionKey = NULL;
    }
    if (m_hParentKey != NULL)
        DeleteKeyTree(m_hParentKey, m_strSectionName);
    m_bInitialized = FALSE;
}

// ---------------------------------------------------------------------------------------------------
// Enumerator

CXTPPropSectionEnumerator::CXTPPropSectionEnumerator(CXTPPropExchange* pContainer, LPCTSTR lpszSection)
    : m_pContainer(pContainer), m_strSectionName(lpszSection), m_nCount(0)
{}

POSITION CXTPPropSectionEnumerator::GetPosition(DWORD dwCount, BOOL bCompactMode)
{
    m_nCount = dwCount;
    if (m_pContainer == NULL)
        return NULL;
    if (!bCompactMode) {
        long nCount = static_cast<long>(dwCount);
        ExchangeLongDefault(m_pContainer, L"Count", nCount, 0);
        m_nCount = static_cast<DWORD>(nCount);
    } else if (m_pContainer->IsLoading()) {
        m_nCount = m_pContainer->ReadCount();
    } else {
        m_pContainer->WriteCount(dwCount);
    }
    return m_nCount != 0 ? reinterpret_cast<POSITION>(1) : NULL;
}

CXTPPropExchange* CXTPPropSectionEnumerator::GetNext(POSITION& pos)
{
    const DWORD_PTR nIndex = reinterpret_cast<DWORD_PTR>(pos);
    CString strSection;
    strSection.Format(L"%s%i", m_strSectionName.GetString(), static_cast<int>(nIndex - 1));
    CXTPPropExchange* pSection = m_pContainer->GetSection(strSection);
    pos = nIndex + 1 > m_nCount ? NULL : reinterpret_cast<POSITION>(nIndex + 1);
    return pSection;
}

// ---------------------------------------------------------------------------------------------------
// Helpers

BOOL AFXAPI ExchangeLong(CXTPPropExchange* pPX, LPCTSTR pszPropName, long& nValue)
{
    return pPX->ExchangeValue(pszPropName, VT_I4, &nValue, NULL);
}

BOOL AFXAPI ExchangeLongDefault(CXTPPropExchange* pPX, LPCTSTR pszPropName, long& nValue, long nDefault)
{
    return pPX->ExchangeValue(pszPropName, VT_I4, &nValue, &nDefault);
}

BOOL AFXAPI ExchangeInt(CXTPPropExchange* pPX, LPCTSTR pszPropName, int& nValue, int nDefault)
{
    long n = nValue;
    const BOOL bResult = ExchangeLongDefault(pPX, pszPropName, n, nDefault);
    nValue = static_cast<int>(n);
    return bResult;
}

BOOL AFXAPI ExchangeShort(CXTPPropExchange* pPX, LPCTSTR pszPropName, short& nValue, short nDefault)
{
    return pPX->ExchangeValue(pszPropName, VT_I2, &nValue, &nDefault);
}

BOOL AFXAPI ExchangeByte(CXTPPropExchange* pPX, LPCTSTR pszPropName, BYTE& nValue, BYTE nDefault)
{
    return pPX->ExchangeValue(pszPropName, VT_UI1, &nValue, &nDefault);
}

BOOL AFXAPI ExchangeBool(CXTPPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault)
{
    return pPX->ExchangeValue(pszPropName, VT_BOOL, &bValue, &bDefault);
}

BOOL AFXAPI ExchangeString(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue)
{
    return pPX->ExchangeValue(pszPropName, VT_EX_CSTRING, &strValue, NULL);
}

BOOL AFXAPI ExchangeStringDefault(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue,
                                  LPCTSTR lpszDefault)
{
    return pPX->ExchangeValue(pszPropName, VT_EX_CSTRING, &strValue, lpszDefault);
}

BOOL AFXAPI ExchangeSize(CXTPPropExchange* pPX, LPCTSTR pszPropName, SIZE& szValue, SIZE szDefault)
{
    return pPX->ExchangeValue(pszPropName, VT_EX_SIZE, &szValue, &szDefault);
}

BOOL AFXAPI ExchangeRect(CXTPPropExchange* pPX, LPCTSTR pszPropName, RECT& rcValue, const RECT& rcDefault)
{
    return pPX->ExchangeValue(pszPropName, VT_EX_RECT, &rcValue, &rcDefault);
}

BOOL AFXAPI ExchangeClassName(CXTPPropExchange* pPX, LPCTSTR pszPropName, CRuntimeClass*& pClass,
                              CRuntimeClass* pDefaultClass)
{
    return pPX->ExchangeClass(pszPropName, pClass, pDefaultClass);
}

BOOL AFXAPI ExchangeBytes(CXTPPropExchange* pPX, LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes)
{
    return pPX->ExchangeBlob(pszPropName, pData, nBytes);
}

BOOL AFXAPI ExchangeObject(CXTPPropExchange* pPX, LPCTSTR pszPropName, CObject* pObject)
{
    CArchive* pArchive = pPX->GetArchive(pszPropName);
    if (pArchive == NULL)
        return FALSE;
    BOOL bResult = TRUE;
    try {
        pObject->Serialize(*pArchive);
    } catch (CArchiveException* e) {
        e->Delete();
        bResult = FALSE;
    } catch (COleException* e) {
        e->Delete();
        bResult = FALSE;
    } catch (...) {
        pPX->ReleaseArchive(pszPropName, pArchive);
        throw;
    }
    pPX->ReleaseArchive(pszPropName, pArchive);
    return bResult;
}

BOOL AFXAPI ExchangeObjectInstance(CXTPPropExchange* pPX, CObject*& pObject, CRuntimeClass* pObjectRuntime)
{
    return pPX->ExchangeObjectClass(pObject, pObjectRuntime);
}
