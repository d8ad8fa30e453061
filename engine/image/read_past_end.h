#pragma once

#include <cstdint>
#include <cstring>

// The image readers' answer to a read at or past the virtual disk's end: zeros for the rest of the
// buffer, and the position moves on as if they had been read (held at UINT64_MAX rather than wrapping).
inline void ReadZerosPastDiskEnd(uint8_t* out, uint32_t count, uint64_t& position)
{
    std::memset(out, 0, count);
    position = position > UINT64_MAX - count ? UINT64_MAX : position + count;
}
