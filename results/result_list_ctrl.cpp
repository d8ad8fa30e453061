#include "result_list_ctrl.h"

#include <windowsx.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "latest_window_texts.h"
#include "recovery_tree_ctrl.h"
#include "redraw_pause.h"
#include "result_row_text.h"
#include "results_resource_ids.h"
#include "results_state.h"

#include <algorithm>

namespace {

constexpr COLORREF kDeletedText = RGB(255, 0, 0);
constexpr COLORREF kParentBack = 0x95CAFF;
constexpr int kHeaderImageCount = 7;
// The header icons in the order of the columns they stand on.
constexpr UINT kHeaderIconOrder[kHeaderImageCount] = {163, 162, 164, 161, 166, 167, 165};
// The engine reads at most this many characters of a cell.
constexpr int kEngineCellLength = 100;

CString Wide(const char16_t* text)
{
    return CString(reinterpret_cast<const wchar_t*>(text != nullptr ? text : u""));
}

} // namespace

// The list as the engine's listings and save see it. Listings may run on a worker thread. The rows a
// listing writes after DeleteAllItems are kept here as data and put into the list on its own thread a
// slice at a time, with drawing off, as they come, and the rest when the listing ends or anything else
// is asked of the list; every other call goes to the list window as it is. A listing that stops keeps
// every row it wrote: at most a slice waits here. Rows are written by one thread at a time.
class CResultListCtrl::EngineSeam final : public ResultListUi
{
public:
    explicit EngineSeam(CResultListCtrl& list) : m_list(list) {}

    void DeleteAllItems() override
    {
        m_rows.clear();
        m_first = 0;
        EmptyList();
        m_collecting = true;
    }
    int GetItemCount() override
    {
        ShowRows();
        return m_list.GetItemCount();
    }
    int InsertItem(int row, const char16_t* text, int imageIndex) override
    {
        if (!m_collecting || row != m_first + static_cast<int>(m_rows.size())) {
            ShowRows();
            return m_list.CListCtrl::InsertItem(row, Wide(text), imageIndex);
        }
        // The rows kept are complete once the next one begins.
        if (m_rows.size() >= m_sliceRows)
            PutRows();
        PendingRow pending;
        pending.texts[0] = Wide(text);
        pending.image = imageIndex;
        m_rows.push_back(std::move(pending));
        return row;
    }
    void SetItemText(int row, int column, const char16_t* text) override
    {
        if (PendingRow* pending = Pending(row)) {
            if (column > 0 && column < kPendingColumns)
                pending->texts[column] = Wide(text);
            return;
        }
        ShowRows();
        m_list.CListCtrl::SetItemText(row, column, Wide(text));
    }
    std::u16string GetItemText(int row, int column) override
    {
        ShowRows();
        const CString text = m_list.CListCtrl::GetItemText(row, column).Left(kEngineCellLength);
        return std::u16string(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(text)),
                              static_cast<std::size_t>(text.GetLength()));
    }
    void Update(int row) override
    {
        ShowRows();
        m_list.CListCtrl::Update(row);
    }
    void SwitchToReportView() override
    {
        ShowRows();
        m_list.ModifyStyle(LVS_TYPEMASK, LVS_REPORT);
    }
    // A listed row shows what the maps hold of it (AppendRows), whatever the listing asks: a listing
    // marks every row, and after a File Trace nothing is marked.
    void CheckItem(int row) override
    {
        if (Pending(row) != nullptr)
            return;
        ShowRows();
        m_list.CheckItem(row);
    }
    void MarkChecked(int row) override
    {
        if (Pending(row) != nullptr)
            return;
        ShowRows();
        m_list.MarkChecked(row);
    }
    std::vector<std::uint64_t> GetMarkedEntryIds() override
    {
        return {m_list.SaveFileIds.begin(), m_list.SaveFileIds.end()};
    }
    std::vector<TreeItemValue> GetMarkedTreeItems() override
    {
        return {m_list.SaveFolderItems.begin(), m_list.SaveFolderItems.end()};
    }
    void EndRows() override
    {
        ShowRows();
        m_collecting = false;
    }
    bool RowsStopped() override { return m_list.RowsStopped(); }

