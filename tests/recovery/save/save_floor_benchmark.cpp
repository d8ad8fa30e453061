// Benchmark (prints figures; not a test): the least any saver pays for the files save_benchmark.sh saves,
// 100,000 small files in 100 folders with the same names and sizes, written with nothing but the
// system's own calls: per file one create, one write and one close, then once more with the file times
// set on the open handle before the close, as the engine's saver does. What a save costs above these
// figures is the saver's own.
//
//   recovery_save_floor_benchmark TARGET
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr unsigned kSizes[] = {100, 700, 1500, 3000};

#ifdef _WIN32
using SystemText = std::wstring;

SystemText Text(const std::string& ascii)
{
    return SystemText(ascii.begin(), ascii.end());
}

bool MakeFolder(const SystemText& path)
{
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteOneFile(const SystemText& path, const std::vector<char>& bytes, unsigned size, bool setTimes)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), size, &written, nullptr) && written == size;
    if (setTimes) {
        // 2020-01-01, any fixed time.
        FILETIME time{0x5C158000u, 0x01D5C03Bu};
        ok = SetFileTime(file, &time, &time, &time) && ok;
    }
    return CloseHandle(file) && ok;
}
#else
using SystemText = std::string;

SystemText Text(const std::string& ascii)
{
    return ascii;
}

bool MakeFolder(const SystemText& path)
{
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

bool WriteOneFile(const SystemText& path, const std::vector<char>& bytes, unsigned size, bool setTimes)
{
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (file < 0)
        return false;
    bool ok = write(file, bytes.data(), size) == static_cast<ssize_t>(size);
    if (setTimes) {
        const timespec times[2] = {{1577836800, 0}, {1577836800, 0}};
        ok = futimens(file, times) == 0 && ok;
    }
    return close(file) == 0 && ok;
}
#endif

// Writes every folder and file below `root`; the seconds it took, or a negative number on a failure.
double WriteAll(const std::string& root, bool setTimes)
{
    const std::vector<char> bytes(3000, 'x');
    const char separator = root.find('\\') != std::string::npos ? '\\' : '/';
    const auto started = std::chrono::steady_clock::now();
    if (!MakeFolder(Text(root)))
        return -1;
    char name[64];
    for (int folder = 0; folder < kFolders; ++folder) {
        std::snprintf(name, sizeof(name), "%cfolder-%03d", separator, folder);
        const std::string folderPath = root + name;
        if (!MakeFolder(Text(folderPath)))
            return -1;
        for (int i = 0; i < kFilesPerFolder; ++i) {
            std::snprintf(name, sizeof(name), "%cfile-%04d.bin", separator, i);
            if (!WriteOneFile(Text(folderPath + name), bytes, kSizes[i % 4], setTimes))
                return -1;
        }
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: recovery_save_floor_benchmark TARGET\n", stderr);
        return 2;
    }
    const std::string target = argv[1];
    const char separator = target.find('\\') != std::string::npos ? '\\' : '/';
    const double plain = WriteAll(target + separator + "plain", false);
    const double timed = WriteAll(target + separator + "timed", true);
    if (plain < 0 || timed < 0) {
        std::fputs("a folder or file could not be written\n", stderr);
        return 1;
    }
    std::printf("floor: create, write, close\t%.2f s\t%d files\n", plain, kFolders * kFilesPerFolder);
    std::printf("floor: with the times set\t%.2f s\t%d files\n", timed, kFolders * kFilesPerFolder);
    return 0;
}
