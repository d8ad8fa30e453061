#pragma once

// The Extensive Scan and the file-system step run the way their workers run them, for the disk tests of
// both file systems.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/found_volume_list.h"
#include "engine/recovery/scans/extensive_scan.h"

// The Extensive Scan of `sectors` sectors from `start` for file system `scanFsCode`, as the partition step
// starts it; gives the milliseconds it took.
inline long long RunExtensiveRange(std::uint16_t scanFsCode, std::uint32_t start, std::uint32_t sectors)
{
    VolumeParams.scanFsCode = scanFsCode;
    VolumeParams.rangeStart = start;
    VolumeParams.rangeCount = sectors;
    VolumeParams.rangeEnd = start + sectors - 1;
    const auto begin = std::chrono::steady_clock::now();
    PrepareExtensiveScan();
    ExtensiveScanThread();
    EXPECT_EQ(bootVolumesDone.load(), 1u);
    EXPECT_EQ(inferenceDone.load(), 1u);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin)
        .count();
}

// The file-system step's `steps` on found volume `number`, with the worker flags it leaves behind.
inline void RunVolumeSteps(std::uint32_t number, void (*steps)())
{
    ASSERT_TRUE(ChooseFoundVolumeNumber(number));
    ScanThreadControl.done = 0;
    ScanThreadControl.running = 1;
    steps();
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}
