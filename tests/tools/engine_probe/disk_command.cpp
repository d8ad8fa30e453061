// engine-probe disk IMAGE: kind, virtual size, SHA-256 of the whole virtual disk (read in 1 MiB
// pieces through the readers), cylinders, heads, sectors per track.
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "engine_probe/probe_command.h"
#include "engine_probe/probe_disk.h"
#include "engine_probe/sha256.h"

int RunDiskCommand(const ProbeArguments& arguments)
{
    if (arguments.size() != 1) {
        std::fputs("usage: engine-probe disk IMAGE\n", stderr);
        return kProbeUsage;
    }
    ProbeDisk disk;
    if (!disk.Open(arguments[0])) {
        std::printf("refused\t%s\n", disk.GetRefusal().c_str());
        return kProbeRefused;
    }
    const uint64_t size = disk.GetSize();
    constexpr uint32_t kPieceBytes = 1u << 20;
    std::vector<uint8_t> piece(kPieceBytes);
    Sha256 hash;
    for (uint64_t offset = 0; offset < size; offset += kPieceBytes) {
        const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(kPieceBytes, size - offset));
        if (!disk.ReadAt(offset, piece.data(), count)) {
            std::fprintf(stderr, "read failed at byte %" PRIu64 "\n", offset);
            return kProbeReadFailed;
        }
        hash.Update(piece.data(), count);
    }
    std::printf("%s\t%" PRIu64 "\t%s\t%" PRIu32 "\t%" PRIu32 "\t%" PRIu32 "\n", ImageKindName(disk.GetKind()),
                size, hash.FinishHex().c_str(), disk.GetCylinders(), disk.GetHeads(),
                disk.GetSectorsPerTrack());
    return kProbeOk;
}
