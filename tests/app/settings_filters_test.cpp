// The frame's Recovery Settings and File Filters dialogs, driven as the user drives them: the values they
// keep and store, the settings a new image brings back, the duplicate policy of a second save into the
// same folder, and the filters' refusals, the list they relist and the files a save then writes, over real
// Quick Scans of the test disks.
#include "app_test_app.h"
#include "box_answerer.h"
#include "results_test_support.h"

#include <gtest/gtest.h>

#include "drive_step_view.h"
#include "engine/recovery/core/engine_state.h"
#include "file_filters_dlg.h"
#include "home_view.h"
#include "modal_script.h"
#include "resource.h"
#include "results_view.h"
#include "save_test_support.h"
#include "settings_dialog_ids.h"
#include "support/oracle_files.h"
#include "support/screenshot.h"
#include "support/test_paths.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

constexpr wchar_t kSavingCaption[] = L"Data is Saving please wait...";

// The values of RecoverySettings in one line, for comparing and printing.
std::string SettingsText()
{
    return std::to_string(RecoverySettings.sectorsPerRead) + " " +
           std::to_string(RecoverySettings.duplicatePolicy) + " " +
           std::to_string(RecoverySettings.deletedPolicy) + " " + std::to_string(RecoverySettings.retries);
}

// Runs the frame's Settings command; `steps` act on the dialog and end it.
void RunSettings(std::vector<ModalScript::Step> steps)
{
    ModalScript script(std::move(steps));
    StartedFrame()->SendMessage(WM_COMMAND, MAKEWPARAM(ID_RECOVERY_SETTINGS, 0), 0);
    EXPECT_FALSE(script.TimedOut());
    EXPECT_TRUE(script.AllStepsRan());
}

// The dialog's choice of sectors (1 to 100) and duplicate button, then OK.
void ChooseSettings(int sectors, UINT duplicateButton)
{
    RunSettings({ModalScript::Do([=](HWND box) {
        ::SendDlgItemMessageW(box, IDC_SETTINGS_SECTORS, CB_SETCURSEL, static_cast<WPARAM>(sectors - 1), 0);
        ClickButton(box, static_cast<int>(duplicateButton));
        ClickButton(box, IDOK);
    })});
}

