#include "region_from_bitmap.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Rectangles handed to the system per region-creation call, so that no call gets an unbounded list.
constexpr std::size_t kRectanglesPerBatch = 3000;

struct ChannelRange
{
    int low;
    int high;
};

ChannelRange KeyRange(COLORREF key, int channel)
{
    if (key == RGB(0, 0, 0)) {
        return {0, 16};
    }
    if (key == RGB(255, 255, 255)) {
        return {239, 255};
    }
    return {std::max(0, channel - 17), std::min(255, channel + 17)};
}

// Unites the collected rectangles with the region so far and empties the batch.
void FlushBatch(std::vector<RECT>& batch, HRGN region)
{
    if (batch.empty()) {
        return;
    }
    std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + batch.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(batch.size());
    header->nRgnSize = static_cast<DWORD>(batch.size() * sizeof(RECT));
    RECT bounds = batch.front();
    for (const RECT& rect : batch) {
        bounds.left = std::min(bounds.left, rect.left);
        bounds.top = std::min(bounds.top, rect.top);
        bounds.right = std::max(bounds.right, rect.right);
        bounds.bottom = std::max(bounds.bottom, rect.bottom);
    }
    header->rcBound = bounds;
    std::copy(batch.begin(), batch.end(), reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
    if (HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                    reinterpret_cast<const RGNDATA*>(data.data()))) {
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
    }
    batch.clear();
}

} // namespace

HRGN CreateRgnFromBitmap(HBITMAP bitmap, COLORREF key, int /*buildMode*/)
{
    if (!bitmap) {
        return nullptr;
    }
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) {
        return nullptr;
    }
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;

    HDC screen = GetDC(nullptr);
    if (!screen) {
        return nullptr;
    }
    // The pixels as 32-bit values, top row first, whatever the bitmap's own format.
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = width;
    request.bmiHeader.biHeight = -height;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const int rows =
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) {
        return nullptr;
    }

    const ChannelRange red = KeyRange(key, GetRValue(key));
    const ChannelRange green = KeyRange(key, GetGValue(key));
    const ChannelRange blue = KeyRange(key, GetBValue(key));
    const auto matches = [&](std::uint32_t pixel) {
        const int r = static_cast<int>((pixel >> 16) & 0xFF);
        const int g = static_cast<int>((pixel >> 8) & 0xFF);
        const int b = static_cast<int>(pixel & 0xFF);
        return r >= red.low && r <= red.high && g >= green.low && g <= green.high && b >= blue.low &&
               b <= blue.high;
    };

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (!region) {
        return nullptr;
    }
    std::vector<RECT> batch;
    batch.reserve(100);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row =
            pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        int x = 0;
        while (x < width) {
            while (x < width && matches(row[x])) {
                ++x;
            }
            const int start = x;
            while (x < width && !matches(row[x])) {
                ++x;
            }
            if (x > start) {
                batch.push_back({start, y, x, y + 1});
                if (batch.size() == kRectanglesPerBatch) {
                    FlushBatch(batch, region);
                }
            }
        }
    }
    FlushBatch(batch, region);
    return region;
}
