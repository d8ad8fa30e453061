// The one loader of the toolkit's strings, menus, toolbars, bitmaps, cursors and dialog templates:
// the toolkit's resource module first (see CXTResourceGuard), then the program's own resources.
#pragma once

#include <afxwin.h>

class CToolBar;

class CXTResourceLoader
{
public:
    CXTResourceLoader();
    virtual ~CXTResourceLoader();
    CXTResourceLoader(const CXTResourceLoader&) = delete;
    CXTResourceLoader& operator=(const CXTResourceLoader&) = delete;

    virtual BOOL LoadString(CString* pString, UINT nIDResource);
    virtual BOOL LoadMenu(CMenu* pMenu, UINT nIDResource);
    // The toolbar loads its resource and bitmap always under the guard, without a second try in
    // the program's resources.
    virtual BOOL LoadToolBar(CToolBar* pToolBar, UINT nIDResource);
    virtual BOOL LoadBitmap(CBitmap* pBitmap, UINT nIDResource);
    virtual HCURSOR LoadCursor(UINT nIDResource);
    // The locked template, or null when neither module holds it.
    virtual LPCDLGTEMPLATE LoadDialogTemplate(UINT nIDResource);
    virtual void FreeResourceLibrary();

    // Loads the string and shows it in the framework's message box; the pressed button.
    int ShowMessage(UINT nIDResource, UINT nType);

protected:
    DWORD m_dwFlags;
    HMODULE m_hResourceLibrary;
};

CXTResourceLoader* AFXAPI GetResourceLoader();
