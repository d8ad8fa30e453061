#pragma once

// The results view's stand-ins for the commands that save: the result list's marks and the target
// folder, and the marks a checked root makes.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_ui.h"

// The result list's marks; its rows are not kept.
class ProbeMarks final : public ResultListUi
{
public:
    std::vector<std::uint64_t> markedEntryIds;
    std::vector<TreeItemValue> markedTreeItems;

    void DeleteAllItems() override { rows = 0; }
    int GetItemCount() override { return rows; }
    int InsertItem(int, const char16_t*, int) override { return rows++; }
    void SetItemText(int, int, const char16_t*) override {}
    std::u16string GetItemText(int, int) override { return {}; }
    void Update(int) override {}
    void SwitchToReportView() override {}
    void CheckItem(int) override {}
    void MarkChecked(int) override {}
    std::vector<std::uint64_t> GetMarkedEntryIds() override { return markedEntryIds; }
    std::vector<TreeItemValue> GetMarkedTreeItems() override { return markedTreeItems; }

private:
    int rows = 0;
};

class ProbeTarget final : public ResultsViewUi
{
public:
    std::u16string targetFolder;

    void SetSelectedSizeText(const char16_t*) override {}
    std::u16string GetTargetFolder() override { return targetFolder; }
    void SetCurrentFolderItem(TreeItemValue) override {}
};

// Every folder of the tree, and the root's own files by their IDs, as a checked root marks them; every
// item of a File Trace search.
void MarkEverything(ProbeMarks& marks);
