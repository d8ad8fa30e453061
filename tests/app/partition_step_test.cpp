// The partition step on the real test disks: Quick Scan, Extensive Scan and File Trace started from the
// step, the step locked while the worker runs, the timer moving on, the checks of the sector fields, the
// progress toggle, and Home.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "box_answerer.h"
#include "drive_info_dlg.h"
#include "drive_step_view.h"
#include "engine/image/image_source.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/partitions/partition_search.h"
#include "engine_message_recorder.h"
#include "file_system_panel.h"
#include "file_system_step_view.h"
#include "home_view.h"
#include "partition_panel.h"
#include "partition_step_ids.h"
#include "partition_step_view.h"
#include "resource.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "wizard_state.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
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

// The text after "KEY: " on the first line of an fsstat report that begins with KEY.
std::wstring FsstatValue(const std::string& report, const std::string& key)
{
    std::ifstream in(test_support::JoinPath(test_support::TestDisksDir(), report));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + ": ", 0) == 0) {
            std::string value = line.substr(key.size() + 2);
            while (!value.empty() && (value.back() == '\r' || value.back() == ' '))
                value.pop_back();
            return Wide(value);
        }
    }
    return L"?";
}

// The first number of a "A - B" range.
std::uint32_t RangeStart(const std::wstring& range)
{
    return static_cast<std::uint32_t>(std::stoul(range));
}

// Rows of mbr-ext05's table, as ParsePartitionTable reads them.
constexpr int kFat32Row = 1;
constexpr int kNtfsRow = 2;

class PartitionStepTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = StartedFrame();
        ASSERT_NE(m_pFrame, nullptr);
        ASSERT_TRUE(test_support::TestDisksAvailable());
        m_pView = DYNAMIC_DOWNCAST(CSecondView_HDD, theApp.GetView(kViewPartition));
        ASSERT_NE(m_pView, nullptr);
        m_pPanel = m_pView->GetPanel();
        m_savedMessages = engineUi.messages;
        engineUi.messages = &m_messages;
    }
    void TearDown() override
    {
        WaitForStepToSettle();
        engineUi.messages = m_savedMessages;
        if (!m_pView->IsScanning()) {
            theApp.SwitchView(kViewPartition);
            m_pView->OnHome();
        }
        theApp.SwitchView(kViewHome);
        PumpMessages(20);
    }

    // Opens the disk in a scan mode from the home view and shows its partitions in the step, as the
    // drive step's search leaves them.
    void EnterStep(const std::wstring& disk, UINT modeCommand)
    {
        theApp.SwitchView(kViewHome);
        auto* home = DYNAMIC_DOWNCAST(CEx_StyleView, theApp.GetView(kViewHome));
        ASSERT_NE(home, nullptr);
        home->m_pathBox.SetWindowText(disk.c_str());
        {
            BoxAnswerer answerer(IDOK);
            home->SendMessage(WM_COMMAND, MAKEWPARAM(modeCommand, BN_CLICKED), 0);
            PumpMessages(20);
            ASSERT_TRUE(answerer.Requests().empty());
        }
        ASSERT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewDrive));
        ParsePartitionTable();
        ASSERT_GT(partitionCount, 0u);
        CTreeCtrl& tree = m_pView->GetPartitionTree();
        tree.DeleteAllItems();
        const HTREEITEM group = tree.InsertItem(L"Virtual Hard Disk ");
        for (std::uint32_t row = 0; row < partitionCount; ++row)
            tree.InsertItem((L"Partition " + std::to_wstring(row + 1)).c_str(), group);
        tree.Expand(group, TVE_EXPAND);
        theApp.SwitchView(kViewPartition);
        CurrentModeStep() = 2;
        PumpMessages(20);
    }

    // What choosing row `row` in the tree does.
    void ChooseRow(int row)
    {
        const PartitionEntry& entry = partitionTable[row];
        VolumeParams.scanFsCode = entry.fsCode;
        VolumeParams.rangeStart = entry.startSector;
        VolumeParams.rangeCount = entry.sectorCount;
        VolumeParams.rangeEnd = entry.startSector + entry.sectorCount - 1;
        SelectedSourceIndex() = row;
        m_pPanel->ShowPartitionInfo(0, row);
        CTreeCtrl& tree = m_pView->GetPartitionTree();
        HTREEITEM item = tree.GetChildItem(tree.GetRootItem());
        for (int i = 0; i < row && item != NULL; ++i)
            item = tree.GetNextSiblingItem(item);
        tree.SelectItem(item);
        PumpMessages(10);
    }

    void PressScan() { m_pView->SendMessage(WM_COMMAND, MAKEWPARAM(kStepScanCommand, BN_CLICKED), 0); }

    bool Shown(PartitionStepButton button) { return m_pView->GetButton(button).IsWindowVisible() != FALSE; }

    void ExpectLocked()
    {
        EXPECT_FALSE(Shown(PartitionStepButton::Scan));
        EXPECT_FALSE(Shown(PartitionStepButton::Back));
        EXPECT_FALSE(Shown(PartitionStepButton::Home));
        EXPECT_TRUE(Shown(PartitionStepButton::Stop));
        EXPECT_FALSE(m_pView->GetPartitionTree().IsWindowEnabled());
        EXPECT_TRUE(m_pPanel->IsProgressVisible());
        EXPECT_TRUE(m_pPanel->IsStatusVisible());
    }

    void ExpectUsable()
    {
        EXPECT_TRUE(Shown(PartitionStepButton::Scan));
        EXPECT_TRUE(Shown(PartitionStepButton::Back));
        EXPECT_TRUE(Shown(PartitionStepButton::Home));
        EXPECT_FALSE(Shown(PartitionStepButton::Stop));
        EXPECT_TRUE(m_pView->GetPartitionTree().IsWindowEnabled());
        EXPECT_FALSE(m_pView->IsScanning());
    }

    // Pumps until the wizard shows `view` or the time runs out; the boxes shown meanwhile are answered
    // with OK and kept in m_boxes.
    bool WaitForView(UINT view, DWORD ms)
    {
        BoxAnswerer answerer(IDOK);
        const ULONGLONG end = ::GetTickCount64() + ms;
        bool reached = false;
        while (!reached && ::GetTickCount64() < end) {
            PumpMessages(50);
            reached = theApp.m_nCurrentView == view && !m_pView->IsScanning();
        }
        PumpMessages(50);
        m_boxes = answerer.Requests();
        return reached;
    }

    // A scan that a failed check left running is asked to stop and waited for.
    void WaitForStepToSettle()
    {
        if (!m_pView->IsScanning())
            return;
        ScanThreadControl.done = 1;
        const ULONGLONG end = ::GetTickCount64() + 60000;
        while (m_pView->IsScanning() && ::GetTickCount64() < end)
            PumpMessages(50);
    }

    CMainFrame* m_pFrame = NULL;
    CSecondView_HDD* m_pView = NULL;
    CSecondDisplay* m_pPanel = NULL;
    MessageUi* m_savedMessages = nullptr;
    EngineMessageRecorder m_messages;
    std::vector<MessageBoxFields> m_boxes;
};

