#include "results_test_support.h"

#include "app_test_app.h"
#include "box_answerer.h"

#include <gtest/gtest.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine/recovery/trace/file_trace_scan.h"
#include "engine/recovery/trace/trace_records.h"
#include "engine_probe/probe_scan_rows.h"
#include "file_system_step_view.h"
#include "home_view.h"
#include "ntfs_test_volume.h"
#include "results_resource_ids.h"
#include "results_step_host.h"
#include "results_view.h"
#include "support/oracle_files.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "wizard_state.h"

#include <functional>
#include <memory>
#include <vector>

using test_support::JoinPath;
using test_support::ReadTsv;
using test_support::TestDisksDir;

namespace {

std::unique_ptr<AttachedImage> g_image;

} // namespace

CThirdView_HDD* Results()
{
    return dynamic_cast<CThirdView_HDD*>(theApp.GetView(kViewResults));
}

Partition FindPartition(const std::string& disk, const std::string& part)
{
    for (const auto& row : ReadTsv(JoinPath(TestDisksDir(), "partitions.tsv"))) {
        if (row.size() < 8 || row[0] != disk || row[1] != part)
            continue;
        const std::uint16_t code = row[4] == "fat16" ? kFsFat16 : row[4] == "fat32" ? kFsFat32 : kFsNtfs;
        return {row[0],
                row[1],
                static_cast<std::uint32_t>(std::stoul(row[2])),
                static_cast<std::uint32_t>(std::stoul(row[3])),
                code,
                row[7]};
    }
    ADD_FAILURE() << disk << " has no partition " << part;
    return {};
}

std::string Utf8(const CString& text)
{
    return ProbeUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(text)),
                                         static_cast<std::size_t>(text.GetLength())));
}

// The partition step's Scan and the end of its worker: the step numbers Scan writes, the scan, then the
// hand-over to the results view.
namespace {

// The partition's disk attached for a scan of the kind, the results view's columns set for it and its tree
// emptied (as the wizard's Back empties it before another scan), with `step` shown; false when the image
// cannot be opened.
bool AttachForScan(const Partition& partition, std::uint32_t scanKind, int step)
{
    CThirdView_HDD* pResults = Results();
    ScanSelection.scanKind = scanKind;
    pResults->SetResultColumns(SnapshotResultColumns(scanKind));
    theApp.SwitchView(step);
    FreeScanLists();
    // The image stays attached until the view is reset, as the program's readers stay open: previews
    // copy from it.
    g_image.reset();
    g_image = std::make_unique<AttachedImage>(JoinPath(TestDisksDir(), partition.disk + ".vmdk"));
    if (!g_image->IsAttached())
        return false;
    pResults->AttachEngineSide();
    pResults->RecoveryTree().EngineSide().DeleteAllItems();
    return true;
}

} // namespace

bool QuickScanToResults(const Partition& partition)
{
    ScanSelectionUi.modeSummary =
        L"Selected Mode : Recovery Scan \r\nDrive Type         : Virtual Machine Disk";
    if (!AttachForScan(partition, kScanQuick, kViewPartition))
        return false;
    WizardStepState.quick = 3;
    WizardStepState.resultsReady = kResultsReady;
    if (RunProbeQuickScan(partition.start, partition.sectors, partition.fsCode) != 1)
        return false;
    ShowScanResults();
    PumpMessages(100);
    return true;
}

bool ExtensiveScanToResults(const Partition& partition)
{
    if (!AttachForScan(partition, kScanExtensive, kViewFileSystem))
        return false;
    VolumeParams.scanFsCode = partition.fsCode;
    VolumeParams.rangeStart = partition.start;
    VolumeParams.rangeCount = partition.sectors;
    VolumeParams.rangeEnd = partition.start + partition.sectors - 1;
    if (auto* pStep = DYNAMIC_DOWNCAST(CFileSystemView, theApp.GetView(kViewFileSystem)))
        pStep->PrepareForScan();
    {
        BoxAnswerer answerer(IDOK);
        PrepareExtensiveScan();
        ExtensiveScanThread();
    }
    const FoundVolumeRec* volume = FoundVolumeByNumber(1);
    if (volume == nullptr || volume->fsCode != partition.fsCode || !ChooseFoundVolume(volume->treeItem))
        return false;
    // The Extensive Scan leaves its stop flag set; the file-system step is a worker of its own.
    ArmScanWorker();
    FileSystemScanThread();
    ScanThreadControl.running = 0;
    ScanThreadControl.done = 1;
    WizardStepState.extensive = 3;
    WizardStepState.resultsReady = kResultsReady;
    StartedFrame()->m_flags.extensiveResults = 1;
    theApp.SwitchView(kViewResults);
    PumpMessages(100);
    return true;
}

bool FileTraceToResults(const Partition& partition)
{
    if (!AttachForScan(partition, kScanFileTrace, kViewPartition))
        return false;
    FreeTraceFoundList();
    FreeFileSignatureList();
    AddFileSignatureRec(u".dir", u"Folder Sector", 11, "2e20202020202020202020", 1);
    AddFileSignatureRec(u".bst", u"Boot Sector", 3, "eb5890", 2);
    AddFileSignatureRec(u".fsi", u"FS Information", 4, "52526141", 3);
    VolumeParams.scanFsCode = partition.fsCode;
    VolumeParams.rangeStart = partition.start;
    VolumeParams.rangeCount = partition.sectors;
    VolumeParams.rangeEnd = partition.start + partition.sectors - 1;
    WizardStepState.fileTrace = 3;
    WizardStepState.resultsReady = kResultsReady;
    ArmScanWorker();
    if (FileTraceScanThread() != 1)
        return false;
    ShowScanResults();
    PumpMessages(100);
    return true;
}

