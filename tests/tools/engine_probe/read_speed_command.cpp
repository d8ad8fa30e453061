// engine-probe read-speed IMAGE: reads the whole virtual disk in 1 MiB pieces through the readers and
// prints kind, bytes, milliseconds and MiB/s. A benchmark figure, not a test.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "engine_probe/probe_command.h"
#include "engine_probe/probe_disk.h"

int RunReadSpeedCommand(const ProbeArguments& arguments)
{
    if (arguments.size() != 1) {
        std::fputs("usage: engine-probe read-speed IMAGE\n", stderr);
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
    uint64_t checksum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (uint64_t offset = 0; offset < size; offset += kPieceBytes) {
        const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(kPieceBytes, size - offset));
        if (!disk.ReadAt(offset, piece.data(), count)) {
            std::fprintf(stderr, "read failed at byte %" PRIu64 "\n", offset);
            return kProbeReadFailed;
        }
        // Touch the data so that the reads cannot be optimised away.
        checksum += piece[0] + piece[count - 1];
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double mebibytesPerSecond = seconds > 0 ? static_cast<double>(size) / (1 << 20) / seconds : 0;
    std::printf("%s\t%" PRIu64 "\t%.0f\t%.1f\n", ImageKindName(disk.GetKind()), size, seconds * 1000,
                mebibytesPerSecond);
    std::fprintf(stderr, "(checksum %" PRIu64 ")\n", checksum);
    return kProbeOk;
}