TEST_F(PartitionStepTest, QuickScanLocksTheStepAndEndsOnTheResults)
{
    for (int row : {kFat32Row, kNtfsRow}) {
        SCOPED_TRACE(row);
        EnterStep(TestDisk("mbr-ext05.vmdk"), kHomeQuickScanButton);
        ChooseRow(row);
        EXPECT_EQ(m_pPanel->GetValueText(0), row == kNtfsRow ? L"NTFS" : L"FAT32");
        EXPECT_EQ(m_pPanel->GetValueText(1), std::to_wstring(partitionTable[row].startSector).c_str());
        EXPECT_EQ(
            m_pPanel->GetValueText(2),
            std::to_wstring(partitionTable[row].startSector + partitionTable[row].sectorCount - 1).c_str());
        if (row == kNtfsRow) {
            EXPECT_TRUE(test_support::WriteClientScreenshot(m_pView->m_hWnd, L"app_partition_step_chosen"));
        }
        PressScan();
        ExpectLocked();
        EXPECT_EQ(WizardStepState.quick, 3u);
        EXPECT_EQ(WizardStepState.resultsReady, kResultsReady);
        PumpMessages(30);
        if (row == kFat32Row) {
            EXPECT_TRUE(test_support::WriteClientScreenshot(m_pView->m_hWnd, L"app_partition_step_scanning"));
        }
        ASSERT_TRUE(WaitForView(kViewResults, 60000));
        EXPECT_TRUE(m_boxes.empty());
        EXPECT_EQ(m_pPanel->GetCaptionText(1), L"File(s) Found\t\t:");
        // The counters moved: NTFS shows its progress through the MFT, FAT the entries it read.
        bool counted = false;
        for (int counter = 0; counter < CSecondDisplay::kRowCount; ++counter)
            counted = counted || !m_pPanel->GetValueText(counter).IsEmpty();
        EXPECT_TRUE(counted);
        if (row == kNtfsRow) {
            EXPECT_GT(m_pPanel->GetProgressPos(), 0);
        }
        EXPECT_TRUE(fatFiles.head != nullptr || fatFolders.head != nullptr || ntfsScanNodes.head != nullptr);
        EXPECT_EQ(m_pFrame->m_flags.results, 1);
        EXPECT_TRUE(m_messages.Texts().empty());

        // Drive Information shows the volume as fsstat sees it.
        const DriveInfoTexts info = CollectDriveInfo();
        const std::uint32_t start = partitionTable[row].startSector;
        EXPECT_EQ(info.startSector, std::to_wstring(start).c_str());
        if (row == kFat32Row) {
            const std::string report = "mbr-ext05.p2.fsstat.txt";
            EXPECT_EQ(info.fileSystem, L"FAT32");
            EXPECT_EQ(std::to_wstring(start), FsstatValue(report, "Sectors before file system"));
            EXPECT_EQ(info.sectorsPerCluster,
                      std::to_wstring(std::stoul(FsstatValue(report, "Cluster Size")) / 512).c_str());
            EXPECT_EQ(info.firstFat,
                      std::to_wstring(start + RangeStart(FsstatValue(report, "* FAT 0"))).c_str());
            EXPECT_EQ(info.secondFat,
                      std::to_wstring(start + RangeStart(FsstatValue(report, "* FAT 1"))).c_str());
            EXPECT_EQ(info.mftStart, L"N/A");
        } else {
            const std::string report = "mbr-ext05.p3.fsstat.txt";
            const std::uint32_t spc = std::stoul(FsstatValue(report, "Cluster Size")) / 512;
            EXPECT_EQ(info.fileSystem, L"NTFS");
            EXPECT_EQ(info.sectorsPerCluster, std::to_wstring(spc).c_str());
            EXPECT_EQ(info.firstFat, L"N/A");
            EXPECT_EQ(info.secondFat, L"N/A");
            // Files counts every file the walk found, not only those of FAT walks.
            std::uint32_t found = 0;
            for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
                ++found;
            EXPECT_GT(found, 0u);
            EXPECT_EQ(info.files, std::to_wstring(found).c_str());
            EXPECT_EQ(info.mftStart,
                      std::to_wstring(start + spc * std::stoul(FsstatValue(report, "First Cluster of MFT")))
                          .c_str());
            CDriveInfoDlg dialog(m_pFrame);
            ASSERT_TRUE(dialog.Create(IDD_DRIVE_INFO, m_pFrame));
            dialog.ShowWindow(SW_SHOW);
            PumpMessages(30);
            CString files;
            dialog.GetDlgItemText(IDC_DRIVE_INFO_FILES, files);
            EXPECT_EQ(files, info.files);
            // The captions pad their names with blanks for one face: their colons, the last ink of each,
            // still end at one x.
            std::vector<int> colonEnds;
            for (UINT id : {IDC_DRIVE_INFO_FS_LABEL, IDC_DRIVE_INFO_START_LABEL, IDC_DRIVE_INFO_DIRS_LABEL,
                            IDC_DRIVE_INFO_FILES_LABEL, IDC_DRIVE_INFO_SPC_LABEL, IDC_DRIVE_INFO_FAT1_LABEL,
                            IDC_DRIVE_INFO_FAT2_LABEL, IDC_DRIVE_INFO_MFT_LABEL}) {
                HWND label = ::GetDlgItem(dialog.m_hWnd, id);
                RECT area = {};
                ::GetClientRect(label, &area);
                HDC dc = ::GetDC(label);
                const std::vector<std::uint32_t> pixels = test_support::CaptureDc(dc, area);
                ::ReleaseDC(label, dc);
                int last = -1;
                for (size_t i = 0; i < pixels.size(); ++i)
                    if ((pixels[i] & 0xFF) < 0x80 && ((pixels[i] >> 8) & 0xFF) < 0x80)
                        last = std::max(last, static_cast<int>(i % static_cast<size_t>(area.right)));
                colonEnds.push_back(last);
            }
            EXPECT_GT(colonEnds.front(), 0);
            EXPECT_EQ(std::count(colonEnds.begin(), colonEnds.end(), colonEnds.front()), 8)
                << "the colons end at " << ::testing::PrintToString(colonEnds);
            EXPECT_TRUE(test_support::WriteFramedWindowScreenshot(dialog.m_hWnd, L"app_drive_information"));
            dialog.DestroyWindow();
        }
        theApp.SwitchView(kViewPartition);
        m_pView->OnHome();
    }
}

