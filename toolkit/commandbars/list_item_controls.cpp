#include "list_item_controls.h"

#include "command_bars.h"
#include "mdi_tab_client.h"
#include "resource_loader.h"

#include <afxadv.h>
#include <afxpriv.h>

#include <algorithm>

CString AFXAPI XTPNumberedCaption(int n, const CString& strName)
{
    CString strEscaped(strName);
    strEscaped.Replace(L"&", L"&&");
    CString strCaption;
    if (n >= 1 && n <= 9)
        strCaption.Format(L"&%i %s", n, static_cast<LPCTSTR>(strEscaped));
    else if (n == 10)
        strCaption.Format(L"1&0 %s", static_cast<LPCTSTR>(strEscaped));
    else
        strCaption.Format(L"%i %s", n, static_cast<LPCTSTR>(strEscaped));
    return strCaption;
}

CXTPControl* AFXAPI XTPCreateButtonForId(int nId, BOOL bMenu)
{
    switch (nId) {
    case XTP_ID_WINDOWLIST:
        return new CXTPControlWindowList;
    case XTP_ID_WORKSPACE_ACTIONS:
        return new CXTPControlWorkspaceActions;
    case XTP_ID_TOOLBARLIST:
        return new CXTPControlToolbars;
    case XTP_ID_FILE_MRU:
        return new CXTPControlRecentFileList;
    case XTP_ID_FILE_MRU_FIRST:
        if (bMenu)
            return new CXTPControlRecentFileList;
        return new CXTPControlButton;
    default:
        return new CXTPControlButton;
    }
}

namespace {
// Removes the temporary items right after the control that pass the test.
template <typename Pred> void RemoveFollowing(CXTPControl* pControl, Pred inserted)
{
    CXTPControls* pControls = pControl->GetControls();
    if (pControls == NULL)
        return;
    for (;;) {
        CXTPControl* pNext = pControls->GetAt(pControl->GetIndex() + 1);
        if (pNext == NULL || !inserted(pNext))
            break;
        pControls->Remove(pNext);
    }
}

// A temporary button inserted at nIndex with the caption, left out of the command-state update.
CXTPControl* InsertEntry(CXTPControls* pControls, int nIndex, int nId, const CString& strCaption,
                         LPCTSTR lpszParameter)
{
    CXTPControl* pEntry = pControls->Add(xtpControlButton, nId, lpszParameter, nIndex, TRUE);
    pEntry->SetCaption(strCaption);
    pEntry->SetFlags(pEntry->GetFlags() | xtpFlagManualUpdate);
    return pEntry;
}

BOOL IsInPopupBar(const CXTPControl* pControl)
{
    return pControl->GetParent() != NULL && pControl->GetParent()->GetType() == xtpBarTypePopup;
}
} // namespace

IMPLEMENT_SERIAL(CXTPControlWindowList, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

void CXTPControlWindowList::OnCalcDynamicSize(DWORD)
{
    auto* pFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, GetSite());
    if (pFrame == NULL || m_pControls == NULL || !IsInPopupBar(this))
        return;
    RemoveFollowing(
        this, [](CXTPControl* p) { return p->IsTemporary() && p->GetParameter() == L"CXTPWindowList"; });
    SetHideFlags(xtpHideGeneric);
    const HWND hClient = pFrame->m_hWndMDIClient;
    if (hClient == NULL)
        return;
    const HWND hActive = reinterpret_cast<HWND>(::SendMessageW(hClient, WM_MDIGETACTIVE, 0, 0));
    int n = 0;
    for (UINT nId = AFX_IDM_FIRST_MDICHILD; nId < AFX_IDM_FIRST_MDICHILD + 0x100; ++nId) {
        const HWND hChild = ::GetDlgItem(hClient, static_cast<int>(nId));
        if (hChild == NULL)
            break;
        if (!::IsWindowVisible(hChild))
            continue;
        ++n;
        CString strTitle;
        CWnd::FromHandle(hChild)->GetWindowText(strTitle);
        CXTPControl* pEntry = InsertEntry(m_pControls, m_nIndex + n, static_cast<int>(nId),
                                          XTPNumberedCaption(n, strTitle), L"CXTPWindowList");
        pEntry->SetChecked(hChild == hActive);
    }
}

