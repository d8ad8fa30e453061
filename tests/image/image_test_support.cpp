#include "image_test_support.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "engine/image/crc32c.h"
#include "engine/image/utf16_path.h"
#include "support/oracle_files.h"
#include "support/test_paths.h"

namespace image_test {

namespace {

std::filesystem::path NativePath(const std::string& path)
{
    return std::filesystem::path(ToUtf16(path));
}

} // namespace

std::string FixtureDir()
{
    return test_support::RunningPlatformPath(IMAGE_FIXTURES_DIR);
}

std::string FixturePath(const std::string& name)
{
    return test_support::JoinPath(FixtureDir(), name);
}

std::u16string FixturePath16(const std::string& name)
{
    return ToUtf16(FixturePath(name));
}

std::u16string ToUtf16(const std::string& utf8)
{
    std::u16string text;
    Utf8ToUtf16(utf8, text);
    return text;
}

uint64_t QemuVirtualSize(const std::string& image)
{
    for (const auto& row : test_support::ReadTsv(FixturePath("sizes.tsv")))
        if (row.size() == 2 && row[0] == image)
            return std::stoull(row[1]);
    return 0;
}

std::vector<uint8_t> ReadFileRange(const std::string& path, uint64_t offset, size_t length)
{
    std::ifstream in(NativePath(path), std::ios::binary);
    std::vector<uint8_t> bytes(length);
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
    bytes.resize(in ? length : static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    return ReadFileRange(path, 0, static_cast<size_t>(FileSize(path)));
}

uint64_t FileSize(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(NativePath(path), error);
    return error ? 0 : size;
}

std::string ScratchDir()
{
    struct Folder
    {
        std::string path;
        Folder()
        {
            std::random_device device;
            const uint64_t unique =
                (static_cast<uint64_t>(device()) << 32) ^ device() ^
                static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
            char name[40];
            std::snprintf(name, sizeof name, "image-tests-%016llx", static_cast<unsigned long long>(unique));
            path = test_support::JoinPath(testing::TempDir(), name);
            std::filesystem::create_directories(NativePath(path));
            path = test_support::JoinPath(path, "");
        }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(NativePath(path), ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

std::string ScratchPath(const std::string& name)
{
    return ScratchDir() + name;
}

std::string ScratchCopy(const std::string& fixture, const std::string& copyName)
{
    const std::string target = ScratchPath(copyName);
    std::filesystem::copy_file(NativePath(FixturePath(fixture)), NativePath(target),
                               std::filesystem::copy_options::overwrite_existing);
    return target;
}

void PatchFile(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes)
{
    std::fstream file(NativePath(path), std::ios::binary | std::ios::in | std::ios::out);
    ASSERT_TRUE(file.good()) << path;
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
}

void FixVhdxChecksums(const std::string& path)
{
    struct Structure
    {
        uint64_t offset;
        size_t length;
        const char* signature;
    };
    const Structure structures[] = {
        {65536, 4096, "head"}, {131072, 4096, "head"}, {196608, 65536, "regi"}, {262144, 65536, "regi"}};
    for (const Structure& structure : structures) {
        std::vector<uint8_t> bytes = ReadFileRange(path, structure.offset, structure.length);
        if (bytes.size() != structure.length ||
            std::string(bytes.begin(), bytes.begin() + 4) != structure.signature)
            continue;
        std::fill(bytes.begin() + 4, bytes.begin() + 8, 0);
        PatchFile(path, structure.offset + 4, LittleEndian(Crc32c(bytes.data(), bytes.size()), 4));
    }
}

std::vector<uint8_t> LittleEndian(uint64_t value, int bytes)
{
    std::vector<uint8_t> encoded;
    for (int index = 0; index < bytes; ++index)
        encoded.push_back(static_cast<uint8_t>(value >> (8 * index)));
    return encoded;
}

std::vector<uint8_t> BigEndian(uint64_t value, int bytes)
{
    std::vector<uint8_t> encoded;
    for (int index = bytes - 1; index >= 0; --index)
        encoded.push_back(static_cast<uint8_t>(value >> (8 * index)));
    return encoded;
}

uint64_t SplitMix64::Next()
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace image_test
