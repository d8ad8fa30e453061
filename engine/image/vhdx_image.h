#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/image/disk_image_file.h"
#include "engine/image/image_open_error.h"

// One region of the region table that the reader uses (BAT or metadata).
struct VhdxRegion
{
    std::u16string name;
    uint64_t fileOffset;
    uint32_t length;
};

// One metadata table entry. Items other than the five named ones keep no name and no flags.
struct VhdxMetadataEntry
{
    bool user;
    bool virtualDisk;
    bool required;
    uint32_t offset;
    uint32_t length;
    std::u16string name;
};

// A payload-block entry of the BAT, kept as stored: the state in the low 3 bits, the file offset
// (whole MiB) above bit 20.
struct VhdxBatEntry
{
    uint64_t raw;
    uint32_t State() const { return static_cast<uint32_t>(raw & 7); }
    uint64_t FileOffset() const { return raw & ~0xFFFFFull; }
};

// A VHDX file (fixed or dynamic) read as a linear disk. Differencing disks and disks with a log to
// replay are refused; blocks in any state but fully present read as zeros.
class CVhdxImage
{
public:
    static constexpr uint32_t kPageBytes = 4096;
    static constexpr uint32_t kFileIdentifierBytes = 520;
    static constexpr uint32_t kHeaderBytes = 4096;
    static constexpr uint32_t kMaxTableEntries = 2047;
    // Parse results.
    static constexpr int kParseBadSignature = -1;
    static constexpr int kParseBadTable = -8;
    static constexpr int kParseUnknownRequiredRegion = -9;
    static constexpr int kParseRefused = -10;
    // BAT entry state of a block whose data is all in the file.
    static constexpr uint32_t kBlockFullyPresent = 6;

    CVhdxImage();
    virtual ~CVhdxImage();
    CVhdxImage(const CVhdxImage&) = delete;
    CVhdxImage& operator=(const CVhdxImage&) = delete;

    int Open(std::u16string_view path);
    // 0, or a negative code: -1 no "vhdxfile"; -8 a malformed region or metadata table (also a BAT or
    // metadata region listed twice); -9 an unknown region marked required; -10 other refusals.
    // GetOpenError tells which.
    int Parse();
    // Positions the reader at a byte of the virtual disk; Read continues from there across blocks.
    // Bytes past the disk's end and blocks without data read as zeros; a present block that lies past
    // the end of the file does not read.
    int SeekVirtual(uint64_t virtualOffset);
    // 1 when every byte was delivered. 0 when a part could not be read: the bytes before it are in the
    // buffer and GetVirtualPosition tells where it stopped.
    int Read(void* buffer, uint32_t count);
    uint64_t GetVirtualPosition() const { return readPosition; }
    // The last Read stopped because the image file ends before the data it needed (a file cut short).
    bool ReadStoppedAtFileEnd() const { return stoppedAtFileEnd; }
    void Close();

    uint64_t GetDiskSize() const { return diskSize; }
    uint32_t GetDataBlockCount() const { return dataBlockCount; }
    std::u16string GetDiskTypeName() const { return diskTypeName; }
    uint32_t GetBatEntryCount() const { return batEntryCount; }
    uint32_t GetBlockSize() const { return blockSize; }
    double GetChunkRatio() const { return chunkRatio; }
    const std::vector<VhdxBatEntry>& GetBat() const { return bat; }
    const CDiskImageFile& GetFile() const { return file; }
    ImageOpenError GetOpenError() const { return openError; }
    const char* GetOpenErrorText() const { return ImageOpenErrorText(openError); }

    static std::u16string GuidToItemName(const uint8_t* guid);

    int ReadMetadataTable(uint64_t regionOffset, uint32_t length);
    int ReadBat(uint64_t regionOffset, uint32_t length);
    int ReadDiskInfo();

private:
    void ResetState();
    int Refuse(ImageOpenError reason, int code);
    int ReadRegionTable();
    bool ChooseCurrentHeader(const uint8_t*& current) const;

    CDiskImageFile file;
    uint64_t parsePosition;
    std::array<uint8_t, kFileIdentifierBytes> fileIdentifier;
    std::array<uint8_t, kHeaderBytes> header1;
    std::array<uint8_t, kHeaderBytes> header2;
    std::array<uint8_t, 16> regionTableHeader;
    std::array<uint8_t, 32> metadataTableHeader;
    std::vector<VhdxMetadataEntry> metadataItems;
    std::vector<VhdxBatEntry> bat;
    std::vector<VhdxRegion> regions;
    uint32_t batEntryCount;
    uint32_t dataBlockCount;
    double chunkRatio;
    uint32_t blockSize;
    std::u16string diskTypeName;
    uint64_t blockBytesTotal;
    uint64_t diskSize;
    int64_t blockIndex;
    uint64_t readPosition;
    uint64_t blockFileOffset;

    ImageOpenError openError;
    bool opened;
    uint64_t fileSize;
    uint32_t logicalSectorSize;
    uint32_t physicalSectorSize;
    bool hasParent;
    bool stoppedAtFileEnd;
};
