// The toolkit's status bar: panes and their parts in the system's status window, pending texts, hosted
// windows, the window's own messages, and drawing through the paint manager.
#include "status_bar.h"

#include "command_bars.h"
#include "draw_helpers.h"

#include <afxpriv.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPStatusBar, CControlBar)

namespace {

const int kPaneFrame = 6;      // a part's edges around the pane's width
const int kMinDrawHeight = 20; // the drawing area's height that the bar asks of its window

} // namespace

// -- Bar: panes -------------------------------------------------------------------------------

// clang-format off
BEGIN_MESSAGE_MAP(CXTPStatusBar, CControlBar)
    ON_WM_NCHITTEST()
    ON_WM_NCPAINT()
    ON_WM_PAINT()
    ON_WM_PRINTCLIENT()
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_NCCALCSIZE()
    ON_WM_SIZE()
    ON_WM_WINDOWPOSCHANGING()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
    ON_MESSAGE(SB_SETMINHEIGHT, OnSetMinHeight)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()
// clang-format on

CXTPStatusBar::CXTPStatusBar()
{
    // The panes start at the client's edge; the window's frame is the non-client area.
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
    const CXTPNonClientMetricsInfo metrics;
    if (m_fontStatus.CreateFontIndirect(&metrics.lfStatusFont))
        m_hFont = static_cast<HFONT>(m_fontStatus.GetSafeHandle());
}

CXTPStatusBar::~CXTPStatusBar()
{
    RemoveAll();
}

BOOL CXTPStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    const BOOL bResizable = pParentWnd != NULL && (pParentWnd->GetStyle() & WS_THICKFRAME) != 0;
    return CreateEx(pParentWnd, bResizable ? SBARS_SIZEGRIP : 0, dwStyle, nID);
}

BOOL CXTPStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    // The frame's layout places the bar: the window must neither align nor size itself.
    const DWORD dwWndStyle =
        (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;
    return CWnd::Create(STATUSCLASSNAME, NULL, dwWndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CXTPStatusBar::PreCreateWindow(CREATESTRUCT& cs)
{
    // The low word of the window style belongs to the system's control; the bar styles were kept in
    // m_dwStyle already.
    if (cs.lpszClass == NULL)
        cs.lpszClass = STATUSCLASSNAME;
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

int CXTPStatusBar::TextWidth(const CString& strText) const
{
    CWindowDC dc(NULL);
    HGDIOBJ hOld = m_hFont != NULL ? ::SelectObject(dc.m_hDC, m_hFont) : NULL;
    SIZE size = {};
    ::GetTextExtentPoint32W(dc.m_hDC, strText.GetString(), strText.GetLength(), &size);
    if (hOld != NULL)
        ::SelectObject(dc.m_hDC, hOld);
    return size.cx;
}

namespace {

// The indicator's text: its string up to the first line feed (the rest would be a tip).
BOOL LoadIndicatorText(UINT nID, CString& strText)
{
    if (!strText.LoadString(nID))
        return FALSE;
    const int nFeed = strText.Find(L'\n');
    if (nFeed >= 0)
        strText = strText.Left(nFeed);
    return TRUE;
}

} // namespace

CXTPStatusBarPane* CXTPStatusBar::NewIndicator(UINT nID, const CString& strText, int nIndex)
{
    auto* pPane = new CXTPStatusBarPane;
    pPane->m_pStatusBar = this;
    pPane->m_nID = nID;
    pPane->m_strText = strText;
    pPane->m_nPending = strText.IsEmpty() ? 0 : CXTPStatusBarPane::pendingText;
    if (nID == ID_SEPARATOR)
        pPane->m_nStyle = nIndex == 0 ? SBPS_NOBORDERS | SBPS_STRETCH : SBPS_STRETCH;
    else
        pPane->m_cxText = TextWidth(strText);
    m_arrPanes.insert(m_arrPanes.begin() + nIndex, pPane);
    return pPane;
}

BOOL CXTPStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || (nIDCount > 0 && lpIDArray == NULL))
        return FALSE;
    std::vector<CString> texts(static_cast<size_t>(nIDCount));
    for (int i = 0; i < nIDCount; ++i)
        if (lpIDArray[i] != ID_SEPARATOR && !LoadIndicatorText(lpIDArray[i], texts[static_cast<size_t>(i)]))
            return FALSE; // an indicator without its text cannot be sized
    RemoveAll();
    for (int i = 0; i < nIDCount; ++i)
        NewIndicator(lpIDArray[i], texts[static_cast<size_t>(i)], i);
    OnPanesChanged();
    return TRUE;
}

void CXTPStatusBar::OnPanesChanged()
{
    for (int i = 0; i < GetPaneCount(); ++i)
        m_arrPanes[static_cast<size_t>(i)]->m_nIndex = i;
    LayoutPanes(TRUE, TRUE);
    if (m_hWnd != NULL)
        Invalidate();
}

CXTPStatusBarPane* CXTPStatusBar::AddIndicator(UINT nID, int nIndex)
{
    if (nIndex < 0 || nIndex > GetPaneCount())
        nIndex = GetPaneCount();
    CString strText;
    if (nID != ID_SEPARATOR)
        LoadIndicatorText(nID, strText);
    CXTPStatusBarPane* pPane = NewIndicator(nID, strText, nIndex);
    OnPanesChanged();
    return pPane;
}

void CXTPStatusBar::RemoveIndexed(int nIndex)
{
    CXTPStatusBarPane* pPane = GetPane(nIndex);
    if (pPane == NULL)
        return;
    m_arrPanes.erase(m_arrPanes.begin() + nIndex);
    pPane->m_pStatusBar = NULL;
    pPane->InternalRelease();
    OnPanesChanged();
}

void CXTPStatusBar::RemoveAll()
{
    std::vector<CXTPStatusBarPane*> panes;
    panes.swap(m_arrPanes);
    for (CXTPStatusBarPane* pPane : panes) {
        pPane->m_pStatusBar = NULL;
        pPane->InternalRelease();
    }
}

CXTPStatusBarPane* CXTPStatusBar::GetPane(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetPaneCount())
        return NULL;
    return m_arrPanes[static_cast<size_t>(nIndex)];
}

