#include "engine/recovery/ntfs/ntfs_run_list.h"

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_alloc.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"

namespace {

constexpr unsigned kMaxFieldWidth = 4;

} // namespace

NtfsRunReader::NtfsRunReader(const std::uint8_t* buffer, std::uint32_t begin, std::uint32_t end)
    : buffer(buffer), position(begin), end(end)
{}

NtfsRunStep NtfsRunReader::Next(NtfsRun& run)
{
    if (position >= end)
        return NtfsRunStep::Fault;
    const std::uint8_t header = buffer[position];
    if (header == 0)
        return NtfsRunStep::End;
    const unsigned lengthWidth = header & 0x0F;
    const unsigned offsetWidth = header >> 4;
    if (lengthWidth == 0 || lengthWidth > kMaxFieldWidth || offsetWidth > kMaxFieldWidth ||
        1 + lengthWidth + offsetWidth > end - position)
        return NtfsRunStep::Fault;
    const std::uint8_t* field = buffer + position + 1;
    run.length = ReadUnsignedLE(field, lengthWidth);
    if (run.length == 0)
        return NtfsRunStep::Fault;
    run.sparse = offsetWidth == 0;
    if (run.sparse) {
        run.startCluster = 0;
    } else {
        const std::int64_t offset =
            haveOffset ? static_cast<std::int64_t>(ReadSignedLE(field + lengthWidth, offsetWidth))
                       : static_cast<std::int64_t>(ReadUnsignedLE(field + lengthWidth, offsetWidth));
        const std::int64_t cluster = lastCluster + offset;
        if (cluster < 0 || cluster > UINT32_MAX)
            return NtfsRunStep::Fault;
        lastCluster = cluster;
        haveOffset = true;
        run.startCluster = static_cast<std::uint32_t>(cluster);
    }
    position += 1 + lengthWidth + offsetWidth;
    return NtfsRunStep::Run;
}

int DecodeDataRuns(std::uint32_t limit, const std::uint8_t* record, std::uint32_t attributeOffset)
{
    FreeDataRunList();
    return AppendDataRuns(limit, record, attributeOffset);
}

int AppendDataRuns(std::uint32_t limit, const std::uint8_t* record, std::uint32_t attributeOffset)
{
    if (limit > kMftRecordSize)
        limit = kMftRecordSize;
    if (!record || attributeOffset > limit || limit - attributeOffset < kNonResidentHeaderSize)
        return 0;
    NtfsAttribute attribute;
    attribute.offset = attributeOffset;
    attribute.type = ReadLittleEndian32(record, attributeOffset + kAttrType);
    attribute.length = ReadLittleEndian32(record, attributeOffset + kAttrLength);
    attribute.nonResident = record[attributeOffset + kAttrNonResident] != 0;
    attribute.nameLength = record[attributeOffset + kAttrNameLength];
    std::uint32_t runList = 0;
    if (attribute.length > limit - attributeOffset || !NonResidentRunList(record, attribute, runList))
        return 0;

    NtfsRunReader reader(record, runList, attributeOffset + attribute.length);
    NtfsRun run;
    for (;;) {
        switch (reader.Next(run)) {
        case NtfsRunStep::End:
            return 1;
        case NtfsRunStep::Fault:
            return 0;
        case NtfsRunStep::Run: {
            auto* node = AllocateRecord<DataRunNode>();
            node->startCluster = run.startCluster;
            node->length = run.length;
            node->sparse = run.sparse ? 1 : 0;
            LinkAtTail(dataRuns, node);
            ++dataRunCount;
            break;
        }
        }
    }
}
