// The bars' placement across runs: every bar's record under "<profile>-Bar<n>", their number and
// the screen size under "<profile>-Summary", the rows of each dock bar under "<profile>-DockBar<n>"
// and the frame's status bar in the profile's own section.
#include "command_bars_layout.h"

#include "command_bars.h"
#include "dialog_bar.h"

#include <afxpriv.h>

#include <algorithm>

namespace {

// The frame's status bar, whose visibility the layout keeps.
const UINT kStatusBarId = AFX_IDW_STATUS_BAR;

CString SectionName(LPCTSTR lpszFormat, LPCTSTR lpszProfileName, int nIndex = 0)
{
    CString strSection;
    strSection.Format(lpszFormat, lpszProfileName, nIndex);
    return strSection;
}

// "Bar#<index>" of a dock bar's section.
CString RowEntryName(int nIndex)
{
    CString strName;
    strName.Format(L"Bar#%d", nIndex);
    return strName;
}

void WriteInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, long nValue)
{
    AfxGetApp()->WriteProfileInt(lpszSection, lpszEntry, static_cast<int>(nValue));
}

void DeleteSection(LPCTSTR lpszSection)
{
    AfxGetApp()->WriteProfileString(lpszSection, NULL, NULL);
}

// A status bar of the frame that exists and has a window.
CControlBar* FrameStatusBar(CWnd* pFrame)
{
    auto* pFrameWnd = DYNAMIC_DOWNCAST(CFrameWnd, pFrame);
    if (pFrameWnd == NULL || !::IsWindow(pFrameWnd->GetSafeHwnd()))
        return NULL;
    CControlBar* pStatusBar = pFrameWnd->GetControlBar(kStatusBarId);
    return pStatusBar != NULL && ::IsWindow(pStatusBar->GetSafeHwnd()) ? pStatusBar : NULL;
}

} // namespace

CXTLayoutProfile::CXTLayoutProfile()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp != NULL && pApp->m_pszRegistryKey != NULL)
        m_hAppKey = pApp->GetAppRegistryKey();
}

CXTLayoutProfile::~CXTLayoutProfile()
{
    if (m_hAppKey != NULL)
        ::RegCloseKey(m_hAppKey);
}

BOOL CXTLayoutProfile::ReadInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int& nValue)
{
    if (m_hAppKey == NULL) {
        // A private profile file cannot say that a value is missing: two defaults can.
        CWinApp* pApp = AfxGetApp();
        if (pApp == NULL)
            return FALSE;
        const UINT nFirst = pApp->GetProfileInt(lpszSection, lpszEntry, 0);
        if (nFirst == 0 && pApp->GetProfileInt(lpszSection, lpszEntry, 1) == 1)
            return FALSE;
        nValue = static_cast<int>(nFirst);
        return TRUE;
    }
    HKEY hSection = NULL;
    if (::RegOpenKeyExW(m_hAppKey, lpszSection, 0, KEY_READ, &hSection) != ERROR_SUCCESS)
        return FALSE;
    DWORD dwValue = 0;
    DWORD dwType = 0;
    DWORD nBytes = sizeof(dwValue);
    const LONG lResult =
        ::RegQueryValueExW(hSection, lpszEntry, NULL, &dwType, reinterpret_cast<BYTE*>(&dwValue), &nBytes);
    ::RegCloseKey(hSection);
    if (lResult != ERROR_SUCCESS || dwType != REG_DWORD || nBytes != sizeof(dwValue))
        return FALSE;
    nValue = static_cast<int>(dwValue);
    return TRUE;
}

int CXTLayoutProfile::GetInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    int nValue = nDefault;
    return ReadInt(lpszSection, lpszEntry, nValue) ? nValue : nDefault;
}

CXTPBarPlacementList::CXTPBarPlacementList()
    : m_rectScreen(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)),
      m_pointLargest(m_rectScreen.Width() - ::GetSystemMetrics(SM_CXICON),
                     m_rectScreen.Height() - ::GetSystemMetrics(SM_CYICON))
{}

