// The drive step on the real test disks: the drive panel per image kind, Next with its partition search
// on the scan worker, the Partition Type question, Stop while the search runs, the not-found box, and
// Back. Also the tables of the pie, the geometry rule and the source tree.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "box_answerer.h"
#include "disk_pie_chart.h"
#include "drive_step_view.h"
#include "engine/recovery/core/engine_state.h"
#include "file_system_step_view.h"
#include "home_view.h"
#include "message_dialogs.h"
#include "mode_summaries.h"
#include "partition_panel.h"
#include "partition_panel_hooks.h"
#include "partition_step_view.h"
#include "partition_type_dlg.h"
#include "scan_worker_control.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "virtual_drive.h"
#include "wizard_state.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring TestDisk(const std::string& name)
{
    return Wide(test_support::JoinPath(test_support::TestDisksDir(), name));
}

// A monolithic sparse VMDK with no grain allocated (all its sectors read as zeros) and the descriptor
// given: header, descriptor sector, grain directory. Removed with the object.
class SparseVmdk
{
public:
    SparseVmdk(std::uint64_t capacitySectors, const std::string& descriptor)
    {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        m_path = folder + Wide(test_support::UniqueTempName("drive_step_", ".vmdk"));
        const std::uint64_t grains = (capacitySectors + 127) / 128;
        const std::uint64_t tables = (grains + 511) / 512;
        const std::uint64_t directorySectors = (tables * 4 + 511) / 512;
        std::vector<char> bytes((2 + directorySectors) * 512, 0);
        auto put32 = [&](std::size_t at, std::uint32_t value) { std::memcpy(&bytes[at], &value, 4); };
        auto put64 = [&](std::size_t at, std::uint64_t value) { std::memcpy(&bytes[at], &value, 8); };
        std::memcpy(&bytes[0], "KDMV", 4);
        put32(4, 1); // version
        put32(8, 1); // flags: newline test only
        put64(12, capacitySectors);
        put64(20, 128); // grain size in sectors
        put64(28, 1);   // descriptor sector
        put64(36, 1);   // descriptor sectors
        put32(44, 512); // grain table entries
        put64(48, 0);   // no redundant directory
        put64(56, 2);   // grain directory sector
        put64(64, 2 + directorySectors);
        bytes[73] = '\n';
        bytes[74] = ' ';
        bytes[75] = '\r';
        bytes[76] = '\n';
        std::memcpy(&bytes[512], descriptor.data(), std::min<std::size_t>(descriptor.size(), 511));
        std::ofstream out(m_path.c_str(), std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~SparseVmdk() { ::DeleteFileW(m_path.c_str()); }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

std::string DescriptorWithoutGeometry(std::uint64_t sectors)
{
    return "# Disk "
           "DescriptorFile\nversion=1\nCID=fffffffe\nparentCID=ffffffff\ncreateType=\"monolithicSparse\"\n"
           "RW " +
           std::to_string(sectors) + " SPARSE \"x.vmdk\"\nddb.virtualHWVersion = \"4\"\n";
}

// The geometry a VMDK's descriptor gives, read from the file's own text.
std::uint32_t DescriptorValue(const std::wstring& path, const std::string& key)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::string head(65536, '\0');
    in.read(&head[0], static_cast<std::streamsize>(head.size()));
    const std::size_t at = head.find(key);
    if (at == std::string::npos)
        return 0;
    const std::size_t quote = head.find('"', at);
    return static_cast<std::uint32_t>(std::stoul(head.substr(quote + 1)));
}

struct TableRow
{
    std::uint32_t start;
    std::uint32_t sectors;
};

// The rows partitions.tsv gives for a disk, in order.
std::vector<TableRow> ExpectedRows(const std::string& disk)
{
    std::ifstream in(test_support::JoinPath(test_support::TestDisksDir(), "partitions.tsv"));
    std::vector<TableRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string name, part;
        TableRow row = {};
        if (fields >> name >> part >> row.start >> row.sectors && name == disk)
            rows.push_back(row);
    }
    return rows;
}

// Runs the handler on this thread's timer for every visible dialog of this process with the title, while
// the object lives; each dialog is handed over once.
class WindowAnswerer
{
public:
    WindowAnswerer(std::wstring title, std::function<void(HWND)> handler)
        : m_title(std::move(title)), m_handler(std::move(handler))
    {
        s_live.push_back(this);
        m_timer = ::SetTimer(NULL, 0, 50, OnTimer);
    }
    ~WindowAnswerer()
    {
        ::KillTimer(NULL, m_timer);
        s_live.erase(std::find(s_live.begin(), s_live.end(), this));
    }
    int Seen() const { return static_cast<int>(m_seen.size()); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
    {
        WindowAnswerer* self = nullptr;
        for (WindowAnswerer* live : s_live) {
            if (live->m_timer == timer)
                self = live;
        }
        if (self == nullptr || self->m_busy)
            return;
        // A handler may run a message loop of its own: the timer must not enter it twice.
        self->m_busy = true;
        HWND window = NULL;
        while ((window = ::FindWindowExW(NULL, window, L"#32770", self->m_title.c_str())) != NULL) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process != ::GetCurrentProcessId() || !::IsWindowVisible(window))
                continue;
            if (std::find(self->m_seen.begin(), self->m_seen.end(), window) != self->m_seen.end())
                continue;
            self->m_seen.push_back(window);
            self->m_handler(window);
        }
        self->m_busy = false;
    }

