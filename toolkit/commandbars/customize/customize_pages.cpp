#include "customize/customize_pages.h"

#include "command_bars.h"
#include "commandbars_resource_ids.h"
#include "customize/customize_sheet.h"
#include "image_manager.h"
#include "resource_loader.h"
#include "shortcut_manager.h"
#include "tool_bar.h"

#include <afxpriv.h>
#include <windowsx.h>

#include <algorithm>

namespace {
CString LoadText(UINT nId)
{
    CString strText;
    GetResourceLoader()->LoadString(&strText, nId);
    return strText;
}

CString FormatText(UINT nId, LPCTSTR lpszArgument)
{
    CString strText;
    strText.Format(LoadText(nId), lpszArgument);
    return strText;
}

// The first and last ids of toolbars the user makes.
const UINT kFirstToolbarId = 0xE800;
const UINT kLastToolbarId = 0xE8FE;
} // namespace

// ---------------------------------------------------------------------------------------------
// New toolbar

CXTPNewToolbarDlg::CXTPNewToolbarDlg(CWnd* pParent, CXTPCommandBars* pCommandBars, CXTPCommandBar* pRenamed)
    : CDialog(XTP_IDD_NEWTOOLBAR, pParent), m_pRenamed(pRenamed), m_pCommandBars(pCommandBars)
{}

void CXTPNewToolbarDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, XTP_IDC_EDIT_TOOLBARNAME, m_strName);
}

CString CXTPNewToolbarDlg::ProposeName(CXTPCommandBars* pCommandBars)
{
    const CString strFormat = LoadText(XTP_IDS_CUSTOM_BAR);
    CString strName;
    int n = 1;
    for (BOOL bTaken = TRUE; bTaken; ++n) {
        strName.Format(strFormat, n);
        bTaken = FALSE;
        for (int i = 0; i < pCommandBars->GetCount() && !bTaken; ++i)
            bTaken = pCommandBars->GetAt(i)->GetTitle() == strName;
    }
    return strName;
}

UINT CXTPNewToolbarDlg::FindFreeId(CXTPCommandBars* pCommandBars)
{
    for (UINT nId = kFirstToolbarId; nId <= kLastToolbarId; ++nId)
        if (pCommandBars->FindBar(nId) == NULL)
            return nId;
    return 0;
}

BOOL CXTPNewToolbarDlg::OnInitDialog()
{
    if (m_pRenamed != NULL) {
        m_strName = m_pRenamed->GetTitle();
        SetWindowText(LoadText(XTP_IDS_RENAMETOOLBAR));
    } else {
        m_strName = ProposeName(m_pCommandBars);
    }
    return CDialog::OnInitDialog();
}

void CXTPNewToolbarDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strName.IsEmpty()) {
        AfxMessageBox(LoadText(XTP_IDS_ERROR_BLANKNAME), MB_ICONERROR);
        return;
    }
    if (m_pRenamed == NULL) {
        m_nId = FindFreeId(m_pCommandBars);
        if (m_nId == 0) {
            AfxMessageBox(LoadText(XTP_IDS_ERROR_LIMIT), MB_ICONERROR);
            EndDialog(IDCANCEL);
            return;
        }
    }
    for (int i = 0; i < m_pCommandBars->GetCount(); ++i) {
        CXTPCommandBar* pBar = m_pCommandBars->GetAt(i);
        if (pBar != m_pRenamed && pBar->GetTitle() == m_strName) {
            AfxMessageBox(FormatText(XTP_IDS_ERROR_EXISTS, m_strName), MB_ICONERROR);
            return;
        }
    }
    EndDialog(IDOK);
}

// ---------------------------------------------------------------------------------------------
// Toolbars page

CXTPCustomizeToolbarsPage::CXTPCustomizeToolbarsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_TOOLBARS), m_pSheet(pSheet)
{}

CXTPCommandBars* CXTPCustomizeToolbarsPage::GetCommandBars() const
{
    return m_pSheet->GetCommandBars();
}

BOOL CXTPCustomizeToolbarsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_list.SubclassDlgItem(XTP_IDC_LIST_TOOLBARS, this);
    RefreshList();
    return TRUE;
}

CXTPToolBar* CXTPCustomizeToolbarsPage::GetSelectedToolBar() const
{
    const int nSelected = m_list.GetSafeHwnd() != NULL ? m_list.GetCurSel() : LB_ERR;
    if (nSelected == LB_ERR)
        return NULL;
    return DYNAMIC_DOWNCAST(CXTPToolBar,
                            GetCommandBars()->GetAt(static_cast<int>(m_list.GetItemData(nSelected))));
}

