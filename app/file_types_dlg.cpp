#include "file_types_dlg.h"

#include "dialog_fonts.h"
#include "engine/recovery/core/engine_state.h"
#include "message_box_resource_ids.h"
#include "message_dialogs.h"
#include "partition_step_ids.h"
#include "recovery_app.h"
#include "resource.h"

namespace {

constexpr wchar_t kRootText[] = L"File Types";
constexpr wchar_t kInstructionText[] =
    L"What file types would you like to recover? [Please check file types] and click [Ok] to continue "
    L"with recovery.";
constexpr wchar_t kNothingCheckedText[] =
    L"Please select a file types and then \r\nclick [Scan] to continue with recovery.";

// The tree's icons are the source tree's seven, in this order; the dialog shows three of them.
const UINT kTreeIcons[] = {IDI_TREE_COMPUTER, IDI_TREE_FOLDER, IDI_TREE_CDROM,   IDI_TREE_REMOVABLE,
                           IDI_TREE_FLOPPY,   IDI_TREE_FIXED,  IDI_TREE_PARTITION};
constexpr int kImageRoot = 0;
constexpr int kImageCategory = 1;
constexpr int kImageItem = 6;

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CFileTypeTreeCtrl, CTreeCtrl)
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_KEYUP()
END_MESSAGE_MAP()
// clang-format on

int CFileTypeTreeCtrl::GetItemCheckState(HTREEITEM hItem) const
{
    return static_cast<int>(GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12) - 1;
}

void CFileTypeTreeCtrl::SetStateImage(HTREEITEM hItem, int nState)
{
    SetItemState(hItem, INDEXTOSTATEIMAGEMASK(nState), TVIS_STATEIMAGEMASK);
}

BOOL CFileTypeTreeCtrl::AllChildrenUnchecked(HTREEITEM hItem) const
{
    for (HTREEITEM child = GetChildItem(hItem); child != NULL; child = GetNextSiblingItem(child)) {
        if (GetItemCheckState(child) != kStateUnchecked - 1)
            return FALSE;
    }
    return TRUE;
}

BOOL CFileTypeTreeCtrl::AllChildrenChecked(HTREEITEM hItem) const
{
    for (HTREEITEM child = GetChildItem(hItem); child != NULL; child = GetNextSiblingItem(child)) {
        if (GetItemCheckState(child) != kStateChecked - 1)
            return FALSE;
    }
    return TRUE;
}

void CFileTypeTreeCtrl::SetDescendants(HTREEITEM hItem, int nState)
{
    for (HTREEITEM child = GetChildItem(hItem); child != NULL; child = GetNextSiblingItem(child)) {
        SetStateImage(child, nState);
        SetDescendants(child, nState);
    }
}

void CFileTypeTreeCtrl::SetCheckRecursive(HTREEITEM hItem, BOOL bCheck)
{
    if (hItem == NULL)
        return;
    const int state = bCheck ? kStateChecked : kStateUnchecked;
    SetStateImage(hItem, state);
    for (HTREEITEM parent = GetParentItem(hItem); parent != NULL; parent = GetParentItem(parent)) {
        if (AllChildrenChecked(parent))
            SetStateImage(parent, kStateChecked);
        else if (AllChildrenUnchecked(parent))
            SetStateImage(parent, kStateUnchecked);
        else
            SetStateImage(parent, kStatePartly);
    }
    SetDescendants(hItem, state);
}

void CFileTypeTreeCtrl::ToggleCheck(HTREEITEM hItem)
{
    SetCheckRecursive(hItem, GetItemCheckState(hItem) == kStateUnchecked - 1);
}

HTREEITEM CFileTypeTreeCtrl::FindOrInsertCategory(LPCTSTR lpszText, int nImage)
{
    const HTREEITEM root = GetRootItem();
    for (HTREEITEM child = GetChildItem(root); child != NULL; child = GetNextSiblingItem(child)) {
        if (GetItemText(child) == lpszText)
            return child;
    }
    return InsertChild(root, lpszText, nImage);
}

HTREEITEM CFileTypeTreeCtrl::InsertChild(HTREEITEM hParent, LPCTSTR lpszText, int nImage)
{
    const HTREEITEM item = InsertItem(lpszText, nImage, nImage, hParent, TVI_LAST);
    if (item != NULL)
        SetStateImage(item, kStateUnchecked);
    return item;
}

void CFileTypeTreeCtrl::OnLButtonDown(UINT /*nFlags*/, CPoint point)
{
    UINT flags = 0;
    const HTREEITEM item = HitTest(point, &flags);
    if (item == NULL)
        return;
    if ((flags & TVHT_ONITEMSTATEICON) != 0) {
        ToggleCheck(item);
    } else if ((flags & (TVHT_ONITEMLABEL | TVHT_ONITEMICON | TVHT_ONITEMRIGHT)) != 0) {
        SelectItem(item);
        SetFocus();
    } else {
        Expand(item, TVE_TOGGLE);
    }
}

void CFileTypeTreeCtrl::OnRButtonDown(UINT /*nFlags*/, CPoint point)
{
    const HTREEITEM item = HitTest(point);
    if (item != NULL)
        SelectItem(item);
    SetFocus();
}

void CFileTypeTreeCtrl::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CTreeCtrl::OnKeyUp(nChar, nRepCnt, nFlags);
    const HTREEITEM item = GetSelectedItem();
    if (item != NULL)
        SelectItem(item);
    SetFocus();
}

std::vector<std::uint32_t> FileTypeSizeEntries()
{
    std::vector<std::uint32_t> entries;
    for (std::uint32_t size = 1; size <= 20; ++size)
        entries.push_back(size);
    for (std::uint32_t size = 25; size <= 50; size += 5)
        entries.push_back(size);
    return entries;
}

