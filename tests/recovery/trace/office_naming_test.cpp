// Naming compound documents by the application in their summary information. The documents are made
// byte by byte by file_trace_fixtures.py (libmagic's `file` reads the same names from them); on Windows
// the system's structured storage (Wine's ole32 in the test run) reads them and makes more, and our own
// compound-file reader is held against it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/save/save_output_io.h"
#include "engine/recovery/trace/compound_file_reader.h"
#include "engine/recovery/trace/office_naming.h"
#include "file_trace_test_support.h"
#include "support/oracle_files.h"

#ifdef _WIN32
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <propidl.h>
#endif

namespace {

constexpr char16_t kSuffix[] = u" (VT_LPSTR)\n";

class OfficeNaming : public testing::Test
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }

    PrivateTempFolder tempFolder;
};

struct DocumentRow
{
    std::string file;
    std::string appName; // empty: no application name
};

std::vector<DocumentRow> Documents()
{
    std::vector<DocumentRow> rows;
    for (const auto& row : test_support::ReadTsv(TraceFixturePath("docs/docs.tsv")))
        rows.push_back({row.at(0), row.at(1) == "-" ? "" : row.at(1)});
    return rows;
}

std::u16string Named(const std::string& appName)
{
    return appName.empty() ? std::u16string() : Utf16(appName) + kSuffix;
}

