// The archive and dBASE lists in the preview pane of a test frame, on the display: every row against
// what the outside tools read from the same files (zipinfo, gcab, cabextract, bsdtar, python3-dbf), the
// placeholder for what cannot be listed, times shown as stored, and the results view's shared icons.
#include <afxwin.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "../ui_controls/modal_script.h"
#include "archive_list_view.h"
#include "dbf_view.h"
#include "main_preview_view.h"
#include "preview_fixture_paths.h"
#include "preview_test_frame.h"
#include "support/oracle_files.h"
#include "support/screenshot.h"
#include "zip_archive_reader.h"

namespace {

CString Wide(const std::string& text)
{
    return CString(std::wstring(text.begin(), text.end()).c_str());
}

// "2023 Nov 5 08:30:44" (zipinfo) as the list writes it: "05 Nov 2023, 08:30:44".
std::string ListTimeFromZipinfo(const std::string& text)
{
    char month[4] = {};
    int year = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(text.c_str(), "%d %3s %d %d:%d:%d", &year, month, &day, &hour, &minute, &second) != 6)
        return "unreadable oracle time " + text;
    char shown[64];
    std::snprintf(shown, sizeof shown, "%02d %s %d, %02d:%02d:%02d", day, month, year, hour, minute, second);
    return shown;
}

// A UTC time of zipinfo as the list shows it in this process's zone.
std::string ListTimeFromUtc(const std::string& text)
{
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char month[4] = {};
    SYSTEMTIME utc = {};
    int year = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(text.c_str(), "%d %3s %d %d:%d:%d", &year, month, &day, &hour, &minute, &second) != 6)
        return "unreadable oracle time " + text;
    utc.wYear = static_cast<WORD>(year);
    for (int m = 0; m < 12; ++m)
        if (std::string(month) == kMonths[m])
            utc.wMonth = static_cast<WORD>(m + 1);
    utc.wDay = static_cast<WORD>(day);
    utc.wHour = static_cast<WORD>(hour);
    utc.wMinute = static_cast<WORD>(minute);
    utc.wSecond = static_cast<WORD>(second);
    FILETIME universal = {}, local = {};
    SYSTEMTIME shown = {};
    ::SystemTimeToFileTime(&utc, &universal);
    ::FileTimeToLocalFileTime(&universal, &local);
    ::FileTimeToSystemTime(&local, &shown);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02d %s %d, %02d:%02d:%02d", shown.wDay, kMonths[shown.wMonth - 1],
                  shown.wYear, shown.wHour, shown.wMinute, shown.wSecond);
    return buffer;
}

class ArchiveListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new CPreviewTestFrame;
        m_pHost = m_pFrame->CreateWithHost(L"Archive list test", CRect(0, 0, 900, 420));
        ASSERT_NE(m_pHost, nullptr);
        m_pFrame->RecalcLayout();
        m_pFrame->ShowWindow(SW_SHOW);
        m_pFrame->UpdateWindow();
        Pump(30);
    }

    void TearDown() override
    {
        if (m_pFrame != NULL)
            m_pFrame->DestroyWindow();
        PreviewTestApp().m_pMainWnd = NULL;
        Pump(30);
    }

    void Show(const std::string& relative)
    {
        const CString strPath = Wide(PreviewFixture(relative));
        m_pFrame->ShowPreview(strPath, L"." + strPath.Mid(strPath.ReverseFind(L'.') + 1));
        Pump(30);
    }

    CListCtrl* ArchiveList() const
    {
        auto* pView = dynamic_cast<CMyListCtrl*>(m_pHost->m_pViews[kPreviewArchive]);
        return pView != NULL ? pView->m_pList : NULL;
    }

    CListCtrl* TableList() const
    {
        auto* pView = dynamic_cast<CDBF_View*>(m_pHost->m_pViews[kPreviewDbf]);
        return pView != NULL ? pView->m_pList : NULL;
    }

    // The rows of a list as single-byte texts.
    static std::vector<std::vector<std::string>> Rows(CListCtrl* pList)
    {
        std::vector<std::vector<std::string>> rows;
        if (pList == NULL)
            return rows;
        const int nColumns = pList->GetHeaderCtrl()->GetItemCount();
        for (int row = 0; row < pList->GetItemCount(); ++row) {
            rows.emplace_back();
            for (int column = 0; column < nColumns; ++column)
                rows.back().push_back(Narrow(pList->GetItemText(row, column)));
        }
        return rows;
    }

    bool ShowsPlaceholder() const
    {
        return m_pHost->m_pViews[kPreviewPlaceholder] != NULL && !m_pFrame->m_bPreviewOk &&
               m_pFrame->m_bPreviewable;
    }

    void Screenshot(const wchar_t* name)
    {
        m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(50);
        test_support::WriteFramedWindowScreenshot(m_pFrame->m_hWnd, name);
    }

    CPreviewTestFrame* m_pFrame = NULL;
    CMainPreviewView* m_pHost = NULL;
};

