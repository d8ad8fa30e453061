// File Trace items saved from a disk made by the test: a fixed run of sectors from each item's start,
// the preview copy, the progress by items, and a run that reaches past the end of the source.
#include <gtest/gtest.h>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/save/save_files.h"
#include "engine/recovery/trace/trace_records.h"
#include "save_test_support.h"
#include "ui_recorder.h"

namespace {

constexpr std::uint32_t kSectors = 8192; // 4 MiB
constexpr std::size_t kMiB = 1 << 20;

class SaveTrace : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        recorder.targetFolder = scratch.TargetText();
        ScanSelection.scanKind = kScanFileTrace;
        VolumeParams.fsCode = kFsFat32;
        bytes = disk.Pattern(1, static_cast<std::size_t>(kSectors) * 512);
        disk.Put(0, bytes.data(), bytes.size());
    }
    void TearDown() override { ResetEngineState(); }

    std::string Saved(const char* name) { return ReadFileBytes(scratch.Target() / name); }

    UiRecorder recorder;
    ScratchFolder scratch;
    ScratchFolder diskFolder;
    CraftedDisk disk{kSectors};
    std::string bytes;
};

TEST_F(SaveTrace, ItemsAreTheirSizeInMebibytesFromTheirStartSector)
{
    ASSERT_TRUE(disk.Attach(diskFolder.Parent() / "disk.vhd"));
    AddTraceFoundRec(u"1.jpg", u".jpg", u"JPEG", 1, 100);
    AddTraceFoundRec(u"2.png", u".png", u"PNG", 2, 3000);
    AddTraceFoundRec(u"3.png", u".png", u"PNG", 3, 5000);
    TraceItemSizeMiB = 2;
    recorder.markedEntryIds = {2, 1, 99};

    const SaveOutcomeBlock outcome = SaveSelection();
    EXPECT_EQ(outcome.saved, 2u);
    EXPECT_EQ(outcome.failed, 0u);
    EXPECT_EQ(Md5Hex(Saved("1.jpg")), Md5Hex(bytes.substr(100 * 512, 2 * kMiB)));
    EXPECT_EQ(Md5Hex(Saved("2.png")), Md5Hex(bytes.substr(3000 * 512, 2 * kMiB)));
    EXPECT_FALSE(std::filesystem::exists(scratch.Target() / "3.png"));
    // The bar moves by items: 1 of 3 marked, then 2 of 3 (each set after the common start's 0).
    EXPECT_EQ(recorder.ArgumentsOf("savingDialog.SetProgressPos"),
              (std::vector<std::string>{"0", "33", "0", "66"}));

    // The preview copy writes the item as it is, over a file of the same name.
    EXPECT_EQ(CopyRawRange(3000, scratch.TargetText().c_str(), u"1.jpg"), 1);
    EXPECT_EQ(Md5Hex(Saved("1.jpg")), Md5Hex(bytes.substr(3000 * 512, 2 * kMiB)));
}

TEST_F(SaveTrace, AnItemReachingPastTheSourceIsZerosThereAndFails)
{
    ASSERT_TRUE(disk.AttachAsVolume(diskFolder.Parent() / "disk.raw"));
    // 1 MiB from 512 KiB before the end: the second half cannot be read.
    AddTraceFoundRec(u"1.zip", u".zip", u"ZIP", 1, kSectors - 1024);
    recorder.markedEntryIds = {1};
    const SaveOutcomeBlock outcome = SaveSelection();
    EXPECT_EQ(Md5Hex(Saved("1.zip")),
              Md5Hex(bytes.substr((kSectors - 1024) * 512ull) + std::string(kMiB / 2, '\0')));
    EXPECT_EQ(outcome.failed, 1u);
    EXPECT_EQ(outcome.unreadable, 1u);
}

} // namespace
