// The signature file's reader: records as written, crafted truncations and lengths that pass the end,
// the categories, the compare length's bounds, and the shipped res/Raw.dat read whole.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/image/utf16_path.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/trace/signature_file.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutField(Bytes& out, const std::string& data)
{
    out.push_back(static_cast<std::uint8_t>(data.size() & 0xFF));
    out.push_back(static_cast<std::uint8_t>(data.size() >> 8));
    out.insert(out.end(), data.begin(), data.end());
}

Bytes Record(char category, const std::string& extension, const std::string& typeName,
             const std::string& lengthText, const std::string& signature, const std::string& last = "")
{
    Bytes out = {0x07, 0x00, static_cast<std::uint8_t>(category)};
    PutField(out, extension);
    PutField(out, typeName);
    PutField(out, lengthText);
    PutField(out, signature);
    PutField(out, last);
    return out;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

SignatureFileContents Parse(const Bytes& bytes)
{
    return ParseSignatureFile(bytes.data(), bytes.size());
}

struct SignatureListGuard
{
    ~SignatureListGuard() { FreeFileSignatureList(); }
};

TEST(SignatureFile, ReadsRecordsInFileOrder)
{
    const Bytes file =
        Join({Record('4', ".jpg", "JPEG Image", "4", "\xFF\xD8\xFF\xE0", std::string("\x00\x12", 2)),
              Record('1', ".pdf", "PDF Document", "5", "%PDF-")});
    const SignatureFileContents contents = Parse(file);
    ASSERT_TRUE(contents.complete);
    ASSERT_EQ(contents.records.size(), 2u);
    EXPECT_EQ(contents.records[0].recordNumber, 0u);
    EXPECT_EQ(contents.records[0].category, '4');
    EXPECT_EQ(contents.records[0].extension, ".jpg");
    EXPECT_EQ(contents.records[0].typeName, "JPEG Image");
    EXPECT_EQ(SignatureHex(contents.records[0].signature), "FFD8FFE0");
    EXPECT_EQ(SignatureLastValue(contents.records[0]), 12u);
    EXPECT_EQ(contents.records[1].recordNumber, 1u);
    EXPECT_EQ(SignatureHex(contents.records[1].signature), "255044462D");
}

// Every cut of a valid file keeps the whole records before the cut and never reads past its end (the
// sanitizers watch a copy of exactly the cut length); lengths that pass the end stop the reading.
TEST(SignatureFile, TruncatedAndOverlongFilesEndCleanly)
{
    const Bytes first = Record('4', ".png", "PNG Image", "8", "\x89PNG\r\n\x1A\n", "\x01");
    const Bytes second = Record('0', ".zip", "ZIP Archive", "4", "PK\x03\x04");
    const Bytes file = Join({first, second});
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
        SCOPED_TRACE(cut);
        const Bytes part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
        const SignatureFileContents contents = Parse(part);
        const std::size_t whole = cut >= first.size() ? 1 : 0;
        EXPECT_EQ(contents.records.size(), whole);
        EXPECT_EQ(contents.complete, cut == 0 || cut == first.size());
    }

    struct Case
    {
        const char* name;
        std::size_t lengthOffset; // which length field of the second record is made too long
    };
    const std::size_t secondFields = first.size() + kSignatureRecordFieldsOffset;
    const Case cases[] = {
        {"extension length", secondFields},
        {"type name length", secondFields + 2 + 4},
        {"last field length", second.size() + first.size() - 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::uint16_t length : {std::uint16_t{0xFFFF}, std::uint16_t{0x8000}}) {
            Bytes crafted = file;
            crafted[c.lengthOffset] = static_cast<std::uint8_t>(length & 0xFF);
            crafted[c.lengthOffset + 1] = static_cast<std::uint8_t>(length >> 8);
            const SignatureFileContents contents = Parse(crafted);
            EXPECT_FALSE(contents.complete);
            ASSERT_EQ(contents.records.size(), 1u);
            EXPECT_EQ(contents.records[0].extension, ".png");
        }
    }
}

TEST(SignatureFile, CategoriesFallUnderTheirNodes)
{
    struct Case
    {
        char category;
        const char16_t* name;
    };
    const Case cases[] = {
        {'0', u"Archive Files"}, {'1', u"Document Files"}, {'2', u"Database Files"},
        {'3', u"E-mail Files"},  {'4', u"Graphics Files"}, {'5', u"Sound Files"},
        {'6', u"Media Files"},   {'7', u"Internet Files"}, {'8', u"CAD Files"},
        {'9', u"Other Files"},   {'Z', u"Other Files"},    {'\0', u"Other Files"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category);
        EXPECT_EQ(std::u16string(SignatureCategoryName(c.category)), c.name);
    }
}