// The whole way: the drive step's search lists the partitions, a click in the tree chooses one, and Scan
// ends on the results.
TEST_F(PartitionStepTest, PartitionChosenInTheSearchedTreeIsScanned)
{
    theApp.SwitchView(kViewHome);
    auto* home = DYNAMIC_DOWNCAST(CEx_StyleView, theApp.GetView(kViewHome));
    home->m_pathBox.SetWindowText(TestDisk("mbr-ext05.vmdk").c_str());
    {
        BoxAnswerer answerer(IDOK);
        home->SendMessage(WM_COMMAND, MAKEWPARAM(kHomeQuickScanButton, BN_CLICKED), 0);
        PumpMessages(20);
    }
    auto* drive = DYNAMIC_DOWNCAST(CFirstView_HDD, theApp.GetView(kViewDrive));
    ASSERT_NE(drive, nullptr);
    vhdxProgressPauseMs = 0;
    {
        // The Partition Type dialog is answered with OK: the table's rows.
        BoxAnswerer answerer(IDOK);
        drive->SendMessage(WM_COMMAND, MAKEWPARAM(kDriveStepNext, BN_CLICKED), 0);
        const ULONGLONG end = ::GetTickCount64() + 30000;
        while (theApp.m_nCurrentView != kViewPartition && ::GetTickCount64() < end)
            PumpMessages(50);
    }
    ASSERT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewPartition));
    CSourceTreeCtrl& tree = m_pView->GetPartitionTree();
    HTREEITEM item = tree.GetChildItem(tree.GetRootItem());
    for (int row = 0; row < kNtfsRow && item != NULL; ++row)
        item = tree.GetNextSiblingItem(item);
    ASSERT_NE(item, nullptr);
    tree.SelectItemAndNotify(item);
    PumpMessages(20);
    EXPECT_EQ(SelectedSourceIndex(), kNtfsRow);
    EXPECT_EQ(m_pPanel->GetValueText(0), L"NTFS");
    EXPECT_EQ(VolumeParams.rangeStart, partitionTable[kNtfsRow].startSector);
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_pView->m_hWnd, L"app_partition_step_searched"));
    PressScan();
    ExpectLocked();
    ASSERT_TRUE(WaitForView(kViewResults, 60000));
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_NE(ntfsScanNodes.head, nullptr);
}

// A row whose sectors hold only zeros has no parameters: the user is told, and the step is given back.
TEST_F(PartitionStepTest, QuickScanOfZerosKeepsTheStepUsable)
{
    EnterStep(TestDisk("mbr-ext05.vmdk"), kHomeQuickScanButton);
    partitionTable[kFat32Row].startSector = 1;
    partitionTable[kFat32Row].sectorCount = 2040;
    ChooseRow(kFat32Row);
    PressScan();
    const ULONGLONG end = ::GetTickCount64() + 30000;
    while (m_pView->IsScanning() && ::GetTickCount64() < end)
        PumpMessages(50);
    PumpMessages(50);
    EXPECT_EQ(m_messages.Texts(),
              std::vector<std::u16string>{
                  u"Corvane VMDK Recovery was unable to find correct partition parameters."});
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewPartition));
    ExpectUsable();
    EXPECT_FALSE(m_pPanel->IsProgressVisible());
    EXPECT_FALSE(m_pPanel->IsStatusVisible());
    EXPECT_FALSE(m_pPanel->IsDetailButtonVisible());
    EXPECT_TRUE(test_support::WriteClientScreenshot(m_pView->m_hWnd, L"app_partition_step_no_parameters"));
}

