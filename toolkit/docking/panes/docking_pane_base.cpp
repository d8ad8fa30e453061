#include "docking_pane_base.h"

#include "docking_pane_layout.h"
#include "docking_pane_manager.h"
#include "prop_exchange.h"

#include <afxpriv.h>

BOOL CXTPDockingPaneCaptionButton::IsVisible()
{
    return m_pPane->IsCaptionButtonVisible(this);
}

CXTPDockingPaneBase::CXTPDockingPaneBase(XTPDockingPaneType type, CXTPDockingPaneLayout* pLayout)
    : m_szDocking(0, 0), m_pLayout(pLayout), m_pParentFrame(NULL), m_type(type), m_rcWindow(0, 0, 0, 0)
{
    if (pLayout != NULL) {
        m_pParentFrame = pLayout->GetManager()->GetSite();
        pLayout->AddNode(this);
    }
}

CXTPDockingPaneBase::~CXTPDockingPaneBase()
{
    for (CXTPDockingPaneCaptionButton* pButton : m_arrCaptionButtons)
        delete pButton;
}

CXTPDockingPaneManager* CXTPDockingPaneBase::GetDockingPaneManager() const
{
    return m_pLayout->GetManager();
}

CFrameWnd* CXTPDockingPaneBase::GetParentFrameWnd() const
{
    if (m_pParentFrame == NULL || m_pParentFrame->m_hWnd == NULL || !m_pParentFrame->IsFrameWnd())
        return NULL;
    return static_cast<CFrameWnd*>(m_pParentFrame);
}

void CXTPDockingPaneBase::DelayLayoutFrame(BOOL bNotify) const
{
    if (CFrameWnd* pFrame = GetParentFrameWnd())
        pFrame->DelayRecalcLayout(bNotify);
}

void CXTPDockingPaneBase::RedrawPane()
{
    CWnd* pWnd = GetWindow();
    if (pWnd != NULL && pWnd->m_hWnd != NULL)
        ::InvalidateRect(pWnd->m_hWnd, NULL, FALSE);
}

BOOL CXTPDockingPaneBase::ContainsPane(CXTPDockingPaneBase* pPane) const
{
    return pPane == this;
}

void CXTPDockingPaneBase::FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList)
{
    if (m_type == type)
        pList->push_back(this);
}

void CXTPDockingPaneBase::GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo) const
{
    ZeroMemory(pMinMaxInfo, sizeof(MINMAXINFO));
    pMinMaxInfo->ptMaxTrackSize = CPoint(32000, 32000);
}

void CXTPDockingPaneBase::OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam)
{
    (void)pParent;
    m_rcWindow = rect;
    if (lParam != NULL)
        static_cast<AFX_SIZEPARENTPARAMS*>(lParam)->rect = rect;
}

void CXTPDockingPaneBase::RecalcLayout(BOOL bDelay)
{
    if (m_pParentContainer != NULL)
        m_pParentContainer->RecalcLayout(bDelay);
}

BOOL CXTPDockingPaneBase::DoPropExchange(CXTPPropExchange* pPX)
{
    int cx = m_szDocking.cx;
    int cy = m_szDocking.cy;
    ExchangeInt(pPX, L"DockingCX", cx, 0);
    ExchangeInt(pPX, L"DockingCY", cy, 0);
    if (pPX->IsLoading())
        m_szDocking = CSize(cx, cy);
    return TRUE;
}

CXTPDockingPaneBase* CXTPDockingPaneBase::Clone(CXTPDockingPaneLayout* pLayout, CXTPPaneToPaneMap* pMap,
                                                DWORD dwIgnoredOptions)
{
    (void)dwIgnoredOptions;
    CXTPDockingPaneBase* pClone = GetDockingPaneManager()->CreatePaneOfType(m_type, pLayout);
    if (pClone != NULL && pMap != NULL)
        (*pMap)[this] = pClone;
    return pClone;
}

BOOL CXTPDockingPaneBase::IsEmpty() const
{
    return m_type == xtpPaneTypeClient && m_pLayout->GetManager()->m_bHideClient;
}

void AFXAPI XTPExchangePaneIndex(CXTPPropExchange* pPX, int nPosition, long& nIndex)
{
    CString strName;
    strName.Format(L"Pane-%d", nPosition);
    ExchangeLong(pPX, strName, nIndex);
}

BOOL AFXAPI XTPTrackCaptionButton(HWND hWnd, CXTPDockingPaneCaptionButton* pButton,
                                  const std::function<CPoint(CPoint)>& mapPoint, const std::function<void()>& redraw)
{
    ::SetCapture(hWnd);
    pButton->m_bPressed = TRUE;
    redraw();
    BOOL bOver = TRUE;
    while (::GetCapture() == hWnd) {
        MSG msg;
        if (!::GetMessageW(&msg, NULL, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_CANCELMODE)
            break;
        if (msg.message == WM_MOUSEMOVE && msg.hwnd == hWnd) {
            const CPoint pt(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
            const BOOL bNow = pButton->PtInRect(mapPoint(pt));
            if (bNow != bOver) {
                bOver = bNow;
                pButton->m_bPressed = bNow;
                redraw();
            }
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (!::IsWindow(hWnd))
        return FALSE;
    pButton->m_bPressed = FALSE;
    redraw();
    return bOver;
}