    static inline std::vector<WindowAnswerer*> s_live;
    bool m_busy = false;
    std::wstring m_title;
    std::function<void(HWND)> m_handler;
    UINT_PTR m_timer = 0;
    std::vector<HWND> m_seen;
};

void Click(HWND dialog, int button)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

class DriveStepTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = StartedFrame();
        ASSERT_NE(m_pFrame, nullptr);
        m_pHome = DYNAMIC_DOWNCAST(CEx_StyleView, theApp.GetView(kViewHome));
        m_pDrive = DYNAMIC_DOWNCAST(CFirstView_HDD, theApp.GetView(kViewDrive));
        ASSERT_NE(m_pHome, nullptr);
        ASSERT_NE(m_pDrive, nullptr);
        vhdxProgressPauseMs = 0;
        ::SetCursorPos(0, 0);
    }
    void TearDown() override
    {
        WaitFor([] { return !CScanWorkerControl::IsSearching() && ScanThreadControl.running == 0; }, 30000);
        PumpMessages(50);
        m_pDrive->OnBack();
        m_pHome->m_pathBox.SetWindowText(L"");
        if (CSourceTreeCtrl* pTree = PartitionTree())
            pTree->DeleteAllItems();
        vhdxProgressPauseMs = 0;
        PumpMessages(20);
    }

    // Opens the image from the home view with a mode; true when the wizard reached the drive step.
    bool Open(const std::wstring& path, UINT command = kHomeQuickScanButton)
    {
        // Back, as the user goes home from a later step.
        if (theApp.m_nCurrentView != kViewHome && theApp.m_nCurrentView != kViewDrive)
            m_pDrive->OnBack();
        theApp.SwitchView(kViewHome);
        m_pHome->m_pathBox.SetWindowText(path.c_str());
        BoxAnswerer answerer(IDOK);
        m_pHome->SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        PumpMessages(20);
        return answerer.Requests().empty() && theApp.m_nCurrentView == kViewDrive;
    }

    CFirstDisplay& Panel() { return *m_pDrive->m_pDrivePanel; }

    std::vector<std::wstring> PartitionItems()
    {
        std::vector<std::wstring> items;
        CSourceTreeCtrl* pTree = PartitionTree();
        if (pTree == NULL)
            return items;
        for (HTREEITEM hGroup = pTree->GetRootItem(); hGroup != NULL;
             hGroup = pTree->GetNextSiblingItem(hGroup)) {
            if (pTree->GetItemText(hGroup) != kVirtualHardDiskGroupText)
                continue;
            for (HTREEITEM hItem = pTree->GetChildItem(hGroup); hItem != NULL;
                 hItem = pTree->GetNextSiblingItem(hItem))
                items.push_back(std::wstring(pTree->GetItemText(hItem)));
        }
        return items;
    }

    CMainFrame* m_pFrame = NULL;
    CEx_StyleView* m_pHome = NULL;
    CFirstView_HDD* m_pDrive = NULL;
};