TEST_F(PartitionStepTest, SectorFieldsAreCheckedBeforeAnExtensiveScan)
{
    EnterStep(TestDisk("mbr-ext05.vmdk"), kHomeExtensiveScanButton);
    ChooseRow(kFat32Row);
    const std::wstring start = L"Start sector value is not valid, It should be a positive number";
    const std::wstring end = L"End sector value is not valid, It should be a positive number";
    const std::wstring bigger = L"End sector should be bigger than start sector";
    const struct
    {
        const wchar_t* start;
        const wchar_t* end;
        std::wstring message;
    } cases[] = {
        {L"abc", L"200", start},      {L"-5", L"200", start},   {L"4294967296", L"200", start},
        {L"", L"200", start},         {L"100", L"abc", end},    {L"100", L"-5", end},
        {L"100", L"4294967296", end}, {L"100", L"100", bigger}, {L"100", L"99", bigger},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "start '" << c.start << "' end '" << c.end << "'");
        m_pPanel->SetSectorTexts(c.start, c.end);
        std::vector<MessageBoxFields> shown;
        {
            BoxAnswerer answerer(IDOK);
            PressScan();
            PumpMessages(20);
            shown = answerer.Requests();
        }
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(std::wstring(shown[0].text), c.message);
        EXPECT_EQ(shown[0].kind, 2u);
        EXPECT_FALSE(m_pView->IsScanning());
        ExpectUsable();
    }

    // The end field is the last sector: 100 through 299 is 200 sectors. They hold zeros, so the scan
    // ends on the file-system step saying that it found none.
    m_pPanel->SetSectorTexts(L"100", L"299");
    PressScan();
    EXPECT_EQ(VolumeParams.rangeStart, 100u);
    EXPECT_EQ(VolumeParams.rangeEnd, 299u);
    EXPECT_EQ(VolumeParams.rangeCount, 200u);
    EXPECT_EQ(VolumeParams.scanFsCode, kFsFat32);
    ExpectLocked();
    EXPECT_EQ(m_pPanel->GetCaptionText(0), L"Boot Sector(s) Found\t\t:");
    EXPECT_TRUE(WaitForView(kViewFileSystem, 60000));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(std::wstring(m_boxes[0].text),
              L"Corvane VMDK Recovery was unable to identify a file system in the selected sector range.\r\n"
              L"Please make sure that you made appropriate selections on the previous step.\r\n"
              L"Please go back to the previous step and select VMDK for full scan.");
}

// A VHDX range without an end runs to the disk's last sector, whatever the end field says.
TEST_F(PartitionStepTest, ExtensiveScanOfAVhdxWithoutEndTakesTheDiskSize)
{
    EnterStep(TestDisk("mbr-ext05.vhdx"), kHomeExtensiveScanButton);
    ChooseRow(kNtfsRow);
    VolumeParams.rangeEnd = 0;
    m_pPanel->SetSectorTexts(L"0", L"not read");
    ASSERT_NE(SourceState.imageSource, nullptr);
    const std::uint64_t sectors = SourceState.imageSource->GetDiskSize() / 512;
    PressScan();
    EXPECT_EQ(VolumeParams.rangeStart, 0u);
    EXPECT_EQ(VolumeParams.rangeEnd, sectors - 1);
    EXPECT_EQ(VolumeParams.rangeCount, sectors);
    ExpectLocked();
    EXPECT_TRUE(WaitForView(kViewFileSystem, 120000));
}