TEST_F(ArchiveListTest, EveryZipRowMatchesZipinfo)
{
    for (const char* name : {"python", "infozip", "infozip_extras", "three"}) {
        SCOPED_TRACE(name);
        Show(std::string("archives/") + name + ".zip");
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        const auto rows = Rows(ArchiveList());
        const auto oracle =
            test_support::ReadTsv(PreviewFixture(std::string("archives/") + name + ".zipinfo.tsv"));
        ASSERT_EQ(rows.size(), oracle.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(oracle[i][0]);
            ASSERT_EQ(rows[i].size(), 7u);
            EXPECT_EQ(rows[i][0], oracle[i][0]);
            EXPECT_EQ(rows[i][1], oracle[i][0].find('/') != std::string::npos ? "Yes" : "No");
            EXPECT_EQ(rows[i][2], oracle[i][1]);
            const std::string dos = ListTimeFromZipinfo(oracle[i][2]);
            EXPECT_EQ(rows[i][4],
                      rows[i][0] == "ut_all_three.txt" ? ListTimeFromUtc("2024 Jan 4 03:04:05") : dos);
            EXPECT_EQ(rows[i][5], oracle[i][3] == "-" ? dos : ListTimeFromUtc(oracle[i][3]));
            if (std::string(name) != "infozip_extras")
                EXPECT_EQ(rows[i][3],
                          rows[i][0] == "ut_all_three.txt" ? ListTimeFromUtc("2024 Jan 3 03:04:05") : dos);
        }
        if (std::string(name) == "python")
            Screenshot(L"preview_archive_zip");
    }
}

TEST_F(ArchiveListTest, ZipAttributesFollowTheHostThatMadeTheMember)
{
    Show("archives/python.zip");
    std::map<std::string, std::string> attributes;
    for (const auto& row : Rows(ArchiveList()))
        attributes[row[0]] = row[6];
    const std::map<std::string, std::string> expected = {
        {"unix_0644.txt", "----"},
        {"unix_0444.txt", "r---"},
        {"unix_dir/", "----"},
        {"windows_archive.txt", "-a--"},
        {"windows_readonly_hidden_system.txt", "rahs"},
        {"docs/ut_modified.txt", "-a--"},
        {"ut_all_three.txt", "-a--"},
    };
    EXPECT_EQ(attributes, expected);
}

TEST_F(ArchiveListTest, ZipReaderCountsCachesAndRefuses)
{
    ZipArchiveHandle* hArchive =
        ZipArchiveOpen(Wide(PreviewFixture("archives/three.zip")), 0, kZipFileNameIsPath);
    ASSERT_NE(hArchive, nullptr);
    ZipArchiveEntry entry = {};
    EXPECT_EQ(ZipArchiveGetItem(hArchive, -1, &entry), kZipOk);
    EXPECT_EQ(entry.index, 3);
    EXPECT_EQ(entry.name[0], L'\0');
    ZipArchiveEntry again = {};
    EXPECT_EQ(ZipArchiveGetItem(hArchive, 1, &entry), kZipOk);
    EXPECT_EQ(ZipArchiveGetItem(hArchive, 1, &again), kZipOk);
    EXPECT_STREQ(again.name, L"two/two.txt");
    EXPECT_EQ(ZipArchiveGetItem(hArchive, 0, &entry), kZipOk);
    EXPECT_STREQ(entry.name, L"one.txt");
    EXPECT_EQ(ZipArchiveGetItem(hArchive, 3, &entry), kZipBadArgument);
    EXPECT_EQ(ZipArchiveGetItem(hArchive, -2, &entry), kZipBadArgument);
    ZipArchiveHandle foreign = {7, NULL};
    EXPECT_EQ(ZipArchiveGetItem(&foreign, 0, &entry), kZipNotOurHandle);
    EXPECT_EQ(ZipArchiveClose(hArchive), kZipOk);

    EXPECT_EQ(ZipArchiveOpen(Wide(PreviewFixture("archives/not_a_zip.zip")), 0, kZipFileNameIsPath), nullptr);
    EXPECT_EQ(ZipArchiveLastError, kZipCannotOpen);
    EXPECT_EQ(ZipArchiveOpen(L"Z:\\no such folder\\missing.zip", 0, kZipFileNameIsPath), nullptr);
    EXPECT_EQ(ZipArchiveClose(NULL), kZipBadArgument);
    EXPECT_EQ(ZipArchiveLastError, kZipBadArgument);
}

