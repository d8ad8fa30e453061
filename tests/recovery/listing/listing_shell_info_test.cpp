// The shell's icons and type names for names found on a disk: asked by name only (the files do not
// exist), on Windows from the shell itself, on the host from the stand-in.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include <objbase.h>
#endif

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/listing/shell_file_info.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine/recovery/scans/file_system_scan.h"
#include "engine/recovery/scans/quick_scan.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine/recovery/trace/file_trace_scan.h"
#include "engine/recovery/trace/trace_records.h"
#include "ntfs_test_volume.h"
#include "support/test_paths.h"
#include "ui_recorder.h"

namespace {

TEST(ShellFileInfo, ANameWithoutExtensionIsAnUnknownFile)
{
    const CShellFileInfo shell;
    const std::u16string none = shell.GetFileTypeName(u"README");
    const std::u16string unknown = shell.GetFileTypeName(u"notes.qqzx");
    EXPECT_FALSE(none.empty());
    EXPECT_FALSE(unknown.empty());
    EXPECT_NE(Utf8(none), Utf8(unknown));
    // Unknown files share one icon, whatever their extension; folders have another.
    EXPECT_EQ(shell.GetFileIconIndex(u"README", true), shell.GetFileIconIndex(u"notes.qqzx", true));
    EXPECT_NE(shell.GetFolderIconIndex(true), shell.GetFileIconIndex(u"README", true));
    // Names from a disk are only names: path characters and a missing file change nothing.
    EXPECT_EQ(shell.GetFileIconIndex(u"C:\\no\\such\\folder\\x.qqzx", true),
              shell.GetFileIconIndex(u"x.qqzx", true));
#ifdef _WIN32
    EXPECT_NE(shell.GetSystemImageList(true), 0u);
    EXPECT_NE(shell.GetSystemImageList(true), shell.GetSystemImageList(false));
#else
    EXPECT_EQ(Utf8(none), "File");
    EXPECT_EQ(Utf8(unknown), "QQZX File");
#endif
}

#ifdef _WIN32
// The real shell, asked through a wrapper that notes whether the calling thread had COM (an apartment of
// its own) at each call.
class ApartmentWatch final : public CShellFileInfo
{
public:
    int GetFileIconIndex(const char16_t* fileName, bool small) const override
    {
        Note();
        return CShellFileInfo::GetFileIconIndex(fileName, small);
    }
    int GetFolderIconIndex(bool small) const override
    {
        Note();
        return CShellFileInfo::GetFolderIconIndex(small);
    }
    std::u16string GetFileTypeName(const char16_t* fileName) const override
    {
        Note();
        return CShellFileInfo::GetFileTypeName(fileName);
    }

    mutable std::mutex lock;
    mutable int calls = 0;
    mutable int callsWithoutApartment = 0;

private:
    void Note() const
    {
        APTTYPE type;
        APTTYPEQUALIFIER qualifier;
        const bool apartment = SUCCEEDED(CoGetApartmentType(&type, &qualifier)) &&
                               (type == APTTYPE_STA || type == APTTYPE_MAINSTA);
        std::lock_guard<std::mutex> hold(lock);
        ++calls;
        if (!apartment)
            ++callsWithoutApartment;
    }
};

void SelectFirstPartitionOfMbrExt05()
{
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.scanFsCode = kFsFat16;
    VolumeParams.rangeStart = 2048;
    VolumeParams.rangeCount = 32768;
    VolumeParams.rangeEnd = 2048 + 32768 - 1;
}

// Every engine entry point that lists from a worker thread runs there with COM in an apartment of its
// own, and leaves the thread without it.
TEST(ShellFileInfoOnWorkers, ListingWorkersHoldComForTheirRun)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    const std::filesystem::path document = std::filesystem::temp_directory_path() /
                                           ("shell-com-" + std::to_string(GetCurrentProcessId()) + ".vqdx");
    struct Case
    {
        const char* name;
        std::function<void()> prepare; // on the test's thread
        std::function<void()> work;    // on a worker thread
    };
    const Case cases[] = {
        {"Quick Scan", SelectFirstPartitionOfMbrExt05,
         [] {
             ArmScanWorker();
             QuickScanPartition();
         }},
        {"file-system step",
         [] {
             SelectFirstPartitionOfMbrExt05();
             ScanSelection.scanKind = kScanExtensive;
             PrepareExtensiveScan();
             ExtensiveScanThread();
             ASSERT_TRUE(ChooseFoundVolumeNumber(1));
         },
         [] {
             ArmScanWorker();
             FileSystemScanThread();
         }},
        {"File Trace",
         [] {
             SelectFirstPartitionOfMbrExt05();
             ScanSelection.scanKind = kScanFileTrace;
             // The "." entry that opens every folder's first sector.
             AddFileSignatureRec(u".dir", u"Folder Sector", 11, "2e20202020202020202020", 1);
         },
         [] {
             ArmScanWorker();
             FileTraceScanThread();
         }},
        {"snapshot reader",
         [&document] {
             SelectFirstPartitionOfMbrExt05();
             ArmScanWorker();
             ASSERT_EQ(QuickScanPartition(), 1);
             ASSERT_TRUE(WriteScanSnapshotFile(document.u16string().c_str()));
         },
         [&document] { ReadScanSnapshot(document.u16string().c_str()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        UiRecorder recorder;
        recorder.Attach();
        AttachedImage image(test_support::JoinPath(test_support::TestDisksDir(), "mbr-ext05.vmdk"));
        ASSERT_TRUE(image.IsAttached());
        c.prepare();
        if (HasFatalFailure())
            return;
        ApartmentWatch shell;
        engineUi.shellInfo = &shell;
        HRESULT afterwards = S_OK;
        std::thread worker([&] {
            c.work();
            APTTYPE type;
            APTTYPEQUALIFIER qualifier;
            afterwards = CoGetApartmentType(&type, &qualifier);
        });
        worker.join();
        recorder.Attach();
        EXPECT_GT(shell.calls, 0);
        EXPECT_EQ(shell.callsWithoutApartment, 0);
        EXPECT_EQ(afterwards, CO_E_NOTINITIALIZED);
        ResetEngineState();
    }
    std::error_code ignored;
    std::filesystem::remove(document, ignored);
}
#endif

} // namespace
