// Synchronisation objects: critical sections, mutexes, events, semaphores and the lock helpers.
#pragma once

#include "afx.h"

class CSyncObject : public CObject
{
    DECLARE_DYNAMIC(CSyncObject)
public:
    explicit CSyncObject(LPCWSTR pstrName);
    ~CSyncObject() override;

    HANDLE m_hObject;
    operator HANDLE() const { return m_hObject; }

    virtual BOOL Lock(DWORD dwTimeout = INFINITE);
    virtual BOOL Unlock() = 0;
    virtual BOOL Unlock(LONG /*lCount*/, LPLONG /*lpPrevCount*/ = NULL) { return TRUE; }
};

class CCriticalSection : public CSyncObject
{
    DECLARE_DYNAMIC(CCriticalSection)
public:
    CCriticalSection();
    ~CCriticalSection() override;

    operator CRITICAL_SECTION*() { return &m_sect; }
    CRITICAL_SECTION m_sect;

    BOOL Lock();
    BOOL Lock(DWORD dwTimeout) override; // a critical section waits without a time limit
    BOOL Unlock() override;
};

class CMutex : public CSyncObject
{
    DECLARE_DYNAMIC(CMutex)
public:
    explicit CMutex(BOOL bInitiallyOwn = FALSE, LPCWSTR lpszName = NULL,
                    LPSECURITY_ATTRIBUTES lpsaAttribute = NULL);
    BOOL Unlock() override;
};

class CEvent : public CSyncObject
{
    DECLARE_DYNAMIC(CEvent)
public:
    explicit CEvent(BOOL bInitiallyOwn = FALSE, BOOL bManualReset = FALSE, LPCWSTR lpszName = NULL,
                    LPSECURITY_ATTRIBUTES lpsaAttribute = NULL);
    BOOL SetEvent() { return ::SetEvent(m_hObject); }
    BOOL PulseEvent() { return ::PulseEvent(m_hObject); }
    BOOL ResetEvent() { return ::ResetEvent(m_hObject); }
    BOOL Unlock() override { return TRUE; }
};

class CSemaphore : public CSyncObject
{
    DECLARE_DYNAMIC(CSemaphore)
public:
    explicit CSemaphore(LONG lInitialCount = 1, LONG lMaxCount = 1, LPCWSTR pstrName = NULL,
                        LPSECURITY_ATTRIBUTES lpsaAttributes = NULL);
    BOOL Unlock() override { return Unlock(1, NULL); }
    BOOL Unlock(LONG lCount, LPLONG lprevCount = NULL) override;
};

// Holds one synchronisation object for the length of a scope.
class CSingleLock
{
public:
    explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE);
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock(DWORD dwTimeOut = INFINITE);
    BOOL Unlock();
    BOOL Unlock(LONG lCount, LPLONG lPrevCount = NULL);
    BOOL IsLocked() const { return m_bAcquired; }

protected:
    CSyncObject* m_pObject;
    HANDLE m_hObject;
    BOOL m_bAcquired;
};

// Waits for several kernel objects (not critical sections) at once.
class CMultiLock
{
public:
    CMultiLock(CSyncObject* ppObjects[], DWORD dwCount, BOOL bInitialLock = FALSE);
    ~CMultiLock();
    CMultiLock(const CMultiLock&) = delete;
    CMultiLock& operator=(const CMultiLock&) = delete;

    // WAIT_OBJECT_0 + index of the object that was acquired, or the wait's failure code.
    DWORD Lock(DWORD dwTimeOut = INFINITE, BOOL bWaitForAll = TRUE, DWORD dwWakeMask = 0);
    BOOL Unlock();
    BOOL IsLocked(DWORD dwItem) const;

protected:
    CSyncObject** m_ppObjectArray;
    HANDLE* m_pHandleArray;
    BOOL* m_bLockedArray;
    DWORD m_dwCount;
};