TEST_F(ArchiveListTest, ZipsThatCannotBeOpenedShowThePlaceholderAndEmptyOnesAnEmptyList)
{
    Show("archives/not_a_zip.zip");
    EXPECT_TRUE(ShowsPlaceholder());

    Show("archives/empty.zip");
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    ASSERT_NE(ArchiveList(), nullptr);
    EXPECT_EQ(ArchiveList()->GetItemCount(), 0);

    Show("archives/UPPER.ZIP");
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(Rows(ArchiveList()).size(), 3u);
}

// Bytes written to a file of the temporary folder; removed with the object.
class TemporaryFile
{
public:
    TemporaryFile(const std::string& bytes, const wchar_t* extension)
    {
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        m_path =
            std::wstring(folder) + L"preview_damaged_" + std::to_wstring(::GetCurrentProcessId()) + extension;
        std::ofstream out(m_path.c_str(), std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TemporaryFile() { ::DeleteFileW(m_path.c_str()); }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// A copy of a fixture with some bytes changed.
class DamagedCopy : public TemporaryFile
{
public:
    DamagedCopy(const std::string& relative, const wchar_t* extension, std::size_t size,
                const std::vector<std::pair<std::size_t, char>>& changes)
        : TemporaryFile(Damaged(relative, size, changes), extension)
    {}

private:
    static std::string Damaged(const std::string& relative, std::size_t size,
                               const std::vector<std::pair<std::size_t, char>>& changes)
    {
        std::string bytes = test_support::ReadWholeFile(PreviewFixture(relative));
        bytes.resize(size < bytes.size() ? size : bytes.size());
        for (const auto& [at, value] : changes)
            if (at < bytes.size())
                bytes[at] = value;
        return bytes;
    }
};

std::string Little(std::uint32_t value, int bytes)
{
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += static_cast<char>((value >> (8 * i)) & 0xFF);
    return text;
}

// A ZIP archive of one empty stored member, written field by field.
std::string OneMemberZip(const std::string& name)
{
    const std::string common = Little(20, 2) + Little(0, 2) + Little(0, 2) + Little(0, 4) + Little(0, 4) +
                               Little(0, 4) + Little(0, 4) +
                               Little(static_cast<std::uint32_t>(name.size()), 2) + Little(0, 2);
    const std::string local = "PK\x03\x04" + common + name;
    const std::string central = "PK\x01\x02" + Little(20, 2) + common + Little(0, 2) + Little(0, 2) +
                                Little(0, 2) + Little(0x20, 4) + Little(0, 4) + name;
    return local + central + "PK\x05\x06" + Little(0, 2) + Little(0, 2) + Little(1, 2) + Little(1, 2) +
           Little(static_cast<std::uint32_t>(central.size()), 4) +
           Little(static_cast<std::uint32_t>(local.size()), 4) + Little(0, 2);
}

// A member name of 260 bytes and more is shown cut to the 259 characters an entry holds, not empty.
TEST_F(ArchiveListTest, LongZipMemberNamesShowCut)
{
    for (const std::size_t length :
         {std::size_t{259}, std::size_t{260}, std::size_t{300}, std::size_t{1000}}) {
        SCOPED_TRACE(length);
        std::string name;
        for (std::size_t i = 0; i < length; ++i)
            name += static_cast<char>('a' + i % 26);
        TemporaryFile archive(OneMemberZip(name), L".zip");
        m_pFrame->ShowPreview(archive.Path().c_str(), L".zip");
        Pump(30);
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        const auto rows = Rows(ArchiveList());
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0], name.substr(0, 259));
        if (length == 300)
            Screenshot(L"preview_archive_zip_long_name");
        m_pFrame->ShowPreview(L"", L"");
    }
}

TEST_F(ArchiveListTest, ADamagedZipMemberEndsTheListWithWhatWasRead)
{
    // The second member's local header loses its signature; the central directory still names three.
    const std::string archive = test_support::ReadWholeFile(PreviewFixture("archives/three.zip"));
    const std::size_t second = archive.find("PK\x03\x04", 1);
    ASSERT_NE(second, std::string::npos);
    DamagedCopy copy("archives/three.zip", L".zip", archive.size(), {{second, 'X'}});
    m_pFrame->ShowPreview(copy.Path().c_str(), L".zip");
    Pump(30);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    const auto rows = Rows(ArchiveList());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "one.txt");
    m_pFrame->ShowPreview(L"", L"");

