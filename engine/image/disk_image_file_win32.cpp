#include <windows.h>

#include <string>

#include "engine/image/disk_image_file_platform.h"

namespace image_file_platform {

namespace {

HANDLE ToHandle(NativeFileHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

NativeFileHandle OpenFile(std::u16string_view path, uint32_t access, uint32_t shareMode,
                          void* securityAttributes, uint32_t disposition, uint32_t flagsAndAttributes,
                          NativeFileHandle templateFile)
{
    // wchar_t is UTF-16 on Windows; the copy adds the terminator the API needs.
    std::wstring widePath(path.begin(), path.end());
    if (widePath.empty() || widePath.find(L'\0') != std::wstring::npos)
        return kInvalidFileHandle;
    HANDLE opened = ::CreateFileW(widePath.c_str(), access, shareMode,
                                  static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes), disposition,
                                  flagsAndAttributes, ToHandle(templateFile));
    return reinterpret_cast<NativeFileHandle>(opened);
}

void CloseFile(NativeFileHandle handle)
{
    ::CloseHandle(ToHandle(handle));
}

bool SetPosition(NativeFileHandle handle, int64_t target, uint64_t& newPosition)
{
    LARGE_INTEGER distance;
    distance.QuadPart = target;
    LARGE_INTEGER reached;
    if (!::SetFilePointerEx(ToHandle(handle), distance, &reached, FILE_BEGIN))
        return false;
    newPosition = static_cast<uint64_t>(reached.QuadPart);
    return true;
}

bool QueryPosition(NativeFileHandle handle, uint64_t& position)
{
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    LARGE_INTEGER current;
    if (!::SetFilePointerEx(ToHandle(handle), zero, &current, FILE_CURRENT))
        return false;
    position = static_cast<uint64_t>(current.QuadPart);
    return true;
}

bool QuerySize(NativeFileHandle handle, uint64_t& size)
{
    LARGE_INTEGER fileSize;
    if (!::GetFileSizeEx(ToHandle(handle), &fileSize))
        return false;
    size = static_cast<uint64_t>(fileSize.QuadPart);
    return true;
}

bool ReadBytes(NativeFileHandle handle, void* buffer, uint32_t count, uint32_t& delivered)
{
    delivered = 0;
    auto* bytes = static_cast<BYTE*>(buffer);
    while (delivered < count) {
        DWORD got = 0;
        if (!::ReadFile(ToHandle(handle), bytes + delivered, count - delivered, &got, nullptr))
            return false;
        if (got == 0)
            break;
        delivered += got;
    }
    return true;
}

} // namespace image_file_platform
