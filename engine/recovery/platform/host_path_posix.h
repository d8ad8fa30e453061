#pragma once

// The host build's meeting point of engine text and POSIX calls; only the *_posix.cpp files use it.

#include <cstdint>
#include <string>

#include <time.h>

#include "engine/recovery/platform/platform_io.h"

// UTF-16 to UTF-8 with the engine's "\" separators turned into "/". A lone surrogate (a name from a
// disk) is written as its own three bytes, so that two different names never meet in one host name.
std::string HostPath(const char16_t* path);

// Descriptor 0 is valid but the engine's "nothing opened", so handles carry fd + 1.
inline int DescriptorOf(PlatformHandle handle)
{
    return static_cast<int>(handle - 1);
}

inline PlatformHandle HandleOf(int descriptor)
{
    return static_cast<PlatformHandle>(descriptor) + 1;
}

// FILETIME (100 ns ticks from 1601) as a Unix time.
timespec FiletimeToTimespec(std::uint64_t filetime);
std::uint64_t TimespecToFiletime(const timespec& time);
