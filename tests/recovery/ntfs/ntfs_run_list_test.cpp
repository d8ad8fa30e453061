// Run lists of non-resident attributes: relative offsets, sparse runs, and the headers that end the
// decode as a failure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/image/byte_order.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/ntfs/ntfs_record_parse.h"
#include "engine/recovery/ntfs/ntfs_run_list.h"
#include "ntfs_test_records.h"

namespace {

struct ExpectedRun
{
    std::uint32_t start;
    std::uint32_t length;
    std::uint32_t sparse;
    bool operator==(const ExpectedRun&) const = default;
};

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

std::vector<ExpectedRun> ListedRuns()
{
    std::vector<ExpectedRun> runs;
    for (const DataRunNode* node = dataRuns.head; node; node = node->next)
        runs.push_back({node->startCluster, node->length, node->sparse});
    return runs;
}

TEST(NtfsRunList, DecodesRunsOrFailsOnHeadersItCannotTrust)
{
    struct Case
    {
        const char* name;
        Bytes runs; // the maker appends the end marker
        int expectedResult;
        std::vector<ExpectedRun> expected;
    };
    const Case cases[] = {
        {"one run", RunEntry(8, 1000, 1, 2), 1, {{1000, 8, 0}}},
        {"forward by 0x7F80",
         Join({RunEntry(1, 100, 1, 1), RunEntry(2, 0x7F80, 1, 2)}),
         1,
         {{100, 1, 0}, {32740, 2, 0}}},
        {"back by 0xFF00",
         Join({RunEntry(1, 1000, 1, 2), RunEntry(2, -256, 1, 2)}),
         1,
         {{1000, 1, 0}, {744, 2, 0}}},
        {"sparse run keeps the base",
         Join({RunEntry(4, 500, 1, 2), RunEntry(16, 0, 1, 0), RunEntry(4, 8, 1, 1)}),
         1,
         {{500, 4, 0}, {0, 16, 1}, {508, 4, 0}}},
        {"sparse first run",
         Join({RunEntry(16, 0, 1, 0), RunEntry(4, 300, 1, 2)}),
         1,
         {{0, 16, 1}, {300, 4, 0}}},
        {"4-byte fields", RunEntry(0x01000000, 0x7FFFFFFF, 4, 4), 1, {{0x7FFFFFFF, 0x01000000, 0}}},
        {"first offset read unsigned", RunEntry(1, 0xF000, 1, 2), 1, {{0xF000, 1, 0}}},
        {"length field of 5 bytes", Join({RunEntry(1, 10, 1, 1), RunEntry(1, 1, 5, 1)}), 0, {{10, 1, 0}}},
        {"offset field of 5 bytes", Join({RunEntry(1, 10, 1, 1), RunEntry(1, 1, 1, 5)}), 0, {{10, 1, 0}}},
        {"length field of 0 bytes", Join({RunEntry(1, 10, 1, 1), Bytes{0x10, 0x05}}), 0, {{10, 1, 0}}},
        {"length of 0 clusters", Join({RunEntry(1, 10, 1, 1), RunEntry(0, 5, 1, 1)}), 0, {{10, 1, 0}}},
        {"before cluster 0", Join({RunEntry(1, 10, 1, 1), RunEntry(1, -11, 1, 1)}), 0, {{10, 1, 0}}},
        {"beyond 32-bit clusters",
         Join({RunEntry(1, 0x7FFFFFFF, 1, 4), RunEntry(1, 0x7FFFFFFF, 1, 4), RunEntry(1, 0x7FFFFFFF, 1, 4)}),
         0,
         {{0x7FFFFFFF, 1, 0}, {0xFFFFFFFE, 1, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordMaker maker;
        const std::uint32_t attribute = maker.AddNonResident(0x80, c.runs, 4096);
        Bytes record = maker.Finish();
        ApplyFixup(record.data(), record.size());
        EXPECT_EQ(DecodeDataRuns(kMftRecordSize, record.data(), attribute), c.expectedResult);
        EXPECT_EQ(ListedRuns(), c.expected);
        EXPECT_EQ(dataRunCount, c.expected.size());
    }
}

TEST(NtfsRunList, StaysWithinItsAttributeAndTheLimit)
{
    RecordMaker maker;
    const std::uint32_t attribute = maker.AddNonResident(0x80, RunEntry(8, 1000, 1, 2), 4096);
    Bytes record = maker.Finish();
    ApplyFixup(record.data(), record.size());

    // No end marker before the attribute ends: the run list runs into the next attribute.
    Bytes unterminated = record;
    const std::uint32_t length = ReadLittleEndian32(record.data(), attribute + kAttrLength);
    for (std::uint32_t i = attribute + 64; i < attribute + length; ++i)
        unterminated[i] = 0x11;
    EXPECT_EQ(DecodeDataRuns(kMftRecordSize, unterminated.data(), attribute), 0);

    EXPECT_EQ(DecodeDataRuns(kMftRecordSize, record.data(), 1020), 0);
    EXPECT_EQ(DecodeDataRuns(attribute + 40, record.data(), attribute), 0);
    Bytes resident = record;
    resident[attribute + kAttrNonResident] = 0;
    EXPECT_EQ(DecodeDataRuns(kMftRecordSize, resident.data(), attribute), 0);
    Bytes farOffset = record;
    PutU16(farOffset, attribute + kAttrRunListOffset, 0xFFFF);
    EXPECT_EQ(DecodeDataRuns(kMftRecordSize, farOffset.data(), attribute), 0);

    ASSERT_EQ(DecodeDataRuns(kMftRecordSize, record.data(), attribute), 1);
    EXPECT_EQ(ListedRuns(), (std::vector<ExpectedRun>{{1000, 8, 0}}));
}

} // namespace