TEST_F(DriveStepTest, ThePanelShowsEachImageKindsDetails)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    const std::wstring vmdk = TestDisk("mbr-ext05.vmdk");
    ASSERT_TRUE(Open(vmdk));
    // The tree lists the image and has its device selected.
    CSourceTreeCtrl& tree = m_pDrive->m_sourceTree;
    HTREEITEM hRoot = tree.GetRootItem();
    ASSERT_NE(hRoot, nullptr);
    EXPECT_EQ(std::wstring(tree.GetItemText(hRoot)), L"My Computer");
    HTREEITEM hGroup = tree.GetChildItem(hRoot);
    ASSERT_NE(hGroup, nullptr);
    EXPECT_EQ(std::wstring(tree.GetItemText(hGroup)), L"Physical Devices");
    HTREEITEM hDevice = tree.GetChildItem(hGroup);
    ASSERT_NE(hDevice, nullptr);
    EXPECT_EQ(std::wstring(tree.GetItemText(hDevice)), L"Virtual Machine Disk ");
    EXPECT_EQ(tree.GetSelectedItem(), hDevice);
    EXPECT_EQ(tree.GetItemIndex(hDevice), 1);
    EXPECT_EQ(m_pFrame->m_nSelectedSource, 1);
    EXPECT_EQ(SourceState.sourceKind, kSourceImageDevice);

    EXPECT_EQ(std::wstring(Panel().GetValueText(0)), L"Virtual Machine Disk");
    EXPECT_EQ(std::wstring(Panel().GetCaptionText(2)), L"Cylinders\t\t:");
    const std::uint32_t geometry[] = {DescriptorValue(vmdk, "ddb.geometry.cylinders"),
                                      DescriptorValue(vmdk, "ddb.geometry.heads"),
                                      DescriptorValue(vmdk, "ddb.geometry.sectors")};
    for (int row = 0; row < 3; ++row) {
        ASSERT_NE(geometry[row], 0u);
        EXPECT_EQ(std::wstring(Panel().GetValueText(2 + row)), std::to_wstring(geometry[row]));
    }
    EXPECT_EQ(std::wstring(Panel().GetValueText(1)), L"181 MB ");
    // The chart: one slice per row of the table and the free rest.
    EXPECT_EQ(Panel().m_chart.GetSliceCount(), static_cast<INT_PTR>(ExpectedRows("mbr-ext05").size() + 1));
    m_pDrive->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(100);
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_pDrive->m_hWnd, L"app_drive_step"));

    // The VHD: capacity from its geometry, in MB "(Approx..)".
    ASSERT_TRUE(Open(TestDisk("mbr-ext05.vhd")));
    const std::uint32_t total = DriveTotalSectors(0);
    ASSERT_NE(total, 0u);
    EXPECT_EQ(std::wstring(Panel().GetValueText(1)), std::to_wstring(total / 2048) + L" MB (Approx..)");
    EXPECT_EQ(total,
              DeviceGeometry[0].cylinders * DeviceGeometry[0].heads * DeviceGeometry[0].sectorsPerTrack);

    // The VHDX: its own rows.
    ASSERT_TRUE(Open(TestDisk("mbr-ext05.vhdx")));
    EXPECT_EQ(std::wstring(Panel().GetCaptionText(2)), L"Disk Type\t\t:");
    EXPECT_EQ(std::wstring(Panel().GetCaptionText(3)), L"Data Block Count\t:");
    EXPECT_EQ(std::wstring(Panel().GetCaptionText(4)), L"Total Bat Entries\t:");
    EXPECT_FALSE(Panel().GetValueText(2).IsEmpty());
    EXPECT_NE(_wtoi(Panel().GetValueText(3)), 0);
    EXPECT_NE(_wtoi(Panel().GetValueText(4)), 0);
    m_pDrive->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(100);
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_pDrive->m_hWnd, L"app_drive_step_vhdx"));
}

TEST_F(DriveStepTest, TheSameImageAgainKeepsTheTreeAndANewOneStartsItAfresh)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    CSourceTreeCtrl& tree = m_pDrive->m_sourceTree;
    ASSERT_TRUE(Open(TestDisk("mbr-ext0f.vmdk")));
    const HTREEITEM hFirstRoot = tree.GetRootItem();
    ASSERT_NE(hFirstRoot, nullptr);
    m_pDrive->OnBack();
    ASSERT_TRUE(Open(TestDisk("mbr-ext0f.vmdk")));
    EXPECT_EQ(tree.GetRootItem(), hFirstRoot);
    EXPECT_EQ(tree.GetCount(), 3u);
    m_pDrive->OnBack();
    ASSERT_TRUE(Open(TestDisk("mbr-ext0f.vhd")));
    EXPECT_EQ(tree.GetCount(), 3u);
    EXPECT_EQ(SourceState.sourceKind, kSourceImageDevice);
}

TEST_F(DriveStepTest, AVmdkWithoutDescriptorGeometryGetsTheDerivedOne)
{
    const std::uint64_t sectors = 1536ull * 2048;
    const SparseVmdk image(sectors, DescriptorWithoutGeometry(sectors));
    ASSERT_TRUE(Open(image.Path()));
    EXPECT_EQ(std::wstring(Panel().GetValueText(1)), L"1536 MB ");
    EXPECT_EQ(std::wstring(Panel().GetValueText(2)), L"768");
    EXPECT_EQ(std::wstring(Panel().GetValueText(3)), L"128");
    EXPECT_EQ(std::wstring(Panel().GetValueText(4)), L"32");
}

TEST_F(DriveStepTest, NextWithTheRootSelectedStartsNothingAndBackReturnsHome)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    ASSERT_TRUE(Open(TestDisk("mbr-ext05.vmdk")));
    CSourceTreeCtrl& tree = m_pDrive->m_sourceTree;
    tree.SelectItemAndNotify(tree.GetRootItem());
    EXPECT_EQ(m_pFrame->m_nSelectedSource, -1);
    EXPECT_EQ(SourceState.sourceKind, kSourceNone);
    {
        BoxAnswerer answerer(IDOK);
        m_pDrive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepNext, BN_CLICKED), 0);
        PumpMessages(20);
        ASSERT_EQ(answerer.Requests().size(), 1u);
        EXPECT_EQ(
            std::wstring(answerer.Requests()[0].text),
            L"Please select the drive that contain the lost data \r\nfrom the left panel and click [Next].");
        EXPECT_EQ(answerer.Requests()[0].kind, 2u);
    }
    EXPECT_EQ(ScanThreadControl.running, 0);
    EXPECT_FALSE(CScanWorkerControl::IsSearching());
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewDrive));

    m_pDrive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepBack, BN_CLICKED), 0);
    PumpMessages(20);
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
    EXPECT_EQ(m_pFrame->m_flags.open, 1);
    EXPECT_EQ(WizardStepState.quick, 0u);
    EXPECT_EQ(WizardStepState.extensive, 0u);
    EXPECT_EQ(WizardStepState.fileTrace, 0u);
    EXPECT_EQ(SourceState.sourceKind, kSourceNone);
}

