#include "psd_document.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace psd {

namespace {

constexpr std::size_t kHeaderSize = 26;
constexpr int kThumbnailHeaderSize = 28;
constexpr std::uint32_t kIndexedTableSize = 768;

std::uint32_t Be16(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>((bytes[0] << 8) | bytes[1]);
}

std::uint32_t Be32(const std::uint8_t* bytes)
{
    return (static_cast<std::uint32_t>(bytes[0]) << 24) | (static_cast<std::uint32_t>(bytes[1]) << 16) |
           (static_cast<std::uint32_t>(bytes[2]) << 8) | bytes[3];
}

// The file with its size known, so that a length never sends a read or a skip past its end.
class PsdFile
{
public:
    explicit PsdFile(std::FILE* file) : m_file(file)
    {
        if (Seek(0, SEEK_END)) {
            const std::int64_t end = Tell();
            m_size = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        }
        Seek(0, SEEK_SET);
    }

    std::uint64_t Position() const { return m_position; }
    std::uint64_t Remaining() const { return m_size > m_position ? m_size - m_position : 0; }

    bool Read(void* buffer, std::uint64_t count)
    {
        if (count > Remaining())
            return false;
        const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(count), m_file);
        m_position += got;
        return got == count;
    }

    bool Byte(std::uint32_t& value)
    {
        std::uint8_t bytes[1];
        if (!Read(bytes, 1))
            return false;
        value = bytes[0];
        return true;
    }

    bool U16(std::uint32_t& value)
    {
        std::uint8_t bytes[2];
        if (!Read(bytes, 2))
            return false;
        value = Be16(bytes);
        return true;
    }

    bool U32(std::uint32_t& value)
    {
        std::uint8_t bytes[4];
        if (!Read(bytes, 4))
            return false;
        value = Be32(bytes);
        return true;
    }

    bool SkipTo(std::uint64_t position)
    {
        if (position > m_size || !Seek(static_cast<std::int64_t>(position), SEEK_SET))
            return false;
        m_position = position;
        return true;
    }

    bool Skip(std::uint64_t count) { return count <= Remaining() && SkipTo(m_position + count); }

private:
    bool Seek(std::int64_t offset, int origin)
    {
#ifdef _WIN32
        return _fseeki64(m_file, offset, origin) == 0;
#else
        return fseeko(m_file, static_cast<off_t>(offset), origin) == 0;
#endif
    }

    std::int64_t Tell()
    {
#ifdef _WIN32
        return _ftelli64(m_file);
#else
        return static_cast<std::int64_t>(ftello(m_file));
#endif
    }

    std::FILE* m_file;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0;
};

// Reads the fields of a kept resource from its data; the walk then goes on after the data, whatever
// was read of it.
void ReadResource(PsdFile& file, std::uint32_t id, std::uint32_t size, PsdDocument& document)
{
    std::vector<std::uint8_t> data(std::min<std::uint64_t>(size, 64));
    auto have = [&](std::uint32_t count) { return size >= count && file.Read(data.data(), count); };
    switch (id) {
    case 1000:
        if (have(10)) {
            document.hasChannelsInfo = true;
            document.infoChannels = static_cast<int>(Be16(&data[0]));
            document.infoRows = static_cast<int>(Be16(&data[2]));
            document.infoColumns = static_cast<int>(Be16(&data[4]));
            document.infoDepth = static_cast<int>(Be16(&data[6]));
            document.infoMode = static_cast<int>(Be16(&data[8]));
        }
        break;
    case 1005:
        if (have(16)) {
            document.hasResolution = true;
            document.horizontalResolution = static_cast<int>(Be16(&data[0]));
            document.horizontalResolutionFractionAndUnit = Be32(&data[2]);
            document.widthUnit = static_cast<int>(Be16(&data[6]));
            document.verticalResolution = static_cast<int>(Be16(&data[8]));
            document.verticalResolutionFractionAndUnit = Be32(&data[10]);
            document.heightUnit = static_cast<int>(Be16(&data[14]));
        }
        break;
    case 1007:
        if (have(14)) {
            document.hasDisplayInfo = true;
            document.displayColourSpace = static_cast<int>(Be16(&data[0]));
            for (int component = 0; component < 4; ++component)
                document.displayColour[component] = static_cast<int>(Be16(&data[2 + component * 2]));
            document.displayOpacity = static_cast<int>(Be16(&data[10]));
            document.displayKind = data[12] == 1 ? 1 : 0;
        }
        break;
    case 1033:
    case 1036:
        // A thumbnail shorter than its header is skipped by its size.
        if (have(kThumbnailHeaderSize)) {
            document.hasThumbnail = true;
            document.thumbnailFormat = Be32(&data[0]);
            document.thumbnailWidth = Be32(&data[4]);
            document.thumbnailHeight = Be32(&data[8]);
            document.thumbnailWidthBytes = Be32(&data[12]);
            document.thumbnailTotalSize = Be32(&data[16]);
            document.thumbnailCompressedSize = Be32(&data[20]);
            document.thumbnailBitsPerPixel = static_cast<int>(Be16(&data[24]));
            document.thumbnailPlanes = static_cast<int>(Be16(&data[26]));
        }
        break;
    case 1034:
        if (have(2))
            document.copyrighted = Be16(&data[0]) == 1;
        break;
    case 1037:
        if (have(4))
            document.globalAngle = static_cast<std::int32_t>(Be32(&data[0]));
        break;
    case 1046:
        if (have(2))
            document.indexedColourCount = static_cast<int>(Be16(&data[0]));
        break;
    case 1047:
        if (have(2))
            document.transparentIndex = static_cast<int>(Be16(&data[0]));
        break;
    default:
        break;
    }
}

