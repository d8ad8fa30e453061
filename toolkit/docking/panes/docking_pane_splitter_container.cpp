#include "docking_pane_splitter_container.h"

#include "docking_pane_layout.h"
#include "docking_pane_manager.h"
#include "docking_pane_tabbed_container.h"
#include "prop_exchange.h"
#include "resource_loader.h"
#include "splitter_drag_tracker.h"
#include "toolkit_resource_ids.h"

#include <afxpriv.h>

#include <algorithm>

namespace {

const wchar_t kSplitterClassName[] = L"XTPDockingPaneSplitter";

int Along(const CRect& rc, BOOL bHoriz)
{
    return bHoriz ? rc.Width() : rc.Height();
}

BOOL IsFixedLength(int nLength)
{
    return nLength <= 0;
}

} // namespace

BOOL AFXAPI XTPPaneTakesRoom(CXTPDockingPaneBase* pPane)
{
    if (pPane->IsEmpty())
        return FALSE;
    if (pPane->GetType() == xtpPaneTypeTabbedContainer &&
        static_cast<CXTPDockingPaneTabbedContainer*>(pPane)->IsCollapsed())
        return FALSE;
    return TRUE;
}

CXTPDockingPaneSplitterContainer::CXTPDockingPaneSplitterContainer(CXTPDockingPaneLayout* pLayout)
    : CXTPDockingPaneBase(xtpPaneTypeSplitterContainer, pLayout)
{}

CXTPDockingPaneSplitterContainer::~CXTPDockingPaneSplitterContainer()
{
    for (CXTPDockingPaneSplitterWnd* pSplitter : m_lstSpliters) {
        pSplitter->m_pContainer = NULL;
        delete pSplitter;
    }
}

void CXTPDockingPaneSplitterContainer::Init(CXTPDockingPaneBase* pPane, BOOL bHoriz, CWnd* pFrame)
{
    m_pParentFrame = pFrame;
    m_bHoriz = bHoriz;
    m_lstPanes.clear();
    m_lstPanes.push_back(pPane);
    pPane->SetParentContainer(this);
    pPane->SetParentFrame(pFrame);
    m_szDocking = pPane->m_szDocking;
    UpdateSplitters();
}

void CXTPDockingPaneSplitterContainer::InsertPane(CXTPDockingPaneBase* pPane, CXTPDockingPaneBase* pNeighbour,
                                                  BOOL bAfter)
{
    auto it = std::find(m_lstPanes.begin(), m_lstPanes.end(), pNeighbour);
    if (it == m_lstPanes.end())
        m_lstPanes.insert(bAfter ? m_lstPanes.end() : m_lstPanes.begin(), pPane);
    else
        m_lstPanes.insert(bAfter ? it + 1 : it, pPane);
    pPane->SetParentContainer(this);
    pPane->SetParentFrame(m_pParentFrame);
    DelayLayoutFrame();
    UpdateSplitters();
    if (m_pParentContainer != NULL)
        m_pParentContainer->OnChildChanged(this);
    pPane->OnParentChanged(this);
}

void CXTPDockingPaneSplitterContainer::RemovePane(CXTPDockingPaneBase* pPane)
{
    auto it = std::find(m_lstPanes.begin(), m_lstPanes.end(), pPane);
    if (it == m_lstPanes.end())
        return;
    m_lstPanes.erase(it);
    pPane->SetParentContainer(NULL);
    UpdateSplitters();
    DelayLayoutFrame();
    if (m_pParentContainer != NULL)
        m_pParentContainer->OnChildChanged(this);
}

void CXTPDockingPaneSplitterContainer::ReplacePane(CXTPDockingPaneBase* pOld, CXTPDockingPaneBase* pNew)
{
    auto it = std::find(m_lstPanes.begin(), m_lstPanes.end(), pOld);
    if (it == m_lstPanes.end())
        return;
    *it = pNew;
    pNew->SetParentContainer(this);
    pNew->SetParentFrame(m_pParentFrame);
    UpdateSplitters();
}

void CXTPDockingPaneSplitterContainer::OnChildChanged(CXTPDockingPaneBase* pChild)
{
    (void)pChild;
    if (m_pParentContainer != NULL)
        m_pParentContainer->OnChildChanged(this);
    UpdateSplitters();
    DelayLayoutFrame();
}