private:
    static constexpr int kPendingColumns = 6;
    // The first slice is small, so that the first rows show at once; the later ones take about
    // kSliceMs of the list's thread each: long enough that the list's repaint after a slice costs
    // little beside it, short enough that Cancel is served between slices within a fraction of a second.
    static constexpr std::size_t kFirstSliceRows = 500;
    static constexpr std::size_t kMostSliceRows = 20000;
    static constexpr ULONGLONG kSliceMs = 150;
    // Rows that one call deletes in well under a second: below them the lookups cost little.
    static constexpr int kEmptiedAtOnce = 40000;
    struct PendingRow
    {
        CString texts[kPendingColumns];
        int image = 0;
    };

    PendingRow* Pending(int row)
    {
        return m_collecting && row >= m_first && row < m_first + static_cast<int>(m_rows.size())
                   ? &m_rows[row - m_first]
                   : nullptr;
    }

    // The kept rows into the list, on the list's thread, in one call; the listing goes on after them.
    void PutRows()
    {
        if (m_rows.empty())
            return;
        if (m_list.GetSafeHwnd() != NULL) {
            const ULONGLONG started = ::GetTickCount64();
            RunOnWindowThread(m_list.GetSafeHwnd(),
                              [this] { m_list.AppendRows(m_rows.data(), m_rows.size()); });
            const ULONGLONG took = ::GetTickCount64() - started;
            const std::size_t rows = m_rows.size();
            m_sliceRows = took == 0 ? std::min(2 * rows, kMostSliceRows)
                                    : std::clamp(static_cast<std::size_t>(rows * kSliceMs / took),
                                                 kFirstSliceRows, kMostSliceRows);
        }
        m_first += static_cast<int>(m_rows.size());
        m_rows.clear();
    }

    // The list control looks each deleted row up among all the rows it holds, so that emptying a list of
    // 100,000 rows in one call holds its thread for seconds. From a worker the last rows go in slices of
    // about kSliceMs, between which the window paints and takes its input, and the few left in one call.
    void EmptyList()
    {
        const HWND window = m_list.GetSafeHwnd();
        if (window == NULL || ::GetWindowThreadProcessId(window, NULL) == ::GetCurrentThreadId()) {
            m_list.DeleteAllItems();
            return;
        }
        for (bool more = true; more;) {
            RunOnWindowThread(window, [&] {
                int row = m_list.GetItemCount() - 1;
                more = row >= kEmptiedAtOnce;
                if (!more) {
                    m_list.DeleteAllItems();
                    return;
                }
                const CRedrawPause pause(m_list);
                const ULONGLONG started = ::GetTickCount64();
                for (; row >= kEmptiedAtOnce; --row) {
                    m_list.DeleteItem(row);
                    if (row % 256 == 0 && ::GetTickCount64() - started >= kSliceMs)
                        break;
                }
            });
        }
    }

    // The listing's last rows into the list.
    void ShowRows()
    {
        PutRows();
        m_first = 0;
        m_sliceRows = kFirstSliceRows;
        m_collecting = false;
    }

    friend class CResultListCtrl;
    CResultListCtrl& m_list;
    std::vector<PendingRow> m_rows;
    int m_first = 0; // the list's row of m_rows[0]: the rows before it are in the list
    std::size_t m_sliceRows = kFirstSliceRows;
    bool m_collecting = false;
};

IMPLEMENT_DYNAMIC(CResultListCtrl, CXTListCtrl)

CResultListCtrl::CResultListCtrl()
{
    m_headerImages.Create(16, 16, ILC_MASK | ILC_COLOR4, 0, 7);
    for (UINT id : kHeaderIconOrder) {
        HICON icon = static_cast<HICON>(
            ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 48, 48, 0));
        if (icon == NULL)
            icon = static_cast<HICON>(
                ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
        m_headerImages.Add(icon);
        if (icon != NULL)
            ::DestroyIcon(icon);
    }
    m_font.CreateFont(15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    m_hHandCursor = ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_RESULT_LIST_HAND));
    m_pSeam = new EngineSeam(*this);
}

CResultListCtrl::~CResultListCtrl()
{
    delete m_pSeam;
    if (m_hHandCursor != NULL)
        ::DestroyCursor(m_hHandCursor);
    if (m_pStateImages != NULL) {
        m_pStateImages->DeleteImageList();
        delete m_pStateImages;
    }
}

ResultListUi& CResultListCtrl::EngineSide()
{
    return *m_pSeam;
}

