// The start-up calls of a program's InitInstance that need little here: control hosting, the OLE
// factories (the program offers none) and the database engine (none is loaded).
#include <afxdao.h>

#include <atomic>

namespace {

std::atomic<bool> g_bControlContainerEnabled{false};

} // namespace

void AFXAPI AfxEnableControlContainer()
{
    g_bControlContainerEnabled = true;
}

BOOL AFXAPI AfxIsControlContainerEnabled()
{
    return g_bControlContainerEnabled ? TRUE : FALSE;
}

BOOL PASCAL COleObjectFactory::RegisterAll()
{
    return TRUE;
}

void PASCAL COleObjectFactory::RevokeAll() {}

BOOL PASCAL COleObjectFactory::UpdateRegistryAll(BOOL)
{
    return TRUE;
}

void AFXAPI AfxDaoInit()
{
    // The database engine is opened by the readers that need one, when they need it.
}

void AFXAPI AfxDaoTerm() {}