void CXTPDockingPaneSplitterContainer::OnParentChanged(CXTPDockingPaneBase* pParent)
{
    m_pParentFrame = pParent->m_pParentFrame;
    UpdateSplitters();
    for (CXTPDockingPaneBase* pPane : m_lstPanes)
        pPane->OnParentChanged(this);
}

void CXTPDockingPaneSplitterContainer::RecalcLayout(BOOL bDelay)
{
    DelayLayoutFrame();
    CXTPDockingPaneBase::RecalcLayout(bDelay);
}

void CXTPDockingPaneSplitterContainer::SetParentFrame(CWnd* pFrame)
{
    m_pParentFrame = pFrame;
    for (CXTPDockingPaneBase* pPane : m_lstPanes)
        pPane->SetParentFrame(pFrame);
    UpdateSplitters();
}

BOOL CXTPDockingPaneSplitterContainer::ContainsPane(CXTPDockingPaneBase* pPane) const
{
    if (pPane == this)
        return TRUE;
    for (CXTPDockingPaneBase* pChild : m_lstPanes) {
        if (pChild->ContainsPane(pPane))
            return TRUE;
    }
    return FALSE;
}

void CXTPDockingPaneSplitterContainer::FindPane(XTPDockingPaneType type, CXTPDockingPaneBaseList* pList)
{
    CXTPDockingPaneBase::FindPane(type, pList);
    for (CXTPDockingPaneBase* pChild : m_lstPanes)
        pChild->FindPane(type, pList);
}

BOOL CXTPDockingPaneSplitterContainer::IsEmpty() const
{
    for (CXTPDockingPaneBase* pChild : m_lstPanes) {
        if (!pChild->IsEmpty())
            return FALSE;
    }
    return TRUE;
}

void CXTPDockingPaneSplitterContainer::GetMinMaxInfo(LPMINMAXINFO pMinMaxInfo) const
{
    CXTPDockingPaneBase::GetMinMaxInfo(pMinMaxInfo);
    BOOL bFirst = TRUE;
    for (CXTPDockingPaneBase* pChild : m_lstPanes) {
        if (!XTPPaneTakesRoom(pChild))
            continue;
        MINMAXINFO mmi;
        pChild->GetMinMaxInfo(&mmi);
        if (bFirst) {
            pMinMaxInfo->ptMinTrackSize = mmi.ptMinTrackSize;
            pMinMaxInfo->ptMaxTrackSize = mmi.ptMaxTrackSize;
            bFirst = FALSE;
            continue;
        }
        if (m_bHoriz) {
            pMinMaxInfo->ptMinTrackSize.x += mmi.ptMinTrackSize.x;
            pMinMaxInfo->ptMaxTrackSize.x += mmi.ptMaxTrackSize.x;
            pMinMaxInfo->ptMinTrackSize.y = std::max(pMinMaxInfo->ptMinTrackSize.y, mmi.ptMinTrackSize.y);
            pMinMaxInfo->ptMaxTrackSize.y = std::min(pMinMaxInfo->ptMaxTrackSize.y, mmi.ptMaxTrackSize.y);
        } else {
            pMinMaxInfo->ptMinTrackSize.y += mmi.ptMinTrackSize.y;
            pMinMaxInfo->ptMaxTrackSize.y += mmi.ptMaxTrackSize.y;
            pMinMaxInfo->ptMinTrackSize.x = std::max(pMinMaxInfo->ptMinTrackSize.x, mmi.ptMinTrackSize.x);
            pMinMaxInfo->ptMaxTrackSize.x = std::min(pMinMaxInfo->ptMaxTrackSize.x, mmi.ptMaxTrackSize.x);
        }
    }
}