IMPLEMENT_SERIAL(CXTPControlToolbars, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

int AFXAPI CXTPControlToolbars::CreateToolbarMenu(CXTPCommandBar* pPopupBar, int nInsert, int nID,
                                                  BOOL bAddCustomizeItem)
{
    CXTPCommandBars* pCommandBars = pPopupBar->GetCommandBars();
    if (pCommandBars == NULL)
        return nInsert;
    CXTPControls* pControls = pPopupBar->GetControls();
    for (int i = 0; i < pCommandBars->GetCount(); ++i) {
        CXTPCommandBar* pBar = pCommandBars->GetAt(i);
        if (pBar->GetType() != xtpBarTypeNormal || !pBar->IsShowInList() || pBar->GetTitle().IsEmpty())
            continue;
        auto* pEntry = new CXTPControlToolbar;
        pControls->AddControl(pEntry, nID, L"CXTPControlToolbar", nInsert++, TRUE);
        pEntry->m_dwTag = static_cast<DWORD>(i);
        pEntry->SetCaption(pBar->GetTitle());
        pEntry->SetFlags(xtpFlagManualUpdate);
        pEntry->SetChecked(pBar->IsVisible());
    }
    if (bAddCustomizeItem && pCommandBars->IsCustomizeCommandHandled()) {
        CXTPControl* pCustomize = pControls->Add(xtpControlButton, XTP_ID_CUSTOMIZE, NULL, nInsert++, TRUE);
        pCustomize->SetBeginGroup(TRUE);
    }
    return nInsert;
}

void CXTPControlToolbars::OnCalcDynamicSize(DWORD)
{
    if (m_pControls == NULL || m_pParent == NULL)
        return;
    RemoveFollowing(this, [](CXTPControl* p) { return p->GetParameter() == L"CXTPControlToolbar"; });
    if (IsInPopupBar(this) && GetCommandBars() != NULL && GetCommandBars()->IsCustomizeMode()) {
        SetHideFlags(xtpNoHide);
        return;
    }
    SetHideFlags(xtpHideGeneric);
    CreateToolbarMenu(m_pParent, m_nIndex + 1, m_nId, FALSE);
}

IMPLEMENT_SERIAL(CXTPControlToolbar, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

void CXTPControlToolbar::Execute()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == NULL)
        return;
    InternalAddRef();
    const int nIndex = static_cast<int>(m_dwTag);
    pCommandBars->ClosePopups();
    if (CXTPCommandBar* pBar = pCommandBars->GetAt(nIndex))
        pBar->SetVisible(!pBar->IsVisible());
    InternalRelease();
}

