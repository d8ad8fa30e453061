#pragma once

// A file opened read-only (sharing reads and writes) as a byte source.
#include "byte_source.h"

#include <windows.h>

class FileByteSource final : public ByteSource
{
public:
    explicit FileByteSource(const wchar_t* path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    std::uint64_t Size() const override { return m_size; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override;

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::uint64_t m_size = 0;
};
