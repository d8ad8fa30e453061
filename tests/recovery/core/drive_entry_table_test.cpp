// The drive step's table of logical volumes: finding a volume by the root path the source tree gives.
#include <gtest/gtest.h>

#include <string>

#include "engine/recovery/core/engine_state.h"

namespace {

void PutRoot(int entry, const std::u16string& root)
{
    root.copy(DriveEntryTable.rootPaths[entry], kDriveEntryLength);
}

TEST(DriveEntryTable, FindsAVolumeByItsRootPath)
{
    ResetEngineState();
    EXPECT_EQ(DriveEntryTable.selected, -1);
    PutRoot(0, u"C:\\");
    PutRoot(3, u"E:\\");
    // An entry that fills its whole length has no terminator.
    PutRoot(5, std::u16string(kDriveEntryLength, u'Z'));
    struct Case
    {
        const char* name;
        std::u16string root;
        int expected;
    };
    const Case cases[] = {
        {"first entry", u"C:\\", 0},
        {"a later entry", u"E:\\", 3},
        {"lower-case letter", u"e:\\", 3},
        {"no separator", u"E:", -1},
        {"a longer path", u"E:\\x", -1},
        {"a letter not listed", u"D:\\", -1},
        {"empty", u"", -1},
        {"a whole entry", std::u16string(kDriveEntryLength, u'z'), 5},
        {"longer than an entry", std::u16string(kDriveEntryLength + 1, u'Z'), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindDriveEntryByRoot(c.root.c_str()), c.expected);
    }
    EXPECT_EQ(FindDriveEntryByRoot(nullptr), -1);

    EXPECT_EQ(DriveEntryRoot(3), u"E:\\");
    EXPECT_EQ(DriveEntryRoot(5), std::u16string(kDriveEntryLength, u'Z'));
    EXPECT_EQ(DriveEntryRoot(kMaxDriveEntries), u"");
    EXPECT_EQ(DriveEntryName(-1), u"");
    ResetEngineState();
}

} // namespace
