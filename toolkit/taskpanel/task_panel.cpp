// The panel's life, themes, layout pass, animation, scrolling, painting and the group expansion rules
// of the three behaviours.
#include "task_panel.h"
#include "task_panel_themes.h"

#include "image_manager.h"
#include "mem_dc.h"
#include "toolkit_resource_ids.h"
#include "tooltip_controller.h"

#include <algorithm>

namespace {

// The timer period of the expand and collapse animation.
const UINT kAnimationPeriod = 30;
// Each layout pass restarts the animation at this divisor: at most ten ticks to the target.
const int kAnimationSteps = 10;
// Pixels per scroll-bar line and per wheel notch.
const int kLineScroll = 6;
const int kWheelScroll = 10;

} // namespace

BOOL TaskPanelScrollButton::IsVisible() const
{
    if (rcButton.IsRectEmpty() || pGroupScroll == NULL)
        return FALSE;
    return bEnabled || (pPanel != NULL && pPanel->GetPaintManager()->m_bCaptionScrollButtons);
}

IMPLEMENT_DYNAMIC(CXTPTaskPanel, CWnd)

BEGIN_INTERFACE_MAP(CXTPTaskPanel, CWnd)
INTERFACE_PART(CXTPTaskPanel, IID_IAccessible, Accessible)
END_INTERFACE_MAP()

// clang-format off
BEGIN_MESSAGE_MAP(CXTPTaskPanel, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_VSCROLL()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_MOUSELEAVE()
    ON_WM_CAPTURECHANGED()
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SETTINGCHANGE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
    ON_WM_MOUSEWHEEL()
    ON_WM_GETDLGCODE()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()
// clang-format on

CXTPTaskPanel::CXTPTaskPanel()
    : m_pGroups(NULL), m_pPaintManager(NULL), m_nTheme(2), m_nLockRedraw(0), m_nClientHeight(0),
      m_nOldClientHeight(0), m_rcMargins(XTPTaskPanelDefaultMarker()), m_nGroupSpacing(LONG(0x80000000)),
      m_bScrollVisible(FALSE), m_pItemHot(NULL), m_pItemFocused(NULL), m_pItemPressed(NULL),
      m_pItemDragging(NULL), m_pItemDragOver(NULL), m_bAnimation(TRUE),
      m_eAnimation(xtpTaskPanelAnimationYes), m_hHandCursor(NULL), m_nAnimateTimer(0),
      m_nAnimationStep(kAnimationSteps), m_pImageManager(NULL), m_bExpandable(TRUE), m_bAcceptFocus(TRUE),
      m_bGrabbingFocus(FALSE), m_bDrawFocusRect(FALSE), m_szItemIcon(16, 16), m_szGroupIcon(32, 32),
      m_bSingleSelection(FALSE), m_ptPressed(0, 0), m_nAllowDrag(xtpTaskItemAllowDragNone),
      m_bAllowDrop(TRUE), m_nItemLayout(xtpTaskItemLayoutDefault), m_bMultiColumn(FALSE), m_nColumnWidth(100),
      m_nHotTrackStyle(xtpTaskPanelHighlightDefault), m_nBehaviour(xtpTaskPanelBehaviourExplorer),
      m_pActiveGroup(NULL), m_pDropTarget(NULL), m_bTimerGroupHover(FALSE), m_pScrollButtonDown(NULL),
      m_pScrollButtonUp(NULL), m_bSelectItemOnFocus(FALSE), m_pToolTipController(NULL),
      m_bInUpdateScrollBar(FALSE)
{
    m_pGroups = new CXTPTaskPanelGroups(this);
    SetTheme(2);
    m_hHandCursor = ::LoadCursorW(NULL, MAKEINTRESOURCEW(32649)); // IDC_HAND
    if (m_hHandCursor == NULL)
        m_hHandCursor = AfxGetApp()->LoadCursor(XT_IDC_HAND);
    SetAnimation(xtpTaskPanelAnimationYes);
    ::OleInitialize(NULL);
    m_pDropTarget = new TaskPanelDropTarget();
    m_pScrollButtonDown = new TaskPanelScrollButton(FALSE);
    m_pScrollButtonUp = new TaskPanelScrollButton(TRUE);
    m_pScrollButtonDown->pPanel = this;
    m_pScrollButtonUp->pPanel = this;
    m_pImageManager = new CXTPImageManager();
    m_pToolTipController = new CXTPToolTipController();
    EnableAutomation();
}

CXTPTaskPanel::~CXTPTaskPanel()
{
    AssignReference(m_pItemHot, static_cast<CXTPTaskPanelItem*>(NULL));
    AssignReference(m_pItemFocused, static_cast<CXTPTaskPanelItem*>(NULL));
    AssignReference(m_pActiveGroup, static_cast<CXTPTaskPanelGroup*>(NULL));
    m_pGroups->Clear(FALSE);
    m_pGroups->InternalRelease();
    m_pGroups = NULL;
    m_pImageManager->InternalRelease();
    m_pToolTipController->InternalRelease();
    delete m_pPaintManager;
    delete m_pDropTarget;
    delete m_pScrollButtonDown;
    delete m_pScrollButtonUp;
    ::OleUninitialize();
}

BOOL CXTPTaskPanel::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, MAKEINTRESOURCEW(32512)));
    return CWnd::Create(lpszClass, NULL, dwStyle, rect, pParentWnd, nID);
}