CXTPStatusBarPane* CXTPStatusBar::FindPane(UINT nID) const
{
    return GetPane(CommandToIndex(nID));
}

int CXTPStatusBar::GetVisiblePaneCount() const
{
    return static_cast<int>(std::count_if(m_arrPanes.begin(), m_arrPanes.end(),
                                          [](const CXTPStatusBarPane* pPane) { return pPane->m_bVisible; }));
}

int CXTPStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < GetPaneCount(); ++i)
        if (m_arrPanes[static_cast<size_t>(i)]->m_nID == nIDFind)
            return i;
    return -1;
}

CString CXTPStatusBar::GetPaneText(int nIndex) const
{
    const CXTPStatusBarPane* pPane = GetPane(nIndex);
    return pPane != NULL ? pPane->m_strText : CString();
}

BOOL CXTPStatusBar::SetPaneWidth(int nIndex, int cxText)
{
    CXTPStatusBarPane* pPane = GetPane(nIndex);
    if (pPane == NULL)
        return FALSE;
    pPane->SetWidth(cxText);
    return TRUE;
}

BOOL CXTPStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    CXTPStatusBarPane* pPane = GetPane(nIndex);
    if (pPane == NULL)
        return FALSE;
    pPane->SetStyle(nStyle);
    return TRUE;
}

