// The maps from Win32 handles to framework objects behind FromHandle, FromHandlePermanent,
// Attach and Detach. Permanent objects (attached by Attach, Create, SubclassWindow...) are found
// from any thread; temporary objects (made by FromHandle for a handle no object owns) belong to
// the thread that asked and are freed at its next idle time or when it ends.
#pragma once

#include <afxwin.h>

#include <type_traits>

enum class AfxHandleKind
{
    Window,
    DC,
    GdiObject,
    Menu,
    ImageList,
    Count
};

// The handle an object of the kind holds now (used to tell a stale temporary from a live one).
typedef HANDLE (*AFX_PFN_GETHANDLE)(const CObject* pObject);
// Clears the object's handles so that its destructor frees nothing, then deletes it.
typedef void (*AFX_PFN_RELEASETEMP)(CObject* pObject);

// The permanent object of the handle, or null.
CObject* AfxLookupPermanent(AfxHandleKind kind, HANDLE hHandle);
// Records the permanent object of a handle; FALSE when another object already owns it.
BOOL AfxSetPermanent(AfxHandleKind kind, HANDLE hHandle, CObject* pObject);
// Forgets the permanent object of a handle when it is pObject.
void AfxRemovePermanent(AfxHandleKind kind, HANDLE hHandle, CObject* pObject);

// The permanent object of the handle, else this thread's temporary one that still holds it; null
// when neither exists.
CObject* AfxFindHandleObject(AfxHandleKind kind, HANDLE hHandle, AFX_PFN_GETHANDLE pfnGetHandle);
// Adds a temporary object for the handle on this thread.
void AfxAddTemporary(AfxHandleKind kind, HANDLE hHandle, CObject* pObject, AFX_PFN_RELEASETEMP pfnRelease);
// Frees the temporary objects of one kind on this thread.
void AfxDeleteTemporaries(AfxHandleKind kind);

// FromHandle for a class T whose handle is the member pHandle: the permanent or temporary object of
// the handle, or a new temporary T.
template <class T, auto pHandle> T* AfxFromHandleOf(AfxHandleKind kind, HANDLE hHandle)
{
    typedef std::remove_reference_t<decltype(static_cast<T*>(nullptr)->*pHandle)> HandleType;
    if (hHandle == NULL)
        return NULL;
    const AFX_PFN_GETHANDLE pfnGetHandle = [](const CObject* pObject) -> HANDLE {
        return static_cast<HANDLE>(static_cast<const T*>(pObject)->*pHandle);
    };
    if (CObject* pFound = AfxFindHandleObject(kind, hHandle, pfnGetHandle))
        return static_cast<T*>(pFound);
    T* pTemp = new T;
    pTemp->*pHandle = static_cast<HandleType>(hHandle);
    AfxAddTemporary(kind, hHandle, pTemp, [](CObject* pObject) {
        T* pTyped = static_cast<T*>(pObject);
        pTyped->*pHandle = NULL;
        delete pTyped;
    });
    return pTemp;
}
