#include "find_files_dlg.h"

#include <afxdlgs.h>
#include <shlobj.h>
#include <windowsx.h>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/listing/find_files.h"
#include "engine/recovery/save/save_files.h"
#include "message_dialogs.h"
#include "modal_wait_dialog.h"
#include "result_row_text.h"
#include "results_resource_ids.h"
#include "results_state.h"
#include "saving_dlg.h"

#include <initializer_list>
#include <iterator>
#include <string>

std::uint32_t FindDlgOpen = 0;
CFindFileDlg* ActiveFindDlg = nullptr;

namespace {

// Sent by the search worker: a found row (lParam, a FoundFileRow), then the end with the row count.
constexpr UINT kFoundRowMessage = WM_APP + 1;
constexpr UINT kSearchEndedMessage = WM_APP + 2;
constexpr ULONGLONG kRowBatchMs = 100;

constexpr COLORREF kEditFrame = RGB(0x1D, 0x75, 0xBD);
constexpr COLORREF kEditText = RGB(0xB0, 0xB0, 0xB0);
constexpr int kColumnWidth = 100;

constexpr wchar_t kStopQuestion[] = L"Do you want to stop file searching ?";
constexpr wchar_t kNothingFoundText[] = L"Search is complete. There are no results to display.";
constexpr wchar_t kNothingMarkedText[] =
    L"Please mark the file(s) that you want to save\r\nby clicking on check box.";

constexpr const wchar_t* kColumnTitles[] = {
    L"File Name", L"Path", L"Size (Bytes)", L"Creation Time(GMT)", L"Modification Time(GMT)", L"ID"};

constexpr int kLabelIds[5] = {IDC_FIND_COUNT, IDC_FIND_LAST_FILE, IDC_FIND_COUNT_LABEL,
                              IDC_FIND_LAST_FILE_LABEL, IDC_FIND_PATTERN_LABEL};

CString Wide(const std::u16string& text)
{
    return CString(reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()));
}

std::u16string Text16(const CString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(text)),
                          static_cast<std::size_t>(text.GetLength()));
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CFindEdit, CEdit)
    ON_WM_NCPAINT()
END_MESSAGE_MAP()
// clang-format on

void CFindEdit::OnNcPaint()
{
    CWindowDC dc(this);
    CRect frame;
    GetWindowRect(&frame);
    frame.OffsetRect(-frame.left, -frame.top);
    CBrush brush(kEditFrame);
    dc.FrameRect(&frame, &brush);
}

BOOL CFindResultList::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_NOTIFY && pResult != NULL) {
        const auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
            // The rows' colours are the result list's; the preview it empties on its first paint is not
            // this list's.
            if (reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)->nmcd.dwDrawStage == CDDS_PREPAINT) {
                *pResult = CDRF_NOTIFYITEMDRAW;
                return TRUE;
            }
            return CResultListCtrl::OnChildNotify(message, wParam, lParam, pResult);
        }
        // Clicks, label edits and the rest go to the dialog, which wants none of them.
        return FALSE;
    }
    return CResultListCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT CFindResultList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN: {
        // The box of a row toggles here, once, whenever the control itself would toggle it.
        LVHITTESTINFO hit = {};
        hit.pt = CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        const int row = SubItemHitTest(&hit);
        if (row >= 0 && IsOnBox(hit.flags)) {
            if (GetCheckState(row) == 1)
                MarkUnchecked(row);
            else
                MarkChecked(row);
            return 0;
        }
        return DefWindowProc(message, wParam, lParam);
    }
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
    case WM_KEYUP:
        // Straight to the control: its own box toggle and selection, none of the results view's handling.
        return DefWindowProc(message, wParam, lParam);
    default:
        return CResultListCtrl::WindowProc(message, wParam, lParam);
    }
}

BOOL CFindResultList::PreTranslateMessage(MSG* pMsg)
{
    // Tab, Enter and F2 are the dialog's keys here.
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd)
        return FALSE;
    return CXTListCtrl::PreTranslateMessage(pMsg);
}

