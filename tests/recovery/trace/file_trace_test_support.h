#pragma once

// What the File Trace and Office naming tests share: the fixture folder of file_trace_fixtures.py, small
// raw disks written by a test, sources opened for ReadSectors, and the found items in a comparable form.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"

// A file of the fixture folder in the form the running program's file API takes (Z:\... under Wine).
std::string TraceFixturePath(const std::string& name);

// A file of the forensics-samples originals, by its path below original-files.
std::string OriginalFilePath(const std::string& relative);

// UTF-8 (the fixtures' texts) to UTF-16 and back.
std::u16string Utf16(const std::string& text);
std::string Utf8Text(const std::u16string& text);

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A folder of the system's temporary folder made for one test and removed with everything in it.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string Path(const std::string& name) const;
    const std::string& Folder() const { return folder; }

private:
    std::string folder;
};

// Points the user's temporary folder (TMPDIR; TMP and TEMP on Windows) at a scratch folder of its own
// while it lives, so that test programs run side by side never share the naming's temporary file.
class PrivateTempFolder
{
public:
    PrivateTempFolder();
    ~PrivateTempFolder();
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

private:
    ScratchFolder folder;
    std::vector<std::pair<std::string, std::string>> saved;
};

// The source that ReadSectors reads, chosen by the file's extension: ".raw" is opened as a logical
// volume (SourceState.volumeHandle), ".vmdk", ".vhd" and ".vhdx" through the image readers. Detaches
// itself from the engine when destroyed.
class TraceSource
{
public:
    TraceSource() = default;
    ~TraceSource();
    TraceSource(const TraceSource&) = delete;
    TraceSource& operator=(const TraceSource&) = delete;
    bool Open(const std::string& path);

private:
    std::unique_ptr<CVmdkSparseExtent> vmdk;
    std::unique_ptr<CImageSource> image;
};

// A raw disk of `sectors` zero sectors in a scratch folder, with bytes placed at chosen sectors.
class RawDisk
{
public:
    explicit RawDisk(std::uint32_t sectors);
    void Put(std::uint64_t sector, const std::vector<std::uint8_t>& bytes);
    void Put(std::uint64_t sector, const std::string& hexBytes);
    // Writes the file and opens it as the source.
    bool Open();

private:
    ScratchFolder scratch;
    std::vector<std::uint8_t> bytes;
    TraceSource source;
};

std::vector<std::uint8_t> HexBytes(const std::string& hex);

// Appends a chosen signature (number 0).
void AddSignature(const char16_t* extension, const char16_t* typeName, std::uint32_t length, const char* hex);

struct FoundItem
{
    std::string name;
    std::string extension;
    std::string typeName;
    std::uint32_t sector;
    std::uint32_t number;
    bool operator==(const FoundItem&) const = default;
};
std::ostream& operator<<(std::ostream& out, const FoundItem& item);

// traceFoundList in list order.
std::vector<FoundItem> FoundItems();

// The search's range: first sector and last sector, both included.
void SetTraceRange(std::uint64_t first, std::uint64_t last);

// Whether the Office naming's temporary file exists.
bool OfficeTempFileExists();
