#include "save_test_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/platform/platform_io.h"

namespace {

void PutBigEndian(std::uint8_t* out, std::uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
}

// The footer of a fixed VHD: cookie, version, no dynamic header, size, a CHS geometry, type 2.
std::vector<std::uint8_t> FixedVhdFooter(std::uint64_t size)
{
    std::vector<std::uint8_t> footer(512, 0);
    std::memcpy(footer.data(), "conectix", 8);
    PutBigEndian(&footer[8], 2, 4);           // features
    PutBigEndian(&footer[12], 0x00010000, 4); // version
    PutBigEndian(&footer[16], UINT64_MAX, 8); // no dynamic header
    PutBigEndian(&footer[40], size, 8);       // original size
    PutBigEndian(&footer[48], size, 8);       // current size
    const std::uint64_t sectors = size / 512;
    const std::uint64_t cylinders = std::max<std::uint64_t>(1, sectors / (16 * 63));
    PutBigEndian(&footer[56], std::min<std::uint64_t>(cylinders, 65535), 2);
    footer[58] = 16;
    footer[59] = 63;
    PutBigEndian(&footer[60], 2, 4); // fixed
    std::uint32_t checksum = 0;
    for (std::uint8_t byte : footer)
        checksum += byte;
    PutBigEndian(&footer[64], ~checksum, 4);
    return footer;
}

// MD5 (RFC 1321).
class Md5
{
public:
    void Update(const std::uint8_t* data, std::size_t size)
    {
        length += size;
        while (blockFill == 0 && size >= 64) {
            std::memcpy(block, data, 64);
            Transform();
            data += 64;
            size -= 64;
        }
        for (std::size_t i = 0; i < size; ++i) {
            block[blockFill++] = data[i];
            if (blockFill == 64) {
                Transform();
                blockFill = 0;
            }
        }
    }

