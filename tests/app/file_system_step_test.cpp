// The file-system step after an Extensive Scan run here on the test disks: the volumes of a whole disk
// without a table, a FAT volume's values against fsstat, the size line, and Stop answered No and Yes while
// the parse is held at its first status text.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "box_answerer.h"
#include "drive_step_view.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "file_system_panel.h"
#include "file_system_step_view.h"
#include "home_view.h"
#include "modal_script.h"
#include "resource.h"
#include "results_view.h"
#include "scan_worker_control.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "virtual_drive.h"
#include "wizard_state.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

std::wstring TestDisk(const std::string& name)
{
    const std::string path = test_support::JoinPath(test_support::TestDisksDir(), name);
    return std::wstring(path.begin(), path.end());
}

// "key: value" lines of an fsstat report; the value's first number.
std::uint32_t FsstatNumber(const std::string& file, const std::string& key)
{
    std::ifstream in(test_support::JoinPath(test_support::TestDisksDir(), file));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0)
            return static_cast<std::uint32_t>(
                std::stoul(line.substr(line.find_first_of("0123456789", key.size()))));
    }
    ADD_FAILURE() << key << " not in " << file;
    return 0;
}

class FileSystemStepScanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = StartedFrame();
        ASSERT_NE(m_pFrame, nullptr);
        m_pHome = DYNAMIC_DOWNCAST(CEx_StyleView, theApp.GetView(kViewHome));
        m_pDrive = DYNAMIC_DOWNCAST(CFirstView_HDD, theApp.GetView(kViewDrive));
        m_pStep = DYNAMIC_DOWNCAST(CFileSystemView, theApp.GetView(kViewFileSystem));
        ASSERT_NE(m_pHome, nullptr);
        ASSERT_NE(m_pDrive, nullptr);
        ASSERT_NE(m_pStep, nullptr);
        ::SetCursorPos(0, 0);
    }
    void TearDown() override
    {
        m_pStep->GetPanel()->m_onStatusText = nullptr;
        WaitFor([] { return !CScanWorkerControl::IsSearching() && ScanThreadControl.running == 0; }, 60000);
        PumpMessages(1200);
        m_pDrive->OnBack();
        m_pHome->m_pathBox.SetWindowText(L"");
        PumpMessages(20);
    }

    bool Open(const std::wstring& path, UINT command)
    {
        if (theApp.m_nCurrentView != kViewHome && theApp.m_nCurrentView != kViewDrive)
            m_pDrive->OnBack();
        theApp.SwitchView(kViewHome);
        m_pHome->m_pathBox.SetWindowText(path.c_str());
        BoxAnswerer answerer(IDOK);
        m_pHome->SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        PumpMessages(20);
        return answerer.Requests().empty() && theApp.m_nCurrentView == kViewDrive;
    }

    // The Extensive Scan of a range run here, as the partition step's worker runs it, then view 3.
    bool ExtensiveToFileSystemStep(const std::string& disk, std::uint16_t fsCode, std::uint32_t start,
                                   std::uint32_t count)
    {
        if (!Open(TestDisk(disk), kHomeExtensiveScanButton))
            return false;
        VolumeParams.scanFsCode = fsCode;
        VolumeParams.rangeStart = start;
        VolumeParams.rangeCount = count;
        VolumeParams.rangeEnd = start + count - 1;
        m_pStep->PrepareForScan();
        {
            BoxAnswerer answerer(IDOK);
            PrepareExtensiveScan();
            ExtensiveScanThread();
        }
        ScanThreadControl.running = 0;
        ScanThreadControl.done = 1;
        m_pFrame->m_nSelectedSource = -1;
        WizardStepState.extensive = 3;
        theApp.SwitchView(kViewFileSystem);
        PumpMessages(50);
        return theApp.m_nCurrentView == kViewFileSystem;
    }

    std::vector<std::wstring> VolumeLabels()
    {
        std::vector<std::wstring> labels;
        CTreeCtrl& tree = m_pStep->GetTree();
        const HTREEITEM hRoot = tree.GetRootItem();
        if (hRoot == NULL || tree.GetItemText(hRoot) != L"File System")
            return labels;
        for (HTREEITEM hItem = tree.GetChildItem(hRoot); hItem != NULL;
             hItem = tree.GetNextSiblingItem(hItem))
            labels.push_back(std::wstring(tree.GetItemText(hItem)));
        return labels;
    }

    HTREEITEM VolumeItem(const std::wstring& label)
    {
        CTreeCtrl& tree = m_pStep->GetTree();
        for (HTREEITEM hItem = tree.GetChildItem(tree.GetRootItem()); hItem != NULL;
             hItem = tree.GetNextSiblingItem(hItem)) {
            if (tree.GetItemText(hItem) == label.c_str())
                return hItem;
        }
        return NULL;
    }

    // A click on the item's label, as the user makes it.
    void ClickItem(HTREEITEM hItem)
    {
        CRect label;
        ASSERT_TRUE(m_pStep->GetTree().GetItemRect(hItem, &label, TRUE));
        const CPoint at = label.CenterPoint();
        m_pStep->GetTree().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        m_pStep->GetTree().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        PumpMessages(20);
    }

    std::vector<std::wstring> Values()
    {
        std::vector<std::wstring> values;
        for (int row = 0; row < CFileSystemForm::kRowCount; ++row)
            values.push_back(std::wstring(m_pStep->GetPanel()->GetValueText(row)));
        return values;
    }

    void Command(UINT id) { m_pStep->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    CMainFrame* m_pFrame = NULL;
    CEx_StyleView* m_pHome = NULL;
    CFirstView_HDD* m_pDrive = NULL;
    CFileSystemView* m_pStep = NULL;
};

