#include "byte_source.h"

#include <cstring>

std::size_t MemoryByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count)
{
    if (offset >= m_bytes.size())
        return 0;
    const std::size_t available = static_cast<std::size_t>(m_bytes.size() - offset);
    const std::size_t n = count < available ? count : available;
    std::memcpy(buffer, m_bytes.data() + offset, n);
    return n;
}