void AFXAPI CXTPDockingPaneSplitterContainer::CalcLengths(const std::vector<CXTPDockingPaneBase*>& lstPanes,
                                                          BOOL bHoriz, int nGap, CRect rect, BOOL bHideClient,
                                                          BOOL bStore, int& nTotal, int& nRoom)
{
    if (lstPanes.empty()) {
        nTotal = nRoom = 0;
        return;
    }
    CXTPDockingPaneBase* pClientPane = lstPanes.front()->GetLayout()->GetClient();
    CXTPDockingPaneBase* pClientChild = NULL;
    nTotal = 0;
    for (CXTPDockingPaneBase* pPane : lstPanes) {
        MINMAXINFO mmi;
        pPane->GetMinMaxInfo(&mmi);
        const int nMin = bHoriz ? mmi.ptMinTrackSize.x : mmi.ptMinTrackSize.y;
        const int nMax = bHoriz ? mmi.ptMaxTrackSize.x : mmi.ptMaxTrackSize.y;
        int nLength = bHoriz ? pPane->m_szDocking.cx : pPane->m_szDocking.cy;
        nLength = std::max(std::min(nLength, nMax), nMin);
        pPane->m_nLength = nLength;
        const BOOL bSized = (bHoriz ? pPane->m_szDocking.cx : pPane->m_szDocking.cy) != 0;
        if (pClientChild == NULL && pPane->ContainsPane(pClientPane) && !(bHideClient && bSized)) {
            pClientChild = pPane;
            pPane->m_nLength = 0;
            if (bStore)
                pPane->m_szDocking = CSize(0, 0);
        }
        nTotal += pPane->m_nLength;
    }
    nRoom = Along(rect, bHoriz) - (static_cast<int>(lstPanes.size()) - 1) * nGap;

    if (pClientChild != NULL && nTotal < nRoom) {
        pClientChild->m_nLength = nRoom - nTotal;
        if (bStore) {
            if (bHoriz)
                pClientChild->m_szDocking.cx = pClientChild->m_nLength;
            else
                pClientChild->m_szDocking.cy = pClientChild->m_nLength;
        }
        nTotal = nRoom;
    }

    if (nRoom < 1)
        return;
    // A child whose share breaks its limits gets a fixed size; the others share again without it.
    BOOL bChanged = TRUE;
    while (bChanged && nRoom >= 0) {
        bChanged = FALSE;
        for (CXTPDockingPaneBase* pPane : lstPanes) {
            if (IsFixedLength(pPane->m_nLength) || nTotal == 0)
                continue;
            MINMAXINFO mmi;
            pPane->GetMinMaxInfo(&mmi);
            const int nMin = bHoriz ? mmi.ptMinTrackSize.x : mmi.ptMinTrackSize.y;
            const int nMax = bHoriz ? mmi.ptMaxTrackSize.x : mmi.ptMaxTrackSize.y;
            const int nShare = static_cast<int>(static_cast<LONGLONG>(nRoom) * pPane->m_nLength / nTotal);
            int nFixed = 0;
            if (nShare < nMin)
                nFixed = nMin;
            else if (nShare > nMax)
                nFixed = nMax;
            else
                continue;
            nRoom -= nFixed;
            nTotal -= pPane->m_nLength;
            pPane->m_nLength = -nFixed;
            if (nRoom < 0) {
                // The overflow comes back from the child fixed last.
                pPane->m_nLength -= nRoom;
                nRoom = 0;
                return;
            }
            bChanged = TRUE;
            break;
        }
    }
}

std::vector<CRect> AFXAPI
CXTPDockingPaneSplitterContainer::DivideRect(const std::vector<CXTPDockingPaneBase*>& lstPanes, BOOL bHoriz,
                                             int nGap, CRect rect, BOOL bHideClient, BOOL bStore)
{
    int nTotal = 0, nRoom = 0;
    CalcLengths(lstPanes, bHoriz, nGap, rect, bHideClient, bStore, nTotal, nRoom);
    std::vector<CRect> rects;
    int nPos = bHoriz ? rect.left : rect.top;
    for (size_t i = 0; i < lstPanes.size(); ++i) {
        const int nLength = lstPanes[i]->m_nLength;
        int nSize;
        if (nLength > 0) {
            nSize = nTotal == 0 ? 0 : static_cast<int>(static_cast<LONGLONG>(nRoom) * nLength / nTotal);
            nRoom = std::max(0, nRoom - nSize);
            nTotal -= nLength;
        } else {
            nSize = -nLength;
        }
        CRect rc = rect;
        if (bHoriz) {
            rc.left = nPos;
            rc.right = i + 1 == lstPanes.size() ? rect.right : nPos + nSize;
        } else {
            rc.top = nPos;
            rc.bottom = i + 1 == lstPanes.size() ? rect.bottom : nPos + nSize;
        }
        rects.push_back(rc);
        nPos += nSize + nGap;
    }
    return rects;
}

