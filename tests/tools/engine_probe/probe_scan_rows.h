#pragma once

// What the probe's "scan" command runs and prints, apart from opening the image and choosing the
// partition row, so that tests can run the same scan and read the same rows in their own process.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One found folder or file.
struct ProbeScanRow
{
    char kind;             // 'D' folder, 'F' file
    std::uint32_t deleted; // 0 or 1
    std::uint64_t size;    // folders: 0, as the result list shows them
    // Files: the entry ID of the result list. Folders, which the list keys by their tree item: the
    // folder's first cluster (NTFS: its MFT record number).
    std::uint32_t id;
    std::string path; // UTF-8, from the volume root, "/" between names
};

struct ProbeScanSummary
{
    std::uint32_t folders = 0;
    std::uint32_t files = 0;
    std::uint32_t deleted = 0;
};

// Runs the Quick Scan over the range as the partition step starts it for a row of the partition table
// (scan code = the row's file-system code) on the attached source, on this thread, reporting to whatever
// user interface is attached (the probe attaches none). The scan's result (1 found, 0 not).
int RunProbeQuickScan(std::uint32_t startSector, std::uint32_t sectorCount, std::uint16_t fsCode);

// The found lists of the last scan: every folder, then every file, in list order. A folder's path
// follows the parent links of the folder records; a file stands under the folder whose first cluster is
// its parent (0: the root). A parent that no folder has shows as "?" followed by its number. NTFS: what
// the tree reaches from the root, each folder followed by its files and then its folders.
std::vector<ProbeScanRow> CollectProbeScanRows();

ProbeScanSummary SummarizeProbeScanRows(const std::vector<ProbeScanRow>& rows);

// "D|F <TAB> deleted <TAB> size <TAB> id <TAB> path" without a line end.
std::string FormatProbeScanRow(const ProbeScanRow& row);
// "summary <TAB> folders <TAB> files <TAB> deleted" without a line end.
std::string FormatProbeScanSummary(const ProbeScanSummary& summary);

// "message <TAB> text" when the last scan needed data past the end of a cut-short image file: what the
// scan's step tells the user (`nothingFound`: in place of the nothing-found message). Nothing otherwise.
void PrintProbeCutImageMessage(bool nothingFound);

// A name as the rows print it. Names are data: every UTF-16 unit is encoded, an unpaired surrogate as
// U+FFFD.
std::string ProbeUtf8(std::u16string_view text);
