#include "engine/recovery/ntfs/ntfs_fs_steps.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/recovery/core/decimal_text.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/core/list_free.h"
#include "engine/recovery/core/parent_loops.h"
#include "engine/recovery/core/step_progress.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/ntfs/ntfs_record_builders.h"

namespace {

constexpr char16_t kExtractingText[] = u"Extracting entries for the file system...";
constexpr char16_t kLostDataText[] = u"Searching For Lost Data";
constexpr char16_t kCreatingTreeText[] = u"Please wait creating tree";
constexpr char16_t kRootText[] = u"Root";

bool StopRequested()
{
    return ScanThreadControl.done.load() == 1;
}

bool IsDotName(const char16_t* name)
{
    return name[0] == u'.' && name[1] == 0;
}

// The files of the Extensive Scan that the listing shows for the chosen volume.
bool FileOfVolume(const NtfsFileNode& file)
{
    return file.recordSector > VolumeParams.clusterBase && file.recordSector <= VolumeParams.endSector;
}

class LostParents
{
public:
    LostParents(std::uint32_t* counter, std::uint32_t parentOfMade)
        : counter(counter), parentOfMade(parentOfMade)
    {
        for (const NtfsEntryNode* entry = ntfsEntryNodes.head; entry; entry = entry->next)
            listed.insert(entry->folderNumber);
    }

    // Makes a "Dir" folder for `parent` unless some entry has that number.
    void Place(std::uint32_t parent)
    {
        if (parent == kNtfsRootFolder || !listed.insert(parent).second)
            return;
        AddNtfsEntryNode((kNtfsLostParentPrefix + DecimalText(*counter)).c_str(), parent, parentOfMade, 0, 0,
                         0, 0);
        ++*counter;
    }

    void SetParentOfMade(std::uint32_t parent) { parentOfMade = parent; }

private:
    std::unordered_set<std::uint32_t> listed;
    std::uint32_t* counter;
    std::uint32_t parentOfMade;
};

} // namespace

void AddLostNtfsFolders(std::uint32_t* counter)
{
    UiFileSystemStep().SetStatusText(kLostDataText);
    StepProgress progress;
    progress.Start();
    AddNtfsEntryNode(kNtfsLostDirText, kLostDirValue, kNtfsRootFolder, 0, 0, 0, 0);

    // The walk works in memory and runs to its end also after a stop, so that the tree built from a
    // stopped scan still reaches every folder. Folders appended here are visited too.
    LostParents lost(counter, kLostDirValue);
    std::uint64_t visited = 0;
    for (const NtfsEntryNode* entry = ntfsEntryNodes.head; entry; entry = entry->next) {
        progress.Show(++visited, folderCount);
        lost.Place(entry->parentNumber);
    }

    if (ScanSelection.scanKind == kScanQuick) {
        // The Quick Scan's files whose folder is missing get theirs at the root.
        lost.SetParentOfMade(kNtfsRootFolder);
        visited = 0;
        for (const NtfsScanNode* file = ntfsScanNodes.head; file; file = file->next) {
            progress.Show(++visited, fileCount);
            lost.Place(file->parentNumber);
        }
    } else {
        // Files found on the disk whose folder record is gone would otherwise be listed nowhere.
        visited = 0;
        for (const NtfsFileNode* file = ntfsFileNodes.head; file; file = file->next) {
            progress.Show(++visited, ntfsFileNodeCount);
            if (FileOfVolume(*file))
                lost.Place(file->parentNumber);
        }
    }
    CutParentLoops(ntfsEntryNodes.head, &NtfsEntryNode::folderNumber, &NtfsEntryNode::parentNumber,
                   kNtfsRootFolder);
}

void ScanNtfsSteps()
{
    FreeFolderLists();
    UiFileSystemStep().SetStatusText(kExtractingText);
    {
        StepProgress progress;
        progress.Start();
        const std::uint16_t volume = VolumeParams.volumeNumber;
        std::uint64_t visited = 0;
        for (const NtfsFolderNode* node = ntfsFolderNodes.head; node && !StopRequested(); node = node->next) {
            progress.Show(++visited, foundFolderCount);
            if (node->volumeNumber != volume || node->folderNumber == kNtfsRootFolder ||
                node->folderNumber == kLostDirValue || IsDotName(node->name))
                continue;
            // A folder named as its own parent could never be reached; it waits under "Lost Dir". A
            // deleted folder is shown as deleted.
            const std::uint32_t parent =
                node->parentNumber == node->folderNumber ? kLostDirValue : node->parentNumber;
            AddNtfsEntryNodeUnique(node->name, node->folderNumber, parent, node->creationTime,
                                   node->changeTime, 0, node->deleted);
        }
    }
    std::uint32_t counter = 0;
    AddLostNtfsFolders(&counter);

    RecoveryTreeUi& tree = UiRecoveryTree();
    const TreeItemValue root = tree.InsertFolderItem(kRootText, kTreeTop);
    UiFileSystemStep().SetStatusText(kCreatingTreeText);
    ScanThreadControl.done = 0;
    UiFileSystemStep().HideScanButton();
    TreeInsertedCount = 0;
    tree.AddNtfsFolderItems(root, kNtfsRootFolder);
    tree.Expand(root);
    tree.SetCheckRecursive(root, 1);
    UiResultList().SwitchToReportView();
    ScanThreadControl.done = 1;
    ScanThreadControl.running = 0;
}
