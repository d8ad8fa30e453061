#include "jpeg2000_decoder.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>

namespace imaging {

namespace {

// The first bytes of a JP2 file (its signature box) and of a bare code stream (SOC, then SIZ).
constexpr std::uint8_t kJp2Signature[] = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20};
constexpr std::uint8_t kCodeStreamStart[] = {0xFF, 0x4F, 0xFF, 0x51};

struct MemoryStream
{
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
};

OPJ_SIZE_T ReadStream(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* stream = static_cast<MemoryStream*>(user);
    if (stream->at >= stream->size)
        return static_cast<OPJ_SIZE_T>(-1);
    const std::size_t got = std::min<std::size_t>(count, stream->size - stream->at);
    std::memcpy(buffer, stream->data + stream->at, got);
    stream->at += got;
    return got;
}

OPJ_OFF_T SkipStream(OPJ_OFF_T count, void* user)
{
    auto* stream = static_cast<MemoryStream*>(user);
    if (count < 0) {
        const std::size_t back = std::min<std::size_t>(static_cast<std::size_t>(-count), stream->at);
        stream->at -= back;
        return -static_cast<OPJ_OFF_T>(back);
    }
    const std::size_t ahead =
        std::min<std::size_t>(static_cast<std::size_t>(count), stream->size - stream->at);
    stream->at += ahead;
    return static_cast<OPJ_OFF_T>(ahead);
}

OPJ_BOOL SeekStream(OPJ_OFF_T position, void* user)
{
    auto* stream = static_cast<MemoryStream*>(user);
    if (position < 0 || static_cast<std::uint64_t>(position) > stream->size)
        return OPJ_FALSE;
    stream->at = static_cast<std::size_t>(position);
    return OPJ_TRUE;
}

void Quiet(const char*, void*) {}

// The picture and tile grid that a code stream's SIZ marker declares.
struct CodeStreamSize
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t components = 0;
    std::uint64_t tiles = 0;
    std::size_t bytes = 0; // from the code stream's start to the end of the file
};

// Where the code stream starts: at once for a bare one, in the first top-level `jp2c` box of a JP2 file,
// found the way OpenJPEG walks the boxes.
bool FindCodeStream(const std::uint8_t* data, std::size_t size, OPJ_CODEC_FORMAT format, std::size_t& start)
{
    if (format == OPJ_CODEC_J2K) {
        start = 0;
        return true;
    }
    std::size_t at = 0;
    while (size - at >= 8) {
        std::uint64_t length = ReadBe32(data + at);
        const std::uint32_t type = ReadBe32(data + at + 4);
        std::size_t header = 8;
        if (length == 1) {
            if (size - at < 16)
                return false;
            length = (static_cast<std::uint64_t>(ReadBe32(data + at + 8)) << 32) | ReadBe32(data + at + 12);
            header = 16;
        } else if (length == 0) {
            length = size - at;
        }
        if (type == 0x6A703263) { // 'jp2c'
            start = at + header;
            return true;
        }
        if (length < header || length > size - at)
            return false;
        at += static_cast<std::size_t>(length);
    }
    return false;
}

bool ReadCodeStreamSize(const std::uint8_t* data, std::size_t size, std::size_t start, CodeStreamSize& out)
{
    // SOC, SIZ, Lsiz, Rsiz, then the 32-bit sizes and offsets and Csiz.
    if (start > size || size - start < 42 ||
        std::memcmp(data + start, kCodeStreamStart, sizeof kCodeStreamStart) != 0)
        return false;
    const std::uint8_t* siz = data + start;
    const std::uint32_t right = ReadBe32(siz + 8), bottom = ReadBe32(siz + 12);
    const std::uint32_t left = ReadBe32(siz + 16), top = ReadBe32(siz + 20);
    const std::uint32_t tileWidth = ReadBe32(siz + 24), tileHeight = ReadBe32(siz + 28);
    const std::uint32_t tileLeft = ReadBe32(siz + 32), tileTop = ReadBe32(siz + 36);
    if (right <= left || bottom <= top || tileWidth == 0 || tileHeight == 0 || tileLeft > left ||
        tileTop > top)
        return false;
    out.width = right - left;
    out.height = bottom - top;
    out.components = ReadBe16(siz + 40);
    const std::uint64_t across = (static_cast<std::uint64_t>(right) - tileLeft + tileWidth - 1) / tileWidth;
    const std::uint64_t down = (static_cast<std::uint64_t>(bottom) - tileTop + tileHeight - 1) / tileHeight;
    out.tiles = across * down;
    out.bytes = size - start;
    return true;
}

// Whether the file can be what its header declares. OpenJPEG sets up every tile of the grid as it reads
// the header, so a few bytes declaring tens of thousands of tiles cost seconds before any check of ours
// on the picture could run. Every tile of a whole code stream has a tile-part (SOT and SOD, 14 bytes) and
// at least one packet, of a byte or more, for each component.
bool WithinBudget(const CodeStreamSize& declared)
{
    if (declared.components == 0 || declared.width > kMaxPictureSide || declared.height > kMaxPictureSide)
        return false;
    const std::uint64_t samples =
        static_cast<std::uint64_t>(declared.width) * declared.height * declared.components;
    return samples <= kMaxPicturePixels && declared.tiles * (14 + declared.components) <= declared.bytes;
}