TEST_F(DriveStepTest, NextAsksThePartitionTypeAndListsTheTablesRowsInOrder)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    ASSERT_TRUE(Open(TestDisk("mbr-ext05.vmdk")));
    // An earlier Extensive Scan left its counters' captions on the partition step's panel.
    CSecondDisplay& panel = *DYNAMIC_DOWNCAST(CSecondView_HDD, theApp.GetView(kViewPartition))->GetPanel();
    panel.SetNtfsCounterLabels();
    PartitionSearchChoice = 1;
    int useExistingChecked = -1;
    WindowAnswerer answerer(L"Partition Type", [&](HWND dialog) {
        useExistingChecked = static_cast<int>(::IsDlgButtonChecked(dialog, kPartitionTypeUseExisting));
        ::RedrawWindow(dialog, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        test_support::WriteClientScreenshot(dialog, L"app_partition_type");
        Click(dialog, IDOK);
    });
    m_pDrive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepNext, BN_CLICKED), 0);
    EXPECT_TRUE(m_pDrive->m_stopButton.IsWindowVisible());
    EXPECT_FALSE(m_pDrive->m_nextButton.IsWindowVisible());
    ASSERT_TRUE(WaitFor([] { return theApp.m_nCurrentView == kViewPartition; }, 30000));
    EXPECT_EQ(answerer.Seen(), 1);
    EXPECT_EQ(useExistingChecked, BST_CHECKED);
    EXPECT_EQ(PartitionSearchChoice, 0u);
    EXPECT_EQ(WizardStepState.quick, 2u);

    const std::vector<TableRow> rows = ExpectedRows("mbr-ext05");
    ASSERT_EQ(partitionCount, rows.size());
    std::vector<std::wstring> expectedItems;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(partitionTable[i].startSector, rows[i].start) << i;
        EXPECT_EQ(partitionTable[i].sectorCount, rows[i].sectors) << i;
        expectedItems.push_back(L"Partition " + std::to_wstring(i));
    }
    EXPECT_EQ(PartitionItems(), expectedItems);
    EXPECT_EQ(m_pFrame->m_nDriveStepCurrent, 0);
    EXPECT_EQ(m_pFrame->m_nPartitionStepCurrent, 1);
    // The step starts afresh, with the partition captions and no values.
    EXPECT_EQ(std::wstring(panel.GetCaptionText(0)), L"Partition Type\t\t:");
    EXPECT_EQ(std::wstring(panel.GetCaptionText(3)), L"Partition Size\t\t:");
    EXPECT_EQ(std::wstring(panel.GetValueText(0)), L"");
}

TEST_F(DriveStepTest, AnImageWithoutATableIsSearchedForItsVolumes)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    ASSERT_TRUE(Open(TestDisk("no-table.vhd"), kHomeExtensiveScanButton));
    WindowAnswerer answerer(L"Partition Type", [](HWND dialog) { Click(dialog, IDOK); });
    m_pDrive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepNext, BN_CLICKED), 0);
    ASSERT_TRUE(WaitFor([] { return theApp.m_nCurrentView == kViewPartition; }, 60000));
    EXPECT_EQ(answerer.Seen(), 0);
    const std::vector<TableRow> rows = ExpectedRows("no-table");
    ASSERT_EQ(partitionCount, rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(partitionTable[i].startSector, rows[i].start) << i;
    EXPECT_EQ(PartitionItems().size(), rows.size());
    EXPECT_EQ(WizardStepState.extensive, 2u);
}

