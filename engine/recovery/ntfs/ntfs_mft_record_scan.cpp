#include "engine/recovery/ntfs/ntfs_mft_record_scan.h"

#include "engine/image/byte_order.h"
#include "engine/recovery/ntfs/ntfs_index_parse.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"

namespace {

bool SameTextIgnoringCase(const char16_t* name, const char* ascii)
{
    for (; *ascii; ++name, ++ascii) {
        char16_t unit = *name;
        if (unit >= u'A' && unit <= u'Z')
            unit = static_cast<char16_t>(unit - u'A' + u'a');
        char letter = *ascii;
        if (letter >= 'A' && letter <= 'Z')
            letter = static_cast<char>(letter - 'A' + 'a');
        if (unit != static_cast<unsigned char>(letter))
            return false;
    }
    return *name == 0;
}

} // namespace

void ProcessMftRecord(std::uint32_t recordSector, const std::uint8_t* heldRecord)
{
    std::uint8_t record[kMftRecordSize];
    NtfsFileNameInfo info;
    const bool read = heldRecord ? RecordFromBytes(heldRecord, record) : ReadRecordAt(recordSector, record);
    if (!read || ReadLittleEndian64(record, kRecordBaseReference) != 0 ||
        !FindPreferredFileName(record, info))
        return;
    const std::uint8_t flags = record[kRecordFlags];
    if (flags == 0 || flags == kRecordInUse) {
        std::uint64_t size = 0;
        FindDataSize(record, size);
        AddNtfsFileNode(info.name, recordSector, info.parentNumber, info.creationTime, info.changeTime, size,
                        flags == 0 ? 1 : 0);
    } else if (flags == kRecordIsFolder || flags == (kRecordIsFolder | kRecordInUse)) {
        std::uint32_t folderNumber = 0;
        if (SameTextIgnoringCase(info.name, "."))
            folderNumber = kNtfsRootRecord;
        else if (SameTextIgnoringCase(info.name, "$Extend"))
            folderNumber = kNtfsExtendRecord;
        else
            folderNumber = GetFolderNumber(record);
        AddNtfsFolderNode(info.name, recordSector, info.parentNumber, folderNumber, 0, info.creationTime,
                          info.changeTime, GetFirstIndexCluster(kMftRecordSize, record),
                          (flags & kRecordInUse) ? 0 : 1);
    }
}
