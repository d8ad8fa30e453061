#pragma once

// A small disk built in memory for the Extensive Scan's FAT tests: boot sectors, folder starts with
// their "." and ".." entries, FAT copies and directory entries placed at chosen sectors. Attach() writes
// it to a temporary file and makes that file the logical volume that ReadSectors reads.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/platform/platform_io.h"
#include "support/test_paths.h"

class CraftedFatDisk
{
public:
    explicit CraftedFatDisk(std::uint32_t sectors) : bytes(static_cast<std::size_t>(sectors) * 512) {}
    CraftedFatDisk(const CraftedFatDisk&) = delete;
    CraftedFatDisk& operator=(const CraftedFatDisk&) = delete;

    ~CraftedFatDisk()
    {
        if (SourceState.volumeHandle != kNoHandle) {
            PlatformCloseHandle(SourceState.volumeHandle);
            SourceState.volumeHandle = kNoHandle;
        }
        if (!file.empty()) {
            std::error_code ignored;
            std::filesystem::remove(file, ignored);
        }
    }

    std::uint32_t SectorCount() const { return static_cast<std::uint32_t>(bytes.size() / 512); }
    std::uint8_t* Sector(std::uint32_t sector)
    {
        return bytes.data() + static_cast<std::size_t>(sector) * 512;
    }

    void Put16(std::uint32_t sector, std::size_t offset, std::uint32_t value)
    {
        Sector(sector)[offset] = static_cast<std::uint8_t>(value);
        Sector(sector)[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void Put32(std::uint32_t sector, std::size_t offset, std::uint32_t value)
    {
        Put16(sector, offset, value & 0xFFFF);
        Put16(sector, offset + 2, value >> 16);
    }

    struct Boot
    {
        bool fat32 = true;
        std::uint32_t sectorsPerCluster = 8;
        std::uint32_t reserved = 32;
        std::uint32_t fatCount = 2;
        std::uint32_t fatSize = 1000;
        std::uint32_t rootEntries = 0; // FAT16
        std::uint32_t total16 = 0;
        std::uint32_t total32 = 100000;
        std::uint32_t rootCluster = 2; // FAT32
    };

    void PutBoot(std::uint32_t sector, const Boot& boot)
    {
        std::uint8_t* b = Sector(sector);
        b[0] = 0xEB;
        b[1] = 0x58;
        b[2] = 0x90;
        std::memcpy(b + 3, "mkfs.fat", 8);
        Put16(sector, 11, 512);
        b[13] = static_cast<std::uint8_t>(boot.sectorsPerCluster);
        Put16(sector, 14, boot.reserved);
        b[16] = static_cast<std::uint8_t>(boot.fatCount);
        Put16(sector, 17, boot.rootEntries);
        Put16(sector, 19, boot.total16);
        b[21] = 0xF8;
        Put32(sector, 32, boot.total32);
        if (boot.fat32) {
            Put32(sector, 36, boot.fatSize);
            Put32(sector, 44, boot.rootCluster);
            std::memcpy(b + 82, "FAT32   ", 8);
        } else {
            Put16(sector, 22, boot.fatSize);
            std::memcpy(b + 54, "FAT16   ", 8);
        }
        b[510] = 0x55;
        b[511] = 0xAA;
    }

    // A short directory entry; the name is 11 bytes, padded with spaces.
    void PutEntry(std::uint32_t sector, std::uint32_t index, const char* name11, std::uint8_t attributes,
                  std::uint32_t cluster, std::uint32_t size = 0)
    {
        std::uint8_t* entry = Sector(sector) + index * 32;
        std::memset(entry, ' ', 11);
        std::memcpy(entry, name11, std::min<std::size_t>(std::strlen(name11), 11));
        entry[11] = attributes;
        Put16(sector, index * 32 + 18, 0x5A21); // access date
        Put16(sector, index * 32 + 20, cluster >> 16);
        Put16(sector, index * 32 + 24, 0x5A22); // write date
        Put16(sector, index * 32 + 26, cluster & 0xFFFF);
        Put32(sector, index * 32 + 28, size);
    }

    // The first sector of a folder's first cluster: "." naming the folder, ".." its parent.
    void PutFolderStart(std::uint32_t sector, std::uint32_t cluster, std::uint32_t parent)
    {
        PutEntry(sector, 0, ".", 0x10, cluster);
        PutEntry(sector, 1, "..", 0x10, parent);
    }

    void Attach()
    {
        file =
            std::filesystem::temp_directory_path() / test_support::UniqueTempName("extensive_fat_", ".raw");
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            ASSERT_TRUE(out.good()) << "cannot write " << file.string();
        }
        SourceState.sourceKind = kSourceLogicalVolume;
        SourceState.volumeHandle = PlatformOpenForRead(file.u16string().c_str(), ReadShare::ReadAndWrite);
        ASSERT_TRUE(IsUsableHandle(SourceState.volumeHandle)) << file.string();
    }

private:
    std::vector<std::uint8_t> bytes;
    std::filesystem::path file;
};