int CXTPTaskPanel::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    // Items dropped from other panels and from this one arrive through the window's drop target.
    m_pDropTarget->Register(this);
    return 0;
}

void CXTPTaskPanel::OnDestroy()
{
    m_pDropTarget->Revoke();
    if (m_nAnimateTimer != 0) {
        KillTimer(XTP_TASKPANEL_TIMER_ANIMATION);
        m_nAnimateTimer = 0;
    }
    CWnd::OnDestroy();
}

void CXTPTaskPanel::SetTheme(int nTheme)
{
    // Numbers 0 to 12; any other is theme 2. A failed allocation raises here.
    delete m_pPaintManager;
    m_pPaintManager = NULL;
    m_pPaintManager = XTPCreateTaskPanelTheme(nTheme, &m_nTheme);
    m_pPaintManager->RefreshMetrics();
    Reposition(TRUE);
}

void CXTPTaskPanel::EndUpdate()
{
    if (m_nLockRedraw > 0 && --m_nLockRedraw == 0)
        Reposition(TRUE);
}

int CXTPTaskPanel::GetGroupCount() const
{
    return m_pGroups != NULL ? m_pGroups->GetCount() : 0;
}

CXTPTaskPanelGroup* CXTPTaskPanel::GetAt(int nIndex) const
{
    return m_pGroups != NULL ? static_cast<CXTPTaskPanelGroup*>(m_pGroups->GetAt(nIndex)) : NULL;
}

CXTPTaskPanelGroup* CXTPTaskPanel::GetNextGroup(int nIndex, int nDirection) const
{
    const int nNext = m_pGroups->GetNextVisibleIndex(nIndex, nDirection);
    return GetAt(nNext);
}

int CXTPTaskPanel::GetClientHeight() const
{
    if (GetSafeHwnd() == NULL)
        return 0;
    CRect rc;
    CWnd::GetClientRect(&rc);
    return rc.Height();
}

int CXTPTaskPanel::GetScrollOffset() const
{
    if (!m_bScrollVisible || GetSafeHwnd() == NULL)
        return 0;
    return const_cast<CXTPTaskPanel*>(this)->GetScrollPos(SB_VERT);
}

CXTPImageManager* CXTPTaskPanel::GetImageManager() const
{
    return m_pImageManager != NULL ? m_pImageManager : XTPImageManager();
}