// Extensive Scan of the NTFS partition: the progress toggle, and the step after it.
TEST_F(PartitionStepTest, ExtensiveScanOfNtfsTogglesItsDetailsAndEndsOnTheFileSystemStep)
{
    EnterStep(TestDisk("mbr-ext05.vmdk"), kHomeExtensiveScanButton);
    ChooseRow(kNtfsRow);
    EXPECT_EQ(m_pPanel->GetFileSystemSelection(), 0);
    // Hidden counters stand still: the toggle is pressed before the first read.
    PressScan();
    ExpectLocked();
    EXPECT_EQ(m_pPanel->GetCaptionText(1), L"Index Entries Found\t   :");
    EXPECT_EQ(m_pPanel->GetDetailButtonText(), L"Hide Progress");
    m_pView->GetPanel()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PANEL_TOGGLE, BN_CLICKED), 0);
    EXPECT_EQ(m_pPanel->GetDetailButtonText(), L"Show Progress");
    EXPECT_EQ(ScanDetailsShown.load(), 0u);
    // A counter the worker sent before the flag changed is still let through.
    PumpMessages(50);
    std::vector<CString> hidden;
    for (int row = 0; row < CSecondDisplay::kRowCount; ++row)
        hidden.push_back(m_pPanel->GetValueText(row));
    PumpMessages(600);
    for (int row = 0; row < CSecondDisplay::kRowCount; ++row)
        EXPECT_EQ(m_pPanel->GetValueText(row), hidden[row]);
    m_pView->GetPanel()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PANEL_TOGGLE, BN_CLICKED), 0);
    EXPECT_EQ(m_pPanel->GetDetailButtonText(), L"Hide Progress");
    EXPECT_EQ(ScanDetailsShown.load(), 1u);
    ASSERT_TRUE(WaitForView(kViewFileSystem, 120000));
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(VolumeParams.rangeCount, partitionTable[kNtfsRow].sectorCount);
    EXPECT_NE(foundVolumes.head, nullptr);
    EXPECT_EQ(WizardStepState.extensive, 3u);
}

// Stop asks while the worker runs on; Yes is the stop request, and the step then moves on with what was
// found. The whole 4.5 GiB disk is scanned, so that the scan is still running when Stop is pressed: the
// worker never waits for this thread, so a small disk may be done before the step is looked at.
TEST_F(PartitionStepTest, StopAsksAndYesEndsTheScan)
{
    EnterStep(TestDisk("big-4g.vmdk"), kHomeExtensiveScanButton);
    ChooseRow(1);
    m_pPanel->SetSectorTexts(L"0", L"9437903");
    PressScan();
    ASSERT_EQ(ScanThreadControl.running.load(), 1u);
    std::vector<MessageBoxFields> shown;
    {
        BoxAnswerer answerer(IDYES);
        m_pView->SendMessage(WM_COMMAND, MAKEWPARAM(kStepStopCommand, BN_CLICKED), 0);
        shown = answerer.Requests();
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(
        std::wstring(shown[0].text),
        L"Do you want to stop file searching? This may result in incomplete \r\nrecovery and you will need "
        L"to restart the process again.");
    EXPECT_EQ(shown[0].kind, 3u);
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_FALSE(Shown(PartitionStepButton::Stop));
    EXPECT_TRUE(m_pPanel->IsStatusVisible());
    EXPECT_TRUE(WaitForView(kViewFileSystem, 60000));
}

TEST_F(PartitionStepTest, FileTraceRunsTheFileTypesAndEndsOnTheResults)
{
    EnterStep(std::wstring(TRACE_FAT_DISK), kHomeFileTraceButton);
    ChooseRow(0);
    std::vector<MessageBoxFields> shown;
    {
        // The File Types dialog is answered with OK: every type of the shipped Raw.dat.
        BoxAnswerer answerer(IDOK);
        PressScan();
        PumpMessages(50);
        shown = answerer.Requests();
    }
    EXPECT_TRUE(m_pView->IsScanning());
    EXPECT_EQ(WizardStepState.fileTrace, 3u);
    ASSERT_TRUE(WaitForView(kViewResults, 60000));
    std::vector<std::u16string> names;
    for (const TraceFoundRec* item = traceFoundList.head; item; item = item->next)
        names.emplace_back(item->name);
    EXPECT_EQ(names.size(), 3u);
    std::sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
        return a.substr(a.find(u'.')) < b.substr(b.find(u'.'));
    });
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0].substr(names[0].find(u'.')), u".jpg");
    EXPECT_EQ(names[1].substr(names[1].find(u'.')), u".pdf");
    EXPECT_EQ(names[2].substr(names[2].find(u'.')), u".png");
    EXPECT_TRUE(m_messages.Texts().empty());
    const DriveInfoTexts info = CollectDriveInfo();
    EXPECT_EQ(info.directories, L"0");
    EXPECT_EQ(info.files, L"3");
}