// clang-format off
BEGIN_MESSAGE_MAP(CFindFileDlg, CDialog)
    ON_BN_CLICKED(IDC_FIND_STOP, OnStopSearch)
    ON_BN_CLICKED(IDC_FIND_SELECT_ALL, OnSelectAll)
    ON_BN_CLICKED(IDC_FIND_SAVE, OnSaveSelected)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_MESSAGE(kFoundRowMessage, OnFoundRow)
    ON_MESSAGE(kSearchEndedMessage, OnSearchEnded)
END_MESSAGE_MAP()
// clang-format on

CFindFileDlg::CFindFileDlg(CWnd* pParent) : CDialog(IDD_FIND_FILES_DLG, pParent), m_skin(IDB_SKIN_FIND_FILES)
{}

CFindFileDlg::~CFindFileDlg()
{
    m_stop = 1;
    WaitForSearch();
}

void CFindFileDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FIND_STATUS, m_status);
    DDX_Control(pDX, IDC_FIND_SAVE, m_saveButton);
    DDX_Control(pDX, IDC_FIND_SELECT_ALL, m_selectAll);
    DDX_Control(pDX, IDC_FIND_STOP, m_stopButton);
    DDX_Control(pDX, IDOK, m_startButton);
    for (int i = 0; i < 5; ++i)
        DDX_Control(pDX, kLabelIds[i], m_labels[i]);
    DDX_Control(pDX, IDC_FIND_LIST, m_list);
    DDX_Control(pDX, IDC_FIND_PATTERN, m_pattern);
    DDX_Check(pDX, IDC_FIND_SELECT_ALL, m_bSelectAll);
}

BOOL CFindFileDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_font.CreateFont(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    for (CWnd* pControl : std::initializer_list<CWnd*>{&m_startButton, &m_stopButton, &m_saveButton,
                                                       &m_selectAll, &m_list, &m_pattern, &m_status})
        pControl->SetFont(&m_font);
    for (CTransparentStatic& label : m_labels)
        label.SetFont(&m_font);
    m_whiteBrush.CreateSolidBrush(RGB(255, 255, 255));

    // The system's small icons are shared: the list must not destroy them with itself.
    m_list.ModifyStyle(0, LVS_SHAREIMAGELISTS);
    if (const std::uintptr_t icons = m_shell.GetSystemImageList(true))
        m_list.SetImageList(CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(icons)), LVSIL_SMALL);
    m_list.SetExtendedStyle(m_list.CListCtrl::GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES |
                            LVS_EX_FULLROWSELECT);
    // The check-box style brings the system's own state images; the list's own replace them.
    m_list.InstallStateImages();
    for (int column = 0; column < static_cast<int>(std::size(kColumnTitles)); ++column)
        m_list.InsertColumn(column, kColumnTitles[column], LVCFMT_LEFT, kColumnWidth);
    m_list.SetHeaderImages();
    m_list.EnableWindow(FALSE);

    m_startButton.LoadBitmaps(IDB_FIND_START, IDB_FIND_START_HOVER);
    m_startButton.SetTooltipText(L"Start Searching the File(s)");
    m_stopButton.LoadBitmaps(IDB_FIND_STOP, IDB_FIND_STOP_HOVER);
    m_stopButton.SetTooltipText(L"Stop Searching the File(s)");
    m_saveButton.LoadBitmaps(IDB_FIND_SAVE, IDB_FIND_SAVE_HOVER);
    m_saveButton.SetTooltipText(L"Save Selected File(s)");
    m_stopButton.EnableWindow(FALSE);

    FindDlgOpen = 1;
    ActiveFindDlg = this;
    m_pattern.SetFocus();
    return FALSE;
}

void CFindFileDlg::ShowSearching(bool searching)
{
    m_stopButton.EnableWindow(searching);
    m_startButton.EnableWindow(!searching);
    m_saveButton.EnableWindow(!searching);
    m_selectAll.EnableWindow(!searching);
    m_list.EnableWindow(!searching);
}

void CFindFileDlg::ResetSelectAll()
{
    m_selectAll.SetWindowText(L"Select All");
    m_selectAll.SetCheck(BST_UNCHECKED);
    m_bSelectAll = FALSE;
}

