// The File Trace listings: one folder row per type, the "Root" item's exact comparison, and the items of
// one type or extension.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/listing/result_listing.h"
#include "engine/recovery/trace/trace_records.h"
#include "ui_recorder.h"

namespace {

using Rows = std::vector<std::vector<std::u16string>>;

class TraceListing : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        recorder.Attach();
        recorder.shellTypeNames[u".JPG"] = u"JPEG Image";
        ScanSelection.scanKind = kScanFileTrace;
        AddTraceFoundRec(u"1.jpg", u".jpg", u"JPEG", 1, 100);
        AddTraceFoundRec(u"2.JPG", u".JPG", u"jpeg", 2, 205);
        AddTraceFoundRec(u"3.png", u".png", u"PNG", 3, 300);
    }
    void TearDown() override { ResetEngineState(); }

    UiRecorder recorder;
};

TEST_F(TraceListing, TypeFoldersAreToldApartWithoutCaseAtTheTopAndExactlyUnderRoot)
{
    ListTraceTypeFolders();
    EXPECT_EQ(recorder.resultRows, (Rows{{u"JPEG", u"-", u"-"}, {u"PNG", u"-", u"-"}}));
    EXPECT_EQ(recorder.ArgumentsOf("resultList.CheckItem").size(), 2u);

    // Under "Root" the texts are compared exactly, after trimming: " JPEG " is the same type as "JPEG".
    AddTraceFoundRec(u"4.jpg", u".jpg", u" JPEG ", 4, 400);
    ListFolderTrace(u"rOOt", 0);
    EXPECT_EQ(recorder.resultRows,
              (Rows{{u"JPEG", u"-", u"-"}, {u"jpeg", u"-", u"-"}, {u"PNG", u"-", u"-"}}));
    EXPECT_EQ(recorder.Calls().back(), "recoveryTree.SetFocus()");
    // The top level does not trim.
    ListTraceTypeFolders();
    EXPECT_EQ(recorder.resultRows.size(), 3u);
}

TEST_F(TraceListing, ItemsByTypeOrExtensionWithTheFilter)
{
    struct Case
    {
        const char* name;
        const char16_t* folder;
        int byType;
        std::vector<std::u16string> filters;
        Rows expected;
    };
    AddTraceFoundRec(u"4.jpg", u".jpg", u" JPEG ", 4, 400);
    const Case cases[] = {
        {"a type folder compares the trimmed type exactly",
         u"JPEG",
         1,
         {},
         {{u"1.jpg", u"JPEG Image", u"1"}, {u"4.jpg", u"JPEG Image", u"4"}}},
        {"an extension compares without case",
         u".jpg",
         0,
         {},
         {{u"1.jpg", u"JPEG Image", u"1"}, {u"2.JPG", u"JPEG Image", u"2"}, {u"4.jpg", u"JPEG Image", u"4"}}},
        {"the filter applies to the item names", u".jpg", 0, {u"2*"}, {{u"2.JPG", u"JPEG Image", u"2"}}},
        {"no item of that type", u"GIF", 1, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileFilterTable = {};
        FileFilterTable.count = static_cast<std::int32_t>(c.filters.size());
        for (std::size_t slot = 0; slot < c.filters.size(); ++slot)
            c.filters[slot].copy(FileFilterTable.patterns[slot], kFileFilterLength);
        ListFolderTrace(c.folder, c.byType);
        EXPECT_EQ(recorder.resultRows, c.expected);
    }
}

} // namespace

namespace {

TEST_F(TraceListing, ABoxMarksTheItemsItsFolderListsWhateverTheFilterAndEveryItemForTheRoot)
{
    struct Case
    {
        const char* name;
        const char16_t* folder;
        int byType;
        std::vector<std::uint64_t> expected;
    };
    AddTraceFoundRec(u"4.jpg", u".jpg", u" JPEG ", 4, 400);
    FileFilterTable = {};
    FileFilterTable.count = 1;
    std::u16string(u"3*").copy(FileFilterTable.patterns[0], kFileFilterLength);
    const Case cases[] = {
        {"the root, in any case", u"rOOt", 0, {1, 2, 3, 4}},
        {"a type by its trimmed name", u"JPEG", 1, {1, 4}},
        {"an extension without case", u".JPG", 0, {1, 2, 4}},
        {"a type named Root is a type", u"Root", 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TraceItemIds(c.folder, c.byType), c.expected);
    }
}

} // namespace
