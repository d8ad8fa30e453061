#include "engine/recovery/platform/host_path_posix.h"

namespace {

constexpr std::int64_t kFiletimeTicksPerSecond = 10000000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

} // namespace

std::string HostPath(const char16_t* path)
{
    std::string result;
    for (const char16_t* p = path; *p; ++p) {
        std::uint32_t code = *p;
        if (code >= 0xD800 && code <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (code == '\\')
            code = '/';
        if (code < 0x80) {
            result += static_cast<char>(code);
        } else if (code < 0x800) {
            result += static_cast<char>(0xC0 | (code >> 6));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            result += static_cast<char>(0xE0 | (code >> 12));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (code >> 18));
            result += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return result;
}

timespec FiletimeToTimespec(std::uint64_t filetime)
{
    const auto ticks = static_cast<std::int64_t>(filetime);
    timespec time{};
    time.tv_sec = static_cast<time_t>(ticks / kFiletimeTicksPerSecond - kSecondsFrom1601To1970);
    time.tv_nsec = static_cast<long>((ticks % kFiletimeTicksPerSecond) * 100);
    return time;
}

std::uint64_t TimespecToFiletime(const timespec& time)
{
    return static_cast<std::uint64_t>((static_cast<std::int64_t>(time.tv_sec) + kSecondsFrom1601To1970) *
                                          kFiletimeTicksPerSecond +
                                      time.tv_nsec / 100);
}