void CResultListCtrl::AppendRows(const void* rows, std::size_t count)
{
    const auto* pending = static_cast<const EngineSeam::PendingRow*>(rows);
    const CRedrawPause pause(*this);
    const int first = GetItemCount();
    const int idColumn = IdColumn();
    const std::vector<CString> checkedNames = CheckedTraceNames();
    SetItemCountEx(first + static_cast<int>(count), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    for (std::size_t i = 0; i < count; ++i) {
        const EngineSeam::PendingRow& row = pending[i];
        LVITEM item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = first + static_cast<int>(i);
        item.pszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(row.texts[0]));
        item.iImage = row.image;
        // Each row's data is its own number: a column sort moves the rows by it and changes none of them.
        item.lParam = item.iItem;
        const int index = CListCtrl::InsertItem(&item);
        if (index < 0)
            continue;
        for (int column = 1; column < EngineSeam::kPendingColumns; ++column) {
            if (!row.texts[column].IsEmpty())
                CListCtrl::SetItemText(index, column, row.texts[column]);
        }
        // A row comes with the unmarked box; a state set is two notices to the view, made only where
        // the row shows another.
        if (IsParentEntryText(row.texts[0]))
            SetStateImage(index, kRowStateParent);
        else if (MapsMarkRow(row.texts[idColumn], row.texts[1], row.texts[0], checkedNames))
            SetStateImage(index, kRowStateMarked);
    }
}

bool CResultListCtrl::MapsMarkRow(const CString& idText, const CString& typeText, const CString& name,
                                  const std::vector<CString>& checkedNames) const
{
    if (!idText.IsEmpty()) {
        const std::uint64_t id = ParseIdColumn(idText);
        if (IsFolderTypeText(typeText) ? CheckedFolderItems.count(static_cast<TreeItemValue>(id)) != 0
                                       : CheckedFileIds.count(id) != 0)
            return true;
    }
    return !checkedNames.empty() &&
           std::find(checkedNames.begin(), checkedNames.end(), name) != checkedNames.end();
}

std::vector<CString> CResultListCtrl::CheckedTraceNames() const
{
    std::vector<CString> names;
    if (ScanSelection.scanKind != kScanFileTrace || m_pTree == NULL)
        return names;
    for (TreeItemValue item : CheckedTreeItems)
        names.push_back(m_pTree->GetItemText(reinterpret_cast<HTREEITEM>(item)));
    return names;
}

void CResultListCtrl::InstallStateImages()
{
    if (m_pStateImages != NULL)
        return;
    m_pStateImages = new CImageList;
    CBitmap states;
    if (!states.LoadBitmap(IDB_RESULT_LIST_STATES) ||
        !m_pStateImages->Create(16, 16, ILC_MASK | ILC_COLOR24, 3, 1)) {
        delete m_pStateImages;
        m_pStateImages = NULL;
        return;
    }
    m_pStateImages->Add(&states, RGB(255, 255, 255));
    SetImageList(m_pStateImages, LVSIL_STATE);
}

void CResultListCtrl::SetHeaderImages()
{
    CHeaderCtrl* pHeader = GetHeaderCtrl();
    if (pHeader == NULL)
        return;
    pHeader->SetImageList(&m_headerImages);
    const int count = std::min(pHeader->GetItemCount(), kHeaderImageCount);
    for (int column = 0; column < count; ++column) {
        HDITEM item = {};
        item.mask = HDI_FORMAT;
        pHeader->GetItem(column, &item);
        item.mask = HDI_FORMAT | HDI_IMAGE;
        item.fmt |= HDF_IMAGE;
        item.iImage = column;
        pHeader->SetItem(column, &item);
    }
    if (count > 1) {
        HDITEM second = {};
        second.mask = HDI_FORMAT;
        pHeader->GetItem(1, &second);
        HDITEM first = {};
        first.mask = HDI_FORMAT | HDI_IMAGE;
        first.fmt = second.fmt | HDF_IMAGE;
        first.iImage = 0;
        pHeader->SetItem(0, &first);
    }
}

void CResultListCtrl::SetStateImage(int row, int state)
{
    SetItemState(row, INDEXTOSTATEIMAGEMASK(state), LVIS_STATEIMAGEMASK);
}

void CResultListCtrl::MarkChecked(int row)
{
    // The up entry never shows a box, whatever the listing asks.
    SetStateImage(row, IsParentRow(row) ? kRowStateParent : kRowStateMarked);
}

void CResultListCtrl::ShowMark(int row, bool marked)
{
    const int state = IsParentRow(row) ? kRowStateParent : marked ? kRowStateMarked : kRowStateUnmarked;
    if (GetCheckState(row) != state - 1)
        SetStateImage(row, state);
}

