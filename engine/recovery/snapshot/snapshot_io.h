#pragma once

// The byte level of snapshot documents: little-endian numbers written through a buffer, and read back
// through a reader that knows how many bytes the file still holds. A document is a file the user keeps
// and may bring from another machine, so nothing read from it is trusted beyond those bytes: every read
// says whether the bytes were there, and a length or count is checked against Remaining() before
// anything is sized from it.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/recovery/platform/platform_io.h"

class SnapshotWriter
{
public:
    // Takes over a file opened for writing; Finish closes it.
    explicit SnapshotWriter(PlatformHandle file);
    ~SnapshotWriter();
    SnapshotWriter(const SnapshotWriter&) = delete;
    SnapshotWriter& operator=(const SnapshotWriter&) = delete;

    void U8(std::uint8_t value);
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);
    void U64(std::uint64_t value);
    void Bytes(const void* bytes, std::size_t count);
    void Zeros(std::size_t count);

    // Writes what is buffered and closes the file; false when any write or the close failed.
    bool Finish();

private:
    void Flush();
    // The low `bytes` bytes of the value, least significant first.
    void Number(std::uint64_t value, std::size_t bytes);

    PlatformHandle file;
    std::vector<std::uint8_t> buffer;
    std::size_t used = 0;
    bool failed = false;
};

class SnapshotReader
{
public:
    SnapshotReader() = default;
    ~SnapshotReader();
    SnapshotReader(const SnapshotReader&) = delete;
    SnapshotReader& operator=(const SnapshotReader&) = delete;

    // Opens the file read-only and learns its size; false when it cannot be opened or measured.
    bool Open(const char16_t* path);
    void Close();

    // Bytes of the file not read yet.
    std::uint64_t Remaining() const { return remaining; }
    std::uint64_t Size() const { return size; }

    // False, with `out` unspecified, when the file ends before `count` bytes or a read fails; the
    // reader then stays failed.
    bool Bytes(void* out, std::size_t count);
    bool U8(std::uint8_t& value);
    bool U16(std::uint16_t& value);
    bool U32(std::uint32_t& value);
    bool U64(std::uint64_t& value);

private:
    bool Refill();

    PlatformHandle file = kNoHandle;
    std::uint64_t size = 0;
    std::uint64_t remaining = 0;
    std::vector<std::uint8_t> buffer;
    std::size_t position = 0;
    std::size_t filled = 0;
    bool failed = false;
};
