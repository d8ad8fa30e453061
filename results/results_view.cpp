#include "results_view.h"

#include <afxdlgs.h>
#include <shlobj.h>

#include "caption_columns.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "list_column_sorter.h"
#include "main_preview_view.h"
#include "message_dialogs.h"
#include "properties_dlg.h"
#include "result_row_text.h"
#include "results_host.h"
#include "results_resource_ids.h"
#include "results_state.h"
#include "wait_dlg.h"

#include <vector>

namespace {

// The frame's "Recover Selected" command, also on the tree's context menu.
constexpr UINT ID_RECOVER_SELECTED_COMMAND = 32777;

constexpr wchar_t kNothingMarkedText[] =
    L"Please mark the file(s) and folder(s) that you want to save\r\nby clicking on check box.";
constexpr wchar_t kSnapshotAdviceText[] =
    L"Highly recommended to save snapshot for future purpose.Please save the Snapshot before going "
    L"back.\nDo you want to save Snapshot?";

// The splitter bars' least sizes of their first and second panes.
constexpr int kSplitterFirstMinimum = 90;
constexpr int kSplitterSecondMinimum = 110;
// The outer bar spans the client area alone, so that the list's and the preview's scroll bars stay in
// sight; the tree can still be widened until 10 pixels of the list remain, and keeps its width down to
// as narrow a window, as when the bar reached 100 pixels past the right edge with a minimum of 110.
constexpr int kOuterSplitterSecondMinimum = 10;
constexpr DWORD kSplitterStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
// The header's and the view's sort column when the rows stand in the scan's order.
constexpr int kNoSortedColumn = -1;

// The button state that draws a button pushed.
constexpr UINT kButtonPushed = 4;

// A compare kind per column of the list: text, numbers or dates; 0 leaves the column unsorted.
int SortKindOfColumn(int column)
{
    switch (column) {
    case 0:
    case 1:
        return kSortText;
    case 2:
    case 5:
        return kSortWholeNumber;
    case 3:
    case 4:
        return kSortDateTime;
    default:
        return 0;
    }
}

void DrawBitmap(CDC* pDC, UINT id, int x, int y, int width, int height, int* pWidth = NULL)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(id))
        return;
    BITMAP info = {};
    bitmap.GetBitmap(&info);
    if (pWidth != NULL)
        *pWidth = info.bmWidth;
    CDC memory;
    memory.CreateCompatibleDC(pDC);
    CBitmap* pOld = memory.SelectObject(&bitmap);
    pDC->StretchBlt(x, y, width < 0 ? info.bmWidth : width, height < 0 ? info.bmHeight : height, &memory, 0,
                    0, info.bmWidth, info.bmHeight, SRCCOPY);
    memory.SelectObject(pOld);
}

CSize BitmapSize(UINT id)
{
    CBitmap bitmap;
    BITMAP info = {};
    if (bitmap.LoadBitmap(id))
        bitmap.GetBitmap(&info);
    return CSize(info.bmWidth, info.bmHeight);
}

} // namespace

