// Automation clients: COleDispatchException (an exception the called object raised) and
// COleDispatchDriver (an IDispatch held by a C++ object, called through typed InvokeHelper).
#pragma once

#include "afx/dispatch_args.h"
#include "afxwin.h"

class COleException;

class COleDispatchException : public CException
{
    DECLARE_DYNAMIC(COleDispatchException)
public:
    COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode);
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;

    WORD m_wCode;    // the object's own error code, or 0
    SCODE m_scError; // the error as an SCODE, when m_wCode is 0
    CString m_strSource;
    CString m_strDescription;
    CString m_strHelpFile;
    DWORD m_dwHelpContext;
};

[[noreturn]] void AFXAPI AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID = 0);
[[noreturn]] void AFXAPI AfxThrowOleDispatchException(WORD wCode, UINT nDescriptionID,
                                                      UINT nHelpID = (UINT)-1);

class COleDispatchDriver
{
public:
    COleDispatchDriver() = default;
    explicit COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    COleDispatchDriver(const COleDispatchDriver& dispatchSrc);
    ~COleDispatchDriver() { ReleaseDispatch(); }
    const COleDispatchDriver& operator=(const COleDispatchDriver& dispatchSrc);
    const COleDispatchDriver& operator=(LPDISPATCH lpDispatch);
    operator LPDISPATCH() { return m_lpDispatch; }

    // Creates the object (in-process or local server) and takes its IDispatch; FALSE with the
    // reason in pError (when given) otherwise.
    BOOL CreateDispatch(REFCLSID clsid, COleException* pError = NULL);
    // A ProgID or a "{...}" class id; an unknown ProgID fails with CO_E_CLASSSTRING.
    BOOL CreateDispatch(LPCTSTR lpszProgID, COleException* pError = NULL);
    void AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    // Gives the interface (and its reference) to the caller.
    LPDISPATCH DetachDispatch();
    // Releases the interface when it is ours to release, and forgets it.
    void ReleaseDispatch();

    template <class P, class... Args>
    void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, P pbParamInfo,
                      const Args&... args) const
    {
        afx_dispatch::InvokeTyped(m_lpDispatch, dwDispID, wFlags, vtRet, pvRet,
                                  afx_dispatch::ParamInfoOf(pbParamInfo), args...);
    }
    void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const
    {
        afx_dispatch::InvokeTyped(m_lpDispatch, dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, NULL);
    }
    template <class T> void SetProperty(DISPID dwDispID, VARTYPE vtProp, const T& value)
    {
        afx_dispatch::SetPropertyTyped(m_lpDispatch, dwDispID, vtProp, value);
    }

    LPDISPATCH m_lpDispatch = NULL;
    BOOL m_bAutoRelease = TRUE;
};