TEST_F(PartitionStepTest, FileTraceWithoutPartitionsSendsTheUserHome)
{
    EnterStep(TestDisk("mbr-ext05.vmdk"), kHomeFileTraceButton);
    partitionCount = 0;
    std::vector<MessageBoxFields> shown;
    {
        BoxAnswerer answerer(IDOK);
        PressScan();
        PumpMessages(20);
        shown = answerer.Requests();
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(
        std::wstring(shown[0].text),
        L"Please use the Extensive Scan, as the selected file is damaged and unable to perform File Trace.");
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
    EXPECT_FALSE(m_pView->IsScanning());
}

TEST_F(PartitionStepTest, HomeEndsOnTheHomeViewWithEveryStepStateCleared)
{
    EnterStep(TestDisk("mbr-ext05.vmdk"), kHomeQuickScanButton);
    ChooseRow(kNtfsRow);
    m_pView->SendMessage(WM_COMMAND, MAKEWPARAM(kStepHomeCommand, BN_CLICKED), 0);
    PumpMessages(20);
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
    EXPECT_EQ(WizardStepState.quick, 0u);
    EXPECT_EQ(WizardStepState.extensive, 0u);
    EXPECT_EQ(WizardStepState.fileTrace, 0u);
    EXPECT_EQ(WizardStepState.resultsReady, 0u);
    EXPECT_EQ(partitionCount, 0u);
    EXPECT_EQ(m_pView->GetPartitionTree().GetCount(), 0u);
    EXPECT_EQ(m_pFrame->m_flags.open, 1);
}

} // namespace

namespace {

// The file-system step after an Extensive Scan of a whole partition: the volumes found, one chosen, and
// Next parsing it on to the results.
class FileSystemStepTest : public PartitionStepTest
{
protected:
    CFileSystemView* FileSystemStep()
    {
        return DYNAMIC_DOWNCAST(CFileSystemView, theApp.GetView(kViewFileSystem));
    }

    std::vector<std::wstring> VolumeLabels()
    {
        CPartitionTreeCtrl& tree = FileSystemStep()->GetTree();
        std::vector<std::wstring> labels;
        const HTREEITEM root = tree.CTreeCtrl::GetRootItem();
        if (root == NULL)
            return labels;
        for (HTREEITEM item = tree.GetChildItem(root); item != NULL; item = tree.GetNextSiblingItem(item))
            labels.emplace_back(static_cast<LPCWSTR>(tree.GetItemText(item)));
        return labels;
    }

    // The labels that the engine probe printed for the Extensive Scan of row `row` (from 0).
    std::vector<std::wstring> ProbeLabels(int row)
    {
        std::ifstream in(std::filesystem::path(APP_FIXTURES_DIR) /
                         ("extensive-p" + std::to_string(row + 1) + ".tsv"));
        std::vector<std::wstring> labels;
        std::string line;
        while (std::getline(in, line)) {
            std::vector<std::string> fields;
            std::size_t begin = 0;
            for (std::size_t tab; (tab = line.find('\t', begin)) != std::string::npos; begin = tab + 1)
                fields.push_back(line.substr(begin, tab - begin));
            fields.push_back(line.substr(begin));
            if (fields.size() >= 3)
                labels.push_back(Wide(fields[2]));
        }
        return labels;
    }

    void ScanWholeRow(int row)
    {
        EnterStep(TestDisk("mbr-ext05.vmdk"), kHomeExtensiveScanButton);
        ChooseRow(row);
        m_pPanel->SetSectorTexts(
            std::to_wstring(partitionTable[row].startSector).c_str(),
            std::to_wstring(partitionTable[row].startSector + partitionTable[row].sectorCount - 1).c_str());
        PressScan();
        ASSERT_TRUE(WaitForView(kViewFileSystem, 120000));
        ASSERT_TRUE(m_boxes.empty());
    }
};

TEST_F(FileSystemStepTest, NtfsVolumeIsListedChosenAndParsed)
{
    ScanWholeRow(kNtfsRow);
    CFileSystemView* step = FileSystemStep();
    ASSERT_NE(step, nullptr);
    CPartitionTreeCtrl& tree = step->GetTree();
    EXPECT_EQ(tree.GetItemText(tree.CTreeCtrl::GetRootItem()), L"File System");
    const std::vector<std::wstring> labels = VolumeLabels();
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels[0].rfind(L"NTFS @", 0), 0u);
    EXPECT_EQ(labels, ProbeLabels(kNtfsRow));