void CXTPBarPlacementList::SetStoredScreenSize(CSize size)
{
    m_sizeStored = size;
    // A missing size would divide by nothing: positions then stay as stored.
    m_bScaled = size.cx > 0 && size.cy > 0 && size != m_rectScreen.Size();
}

CPoint CXTPBarPlacementList::ScalePoint(CPoint point) const
{
    // (-1, -1) marks a position that was never stored; it stays the mark.
    if (point == CPoint(-1, -1))
        return point;
    if (m_bScaled) {
        point.x = ::MulDiv(point.x, m_rectScreen.Width(), m_sizeStored.cx);
        point.y = ::MulDiv(point.y, m_rectScreen.Height(), m_sizeStored.cy);
    }
    point.x = std::min(point.x, m_pointLargest.x);
    point.y = std::min(point.y, m_pointLargest.y);
    return point;
}

CRect CXTPBarPlacementList::ScaleRect(const CRect& rect) const
{
    CRect rcResult(rect);
    if (m_bScaled)
        rcResult.OffsetRect(::MulDiv(rect.left, m_rectScreen.Width(), m_sizeStored.cx) - rect.left,
                            ::MulDiv(rect.top, m_rectScreen.Height(), m_sizeStored.cy) - rect.top);
    rcResult.OffsetRect(-std::max(0L, rcResult.left - m_pointLargest.x),
                        -std::max(0L, rcResult.top - m_pointLargest.y));
    return rcResult;
}

void CXTPBarPlacementInfo::SaveState(LPCTSTR lpszProfileName, int nIndex) const
{
    const CString strSection = SectionName(L"%s-Bar%d", lpszProfileName, nIndex);
    DeleteSection(strSection);
    WriteInt(strSection, L"BarID", nBarID);
    if (!bVisible)
        WriteInt(strSection, L"Visible", 0);
    if (bFloating)
        WriteInt(strSection, L"Floating", bFloating);
    if (pointPos.x != -1)
        WriteInt(strSection, L"XPos", pointPos.x);
    if (pointPos.y != -1)
        WriteInt(strSection, L"YPos", pointPos.y);
    if (nMRUWidth != 32767)
        WriteInt(strSection, L"MRUWidth", nMRUWidth);
    WriteInt(strSection, L"MRUDockID", nMRUDockID);
    WriteInt(strSection, L"MRUDockLeftPos", rectMRUDockPos.left);
    WriteInt(strSection, L"MRUDockTopPos", rectMRUDockPos.top);
    WriteInt(strSection, L"MRUDockRightPos", rectMRUDockPos.right);
    WriteInt(strSection, L"MRUDockBottomPos", rectMRUDockPos.bottom);
    WriteInt(strSection, L"MRUFloatXPos", pointMRUFloatPos.x);
    WriteInt(strSection, L"MRUFloatYPos", pointMRUFloatPos.y);
    WriteInt(strSection, L"DialogBar", bDialogBar ? 1 : 0);
    if (bDialogBar) {
        WriteInt(strSection, L"DialogBarDockingClientCx", szDialogBarDockingClient.cx);
        WriteInt(strSection, L"DialogBarDockingClientCy", szDialogBarDockingClient.cy);
        WriteInt(strSection, L"DialogBarFloatingClientCx", szDialogBarFloatingClient.cx);
        WriteInt(strSection, L"DialogBarFloatingClientCy", szDialogBarFloatingClient.cy);
    }
}