void CXTPDockingPaneSplitterContainer::OnSizeParent(CWnd* pParent, CRect rect, LPVOID lParam)
{
    m_pParentFrame = pParent;
    m_rcWindow = rect;
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    const int nGap = pManager->GetPaintManager()->GetSplitterSize();

    std::vector<CXTPDockingPaneBase*> lstPanes;
    for (CXTPDockingPaneBase* pPane : m_lstPanes) {
        if (XTPPaneTakesRoom(pPane))
            lstPanes.push_back(pPane);
    }
    BOOL bClientFound = !pManager->m_bHideClient || ContainsPane(m_pLayout->GetClient());

    if (lstPanes.empty()) {
        if (pManager->m_bHideClient && bClientFound && m_pLayout->GetClient() != NULL)
            m_pLayout->GetClient()->OnSizeParent(pParent, CRect(0, 0, 0, 0), lParam);
        return;
    }
    if (lstPanes.size() == 1) {
        lstPanes.front()->OnSizeParent(pParent, rect, lParam);
        return;
    }
    if (m_bRecalcLayout)
        return;
    m_bRecalcLayout = TRUE;
    const std::vector<CRect> rects =
        DivideRect(lstPanes, m_bHoriz, nGap, rect, pManager->m_bHideClient, TRUE);
    size_t nSplitter = 0;
    for (size_t i = 0; i < lstPanes.size(); ++i) {
        lstPanes[i]->OnSizeParent(pParent, rects[i], lParam);
        if (i + 1 < lstPanes.size() && nSplitter < m_lstSpliters.size()) {
            CRect rcBar = rects[i];
            if (m_bHoriz) {
                rcBar.left = rects[i].right;
                rcBar.right = rcBar.left + nGap;
            } else {
                rcBar.top = rects[i].bottom;
                rcBar.bottom = rcBar.top + nGap;
            }
            rcBar.IntersectRect(rcBar, rect);
            CXTPDockingPaneSplitterWnd* pSplitter = m_lstSpliters[nSplitter++];
            if (pSplitter->m_hWnd != NULL) {
                ::SetWindowPos(pSplitter->m_hWnd, HWND_BOTTOM, rcBar.left, rcBar.top, rcBar.Width(),
                               rcBar.Height(), SWP_NOACTIVATE);
                ::InvalidateRect(pSplitter->m_hWnd, NULL, FALSE);
            }
        }
    }
    m_bRecalcLayout = FALSE;
}

CRect CXTPDockingPaneSplitterContainer::GetChildRect(CXTPDockingPaneBase* pChild, CRect rect)
{
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    std::vector<CXTPDockingPaneBase*> lstPanes;
    for (CXTPDockingPaneBase* pPane : m_lstPanes) {
        if (XTPPaneTakesRoom(pPane) || pPane == pChild)
            lstPanes.push_back(pPane);
    }
    const std::vector<CRect> rects =
        DivideRect(lstPanes, m_bHoriz, pManager->GetPaintManager()->GetSplitterSize(), rect,
                   pManager->m_bHideClient, FALSE);
    for (size_t i = 0; i < lstPanes.size(); ++i) {
        if (lstPanes[i] == pChild)
            return rects[i];
    }
    return rect;
}

CRect CXTPDockingPaneSplitterContainer::GetNewChildRect(CXTPDockingPaneBase* pNeighbour, BOOL bAfter,
                                                        CSize szDocking, CRect rect)
{
    // A stand-in child of that size takes its place in the division for this one computation.
    CXTPDockingPaneBase probe(xtpPaneTypeClient, NULL);
    probe.m_pLayout = m_pLayout;
    probe.m_szDocking = szDocking;
    std::vector<CXTPDockingPaneBase*> lstPanes;
    for (CXTPDockingPaneBase* pPane : m_lstPanes) {
        if (!XTPPaneTakesRoom(pPane))
            continue;
        if (pPane == pNeighbour && !bAfter)
            lstPanes.push_back(&probe);
        lstPanes.push_back(pPane);
        if (pPane == pNeighbour && bAfter)
            lstPanes.push_back(&probe);
    }
    if (std::find(lstPanes.begin(), lstPanes.end(), &probe) == lstPanes.end())
        lstPanes.insert(bAfter ? lstPanes.end() : lstPanes.begin(), &probe);
    CXTPDockingPaneManager* pManager = GetDockingPaneManager();
    const std::vector<CRect> rects =
        DivideRect(lstPanes, m_bHoriz, pManager->GetPaintManager()->GetSplitterSize(), rect,
                   pManager->m_bHideClient, FALSE);
    for (size_t i = 0; i < lstPanes.size(); ++i) {
        if (lstPanes[i] == &probe)
            return rects[i];
    }
    return rect;
}

