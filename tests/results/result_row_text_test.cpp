// How the result list reads a row's ID column, type and name.
#include <gtest/gtest.h>

#include "result_row_text.h"

#include <cstdint>

namespace {

TEST(ResultRowText, TheIdColumnIsReadAsAnUnsigned64BitValue)
{
    struct Case
    {
        const char* name;
        const wchar_t* text;
        std::uint64_t expected;
    };
    const Case cases[] = {
        {"File Trace group row", L"-", 0},
        {"empty", L"", 0},
        {"small entry ID", L"42", 42},
        {"2^31, past a signed 32-bit value", L"2147483648", 2147483648ull},
        {"2^32 + 5", L"4294967301", 4294967301ull},
        {"a 64-bit tree item handle", L"140737488355328", 0x800000000000ull},
        {"largest value", L"18446744073709551615", UINT64_MAX},
        {"past 64 bits saturates", L"18446744073709551616", UINT64_MAX},
        {"digits end at the first other character", L"77 bytes", 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseIdColumn(c.text), c.expected);
    }
}

TEST(ResultRowText, FolderTypesAndTheUpEntryAreToldWithoutRegardToCase)
{
    EXPECT_TRUE(IsFolderTypeText(L"Folder"));
    EXPECT_TRUE(IsFolderTypeText(L"FOLDER"));
    EXPECT_TRUE(IsFolderTypeText(L"Deleted Folder"));
    EXPECT_TRUE(IsFolderTypeText(L"deleted folder"));
    EXPECT_FALSE(IsFolderTypeText(L"File Folder"));
    EXPECT_FALSE(IsFolderTypeText(L"Deleted TXT File"));
    EXPECT_TRUE(IsParentEntryText(L"Parent..."));
    EXPECT_TRUE(IsParentEntryText(L"PARENT..."));
    EXPECT_FALSE(IsParentEntryText(L"Parent"));
    EXPECT_TRUE(IsDeletedTypeText(L"Deleted Folder"));
    EXPECT_FALSE(IsDeletedTypeText(L"Folder"));
}

} // namespace
