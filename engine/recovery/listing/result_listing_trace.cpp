#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/core/engine_ui.h"
#include "engine/recovery/listing/file_name_filter.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/listing/result_rows.h"

namespace {

// Columns after a File Trace.
constexpr int kTraceColumnType = 1;
constexpr int kTraceColumnId = 2;

std::u16string TrimSpaces(std::u16string_view text)
{
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && text[first] == u' ')
        ++first;
    while (end > first && text[end - 1] == u' ')
        --end;
    return std::u16string(text.substr(first, end - first));
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return UpperCaseName(a) == UpperCaseName(b);
}

// One folder row per type name in the order of first appearance. The top level tells names apart
// without regard to case; the "Root" item compares them trimmed and exactly.
void ListTypeFolders(bool exact)
{
    ResultRows rows;
    std::vector<std::u16string> listed;
    const int folderIcon = UiShellInfo().GetFolderIconIndex(true);
    for (const TraceFoundRec* record = traceFoundList.head; record && !rows.Stopped();
         record = record->next) {
        const std::u16string type = record->typeName ? record->typeName : u"";
        bool known = false;
        for (const std::u16string& seen : listed) {
            known = exact ? TrimSpaces(seen) == TrimSpaces(type) : SameIgnoringCase(seen, type);
            if (known)
                break;
        }
        if (known)
            continue;
        listed.push_back(type);
        const int row = rows.Add(type.c_str(), folderIcon);
        rows.Set(row, kTraceColumnType, u"-");
        rows.Set(row, kTraceColumnId, u"-");
    }
    UiRecoveryTree().SetFocus();
}

// Whether a found item lies in the tree's item of that name: a type name's item (byType 1) or an
// extension's.
bool BelongsTo(const TraceFoundRec& record, const std::u16string& wanted, int byType)
{
    return byType == 1 ? TrimSpaces(record.typeName ? record.typeName : u"") == wanted
                       : SameIgnoringCase(record.extension ? record.extension : u"", wanted);
}

bool IsRootName(const std::u16string& name, int byType)
{
    return byType == 0 && SameIgnoringCase(name, u"Root");
}

} // namespace

void ListTraceTypeFolders()
{
    ListTypeFolders(false);
}

void ListFolderTrace(const char16_t* name, int byType)
{
    const std::u16string wanted = name ? name : u"";
    if (IsRootName(wanted, byType)) {
        ListTypeFolders(true);
        return;
    }

    ResultRows rows;
    const CShellFileInfo& shell = UiShellInfo();
    for (const TraceFoundRec* record = traceFoundList.head; record && !rows.Stopped();
         record = record->next) {
        if (!BelongsTo(*record, wanted, byType) || !PassesFileFilter(record->name))
            continue;
        const int row = rows.Add(record->name, shell.GetFileIconIndex(record->name, true));
        rows.Set(row, kTraceColumnType, shell.GetFileTypeName(record->name));
        rows.Set(row, kTraceColumnId, DecimalText(record->number));
    }
    UiRecoveryTree().SetFocus();
}

std::vector<std::uint64_t> TraceItemIds(const char16_t* name, int byType)
{
    const std::u16string wanted = name ? name : u"";
    const bool every = IsRootName(wanted, byType);
    std::vector<std::uint64_t> ids;
    for (const TraceFoundRec* record = traceFoundList.head; record; record = record->next) {
        if (every || BelongsTo(*record, wanted, byType))
            ids.push_back(record->number);
    }
    return ids;
}
