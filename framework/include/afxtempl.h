// Template collections with the framework's semantics: CArray (growth by max(4, min(1024, size/8))
// when no step is set), CList (nodes carved from blocks of nBlockSize), CMap (hash table of 17
// buckets by default, bucket HashKey(key) % size, iteration bucket by bucket from 0 with the most
// recently added key of a bucket first), and the typed-pointer wrappers.
#pragma once

#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#include "afx.h"
#include "afx/plex.h"

// Storage for one element that is constructed and destroyed explicitly.
template <class T> struct CAfxElementSlot
{
    alignas(T) unsigned char bytes[sizeof(T)];
    T& Get() { return *std::launder(reinterpret_cast<T*>(bytes)); }
    const T& Get() const { return *std::launder(reinterpret_cast<const T*>(bytes)); }
};

template <class TYPE> inline void AFXAPI SerializeElements(CArchive& ar, TYPE* pElements, INT_PTR nCount)
{
    if constexpr (std::is_pointer_v<TYPE> &&
                  std::is_base_of_v<CObject, std::remove_cv_t<std::remove_pointer_t<TYPE>>>) {
        using Target = std::remove_cv_t<std::remove_pointer_t<TYPE>>;
        for (INT_PTR i = 0; i < nCount; ++i) {
            if (ar.IsStoring()) {
                ar.WriteObject(pElements[i]);
            } else {
                CObject* pObject = ar.ReadObject(NULL);
                Target* pTyped = dynamic_cast<Target*>(pObject);
                if (pObject != NULL && pTyped == NULL)
                    AfxThrowArchiveException(CArchiveException::badClass);
                pElements[i] = pTyped;
            }
        }
    } else if constexpr (std::is_trivially_copyable_v<TYPE>) {
        // Raw bytes in chunks that a UINT can count.
        BYTE* pBytes = reinterpret_cast<BYTE*>(pElements);
        ULONGLONG nLeft = static_cast<ULONGLONG>(nCount) * sizeof(TYPE);
        while (nLeft > 0) {
            const UINT nChunk = static_cast<UINT>(nLeft > 0x40000000 ? 0x40000000 : nLeft);
            if (ar.IsStoring())
                ar.Write(pBytes, nChunk);
            else
                ar.EnsureRead(pBytes, nChunk);
            pBytes += nChunk;
            nLeft -= nChunk;
        }
    } else {
        for (INT_PTR i = 0; i < nCount; ++i) {
            if (ar.IsStoring())
                ar << pElements[i];
            else
                ar >> pElements[i];
        }
    }
}

template <class TYPE, class ARG_TYPE>
inline BOOL AFXAPI CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
    return *pElement1 == *pElement2;
}

// Bucket of a key before the modulo: integral and pointer keys drop their low four bits, which
// are mostly alike in ids and aligned addresses.
template <class ARG_KEY> inline UINT AFXAPI HashKey(ARG_KEY key)
{
    using Key = std::remove_cv_t<std::remove_reference_t<ARG_KEY>>;
    if constexpr (std::is_pointer_v<Key>)
        return static_cast<UINT>(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(key))) >> 4;
    else
        return static_cast<UINT>(static_cast<DWORD>(key)) >> 4;
}
template <> UINT AFXAPI HashKey<LPCWSTR>(LPCWSTR key);
template <> UINT AFXAPI HashKey<const CString&>(const CString& key);
template <> UINT AFXAPI HashKey<CString>(CString key);

