#include "theme_manager.h"

namespace {
void RemoveFromList(CPtrList& list, void* p)
{
    POSITION pos = list.Find(p);
    if (pos != NULL)
        list.RemoveAt(pos);
}
} // namespace

BOOL CXTThemeObject::TakeSnapshot(CWnd* pWnd)
{
    CWnd* pParent = pWnd->GetParent();
    if (pParent == NULL || !::IsWindow(pParent->GetSafeHwnd()))
        return FALSE;
    m_bmpBackground.DeleteObject();
    CRect rect;
    pWnd->GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    CClientDC dcParent(pParent);
    CDC dcMem;
    if (!dcMem.CreateCompatibleDC(&dcParent) ||
        !m_bmpBackground.CreateCompatibleBitmap(&dcParent, rect.Width(), rect.Height()))
        return FALSE;
    CBitmap* pOld = dcMem.SelectObject(&m_bmpBackground);
    dcMem.BitBlt(0, 0, rect.Width(), rect.Height(), &dcParent, rect.left, rect.top, SRCCOPY);
    dcMem.SelectObject(pOld);
    return TRUE;
}

BOOL CXTThemeObject::DrawTransparentBack(CDC* pDC, CWnd* pWnd)
{
    if ((pWnd->GetExStyle() & WS_EX_TRANSPARENT) == 0 || !TakeSnapshot(pWnd))
        return FALSE;
    CRect rectClient;
    pWnd->GetClientRect(&rectClient);
    CDC dcMem;
    dcMem.CreateCompatibleDC(pDC);
    CBitmap* pOld = dcMem.SelectObject(&m_bmpBackground);
    pDC->BitBlt(0, 0, rectClient.Width(), rectClient.Height(), &dcMem, 0, 0, SRCCOPY);
    dcMem.SelectObject(pOld);
    return TRUE;
}

IMPLEMENT_DYNAMIC(CXTThemeManagerStyleFactory, CObject)

CXTThemeManagerStyleFactory::CXTThemeManagerStyleFactory()
{
    XTThemeManager()->AddFactory(this);
}

CXTThemeManagerStyleFactory::~CXTThemeManagerStyleFactory()
{
    delete m_pTheme;
    XTThemeManager()->RemoveFactory(this);
}

void CXTThemeManagerStyleFactory::RefreshMetrics()
{
    if (m_pTheme != NULL)
        m_pTheme->RefreshMetrics();
}

CXTThemeObject* CXTThemeManagerStyleFactory::GetSafeTheme()
{
    if (m_pTheme == NULL) {
        m_pTheme = CreateTheme(XTThemeManager()->GetTheme());
        m_pTheme->m_pFactory = this;
        m_pTheme->RefreshMetrics();
    }
    return m_pTheme;
}

void CXTThemeManagerStyleFactory::SetTheme(CXTThemeObject* pTheme)
{
    delete m_pTheme;
    m_pTheme = pTheme;
    if (m_pTheme != NULL) {
        m_pTheme->m_pFactory = this;
        m_pTheme->RefreshMetrics();
    }
    for (POSITION pos = m_hosts.GetHeadPosition(); pos != NULL;)
        static_cast<CXTThemeHost*>(m_hosts.GetNext(pos))->OnThemeChanged();
}

void CXTThemeManagerStyleFactory::AddHost(CXTThemeHost* pHost)
{
    m_hosts.AddHead(pHost);
}

void CXTThemeManagerStyleFactory::RemoveHost(CXTThemeHost* pHost)
{
    RemoveFromList(m_hosts, pHost);
}

CXTThemeManager::~CXTThemeManager()
{
    auto factories = std::move(m_sharedFactories);
    for (auto& entry : factories)
        delete entry.second;
}

CXTThemeManagerStyleFactory* CXTThemeManager::GetSharedFactory(CRuntimeClass* pFactoryClass)
{
    auto found = m_sharedFactories.find(pFactoryClass);
    if (found != m_sharedFactories.end())
        return found->second;
    auto* pFactory = static_cast<CXTThemeManagerStyleFactory*>(pFactoryClass->CreateObject());
    if (pFactory != NULL)
        m_sharedFactories[pFactoryClass] = pFactory;
    return pFactory;
}

void CXTThemeManager::SetTheme(int nTheme)
{
    m_nTheme = nTheme;
    CPtrList factories;
    factories.AddTail(&m_factories);
    for (POSITION pos = factories.GetHeadPosition(); pos != NULL;) {
        auto* pFactory = static_cast<CXTThemeManagerStyleFactory*>(factories.GetNext(pos));
        pFactory->SetTheme(pFactory->CreateTheme(nTheme));
    }
}

void CXTThemeManager::AddFactory(CXTThemeManagerStyleFactory* pFactory)
{
    m_factories.AddHead(pFactory);
}

void CXTThemeManager::RemoveFactory(CXTThemeManagerStyleFactory* pFactory)
{
    RemoveFromList(m_factories, pFactory);
}

CXTThemeManager* AFXAPI XTThemeManager()
{
    static CXTThemeManager manager;
    return &manager;
}

CXTThemeHost::CXTThemeHost(CRuntimeClass* pFactoryClass)
{
    if (pFactoryClass != NULL)
        SetFactoryClass(pFactoryClass);
}

CXTThemeHost::~CXTThemeHost()
{
    if (CXTThemeManagerStyleFactory* pFactory = GetFactory())
        pFactory->RemoveHost(this);
    delete m_pOwnFactory;
}

CXTThemeManagerStyleFactory* CXTThemeHost::CreateFactory()
{
    return m_pFactoryClass != NULL
               ? static_cast<CXTThemeManagerStyleFactory*>(m_pFactoryClass->CreateObject())
               : NULL;
}

void CXTThemeHost::SetFactoryClass(CRuntimeClass* pFactoryClass)
{
    if (CXTThemeManagerStyleFactory* pOld = GetFactory())
        pOld->RemoveHost(this);
    m_pFactoryClass = pFactoryClass;
    m_pSharedFactory = XTThemeManager()->GetSharedFactory(pFactoryClass);
    if (CXTThemeManagerStyleFactory* pFactory = GetFactory())
        pFactory->AddHost(this);
}

CXTThemeManagerStyleFactory* CXTThemeHost::GetFactory() const
{
    return m_pOwnFactory != NULL ? m_pOwnFactory : m_pSharedFactory;
}

CXTThemeObject* CXTThemeHost::GetSafeTheme() const
{
    CXTThemeManagerStyleFactory* pFactory = GetFactory();
    return pFactory != NULL ? pFactory->GetSafeTheme() : NULL;
}

void CXTThemeHost::SetTheme(CXTThemeObject* pTheme)
{
    if (CXTThemeManagerStyleFactory* pFactory = GetFactory())
        pFactory->RemoveHost(this);
    delete m_pOwnFactory;
    m_pOwnFactory = NULL;
    m_bUseOwnFactory = FALSE;
    if (pTheme != NULL) {
        m_pOwnFactory = CreateFactory();
        if (m_pOwnFactory != NULL) {
            m_pOwnFactory->SetTheme(pTheme);
            m_bUseOwnFactory = TRUE;
        } else
            delete pTheme;
    }
    OnThemeChanged();
    if (CXTThemeManagerStyleFactory* pFactory = GetFactory())
        pFactory->AddHost(this);
}