void CXTPCustomizeToolbarsPage::RefreshList()
{
    const int nTop = m_list.GetTopIndex();
    CXTPToolBar* pSelected = GetSelectedToolBar();
    m_list.ResetContent();
    CXTPCommandBars* pCommandBars = GetCommandBars();
    for (int i = 0; i < pCommandBars->GetCount(); ++i) {
        auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pCommandBars->GetAt(i));
        if (pToolBar == NULL || (!pToolBar->IsShowInList() && !pToolBar->IsVisible()))
            continue;
        const int nItem = m_list.AddString(pToolBar->GetTitle());
        m_list.SetCheck(nItem, pToolBar->IsVisible() ? 1 : 0);
        m_list.SetItemData(nItem, static_cast<DWORD_PTR>(i));
        if (pToolBar == pSelected)
            m_list.SetCurSel(nItem);
    }
    m_list.SetTopIndex(nTop);
    UpdateButtons();
}

void CXTPCustomizeToolbarsPage::UpdateButtons()
{
    CXTPToolBar* pToolBar = GetSelectedToolBar();
    const BOOL bBuiltIn = pToolBar != NULL && pToolBar->m_bBuiltIn;
    GetDlgItem(XTP_IDC_BUTTON_RESET)->EnableWindow(pToolBar != NULL && bBuiltIn);
    GetDlgItem(XTP_IDC_BUTTON_RENAME)->EnableWindow(pToolBar != NULL && !bBuiltIn);
    GetDlgItem(XTP_IDC_BUTTON_DELETE)->EnableWindow(pToolBar != NULL && !bBuiltIn);
}

void CXTPCustomizeToolbarsPage::OnCheckChange()
{
    CXTPToolBar* pToolBar = GetSelectedToolBar();
    if (pToolBar != NULL) {
        const int nSelected = m_list.GetCurSel();
        if (pToolBar->m_bCloseable)
            pToolBar->SetVisible(m_list.GetCheck(nSelected) != 0);
        else
            m_list.SetCheck(nSelected, 1);
        GetCommandBars()->RecalcFrameLayout();
    }
    RefreshList();
}

void CXTPCustomizeToolbarsPage::OnNew()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    CXTPNewToolbarDlg dlg(this, pCommandBars);
    if (dlg.DoModal() != IDOK)
        return;
    if (CXTPToolBar* pToolBar = pCommandBars->Add(dlg.m_strName, xtpBarTop)) {
        pToolBar->SetBarID(dlg.m_nId);
        pToolBar->m_bBuiltIn = FALSE;
        pCommandBars->RecalcFrameLayout();
    }
    RefreshList();
}

void CXTPCustomizeToolbarsPage::OnRename()
{
    CXTPToolBar* pToolBar = GetSelectedToolBar();
    if (pToolBar == NULL || pToolBar->m_bBuiltIn)
        return;
    CXTPNewToolbarDlg dlg(this, GetCommandBars(), pToolBar);
    if (dlg.DoModal() != IDOK)
        return;
    pToolBar->SetTitle(dlg.m_strName);
    if (::IsWindow(pToolBar->GetSafeHwnd()))
        pToolBar->Invalidate();
    const int nItem = m_list.GetCurSel();
    const int nCheck = m_list.GetCheck(nItem);
    const DWORD_PTR nData = m_list.GetItemData(nItem);
    m_list.DeleteString(nItem);
    m_list.InsertString(nItem, dlg.m_strName);
    m_list.SetCheck(nItem, nCheck);
    m_list.SetItemData(nItem, nData);
    m_list.SetCurSel(nItem);
    UpdateButtons();
}