/////////////////////////////////////////////////////////////////////////////

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray : public CObject
{
public:
    CArray() = default;
    ~CArray() override { RemoveAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }
    // A nGrowBy of -1 keeps the current step; 0 means the automatic step.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);

    void FreeExtra();
    void RemoveAll() { SetSize(0, -1); }

    const TYPE& GetAt(INT_PTR nIndex) const { return CheckedAt(nIndex); }
    TYPE& GetAt(INT_PTR nIndex) { return CheckedAt(nIndex); }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { CheckedAt(nIndex) = newElement; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return CheckedAt(nIndex); }
    TYPE& ElementAt(INT_PTR nIndex) { return CheckedAt(nIndex); }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement);
    INT_PTR Add(ARG_TYPE newElement)
    {
        const INT_PTR nIndex = m_nSize;
        SetAtGrow(nIndex, newElement);
        return nIndex;
    }
    INT_PTR Append(const CArray& src);
    void Copy(const CArray& src);

    const TYPE& operator[](INT_PTR nIndex) const { return CheckedAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return CheckedAt(nIndex); }

    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1);
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray);

    void Serialize(CArchive& ar) override;

protected:
    TYPE& CheckedAt(INT_PTR nIndex) const
    {
        ASSERT(nIndex >= 0 && nIndex < m_nSize);
        if (nIndex < 0 || nIndex >= m_nSize)
            AfxThrowInvalidArgException();
        return m_pData[nIndex];
    }
    // Moves the elements into a block of nNewMax and frees the old one.
    void Reallocate(INT_PTR nNewMax);

    TYPE* m_pData = NULL;
    INT_PTR m_nSize = 0;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::Reallocate(INT_PTR nNewMax)
{
    if (nNewMax < 0 || static_cast<ULONGLONG>(nNewMax) > std::numeric_limits<SIZE_T>::max() / sizeof(TYPE))
        AfxThrowMemoryException();
    TYPE* pNewData = NULL;
    if (nNewMax > 0) {
        pNewData =
            static_cast<TYPE*>(::operator new(static_cast<SIZE_T>(nNewMax) * sizeof(TYPE), std::nothrow));
        if (pNewData == NULL)
            AfxThrowMemoryException();
    }
    for (INT_PTR i = 0; i < m_nSize; ++i) {
        ::new (static_cast<void*>(pNewData + i)) TYPE(std::move(m_pData[i]));
        m_pData[i].~TYPE();
    }
    ::operator delete(m_pData);
    m_pData = pNewData;
    m_nMaxSize = nNewMax;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy)
{
    if (nNewSize < 0)
        AfxThrowInvalidArgException();
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;

    if (nNewSize == 0) {
        for (INT_PTR i = 0; i < m_nSize; ++i)
            m_pData[i].~TYPE();
        ::operator delete(m_pData);
        m_pData = NULL;
        m_nSize = m_nMaxSize = 0;
        return;
    }
    if (m_pData == NULL)
        Reallocate(nNewSize > m_nGrowBy ? nNewSize : m_nGrowBy);
    else if (nNewSize > m_nMaxSize) {
        INT_PTR nStep = m_nGrowBy;
        if (nStep == 0) {
            // Small arrays grow by 4, large ones by an eighth, never by more than 1024.
            nStep = m_nSize / 8;
            nStep = nStep < 4 ? 4 : (nStep > 1024 ? 1024 : nStep);
        }
        Reallocate(nNewSize < m_nMaxSize + nStep ? m_nMaxSize + nStep : nNewSize);
    }
    for (INT_PTR i = m_nSize; i < nNewSize; ++i)
        ::new (static_cast<void*>(m_pData + i)) TYPE();
    for (INT_PTR i = nNewSize; i < m_nSize; ++i)
        m_pData[i].~TYPE();
    m_nSize = nNewSize;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::FreeExtra()
{
    if (m_nSize != m_nMaxSize) {
        if (m_nSize == 0)
            RemoveAll();
        else
            Reallocate(m_nSize);
    }
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
{
    if (nIndex < 0)
        AfxThrowInvalidArgException();
    if (nIndex >= m_nSize) {
        // The element may live in this array's block, which growing frees.
        TYPE copy(newElement);
        SetSize(nIndex + 1, -1);
        m_pData[nIndex] = std::move(copy);
        return;
    }
    m_pData[nIndex] = newElement;
}

template <class TYPE, class ARG_TYPE> INT_PTR CArray<TYPE, ARG_TYPE>::Append(const CArray& src)
{
    ASSERT(this != &src);
    const INT_PTR nOldSize = m_nSize;
    const INT_PTR nSrcSize = src.m_nSize;
    SetSize(m_nSize + nSrcSize);
    for (INT_PTR i = 0; i < nSrcSize; ++i)
        m_pData[nOldSize + i] = src.m_pData[i];
    return nOldSize;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src)
{
    if (this == &src)
        return;
    SetSize(src.m_nSize);
    for (INT_PTR i = 0; i < src.m_nSize; ++i)
        m_pData[i] = src.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount)
{
    if (nIndex < 0 || nCount <= 0) {
        if (nIndex < 0 || nCount < 0)
            AfxThrowInvalidArgException();
        return;
    }
    TYPE copy(newElement);
    if (nIndex >= m_nSize) {
        SetSize(nIndex + nCount, -1);
    } else {
        const INT_PTR nOldSize = m_nSize;
        SetSize(m_nSize + nCount, -1);
        for (INT_PTR i = nOldSize - 1; i >= nIndex; --i)
            m_pData[i + nCount] = std::move(m_pData[i]);
    }
    for (INT_PTR i = 0; i < nCount; ++i)
        m_pData[nIndex + i] = copy;
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR nIndex, INT_PTR nCount)
{
    if (nIndex < 0 || nCount < 0 || nIndex + nCount > m_nSize)
        AfxThrowInvalidArgException();
    for (INT_PTR i = nIndex; i + nCount < m_nSize; ++i)
        m_pData[i] = std::move(m_pData[i + nCount]);
    for (INT_PTR i = m_nSize - nCount; i < m_nSize; ++i)
        m_pData[i].~TYPE();
    m_nSize -= nCount;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
{
    if (pNewArray == NULL || pNewArray->GetSize() == 0)
        return;
    const CArray copy = [&] {
        CArray temp;
        temp.Copy(*pNewArray);
        return temp;
    }();
    InsertAt(nStartIndex, copy.GetAt(0), copy.GetSize());
    for (INT_PTR i = 0; i < copy.GetSize(); ++i)
        SetAt(nStartIndex + i, copy.GetAt(i));
}

template <class TYPE, class ARG_TYPE> void CArray<TYPE, ARG_TYPE>::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(m_nSize));
        SerializeElements<TYPE>(ar, m_pData, m_nSize);
        return;
    }
    // The count comes from the stream: grow as elements actually arrive, so a false count ends
    // in an end-of-file exception rather than in one huge allocation.
    const DWORD_PTR nCount = ar.ReadCount();
    SetSize(0);
    const INT_PTR nChunk = 4096;
    for (DWORD_PTR nRead = 0; nRead < nCount;) {
        const INT_PTR nThis =
            static_cast<INT_PTR>(nCount - nRead < static_cast<DWORD_PTR>(nChunk) ? nCount - nRead : nChunk);
        const INT_PTR nOld = m_nSize;
        SetSize(nOld + nThis);
        SerializeElements<TYPE>(ar, m_pData + nOld, nThis);
        nRead += static_cast<DWORD_PTR>(nThis);
    }
}

