#include "command_bars.h"

#include "image_manager.h"

#include <memory>

namespace {
std::unique_ptr<CXTPPaintManager>& InstalledPaintManager()
{
    static std::unique_ptr<CXTPPaintManager> paintManager;
    return paintManager;
}
} // namespace

CXTPPaintManager::CXTPPaintManager()
{
    LOGFONT logFont{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    m_fontRegular.CreateFontIndirect(&logFont);
}

CXTPPaintManager::~CXTPPaintManager() = default;

void AFXAPI CXTPPaintManager::SetTheme(int)
{
    // The command bars' themes come with the bars; until then there is none to install.
}

void AFXAPI CXTPPaintManager::SetCustomTheme(CXTPPaintManager* pPaintManager)
{
    InstalledPaintManager().reset(pPaintManager);
}

CXTPPaintManager* AFXAPI CXTPPaintManager::Instance()
{
    return InstalledPaintManager().get();
}

IMPLEMENT_DYNCREATE(CXTPCommandBar, CWnd)

CXTPCommandBar::CXTPCommandBar() = default;

CXTPCommandBar::~CXTPCommandBar()
{
    SetImageManager(NULL);
}

BOOL CXTPCommandBar::LoadMenu(CMenu* pMenu, BOOL)
{
    return pMenu != NULL && ::IsMenu(pMenu->GetSafeHmenu());
}

void CXTPCommandBar::SetImageManager(CXTPImageManager* pImageManager)
{
    if (m_pImageManager == pImageManager)
        return;
    if (m_pImageManager != NULL)
        m_pImageManager->InternalRelease();
    m_pImageManager = pImageManager;
}

IMPLEMENT_DYNCREATE(CXTPPopupBar, CXTPCommandBar)

CRuntimeClass* CXTPPopupBar::m_pPopupBarClass = NULL;

CXTPPopupBar* AFXAPI CXTPPopupBar::CreatePopupBar(CXTPCommandBars* pCommandBars)
{
    if (m_pPopupBarClass == NULL || !m_pPopupBarClass->IsDerivedFrom(RUNTIME_CLASS(CXTPPopupBar)))
        return NULL;
    auto* pPopupBar = static_cast<CXTPPopupBar*>(m_pPopupBarClass->CreateObject());
    if (pPopupBar != NULL)
        pPopupBar->SetCommandBars(pCommandBars);
    return pPopupBar;
}

int CXTPPopupBar::Popup(UINT, int, int, CWnd*, LPCRECT)
{
    return 0;
}

IMPLEMENT_DYNCREATE(CXTPToolBar, CXTPCommandBar)

CSize CXTPToolBar::CalcDynamicLayout(int, DWORD)
{
    return CSize(0, 0);
}

void CXTPToolBar::RemoveFromDockBar() {}

IMPLEMENT_DYNCREATE(CXTPControl, CCmdTarget)

CWnd* CXTPControl::GetSite() const
{
    return m_pSite != NULL ? m_pSite : AfxGetMainWnd();
}

void CXTPControl::Execute()
{
    CWnd* pSite = GetSite();
    if (pSite == NULL || !::IsWindow(pSite->GetSafeHwnd()))
        return;
    NMXTPCONTROL notify{};
    notify.hdr.hwndFrom = NULL;
    notify.hdr.idFrom = static_cast<UINT_PTR>(m_nId);
    notify.hdr.code = XTP_CN_EXECUTE;
    notify.pControl = this;
    if (pSite->SendMessage(XTP_WM_CONTROL_EXECUTED, static_cast<WPARAM>(m_nId),
                           reinterpret_cast<LPARAM>(&notify)) == 0)
        pSite->SendMessage(WM_COMMAND, static_cast<WPARAM>(m_nId));
}

IMPLEMENT_DYNCREATE(CXTPEdit, CEdit)

IMPLEMENT_DYNCREATE(CXTPCommandBars, CCmdTarget)

CXTPCommandBars::CXTPCommandBars() = default;
CXTPCommandBars::~CXTPCommandBars() = default;

BOOL CXTPCommandBars::OnFrameMessage(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

void CXTPCommandBars::OnSetPreviewMode(BOOL) {}

BOOL CXTPCommandBars::PreTranslateFrameMessage(MSG*)
{
    return FALSE;
}

int AFXAPI CXTPCommandBars::TrackPopupBar(CXTPPopupBar* pPopupBar, UINT nFlags, int x, int y, CWnd* pOwner,
                                          LPCRECT lpRectExclude)
{
    return pPopupBar != NULL ? pPopupBar->Popup(nFlags, x, y, pOwner, lpRectExclude) : 0;
}