void CXTPTaskPanel::SetImageManager(CXTPImageManager* pImageManager)
{
    if (m_pImageManager != NULL)
        m_pImageManager->InternalRelease();
    m_pImageManager = pImageManager;
    Reposition(TRUE);
}

void CXTPTaskPanel::SetMargins(long nLeft, long nTop, long nRight, long nBottom, long nMiddle)
{
    m_rcMargins.SetRect(nLeft, nTop, nRight, nBottom);
    m_nGroupSpacing = nMiddle;
    Reposition(TRUE);
}

void CXTPTaskPanel::SetBehaviour(int nBehaviour)
{
    m_nBehaviour = nBehaviour;
    Reposition(TRUE);
}

void CXTPTaskPanel::SetItemLayout(int nLayout)
{
    m_nItemLayout = nLayout;
    Reposition(TRUE);
}

int CXTPTaskPanel::GetItemLayout() const
{
    if (m_nItemLayout != xtpTaskItemLayoutDefault)
        return m_nItemLayout;
    return m_nBehaviour == xtpTaskPanelBehaviourToolbox ? xtpTaskItemLayoutImagesWithTextBelow
                                                        : xtpTaskItemLayoutImagesWithText;
}

void CXTPTaskPanel::SetHotTrackStyle(int nStyle)
{
    m_nHotTrackStyle = nStyle;
    Reposition(TRUE);
}

int CXTPTaskPanel::GetHotTrackStyle() const
{
    if (m_nHotTrackStyle != xtpTaskPanelHighlightDefault)
        return m_nHotTrackStyle;
    if (m_nBehaviour == xtpTaskPanelBehaviourExplorer)
        return xtpTaskPanelHighlightText;
    return m_nBehaviour == xtpTaskPanelBehaviourList ? xtpTaskPanelHighlightItem : xtpTaskPanelHighlightImage;
}

void CXTPTaskPanel::SetMultiColumn(BOOL bMultiColumn)
{
    m_bMultiColumn = bMultiColumn;
    Reposition(TRUE);
}

void CXTPTaskPanel::SetColumnWidth(int nWidth)
{
    m_nColumnWidth = nWidth;
    Reposition(TRUE);
}

void CXTPTaskPanel::SetIconSize(CSize szItemIcon, CSize szGroupIcon)
{
    m_szItemIcon = szItemIcon;
    m_szGroupIcon = szGroupIcon;
    Reposition(TRUE);
}

void CXTPTaskPanel::SetSingleSelection(BOOL bSingleSelection)
{
    m_bSingleSelection = bSingleSelection;
    Invalidate(FALSE);
}

void CXTPTaskPanel::SetAnimation(int nAnimation)
{
    m_eAnimation = nAnimation;
    if (nAnimation == xtpTaskPanelAnimationSystem) {
        BOOL bMenuAnimation = FALSE;
        ::SystemParametersInfoW(SPI_GETMENUANIMATION, 0, &bMenuAnimation, 0);
        m_bAnimation = bMenuAnimation;
    } else {
        m_bAnimation = nAnimation == xtpTaskPanelAnimationYes;
    }
}

LRESULT CXTPTaskPanel::NotifyOwner(WPARAM wParam, LPARAM lParam)
{
    if (GetSafeHwnd() == NULL)
        return 0;
    CWnd* pOwner = GetOwner();
    if (pOwner == NULL || pOwner->GetSafeHwnd() == NULL)
        return 0;
    return pOwner->SendMessage(XTPWM_TASKPANEL_NOTIFY, wParam, lParam);
}

void CXTPTaskPanel::OnClick(CXTPTaskPanelGroupItem* pItem)
{
    NotifyOwner(XTP_TPN_CLICK, reinterpret_cast<LPARAM>(pItem));
}

void CXTPTaskPanel::SetOpenGroup(CXTPTaskPanelGroup* pGroup)
{
    if (m_pActiveGroup != pGroup)
        AssignReference(m_pActiveGroup, pGroup);
}

