// The Find File(s) dialog over real Quick Scans of the test disks, opened with the frame's command and
// driven as the user drives it: the pattern typed, Start, the boxes clicked, Stop, Save and the boxes
// that follow. What it lists must be the files Sleuth Kit lists (files.tsv), and what it saves must be
// their bytes.
#include "app_test_app.h"
#include "modal_script.h"
#include "results_test_support.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include "engine/recovery/core/engine_state.h"
#include "find_files_dlg.h"
#include "message_dialogs.h"
#include "resource.h"
#include "results_resource_ids.h"
#include "results_view.h"
#include "save_test_support.h"
#include "support/oracle_files.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "support/text_fit.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

constexpr wchar_t kFindCaption[] = L"Find File(s)";
constexpr wchar_t kSavingCaption[] = L"Data is Saving please wait...";
constexpr DWORD kStepLimitMs = 30000;

bool IsOwnDialog(HWND window)
{
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770" && ::IsWindowVisible(window) &&
           ::GetWindowThreadProcessId(window, NULL) == ::GetCurrentThreadId();
}

HWND FindDialog()
{
    HWND window = ::FindWindowW(L"#32770", kFindCaption);
    return window != NULL && IsOwnDialog(window) ? window : NULL;
}

void Click(HWND dialog, int id)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// Acts on this thread's windows from a timer while the program's modal loops run. Each step waits
// until its condition holds and then acts once. Every other box that shows up (the folder browser, a
// question, a message) gets the next answer of `answers` (OK when none is left) and its texts are kept.
// A step not reached within the limit fails the test and closes every box, so that a fault never hangs
// the run.
class Script
{
public:
    Script() = default;
    // Begins acting; the steps are given before.
    void Start()
    {
        s_script = this;
        m_timer = ::SetTimer(NULL, 0, 30, OnTimer);
        m_stepStarted = ::GetTickCount64();
    }
    ~Script()
    {
        ::KillTimer(NULL, m_timer);
        s_script = nullptr;
    }

    void Then(std::function<bool()> ready, std::function<void()> act)
    {
        m_steps.push_back({std::move(ready), std::move(act)});
    }
    bool Finished() const { return m_steps.empty() && m_boxes.empty(); }
    bool TimedOut() const { return m_timedOut; }

    std::deque<int> answers;
    // The folder that the folder browser must show selected before it is answered.
    std::filesystem::path browserFolder;
    // Per box: its static texts (the system's boxes), and the program's message request as it stood.
    std::vector<std::wstring> boxTexts;
    std::vector<CString> requests;

private:
    struct Step
    {
        std::function<bool()> ready;
        std::function<void()> act;
    };

