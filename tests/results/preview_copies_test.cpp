// The preview copies' names: the extension taken from names found on a disk, and the counter.
#include "app_test_app.h"

#include <gtest/gtest.h>

#include "preview_copies.h"
#include "results_view.h"
#include "wizard_state.h"

#include <fstream>
#include <vector>

namespace {

TEST(PreviewCopies, TheExtensionComesFromTheNameAndCanNeverLeadOutOfTheTemporaryFolder)
{
    struct Case
    {
        const char* name;
        const wchar_t* fileName;
        const wchar_t* extension;
    };
    const Case cases[] = {
        {"lower case", L"Report.TXT", L"txt"},
        {"no dot: the whole name", L"README", L"readme"},
        {"a colon", L"bad.t:x", L"t_x"},
        {"a way up in the extension", L"bad.\\..\\..\\evil", L"_evil"},
        {"a way up after the last dot", L"bad..\\x", L"_x"},
        {"a slash", L"bad.a/b", L"a_b"},
        {"characters no name may hold", L"bad.<>|?*\"", L"______"},
        {"a control character", L"bad.t\x01x", L"t_x"},
        {"capped at 16 characters", L"long.abcdefghijklmnopqrstuvwxyz", L"abcdefghijklmnop"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PreviewExtension(c.fileName), CString(c.extension));
    }
}

TEST(PreviewCopies, TheCounterMovesOnlyPastNamesInUseAndEveryCopyIsRecordedAndDeletedOnBack)
{
    ASSERT_NE(StartedFrame(), nullptr);
    const CString folder = PreviewTempFolder();
    for (const wchar_t* name : {L"tmp0.txt", L"tmp1.txt", L"tmp1.doc", L"tmp0.doc"})
        ::DeleteFileW(folder + name);
    const std::uint32_t savedCounter = TempFileCounter;
    TempFileCounter = 0;
    std::vector<CString> made;
    std::vector<CString> names;
    for (const wchar_t* entry : {L"a.txt", L"b.txt", L"c.doc"}) {
        names.push_back(MakeTempFileName(entry, made));
        // The copy itself, as the preview's copy makes it.
        std::ofstream(static_cast<LPCWSTR>(folder + names.back()), std::ios::binary) << "copy";
    }
    EXPECT_EQ(names, (std::vector<CString>{L"tmp0.txt", L"tmp1.txt", L"tmp1.doc"}));
    EXPECT_EQ(TempFileName, CString(L"tmp1.doc"));
    ASSERT_EQ(made.size(), 3u) << "tmp1.doc does not replace tmp1.txt";

    // What Back and Home delete.
    CThirdView_HDD* pResults = dynamic_cast<CThirdView_HDD*>(theApp.GetView(kViewResults));
    ASSERT_NE(pResults, nullptr);
    pResults->ResultList().TempPreviewFiles = made;
    ResetResultsAndTempFiles();
    for (const CString& path : made)
        EXPECT_EQ(::GetFileAttributesW(path), INVALID_FILE_ATTRIBUTES);
    pResults->ResultList().TempPreviewFiles.clear();
    TempFileCounter = savedCounter;
}

TEST(PreviewCopies, TheSameEntryTwiceIsNoNewTarget)
{
    EXPECT_EQ(IsNewPreviewTarget(L"C:\\temp", L"Same.TXT", 7), 1);
    EXPECT_EQ(IsNewPreviewTarget(L"C:\\temp\\", L"same.txt", 7), 0);
    EXPECT_EQ(IsNewPreviewTarget(L"C:\\temp", L"same.txt", 8), 1);
    LastPreviewPath = L"PAth";
}

} // namespace