TEST_F(OfficeNaming, TheFirstApplicationWordInOrderPicksTheExtension)
{
    struct Case
    {
        const char16_t* appName;
        const char16_t* extension;
    };
    const Case cases[] = {
        {u"Microsoft Office PowerPoint", u".ppt"},
        {u"Microsoft Excel", u".xls"},
        {u"Microsoft Word 8.0", u".doc"},
        {u"Microsoft Publisher", u".pub"},
        {u"", u".pub"},
        // Plain substring searches that respect case, PowerPoint before Excel before Word.
        {u"microsoft word", u".pub"},
        {u"WORD", u".pub"},
        {u"Word and Excel", u".xls"},
        {u"Excel PowerPoint Word", u".ppt"},
        {u"MSWordView", u".doc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8Text(c.appName));
        EXPECT_EQ(OfficeExtensionForAppName(c.appName), c.extension);
    }
}

// Each fixture document through the platform's naming (Wine's structured storage on Windows) and
// through our own reader.
TEST_F(OfficeNaming, DocumentsGiveTheApplicationNameOfTheirSummaryInformation)
{
    const std::vector<DocumentRow> rows = Documents();
    ASSERT_GE(rows.size(), 10u);
    for (const DocumentRow& row : rows) {
        SCOPED_TRACE(row.file);
        const std::string path = TraceFixturePath("docs/" + row.file);
        bool platformReadsIt = true;
#ifdef _WIN32
        // Wine's ole32 cuts an ANSI-typed string of a UTF-16 property set at half its length (it puts the
        // terminator at the character count as a byte index); Windows reads it whole.
        platformReadsIt = row.file != "powerpoint-utf16.ppt";
#endif
        if (platformReadsIt) {
            EXPECT_EQ(Utf8Text(GetOfficeAppName(Utf16(path).c_str())), Utf8Text(Named(row.appName)));
        }
        EXPECT_EQ(Utf8Text(ReadCompoundFileAppName(ReadFileBytes(path))), row.appName);
    }
}

TEST_F(OfficeNaming, WhatIsNoCompoundFileNamesNothing)
{
    ScratchFolder scratch;
    WriteFileBytes(scratch.Path("empty"), {});
    std::vector<std::uint8_t> headerOnly = ReadFileBytes(TraceFixturePath("docs/excel.xls"));
    headerOnly.resize(512);
    WriteFileBytes(scratch.Path("header-only"), headerOnly);
    const std::string paths[] = {
        scratch.Path("missing.doc"),           scratch.Path("empty"),
        scratch.Path("header-only"),           OriginalFilePath("pic1/debian_logo.jpg"),
        OriginalFilePath("text1/a-text.docx"),
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        EXPECT_EQ(GetOfficeAppName(Utf16(path).c_str()), u"");
        EXPECT_EQ(ReadCompoundFileAppName(ReadFileBytes(path)), u"");
    }
    EXPECT_EQ(GetOfficeAppName(nullptr), u"");
}

// ---- Crafted compound files: our reader never reads outside the file, loops or crashes ---------------

std::uint32_t Get32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void Set32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where the parts of a version 3 document lie, from its own header.
struct Layout
{
    std::size_t fatAt;       // the first FAT sector
    std::size_t directoryAt; // the first directory sector
    std::uint32_t directorySector;
    std::size_t summaryAt; // the property set stream (in the mini stream)
};

Layout LayoutOf(const std::vector<std::uint8_t>& file)
{
    Layout layout{};
    layout.fatAt = (std::size_t{Get32(file, 76)} + 1) * 512;
    layout.directorySector = Get32(file, 48);
    layout.directoryAt = (std::size_t{layout.directorySector} + 1) * 512;
    // The property set begins with its byte order mark, version 0 and the FMTID at 28.
    const std::vector<std::uint8_t> fmtid = HexBytes("e0859ff2f94f6810ab9108002b27b3d9");
    const auto found = std::search(file.begin(), file.end(), fmtid.begin(), fmtid.end());
    layout.summaryAt = static_cast<std::size_t>(found - file.begin()) - 28;
    return layout;
}

// The directory entry of the summary stream (its name's second unit is 'S').
std::size_t SummaryEntryAt(const std::vector<std::uint8_t>& file, const Layout& layout)
{
    for (std::size_t entry = layout.directoryAt; entry + 128 <= file.size(); entry += 128) {
        if (file[entry] == 5 && file[entry + 2] == 'S')
            return entry;
    }
    return 0;
}

TEST_F(OfficeNaming, CraftedCompoundFilesGiveNoNameAndStayInBounds)
{
    const std::vector<std::uint8_t> original = ReadFileBytes(TraceFixturePath("docs/excel.xls"));
    const Layout layout = LayoutOf(original);
    const std::size_t summaryEntry = SummaryEntryAt(original, layout);
    ASSERT_NE(summaryEntry, 0u);
    const std::size_t section = layout.summaryAt + Get32(original, layout.summaryAt + 44);

    struct Case
    {
        const char* name;
        void (*mutate)(std::vector<std::uint8_t>& file, const Layout& layout, std::size_t summaryEntry,
                       std::size_t section);
        const char* expected;
    };
    const Case cases[] = {
        {"untouched", [](auto&, const auto&, auto, auto) {}, "Microsoft Excel"},
        {"sector shift 10", [](auto& f, const auto&, auto, auto) { f[30] = 10; }, ""},
        {"byte order mark wrong", [](auto& f, const auto&, auto, auto) { f[28] = 0xFF; }, ""},
        {"FAT sector count past the file", [](auto& f, const auto&, auto, auto) { Set32(f, 44, 0x7FFFFFFF); },
         ""},
        {"FAT sector number past the file",
         [](auto& f, const auto&, auto, auto) { Set32(f, 76, 0x00FFFFFF); }, ""},
        {"directory chain that loops",
         [](auto& f, const auto& l, auto, auto) {
             Set32(f, l.fatAt + 4 * l.directorySector, l.directorySector);
         },
         ""},
        {"every FAT link to the next sector",
         [](auto& f, const auto& l, auto, auto) {
             for (std::uint32_t i = 0; i < 128; ++i)
                 Set32(f, l.fatAt + 4 * i, i + 1);
         },
         ""},
        {"directory start past the file", [](auto& f, const auto&, auto, auto) { Set32(f, 48, 0x00FFFFF0); },
         ""},
        {"root entry is a stream", [](auto& f, const auto& l, auto, auto) { f[l.directoryAt + 66] = 2; }, ""},
        {"sibling links that loop away from the summary",
         [](auto& f, const auto& l, auto, auto) {
             Set32(f, l.directoryAt + 76, 1);
             for (std::size_t entry = l.directoryAt + 128; entry < l.directoryAt + 512; entry += 128) {
                 Set32(f, entry + 68, 1);
                 Set32(f, entry + 72, 1);
             }
         },
         ""},
        {"child link past the directory",
         [](auto& f, const auto& l, auto, auto) { Set32(f, l.directoryAt + 76, 4000); }, ""},
        {"summary name longer than its field", [](auto& f, const auto&, auto e, auto) { f[e + 64] = 200; },
         ""},
        {"summary is a storage", [](auto& f, const auto&, auto e, auto) { f[e + 66] = 1; }, ""},
        {"summary size past the file",
         [](auto& f, const auto&, auto e, auto) { Set32(f, e + 120, 0x7FFFFFFF); }, ""},
        {"summary size high half ignored in version 3",
         [](auto& f, const auto&, auto e, auto) { Set32(f, e + 124, 0xFFFFFFFF); }, "Microsoft Excel"},
        {"summary start past the mini stream",
         [](auto& f, const auto&, auto e, auto) { Set32(f, e + 116, 5000); }, ""},
        {"mini FAT chain that loops",
         [](auto& f, const auto&, auto e, auto) {
             Set32(f, e + 120, 1000);
             const std::uint32_t first = Get32(f, e + 116);
             const std::size_t miniFatAt = (std::size_t{Get32(f, 60)} + 1) * 512;
             Set32(f, miniFatAt + 4 * first, first);
         },
         ""},
        {"no mini FAT", [](auto& f, const auto&, auto, auto) { Set32(f, 60, 0xFFFFFFFE); }, ""},
        {"mini stream cutoff 0 sends the summary to the FAT",
         [](auto& f, const auto&, auto, auto) { Set32(f, 56, 0); }, ""},
        {"section offset past the stream",
         [](auto& f, const auto& l, auto, auto) { Set32(f, l.summaryAt + 44, 60000); }, ""},
        {"property count of 2^32 - 1",
         [](auto& f, const auto&, auto, auto s) { Set32(f, s + 4, 0xFFFFFFFF); }, "Microsoft Excel"},
        {"name offset past the section",
         [](auto& f, const auto&, auto, auto s) {
             for (std::size_t pair = s + 8; pair < s + 8 + 8 * Get32(f, s + 4); pair += 8) {
                 if (Get32(f, pair) == 18)
                     Set32(f, pair + 4, 0x7FFFFFF0);
             }
         },
         ""},
        {"name length of 2^32 - 1 without terminator",
         [](auto& f, const auto& l, auto e, auto s) {
             for (std::size_t pair = s + 8; pair < s + 8 + 8 * Get32(f, s + 4); pair += 8) {
                 if (Get32(f, pair) == 18) {
                     const std::size_t value = s + Get32(f, pair + 4);
                     Set32(f, value + 4, 0xFFFFFFFF);
                     for (std::size_t i = value + 8; i < l.summaryAt + Get32(f, e + 120); ++i)
                         f[i] = f[i] ? f[i] : 'x';
                 }
             }
         },
         nullptr},
        {"name of another type",
         [](auto& f, const auto&, auto, auto s) {
             for (std::size_t pair = s + 8; pair < s + 8 + 8 * Get32(f, s + 4); pair += 8) {
                 if (Get32(f, pair) == 18)
                     Set32(f, s + Get32(f, pair + 4), 0x0003);
             }
         },
         ""},
        {"FMTID of another property set",
         [](auto& f, const auto& l, auto, auto) { f[l.summaryAt + 28] ^= 1; }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> file = original;
        c.mutate(file, layout, summaryEntry, section);
        std::uint64_t bytesRead = 0;
        const CompoundFileRead read = [&](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
            bytesRead += count;
            std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), count, out);
            return true;
        };
        const std::string name = Utf8Text(ReadCompoundFileAppName(read, file.size()));
        // However its chains run, the file is read no more than once over.
        EXPECT_LE(bytesRead, file.size());
        if (c.expected) {
            EXPECT_EQ(name, c.expected);
        } else {
            EXPECT_EQ(name.rfind("Microsoft Excel", 0), 0u) << name;
        }
        // Every cut of the file ends cleanly as well.
        for (std::size_t size :
             {std::size_t{0}, std::size_t{511}, std::size_t{512}, std::size_t{1024}, file.size() - 1})
            ReadCompoundFileAppName(std::span<const std::uint8_t>(file.data(), std::min(size, file.size())));
    }
}

