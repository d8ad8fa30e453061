#include <afxcoll.h>

#include <cstdlib>

CPlex* PASCAL CPlex::Create(CPlex*& pHead, size_t nMax, size_t cbElement)
{
    if (nMax == 0 || cbElement == 0 || nMax > (static_cast<size_t>(-1) - sizeof(CPlex)) / cbElement)
        AfxThrowMemoryException();
    CPlex* pBlock = static_cast<CPlex*>(std::malloc(sizeof(CPlex) + nMax * cbElement));
    if (pBlock == NULL)
        AfxThrowMemoryException();
    pBlock->pNext = pHead;
    pHead = pBlock;
    return pBlock;
}

void CPlex::FreeDataChain()
{
    CPlex* pBlock = this;
    while (pBlock != NULL) {
        CPlex* pNext = pBlock->pNext;
        std::free(pBlock);
        pBlock = pNext;
    }
}

// Strings hash by hash * 33 + character over the whole text.
template <> UINT AFXAPI HashKey<LPCWSTR>(LPCWSTR key)
{
    UINT nHash = 0;
    if (key != NULL) {
        while (*key != 0)
            nHash = (nHash << 5) + nHash + *key++;
    }
    return nHash;
}

template <> UINT AFXAPI HashKey<const CString&>(const CString& key)
{
    return HashKey<LPCWSTR>(key.GetString());
}

template <> UINT AFXAPI HashKey<CString>(CString key)
{
    return HashKey<LPCWSTR>(key.GetString());
}

IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_SERIAL(CStringArray, CObject, 0)
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CByteArray, CObject, 0)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_SERIAL(CObList, CObject, 0)
IMPLEMENT_SERIAL(CStringList, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)
IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)
IMPLEMENT_SERIAL(CMapWordToOb, CObject, 0)
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapPtrToWord, CObject)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)

void CPtrArray::Serialize(CArchive&)
{
    AfxThrowNotSupportedException();
}

void CPtrList::Serialize(CArchive&)
{
    AfxThrowNotSupportedException();
}

void CMapPtrToPtr::Serialize(CArchive&)
{
    AfxThrowNotSupportedException();
}

void CMapPtrToWord::Serialize(CArchive&)
{
    AfxThrowNotSupportedException();
}

void CMapStringToPtr::Serialize(CArchive&)
{
    AfxThrowNotSupportedException();
}

void CMapWordToPtr::Serialize(CArchive&)
{
    AfxThrowNotSupportedException();
}
