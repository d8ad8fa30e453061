#include "html_markup_helpers.h"

#include <cerrno>
#include <cwchar>

namespace {

// A tag that no table knows: the drawer drops it and draws nothing for it.
constexpr wchar_t kEntityBreaker[] = L"<!>";

} // namespace

std::wstring EscapeHtmlText(std::wstring_view text)
{
    std::wstring escaped;
    escaped.reserve(text.size() + 8);
    for (const wchar_t c : text) {
        if (c == L'<') {
            escaped.append(L"<<");
        } else if (c == L'&') {
            escaped.push_back(L'&');
            escaped.append(kEntityBreaker);
        } else {
            escaped.push_back(c);
        }
    }
    return escaped;
}

std::wstring FormatHtmlHandle(const void* handle)
{
    wchar_t buffer[2 + 2 * sizeof(std::uintptr_t) + 1];
    std::swprintf(buffer, sizeof buffer / sizeof buffer[0], L"0x%llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
    return buffer;
}

std::uintptr_t ParseHtmlHandle(std::wstring_view value)
{
    const std::wstring copy(value);
    if (copy.empty() || copy[0] < L'0' || copy[0] > L'9') {
        return 0;
    }
    wchar_t* end = nullptr;
    errno = 0;
    const unsigned long long number = std::wcstoull(copy.c_str(), &end, 0);
    if (errno == ERANGE || number > static_cast<unsigned long long>(UINTPTR_MAX)) {
        return 0;
    }
    return static_cast<std::uintptr_t>(number);
}
