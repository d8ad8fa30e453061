// Themes of the stand-alone controls: a control asks a theme object, chosen by theme number (0 and
// any other number the default look, 1 flat, 2 the visual style's colour scheme), to draw it. One
// factory per control kind makes the theme objects; the process-wide manager keeps one shared
// factory per factory class; every control carries a host that binds it to its factory.
#pragma once

#include <afxwin.h>

#include <map>

class CXTThemeManagerStyleFactory;

class CXTThemeObject
{
public:
    CXTThemeObject() = default;
    virtual ~CXTThemeObject() = default;
    CXTThemeObject(const CXTThemeObject&) = delete;
    CXTThemeObject& operator=(const CXTThemeObject&) = delete;

    virtual void RefreshMetrics() {}
    // Copies what the parent shows under the control into the background bitmap; FALSE when the
    // parent has no window.
    virtual BOOL TakeSnapshot(CWnd* pWnd);
    // The parent's picture under a WS_EX_TRANSPARENT control; FALSE when not drawn.
    virtual BOOL DrawTransparentBack(CDC* pDC, CWnd* pWnd);

    int GetThemeNumber() const { return m_nTheme; }

    CXTThemeManagerStyleFactory* m_pFactory = NULL;
    int m_nTheme = 0;
    CBitmap m_bmpBackground;
};

class CXTThemeHost;

class CXTThemeManagerStyleFactory : public CObject
{
    DECLARE_DYNAMIC(CXTThemeManagerStyleFactory)
public:
    CXTThemeManagerStyleFactory();
    ~CXTThemeManagerStyleFactory() override;

    // 1 and 2 make their classes, any other number the default class.
    virtual CXTThemeObject* CreateTheme(int nTheme) = 0;
    virtual void RefreshMetrics();

    // The current theme, made for the global theme number when there is none yet.
    CXTThemeObject* GetSafeTheme();
    // Takes the theme (the old one is deleted) and tells every bound host, newest first.
    void SetTheme(CXTThemeObject* pTheme);

    void AddHost(CXTThemeHost* pHost);
    void RemoveHost(CXTThemeHost* pHost);
    const CPtrList& GetHosts() const { return m_hosts; }

protected:
    CXTThemeObject* m_pTheme = NULL;
    CPtrList m_hosts;
};

class CXTThemeManager
{
public:
    CXTThemeManager() = default;
    ~CXTThemeManager();
    CXTThemeManager(const CXTThemeManager&) = delete;
    CXTThemeManager& operator=(const CXTThemeManager&) = delete;

    // The one shared factory of the class, made on first request.
    CXTThemeManagerStyleFactory* GetSharedFactory(CRuntimeClass* pFactoryClass);
    int GetTheme() const { return m_nTheme; }
    // The global theme number; every live factory gets a theme of it.
    void SetTheme(int nTheme);

    void AddFactory(CXTThemeManagerStyleFactory* pFactory);
    void RemoveFactory(CXTThemeManagerStyleFactory* pFactory);

private:
    std::map<CRuntimeClass*, CXTThemeManagerStyleFactory*> m_sharedFactories;
    CPtrList m_factories;
    int m_nTheme = 0;
};

CXTThemeManager* AFXAPI XTThemeManager();

class CXTThemeHost
{
public:
    explicit CXTThemeHost(CRuntimeClass* pFactoryClass = NULL);
    virtual ~CXTThemeHost();
    CXTThemeHost(const CXTThemeHost&) = delete;
    CXTThemeHost& operator=(const CXTThemeHost&) = delete;

    virtual CXTThemeManagerStyleFactory* CreateFactory();
    virtual void OnThemeChanged() {}

    void SetFactoryClass(CRuntimeClass* pFactoryClass);
    CXTThemeManagerStyleFactory* GetFactory() const;
    CXTThemeObject* GetSafeTheme() const;
    // A private theme for this control alone; null returns to the shared one.
    void SetTheme(CXTThemeObject* pTheme);
    BOOL UsesOwnFactory() const { return m_bUseOwnFactory; }

protected:
    BOOL m_bUseOwnFactory = FALSE;
    CRuntimeClass* m_pFactoryClass = NULL;
    CXTThemeManagerStyleFactory* m_pOwnFactory = NULL;
    CXTThemeManagerStyleFactory* m_pSharedFactory = NULL;
};

// A factory class with its three theme classes.
#define XT_DECLARE_THEME_FACTORY(factoryClass)                                                               \
    class factoryClass : public CXTThemeManagerStyleFactory                                                  \
    {                                                                                                        \
        DECLARE_DYNCREATE(factoryClass)                                                                      \
    public:                                                                                                  \
        CXTThemeObject* CreateTheme(int nTheme) override;                                                    \
    };

#define XT_IMPLEMENT_THEME_FACTORY(factoryClass, defaultTheme, theme1, theme2)                               \
    IMPLEMENT_DYNCREATE(factoryClass, CXTThemeManagerStyleFactory)                                           \
    CXTThemeObject* factoryClass::CreateTheme(int nTheme)                                                    \
    {                                                                                                        \
        CXTThemeObject* pTheme = nTheme == 1   ? static_cast<CXTThemeObject*>(new theme1)                    \
                                 : nTheme == 2 ? static_cast<CXTThemeObject*>(new theme2)                    \
                                               : static_cast<CXTThemeObject*>(new defaultTheme);             \
        pTheme->m_nTheme = nTheme;                                                                           \
        return pTheme;                                                                                       \
    }
