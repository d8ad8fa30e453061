#include <afxmt.h>

IMPLEMENT_DYNAMIC(CSyncObject, CObject)
IMPLEMENT_DYNAMIC(CCriticalSection, CSyncObject)
IMPLEMENT_DYNAMIC(CMutex, CSyncObject)
IMPLEMENT_DYNAMIC(CEvent, CSyncObject)
IMPLEMENT_DYNAMIC(CSemaphore, CSyncObject)

CSyncObject::CSyncObject(LPCWSTR) : m_hObject(NULL) {}

CSyncObject::~CSyncObject()
{
    if (m_hObject != NULL)
        ::CloseHandle(m_hObject);
}

BOOL CSyncObject::Lock(DWORD dwTimeout)
{
    const DWORD result = ::WaitForSingleObject(m_hObject, dwTimeout);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

CCriticalSection::CCriticalSection() : CSyncObject(NULL)
{
    ::InitializeCriticalSection(&m_sect);
}

CCriticalSection::~CCriticalSection()
{
    ::DeleteCriticalSection(&m_sect);
}

BOOL CCriticalSection::Lock()
{
    ::EnterCriticalSection(&m_sect);
    return TRUE;
}

BOOL CCriticalSection::Lock(DWORD)
{
    return Lock();
}

BOOL CCriticalSection::Unlock()
{
    ::LeaveCriticalSection(&m_sect);
    return TRUE;
}

CMutex::CMutex(BOOL bInitiallyOwn, LPCWSTR lpszName, LPSECURITY_ATTRIBUTES lpsaAttribute)
    : CSyncObject(lpszName)
{
    m_hObject = ::CreateMutexW(lpsaAttribute, bInitiallyOwn, lpszName);
    if (m_hObject == NULL)
        AfxThrowResourceException();
}

BOOL CMutex::Unlock()
{
    return ::ReleaseMutex(m_hObject);
}

CEvent::CEvent(BOOL bInitiallyOwn, BOOL bManualReset, LPCWSTR lpszName, LPSECURITY_ATTRIBUTES lpsaAttribute)
    : CSyncObject(lpszName)
{
    m_hObject = ::CreateEventW(lpsaAttribute, bManualReset, bInitiallyOwn, lpszName);
    if (m_hObject == NULL)
        AfxThrowResourceException();
}

CSemaphore::CSemaphore(LONG lInitialCount, LONG lMaxCount, LPCWSTR pstrName,
                       LPSECURITY_ATTRIBUTES lpsaAttributes)
    : CSyncObject(pstrName)
{
    m_hObject = ::CreateSemaphoreW(lpsaAttributes, lInitialCount, lMaxCount, pstrName);
    if (m_hObject == NULL)
        AfxThrowResourceException();
}

BOOL CSemaphore::Unlock(LONG lCount, LPLONG lprevCount)
{
    return ::ReleaseSemaphore(m_hObject, lCount, lprevCount);
}

CSingleLock::CSingleLock(CSyncObject* pObject, BOOL bInitialLock)
    : m_pObject(pObject), m_hObject(pObject != NULL ? pObject->m_hObject : NULL), m_bAcquired(FALSE)
{
    if (bInitialLock)
        Lock();
}

BOOL CSingleLock::Lock(DWORD dwTimeOut)
{
    if (m_pObject == NULL || m_bAcquired)
        return m_bAcquired;
    m_bAcquired = m_pObject->Lock(dwTimeOut);
    return m_bAcquired;
}

BOOL CSingleLock::Unlock()
{
    if (m_bAcquired && m_pObject != NULL)
        m_bAcquired = !m_pObject->Unlock();
    return !m_bAcquired;
}

BOOL CSingleLock::Unlock(LONG lCount, LPLONG lPrevCount)
{
    if (m_bAcquired && m_pObject != NULL)
        m_bAcquired = !m_pObject->Unlock(lCount, lPrevCount);
    return !m_bAcquired;
}

CMultiLock::CMultiLock(CSyncObject* ppObjects[], DWORD dwCount, BOOL bInitialLock)
    : m_ppObjectArray(ppObjects), m_pHandleArray(new HANDLE[dwCount]), m_bLockedArray(new BOOL[dwCount]),
      m_dwCount(dwCount)
{
    for (DWORD i = 0; i < dwCount; ++i) {
        m_pHandleArray[i] = ppObjects[i]->m_hObject;
        m_bLockedArray[i] = FALSE;
    }
    if (bInitialLock)
        Lock();
}

CMultiLock::~CMultiLock()
{
    Unlock();
    delete[] m_pHandleArray;
    delete[] m_bLockedArray;
}

DWORD CMultiLock::Lock(DWORD dwTimeOut, BOOL bWaitForAll, DWORD dwWakeMask)
{
    const DWORD result =
        dwWakeMask != 0
            ? ::MsgWaitForMultipleObjects(m_dwCount, m_pHandleArray, bWaitForAll, dwTimeOut, dwWakeMask)
            : ::WaitForMultipleObjects(m_dwCount, m_pHandleArray, bWaitForAll, dwTimeOut);
    const DWORD nAbandoned = result >= WAIT_ABANDONED_0 ? result - WAIT_ABANDONED_0 : m_dwCount;
    const DWORD nSignalled = result - WAIT_OBJECT_0;
    if (nSignalled < m_dwCount || nAbandoned < m_dwCount) {
        if (bWaitForAll) {
            for (DWORD i = 0; i < m_dwCount; ++i)
                m_bLockedArray[i] = TRUE;
        } else {
            m_bLockedArray[nSignalled < m_dwCount ? nSignalled : nAbandoned] = TRUE;
        }
    }
    return result;
}

BOOL CMultiLock::Unlock()
{
    for (DWORD i = 0; i < m_dwCount; ++i) {
        if (m_bLockedArray[i])
            m_bLockedArray[i] = !m_ppObjectArray[i]->Unlock();
    }
    return TRUE;
}

BOOL CMultiLock::IsLocked(DWORD dwItem) const
{
    return dwItem < m_dwCount && m_bLockedArray[dwItem];
}