void CXTPTaskPanel::SetGroupExpanded(CXTPTaskPanelGroup* pGroup, BOOL bExpanded)
{
    if (pGroup == NULL)
        return;
    struct
    {
        CXTPTaskPanelGroup* pGroup;
        BOOL bExpanded;
    } notify = {pGroup, bExpanded};
    if (m_nBehaviour == xtpTaskPanelBehaviourExplorer) {
        if (NotifyOwner(XTP_TPN_GROUPEXPANDING, reinterpret_cast<LPARAM>(&notify)) == XTP_ACTION_CANCEL)
            return;
        pGroup->m_bExpanded = bExpanded;
        pGroup->m_bExpanding = TRUE;
        Reposition(TRUE);
        return;
    }
    if (bExpanded) {
        if (NotifyOwner(XTP_TPN_GROUPEXPANDING, reinterpret_cast<LPARAM>(&notify)) == XTP_ACTION_CANCEL)
            return;
        CXTPTaskPanelGroup* pOld = m_pActiveGroup;
        if (pOld != NULL && pOld != pGroup && pOld->IsExpandable()) {
            pOld->m_bExpanded = FALSE;
            pOld->m_bExpanding = TRUE;
        }
        SetOpenGroup(pGroup);
        pGroup->m_bExpanded = TRUE;
        pGroup->m_bExpanding = TRUE;
    }
    Reposition(TRUE);
}

BOOL CXTPTaskPanel::IsGroupExpanded(const CXTPTaskPanelGroup* pGroup) const
{
    if (m_nBehaviour == xtpTaskPanelBehaviourExplorer)
        return pGroup->m_bExpanded;
    if (pGroup == m_pActiveGroup)
        return TRUE;
    if (!pGroup->m_bExpanded)
        return FALSE;
    return !pGroup->IsExpandable();
}

void CXTPTaskPanel::OnItemRemoved(CXTPTaskPanelItem* pItem)
{
    if (pItem == NULL)
        return;
    if (pItem == m_pActiveGroup)
        AssignReference(m_pActiveGroup, static_cast<CXTPTaskPanelGroup*>(NULL));
    if (pItem == m_pItemHot)
        AssignReference(m_pItemHot, static_cast<CXTPTaskPanelItem*>(NULL));
    if (pItem == m_pItemFocused)
        AssignReference(m_pItemFocused, static_cast<CXTPTaskPanelItem*>(NULL));
    // Raw pointers go too: a removed item may be deleted at once.
    if (pItem == m_pItemPressed)
        m_pItemPressed = NULL;
    if (pItem == m_pItemDragOver)
        m_pItemDragOver = NULL;
    if (m_pScrollButtonUp->pGroupScroll == pItem || m_pScrollButtonUp->pGroupCaption == pItem ||
        m_pScrollButtonDown->pGroupScroll == pItem || m_pScrollButtonDown->pGroupCaption == pItem) {
        for (TaskPanelScrollButton* pButton : {m_pScrollButtonUp, m_pScrollButtonDown}) {
            pButton->rcButton.SetRectEmpty();
            pButton->pGroupScroll = pButton->pGroupCaption = NULL;
        }
    }
    // The items of a removed group leave with it.
    if (pItem->IsGroup()) {
        CXTPTaskPanelGroup* pGroup = static_cast<CXTPTaskPanelGroup*>(pItem);
        for (int i = 0; i < pGroup->GetCount(); i++)
            OnItemRemoved(pGroup->GetAt(i));
    }
}

// ---------------------------------------------------------------------------------------------------
// Layout

