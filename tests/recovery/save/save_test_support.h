#pragma once

// What the save tests share: a disk made in memory and attached to the engine as a fixed VHD, a scratch
// folder whose parent is watched, reading back what was saved, and MD5.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/image/image_source.h"

// A disk of whole sectors built by the test. Attach writes it as a fixed VHD (the raw bytes and a
// footer) and makes it the engine's source; the destructor detaches it.
class CraftedDisk
{
public:
    explicit CraftedDisk(std::uint64_t sectors);
    ~CraftedDisk();
    CraftedDisk(const CraftedDisk&) = delete;
    CraftedDisk& operator=(const CraftedDisk&) = delete;

    void Put(std::uint64_t offset, const void* data, std::size_t size);
    void PutU16(std::uint64_t offset, std::uint16_t value);
    void PutU32(std::uint64_t offset, std::uint32_t value);
    // `size` bytes that differ from every other call's (a seed of its own).
    std::string Pattern(std::uint32_t seed, std::size_t size) const;

    bool Attach(const std::filesystem::path& file);
    // Writes the raw bytes and makes the file the engine's logical volume, read through its handle: a read
    // past the file's end fails there, as a bad stretch of a drive does.
    bool AttachAsVolume(const std::filesystem::path& file);

private:
    std::vector<std::uint8_t> bytes;
    CImageSource source;
    bool attached = false;
    std::intptr_t volume = 0;
};

// An empty folder made for one test under the system's temporary folder: `Parent()` holds only
// `Target()` ("target") at the start; both are removed at the end.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Parent() const { return parent; }
    const std::filesystem::path& Target() const { return target; }
    // The target folder as the engine takes a path.
    std::u16string TargetText() const;

private:
    std::filesystem::path parent;
    std::filesystem::path target;
};

// A path the engine wrote (UTF-16, "\" or the host's separators) as a filesystem path.
std::filesystem::path FsPath(std::u16string_view text);
std::u16string EngineText(const std::filesystem::path& path);
std::string Utf8Name(const std::filesystem::path& path);

std::string ReadFileBytes(const std::filesystem::path& file);

// The bytes the file system allocates for the file (holes take none where it keeps them).
std::uint64_t AllocatedBytes(const std::filesystem::path& file);

// Every file and folder below `folder` as relative paths in UTF-8 with "/" separators, sorted; folders
// end in "/".
std::vector<std::string> ListTree(const std::filesystem::path& folder);

// Every file below `folder` by its relative path in UTF-8 with "/" separators, with the MD5 of its bytes.
std::map<std::string, std::string> FileDigests(const std::filesystem::path& folder);

std::string Md5Hex(std::string_view bytes);
