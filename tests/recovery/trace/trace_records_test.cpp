// File Trace records and the hexadecimal text helpers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/trace/trace_records.h"

namespace {

class TraceRecords : public testing::Test
{
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { ResetEngineState(); }
};

std::string TakeText(char* text)
{
    std::string copy(text);
    std::free(text);
    return copy;
}

TEST_F(TraceRecords, SignaturesKeepTheChoiceOrderAndOwnCopies)
{
    char signature[] = "FFD8FF";
    AddFileSignatureRec(u".jpg", u"JPEG Image", 3, signature, 17);
    signature[0] = '0';
    AddFileSignatureRec(u".png", u"PNG Image", 4, "89504e47", 0);

    FileSignatureRec* first = fileSignatureList.head;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::u16string(first->extension), u".jpg");
    EXPECT_EQ(std::u16string(first->typeName), u"JPEG Image");
    EXPECT_EQ(first->signatureLength, 3u);
    EXPECT_STREQ(first->signature, "FFD8FF");
    EXPECT_EQ(first->number, 17u);
    ASSERT_NE(first->next, nullptr);
    EXPECT_EQ(std::u16string(first->next->extension), u".png");
    EXPECT_EQ(fileSignatureList.tail, first->next);
    EXPECT_EQ(first->next->next, nullptr);
}

TEST_F(TraceRecords, FoundItemsStoreTheEntryIdAsNumberAndTheStartSector)
{
    AddTraceFoundRec(u"1.jpg", u".jpg", u"JPEG Image", 1, 100);
    AddTraceFoundRec(u"2.png", u".png", u"PNG Image", 2, 205);
    TraceFoundRec* first = traceFoundList.head;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::u16string(first->name), u"1.jpg");
    EXPECT_EQ(std::u16string(first->extension), u".jpg");
    EXPECT_EQ(std::u16string(first->typeName), u"JPEG Image");
    EXPECT_EQ(first->number, 1u);
    EXPECT_EQ(first->sector, 100u);
    ASSERT_NE(first->next, nullptr);
    EXPECT_EQ(first->next->sector, 205u);
    EXPECT_EQ(traceFoundList.tail, first->next);
}

TEST_F(TraceRecords, FreeingLeavesEmptyListsThatStartAfreshAtTheHead)
{
    FreeTraceFoundList();
    FreeFileSignatureList();
    EXPECT_TRUE(traceFoundList.Empty());
    EXPECT_TRUE(fileSignatureList.Empty());

    AddTraceFoundRec(u"1.jpg", u".jpg", u"JPEG", 1, 100);
    AddFileSignatureRec(u".jpg", u"JPEG", 3, "ffd8ff", 0);
    FreeTraceFoundList();
    FreeFileSignatureList();
    EXPECT_TRUE(traceFoundList.Empty());
    EXPECT_TRUE(fileSignatureList.Empty());

    TraceFoundRec* again = AddTraceFoundRec(u"1.gif", u".gif", u"GIF", 1, 7);
    EXPECT_EQ(traceFoundList.head, again);
    EXPECT_EQ(traceFoundList.tail, again);
    FileSignatureRec* signature = AddFileSignatureRec(u".gif", u"GIF", 3, "474946", 0);
    EXPECT_EQ(fileSignatureList.head, signature);
}

TEST(TraceText, BytesToHexWritesLowerCaseDigitsHighFirst)
{
    struct Case
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"no bytes", {}, ""},
        {"two bytes", {0x1F, 0xA0}, "1fa0"},
        {"zero and all bits", {0x00, 0xFF, 0x0A}, "00ff0a"},
        {"a JPEG start", {0xFF, 0xD8, 0xFF, 0xE0}, "ffd8ffe0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TakeText(BytesToHex(c.bytes.data(), static_cast<std::uint32_t>(c.bytes.size()))),
                  c.expected);
    }
}

TEST(TraceText, SwapHexWordBytesNeverReadsPastTheText)
{
    struct Case
    {
        const char* text;
        const char* expected;
    };
    // Characters past the end count as the terminator, as reading the text's own NUL would.
    const Case cases[] = {
        {"ABCD", "CDAB"}, {"abcdef", "cdab"}, {"ABC", "C"}, {"AB", ""}, {"A", ""}, {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        // An exact-size heap copy, so that AddressSanitizer sees any read past the terminator.
        const std::size_t size = std::strlen(c.text) + 1;
        auto text = std::make_unique<char[]>(size);
        std::memcpy(text.get(), c.text, size);
        char* swapped = SwapHexWordBytes(text.get());
        EXPECT_EQ(swapped[4], '\0') << "the result always has room for four characters and the terminator";
        EXPECT_EQ(TakeText(swapped), c.expected);
    }
}

} // namespace
