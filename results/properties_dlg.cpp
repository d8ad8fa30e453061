#include "properties_dlg.h"

#include "engine/recovery/core/engine_ui.h"
#include "message_box_resource_ids.h"
#include "recovery_tree_ctrl.h"
#include "result_records.h"
#include "results_resource_ids.h"

#include <string>

namespace {

// Labels first, then the values in the same order.
constexpr int kStaticIds[10] = {IDC_PROPERTIES_NAME_LABEL,     IDC_PROPERTIES_SIZE_LABEL,
                                IDC_PROPERTIES_CONTAINS_LABEL, IDC_PROPERTIES_CREATED_LABEL,
                                IDC_PROPERTIES_MODIFIED_LABEL, IDC_PROPERTIES_NAME,
                                IDC_PROPERTIES_SIZE,           IDC_PROPERTIES_CONTAINS,
                                IDC_PROPERTIES_CREATED,        IDC_PROPERTIES_MODIFIED};
constexpr int kLabelCount = 5;

CString Decimal(std::uint64_t value)
{
    return CString(std::to_wstring(value).c_str());
}

void CreateArial(CFont& font, int height)
{
    font.CreateFont(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

} // namespace

CString PropertiesFileSizeText(std::uint64_t bytes)
{
    return Decimal(bytes / 1024 + 1) + L" KB";
}

CString PropertiesFolderSizeText(std::uint64_t bytes)
{
    const std::uint64_t megabytes = bytes / 1024 / 1024;
    return (megabytes == 0 ? CString(L"Less than 1") : Decimal(megabytes)) + L" MB";
}

CString PropertiesContentsText(std::uint64_t files, std::uint64_t folders)
{
    return Decimal(files) + L" File(s) and " + Decimal(folders) + L" Folder(s)";
}

// clang-format off
BEGIN_MESSAGE_MAP(CPropertiesDlg, CDialog)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
// clang-format on

CPropertiesDlg::CPropertiesDlg(const PropertiesTexts& texts, CRecoveryTreeCtrl* pTree, CWnd* pParent)
    : CDialog(IDD_PROPERTIES_DLG, pParent), m_texts(texts), m_pTree(pTree), m_skin(IDB_SKIN_PROPERTIES)
{}

void CPropertiesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < 10; ++i)
        DDX_Control(pDX, kStaticIds[i], m_statics[i]);
}

BOOL CPropertiesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateArial(m_labelFont, 16);
    CreateArial(m_valueFont, 15);
    for (int i = 0; i < 10; ++i)
        m_statics[i].SetFont(i < kLabelCount ? &m_labelFont : &m_valueFont);
    for (int id : {IDOK, IDCANCEL}) {
        if (CWnd* pButton = GetDlgItem(id))
            pButton->SetFont(&m_valueFont);
    }

    SetDlgItemText(IDC_PROPERTIES_NAME, m_texts.PropName);
    SetDlgItemText(IDC_PROPERTIES_CREATED, m_texts.PropCreated);
    SetDlgItemText(IDC_PROPERTIES_MODIFIED, m_texts.PropModified);
    if (!m_texts.PropIsFolder) {
        SetDlgItemText(IDC_PROPERTIES_SIZE, m_texts.PropSize);
        return TRUE;
    }
    TreeContentTotals totals;
    if (m_pTree != NULL && m_texts.PropItemId != 0)
        m_pTree->CountContents(reinterpret_cast<HTREEITEM>(m_texts.PropItemId), totals);
    m_texts.PropFileCount = totals.files;
    m_texts.PropByteCount = totals.bytes;
    m_texts.PropFolderCount = totals.folders;
    SetDlgItemText(IDC_PROPERTIES_CONTAINS, PropertiesContentsText(totals.files, totals.folders));
    SetDlgItemText(IDC_PROPERTIES_SIZE, PropertiesFolderSizeText(totals.bytes));
    return TRUE;
}

BOOL CPropertiesDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC))
        return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}

void ShowFolderProperties(CRecoveryTreeCtrl& tree, HTREEITEM item, CWnd* pParent)
{
    if (item == NULL)
        return;
    PropertiesTexts texts;
    texts.PropIsFolder = true;
    texts.PropItemId = reinterpret_cast<TreeItemValue>(item);
    texts.PropName = tree.GetItemText(item);
    const FolderRecordValues folder = FindFolderByItem(texts.PropItemId);
    if (folder.found) {
        texts.PropCreated = folder.created;
        texts.PropModified = folder.modified;
    }
    CPropertiesDlg dialog(texts, &tree, pParent);
    dialog.DoModal();
}
