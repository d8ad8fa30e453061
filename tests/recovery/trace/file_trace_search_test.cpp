// The File Trace search on small raw disks written by the test (read as a logical volume), the naming of
// compound documents it asks for, and the worker's start on a real test disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/trace/file_trace_scan.h"
#include "engine/recovery/trace/office_naming.h"
#include "engine/recovery/trace/trace_records.h"
#include "file_trace_test_support.h"
#include "support/test_paths.h"
#include "ui_recorder.h"

namespace {

constexpr char kJpeg[] = "ffd8ffe000104a464946";
constexpr char kPng[] = "89504e470d0a1a0a0000000d";
constexpr char kCompound[] = "d0cf11e0a1b11ae1";

class FileTraceSearchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetEngineState();
        ui.Attach();
    }
    void TearDown() override { ResetEngineState(); }

    PrivateTempFolder tempFolder;

    std::vector<std::string> Calls(std::string_view method) const { return ui.ArgumentsOf(method); }

    UiRecorder ui;
};

// As the partition step starts a scan: the done-or-stop flag cleared first.
void Search()
{
    ScanThreadControl.done = 0;
    ScanThreadControl.running = 1;
    FileTraceSearch();
}

std::vector<std::string> Names(const std::vector<FoundItem>& items)
{
    std::vector<std::string> names;
    for (const FoundItem& item : items)
        names.push_back(item.name);
    return names;
}

