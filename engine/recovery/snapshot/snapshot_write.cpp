// Writing snapshot documents, and the frame's save command around it.
#include <ctime>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/save/save_output_io.h"
#include "engine/recovery/snapshot/snapshot_document.h"
#include "engine/recovery/snapshot/snapshot_records.h"

namespace {

bool IsFat(std::uint16_t fsCode)
{
    return fsCode == kFsFat16 || fsCode == kFsFat32;
}

// The Extensive Scan collected file records from its whole range; the volume keeps those after its
// first sector and up to its last, as the listing shows them.
bool WithinVolume(const NtfsFileNode& node)
{
    return node.recordSector > VolumeParams.clusterBase && node.recordSector <= VolumeParams.endSector;
}

template <class Record> std::uint32_t CountRecords(const Record* record)
{
    std::uint32_t count = 0;
    for (; record; record = record->next)
        ++count;
    return count;
}

void WriteFatBody(SnapshotWriter& out)
{
    out.U32(CountRecords(fatFolders.head));
    for (const FatFolderRec* record = fatFolders.head; record; record = record->next)
        WriteFatFolderRecord(out, *record);
    out.U32(CountRecords(fatFiles.head));
    for (const FatFileRec* record = fatFiles.head; record; record = record->next)
        WriteFatFileRecord(out, *record);
}

void WriteNtfsBody(SnapshotWriter& out, bool extensive)
{
    out.U32(CountRecords(ntfsEntryNodes.head));
    for (const NtfsEntryNode* node = ntfsEntryNodes.head; node; node = node->next)
        WriteNtfsFolderRecord(out, *node);
    if (!extensive) {
        out.U32(CountRecords(ntfsScanNodes.head));
        for (const NtfsScanNode* node = ntfsScanNodes.head; node; node = node->next)
            WriteNtfsScanFileRecord(out, *node);
        return;
    }
    std::uint32_t kept = 0;
    for (const NtfsFileNode* node = ntfsFileNodes.head; node; node = node->next)
        kept += WithinVolume(*node) ? 1 : 0;
    out.U32(kept);
    for (const NtfsFileNode* node = ntfsFileNodes.head; node; node = node->next)
        if (WithinVolume(*node))
            WriteNtfsFileNodeRecord(out, *node);
}

void WriteTraceBody(SnapshotWriter& out)
{
    out.U32(CountRecords(fileSignatureList.head));
    for (const FileSignatureRec* record = fileSignatureList.head; record; record = record->next)
        WriteSignatureRecord(out, *record);
    out.U32(CountRecords(traceFoundList.head));
    for (const TraceFoundRec* record = traceFoundList.head; record; record = record->next)
        WriteTraceItemRecord(out, *record);
}

bool WriteDocument(const char16_t* path, bool trace, const char16_t* openFailedText)
{
    const char16_t mode = trace                                  ? kSnapshotModeTrace
                          : ScanSelection.scanKind == kScanQuick ? kSnapshotModeQuick
                                                                 : kSnapshotModeExtensive;
    if (!trace && !IsFat(VolumeParams.fsCode) && VolumeParams.fsCode != kFsNtfs) {
        UiMessages().ShowMessage(kMessageError, kNoSnapshotResultsText);
        return false;
    }
    const PlatformHandle file = OutputCreateFile(path);
    if (!IsUsableHandle(file)) {
        UiMessages().ShowMessage(kMessageError, openFailedText);
        return false;
    }
    SnapshotWriter out(file);
    WriteSnapshotHead(out, mode, VolumeParams);
    if (trace)
        WriteTraceBody(out);
    else if (IsFat(VolumeParams.fsCode))
        WriteFatBody(out);
    else
        WriteNtfsBody(out, mode == kSnapshotModeExtensive);
    WriteSnapshotTrailer(out, {SourceState.deviceIndex, SourceState.sourceKind});
    if (!out.Finish()) {
        UiMessages().ShowMessage(kMessageError, kSnapshotWriteFailedText);
        return false;
    }
    return true;
}

std::tm LocalTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

bool AskPathAndWrite(bool trace, const std::u16string& scanSummary)
{
    const std::u16string defaultName =
        SnapshotDefaultName(trace ? kScanFileTrace : ScanSelection.scanKind, LocalTimeNow(), scanSummary);
    FileDialogRequest request;
    request.open = false;
    request.flags = kSaveSnapshotDialogFlags;
    request.fileName = defaultName.c_str();
    request.filter = kSnapshotFilter;
    request.title = kSaveSnapshotTitle;
    std::u16string chosen;
    if (!UiShell().RunFileDialog(request, chosen) || chosen.empty())
        return false;
    const std::u16string path = WithSnapshotExtension(chosen);
    if (OutputPathExists(path.c_str())) {
        const std::u16string question = path + kSnapshotExistsQuestionSuffix;
        if (UiMessages().AskQuestion(kMessageQuestion, question.c_str()) != kAnswerYes)
            return false;
    }
    return trace ? WriteTraceSnapshotFile(path.c_str()) : WriteScanSnapshotFile(path.c_str());
}

} // namespace

bool WriteScanSnapshotFile(const char16_t* path)
{
    return WriteDocument(path, false, kUnableToOpenScanSnapshotText);
}

bool WriteTraceSnapshotFile(const char16_t* path)
{
    return WriteDocument(path, true, kUnableToOpenTraceSnapshotText);
}

bool WriteScanSnapshot(const std::u16string& scanSummary)
{
    return AskPathAndWrite(false, scanSummary);
}

bool WriteTraceSnapshot(const std::u16string& scanSummary)
{
    return AskPathAndWrite(true, scanSummary);
}

bool SaveSnapshot(const std::u16string& scanSummary)
{
    if (ScanSelection.scanKind == kScanFileTrace)
        return WriteTraceSnapshot(scanSummary);
    return WriteScanSnapshot(scanSummary);
}
