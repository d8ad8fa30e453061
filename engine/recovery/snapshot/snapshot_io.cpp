#include "engine/recovery/snapshot/snapshot_io.h"

#include <algorithm>
#include <cstring>

#include "engine/image/byte_order.h"
#include "engine/recovery/save/save_output_io.h"

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;

} // namespace

SnapshotWriter::SnapshotWriter(PlatformHandle file) : file(file), buffer(kBufferBytes) {}

SnapshotWriter::~SnapshotWriter()
{
    if (IsUsableHandle(file))
        OutputClose(file);
}

void SnapshotWriter::Flush()
{
    if (used != 0 && !failed)
        failed = !OutputWrite(file, buffer.data(), static_cast<std::uint32_t>(used));
    used = 0;
}

void SnapshotWriter::Bytes(const void* bytes, std::size_t count)
{
    const auto* from = static_cast<const std::uint8_t*>(bytes);
    while (count > 0) {
        if (used == buffer.size())
            Flush();
        const std::size_t piece = std::min(count, buffer.size() - used);
        std::memcpy(buffer.data() + used, from, piece);
        used += piece;
        from += piece;
        count -= piece;
    }
}

void SnapshotWriter::Zeros(std::size_t count)
{
    while (count > 0) {
        if (used == buffer.size())
            Flush();
        const std::size_t piece = std::min(count, buffer.size() - used);
        std::memset(buffer.data() + used, 0, piece);
        used += piece;
        count -= piece;
    }
}

void SnapshotWriter::Number(std::uint64_t value, std::size_t bytes)
{
    if (buffer.size() - used < bytes)
        Flush();
    for (std::size_t i = 0; i < bytes; ++i)
        buffer[used++] = static_cast<std::uint8_t>(value >> (8 * i));
}

void SnapshotWriter::U8(std::uint8_t value)
{
    Number(value, 1);
}

void SnapshotWriter::U16(std::uint16_t value)
{
    Number(value, 2);
}

void SnapshotWriter::U32(std::uint32_t value)
{
    Number(value, 4);
}

void SnapshotWriter::U64(std::uint64_t value)
{
    Number(value, 8);
}

bool SnapshotWriter::Finish()
{
    Flush();
    const bool closed = OutputClose(file);
    file = kNoHandle;
    return !failed && closed;
}

SnapshotReader::~SnapshotReader()
{
    Close();
}

bool SnapshotReader::Open(const char16_t* path)
{
    Close();
    file = PlatformOpenForRead(path, ReadShare::ReadOnly);
    if (!IsUsableHandle(file)) {
        file = kNoHandle;
        return false;
    }
    std::uint64_t end = 0;
    if (!PlatformSeek(file, 0, kSeekFromEnd, &end) || !PlatformSeek(file, 0, kSeekFromBegin, nullptr)) {
        Close();
        return false;
    }
    size = end;
    remaining = end;
    failed = false;
    position = 0;
    filled = 0;
    buffer.resize(kBufferBytes);
    return true;
}

void SnapshotReader::Close()
{
    if (IsUsableHandle(file))
        PlatformCloseHandle(file);
    file = kNoHandle;
}

bool SnapshotReader::Refill()
{
    position = 0;
    filled = 0;
    // Never past the size measured at the start: a file that grows meanwhile does not lengthen the
    // document, and one that shrinks fails the read.
    const auto wanted = static_cast<std::uint32_t>(std::min<std::uint64_t>(kBufferBytes, remaining));
    std::uint32_t got = 0;
    if (wanted == 0 || !PlatformRead(file, buffer.data(), wanted, &got) || got == 0)
        return false;
    filled = got;
    return true;
}

bool SnapshotReader::Bytes(void* out, std::size_t count)
{
    if (failed || !IsUsableHandle(file) || count > remaining) {
        failed = true;
        return false;
    }
    auto* to = static_cast<std::uint8_t*>(out);
    while (count > 0) {
        if (position == filled && !Refill()) {
            failed = true;
            return false;
        }
        const std::size_t piece = std::min(count, filled - position);
        std::memcpy(to, buffer.data() + position, piece);
        position += piece;
        to += piece;
        count -= piece;
        remaining -= piece;
    }
    return true;
}

bool SnapshotReader::U8(std::uint8_t& value)
{
    return Bytes(&value, 1);
}

bool SnapshotReader::U16(std::uint16_t& value)
{
    std::uint8_t bytes[2];
    if (!Bytes(bytes, sizeof bytes))
        return false;
    value = ReadLittleEndian16(bytes);
    return true;
}

bool SnapshotReader::U32(std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (!Bytes(bytes, sizeof bytes))
        return false;
    value = ReadLittleEndian32(bytes);
    return true;
}

bool SnapshotReader::U64(std::uint64_t& value)
{
    std::uint8_t bytes[8];
    if (!Bytes(bytes, sizeof bytes))
        return false;
    value = ReadLittleEndian64(bytes);
    return true;
}