// A signature of zeros over a disk of zeros matches every sector: a crafted type name is cut to the
// longest a signature keeps and held once for all items, and the found list stops at its limit with
// the items kept, the user told and the tree built.
TEST_F(FileTraceSearchTest, CraftedTypeNameAndEveryMatchingSectorStayBounded)
{
    constexpr std::uint32_t kSectors = 8192;
    RawDisk disk(kSectors);
    ASSERT_TRUE(disk.Open());
    const std::u16string longName(70000, u'T');
    AddSignature(u".bin", longName.c_str(), 1, "00");
    AddSignature(u".zero", u"Zeros", 1, "00");
    ASSERT_EQ(std::u16string_view(fileSignatureList.head->typeName), longName.substr(0, kMaxTypeNameLength));
    SetTraceRange(0, kSectors - 1);

    struct Case
    {
        const char* name;
        std::uint32_t limit;
        std::uint32_t found;
        bool told;
    };
    const Case cases[] = {{"below the limit", kTraceFoundItemLimit, kSectors, false},
                          {"at the limit", 100, 100, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.Clear();
        const std::size_t treeItemsBefore = ui.recoveryTreeItems.size();
        TraceFoundItemLimit = c.limit;
        Search();
        TraceFoundItemLimit = kTraceFoundItemLimit;

        std::uint32_t count = 0;
        for (const TraceFoundRec* item = traceFoundList.head; item; item = item->next, ++count) {
            ASSERT_EQ(item->typeName, traceFoundList.head->typeName) << "item " << item->number;
            ASSERT_EQ(item->number, count + 1);
            ASSERT_EQ(item->sector, count);
        }
        EXPECT_EQ(count, c.found);
        EXPECT_EQ(std::u16string_view(traceFoundList.head->typeName), longName.substr(0, kMaxTypeNameLength));
        EXPECT_EQ(fileCount, c.found);
        const std::vector<std::string> told = Calls("messages.ShowMessage");
        EXPECT_EQ(told.size(), c.told ? 1u : 0u);
        if (c.told && !told.empty()) {
            EXPECT_EQ(told[0], "1, \"" + Utf8Text(kTraceFoundLimitText) + "\"");
        }
        EXPECT_EQ(ScanThreadControl.done.load(), 1u);
        EXPECT_EQ(ui.recoveryTreeItems.size() - treeItemsBefore, 2u) << "Root and the one type that matched";
    }
}

TEST_F(FileTraceSearchTest, ItemsAreNumberedInSectorOrderAndTheTreeHasOneFolderPerType)
{
    RawDisk disk(512);
    disk.Put(100, kJpeg);
    disk.Put(205, kPng);
    disk.Put(300, kJpeg);
    ASSERT_TRUE(disk.Open());
    AddSignature(u".jpg", u"JPEG Image", 3, "FFD8FF");
    AddSignature(u".png", u"PNG Image", 8, "89504e470d0a1a0a");
    SetTraceRange(0, 511);

    Search();

    const std::vector<FoundItem> expected = {{"1.jpg", ".jpg", "JPEG Image", 100, 1},
                                             {"2.png", ".png", "PNG Image", 205, 2},
                                             {"3.jpg", ".jpg", "JPEG Image", 300, 3}};
    EXPECT_EQ(FoundItems(), expected);
    EXPECT_EQ(fileCount, 3u);
    EXPECT_EQ(folderCount, 3u);

    // The tree: "Root" with one folder per type name, and the list's top level of type folders.
    ASSERT_EQ(ui.recoveryTreeItems.size(), 3u);
    EXPECT_EQ(ui.recoveryTreeItems[0].text, u"Root");
    EXPECT_EQ(ui.recoveryTreeItems[1].text, u"JPEG Image");
    EXPECT_EQ(ui.recoveryTreeItems[2].text, u"PNG Image");
    EXPECT_EQ(ui.recoveryTreeItems[1].parent, 1u);
    ASSERT_EQ(ui.resultRows.size(), 2u);
    EXPECT_EQ(ui.resultRows[0][0], u"JPEG Image");
    EXPECT_EQ(ui.resultRows[1][0], u"PNG Image");

    std::vector<std::string> tail;
    const std::vector<std::string> calls = ui.Calls();
    const auto root = std::find(calls.begin(), calls.end(), "recoveryTree.InsertFolderItem(\"Root\", 0)");
    ASSERT_NE(root, calls.end());
    const std::vector<std::string> expectedBefore = {
        "partitionStep.EnableButton(Back, false)", "partitionStep.EnableButton(Scan, false)",
        "partitionStep.EnableButton(Home, false)", "partitionStep.SetBusy(true)"};
    EXPECT_EQ(std::vector<std::string>(root - 4, root), expectedBefore);
    const std::vector<std::string> expectedAfter = {"scanPanel.SetStatusText(\"Please wait creating tree\")",
                                                    "partitionStep.EnableButton(Stop, false)",
                                                    "partitionStep.ShowButton(Stop, false)",
                                                    "recoveryTree.AddTraceTypeItems(1, \"Root\")",
                                                    "recoveryTree.Expand(1)",
                                                    "resultList.SwitchToReportView()",
                                                    "resultsView.SetCurrentFolderItem(1)"};
    EXPECT_EQ(
        std::vector<std::string>(root + 1, root + 1 + static_cast<std::ptrdiff_t>(expectedAfter.size())),
        expectedAfter);
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}

TEST_F(FileTraceSearchTest, TheFirstSignatureOfTheChoiceDecidesASector)
{
    RawDisk disk(64);
    disk.Put(10, kJpeg);
    ASSERT_TRUE(disk.Open());
    SetTraceRange(0, 63);
    AddSignature(u".jfif", u"JFIF Image", 4, "ffd8ffe0");
    AddSignature(u".jpg", u"JPEG Image", 3, "ffd8ff");
    Search();
    EXPECT_EQ(FoundItems(), (std::vector<FoundItem>{{"1.jfif", ".jfif", "JFIF Image", 10, 1}}));

    FreeFileSignatureList();
    AddSignature(u".jpg", u"JPEG Image", 3, "ffd8ff");
    AddSignature(u".jfif", u"JFIF Image", 4, "ffd8ffe0");
    Search();
    EXPECT_EQ(FoundItems(), (std::vector<FoundItem>{{"1.jpg", ".jpg", "JPEG Image", 10, 1}}));
}

// The sector's first bytes written as hexadecimal are compared with the whole text, without regard to
// case, a "?" matching any digit; the compared length is the record's, held to the 15-byte window.
TEST_F(FileTraceSearchTest, SignatureTextsAndLengths)
{
    const std::string sector = "ffd8ff00112233445566778899aabbccddeeff";
    const std::string fifteen = sector.substr(0, 30);
    struct Case
    {
        const char* name;
        std::uint32_t length;
        std::string text;
        bool found;
    };
    const Case cases[] = {
        {"three bytes", 3, "ffd8ff", true},
        {"capitals", 3, "FFD8FF", true},
        {"mixed case", 3, "fFd8Ff", true},
        {"a byte that differs", 3, "ffd8fe", false},
        {"length 0 compares one byte", 0, "ff", true},
        {"length 0 with three bytes of text", 0, "ffd8ff", false},
        {"length 16 compares the 15-byte window", 16, fifteen, true},
        {"length 2^32 - 1 compares the window", 0xFFFFFFFF, fifteen, true},
        {"length 16 with 16 bytes of text", 16, sector.substr(0, 32), false},
        {"any byte between", 4, "ffd8??00", true},
        {"any digit of a byte", 4, "ffd8f?0?", true},
        {"fixed bytes around any byte that differ", 4, "ffd8??01", false},
        {"a digit beside any digit that differs", 4, "ffd8fe?0", false},
        {"any byte up to the window's last", 15, "ff??????????????????????????bb", true},
        {"text shorter than the length", 4, "ffd8ff", false},
        {"text longer than the length", 2, "ffd8ff", false},
        {"odd number of digits", 2, "ffd", false},
        {"not hexadecimal", 2, "ffzz", false},
        {"empty text", 1, "", false},
    };
    RawDisk disk(64);
    disk.Put(10, sector);
    ASSERT_TRUE(disk.Open());
    SetTraceRange(0, 63);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreeFileSignatureList();
        AddSignature(u".bin", u"Data", c.length, c.text.c_str());
        Search();
        const std::vector<FoundItem> items = FoundItems();
        EXPECT_EQ(items.size(), c.found ? 1u : 0u);
        if (!items.empty()) {
            EXPECT_EQ(items[0].sector, 10u);
        }
    }
}