void CFindFileDlg::OnOK()
{
    if (IsSearching())
        return;
    // The last search's worker has sent its end; it may still be returning.
    WaitForSearch();
    ResetSelectAll();
    ShowSearching(true);
    m_list.DeleteAllItems();
    SetDlgItemText(IDC_FIND_COUNT, L"0");
    SetDlgItemText(IDC_FIND_LAST_FILE, L"");
    m_status.SetWindowText(L"");

    CString pattern;
    m_pattern.GetWindowText(pattern);
    m_searchPattern = Text16(pattern);
    m_stop = 0;
    m_searching = true;
    m_pWorker = BeginWaitedWorker(SearchThread, this);
    if (m_pWorker == NULL) {
        m_searching = false;
        ShowSearching(false);
    }
}

UINT AFX_CDECL CFindFileDlg::SearchThread(LPVOID pParam)
{
    auto* pDialog = static_cast<CFindFileDlg*>(pParam);
    const HWND window = pDialog->m_hWnd;
    // The rows go to the dialog's thread in batches, at most ten a second and whenever the worker is
    // held, so that a search over many files waits for the dialog a few times, not once per row. The
    // dialog serves these messages until the worker has returned.
    int rows = 0;
    std::vector<FoundFileRow> batch;
    ULONGLONG lastSent = 0;
    auto handOver = [window, &batch, &lastSent] {
        if (!batch.empty())
            ::SendMessageW(window, kFoundRowMessage, 0, reinterpret_cast<LPARAM>(&batch));
        batch.clear();
        lastSent = ::GetTickCount64();
    };
    const std::uint32_t count =
        FindFiles(pDialog->m_searchPattern.c_str(), pDialog->m_stop, [&](const FoundFileRow& row) {
            batch.push_back(row);
            ++rows;
            if (s_workerHook) {
                handOver();
                s_workerHook(rows);
            } else if (::GetTickCount64() - lastSent >= kRowBatchMs) {
                handOver();
            }
        });
    handOver();
    ::SendMessageW(window, kSearchEndedMessage, count, 0);
    return 0;
}

LRESULT CFindFileDlg::OnFoundRow(WPARAM, LPARAM lParam)
{
    const auto& batch = *reinterpret_cast<const std::vector<FoundFileRow>*>(lParam);
    if (batch.empty())
        return 0;
    m_list.SetRedraw(FALSE);
    for (const FoundFileRow& found : batch) {
        const int row = m_list.CListCtrl::InsertItem(m_list.GetItemCount(), Wide(found.name),
                                                     m_shell.GetFileIconIndex(found.name.c_str(), true));
        if (row < 0)
            continue;
        m_list.CListCtrl::SetItemText(row, kColumnPath, Wide(found.path));
        m_list.CListCtrl::SetItemText(row, kColumnSize, Wide(DecimalText(found.size)));
        m_list.CListCtrl::SetItemText(row, kColumnCreated, Wide(found.created));
        m_list.CListCtrl::SetItemText(row, kColumnModified, Wide(found.modified));
        m_list.CListCtrl::SetItemText(row, kColumnId, Wide(DecimalText(found.id)));
    }
    m_list.SetRedraw(TRUE);
    m_list.Invalidate();
    CString count;
    count.Format(L"%d", m_list.GetItemCount());
    SetDlgItemText(IDC_FIND_COUNT, count);
    SetDlgItemText(IDC_FIND_LAST_FILE, Wide(batch.back().name));
    return 0;
}

LRESULT CFindFileDlg::OnSearchEnded(WPARAM wParam, LPARAM)
{
    const int count = static_cast<int>(wParam);
    if (count > 0) {
        CString status;
        status.Format(L"There were %d files found.", count);
        m_status.SetWindowText(status);
    } else {
        SetDlgItemText(IDC_FIND_COUNT, L"0");
        SetDlgItemText(IDC_FIND_LAST_FILE, L"");
        m_status.SetWindowText(kNothingFoundText);
    }
    m_searching = false;
    ShowSearching(false);
    return 0;
}

void CFindFileDlg::WaitForSearch()
{
    WaitForThreadServingSentMessages(m_pWorker);
}