IMPLEMENT_DYNCREATE(CThirdView_HDD, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CThirdView_HDD, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_KEYDOWN()
    ON_WM_SETCURSOR()
    ON_WM_CTLCOLOR()
    ON_COMMAND(IDC_RESULTS_SAVE, OnSaveCommand)
    ON_COMMAND(IDC_RESULTS_BACK, OnBackCommand)
    ON_COMMAND(IDC_RESULTS_HOME, OnHomeCommand)
END_MESSAGE_MAP()
// clang-format on

CThirdView_HDD::CThirdView_HDD()
{
    m_labelFont.CreateFont(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

CThirdView_HDD::~CThirdView_HDD()
{
    if (engineUi.resultsView == this)
        engineUi.resultsView = nullptr;
    if (engineUi.recoveryTree == &m_tree.EngineSide())
        engineUi.recoveryTree = nullptr;
    if (m_pList != NULL && engineUi.resultList == &m_pList->EngineSide())
        engineUi.resultList = nullptr;
    delete m_pList;
}

void CThirdView_HDD::AttachEngineSide()
{
    engineUi.resultsView = this;
    engineUi.recoveryTree = &m_tree.EngineSide();
    if (m_pList != NULL)
        engineUi.resultList = &m_pList->EngineSide();
}

bool CThirdView_HDD::CreateButton(CToolButton& button, UINT id, UINT normal, UINT hover, LPCWSTR tooltip)
{
    const CSize size = BitmapSize(normal);
    if (!button.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(CPoint(0, 0), size), this, id))
        return false;
    button.LoadBitmaps(normal, hover);
    button.SetTooltipText(tooltip);
    return true;
}

int CThirdView_HDD::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_whiteBrush.CreateSolidBrush(RGB(255, 255, 255));
    m_sortColumn = 1;
    m_sortAscending = 1;

    // The tree's boxes are its own state images, set only by its own code: with the control's check-box
    // style the control would toggle them itself, at times that differ between systems.
    if (!m_tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                           TVS_SHOWSELALWAYS,
                       CRect(0, 0, 600, 300), this, IDC_RESULTS_TREE))
        return -1;

    CreateButton(m_saveButton, IDC_RESULTS_SAVE, IDB_RESULTS_SAVE, IDB_RESULTS_SAVE_HOVER,
                 L"Recover selected files and folders");
    CreateButton(m_backButton, IDC_RESULTS_BACK, IDB_RESULTS_BACK, IDB_RESULTS_BACK_HOVER, L"Back");
    CreateButton(m_homeButton, IDC_RESULTS_HOME, IDB_RESULTS_HOME, IDB_RESULTS_HOME_HOVER, L"Home");

    const UINT labelIds[3] = {IDC_RESULTS_LABEL_1, IDC_RESULTS_LABEL_2, IDC_RESULTS_LABEL_3};
    for (int i = 0; i < 3; ++i)
        m_labels[i].Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, labelIds[i]);

    m_pList = new CResultListCtrl;
    // The rows show the shell's small icons by the system image list's indexes, which the list shares and
    // must never destroy.
    if (!m_pList->Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_EDITLABELS |
                             LVS_SHAREIMAGELISTS,
                         CRect(0, 0, 0, 0), this, IDC_RESULTS_LIST))
        return -1;
    m_pList->SetExtendedStyle(m_pList->CListCtrl::GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES |
                              LVS_EX_FULLROWSELECT);
    // The check-box style brings the system's own state images; the list's own replace them.
    m_pList->InstallStateImages();
    if (const std::uintptr_t icons = UiShellInfo().GetSystemImageList(true))
        m_pList->SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, static_cast<LPARAM>(icons));
    m_pList->SetHeaderImages();

    // The list's tiled background; the system may not show it (Wine does not).
    HBITMAP background = static_cast<HBITMAP>(::LoadImageW(AfxGetResourceHandle(),
                                                           MAKEINTRESOURCEW(IDB_RESULTS_LIST_BACKGROUND),
                                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (background != NULL) {
        LVBKIMAGEW image = {};
        image.ulFlags = LVBKIF_SOURCE_HBITMAP | LVBKIF_STYLE_TILE;
        image.hbm = background;
        if (!m_pList->SendMessage(LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)))
            ::DeleteObject(background);
    }

    for (CStatic& label : m_labels)
        label.SetFont(&m_labelFont);

    if (!CreatePreviewHost())
        return -1;

    m_innerSplitter.Create(kSplitterStyle | CSplitterBar::kHorizontalBar, this, m_pList, m_pPreviewHost,
                           IDC_RESULTS_INNER_SPLITTER, CRect(0, 0, 0, 0), kSplitterFirstMinimum,
                           kSplitterSecondMinimum);
    m_outerSplitter.Create(kSplitterStyle | CSplitterBar::kVerticalBar, this, &m_tree, &m_innerSplitter,
                           IDC_RESULTS_OUTER_SPLITTER, CRect(0, 0, 0, 0), kSplitterFirstMinimum,
                           kOuterSplitterSecondMinimum);

    m_tree.Initialize();
    m_tree.SetResultList(m_pList);
    m_pList->SetTree(&m_tree);
    m_tree.SetContextMenuTracker([this](CMenu* pMenu, int x, int y) {
        return m_pHost != NULL ? m_pHost->TrackContextMenu(pMenu, x, y) : 0;
    });
    // Recover Selected of either menu is the Save button's road: every checked folder is saved with its
    // own files (a folder's save holds no subfolder), and every file marked on its own.
    m_tree.SetCommandHandler([this](UINT command, HTREEITEM item) {
        if (command == ID_RECOVER_SELECTED_COMMAND)
            OnSave();
        else if (command == ID_TREE_PROPERTIES)
            ShowFolderProperties(m_tree, item, this);
        else if (m_pHost != NULL)
            m_pHost->RunFrameCommand(command);
    });
    m_pList->SetCommandHandler([this](UINT command) {
        if (command == ID_RECOVER_SELECTED_COMMAND)
            OnSave();
        else if (m_pHost != NULL)
            m_pHost->RunFrameCommand(command);
    });
    m_pList->SetRowsClearedHandler([this] { ForgetSortOrder(); });
    m_pList->SetPreviewHandler([this](const CString& path, const CString& extension) {
        if (m_pHost != NULL)
            m_pHost->ShowPreview(static_cast<LPCWSTR>(path), static_cast<LPCWSTR>(extension));
    });
    m_tree.SetLoaderProgress(
        [this](std::uint32_t percent) { return m_pHost != NULL && m_pHost->ReportLoadProgress(percent); });

    if (CHeaderCtrl* pHeader = m_pList->GetHeaderCtrl()) {
        m_header.SubclassWindow(pHeader->GetSafeHwnd());
        m_header.ShowSortArrow(TRUE);
    }
    m_backButton.ShowWindow(SW_SHOW);
    m_saveButton.ShowWindow(SW_SHOW);
    m_bWaitCursor = FALSE;
    AttachEngineSide();
    return 0;
}