    ZipArchiveHandle* hArchive = ZipArchiveOpen(copy.Path().c_str(), 0, kZipFileNameIsPath);
    ASSERT_NE(hArchive, nullptr);
    ZipArchiveEntry entry = {};
    EXPECT_EQ(ZipArchiveGetItem(hArchive, 1, &entry), kZipLocalHeaderInconsistent);
    EXPECT_EQ(ZipArchiveGetItem(hArchive, 2, &entry), kZipOk);
    EXPECT_STREQ(entry.name, L"three.txt");
    EXPECT_EQ(ZipArchiveGetItem(hArchive, 0, &entry), kZipOk);
    ZipArchiveClose(hArchive);
}

TEST_F(ArchiveListTest, CabinetsListAsGcabAndCabextractDoInReverse)
{
    for (const char* name : {"first", "second"}) {
        SCOPED_TRACE(name);
        Show(std::string("archives/") + name + ".cab");
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        const auto rows = Rows(ArchiveList());
        const auto gcab =
            test_support::ReadTsv(PreviewFixture(std::string("archives/") + name + ".gcab.tsv"));
        const auto cabextract =
            test_support::ReadTsv(PreviewFixture(std::string("archives/") + name + ".cabextract.tsv"));
        // Only this cabinet's members, the last one first.
        ASSERT_EQ(rows.size(), gcab.size());
        ASSERT_EQ(rows.size(), cabextract.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto& stored = gcab[gcab.size() - 1 - i];
            SCOPED_TRACE(stored[0]);
            const std::size_t slash = stored[0].rfind('\\');
            EXPECT_EQ(rows[i][0], stored[0].substr(slash + 1));
            EXPECT_EQ(rows[i][1], slash == std::string::npos ? "" : stored[0].substr(0, slash + 1));
            EXPECT_EQ(rows[i][2], stored[1]);
            EXPECT_EQ(rows[i][2], cabextract[cabextract.size() - 1 - i][1]);
            EXPECT_EQ(rows[i][3], "29 Feb 2024, 23:58:10");
            EXPECT_EQ(rows[i][4], "-a--");
        }
        if (std::string(name) == "first") {
            EXPECT_EQ(rows[0][0], "file.txt");
            EXPECT_EQ(rows[0][1], "sub\\");
            Screenshot(L"preview_archive_cab");
        }
    }
}

TEST_F(ArchiveListTest, RarArchivesListTheNamesAndSizesBsdtarGives)
{
    for (const char* name : {"stored4", "stored5", "empty4", "empty5"}) {
        SCOPED_TRACE(name);
        Show(std::string("archives/") + name + ".rar");
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        ASSERT_NE(ArchiveList(), nullptr);
        const auto rows = Rows(ArchiveList());
        const auto oracle =
            test_support::ReadTsv(PreviewFixture(std::string("archives/") + name + ".bsdtar.tsv"));
        ASSERT_EQ(rows.size(), oracle.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::string expected = oracle[i][0];
            for (char& c : expected)
                if (c == '/')
                    c = '\\';
            EXPECT_EQ(rows[i][0], expected);
            EXPECT_EQ(rows[i][2], oracle[i][1]);
            const bool folder = oracle[i][1] == "0" && expected.find('.') == std::string::npos;
            const bool oddFlags = expected == "small dictionary.txt";
            EXPECT_EQ(rows[i][1], oddFlags ? "" : folder ? "Yes" : "No") << expected;
            EXPECT_EQ(rows[i][3], "15 Mar 2024, 10:20:30");
        }
    }
}