void CXTPCustomizeToolbarsPage::OnDelete()
{
    CXTPToolBar* pToolBar = GetSelectedToolBar();
    if (pToolBar == NULL || pToolBar->m_bBuiltIn)
        return;
    if (AfxMessageBox(FormatText(XTP_IDS_CONFIRM_DELETE, pToolBar->GetTitle()),
                      MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    GetCommandBars()->Remove(pToolBar);
    GetCommandBars()->RecalcFrameLayout();
    RefreshList();
}

void CXTPCustomizeToolbarsPage::OnReset()
{
    CXTPToolBar* pToolBar = GetSelectedToolBar();
    if (pToolBar == NULL || !pToolBar->m_bBuiltIn)
        return;
    pToolBar->Reset(TRUE);
    RefreshList();
}

BOOL CXTPCustomizeToolbarsPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nCode = HIWORD(wParam);
    switch (LOWORD(wParam)) {
    case XTP_IDC_LIST_TOOLBARS:
        if (nCode == LBN_SELCHANGE)
            UpdateButtons();
        else if (nCode == CLBN_CHKCHANGE)
            OnCheckChange();
        return TRUE;
    case XTP_IDC_BUTTON_NEW:
        OnNew();
        return TRUE;
    case XTP_IDC_BUTTON_RENAME:
        OnRename();
        return TRUE;
    case XTP_IDC_BUTTON_DELETE:
        OnDelete();
        return TRUE;
    case XTP_IDC_BUTTON_RESET:
        OnReset();
        return TRUE;
    default:
        return CPropertyPage::OnCommand(wParam, lParam);
    }
}

// ---------------------------------------------------------------------------------------------
// Commands page

void CXTPCustomizeCommandsListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    lpMeasureItemStruct->itemHeight = 22;
}

void CXTPCustomizeCommandsListBox::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    auto* pControl = reinterpret_cast<CXTPControl*>(lpDrawItemStruct->itemData);
    CRect rect(lpDrawItemStruct->rcItem);
    const BOOL bSelected = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
    pDC->FillSolidRect(rect, ::GetSysColor(bSelected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (pControl == NULL || lpDrawItemStruct->itemID == static_cast<UINT>(-1))
        return;
    CXTPCommandBars* pCommandBars = m_pSheet->GetCommandBars();
    if (CXTPImageManagerIcon* pIcon =
            pCommandBars->GetImageManager()->GetImage(static_cast<UINT>(pControl->GetIconId()), 16))
        pIcon->Draw(pDC, CPoint(rect.left + 3, rect.top + (rect.Height() - 16) / 2));
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(::GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    CRect rcText(rect);
    rcText.left += 24;
    pDC->DrawText(pControl->GetCaption(), rcText, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

LRESULT CXTPCustomizeCommandsListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN) {
        BOOL bOutside = TRUE;
        const UINT nItem = ItemFromPoint(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), bOutside);
        if (!bOutside) {
            SetCurSel(static_cast<int>(nItem));
            GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), LBN_SELCHANGE),
                                     reinterpret_cast<LPARAM>(m_hWnd));
            auto* pControl = reinterpret_cast<CXTPControl*>(GetItemData(static_cast<int>(nItem)));
            // A copy goes out: the category's control stays where it is.
            if (CXTPControl* pCopy = pControl != NULL ? pControl->Clone(TRUE) : NULL) {
                m_pSheet->GetCommandBars()->GetDropSource()->DoDragDrop(pCopy, TRUE);
                pCopy->InternalRelease();
            }
            return 0;
        }
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

CXTPCustomizeCommandsPage::CXTPCustomizeCommandsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_COMMANDS), m_pSheet(pSheet)
{
    m_listCommands.m_pSheet = pSheet;
}

BOOL CXTPCustomizeCommandsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_listCategories.SubclassDlgItem(XTP_IDC_LIST_CATEGORIES, this);
    m_listCommands.SubclassDlgItem(XTP_IDC_LIST_COMMANDS, this);
    for (const XTP_CUSTOMIZE_CATEGORY& category : m_pSheet->GetCategories())
        m_listCategories.AddString(category.strName);
    m_listCategories.SetCurSel(0);
    if (m_pSheet->GetCommandBars()->IsRightToLeft())
        for (CWnd* pList : {static_cast<CWnd*>(&m_listCategories), static_cast<CWnd*>(&m_listCommands)})
            pList->ModifyStyleEx(0, WS_EX_LAYOUTRTL | WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR);
    OnCategoryChanged();
    return TRUE;
}

void CXTPCustomizeCommandsPage::OnCategoryChanged()
{
    m_listCommands.ResetContent();
    const int nCategory = m_listCategories.GetCurSel();
    const std::vector<XTP_CUSTOMIZE_CATEGORY>& categories = m_pSheet->GetCategories();
    if (nCategory < 0 || nCategory >= static_cast<int>(categories.size()))
        return;
    for (CXTPControl* pControl : categories[static_cast<size_t>(nCategory)].controls) {
        const int nItem = m_listCommands.AddString(pControl->GetCaption());
        m_listCommands.SetItemData(nItem, reinterpret_cast<DWORD_PTR>(pControl));
    }
}

BOOL CXTPCustomizeCommandsPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == XTP_IDC_LIST_CATEGORIES && HIWORD(wParam) == LBN_SELCHANGE) {
        OnCategoryChanged();
        return TRUE;
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// Keyboard page

CXTPCustomizeKeyboardPage::CXTPCustomizeKeyboardPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_KEYBOARD), m_pSheet(pSheet)
{}

BYTE CXTPCustomizeKeyboardPage::HotKeyToAccelFlags(WORD wModifiers)
{
    BYTE fVirt = FVIRTKEY;
    if (wModifiers & HOTKEYF_SHIFT)
        fVirt |= FSHIFT;
    if (wModifiers & HOTKEYF_CONTROL)
        fVirt |= FCONTROL;
    if (wModifiers & HOTKEYF_ALT)
        fVirt |= FALT;
    return fVirt;
}

WORD CXTPCustomizeKeyboardPage::AccelFlagsToHotKey(BYTE fVirt)
{
    WORD wModifiers = 0;
    if (fVirt & FSHIFT)
        wModifiers |= HOTKEYF_SHIFT;
    if (fVirt & FCONTROL)
        wModifiers |= HOTKEYF_CONTROL;
    if (fVirt & FALT)
        wModifiers |= HOTKEYF_ALT;
    return wModifiers;
}

BOOL CXTPCustomizeKeyboardPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_comboCategory.SubclassDlgItem(XTP_IDC_COMBO_CATEGORY, this);
    m_listCommands.SubclassDlgItem(XTP_IDC_LBOX_ACCEL_COMMANDS, this);
    m_listKeys.SubclassDlgItem(XTP_IDC_LBOX_KEYS, this);
    m_editShortcut.SubclassDlgItem(XTP_IDC_EDIT_SHORTCUTKEY, this);
    for (const XTP_CUSTOMIZE_CATEGORY& category : m_pSheet->GetCategories())
        m_comboCategory.AddString(category.strName);
    m_comboCategory.SetCurSel(0);
    OnCategoryChanged();
    return TRUE;
}

std::vector<ACCEL> CXTPCustomizeKeyboardPage::GetTable() const
{
    return m_pSheet->GetCommandBars()->GetShortcutManager()->GetAccelerators();
}

void CXTPCustomizeKeyboardPage::SetTable(const std::vector<ACCEL>& table)
{
    m_pSheet->GetCommandBars()->GetShortcutManager()->SetAccelerators(table.data(),
                                                                      static_cast<int>(table.size()));
}

void CXTPCustomizeKeyboardPage::OnCategoryChanged()
{
    m_listCommands.ResetContent();
    const int nCategory = m_comboCategory.GetCurSel();
    const std::vector<XTP_CUSTOMIZE_CATEGORY>& categories = m_pSheet->GetCategories();
    if (nCategory >= 0 && nCategory < static_cast<int>(categories.size())) {
        for (CXTPControl* pControl : categories[static_cast<size_t>(nCategory)].controls) {
            const int nId = pControl->GetID();
            const int nType = pControl->GetType();
            if (nId == 0 || (nType >= xtpControlPopup && nType <= xtpControlSplitButtonPopup) ||
                (nId >= ID_FILE_MRU_FIRST && nId <= ID_FILE_MRU_FIRST + 15))
                continue;
            CString strCaption = pControl->GetCaption();
            strCaption.Remove(L'&');
            const int nItem = m_listCommands.AddString(strCaption);
            m_listCommands.SetItemData(nItem, reinterpret_cast<DWORD_PTR>(pControl));
        }
    }
    OnCommandChanged();
}

UINT CXTPCustomizeKeyboardPage::GetSelectedCommand() const
{
    const int nItem = m_listCommands.GetCurSel();
    if (nItem == LB_ERR)
        return 0;
    auto* pControl = reinterpret_cast<CXTPControl*>(m_listCommands.GetItemData(nItem));
    return pControl != NULL ? static_cast<UINT>(pControl->GetID()) : 0;
}