void CThirdView_HDD::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_saveButton.GetSafeHwnd() == NULL)
        return;
    m_saveButton.MoveWindow(cx - 144, cy - 32, 89, 26);
    if (m_pHost != NULL && m_pHost->ScanResultsReady()) {
        m_backRect = CRect(CPoint(cx - 229, cy - 32), CSize(74, 26));
        m_homeRect = CRect(CPoint(cx - 315, cy - 32), CSize(74, 26));
        m_backButton.MoveWindow(&m_backRect);
        m_homeButton.MoveWindow(&m_homeRect);
        m_backButton.ShowWindow(SW_SHOW);
    } else {
        m_homeButton.MoveWindow(cx - 229, cy - 32, 74, 26);
        // Back has no place before a scan has finished: it would stand over the tree where it was made.
        m_backButton.ShowWindow(SW_HIDE);
    }
    for (CStatic& label : m_labels)
        label.MoveWindow(0, 0, 0, 0);
    m_outerSplitter.MoveWindow(0, 0, cx, cy - 50);
}

void CThirdView_HDD::ShowCommandButtons()
{
    for (CToolButton* pButton : {&m_saveButton, &m_backButton, &m_homeButton}) {
        pButton->EnableWindow(TRUE);
        pButton->ShowWindow(SW_SHOW);
    }
    // The layout then hides Back again when no scan has finished.
    CRect client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.Width(), client.Height());
    Invalidate();
}

