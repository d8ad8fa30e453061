#pragma once

// What the scanning commands share around their own options: reading "--partition N", "--start S" and
// "--volume K", opening the image and picking row N of its partition table (or the volume whose boot
// sector is at sector S), and giving that row to the engine as the range the partition step scans.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/recovery/core/engine_state.h"
#include "engine_probe/probe_partitions.h"

// A number from 1 of at most `maxDigits` decimal digits; false for anything else, 0 included.
bool ParseProbeNumber(const std::u16string& text, std::uint32_t& number, std::size_t maxDigits = 5);

// The volume a scanning command reads: row `row` (from 1) of the partition table, or, with `byStart`, the
// volume whose boot sector is at sector `start`. The cylinder search finds only volumes that start on a
// cylinder or at its second track; "--start" reaches the others (a GPT disk's, one aligned to 1 MiB).
struct ProbeVolumeChoice
{
    std::uint32_t row = 0;
    std::uint32_t start = 0;
    bool byStart = false;

    bool IsSet() const { return row != 0 || byStart; }
};

// Reads "--partition N" or "--start S" at arguments[index] (moving index past its value) into `choice`.
// Returns 1 when it read one, 0 when the option is neither, -1 when its value is malformed.
int ParseProbeVolumeOption(const std::vector<std::u16string>& arguments, std::size_t& index,
                           ProbeVolumeChoice& choice);

// What the commands that scan and then work on the finds read alike: the volume, "--search",
// "--volume K" and "--mode M".
struct ProbeScanOptions
{
    ProbeVolumeChoice choice;
    std::uint32_t volumeNumber = 0;
    std::u16string mode;
    bool search = false;
};

// Reads one of those at arguments[index] (moving index past its value) into `options`. Returns 1 when it
// read one, 0 when the option is none of them, -1 when its value is malformed.
int ParseProbeScanOption(const std::vector<std::u16string>& arguments, std::size_t& index,
                         ProbeScanOptions& options);

// Opens the image at `path` into `image`, fills the partition table (with `search`, after the search)
// and gives the chosen row; a volume chosen by its start gets a row in `byStartRow`, with the file
// system and sector count its boot sector names. Null after printing the "refused" line when the image
// is refused, the table has fewer rows or no FAT or NTFS boot sector is at the start.
const PartitionEntry* OpenProbePartitionRow(ProbeEngineImage& image, const std::u16string& path, bool search,
                                            const ProbeVolumeChoice& choice, PartitionEntry& byStartRow);

// VolumeParams' scan code and range as the partition step sets them for the row.
void SetProbeScanRange(const PartitionEntry& entry);
