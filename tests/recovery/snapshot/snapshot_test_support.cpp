#include "snapshot_test_support.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/save/save_files.h"
#include "engine_probe/extensive_ntfs_rows.h"
#include "engine_probe/probe_scan_rows.h"
#include "save_test_support.h"
#include "ui_recorder.h"

namespace {

// Values joined with "|", texts in UTF-8.
class Line
{
public:
    explicit Line(const char* kind) { text << kind; }
    Line& operator<<(std::uint64_t value)
    {
        text << '|' << value;
        return *this;
    }
    Line& operator<<(const char16_t* name)
    {
        text << '|' << Utf8(name ? std::u16string_view(name) : std::u16string_view());
        return *this;
    }
    Line& operator<<(const char* ansi)
    {
        text << '|' << (ansi ? ansi : "");
        return *this;
    }
    std::string Str() const { return text.str(); }

private:
    std::ostringstream text;
};

bool WithinVolume(const NtfsFileNode& node)
{
    return node.recordSector > VolumeParams.clusterBase && node.recordSector <= VolumeParams.endSector;
}

} // namespace

std::vector<std::string> DumpSnapshotState()
{
    std::vector<std::string> lines;
    const VolumeParamsBlock& v = VolumeParams;
    lines.push_back((Line("volume") << v.scanFsCode << v.rangeStart << v.rangeCount << v.rangeEnd
                                    << v.driveIndex << v.fsCode << v.fatSize << v.sectorsPerCluster
                                    << v.rootDirSectors << v.reservedSectors << v.clusterBase << v.fat1Start
                                    << v.fat2Start << v.mftStart << v.mftMirrStart << v.unused
                                    << v.indexSectors << v.endSector << v.volumeNumber)
                        .Str());
    // The NTFS scans leave the next-ID counter at 0 (their IDs are sectors); a load sets it to the number
    // of files, as the program does. It counts for FAT and File Trace only.
    const std::uint32_t nextId =
        VolumeParams.fsCode == kFsNtfs && ScanSelection.scanKind != kScanFileTrace ? 0 : fileCount;
    lines.push_back((Line("state") << ScanSelection.scanKind << folderCount << nextId
                                   << SourceState.deviceIndex << SourceState.sourceKind)
                        .Str());
    for (const FatFolderRec* r = fatFolders.head; r; r = r->next)
        lines.push_back((Line("fat-folder") << r->name << r->firstCluster << r->parentCluster << r->writeDate
                                            << r->accessDate << r->deleted)
                            .Str());
    for (const FatFileRec* r = fatFiles.head; r; r = r->next)
        lines.push_back((Line("fat-file") << r->name << r->firstCluster << r->parentCluster << r->writeDate
                                          << r->accessDate << r->size << r->deleted << r->fileId)
                            .Str());
    for (const NtfsEntryNode* n = ntfsEntryNodes.head; n; n = n->next)
        lines.push_back((Line("ntfs-folder") << n->name << n->folderNumber << n->parentNumber
                                             << n->creationTime << n->changeTime << n->deleted << n->reserved)
                            .Str());
    for (const NtfsScanNode* n = ntfsScanNodes.head; n; n = n->next)
        lines.push_back((Line("ntfs-scan-file")
                         << n->name << n->recordNumber << n->parentNumber << n->creationTime << n->changeTime
                         << n->dataSize << n->deleted << n->dataRecordSector)
                            .Str());
    for (const NtfsFileNode* n = ntfsFileNodes.head; n; n = n->next)
        if (WithinVolume(*n))
            lines.push_back((Line("ntfs-file-node")
                             << n->name << n->recordSector << n->parentNumber << n->reserved
                             << n->creationTime << n->changeTime << n->dataSize << n->reserved2 << n->deleted)
                                .Str());
    for (const FileSignatureRec* r = fileSignatureList.head; r; r = r->next)
        lines.push_back((Line("signature")
                         << r->extension << r->typeName << r->signatureLength << r->signature << r->number)
                            .Str());
    for (const TraceFoundRec* r = traceFoundList.head; r; r = r->next)
        lines.push_back(
            (Line("trace-item") << r->name << r->extension << r->typeName << r->sector << r->number).Str());
    return lines;
}

std::vector<std::string> ResultRowsAsProbePrints()
{
    std::vector<std::string> lines;
    if (ScanSelection.scanKind == kScanFileTrace) {
        for (const TraceFoundRec* r = traceFoundList.head; r; r = r->next)
            lines.push_back((Line("item") << r->name << r->extension << r->typeName << r->sector).Str());
        return lines;
    }
    std::vector<ProbeScanRow> rows;
    if (VolumeParams.fsCode == kFsNtfs && ScanSelection.scanKind == kScanExtensive) {
        for (const QuickNtfsRow& row : CollectExtensiveNtfsRows())
            rows.push_back({row.folder ? 'D' : 'F', row.deleted, row.size,
                            static_cast<std::uint32_t>(row.entryId), Utf8(row.path)});
    } else {
        rows = CollectProbeScanRows();
    }
    for (const ProbeScanRow& row : rows)
        lines.push_back(FormatProbeScanRow(row));
    lines.push_back(FormatProbeScanSummary(SummarizeProbeScanRows(rows)));
    return lines;
}

std::map<std::string, std::string> SaveEverything(UiRecorder& recorder, const std::filesystem::path& folder,
                                                  std::uint32_t* failed)
{
    recorder.markedEntryIds.clear();
    recorder.markedTreeItems.clear();
    if (ScanSelection.scanKind == kScanFileTrace) {
        for (const TraceFoundRec* r = traceFoundList.head; r; r = r->next)
            recorder.markedEntryIds.push_back(r->number);
    } else if (VolumeParams.fsCode == kFsNtfs) {
        for (const NtfsEntryNode* n = ntfsEntryNodes.head; n; n = n->next)
            if (n->treeItem != 0)
                recorder.markedTreeItems.push_back(n->treeItem);
        if (ScanSelection.scanKind == kScanExtensive) {
            for (const NtfsFileNode* n = ntfsFileNodes.head; n; n = n->next)
                if (n->parentNumber == 5 && WithinVolume(*n))
                    recorder.markedEntryIds.push_back(n->recordSector);
        } else {
            for (const NtfsScanNode* n = ntfsScanNodes.head; n; n = n->next)
                if (n->parentNumber == 5)
                    recorder.markedEntryIds.push_back(n->dataRecordSector);
        }
    } else {
        for (const FatFolderRec* r = fatFolders.head; r; r = r->next)
            if (r->treeItem != 0)
                recorder.markedTreeItems.push_back(r->treeItem);
        for (const FatFileRec* r = fatFiles.head; r; r = r->next)
            if (r->parentCluster == 0)
                recorder.markedEntryIds.push_back(r->fileId);
    }
    std::filesystem::create_directories(folder);
    recorder.targetFolder = EngineText(folder);
    const SaveOutcomeBlock outcome = SaveSelection();
    if (failed)
        *failed = outcome.failed;

    std::map<std::string, std::string> saved;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            saved[Utf8Name(std::filesystem::relative(entry.path(), folder))] =
                Md5Hex(ReadFileBytes(entry.path()));
    return saved;
}

std::string FileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