IMPLEMENT_SERIAL(CXTPControlRecentFileList, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

CXTPControlRecentFileList::CXTPControlRecentFileList()
{
    // The list's own state comes from OnCalcDynamicSize, not from the frame's handlers.
    m_dwFlags = xtpFlagManualUpdate;
}

void CXTPControlRecentFileList::OnCalcDynamicSize(DWORD)
{
    CWinApp* pApp = AfxGetApp();
    CRecentFileList* pList = pApp != NULL ? pApp->m_pRecentFileList : NULL;
    if (pList == NULL || m_pControls == NULL)
        return;
    const int nSize = pList->GetSize();
    RemoveFollowing(this, [nSize](CXTPControl* p) {
        return p->IsTemporary() && p->GetID() >= XTP_ID_FILE_MRU_FIRST &&
               p->GetID() <= XTP_ID_FILE_MRU_FIRST + nSize;
    });
    if (GetCommandBars() != NULL && GetCommandBars()->IsCustomizeMode()) {
        SetHideFlags(xtpNoHide);
        SetEnabled(TRUE);
        return;
    }
    if ((*pList)[0].IsEmpty()) {
        SetHideFlags(xtpNoHide);
        SetEnabled(FALSE);
        return;
    }
    SetHideFlags(xtpHideGeneric);
    WCHAR szDir[MAX_PATH + 1] = {0};
    ::GetCurrentDirectoryW(MAX_PATH, szDir);
    CString strDir(szDir);
    strDir += L"\\";
    const int nDir = std::min(strDir.GetLength(), MAX_PATH);
    for (int i = 0; i < nSize; ++i) {
        CString strName;
        if (!pList->GetDisplayName(strName, i, strDir, nDir, TRUE))
            break;
        CXTPControl* pEntry = InsertEntry(m_pControls, m_nIndex + 1 + i, XTP_ID_FILE_MRU_FIRST + i,
                                          XTPNumberedCaption(i + 1, strName), NULL);
        if (i == 0 && m_nIndex != 0)
            pEntry->SetBeginGroup(TRUE);
    }
}

IMPLEMENT_SERIAL(CXTPControlWorkspaceActions, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

void CXTPControlWorkspaceActions::OnCalcDynamicSize(DWORD)
{
    // The actions apply to an MDI client of tab groups; without one the list has no entries.
    RemoveFollowing(this, [](CXTPControl* p) {
        return p->IsTemporary() && p->GetID() >= XTP_ID_WORKSPACE_MOVEPREVIOUS &&
               p->GetID() <= XTP_ID_WORKSPACE_NEWVERTICAL;
    });
    auto* pFrame = DYNAMIC_DOWNCAST(CMDIFrameWnd, GetSite());
    CXTPTabClientWnd* pClient =
        pFrame != NULL ? CXTPTabClientWnd::FromClientWindow(pFrame->m_hWndMDIClient) : NULL;
    if (pClient == NULL || m_pControls == NULL)
        return;
    SetHideFlags(xtpHideGeneric);
    // New groups first, then the moves; each only when the tab client can carry it out now.
    static const UINT kActions[] = {XTP_ID_WORKSPACE_NEWHORIZONTAL, XTP_ID_WORKSPACE_NEWVERTICAL,
                                    XTP_ID_WORKSPACE_MOVEPREVIOUS, XTP_ID_WORKSPACE_MOVENEXT};
    int nAdded = 0;
    for (const UINT nId : kActions) {
        if (!pClient->OnUpdateCommand(nId))
            continue;
        CString strText;
        GetResourceLoader()->LoadString(&strText, nId);
        const int nNewLine = strText.Find(L'\n');
        CXTPControl* pEntry = InsertEntry(m_pControls, m_nIndex + 1 + nAdded, static_cast<int>(nId),
                                          nNewLine >= 0 ? strText.Mid(nNewLine + 1) : strText, NULL);
        if (nAdded == 0)
            pEntry->SetBeginGroup(GetBeginGroup());
        ++nAdded;
    }
}

void CXTPControlOleItems::OnCalcDynamicSize(DWORD)
{
    RemoveFollowing(this, [](CXTPControl* p) { return p->GetParameter() == L"OLEMENUPOPUP"; });
    if (GetCommandBars() != NULL && GetCommandBars()->IsCustomizeMode()) {
        SetHideFlags(xtpNoHide);
        return;
    }
    // This program embeds no OLE objects, so there is never a selected item with verbs.
    SetHideFlags(xtpHideGeneric);
}

IMPLEMENT_SERIAL(CXTPControlSelector, CXTPControlButton, VERSIONABLE_SCHEMA | 16)

CSize CXTPControlSelector::GetSize(CDC*)
{
    return CSize(m_szItem.cx * m_szShown.cx, m_szItem.cy * m_szShown.cy);
}

CSize CXTPControlSelector::HitTestCell(CPoint point) const
{
    const CRect rect = GetRect();
    if (!rect.PtInRect(point) || m_szItem.cx <= 0 || m_szItem.cy <= 0)
        return CSize(0, 0);
    return CSize((point.x - rect.left) / m_szItem.cx + 1, (point.y - rect.top) / m_szItem.cy + 1);
}

void CXTPControlSelector::TrackCell(CPoint point)
{
    const CSize szCell = HitTestCell(point);
    if (szCell == m_szHovered)
        return;
    m_szHovered = szCell;
    const CSize szShown(std::min(std::max(m_szItemsCount.cx, szCell.cx + 1), m_szItemsMax.cx),
                        std::min(std::max(m_szItemsCount.cy, szCell.cy + 1), m_szItemsMax.cy));
    if (szShown.cx > m_szShown.cx || szShown.cy > m_szShown.cy) {
        m_szShown = CSize(std::max(szShown.cx, m_szShown.cx), std::max(szShown.cy, m_szShown.cy));
        if (m_pParent != NULL)
            m_pParent->OnRecalcLayout();
    }
    RedrawParent();
}

void CXTPControlSelector::Draw(CDC* pDC)
{
    CXTPPaintManagerCore* pPaintManager = GetPaintManager();
    const CRect rect = GetRect();
    pDC->FillSolidRect(rect, pPaintManager->GetColor(COLOR_WINDOW));
    for (int row = 0; row < m_szShown.cy; ++row) {
        for (int col = 0; col < m_szShown.cx; ++col) {
            CRect rcCell(rect.left + col * m_szItem.cx, rect.top + row * m_szItem.cy,
                         rect.left + (col + 1) * m_szItem.cx, rect.top + (row + 1) * m_szItem.cy);
            rcCell.DeflateRect(2, 2);
            const BOOL bHot = col < m_szHovered.cx && row < m_szHovered.cy;
            pPaintManager->DrawRect(pDC, rcCell, COLOR_BTNSHADOW, bHot ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        }
    }
}

void CXTPControlSelector::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    CXTPControlButton::Copy(pControl, bRecursive);
    if (auto* pSelector = DYNAMIC_DOWNCAST(CXTPControlSelector, pControl)) {
        m_szItemsCount = pSelector->m_szItemsCount;
        m_szItemsMax = pSelector->m_szItemsMax;
        m_szItem = pSelector->m_szItem;
        m_szShown = pSelector->m_szShown;
    }
}

IMPLEMENT_SERIAL(CXTPControlLabel, CXTPControl, VERSIONABLE_SCHEMA | 16)

CXTPControlLabel::CXTPControlLabel()
{
    m_controlType = xtpControlLabel;
    m_dwFlags = xtpFlagSkipFocus | xtpFlagManualUpdate;
}
