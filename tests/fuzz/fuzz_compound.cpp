// Compound files (the older Office documents): the application name of their summary information.
#include "engine/recovery/trace/compound_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadCompoundFileAppName(std::span<const std::uint8_t>(data, size));
    return 0;
}
