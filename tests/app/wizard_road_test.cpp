// The wizard's round trips on the real frame and the test disks: every Back and Home from the results, a
// second partition after Back, another image after Home, Stop at each scan's worker, a partition that was
// never formatted, a volume that holds nothing, commands that come under a notice, Exit while a scan runs,
// Enter in the partition tree and Tab in the result list. Each stop on the way checks what
// the user can do there: the shown step, its visible and enabled buttons, its tree's contents and whether
// the tree takes clicks.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "box_answerer.h"
#include "drive_step_view.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_read_hook.h"
#include "engine_message_recorder.h"
#include "file_system_step_view.h"
#include "home_view.h"
#include "main_frame.h"
#include "message_dialogs.h"
#include "modal_script.h"
#include "partition_panel.h"
#include "partition_step_ids.h"
#include "partition_step_view.h"
#include "result_list_ctrl.h"
#include "results_view.h"
#include "scan_worker_control.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "wizard_state.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT kForward = 159; // Next, Scan, Save
constexpr UINT kBack = 160;
constexpr UINT kStop = 132;
constexpr UINT kHome = 61481;
using Buttons = std::vector<UINT>;
const Buttons kChoosing = {kForward, kBack, kHome};
const Buttons kStopOnly = {kStop};

constexpr DWORD kScanLimitMs = 90000;

std::wstring TestDisk(const std::string& name)
{
    const std::string path = test_support::JoinPath(test_support::TestDisksDir(), name);
    return std::wstring(path.begin(), path.end());
}

std::wstring Fixture(const wchar_t* name)
{
    return (std::filesystem::path(APP_FIXTURES_DIR) / name).wstring();
}

// Every item of a tree, depth first, with its depth.
std::vector<std::wstring> TreeTexts(CTreeCtrl& tree)
{
    std::vector<std::wstring> texts;
    std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM parent, int depth) {
        for (HTREEITEM item = parent == NULL ? tree.GetRootItem() : tree.GetChildItem(parent); item != NULL;
             item = tree.GetNextSiblingItem(item)) {
            texts.push_back(std::wstring(static_cast<size_t>(depth), L' ') +
                            static_cast<LPCWSTR>(tree.GetItemText(item)));
            walk(item, depth + 1);
        }
    };
    walk(NULL, 0);
    return texts;
}

HTREEITEM FindItem(CTreeCtrl& tree, const std::wstring& text, HTREEITEM parent = NULL)
{
    for (HTREEITEM item = parent == NULL ? tree.GetRootItem() : tree.GetChildItem(parent); item != NULL;
         item = tree.GetNextSiblingItem(item)) {
        if (tree.GetItemText(item) == text.c_str())
            return item;
        if (HTREEITEM below = FindItem(tree, text, item))
            return below;
    }
    return NULL;
}

// A click on the item's label, as the user makes it.
bool ClickLabel(CTreeCtrl& tree, HTREEITEM item)
{
    tree.EnsureVisible(item);
    CRect label;
    if (item == NULL || !tree.GetItemRect(item, &label, TRUE))
        return false;
    const CPoint at = label.CenterPoint();
    tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    PumpMessages(20);
    return true;
}

// Holds the scan worker inside its read of one sector (the chosen partition's boot sector) until the stop
// request is set, so that Stop always finds it there; the user-interface thread's reads pass.
class ReadHolder
{
public:
    explicit ReadHolder(std::uint64_t sector)
    {
        s_sector = sector;
        s_uiThread = ::GetCurrentThreadId();
        s_held = false;
        SectorReadHook = Hold;
    }
    ~ReadHolder() { SectorReadHook = nullptr; }
    ReadHolder(const ReadHolder&) = delete;
    ReadHolder& operator=(const ReadHolder&) = delete;
    static bool Held() { return s_held; }

private:
    static void Hold(std::uint64_t sector, std::uint32_t)
    {
        if (sector != s_sector || ::GetCurrentThreadId() == s_uiThread)
            return;
        s_held = true;
        const ULONGLONG limit = ::GetTickCount64() + kScanLimitMs;
        while (ScanThreadControl.done == 0 && ::GetTickCount64() < limit)
            ::Sleep(10);
    }
    static inline std::atomic<std::uint64_t> s_sector{0};
    static inline std::atomic<DWORD> s_uiThread{0};
    static inline std::atomic<bool> s_held{false};
};