// The image-resources section: every block is walked by its data size; the section is read only when the
// blocks end exactly at its length.
int ReadResources(PsdFile& file, PsdDocument& document)
{
    std::uint32_t length = 0;
    if (!file.U32(length))
        return kPsdBadResources;
    const std::uint64_t start = file.Position();
    const std::uint64_t end = start + length;
    while (file.Position() < end) {
        std::uint8_t signature[4];
        std::uint32_t id = 0, nameLength = 0, size = 0;
        if (!file.Read(signature, 4) || !file.U16(id) || !file.Byte(nameLength))
            return kPsdBadResources;
        // The name's length byte and text together take an even count of bytes.
        if (!file.Skip(nameLength + ((nameLength + 1) % 2)) || !file.U32(size))
            return kPsdBadResources;
        const std::uint64_t dataStart = file.Position();
        const std::uint64_t evenSize = static_cast<std::uint64_t>(size) + (size % 2);
        if (std::memcmp(signature, "8BIM", 4) == 0 && size >= 1 && id >= 1000 && id <= 1047)
            ReadResource(file, id, size, document);
        if (!file.SkipTo(dataStart + evenSize))
            return kPsdBadResources;
    }
    return file.Position() == end ? kPsdOk : kPsdBadResources;
}

// One row of PackBits runs into exactly `row.size()` bytes; a run never writes past the row.
bool UnpackRow(PsdFile& file, std::uint8_t* row, std::uint64_t rowBytes)
{
    std::uint64_t filled = 0;
    while (filled < rowBytes) {
        std::uint32_t header = 0;
        if (!file.Byte(header))
            return false;
        if (header < 128) {
            const std::uint64_t count = header + 1;
            const std::uint64_t kept = std::min(count, rowBytes - filled);
            if (!file.Read(row + filled, kept) || !file.Skip(count - kept))
                return false;
            filled += kept;
        } else if (header > 128) {
            std::uint32_t value = 0;
            if (!file.Byte(value))
                return false;
            const std::uint64_t count = std::min<std::uint64_t>(257 - header, rowBytes - filled);
            std::memset(row + filled, static_cast<int>(value), static_cast<std::size_t>(count));
            filled += count;
        }
    }
    return true;
}

constexpr std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return (red << 16) | (green << 8) | blue;
}

std::uint32_t Clamp(double value)
{
    if (!(value > 0))
        return 0;
    return value >= 255 ? 255u : static_cast<std::uint32_t>(value);
}

// CMYK stored with 0 as full ink; K is 0 (no black) when the document has no fourth channel.
std::uint32_t CmykColour(double depthRange, const std::uint32_t* samples, bool hasBlack)
{
    const double k = hasBlack ? 1.0 - samples[3] / depthRange : 0.0;
    std::uint32_t channel[3];
    for (int index = 0; index < 3; ++index) {
        const double ink = 1.0 - samples[index] / depthRange;
        channel[index] = Clamp(std::floor((1.0 - ((1.0 - k) * ink + k)) * 255.0 + 0.5));
    }
    return Rgb(channel[0], channel[1], channel[2]);
}