HTREEITEM BuildFileTraceTree(std::initializer_list<TraceRecordTexts> records)
{
    FreeTraceFoundList();
    ScanSelection.scanKind = kScanFileTrace;
    Results()->SetResultColumns(SnapshotResultColumns(kScanFileTrace));
    std::uint32_t number = 0;
    for (const TraceRecordTexts& record : records) {
        ++number;
        AddTraceFoundRec(record.name, record.extension, record.type, number, 100 * number);
    }
    CRecoveryTreeCtrl& tree = Results()->RecoveryTree();
    tree.DeleteAllItems();
    ScanThreadControl.done = 0;
    const HTREEITEM root = tree.InsertFolderItem(L"Root", NULL);
    tree.AddTraceTypeItems(root);
    ScanThreadControl.done = 1;
    return root;
}

CPoint TreeBoxPoint(CTreeCtrl& tree, HTREEITEM item)
{
    tree.EnsureVisible(item);
    CRect rect;
    tree.GetItemRect(item, &rect, TRUE);
    CPoint point = rect.CenterPoint();
    UINT flags = 0;
    for (point.x = rect.left; point.x > 0; --point.x) {
        if (tree.HitTest(point, &flags) == item && (flags & TVHT_ONITEMSTATEICON) != 0)
            break;
    }
    return point;
}

void Screenshot(const std::wstring& name)
{
    StartedFrame()->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(50);
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> pixels =
        test_support::CaptureFramedWindow(StartedFrame()->GetSafeHwnd(), width, height);
    EXPECT_TRUE(test_support::WritePng(test_support::ScreenshotPath(name), pixels.data(), width, height));
}

void ResetResultsView()
{
    g_image.reset();
    CThirdView_HDD* pResults = Results();
    pResults->RecoveryTree().DeleteAllItems();
    pResults->ResultList().DeleteAllItems();
    pResults->ResultList().ClearMarks();
    FreeScanLists();
    FreeFolderLists();
    ScanThreadControl.done = 1;
    WizardStepState = WizardStepStateBlock();
    StartedFrame()->m_flags = FrameCommandFlags();
    StartedFrame()->AttachEngineSeams();
    ScanSelection.scanKind = kScanQuick;
    theApp.SwitchView(kViewHome);
    PumpMessages(20);
}

PropertiesReader::PropertiesReader(const wchar_t* screenshot) : m_screenshot(screenshot)
{
    s_reader = this;
    m_timer = ::SetTimer(NULL, 0, 50, OnTimer);
}

PropertiesReader::~PropertiesReader()
{
    ::KillTimer(NULL, m_timer);
    s_reader = nullptr;
}

void CALLBACK PropertiesReader::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    PropertiesReader* self = s_reader;
    HWND dialog = ::FindWindowW(L"#32770", L"File/Folder Properties");
    if (self == nullptr || dialog == NULL || !::IsWindowVisible(dialog) || self->seen)
        return;
    self->seen = true;
    auto text = [&](int id) {
        wchar_t buffer[256] = {};
        ::GetDlgItemTextW(dialog, id, buffer, 256);
        return std::wstring(buffer);
    };
    self->name = text(IDC_PROPERTIES_NAME);
    self->size = text(IDC_PROPERTIES_SIZE);
    self->contents = text(IDC_PROPERTIES_CONTAINS);
    if (self->m_screenshot != nullptr) {
        ::RedrawWindow(dialog, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        test_support::WriteFramedWindowScreenshot(dialog, self->m_screenshot);
    }
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

int RowNamed(const CString& name)
{
    CResultListCtrl& list = Results()->ResultList();
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (list.GetItemText(row, 0).CompareNoCase(name) == 0)
            return row;
    return -1;
}

std::vector<HTREEITEM> TreeItemsBelowRoot(CRecoveryTreeCtrl& tree)
{
    std::vector<HTREEITEM> items;
    std::function<void(HTREEITEM)> walk = [&](HTREEITEM parent) {
        for (HTREEITEM child = tree.GetChildItem(parent); child != NULL;
             child = tree.GetNextSiblingItem(child)) {
            items.push_back(child);
            walk(child);
        }
    };
    walk(tree.GetRootItem());
    return items;
}

void ClickOnScreen(CPoint screenPoint)
{
    ::SetCursorPos(screenPoint.x, screenPoint.y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
    PumpMessages(150);
}

void ClickRowBox(int row)
{
    CResultListCtrl& list = Results()->ResultList();
    CRect bounds;
    ASSERT_TRUE(list.GetItemRect(row, &bounds, LVIR_BOUNDS));
    LVHITTESTINFO hit = {};
    hit.pt = CPoint(bounds.left, bounds.CenterPoint().y);
    for (; hit.pt.x < bounds.left + 40; ++hit.pt.x) {
        if (list.HitTest(&hit) == row && CResultListCtrl::IsOnBox(hit.flags))
            break;
    }
    ASSERT_TRUE(CResultListCtrl::IsOnBox(hit.flags)) << "no box on row " << row;
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
    PumpMessages(20);
}

void MaximisedFrameTest::SetUp()
{
    ASSERT_NE(StartedFrame(), nullptr);
    StartedFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    PumpMessages(50);
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    m_current = current;
}

void MaximisedFrameTest::TearDown()
{
    ::SetCurrentDirectoryW(m_current.c_str());
    ResetResultsView();
}