void CFindFileDlg::OnStopSearch()
{
    if (!IsSearching())
        return;
    m_stopButton.EnableWindow(FALSE);
    MessageBoxRequest.Set(kStopQuestion, kMessageKindQuestion);
    // The worker searches on while the question is open; it may end meanwhile.
    CQuestionDlg question(this);
    const INT_PTR answer = question.DoModal();
    if (!IsSearching())
        return;
    if (answer != kQuestionAnswerYes) {
        m_stopButton.EnableWindow(TRUE);
        return;
    }
    // The worker sees the flag before its next record and ends the search as usual: the rows found stay.
    m_stop = 1;
    WaitForSearch();
}

void CFindFileDlg::SetAllBoxes(bool checked)
{
    for (int row = 0; row < m_list.GetItemCount(); ++row) {
        if (checked)
            m_list.MarkChecked(row);
        else
            m_list.MarkUnchecked(row);
    }
}

void CFindFileDlg::OnSelectAll()
{
    const bool on = m_selectAll.GetCheck() == BST_CHECKED && m_list.GetItemCount() > 0;
    m_bSelectAll = on ? TRUE : FALSE;
    m_selectAll.SetWindowText(on ? L"Unselect All" : L"Select All");
    m_selectAll.SetCheck(on ? BST_CHECKED : BST_UNCHECKED);
    SetAllBoxes(on);
    m_list.Invalidate();
}

std::vector<std::uint64_t> CFindFileDlg::CheckedRowIds() const
{
    std::vector<std::uint64_t> ids;
    for (int row = 0; row < m_list.GetItemCount(); ++row) {
        if (m_list.GetCheckState(row) == 1)
            ids.push_back(ParseIdColumn(m_list.GetItemText(row, kColumnId)));
    }
    return ids;
}

void CFindFileDlg::OnSaveSelected()
{
    if (IsSearching())
        return;
    const std::vector<std::uint64_t> ids = CheckedRowIds();
    if (ids.empty()) {
        MessageBoxRequest.Set(kNothingMarkedText, kMessageKindInformation);
        CMessageDlg message(this);
        message.DoModal();
        return;
    }
    // The folder chosen last for the results view's save is offered; before the first, the current folder.
    CString initial = Wide(UiResultsView().GetTargetFolder());
    if (initial.IsEmpty()) {
        wchar_t directory[MAX_PATH + 1] = {};
        const DWORD length = ::GetCurrentDirectoryW(MAX_PATH + 1, directory);
        if (length > 0 && length <= MAX_PATH)
            initial = directory;
    }
    CString target;
    if (!AfxBrowseForFolder(this, L"Please select the path to save the data", target,
                            BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, initial) ||
        target.IsEmpty())
        return;

    SaveFromFindResults = 1;
    {
        const std::u16string folder = Text16(target);
        CSavingDlg saving(this);
        saving.SetWork([folder, ids] { return SaveFoundFiles(folder, ids); });
        saving.DoModal();
    }
    SaveFromFindResults = 0;
    SetAllBoxes(false);
    ResetSelectAll();
    m_list.Invalidate();
}

void CFindFileDlg::OnCancel()
{
    if (IsSearching())
        return;
    CDialog::OnCancel();
}

void CFindFileDlg::OnClose()
{
    FindDlgOpen = 0;
    // The default turns the close into Cancel, which does nothing while a search runs.
    CDialog::OnClose();
}

void CFindFileDlg::OnDestroy()
{
    m_stop = 1;
    WaitForSearch();
    // However the dialog ends, the result list's menu is offered again.
    FindDlgOpen = 0;
    if (ActiveFindDlg == this)
        ActiveFindDlg = nullptr;
    CDialog::OnDestroy();
}

BOOL CFindFileDlg::OnEraseBkgnd(CDC* pDC)
{
    if (m_skin.Paint(pDC))
        return TRUE;
    return CDialog::OnEraseBkgnd(pDC);
}

HBRUSH CFindFileDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == IDC_FIND_PATTERN) {
        pDC->SetTextColor(kEditText);
        pDC->SetBkColor(RGB(255, 255, 255));
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
