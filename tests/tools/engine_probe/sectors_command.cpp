// engine-probe sectors IMAGE FIRST COUNT: the SHA-256 of COUNT 512-byte sectors from sector FIRST, read
// through the engine's ReadSectors with the image kind chosen by the file extension, as the program's
// image selection chooses it.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string_view>
#include <vector>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/sector_source.h"
#include "engine_probe/probe_command.h"
#include "engine_probe/probe_disk.h"
#include "engine_probe/sha256.h"

namespace {

bool ParseDecimal(std::u16string_view text, uint64_t& value)
{
    value = 0;
    if (text.empty() || text.size() > 20)
        return false;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
        const uint64_t digit = static_cast<uint64_t>(c - u'0');
        if (value > (UINT64_MAX - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    return true;
}

} // namespace

int RunSectorsCommand(const ProbeArguments& arguments)
{
    uint64_t first = 0;
    uint64_t count = 0;
    if (arguments.size() != 3 || !ParseDecimal(arguments[1], first) || !ParseDecimal(arguments[2], count) ||
        count > UINT32_MAX) {
        std::fputs("usage: engine-probe sectors IMAGE FIRST COUNT\n", stderr);
        return kProbeUsage;
    }

    CVmdkSparseExtent extent;
    CImageSource source;
    const std::u16string_view path = arguments[0];
    switch (ImageKindFromPath(path)) {
    case ProbeImageKind::Vmdk:
        ScanSelection.imageKind = kImageVmdk;
        if (!extent.Open(path)) {
            std::printf("refused\t%s\n", extent.GetOpenErrorText());
            return kProbeRefused;
        }
        SourceState.vmdkExtent = &extent;
        break;
    case ProbeImageKind::Vhd:
    case ProbeImageKind::Vhdx: {
        const bool vhd = ImageKindFromPath(path) == ProbeImageKind::Vhd;
        ScanSelection.imageKind = vhd ? kImageVhd : kImageVhdx;
        source.Create(vhd ? CImageSource::kKindVhd : CImageSource::kKindVhdx);
        if (!source.Open(path)) {
            std::printf("refused\t%s\n", source.GetOpenErrorText());
            return kProbeRefused;
        }
        SourceState.imageSource = &source;
        break;
    }
    case ProbeImageKind::Unknown:
        std::puts("refused\tthe file extension is not vmdk, vhd or vhdx");
        return kProbeRefused;
    }
    SourceState.sourceKind = kSourceImage;

    constexpr uint32_t kSectorsPerPiece = 2048;
    std::vector<uint8_t> piece(static_cast<size_t>(kSectorsPerPiece) * kSectorSize);
    Sha256 hash;
    int status = kProbeOk;
    for (uint64_t done = 0; done < count && status == kProbeOk;) {
        const uint32_t sectors = static_cast<uint32_t>(std::min<uint64_t>(kSectorsPerPiece, count - done));
        const uint64_t sector = first + done;
        if (!ReadSectors(0, static_cast<uint32_t>(sector), static_cast<uint32_t>(sector >> 32), sectors,
                         piece.data())) {
            std::fprintf(stderr, "read failed at sector %" PRIu64 "\n", sector);
            status = kProbeReadFailed;
            break;
        }
        hash.Update(piece.data(), static_cast<size_t>(sectors) * kSectorSize);
        done += sectors;
    }
    // The readers live on this stack frame; the engine must not keep them.
    SourceState.vmdkExtent = nullptr;
    SourceState.imageSource = nullptr;
    if (status == kProbeOk)
        std::printf("%s\n", hash.FinishHex().c_str());
    return status;
}