BOOL CThirdView_HDD::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CThirdView_HDD::PaintBackground(CDC* pDC, const CRect& client)
{
    DrawBitmap(pDC, IDB_RESULTS_BACKGROUND, 0, 0, client.Width(), client.Height());
    int leftWidth = 0;
    DrawBitmap(pDC, IDB_RESULTS_STRIP_LEFT, 0, 0, -1, -1, &leftWidth);
    const CSize right = BitmapSize(IDB_RESULTS_STRIP_RIGHT);
    const int rightLeft = client.Width() - right.cx;
    DrawBitmap(pDC, IDB_RESULTS_STRIP_RIGHT, rightLeft, 0, -1, -1);
    const CSize band = BitmapSize(IDB_RESULTS_BAND);
    if (rightLeft > leftWidth)
        DrawBitmap(pDC, IDB_RESULTS_BAND, leftWidth, 0, rightLeft - leftWidth, band.cy);
}

void CThirdView_HDD::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    PaintBackground(pDC, client);
    if (m_pHost != NULL) {
        const std::wstring summary = m_pHost->ModeSummary();
        CFont* pOld = pDC->SelectObject(&m_labelFont);
        pDC->SetBkMode(TRANSPARENT);
        // As wide as the wizard steps give it: the longest summary in the label font fits.
        CRect text(25, client.Height() - 40, 420, client.Height());
        DrawCaptionColumns(pDC, text, summary.c_str());
        pDC->SelectObject(pOld);
        if (m_pHost->ScanResultsReady() && !m_backRect.IsRectEmpty()) {
            m_backButton.MoveWindow(&m_backRect);
            m_homeButton.MoveWindow(&m_homeRect);
        }
    }
}

void CThirdView_HDD::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_TAB) {
        if (m_focusRing[0] == 1) {
            m_focusRing[0] = 0;
            m_focusRing[1] = 1;
            m_saveButton.SetState(TRUE);
            m_tree.SendMessage(WM_KILLFOCUS);
        } else if (m_focusRing[1] == 1) {
            m_focusRing[1] = 0;
            m_focusRing[2] = 1;
            m_saveButton.SetState(FALSE);
            m_backButton.SetState(TRUE);
        } else {
            m_focusRing[2] = 0;
            m_focusRing[3] = 0;
            m_focusRing[0] = 1;
            m_backButton.SetState(FALSE);
            m_tree.SetFocus();
        }
    } else if (nChar == VK_RETURN) {
        if ((m_saveButton.GetState() & kButtonPushed) != 0)
            OnSave();
        else if ((m_backButton.GetState() & kButtonPushed) != 0)
            OnBack();
    }
    CView::OnKeyDown(nChar, nRepCnt, nFlags);
}

BOOL CThirdView_HDD::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bWaitCursor) {
        RestoreWaitCursor();
        return TRUE;
    }
    return CView::OnSetCursor(pWnd, nHitTest, message);
}

void CThirdView_HDD::BeginWaitCursor()
{
    m_bWaitCursor = TRUE;
    CView::BeginWaitCursor();
}

void CThirdView_HDD::EndWaitCursor()
{
    m_bWaitCursor = FALSE;
    CView::EndWaitCursor();
}

HBRUSH CThirdView_HDD::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const int id = pWnd != NULL ? pWnd->GetDlgCtrlID() : 0;
    if (id == IDC_RESULTS_LABEL_1 || id == IDC_RESULTS_LABEL_2 || id == IDC_RESULTS_LABEL_3) {
        pDC->SetBkColor(RGB(255, 255, 255));
        pDC->SetTextColor(id == IDC_RESULTS_LABEL_1 ? RGB(0, 0, 0) : RGB(255, 0, 0));
        return static_cast<HBRUSH>(m_whiteBrush.GetSafeHandle());
    }
    (void)nCtlColor;
    return ::GetSysColorBrush(COLOR_WINDOW);
}

