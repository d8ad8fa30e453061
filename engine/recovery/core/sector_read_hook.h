#pragma once

// A seam for tests: ReadSectors calls the hook on the reading thread before the read and outside its
// lock, with the first sector and the count, so that a test can hold a worker at a chosen read. Null in
// the program.
#include <cstdint>

extern void (*SectorReadHook)(std::uint64_t sector, std::uint32_t count);