BOOL CXTPBarPlacementInfo::LoadState(CXTLayoutProfile& profile, LPCTSTR lpszProfileName, int nIndex,
                                     const CXTPBarPlacementList& list)
{
    const CString strSection = SectionName(L"%s-Bar%d", lpszProfileName, nIndex);
    int nId = 0;
    if (!profile.ReadInt(strSection, L"BarID", nId))
        return FALSE;
    nBarID = nId;
    bVisible = profile.GetInt(strSection, L"Visible", 1) != 0;
    bFloating = profile.GetInt(strSection, L"Floating", 0) != 0;
    pointPos = list.ScalePoint(
        CPoint(profile.GetInt(strSection, L"XPos", -1), profile.GetInt(strSection, L"YPos", -1)));
    nMRUWidth = profile.GetInt(strSection, L"MRUWidth", 32767);
    nMRUDockID = profile.GetInt(strSection, L"MRUDockID", 0);
    rectMRUDockPos = list.ScaleRect(CRect(profile.GetInt(strSection, L"MRUDockLeftPos", 0),
                                          profile.GetInt(strSection, L"MRUDockTopPos", 0),
                                          profile.GetInt(strSection, L"MRUDockRightPos", 0),
                                          profile.GetInt(strSection, L"MRUDockBottomPos", 0)));
    pointMRUFloatPos = list.ScalePoint(CPoint(profile.GetInt(strSection, L"MRUFloatXPos", 0),
                                              profile.GetInt(strSection, L"MRUFloatYPos", 0)));
    bDialogBar = profile.GetInt(strSection, L"DialogBar", 0) != 0;
    if (bDialogBar) {
        szDialogBarDockingClient.cx =
            profile.GetInt(strSection, L"DialogBarDockingClientCx", szDialogBarDockingClient.cx);
        szDialogBarDockingClient.cy =
            profile.GetInt(strSection, L"DialogBarDockingClientCy", szDialogBarDockingClient.cy);
        szDialogBarFloatingClient.cx =
            profile.GetInt(strSection, L"DialogBarFloatingClientCx", szDialogBarFloatingClient.cx);
        szDialogBarFloatingClient.cy =
            profile.GetInt(strSection, L"DialogBarFloatingClientCy", szDialogBarFloatingClient.cy);
    }
    return TRUE;
}

void CXTPCommandBars::SaveLayout(LPCTSTR lpszProfileName, BOOL bSaveOnlyCustomized)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL || lpszProfileName == NULL)
        return;
    CXTPBarPlacementList list;
    for (CXTPCommandBar* pBar : m_arrBars) {
        auto pInfo = std::make_unique<CXTPBarPlacementInfo>();
        pInfo->pBar = pBar;
        pInfo->nBarID = static_cast<long>(pBar->GetBarID());
        pInfo->bVisible = pBar->IsVisible();
        pInfo->nMRUWidth = pBar->m_nMRUWidth;
        pInfo->bFloating = pBar->GetPosition() == xtpBarFloating;
        auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar);
        if (::IsWindow(pBar->GetSafeHwnd())) {
            CRect rect;
            pBar->GetWindowRect(&rect);
            if (pToolBar != NULL && pToolBar->m_pDockBar != NULL)
                pToolBar->m_pDockBar->ScreenToClient(&rect);
            pInfo->pointPos = rect.TopLeft();
        } else if (pToolBar != NULL) {
            pInfo->pointPos = pToolBar->m_ptMRUFloatPos;
        }
        if (pToolBar != NULL) {
            // A docked bar's memory is where it stands now.
            if (pToolBar->m_pDockBar != NULL && ::IsWindow(pToolBar->GetSafeHwnd())) {
                pToolBar->m_nMRUDockID = pToolBar->m_pDockBar->GetDlgCtrlID();
                CRect rcWindow;
                pToolBar->GetWindowRect(&rcWindow);
                pToolBar->m_rcMRUDockPos = CRect(pInfo->pointPos, rcWindow.Size());
            }
            pInfo->nMRUDockID = pToolBar->m_nMRUDockID;
            pInfo->rectMRUDockPos = pToolBar->m_rcMRUDockPos;
            pInfo->pointMRUFloatPos = pToolBar->m_ptMRUFloatPos;
        }
        if (auto* pDialogBar = DYNAMIC_DOWNCAST(CXTPDialogBar, pBar)) {
            pInfo->bDialogBar = TRUE;
            pInfo->szDialogBarDockingClient = pDialogBar->GetDockingClientSize();
            pInfo->szDialogBarFloatingClient = pDialogBar->GetFloatingClientSize();
        }
        list.m_arrInfo.push_back(std::move(pInfo));
    }

    int nWritten = 0;
    for (const auto& pInfo : list.m_arrInfo)
        pInfo->SaveState(lpszProfileName, nWritten++);
    const CString strSummary = SectionName(L"%s-Summary", lpszProfileName);
    WriteInt(strSummary, L"Bars", nWritten);
    WriteInt(strSummary, L"ScreenCX", ::GetSystemMetrics(SM_CXSCREEN));
    WriteInt(strSummary, L"ScreenCY", ::GetSystemMetrics(SM_CYSCREEN));

    SaveDockBarRows(lpszProfileName);
    CControlBar* pStatusBar = FrameStatusBar(m_pFrame);
    if (pStatusBar != NULL && (pStatusBar->GetStyle() & WS_VISIBLE) == 0)
        WriteInt(lpszProfileName, L"StatusBar", 0);
    else
        pApp->WriteProfileString(lpszProfileName, L"StatusBar", NULL);

    if (m_bCustomizeAvail)
        SaveControlsLayout(lpszProfileName, bSaveOnlyCustomized);
    m_pOptions->bDirtyState = FALSE;
}