// The search reads 64 sectors at a time from the range's first sector; its last batch ends at the
// range's last sector, and what lies behind it belongs to the next partition.
TEST_F(FileTraceSearchTest, OnlySectorsOfTheRangeAreExamined)
{
    RawDisk disk(400);
    for (std::uint32_t sector : {69u, 70u, 133u, 134u, 207u, 208u, 250u, 271u})
        disk.Put(sector, kPng);
    ASSERT_TRUE(disk.Open());
    AddSignature(u".png", u"PNG Image", 4, "89504e47");

    SetTraceRange(70, 207);
    Search();
    std::vector<std::uint32_t> sectors;
    for (const FoundItem& item : FoundItems())
        sectors.push_back(item.sector);
    EXPECT_EQ(sectors, (std::vector<std::uint32_t>{70, 133, 134, 207}));
    EXPECT_EQ(Names(FoundItems()), (std::vector<std::string>{"1.png", "2.png", "3.png", "4.png"}));

    // One sector; and an end before the start, which finds nothing and still builds the tree.
    SetTraceRange(207, 207);
    Search();
    EXPECT_EQ(Names(FoundItems()), std::vector<std::string>{"1.png"});
    ui.recoveryTreeItems.clear();
    VolumeParams.rangeStart = 208;
    VolumeParams.rangeEnd = 207;
    Search();
    EXPECT_TRUE(FoundItems().empty());
    ASSERT_EQ(ui.recoveryTreeItems.size(), 1u);
    EXPECT_EQ(ui.recoveryTreeItems[0].text, u"Root");
}