void CResultListCtrl::MarkUnchecked(int row)
{
    SetStateImage(row, IsParentRow(row) ? kRowStateParent : kRowStateUnmarked);
}

void CResultListCtrl::ClearStateImage(int row)
{
    SetStateImage(row, kRowStateNone);
}

int CResultListCtrl::GetCheckState(int row) const
{
    return static_cast<int>((GetItemState(row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) - 1;
}

bool CResultListCtrl::IsParentRow(int row) const
{
    return IsParentEntryText(GetItemText(row, 0));
}

bool CResultListCtrl::IsFolderRow(int row) const
{
    return IsFolderTypeText(GetItemText(row, 1));
}

int CResultListCtrl::IdColumn()
{
    return ScanSelection.scanKind == kScanFileTrace ? 2 : 5;
}

std::uint64_t CResultListCtrl::RowId(int row) const
{
    return ParseIdColumn(GetItemText(row, IdColumn()));
}

void CResultListCtrl::CheckAllRows()
{
    for (int row = 0; row < GetItemCount(); ++row) {
        if (!IsParentRow(row))
            MarkChecked(row);
    }
}

void CResultListCtrl::UncheckAllRows()
{
    for (int row = 0; row < GetItemCount(); ++row) {
        if (!IsParentRow(row))
            MarkUnchecked(row);
    }
}

int CResultListCtrl::AllRowsChecked() const
{
    for (int row = 0; row < GetItemCount(); ++row) {
        if (!IsParentRow(row) && GetCheckState(row) != 1)
            return 0;
    }
    return 1;
}

int CResultListCtrl::NoRowChecked() const
{
    for (int row = 0; row < GetItemCount(); ++row) {
        if (!IsParentRow(row) && GetCheckState(row) != 0)
            return 0;
    }
    return 1;
}

void CResultListCtrl::ClearMarks()
{
    CheckedFileIds.clear();
    CheckedFolderItems.clear();
    SaveFolderItems.clear();
    SaveFileIds.clear();
    CheckedTreeItems.clear();
}

void CResultListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* pDraw, LRESULT* pResult)
{
    *pResult = CDRF_DODEFAULT;
    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        // Results left or a new search begun: the first paint after it empties the preview pane.
        if (PreviewClearPending != 0) {
            PreviewClearPending = 0;
            ShowEntryPreview(CString(), 1);
        }
        *pResult = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT: {
        const int row = static_cast<int>(pDraw->nmcd.dwItemSpec);
        const CString type = GetItemText(row, 1);
        const CString name = GetItemText(row, 0);
        if (IsDeletedTypeText(type)) {
            pDraw->clrText = kDeletedText;
            pDraw->clrTextBk = RGB(255, 255, 255);
        } else if (name.Left(9) == L"Parent...") {
            pDraw->clrText = kDeletedText;
            pDraw->clrTextBk = kParentBack;
            if (GetCheckState(row) != kRowStateParent - 1)
                SetStateImage(row, kRowStateParent);
        } else {
            pDraw->clrText = RGB(0, 0, 0);
            pDraw->clrTextBk = RGB(255, 255, 255);
        }
        ::SelectObject(pDraw->nmcd.hdc, m_font.GetSafeHandle());
        *pResult = CDRF_NEWFONT;
        break;
    }
    default:
        break;
    }
}

BOOL CResultListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_NOTIFY && pResult != NULL &&
        reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam), pResult);
        return TRUE;
    }
    if (message == WM_NOTIFY && pResult != NULL) {
        const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
        // Emptying the list asks for no notice per row: a folder of 100,000 rows would send as many.
        if (code == static_cast<UINT>(LVN_DELETEALLITEMS)) {
            if (m_rowsClearedHandler)
                m_rowsClearedHandler();
            *pResult = TRUE;
            return TRUE;
        }
        if (code == static_cast<UINT>(LVN_BEGINLABELEDITW)) {
            *pResult = OnBeginLabelEdit(reinterpret_cast<NMLVDISPINFOW*>(lParam)) ? FALSE : TRUE;
            return TRUE;
        }
        if (code == static_cast<UINT>(LVN_ENDLABELEDITW)) {
            // The row's text is set by the handler, or stays: the control itself takes none.
            OnEndLabelEdit(reinterpret_cast<NMLVDISPINFOW*>(lParam));
            *pResult = FALSE;
            return TRUE;
        }
        if (code == static_cast<UINT>(NM_CLICK) || code == static_cast<UINT>(NM_DBLCLK)) {
            LVHITTESTINFO hit = {};
            hit.pt = reinterpret_cast<NMITEMACTIVATE*>(lParam)->ptAction;
            const int row = SubItemHitTest(&hit);
            // A click on a box marks or unmarks its row: that is the marking's, not the opening's.
            if (row >= 0 && !IsOnBox(hit.flags)) {
                if (code == static_cast<UINT>(NM_CLICK))
                    OnRowClick(row);
                else
                    OnRowDoubleClick(row);
            }
            *pResult = 0;
            return TRUE;
        }
    }
    return CXTListCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