    static BOOL CALLBACK CollectStatic(HWND child, LPARAM param)
    {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        if (std::wstring(name) == L"Static")
            *reinterpret_cast<std::wstring*>(param) += WindowText(child);
        return TRUE;
    }
    static BOOL CALLBACK VisitTop(HWND window, LPARAM)
    {
        Script* self = s_script;
        if (self == nullptr || !IsOwnDialog(window))
            return TRUE;
        const std::wstring caption = WindowText(window);
        if (caption == kFindCaption || caption == kSavingCaption)
            return TRUE;
        if (self->m_boxes.insert(window).second) {
            std::wstring text;
            ::EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&text));
            self->boxTexts.push_back(text);
            self->requests.push_back(MessageBoxRequest.Copy().text);
            const int answer = self->answers.empty() ? IDOK : self->answers.front();
            if (!self->answers.empty())
                self->answers.pop_front();
            self->m_answerOf[window] = answer;
            self->m_boxShown[window] = ::GetTickCount64();
        }
        if (::GetTickCount64() - self->m_boxShown[window] > kStepLimitMs) {
            ADD_FAILURE() << "a box stayed open: " << Utf8(CString(WindowText(window).c_str()))
                          << (FolderTree(window) != NULL
                                  ? " showing " + Utf8(CString(SelectedText(FolderTree(window)).c_str()))
                                  : std::string());
            Click(window, IDCANCEL);
            return TRUE;
        }
        // The folder browser is answered once it shows the folder the program gave it. Wine's browser at
        // times stops its walk to that folder one level short; then the folder is chosen again, as a
        // user would click it.
        if (!self->browserFolder.empty() && FolderTree(window) != NULL &&
            SelectedText(FolderTree(window)) != self->browserFolder.filename().wstring()) {
            if (::GetTickCount64() - self->m_boxShown[window] > 1000)
                ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE,
                               reinterpret_cast<LPARAM>(self->browserFolder.wstring().c_str()));
            return TRUE;
        }
        Click(window, self->m_answerOf[window]);
        return TRUE;
    }
    static BOOL CALLBACK FindTree(HWND child, LPARAM param)
    {
        wchar_t name[32] = {};
        ::GetClassNameW(child, name, 32);
        if (std::wstring(name) != L"SysTreeView32")
            return TRUE;
        *reinterpret_cast<HWND*>(param) = child;
        return FALSE;
    }
    static HWND FolderTree(HWND box)
    {
        HWND tree = NULL;
        ::EnumChildWindows(box, FindTree, reinterpret_cast<LPARAM>(&tree));
        return tree;
    }
    static std::wstring SelectedText(HWND tree)
    {
        wchar_t text[MAX_PATH] = {};
        TVITEMW item = {};
        item.mask = TVIF_TEXT;
        item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        if (item.hItem != NULL)
            ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    static BOOL CALLBACK CloseTop(HWND window, LPARAM)
    {
        if (!IsOwnDialog(window))
            return TRUE;
        // The framework's dialogs end their own modal loop.
        if (auto* pDialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(window)))
            pDialog->EndDialog(IDCANCEL);
        else
            ::EndDialog(window, IDCANCEL);
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        Script* self = s_script;
        if (self == nullptr)
            return;
        for (auto box = self->m_boxes.begin(); box != self->m_boxes.end();)
            box = ::IsWindow(*box) ? std::next(box) : self->m_boxes.erase(box);
        ::EnumWindows(VisitTop, 0);
        if (!self->m_boxes.empty() || self->m_steps.empty())
            return;
        if (self->m_steps.front().ready()) {
            Step step = std::move(self->m_steps.front());
            self->m_steps.pop_front();
            step.act();
            self->m_stepStarted = ::GetTickCount64();
        } else if (::GetTickCount64() - self->m_stepStarted > kStepLimitMs) {
            ADD_FAILURE() << "a step of the Find script was not reached; " << self->m_steps.size() << " left";
            self->m_timedOut = true;
            self->m_steps.clear();
            ::EnumWindows(CloseTop, 0);
        }
    }

    static inline Script* s_script = nullptr;
    std::deque<Step> m_steps;
    std::set<HWND> m_boxes;
    std::map<HWND, int> m_answerOf;
    std::map<HWND, ULONGLONG> m_boxShown;
    UINT_PTR m_timer = 0;
    ULONGLONG m_stepStarted = 0;
    bool m_timedOut = false;
};

CFindFileDlg& Dialog()
{
    return *ActiveFindDlg;
}

bool SearchEnded()
{
    HWND dialog = FindDialog();
    return dialog != NULL && ActiveFindDlg != nullptr && !Dialog().IsSearching() &&
           !WindowText(::GetDlgItem(dialog, IDC_FIND_STATUS)).empty();
}

void StartSearch(const wchar_t* pattern)
{
    HWND dialog = FindDialog();
    ::SetDlgItemTextW(dialog, IDC_FIND_PATTERN, pattern);
    Click(dialog, IDOK);
}

std::string RowText(int row, int column)
{
    return Utf8(Dialog().ResultList().GetItemText(row, column));
}

// The rows as "path/name" without the leading "\" (the files.tsv form), each with its ID.
std::map<std::string, std::uint64_t> FoundPaths()
{
    std::map<std::string, std::uint64_t> paths;
    CResultListCtrl& list = Dialog().ResultList();
    for (int row = 0; row < list.GetItemCount(); ++row) {
        std::string path = RowText(row, CFindFileDlg::kColumnPath).substr(1);
        std::replace(path.begin(), path.end(), '\\', '/');
        path += (path.empty() ? "" : "/") + RowText(row, CFindFileDlg::kColumnName);
        EXPECT_TRUE(paths.emplace(path, std::stoull(RowText(row, CFindFileDlg::kColumnId))).second)
            << "listed twice: " << path;
    }
    return paths;
}

// A click on the row's box, as the mouse gives it: button down and up over the state icon.
void ClickBox(int row)
{
    CResultListCtrl& list = Dialog().ResultList();
    list.EnsureVisible(row, FALSE);
    CRect bounds;
    list.GetItemRect(row, &bounds, LVIR_BOUNDS);
    for (int x = bounds.left; x < bounds.left + 48; ++x) {
        LVHITTESTINFO hit = {};
        hit.pt = CPoint(x, bounds.CenterPoint().y);
        if (list.SubItemHitTest(&hit) == row && CResultListCtrl::IsOnBox(hit.flags)) {
            const LPARAM point = MAKELPARAM(hit.pt.x, hit.pt.y);
            list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, point);
            list.SendMessage(WM_LBUTTONUP, 0, point);
            return;
        }
    }
    ADD_FAILURE() << "row " << row << " shows no box";
}