// The list sends its notifications, its header's clicks among them, to the window it was created in:
// this view, whichever splitter bar holds it now.
BOOL CThirdView_HDD::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* pNotify = reinterpret_cast<const NMHEADER*>(lParam);
    if (pNotify != NULL && (pNotify->hdr.code == HDN_ITEMCLICKW || pNotify->hdr.code == HDN_ITEMCLICKA) &&
        m_header.GetSafeHwnd() != NULL && pNotify->hdr.hwndFrom == m_header.GetSafeHwnd()) {
        SortByColumn(pNotify->iItem);
        if (pResult != NULL)
            *pResult = 0;
        return TRUE;
    }
    return CView::OnNotify(wParam, lParam, pResult);
}

int CThirdView_HDD::GetResultColumnCount()
{
    CHeaderCtrl* pHeader = m_pList != NULL ? m_pList->GetHeaderCtrl() : NULL;
    return pHeader != NULL ? pHeader->GetItemCount() : 0;
}

void CThirdView_HDD::SetResultColumns(std::span<const ResultColumn> columns)
{
    if (m_pList == NULL)
        return;
    // Columns that stand already stay, with the rows' texts under them and the widths the user gave: a
    // snapshot of the shown mode that is then refused leaves the rows as they were.
    bool standing = GetResultColumnCount() == static_cast<int>(columns.size());
    for (int index = 0; standing && index < static_cast<int>(columns.size()); ++index) {
        wchar_t title[64] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = 64;
        standing = m_pList->GetColumn(index, &column) &&
                   CString(title) == reinterpret_cast<const wchar_t*>(columns[index].title);
    }
    if (standing)
        return;
    for (int count = GetResultColumnCount(); count > 0; --count)
        m_pList->DeleteColumn(0);
    int index = 0;
    for (const ResultColumn& column : columns) {
        m_pList->InsertColumn(index++, reinterpret_cast<const wchar_t*>(column.title), LVCFMT_LEFT,
                              column.width);
    }
    // The list was created without columns: each set of them takes the header's images anew.
    m_pList->SetHeaderImages();
}

void CThirdView_HDD::SortByColumn(int column)
{
    const int kind = SortKindOfColumn(column);
    if (kind == 0 || m_pList == NULL || column >= GetResultColumnCount())
        return;
    m_sortAscending = column != m_sortColumn ? 1 : static_cast<std::uint8_t>(m_sortAscending == 0 ? 1 : 0);
    m_sortColumn = column;
    if (m_header.GetSafeHwnd() != NULL)
        m_header.SetSortImage(column, m_sortAscending != 0);
    CResultListCtrl& list = *m_pList;
    // The up entry first, then the folders and deleted folders in the column's order, then the rest: the
    // rows are ordered once with these groups, never taken out and put back.
    // A file's row is told by its type alone; the name is read only for the few others.
    CListColumnSorter sorter(list, column, [&list](int row) {
        const CString type = list.GetItemText(row, 1);
        const bool folder = IsFolderTypeText(type);
        if ((folder || type.IsEmpty()) && list.IsParentRow(row))
            return 0;
        return folder ? 1 : 2;
    });
    sorter.Sort(m_sortAscending != 0 ? kind : -kind);
    ClearParentEntryColumns();
}

void CThirdView_HDD::ForgetSortOrder()
{
    m_sortColumn = kNoSortedColumn;
    m_sortAscending = 1;
    if (m_header.GetSafeHwnd() != NULL && m_header.GetSortImage() != kNoSortedColumn)
        m_header.SetSortImage(kNoSortedColumn, TRUE);
}

void CThirdView_HDD::ClearParentEntryColumns()
{
    CResultListCtrl& list = *m_pList;
    if (list.GetItemCount() == 0 || !list.IsParentRow(0))
        return;
    for (int column = 1; column < GetResultColumnCount(); ++column) {
        if (!list.GetItemText(0, column).IsEmpty())
            list.SetItemText(0, column, L"");
    }
}