// The labels, in order, that `engine-probe scan no-table.vhd --whole-disk FS --mode extensive` printed
// into the fixture folder; that the probe's volumes are where Sleuth Kit's fsstat puts them is checked
// with the probe's own tests.
std::vector<std::wstring> ProbeWholeDiskLabels(const char* fs)
{
    std::ifstream in(std::filesystem::path(APP_FIXTURES_DIR) /
                     (std::string("extensive-no-table-") + fs + ".tsv"));
    std::vector<std::wstring> labels;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t first = line.find('\t');
        const std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        const std::size_t third = second == std::string::npos ? second : line.find('\t', second + 1);
        if (third != std::string::npos) {
            const std::string label = line.substr(second + 1, third - second - 1);
            labels.push_back(std::wstring(label.begin(), label.end()));
        }
    }
    return labels;
}

TEST_F(FileSystemStepScanTest, AWholeDiskWithoutATableListsWhatTheProbeFinds)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    struct Case
    {
        const char* fs;
        std::uint16_t fsCode;
    };
    const Case cases[] = {{"fat16", kFsFat16}, {"fat32", kFsFat32}, {"ntfs", kFsNtfs}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fs);
        const std::vector<std::wstring> expected = ProbeWholeDiskLabels(c.fs);
        ASSERT_FALSE(expected.empty());
        // The whole image as its geometry counts it, as the probe's --whole-disk scans it.
        ASSERT_TRUE(Open(TestDisk("no-table.vhd"), kHomeExtensiveScanButton));
        ASSERT_TRUE(ExtensiveToFileSystemStep("no-table.vhd", c.fsCode, 0, DriveTotalSectors(0)));
        EXPECT_EQ(VolumeLabels(), expected);
        EXPECT_TRUE(m_pStep->GetNextButton().IsWindowVisible());
        EXPECT_FALSE(m_pStep->GetStopButton().IsWindowVisible());
    }
}

TEST_F(FileSystemStepScanTest, AFatVolumeShowsFsstatsValuesAndTheRootChangesNone)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    ASSERT_TRUE(ExtensiveToFileSystemStep("mbr-ext05.vmdk", kFsFat32, 34816, 73728));
    const std::string report = "mbr-ext05.p2.fsstat.txt";
    // The start shown is the volume's boot sector, the sectors before the file system.
    const std::uint32_t start = FsstatNumber(report, "Sectors before file system:");
    const std::uint32_t spc = FsstatNumber(report, "Cluster Size:") / 512;
    const HTREEITEM hFat = VolumeItem(L"FAT32 @35980");
    ASSERT_NE(hFat, nullptr);
    ClickItem(hFat);
    EXPECT_EQ(m_pFrame->m_nSelectedSource, 1);
    EXPECT_EQ(VolumeParams.volumeNumber, 1u);
    EXPECT_EQ(VolumeParams.fsCode, kFsFat32);
    const std::vector<std::wstring> values = Values();
    EXPECT_EQ(values[1], std::to_wstring(start));
    EXPECT_EQ(values[2], std::to_wstring(spc));
    // The engine probe gives the volume's end as 108544.
    EXPECT_EQ(values[3], std::to_wstring((108544u - start) / 2048u) + L" MB");
    EXPECT_EQ(std::wstring(m_pStep->GetPanel()->GetCaptionText(1)), L"File System Start\t:");
    EXPECT_EQ(std::wstring(m_pStep->GetPanel()->GetCaptionText(3)), L"File System Size\t:");

    // The root: the captions of the partition's code, and no value of VolumeParams changes.
    const VolumeParamsBlock before = VolumeParams;
    ClickItem(m_pStep->GetTree().CTreeCtrl::GetRootItem());
    EXPECT_EQ(std::memcmp(&before, &VolumeParams, sizeof before), 0);
    EXPECT_EQ(std::wstring(m_pStep->GetPanel()->GetCaptionText(2)), L"Sectors Per Cluster\t:");
    m_pStep->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(100);
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_pStep->m_hWnd, L"app_file_system_step_fat"));
}