// A driver that is quicker than the "nothing found" notice: the notice shows only when its loop first
// finds the queue empty, so a Home clicked on the results as the notice is made runs first, inside that
// loop. Once the wizard is home the driver opens the next image in Quick Scan, and only then answers the
// notice. The snapshot question of that Home is answered No.
class QuickerThanTheNotice
{
public:
    QuickerThanTheNotice(CThirdView_HDD* pResults, CEx_StyleView* pHome, std::wstring nextImage)
    {
        s_pResults = pResults;
        s_pHome = pHome;
        s_nextImage = std::move(nextImage);
        s_notice = NULL;
        s_opened = false;
        m_hook = ::SetWindowsHookExW(WH_CBT, OnCbt, NULL, ::GetCurrentThreadId());
        m_timer = ::SetTimer(NULL, 0, 50, OnTick);
    }
    ~QuickerThanTheNotice()
    {
        ::KillTimer(NULL, m_timer);
        ::UnhookWindowsHookEx(m_hook);
    }
    QuickerThanTheNotice(const QuickerThanTheNotice&) = delete;
    QuickerThanTheNotice& operator=(const QuickerThanTheNotice&) = delete;
    static bool Opened() { return s_opened; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        wchar_t name[16] = {};
        if (code == HCBT_CREATEWND && s_notice == NULL &&
            (reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->style & WS_CHILD) == 0 &&
            ::GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16) > 0 &&
            std::wstring(name) == L"#32770" && MessageBoxRequest.Copy().text == kNothingFoundText) {
            s_notice = reinterpret_cast<HWND>(wParam);
            s_pResults->PostMessage(WM_COMMAND, MAKEWPARAM(kHome, BN_CLICKED), 0);
        }
        return ::CallNextHookEx(NULL, code, wParam, lParam);
    }
    static BOOL CALLBACK Answer(HWND window, LPARAM)
    {
        if (!::IsWindowVisible(window))
            return TRUE;
        if (HWND no = ::GetDlgItem(window, IDNO)) {
            ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(no));
        } else if (window == s_notice) {
            if (!s_opened && theApp.m_nCurrentView == kViewHome) {
                s_pHome->m_pathBox.SetWindowText(s_nextImage.c_str());
                s_pHome->SendMessage(WM_COMMAND, MAKEWPARAM(kHomeQuickScanButton, BN_CLICKED), 0);
                s_opened = true;
            }
            if (s_opened)
                ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return TRUE;
    }
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD)
    {
        ::EnumThreadWindows(::GetCurrentThreadId(), Answer, 0);
    }
    static inline CThirdView_HDD* s_pResults = NULL;
    static inline CEx_StyleView* s_pHome = NULL;
    static inline std::wstring s_nextImage;
    static inline HWND s_notice = NULL;
    static inline bool s_opened = false;
    HHOOK m_hook = NULL;
    UINT_PTR m_timer = 0;
};

class WizardRoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = StartedFrame();
        ASSERT_NE(m_pFrame, nullptr);
        ASSERT_TRUE(test_support::TestDisksAvailable());
        m_pHome = DYNAMIC_DOWNCAST(CEx_StyleView, theApp.GetView(kViewHome));
        m_pDrive = DYNAMIC_DOWNCAST(CFirstView_HDD, theApp.GetView(kViewDrive));
        m_pPartition = DYNAMIC_DOWNCAST(CSecondView_HDD, theApp.GetView(kViewPartition));
        m_pFileSystem = DYNAMIC_DOWNCAST(CFileSystemView, theApp.GetView(kViewFileSystem));
        m_pResults = DYNAMIC_DOWNCAST(CThirdView_HDD, theApp.GetView(kViewResults));
        ASSERT_TRUE(m_pHome && m_pDrive && m_pPartition && m_pFileSystem && m_pResults);
        m_savedMessages = engineUi.messages;
        engineUi.messages = &m_messages;
        ::SetCursorPos(0, 0);
    }
    void TearDown() override
    {
        if (CScanWorkerControl::IsSearching())
            ScanThreadControl.done = 1;
        WaitFor([] { return CScanWorkerControl::HasEnded(); }, kScanLimitMs);
        PumpMessages(50);
        // Home as the user leaves the shown step; the results view empties its own tree.
        if (theApp.m_nCurrentView != kViewHome) {
            BoxAnswerer answerer(IDNO);
            Press(kHome);
            PumpMessages(20);
        }
        engineUi.messages = m_savedMessages;
        m_pHome->m_pathBox.SetWindowText(L"");
        PumpMessages(20);
    }

    CView* Shown() { return theApp.GetView(theApp.m_nCurrentView); }

    // The ids of the shown view's step buttons that the user can press.
    Buttons LiveButtons()
    {
        Buttons live;
        for (UINT id : {kForward, kBack, kStop, kHome}) {
            CWnd* pButton = Shown()->GetDlgItem(static_cast<int>(id));
            if (pButton != NULL && pButton->IsWindowVisible() && pButton->IsWindowEnabled())
                live.push_back(id);
        }
        return live;
    }

    CTreeCtrl& PartitionTree() { return m_pPartition->GetPartitionTree(); }
    CTreeCtrl& VolumeTree() { return m_pFileSystem->GetTree(); }
    CTreeCtrl& ResultTree() { return m_pResults->RecoveryTree(); }

    // The step shown, its live buttons, and its tree enabled with these items (none given: not checked).
    void ExpectStep(UINT view, const Buttons& live, const std::vector<std::wstring>* pTree = nullptr)
    {
        EXPECT_EQ(theApp.m_nCurrentView, view);
        EXPECT_EQ(LiveButtons(), live);
        EXPECT_EQ(m_pFrame->m_nDriveStepCurrent, view == kViewDrive || view == kViewHome ? 1 : 0);
        EXPECT_EQ(m_pFrame->m_nPartitionStepCurrent, view == kViewPartition ? 1 : 0);
        CTreeCtrl* pTree2 = view == kViewDrive        ? &m_pDrive->m_sourceTree
                            : view == kViewPartition  ? &PartitionTree()
                            : view == kViewFileSystem ? &VolumeTree()
                            : view == kViewResults    ? &ResultTree()
                                                      : nullptr;
        if (pTree2 != nullptr) {
            EXPECT_TRUE(pTree2->IsWindowEnabled());
        }
        if (pTree2 != nullptr && pTree != nullptr) {
            EXPECT_EQ(TreeTexts(*pTree2), *pTree);
        }
        if (view == kViewPartition) {
            EXPECT_FALSE(m_pPartition->GetPanel()->IsProgressVisible());
            EXPECT_FALSE(m_pPartition->IsScanning());
        }
        // The result commands belong to the results view alone.
        if (view != kViewResults) {
            EXPECT_EQ(m_pFrame->m_flags.results, 0);
            EXPECT_EQ(m_pFrame->m_flags.extensiveResults, 0);
        }
    }

    // Home: every step emptied, Open enabled, every step number 0.
    void ExpectHome()
    {
        EXPECT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
        EXPECT_EQ(PartitionTree().GetCount(), 0u);
        EXPECT_EQ(VolumeTree().GetCount(), 0u);
        EXPECT_EQ(ResultTree().GetCount(), 0u);
        EXPECT_EQ(m_pFrame->m_flags.open, 1);
        EXPECT_EQ(m_pFrame->m_flags.results, 0);
        EXPECT_EQ(m_pFrame->m_flags.extensiveResults, 0);
        EXPECT_EQ(WizardStepState.quick + WizardStepState.extensive + WizardStepState.fileTrace +
                      WizardStepState.resultsReady,
                  0u);
        EXPECT_EQ(m_pFrame->m_nDriveStepCurrent, 1);
        EXPECT_EQ(m_pFrame->m_nPartitionStepCurrent, 0);
    }

    void Shot(const std::wstring& name)
    {
        // The shown step as its own window paints it; the test's frame is not on the screen.
        Shown()->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
        PumpMessages(20);
        EXPECT_TRUE(test_support::WriteClientScreenshot(Shown()->m_hWnd, L"app_road_trip_" + name));
    }

    // The image opened in a mode from the home view: the drive step.
    void Open(const std::wstring& path, UINT modeCommand)
    {
        ASSERT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewHome));
        m_pHome->m_pathBox.SetWindowText(path.c_str());
        BoxAnswerer answerer(IDOK);
        m_pHome->SendMessage(WM_COMMAND, MAKEWPARAM(modeCommand, BN_CLICKED), 0);
        PumpMessages(20);
        ASSERT_TRUE(answerer.Requests().empty());
        ASSERT_EQ(theApp.m_nCurrentView, static_cast<UINT>(kViewDrive));
    }

    // Waits, answering boxes with `answer`, until the condition holds and no worker runs.
    bool Settle(const std::function<bool()>& reached, int answer = IDOK, DWORD limitMs = kScanLimitMs)
    {
        BoxAnswerer answerer(answer);
        const bool ok = WaitFor([&] { return CScanWorkerControl::HasEnded() && reached(); }, limitMs);
        PumpMessages(50);
        m_boxes = answerer.Requests();
        return ok;
    }
    bool SettleOn(UINT view)
    {
        return Settle([view] { return theApp.m_nCurrentView == view; });
    }

    // Next on the drive step, the Partition Type question answered OK: the partition step with its tree.
    void Search()
    {
        Press(kForward);
        ASSERT_TRUE(SettleOn(kViewPartition));
        ASSERT_GT(partitionCount, 0u);
    }

    void Press(UINT id) { Shown()->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    void ChoosePartition(int row)
    {
        ASSERT_TRUE(
            ClickLabel(PartitionTree(), FindItem(PartitionTree(), L"Partition " + std::to_wstring(row))));
        ASSERT_EQ(SelectedSourceIndex(), row);
        ASSERT_EQ(VolumeParams.rangeStart, partitionTable[row].startSector);
    }

    // Scan on the partition step (File Trace's types answered OK): the results, or the file-system step
    // after an Extensive Scan.
    void Scan()
    {
        {
            BoxAnswerer answerer(IDOK);
            Press(kForward);
        }
        ASSERT_TRUE(SettleOn(ScanSelection.scanKind == kScanExtensive ? kViewFileSystem : kViewResults));
    }

    // The first volume of the file-system step and Next: the results.
    void ParseVolume(int k)
    {
        HTREEITEM item = VolumeTree().GetChildItem(VolumeTree().GetRootItem());
        for (int i = 1; i < k && item != NULL; ++i)
            item = VolumeTree().GetNextSiblingItem(item);
        ASSERT_TRUE(ClickLabel(VolumeTree(), item));
        Press(kForward);
        ASSERT_TRUE(SettleOn(kViewResults));
    }

    void ExpectResults()
    {
        ExpectStep(kViewResults, kChoosing);
        EXPECT_GT(ResultTree().GetCount(), 0u);
        EXPECT_EQ(ScanSelection.scanKind == kScanExtensive ? m_pFrame->m_flags.extensiveResults
                                                           : m_pFrame->m_flags.results,
                  1);
    }

    // The partition panel after Back from the results: the partition rows without values, not the
    // scan's counters, and the progress toggle as a scan starts it.
    void ExpectPanelClearedForChoosing()
    {
        CSecondDisplay* pPanel = m_pPartition->GetPanel();
        const wchar_t* const captions[] = {L"Partition Type\t\t:", L"Partition Start\t\t:",
                                           L"Partition End\t\t:", L"Partition Size\t\t:"};
        for (int row = 0; row < 4; ++row) {
            EXPECT_EQ(std::wstring(pPanel->GetCaptionText(row)), captions[row]) << row;
            EXPECT_EQ(std::wstring(pPanel->GetValueText(row)), L"") << row;
        }
        EXPECT_EQ(std::wstring(pPanel->GetDetailButtonText()), L"Hide Progress");
        EXPECT_EQ(ScanDetailsShown.load(), 1u);
    }

    // Back or Home from the results, the snapshot question answered No.
    void Leave(UINT id, UINT expectedView)
    {
        {
            BoxAnswerer answerer(IDNO);
            Press(id);
            PumpMessages(20);
        }
        ASSERT_TRUE(SettleOn(expectedView));
    }

    CMainFrame* m_pFrame = NULL;
    CEx_StyleView* m_pHome = NULL;
    CFirstView_HDD* m_pDrive = NULL;
    CSecondView_HDD* m_pPartition = NULL;
    CFileSystemView* m_pFileSystem = NULL;
    CThirdView_HDD* m_pResults = NULL;
    MessageUi* m_savedMessages = nullptr;
    EngineMessageRecorder m_messages;
    std::vector<MessageBoxFields> m_boxes;
};