TEST_F(ArchiveListTest, CraftedRarArchivesEndCleanly)
{
    Show("archives/crafted_short.rar");
    EXPECT_TRUE(ShowsPlaceholder());

    // Cut inside its second member's header: the first is listed, and the listing still counts as shown.
    DamagedCopy cut("archives/stored5.rar", L".rar", 60, {});
    m_pFrame->ShowPreview(cut.Path().c_str(), L".rar");
    Pump(30);
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    EXPECT_EQ(Rows(ArchiveList()).size(), 1u);
    m_pFrame->ShowPreview(L"", L"");
}

// Each row costs a shell icon look-up on the UI thread: a list holds at most the record limit of the
// dBASE and Access lists, and says so as they do.
TEST_F(ArchiveListTest, ArchivesPastTheRecordLimitListTheLimitAndSaySo)
{
    CStatusBar statusBar;
    ASSERT_TRUE(statusBar.Create(m_pFrame));
    const UINT indicator = ID_SEPARATOR;
    statusBar.SetIndicators(&indicator, 1);
    m_pFrame->RecalcLayout();
    const struct
    {
        const char* name;
        long limit;
        std::size_t members;
        const char* firstRow;
    } cases[] = {{"archives/over-limit.zip", 10000, 10001, "member-00000.txt"},
                 {"archives/three.zip", 2, 3, "one.txt"},
                 {"archives/first.cab", 1, 2, "file.txt"},
                 {"archives/stored5.rar", 1,
                  test_support::ReadTsv(PreviewFixture("archives/stored5.bsdtar.tsv")).size(), nullptr},
                 // At the limit: all of it, and nothing to say.
                 {"archives/three.zip", 3, 3, "one.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " within " + std::to_string(c.limit));
        m_pFrame->m_nMaxRecords = c.limit;
        statusBar.SetPaneText(0, L"");
        const bool over = c.members > static_cast<std::size_t>(c.limit);
        std::wstring boxText;
        {
            ModalScript script({ModalScript::Do([&](HWND box) {
                                   boxText = BoxTextHolding(box, L"Loaded");
                                   if (c.limit == 10000)
                                       test_support::WriteWindowScreenshot(box,
                                                                           L"preview_archive_over_limit_box");
                                   ClickButton(box, IDOK);
                               })},
                               over ? 20000 : 2000);
            Show(c.name);
            EXPECT_EQ(script.AllStepsRan(), over);
        }
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        ASSERT_NE(ArchiveList(), nullptr);
        const std::size_t shown = over ? static_cast<std::size_t>(c.limit) : c.members;
        EXPECT_EQ(static_cast<std::size_t>(ArchiveList()->GetItemCount()), shown);
        if (c.firstRow != nullptr)
            EXPECT_EQ(Narrow(ArchiveList()->GetItemText(0, 0)), c.firstRow);
        const CString notice = over ? CString(("Loaded " + std::to_string(shown) + " of " +
                                               std::to_string(c.members) + " total records")
                                                  .c_str())
                                    : CString();
        EXPECT_EQ(CString(boxText.c_str()), notice);
        EXPECT_EQ(statusBar.GetPaneText(0), notice);
        if (c.limit == 10000)
            Screenshot(L"preview_archive_over_limit");
    }
}

TEST_F(ArchiveListTest, WithoutTheRarLibraryARarShowsThePlaceholder)
{
    wchar_t program[MAX_PATH];
    ::GetModuleFileNameW(NULL, program, MAX_PATH);
    std::wstring library = program;
    library = library.substr(0, library.rfind(L'\\') + 1) + L"unrar.dll";
    const std::wstring hidden = library + L".hidden";
    ASSERT_TRUE(::MoveFileW(library.c_str(), hidden.c_str()));
    Show("archives/stored4.rar");
    const bool placeholder = ShowsPlaceholder();
    ASSERT_TRUE(::MoveFileW(hidden.c_str(), library.c_str()));
    EXPECT_TRUE(placeholder);
    Show("archives/stored4.rar");
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
}

TEST_F(ArchiveListTest, TheResultsViewsIconsSurviveClosingAnArchivePreview)
{
    HIMAGELIST hIcons = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
    ASSERT_NE(hIcons, nullptr);
    HICON hIcon = ::LoadIconW(NULL, MAKEINTRESOURCEW(32512));
    ImageList_AddIcon(hIcons, hIcon);
    ImageList_AddIcon(hIcons, hIcon);
    m_pFrame->m_hResultsSmallIcons = hIcons;
    Show("archives/three.zip");
    ASSERT_NE(ArchiveList(), nullptr);
    EXPECT_EQ(ListView_GetImageList(ArchiveList()->m_hWnd, LVSIL_SMALL), hIcons);
    m_pFrame->ShowPreview(L"", L"");
    Pump(30);
    EXPECT_EQ(m_pHost->m_pViews[kPreviewArchive], nullptr);
    EXPECT_EQ(ImageList_GetImageCount(hIcons), 2);
    m_pFrame->m_hResultsSmallIcons = NULL;
    ImageList_Destroy(hIcons);
}

TEST_F(ArchiveListTest, HeaderPicturesStandOnEveryColumn)
{
    Show("archives/three.zip");
    ASSERT_NE(ArchiveList(), nullptr);
    CHeaderCtrl* pHeader = ArchiveList()->GetHeaderCtrl();
    ASSERT_EQ(pHeader->GetItemCount(), 7);
    HIMAGELIST hPictures = Header_GetImageList(pHeader->m_hWnd);
    ASSERT_NE(hPictures, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(hPictures), 7);
    for (int i = 0; i < 7; ++i) {
        HDITEM item = {};
        item.mask = HDI_IMAGE | HDI_FORMAT;
        pHeader->GetItem(i, &item);
        EXPECT_EQ(item.iImage, i);
        EXPECT_NE(item.fmt & HDF_IMAGE, 0);
    }
}

// Run once more with TZ set to a zone five hours west of UTC (as both the C runtime and the system read it):
// times stored as local times show as stored.
TEST_F(ArchiveListTest, LocalTimesShowAsStoredInAnyZone)
{
    TIME_ZONE_INFORMATION zone = {};
    ::GetTimeZoneInformation(&zone);
    std::printf("time zone bias: %ld minutes\n", static_cast<long>(zone.Bias));
    Show("archives/three.zip");
    auto rows = Rows(ArchiveList());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][5], "05 Nov 2023, 08:30:44");
    Show("archives/first.cab");
    rows = Rows(ArchiveList());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][3], "29 Feb 2024, 23:58:10");
    Show("archives/stored4.rar");
    rows = Rows(ArchiveList());
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0][3], "15 Mar 2024, 10:20:30");
    const char* tz = std::getenv("TZ");
    if (tz != NULL && std::string(tz) == "EST5")
        EXPECT_EQ(zone.Bias, 300);
}

