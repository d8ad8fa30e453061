#include <afxadv.h>

IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)

CSharedFile::CSharedFile(UINT nAllocFlags, UINT nGrowBytes)
    : CMemFile(nGrowBytes), m_nAllocFlags(nAllocFlags), m_hGlobalMemory(NULL), m_bAllowGrow(TRUE)
{}

CSharedFile::~CSharedFile()
{
    // Before CMemFile's destructor: its Close would free through the base class's Free.
    CSharedFile::Close();
}

void CSharedFile::SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow)
{
    ASSERT(m_hGlobalMemory == NULL && m_lpBuffer == NULL);
    m_hGlobalMemory = hGlobalMemory;
    m_lpBuffer = static_cast<BYTE*>(::GlobalLock(hGlobalMemory));
    m_nBufferSize = m_lpBuffer != NULL ? ::GlobalSize(hGlobalMemory) : 0;
    m_nFileSize = m_nBufferSize;
    m_nPosition = 0;
    m_bAllowGrow = bAllowGrow;
    m_bAutoDelete = FALSE; // the caller's block
}

HGLOBAL CSharedFile::Detach()
{
    HGLOBAL hMem = m_hGlobalMemory;
    if (hMem != NULL && m_lpBuffer != NULL)
        ::GlobalUnlock(hMem);
    m_hGlobalMemory = NULL;
    m_lpBuffer = NULL;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
    return hMem;
}

BYTE* CSharedFile::Alloc(SIZE_T nBytes)
{
    m_hGlobalMemory = ::GlobalAlloc(m_nAllocFlags, nBytes);
    if (m_hGlobalMemory == NULL)
        return NULL;
    m_bAutoDelete = TRUE;
    return static_cast<BYTE*>(::GlobalLock(m_hGlobalMemory));
}

BYTE* CSharedFile::Realloc(BYTE*, SIZE_T nBytes)
{
    if (!m_bAllowGrow)
        return NULL;
    ::GlobalUnlock(m_hGlobalMemory);
    HGLOBAL hNew = ::GlobalReAlloc(m_hGlobalMemory, nBytes, GMEM_MOVEABLE);
    if (hNew == NULL) {
        m_lpBuffer = static_cast<BYTE*>(::GlobalLock(m_hGlobalMemory));
        return NULL;
    }
    m_hGlobalMemory = hNew;
    return static_cast<BYTE*>(::GlobalLock(m_hGlobalMemory));
}

void CSharedFile::Free(BYTE*)
{
    ::GlobalUnlock(m_hGlobalMemory);
    ::GlobalFree(m_hGlobalMemory);
    m_hGlobalMemory = NULL;
}

void CSharedFile::Close()
{
    if (m_lpBuffer != NULL) {
        if (m_bAutoDelete)
            Free(m_lpBuffer);
        else
            ::GlobalUnlock(m_hGlobalMemory);
    }
    m_hGlobalMemory = NULL;
    m_lpBuffer = NULL;
    m_nBufferSize = 0;
    m_nFileSize = 0;
    m_nPosition = 0;
}

void CSharedFile::Abort()
{
    Close();
}
