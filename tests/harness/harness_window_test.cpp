// The Windows half of the harness: a real window on the test display, drawing read back as
// pixels, and a registry value read back raw.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK PaintRedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, red);
        DeleteObject(red);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

TEST(HarnessWindows, RealWindowOnTheDisplayPaints)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PaintRedProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HarnessPaintRed";
    ASSERT_NE(RegisterClassW(&windowClass), 0);

    HWND window = CreateWindowExW(0, L"HarnessPaintRed", L"Harness", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                  200, 150, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    UpdateWindow(window);
    EXPECT_TRUE(IsWindowVisible(window));

    // Copy what the window shows into a memory DC and read a pixel back.
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    const COLORREF pixel = GetPixel(memory, client.right / 2, client.bottom / 2);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    EXPECT_EQ(pixel, RGB(255, 0, 0));

    DestroyWindow(window);
    UnregisterClassW(L"HarnessPaintRed", windowClass.hInstance);
}

TEST(HarnessWindows, RegistryValueReadsBackRaw)
{
    const wchar_t* keyPath = L"Software\\Corvane VMDK Recovery Tests\\Harness";
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const DWORD written = 0x12345678;
    ASSERT_EQ(
        RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&written), sizeof written),
        ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    BYTE raw[8] = {};
    DWORD size = sizeof raw;
    ASSERT_EQ(RegQueryValueExW(key, L"Number", nullptr, &type, raw, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(size, 4u);
    EXPECT_EQ(raw[0], 0x78);
    EXPECT_EQ(raw[3], 0x12);

    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Corvane VMDK Recovery Tests");
}