TEST_F(DriveStepTest, StopAsksWhileTheSearchRunsOnAndOnlyYesEndsIt)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    struct Case
    {
        const char* name;
        int answer;
        DWORD pauseMs;
        // Keeps the question open until the worker has ended.
        bool answerAfterWorkerEnds;
    };
    const Case cases[] = {
        {"no lets it finish", IDNO, 20, false},
        {"yes stops it", IDYES, 100, false},
        {"the end waits for the answer", IDNO, 15, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Open(TestDisk("mbr-ext05.vhdx")));
        if (CSourceTreeCtrl* pTree = PartitionTree())
            pTree->DeleteAllItems();
        vhdxProgressPauseMs = c.pauseMs;
        WindowAnswerer partitionType(L"Partition Type", [](HWND dialog) { Click(dialog, IDOK); });
        m_pDrive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepNext, BN_CLICKED), 0);
        ASSERT_TRUE(WaitFor([&] { return partitionType.Seen() == 1; }, 10000));
        PumpMessages(200);
        ASSERT_TRUE(CScanWorkerControl::IsSearching());
        if (c.answer == IDYES) {
            EXPECT_TRUE(m_pDrive->m_stopButton.IsWindowVisible());
            EXPECT_TRUE(Panel().m_progress.IsWindowVisible());
            m_pDrive->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            EXPECT_TRUE(test_support::WriteClientScreenshot(m_pDrive->m_hWnd, L"app_drive_step_searching"));
        }

        bool viewChangedWhileOpen = false;
        bool workerEndedWhileOpen = false;
        WindowAnswerer question(kMessageCaption, [&](HWND box) {
            if (c.answerAfterWorkerEnds) {
                // Waits for the worker inside the question's own loop, then checks that nothing moved.
                WaitFor([] { return ScanThreadControl.running == 0; }, 20000);
                PumpMessages(1500);
                workerEndedWhileOpen = ScanThreadControl.running == 0;
                viewChangedWhileOpen = theApp.m_nCurrentView != kViewDrive;
            }
            Click(box, c.answer);
        });
        const ULONGLONG asked = ::GetTickCount64();
        m_pDrive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepStop, BN_CLICKED), 0);
        EXPECT_EQ(question.Seen(), 1);
        if (c.answer == IDYES) {
            EXPECT_EQ(ScanThreadControl.done, 1u);
        }
        ASSERT_TRUE(WaitFor([] { return theApp.m_nCurrentView == kViewPartition; }, 30000));
        const ULONGLONG finished = ::GetTickCount64() - asked;
        if (c.answer == IDYES) {
            // A hundred steps of 100 ms would take ten seconds: the stop cut it short.
            EXPECT_LT(finished, 8000u);
        }
        if (c.answerAfterWorkerEnds) {
            EXPECT_TRUE(workerEndedWhileOpen);
            EXPECT_FALSE(viewChangedWhileOpen);
        }
        EXPECT_EQ(partitionCount, ExpectedRows("mbr-ext05").size());
    }
}

TEST_F(DriveStepTest, QuickScanOfAnEmptyImageShowsTheNotFoundBoxAndReturnsHome)
{
    const std::uint64_t sectors = 64ull * 2048;
    const SparseVmdk image(sectors, "# Disk DescriptorFile\nversion=1\nddb.geometry.cylinders = \"64\"\n"
                                    "ddb.geometry.heads = \"64\"\nddb.geometry.sectors = \"32\"\n");
    ASSERT_TRUE(Open(image.Path()));
    std::vector<std::wstring> texts;
    WindowAnswerer box(kMessageCaption, [&](HWND window) { Click(window, IDOK); });
    m_pDrive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepNext, BN_CLICKED), 0);
    ASSERT_TRUE(WaitFor([&] { return box.Seen() == 1; }, 30000));
    ASSERT_TRUE(WaitFor([] { return theApp.m_nCurrentView == kViewHome; }, 10000));
    EXPECT_EQ(partitionCount, 0u);
    // Home as after Back: the next image starts the drive step afresh.
    EXPECT_EQ(m_pFrame->m_nDriveStepCurrent, 1);
    EXPECT_EQ(m_pFrame->m_flags.open, 1);
    EXPECT_EQ(WizardStepState.quick, 0u);
}

// Logical drives: no drive of this machine is listed or read, so the engine's drive table is filled by
// hand. Its C: is the test prefix's own drive, which gives the usage pie real sizes; nothing opens it.
class LogicalDriveTest : public DriveStepTest
{
protected:
    void SetUp() override
    {
        DriveStepTest::SetUp();
        DriveEntryTable = {};
        Put(1, u"C: System", u"C:\\", 4096000, 8, kFsNtfs);
        Put(2, u"E: Broken", u"E:\\", 0, 0, 999);
    }
    void TearDown() override
    {
        DriveStepTest::TearDown();
        DriveEntryTable = {};
        // The partition step as an image's Next leaves it, for the tests that enter it directly.
        CallHook(PartitionPanelHooks.showPartitionTree, true);
        CallHook(PartitionPanelHooks.showSplitterPanes, true);
        CallHook(PartitionPanelHooks.setCaption, CString(L"Partition Information"));
        CallHook(PartitionPanelHooks.setHint,
                 CString(L"Please Select a Partition From The Left Panel and press "
                         L"[Scan] to continue with recovery."));
    }

    static void Put(int entry, const std::u16string& name, const std::u16string& root, std::uint64_t sectors,
                    std::uint16_t spc, std::uint16_t fsCode)
    {
        name.copy(DriveEntryTable.entries[entry], kDriveEntryLength - 1);
        root.copy(DriveEntryTable.rootPaths[entry], kDriveEntryLength - 1);
        DriveEntryTable.sectorCounts[entry] = sectors;
        DriveEntryTable.sectorsPerCluster[entry] = spc;
        DriveEntryTable.fsCodes[entry] = fsCode;
    }

