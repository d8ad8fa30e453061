#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace image_test {

// Folder of the images made by make_image_fixtures.sh, in the running platform's form.
std::string FixtureDir();
std::string FixturePath(const std::string& name);
std::u16string FixturePath16(const std::string& name);
std::u16string ToUtf16(const std::string& utf8);

// Virtual size that qemu-img reports for a fixture image (sizes.tsv); 0 when it is not listed.
uint64_t QemuVirtualSize(const std::string& image);

// Bytes [offset, offset + length) of a file; shorter when the file ends first.
std::vector<uint8_t> ReadFileRange(const std::string& path, uint64_t offset, size_t length);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
uint64_t FileSize(const std::string& path);

// A folder of this test process's own in the temporary folder (removed at exit), so that test programs
// of several build folders running at once never share a scratch file; ScratchPath names a file in it.
std::string ScratchDir();
std::string ScratchPath(const std::string& name);

// A copy of a fixture in the scratch folder, for tests that patch it.
std::string ScratchCopy(const std::string& fixture, const std::string& copyName);
void PatchFile(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes);
// Recomputes the CRC-32C of both VHDX headers and both region tables after a patch, so that the
// patched field, not the checksum, is what the reader meets.
void FixVhdxChecksums(const std::string& path);

std::vector<uint8_t> LittleEndian(uint64_t value, int bytes);
std::vector<uint8_t> BigEndian(uint64_t value, int bytes);

// Deterministic generator, the same on every platform and library.
class SplitMix64
{
public:
    explicit SplitMix64(uint64_t seed) : state(seed) {}
    uint64_t Next();
    // Uniform enough in [0, bound); bound must not be 0.
    uint64_t Below(uint64_t bound) { return Next() % bound; }

private:
    uint64_t state;
};

} // namespace image_test
