// Data access objects: the DAO error type. The database and record-set classes join with the
// previews that read Access databases.
#pragma once

#include "afxdisp.h"

class CDaoException : public CException
{
    DECLARE_DYNAMIC(CDaoException)
public:
    CDaoException() = default;
    SCODE m_scode = S_OK;
    int m_nAfxDaoError = 0;
};

// Start and end of the database engine for the program. No engine is loaded at start-up: both
// succeed and do nothing.
void AFXAPI AfxDaoInit();
void AFXAPI AfxDaoTerm();