CXTPDockingPaneBase* CXTPDockingPaneSplitterContainer::Clone(CXTPDockingPaneLayout* pLayout,
                                                             CXTPPaneToPaneMap* pMap, DWORD dwIgnoredOptions)
{
    CXTPDockingPaneSplitterContainer* pClone = static_cast<CXTPDockingPaneSplitterContainer*>(
        GetDockingPaneManager()->CreatePaneOfType(xtpPaneTypeSplitterContainer, pLayout));
    if (pClone == NULL)
        return NULL;
    pClone->m_bHoriz = m_bHoriz;
    pClone->m_pParentFrame = GetDockingPaneManager()->GetSite();
    pClone->m_szDocking = m_szDocking;
    pClone->m_rcWindow = m_rcWindow;
    for (CXTPDockingPaneBase* pChild : m_lstPanes) {
        if (pMap == NULL && pChild->IsEmpty())
            continue;
        CXTPDockingPaneBase* pChildClone = pChild->Clone(pLayout, pMap, dwIgnoredOptions);
        if (pChildClone != NULL)
            pClone->InsertPane(pChildClone);
    }
    if (pMap != NULL)
        (*pMap)[this] = pClone;
    return pClone;
}

BOOL CXTPDockingPaneSplitterContainer::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPDockingPaneBase::DoPropExchange(pPX);
    ExchangeBool(pPX, L"Horiz", m_bHoriz, FALSE);
    if (pPX->IsStoring()) {
        long nCount = static_cast<long>(m_lstPanes.size());
        ExchangeLong(pPX, L"Panes", nCount);
        XTPStorePaneIndexes(pPX, m_lstPanes);
        return TRUE;
    }
    long nCount = 0;
    ExchangeLong(pPX, L"Panes", nCount);
    // A crafted count ends at the first missing child.
    for (long i = 0; i < nCount; ++i) {
        long nIndex = 0;
        XTPExchangePaneIndex(pPX, static_cast<int>(i + 1), nIndex);
        CXTPDockingPaneBase* pChild = m_pLayout->FindIndex(nIndex);
        if (pChild == NULL || pChild == this || pChild->ContainsPane(this) ||
            pChild->m_pParentContainer != NULL)
            return FALSE;
        m_lstPanes.push_back(pChild);
        pChild->SetParentContainer(this);
        pChild->SetParentFrame(m_pParentFrame);
    }
    return TRUE;
}

void CXTPDockingPaneSplitterContainer::UpdateSplitters()
{
    if (m_bRecalcLayout)
        return;
    for (CXTPDockingPaneSplitterWnd* pSplitter : m_lstSpliters) {
        pSplitter->m_pContainer = NULL;
        delete pSplitter;
    }
    m_lstSpliters.clear();
    if (m_lstPanes.size() < 2 || m_pParentFrame == NULL || m_pParentFrame->m_hWnd == NULL)
        return;
    CXTPDockingPaneBase* pPrevious = NULL;
    for (CXTPDockingPaneBase* pPane : m_lstPanes) {
        if (!XTPPaneTakesRoom(pPane))
            continue;
        if (pPrevious != NULL) {
            CXTPDockingPaneSplitterWnd* pSplitter = new CXTPDockingPaneSplitterWnd();
            if (pSplitter->Create(this, pPrevious, pPane))
                m_lstSpliters.push_back(pSplitter);
            else
                delete pSplitter;
        }
        pPrevious = pPane;
    }
}

// ---------------------------------------------------------------------------------------------------
// The splitter window

