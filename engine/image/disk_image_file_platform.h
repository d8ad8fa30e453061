#pragma once

// The system calls under CDiskImageFile; disk_image_file_win32.cpp and disk_image_file_posix.cpp
// each implement them. Private to engine/image.

#include <cstdint>
#include <string_view>

#include "engine/image/disk_image_file.h"

namespace image_file_platform {

NativeFileHandle OpenFile(std::u16string_view path, uint32_t access, uint32_t shareMode,
                          void* securityAttributes, uint32_t disposition, uint32_t flagsAndAttributes,
                          NativeFileHandle templateFile);
void CloseFile(NativeFileHandle handle);
// Moves to an absolute position; false (position unchanged) when the system refuses.
bool SetPosition(NativeFileHandle handle, int64_t target, uint64_t& newPosition);
bool QueryPosition(NativeFileHandle handle, uint64_t& position);
bool QuerySize(NativeFileHandle handle, uint64_t& size);
// Reads up to count bytes; delivered is the number read (less only at the end of the file).
bool ReadBytes(NativeFileHandle handle, void* buffer, uint32_t count, uint32_t& delivered);

} // namespace image_file_platform