    // Opens the image in the mode and lists the table's two drives under "Logical Devices"; the item of
    // the drive with the letter.
    HTREEITEM OpenWithLogicalDrives(UINT command, wchar_t letter)
    {
        if (!Open(TestDisk("mbr-ext05.vmdk"), command))
            return NULL;
        CSourceTreeCtrl& tree = m_pDrive->m_sourceTree;
        tree.AddPath(L"My Computer\\Logical Devices\\Local Disk C:\\");
        tree.AddPath(L"My Computer\\Logical Devices\\Local Disk E:\\");
        tree.Expand(tree.GetRootItem(), TVE_EXPAND);
        for (HTREEITEM hGroup = tree.GetChildItem(tree.GetRootItem()); hGroup != NULL;
             hGroup = tree.GetNextSiblingItem(hGroup)) {
            if (tree.GetItemText(hGroup) != kLogicalDevicesText)
                continue;
            tree.Expand(hGroup, TVE_EXPAND);
            for (HTREEITEM hItem = tree.GetChildItem(hGroup); hItem != NULL;
                 hItem = tree.GetNextSiblingItem(hItem))
                if (tree.GetItemText(hItem).Right(2) == CString(letter) + L":")
                    return hItem;
        }
        return NULL;
    }

    std::vector<std::wstring> DrivePanelValues()
    {
        std::vector<std::wstring> values;
        for (int row = 0; row < kDrivePanelRows; ++row)
            values.push_back(std::wstring(Panel().GetValueText(row)));
        return values;
    }

    static CSecondDisplay& PartitionPanel()
    {
        return *DYNAMIC_DOWNCAST(CSecondView_HDD, theApp.GetView(kViewPartition))->GetPanel();
    }
};

TEST_F(LogicalDriveTest, TheTreeFindsADriveOfTheTableByItsLetterAndThePanelShowsIt)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    CSourceTreeCtrl& tree = m_pDrive->m_sourceTree;
    const HTREEITEM hDrive = OpenWithLogicalDrives(kHomeQuickScanButton, L'C');
    ASSERT_NE(hDrive, nullptr);
    tree.SelectItemAndNotify(hDrive);
    EXPECT_EQ(SourceState.sourceKind, kSourceLogicalVolume);
    EXPECT_EQ(DriveEntryTable.selected, 1);
    EXPECT_EQ(VolumeParams.driveIndex, 1u);
    EXPECT_EQ(VolumeParams.fsCode, kFsNtfs);
    EXPECT_EQ(VolumeParams.scanFsCode, kFsNtfs);
    EXPECT_EQ(VolumeParams.rangeStart, 0u);
    EXPECT_EQ(VolumeParams.rangeCount, 4096000u);
    EXPECT_EQ(VolumeParams.rangeEnd, 4095999u);
    EXPECT_EQ(std::wstring(ScanSelectionUi.modeSummary), kSummaryQuickLogicalTree);
    EXPECT_EQ(std::wstring(Panel().GetCaptionText(0)), L"Volume Name\t\t:");
    EXPECT_EQ(std::wstring(Panel().GetCaptionText(4)), L"File System\t\t:");
    EXPECT_EQ(DrivePanelValues(),
              (std::vector<std::wstring>{L"C: System", L"2000 MB (Approx..)", L"8", L"512", L"NTFS"}));
    EXPECT_TRUE(Panel().IsUsagePieVisible());
    EXPECT_EQ(std::wstring(Panel().GetUsagePieRoot()), L"C:\\");
    EXPECT_GT(Panel().m_usagePie.m_capacityBytes, 0u);
    EXPECT_EQ(Panel().m_chart.GetSliceCount(), 0);
    m_pDrive->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(100);
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_pDrive->m_hWnd, L"app_drive_step_logical"));

    // A file system the program does not know, on a drive without sectors.
    tree.SelectItemAndNotify(OpenWithLogicalDrives(kHomeQuickScanButton, L'E'));
    EXPECT_EQ(DriveEntryTable.selected, 2);
    EXPECT_EQ(DrivePanelValues(),
              (std::vector<std::wstring>{L"E: Broken", L"0 MB (Approx..)", L"0", L"512", L"UNKNOWN"}));
    EXPECT_EQ(VolumeParams.rangeCount, 0u);
    EXPECT_EQ(VolumeParams.rangeEnd, 0u);

    // No drive: empty rows and none selected.
    Panel().ShowLogicalDriveInfo(-1);
    EXPECT_EQ(DriveEntryTable.selected, -1);
    EXPECT_EQ(DrivePanelValues(), std::vector<std::wstring>(kDrivePanelRows));
}

