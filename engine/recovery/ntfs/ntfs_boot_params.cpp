#include "engine/recovery/ntfs/ntfs_boot_params.h"

#include <cstdint>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"

namespace {

struct BootSector
{
    std::uint8_t bytes[kSectorSize] = {};
    std::uint32_t sectorsPerCluster = 0;
};

bool LoadBootSector(std::uint32_t sector, BootSector& boot)
{
    ReadSectors(0, sector, 0, 1, boot.bytes);
    if (boot.bytes[kBootSignatureOffset] != 0x55 || boot.bytes[kBootSignatureOffset + 1] != 0xAA)
        return false;
    const std::uint32_t sectorsPerCluster = boot.bytes[kNtfsBootSectorsPerCluster];
    if (sectorsPerCluster == 0 || sectorsPerCluster > 128 ||
        (sectorsPerCluster & (sectorsPerCluster - 1)) != 0)
        return false;
    boot.sectorsPerCluster = sectorsPerCluster;
    return true;
}

// The sector that the boot sector's cluster field at `field` names, when a file record begins there;
// else 0.
std::uint32_t FileRecordSector(const BootSector& boot, std::uint32_t field)
{
    const std::uint64_t sector =
        VolumeParams.rangeStart +
        static_cast<std::uint64_t>(ReadLittleEndian32(boot.bytes, field)) * boot.sectorsPerCluster;
    std::uint8_t first[kSectorSize];
    if (sector == 0 || sector > UINT32_MAX ||
        !ReadSectors(0, static_cast<std::uint32_t>(sector), 0, 1, first) || !HasSignature(first, "FILE"))
        return 0;
    return static_cast<std::uint32_t>(sector);
}

std::uint32_t IndexRecordSectors(const BootSector& boot)
{
    const auto size = static_cast<std::int8_t>(boot.bytes[kNtfsBootIndexRecordSize]);
    if (size >= 0)
        return static_cast<std::uint32_t>(size) * boot.sectorsPerCluster;
    // A negative value gives the size in bytes as a power of two (0xF4: 4096 bytes).
    const int shift = -size;
    return shift >= 9 && shift <= 16 ? (1u << shift) / kSectorSize : 8;
}

} // namespace

int ReadNtfsPartitionParams()
{
    BootSector used;
    BootSector other;
    std::uint32_t otherSector = VolumeParams.rangeEnd;
    if (!LoadBootSector(VolumeParams.rangeStart, used)) {
        otherSector = VolumeParams.rangeStart;
        if (!LoadBootSector(VolumeParams.rangeEnd, used))
            return 0;
    }
    const bool haveOther = LoadBootSector(otherSector, other);

    std::uint32_t mftStart = FileRecordSector(used, kNtfsBootMftCluster);
    if (mftStart == 0 && haveOther)
        mftStart = FileRecordSector(other, kNtfsBootMftCluster);
    std::uint32_t mirrorStart = FileRecordSector(used, kNtfsBootMirrorCluster);
    if (mirrorStart == 0 && haveOther)
        mirrorStart = FileRecordSector(other, kNtfsBootMirrorCluster);
    // The walk starts at the MFT: a mirror alone gives no parameters to scan with.
    if (mftStart == 0)
        return 0;

    VolumeParams.sectorsPerCluster = used.sectorsPerCluster;
    VolumeParams.clusterBase = VolumeParams.rangeStart;
    VolumeParams.mftStart = mftStart;
    VolumeParams.mftMirrStart = mirrorStart;
    VolumeParams.indexSectors = IndexRecordSectors(used);
    return 1;
}
