#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/image/disk_image_file.h"
#include "engine/image/image_open_error.h"

// Reads a VMDK monolithic sparse extent (header, embedded descriptor, grain directory, grain tables and
// grains in one file) as a linear virtual disk. Stream-optimized (compressed) extents are refused.
class CVmdkSparseExtent
{
public:
    // Sizes of the on-disk structures.
    static constexpr uint32_t kHeaderBytes = 512;
    static constexpr uint32_t kGrainTableEntries = 512;
    // The directory is read into one 64 KiB buffer; a disk that needs more entries is refused.
    static constexpr uint32_t kMaxDirectoryEntries = 16384;

    CVmdkSparseExtent();
    virtual ~CVmdkSparseExtent();
    CVmdkSparseExtent(const CVmdkSparseExtent&) = delete;
    CVmdkSparseExtent& operator=(const CVmdkSparseExtent&) = delete;

    // 1 opened; 0 refused, with the reason in GetOpenError. A refused file is closed again.
    int Open(std::u16string_view path);
    void Close();
    void ReadHeaderAndDescriptor();
    uint32_t LoadGrainDirectory();

    // Positions the reader at a byte of the virtual disk; Read continues from there and may run on
    // across grains without another call. Bytes past the disk's end and unallocated grains read as
    // zeros; a grain or grain table that the directory places past the end of the file does not read.
    int SeekVirtual(uint64_t virtualOffset);
    // 1 when every byte was delivered. 0 when a part could not be read: the bytes before it are in the
    // buffer and GetVirtualPosition tells where it stopped.
    int Read(void* buffer, uint32_t count);
    uint64_t GetVirtualPosition() const { return virtualPos; }
    // The last Read stopped because the image file ends before the data it needed (a file cut short).
    bool ReadStoppedAtFileEnd() const { return stoppedAtFileEnd; }

    // Capacity in bytes; 0 while nothing is open.
    uint64_t GetDiskSize() const { return diskSize; }
    ImageOpenError GetOpenError() const { return openError; }
    const char* GetOpenErrorText() const { return ImageOpenErrorText(openError); }

    // Reads ddb.geometry.cylinders, .heads and .sectors from descriptor text: each key on its own line,
    // in any order, with CR or LF line ends; a missing key leaves 0.
    static void ParseGeometry(std::string_view descriptor, int32_t& cylindersOut, int32_t& headsOut,
                              int32_t& sectorsOut);

    CDiskImageFile handle;
    uint8_t header[kHeaderBytes];
    int32_t cylinders;
    int32_t heads;
    int32_t sectors;
    uint8_t zeroFill;
    std::vector<uint64_t> grainDirectory;
    uint64_t overhead;
    uint64_t physicalPos;
    uint64_t virtualPos;
    uint64_t grainBytes;

private:
    struct CachedGrainTable
    {
        uint64_t sector;
        uint64_t lastUse;
        std::array<uint32_t, kGrainTableEntries> entries;
    };
    // 2 KiB each: 64 tables map 2 GiB of a disk of 64 KiB grains.
    static constexpr size_t kCachedGrainTables = 64;

    ImageOpenError CheckHeader();
    // The table's entries, from the cache or read into it; null when the table cannot be read.
    const CachedGrainTable* LoadGrainTable(uint64_t tableSector);
    // The file offset of a grain's data, 0 when it reads as zeros; false when its table cannot be read
    // (tableBeyondFile then tells whether the file ends before it).
    bool LocateGrain(uint64_t grain, uint64_t& fileOffset);
    void ResetState();

    ImageOpenError openError;
    bool opened;
    bool streamOptimizedDescriptor;
    uint64_t fileSize;
    uint64_t diskSize;
    uint64_t directorySector;
    uint32_t directoryEntries;
    // The grain that physicalPos and zeroFill describe; Read remaps when it moves into another one.
    uint64_t mappedGrain;
    // The grain tables read last, so that reading along the disk costs one table read per 512 grains and
    // a save that goes back and forth between the file records and the files' data reads each table once.
    std::vector<CachedGrainTable> cachedTables;
    uint64_t tableUses;
    bool tableBeyondFile;
    bool stoppedAtFileEnd;
};
