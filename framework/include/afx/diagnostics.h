// ASSERT, VERIFY and TRACE: checks and messages of debug builds; in release builds they compile
// away (VERIFY still evaluates its expression).
#pragma once

#include "afx/base_types.h"

// Reports a failed check; returns TRUE when a debugger should break in.
BOOL AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine);
// Writes one already formatted line to the debugger output.
void AFXAPI AfxOutputDebugString(LPCWSTR lpsz);

#ifdef _DEBUG

#define ASSERT(f)                                                                                            \
    do {                                                                                                     \
        if (!(f) && AfxAssertFailedLine(__FILE__, __LINE__))                                                 \
            ::DebugBreak();                                                                                  \
    } while (0)
#define VERIFY(f) ASSERT(f)
#define ASSERT_VALID(pOb) (::AfxAssertValidObject((pOb), __FILE__, __LINE__))
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))
#define ASSERT_POINTER(p, type) ASSERT((p) != NULL)
#define ASSERT_NULL_OR_POINTER(p, type) ((void)0)
#define DEBUG_ONLY(f) (f)
// Formats like CString::Format (only the arguments given are ever read) and writes to the debugger.
#define TRACE ::AfxTrace
#define TRACE0(sz) ::AfxTrace(L"%s", _T(sz))
#define TRACE1(sz, p1) ::AfxTrace(_T(sz), p1)
#define TRACE2(sz, p1, p2) ::AfxTrace(_T(sz), p1, p2)
#define TRACE3(sz, p1, p2, p3) ::AfxTrace(_T(sz), p1, p2, p3)

void AFXAPI AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine);

#else

#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#define ASSERT_VALID(pOb) ((void)0)
#define ASSERT_KINDOF(class_name, object) ((void)0)
#define ASSERT_POINTER(p, type) ((void)0)
#define ASSERT_NULL_OR_POINTER(p, type) ((void)0)
#define DEBUG_ONLY(f) ((void)0)
#define TRACE 1 ? (void)0 : ::AfxTrace
#define TRACE0(sz) ((void)0)
#define TRACE1(sz, p1) ((void)0)
#define TRACE2(sz, p1, p2) ((void)0)
#define TRACE3(sz, p1, p2, p3) ((void)0)

#endif

#define DEBUG_NEW new
#define UNUSED(x) ((void)(x))
#define UNUSED_ALWAYS(x) ((void)(x))