void CXTPTaskPanel::Reposition(BOOL bAnimate)
{
    if (GetSafeHwnd() == NULL || m_nLockRedraw > 0 || m_pPaintManager == NULL)
        return;
    CRect rcClient;
    CWnd::GetClientRect(&rcClient);
    const CRect rcMargins = m_pPaintManager->GetControlMargins(this);
    const int nSpacing = m_pPaintManager->GetGroupSpacing(this);
    const int nLeft = rcClient.left + rcMargins.left;
    const int nRight = rcClient.right - rcMargins.right;
    int y = rcClient.top + rcMargins.top;

    {
        CClientDC dc(this);
        for (int i = 0; i < GetGroupCount(); i++) {
            CXTPTaskPanelGroup* pGroup = GetAt(i);
            if (pGroup->IsVisible())
                pGroup->OnCalcClientHeight(&dc, CRect(nLeft, 0, nRight, 0));
        }
    }

    BOOL bFirst = TRUE;
    for (int i = 0; i < GetGroupCount(); i++) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        if (!pGroup->IsVisible()) {
            pGroup->SnapToTarget();
            continue;
        }
        if (!bFirst)
            y += nSpacing;
        bFirst = FALSE;
        const CRect rcGroup = pGroup->OnLayout(nLeft, y, nRight, bAnimate);
        y = rcGroup.bottom + m_pPaintManager->GetGroupOuterMargins(pGroup).bottom;
    }
    m_nClientHeight = y + rcMargins.bottom;

    RepositionScrollButtons();

    m_nAnimationStep = kAnimationSteps;
    BOOL bAnimating = FALSE;
    for (int i = 0; i < GetGroupCount(); i++)
        bAnimating |= GetAt(i)->IsAnimating();
    if (bAnimating && m_nAnimateTimer == 0)
        m_nAnimateTimer = SetTimer(XTP_TASKPANEL_TIMER_ANIMATION, kAnimationPeriod, NULL);
    else if (!bAnimating && m_nAnimateTimer != 0) {
        KillTimer(XTP_TASKPANEL_TIMER_ANIMATION);
        m_nAnimateTimer = 0;
    }

    UpdateScrollBar();

    if (!m_bAnimation)
        AnimateGroups(FALSE);
    Invalidate(FALSE);
}

BOOL CXTPTaskPanel::AnimateGroups(BOOL bOnlyAnimating)
{
    BOOL bMoved = FALSE;
    for (int i = 0; i < GetGroupCount(); i++) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        if (bOnlyAnimating && !pGroup->IsAnimating())
            continue;
        bMoved |= pGroup->IsAnimating();
        pGroup->OnAnimate(m_nAnimationStep);
    }
    RepositionScrollButtons();
    // A group moving under an open caption editor ends the edit.
    const HWND hFocus = ::GetFocus();
    if (hFocus != NULL && ::GetParent(hFocus) == m_hWnd &&
        dynamic_cast<CXTPTaskPanelEditItem*>(CWnd::FromHandlePermanent(hFocus)) != NULL)
        SetFocus();
    return bMoved;
}

void CXTPTaskPanel::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == XTP_TASKPANEL_TIMER_ANIMATION) {
        const BOOL bMoved = AnimateGroups(TRUE);
        Invalidate(FALSE);
        m_nAnimationStep--;
        if (!bMoved) {
            KillTimer(XTP_TASKPANEL_TIMER_ANIMATION);
            m_nAnimateTimer = 0;
        }
        return;
    }
    if (nIDEvent == XTP_TASKPANEL_TIMER_HOVER_EXPAND) {
        KillTimer(XTP_TASKPANEL_TIMER_HOVER_EXPAND);
        m_bTimerGroupHover = FALSE;
        if (m_pItemDragOver != NULL && m_pItemDragOver->IsGroup()) {
            CXTPTaskPanelGroup* pGroup = static_cast<CXTPTaskPanelGroup*>(m_pItemDragOver);
            if (!pGroup->IsExpanded())
                pGroup->SetExpanded(TRUE);
        }
        return;
    }
    CWnd::OnTimer(nIDEvent);
}

