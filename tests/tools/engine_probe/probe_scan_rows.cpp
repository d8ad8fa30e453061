#include "engine_probe/probe_scan_rows.h"

#include <cinttypes>
#include <cstdio>
#include <string_view>
#include <unordered_map>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/scans/cut_image_note.h"
#include "engine/recovery/scans/quick_scan.h"
#include "engine_probe/quick_ntfs_rows.h"

namespace {

void AppendUtf8(std::string& out, std::u16string_view text)
{
    for (std::size_t index = 0; index < text.size(); ++index) {
        std::uint32_t code = text[index];
        if (code >= 0xD800 && code <= 0xDBFF && index + 1 < text.size() && text[index + 1] >= 0xDC00 &&
            text[index + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++index] - 0xDC00);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
}

class FatPaths
{
public:
    FatPaths()
    {
        for (const FatFolderRec* folder = fatFolders.head; folder; folder = folder->next) {
            byCluster.try_emplace(folder->firstCluster, folder);
            ++folderTotal;
        }
    }

    // The path of the folder whose first cluster is `cluster`, "" for the root.
    std::string FolderPath(std::uint32_t cluster)
    {
        if (cluster == 0)
            return {};
        if (const auto known = paths.find(cluster); known != paths.end())
            return known->second;
        // Walk up; parent links that go round end after as many steps as there are folders.
        std::vector<const FatFolderRec*> chain;
        std::uint32_t current = cluster;
        std::string prefix;
        for (std::uint32_t steps = 0; current != 0; ++steps) {
            if (const auto known = paths.find(current); known != paths.end()) {
                prefix = known->second;
                break;
            }
            const auto found = byCluster.find(current);
            if (found == byCluster.end() || steps > folderTotal) {
                prefix = "?" + std::to_string(current);
                break;
            }
            chain.push_back(found->second);
            current = found->second->parentCluster;
        }
        for (auto level = chain.rbegin(); level != chain.rend(); ++level) {
            if (!prefix.empty())
                prefix += '/';
            AppendUtf8(prefix, (*level)->name);
            paths.emplace((*level)->firstCluster, prefix);
        }
        return prefix;
    }

private:
    std::unordered_map<std::uint32_t, const FatFolderRec*> byCluster;
    std::unordered_map<std::uint32_t, std::string> paths;
    std::uint32_t folderTotal = 0;
};

std::string JoinPath(const std::string& folder, const char16_t* name)
{
    std::string path = folder;
    if (!path.empty())
        path += '/';
    AppendUtf8(path, name);
    return path;
}

} // namespace

std::string ProbeUtf8(std::u16string_view text)
{
    std::string out;
    AppendUtf8(out, text);
    return out;
}

int RunProbeQuickScan(std::uint32_t startSector, std::uint32_t sectorCount, std::uint16_t fsCode)
{
    ScanSelection.scanKind = kScanQuick;
    VolumeParams.scanFsCode = fsCode;
    VolumeParams.rangeStart = startSector;
    VolumeParams.rangeCount = sectorCount;
    VolumeParams.rangeEnd = sectorCount != 0 ? startSector + sectorCount - 1 : startSector;
    ArmScanWorker();
    return QuickScanPartition();
}

std::vector<ProbeScanRow> CollectProbeScanRows()
{
    std::vector<ProbeScanRow> rows;
    if (VolumeParams.fsCode == kFsFat16 || VolumeParams.fsCode == kFsFat32) {
        FatPaths paths;
        for (const FatFolderRec* folder = fatFolders.head; folder; folder = folder->next)
            rows.push_back({'D', folder->deleted != 0 ? 1u : 0u, 0, folder->firstCluster,
                            JoinPath(paths.FolderPath(folder->parentCluster), folder->name)});
        for (const FatFileRec* file = fatFiles.head; file; file = file->next)
            rows.push_back({'F', file->deleted != 0 ? 1u : 0u, file->size, file->fileId,
                            JoinPath(paths.FolderPath(file->parentCluster), file->name)});
    }
    if (VolumeParams.fsCode == kFsNtfs) {
        for (const QuickNtfsRow& row : CollectQuickNtfsRows())
            rows.push_back({row.folder ? 'D' : 'F', row.deleted, row.size,
                            static_cast<std::uint32_t>(row.entryId), JoinPath({}, row.path.c_str())});
    }
    return rows;
}

ProbeScanSummary SummarizeProbeScanRows(const std::vector<ProbeScanRow>& rows)
{
    ProbeScanSummary summary;
    for (const ProbeScanRow& row : rows) {
        if (row.kind == 'D')
            ++summary.folders;
        else
            ++summary.files;
        summary.deleted += row.deleted;
    }
    return summary;
}

std::string FormatProbeScanRow(const ProbeScanRow& row)
{
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%c\t%" PRIu32 "\t%" PRIu64 "\t%" PRIu32 "\t", row.kind,
                  row.deleted, row.size, row.id);
    return numbers + row.path;
}

std::string FormatProbeScanSummary(const ProbeScanSummary& summary)
{
    char text[64];
    std::snprintf(text, sizeof text, "summary\t%" PRIu32 "\t%" PRIu32 "\t%" PRIu32, summary.folders,
                  summary.files, summary.deleted);
    return text;
}

void PrintProbeCutImageMessage(bool nothingFound)
{
    const std::u16string text = CutImageScanText(nothingFound);
    if (!text.empty())
        std::printf("message\t%s\n", ProbeUtf8(text).c_str());
}