std::vector<int> VisibleChildIds(HWND box)
{
    std::vector<int> ids;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != NULL; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowVisible(child))
            ids.push_back(::GetDlgCtrlID(child));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::wstring ComboText(HWND box, int id, int index)
{
    wchar_t text[16] = {};
    ::SendDlgItemMessageW(box, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWithTxt(const std::string& name)
{
    return name.size() >= 4 && Upper(name.substr(name.size() - 4)) == ".TXT";
}

class SettingsFiltersTest : public MaximisedFrameTest
{
protected:
    void SetUp() override
    {
        MaximisedFrameTest::SetUp();
        RecoverySettings = {100, kDuplicateRename, kDeletedInclude, 3};
        FileFilterTable = {};
    }
    void TearDown() override
    {
        RecoverySettings = {100, kDuplicateRename, kDeletedInclude, 3};
        FileFilterTable = {};
        MaximisedFrameTest::TearDown();
    }

    // The tree's root checked with everything below it, then saved into the folder as Save does past the
    // folder browser; the boxes of the save are answered and their texts returned.
    std::vector<std::wstring> SaveEverythingInto(const std::filesystem::path& target)
    {
        CThirdView_HDD* pResults = Results();
        CRecoveryTreeCtrl& tree = pResults->RecoveryTree();
        tree.OnItemClick(TVHT_ONITEMSTATEICON, tree.GetRootItem());
        if (tree.GetItemCheckState(tree.GetRootItem()) != kTreeChecked)
            tree.OnItemClick(TVHT_ONITEMSTATEICON, tree.GetRootItem());
        EXPECT_EQ(tree.GetItemCheckState(tree.GetRootItem()), kTreeChecked);
        pResults->PrepareSaveSelection();
        BoxAnswerer boxes(IDOK, kSavingCaption);
        pResults->SaveIntoFolder(target.wstring().c_str());
        PumpMessages(100);
        return boxes.Texts();
    }

    // The names of the result list's file rows (no folders, no up entry).
    std::vector<std::string> FileRows()
    {
        std::vector<std::string> names;
        CResultListCtrl& list = Results()->ResultList();
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (!list.IsParentRow(row) && !list.IsFolderRow(row))
                names.push_back(Utf8(list.GetItemText(row, 0)));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

// OK without a change keeps every value, also those the dialog hides and values outside its lists.
TEST_F(SettingsFiltersTest, SettingsOkWithoutChangesKeepsEveryValue)
{
    struct Case
    {
        const char* name;
        RecoverySettingsBlock values;
    };
    const Case cases[] = {
        {"defaults", {100, kDuplicateRename, kDeletedInclude, 3}},
        {"skip, only deleted", {7, kDuplicateSkip, kDeletedOnly, 5}},
        {"overwrite, exclude deleted", {1, kDuplicateOverwrite, kDeletedExclude, 10}},
        {"codes outside the groups", {55, 0, 4, 1}},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecoverySettings = c.values;
        const std::string before = SettingsText();
        RunSettings({ModalScript::Do([&](HWND box) {
            if (first) {
                // The user sees the sectors' list, the three duplicate choices, OK and Cancel.
                EXPECT_EQ(VisibleChildIds(box),
                          (std::vector<int>{IDOK, IDCANCEL, IDC_SETTINGS_SECTORS_CAPTION,
                                            IDC_SETTINGS_SECTORS, IDC_SETTINGS_DUPLICATE_GROUP,
                                            IDC_SETTINGS_RENAME, IDC_SETTINGS_OVERWRITE, IDC_SETTINGS_SKIP}));
                EXPECT_EQ(::SendDlgItemMessageW(box, IDC_SETTINGS_SECTORS, CB_GETCOUNT, 0, 0), 100);
                EXPECT_EQ(ComboText(box, IDC_SETTINGS_SECTORS, 0), L"1");
                EXPECT_EQ(ComboText(box, IDC_SETTINGS_SECTORS, 99), L"100");
                EXPECT_EQ(::SendDlgItemMessageW(box, IDC_SETTINGS_RETRIES, CB_GETCOUNT, 0, 0), 10);
                EXPECT_EQ(WindowText(box), L"Recovery Settings");
                EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(box, L"app_recovery_settings"));
                first = false;
            }
            ClickButton(box, IDOK);
        })});
        EXPECT_EQ(SettingsText(), before);
    }
}

TEST_F(SettingsFiltersTest, SettingsOkStoresTheChoicesAndCancelDropsThem)
{
    RunSettings({ModalScript::Do([](HWND box) {
        ::SendDlgItemMessageW(box, IDC_SETTINGS_SECTORS, CB_SETCURSEL, 15, 0);
        ClickButton(box, IDC_SETTINGS_OVERWRITE);
        ClickButton(box, IDCANCEL);
    })});
    EXPECT_EQ(SettingsText(), "100 1 1 3");
    ChooseSettings(16, IDC_SETTINGS_OVERWRITE);
    EXPECT_EQ(SettingsText(), "16 2 1 3");
    ChooseSettings(1, IDC_SETTINGS_SKIP);
    EXPECT_EQ(SettingsText(), "1 3 1 3");
}

TEST_F(SettingsFiltersTest, ANewImageBringsBackTheDefaultSettings)
{
    ChooseSettings(16, IDC_SETTINGS_SKIP);
    RecoverySettings.deletedPolicy = kDeletedExclude;
    RecoverySettings.retries = 9;
    auto* pHome = dynamic_cast<CEx_StyleView*>(theApp.GetView(kViewHome));
    auto* pDrive = dynamic_cast<CFirstView_HDD*>(theApp.GetView(kViewDrive));
    ASSERT_NE(pHome, nullptr);
    ASSERT_NE(pDrive, nullptr);
    theApp.SwitchView(kViewHome);
    const std::wstring image = std::filesystem::path(JoinPath(TestDisksDir(), "mbr-ext05.vmdk")).wstring();
    pHome->m_pathBox.SetWindowText(image.c_str());
    {
        BoxAnswerer answerer(IDOK);
        pHome->SendMessage(WM_COMMAND, MAKEWPARAM(kHomeQuickScanButton, BN_CLICKED), 0);
        PumpMessages(20);
        EXPECT_TRUE(answerer.Requests().empty());
    }
    EXPECT_EQ(theApp.m_nCurrentView, kViewDrive);
    EXPECT_EQ(SettingsText(), "100 1 1 3");
    pDrive->OnBack();
    pHome->m_pathBox.SetWindowText(L"");
}

// Skip leaves a folder that holds the first save as it is; rename puts a "Copy (1 ) of" beside every file
// with the same bytes.
TEST_F(SettingsFiltersTest, ASecondSaveSkipsOrRenamesAsTheSettingsSay)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Target());
    const std::vector<std::wstring> firstBoxes = SaveEverythingInto(scratch.Target());
    ASSERT_FALSE(firstBoxes.empty());
    EXPECT_EQ(firstBoxes.back(), L"Files Saved Successfully.");
    const std::map<std::string, std::string> first = FileDigests(scratch.Target());
    ASSERT_GT(first.size(), 20u);

    ChooseSettings(100, IDC_SETTINGS_SKIP);
    SaveEverythingInto(scratch.Target());
    EXPECT_EQ(FileDigests(scratch.Target()), first);

    ChooseSettings(100, IDC_SETTINGS_RENAME);
    SaveEverythingInto(scratch.Target());
    const std::map<std::string, std::string> renamed = FileDigests(scratch.Target());
    EXPECT_EQ(renamed.size(), 2 * first.size());
    for (const auto& [path, md5] : first) {
        SCOPED_TRACE(path);
        const std::size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
        const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
        const auto copy = renamed.find(folder + "Copy (1 ) of " + name);
        ASSERT_NE(copy, renamed.end());
        EXPECT_EQ(copy->second, md5);
        EXPECT_EQ(renamed.at(path), md5);
    }
}

// The dialog's own rules, on a dialog of its own: what Add refuses and with which words, Remove, and the
// table that Close writes.
TEST_F(SettingsFiltersTest, FiltersAddRefusesWhatTheListCannotTakeAndCloseWritesTheTable)
{
    std::u16string(u"*.jpg").copy(FileFilterTable.patterns[0], kFileFilterLength);
    FileFilterTable.count = 1;
    CFileFiltersDlg dialog(StartedFrame());
    ASSERT_TRUE(dialog.Create(IDD_FILE_FILTERS, StartedFrame()));
    dialog.ShowWindow(SW_SHOW);
    PumpMessages(20);
    CEdit& edit = *static_cast<CEdit*>(dialog.GetDlgItem(IDC_FILTER_EDIT));
    CListBox& list = *static_cast<CListBox*>(dialog.GetDlgItem(IDC_FILTER_LIST));
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(::GetFocus(), edit.GetSafeHwnd());

    BoxAnswerer answerer(IDOK);
    const auto add = [&](const std::wstring& text) {
        edit.SetWindowText(text.c_str());
        const std::size_t boxes = answerer.Requests().size();
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FILTER_ADD, BN_CLICKED), 0);
        PumpMessages(10);
        return answerer.Requests().size() == boxes ? CString() : answerer.Requests().back().text;
    };
    struct Case
    {
        const wchar_t* name;
        std::wstring text;
        const wchar_t* refusal; // empty: taken
    };
    const Case cases[] = {
        {L"blank", L"", L"      Blank entry can't be added.Please provide text.    "},
        {L"19 characters", std::wstring(15, L'a') + L".txt", L""},
        {L"20 characters", std::wstring(16, L'b') + L".txt", L"      Filter too long.     "},
        {L"upper case", L"*.DOC", L""},
        {L"lower case", L"*.doc", L""},
        {L"the same again", L"*.doc", L"      Same Filter already exists in list.     "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int count = list.GetCount();
        EXPECT_EQ(add(c.text), c.refusal);
        if (c.refusal[0] != 0) {
            EXPECT_EQ(answerer.Requests().back().kind, kMessageKindInformation);
            EXPECT_EQ(list.GetCount(), count);
            int start = -1;
            int end = -1;
            edit.GetSel(start, end);
            // A refused text stays for the user to mend: the first 20 of a long one selected, a duplicate
            // whole.
            EXPECT_EQ(std::wstring(static_cast<LPCWSTR>([&] {
                          CString text;
                          edit.GetWindowText(text);
                          return text;
                      }())),
                      c.text);
            if (!c.text.empty()) {
                EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, static_cast<int>(c.text.size())));
            }
        } else {
            EXPECT_EQ(list.GetCount(), count + 1);
            EXPECT_EQ(edit.GetWindowTextLength(), 0);
        }
    }
    EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(dialog.GetSafeHwnd(), L"app_file_filters"));

    // Remove takes the selected entry, and nothing without a selection.
    list.SetCurSel(list.FindStringExact(-1, L"*.jpg"));
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FILTER_REMOVE, BN_CLICKED), 0);
    EXPECT_EQ(list.FindStringExact(-1, L"*.jpg"), LB_ERR);
    const int kept = list.GetCount();
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FILTER_REMOVE, BN_CLICKED), 0);
    EXPECT_EQ(list.GetCount(), kept);

    // The list takes 99 patterns; the 100th is refused.
    for (int number = kept; number < CFileFiltersDlg::kMaxPatterns; ++number)
        EXPECT_EQ(add(L"*." + std::to_wstring(number)), L"");
    EXPECT_EQ(list.GetCount(), 99);
    EXPECT_EQ(add(L"*.last"), L"      More Filters can't be added.     ");
    EXPECT_EQ(list.GetCount(), 99);

    // Close writes the list, in its sorted order, from slot 0.
    std::vector<std::u16string> expected;
    for (int index = 0; index < list.GetCount(); ++index) {
        CString text;
        list.GetText(index, text);
        expected.emplace_back(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(text)));
    }
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PumpMessages(10);
    ASSERT_EQ(FileFilterTable.count, 99);
    std::vector<std::u16string> table;
    for (int slot = 0; slot < FileFilterTable.count; ++slot)
        table.emplace_back(FileFilterTable.patterns[slot]);
    EXPECT_EQ(table, expected);
    EXPECT_NE(std::find(table.begin(), table.end(), u"*.DOC"), table.end());
    EXPECT_NE(std::find(table.begin(), table.end(), u"*.doc"), table.end());
    EXPECT_NE(std::find(table.begin(), table.end(), std::u16string(15, u'a') + u".txt"), table.end());
    if (dialog.GetSafeHwnd() != NULL)
        dialog.DestroyWindow();
}