    // Next before a choice refuses.
    SelectedSourceIndex() = -1;
    std::vector<MessageBoxFields> shown;
    {
        BoxAnswerer answerer(IDOK);
        step->SendMessage(WM_COMMAND, MAKEWPARAM(159, BN_CLICKED), 0);
        PumpMessages(20);
        shown = answerer.Requests();
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(
        std::wstring(shown[0].text),
        L"Please select a File System from the left panel and then click [Next] to continue with recovery.");

    // The root changes no value; the volume shows fsstat's MFT (cluster 4 of 8 sectors) and cluster size.
    tree.OnSelectFileSystem(tree.CTreeCtrl::GetRootItem());
    EXPECT_TRUE(step->GetPanel()->GetValueText(0).IsEmpty());
    tree.OnSelectFileSystem(tree.GetChildItem(tree.CTreeCtrl::GetRootItem()));
    EXPECT_EQ(step->GetPanel()->GetValueText(1), L"8");
    const std::string report = "mbr-ext05.p3.fsstat.txt";
    const std::uint32_t start = partitionTable[kNtfsRow].startSector;
    EXPECT_EQ(step->GetPanel()->GetValueText(0), std::to_wstring(start).c_str());
    EXPECT_EQ(step->GetPanel()->GetValueText(2),
              std::to_wstring(start + 8 * std::stoul(FsstatValue(report, "First Cluster of MFT"))).c_str());
    EXPECT_EQ(
        step->GetPanel()->GetValueText(3),
        std::to_wstring(start + 8 * std::stoul(FsstatValue(report, "First Cluster of MFT Mirror"))).c_str());
    EXPECT_EQ(VolumeParams.fsCode, kFsNtfs);
    EXPECT_TRUE(test_support::WriteClientScreenshot(step->m_hWnd, L"app_file_system_step"));

    step->SendMessage(WM_COMMAND, MAKEWPARAM(159, BN_CLICKED), 0);
    EXPECT_TRUE(step->IsScanning());
    EXPECT_EQ(WizardStepState.extensive, 4u);
    const ULONGLONG end = ::GetTickCount64() + 60000;
    while (theApp.m_nCurrentView != kViewResults && ::GetTickCount64() < end)
        PumpMessages(50);
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewResults));
    EXPECT_EQ(m_pFrame->m_flags.extensiveResults, 1);
    for (UINT command : {static_cast<UINT>(ID_RECOVER_SELECTED), static_cast<UINT>(ID_SAVE_SNAPSHOT)})
        EXPECT_EQ(FrameCommandState(command, kScanExtensive, m_pFrame->m_flags), CommandState::Enabled)
            << command;
}

TEST_F(FileSystemStepTest, BackReturnsToThePartitionStepAndHomeToTheHomeView)
{
    ScanWholeRow(kFat32Row);
    CFileSystemView* step = FileSystemStep();
    ASSERT_FALSE(VolumeLabels().empty());
    EXPECT_EQ(VolumeLabels()[0].rfind(L"FAT32 @", 0), 0u);
    EXPECT_EQ(VolumeLabels(), ProbeLabels(kFat32Row));
    step->SendMessage(WM_COMMAND, MAKEWPARAM(160, BN_CLICKED), 0);
    PumpMessages(20);
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewPartition));
    EXPECT_EQ(WizardStepState.extensive, 3u);
    ExpectUsable();
    EXPECT_EQ(step->GetTree().GetCount(), 0u);

    theApp.SwitchView(kViewFileSystem);
    step->SendMessage(WM_COMMAND, MAKEWPARAM(61481, BN_CLICKED), 0);
    PumpMessages(20);
    EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
    EXPECT_EQ(WizardStepState.extensive, 0u);
}

} // namespace