TEST_F(ArchiveListTest, DbaseTablesListAsPython3DbfReadsThem)
{
    for (const char* name : {"people", "stock"}) {
        SCOPED_TRACE(name);
        Show(std::string("tables/") + name + ".dbf");
        EXPECT_TRUE(m_pFrame->m_bPreviewOk);
        const auto rows = Rows(TableList());
        const auto oracle = test_support::ReadTsv(PreviewFixture(std::string("tables/") + name + ".dbf.tsv"));
        ASSERT_EQ(rows.size() + 1, oracle.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            ASSERT_EQ(rows[r].size(), oracle[0].size());
            EXPECT_EQ(rows[r][0], std::to_string(r + 1));
            for (std::size_t f = 1; f < oracle[0].size(); ++f)
                EXPECT_EQ(rows[r][f], oracle[r + 1][f]) << oracle[0][f];
        }
        if (std::string(name) == "people")
            Screenshot(L"preview_dbase_table");
    }
}

TEST_F(ArchiveListTest, DbaseTablesThatCannotBeShownGiveThePlaceholder)
{
    Show("tables/fields200.dbf");
    EXPECT_TRUE(m_pFrame->m_bPreviewOk);
    ASSERT_NE(TableList(), nullptr);
    EXPECT_EQ(TableList()->GetHeaderCtrl()->GetItemCount(), 201);
    EXPECT_EQ(TableList()->GetItemCount(), 1);

    Show("tables/fields201.dbf");
    EXPECT_TRUE(ShowsPlaceholder());
    ASSERT_NE(TableList(), nullptr);
    EXPECT_EQ(TableList()->GetHeaderCtrl()->GetItemCount(), 0);

    m_pFrame->ShowPreview(L"Z:\\no such folder\\missing.dbf", L".dbf");
    Pump(30);
    EXPECT_TRUE(ShowsPlaceholder());
}

} // namespace