// ---- Naming a document found on the source -----------------------------------------------------------

struct PlantedRow
{
    std::uint32_t sector;
    std::string extension;
    std::string file;
};

std::vector<PlantedRow> Planted()
{
    std::vector<PlantedRow> rows;
    for (const auto& row : test_support::ReadTsv(TraceFixturePath("planted.tsv")))
        rows.push_back({static_cast<std::uint32_t>(std::stoul(row.at(0))), row.at(1), row.at(2)});
    return rows;
}

TEST_F(OfficeNaming, DocumentsFoundOnADiskAreNamed)
{
    TraceSource source;
    ASSERT_TRUE(source.Open(TraceFixturePath("planted.raw")));
    int named = 0;
    for (const PlantedRow& row : Planted()) {
        SCOPED_TRACE(row.file + " at " + std::to_string(row.sector));
        const std::string fileExtension = row.file.substr(row.file.rfind('.'));
        const bool compound = fileExtension == ".doc" || fileExtension == ".xls" || fileExtension == ".ppt" ||
                              fileExtension == ".pub";
        const std::u16string extension = GetOfficeExtension(row.sector);
        EXPECT_FALSE(OfficeTempFileExists());
        if (compound) {
            EXPECT_EQ(Utf8Text(extension), row.extension);
            ++named;
        } else {
            // A picture or a ZIP archive is no structured storage.
            EXPECT_EQ(extension, u".pub");
        }
    }
    EXPECT_GE(named, 8);
}