void CXTPTaskPanel::UpdateScrollButtons()
{
    for (TaskPanelScrollButton* pButton : {m_pScrollButtonUp, m_pScrollButtonDown}) {
        if (pButton->pGroupScroll != NULL)
            pButton->bEnabled = pButton->pGroupScroll->IsScrollButtonEnabled(pButton->bScrollUp);
    }
}

void CXTPTaskPanel::RepositionScrollButtons()
{
    for (TaskPanelScrollButton* pButton : {m_pScrollButtonUp, m_pScrollButtonDown}) {
        pButton->rcButton.SetRectEmpty();
        pButton->pGroupScroll = pButton->pGroupCaption = NULL;
    }
    if (m_nBehaviour == xtpTaskPanelBehaviourExplorer || m_pActiveGroup == NULL ||
        !m_pActiveGroup->IsVisible() || GetSafeHwnd() == NULL)
        return;
    CXTPTaskPanelGroup* pGroup = m_pActiveGroup;
    m_pScrollButtonUp->pGroupScroll = m_pScrollButtonDown->pGroupScroll = pGroup;
    if (m_pPaintManager->m_bCaptionScrollButtons) {
        CRect rcClient;
        CWnd::GetClientRect(&rcClient);
        const CRect rcMargins = m_pPaintManager->GetControlMargins(this);
        const int nSize = pGroup->GetCaptionHeight();
        const int nRight =
            rcClient.right - m_pPaintManager->GetGroupOuterMargins(pGroup).right - rcMargins.right;
        const CRect rcCaption = pGroup->GetTargetCaptionRect();
        m_pScrollButtonUp->rcButton.SetRect(nRight - nSize, rcCaption.top, nRight, rcCaption.top + nSize);
        m_pScrollButtonUp->pGroupCaption = pGroup;
        CXTPTaskPanelGroup* pNext = GetNextGroup(m_pGroups->IndexOf(pGroup), 1);
        if (pNext != NULL) {
            const CRect rcNext = pNext->GetTargetCaptionRect();
            m_pScrollButtonDown->rcButton.SetRect(nRight - nSize, rcNext.top, nRight, rcNext.top + nSize);
            m_pScrollButtonDown->pGroupCaption = pNext;
        } else {
            const int nBottom =
                std::max(static_cast<int>(rcClient.bottom), m_nClientHeight) - rcMargins.bottom;
            m_pScrollButtonDown->rcButton.SetRect(nRight - nSize, nBottom - nSize, nRight, nBottom);
        }
    } else {
        CRect rcArea = pGroup->GetTargetClientRect();
        rcArea.DeflateRect(4, 4);
        m_pScrollButtonUp->rcButton.SetRect(rcArea.right - 16, rcArea.top, rcArea.right, rcArea.top + 16);
        m_pScrollButtonDown->rcButton.SetRect(rcArea.right - 16, rcArea.bottom - 16, rcArea.right,
                                              rcArea.bottom);
    }
    UpdateScrollButtons();
}

void CXTPTaskPanel::UpdateScrollBar()
{
    if (m_bInUpdateScrollBar || GetSafeHwnd() == NULL)
        return;
    m_bInUpdateScrollBar = TRUE;
    m_nOldClientHeight = m_nClientHeight;
    const int nClientHeight = GetClientHeight();
    const BOOL bShow = nClientHeight < m_nClientHeight;
    if (bShow != m_bScrollVisible || bShow != ((GetStyle() & WS_VSCROLL) != 0)) {
        m_bScrollVisible = bShow;
        ShowScrollBar(SB_VERT, bShow);
    }
    if (bShow) {
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        GetScrollInfo(SB_VERT, &si);
        const int nPage = GetClientHeight();
        if (static_cast<int>(si.nPage) != nPage || si.nMax != m_nClientHeight - 1 || si.nMin != 0) {
            SCROLLINFO siNew = {};
            siNew.cbSize = sizeof(siNew);
            siNew.fMask = SIF_RANGE | SIF_PAGE;
            siNew.nMax = m_nClientHeight - 1;
            siNew.nPage = static_cast<UINT>(nPage);
            SetScrollInfo(SB_VERT, &siNew, TRUE);
            AnimateGroups(FALSE);
        }
        ::EnableScrollBar(m_hWnd, SB_VERT, ESB_ENABLE_BOTH);
    }
    m_bInUpdateScrollBar = FALSE;
}

