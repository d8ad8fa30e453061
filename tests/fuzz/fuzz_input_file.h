#pragma once

// The entries whose reader opens a file by its path: the input written to a file of this process's own
// in the temporary folder, rewritten for each input.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

inline std::string FuzzInputFile(const std::uint8_t* data, std::size_t size)
{
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder && *folder ? folder : "/tmp") + "/fuzz-input-" +
                             std::to_string(static_cast<long>(getpid()));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return {};
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written ? path : std::string();
}

inline std::u16string FuzzWidePath(const std::string& path)
{
    return std::u16string(path.begin(), path.end());
}