BOOL CXTPStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    CXTPStatusBarPane* pPane = GetPane(nIndex);
    if (pPane == NULL)
        return FALSE;
    const CString strNew = lpszNewText != NULL ? lpszNewText : L"";
    if (!(pPane->m_nPending & CXTPStatusBarPane::pendingText) && pPane->m_strText == strNew)
        return TRUE;
    pPane->m_strText = strNew;
    if (!pPane->m_bVisible)
        return FALSE;
    // Without a window (or a part in it yet) the text waits for the next layout.
    if (!bUpdate || m_hWnd == NULL || pPane->m_nPart < 0) {
        pPane->m_nPending |= CXTPStatusBarPane::pendingText;
        return TRUE;
    }
    pPane->m_nPending &= ~CXTPStatusBarPane::pendingText;
    LPCTSTR lpszShown = (pPane->m_nStyle & SBPS_DISABLED) ? L"" : pPane->m_strText.GetString();
    SendMessage(SB_SETTEXT, static_cast<WPARAM>(pPane->m_nPart) | LOWORD(pPane->m_nStyle),
                reinterpret_cast<LPARAM>(lpszShown));
    Invalidate();
    return TRUE;
}

// -- Bar: layout ------------------------------------------------------------------------------

BOOL CXTPStatusBar::HasSizeGrip() const
{
    return m_hWnd != NULL && (GetStyle() & SBARS_SIZEGRIP) != 0;
}

BOOL CXTPStatusBar::IsParentZoomed() const
{
    CWnd* pParent = GetParent();
    return pParent != NULL && pParent->IsZoomed();
}

BOOL CXTPStatusBar::IsGripperShown() const
{
    CWnd* pParent = GetParent();
    return HasSizeGrip() && pParent != NULL && (pParent->GetStyle() & WS_THICKFRAME) != 0 &&
           !pParent->IsZoomed();
}

void CXTPStatusBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    CControlBar::CalcInsideRect(rect, bHorz);
    if (HasSizeGrip() && !IsParentZoomed()) {
        int borders[3] = {};
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        rect.right -= 2 * ::GetSystemMetrics(SM_CXBORDER) + borders[1] + ::GetSystemMetrics(SM_CXVSCROLL);
    }
}

void CXTPStatusBar::LayoutPanes(BOOL bUpdateParts, BOOL bUpdateText)
{
    if (m_hWnd == NULL)
        return;
    if (bUpdateParts) {
        CRect rect;
        GetClientRect(&rect);
        CalcInsideRect(rect, TRUE);
        int borders[3] = {};
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        const int nGap = borders[2];

        int nSpare = rect.Width() + nGap;
        int nStretch = 0;
        int nPart = 0;
        for (int i = 0; i < GetPaneCount(); ++i) {
            CXTPStatusBarPane* pPane = m_arrPanes[static_cast<size_t>(i)];
            pPane->m_nIndex = i;
            const int nNewPart = pPane->m_bVisible ? nPart++ : -1;
            // A pane in another part must tell the window its text again.
            if (nNewPart != pPane->m_nPart && nNewPart >= 0)
                pPane->m_nPending |= CXTPStatusBarPane::pendingText;
            pPane->m_nPart = nNewPart;
            if (!pPane->m_bVisible)
                continue;
            if (pPane->m_nStyle & SBPS_STRETCH)
                ++nStretch;
            nSpare -= kPaneFrame + pPane->m_cxText + nGap;
        }

        std::vector<int> edges;
        int x = rect.left;
        for (CXTPStatusBarPane* pPane : m_arrPanes) {
            if (!pPane->m_bVisible)
                continue;
            int nEdge = x + kPaneFrame + pPane->m_cxText;
            if (pPane->m_nStyle & SBPS_STRETCH) {
                // What is left is shared by the stretching panes still to come, so the remainder of
                // the division goes to the later ones.
                if (nSpare > 0) {
                    const int nExtra = nSpare / nStretch;
                    nEdge += nExtra;
                    nSpare -= nExtra;
                }
                --nStretch;
            }
            edges.push_back(nEdge);
            x = nEdge + nGap;
        }
        if (edges.empty()) {
            // One empty part in the place of panes that are all hidden.
            int nAll = -1;
            SendMessage(SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&nAll));
            SendMessage(SB_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        } else {
            SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
        }
        PositionControls();
    }
    if (bUpdateText) {
        for (int i = 0; i < GetPaneCount(); ++i) {
            CXTPStatusBarPane* pPane = m_arrPanes[static_cast<size_t>(i)];
            if (pPane->m_bVisible && (pPane->m_nPending & CXTPStatusBarPane::pendingText)) {
                const CString strText = pPane->m_strText;
                SetPaneText(i, strText, TRUE);
            }
        }
    }
}

void CXTPStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    const CXTPStatusBarPane* pPane = GetPane(nIndex);
    if (pPane == NULL || m_hWnd == NULL || !pPane->m_bVisible || pPane->m_nPart < 0)
        return;
    if (!SendMessage(SB_GETRECT, static_cast<WPARAM>(pPane->m_nPart), reinterpret_cast<LPARAM>(lpRect))) {
        ::SetRectEmpty(lpRect);
        return;
    }
    const auto next = std::find_if(m_arrPanes.begin() + nIndex + 1, m_arrPanes.end(),
                                   [](const CXTPStatusBarPane* p) { return p->m_bVisible; });
    if (next != m_arrPanes.end())
        return;
    // The last part: the system's window may run it to the edge; it ends where the pane does, or a
    // stretching pane before the size grip.
    if (!(pPane->m_nStyle & SBPS_STRETCH)) {
        lpRect->right = lpRect->left + pPane->m_cxText + 3 * ::GetSystemMetrics(SM_CXEDGE);
    } else {
        CRect rectClient;
        GetClientRect(&rectClient);
        lpRect->right = rectClient.right;
        if (HasSizeGrip())
            lpRect->right -= ::GetSystemMetrics(SM_CXSMICON) + ::GetSystemMetrics(SM_CXEDGE);
    }
}

void CXTPStatusBar::PositionControls()
{
    for (int i = 0; i < GetPaneCount(); ++i) {
        const CXTPStatusBarPane* pPane = m_arrPanes[static_cast<size_t>(i)];
        if (pPane->m_hWndPane == NULL || !::IsWindow(pPane->m_hWndPane))
            continue;
        CRect rect;
        GetItemRect(i, &rect);
        if (!(pPane->m_nStyle & SBPS_NOBORDERS) && !rect.IsRectEmpty())
            rect.DeflateRect(::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CXEDGE));
        ::SetWindowPos(pPane->m_hWndPane, NULL, rect.left, rect.top, std::max(0, rect.Width()),
                       std::max(0, rect.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

CSize CXTPStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    CWindowDC dc(NULL);
    HGDIOBJ hOld = m_hFont != NULL ? ::SelectObject(dc.m_hDC, m_hFont) : NULL;
    TEXTMETRIC tm = {};
    ::GetTextMetrics(dc.m_hDC, &tm);
    if (hOld != NULL)
        ::SelectObject(dc.m_hDC, hOld);
    int borders[3] = {0, 2, 2};
    if (m_hWnd != NULL)
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    // The drawing area, the window's vertical borders and the non-client strip along the top.
    size.cy += std::max(m_nMinHeight, static_cast<int>(tm.tmHeight)) + 2 * borders[1] + 2;
    return size;
}

// -- Bar: idle update -------------------------------------------------------------------------

namespace {

// A pane's state from an update handler: a disabled pane shows no text, a checked one pops out.
class CStatusPaneCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        CXTPStatusBarPane* pPane = Pane();
        const UINT nStyle = pPane->GetStyle() & ~SBPS_DISABLED;
        pPane->SetStyle(bOn ? nStyle : nStyle | SBPS_DISABLED);
    }
    void SetCheck(int nCheck) override
    {
        CXTPStatusBarPane* pPane = Pane();
        const UINT nStyle = pPane->GetStyle() & ~SBPS_POPOUT;
        pPane->SetStyle(nCheck ? nStyle | SBPS_POPOUT : nStyle);
    }
    void SetText(LPCTSTR lpszText) override { Pane()->SetText(lpszText); }

    CXTPStatusBar* m_pBar = NULL;

private:
    CXTPStatusBarPane* Pane() const { return m_pBar->GetPane(static_cast<int>(m_nIndex)); }
};

} // namespace

void CXTPStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    UpdatePanes(pTarget);
}