double LabPivot(double f)
{
    const double cube = f * f * f;
    return cube > 0.008856 ? cube : (f - 16.0 / 116.0) / 7.787;
}

double Companded(double v)
{
    return v > 0.0031308 ? 1.055 * std::pow(v, 1.0 / 2.4) - 0.055 : 12.92 * v;
}

std::uint32_t LabColour(double depthRange, const std::uint32_t* samples)
{
    const double l = std::trunc(samples[0] / (depthRange * 0.01));
    const double a = std::trunc(samples[1] / (depthRange / 256.0) - 128.0);
    const double b = std::trunc(samples[2] / (depthRange / 256.0) - 128.0);
    const double fy = (l + 16.0) / 116.0;
    const double fx = a * 0.002 + fy;
    const double fz = fy - b * 0.005;
    const double x = 95.047 * LabPivot(fx) / 100.0;
    const double y = 100.0 * LabPivot(fy) / 100.0;
    const double z = 108.883 * LabPivot(fz) / 100.0;
    const double red = Companded(3.2406 * x - 1.5372 * y - 0.4986 * z);
    const double green = Companded(-0.9689 * x + 1.8758 * y + 0.0415 * z);
    const double blue = Companded(0.0557 * x - 0.2040 * y + 1.0570 * z);
    return Rgb(Clamp(std::trunc(red * 256.0)), Clamp(std::trunc(green * 256.0)),
               Clamp(std::trunc(blue * 256.0)));
}

} // namespace

bool PsdPixelColour(const PsdDocument& document, const std::uint32_t* samples, int sampleCount,
                    std::uint32_t& colour)
{
    const int depth = document.depth;
    const double depthRange = std::ldexp(1.0, depth);
    // 16-bit grey, index and RGB samples are shown by their high byte.
    const int shift = depth == 16 ? 8 : 0;
    switch (document.mode) {
    case kPsdGreyscale:
    case kPsdDuotone: {
        const std::uint32_t grey = (samples[0] >> shift) & 0xFF;
        colour = Rgb(grey, grey, grey);
        return true;
    }
    case kPsdIndexed: {
        if (document.colourModeData.size() != kIndexedTableSize || document.indexedColourCount <= 0)
            return false;
        const std::uint32_t index = (samples[0] >> shift) & 0xFF;
        const std::uint8_t* table = document.colourModeData.data();
        colour = Rgb(table[index], table[256 + index], table[512 + index]);
        return true;
    }
    case kPsdRgb:
        if (sampleCount < 3)
            return false;
        colour =
            Rgb((samples[0] >> shift) & 0xFF, (samples[1] >> shift) & 0xFF, (samples[2] >> shift) & 0xFF);
        return true;
    case kPsdCmyk:
        if (sampleCount < 4)
            return false;
        colour = CmykColour(depthRange, samples, true);
        return true;
    case kPsdMultichannel:
        if (sampleCount < 3)
            return false;
        colour = CmykColour(depthRange, samples, sampleCount >= 4);
        return true;
    case kPsdLab:
        if (sampleCount < 3)
            return false;
        colour = LabColour(depthRange, samples);
        return true;
    default:
        return false;
    }
}

