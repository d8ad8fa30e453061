#include "docking_pane.h"

#include "docking_pane_layout.h"
#include "docking_pane_manager.h"
#include "docking_pane_tabbed_container.h"
#include "image_manager.h"
#include "prop_exchange.h"

CXTPDockingPane::CXTPDockingPane(CXTPDockingPaneLayout* pLayout)
    : CXTPDockingPaneBase(xtpPaneTypeDockingPane, pLayout)
{
    EnableAutomation();
}

CXTPDockingPane::~CXTPDockingPane() = default;

void CXTPDockingPane::SetFocus()
{
    if (m_hwndChild == NULL)
        return;
    HWND hwndFocus = ::GetFocus();
    if (hwndFocus != m_hwndChild && !::IsChild(m_hwndChild, hwndFocus))
        ::SetFocus(m_hwndChild);
}

CString CXTPDockingPane::GetTitle() const
{
    const int nBreak = m_strTitle.Find(L'\n');
    return nBreak < 0 ? m_strTitle : m_strTitle.Left(nBreak);
}

CString CXTPDockingPane::GetShortTitle() const
{
    const int nBreak = m_strTitle.Find(L'\n');
    return nBreak < 0 ? m_strTitle : m_strTitle.Mid(nBreak + 1);
}

HICON CXTPDockingPane::GetIcon(int nWidth) const
{
    return GetDockingPaneManager()->GetIcon(m_nIconID == -1 ? m_nID : m_nIconID, nWidth);
}

CXTPImageManagerIcon* CXTPDockingPane::GetImage(int nWidth) const
{
    return GetDockingPaneManager()->GetImage(m_nIconID == -1 ? m_nID : m_nIconID, nWidth);
}

COLORREF CXTPDockingPane::GetTabColor() const
{
    if (m_clrTab != static_cast<COLORREF>(-1))
        return m_clrTab;
    if (m_hwndChild != NULL) {
        const LRESULT lColor = ::SendMessage(m_hwndChild, XTP_DPN_GETTABCOLOR, 0, 0);
        if (lColor != 0)
            return static_cast<COLORREF>(lColor);
    }
    // Indexes of the tab manager's eight automatic colours; a negative id reaches below the first.
    return static_cast<COLORREF>(0x1000000 + m_nID % 8);
}

void CXTPDockingPane::Copy(CXTPDockingPane* pPane)
{
    m_szDocking = pPane->m_szDocking;
    m_strTitle = pPane->m_strTitle;
    m_nIconID = pPane->m_nIconID;
    m_dwOptions = pPane->m_dwOptions;
    m_dwTag = pPane->m_dwTag;
    m_nID = pPane->m_nID;
    m_ptMinTrackSize = pPane->m_ptMinTrackSize;
    m_ptMaxTrackSize = pPane->m_ptMaxTrackSize;
    m_hwndChild = NULL;
}

