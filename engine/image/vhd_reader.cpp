#include "engine/image/vhd_reader.h"

#include <algorithm>
#include <cstring>

#include "engine/image/byte_order.h"

namespace {

// Footer fields (big-endian).
constexpr size_t kFooterCookieOffset = 0;       // "conectix"
constexpr size_t kFooterDataOffsetOffset = 16;  // u64: file offset of the dynamic header
constexpr size_t kFooterCurrentSizeOffset = 48; // u64: disk size in bytes
constexpr size_t kFooterGeometryOffset = 56;    // u16 cylinders, u8 heads, u8 sectors per track
constexpr size_t kFooterDiskTypeOffset = 60;    // u32

// Dynamic-disk header fields (big-endian).
constexpr size_t kDynamicCookieOffset = 0;       // "cxsparse"
constexpr size_t kDynamicTableOffsetOffset = 16; // u64: file offset of the block allocation table
constexpr size_t kDynamicMaxEntriesOffset = 28;  // u32
constexpr size_t kDynamicBlockSizeOffset = 32;   // u32: bytes

constexpr char kFooterCookie[] = "conectix";
constexpr char kDynamicCookie[] = "cxsparse";
constexpr uint32_t kSmallestBlockBytes = 512;

bool HasCookie(const uint8_t* bytes, const char* cookie)
{
    return std::memcmp(bytes, cookie, 8) == 0;
}

bool IsPowerOfTwo(uint64_t value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

} // namespace

CVhdReader::CVhdReader() : openError(ImageOpenError::NotOpen), fileSize(0), trailingFooter(false)
{
    footer.fill(0);
    dynamicHeader.fill(0);
}

CVhdReader::~CVhdReader() = default;

int CVhdReader::Open(std::u16string_view path)
{
    // Nothing of a file opened before may stand in for this one's structures.
    openError = ImageOpenError::NotOpen;
    footer.fill(0);
    dynamicHeader.fill(0);
    bat.clear();
    trailingFooter = false;
    fileSize = 0;
    if (!file.Open(path)) {
        file.Close();
        openError = ImageOpenError::CannotOpenFile;
        return 0;
    }
    fileSize = file.GetSize();
    return 1;
}

int CVhdReader::ReadFooter()
{
    if (fileSize < kFooterBytes) {
        openError = ImageOpenError::FileTooSmall;
        return 0;
    }
    if (!file.ReadAtZeroPadded(fileSize - kFooterBytes, footer.data(), kFooterBytes)) {
        openError = ImageOpenError::VhdNoFooter;
        return 0;
    }
    trailingFooter = HasCookie(footer.data() + kFooterCookieOffset, kFooterCookie);
    if (!trailingFooter) {
        // A dynamic disk keeps a copy of its footer at the start; a damaged tail need not lose the disk.
        std::array<uint8_t, kFooterBytes> copy{};
        if (!file.ReadAtZeroPadded(0, copy.data(), kFooterBytes) ||
            !HasCookie(copy.data() + kFooterCookieOffset, kFooterCookie) ||
            (ReadBigEndian32(copy.data() + kFooterDiskTypeOffset) != kDiskTypeDynamic &&
             ReadBigEndian32(copy.data() + kFooterDiskTypeOffset) != kDiskTypeDifferencing)) {
            openError = ImageOpenError::VhdNoFooter;
            return 0;
        }
        footer = copy;
    }
    switch (GetDiskType()) {
    case kDiskTypeFixed:
        // The data of a fixed disk is the file before its footer: a larger size would read as zeros
        // that no disk ever held, for as long as the footer claims.
        if (GetCurrentSize() > fileSize - kFooterBytes) {
            openError = ImageOpenError::VhdFixedSizeBeyondFile;
            return 0;
        }
        openError = ImageOpenError::None;
        return 1;
    case kDiskTypeDynamic:
        return ReadDynamicHeader();
    case kDiskTypeDifferencing:
        openError = ImageOpenError::VhdDifferencing;
        return 0;
    default:
        openError = ImageOpenError::VhdUnknownDiskType;
        return 0;
    }
}

int CVhdReader::ReadDynamicHeader()
{
    const uint64_t headerPosition = ReadBigEndian64(footer.data() + kFooterDataOffsetOffset);
    if (fileSize < kDynamicHeaderBytes || headerPosition > fileSize - kDynamicHeaderBytes ||
        !file.ReadAtZeroPadded(headerPosition, dynamicHeader.data(), kDynamicHeaderBytes) ||
        !HasCookie(dynamicHeader.data() + kDynamicCookieOffset, kDynamicCookie)) {
        openError = ImageOpenError::VhdBadDynamicHeader;
        return 0;
    }
    const uint32_t blockSize = GetBlockSize();
    if (!IsPowerOfTwo(blockSize) || blockSize < kSmallestBlockBytes) {
        openError = ImageOpenError::VhdBadBlockSize;
        return 0;
    }
    const uint64_t tablePosition = ReadBigEndian64(dynamicHeader.data() + kDynamicTableOffsetOffset);
    const uint64_t tableBytes = static_cast<uint64_t>(GetMaxTableEntries()) * 4;
    if (tablePosition > fileSize || tableBytes > fileSize - tablePosition) {
        openError = ImageOpenError::VhdTableOutsideFile;
        return 0;
    }
    const uint64_t blocksNeeded = GetCurrentSize() / blockSize + (GetCurrentSize() % blockSize != 0 ? 1 : 0);
    if (GetMaxTableEntries() < blocksNeeded) {
        openError = ImageOpenError::VhdTableTooSmall;
        return 0;
    }
    if (!LoadBat()) {
        openError = ImageOpenError::VhdTableOutsideFile;
        return 0;
    }
    openError = ImageOpenError::None;
    return 1;
}

uint32_t CVhdReader::GetMaxTableEntries() const
{
    return ReadBigEndian32(dynamicHeader.data() + kDynamicMaxEntriesOffset);
}

int CVhdReader::LoadBat()
{
    bat.clear();
    const uint32_t entries = GetMaxTableEntries();
    if (entries == 0)
        return 1;
    uint64_t position = ReadBigEndian64(dynamicHeader.data() + kDynamicTableOffsetOffset);
    // The caller has checked that the table lies inside the file, so the list is bounded by it.
    bat.reserve(entries);
    std::vector<uint8_t> chunk(std::min<size_t>(static_cast<size_t>(entries) * 4, 65536));
    while (bat.size() < entries) {
        const uint32_t take = static_cast<uint32_t>(std::min<size_t>(entries - bat.size(), chunk.size() / 4));
        if (!file.ReadAtZeroPadded(position, chunk.data(), take * 4)) {
            bat.clear();
            return 0;
        }
        for (uint32_t index = 0; index < take; ++index)
            bat.push_back(ReadBigEndian32(chunk.data() + 4 * index));
        position += static_cast<uint64_t>(take) * 4;
    }
    return 1;
}

uint32_t CVhdReader::GetDiskType() const
{
    const uint32_t type = ReadBigEndian32(footer.data() + kFooterDiskTypeOffset);
    if (type == 0)
        return 1;
    if (type == 2 || type == 3 || type == 4 || type == 101)
        return type;
    return 5;
}

uint64_t CVhdReader::GetCurrentSize() const
{
    return ReadBigEndian64(footer.data() + kFooterCurrentSizeOffset);
}

uint32_t CVhdReader::GetBlockSize() const
{
    return ReadBigEndian32(dynamicHeader.data() + kDynamicBlockSizeOffset);
}

uint32_t CVhdReader::GetCylinders() const
{
    return ReadBigEndian16(footer.data() + kFooterGeometryOffset);
}

uint32_t CVhdReader::GetHeads() const
{
    return footer[kFooterGeometryOffset + 2];
}

uint32_t CVhdReader::GetSectorsPerTrack() const
{
    return footer[kFooterGeometryOffset + 3];
}

uint64_t CVhdReader::Seek(uint64_t offset, uint32_t origin, uint32_t direction)
{
    return file.Seek(offset, origin, direction);
}

int CVhdReader::Read(void* buffer, uint32_t count)
{
    return file.Read(buffer, count);
}

int CVhdReader::Close()
{
    file.Close();
    return 1;
}