void CXTPCustomizeKeyboardPage::OnCommandChanged()
{
    m_listKeys.ResetContent();
    const UINT nCommand = GetSelectedCommand();
    CString strDescription;
    if (nCommand != 0) {
        CXTPShortcutManager* pShortcuts = m_pSheet->GetCommandBars()->GetShortcutManager();
        const std::vector<ACCEL> table = GetTable();
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i].cmd != nCommand)
                continue;
            ACCEL accel = table[i];
            const int nItem = m_listKeys.AddString(pShortcuts->FormatAccelerator(&accel));
            m_listKeys.SetItemData(nItem, i);
        }
        auto* pControl =
            reinterpret_cast<CXTPControl*>(m_listCommands.GetItemData(m_listCommands.GetCurSel()));
        strDescription = pControl->GetDescription();
    }
    SetDlgItemText(XTP_IDC_TXT_DESC_OVERVIEW, strDescription);
    UpdateButtons();
}

void CXTPCustomizeKeyboardPage::UpdateButtons()
{
    const DWORD dwHotKey = static_cast<DWORD>(m_editShortcut.SendMessage(HKM_GETHOTKEY));
    const WORD wKey = LOBYTE(LOWORD(dwHotKey));
    const BYTE fVirt = HotKeyToAccelFlags(HIBYTE(LOWORD(dwHotKey)));
    CXTPShortcutManager* pShortcuts = m_pSheet->GetCommandBars()->GetShortcutManager();
    GetDlgItem(XTP_IDC_BUTTON_ASSIGN)
        ->EnableWindow(wKey != 0 && GetSelectedCommand() != 0 &&
                       pShortcuts->IsAllowedAccelerator(fVirt, wKey));
    GetDlgItem(XTP_IDC_BUTTON_REMOVE)->EnableWindow(m_listKeys.GetCurSel() != LB_ERR);
}

void CXTPCustomizeKeyboardPage::OnAssign()
{
    const UINT nCommand = GetSelectedCommand();
    const DWORD dwHotKey = static_cast<DWORD>(m_editShortcut.SendMessage(HKM_GETHOTKEY));
    const WORD wKey = LOBYTE(LOWORD(dwHotKey));
    if (nCommand == 0 || wKey == 0)
        return;
    const BYTE fVirt = HotKeyToAccelFlags(HIBYTE(LOWORD(dwHotKey)));
    std::vector<ACCEL> table = GetTable();
    auto taken = std::find_if(table.begin(), table.end(), [&](const ACCEL& accel) {
        return accel.key == wKey && (accel.fVirt & ~FNOINVERT) == (fVirt & ~FNOINVERT);
    });
    if (taken != table.end()) {
        if (AfxMessageBox(LoadText(XTP_IDS_CONFIRM_REASSIGN), MB_YESNO | MB_ICONWARNING) != IDYES)
            return;
        taken->cmd = static_cast<WORD>(nCommand);
    } else {
        table.push_back(ACCEL{fVirt, wKey, static_cast<WORD>(nCommand)});
    }
    SetTable(table);
    m_editShortcut.SendMessage(HKM_SETHOTKEY, 0);
    OnCommandChanged();
}

void CXTPCustomizeKeyboardPage::OnRemove()
{
    const int nItem = m_listKeys.GetCurSel();
    if (nItem == LB_ERR)
        return;
    std::vector<ACCEL> table = GetTable();
    const size_t nIndex = m_listKeys.GetItemData(nItem);
    if (nIndex >= table.size())
        return;
    table[nIndex] = table.back();
    table.pop_back();
    SetTable(table);
    OnCommandChanged();
}

void CXTPCustomizeKeyboardPage::OnResetAll()
{
    if (AfxMessageBox(LoadText(XTP_IDS_CONFIRM_KEYBOARD), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    m_pSheet->GetCommandBars()->GetShortcutManager()->Reset();
    OnCommandChanged();
}

BOOL CXTPCustomizeKeyboardPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nCode = HIWORD(wParam);
    switch (LOWORD(wParam)) {
    case XTP_IDC_COMBO_CATEGORY:
        if (nCode == CBN_SELCHANGE)
            OnCategoryChanged();
        return TRUE;
    case XTP_IDC_LBOX_ACCEL_COMMANDS:
        if (nCode == LBN_SELCHANGE)
            OnCommandChanged();
        return TRUE;
    case XTP_IDC_LBOX_KEYS:
        if (nCode == LBN_SELCHANGE)
            UpdateButtons();
        return TRUE;
    case XTP_IDC_EDIT_SHORTCUTKEY:
        if (nCode == EN_CHANGE)
            UpdateButtons();
        return TRUE;
    case XTP_IDC_BUTTON_ASSIGN:
        OnAssign();
        return TRUE;
    case XTP_IDC_BUTTON_REMOVE:
        OnRemove();
        return TRUE;
    case XTP_IDC_BUTTON_ACCEL_RESET:
        OnResetAll();
        return TRUE;
    default:
        return CPropertyPage::OnCommand(wParam, lParam);
    }
}

// ---------------------------------------------------------------------------------------------
// Options page

CXTPCustomizeOptionsPage::CXTPCustomizeOptionsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_OPTIONS), m_pSheet(pSheet)
{}

BOOL CXTPCustomizeOptionsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    const CXTPCommandBarsOptions* pOptions = m_pSheet->GetCommandBars()->GetCommandBarsOptions();
    CheckDlgButton(XTP_IDC_CHECK_FULL_MENUS, pOptions->bAlwaysShowFullMenus ? 1 : 0);
    CheckDlgButton(XTP_IDC_CHECK_AFTERDELAY, pOptions->bShowFullAfterDelay ? 1 : 0);
    CheckDlgButton(XTP_IDC_CHECK_LARGEICONS, pOptions->bLargeIcons ? 1 : 0);
    CheckDlgButton(XTP_IDC_CHECK_SCREENTTIPS, pOptions->bToolBarScreenTips ? 1 : 0);
    CheckDlgButton(XTP_IDC_CHECK_SHORTCUTS, pOptions->bToolBarAccelTips ? 1 : 0);
    CComboBox* pAnimation = static_cast<CComboBox*>(GetDlgItem(XTP_IDC_COMBO_ANIMATION));
    for (UINT nId = XTP_IDS_ANIMATION_SYSDEF; nId <= XTP_IDS_ANIMATION_NONE; ++nId)
        pAnimation->AddString(LoadText(nId));
    pAnimation->SetCurSel(static_cast<int>(pOptions->animationType));
    UpdateDependents();
    return TRUE;
}

void CXTPCustomizeOptionsPage::UpdateDependents()
{
    GetDlgItem(XTP_IDC_CHECK_AFTERDELAY)->EnableWindow(!IsDlgButtonChecked(XTP_IDC_CHECK_FULL_MENUS));
    GetDlgItem(XTP_IDC_CHECK_SHORTCUTS)->EnableWindow(IsDlgButtonChecked(XTP_IDC_CHECK_SCREENTTIPS));
}

BOOL CXTPCustomizeOptionsPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    CXTPCommandBars* pCommandBars = m_pSheet->GetCommandBars();
    CXTPCommandBarsOptions* pOptions = pCommandBars->GetCommandBarsOptions();
    const UINT nId = LOWORD(wParam);
    const BOOL bChecked = IsDlgButtonChecked(static_cast<int>(nId)) != 0;
    switch (nId) {
    case XTP_IDC_CHECK_FULL_MENUS:
        pOptions->bAlwaysShowFullMenus = bChecked;
        UpdateDependents();
        return TRUE;
    case XTP_IDC_CHECK_AFTERDELAY:
        pOptions->bShowFullAfterDelay = bChecked;
        return TRUE;
    case XTP_IDC_CHECK_LARGEICONS:
        pOptions->bLargeIcons = bChecked;
        pCommandBars->RecalcAllLayouts();
        return TRUE;
    case XTP_IDC_CHECK_SCREENTTIPS:
        pOptions->bToolBarScreenTips = bChecked;
        UpdateDependents();
        return TRUE;
    case XTP_IDC_CHECK_SHORTCUTS:
        pOptions->bToolBarAccelTips = bChecked;
        return TRUE;
    case XTP_IDC_BUTTON_RESETDATA:
        if (AfxMessageBox(LoadText(XTP_IDS_CONFIRM_RESETDATA), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
            IDYES)
            pCommandBars->ResetUsageData();
        return TRUE;
    case XTP_IDC_COMBO_ANIMATION:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            const int nSelected = static_cast<int>(SendDlgItemMessage(XTP_IDC_COMBO_ANIMATION, CB_GETCURSEL));
            if (nSelected != CB_ERR)
                pOptions->animationType = nSelected;
        }
        return TRUE;
    default:
        return CPropertyPage::OnCommand(wParam, lParam);
    }
}
