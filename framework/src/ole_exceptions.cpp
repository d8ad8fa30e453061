#include <afxdao.h>

IMPLEMENT_DYNAMIC(COleException, CException)
IMPLEMENT_DYNAMIC(CDaoException, CException)

SCODE PASCAL COleException::Process(const CException* pAnyException)
{
    if (pAnyException == NULL)
        return S_OK;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(COleException)))
        return static_cast<const COleException*>(pAnyException)->m_sc;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CMemoryException)))
        return E_OUTOFMEMORY;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CNotSupportedException)))
        return E_NOTIMPL;
    return E_UNEXPECTED;
}

BOOL COleException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext != NULL)
        *pnHelpContext = 0;
    if (lpszError == NULL || nMaxError == 0)
        return FALSE;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                                          static_cast<DWORD>(m_sc), 0, lpszError, nMaxError, NULL);
    if (length == 0) {
        CString text;
        text.Format(L"OLE error 0x%08X.", static_cast<unsigned>(m_sc));
        lstrcpynW(lpszError, text, static_cast<int>(nMaxError));
    }
    return TRUE;
}

void AFXAPI AfxThrowOleException(SCODE sc)
{
    throw new COleException(sc);
}
