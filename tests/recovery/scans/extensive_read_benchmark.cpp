// Benchmark of the Extensive Scan's reading (prints figures; not a test): the FAT sector scan over every
// sector of a disk image, as the partition step runs it, and the same reads handed to a visitor that
// only touches each sector. extensive_read_benchmark.sh prints img_cat's time for the same image beside.
//
//   recovery_extensive_read_benchmark IMAGE
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/scan_sectors_fat.h"
#include "engine/recovery/scans/extensive_scan.h"
#include "engine_probe/probe_disk.h"
#include "ntfs_test_volume.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

class TouchEachSector final : public ExtensiveSectorVisitor
{
public:
    bool InspectSector(std::uint32_t, const std::uint8_t* bytes, std::uint32_t) override
    {
        checksum += bytes[0] + bytes[511];
        return true;
    }
    std::uint64_t checksum = 0;
};

void SetWholeDiskRange(std::uint64_t sectors)
{
    VolumeParams.rangeStart = 0;
    VolumeParams.rangeCount = static_cast<std::uint32_t>(sectors);
    VolumeParams.rangeEnd = static_cast<std::uint32_t>(sectors - 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: recovery_extensive_read_benchmark IMAGE\n", stderr);
        return 2;
    }
    const std::string path = argv[1];
    ProbeDisk probe;
    if (!probe.Open(WidePath(path))) {
        std::fprintf(stderr, "refused: %s\n", probe.GetRefusal().c_str());
        return 1;
    }
    const std::uint64_t sectors = probe.GetSize() / 512;
    if (sectors == 0 || sectors > UINT32_MAX) {
        std::fputs("the disk must hold 1 to 2^32 - 1 sectors\n", stderr);
        return 1;
    }
    const double mebibytes = static_cast<double>(sectors) / 2048;

    ResetEngineState();
    AttachedImage image;
    const std::string refusal = image.Attach(path);
    if (!refusal.empty()) {
        std::fprintf(stderr, "refused: %s\n", refusal.c_str());
        return 1;
    }
    SetWholeDiskRange(sectors);
    TouchEachSector visitor;
    ScanThreadControl.done = 0;
    auto began = Clock::now();
    ReadExtensiveRange(visitor);
    const double readSeconds = Seconds(began);

    SetWholeDiskRange(sectors);
    VolumeParams.scanFsCode = kFsFat32;
    PrepareExtensiveScan();
    began = Clock::now();
    ScanSectorsFat();
    const double scanSeconds = Seconds(began);

    std::printf("disk\t%.0f MiB\n", mebibytes);
    std::printf("engine reads, every sector touched\t%.2f s\t%.0f MiB/s\n", readSeconds,
                readSeconds > 0 ? mebibytes / readSeconds : 0);
    std::printf("Extensive Scan sector scan (FAT)\t%.2f s\t%.0f MiB/s\n", scanSeconds,
                scanSeconds > 0 ? mebibytes / scanSeconds : 0);
    std::fprintf(stderr, "(checksum %" PRIu64 ", %u boot sectors)\n", visitor.checksum,
                 static_cast<unsigned>(bootSectorCount));
    ResetEngineState();
    return 0;
}
