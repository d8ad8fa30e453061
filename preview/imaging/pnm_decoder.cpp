#include "raster_decoders.h"

namespace imaging {

namespace {

// Reads the numbers of a PNM header and of the plain (text) pixel forms: decimal digits between white
// space, with comments from '#' to the end of a line.
class PnmText
{
public:
    PnmText(const std::uint8_t* data, std::size_t size, std::size_t offset)
        : m_data(data), m_size(size), m_at(offset)
    {}

    bool Number(std::uint32_t& value)
    {
        SkipSpace();
        if (m_at >= m_size || m_data[m_at] < '0' || m_data[m_at] > '9')
            return false;
        std::uint64_t number = 0;
        while (m_at < m_size && m_data[m_at] >= '0' && m_data[m_at] <= '9') {
            number = number * 10 + (m_data[m_at++] - '0');
            if (number > 0xFFFFFFFFu)
                return false;
        }
        value = static_cast<std::uint32_t>(number);
        return true;
    }

    // One bit of a plain bitmap: digits need no space between them.
    bool Bit(std::uint32_t& value)
    {
        SkipSpace();
        if (m_at >= m_size || (m_data[m_at] != '0' && m_data[m_at] != '1'))
            return false;
        value = m_data[m_at++] - '0';
        return true;
    }

    // The single white-space byte that ends the header of the raw forms.
    bool EndOfHeader()
    {
        if (m_at >= m_size || !IsSpace(m_data[m_at]))
            return false;
        ++m_at;
        return true;
    }

    std::size_t Offset() const { return m_at; }

private:
    static bool IsSpace(std::uint8_t byte)
    {
        return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\v' || byte == '\f';
    }

    void SkipSpace()
    {
        while (m_at < m_size) {
            if (m_data[m_at] == '#') {
                while (m_at < m_size && m_data[m_at] != '\n' && m_data[m_at] != '\r')
                    ++m_at;
            } else if (IsSpace(m_data[m_at])) {
                ++m_at;
            } else {
                break;
            }
        }
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at;
};

} // namespace

bool DecodePnm(const std::uint8_t* data, std::size_t size, PicturePixels& picture)
{
    picture = PicturePixels();
    if (data == nullptr || size < 3 || data[0] != 'P' || data[1] < '1' || data[1] > '6')
        return false;
    const int kind = data[1] - '0';
    const bool bitmap = kind == 1 || kind == 4;
    const bool colour = kind == 3 || kind == 6;
    const bool plain = kind <= 3;
    PnmText text(data, size, 2);
    std::uint32_t width = 0, height = 0, maximum = 1;
    if (!text.Number(width) || !text.Number(height))
        return false;
    if (!bitmap && (!text.Number(maximum) || maximum == 0 || maximum > 65535))
        return false;
    if (!plain && !text.EndOfHeader())
        return false;

    const unsigned samples = colour ? 3 : 1;
    const unsigned sampleBytes = maximum > 255 ? 2 : 1;
    std::uint64_t rowBytes = bitmap ? (static_cast<std::uint64_t>(width) + 7) / 8
                                    : static_cast<std::uint64_t>(width) * samples * sampleBytes;
    // A plain file takes at least two characters a sample ("0 "), a plain bitmap one a pixel.
    std::uint64_t bytesNeeded = rowBytes * height;
    if (plain)
        bytesNeeded = static_cast<std::uint64_t>(width) * height * samples * (bitmap ? 1 : 2);
    const std::size_t offset = text.Offset();
    if (!AllocatePicture(picture, width, height, bytesNeeded, size - offset, 1)) {
        picture = PicturePixels();
        return false;
    }

    auto scale = [maximum](std::uint32_t value) -> std::uint32_t {
        if (value > maximum)
            value = maximum;
        return (value * 255 + maximum / 2) / maximum;
    };
    const std::uint8_t* raw = data + offset;
    for (std::uint32_t y = 0; y < height; ++y) {
        std::uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(y) * width;
        const std::uint8_t* rawRow = raw + rowBytes * y;
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint32_t value[3] = {0, 0, 0};
            for (unsigned sample = 0; sample < samples; ++sample) {
                if (bitmap && plain) {
                    if (!text.Bit(value[sample]))
                        goto truncated;
                } else if (plain) {
                    if (!text.Number(value[sample]))
                        goto truncated;
                } else if (bitmap) {
                    value[sample] = (rawRow[x / 8] >> (7 - x % 8)) & 1u;
                } else {
                    const std::uint8_t* at =
                        rawRow + (static_cast<std::uint64_t>(x) * samples + sample) * sampleBytes;
                    value[sample] = sampleBytes == 2 ? ReadBe16(at) : *at;
                }
            }
            if (bitmap) {
                // 1 is black.
                out[x] = value[0] ? Rgb(0, 0, 0) : Rgb(255, 255, 255);
            } else if (colour) {
                out[x] = Rgb(scale(value[0]), scale(value[1]), scale(value[2]));
            } else {
                const std::uint32_t grey = scale(value[0]);
                out[x] = Rgb(grey, grey, grey);
            }
        }
    }
    return true;

truncated:
    picture = PicturePixels();
    return false;
}

} // namespace imaging