void CXTPTaskPanel::ScrollTo(int nPosition)
{
    SetScrollPos(SB_VERT, nPosition, TRUE);
    AnimateGroups(FALSE);
    Invalidate(FALSE);
}

void CXTPTaskPanel::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    const int nCurrent = GetScrollPos(SB_VERT);
    const int nLimit = GetScrollLimit(SB_VERT);
    const int nPage = GetClientHeight();
    int nNew = nCurrent;
    switch (nSBCode) {
    case SB_LINEUP:
        nNew = std::max(0, nCurrent - kLineScroll);
        break;
    case SB_LINEDOWN:
        nNew = std::min(nLimit, nCurrent + kLineScroll);
        break;
    case SB_PAGEUP:
        nNew = std::max(0, nCurrent - nPage);
        break;
    case SB_PAGEDOWN:
        nNew = std::min(nLimit, nCurrent + nPage);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        // The message's 16-bit position cuts long panels; the tracking position does not.
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        nNew = GetScrollInfo(SB_VERT, &si) ? si.nTrackPos : static_cast<int>(nPos);
        break;
    }
    case SB_TOP:
        nNew = 0;
        break;
    case SB_BOTTOM:
        nNew = nLimit;
        break;
    default:
        break;
    }
    ScrollTo(nNew);
    CWnd::OnVScroll(nSBCode, nPos, pScrollBar);
}

BOOL CXTPTaskPanel::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    if (m_bScrollVisible) {
        const int nCurrent = GetScrollPos(SB_VERT);
        const int nNew = zDelta > 0 ? std::max(0, nCurrent - kWheelScroll)
                                    : std::min(GetScrollLimit(SB_VERT), nCurrent + kWheelScroll);
        ScrollTo(nNew);
        return TRUE;
    }
    if (m_nBehaviour != xtpTaskPanelBehaviourExplorer && m_pActiveGroup != NULL) {
        const BOOL bUp = zDelta > 0;
        for (int i = 0; i < 3 && m_pActiveGroup->IsScrollButtonEnabled(bUp); i++)
            m_pActiveGroup->Scroll(bUp ? -m_pActiveGroup->GetItemsInRow() : m_pActiveGroup->GetItemsInRow());
        Invalidate(FALSE);
        return TRUE;
    }
    return CWnd::OnMouseWheel(nFlags, zDelta, pt);
}

void CXTPTaskPanel::EnsureVisibleRect(const CRect& rc)
{
    if (!m_bScrollVisible)
        return;
    const int nOffset = GetScrollOffset();
    const int nClientHeight = GetClientHeight();
    if (rc.bottom <= nOffset + nClientHeight) {
        if (rc.top < nOffset)
            ScrollTo(rc.top);
        return;
    }
    ScrollTo(std::min(static_cast<int>(rc.top), static_cast<int>(rc.bottom) - nClientHeight));
}

void CXTPTaskPanel::EnsureVisible(CXTPTaskPanelItem* pItem)
{
    if (pItem == NULL || !pItem->IsVisible() || GetSafeHwnd() == NULL)
        return;
    CXTPTaskPanelGroup* pGroup = pItem->GetItemGroup();
    if (pGroup == NULL)
        return;
    if (pItem == pGroup) {
        EnsureVisibleRect(pGroup->GetCaptionRect());
        return;
    }
    if (!pGroup->IsExpanded())
        pGroup->SetExpanded(TRUE);
    CXTPTaskPanelGroupItem* pGroupItem = static_cast<CXTPTaskPanelGroupItem*>(pItem);
    if (m_nBehaviour == xtpTaskPanelBehaviourExplorer) {
        CRect rc = pGroupItem->GetItemRect();
        rc.OffsetRect(0, pGroup->GetTargetClientRect().top);
        EnsureVisibleRect(rc);
    } else {
        EnsureVisibleRect(pGroup->GetTargetRect());
        pGroup->EnsureVisible(pGroupItem, TRUE);
    }
}