void DialogScreenshot(const std::wstring& name)
{
    HWND dialog = FindDialog();
    ::RedrawWindow(dialog, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> pixels = test_support::CaptureFramedWindow(dialog, width, height);
    EXPECT_TRUE(test_support::WritePng(test_support::ScreenshotPath(name), pixels.data(), width, height));
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWithTxt(const std::string& path)
{
    return path.size() >= 4 && Lower(path.substr(path.size() - 4)) == ".txt";
}

class FindFilesTest : public MaximisedFrameTest
{
protected:
    void TearDown() override
    {
        CFindFileDlg::s_workerHook = nullptr;
        MaximisedFrameTest::TearDown();
    }

    // The scan's results, then the frame's Find Files with the steps that `steps` adds to the script;
    // returns once the dialog has closed.
    void RunFind(const Partition& partition, Script& script, const std::function<void()>& steps)
    {
        ASSERT_TRUE(QuickScanToResults(partition));
        StartedFrame()->m_flags.results = 1;
        script.Then([] { return FindDialog() != NULL && ActiveFindDlg != nullptr; },
                    [] {
                        EXPECT_EQ(FindDlgOpen, 1u);
                        // The list waits for the first search.
                        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(FindDialog(), IDC_FIND_LIST)));
                    });
        steps();
        script.Start();
        StartedFrame()->PostMessage(WM_COMMAND, ID_FIND_FILES, 0);
        EXPECT_TRUE(WaitFor([&] { return script.Finished() && FindDialog() == NULL; }, 120000));
        EXPECT_FALSE(script.TimedOut());
        EXPECT_EQ(FindDlgOpen, 0u);
        EXPECT_EQ(ActiveFindDlg, nullptr);
    }
};

// The live .txt files of files.tsv must all be listed under their paths; every row must be a .txt file
// of files.tsv, deleted ones by their path without the name's first character (FAT keeps it no more).
TEST_F(FindFilesTest, TxtListsTheTxtFilesOfSleuthKitWithTheirFolderPaths)
{
    struct Case
    {
        const char* part;
        const wchar_t* screenshot;
    };
    for (const Case& c : {Case{"2", L"find_files_fat32"}, Case{"3", L"find_files_ntfs"}}) {
        SCOPED_TRACE(c.part);
        const Partition partition = FindPartition("mbr-ext05", c.part);
        std::map<std::string, std::uint64_t> found;
        Script script;
        RunFind(partition, script, [&] {
            script.Then([] { return true; }, [] { StartSearch(L"*.txt"); });
            script.Then(SearchEnded, [&] {
                found = FoundPaths();
                DialogScreenshot(c.screenshot);
                CString status;
                Dialog().GetDlgItemText(IDC_FIND_STATUS, status);
                CString expected;
                expected.Format(L"There were %d files found.", static_cast<int>(found.size()));
                EXPECT_EQ(status, expected);
                // The texts under the list read whole, a name's underscore too.
                ::SetDlgItemTextW(FindDialog(), IDC_FIND_LAST_FILE, L"report_120.txt");
                for (const int id : {IDC_FIND_COUNT_LABEL, IDC_FIND_COUNT, IDC_FIND_LAST_FILE_LABEL,
                                     IDC_FIND_LAST_FILE, IDC_FIND_STATUS})
                    EXPECT_EQ(test_support::TextCutIn(::GetDlgItem(FindDialog(), id)), "")
                        << "control " << id;
                Click(FindDialog(), IDCANCEL);
            });
        });
        ResetResultsView();

        std::set<std::string> live;
        std::set<std::string> deleted;
        for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files))) {
            if (row.at(1) != "f" || row.at(3) != "0" || !EndsWithTxt(row.at(8)))
                continue;
            // FAT's short names keep no case of their own: names compare without regard to case.
            const std::string path = Lower(row.at(8));
            if (row.at(2) == "0") {
                live.insert(path);
            } else {
                const std::size_t slash = path.rfind('/');
                deleted.insert(slash == std::string::npos
                                   ? path.substr(1)
                                   : path.substr(0, slash + 1) + path.substr(slash + 2));
            }
        }
        ASSERT_GT(live.size(), 10u);
        std::set<std::string> foundLower;
        for (const auto& [path, id] : found)
            foundLower.insert(Lower(path));
        for (const std::string& path : live)
            EXPECT_EQ(foundLower.count(path), 1u) << "not found: " << path;
        for (const std::string& path : foundLower) {
            if (live.count(path) != 0)
                continue;
            const std::size_t slash = path.rfind('/');
            const std::string withoutFirst = slash == std::string::npos
                                                 ? path.substr(1)
                                                 : path.substr(0, slash + 1) + path.substr(slash + 2);
            EXPECT_EQ(deleted.count(withoutFirst), 1u) << "no .txt file of fls: " << path;
        }
    }
}

