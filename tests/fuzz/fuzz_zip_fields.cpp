// The fields of a ZIP member that the archive list reads itself: the extended-time extra field, the
// empty-archive test and the attributes of the system that made it.
#include "zip_entry_fields.h"

#include "engine/image/byte_order.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ZipExtendedTimes times;
    ReadZipExtendedTimes(data, size, times);
    IsEmptyZipArchive(data, size);
    if (size >= 6)
        ZipWindowsAttributes(ReadLittleEndian32(data, 0), ReadLittleEndian16(data, 4));
    return 0;
}
