// CStatusBar: panes over the system's status window, their texts and widths, the idle-time update
// of each pane and the frame's status messages in pane 0.
#include <afxext.h>
#include <afxpriv.h>

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

// clang-format off
BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
END_MESSAGE_MAP()
// clang-format on

namespace {

const int kPaneMargin = 8; // room around an indicator's text for the pane's edges

// Pane style bits that the system's SB_SETTEXT understands.
int DrawType(UINT nStyle)
{
    return static_cast<int>(nStyle & (SBPS_NOBORDERS | SBPS_POPOUT | SBPS_OWNERDRAW));
}

} // namespace

BOOL CStatusBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(STATUSCLASSNAME, NULL, dwStyle, rect, pParentWnd, nID);
}

CString CStatusBarCtrl::GetText(int nPane, int* pType) const
{
    const LRESULT lInfo = SendMessage(SB_GETTEXTLENGTH, nPane);
    const int nLength = LOWORD(lInfo);
    CString text;
    if (nLength > 0) {
        std::vector<wchar_t> buffer(static_cast<size_t>(nLength) + 1);
        SendMessage(SB_GETTEXT, nPane, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.back() = L'\0';
        text = buffer.data();
    }
    if (pType != NULL)
        *pType = HIWORD(lInfo);
    return text;
}

CStatusBar::CStatusBar()
{
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar()
{
    delete[] static_cast<Pane*>(m_pData);
    m_statusCtrl.m_hWnd = NULL; // the wrapper never owned the window
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    return CreateSystemBar(STATUSCLASSNAME, pParentWnd, dwCtrlStyle | CCS_NOMOVEY, dwStyle, nID);
}

BOOL CStatusBar::PreCreateWindow(CREATESTRUCT& cs)
{
    return PreCreateSystemBar(cs, STATUSCLASSNAME);
}

CStatusBarCtrl& CStatusBar::GetStatusBarCtrl() const
{
    m_statusCtrl.m_hWnd = m_hWnd;
    return m_statusCtrl;
}

CStatusBar::Pane* CStatusBar::GetPanePtr(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return NULL;
    return static_cast<Pane*>(m_pData) + nIndex;
}

int CStatusBar::TextWidth(LPCTSTR lpszText) const
{
    CClientDC dc(const_cast<CStatusBar*>(this));
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ hOld = hFont != NULL ? ::SelectObject(dc.m_hDC, hFont) : NULL;
    SIZE size = {};
    ::GetTextExtentPoint32W(dc.m_hDC, lpszText, lstrlenW(lpszText), &size);
    if (hOld != NULL)
        ::SelectObject(dc.m_hDC, hOld);
    return size.cx;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || (nIDCount > 0 && lpIDArray == NULL) || m_hWnd == NULL)
        return FALSE;
    std::vector<Pane> panes(static_cast<size_t>(nIDCount));
    for (int i = 0; i < nIDCount; ++i) {
        Pane& pane = panes[static_cast<size_t>(i)];
        pane.nID = lpIDArray[i];
        pane.nStyle = SBPS_NORMAL;
        pane.cxText = 0;
        if (pane.nID == ID_SEPARATOR) {
            if (i == 0)
                pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
            continue;
        }
        if (!pane.strText.LoadString(pane.nID))
            return FALSE; // an indicator without its text cannot be sized
        pane.cxText = TextWidth(pane.strText);
    }
    delete[] static_cast<Pane*>(m_pData);
    Pane* pNew = new Pane[static_cast<size_t>(nIDCount)];
    std::copy(panes.begin(), panes.end(), pNew);
    m_pData = pNew;
    m_nCount = nIDCount;
    UpdateAllPanes(TRUE, TRUE);
    return TRUE;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < m_nCount; ++i)
        if (GetPanePtr(i)->nID == nIDFind)
            return i;
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    const Pane* pPane = GetPanePtr(nIndex);
    return pPane != NULL ? pPane->nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (GetPanePtr(nIndex) != NULL)
        GetStatusBarCtrl().GetRect(nIndex, lpRect);
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    const Pane* pPane = GetPanePtr(nIndex);
    nID = pPane != NULL ? pPane->nID : 0;
    nStyle = pPane != NULL ? pPane->nStyle : 0;
    cxWidth = pPane != NULL ? pPane->cxText : 0;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    Pane* pPane = GetPanePtr(nIndex);
    if (pPane == NULL)
        return;
    const BOOL bRects = pPane->cxText != cxWidth || ((pPane->nStyle ^ nStyle) & SBPS_STRETCH);
    pPane->nID = nID;
    pPane->cxText = std::max(0, cxWidth);
    SetPaneStyle(nIndex, nStyle);
    if (bRects)
        UpdateAllPanes(TRUE, FALSE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    const Pane* pPane = GetPanePtr(nIndex);
    return pPane != NULL ? pPane->nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    Pane* pPane = GetPanePtr(nIndex);
    if (pPane == NULL || pPane->nStyle == nStyle)
        return;
    const BOOL bRects = (pPane->nStyle ^ nStyle) & SBPS_STRETCH;
    pPane->nStyle = nStyle;
    if (bRects)
        UpdateAllPanes(TRUE, FALSE);
    CString strText = pPane->strText;
    pPane->strText.Empty(); // makes SetPaneText pass the new style on
    SetPaneText(nIndex, strText);
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    const Pane* pPane = GetPanePtr(nIndex);
    return pPane != NULL ? pPane->strText : CString();
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const
{
    rString = GetPaneText(nIndex);
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    Pane* pPane = GetPanePtr(nIndex);
    if (pPane == NULL)
        return FALSE;
    const CString strNew = lpszNewText != NULL ? lpszNewText : L"";
    const BOOL bChanged = pPane->strText != strNew || strNew.IsEmpty();
    pPane->strText = strNew;
    if (!bUpdate || !bChanged || m_hWnd == NULL)
        return TRUE;
    // A disabled pane shows nothing; an owner-drawn one passes its id to DrawItem.
    const int nType = DrawType(pPane->nStyle);
    if (pPane->nStyle & SBPS_OWNERDRAW)
        return static_cast<BOOL>(
            SendMessage(SB_SETTEXT, static_cast<WPARAM>(nIndex | nType), static_cast<LPARAM>(pPane->nID)));
    LPCTSTR lpszShown = (pPane->nStyle & SBPS_DISABLED) ? L"" : pPane->strText.GetString();
    return GetStatusBarCtrl().SetText(lpszShown, nIndex, nType);
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (m_hWnd == NULL)
        return;
    if (bUpdateRects) {
        CRect rect;
        GetClientRect(&rect);
        int nFixed = 0;
        for (int i = 0; i < m_nCount; ++i)
            if (!(GetPanePtr(i)->nStyle & SBPS_STRETCH))
                nFixed += GetPanePtr(i)->cxText + kPaneMargin;
        const int nStretch = std::max(0, static_cast<int>(rect.Width()) - nFixed);
        std::vector<int> edges(static_cast<size_t>(std::max(1, m_nCount)));
        int x = 0;
        for (int i = 0; i < m_nCount; ++i) {
            const Pane* pPane = GetPanePtr(i);
            x += (pPane->nStyle & SBPS_STRETCH) ? nStretch : pPane->cxText + kPaneMargin;
            edges[static_cast<size_t>(i)] = x;
        }
        GetStatusBarCtrl().SetParts(std::max(1, m_nCount), edges.data());
    }
    if (bUpdateText) {
        for (int i = 0; i < m_nCount; ++i) {
            Pane* pPane = GetPanePtr(i);
            const CString strText = pPane->strText;
            pPane->strText.Empty();
            SetPaneText(i, strText);
        }
    }
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    CClientDC dc(this);
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ hOld = hFont != NULL ? ::SelectObject(dc.m_hDC, hFont) : NULL;
    TEXTMETRIC tm = {};
    ::GetTextMetrics(dc.m_hDC, &tm);
    if (hOld != NULL)
        ::SelectObject(dc.m_hDC, hOld);
    int borders[3] = {};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    // The text, the panes' sunken edges and the window's border space above and below.
    size.cy += tm.tmHeight + 2 * borders[1] + 4;
    return size;
}

void CStatusBar::OnSize(UINT nType, int cx, int cy)
{
    CControlBar::OnSize(nType, cx, cy);
    UpdateAllPanes(TRUE, FALSE);
}

BOOL CStatusBar::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}

void CStatusBar::OnPaint()
{
    Default(); // the system's window paints its panes
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    // The frame's status messages go into the first pane.
    if (m_nCount == 0)
        return Default();
    return SetPaneText(0, reinterpret_cast<LPCTSTR>(lParam));
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    if (m_nCount == 0)
        return Default();
    const CString strText = GetPaneText(0);
    const int nMax = static_cast<int>(wParam);
    LPWSTR lpszDest = reinterpret_cast<LPWSTR>(lParam);
    if (nMax <= 0 || lpszDest == NULL)
        return 0;
    const int nCopy = std::min(nMax - 1, strText.GetLength());
    std::copy(strText.GetString(), strText.GetString() + nCopy, lpszDest);
    lpszDest[nCopy] = L'\0';
    return nCopy;
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    return m_nCount == 0 ? Default() : GetPaneText(0).GetLength();
}

BOOL CStatusBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CControlBar::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult != NULL)
        *pResult = TRUE;
    return TRUE;
}

