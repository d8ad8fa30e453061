// VMDK, VHD and VHDX images: the first byte picks the reader, the rest is the image file. An image that
// opens is read at its start, its middle and its end.
#include "engine/image/image_source.h"
#include "engine/image/vmdk_sparse_extent.h"
#include "fuzz_input_file.h"

namespace {

template <typename Reader> void ReadAround(Reader& reader, std::uint64_t diskSize)
{
    std::uint8_t sector[512];
    for (const std::uint64_t at : {std::uint64_t{0}, diskSize / 2 / 512 * 512, diskSize - 512}) {
        if (at < diskSize && reader.SeekVirtual(at))
            reader.Read(sector, sizeof sector);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string path = FuzzInputFile(data + 1, size - 1);
    if (path.empty())
        return 0;
    const std::uint8_t kind = data[0] % 3;
    if (kind == 2) {
        CVmdkSparseExtent vmdk;
        if (vmdk.Open(FuzzWidePath(path)))
            ReadAround(vmdk, vmdk.GetDiskSize());
        return 0;
    }
    CImageSource image;
    if (image.Create(kind == 0 ? CImageSource::kKindVhd : CImageSource::kKindVhdx) &&
        image.Open(FuzzWidePath(path)))
        ReadAround(image, image.GetDiskSize());
    return 0;
}