// clang-format off
BEGIN_MESSAGE_MAP(CFileTypesDlg, CDialog)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
// clang-format on

CFileTypesDlg::CFileTypesDlg(CWnd* pParent)
    : CDialog(IDD_FILE_TYPES, pParent), m_strSignatureFile(ProgramFolder() + L"Raw.dat"), m_skin(IDB_SKIN_SETTINGS)
{}

void CFileTypesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FILE_TYPE_TREE, m_tree);
    DDX_Control(pDX, IDC_FILE_TYPE_SIZE, m_sizeCombo);
    DDX_Control(pDX, IDC_FILE_TYPE_INSTRUCTION, m_instruction);
    DDX_Control(pDX, IDC_FILE_TYPE_SIZE_CAPTION, m_sizeCaption);
    DDX_Control(pDX, IDC_FILE_TYPE_SIZE_UNIT, m_sizeUnit);
}

BOOL CFileTypesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateArialFont(m_font, 15, FW_NORMAL);
    for (CWnd* control : {static_cast<CWnd*>(&m_instruction), static_cast<CWnd*>(&m_sizeCaption),
                          static_cast<CWnd*>(&m_sizeUnit), static_cast<CWnd*>(&m_sizeCombo),
                          static_cast<CWnd*>(&m_tree)})
        control->SetFont(&m_font);

    // The entries are the sizes themselves; the stored size selects its own entry when the dialog opens
    // again, and a size that names none selects the first.
    int selected = 0;
    const std::vector<std::uint32_t> sizes = FileTypeSizeEntries();
    for (std::size_t index = 0; index < sizes.size(); ++index) {
        CString text;
        text.Format(L"%u MB", sizes[index]);
        m_sizeCombo.AddString(text);
        if (sizes[index] == TraceItemSizeMiB)
            selected = static_cast<int>(index);
    }
    m_sizeCombo.SetCurSel(selected);
    m_instruction.SetWindowText(kInstructionText);

    FillTree();
    return TRUE;
}

void CFileTypesDlg::FillTree()
{
    m_icons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 7, 1);
    for (UINT icon : kTreeIcons) {
        const HICON handle = static_cast<HICON>(
            ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(icon), IMAGE_ICON, 16, 16, 0));
        m_icons.Add(handle);
        if (handle != NULL)
            ::DestroyIcon(handle);
    }
    m_tree.SetImageList(&m_icons, TVSIL_NORMAL);
    if (m_states.Create(IDB_FILE_TYPE_STATES, 16, 1, RGB(255, 255, 255)))
        m_tree.SetImageList(&m_states, TVSIL_STATE);

    const HTREEITEM root = m_tree.InsertChild(TVI_ROOT, kRootText, kImageRoot);
    m_records = ReadSignatureFile(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(m_strSignatureFile))).records;
    for (const SignatureFileRecord& record : m_records) {
        if (record.extension.empty())
            continue;
        const CString category(reinterpret_cast<LPCWSTR>(SignatureCategoryName(record.category)));
        const HTREEITEM node = m_tree.FindOrInsertCategory(category, kImageCategory);
        const std::u16string extension = SignatureText(record.extension);
        m_tree.InsertChild(node, reinterpret_cast<LPCWSTR>(extension.c_str()), kImageItem);
    }
    m_tree.ToggleCheck(root);
    m_tree.Expand(root, TVE_TOGGLE);
}

BOOL CFileTypesDlg::AnyTypeChecked() const
{
    const HTREEITEM root = m_tree.GetRootItem();
    for (HTREEITEM child = m_tree.GetChildItem(root); child != NULL; child = m_tree.GetNextSiblingItem(child)) {
        if (m_tree.GetItemCheckState(child) != CFileTypeTreeCtrl::kStateUnchecked - 1)
            return TRUE;
    }
    return FALSE;
}

// Marks every record whose extension is the text of a checked item. Two items of one extension both
// choose every record of it; each record still becomes one signature.
void CFileTypesDlg::CollectChecked(HTREEITEM hItem, std::vector<bool>& chosen) const
{
    for (; hItem != NULL; hItem = m_tree.GetNextSiblingItem(hItem)) {
        if (m_tree.GetItemCheckState(hItem) == CFileTypeTreeCtrl::kStateChecked - 1) {
            const CString text = m_tree.GetItemText(hItem);
            for (std::size_t index = 0; index < m_records.size(); ++index) {
                const std::u16string extension = SignatureText(m_records[index].extension);
                if (text == reinterpret_cast<LPCWSTR>(extension.c_str()))
                    chosen[index] = true;
            }
        }
        CollectChecked(m_tree.GetChildItem(hItem), chosen);
    }
}

void CFileTypesDlg::OnOK()
{
    if (!AnyTypeChecked()) {
        MessageBoxRequest.Set(kNothingCheckedText, kMessageKindError);
        CMessageDlg dialog(this);
        dialog.DoModal();
        return;
    }
    const std::vector<std::uint32_t> sizes = FileTypeSizeEntries();
    const int selected = m_sizeCombo.GetCurSel();
    TraceItemSizeMiB = selected >= 0 && static_cast<std::size_t>(selected) < sizes.size() ? sizes[selected] : 1;

    // The list is this choice alone, in file order.
    FreeFileSignatureList();
    std::vector<bool> chosen(m_records.size(), false);
    CollectChecked(m_tree.GetRootItem(), chosen);
    for (std::size_t index = 0; index < m_records.size(); ++index) {
        if (chosen[index])
            AddSignatureFromRecord(m_records[index]);
    }
    CDialog::OnOK();
}

BOOL CFileTypesDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC))
        return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}
