#include <afxole.h>

BOOL AFXAPI AfxOleInit()
{
    const HRESULT hr = ::OleInitialize(NULL);
    return SUCCEEDED(hr);
}
