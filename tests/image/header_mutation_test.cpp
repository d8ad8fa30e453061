// A deterministic run of random mutations of the headers, directories and tables of small real images.
// Every mutated image is opened and read in a few places: nothing may crash, hang or allocate without
// bound (the host build runs this under the sanitizers with allocations capped).
#include <gtest/gtest.h>

#include "engine/image/byte_order.h"
#include "engine_probe/probe_disk.h"
#include "image_test_support.h"

using namespace image_test;

namespace {

struct Span
{
    uint64_t offset;
    uint64_t length;
};

struct Target
{
    const char* image;
    std::vector<Span> spans;
    bool vhdxChecksums;
};

std::vector<Target> Targets()
{
    std::vector<Target> targets;
    {
        const auto header = ReadFileRange(FixturePath("small.vmdk"), 0, 512);
        // Header, descriptor, directories and grain tables all lie below the overhead.
        targets.push_back(
            {"small.vmdk", {{0, 512}, {512, ReadLittleEndian64(header.data() + 64) * 512 - 512}}, false});
    }
    for (const char* image : {"small.vhd", "small.fixed.vhd"}) {
        const uint64_t size = FileSize(FixturePath(image));
        std::vector<Span> spans = {{size - 512, 512}, {size - 512 + 16, 64}};
        if (std::string(image) == "small.vhd")
            spans.insert(spans.end(), {{0, 512}, {512, 1024}, {1536, 64}});
        targets.push_back({image, spans, false});
    }
    for (const char* image : {"small.1m.vhdx", "small.fixed.vhdx"}) {
        const std::string path = FixturePath(image);
        const auto regions = ReadFileRange(path, 196608, 65536);
        std::vector<Span> spans = {{0, 16}, {65536, 80}, {131072, 80}, {196608, 16 + 32 * 2}};
        for (uint32_t index = 0; index < 2; ++index) {
            const uint64_t offset = ReadLittleEndian64(regions.data() + 16 + 32 * index + 16);
            if (ReadLittleEndian32(regions.data() + 16 + 32 * index) == 0x2DC27766) {
                spans.push_back({offset, 64});
            } else {
                spans.push_back({offset, 32 + 32 * 6});
                spans.push_back({offset + 65536, 64});
            }
        }
        targets.push_back({image, spans, true});
    }
    return targets;
}

std::vector<uint8_t> MutatedBytes(SplitMix64& random, const std::vector<uint8_t>& original)
{
    std::vector<uint8_t> bytes = original;
    switch (random.Below(5)) {
    case 0: // one random byte
        bytes[random.Below(bytes.size())] = static_cast<uint8_t>(random.Next());
        break;
    case 1: // one flipped bit
        bytes[random.Below(bytes.size())] ^= static_cast<uint8_t>(1u << random.Below(8));
        break;
    case 2: // a field of zeros
        std::fill(bytes.begin(), bytes.end(), 0);
        break;
    case 3: // a field of ones
        std::fill(bytes.begin(), bytes.end(), 0xFF);
        break;
    default: // random bytes
        for (uint8_t& byte : bytes)
            byte = static_cast<uint8_t>(random.Next());
        break;
    }
    return bytes;
}

} // namespace

TEST(HeaderMutation, ThousandsOfMutatedImagesNeitherCrashNorHang)
{
    constexpr int kMutationsPerImage = 700;
    SplitMix64 random(0x5EED);
    int opened = 0;
    int refused = 0;
    for (const Target& target : Targets()) {
        SCOPED_TRACE(target.image);
        const std::string image = target.image;
        const std::string path = ScratchCopy(image, "mutated" + image.substr(image.find('.')));
        const std::vector<uint8_t> pristine = ReadFileBytes(path);
        std::vector<uint8_t> bytes(256 * 1024);
        for (int mutation = 0; mutation < kMutationsPerImage; ++mutation) {
            // One to three fields of 1, 2, 4 or 8 bytes inside the structures.
            std::vector<std::pair<uint64_t, size_t>> changed;
            const int fields = 1 + static_cast<int>(random.Below(3));
            for (int field = 0; field < fields; ++field) {
                const Span& span = target.spans[random.Below(target.spans.size())];
                const size_t width = size_t{1} << random.Below(4);
                const uint64_t offset =
                    span.offset + random.Below(std::max<uint64_t>(span.length, width) - width + 1);
                const std::vector<uint8_t> original(pristine.begin() + static_cast<std::ptrdiff_t>(offset),
                                                    pristine.begin() +
                                                        static_cast<std::ptrdiff_t>(offset + width));
                PatchFile(path, offset, MutatedBytes(random, original));
                changed.emplace_back(offset, width);
            }
            // Half of the VHDX mutations keep the checksums right, so the parse goes past the headers.
            const bool fixed = target.vhdxChecksums && random.Below(2) == 0;
            if (fixed)
                FixVhdxChecksums(path);

            {
                // Closed again before the restore: the readers share the file for reading only.
                ProbeDisk disk;
                if (disk.Open(ToUtf16(path))) {
                    ++opened;
                    const uint64_t size = disk.GetSize();
                    const uint64_t places[] = {0, random.Below(std::max<uint64_t>(size, 1)),
                                               size - std::min<uint64_t>(size, bytes.size() / 2)};
                    for (uint64_t place : places)
                        disk.ReadAt(place, bytes.data(), static_cast<uint32_t>(bytes.size()));
                } else {
                    ++refused;
                    EXPECT_FALSE(disk.GetRefusal().empty());
                }
            }

            for (const auto& [offset, width] : changed)
                PatchFile(
                    path, offset,
                    std::vector<uint8_t>(pristine.begin() + static_cast<std::ptrdiff_t>(offset),
                                         pristine.begin() + static_cast<std::ptrdiff_t>(offset + width)));
            if (fixed)
                PatchFile(path, 0, std::vector<uint8_t>(pristine.begin(), pristine.begin() + 327680));
        }
        ASSERT_EQ(ReadFileBytes(path), pristine) << "the copy is restored after each mutation";
    }
    std::printf("mutated images opened: %d, refused: %d\n", opened, refused);
    EXPECT_GT(opened, 0);
    EXPECT_GT(refused, 0);
}