void CXTPStatusBar::UpdatePanes(CCmdTarget* pTarget)
{
    CStatusPaneCmdUI state;
    state.m_pOther = this;
    state.m_pBar = this;
    state.m_nIndexMax = static_cast<UINT>(GetPaneCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_arrPanes[state.m_nIndex]->m_nID;
        // The message pane has no handler; indicators without one keep their state.
        if (state.m_nID != ID_SEPARATOR)
            state.DoUpdate(pTarget, FALSE);
    }
}

LRESULT CXTPStatusBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam)
{
    // The control bar carries out a delayed show or hide and updates the panes against the owner
    // frame (or the parent frame). An owner that is no frame, with no frame above the bar (a
    // dialog), answers through its own command routing.
    const LRESULT lResult = CControlBar::OnIdleUpdateCmdUI(wParam, lParam);
    CWnd* pOwner = GetOwner();
    if (pOwner != NULL && !pOwner->IsFrameWnd() && GetParentFrame() == NULL && (GetStyle() & WS_VISIBLE))
        UpdatePanes(pOwner);
    return lResult;
}

// -- Bar: window messages ---------------------------------------------------------------------

int CXTPStatusBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CControlBar::OnCreate(lpCreateStruct) == -1)
        return -1;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont));
    SendMessage(SB_SETMINHEIGHT, kMinDrawHeight);
    return 0;
}

LRESULT CXTPStatusBar::OnNcHitTest(CPoint)
{
    // Only the size grip is the system's; everything else belongs to the panes.
    const LRESULT nHit = Default();
    return nHit == HTBOTTOMRIGHT ? nHit : HTCLIENT;
}

void CXTPStatusBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    // The control bar's borders (the size grip stays inside, where the system's window draws it),
    // one more pixel on the left and two along the top.
    CRect rect(0, 0, 0, 0);
    CControlBar::CalcInsideRect(rect, TRUE);
    RECT& rectClient = lpncsp->rgrc[0];
    rectClient.left += rect.left + 1;
    rectClient.top += rect.top + 2;
    rectClient.right += rect.right;
    rectClient.bottom += rect.bottom;
    rectClient.right = std::max(rectClient.left, rectClient.right);
    rectClient.bottom = std::max(rectClient.top, rectClient.bottom);
}

void CXTPStatusBar::OnNcPaint()
{
    EraseNonClient();
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    if (pPaintManager == NULL)
        return;
    // The background is the paint manager's, so it does not erase the strip around the client.
    CWindowDC dc(this);
    CRect rectWindow;
    GetWindowRect(&rectWindow);
    CRect rectClient;
    GetClientRect(&rectClient);
    ClientToScreen(&rectClient);
    rectClient.OffsetRect(-rectWindow.left, -rectWindow.top);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    CRect rectBorders(rectWindow);
    CControlBar::CalcInsideRect(rectBorders, TRUE);
    dc.ExcludeClipRect(&rectClient);
    dc.IntersectClipRect(&rectBorders);
    dc.FillSolidRect(&rectBorders, pPaintManager->GetColor(COLOR_3DFACE));
}

BOOL CXTPStatusBar::OnEraseBkgnd(CDC*)
{
    if (GetPaintManager() != NULL)
        return TRUE;
    return static_cast<BOOL>(Default());
}

void CXTPStatusBar::OnSize(UINT nType, int cx, int cy)
{
    CControlBar::OnSize(nType, cx, cy);
    LayoutPanes(TRUE, FALSE);
    Invalidate();
}

void CXTPStatusBar::OnWindowPosChanging(WINDOWPOS* lpWndPos)
{
    const DWORD dwBorders = m_dwStyle & CBRS_BORDER_ANY;
    m_dwStyle &= ~CBRS_BORDER_ANY;
    CControlBar::OnWindowPosChanging(lpWndPos);
    m_dwStyle |= dwBorders;
}

LRESULT CXTPStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    // The frame's messages go into the pane of id 0.
    const int nIndex = CommandToIndex(0);
    if (nIndex < 0)
        return FALSE;
    return SetPaneText(nIndex, reinterpret_cast<LPCTSTR>(lParam), TRUE);
}

