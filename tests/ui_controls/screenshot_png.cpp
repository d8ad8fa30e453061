#include "screenshot_png.h"

#include "modal_script.h"

#include <cstdint>

namespace {

std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes, size_t first)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = first; i < bytes.size(); ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
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
    const size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    std::vector<std::uint8_t> covered(out.begin() + static_cast<std::ptrdiff_t>(typeStart), out.end());
    PutBigEndian(out, Crc32(covered, 0));
}

// A zlib stream of stored (uncompressed) blocks: every reader takes it, and no compressor is needed.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out = {0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t length = raw.size() - offset < 65535 ? raw.size() - offset : 65535;
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
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

} // namespace

std::wstring ScreenshotPath(const std::wstring& name)
{
    // Wine maps the host's root to drive Z:.
    std::wstring folder;
    for (const char* c = SCREENSHOT_DIR; *c != 0; ++c) {
        folder += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    }
    if (!folder.empty() && folder[0] == L'\\') {
        folder = L"Z:" + folder;
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name;
}

bool WritePng(const std::wstring& path, int width, int height, const std::vector<COLORREF>& pixels)
{
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        return false;
    }
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < width; ++x) {
            const COLORREF pixel = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
            raw.push_back(GetRValue(pixel));
            raw.push_back(GetGValue(pixel));
            raw.push_back(GetBValue(pixel));
        }
    }
    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", StoredZlib(raw));
    PutChunk(file, "IEND", {});

    HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(handle, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    CloseHandle(handle);
    return ok && written == file.size();
}

bool WriteClientScreenshot(HWND window, const std::wstring& name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT client = {};
    GetClientRect(window, &client);
    return WritePng(ScreenshotPath(name), client.right, client.bottom, ClientPixels(window, client));
}