bool CResultListCtrl::OnMouseMove(CPoint point)
{
    LVHITTESTINFO hit = {};
    hit.pt = point;
    const int row = HitTest(&hit);
    if (row < 0)
        return true;
    if (IsParentRow(row))
        return false;
    if (IsOnBox(hit.flags) && m_hHandCursor != NULL)
        ::SetCursor(m_hHandCursor);
    return true;
}

LRESULT CResultListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (AnswerRunOnWindowThread(message, lParam))
        return 0;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        LVHITTESTINFO hit = {};
        hit.pt = CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        const int row = HitTest(&hit);
        // A box is the marking's alone: the control never sees the press, so it never toggles the box.
        if (row >= 0 && IsOnBox(hit.flags)) {
            if (m_hHandCursor != NULL)
                ::SetCursor(m_hHandCursor);
            SetFocus();
            OnBoxClick(row);
            return 0;
        }
        break;
    }
    case WM_RBUTTONDOWN: {
        LVHITTESTINFO hit = {};
        hit.pt = CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        const int row = HitTest(&hit);
        if (row < 0)
            return 0;
        if (IsOnBox(hit.flags)) {
            if (m_hHandCursor != NULL)
                ::SetCursor(m_hHandCursor);
            return 0;
        }
        // The row under the mouse becomes the selected one, then its menu opens there.
        SetFocus();
        SetItemState(-1, 0, LVIS_SELECTED);
        SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SetSelectionMark(row);
        CPoint screen = hit.pt;
        ClientToScreen(&screen);
        ShowContextMenu(screen);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            OnBoxClick(GetSelectionMark());
            return 0;
        }
        if (wParam == VK_APPS) {
            const int row = GetSelectionMark();
            CRect rect;
            if (row >= 0 && row < GetItemCount() && GetItemRect(row, &rect, LVIR_LABEL)) {
                CPoint point(rect.left + 8, rect.CenterPoint().y);
                ClientToScreen(&point);
                ShowContextMenu(point);
            }
            return 0;
        }
        break;
    case WM_CONTEXTMENU:
        // Opened by the right button and the Apps key above.
        return 0;
    case WM_MOUSEMOVE:
        if (!OnMouseMove(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))))
            return 0;
        break;
    case WM_KEYUP:
        // The arrow keys preview the row they reach, as a click on it does.
        if ((wParam == VK_UP || wParam == VK_DOWN) && GetSelectionMark() >= 0 &&
            GetSelectionMark() < GetItemCount() && VolumeParams.fsCode != 0) {
            OnRowClick(GetSelectionMark());
            return 0;
        }
        break;
    case WM_VSCROLL: {
        Invalidate();
        UpdateWindow();
        break;
    }
    default:
        break;
    }
    return CXTListCtrl::WindowProc(message, wParam, lParam);
}

BOOL CResultListCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd) {
        switch (pMsg->wParam) {
        case VK_TAB:
            // The tree stands beside the list in the view's splitters, not among the list's siblings.
            for (CWnd* pParent = GetParent(); pParent != NULL; pParent = pParent->GetParent()) {
                if (CWnd* pTree = pParent->GetDlgItem(IDC_RESULTS_TREE)) {
                    pTree->SetFocus();
                    break;
                }
                if ((pParent->GetStyle() & WS_CHILD) == 0)
                    break;
            }
            return TRUE;
        case VK_UP:
        case VK_DOWN:
            Invalidate();
            break;
        case VK_RETURN:
            OnEnter();
            break;
        case VK_F2:
            BeginRename(GetSelectionMark());
            return TRUE;
        default:
            break;
        }
    }
    return CXTListCtrl::PreTranslateMessage(pMsg);
}
