#include "file_trace_test_support.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>

#ifdef _WIN32
#include <windows.h>
#endif

#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/trace/office_naming.h"
#include "engine/recovery/trace/trace_records.h"
#include "support/test_paths.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

std::string TraceFixturePath(const std::string& name)
{
    return test_support::RunningPlatformPath(std::string(RECOVERY_TRACE_FIXTURES_DIR) + "/" + name);
}

std::string OriginalFilePath(const std::string& relative)
{
    return test_support::RunningPlatformPath("/usr/share/forensics-samples/original-files/" + relative);
}

std::u16string Utf16(const std::string& text)
{
    std::u16string result;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int trail = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
        std::uint32_t code = trail == 0 ? lead : lead & (0x3F >> trail);
        for (int k = 1; k <= trail && i + static_cast<std::size_t>(k) < text.size(); ++k)
            code = code << 6 | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
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

std::string Utf8Text(const std::u16string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size()) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
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

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

ScratchFolder::ScratchFolder()
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        const auto candidate =
            base / ("file-trace-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(candidate)) {
            folder = candidate.string();
            return;
        }
    }
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string ScratchFolder::Path(const std::string& name) const
{
    return (std::filesystem::path(folder) / name).string();
}

namespace {

#ifdef _WIN32
constexpr const char* kTempVariables[] = {"TMP", "TEMP"};
#else
constexpr const char* kTempVariables[] = {"TMPDIR"};
#endif

std::string GetVariable(const char* name)
{
#ifdef _WIN32
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length < sizeof value ? std::string(value, length) : std::string();
#else
    const char* value = std::getenv(name);
    return value ? value : "";
#endif
}

void SetVariable(const char* name, const std::string& value)
{
#ifdef _WIN32
    SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
#else
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
#endif
}

} // namespace

PrivateTempFolder::PrivateTempFolder()
{
    for (const char* name : kTempVariables) {
        saved.emplace_back(name, GetVariable(name));
        SetVariable(name, folder.Folder());
    }
}

PrivateTempFolder::~PrivateTempFolder()
{
    for (const auto& [name, value] : saved)
        SetVariable(name.c_str(), value);
}

TraceSource::~TraceSource()
{
    PlatformCloseHandle(SourceState.volumeHandle);
    SourceState.volumeHandle = kNoHandle;
    SourceState.vmdkExtent = nullptr;
    SourceState.imageSource = nullptr;
}

bool TraceSource::Open(const std::string& path)
{
    const std::u16string wide = Utf16(path);
    if (EndsWith(path, ".raw")) {
        PlatformCloseHandle(SourceState.volumeHandle);
        SourceState.volumeHandle = PlatformOpenForRead(wide.c_str(), ReadShare::ReadOnly);
        SourceState.sourceKind = kSourceLogicalVolume;
        return IsUsableHandle(SourceState.volumeHandle);
    }
    SourceState.sourceKind = kSourceImage;
    if (EndsWith(path, ".vmdk")) {
        vmdk = std::make_unique<CVmdkSparseExtent>();
        ScanSelection.imageKind = kImageVmdk;
        SourceState.vmdkExtent = vmdk.get();
        return vmdk->Open(wide) == 1;
    }
    const bool vhd = EndsWith(path, ".vhd");
    image = std::make_unique<CImageSource>();
    image->Create(vhd ? CImageSource::kKindVhd : CImageSource::kKindVhdx);
    ScanSelection.imageKind = vhd ? kImageVhd : kImageVhdx;
    SourceState.imageSource = image.get();
    return image->Open(wide) == 1;
}

RawDisk::RawDisk(std::uint32_t sectors) : bytes(std::size_t{sectors} * 512, 0) {}

void RawDisk::Put(std::uint64_t sector, const std::vector<std::uint8_t>& data)
{
    const std::size_t at = static_cast<std::size_t>(sector) * 512;
    if (bytes.size() < at + data.size())
        bytes.resize(at + data.size());
    std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void RawDisk::Put(std::uint64_t sector, const std::string& hexBytes)
{
    Put(sector, HexBytes(hexBytes));
}

bool RawDisk::Open()
{
    const std::string path = scratch.Path("disk.raw");
    return WriteFileBytes(path, bytes) && source.Open(path);
}

std::vector<std::uint8_t> HexBytes(const std::string& hex)
{
    std::vector<std::uint8_t> result;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        result.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return result;
}

void AddSignature(const char16_t* extension, const char16_t* typeName, std::uint32_t length, const char* hex)
{
    AddFileSignatureRec(extension, typeName, length, hex, 0);
}

std::ostream& operator<<(std::ostream& out, const FoundItem& item)
{
    return out << item.number << " " << item.name << " (" << item.extension << ", " << item.typeName
               << ") at " << item.sector;
}

std::vector<FoundItem> FoundItems()
{
    std::vector<FoundItem> items;
    for (const TraceFoundRec* record = traceFoundList.head; record; record = record->next)
        items.push_back({Utf8Text(record->name), Utf8Text(record->extension), Utf8Text(record->typeName),
                         record->sector, record->number});
    return items;
}

void SetTraceRange(std::uint64_t first, std::uint64_t last)
{
    VolumeParams.rangeStart = static_cast<std::uint32_t>(first);
    VolumeParams.rangeEnd = static_cast<std::uint32_t>(last);
    VolumeParams.rangeCount = static_cast<std::uint32_t>(last - first + 1);
}

bool OfficeTempFileExists()
{
    const std::u16string path = OfficeTempFilePath();
    return !path.empty() && PlatformPathExists(path.c_str());
}