// One sample of a component at the picture's pixel, scaled to 8 bits.
std::uint32_t Sample(const opj_image_comp_t& component, std::uint32_t x, std::uint32_t y, std::uint32_t width,
                     std::uint32_t height)
{
    const std::uint32_t column =
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(x) * component.w / width);
    const std::uint32_t row =
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(y) * component.h / height);
    std::int64_t value = component.data[static_cast<std::size_t>(row) * component.w + column];
    const std::uint32_t precision = std::min<std::uint32_t>(std::max<std::uint32_t>(component.prec, 1), 31);
    if (component.sgnd)
        value += std::int64_t(1) << (precision - 1);
    const std::int64_t largest = (std::int64_t(1) << precision) - 1;
    value = std::clamp<std::int64_t>(value, 0, largest);
    return static_cast<std::uint32_t>((value * 255 + largest / 2) / largest);
}

} // namespace

bool DecodeJpeg2000(const std::uint8_t* data, std::size_t size, PicturePixels& picture, Jpeg2000Work* work)
{
    picture = PicturePixels();
    if (work != nullptr)
        *work = Jpeg2000Work();
    if (data == nullptr)
        return false;
    OPJ_CODEC_FORMAT format;
    if (size >= sizeof kJp2Signature && std::memcmp(data, kJp2Signature, sizeof kJp2Signature) == 0)
        format = OPJ_CODEC_JP2;
    else if (size >= sizeof kCodeStreamStart &&
             std::memcmp(data, kCodeStreamStart, sizeof kCodeStreamStart) == 0)
        format = OPJ_CODEC_J2K;
    else
        return false;
    std::size_t start = 0;
    CodeStreamSize declared;
    if (!FindCodeStream(data, size, format, start) || !ReadCodeStreamSize(data, size, start, declared) ||
        !WithinBudget(declared))
        return false;
    if (work != nullptr)
        work->tiles = declared.tiles;

    MemoryStream memory = {data, size, 0};
    opj_stream_t* stream = opj_stream_create(1 << 16, OPJ_TRUE);
    opj_codec_t* codec = opj_create_decompress(format);
    opj_image_t* image = nullptr;
    bool decoded = false;
    if (stream != nullptr && codec != nullptr) {
        opj_stream_set_user_data(stream, &memory, nullptr);
        opj_stream_set_user_data_length(stream, size);
        opj_stream_set_read_function(stream, ReadStream);
        opj_stream_set_skip_function(stream, SkipStream);
        opj_stream_set_seek_function(stream, SeekStream);
        opj_set_error_handler(codec, Quiet, nullptr);
        opj_set_warning_handler(codec, Quiet, nullptr);
        opj_set_info_handler(codec, Quiet, nullptr);
        opj_dparameters_t parameters;
        opj_set_default_decoder_parameters(&parameters);
        if (opj_setup_decoder(codec, &parameters) && opj_read_header(stream, codec, &image) &&
            image != nullptr) {
            const std::uint32_t width = image->x1 > image->x0 ? image->x1 - image->x0 : 0;
            const std::uint32_t height = image->y1 > image->y0 ? image->y1 - image->y0 : 0;
            // The size is checked before OpenJPEG allocates the samples; the compressed data may expand
            // far, so the file's size is no bound here.
            const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
            if (image->numcomps >= 1 && AllocatePicture(picture, width, height, 0, 0, 1) &&
                pixels * image->numcomps <= kMaxPicturePixels && opj_decode(codec, stream, image) &&
                opj_end_decompress(codec, stream)) {
                decoded = true;
                for (std::uint32_t component = 0; component < image->numcomps; ++component) {
                    const opj_image_comp_t& c = image->comps[component];
                    if (c.data == nullptr || c.w == 0 || c.h == 0)
                        decoded = false;
                    else if (work != nullptr)
                        work->samples += static_cast<std::uint64_t>(c.w) * c.h;
                }
            }
        }
    }
    if (decoded) {
        const std::uint32_t width = static_cast<std::uint32_t>(picture.width);
        const std::uint32_t height = static_cast<std::uint32_t>(picture.height);
        const bool colour = image->numcomps >= 3;
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::uint32_t x = 0; x < width; ++x) {
                const std::uint32_t first = Sample(image->comps[0], x, y, width, height);
                picture.pixels[static_cast<std::size_t>(y) * width + x] =
                    colour ? Rgb(first, Sample(image->comps[1], x, y, width, height),
                                 Sample(image->comps[2], x, y, width, height))
                           : Rgb(first, first, first);
            }
        }
    } else {
        picture = PicturePixels();
    }
    if (image != nullptr)
        opj_image_destroy(image);
    if (codec != nullptr)
        opj_destroy_codec(codec);
    if (stream != nullptr)
        opj_stream_destroy(stream);
    return decoded;
}

} // namespace imaging