CXTPDockingPaneSplitterWnd::~CXTPDockingPaneSplitterWnd()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CXTPDockingPaneSplitterWnd::IsHorizontal() const
{
    return m_pContainer != NULL && m_pContainer->IsHoriz();
}

BOOL CXTPDockingPaneSplitterWnd::Create(CXTPDockingPaneSplitterContainer* pContainer,
                                        CXTPDockingPaneBase* pFirst, CXTPDockingPaneBase* pSecond)
{
    m_pContainer = pContainer;
    m_pFirst = pFirst;
    m_pSecond = pSecond;
    WNDCLASSW wc = {};
    if (!::GetClassInfoW(AfxGetInstanceHandle(), kSplitterClassName, &wc)) {
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
        wc.lpszClassName = kSplitterClassName;
        AfxRegisterClass(&wc);
    }
    m_hCursor = GetResourceLoader()->LoadCursor(pContainer->IsHoriz() ? XT_IDC_HSPLITBAR : XT_IDC_VSPLITBAR);
    CWnd* pFrame = pContainer->m_pParentFrame;
    return CreateEx(0, kSplitterClassName, NULL, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                    CRect(0, 0, 0, 0), pFrame, 0);
}

CRect CXTPDockingPaneSplitterWnd::JoinedRect() const
{
    CRect rcFirst = m_pFirst->m_rcWindow;
    CRect rcSecond = m_pSecond->m_rcWindow;
    CRect rcJoined;
    rcJoined.UnionRect(rcFirst, rcSecond);
    if (m_pContainer != NULL && m_pContainer->m_pParentFrame != NULL && m_pContainer->m_pParentFrame->m_hWnd)
        m_pContainer->m_pParentFrame->ClientToScreen(&rcJoined);
    return rcJoined;
}

BOOL CXTPDockingPaneSplitterWnd::GetLimits(int& nMin, int& nMax) const
{
    if (m_pContainer == NULL)
        return FALSE;
    const BOOL bHoriz = IsHorizontal();
    CXTPDockingPaneManager* pManager = m_pContainer->GetDockingPaneManager();
    const int nGap = pManager->GetPaintManager()->GetSplitterSize();
    const CRect rcJoined = JoinedRect();
    MINMAXINFO mmiFirst, mmiSecond;
    m_pFirst->GetMinMaxInfo(&mmiFirst);
    m_pSecond->GetMinMaxInfo(&mmiSecond);
    const int nNear = bHoriz ? rcJoined.left : rcJoined.top;
    const int nFar = bHoriz ? rcJoined.right : rcJoined.bottom;
    const int nMinFirst = bHoriz ? mmiFirst.ptMinTrackSize.x : mmiFirst.ptMinTrackSize.y;
    const int nMinSecond = bHoriz ? mmiSecond.ptMinTrackSize.x : mmiSecond.ptMinTrackSize.y;
    const int nMaxFirst = bHoriz ? mmiFirst.ptMaxTrackSize.x : mmiFirst.ptMaxTrackSize.y;
    const int nMaxSecond = bHoriz ? mmiSecond.ptMaxTrackSize.x : mmiSecond.ptMaxTrackSize.y;
    nMin = nNear + std::max(pManager->m_nSplitterGap, nMinFirst);
    nMax = nFar - (std::max(pManager->m_nSplitterGap, nMinSecond) + nGap);
    if (nFar - nNear > nMaxFirst)
        nMax = std::min(nMax, nNear + nMaxFirst);
    if (nFar - nNear > nMaxSecond)
        nMin = std::max(nMin, nFar - nMaxSecond - nGap);
    return nMin <= nMax;
}

void CXTPDockingPaneSplitterWnd::StoreDockingSizes()
{
    const BOOL bHoriz = IsHorizontal();
    auto store = [bHoriz](CXTPDockingPaneBase* pPane) {
        if (bHoriz)
            pPane->m_szDocking.cx = pPane->m_rcWindow.Width();
        else
            pPane->m_szDocking.cy = pPane->m_rcWindow.Height();
    };
    store(m_pContainer);
    for (CXTPDockingPaneBase* pPane : m_pContainer->GetPanes())
        store(pPane);
}

