#pragma once

// Hand-made NTFS volumes for the Extensive Scan's tests and benchmark: a boot sector (and its backup in
// the volume's last sector), an MFT of file and folder records, and for every folder that has one an
// index allocation whose index records hold an entry for each child, laid out as the published format
// lays them out. Large enough to stand in for a real volume in what the Extensive Scan reads, small
// enough to build in a test.

#include <cstdint>
#include <string>
#include <vector>

#include "ntfs_test_records.h"
#include "ntfs_test_volume.h"

// Record number of the root folder, whose name is ".".
inline constexpr std::uint32_t kCraftedRoot = 5;

class CraftedNtfsVolume
{
public:
    // A volume whose boot sector stands at `base`, with 4 KiB index records.
    CraftedNtfsVolume(std::uint32_t base, std::uint32_t sectorsPerCluster);

    // Each returns the new record's number. A folder without an index allocation keeps its children's
    // entries in its index root, as a small folder does.
    std::uint32_t AddFolder(const std::u16string& name, std::uint32_t parent, bool withAllocation = true,
                            bool deleted = false);
    std::uint32_t AddFile(const std::u16string& name, std::uint32_t parent, std::uint32_t size = 10,
                          bool deleted = false);

    // Lays the volume out: records, index records and clusters are placed from the current contents.
    void Build();

    // After Build: what lies where (absolute sectors).
    std::uint32_t Base() const { return base; }
    std::uint32_t SectorsPerCluster() const { return sectorsPerCluster; }
    std::uint32_t TotalSectors() const { return totalSectors; } // the backup boot sector included
    std::uint32_t MftCluster() const { return kMftCluster; }
    std::uint64_t RecordSector(std::uint32_t number) const;
    // The first index record of a folder with an allocation, and its first cluster.
    std::uint64_t IndexRecordSector(std::uint32_t folder) const;
    std::uint32_t FirstIndexCluster(std::uint32_t folder) const;
    std::uint32_t RecordCount() const { return static_cast<std::uint32_t>(records.size()); }

    // Writes the built volume into the file, its boot sector at sector Base() of the file. Whether each
    // record keeps its own number in its header (NTFS 3.1), and whether the boot sector and its backup
    // are written, is chosen here. Records 0 to 3 are copied to the mirror, as a format tool does.
    void WriteTo(TempVolume& volume, bool ownNumbers = true, bool bootSectors = true) const;
    std::uint32_t MirrorCluster() const { return mirrorCluster; }

    // The bytes of one record or index record as written, for tests that break them.
    Bytes RecordBytes(std::uint32_t number, bool ownNumber = true) const;
    std::vector<Bytes> IndexRecordBytes(std::uint32_t folder) const;

private:
    static constexpr std::uint32_t kMftCluster = 4;
    static constexpr std::uint32_t kIndexRecordSize = 4096;

    struct Entry
    {
        bool used = false;
        bool folder = false;
        bool deleted = false;
        bool withAllocation = false;
        std::u16string name;
        std::uint32_t parent = 0;
        std::uint32_t size = 0;
        std::vector<std::uint32_t> children;
        std::uint32_t firstCluster = 0;
        std::uint32_t indexRecords = 0;
    };

    std::uint32_t Add(Entry entry);
    std::uint32_t ClustersPerIndexRecord() const;

    std::uint32_t base;
    std::uint32_t sectorsPerCluster;
    std::uint32_t totalSectors = 0;
    std::uint32_t mirrorCluster = 0;
    std::vector<Entry> records;
};

// An index record of 4 KiB as it lies on disk, holding entries for `children` of the folder `folder`
// (each key a $FILE_NAME of the child with the folder attribute where `folders` says so).
Bytes IndexRecordWithEntries(std::uint32_t folder, std::uint64_t vcn,
                             const std::vector<std::pair<std::uint32_t, std::u16string>>& children,
                             const std::vector<bool>& folders, std::uint32_t size = 4096);