/////////////////////////////////////////////////////////////////////////////

template <class TYPE, class ARG_TYPE = const TYPE&> class CList : public CObject
{
protected:
    struct CNode
    {
        CNode* pNext;
        CNode* pPrev;
        CAfxElementSlot<TYPE> data;
    };

public:
    explicit CList(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return CheckedNode(m_pNodeHead)->data.Get(); }
    const TYPE& GetHead() const { return CheckedNode(m_pNodeHead)->data.Get(); }
    TYPE& GetTail() { return CheckedNode(m_pNodeTail)->data.Get(); }
    const TYPE& GetTail() const { return CheckedNode(m_pNodeTail)->data.Get(); }

    TYPE RemoveHead();
    TYPE RemoveTail();

    POSITION AddHead(ARG_TYPE newElement);
    POSITION AddTail(ARG_TYPE newElement);
    void AddHead(CList* pNewList);
    void AddTail(CList* pNewList);
    void RemoveAll();

    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
    POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* pNode = CheckedNode(reinterpret_cast<CNode*>(rPosition));
        rPosition = reinterpret_cast<POSITION>(pNode->pNext);
        return pNode->data.Get();
    }
    const TYPE& GetNext(POSITION& rPosition) const
    {
        CNode* pNode = CheckedNode(reinterpret_cast<CNode*>(rPosition));
        rPosition = reinterpret_cast<POSITION>(pNode->pNext);
        return pNode->data.Get();
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* pNode = CheckedNode(reinterpret_cast<CNode*>(rPosition));
        rPosition = reinterpret_cast<POSITION>(pNode->pPrev);
        return pNode->data.Get();
    }
    const TYPE& GetPrev(POSITION& rPosition) const
    {
        CNode* pNode = CheckedNode(reinterpret_cast<CNode*>(rPosition));
        rPosition = reinterpret_cast<POSITION>(pNode->pPrev);
        return pNode->data.Get();
    }
    TYPE& GetAt(POSITION position) { return CheckedNode(reinterpret_cast<CNode*>(position))->data.Get(); }
    const TYPE& GetAt(POSITION position) const
    {
        return CheckedNode(reinterpret_cast<CNode*>(position))->data.Get();
    }
    void SetAt(POSITION pos, ARG_TYPE newElement)
    {
        CheckedNode(reinterpret_cast<CNode*>(pos))->data.Get() = newElement;
    }
    void RemoveAt(POSITION position);

    POSITION InsertBefore(POSITION position, ARG_TYPE newElement);
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement);

    // Searches from the head, or from the element after startAfter.
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = NULL) const;
    POSITION FindIndex(INT_PTR nIndex) const;

    void Serialize(CArchive& ar) override;

