#include "engine/recovery/platform/host_path_posix.h"

#include "engine/image/utf16_path.h"
#include "engine/recovery/core/file_time.h"

namespace {

constexpr auto kTicksPerSecond = static_cast<std::int64_t>(kFiletimeTicksPerSecond);

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
        AppendUtf8(result, code);
    }
    return result;
}

timespec FiletimeToTimespec(std::uint64_t filetime)
{
    const auto ticks = static_cast<std::int64_t>(filetime);
    timespec time{};
    time.tv_sec = static_cast<time_t>(ticks / kTicksPerSecond - kSecondsFrom1601To1970);
    time.tv_nsec = static_cast<long>((ticks % kTicksPerSecond) * 100);
    return time;
}

std::uint64_t TimespecToFiletime(const timespec& time)
{
    return static_cast<std::uint64_t>((static_cast<std::int64_t>(time.tv_sec) + kSecondsFrom1601To1970) *
                                          kTicksPerSecond +
                                      time.tv_nsec / 100);
}