// ".doc" and ".docx" matches after the first item are named by their application, when the user chose
// a type of the extension that the naming gives.
TEST_F(FileTraceSearchTest, CompoundDocumentsTakeTheirApplicationsExtensionWhenChosen)
{
    struct Signature
    {
        const char16_t* extension;
        const char* hex;
    };
    struct Case
    {
        const char* name;
        std::vector<Signature> signatures;
        std::vector<std::string> plants; // "jpeg" or a fixture document, at sectors 10, 30, 50, ...
        std::vector<std::string> expected;
    };
    const Signature jpg{u".jpg", "ffd8ff"};
    const Case cases[] = {
        {"the first item keeps .doc",
         {{u".doc", kCompound}, {u".xls", kCompound}},
         {"excel.xls", "excel.xls"},
         {"1.doc", "2.xls"}},
        {"Excel with .xls chosen",
         {jpg, {u".doc", kCompound}, {u".xls", kCompound}},
         {"jpeg", "excel.xls"},
         {"1.jpg", "2.xls"}},
        {"Excel without .xls chosen", {jpg, {u".doc", kCompound}}, {"jpeg", "excel.xls"}, {"1.jpg", "2.doc"}},
        {"PowerPoint and Word",
         {jpg, {u".doc", kCompound}, {u".ppt", kCompound}},
         {"jpeg", "powerpoint.ppt", "word.doc"},
         {"1.jpg", "2.ppt", "3.doc"}},
        {"Publisher, its extension chosen in capitals",
         {jpg, {u".doc", kCompound}, {u".PUB", kCompound}},
         {"jpeg", "publisher.pub"},
         {"1.jpg", "2.pub"}},
        {"a capital .DOC signature is named",
         {jpg, {u".DOC", kCompound}, {u".xls", kCompound}},
         {"jpeg", "excel.xls"},
         {"1.jpg", "2.xls"}},
        {"an .xls signature is not named",
         {jpg, {u".xls", kCompound}, {u".ppt", kCompound}},
         {"jpeg", "powerpoint.ppt"},
         {"1.jpg", "2.xls"}},
        {"a ZIP-based .docx fails the naming and ends as .pub",
         {jpg, {u".docx", "504b0304"}, {u".pub", kCompound}},
         {"jpeg", "a-text.docx"},
         {"1.jpg", "2.pub"}},
        {"no summary information gives .pub",
         {jpg, {u".doc", kCompound}, {u".pub", kCompound}},
         {"jpeg", "word-no-summary.doc"},
         {"1.jpg", "2.pub"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        ui.Attach();
        RawDisk disk(512);
        std::uint32_t sector = 10;
        for (const std::string& plant : c.plants) {
            if (plant == "jpeg")
                disk.Put(sector, kJpeg);
            else if (plant == "a-text.docx")
                disk.Put(sector, ReadFileBytes(OriginalFilePath("text1/a-text.docx")));
            else
                disk.Put(sector, ReadFileBytes(TraceFixturePath("docs/" + plant)));
            sector += 40;
        }
        ASSERT_TRUE(disk.Open());
        for (const Signature& signature : c.signatures)
            AddSignature(signature.extension, u"Type",
                         static_cast<std::uint32_t>(std::strlen(signature.hex) / 2), signature.hex);
        SetTraceRange(0, 511);
        Search();
        EXPECT_EQ(Names(FoundItems()), c.expected);
        EXPECT_FALSE(OfficeTempFileExists());
    }
}

// A signature of one zero byte with the extension .doc makes every zero sector a hit: none of them
// begins a compound file, so none is copied anywhere to be named (a file left at the naming's old
// temporary name stays as it is) and every one takes the signature's extension.
TEST_F(FileTraceSearchTest, HitsThatBeginNoCompoundFileAreNotCopiedToBeNamed)
{
    constexpr std::uint32_t kSectors = 2048;
    RawDisk disk(kSectors);
    ASSERT_TRUE(disk.Open());
    const std::string tempPath = Utf8Text(OfficeTempFilePath());
    const std::vector<std::uint8_t> left(1000, 0xAB);
    ASSERT_TRUE(WriteFileBytes(tempPath, left));
    AddSignature(u".doc", u"Word", 0, "00");
    SetTraceRange(0, kSectors - 1);
    Search();
    const std::vector<FoundItem> items = FoundItems();
    ASSERT_EQ(items.size(), kSectors);
    EXPECT_EQ(items.back().name, std::to_string(kSectors) + ".doc");
    EXPECT_EQ(ReadFileBytes(tempPath), left);
}

// A panel whose found-files label asks the worker to stop once it shows `stopAt`.
class StoppingPanel : public ScanPanelUi
{
public:
    explicit StoppingPanel(std::u16string stopAt) : stopAt(std::move(stopAt)) {}
    void SetStatusText(const char16_t*) override {}
    void SetProgressPos(std::uint32_t) override {}
    void HideProgress() override {}
    void ShowProgress() override {}
    void HideStatusText() override {}
    void ShowStatusText() override {}
    void SetCounterLabels() override {}
    void SetLabelText(ScanPanelLabel label, const char16_t* text) override
    {
        if (label == ScanPanelLabel::FileCount && text == stopAt)
            ScanThreadControl.done = 1;
    }

private:
    std::u16string stopAt;
};

TEST_F(FileTraceSearchTest, AStopEndsTheSearchAndTheTreeShowsWhatWasFound)
{
    RawDisk disk(256);
    for (std::uint32_t sector : {10u, 20u, 30u, 100u})
        disk.Put(sector, kJpeg);
    ASSERT_TRUE(disk.Open());
    AddSignature(u".jpg", u"JPEG Image", 3, "ffd8ff");
    SetTraceRange(0, 255);
    StoppingPanel panel(u"2");
    engineUi.scanPanel = &panel;
    Search();
    EXPECT_EQ(Names(FoundItems()), (std::vector<std::string>{"1.jpg", "2.jpg"}));
    ASSERT_EQ(ui.recoveryTreeItems.size(), 2u);
    EXPECT_EQ(ui.recoveryTreeItems[1].text, u"JPEG Image");
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
}

TEST_F(FileTraceSearchTest, ProgressAndTheDetailsOfThePanel)
{
    RawDisk disk(1000);
    disk.Put(500, kJpeg);
    ASSERT_TRUE(disk.Open());
    AddSignature(u".jpg", u"JPEG Image", 3, "ffd8ff");
    SetTraceRange(0, 999);
    Search();

    std::vector<int> percents;
    for (const std::string& argument : Calls("scanPanel.SetProgressPos"))
        percents.push_back(std::stoi(argument));
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 99);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(std::adjacent_find(percents.begin(), percents.end()), percents.end()) << "each percent once";

    const std::vector<std::string> statuses = Calls("scanPanel.SetStatusText");
    ASSERT_EQ(statuses.size(), 17u); // 16 batches, then the tree
    EXPECT_EQ(statuses[0], "\"Reading Sector 0 Of 999\"");
    EXPECT_EQ(statuses[15], "\"Reading Sector 960 Of 999\"");
    const std::vector<std::string> labels = Calls("scanPanel.SetLabelText");
    EXPECT_NE(std::find(labels.begin(), labels.end(), "CurrentSector, \"64\""), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "BootSectorCount, \"0\""), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "FileCount, \"1\""), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "LastName, \"1.jpg\""), labels.end());

    // Hidden details: the bar still moves, the labels and sector texts stay.
    ui.Clear();
    ScanDetailsShown = 0;
    Search();
    EXPECT_TRUE(Calls("scanPanel.SetLabelText").empty());
    EXPECT_EQ(Calls("scanPanel.SetStatusText"), std::vector<std::string>{"\"Please wait creating tree\""});
    EXPECT_FALSE(Calls("scanPanel.SetProgressPos").empty());
    EXPECT_EQ(Names(FoundItems()), std::vector<std::string>{"1.jpg"});
}

