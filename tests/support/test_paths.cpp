#include "support/test_paths.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>

namespace test_support {

std::string RunningPlatformPath(const std::string& hostPath)
{
    std::string path = hostPath;
#ifdef _WIN32
    // Wine maps the host's root to drive Z:.
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
#endif
    return path;
}

std::string TestDisksDir()
{
    const char* overridden = std::getenv("TEST_DISKS_DIR");
    return RunningPlatformPath(overridden && *overridden ? overridden : PROJECT_TEST_DISKS_DIR);
}

std::string UniqueTempName(const std::string& prefix, const std::string& extension)
{
    static const std::uint64_t run =
        (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
    static std::atomic<unsigned> serial{0};
    return prefix + std::to_string(run) + "_" + std::to_string(serial++) + extension;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    std::string joined = folder;
    if (!joined.empty() && joined.back() != separator)
        joined += separator;
    for (char c : name)
        joined += (c == '/' ? separator : c);
    return joined;
}

bool TestDisksAvailable()
{
    std::ifstream stamp(JoinPath(TestDisksDir(), ".stamp"));
    return stamp.good();
}

} // namespace test_support