struct Trip
{
    const char* name;
    std::wstring image;
    UINT mode;
    int row;
    // After Back: the partition (Quick, File Trace) or the volume (Extensive) scanned next, -1 for Home
    // straight from the results.
    int next;
};

// Each mode's results left by Back and by Home; after Back another partition or volume is scanned and
// listed; after Home the next trip opens its image afresh (another image, or another mode).
TEST_F(WizardRoadTest, BackAndHomeFromTheResultsLeaveEachStepUsable)
{
    const std::wstring ext05 = TestDisk("mbr-ext05.vmdk");
    const Trip trips[] = {
        {"quick-back", ext05, kHomeQuickScanButton, 1, 0},
        {"quick-home", TestDisk("mbr-ext05.vhdx"), kHomeQuickScanButton, 2, -1},
        {"extensive-back", ext05, kHomeExtensiveScanButton, 1, 1},
        {"extensive-home", TestDisk("mbr-ext05.vhd"), kHomeExtensiveScanButton, 0, -1},
        {"trace-back", Fixture(L"trace.vhd"), kHomeFileTraceButton, 0, 0},
        {"trace-home", Fixture(L"trace.vhd"), kHomeFileTraceButton, 0, -1},
    };
    for (const Trip& trip : trips) {
        SCOPED_TRACE(trip.name);
        const std::wstring name(trip.name, trip.name + strlen(trip.name));
        Open(trip.image, trip.mode);
        Search();
        const std::vector<std::wstring> partitions = TreeTexts(PartitionTree());
        ExpectStep(kViewPartition, kChoosing, &partitions);
        ChoosePartition(trip.row);
        // The progress hidden by the user: the scan ends with the toggle offering "Show Progress".
        const bool partitionBack = trip.mode != kHomeExtensiveScanButton && trip.next >= 0;
        if (partitionBack)
            m_pPartition->GetPanel()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PANEL_TOGGLE, BN_CLICKED), 0);
        Scan();
        if (trip.mode == kHomeExtensiveScanButton) {
            ExpectStep(kViewFileSystem, kChoosing);
            ParseVolume(1);
        }
        ExpectResults();
        if (trip.next < 0) {
            Leave(kHome, kViewHome);
            Shot(name + L"_home");
            ExpectHome();
            continue;
        }
        Leave(kBack, trip.mode == kHomeExtensiveScanButton ? kViewFileSystem : kViewPartition);
        Shot(name);
        if (partitionBack)
            ExpectPanelClearedForChoosing();
        if (trip.mode == kHomeExtensiveScanButton) {
            const std::vector<std::wstring> volumes = TreeTexts(VolumeTree());
            EXPECT_GT(volumes.size(), 1u);
            ExpectStep(kViewFileSystem, kChoosing);
            ParseVolume(trip.next);
        } else {
            ExpectStep(kViewPartition, kChoosing, &partitions);
            // The click reaches the step: the other partition is chosen and scanned.
            ChoosePartition(trip.next);
            Scan();
            EXPECT_EQ(VolumeParams.rangeStart, partitionTable[trip.next].startSector);
        }
        ExpectResults();
        Leave(kHome, kViewHome);
        Shot(name + L"_home");
        ExpectHome();
    }
}

