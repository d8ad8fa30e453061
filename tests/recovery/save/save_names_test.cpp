// Names from a disk made into path components that stay inside the chosen folder.
#include <gtest/gtest.h>

#include <string>

#include "engine/recovery/save/save_names.h"
#include "ui_recorder.h"

namespace {

TEST(SaveNames, NamesBecomeSafeReadableComponents)
{
    struct Case
    {
        const char* name;
        std::u16string diskName;
        std::u16string expected;
    };
    const Case cases[] = {
        {"plain name", u"report.txt", u"report.txt"},
        {"colon would open a data stream", u"a:b", u"a_b"},
        {"stream syntax", u"file.txt::$DATA", u"file.txt__$DATA"},
        {"backslash and dots", u"we\\ird..name", u"we_ird..name"},
        {"slash", u"a/b", u"a_b"},
        {"every refused character", u"*?\"<>|", u"______"},
        {"control characters",
         std::u16string(u"a\x01\x1F"
                        u"b") +
             u'\0' + u"c",
         u"a__b_c"},
        {"device", u"CON", u"_CON"},
        {"device in lower case with an extension", u"aux.txt", u"_aux.txt"},
        {"device with spaces before the dot", u"NUL .tar.gz", u"_NUL .tar.gz"},
        {"numbered devices", u"com1", u"_com1"},
        {"superscript device", u"LPT\u00B9", u"_LPT\u00B9"},
        {"console devices", u"CONOUT$", u"_CONOUT$"},
        {"not a device: longer base", u"CONSOLE.txt", u"CONSOLE.txt"},
        {"not a device: ten", u"COM10", u"COM10"},
        {"dot", u".", u"._"},
        {"dot dot", u"..", u".._"},
        {"three dots", u"...", u"..._"},
        {"trailing dot", u"trailing dot.", u"trailing dot._"},
        {"trailing space", u"trailing space ", u"trailing space _"},
        {"device with a trailing dot", u"CON.", u"_CON._"},
        {"empty", u"", u"_"},
        {"leading dot stays", u".profile", u".profile"},
        {"non-ASCII stays", u"Привет мир 😀.txt", u"Привет мир 😀.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::u16string safe = MakeSafeName(c.diskName);
        EXPECT_EQ(Utf8(safe), Utf8(c.expected));
        EXPECT_TRUE(IsSafeName(safe));
        EXPECT_EQ(MakeSafeName(safe), safe);
        EXPECT_TRUE(PathLiesInside(u"C:\\out", JoinSavePath(u"C:\\out", safe)));
    }
}

TEST(SaveNames, PathsLieInsideTheFolderOnlyThroughSafeComponents)
{
    struct Case
    {
        const char* name;
        const char16_t* folder;
        const char16_t* path;
        bool inside;
    };
    const Case cases[] = {
        {"one level", u"C:\\out", u"C:\\out\\a.txt", true},
        {"folder with its separator", u"C:\\out\\", u"C:\\out\\a\\b.txt", true},
        {"drive root", u"C:\\", u"C:\\a.txt", true},
        {"the folder itself", u"C:\\out", u"C:\\out", false},
        {"a sibling that shares the prefix", u"C:\\out", u"C:\\output\\a.txt", false},
        {"parent step", u"C:\\out", u"C:\\out\\..\\a.txt", false},
        {"dot", u"C:\\out", u"C:\\out\\.\\a.txt", false},
        {"dots and spaces", u"C:\\out", u"C:\\out\\. .\\a.txt", false},
        {"empty level", u"C:\\out", u"C:\\out\\\\a.txt", false},
        {"stream", u"C:\\out", u"C:\\out\\a.txt:hidden", false},
        {"device", u"C:\\out", u"C:\\out\\NUL", false},
        {"trailing dot dropped by the system", u"C:\\out", u"C:\\out\\a.", false},
        {"no folder", u"", u"\\a.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PathLiesInside(c.folder, c.path), c.inside);
    }
}

TEST(SaveNames, DuplicateCopiesKeepTheSpaceBeforeTheBracket)
{
    EXPECT_EQ(Utf8(DuplicateCopyName(1, u"a.txt")), "Copy (1 ) of a.txt");
    EXPECT_EQ(Utf8(DuplicateCopyName(12, u"_CON")), "Copy (12 ) of _CON");
    EXPECT_EQ(Utf8(JoinSavePath(u"C:\\out\\", u"a")), "C:\\out\\a");
    EXPECT_EQ(Utf8(JoinSavePath(u"/tmp/out", u"a")), "/tmp/out\\a");
}

} // namespace