void CXTPCommandBars::SaveDockBarRows(LPCTSTR lpszProfileName)
{
    for (int i = 0; i < 4; ++i) {
        const CString strSection = SectionName(L"%s-DockBar%d", lpszProfileName, i);
        DeleteSection(strSection);
        CXTPDockBar* pDock = m_pDocks[i];
        if (pDock == NULL || pDock->m_arrBars.size() <= 1)
            continue;
        // Runs of row breaks collapse to one.
        int nWritten = 0;
        BOOL bAfterBreak = FALSE;
        for (CXTPToolBar* pBar : pDock->m_arrBars) {
            const long nId = pBar != NULL ? static_cast<long>(pBar->GetBarID()) : 0;
            if (nId == 0 && bAfterBreak)
                continue;
            bAfterBreak = nId == 0;
            WriteInt(strSection, RowEntryName(nWritten), nId);
            ++nWritten;
        }
        WriteInt(strSection, L"Bars", nWritten);
    }
}

void CXTPCommandBars::LoadLayout(LPCTSTR lpszProfileName, BOOL bKeepCurrentToolbars)
{
    if (AfxGetApp() == NULL || lpszProfileName == NULL)
        return;
    if (m_bCustomizeAvail)
        LoadControlsLayout(lpszProfileName, bKeepCurrentToolbars);

    CXTLayoutProfile profile;
    CXTPBarPlacementList list;
    const CString strSummary = SectionName(L"%s-Summary", lpszProfileName);
    const int nBars = std::clamp(profile.GetInt(strSummary, L"Bars", 0), 0, XTP_MAX_LAYOUT_BARS);
    list.SetStoredScreenSize(
        CSize(profile.GetInt(strSummary, L"ScreenCX", 0), profile.GetInt(strSummary, L"ScreenCY", 0)));
    for (int i = 0; i < nBars; ++i) {
        auto pInfo = std::make_unique<CXTPBarPlacementInfo>();
        if (!pInfo->LoadState(profile, lpszProfileName, i, list))
            break;
        list.m_arrInfo.push_back(std::move(pInfo));
    }

    LoadDockBarRows(lpszProfileName, profile);
    if (profile.GetInt(lpszProfileName, L"StatusBar", 1) == 0)
        if (CControlBar* pStatusBar = FrameStatusBar(m_pFrame))
            static_cast<CFrameWnd*>(m_pFrame)->ShowControlBar(pStatusBar, FALSE, FALSE);

    for (const auto& pInfo : list.m_arrInfo)
        ApplyPlacement(*pInfo);
    RecalcFrameLayout();
    m_pOptions->bDirtyState = FALSE;
}

