#pragma once

// What the list readers read from: a file of known size, read at any offset. A read past the end gives
// fewer bytes; nothing is ever read beyond what the caller's buffer holds.
#include <cstddef>
#include <cstdint>
#include <vector>

class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // The bytes read (0 to count) at offset.
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
};

// Bytes held in memory (tests, and small files read whole).
class MemoryByteSource final : public ByteSource
{
public:
    explicit MemoryByteSource(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override;

private:
    std::vector<std::uint8_t> m_bytes;
};