// Runs the frame's File Filters and adds one pattern before Close.
void AddFilterThroughTheFrame(const wchar_t* pattern)
{
    ModalScript script({ModalScript::Do([pattern](HWND box) {
                            ::SetDlgItemTextW(box, IDC_FILTER_EDIT, pattern);
                            ClickButton(box, IDC_FILTER_ADD);
                        }),
                        ModalScript::Do([](HWND box) { ClickButton(box, IDCANCEL); })});
    StartedFrame()->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_FILTERS, 0), 0);
    EXPECT_TRUE(script.AllStepsRan());
}

// "*.TXT" through the frame's File Filters: the listed folder keeps only its .txt files (of every case),
// on FAT and on NTFS.
TEST_F(SettingsFiltersTest, AFilterRelistsTheSelectedFolder)
{
    for (const char* part : {"2", "3"}) {
        SCOPED_TRACE(part);
        FileFilterTable = {};
        ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", part)));
        const std::vector<std::string> before = FileRows();
        ASSERT_GT(before.size(), 5u);
        std::vector<std::string> expected;
        std::copy_if(before.begin(), before.end(), std::back_inserter(expected), EndsWithTxt);
        ASSERT_LT(expected.size(), before.size());

        AddFilterThroughTheFrame(L"*.TXT");
        ASSERT_EQ(FileFilterTable.count, 1);
        EXPECT_EQ(std::u16string(FileFilterTable.patterns[0]), u"*.TXT");
        EXPECT_EQ(FileRows(), expected);
        if (part[0] == '2')
            Screenshot(L"app_file_filters_txt_rows");
        ResetResultsView();
    }
}

