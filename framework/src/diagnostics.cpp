#include <afx.h>

#include <cstdio>
#include <cstdlib>

BOOL AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine)
{
    char message[512];
    std::snprintf(message, sizeof(message), "Assertion failed: %s(%d)\n",
                  lpszFileName != NULL ? lpszFileName : "?", nLine);
    ::OutputDebugStringA(message);
    std::fputs(message, stderr);
    if (::IsDebuggerPresent())
        return TRUE;
    std::abort();
}

void AFXAPI AfxOutputDebugString(LPCWSTR lpsz)
{
    if (lpsz != NULL)
        ::OutputDebugStringW(lpsz);
}

#ifdef _DEBUG
void AFXAPI AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine)
{
    if (pOb == NULL) {
        if (AfxAssertFailedLine(lpszFileName, nLine))
            ::DebugBreak();
        return;
    }
    pOb->AssertValid();
}
#endif
