// The snapshot road of the program end to end: a Quick Scan's results saved as a snapshot, the program
// closed through its close box, and the snapshot opened again from the command line and through Load
// Recovery Snapshot, each showing the same rows.
#include "road_walker.h"

#include <gtest/gtest.h>

#include "support/test_paths.h"

#include <string>
#include <vector>

namespace {

constexpr wchar_t kProfileKey[] = L"Software\\Corvane VMDK Recovery\\Corvane VMDK Recovery";
constexpr UINT kSaveSnapshotCommand = 32811;
constexpr UINT kLoadSnapshotCommand = 32781;
constexpr UINT kExitCommand = 32809;
const std::vector<std::wstring> kYesNo = {L"Yes", L"No"};

std::wstring Wide(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::wstring Folder()
{
    return E2E_DIR L"\\snapshot";
}

using Rows = std::vector<std::vector<std::wstring>>;

// A folder row's ID column holds the tree item's handle, which each run of the program gives anew.
Rows WithoutFolderHandles(Rows rows)
{
    for (std::vector<std::wstring>& row : rows) {
        if (row.size() == 6 && row[1].ends_with(L"Folder"))
            row[5].clear();
    }
    return rows;
}

// The results view's rows once it shows some, read twice to be sure the list has settled. A snapshot is
// read under a progress window and the list filled before the program is quiet again; a program short of
// CPU can show the same half-filled list twice in a row.
Rows SettledRows(RoadWalker& road)
{
    if (!road.WaitQuiet())
        return {};
    Rows rows;
    for (int i = 0; i < 200; ++i) {
        Sleep(100);
        Rows now = WithoutFolderHandles(road.ResultRows());
        if (!now.empty() && now == rows)
            return rows;
        rows = std::move(now);
    }
    return rows;
}

bool WaitForWindowGone(HWND window)
{
    for (int i = 0; i < 300 && IsWindow(window) && IsWindowVisible(window); ++i)
        Sleep(100);
    return !IsWindow(window) || !IsWindowVisible(window);
}

bool ExitWithYes(ProgramDriver& program, RoadWalker& road)
{
    ProgramDriver::PostCommand(road.Frame(), kExitCommand);
    HWND question = road.WaitForMessage(kYesNo);
    if (question == nullptr)
        return false;
    ProgramDriver::ClickButton(question, L"Yes");
    DWORD exitCode = 1;
    return program.WaitForExit(kStepWaitMs, exitCode) && exitCode == 0;
}

TEST(Road, ASnapshotOfAQuickScanOpensAgainFromTheCommandLineAndThroughLoadSnapshot)
{
    const std::wstring image = Wide(test_support::TestDisksDir()) + L"\\mbr-ext05.vmdk";
    const std::wstring snapshot = Folder() + L"\\quick-road.vqdx";
    DeleteFileW(snapshot.c_str());
    RegDeleteKeyValueW(HKEY_CURRENT_USER, (std::wstring(kProfileKey) + L"\\Settings").c_str(),
                       L"Window Position");

    Rows scanned;
    {
        ProgramDriver program;
        RoadWalker first(program, Folder() + L"\\1-scan");
        ASSERT_TRUE(first.Start(L"", Folder()));
        ASSERT_TRUE(first.TypeImagePath(image) && first.ChooseMode(RoadMode::Quick) &&
                    first.SearchPartitions() && first.ChoosePartition(2) &&
                    first.Scan(RoadMode::Quick, 60000));
        scanned = SettledRows(first);
        ASSERT_FALSE(scanned.empty());

        ProgramDriver::PostCommand(first.Frame(), kSaveSnapshotCommand);
        ASSERT_TRUE(first.AnswerFileDialog(snapshot));
        ASSERT_TRUE(first.WaitQuiet());
        EXPECT_NE(GetFileAttributesW(snapshot.c_str()), INVALID_FILE_ATTRIBUTES);
        first.Shot(L"snapshot-saved");

        // The close box asks first about the snapshot, then whether to close.
        PostMessageW(first.Frame(), WM_CLOSE, 0, 0);
        HWND advice = first.WaitForMessage(kYesNo);
        ASSERT_NE(advice, nullptr);
        first.Shot(L"snapshot-question", advice);
        ProgramDriver::ClickButton(advice, L"No");
        ASSERT_TRUE(WaitForWindowGone(advice));
        HWND close = first.WaitForMessage(kYesNo);
        ASSERT_NE(close, nullptr) << "the exit question did not follow";
        first.Shot(L"exit-question", close);
        ProgramDriver::ClickButton(close, L"Yes");
        DWORD exitCode = 1;
        ASSERT_TRUE(program.WaitForExit(kStepWaitMs, exitCode));
        EXPECT_EQ(exitCode, 0u);
    }
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, std::wstring(kProfileKey) + L"\\Settings",
                                  L"Window Position", type, data));

    {
        ProgramDriver program;
        RoadWalker again(program, Folder() + L"\\2-command-line");
        ASSERT_TRUE(again.Start(L"\"" + snapshot + L"\"", Folder()));
        ASSERT_TRUE(again.WaitForStep(WizardStep::Results));
        EXPECT_EQ(SettledRows(again), scanned) << "the command line's snapshot";
        again.Shot(L"command-line-snapshot");
        EXPECT_TRUE(ExitWithYes(program, again));
    }
    {
        ProgramDriver program;
        RoadWalker fresh(program, Folder() + L"\\3-load");
        ASSERT_TRUE(fresh.Start(L"", Folder()));
        ASSERT_TRUE(fresh.TypeImagePath(image) && fresh.ChooseMode(RoadMode::Quick));
        ProgramDriver::PostCommand(fresh.Frame(), kLoadSnapshotCommand);
        ASSERT_TRUE(fresh.AnswerFileDialog(snapshot));
        ASSERT_TRUE(fresh.WaitForStep(WizardStep::Results));
        EXPECT_EQ(SettledRows(fresh), scanned) << "Load Recovery Snapshot";
        fresh.Shot(L"loaded-snapshot");
        EXPECT_TRUE(ExitWithYes(program, fresh));
    }
}

} // namespace
