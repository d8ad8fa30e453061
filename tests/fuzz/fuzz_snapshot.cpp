// Snapshot documents of both kinds: the scan results and the File Trace results read back whole.
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = FuzzInputFile(data, size);
    if (path.empty())
        return 0;
    const std::u16string widePath = FuzzWidePath(path);
    std::uint32_t scanKind = 0;
    PeekSnapshotKind(widePath.c_str(), scanKind);
    ResetEngineState();
    ReadScanSnapshot(widePath.c_str());
    ResetEngineState();
    ReadTraceSnapshot(widePath.c_str());
    ResetEngineState();
    return 0;
}