TEST_F(FindFilesTest, APatternThatMatchesNothingSaysSo)
{
    Script script;
    RunFind(FindPartition("mbr-ext05", "2"), script, [&] {
        script.Then([] { return true; }, [] { StartSearch(L"*.nothing-has-this"); });
        script.Then(SearchEnded, [] {
            CString status;
            CString count;
            Dialog().GetDlgItemText(IDC_FIND_STATUS, status);
            Dialog().GetDlgItemText(IDC_FIND_COUNT, count);
            EXPECT_EQ(status, L"Search is complete. There are no results to display.");
            EXPECT_EQ(count, L"0");
            EXPECT_EQ(Dialog().ResultList().GetItemCount(), 0);
            Click(FindDialog(), IDCANCEL);
        });
    });
}

// Two rows checked by their boxes are saved, byte for byte as icat reads them, and nothing else; then a
// checked row whose ID no record holds saves nothing.
TEST_F(FindFilesTest, SavingTwoCheckedRowsWritesThoseTwoFiles)
{
    const Partition partition = FindPartition("mbr-ext05", "2");
    std::map<std::string, std::string> md5ByPath;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files)))
        if (row.at(1) == "f" && row.at(2) == "0" && row.at(3) == "0")
            md5ByPath[Lower(row.at(8))] = row.at(5);
    const std::set<std::string> wanted = {"level1/readme.txt", "level1/level2/level3/level4/deep.txt"};

    // Beside the test, not in the temporary folder: the folder browser shows no hidden folder (Wine's
    // temporary folder lies in one), so it could not show a folder in there selected.
    const std::filesystem::path base = std::filesystem::path(m_current) / "findsave";
    const std::filesystem::path target = base / "target";
    const std::filesystem::path unknown = base / "unknown";
    std::filesystem::remove_all(base);
    std::filesystem::create_directories(target);
    std::filesystem::create_directories(unknown);
    Script script;
    // The Find dialog enabled again once the boxes of a save (the folder browser, the closing message)
    // have come and gone.
    auto backFromSave = [&](std::size_t boxes) {
        return [&script, boxes] {
            return script.boxTexts.size() >= boxes && FindDialog() != NULL && ::IsWindowEnabled(FindDialog());
        };
    };
    RunFind(partition, script, [&] {
        script.Then([] { return true; }, [] { StartSearch(L"*.txt"); });
        script.Then(SearchEnded, [&] {
            CResultListCtrl& list = Dialog().ResultList();
            for (int row = 0; row < list.GetItemCount(); ++row) {
                EXPECT_EQ(list.GetCheckState(row), 0);
                std::string path = RowText(row, CFindFileDlg::kColumnPath).substr(1);
                std::replace(path.begin(), path.end(), '\\', '/');
                if (wanted.count(Lower(path + "/" + RowText(row, CFindFileDlg::kColumnName))) != 0)
                    ClickBox(row);
            }
            EXPECT_EQ(Dialog().CheckedRowIds().size(), 2u);
            script.browserFolder = target;
            ::SetCurrentDirectoryW(target.wstring().c_str());
            Click(FindDialog(), IDC_FIND_SAVE);
        });
        // Back from the save: the boxes are clear again. A row whose ID no record holds, checked alone.
        script.Then(backFromSave(2), [&] {
            EXPECT_TRUE(Dialog().CheckedRowIds().empty());
            CResultListCtrl& list = Dialog().ResultList();
            list.SetItemText(0, CFindFileDlg::kColumnId, L"4000000000");
            list.MarkChecked(0);
            script.browserFolder = unknown;
            ::SetCurrentDirectoryW(unknown.wstring().c_str());
            Click(FindDialog(), IDC_FIND_SAVE);
        });
        script.Then(backFromSave(4), [] { Click(FindDialog(), IDCANCEL); });
    });

    // The folder browser, then the closing message of each save.
    ASSERT_EQ(script.boxTexts.size(), 4u);
    EXPECT_EQ(script.boxTexts[1], L"Files Saved Successfully.");
    std::vector<std::string> saved = ListTree(target);
    std::transform(saved.begin(), saved.end(), saved.begin(), Lower);
    EXPECT_EQ(saved, (std::vector<std::string>{"deep.txt", "readme.txt"}));
    for (const std::string& path : wanted) {
        const std::string name = path.substr(path.rfind('/') + 1);
        EXPECT_EQ(Md5Hex(ReadFileBytes(target / name)), md5ByPath.at(path)) << path;
    }
    EXPECT_TRUE(ListTree(unknown).empty());
    ::SetCurrentDirectoryW(m_current.c_str());
    std::filesystem::remove_all(base);
}

