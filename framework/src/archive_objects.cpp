// Class records and object graphs in an archive. Classes and objects share one index space
// (index 0 is the null reference): the first mention of a class writes 0xFFFF and the class
// record, later ones 0x8000 | index; the first mention of an object writes its class and then
// the object, later ones its index. Indexes from 0x7FFF on are written as 0x7FFF and a DWORD.
#include <afx.h>

#include <cstring>

namespace {

constexpr WORD wNullTag = 0;
constexpr WORD wNewClassTag = 0xFFFF;
constexpr WORD wClassTag = 0x8000;
constexpr DWORD dwBigClassTag = 0x80000000;
constexpr WORD wBigObjectTag = 0x7FFF;
constexpr UINT nMaxMapCount = 0x3FFFFFFE;
constexpr size_t nMaxClassName = 64; // longer names in a stream are rejected

} // namespace

void CRuntimeClass::Store(CArchive& ar) const
{
    const WORD nLength = static_cast<WORD>(std::strlen(m_lpszClassName));
    ar << static_cast<WORD>(m_wSchema) << nLength;
    ar.Write(m_lpszClassName, nLength);
}

CRuntimeClass* PASCAL CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
    WORD wSchema = 0;
    WORD nLength = 0;
    ar >> wSchema >> nLength;
    *pwSchemaNum = wSchema;
    char szClassName[nMaxClassName];
    if (nLength >= sizeof(szClassName) || ar.Read(szClassName, nLength) != nLength)
        return NULL;
    szClassName[nLength] = 0;
    return FromName(szClassName);
}

void CArchive::CheckCount()
{
    if (m_nMapCount >= nMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex);
}

void CArchive::SetStoreParams(UINT nHashSize, UINT)
{
    m_storeMap.reserve(nHashSize);
}

void CArchive::SetLoadParams(UINT nGrowBy)
{
    m_loadArray.reserve(nGrowBy);
    m_loadIsClass.reserve(nGrowBy);
}

void CArchive::MapObject(const CObject* pOb)
{
    CheckCount();
    if (IsStoring()) {
        if (pOb != NULL && m_storeMap.emplace(pOb, m_nMapCount).second)
            ++m_nMapCount;
        return;
    }
    m_loadArray.push_back(const_cast<CObject*>(pOb));
    m_loadIsClass.push_back(0);
    ++m_nMapCount;
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    if (IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly);
    if (pClassRef->m_wSchema == 0xFFFF)
        AfxThrowNotSupportedException(); // the class has no archive form
    const auto found = m_storeMap.find(pClassRef);
    if (found != m_storeMap.end()) {
        const DWORD nClassIndex = found->second;
        if (nClassIndex < wBigObjectTag)
            *this << static_cast<WORD>(wClassTag | nClassIndex);
        else
            *this << wBigObjectTag << static_cast<DWORD>(dwBigClassTag | nClassIndex);
        return;
    }
    *this << wNewClassTag;
    pClassRef->Store(*this);
    CheckCount();
    m_storeMap.emplace(pClassRef, m_nMapCount++);
}

void CArchive::WriteObject(const CObject* pOb)
{
    if (IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly);
    if (pOb == NULL) {
        *this << wNullTag;
        return;
    }
    const auto found = m_storeMap.find(pOb);
    if (found != m_storeMap.end()) {
        const DWORD nObIndex = found->second;
        if (nObIndex < wBigObjectTag)
            *this << static_cast<WORD>(nObIndex);
        else
            *this << wBigObjectTag << nObIndex;
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    CheckCount();
    // Entered before Serialize, so that the object's own references to itself are references.
    m_storeMap.emplace(pOb, m_nMapCount++);
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    if (IsStoring())
        AfxThrowArchiveException(CArchiveException::writeOnly);
    WORD wTag = 0;
    *this >> wTag;
    DWORD obTag = 0;
    if (wTag == wBigObjectTag)
        *this >> obTag;
    else
        obTag = (static_cast<DWORD>(wTag & wClassTag) << 16) | (wTag & ~wClassTag);

    if (!(obTag & dwBigClassTag)) {
        // A reference to an object, where the caller asked for a class.
        if (pObTag == NULL)
            AfxThrowArchiveException(CArchiveException::badIndex);
        *pObTag = obTag;
        return NULL;
    }

    CRuntimeClass* pClassRef = NULL;
    UINT nSchema = 0;
    if (wTag == wNewClassTag) {
        pClassRef = CRuntimeClass::Load(*this, &nSchema);
        if (pClassRef == NULL || pClassRef->m_wSchema == 0xFFFF || pClassRef->m_pfnCreateObject == NULL)
            AfxThrowArchiveException(CArchiveException::badClass);
        if ((pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) != nSchema &&
            !(pClassRef->m_wSchema & VERSIONABLE_SCHEMA))
            AfxThrowArchiveException(CArchiveException::badSchema);
        CheckCount();
        m_loadArray.push_back(pClassRef);
        m_loadIsClass.push_back(1);
        ++m_nMapCount;
        m_loadSchemas[pClassRef] = nSchema;
    } else {
        const DWORD nClassIndex = obTag & ~dwBigClassTag;
        if (nClassIndex == 0 || nClassIndex >= m_nMapCount || !m_loadIsClass[nClassIndex])
            AfxThrowArchiveException(CArchiveException::badIndex);
        pClassRef = static_cast<CRuntimeClass*>(m_loadArray[nClassIndex]);
        nSchema = m_loadSchemas[pClassRef];
    }

    if (pClassRefRequested != NULL && !pClassRef->IsDerivedFrom(pClassRefRequested))
        AfxThrowArchiveException(CArchiveException::badClass);
    if (pSchema != NULL)
        *pSchema = nSchema;
    else
        m_nObjectSchema = nSchema;
    return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
    if (IsStoring())
        WriteClass(pClassRef);
    else
        ReadClass(pClassRef, &m_nObjectSchema);
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    if (IsStoring())
        AfxThrowArchiveException(CArchiveException::writeOnly);
    UINT nSchema = 0;
    DWORD obTag = 0;
    CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);
    if (pClassRef == NULL) {
        if (obTag >= m_nMapCount || m_loadIsClass[obTag])
            AfxThrowArchiveException(CArchiveException::badIndex);
        CObject* pOb = static_cast<CObject*>(m_loadArray[obTag]);
        if (pOb != NULL && pClassRefRequested != NULL && !pOb->IsKindOf(pClassRefRequested))
            AfxThrowArchiveException(CArchiveException::badClass);
        return pOb;
    }

    CObject* pOb = pClassRef->CreateObject();
    if (pOb == NULL)
        AfxThrowMemoryException();
    CheckCount();
    const DWORD nIndex = m_nMapCount++;
    m_loadArray.push_back(pOb);
    m_loadIsClass.push_back(0);
    const UINT nSchemaSave = m_nObjectSchema;
    m_nObjectSchema = nSchema;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        // The object was never handed out: it goes, and later references to it read as null.
        m_loadArray[nIndex] = NULL;
        delete pOb;
        m_nObjectSchema = nSchemaSave;
        throw;
    }
    m_nObjectSchema = nSchemaSave;
    return pOb;
}

CArchive& AFXAPI operator<<(CArchive& ar, const CObject* pOb)
{
    ar.WriteObject(pOb);
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, CObject*& pOb)
{
    pOb = ar.ReadObject(NULL);
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, const CObject*& pOb)
{
    pOb = ar.ReadObject(NULL);
    return ar;
}