TEST_F(LogicalDriveTest, NextShowsTheDrivesVolumeInThePartitionStepWithoutASearch)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    struct Case
    {
        const char* name;
        UINT command;
        const wchar_t* damaged;
        const wchar_t* hint;
        const wchar_t* summary;
        bool fileSystemChoice;
        std::uint32_t WizardStepStateBlock::*state;
    };
    const Case cases[] = {
        {"Quick Scan", kHomeQuickScanButton,
         L"This partition is damaged, please select physical hard disk and proceed.",
         L"You have selected logical drive for recovery. Please click [Scan] to continue with recovery.",
         kSummaryQuickLogical, false, &WizardStepStateBlock::quick},
        {"Extensive Scan", kHomeExtensiveScanButton,
         L"This partition is damaged, please select physical Device and proceed.",
         L"You have selected logical drive for recovery. Please click [Next] to continue with recovery.",
         kSummaryExtensiveLogical, true, &WizardStepStateBlock::extensive},
        {"File Trace", kHomeFileTraceButton,
         L"This partition is damaged, please select physical hard drive and proceed.",
         L"You have selected logical drive for recovery. Please click [Scan] to continue with recovery.",
         kSummaryTraceLogical, false, &WizardStepStateBlock::fileTrace},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSourceTreeCtrl& tree = m_pDrive->m_sourceTree;
        // A drive without sectors is refused with the mode's own words.
        tree.SelectItemAndNotify(OpenWithLogicalDrives(c.command, L'E'));
        {
            BoxAnswerer answerer(IDOK);
            m_pDrive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepNext, BN_CLICKED), 0);
            PumpMessages(20);
            ASSERT_EQ(answerer.Requests().size(), 1u);
            EXPECT_EQ(std::wstring(answerer.Requests()[0].text), c.damaged);
        }
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewDrive));

        tree.SelectItemAndNotify(OpenWithLogicalDrives(c.command, L'C'));
        m_pDrive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepNext, BN_CLICKED), 0);
        PumpMessages(20);
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewPartition));
        EXPECT_EQ(ScanThreadControl.running, 0);
        EXPECT_EQ(WizardStepState.*c.state, 2u);
        EXPECT_EQ(std::wstring(ScanSelectionUi.modeSummary), c.summary);
        CSecondDisplay& panel = PartitionPanel();
        EXPECT_EQ(std::wstring(panel.GetHintText()), c.hint);
        EXPECT_EQ(std::wstring(panel.GetTitleText()), L"Selected Drive Information");
        EXPECT_EQ(std::wstring(panel.GetCaptionText(0)), L"Volume Name :");
        EXPECT_EQ(std::wstring(panel.GetCaptionText(3)), L"File System    :");
        EXPECT_EQ(std::wstring(panel.GetValueText(0)), L"C: System ( C:\\ )");
        EXPECT_EQ(std::wstring(panel.GetValueText(1)), L"2000 MB (Approx..)");
        EXPECT_EQ(std::wstring(panel.GetValueText(2)), L"8");
        EXPECT_EQ(std::wstring(panel.GetValueText(3)), L"NTFS");
        EXPECT_EQ(panel.GetFileSystemSelection(), 0);
        EXPECT_TRUE(panel.IsUsagePieVisible());
        EXPECT_EQ(std::wstring(panel.GetUsagePieRoot()), L"C:\\");
        // A logical drive is scanned whole: the file system may be chosen, never a sector range.
        EXPECT_EQ(panel.IsFileSystemChoiceVisible(), c.fileSystemChoice ? TRUE : FALSE);
        EXPECT_FALSE(panel.AreSectorFieldsVisible());
        auto* pStep = DYNAMIC_DOWNCAST(CSecondView_HDD, theApp.GetView(kViewPartition));
        EXPECT_FALSE(pStep->GetPartitionTree().IsWindowVisible());
        if (c.fileSystemChoice) {
            pStep->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            PumpMessages(100);
            EXPECT_TRUE(test_support::WriteClientScreenshot(pStep->m_hWnd, L"app_partition_step_logical"));
            // Back from the file-system step: the drive's volume again, with only its file system to
            // choose.
            theApp.SwitchView(kViewFileSystem);
            DYNAMIC_DOWNCAST(CFileSystemView, theApp.GetView(kViewFileSystem))->OnBack();
            PumpMessages(20);
            EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewPartition));
            EXPECT_EQ(std::wstring(panel.GetHintText()),
                      L"You have selected logical drive for recovery. Please click [Scan] to continue with "
                      L"recovery.");
            EXPECT_EQ(std::wstring(panel.GetCaptionText(1)), L"Capacity         :");
            EXPECT_EQ(std::wstring(panel.GetValueText(1)), L"2000 MB (Approx..)");
            EXPECT_TRUE(panel.IsFileSystemChoiceVisible());
            EXPECT_FALSE(panel.AreSectorFieldsVisible());
            EXPECT_EQ(WizardStepState.extensive, 3u);
        }
        pStep->OnHome();
        PumpMessages(20);
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
    }
}

