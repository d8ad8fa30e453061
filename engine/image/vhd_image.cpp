#include "engine/image/vhd_image.h"

#include <algorithm>
#include <cstring>

#include "engine/image/read_past_end.h"

namespace {

constexpr uint64_t kSectorBytes = 512;
// One bitmap bit per sector, the bitmap padded to whole sectors.
constexpr uint64_t kBytesPerBitmapSector = kSectorBytes * 8 * kSectorBytes;

} // namespace

CVhdImage::CVhdImage()
{
    ResetState();
}

CVhdImage::~CVhdImage() = default;

void CVhdImage::ResetState()
{
    blockOffsets.clear();
    diskType = 0;
    blockIndex = -1;
    position = 0;
    blockStart = 0;
    blockSize = 0;
    cylinders = 0;
    heads = 0;
    sectorsPerTrack = 0;
    openError = ImageOpenError::NotOpen;
    opened = false;
    diskSize = 0;
    virtualPos = 0;
    dataEnd = 0;
    stoppedAtFileEnd = false;
}

int CVhdImage::Open(std::u16string_view path)
{
    Close();
    if (!reader.Open(path) || !reader.ReadFooter()) {
        openError = reader.GetOpenError();
        reader.Close();
        return 0;
    }
    diskType = reader.GetDiskType();
    diskSize = reader.GetCurrentSize();
    cylinders = reader.GetCylinders();
    heads = reader.GetHeads();
    sectorsPerTrack = reader.GetSectorsPerTrack();
    dataEnd = reader.GetFileSize() - (reader.HasTrailingFooter() ? CVhdReader::kFooterBytes : 0);
    if (diskType == CVhdReader::kDiskTypeDynamic) {
        blockSize = reader.GetBlockSize();
        BuildBlockOffsets();
    }
    openError = ImageOpenError::None;
    opened = true;
    SeekVirtual(0);
    return 1;
}

void CVhdImage::BuildBlockOffsets()
{
    blockOffsets.clear();
    if (blockSize == 0)
        return;
    // Each block's data follows its sector bitmap: one sector up to 2 MiB blocks, more above.
    const uint64_t bitmapSectors =
        std::max<uint64_t>(1, (blockSize + kBytesPerBitmapSector - 1) / kBytesPerBitmapSector);
    blockOffsets.reserve(reader.bat.size());
    for (uint32_t entry : reader.bat)
        blockOffsets.push_back(
            entry == CVhdReader::kUnallocatedBlock ? 0 : (entry + bitmapSectors) * kSectorBytes);
}

int CVhdImage::SeekVirtual(uint64_t virtualOffset)
{
    virtualPos = virtualOffset;
    if (!opened)
        return 0;
    if (diskType != CVhdReader::kDiskTypeDynamic) {
        position = virtualOffset;
        return 1;
    }
    const uint64_t block = virtualOffset / blockSize;
    if (block < blockOffsets.size()) {
        blockIndex = static_cast<int64_t>(block);
        blockStart = blockOffsets[block];
        position = blockStart == 0 ? 0 : blockStart + virtualOffset % blockSize;
    } else {
        blockIndex = -1;
        blockStart = 0;
        position = 0;
    }
    return 1;
}

uint32_t CVhdImage::ReadData(uint64_t start, uint8_t* out, uint32_t count)
{
    if (start >= dataEnd) {
        stoppedAtFileEnd = true;
        return 0;
    }
    const auto readable = static_cast<uint32_t>(std::min<uint64_t>(count, dataEnd - start));
    return ReadStoredPart(reader.file, start, out, readable, stoppedAtFileEnd);
}

int CVhdImage::Read(void* buffer, uint32_t count)
{
    stoppedAtFileEnd = false;
    if (!opened)
        return 0;
    return ReadDiskInParts(static_cast<uint8_t*>(buffer), count, virtualPos, diskSize,
                           [this](uint8_t* out, uint32_t remaining) -> uint32_t {
                               const uint64_t limit = std::min<uint64_t>(remaining, diskSize - virtualPos);
                               uint64_t part = limit;
                               if (diskType == CVhdReader::kDiskTypeDynamic) {
                                   SeekVirtual(virtualPos);
                                   // A block's bitmap stands between its data and the block before,
                                   // so mostly only unallocated blocks run on into one another.
                                   part = RunOnAcrossUnits(
                                       std::min(limit, blockSize - virtualPos % blockSize), limit,
                                       blockStart == 0 ? 0 : position, virtualPos / blockSize + 1, blockSize,
                                       [this](uint64_t block, uint64_t& offset) {
                                           offset = block < blockOffsets.size() ? blockOffsets[block] : 0;
                                           return true;
                                       });
                                   if (blockStart == 0)
                                       std::memset(out, 0, static_cast<size_t>(part));
                                   else
                                       part = ReadData(position, out, static_cast<uint32_t>(part));
                               } else {
                                   part = ReadData(virtualPos, out, static_cast<uint32_t>(part));
                               }
                               if (part == 0)
                                   return 0;
                               position += part;
                               return static_cast<uint32_t>(part);
                           });
}

int CVhdImage::Close()
{
    const int result = reader.Close();
    ResetState();
    return result;
}
