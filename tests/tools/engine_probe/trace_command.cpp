// engine-probe trace IMAGE (--partition N [--search] | --range FIRST COUNT) (--types LIST | --signatures
// FILE)
//                    [--time]
// Runs the File Trace search over row N (from 1) of the partition table, as "engine-probe partitions"
// prints it, or over COUNT sectors from FIRST, and prints one line per found item: name, extension, type
// name, start sector; then "summary", the number of items and of sectors searched. IMAGE is a VMDK, VHD
// or VHDX, or any other file read as a raw disk (as a logical volume is read).
//
// The chosen types come from LIST, comma-separated names of the table below in the order of the choice,
// or from FILE: a signature file of the program's own (a name ending in ".dat", every record chosen in
// file order, as the File Types dialog chooses them with every type checked), or tab-separated lines of
// extension (with its dot), type name, compare length and signature in hexadecimal ('#' starts a comment
// line). With --time the search's speed goes to standard error:
// "search", sectors, milliseconds, MiB/s.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "engine/image/utf16_path.h"
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/trace/file_trace_scan.h"
#include "engine/recovery/trace/signature_file.h"
#include "engine/recovery/trace/trace_records.h"
#include "engine_probe/probe_command.h"
#include "engine_probe/probe_partitions.h"

namespace {

struct KnownType
{
    const char16_t* name;
    const char16_t* extension;
    const char16_t* typeName;
    const char* signature;
};

// What a "Raw.dat" of the file-type choice might hold for these types.
constexpr KnownType kKnownTypes[] = {
    {u"jpg", u".jpg", u"JPEG Image", "ffd8ff"},
    {u"png", u".png", u"PNG Image", "89504e470d0a1a0a"},
    {u"gif", u".gif", u"GIF Image", "474946383961"},
    {u"bmp", u".bmp", u"Bitmap Image", "424d"},
    {u"pdf", u".pdf", u"PDF Document", "255044462d"},
    {u"zip", u".zip", u"ZIP Archive", "504b0304"},
    {u"docx", u".docx", u"Word Document (Open XML)", "504b0304"},
    {u"doc", u".doc", u"Word Document", "d0cf11e0a1b11ae1"},
    {u"xls", u".xls", u"Excel Workbook", "d0cf11e0a1b11ae1"},
    {u"ppt", u".ppt", u"PowerPoint Presentation", "d0cf11e0a1b11ae1"},
    {u"pub", u".pub", u"Publisher Document", "d0cf11e0a1b11ae1"},
    {u"ogg", u".ogg", u"Ogg Media", "4f676753"},
    {u"wav", u".wav", u"RIFF Media", "52494646"},
    {u"mp3", u".mp3", u"MP3 Audio", "494433"},
    {u"mp4", u".mp4", u"MP4 Video", "0000001866747970"},
    {u"mpg", u".mpg", u"MPEG Video", "000001ba"},
    {u"xcf", u".xcf", u"GIMP Image", "67696d7020786366"},
    {u"ppm", u".ppm", u"PPM Image", "50360a"},
};

int Usage()
{
    std::fputs("usage: engine-probe trace IMAGE (--partition N [--search] | --range FIRST COUNT) "
               "(--types LIST | --signatures FILE) [--time]\n",
               stderr);
    return kProbeUsage;
}

bool ParseNumber(std::u16string_view text, std::uint64_t limit, std::uint64_t& value)
{
    value = 0;
    if (text.empty() || text.size() > 20)
        return false;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
        const auto digit = static_cast<std::uint64_t>(c - u'0');
        if (value > (limit - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    return true;
}

std::string Utf8(std::u16string_view text)
{
    std::string utf8;
    return Utf16ToUtf8(text, utf8) ? utf8 : std::string("?");
}

bool ChooseListedTypes(std::u16string_view list)
{
    while (!list.empty()) {
        const std::size_t comma = list.find(u',');
        const std::u16string_view name = list.substr(0, comma);
        list = comma == std::u16string_view::npos ? std::u16string_view() : list.substr(comma + 1);
        const KnownType* chosen = nullptr;
        for (const KnownType& type : kKnownTypes)
            chosen = name == type.name ? &type : chosen;
        if (!chosen) {
            std::fprintf(stderr, "unknown type '%s'; known:", Utf8(name).c_str());
            for (const KnownType& type : kKnownTypes)
                std::fprintf(stderr, " %s", Utf8(type.name).c_str());
            std::fputc('\n', stderr);
            return false;
        }
        AddFileSignatureRec(chosen->extension, chosen->typeName,
                            static_cast<std::uint32_t>(std::string_view(chosen->signature).size() / 2),
                            chosen->signature, 0);
    }
    return fileSignatureList.head != nullptr;
}

bool ReadWholeFile(const std::u16string& path, std::string& bytes)
{
    const PlatformHandle handle = PlatformOpenForRead(path.c_str(), ReadShare::ReadOnly);
    if (!IsUsableHandle(handle))
        return false;
    char piece[4096];
    std::uint32_t got = 0;
    while (PlatformRead(handle, piece, sizeof piece, &got) && got > 0 && bytes.size() < (1u << 20))
        bytes.append(piece, got);
    PlatformCloseHandle(handle);
    return true;
}

bool EndsWithDat(std::u16string_view path)
{
    if (path.size() < 4)
        return false;
    std::u16string tail(path.substr(path.size() - 4));
    for (char16_t& c : tail)
        c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    return tail == u".dat";
}

// Lines of extension, type name, compare length, signature; or the program's signature file.
bool ChooseTypesFromFile(const std::u16string& path)
{
    if (EndsWithDat(path)) {
        const SignatureFileContents contents = ReadSignatureFile(path.c_str());
        if (!contents.complete)
            std::fputs("the signature file ends in a broken record\n", stderr);
        for (const SignatureFileRecord& record : contents.records)
            AddSignatureFromRecord(record);
        return fileSignatureList.head != nullptr;
    }
    std::string text;
    if (!ReadWholeFile(path, text)) {
        std::fputs("the signature file cannot be read\n", stderr);
        return false;
    }
    std::size_t lineStart = 0;
    int lineNumber = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();
        std::string line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> fields;
        for (std::size_t start = 0;;) {
            const std::size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        std::u16string extension;
        std::u16string typeName;
        std::u16string lengthText;
        std::uint64_t length = 0;
        if (fields.size() != 4 || !Utf8ToUtf16(fields[0], extension) || !Utf8ToUtf16(fields[1], typeName) ||
            !Utf8ToUtf16(fields[2], lengthText) || !ParseNumber(lengthText, UINT32_MAX, length)) {
            std::fprintf(stderr, "line %d: expected extension, type name, length, signature\n", lineNumber);
            return false;
        }
        AddFileSignatureRec(extension.c_str(), typeName.c_str(), static_cast<std::uint32_t>(length),
                            fields[3].c_str(), 0);
    }
    return fileSignatureList.head != nullptr;
}

// A file that is no disk image is read as a raw disk, through the logical-volume path of the sector
// source.
class RawDiskSource
{
public:
    ~RawDiskSource()
    {
        PlatformCloseHandle(SourceState.volumeHandle);
        SourceState.volumeHandle = kNoHandle;
    }
    bool Open(const std::u16string& path)
    {
        SourceState.volumeHandle = PlatformOpenForRead(path.c_str(), ReadShare::ReadOnly);
        SourceState.sourceKind = kSourceLogicalVolume;
        return IsUsableHandle(SourceState.volumeHandle);
    }
};

bool IsImagePath(std::u16string_view path)
{
    for (std::u16string_view extension : {u".vmdk", u".vhd", u".vhdx"}) {
        if (path.size() >= extension.size()) {
            std::u16string tail(path.substr(path.size() - extension.size()));
            for (char16_t& c : tail)
                c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
            if (tail == extension)
                return true;
        }
    }
    return false;
}

} // namespace

int RunTraceCommand(const ProbeArguments& arguments)
{
    if (arguments.empty())
        return Usage();
    std::uint64_t row = 0;
    std::uint64_t first = 0;
    std::uint64_t count = 0;
    bool ranged = false;
    bool search = false;
    bool timed = false;
    std::u16string types;
    std::u16string signatureFile;
    for (std::size_t index = 1; index < arguments.size(); ++index) {
        const std::u16string& option = arguments[index];
        const bool hasValue = index + 1 < arguments.size();
        if (option == u"--search") {
            search = true;
        } else if (option == u"--time") {
            timed = true;
        } else if (option == u"--partition" && hasValue) {
            if (!ParseNumber(arguments[++index], kMaxPartitions, row) || row == 0)
                return Usage();
        } else if (option == u"--range" && index + 2 < arguments.size()) {
            // The range's sectors are 32-bit numbers, its last one included.
            if (!ParseNumber(arguments[index + 1], UINT32_MAX, first) ||
                !ParseNumber(arguments[index + 2], std::uint64_t{UINT32_MAX} + 1 - first, count) ||
                count == 0)
                return Usage();
            ranged = true;
            index += 2;
        } else if (option == u"--types" && hasValue) {
            types = arguments[++index];
        } else if (option == u"--signatures" && hasValue) {
            signatureFile = arguments[++index];
        } else {
            return Usage();
        }
    }
    if (ranged == (row != 0) || types.empty() == signatureFile.empty())
        return Usage();

    const std::u16string& path = arguments[0];
    ProbeEngineImage image;
    RawDiskSource raw;
    if (IsImagePath(path)) {
        if (!image.Open(path)) {
            std::printf("refused\t%s\n", image.GetRefusal().c_str());
            return kProbeRefused;
        }
    } else if (!raw.Open(path)) {
        std::puts("refused\tthe file cannot be opened");
        return kProbeRefused;
    }
    if (!ranged) {
        FillProbePartitionTable(search);
        if (row > partitionCount) {
            std::printf("refused\tthe partition table has %u rows\n", static_cast<unsigned>(partitionCount));
            return kProbeRefused;
        }
        first = partitionTable[row - 1].startSector;
        count = partitionTable[row - 1].sectorCount;
        if (count == 0 || first + count - 1 > UINT32_MAX) {
            std::puts("refused\tthe partition row has no sectors");
            return kProbeRefused;
        }
    }
    if (!(types.empty() ? ChooseTypesFromFile(signatureFile) : ChooseListedTypes(types)))
        return Usage();

    VolumeParams.rangeStart = static_cast<std::uint32_t>(first);
    VolumeParams.rangeCount = static_cast<std::uint32_t>(count);
    VolumeParams.rangeEnd = static_cast<std::uint32_t>(first + count - 1);
    ScanThreadControl.running = 1;
    ScanThreadControl.done = 0;
    const auto start = std::chrono::steady_clock::now();
    FileTraceSearch();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::uint32_t items = 0;
    for (const TraceFoundRec* record = traceFoundList.head; record; record = record->next, ++items)
        std::printf("%s\t%s\t%s\t%" PRIu32 "\n", Utf8(record->name).c_str(), Utf8(record->extension).c_str(),
                    Utf8(record->typeName).c_str(), record->sector);
    std::printf("summary\t%" PRIu32 "\t%" PRIu64 "\n", items, count);
    if (timed) {
        const double mebibytes = static_cast<double>(count) * 512 / (1 << 20);
        std::fprintf(stderr, "search\t%" PRIu64 "\t%.0f\t%.1f\n", count, seconds * 1000,
                     seconds > 0 ? mebibytes / seconds : 0);
    }
    FreeTraceFoundList();
    FreeFileSignatureList();
    return kProbeOk;
}