// A found document is read from the source only as far as the reader needs it: no copy of it is
// made (a file left at the old temporary name stays untouched), a sector without the compound-file
// signature costs that one sector, and a megabyte of sectors that all begin like a compound file is read
// no more than once over.
TEST_F(OfficeNaming, NamingReadsOnlyTheSectorsTheReaderNeeds)
{
    const std::vector<std::uint8_t> disk = ReadFileBytes(TraceFixturePath("planted.raw"));
    std::uint64_t bytesRead = 0;
    auto readAt = [&](const std::vector<std::uint8_t>& bytes, std::uint64_t start) {
        return CompoundFileRead(
            [&bytes, &bytesRead, start](std::uint64_t offset, std::size_t count, std::uint8_t* out) {
                bytesRead += count;
                for (std::size_t i = 0; i < count; ++i)
                    out[i] = start + offset + i < bytes.size() ? bytes[start + offset + i] : 0;
                return true;
            });
    };
    for (const PlantedRow& row : Planted()) {
        SCOPED_TRACE(row.file + " at " + std::to_string(row.sector));
        const std::string fileExtension = row.file.substr(row.file.rfind('.'));
        const bool compound = fileExtension == ".doc" || fileExtension == ".xls" || fileExtension == ".ppt" ||
                              fileExtension == ".pub";
        bytesRead = 0;
        const std::u16string extension = OfficeExtensionAt(readAt(disk, std::uint64_t{row.sector} * 512));
        if (compound) {
            EXPECT_EQ(Utf8Text(extension), row.extension);
            EXPECT_LE(bytesRead, ReadFileBytes(TraceFixturePath("docs/" + row.file)).size() + 512);
        } else {
            EXPECT_EQ(extension, u".pub");
            EXPECT_EQ(bytesRead, 512u);
        }
    }

    std::vector<std::uint8_t> headers;
    const std::vector<std::uint8_t> excel = ReadFileBytes(TraceFixturePath("docs/excel.xls"));
    for (int i = 0; i < 4096; ++i)
        headers.insert(headers.end(), excel.begin(), excel.begin() + 512);
    bytesRead = 0;
    EXPECT_EQ(OfficeExtensionAt(readAt(headers, 0)), u".pub");
    EXPECT_LE(bytesRead, (1u << 20) + 512);

    TraceSource source;
    ASSERT_TRUE(source.Open(TraceFixturePath("planted.raw")));
    const std::string tempPath = Utf8Text(OfficeTempFilePath());
    const std::vector<std::uint8_t> left(3 << 20, 0xAB);
    ASSERT_TRUE(WriteFileBytes(tempPath, left));
    EXPECT_EQ(GetOfficeExtension(400), u".xls");
    EXPECT_EQ(ReadFileBytes(tempPath), left);
}