TEST_F(FileTraceSearchTest, WithoutSignaturesNothingIsFound)
{
    RawDisk disk(64);
    disk.Put(5, kJpeg);
    ASSERT_TRUE(disk.Open());
    AddTraceFoundRec(u"9.jpg", u".jpg", u"JPEG Image", 9, 5);
    SetTraceRange(0, 63);
    Search();
    EXPECT_TRUE(FoundItems().empty());
    ASSERT_EQ(ui.recoveryTreeItems.size(), 1u);
    EXPECT_TRUE(ui.resultRows.empty());
}

// ---- The worker: partition parameters first --------------------------------------------------------

TEST_F(FileTraceSearchTest, TheWorkerFindsThePartitionParametersAndSearches)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    TraceSource source;
    ASSERT_TRUE(source.Open(test_support::JoinPath(test_support::TestDisksDir(), "mbr-ext05.vmdk")));
    VolumeParams.scanFsCode = kFsFat16;
    SetTraceRange(2048, 2048 + 32768 - 1);
    // The FAT16 boot sector's jump and its "FAT16   " label at byte 54 are not in the 15-byte window;
    // the jump and the "mkfs.fat" name are.
    AddSignature(u".bin", u"Boot", 11, "eb3c906d6b66732e666174");

    ArmScanWorker();
    EXPECT_EQ(FileTraceScanThread(), 1u);
    EXPECT_EQ(FoundItems(), (std::vector<FoundItem>{{"1.bin", ".bin", "Boot", 2048, 1}}));
    const std::vector<std::string> statuses = Calls("scanPanel.SetStatusText");
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front(), "\"Please wait, Searching for Data...\"");
    EXPECT_EQ(Calls("scanPanel.SetCounterLabels").size(), 1u);
    EXPECT_TRUE(Calls("messages.HtmlMessageBox").empty());
    EXPECT_EQ(ScanThreadControl.done.load(), 1u);
    EXPECT_EQ(ScanThreadControl.running.load(), 0u);
    EXPECT_EQ(PartitionParamsMissing.load(), 0u);
}

