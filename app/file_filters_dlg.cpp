#include "file_filters_dlg.h"

#include "dialog_fonts.h"
#include "engine/recovery/core/engine_state.h"
#include "message_dialogs.h"
#include "settings_dialog_ids.h"

#include <algorithm>

namespace {

// The leading and trailing blanks belong to the texts.
constexpr wchar_t kBlankEntryText[] = L"      Blank entry can't be added.Please provide text.    ";
constexpr wchar_t kTooLongText[] = L"      Filter too long.     ";
constexpr wchar_t kListFullText[] = L"      More Filters can't be added.     ";
constexpr wchar_t kDuplicateText[] = L"      Same Filter already exists in list.     ";

// The most characters read from the edit box.
constexpr int kEditReadLimit = 300;

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CFileFiltersDlg, CDialog)
    ON_BN_CLICKED(IDC_FILTER_ADD, OnAdd)
    ON_BN_CLICKED(IDC_FILTER_REMOVE, OnRemove)
    ON_BN_CLICKED(IDCANCEL, OnClose)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
// clang-format on

CFileFiltersDlg::CFileFiltersDlg(CWnd* pParent)
    : CDialog(IDD_FILE_FILTERS, pParent), m_skin(IDB_SKIN_FILE_FILTERS)
{}

void CFileFiltersDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FILTER_EDIT, m_edit);
    DDX_Control(pDX, IDC_FILTER_LIST, m_list);
    DDX_Control(pDX, IDC_FILTER_CAPTION, m_caption);
}

BOOL CFileFiltersDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateArialFont(m_font, 15, FW_NORMAL);
    for (int id : {IDC_FILTER_CAPTION, IDC_FILTER_EDIT, IDC_FILTER_LIST, IDC_FILTER_ADD, IDC_FILTER_REMOVE,
                   IDCANCEL}) {
        if (CWnd* pControl = GetDlgItem(id))
            pControl->SetFont(&m_font);
    }
    const int count = FileFilterTable.count < 0 ? 0 : std::min(FileFilterTable.count, kMaxFileFilters);
    for (int slot = 0; slot < count; ++slot) {
        wchar_t pattern[kFileFilterLength + 1] = {};
        for (int index = 0; index < kFileFilterLength && FileFilterTable.patterns[slot][index] != 0; ++index)
            pattern[index] = static_cast<wchar_t>(FileFilterTable.patterns[slot][index]);
        m_list.AddString(pattern);
    }
    m_edit.SetFocus();
    return FALSE;
}

void CFileFiltersDlg::ShowRefusal(LPCWSTR text)
{
    MessageBoxRequest.Set(text, kMessageKindInformation);
    CMessageDlg box(this);
    box.DoModal();
}

void CFileFiltersDlg::OnAdd()
{
    CString text;
    m_edit.GetWindowText(text);
    if (text.GetLength() > kEditReadLimit)
        text = text.Left(kEditReadLimit);
    if (text.IsEmpty()) {
        ShowRefusal(kBlankEntryText);
        m_edit.SetFocus();
        return;
    }
    if (text.GetLength() > kMaxPatternLength) {
        ShowRefusal(kTooLongText);
        // Characters 0 to 19, the first that does not fit, selected and scrolled into view.
        m_edit.SetSel(0, kMaxPatternLength + 1);
        m_edit.SetFocus();
        return;
    }
    if (m_list.GetCount() >= kMaxPatterns) {
        ShowRefusal(kListFullText);
        return;
    }
    // Patterns that differ only in case are different entries.
    for (int index = 0; index < m_list.GetCount(); ++index) {
        CString entry;
        m_list.GetText(index, entry);
        if (entry == text) {
            ShowRefusal(kDuplicateText);
            m_edit.SetFocus();
            m_edit.SetSel(0, -1);
            return;
        }
    }
    m_list.AddString(text);
    m_edit.SetWindowText(L"");
    m_edit.SetFocus();
}

void CFileFiltersDlg::OnRemove()
{
    const int selected = m_list.GetCurSel();
    if (selected != LB_ERR)
        m_list.DeleteString(selected);
}

void CFileFiltersDlg::OnOK()
{
    OnClose();
}

void CFileFiltersDlg::OnClose()
{
    // The list in its sorted order becomes the table; what is left of the old table is cleared.
    FileFilterTable = {};
    const int count = std::min(m_list.GetCount(), kMaxPatterns);
    for (int index = 0; index < count; ++index) {
        CString entry;
        m_list.GetText(index, entry);
        const int length = std::min(entry.GetLength(), kFileFilterLength - 1);
        for (int character = 0; character < length; ++character)
            FileFilterTable.patterns[index][character] = static_cast<char16_t>(entry[character]);
    }
    FileFilterTable.count = count;
    if (m_relist)
        m_relist();
    EndDialog(IDCANCEL);
}

BOOL CFileFiltersDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC))
        return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}

// The edit box and the list on the window colour; the caption keeps its own transparent drawing.
HBRUSH CFileFiltersDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd == &m_caption)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    return ::GetSysColorBrush(COLOR_WINDOW);
}
