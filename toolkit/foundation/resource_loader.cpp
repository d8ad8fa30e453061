#include "resource_loader.h"

#include <afxext.h>

#include "resource_guard.h"

namespace {

// Strings live in blocks of sixteen; block (id / 16) + 1 holds string id.
LPCWSTR StringBlockName(UINT nID)
{
    return MAKEINTRESOURCEW((nID >> 4) + 1);
}

// Whether the toolkit's resource module holds the resource.
BOOL ToolkitModuleHas(LPCWSTR lpszName, LPCWSTR lpszType)
{
    HINSTANCE hToolkit = CXTResourceGuard::GetToolkitResourceHandle();
    return hToolkit != NULL && ::FindResourceW(hToolkit, lpszName, lpszType) != NULL;
}

// A handle that cannot be attached is freed, not leaked.
BOOL AttachMenu(CMenu* pMenu, HMENU hMenu)
{
    if (pMenu->Attach(hMenu))
        return TRUE;
    ::DestroyMenu(hMenu);
    return FALSE;
}

BOOL AttachBitmap(CBitmap* pBitmap, HBITMAP hBitmap)
{
    if (pBitmap->Attach(hBitmap))
        return TRUE;
    ::DeleteObject(hBitmap);
    return FALSE;
}

} // namespace

CXTResourceLoader::CXTResourceLoader() : m_dwFlags(1), m_hResourceLibrary(NULL) {}

CXTResourceLoader::~CXTResourceLoader()
{
    CXTResourceLoader::FreeResourceLibrary();
}

BOOL CXTResourceLoader::LoadString(CString* pString, UINT nIDResource)
{
    if (pString == NULL)
        return FALSE;
    if (ToolkitModuleHas(StringBlockName(nIDResource), RT_STRING)) {
        CXTResourceGuard guard;
        if (pString->LoadString(nIDResource))
            return TRUE;
    }
    return pString->LoadString(AfxFindResourceHandle(StringBlockName(nIDResource), RT_STRING), nIDResource);
}

BOOL CXTResourceLoader::LoadMenu(CMenu* pMenu, UINT nIDResource)
{
    if (pMenu == NULL)
        return FALSE;
    LPCWSTR lpszName = MAKEINTRESOURCEW(nIDResource);
    if (ToolkitModuleHas(lpszName, RT_MENU)) {
        CXTResourceGuard guard;
        HMENU hMenu = ::LoadMenuW(AfxFindResourceHandle(lpszName, RT_MENU), lpszName);
        if (hMenu != NULL)
            return AttachMenu(pMenu, hMenu);
    }
    HMENU hMenu = ::LoadMenuW(AfxFindResourceHandle(lpszName, RT_MENU), lpszName);
    return hMenu != NULL && AttachMenu(pMenu, hMenu);
}

BOOL CXTResourceLoader::LoadToolBar(CToolBar* pToolBar, UINT nIDResource)
{
    CXTResourceGuard guard;
    return pToolBar != NULL && pToolBar->LoadToolBar(nIDResource);
}

BOOL CXTResourceLoader::LoadBitmap(CBitmap* pBitmap, UINT nIDResource)
{
    if (pBitmap == NULL)
        return FALSE;
    LPCWSTR lpszName = MAKEINTRESOURCEW(nIDResource);
    if (ToolkitModuleHas(lpszName, RT_BITMAP)) {
        CXTResourceGuard guard;
        HBITMAP hBitmap = ::LoadBitmapW(AfxFindResourceHandle(lpszName, RT_BITMAP), lpszName);
        if (hBitmap != NULL)
            return AttachBitmap(pBitmap, hBitmap);
    }
    HBITMAP hBitmap = ::LoadBitmapW(AfxFindResourceHandle(lpszName, RT_BITMAP), lpszName);
    return hBitmap != NULL && AttachBitmap(pBitmap, hBitmap);
}

HCURSOR CXTResourceLoader::LoadCursor(UINT nIDResource)
{
    LPCWSTR lpszName = MAKEINTRESOURCEW(nIDResource);
    if (ToolkitModuleHas(lpszName, RT_GROUP_CURSOR)) {
        CXTResourceGuard guard;
        HCURSOR hCursor = ::LoadCursorW(AfxFindResourceHandle(lpszName, RT_GROUP_CURSOR), lpszName);
        if (hCursor != NULL)
            return hCursor;
    }
    return ::LoadCursorW(AfxFindResourceHandle(lpszName, RT_GROUP_CURSOR), lpszName);
}

LPCDLGTEMPLATE CXTResourceLoader::LoadDialogTemplate(UINT nIDResource)
{
    LPCWSTR lpszName = MAKEINTRESOURCEW(nIDResource);
    HINSTANCE hModule = CXTResourceGuard::GetToolkitResourceHandle();
    HRSRC hResource = hModule != NULL ? ::FindResourceW(hModule, lpszName, RT_DIALOG) : NULL;
    if (hResource == NULL) {
        hModule = AfxFindResourceHandle(lpszName, RT_DIALOG);
        hResource = ::FindResourceW(hModule, lpszName, RT_DIALOG);
    }
    if (hResource == NULL)
        return NULL;
    HGLOBAL hTemplate = ::LoadResource(hModule, hResource);
    return hTemplate != NULL ? static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate)) : NULL;
}

void CXTResourceLoader::FreeResourceLibrary()
{
    if (m_hResourceLibrary != NULL) {
        ::FreeLibrary(m_hResourceLibrary);
        m_hResourceLibrary = NULL;
    }
}

int CXTResourceLoader::ShowMessage(UINT nIDResource, UINT nType)
{
    CString text;
    LoadString(&text, nIDResource);
    return AfxMessageBox(text, nType, 0);
}

CXTResourceLoader* AFXAPI GetResourceLoader()
{
    static CXTResourceLoader loader;
    return &loader;
}