    std::string FinishHex()
    {
        const std::uint64_t bits = length * 8;
        const std::uint8_t one = 0x80;
        Update(&one, 1);
        const std::uint8_t zero = 0;
        while (blockFill != 56)
            Update(&zero, 1);
        std::uint8_t tail[8];
        for (int i = 0; i < 8; ++i)
            tail[i] = static_cast<std::uint8_t>(bits >> (8 * i));
        Update(tail, 8);
        static const char digits[] = "0123456789abcdef";
        std::string hex;
        for (std::uint32_t word : state)
            for (int i = 0; i < 4; ++i) {
                const auto byte = static_cast<std::uint8_t>(word >> (8 * i));
                hex += digits[byte >> 4];
                hex += digits[byte & 15];
            }
        return hex;
    }

private:
    static std::uint32_t Rotate(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

    void Transform()
    {
        static const std::uint32_t k[64] = {
            0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
            0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
            0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
            0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
            0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
            0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
            0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
            0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
        static const int shifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                       5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                       4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                       6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
        std::uint32_t m[16];
        for (int i = 0; i < 16; ++i)
            m[i] = static_cast<std::uint32_t>(block[i * 4]) |
                   static_cast<std::uint32_t>(block[i * 4 + 1]) << 8 |
                   static_cast<std::uint32_t>(block[i * 4 + 2]) << 16 |
                   static_cast<std::uint32_t>(block[i * 4 + 3]) << 24;
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        for (int i = 0; i < 64; ++i) {
            std::uint32_t f;
            int g;
            if (i < 16) {
                f = (b & c) | (~b & d);
                g = i;
            } else if (i < 32) {
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
            }
            const std::uint32_t next = d;
            d = c;
            c = b;
            b = b + Rotate(a + f + k[i] + m[g], shifts[i]);
            a = next;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
    }

    std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    std::uint8_t block[64] = {};
    std::size_t blockFill = 0;
    std::uint64_t length = 0;
};

} // namespace

CraftedDisk::CraftedDisk(std::uint64_t sectors) : bytes(static_cast<std::size_t>(sectors * 512), 0) {}

CraftedDisk::~CraftedDisk()
{
    if (attached && SourceState.imageSource == &source)
        SourceState.imageSource = nullptr;
    if (volume != kNoHandle && SourceState.volumeHandle == volume) {
        PlatformCloseHandle(volume);
        SourceState.volumeHandle = kNoHandle;
        SourceState.sourceKind = kSourceImage;
    }
}

void CraftedDisk::Put(std::uint64_t offset, const void* data, std::size_t size)
{
    if (offset + size > bytes.size())
        bytes.resize(static_cast<std::size_t>(offset + size), 0);
    std::memcpy(bytes.data() + offset, data, size);
}

void CraftedDisk::PutU16(std::uint64_t offset, std::uint16_t value)
{
    const std::uint8_t le[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    Put(offset, le, 2);
}

void CraftedDisk::PutU32(std::uint64_t offset, std::uint32_t value)
{
    PutU16(offset, static_cast<std::uint16_t>(value));
    PutU16(offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::string CraftedDisk::Pattern(std::uint32_t seed, std::size_t size) const
{
    std::string out(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return out;
}

bool CraftedDisk::Attach(const std::filesystem::path& file)
{
    bytes.resize((bytes.size() + 511) / 512 * 512, 0);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        const std::vector<std::uint8_t> footer = FixedVhdFooter(bytes.size());
        out.write(reinterpret_cast<const char*>(footer.data()), static_cast<std::streamsize>(footer.size()));
        if (!out)
            return false;
    }
    source.Create(CImageSource::kKindVhd);
    if (!source.Open(EngineText(file)))
        return false;
    ScanSelection.imageKind = kImageVhd;
    SourceState.sourceKind = kSourceImage;
    SourceState.imageSource = &source;
    attached = true;
    return true;
}

bool CraftedDisk::AttachAsVolume(const std::filesystem::path& file)
{
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            return false;
    }
    volume = PlatformOpenForRead(EngineText(file).c_str(), ReadShare::ReadAndWrite);
    if (!IsUsableHandle(volume))
        return false;
    SourceState.sourceKind = kSourceLogicalVolume;
    SourceState.volumeHandle = volume;
    return true;
}

ScratchFolder::ScratchFolder()
{
    static std::atomic<unsigned> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    parent = std::filesystem::temp_directory_path() /
             ("recovery-save-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    target = parent / "target";
    std::filesystem::create_directories(target);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(parent, ignored);
}

std::u16string ScratchFolder::TargetText() const
{
    return EngineText(target);
}

std::filesystem::path FsPath(std::u16string_view text)
{
#ifdef _WIN32
    return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
    std::string utf8;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (code == '\\')
            code = '/';
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (code >> 18));
            utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return std::filesystem::path(utf8);
#endif
}

std::u16string EngineText(const std::filesystem::path& path)
{
#ifdef _WIN32
    const std::wstring wide = path.wstring();
    return std::u16string(wide.begin(), wide.end());
#else
    // The test folders are ASCII.
    const std::string narrow = path.string();
    return std::u16string(narrow.begin(), narrow.end());
#endif
}

std::string Utf8Name(const std::filesystem::path& path)
{
    const std::u8string utf8 = path.generic_u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string ReadFileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint64_t AllocatedBytes(const std::filesystem::path& file)
{
#ifdef _WIN32
    const HANDLE handle = CreateFileW(file.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return UINT64_MAX;
    FILE_STANDARD_INFO info = {};
    const bool known = GetFileInformationByHandleEx(handle, FileStandardInfo, &info, sizeof info) != 0;
    CloseHandle(handle);
    return known ? static_cast<std::uint64_t>(info.AllocationSize.QuadPart) : UINT64_MAX;
#else
    struct stat status;
    if (stat(file.c_str(), &status) != 0)
        return UINT64_MAX;
    return static_cast<std::uint64_t>(status.st_blocks) * 512;
#endif
}

std::vector<std::string> ListTree(const std::filesystem::path& folder)
{
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::string name = Utf8Name(std::filesystem::relative(entry.path(), folder));
        if (entry.is_directory())
            name += '/';
        entries.push_back(name);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::map<std::string, std::string> FileDigests(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> digests;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::string name = Utf8Name(std::filesystem::relative(entry.path(), folder));
        std::replace(name.begin(), name.end(), '\\', '/');
        digests[name] = Md5Hex(ReadFileBytes(entry.path()));
    }
    return digests;
}

std::string Md5Hex(std::string_view bytes)
{
    Md5 md5;
    md5.Update(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return md5.FinishHex();
}
