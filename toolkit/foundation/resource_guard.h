// The scope in which the toolkit's own resource module is the framework's resource handle. Nothing
// in the program sets such a module; a deployment that keeps the toolkit's resources in a separate
// library sets it with XTSetToolkitResourceHandle, and every guard then switches to it.
#pragma once

#include <afxwin.h>

class CXTResourceGuard
{
public:
    CXTResourceGuard();
    ~CXTResourceGuard();
    CXTResourceGuard(const CXTResourceGuard&) = delete;
    CXTResourceGuard& operator=(const CXTResourceGuard&) = delete;

    // Puts the saved handles back; a guard that did not switch changes nothing.
    void Leave();
    BOOL IsActive() const { return m_bActive; }

    static HINSTANCE GetToolkitResourceHandle();

private:
    BOOL m_bActive;
    HINSTANCE m_hSavedResource;
    HINSTANCE m_hSavedInstance;
};

// The toolkit's resource module and instance (both null: the program's own resources serve).
void AFXAPI XTSetToolkitResourceHandle(HINSTANCE hResource, HINSTANCE hInstance = NULL);
HINSTANCE AFXAPI XTGetToolkitInstanceHandle();