TEST(DrivePanelTables, PointsOnTheEllipse)
{
    const struct
    {
        int percent;
        CPoint expected;
    } cases[] = {
        {0, CPoint(100, 130)},  {25, CPoint(60, 100)},   {50, CPoint(100, 70)},
        {75, CPoint(140, 100)}, {100, CPoint(100, 130)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        EXPECT_EQ(CDiskPieChart::PointOnEllipse(c.percent, 40, 30, 100, 100), c.expected);
    }
    // No width: the points stay on the centre's column.
    EXPECT_EQ(CDiskPieChart::PointOnEllipse(25, 0, 30, 100, 100).x, 100);
}

TEST(DrivePanelTables, SizeLinesAndShares)
{
    EXPECT_EQ(std::wstring(CDiskPieChart::SizeLine(L"Capacity", 2147483648ull)), L"Capacity: 2.00 GB");
    EXPECT_EQ(std::wstring(CDiskPieChart::SizeLine(L"Capacity", 1073741824ull)), L"Capacity: 1024.00 MB");
    EXPECT_EQ(std::wstring(CDiskPieChart::SizeLine(L"Free", 2048)), L"Free: 2.00 KB");
    EXPECT_EQ(CDiskPieChart::UsedShare(5, 0), 0);
    EXPECT_EQ(CDiskPieChart::UsedShare(1, 4), 25);
    EXPECT_EQ(CDiskPieChart::UsedShare(~0ull, ~0ull), 100);

    // A drive that cannot be read has no sizes and still draws.
    CDiskPieChart pie;
    ASSERT_TRUE(pie.Create(L"", WS_CHILD, CRect(0, 0, 300, 120), CWnd::FromHandle(::GetDesktopWindow()), 1));
    pie.SetDrive(L"Q:\\no such drive\\");
    EXPECT_EQ(pie.m_capacityBytes, 0u);
    pie.SendMessage(WM_PAINT);
    pie.DestroyWindow();
}

TEST(DrivePanelTables, GeometryForADiskWithoutOne)
{
    const struct
    {
        std::uint64_t megabytes;
        std::uint32_t heads, sectors;
    } cases[] = {{512, 64, 32}, {1024, 64, 32}, {1536, 128, 32}, {2048, 128, 32}, {4096, 255, 63}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.megabytes);
        const DiskGeometry made = CompleteGeometry(DiskGeometry(), c.megabytes * 1048576);
        EXPECT_EQ(made.heads, c.heads);
        EXPECT_EQ(made.sectorsPerTrack, c.sectors);
        EXPECT_EQ(made.cylinders, c.megabytes * 1048576 / (c.heads * c.sectors * 512ull));
    }
    DiskGeometry given;
    given.cylinders = 10;
    given.heads = 16;
    given.sectorsPerTrack = 63;
    EXPECT_EQ(CompleteGeometry(given, 4096ull * 1048576).heads, 16u);
}

TEST(SourceTree, PathsAreAddedOnceAndIndexesCountVisibleItems)
{
    CMainFrame* pFrame = StartedFrame();
    ASSERT_NE(pFrame, nullptr);
    CSourceTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | TVS_HASBUTTONS | TVS_LINESATROOT, CRect(0, 0, 200, 200), pFrame, 1));
    tree.Init();
    tree.AddPath(L"My Computer\\Physical Devices\\Virtual Machine Disk \\");
    tree.AddPath(L"My Computer\\Physical Devices\\Virtual Machine Disk \\");
    EXPECT_EQ(tree.GetCount(), 3u);
    EXPECT_EQ(tree.GetItemIndex(NULL), -2);
    HTREEITEM hRoot = tree.GetRootItem();
    EXPECT_EQ(tree.GetItemIndex(hRoot), -1);
    tree.Expand(hRoot, TVE_EXPAND);
    HTREEITEM hGroup = tree.GetChildItem(hRoot);
    tree.Expand(hGroup, TVE_EXPAND);
    EXPECT_EQ(tree.GetItemIndex(hGroup), 0);
    EXPECT_EQ(tree.GetItemIndex(tree.GetChildItem(hGroup)), 1);

    // A group item is checked and bold; checking an item checks its children and its parent follows.
    HTREEITEM hItem = tree.AddGroupItem(L"Virtual Hard Disk ", L"Partition 0");
    HTREEITEM hPartitions = tree.GetParentItem(hItem);
    EXPECT_TRUE(tree.IsChecked(hPartitions));
    EXPECT_NE(tree.GetItemState(hPartitions, TVIS_BOLD) & TVIS_BOLD, 0u);
    tree.SetCheck(hRoot, 1);
    EXPECT_TRUE(tree.IsChecked(tree.GetChildItem(hGroup)));
    tree.SetCheck(tree.GetChildItem(hGroup), 0);
    EXPECT_FALSE(tree.IsChecked(hGroup));
    EXPECT_FALSE(tree.IsChecked(hRoot));
    tree.DestroyWindow();
}

} // namespace
