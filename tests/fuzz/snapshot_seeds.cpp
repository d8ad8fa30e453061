// Writes the seeds of the snapshot entry into the folder named on the command line: a Quick Scan
// snapshot of a FAT volume with a folder and files, an NTFS one, and a File Trace snapshot, all written
// by the engine's own writers.
#include <string>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/fat/fat_records.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine/recovery/trace/trace_records.h"

namespace {

// 1 January 2025 as a FAT date word.
constexpr std::uint16_t kFatDate = (45 << 9) | (1 << 5) | 1;

std::u16string Wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    bool written = true;

    ResetEngineState();
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.fsCode = kFsFat32;
    VolumeParams.sectorsPerCluster = 8;
    AddFatFolderRec(u"Folder with a long name", 5, 2, kFatDate, kFatDate, 0, 0);
    AddFatFileRec(u"report.txt", 6, 5, kFatDate, kFatDate, 1234, 0);
    AddFatFileRec(u"_eleted.doc", 9, 2, kFatDate, kFatDate, 40000, 1);
    written = WriteScanSnapshotFile(Wide(folder + "/fat.vqdx").c_str()) && written;

    ResetEngineState();
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.fsCode = kFsNtfs;
    VolumeParams.sectorsPerCluster = 8;
    AddNtfsFolderNode(u"Documents", 40, 5, 64, 0, 128807102490000000ULL, 128807102490000000ULL, 0, 0);
    AddNtfsScanNode(48, u"notes.txt", 65, 64, 128807102490000000ULL, 128807102490000000ULL, 4096, 0);
    written = WriteScanSnapshotFile(Wide(folder + "/ntfs.vqdx").c_str()) && written;

    ResetEngineState();
    ScanSelection.scanKind = kScanFileTrace;
    AddTraceFoundRec(u"1.jpg", u".jpg", u"JPEG picture", 1, 100);
    AddTraceFoundRec(u"2.doc", u".doc", u"Word document", 2, 300);
    written = WriteTraceSnapshotFile(Wide(folder + "/trace.vqdx").c_str()) && written;
    ResetEngineState();
    return written ? 0 : 1;
}
