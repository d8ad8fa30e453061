// The process-wide list of class records. Records stay constant (they may live in read-only
// memory); the list that links them is kept here.
#include <afx.h>

#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct ClassRegistry
{
    std::mutex lock;
    std::vector<const CRuntimeClass*> classes;
};

ClassRegistry& Registry()
{
    static ClassRegistry registry;
    return registry;
}

} // namespace

void AFXAPI AfxClassInit(CRuntimeClass* pNewClass)
{
    ClassRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.lock);
    registry.classes.push_back(pNewClass);
}

void AFXAPI AfxDoForAllClasses(void(AFX_CDECL* pfn)(const CRuntimeClass* pClass, void* pContext),
                               void* pContext)
{
    std::vector<const CRuntimeClass*> snapshot;
    {
        ClassRegistry& registry = Registry();
        std::lock_guard<std::mutex> guard(registry.lock);
        snapshot = registry.classes;
    }
    for (const CRuntimeClass* pClass : snapshot)
        pfn(pClass, pContext);
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (lpszClassName == NULL)
        return NULL;
    ClassRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.lock);
    for (const CRuntimeClass* pClass : registry.classes) {
        if (std::strcmp(pClass->m_lpszClassName, lpszClassName) == 0)
            return const_cast<CRuntimeClass*>(pClass);
    }
    return NULL;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCWSTR lpszClassName)
{
    if (lpszClassName == NULL)
        return NULL;
    // Class names are ASCII identifiers; a name with any other character matches none.
    char narrow[256];
    size_t length = 0;
    for (; lpszClassName[length] != 0; ++length) {
        if (length + 1 >= sizeof(narrow) || lpszClassName[length] > 0x7E)
            return NULL;
        narrow[length] = static_cast<char>(lpszClassName[length]);
    }
    narrow[length] = 0;
    return FromName(narrow);
}
