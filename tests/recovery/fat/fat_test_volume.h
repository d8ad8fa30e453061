#pragma once

// A volume for the FAT tests: bytes in a temporary file that the engine reads as a logical volume
// (SourceState.sourceKind 2 with the file open as the volume handle), so ReadSectors sees exactly them.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/platform/platform_io.h"
#include "support/test_paths.h"

namespace fat_test {

class TestVolume
{
public:
    // Writes `bytes` to a new temporary file and attaches it; the previous volume handle is closed.
    explicit TestVolume(const std::vector<std::uint8_t>& bytes)
    {
        path =
            std::filesystem::temp_directory_path() / test_support::UniqueTempName("fat_test_volume_", ".raw");
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            EXPECT_TRUE(out.good()) << "writing " << path.string();
        }
        Attach();
    }

    // Attaches an existing file (not removed at the end).
    explicit TestVolume(const std::filesystem::path& existing) : path(existing), owned(false) { Attach(); }

    ~TestVolume()
    {
        // The engine may have closed it already (ResetEngineState) or moved on to another volume.
        if (SourceState.volumeHandle == handle) {
            PlatformCloseHandle(handle);
            SourceState.volumeHandle = kNoHandle;
        }
        std::error_code ignored;
        if (owned)
            std::filesystem::remove(path, ignored);
    }

    TestVolume(const TestVolume&) = delete;
    TestVolume& operator=(const TestVolume&) = delete;

private:
    void Attach()
    {
        PlatformCloseHandle(SourceState.volumeHandle);
        const std::u16string name = path.u16string();
        handle = PlatformOpenForRead(name.c_str(), ReadShare::ReadAndWrite);
        SourceState.volumeHandle = handle;
        ASSERT_TRUE(IsUsableHandle(handle)) << path.string();
        SourceState.sourceKind = kSourceLogicalVolume;
    }

    std::filesystem::path path;
    bool owned = true;
    PlatformHandle handle = kNoHandle;
};

} // namespace fat_test
