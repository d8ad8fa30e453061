#include "engine/recovery/platform/path_utils.h"

#include <string>
#include <vector>

#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/save/save_output_io.h"

namespace {

bool OnlyDotsAndSpaces(std::u16string_view level)
{
    for (char16_t c : level)
        if (c != u'.' && c != u' ')
            return false;
    return true;
}

} // namespace

bool FileExists(const char16_t* path)
{
    return path && PlatformPathExists(path);
}

bool CreateNestedFolders(const char16_t* path)
{
    if (!path)
        return false;
    const std::u16string_view whole(path);
    if (whole.find(u'\\') == std::u16string_view::npos)
        return false;

    // Each level is created as the prefix of the path up to the level's end, so that leading and doubled
    // separators ("\a\b", "\\server\share\dir") keep their meaning.
    std::vector<std::size_t> levelEnds;
    std::size_t start = 0;
    while (start <= whole.size()) {
        std::size_t end = whole.find(u'\\', start);
        if (end == std::u16string_view::npos)
            end = whole.size();
        const std::u16string_view level = whole.substr(start, end - start);
        if (!level.empty()) {
            if (OnlyDotsAndSpaces(level))
                return false;
            levelEnds.push_back(end);
        }
        start = end + 1;
    }

    // Folders are written through the savers' door, as the recovered files below them are: long paths
    // in the system's long form, a folder that is there already as good as a new one.
    for (std::size_t end : levelEnds) {
        const std::u16string prefix(whole.substr(0, end));
        OutputCreateFolder(prefix.c_str());
    }
    return true;
}
