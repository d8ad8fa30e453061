#include "file_byte_source_win32.h"

FileByteSource::FileByteSource(const wchar_t* path)
{
    m_file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    LARGE_INTEGER size = {};
    if (m_file != INVALID_HANDLE_VALUE && ::GetFileSizeEx(m_file, &size) && size.QuadPart >= 0)
        m_size = static_cast<std::uint64_t>(size.QuadPart);
}

FileByteSource::~FileByteSource()
{
    if (m_file != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_file);
}

std::size_t FileByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t count)
{
    if (m_file == INVALID_HANDLE_VALUE || offset >= m_size)
        return 0;
    std::size_t total = 0;
    while (total < count) {
        const DWORD chunk = static_cast<DWORD>(count - total < 0x10000000 ? count - total : 0x10000000);
        OVERLAPPED at = {};
        const std::uint64_t position = offset + total;
        at.Offset = static_cast<DWORD>(position & 0xFFFFFFFF);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        DWORD got = 0;
        if (!::ReadFile(m_file, static_cast<char*>(buffer) + total, chunk, &got, &at) || got == 0)
            break;
        total += got;
    }
    return total;
}
