#include "engine/recovery/trace/office_naming.h"

#include <algorithm>
#include <vector>

#include "engine/recovery/core/sector_source.h"

namespace {

// The copy is 16 pieces of 128 sectors (64 KiB), the 1 MiB that begins at the found sector.
constexpr std::uint32_t kSectorsPerPiece = 128;
constexpr int kPieces = 16;
constexpr std::size_t kPieceBytes = std::size_t{kSectorsPerPiece} * 512;

} // namespace

std::u16string OfficeExtensionForAppName(std::u16string_view appName)
{
    if (appName.find(u"PowerPoint") != std::u16string_view::npos)
        return u".ppt";
    if (appName.find(u"Excel") != std::u16string_view::npos)
        return u".xls";
    if (appName.find(u"Word") != std::u16string_view::npos)
        return u".doc";
    return u".pub";
}

std::u16string GetOfficeExtension(std::uint64_t sector)
{
    const std::u16string path = OfficeTempFilePath();
    if (path.empty())
        return {};
    std::FILE* file = CreateOfficeTempFile(path.c_str());
    if (!file)
        return {};

    std::vector<std::uint8_t> piece(kPieceBytes);
    bool copied = true;
    for (int i = 0; i < kPieces; ++i) {
        // 64-bit sector numbers: a document just below sector 2^32 continues past it, not at sector 0.
        const std::uint64_t at = sector + std::uint64_t{kSectorsPerPiece} * static_cast<std::uint64_t>(i);
        std::fill(piece.begin(), piece.end(), std::uint8_t{0});
        ReadSectors(0, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(at >> 32), kSectorsPerPiece,
                    piece.data());
        copied = std::fwrite(piece.data(), 1, piece.size(), file) == piece.size() && copied;
    }
    copied = std::fclose(file) == 0 && copied;

    // A copy cut short (a full disk) names nothing rather than something wrong.
    const std::u16string appName = copied ? GetOfficeAppName(path.c_str()) : std::u16string();
    RemoveOfficeTempFile(path.c_str());
    if (!copied)
        return {};
    return OfficeExtensionForAppName(appName);
}
