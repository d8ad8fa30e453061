// RAR archives of both header formats: the archive's start and every member header.
#include "rar_archive_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryByteSource source(std::vector<std::uint8_t>(data, data + size));
    RarArchiveReader reader(source);
    if (reader.Open() != kRarSuccess)
        return 0;
    RarMember member;
    // Every header moves the reader on, so the members end; the bound only keeps a run short.
    for (int i = 0; i < 100000 && reader.ReadHeader(member) == kRarSuccess; ++i) {
        if (reader.Skip() != kRarSuccess)
            break;
    }
    return 0;
}
