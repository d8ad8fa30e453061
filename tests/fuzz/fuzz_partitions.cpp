// Partition tables: the input is a disk read as a logical volume, its table read as the drive step reads
// it (sector 0, then 61 and 62), extended partitions followed.
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/partitions/partition_search.h"
#include "engine/recovery/platform/platform_io.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = FuzzInputFile(data, size);
    if (path.empty())
        return 0;
    const PlatformHandle volume = PlatformOpenForRead(FuzzWidePath(path).c_str(), ReadShare::ReadAndWrite);
    if (!IsUsableHandle(volume))
        return 0;
    SourceState.sourceKind = kSourceLogicalVolume;
    SourceState.volumeHandle = volume;
    ParsePartitionTable();
    SourceState.volumeHandle = kNoHandle;
    PlatformCloseHandle(volume);
    ResetEngineState();
    return 0;
}
