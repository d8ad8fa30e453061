// Automation types: COleException, COleVariant, COleCurrency and COleDateTime, with their archive
// forms; automation clients (COleDispatchDriver, COleDispatchException).
#pragma once

#include "afx/ole_currency.h"
#include "afx/ole_date_time.h"
#include "afx/ole_object_factory.h"
#include "afx/ole_variant.h"
#include "afxwin.h"

class COleException : public CException
{
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(SCODE sc = S_OK) : m_sc(sc) {}
    SCODE m_sc;
    static SCODE PASCAL Process(const CException* pAnyException);
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) override;
};

[[noreturn]] void AFXAPI AfxThrowOleException(SCODE sc);

#include "afx/ole_dispatch.h"
