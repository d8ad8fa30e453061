#include "png_screenshot.h"

#include "modal_script.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

std::uint32_t Crc32(const std::uint8_t* data, size_t size)
{
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data)
{
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBigEndian(out, Crc32(typed.data(), typed.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks: no compressor needed, any viewer reads it.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out = {0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length & 0xFF));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length & 0xFF));
        out.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                   raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

// The 24-bit bottom-up BMP that WriteWindowBitmap writes, as RGB rows from the top, each led by PNG's
// filter byte 0.
bool ReadBitmapRows(const std::wstring& path, int& width, int& height, std::vector<std::uint8_t>& rows)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    BITMAPFILEHEADER header = {};
    BITMAPINFOHEADER info = {};
    if (bytes.size() < sizeof header + sizeof info) {
        return false;
    }
    std::memcpy(&header, bytes.data(), sizeof header);
    std::memcpy(&info, bytes.data() + sizeof header, sizeof info);
    width = info.biWidth;
    height = info.biHeight;
    const size_t rowSize = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (info.biBitCount != 24 || width <= 0 || height <= 0 ||
        header.bfOffBits + rowSize * static_cast<size_t>(height) > bytes.size()) {
        return false;
    }
    rows.clear();
    for (int y = 0; y < height; ++y) {
        const char* row = bytes.data() + header.bfOffBits + rowSize * static_cast<size_t>(height - 1 - y);
        rows.push_back(0);
        for (int x = 0; x < width; ++x) {
            rows.push_back(static_cast<std::uint8_t>(row[x * 3 + 2]));
            rows.push_back(static_cast<std::uint8_t>(row[x * 3 + 1]));
            rows.push_back(static_cast<std::uint8_t>(row[x * 3]));
        }
    }
    return true;
}

std::wstring ScreenshotFolder()
{
    std::wstring folder = L"Z:" SCREENSHOT_DIR;
    for (wchar_t& c : folder) {
        c = c == L'/' ? L'\\' : c;
    }
    return folder;
}

} // namespace

std::wstring ScreenshotPath(const std::wstring& name)
{
    const std::wstring folder = ScreenshotFolder();
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name;
}

bool WriteWindowPng(HWND window, const std::wstring& name)
{
    const std::wstring path = ScreenshotPath(name);
    const std::wstring bitmapPath = path + L".bmp";
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rows;
    const bool captured =
        WriteWindowBitmap(window, bitmapPath) && ReadBitmapRows(bitmapPath, width, height, rows);
    DeleteFileW(bitmapPath.c_str());
    if (!captured) {
        return false;
    }
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits a channel, RGB, deflate, no filter, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(rows));
    PutChunk(png, "IEND", {});
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return out.good();
}
