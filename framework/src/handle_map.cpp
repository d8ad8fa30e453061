#include "handle_map.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Process-wide: a window or GDI object may be created on one thread and used or freed on another.
struct PermanentMaps
{
    SRWLOCK lock = SRWLOCK_INIT;
    std::unordered_map<HANDLE, CObject*> maps[static_cast<int>(AfxHandleKind::Count)];
};

PermanentMaps& Permanents()
{
    // Never destroyed: objects with static storage leave the maps from their destructors.
    static PermanentMaps* pMaps = new PermanentMaps;
    return *pMaps;
}

} // namespace

struct AFX_TEMP_MAPS
{
    struct Entry
    {
        CObject* pObject;
        AFX_PFN_RELEASETEMP pfnRelease;
    };
    struct Kind
    {
        std::unordered_map<HANDLE, CObject*> byHandle;
        std::vector<Entry> objects; // every temporary, also those a newer one replaced in byHandle
    };
    Kind kinds[static_cast<int>(AfxHandleKind::Count)];
};

namespace {

AFX_TEMP_MAPS::Kind& TempKind(AfxHandleKind kind)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pTempMaps == NULL)
        pState->m_pTempMaps = new AFX_TEMP_MAPS;
    return pState->m_pTempMaps->kinds[static_cast<int>(kind)];
}

void FreeKind(AFX_TEMP_MAPS::Kind& kind)
{
    // A destructor may ask for new temporaries; they land in fresh containers.
    std::vector<AFX_TEMP_MAPS::Entry> objects;
    objects.swap(kind.objects);
    kind.byHandle.clear();
    for (const AFX_TEMP_MAPS::Entry& entry : objects)
        entry.pfnRelease(entry.pObject);
}

void FreeAll(AFX_THREAD_STATE* pState)
{
    if (pState->m_pTempMaps == NULL)
        return;
    for (AFX_TEMP_MAPS::Kind& kind : pState->m_pTempMaps->kinds)
        FreeKind(kind);
}

} // namespace

AFX_THREAD_STATE::~AFX_THREAD_STATE()
{
    FreeAll(this);
    delete m_pTempMaps;
    m_pTempMaps = NULL;
}

CObject* AfxLookupPermanent(AfxHandleKind kind, HANDLE hHandle)
{
    if (hHandle == NULL)
        return NULL;
    PermanentMaps& maps = Permanents();
    AcquireSRWLockShared(&maps.lock);
    const auto& map = maps.maps[static_cast<int>(kind)];
    const auto found = map.find(hHandle);
    CObject* pObject = found != map.end() ? found->second : NULL;
    ReleaseSRWLockShared(&maps.lock);
    return pObject;
}

BOOL AfxSetPermanent(AfxHandleKind kind, HANDLE hHandle, CObject* pObject)
{
    if (hHandle == NULL || pObject == NULL)
        return FALSE;
    PermanentMaps& maps = Permanents();
    AcquireSRWLockExclusive(&maps.lock);
    auto& map = maps.maps[static_cast<int>(kind)];
    const auto inserted = map.emplace(hHandle, pObject);
    const BOOL bResult = inserted.second || inserted.first->second == pObject;
    ReleaseSRWLockExclusive(&maps.lock);
    return bResult;
}

void AfxRemovePermanent(AfxHandleKind kind, HANDLE hHandle, CObject* pObject)
{
    if (hHandle == NULL)
        return;
    PermanentMaps& maps = Permanents();
    AcquireSRWLockExclusive(&maps.lock);
    auto& map = maps.maps[static_cast<int>(kind)];
    const auto found = map.find(hHandle);
    if (found != map.end() && found->second == pObject)
        map.erase(found);
    ReleaseSRWLockExclusive(&maps.lock);
}

CObject* AfxFindHandleObject(AfxHandleKind kind, HANDLE hHandle, AFX_PFN_GETHANDLE pfnGetHandle)
{
    if (CObject* pPermanent = AfxLookupPermanent(kind, hHandle))
        return pPermanent;
    AFX_TEMP_MAPS::Kind& temps = TempKind(kind);
    const auto found = temps.byHandle.find(hHandle);
    // A temporary whose handle was detached or deleted since no longer stands for the handle.
    if (found != temps.byHandle.end() && pfnGetHandle(found->second) == hHandle)
        return found->second;
    return NULL;
}

void AfxAddTemporary(AfxHandleKind kind, HANDLE hHandle, CObject* pObject, AFX_PFN_RELEASETEMP pfnRelease)
{
    AFX_TEMP_MAPS::Kind& temps = TempKind(kind);
    temps.objects.push_back({pObject, pfnRelease});
    temps.byHandle[hHandle] = pObject;
}

void AfxDeleteTemporaries(AfxHandleKind kind)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pTempMaps != NULL)
        FreeKind(pState->m_pTempMaps->kinds[static_cast<int>(kind)]);
}

void AFXAPI AfxLockTempMaps()
{
    ++AfxGetThreadState()->m_nTempMapLock;
}

BOOL AFXAPI AfxUnlockTempMaps(BOOL bDeleteTemps)
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_nTempMapLock > 0)
        --pState->m_nTempMapLock;
    if (pState->m_nTempMapLock != 0 || !bDeleteTemps)
        return FALSE;
    FreeAll(pState);
    return TRUE;
}

UINT AFXAPI AfxGetTempObjectCount()
{
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    if (pState->m_pTempMaps == NULL)
        return 0;
    size_t nCount = 0;
    for (const AFX_TEMP_MAPS::Kind& kind : pState->m_pTempMaps->kinds)
        nCount += kind.objects.size();
    return static_cast<UINT>(nCount);
}