#ifdef _WIN32

// ---- Documents made by the system's structured storage -----------------------------------------------

constexpr FMTID kSummaryInformation = {
    0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}};

// A compound file made with StgCreateDocfile whose summary information holds `appName`; with
// `ansi` the property set is written in the ANSI code page, otherwise in UTF-16.
bool MakeSystemDocument(const std::wstring& path, const char* appName, bool ansi)
{
    IStorage* storage = nullptr;
    if (FAILED(
            StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage)))
        return false;
    IStream* stream = nullptr;
    if (SUCCEEDED(storage->CreateStream(L"WordDocument", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0,
                                        0, &stream))) {
        const std::vector<char> filler(9000, 'w');
        stream->Write(filler.data(), static_cast<ULONG>(filler.size()), nullptr);
        stream->Release();
    }
    IPropertySetStorage* sets = nullptr;
    bool written = false;
    if (SUCCEEDED(storage->QueryInterface(__uuidof(IPropertySetStorage), reinterpret_cast<void**>(&sets)))) {
        IPropertyStorage* properties = nullptr;
        if (SUCCEEDED(sets->Create(kSummaryInformation, nullptr,
                                   ansi ? PROPSETFLAG_ANSI : PROPSETFLAG_DEFAULT,
                                   STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, &properties))) {
            PROPSPEC spec{};
            spec.ulKind = PRSPEC_PROPID;
            spec.propid = 18;
            PROPVARIANT value;
            PropVariantInit(&value);
            value.vt = VT_LPSTR;
            value.pszVal = const_cast<char*>(appName);
            written = SUCCEEDED(properties->WriteMultiple(1, &spec, &value, 2)) &&
                      SUCCEEDED(properties->Commit(STGC_DEFAULT));
            properties->Release();
        }
        sets->Release();
    }
    storage->Commit(STGC_DEFAULT);
    storage->Release();
    return written;
}

TEST_F(OfficeNaming, DocumentsMadeByTheSystemStructuredStorage)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ScratchFolder scratch;
    struct Case
    {
        const char* appName;
        bool ansi;
        const char16_t* extension;
    };
    const Case cases[] = {
        {"Microsoft Word 8.0", true, u".doc"},
        {"Microsoft Excel", true, u".xls"},
        {"Microsoft Office PowerPoint", false, u".ppt"},
        {"Microsoft Publisher", false, u".pub"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.appName);
        const std::string path = scratch.Path("made-" + std::to_string(index++) + ".doc");
        ASSERT_TRUE(MakeSystemDocument(std::wstring(path.begin(), path.end()), c.appName, c.ansi));
        const std::u16string name = GetOfficeAppName(Utf16(path).c_str());
        EXPECT_EQ(Utf8Text(name), std::string(c.appName) + " (VT_LPSTR)\n");
        EXPECT_EQ(OfficeExtensionForAppName(name), c.extension);
        EXPECT_EQ(Utf8Text(ReadCompoundFileAppName(ReadFileBytes(path))), c.appName);
    }
    CoUninitialize();
}

// The naming runs on the File Trace worker, a thread of its own: COM is initialised there for the call,
// also when the thread already runs COM in the other apartment model.
TEST_F(OfficeNaming, NamesOnThreadsWithAndWithoutComOfTheirOwn)
{
    const std::u16string path = Utf16(TraceFixturePath("docs/word.doc"));
    std::u16string plain;
    std::u16string multithreaded;
    std::thread([&] { plain = GetOfficeAppName(path.c_str()); }).join();
    std::thread([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        multithreaded = GetOfficeAppName(path.c_str());
        CoUninitialize();
    }).join();
    EXPECT_EQ(plain, u"Microsoft Word 8.0 (VT_LPSTR)\n");
    EXPECT_EQ(multithreaded, u"Microsoft Word 8.0 (VT_LPSTR)\n");
}

#endif

} // namespace
