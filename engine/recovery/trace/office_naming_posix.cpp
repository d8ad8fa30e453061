// The host build has no OLE: the compound file is read by ReadCompoundFileAppName, and the temporary
// folder is $TMPDIR or /tmp.
#include <cstdlib>
#include <vector>

#include "engine/recovery/platform/host_path_posix.h"
#include "engine/recovery/trace/compound_file_reader.h"
#include "engine/recovery/trace/office_naming.h"

namespace {

// The naming copies 1 MiB; a larger file at the path is read no further than this.
constexpr std::size_t kMaxDocumentBytes = 16u << 20;

// UTF-8 to UTF-16; a byte that starts no valid sequence is taken as U+FFFD.
std::u16string FromHostPath(const std::string& text)
{
    std::u16string result;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int trail = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        std::uint32_t code = trail == 0   ? lead
                             : trail == 1 ? lead & 0x1F
                             : trail == 2 ? lead & 0x0F
                                          : lead & 0x07;
        bool valid = trail >= 0 && i + static_cast<std::size_t>(trail) < text.size();
        for (int k = 1; valid && k <= trail; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!valid || code > 0x10FFFF) {
            result.push_back(u'\xFFFD');
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(trail) + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
    }
    return result;
}

} // namespace

std::u16string GetOfficeAppName(const char16_t* path)
{
    if (!path)
        return {};
    std::FILE* file = std::fopen(HostPath(path).c_str(), "rb");
    if (!file)
        return {};
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> piece(1u << 16);
    while (bytes.size() < kMaxDocumentBytes) {
        const std::size_t got = std::fread(piece.data(), 1, piece.size(), file);
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
        if (got < piece.size())
            break;
    }
    std::fclose(file);
    const std::u16string name = ReadCompoundFileAppName(bytes);
    if (name.empty())
        return {};
    return name + u" (VT_LPSTR)\n";
}

std::u16string OfficeTempFilePath()
{
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder && *folder ? folder : "/tmp";
    if (path.back() != '/')
        path += '/';
    return FromHostPath(path) + kOfficeTempFileName;
}

std::FILE* CreateOfficeTempFile(const char16_t* path)
{
    return std::fopen(HostPath(path).c_str(), "wb+");
}

void RemoveOfficeTempFile(const char16_t* path)
{
    std::remove(HostPath(path).c_str());
}