int ReadPsd(std::FILE* file, PsdDocument& document, PsdPicture& picture)
{
    document = PsdDocument();
    picture = PsdPicture();
    if (file == nullptr)
        return kPsdCannotOpen;
    PsdFile in(file);

    std::uint8_t header[kHeaderSize];
    if (!in.Read(header, kHeaderSize) || std::memcmp(header, "8BPS", 4) != 0 || Be16(header + 4) != 1)
        return kPsdBadHeader;
    for (int reserved = 6; reserved < 12; ++reserved)
        if (header[reserved] != 0)
            return kPsdBadHeader;
    document.channels = static_cast<int>(Be16(header + 12));
    document.height = Be32(header + 14);
    document.width = Be32(header + 18);
    document.depth = static_cast<int>(Be16(header + 22));
    document.mode = static_cast<int>(Be16(header + 24));

    std::uint32_t colourLength = 0;
    if (!in.U32(colourLength) || colourLength > in.Remaining())
        return kPsdBadColourModeData;
    document.colourModeData.assign(colourLength, 0xFE);
    if (!in.Read(document.colourModeData.data(), colourLength))
        return kPsdBadColourModeData;

    const int resources = ReadResources(in, document);
    if (resources != kPsdOk)
        return resources;

    std::uint32_t layerLength = 0;
    std::uint32_t compression = 0;
    if (!in.U32(layerLength) || !in.Skip(layerLength) || !in.U16(compression))
        return kPsdBadImageData;
    if (compression == 2)
        return kPsdZipCompressed;
    if (compression == 3)
        return kPsdZipPredictionCompressed;
    if (compression > 3)
        return kPsdUnknownCompression;
    const int mode = document.mode;
    const bool readableRaw = mode == kPsdGreyscale || mode == kPsdIndexed || mode == kPsdRgb ||
                             mode == kPsdCmyk || mode == kPsdDuotone || mode == kPsdLab;
    if (compression == 0 && !readableRaw)
        return kPsdOk;
    if (document.depth != 8 && document.depth != 16)
        return kPsdNoBitmap;

    const std::uint64_t width = static_cast<std::uint64_t>(document.width);
    const std::uint64_t height = static_cast<std::uint64_t>(document.height);
    const std::uint64_t channels = static_cast<std::uint64_t>(document.channels);
    const std::uint64_t sampleBytes = static_cast<std::uint64_t>(document.depth / 8);
    if (width == 0 || height == 0 || channels == 0 || width > kPsdMaxSide || height > kPsdMaxSide ||
        width * height > kPsdMaxPixels || width * height * channels * sampleBytes > kPsdMaxChannelBytes)
        return kPsdNoBitmap;

    // The channels that make a colour: at most four are kept, the others read past.
    const std::uint64_t keptChannels = std::min<std::uint64_t>(channels, 4);
    const std::uint64_t rowBytes = width * sampleBytes;
    const std::uint64_t planeBytes = rowBytes * height;
    if (compression == 0) {
        // Too short: no picture.
        if (planeBytes * keptChannels > in.Remaining())
            return kPsdOk;
    } else {
        // The table of row lengths, then runs that expand at most 128 times in two bytes.
        if (!in.Skip(channels * height * 2) || planeBytes * channels > in.Remaining() * 64)
            return kPsdBadImageData;
    }
    std::vector<std::uint8_t> planes(static_cast<std::size_t>(planeBytes * keptChannels));
    if (compression == 0) {
        if (!in.Read(planes.data(), planes.size()))
            return kPsdOk;
    } else {
        std::vector<std::uint8_t> discarded(static_cast<std::size_t>(rowBytes));
        for (std::uint64_t channel = 0; channel < channels; ++channel) {
            for (std::uint64_t row = 0; row < height; ++row) {
                std::uint8_t* target = channel < keptChannels
                                           ? planes.data() + channel * planeBytes + row * rowBytes
                                           : discarded.data();
                if (!UnpackRow(in, target, rowBytes))
                    return kPsdBadImageData;
            }
        }
    }

    picture.made = true;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    if (document.hasResolution) {
        picture.pixelsPerMetreX = document.horizontalResolution * 10000 / 254;
        picture.pixelsPerMetreY = document.verticalResolution * 10000 / 254;
    }
    picture.pixels.assign(static_cast<std::size_t>(width * height), Rgb(255, 255, 255));
    std::uint32_t samples[4] = {0, 0, 0, 0};
    const int sampleCount = static_cast<int>(channels > 4 ? 4 : channels);
    for (std::uint64_t pixel = 0; pixel < width * height; ++pixel) {
        for (std::uint64_t channel = 0; channel < keptChannels; ++channel) {
            const std::uint8_t* at = planes.data() + channel * planeBytes + pixel * sampleBytes;
            samples[channel] = sampleBytes == 2 ? Be16(at) : at[0];
        }
        std::uint32_t colour = 0;
        if (PsdPixelColour(document, samples, sampleCount, colour))
            picture.pixels[static_cast<std::size_t>(pixel)] = colour;
    }
    return kPsdOk;
}

} // namespace psd
