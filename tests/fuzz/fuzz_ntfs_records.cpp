// NTFS file records: the update sequence, the attribute walk, the names, the data's size and its runs.
#include <cstring>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/ntfs/ntfs_index_parse.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/ntfs/ntfs_run_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint8_t record[kMftRecordSize] = {};
    std::memcpy(record, data, size < sizeof record ? size : sizeof record);
    ApplyFixup(record, sizeof record);
    NtfsFileNameInfo info;
    FindPreferredFileName(record, info);
    std::uint64_t dataSize = 0;
    FindDataSize(record, dataSize);
    std::uint32_t attribute = 0;
    if (FindUnnamedData(record, &attribute) == 2)
        DecodeDataRuns(kMftRecordSize, record, attribute);
    FreeDataRunList();
    FindIndexAllocationI30(record);
    GetFolderNumber(record);
    ResetEngineState();
    return 0;
}