void CXTPDockingPaneSplitterWnd::Reposition(int nPos, const CRect& rcJoined)
{
    const BOOL bHoriz = IsHorizontal();
    const int nNear = bHoriz ? rcJoined.left : rcJoined.top;
    const int nFar = bHoriz ? rcJoined.right : rcJoined.bottom;
    if (nFar == nNear)
        return;
    const int nGap = m_pContainer->GetDockingPaneManager()->GetPaintManager()->GetSplitterSize();
    const double dRatio = static_cast<double>(nPos - nNear) / static_cast<double>(nFar - nNear);
    LONG& nFirst = bHoriz ? m_pFirst->m_szDocking.cx : m_pFirst->m_szDocking.cy;
    LONG& nSecond = bHoriz ? m_pSecond->m_szDocking.cx : m_pSecond->m_szDocking.cy;
    const int nSum = nFirst + nSecond + nGap;
    int nFirstSize = static_cast<int>(nSum * dRatio);
    if (bHoriz && m_pContainer->GetDockingPaneManager()->IsLayoutRTL())
        nFirstSize = nSum - nFirstSize - nGap;
    nFirst = nFirstSize;
    nSecond = nSum - nFirstSize - nGap;
}

void CXTPDockingPaneSplitterWnd::StartTracking(CPoint ptScreen)
{
    CXTPDockingPaneManager* pManager = m_pContainer->GetDockingPaneManager();
    if (pManager->m_bLockSplitters)
        return;
    int nMin = 0, nMax = 0;
    if (!GetLimits(nMin, nMax))
        return;
    StoreDockingSizes();
    const BOOL bHoriz = IsHorizontal();
    const CRect rcJoined = JoinedRect();
    CRect rcBar;
    GetWindowRect(&rcBar);
    CWnd* pFrame = m_pContainer->m_pParentFrame;

    if (pManager->m_bUseSplitterTracker) {
        CRect rcAvail =
            bHoriz ? CRect(nMin, rcBar.top, nMax, rcBar.top) : CRect(rcBar.left, nMin, rcBar.left, nMax);
        CXTSplitterDragTracker tracker;
        if (tracker.Track(pFrame, rcAvail, rcBar, ptScreen, bHoriz)) {
            Reposition(bHoriz ? rcBar.left : rcBar.top, rcJoined);
            if (CFrameWnd* pFrameWnd = m_pContainer->GetParentFrameWnd())
                pFrameWnd->DelayRecalcLayout();
        }
        return;
    }

    const int nOffset = bHoriz ? ptScreen.x - rcBar.left : ptScreen.y - rcBar.top;
    int nCurrent = bHoriz ? rcBar.left : rcBar.top;
    SetCapture();
    HWND hWnd = m_hWnd;
    while (::GetCapture() == hWnd) {
        MSG msg;
        if (!::GetMessageW(&msg, NULL, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_LBUTTONUP || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
            break;
        if (msg.message != WM_MOUSEMOVE) {
            ::DispatchMessageW(&msg);
            continue;
        }
        // Paint what earlier moves left behind before the next one.
        MSG msgPaint;
        while (::PeekMessageW(&msgPaint, NULL, WM_PAINT, WM_PAINT, PM_REMOVE))
            ::DispatchMessageW(&msgPaint);
        CPoint pt(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
        ::ClientToScreen(msg.hwnd, &pt);
        int nPos = (bHoriz ? pt.x : pt.y) - nOffset;
        nPos = std::max(nMin, std::min(nMax, nPos));
        if (nPos == nCurrent)
            continue;
        nCurrent = nPos;
        Reposition(nPos, rcJoined);
        if (CFrameWnd* pFrameWnd = m_pContainer->GetParentFrameWnd())
            pFrameWnd->RecalcLayout();
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
}

LRESULT CXTPDockingPaneSplitterWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(this);
        if (m_pContainer != NULL)
            m_pContainer->GetDockingPaneManager()->GetPaintManager()->DrawSplitter(&dc, this);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SETCURSOR: {
        int nMin = 0, nMax = 0;
        if (m_pContainer != NULL && !m_pContainer->GetDockingPaneManager()->m_bLockSplitters &&
            m_hCursor != NULL && GetLimits(nMin, nMax)) {
            ::SetCursor(m_hCursor);
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN:
        if (m_pContainer != NULL) {
            CPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            ClientToScreen(&pt);
            StartTracking(pt);
        }
        return 0;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