// Stop asks while the search runs on; No goes on searching, Yes ends it with the rows found so far.
// Escape and the close box do nothing while it runs; afterwards Select All marks the rows found, a new
// search starts from an empty list, and Escape closes the dialog.
TEST_F(FindFilesTest, StopKeepsTheRowsFoundAndEscapeWaitsForTheSearch)
{
    CFindFileDlg::s_workerHook = [](int rows) {
        // The search holds at its third row until Stop is answered Yes.
        const ULONGLONG started = ::GetTickCount64();
        while (rows == 3 && ActiveFindDlg != nullptr && !ActiveFindDlg->StopRequested() &&
               ::GetTickCount64() - started < 20000)
            ::Sleep(10);
    };
    Script script;
    RunFind(FindPartition("mbr-ext05", "2"), script, [&] {
        script.Then([] { return true; }, [] { StartSearch(L"*"); });
        script.Then([] { return Dialog().ResultList().GetItemCount() == 3; },
                    [] {
                        Click(FindDialog(), IDCANCEL);
                        ::PostMessageW(FindDialog(), WM_CLOSE, 0, 0);
                    });
        script.Then([] { return true; },
                    [&] {
                        EXPECT_TRUE(Dialog().IsSearching());
                        EXPECT_EQ(FindDlgOpen, 0u);
                        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(FindDialog(), IDOK)));
                        script.answers = {IDNO, IDYES};
                        Click(FindDialog(), IDC_FIND_STOP);
                    });
        // No: the search goes on, Stop is offered again.
        script.Then([] { return ::IsWindowEnabled(::GetDlgItem(FindDialog(), IDC_FIND_STOP)) != FALSE; },
                    [] {
                        EXPECT_TRUE(Dialog().IsSearching());
                        Click(FindDialog(), IDC_FIND_STOP);
                    });
        script.Then([] { return FindDialog() != NULL && !Dialog().IsSearching(); },
                    [] {
                        EXPECT_EQ(Dialog().ResultList().GetItemCount(), 3);
                        CString status;
                        Dialog().GetDlgItemText(IDC_FIND_STATUS, status);
                        EXPECT_EQ(status, L"There were 3 files found.");
                        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(FindDialog(), IDOK)));
                        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(FindDialog(), IDC_FIND_LIST)));
                        // Select All marks every row found.
                        ::CheckDlgButton(FindDialog(), IDC_FIND_SELECT_ALL, BST_CHECKED);
                        Click(FindDialog(), IDC_FIND_SELECT_ALL);
                    });
        script.Then([] { return Dialog().CheckedRowIds().size() == 3; },
                    [] {
                        EXPECT_EQ(WindowText(::GetDlgItem(FindDialog(), IDC_FIND_SELECT_ALL)),
                                  L"Unselect All");
                        // A new search begins with no row and the box cleared.
                        StartSearch(L"*.nothing-has-this");
                    });
        script.Then(SearchEnded, [] {
            EXPECT_EQ(Dialog().ResultList().GetItemCount(), 0);
            EXPECT_EQ(::IsDlgButtonChecked(FindDialog(), IDC_FIND_SELECT_ALL),
                      static_cast<UINT>(BST_UNCHECKED));
            EXPECT_EQ(WindowText(::GetDlgItem(FindDialog(), IDC_FIND_SELECT_ALL)), L"Select All");
            Click(FindDialog(), IDCANCEL);
        });
    });
    ASSERT_EQ(script.requests.size(), 2u);
    EXPECT_EQ(script.requests[0], L"Do you want to stop file searching ?");
    EXPECT_EQ(script.requests[1], L"Do you want to stop file searching ?");
}

} // namespace