void CXTPTaskPanel::OnSize(UINT nType, int cx, int cy)
{
    Reposition(m_nBehaviour == xtpTaskPanelBehaviourExplorer);
    CWnd::OnSize(nType, cx, cy);
}

void CXTPTaskPanel::OnSysColorChange()
{
    m_pPaintManager->RefreshMetrics();
    Reposition(TRUE);
    CWnd::OnSysColorChange();
}

void CXTPTaskPanel::OnSettingChange(UINT uFlags, LPCTSTR lpszSection)
{
    CWnd::OnSettingChange(uFlags, lpszSection);
    if (m_eAnimation == xtpTaskPanelAnimationSystem)
        SetAnimation(xtpTaskPanelAnimationSystem);
    m_pPaintManager->RefreshMetrics();
    Reposition(TRUE);
}

// ---------------------------------------------------------------------------------------------------
// Painting

BOOL CXTPTaskPanel::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPTaskPanel::OnPaint()
{
    CPaintDC dcPaint(this);
    CRect rcClient;
    CWnd::GetClientRect(&rcClient);
    CXTMemDC dc(&dcPaint, rcClient);
    const int nOffset = GetScrollOffset();
    dc.SetWindowOrg(0, nOffset);
    CRect rcClip(rcClient);
    rcClip.OffsetRect(0, nOffset);
    OnDraw(&dc, rcClip);
    dc.SetWindowOrg(0, 0);
}

void CXTPTaskPanel::OnDraw(CDC* pDC, CRect /*rcClipBox*/)
{
    m_pPaintManager->FillTaskPanel(pDC, this);
    for (int i = 0; i < GetGroupCount(); i++) {
        CXTPTaskPanelGroup* pGroup = GetAt(i);
        if (pGroup->IsVisible())
            pGroup->OnPaint(pDC);
    }
    m_pPaintManager->DrawScrollButton(pDC, m_pScrollButtonUp);
    m_pPaintManager->DrawScrollButton(pDC, m_pScrollButtonDown);
}

LRESULT CXTPTaskPanel::OnPrintClient(WPARAM wParam, LPARAM lParam)
{
    HDC hDC = reinterpret_cast<HDC>(wParam);
    if (lParam & PRF_NONCLIENT)
        Default();
    CDC* pDC = CDC::FromHandle(hDC);
    POINT ptOld;
    ::OffsetViewportOrgEx(hDC, 0, -GetScrollOffset(), &ptOld);
    CRect rcClient;
    CWnd::GetClientRect(&rcClient);
    OnDraw(pDC, rcClient);
    ::SetViewportOrgEx(hDC, ptOld.x, ptOld.y, NULL);
    if (lParam & PRF_CHILDREN) {
        // Bottom of the z order first, so that the top child ends on top.
        for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD)
                               ? ::GetWindow(::GetWindow(m_hWnd, GW_CHILD), GW_HWNDLAST)
                               : NULL;
             hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDPREV)) {
            if (!::IsWindowVisible(hChild))
                continue;
            CRect rcChild;
            ::GetWindowRect(hChild, &rcChild);
            ScreenToClient(&rcChild);
            POINT ptChildOld;
            ::SetViewportOrgEx(hDC, ptOld.x + rcChild.left, ptOld.y + rcChild.top, &ptChildOld);
            ::SendMessageW(hChild, WM_PRINTCLIENT, wParam, lParam);
            ::SetViewportOrgEx(hDC, ptChildOld.x, ptChildOld.y, NULL);
        }
    }
    return 1;
}
