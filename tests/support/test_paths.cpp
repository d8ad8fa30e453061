#include "support/test_paths.h"

#include <cstdlib>
#include <fstream>

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