void CThirdView_HDD::PrepareSaveSelection()
{
    // What an earlier Save prepared and did not use (no folder chosen) is not marked any more.
    m_pList->SaveFolderItems.clear();
    m_pList->SaveFileIds.clear();
    for (TreeItemValue item : m_pList->CheckedFolderItems)
        m_pList->SaveFolderItems.insert(item);
    PrepareSaveFiles();
}

void CThirdView_HDD::OnSaveCommand()
{
    OnSave();
}

void CThirdView_HDD::OnBackCommand()
{
    OnBack();
}

void CThirdView_HDD::OnHomeCommand()
{
    OnHome();
}

void CThirdView_HDD::OnSave()
{
    if (m_pHost != NULL)
        m_pHost->NoteActiveView();
    {
        CWaitDlg wait(this);
        wait.m_pJobOwner = this;
        wait.DoModal();
    }
    ContinueSave();
}

void CThirdView_HDD::ContinueSave()
{
    if (m_pList->SaveFolderItems.empty() && m_pList->SaveFileIds.empty()) {
        MessageBoxRequest.Set(kNothingMarkedText, kMessageKindInformation);
        CMessageDlg message(this);
        message.DoModal();
        return;
    }
    std::u16string folder;
    BrowseForSaveFolder(folder);
    if (folder.empty())
        return;
    SaveIntoFolder(reinterpret_cast<const wchar_t*>(folder.c_str()));
}

void CThirdView_HDD::EmptyResults()
{
    m_tree.DeleteAllItems();
    m_pList->DeleteAllItems();
    m_pList->ClearMarks();
}

void CThirdView_HDD::OnBack()
{
    if (m_pHost == NULL)
        return;
    if (m_pHost->ScanResultsReady() && AutoHomeMarker != 5) {
        MessageBoxRequest.Set(kSnapshotAdviceText, kMessageKindQuestion);
        CQuestionDlg question(this);
        if (question.DoModal() == kQuestionAnswerYes)
            m_pHost->SaveSnapshot();
    }
    m_pHost->NoteActiveView();
    TreeInsertedCount = 0;
    PreviewClearPending = 1;
    m_selectedSizeText.Empty();
    m_pHost->ResetResultsAndTempFiles();
    m_pHost->ResetResultsAndTempFiles();
    m_pHost->ResetFrameResultsFlags();
    EmptyResults();
    switch (ScanSelection.scanKind) {
    case kScanExtensive:
        m_pHost->ReturnToFileSystemStep();
        break;
    case kScanFileTrace:
    case kScanQuick:
    default:
        m_pHost->ReturnToPartitionStep(ScanSelection.scanKind);
        break;
    }
}

void CThirdView_HDD::OnHome()
{
    OnBack();
    EmptyResults();
    if (m_pHost != NULL)
        m_pHost->ReturnHome();
}

void CThirdView_HDD::SetSelectedSizeText(const char16_t* text)
{
    m_selectedSizeText = reinterpret_cast<const wchar_t*>(text != nullptr ? text : u"");
}

std::u16string CThirdView_HDD::GetTargetFolder()
{
    return std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(m_targetFolder)),
                          static_cast<std::size_t>(m_targetFolder.GetLength()));
}

void CThirdView_HDD::SetCurrentFolderItem(TreeItemValue item)
{
    m_currentFolderItem = item;
}

std::u16string CThirdView_HDD::BrowseForFolder(const char16_t* title)
{
    // The folder chosen last is offered again; before the first choice, the process's current folder.
    CString initial = m_targetFolder;
    if (initial.IsEmpty()) {
        wchar_t directory[MAX_PATH + 1] = {};
        const DWORD length = ::GetCurrentDirectoryW(MAX_PATH + 1, directory);
        if (length > 0 && length <= MAX_PATH)
            initial = directory;
    }
    CString folder;
    if (!AfxBrowseForFolder(this, reinterpret_cast<const wchar_t*>(title), folder,
                            BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE, initial))
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(folder)),
                          static_cast<std::size_t>(folder.GetLength()));
}
