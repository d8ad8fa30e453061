// Naming through the system's structured storage: StgOpenStorage, the storage's property-set interface
// and the summary-information property set.
#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <propidl.h>

#include <cwchar>
#include <string>

#include "engine/recovery/platform/platform_io.h"
#include "engine/recovery/trace/office_naming.h"

namespace {

// FMTID_SummaryInformation {F29F85E0-4FF9-1068-AB91-08002B27B3D9}.
constexpr FMTID kSummaryInformation = {
    0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}};
// The application-name property of the summary information ("AppName").
constexpr PROPID kAppNameId = 18;
// STGM_READ | STGM_SHARE_EXCLUSIVE: a storage opened without a transaction must be exclusive.
constexpr DWORD kReadExclusive = 0x10;

const wchar_t* Wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

// The ANSI value in the user's code page, as the C runtime's default locale would convert it, without
// switching the process-wide locale from a worker thread.
std::u16string FromAnsi(const char* text)
{
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 1)
        return {};
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(wide.data()), units);
    wide.resize(static_cast<std::size_t>(units) - 1);
    return wide;
}

} // namespace

std::u16string ReadSummaryAppName(IPropertySetStorage* set)
{
    IPropertyStorage* properties = nullptr;
    if (FAILED(set->Open(kSummaryInformation, kReadExclusive, &properties)) || !properties)
        return {};
    PROPSPEC spec{};
    spec.ulKind = PRSPEC_PROPID;
    spec.propid = kAppNameId;
    PROPVARIANT value;
    PropVariantInit(&value);
    std::u16string name;
    // S_FALSE: the set holds no such property.
    if (properties->ReadMultiple(1, &spec, &value) == S_OK) {
        if (value.vt == VT_LPSTR && value.pszVal)
            name = FromAnsi(value.pszVal) + u" (VT_LPSTR)\n";
        else if (value.vt == VT_LPWSTR && value.pwszVal)
            name = std::u16string(reinterpret_cast<const char16_t*>(value.pwszVal)) + u" (VT_LPSTR)\n";
    }
    PropVariantClear(&value);
    properties->Release();
    return name;
}

std::u16string GetOfficeAppName(const char16_t* path)
{
    if (!path)
        return {};
    // The File Trace worker is a thread of its own: COM must be initialised on it before any OLE call.
    const PlatformComScope com;
    IStorage* storage = nullptr;
    if (FAILED(StgOpenStorage(Wide(path), nullptr, kReadExclusive, nullptr, 0, &storage)) || !storage)
        return {};
    std::u16string name;
    IPropertySetStorage* set = nullptr;
    if (SUCCEEDED(storage->QueryInterface(__uuidof(IPropertySetStorage), reinterpret_cast<void**>(&set))) &&
        set) {
        name = ReadSummaryAppName(set);
        set->Release();
    }
    storage->Release();
    return name;
}

std::u16string OfficeTempFilePath()
{
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(folder), length) + kOfficeTempFileName;
}

std::FILE* CreateOfficeTempFile(const char16_t* path)
{
    return _wfopen(Wide(path), L"wb+");
}

void RemoveOfficeTempFile(const char16_t* path)
{
    DeleteFileW(Wide(path));
}
