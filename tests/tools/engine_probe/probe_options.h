#pragma once

// What the scanning commands share around their own options: reading "--partition N" and "--volume K",
// opening the image and picking row N of its partition table, and giving that row to the engine as the
// range the partition step scans.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/recovery/core/engine_state.h"
#include "engine_probe/probe_partitions.h"

// A number from 1 of at most `maxDigits` decimal digits; false for anything else, 0 included.
bool ParseProbeNumber(const std::u16string& text, std::uint32_t& number, std::size_t maxDigits = 5);

// Opens the image at `path` into `image`, fills the partition table (with `search`, after the search)
// and gives row `row` (from 1). Null after printing the "refused" line when the image is refused or the
// table has fewer rows.
const PartitionEntry* OpenProbePartitionRow(ProbeEngineImage& image, const std::u16string& path, bool search,
                                            std::uint32_t row);

// VolumeParams' scan code and range as the partition step sets them for the row.
void SetProbeScanRange(const PartitionEntry& entry);