void CStatusBar::DrawItem(LPDRAWITEMSTRUCT) {}

namespace {

// A pane's state from an update handler: disabled panes show no text, checked ones stand out.
class CStatusCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        CStatusBar* pBar = static_cast<CStatusBar*>(m_pOther);
        const int nIndex = static_cast<int>(m_nIndex);
        const UINT nStyle = pBar->GetPaneStyle(nIndex) & ~SBPS_DISABLED;
        pBar->SetPaneStyle(nIndex, bOn ? nStyle : nStyle | SBPS_DISABLED);
    }
    void SetCheck(int nCheck) override
    {
        CStatusBar* pBar = static_cast<CStatusBar*>(m_pOther);
        const int nIndex = static_cast<int>(m_nIndex);
        const UINT nStyle = pBar->GetPaneStyle(nIndex) & ~SBPS_POPOUT;
        pBar->SetPaneStyle(nIndex, nCheck ? nStyle | SBPS_POPOUT : nStyle);
    }
    void SetText(LPCTSTR lpszText) override
    {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
    }
};

} // namespace

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_nCount);
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = GetItemID(static_cast<int>(state.m_nIndex));
        // Indicators without a handler keep their state; the message pane has none.
        if (state.m_nID != ID_SEPARATOR)
            state.DoUpdate(pTarget, FALSE);
    }
    state.m_nID = ID_SEPARATOR;
}