// Enter in the partition tree scans the chosen partition; Tab in the result list hands the focus to the
// folders' tree.
TEST_F(WizardRoadTest, EnterInThePartitionTreeScansAndTabInTheListReachesTheTree)
{
    Open(TestDisk("mbr-ext05.vmdk"), kHomeQuickScanButton);
    Search();
    ChoosePartition(0);
    PartitionTree().SetFocus();
    PartitionTree().PostMessage(WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(SettleOn(kViewResults));
    ExpectResults();
    EXPECT_EQ(VolumeParams.rangeStart, partitionTable[0].startSector);

    CResultListCtrl* pList = m_pResults->FindResultList();
    ASSERT_NE(pList, nullptr);
    pList->SetFocus();
    ASSERT_EQ(::GetFocus(), pList->m_hWnd);
    pList->PostMessage(WM_KEYDOWN, VK_TAB, 0);
    PumpMessages(50);
    EXPECT_EQ(::GetFocus(), ResultTree().m_hWnd);
}

// A partition that was never formatted has no parameters: the user is told, and the partition step,
// the drive step's Back and Next, and Home all work afterwards.
TEST_F(WizardRoadTest, ANeverFormattedPartitionGivesTheStepBackAndTheRoadGoesOn)
{
    for (UINT mode : {kHomeQuickScanButton, kHomeFileTraceButton}) {
        SCOPED_TRACE(mode);
        Open(Fixture(L"blank.vmdk"), mode);
        Search();
        const std::vector<std::wstring> partitions = TreeTexts(PartitionTree());
        ChoosePartition(0);
        {
            BoxAnswerer answerer(IDOK);
            Press(kForward);
        }
        ASSERT_TRUE(Settle([this] { return !m_pPartition->IsScanning(); }));
        EXPECT_EQ(m_messages.Take(),
                  std::vector<std::u16string>{
                      u"Corvane VMDK Recovery was unable to find correct partition parameters."});
        ExpectStep(kViewPartition, kChoosing, &partitions);
        Shot(mode == kHomeQuickScanButton ? L"blank_quick" : L"blank_trace");

        Press(kBack);
        PumpMessages(20);
        ExpectStep(kViewDrive, kChoosing);
        Shot(mode == kHomeQuickScanButton ? L"blank_quick_back" : L"blank_trace_back");
        // The drive is chosen again, as on the first arrival.
        ASSERT_TRUE(
            ClickLabel(m_pDrive->m_sourceTree, FindItem(m_pDrive->m_sourceTree, L"Virtual Machine Disk ")));
        Search();
        ExpectStep(kViewPartition, kChoosing, &partitions);
        Press(kHome);
        PumpMessages(20);
        ExpectHome();
    }
}

// Stop answered Yes at each scan's worker: the scan ends and the step it leads to can be used and left.
TEST_F(WizardRoadTest, StopAtEachWorkerEndsOnAUsableStep)
{
    // The partition step's Quick Scan and File Trace, stopped while the worker reads the partition's boot
    // sector: nothing was found, so Quick Scan says so and goes home, and File Trace shows its results.
    for (UINT mode : {kHomeQuickScanButton, kHomeFileTraceButton}) {
        SCOPED_TRACE(mode);
        Open(mode == kHomeQuickScanButton ? TestDisk("mbr-ext05.vmdk") : Fixture(L"trace.vhd"), mode);
        Search();
        ChoosePartition(mode == kHomeQuickScanButton ? 2 : 0);
        ReadHolder hold(VolumeParams.rangeStart);
        {
            BoxAnswerer answerer(IDOK);
            Press(kForward);
        }
        EXPECT_EQ(LiveButtons(), kStopOnly);
        ASSERT_TRUE(WaitFor([] { return ReadHolder::Held(); }, kScanLimitMs));
        {
            BoxAnswerer answerer(IDYES);
            Press(kStop);
        }
        if (mode == kHomeQuickScanButton) {
            ASSERT_TRUE(SettleOn(kViewHome));
            ASSERT_EQ(m_boxes.size(), 1u);
            EXPECT_EQ(m_boxes[0].text, kNothingFoundText);
        } else {
            ASSERT_TRUE(SettleOn(kViewResults));
            ExpectStep(kViewResults, kChoosing);
            Leave(kBack, kViewPartition);
            ExpectStep(kViewPartition, kChoosing);
            Press(kHome);
            PumpMessages(20);
        }
        ExpectHome();
    }

    // The Extensive Scan's sector scan over the whole disk: the file-system step with what was found, and
    // Back from it.
    Open(TestDisk("mbr-ext05.vmdk"), kHomeExtensiveScanButton);
    Search();
    ChoosePartition(1);
    m_pPartition->GetPanel()->SetSectorTexts(L"0", L"371006");
    Press(kForward);
    EXPECT_EQ(LiveButtons(), kStopOnly);
    {
        BoxAnswerer answerer(IDYES);
        Press(kStop);
    }
    ASSERT_TRUE(SettleOn(kViewFileSystem));
    ExpectStep(kViewFileSystem, kChoosing);
    Shot(L"stopped_sector_scan");
    Press(kBack);
    PumpMessages(20);
    ExpectStep(kViewPartition, kChoosing);
    Shot(L"stopped_sector_scan_back");

    // The partition's own range, then the volume's parse stopped: the results, and Back to the volumes.
    ChoosePartition(1);
    const PartitionEntry& entry = partitionTable[1];
    m_pPartition->GetPanel()->SetSectorTexts(
        std::to_wstring(entry.startSector).c_str(),
        std::to_wstring(entry.startSector + entry.sectorCount - 1).c_str());
    Scan();
    ExpectStep(kViewFileSystem, kChoosing);
    ASSERT_TRUE(ClickLabel(VolumeTree(), VolumeTree().GetChildItem(VolumeTree().GetRootItem())));
    Press(kForward);
    EXPECT_EQ(LiveButtons(), kStopOnly);
    {
        BoxAnswerer answerer(IDYES);
        Press(kStop);
    }
    ASSERT_TRUE(SettleOn(kViewResults));
    ExpectStep(kViewResults, kChoosing);
    Leave(kBack, kViewFileSystem);
    ExpectStep(kViewFileSystem, kChoosing);
    Shot(L"stopped_parse_back");
    Press(kHome);
    PumpMessages(20);
    ExpectHome();
}

// A Quick Scan of a volume that holds no entry finds nothing: it says so and the wizard goes home.
TEST_F(WizardRoadTest, AQuickScanThatFindsNothingSaysSoAndGoesHome)
{
    Open(Fixture(L"empty.vmdk"), kHomeQuickScanButton);
    Search();
    ChoosePartition(0);
    {
        BoxAnswerer answerer(IDOK);
        Press(kForward);
    }
    ASSERT_TRUE(SettleOn(kViewHome));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, kNothingFoundText);
    ExpectHome();
}