TEST_F(FileTraceSearchTest, WithoutPartitionParametersTheStepIsGivenBack)
{
    ASSERT_TRUE(test_support::TestDisksAvailable());
    struct Case
    {
        const char* name;
        std::uint16_t sourceKind;
        bool searchesForParameters;
    };
    // The gap before the first partition holds no boot sector and no directory; a logical volume
    // whose letter cannot be opened has nothing to read.
    const Case cases[] = {{"empty sectors of an image", kSourceImage, true},
                          {"a volume that cannot be opened", kSourceLogicalVolume, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineState();
        ui.Clear();
        ui.Attach();
        TraceSource source;
        ASSERT_TRUE(source.Open(test_support::JoinPath(test_support::TestDisksDir(), "mbr-ext05.vmdk")));
        SourceState.sourceKind = c.sourceKind;
        VolumeParams.driveIndex = 3; // an empty entry of the drive table
        VolumeParams.scanFsCode = kFsFat16;
        SetTraceRange(100, 1999);
        AddSignature(u".bin", u"Zeros", 2, "0000");
        AddTraceFoundRec(u"7.jpg", u".jpg", u"JPEG Image", 7, 1234);

        ArmScanWorker();
        EXPECT_EQ(FileTraceScanThread(), 0u);
        EXPECT_EQ(Calls("messages.HtmlMessageBox"),
                  std::vector<std::string>{"\"Corvane VMDK Recovery was unable to find correct partition "
                                           "parameters.\", \"Corvane VMDK Recovery\", 16"});
        EXPECT_EQ(PartitionParamsMissing.load(), 1u);
        const std::vector<std::string> statuses = Calls("scanPanel.SetStatusText");
        EXPECT_EQ(statuses.empty(), !c.searchesForParameters);
        if (c.searchesForParameters && !statuses.empty()) {
            EXPECT_EQ(statuses[0], "\"Please wait, Calculating partition parameters...\"");
        }
        const std::vector<std::string> shown = Calls("partitionStep.ShowButton");
        EXPECT_NE(std::find(shown.begin(), shown.end(), "Scan, true"), shown.end());
        // The search never ran: the earlier items stay.
        EXPECT_EQ(Names(FoundItems()), std::vector<std::string>{"7.jpg"});
    }
}

} // namespace