// File Trace results have no folder to list again: Close stores the filters and leaves the list as it is.
TEST_F(SettingsFiltersTest, FiltersLeaveAFileTraceListAsItIs)
{
    ASSERT_TRUE(QuickScanToResults(FindPartition("mbr-ext05", "2")));
    const std::vector<std::string> before = FileRows();
    ScanSelection.scanKind = kScanFileTrace;
    AddFilterThroughTheFrame(L"*.TXT");
    EXPECT_EQ(FileFilterTable.count, 1);
    EXPECT_EQ(FileRows(), before);
}

// With "*.TXT" a save of everything writes only .txt files, each with Sleuth Kit's bytes.
TEST_F(SettingsFiltersTest, AFilteredSaveWritesOnlyWhatPasses)
{
    const Partition partition = FindPartition("mbr-ext05", "2");
    ASSERT_TRUE(QuickScanToResults(partition));
    AddFilterThroughTheFrame(L"*.TXT");
    ScratchFolder scratch;
    std::filesystem::create_directories(scratch.Target());
    SaveEverythingInto(scratch.Target());
    const std::map<std::string, std::string> saved = FileDigests(scratch.Target());
    int live = 0;
    for (const auto& [path, md5] : saved)
        EXPECT_TRUE(EndsWithTxt(path)) << path;
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), partition.files))) {
        if (row.at(1) != "f" || row.at(2) != "0" || row.at(3) != "0" || row.at(4) == "0")
            continue;
        SCOPED_TRACE(row.at(8));
        const auto found = std::find_if(saved.begin(), saved.end(), [&](const auto& entry) {
            return Upper(entry.first) == Upper(row.at(8));
        });
        if (!EndsWithTxt(row.at(8))) {
            EXPECT_EQ(found, saved.end());
            continue;
        }
        ASSERT_NE(found, saved.end());
        EXPECT_EQ(found->second, row.at(5));
        ++live;
    }
    EXPECT_GT(live, 10);
}

} // namespace
