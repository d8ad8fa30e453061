#pragma once

// The run list (mapping pairs) of a non-resident attribute: a header byte whose low nibble gives the
// width of the run's length and whose high nibble the width of its cluster offset, then those bytes,
// little-endian; a 0 header ends the list. The first offset is the run's cluster; each later one is
// signed and relative to the last run that had one. A run without an offset is sparse.

#include <cstdint>

struct NtfsRun
{
    std::uint32_t startCluster = 0; // 0 for a sparse run
    std::uint32_t length = 0;       // clusters, never 0
    bool sparse = false;
};

enum class NtfsRunStep
{
    Run,   // `run` holds the next run
    End,   // the end marker
    Fault, // the list cannot be read further; nothing after it is to be trusted
};

// Reads the runs from `begin` up to `end` (exclusive) of a buffer. A fault is a header whose length or
// offset field is wider than 4 bytes (clusters are 32-bit here), a length field of 0 bytes or a length
// of 0 clusters before the end marker, a run whose bytes pass `end`, a list that reaches `end` without
// its end marker, and a cluster number that leaves the 32-bit range.
class NtfsRunReader
{
public:
    NtfsRunReader(const std::uint8_t* buffer, std::uint32_t begin, std::uint32_t end);
    NtfsRunStep Next(NtfsRun& run);

private:
    const std::uint8_t* buffer;
    std::uint32_t position;
    std::uint32_t end;
    std::int64_t lastCluster = 0;
    bool haveOffset = false;
};

// Rebuilds dataRuns (and dataRunCount) from the non-resident attribute at `attributeOffset` of a record
// buffer of which the first `limit` bytes count. 1 when the list was read to its end marker; 0 when the
// attribute does not hold a run list within the limit, or on a fault (the runs before it stay listed).
int DecodeDataRuns(std::uint32_t limit, const std::uint8_t* record, std::uint32_t attributeOffset);

// As DecodeDataRuns, appending to the runs already listed: a later extent of the same attribute.
int AppendDataRuns(std::uint32_t limit, const std::uint8_t* record, std::uint32_t attributeOffset);