void CXTPDockingPane::OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam)
{
    (void)pParent;
    (void)lParam;
    m_rcWindow = rect;
    if (m_pParentContainer == NULL || m_hwndChild == NULL || m_pParentFrame == NULL)
        return;
    CWnd* pContainerWnd = m_pParentContainer->GetWindow();
    if (pContainerWnd == NULL || m_pParentFrame->m_hWnd == NULL)
        return;
    CRect rc = rect;
    ::MapWindowPoints(pContainerWnd->m_hWnd, m_pParentFrame->m_hWnd, reinterpret_cast<LPPOINT>(&rc), 2);
    // The pane's rectangle is in its frame's terms like every node's; the child window lives in the
    // container's window, where its place is the given rectangle.
    m_rcWindow = rc;
    ::MoveWindow(m_hwndChild, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

void CXTPDockingPane::SetParentContainer(CXTPDockingPaneBase* pContainer)
{
    m_pParentContainer = pContainer;
    if (m_hwndChild == NULL) {
        if (pContainer == NULL)
            m_pParentFrame = NULL;
        return;
    }
    if (pContainer != NULL) {
        CWnd* pWnd = pContainer->GetWindow();
        if (pWnd != NULL)
            ::SetParent(m_hwndChild, pWnd->m_hWnd);
    } else {
        ::ShowWindow(m_hwndChild, SW_HIDE);
        CXTPDockingPaneManager* pManager = GetDockingPaneManager();
        if (pManager->m_hWnd != NULL)
            ::SetParent(m_hwndChild, pManager->m_hWnd);
        m_pParentFrame = NULL;
    }
}

void CXTPDockingPane::OnIdleUpdate()
{
    if (m_pParentContainer != NULL)
        m_pParentContainer->OnIdleUpdate();
}

void CXTPDockingPane::GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo) const
{
    ZeroMemory(pMinMaxInfo, sizeof(MINMAXINFO));
    pMinMaxInfo->ptMinTrackSize = m_ptMinTrackSize;
    pMinMaxInfo->ptMaxTrackSize = m_ptMaxTrackSize;
}

BOOL CXTPDockingPane::IsHidden() const
{
    return m_pParentContainer != NULL && m_pParentContainer->IsHidden();
}

CXTPDockingPaneBase* CXTPDockingPane::Clone(CXTPDockingPaneLayout* pLayout, CXTPPaneToPaneMap* pMap,
                                            DWORD dwIgnoredOptions)
{
    (void)dwIgnoredOptions;
    CXTPDockingPaneBase* pClone = GetDockingPaneManager()->CreatePaneOfType(xtpPaneTypeDockingPane, pLayout);
    if (pClone == NULL)
        return NULL;
    static_cast<CXTPDockingPane*>(pClone)->Copy(this);
    if (pMap != NULL)
        (*pMap)[this] = pClone;
    return pClone;
}

BOOL CXTPDockingPane::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPDockingPaneBase::DoPropExchange(pPX);
    ExchangeString(pPX, L"Title", m_strTitle);
    ExchangeInt(pPX, L"ID", m_nID, 0);
    ExchangeInt(pPX, L"IconID", m_nIconID, -1);
    long nOptions = static_cast<long>(m_dwOptions);
    ExchangeLongDefault(pPX, L"Options", nOptions, 0);
    m_dwOptions = static_cast<DWORD>(nOptions);

    if (pPX->IsLoading()) {
        int nDocking = 0, nFloating = 0, nLast = 0;
        ExchangeInt(pPX, L"DockingHolder", nDocking, 0);
        ExchangeInt(pPX, L"FloatingHolder", nFloating, 0);
        ExchangeInt(pPX, L"LastHolder", nLast, 0);
        XTP_DOCKINGPANE_INFO info = {this, m_pLayout->FindIndex(nFloating), m_pLayout->FindIndex(nDocking),
                                     m_pLayout->FindIndex(nLast)};
        m_pLayout->GetPaneList().push_back(info);
    } else {
        // A pane without a record writes no holder, so all three are written as none: the reader
        // always reads three values.
        const XTP_DOCKINGPANE_INFO* pInfo = m_pLayout->FindPaneRecord(this);
        int nDocking = pInfo != NULL && pInfo->pDockingHolder != NULL ? pInfo->pDockingHolder->m_nIndex : 0;
        int nFloating =
            pInfo != NULL && pInfo->pFloatingHolder != NULL ? pInfo->pFloatingHolder->m_nIndex : 0;
        int nLast = pInfo != NULL && pInfo->pLastHolder != NULL ? pInfo->pLastHolder->m_nIndex : 0;
        ExchangeInt(pPX, L"DockingHolder", nDocking, 0);
        ExchangeInt(pPX, L"FloatingHolder", nFloating, 0);
        ExchangeInt(pPX, L"LastHolder", nLast, 0);
    }

    long nValue = m_ptMinTrackSize.x;
    ExchangeLongDefault(pPX, L"MinTrackX", nValue, 0);
    m_ptMinTrackSize.x = nValue;
    nValue = m_ptMinTrackSize.y;
    ExchangeLongDefault(pPX, L"MinTrackY", nValue, 0);
    m_ptMinTrackSize.y = nValue;
    nValue = m_ptMaxTrackSize.x;
    ExchangeLongDefault(pPX, L"MaxTrackX", nValue, 32000);
    m_ptMaxTrackSize.x = nValue;
    nValue = m_ptMaxTrackSize.y;
    ExchangeLongDefault(pPX, L"MaxTrackY", nValue, 32000);
    m_ptMaxTrackSize.y = nValue;

    if (pPX->m_nSchema > 9) {
        long nColor = static_cast<long>(m_clrTab);
        ExchangeLongDefault(pPX, L"TabColor", nColor, -1);
        m_clrTab = static_cast<COLORREF>(nColor);
        ExchangeInt(pPX, L"HelpId", m_nHelpID, 0);
        long nTag = static_cast<long>(m_dwTag);
        ExchangeLongDefault(pPX, L"Tag", nTag, 0);
        if (pPX->IsLoading())
            m_dwTag = static_cast<DWORD>(nTag);
    }
    return m_nID > 0;
}

DWORD CXTPDockingPane::GetEffectiveOptions() const
{
    return GetDockingPaneManager()->m_dwDefaultPaneOptions | m_dwOptions;
}

BOOL CXTPDockingPane::IsSelected() const
{
    return m_pParentContainer != NULL && m_pParentContainer->GetType() == xtpPaneTypeTabbedContainer &&
           static_cast<CXTPDockingPaneTabbedContainer*>(m_pParentContainer)->GetSelected() == this;
}

BOOL CXTPDockingPane::HasFocus() const
{
    if (m_hwndChild == NULL)
        return FALSE;
    HWND hwndFocus = ::GetFocus();
    return hwndFocus == m_hwndChild || ::IsChild(m_hwndChild, hwndFocus);
}

void CXTPDockingPane::ShowChildWindow(BOOL bShow)
{
    if (bShow) {
        CXTPDockingPaneManager* pManager = GetDockingPaneManager();
        if (pManager->GetSite() != NULL && pManager->GetSite()->m_hWnd != NULL)
            pManager->GetSite()->SendMessage(XTPWM_DOCKINGPANE_NOTIFY, XTP_DPN_SHOWWINDOW,
                                             reinterpret_cast<LPARAM>(this));
    }
    if (m_hwndChild != NULL)
        ::ShowWindow(m_hwndChild, bShow ? SW_SHOW : SW_HIDE);
}

void CXTPDockingPane::Close()
{
    GetDockingPaneManager()->ClosePane(this);
}

void CXTPDockingPane::Hide()
{
    GetDockingPaneManager()->HidePane(this);
}