// A Quick Scan of a disk image cut short inside its volume says so: in place of the nothing-found message
// when the cut lies before the root folder (and the wizard goes home), and once the results show when
// it lies among the folders. Each message is pictured as the step shows it.
TEST_F(WizardRoadTest, AScanOfACutImageSaysTheImageFileIsCutShort)
{
    const struct
    {
        const wchar_t* image;
        UINT view;
        const wchar_t* picture;
    } cases[] = {
        {L"cut-early.vhd", kViewHome, L"app_cut_image_nothing_found"},
        {L"cut-half.vhd", kViewResults, L"app_cut_image_listed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.image, c.image + wcslen(c.image)));
        Open(Fixture(c.image), kHomeQuickScanButton);
        Search();
        ChoosePartition(0);
        {
            BoxAnswerer answerer(IDOK);
            Press(kForward);
        }
        ASSERT_TRUE(SettleOn(c.view));
        ASSERT_EQ(m_boxes.size(), 1u);
        const MessageBoxFields told = m_boxes[0];
        const std::wstring text = static_cast<LPCWSTR>(told.text);
        EXPECT_NE(text.find(L"The disk image file is cut short"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"cannot be listed or saved whole"), std::wstring::npos) << text;
        if (c.view == kViewHome) {
            EXPECT_EQ(text.find(L"Data has been not found in this partition"), 0u) << text;
            ExpectHome();
        } else {
            EXPECT_GT(ResultTree().GetCount(), 1u);
            Leave(kHome, kViewHome);
        }
        MessageBoxRequest.Set(told.text, told.kind);
        ModalScript picture({ModalScript::Do([&](HWND box) {
            EXPECT_TRUE(test_support::WriteWindowScreenshot(box, c.picture));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        })});
        CMessageDlg(m_pHome).DoModal();
    }
}

// A Home that reaches the results under the "nothing found" notice, and the next image opened before the
// notice is answered, are the road from then on: the end of the empty scan takes the wizard nowhere else.
TEST_F(WizardRoadTest, WhatTheUserDidUnderTheNothingFoundNoticeStands)
{
    Open(Fixture(L"empty.vmdk"), kHomeQuickScanButton);
    Search();
    ChoosePartition(0);
    {
        QuickerThanTheNotice driver(m_pResults, m_pHome, TestDisk("mbr-ext05.vmdk"));
        Press(kForward);
        ASSERT_TRUE(WaitFor([] { return QuickerThanTheNotice::Opened() && CScanWorkerControl::HasEnded(); },
                            kScanLimitMs));
        PumpMessages(1500);
    }
    ExpectStep(kViewDrive, kChoosing);
    Search();
    ExpectStep(kViewPartition, kChoosing);
    EXPECT_GT(PartitionTree().GetCount(), 1u);
}

// Exit answered Yes while a scan runs: the scan is asked to stop, and it has ended before the lists it
// walks are freed and the process is ended.
bool g_exitSawTheWorkerEnded = false;
bool g_exitEnded = false;

TEST_F(WizardRoadTest, ExitWhileAScanRunsStopsTheScanBeforeItFreesTheLists)
{
    Open(TestDisk("mbr-ext05.vmdk"), kHomeQuickScanButton);
    Search();
    ChoosePartition(2);
    ReadHolder hold(VolumeParams.rangeStart);
    Press(kForward);
    ASSERT_TRUE(WaitFor([] { return ReadHolder::Held(); }, kScanLimitMs));
    g_exitEnded = false;
    g_exitSawTheWorkerEnded = false;
    m_pFrame->m_pfnEndProcess = [] {
        g_exitEnded = true;
        g_exitSawTheWorkerEnded = CScanWorkerControl::HasEnded();
    };
    {
        BoxAnswerer answerer(IDYES);
        EXPECT_TRUE(m_pFrame->ConfirmExit());
    }
    m_pFrame->m_pfnEndProcess = CMainFrame::EndOwnProcess;
    EXPECT_TRUE(g_exitEnded);
    EXPECT_TRUE(g_exitSawTheWorkerEnded);
    // The frame stays in this test: the stopped scan's end goes home as after any stop that found nothing.
    ASSERT_TRUE(SettleOn(kViewHome));
    ExpectHome();
}

} // namespace