void CXTPCommandBars::LoadDockBarRows(LPCTSTR lpszProfileName, CXTLayoutProfile& profile)
{
    for (int i = 0; i < 4; ++i) {
        CXTPDockBar* pDock = m_pDocks[i];
        if (pDock == NULL)
            continue;
        const CString strSection = SectionName(L"%s-DockBar%d", lpszProfileName, i);
        const int nCount = std::min(profile.GetInt(strSection, L"Bars", 0), XTP_MAX_DOCK_ROW_ENTRIES);
        if (nCount < 2)
            continue;
        std::vector<CXTPToolBar*>& rows = pDock->m_arrBars;
        for (int j = 0; j < nCount; ++j) {
            int nId = 0;
            if (!profile.ReadInt(strSection, RowEntryName(j), nId))
                break;
            CXTPToolBar* pBar =
                nId != 0 ? DYNAMIC_DOWNCAST(CXTPToolBar, FindBar(static_cast<UINT>(nId))) : NULL;
            if (pBar != NULL) {
                if (::IsWindow(pBar->GetSafeHwnd()) && pBar->GetParent() != pDock) {
                    pBar->ModifyStyle(WS_POPUP, WS_CHILD);
                    pBar->SetParent(pDock);
                }
                // Also from this same dock bar: otherwise the bar would stand in it twice.
                if (pBar->m_pDockBar != NULL)
                    pBar->m_pDockBar->RemoveCommandBar(pBar);
                pDock->RemoveCommandBar(pBar);
                pBar->m_pDockBar = pDock;
                pBar->m_barPosition = pDock->GetPosition();
            }
            const size_t nAt = std::min(static_cast<size_t>(j), rows.size());
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(nAt), pBar);
        }
        // The dock bar lays out only rows that end in a break.
        if (!rows.empty() && rows.back() != NULL)
            rows.push_back(nullptr);
    }
}

void CXTPCommandBars::ApplyPlacement(const CXTPBarPlacementInfo& info)
{
    auto* pBar = DYNAMIC_DOWNCAST(CXTPToolBar, FindBar(static_cast<UINT>(info.nBarID)));
    if (pBar == NULL)
        return;
    // The sizes first: docking and floating below lay the bar out with them.
    if (auto* pDialogBar = DYNAMIC_DOWNCAST(CXTPDialogBar, pBar); pDialogBar != NULL && info.bDialogBar) {
        pDialogBar->SetDockingClientSize(info.szDialogBarDockingClient);
        pDialogBar->SetFloatingClientSize(info.szDialogBarFloatingClient);
    }
    if (info.bFloating) {
        if (pBar->GetPosition() != xtpBarFloating || !::IsWindow(pBar->GetSafeHwnd()))
            FloatCommandBar(pBar);
    } else if (pBar->m_pDockBar != NULL) {
        if (pBar->GetPosition() == xtpBarFloating || (pBar->GetStyle() & WS_POPUP) != 0) {
            pBar->SetFloating(m_pFrame, FALSE);
            pBar->SetParent(pBar->m_pDockBar);
        }
        pBar->m_barPosition = pBar->m_pDockBar->GetPosition();
    } else {
        int nSide = xtpBarTop;
        for (int i = 0; i < 4; ++i)
            if (m_pDocks[i] != NULL && m_pDocks[i]->GetDlgCtrlID() == info.nMRUDockID)
                nSide = i;
        DockCommandBar(pBar, static_cast<XTPBarPosition>(nSide));
    }
    if (!::IsWindow(pBar->GetSafeHwnd()))
        return;
    pBar->m_nMRUWidth = info.nMRUWidth;
    pBar->m_nMRUDockID = info.nMRUDockID;
    pBar->m_rcMRUDockPos = info.rectMRUDockPos;
    pBar->m_ptMRUFloatPos = info.pointMRUFloatPos;

    UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE | (info.bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (info.bFloating) {
        pBar->SetWindowPos(NULL, info.pointPos.x, info.pointPos.y, 0, 0, nFlags);
    } else {
        nFlags |= SWP_NOSIZE;
        if (pBar->m_pDockBar == NULL)
            nFlags |= SWP_NOMOVE;
        pBar->SetWindowPos(NULL, info.pointPos.x, info.pointPos.y, 0, 0, nFlags);
        // The dock bar lays its rows out by each bar's wanted place.
        CRect rcWindow;
        pBar->GetWindowRect(&rcWindow);
        pBar->m_rcDocked = CRect(info.pointPos, rcWindow.Size());
    }
    pBar->m_bVisible = info.bVisible;
    if (info.bFloating)
        pBar->OnRecalcLayout();
}