// The compare length is the "offset" text, held to 1..15 and to the bytes the signature has; the engine
// record carries exactly that many bytes as hexadecimal, so the scan can use it.
TEST(SignatureFile, CompareLengthIsBoundedAndTheRecordFollowsIt)
{
    struct Case
    {
        const char* name;
        std::string lengthText;
        std::string signature;
        std::uint32_t length;
        const char* hex;
    };
    const std::string sixteen = "0123456789ABCDEF";
    const Case cases[] = {
        {"as written", "3", "GIF", 3, "474946"},
        {"zero", "0", "GIF", 1, "47"},
        {"empty", "", "GIF", 1, "47"},
        {"not a number", "x9", "GIF", 1, "47"},
        {"past fifteen", "99999999999999999999", sixteen, 15, "303132333435363738394142434445"},
        {"longer than the signature", "8", "BM", 2, "424D"},
        {"shorter than the signature", "2", "\x89PNG", 2, "8950"},
        {"a mask after the compared bytes", "4", std::string("BM\0\0\xFF\xFF\0\xF0", 8), 4, "424D??0?"},
        {"a mask of whole digits", "2", std::string("\x42\x4D\x1F\xF1", 4), 2, "424D"},
        {"a mask cut short is none", "4", std::string("BM\0\0\xFF\xFF\0", 7), 4, "424D0000"},
    };
    const SignatureListGuard guard;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = Record('4', ".x", "X", c.lengthText, c.signature);
        const SignatureFileContents contents = Parse(file);
        ASSERT_EQ(contents.records.size(), 1u);
        EXPECT_EQ(SignatureCompareLength(contents.records[0]), c.length);
        const FileSignatureRec* record = AddSignatureFromRecord(contents.records[0]);
        EXPECT_EQ(record->signatureLength, c.length);
        EXPECT_STREQ(record->signature, c.hex);
    }
}

TEST(SignatureFile, EngineRecordCarriesTheDottedExtensionAndTypeName)
{
    const SignatureListGuard guard;
    const Bytes file = Record('4', ".jpg", "JPEG \xC9mage", "3", "\xFF\xD8\xFF", "\x20\x26");
    const SignatureFileContents contents = Parse(file);
    ASSERT_EQ(contents.records.size(), 1u);
    const FileSignatureRec* record = AddSignatureFromRecord(contents.records[0]);
    EXPECT_EQ(std::u16string(record->extension), u".jpg");
    EXPECT_EQ(std::u16string(record->typeName), u"JPEG \u00C9mage");
    EXPECT_EQ(record->number, 2026u);
    EXPECT_EQ(fileSignatureList.head, record);
}

TEST(SignatureFile, MissingFileGivesNoRecords)
{
    const SignatureFileContents contents = ReadSignatureFile(u"/nonexistent/folder/Raw.dat");
    EXPECT_TRUE(contents.records.empty());
}

// The program's own file: every record read, every category a digit, every signature one the scan
// can compare (with or without its mask), and the types the File Trace tests look for with their whole
// headers.
TEST(SignatureFile, ShippedFileIsReadWhole)
{
    std::u16string path;
    ASSERT_TRUE(Utf8ToUtf16(RAW_DAT_PATH, path));
    const SignatureFileContents contents = ReadSignatureFile(path.c_str());
    ASSERT_TRUE(contents.complete);
    ASSERT_GE(contents.records.size(), 20u);
    std::vector<std::string> found;
    for (const SignatureFileRecord& record : contents.records) {
        SCOPED_TRACE(record.extension);
        EXPECT_TRUE(record.category >= '0' && record.category <= '9');
        EXPECT_EQ(record.extension[0], '.');
        const std::size_t length = SignatureCompareLength(record);
        EXPECT_TRUE(record.signature.size() == length || record.signature.size() == 2 * length);
        found.push_back(record.extension + "=" + SignaturePatternHex(record));
    }
    for (const char* expected :
         {".jpg=FFD8FF", ".bmp=424D????????00000000????0000?8", ".png=89504E470D0A1A0A", ".gif=474946383761",
          ".gif=474946383961", ".pdf=255044462D312E", ".doc=D0CF11E0A1B11AE1", ".xls=D0CF11E0A1B11AE1",
          ".zip=504B0304"}) {
        EXPECT_NE(std::find(found.begin(), found.end(), expected), found.end()) << expected;
    }
}

} // namespace
