// Types and calling conventions that the framework's declarations share.
#pragma once

#include <windows.h>

#define AFXAPI __stdcall
#define AFX_CDECL __cdecl
#define AFX_DATA
#define AFX_INLINE inline
#define AFX_STATIC static
#define AFX_NOVTABLE
#define AFX_COMDAT
#ifndef afx_msg
#define afx_msg // marks message-map handlers
#endif

// TRUE when an object pointer is null. Members documented as safe to call through a null pointer
// (GetSafeHwnd, GetSafeHandle and the like) test `this` through this barrier, because the compiler
// otherwise takes `this` to be non-null and drops the test.
inline bool AfxIsNullThis(const void* pObject)
{
    asm("" : "+r"(pObject));
    return pObject == nullptr;
}

// An opaque iteration handle of the collections.
struct __POSITION
{
};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

#ifndef _countof
#define _countof(array) (sizeof(array) / sizeof((array)[0]))
#endif

class CObject;
class CRuntimeClass;
class CArchive;
class CString;
class CCmdTarget;
class CWinThread;
class CWinApp;
class CWnd;
class CMenu;