protected:
    static CNode* CheckedNode(CNode* pNode)
    {
        ASSERT(pNode != NULL);
        if (pNode == NULL)
            AfxThrowInvalidArgException();
        return pNode;
    }
    CNode* NewNode(CNode* pPrev, CNode* pNext, ARG_TYPE newElement);
    void FreeNode(CNode* pNode);

    CNode* m_pNodeHead = NULL;
    CNode* m_pNodeTail = NULL;
    INT_PTR m_nCount = 0;
    CNode* m_pNodeFree = NULL;
    CPlex* m_pBlocks = NULL;
    INT_PTR m_nBlockSize;
};

template <class TYPE, class ARG_TYPE>
typename CList<TYPE, ARG_TYPE>::CNode* CList<TYPE, ARG_TYPE>::NewNode(CNode* pPrev, CNode* pNext,
                                                                      ARG_TYPE newElement)
{
    TYPE copy(newElement); // the element may belong to a node of this list
    if (m_pNodeFree == NULL) {
        CPlex* pNewBlock = CPlex::Create(m_pBlocks, static_cast<size_t>(m_nBlockSize), sizeof(CNode));
        // Chain the new block into the free list so that its first node is handed out first.
        CNode* pNode = static_cast<CNode*>(pNewBlock->data()) + (m_nBlockSize - 1);
        for (INT_PTR i = m_nBlockSize - 1; i >= 0; --i, --pNode) {
            pNode->pNext = m_pNodeFree;
            m_pNodeFree = pNode;
        }
    }
    CNode* pNode = m_pNodeFree;
    m_pNodeFree = m_pNodeFree->pNext;
    pNode->pPrev = pPrev;
    pNode->pNext = pNext;
    ::new (static_cast<void*>(pNode->data.bytes)) TYPE(std::move(copy));
    ++m_nCount;
    return pNode;
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::FreeNode(CNode* pNode)
{
    pNode->data.Get().~TYPE();
    pNode->pNext = m_pNodeFree;
    m_pNodeFree = pNode;
    --m_nCount;
    if (m_nCount == 0)
        RemoveAll(); // an empty list gives its blocks back
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::RemoveAll()
{
    for (CNode* pNode = m_pNodeHead; pNode != NULL; pNode = pNode->pNext)
        pNode->data.Get().~TYPE();
    m_nCount = 0;
    m_pNodeHead = m_pNodeTail = m_pNodeFree = NULL;
    if (m_pBlocks != NULL)
        m_pBlocks->FreeDataChain();
    m_pBlocks = NULL;
}

template <class TYPE, class ARG_TYPE> POSITION CList<TYPE, ARG_TYPE>::AddHead(ARG_TYPE newElement)
{
    CNode* pNewNode = NewNode(NULL, m_pNodeHead, newElement);
    if (m_pNodeHead != NULL)
        m_pNodeHead->pPrev = pNewNode;
    else
        m_pNodeTail = pNewNode;
    m_pNodeHead = pNewNode;
    return reinterpret_cast<POSITION>(pNewNode);
}

template <class TYPE, class ARG_TYPE> POSITION CList<TYPE, ARG_TYPE>::AddTail(ARG_TYPE newElement)
{
    CNode* pNewNode = NewNode(m_pNodeTail, NULL, newElement);
    if (m_pNodeTail != NULL)
        m_pNodeTail->pNext = pNewNode;
    else
        m_pNodeHead = pNewNode;
    m_pNodeTail = pNewNode;
    return reinterpret_cast<POSITION>(pNewNode);
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::AddHead(CList* pNewList)
{
    ASSERT(pNewList != this);
    POSITION pos = pNewList->GetTailPosition();
    while (pos != NULL)
        AddHead(pNewList->GetPrev(pos));
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::AddTail(CList* pNewList)
{
    ASSERT(pNewList != this);
    POSITION pos = pNewList->GetHeadPosition();
    while (pos != NULL)
        AddTail(pNewList->GetNext(pos));
}

template <class TYPE, class ARG_TYPE> TYPE CList<TYPE, ARG_TYPE>::RemoveHead()
{
    CNode* pOldNode = CheckedNode(m_pNodeHead);
    TYPE returnValue(std::move(pOldNode->data.Get()));
    m_pNodeHead = pOldNode->pNext;
    if (m_pNodeHead != NULL)
        m_pNodeHead->pPrev = NULL;
    else
        m_pNodeTail = NULL;
    FreeNode(pOldNode);
    return returnValue;
}

template <class TYPE, class ARG_TYPE> TYPE CList<TYPE, ARG_TYPE>::RemoveTail()
{
    CNode* pOldNode = CheckedNode(m_pNodeTail);
    TYPE returnValue(std::move(pOldNode->data.Get()));
    m_pNodeTail = pOldNode->pPrev;
    if (m_pNodeTail != NULL)
        m_pNodeTail->pNext = NULL;
    else
        m_pNodeHead = NULL;
    FreeNode(pOldNode);
    return returnValue;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertBefore(POSITION position, ARG_TYPE newElement)
{
    if (position == NULL)
        return AddHead(newElement);
    CNode* pOldNode = reinterpret_cast<CNode*>(position);
    CNode* pNewNode = NewNode(pOldNode->pPrev, pOldNode, newElement);
    if (pOldNode->pPrev != NULL)
        pOldNode->pPrev->pNext = pNewNode;
    else
        m_pNodeHead = pNewNode;
    pOldNode->pPrev = pNewNode;
    return reinterpret_cast<POSITION>(pNewNode);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertAfter(POSITION position, ARG_TYPE newElement)
{
    if (position == NULL)
        return AddTail(newElement);
    CNode* pOldNode = reinterpret_cast<CNode*>(position);
    CNode* pNewNode = NewNode(pOldNode, pOldNode->pNext, newElement);
    if (pOldNode->pNext != NULL)
        pOldNode->pNext->pPrev = pNewNode;
    else
        m_pNodeTail = pNewNode;
    pOldNode->pNext = pNewNode;
    return reinterpret_cast<POSITION>(pNewNode);
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::RemoveAt(POSITION position)
{
    CNode* pOldNode = CheckedNode(reinterpret_cast<CNode*>(position));
    if (pOldNode == m_pNodeHead)
        m_pNodeHead = pOldNode->pNext;
    else
        pOldNode->pPrev->pNext = pOldNode->pNext;
    if (pOldNode == m_pNodeTail)
        m_pNodeTail = pOldNode->pPrev;
    else
        pOldNode->pNext->pPrev = pOldNode->pPrev;
    FreeNode(pOldNode);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::Find(ARG_TYPE searchValue, POSITION startAfter) const
{
    CNode* pNode = reinterpret_cast<CNode*>(startAfter);
    pNode = pNode == NULL ? m_pNodeHead : pNode->pNext;
    for (; pNode != NULL; pNode = pNode->pNext) {
        if (CompareElements<TYPE>(&pNode->data.Get(), &searchValue))
            return reinterpret_cast<POSITION>(pNode);
    }
    return NULL;
}

template <class TYPE, class ARG_TYPE> POSITION CList<TYPE, ARG_TYPE>::FindIndex(INT_PTR nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return NULL;
    CNode* pNode = m_pNodeHead;
    while (nIndex-- > 0)
        pNode = pNode->pNext;
    return reinterpret_cast<POSITION>(pNode);
}

template <class TYPE, class ARG_TYPE> void CList<TYPE, ARG_TYPE>::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
        for (CNode* pNode = m_pNodeHead; pNode != NULL; pNode = pNode->pNext)
            SerializeElements<TYPE>(ar, &pNode->data.Get(), 1);
        return;
    }
    for (DWORD_PTR nCount = ar.ReadCount(); nCount-- > 0;) {
        TYPE newData{};
        SerializeElements<TYPE>(ar, &newData, 1);
        AddTail(newData);
    }
}

/////////////////////////////////////////////////////////////////////////////

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE> class CMap : public CObject
{
protected:
    struct CAssoc
    {
        CAssoc* pNext;
        UINT nHashValue; // the bucket
        CAfxElementSlot<KEY> key;
        CAfxElementSlot<VALUE> value;
    };

public:
    typedef KEY BASE_KEY;
    typedef ARG_KEY BASE_ARG_KEY;
    typedef VALUE BASE_VALUE;
    typedef ARG_VALUE BASE_ARG_VALUE;

    explicit CMap(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        UINT nHash = 0;
        CAssoc* pAssoc = GetAssocAt(key, nHash);
        if (pAssoc == NULL)
            return FALSE;
        rValue = pAssoc->value.Get();
        return TRUE;
    }
    VALUE& operator[](ARG_KEY key);
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    BOOL RemoveKey(ARG_KEY key);
    void RemoveAll();

    // BEFORE_START_POSITION when the map has entries, else null.
    POSITION GetStartPosition() const { return m_nCount == 0 ? NULL : BEFORE_START_POSITION; }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const;

    UINT GetHashTableSize() const { return m_nHashTableSize; }
    // Takes effect while the map is empty; with bAllocNow FALSE the table is made on first use.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE);

    void Serialize(CArchive& ar) override;

protected:
    CAssoc* NewAssoc(ARG_KEY key);
    void FreeAssoc(CAssoc* pAssoc);
    CAssoc* GetAssocAt(ARG_KEY key, UINT& nHash) const;

    CAssoc** m_pHashTable = NULL;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
    CAssoc* m_pFreeList = NULL;
    CPlex* m_pBlocks = NULL;
    INT_PTR m_nBlockSize;
};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::InitHashTable(UINT hashSize, BOOL bAllocNow)
{
    ASSERT(m_nCount == 0);
    if (m_nCount != 0 || hashSize == 0)
        return;
    delete[] m_pHashTable;
    m_pHashTable = NULL;
    if (bAllocNow)
        m_pHashTable = new CAssoc*[hashSize]();
    m_nHashTableSize = hashSize;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveAll()
{
    if (m_pHashTable != NULL) {
        for (UINT nHash = 0; nHash < m_nHashTableSize; ++nHash) {
            for (CAssoc* pAssoc = m_pHashTable[nHash]; pAssoc != NULL; pAssoc = pAssoc->pNext) {
                pAssoc->key.Get().~KEY();
                pAssoc->value.Get().~VALUE();
            }
        }
        delete[] m_pHashTable;
        m_pHashTable = NULL;
    }
    m_nCount = 0;
    m_pFreeList = NULL;
    if (m_pBlocks != NULL)
        m_pBlocks->FreeDataChain();
    m_pBlocks = NULL;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::NewAssoc(
    ARG_KEY key)
{
    if (m_pFreeList == NULL) {
        CPlex* pNewBlock = CPlex::Create(m_pBlocks, static_cast<size_t>(m_nBlockSize), sizeof(CAssoc));
        CAssoc* pAssoc = static_cast<CAssoc*>(pNewBlock->data()) + (m_nBlockSize - 1);
        for (INT_PTR i = m_nBlockSize - 1; i >= 0; --i, --pAssoc) {
            pAssoc->pNext = m_pFreeList;
            m_pFreeList = pAssoc;
        }
    }
    CAssoc* pAssoc = m_pFreeList;
    ::new (static_cast<void*>(pAssoc->key.bytes)) KEY(key);
    ::new (static_cast<void*>(pAssoc->value.bytes)) VALUE();
    m_pFreeList = m_pFreeList->pNext;
    ++m_nCount;
    return pAssoc;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::FreeAssoc(CAssoc* pAssoc)
{
    pAssoc->key.Get().~KEY();
    pAssoc->value.Get().~VALUE();
    pAssoc->pNext = m_pFreeList;
    m_pFreeList = pAssoc;
    --m_nCount;
    if (m_nCount == 0)
        RemoveAll();
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc* CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetAssocAt(
    ARG_KEY key, UINT& nHash) const
{
    nHash = HashKey<ARG_KEY>(key) % m_nHashTableSize;
    if (m_pHashTable == NULL)
        return NULL;
    for (CAssoc* pAssoc = m_pHashTable[nHash]; pAssoc != NULL; pAssoc = pAssoc->pNext) {
        if (CompareElements(&pAssoc->key.Get(), &key))
            return pAssoc;
    }
    return NULL;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
VALUE& CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::operator[](ARG_KEY key)
{
    UINT nHash = 0;
    CAssoc* pAssoc = GetAssocAt(key, nHash);
    if (pAssoc == NULL) {
        if (m_pHashTable == NULL)
            InitHashTable(m_nHashTableSize);
        pAssoc = NewAssoc(key);
        pAssoc->nHashValue = nHash;
        // New keys go to the front of their bucket.
        pAssoc->pNext = m_pHashTable[nHash];
        m_pHashTable[nHash] = pAssoc;
    }
    return pAssoc->value.Get();
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveKey(ARG_KEY key)
{
    if (m_pHashTable == NULL)
        return FALSE;
    CAssoc** ppAssocPrev = &m_pHashTable[HashKey<ARG_KEY>(key) % m_nHashTableSize];
    for (CAssoc* pAssoc = *ppAssocPrev; pAssoc != NULL; pAssoc = pAssoc->pNext) {
        if (CompareElements(&pAssoc->key.Get(), &key)) {
            *ppAssocPrev = pAssoc->pNext;
            FreeAssoc(pAssoc);
            return TRUE;
        }
        ppAssocPrev = &pAssoc->pNext;
    }
    return FALSE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetNextAssoc(POSITION& rNextPosition, KEY& rKey,
                                                        VALUE& rValue) const
{
    ASSERT(m_pHashTable != NULL && rNextPosition != NULL);
    if (m_pHashTable == NULL || rNextPosition == NULL)
        AfxThrowInvalidArgException();
    CAssoc* pAssocRet = reinterpret_cast<CAssoc*>(rNextPosition);
    if (rNextPosition == BEFORE_START_POSITION) {
        pAssocRet = NULL;
        for (UINT nBucket = 0; nBucket < m_nHashTableSize && pAssocRet == NULL; ++nBucket)
            pAssocRet = m_pHashTable[nBucket];
        if (pAssocRet == NULL)
            AfxThrowInvalidArgException();
    }
    CAssoc* pAssocNext = pAssocRet->pNext;
    for (UINT nBucket = pAssocRet->nHashValue + 1; pAssocNext == NULL && nBucket < m_nHashTableSize;
         ++nBucket)
        pAssocNext = m_pHashTable[nBucket];
    rNextPosition = reinterpret_cast<POSITION>(pAssocNext);
    rKey = pAssocRet->key.Get();
    rValue = pAssocRet->value.Get();
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
        if (m_nCount == 0)
            return;
        for (UINT nHash = 0; nHash < m_nHashTableSize; ++nHash) {
            for (CAssoc* pAssoc = m_pHashTable[nHash]; pAssoc != NULL; pAssoc = pAssoc->pNext) {
                SerializeElements<KEY>(ar, &pAssoc->key.Get(), 1);
                SerializeElements<VALUE>(ar, &pAssoc->value.Get(), 1);
            }
        }
        return;
    }
    for (DWORD_PTR nNewCount = ar.ReadCount(); nNewCount-- > 0;) {
        KEY newKey{};
        VALUE newValue{};
        SerializeElements<KEY>(ar, &newKey, 1);
        SerializeElements<VALUE>(ar, &newValue, 1);
        SetAt(newKey, newValue);
    }
}

/////////////////////////////////////////////////////////////////////////////
// Typed views of the pointer collections.

template <class BASE_CLASS, class TYPE> class CTypedPtrArray : public BASE_CLASS
{
public:
    TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
    TYPE& ElementAt(INT_PTR nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE newElement) { BASE_CLASS::SetAtGrow(nIndex, newElement); }
    INT_PTR Add(TYPE newElement) { return BASE_CLASS::Add(newElement); }
    INT_PTR Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }
    void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1)
    {
        BASE_CLASS::InsertAt(nIndex, newElement, nCount);
    }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
};

template <class BASE_CLASS, class TYPE> class CTypedPtrList : public BASE_CLASS
{
public:
    explicit CTypedPtrList(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
    TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
    TYPE GetHead() const { return static_cast<TYPE>(BASE_CLASS::GetHead()); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
    TYPE GetTail() const { return static_cast<TYPE>(BASE_CLASS::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(BASE_CLASS::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(BASE_CLASS::RemoveTail()); }
    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
    TYPE GetNext(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetNext(rPosition)); }
    TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE GetPrev(POSITION& rPosition) const { return static_cast<TYPE>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
    TYPE GetAt(POSITION position) const { return static_cast<TYPE>(BASE_CLASS::GetAt(position)); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }
};

template <class BASE_CLASS, class KEY, class VALUE> class CTypedPtrMap : public BASE_CLASS
{
public:
    explicit CTypedPtrMap(INT_PTR nBlockSize = 10) : BASE_CLASS(nBlockSize) {}
    BOOL Lookup(typename BASE_CLASS::BASE_ARG_KEY key, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_VALUE value{};
        if (!BASE_CLASS::Lookup(key, value))
            return FALSE;
        rValue = static_cast<VALUE>(value);
        return TRUE;
    }
    VALUE& operator[](typename BASE_CLASS::BASE_ARG_KEY key)
    {
        return reinterpret_cast<VALUE&>(BASE_CLASS::operator[](key));
    }
    void SetAt(KEY key, VALUE newValue) { BASE_CLASS::SetAt(key, newValue); }
    BOOL RemoveKey(KEY key) { return BASE_CLASS::RemoveKey(key); }
    void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const
    {
        typename BASE_CLASS::BASE_KEY key{};
        typename BASE_CLASS::BASE_VALUE value{};
        BASE_CLASS::GetNextAssoc(rPosition, key, value);
        rKey = static_cast<KEY>(key);
        rValue = static_cast<VALUE>(value);
    }
};
