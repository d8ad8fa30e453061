#include "engine/recovery/trace/office_naming.h"

#include <algorithm>
#include <vector>

#include "engine/recovery/core/engine_types.h"
#include "engine/recovery/core/sector_source.h"
#include "engine/recovery/trace/compound_file_reader.h"

namespace {

// A document is read no further than the 1 MiB that begins at the found sector.
constexpr std::uint64_t kDocumentBytes = 1u << 20;

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
    const CompoundFileRead read = [sector](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
        // Whole sectors are read; one the source cannot give reads as zeros, as ReadSectors leaves it.
        const std::uint64_t first = sector + offset / kSectorSize;
        const std::uint64_t skip = offset % kSectorSize;
        const auto sectors = static_cast<std::uint32_t>((skip + count + kSectorSize - 1) / kSectorSize);
        std::vector<std::uint8_t> bytes(std::size_t{sectors} * kSectorSize);
        ReadSectors(0, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(first >> 32), sectors,
                    bytes.data());
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(skip), count, out);
        return true;
    };
    return OfficeExtensionAt(read);
}

std::u16string OfficeExtensionAt(const CompoundFileRead& read)
{
    std::uint8_t first[kSectorSize] = {};
    if (!read(0, sizeof first, first) || !StartsCompoundFile(first))
        return OfficeExtensionForAppName({});
    return OfficeExtensionForAppName(ReadCompoundFileAppName(read, kDocumentBytes));
}