// The bottom row is the drive step's: Next (Stop in its place while a parse runs) and Back, and Home only
// through its command, without a place of its own.
TEST_F(FileSystemStepScanTest, TheRowGivesHomeNoPlaceAsTheDriveStepDoes)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    ASSERT_TRUE(ExtensiveToFileSystemStep("mbr-ext05.vmdk", kFsFat32, 34816, 73728));
    CWnd* pHome = m_pStep->GetDlgItem(61481);
    ASSERT_NE(pHome, nullptr);
    ASSERT_TRUE(pHome->IsWindowVisible());
    CRect home;
    pHome->GetWindowRect(&home);
    EXPECT_TRUE(home.IsRectEmpty()) << home.Width() << " x " << home.Height();
    // Left of Back, where a fourth button would stand, the row shows the view's own background whether
    // Home is shown or hidden.
    CRect client;
    m_pStep->GetClientRect(&client);
    const CRect slot(client.right - 297, client.bottom - 32, client.right - 223, client.bottom - 6);
    const auto rowPixels = [&] {
        m_pStep->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessages(50);
        return ClientPixels(m_pStep->m_hWnd, slot);
    };
    const std::vector<COLORREF> shown = rowPixels();
    pHome->ShowWindow(SW_HIDE);
    const std::vector<COLORREF> hidden = rowPixels();
    pHome->ShowWindow(SW_SHOW);
    ASSERT_EQ(shown.size(), static_cast<size_t>(slot.Width() * slot.Height()));
    EXPECT_TRUE(shown == hidden);
}

TEST(FileSystemSizeText, EndBeforeStartOrUnknownIsNoNumber)
{
    const struct
    {
        const char* name;
        std::uint32_t start;
        std::uint32_t end;
        const wchar_t* expected;
    } cases[] = {
        {"end unknown", 2048, 0, L"Unknown"},       {"end before start", 4096, 2048, L"Unknown"},
        {"one sector", 2048, 2048, L"0 MB"},        {"whole megabytes", 2048, 2048 + 3 * 2048 + 100, L"3 MB"},
        {"largest", 0, 0xFFFFFFFFu, L"2097151 MB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(std::wstring(FileSystemSizeText(c.start, c.end)), c.expected);
    }
}

TEST_F(FileSystemStepScanTest, StopAsksAndOnlyYesEndsTheParseWithWhatWasFound)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "yes" : "no");
        ASSERT_TRUE(ExtensiveToFileSystemStep("mbr-ext05.vmdk", kFsNtfs, 108544, 65536));
        ClickItem(VolumeItem(L"NTFS @108544"));
        // The worker waits at its first status text until the question has been answered.
        std::atomic<bool> held{false};
        std::atomic<bool> release{false};
        m_pStep->GetPanel()->m_onStatusText = [&] {
            if (held.exchange(true))
                return;
            while (!release)
                ::Sleep(10);
        };
        Command(159);
        ASSERT_TRUE(WaitFor([&] { return held.load(); }, 20000));
        EXPECT_TRUE(m_pStep->GetStopButton().IsWindowVisible());
        EXPECT_FALSE(m_pStep->GetNextButton().IsWindowVisible());
        if (answer == IDYES) {
            m_pStep->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            EXPECT_TRUE(test_support::WriteClientScreenshot(m_pStep->m_hWnd, L"app_file_system_step_busy"));
        }
        {
            BoxAnswerer answerer(answer);
            Command(132);
            ASSERT_EQ(answerer.Requests().size(), 1u);
            EXPECT_EQ(std::wstring(answerer.Requests()[0].text), L"Do you want to stop file searching ?");
        }
        if (answer == IDYES) {
            EXPECT_EQ(ScanThreadControl.done, 1u);
            EXPECT_EQ(m_pFrame->m_flags.results, 1);
            EXPECT_EQ(m_pFrame->m_flags.extensiveResults, 0);
            EXPECT_FALSE(m_pStep->GetStopButton().IsWindowVisible());
        } else {
            EXPECT_TRUE(CScanWorkerControl::IsSearching());
        }
        release = true;
        ASSERT_TRUE(WaitFor([] { return theApp.m_nCurrentView == kViewResults; }, 60000));
        EXPECT_EQ(m_pFrame->m_flags.extensiveResults, 1);
        m_pStep->GetPanel()->m_onStatusText = nullptr;
        PumpMessages(600);
    }
}

} // namespace