LRESULT CXTPStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    const int nMax = static_cast<int>(wParam);
    LPWSTR lpszDest = reinterpret_cast<LPWSTR>(lParam);
    if (nMax <= 0 || lpszDest == NULL)
        return 0;
    const CString strText = GetPaneText(CommandToIndex(0));
    const int nCopy = std::min(nMax - 1, strText.GetLength());
    std::copy(strText.GetString(), strText.GetString() + nCopy, lpszDest);
    lpszDest[nCopy] = L'\0';
    return nCopy;
}

LRESULT CXTPStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    return GetPaneText(CommandToIndex(0)).GetLength();
}

LRESULT CXTPStatusBar::OnSetMinHeight(WPARAM wParam, LPARAM)
{
    const LRESULT lResult = Default();
    m_nMinHeight = static_cast<int>(wParam);
    return lResult;
}

// -- Bar: drawing -----------------------------------------------------------------------------

void CXTPStatusBar::SetDrawWithPaintManager(BOOL bDraw)
{
    m_bDrawWithPaintManager = bDraw ? TRUE : FALSE;
    if (m_hWnd != NULL)
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

CXTPPaintManagerCore* CXTPStatusBar::GetPaintManager() const
{
    if (!m_bDrawWithPaintManager)
        return NULL;
    if (m_pCommandBars != NULL)
        return m_pCommandBars->GetPaintManager();
    if (CXTPPaintManager::Instance() == NULL)
        CXTPPaintManager::SetTheme(0);
    return CXTPPaintManager::Instance();
}

void CXTPStatusBar::DrawStatusBar(CDC* pDC)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    CRect rectClient;
    GetClientRect(&rectClient);
    pPaintManager->FillStatusBar(pDC, this);
    int nLast = -1;
    for (int i = 0; i < GetPaneCount(); ++i)
        if (m_arrPanes[static_cast<size_t>(i)]->m_bVisible)
            nLast = i;
    const BOOL bGripper = IsGripperShown();
    for (int i = 0; i < GetPaneCount(); ++i) {
        CXTPStatusBarPane* pPane = m_arrPanes[static_cast<size_t>(i)];
        if (!pPane->m_bVisible)
            continue;
        CRect rect;
        GetItemRect(i, &rect);
        if (!(pPane->m_nStyle & SBPS_NOBORDERS))
            pPaintManager->DrawStatusBarPaneBorder(pDC, rect, bGripper && i == nLast);
        DrawPaneEntry(pDC, i, rect, i == nLast);
    }
    if (bGripper)
        DrawGripper(pDC, rectClient);
}

void CXTPStatusBar::OnPaint()
{
    LayoutPanes(FALSE, TRUE);
    if (GetPaintManager() == NULL) {
        Default();
        return;
    }
    CPaintDC paintDC(this);
    CRect rectClient;
    GetClientRect(&rectClient);
    CXTBufferedDC dc(paintDC.m_hDC, rectClient);
    DrawStatusBar(&dc);
}

void CXTPStatusBar::OnPrintClient(CDC* pDC, UINT)
{
    if (GetPaintManager() == NULL) {
        Default();
        return;
    }
    LayoutPanes(FALSE, TRUE);
    DrawStatusBar(pDC);
}

void CXTPStatusBar::DrawPaneEntry(CDC* pDC, int nIndex, CRect rect, BOOL bLastVisible)
{
    CXTPStatusBarPane* pPane = GetPane(nIndex);
    if (pPane == NULL)
        return;
    if (bLastVisible && IsGripperShown()) {
        // The text stops before the size grip.
        CRect rectClient;
        GetClientRect(&rectClient);
        rect.right = std::min(rect.right, rectClient.right - ::GetSystemMetrics(SM_CXSMICON) -
                                              ::GetSystemMetrics(SM_CXEDGE));
    }
    GetPaintManager()->DrawStatusBarPaneEntry(pDC, rect, pPane);
}

void CXTPStatusBar::DrawGripper(CDC* pDC, CRect rectClient)
{
    GetPaintManager()->DrawStatusBarGripper(pDC, rectClient);
}
