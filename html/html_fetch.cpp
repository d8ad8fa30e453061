#include "html_renderer.h"
#include "html_text_routines.h"

#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kReadStep = 1000;
constexpr DWORD kOpenFlags =
    INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES;
constexpr wchar_t kAgent[] = L"Tovin Browser";

// A page or picture larger than this is cut here, as if memory had run out: a server that never ends
// its answer, or a huge file, must not take all of the program's memory.
constexpr DWORD kMaxFetchBytes = 64u * 1024u * 1024u;

// Keeps at least a read step of room after every read that returned data, doubling when it grows so that a
// long answer is copied a few times rather than once a step; the last two bytes stay room for terminators.
class ReadBuffer
{
public:
    ReadBuffer() : bytes(static_cast<unsigned char*>(std::malloc(kReadStep + 2))), capacity(kReadStep) {}
    ~ReadBuffer() { std::free(bytes); }
    ReadBuffer(const ReadBuffer&) = delete;
    ReadBuffer& operator=(const ReadBuffer&) = delete;

    bool Valid() const { return bytes != nullptr; }
    unsigned char* Room() { return bytes + total; }
    DWORD RoomLeft() const { return capacity - total; }
    bool Grow(DWORD read)
    {
        total += read;
        if (total >= kMaxFetchBytes)
            return false;
        if (capacity - total >= kReadStep)
            return true;
        const DWORD wanted = std::min(std::max(capacity + kReadStep, capacity * 2), kMaxFetchBytes);
        unsigned char* grown = static_cast<unsigned char*>(std::realloc(bytes, wanted + 2));
        if (!grown)
            return false;
        bytes = grown;
        capacity = wanted;
        return true;
    }
    int Total() const { return static_cast<int>(total); }
    // The data with two zero bytes after it, for the caller to delete[].
    unsigned char* Take()
    {
        unsigned char* result = new unsigned char[total + 2];
        std::memcpy(result, bytes, total);
        result[total] = 0;
        result[total + 1] = 0;
        return result;
    }

private:
    unsigned char* bytes;
    DWORD capacity;
    DWORD total = 0;
};

// The Windows path of a file:// URL: the rest taken verbatim, less one '/' before a drive letter.
std::wstring FilePath(const wchar_t* url)
{
    const wchar_t* path = url + 7;
    if (path[0] == L'/' && iswalpha(path[1]) && path[2] == L':')
        ++path;
    return path;
}

wchar_t* AnsiToWide(const unsigned char* bytes)
{
    const char* text = reinterpret_cast<const char*>(bytes);
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return nullptr;
    wchar_t* wide = new wchar_t[static_cast<size_t>(length)];
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, length);
    return wide;
}

struct InternetHandle
{
    HINTERNET handle;
    explicit InternetHandle(HINTERNET handle) : handle(handle) {}
    ~InternetHandle()
    {
        if (handle)
            InternetCloseHandle(handle);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
};

} // namespace

void CHtmlRenderer::ShowReadProgress(int bytesSoFar, int totalBytes)
{
    // Download threads read too; their progress is theirs to keep.
    if (bytesSoFar < 0 || GetCurrentThreadId() != uiThread)
        return;
    wchar_t text[64];
    if (totalBytes < 1)
        swprintf(text, 64, L"Reading %d", bytesSoFar);
    else
        swprintf(text, 64, L"Reading %d of %d", bytesSoFar, totalBytes);
    SetStatus(text);
}

bool CHtmlRenderer::FetchLocal(const wchar_t* url, bool page, unsigned char** data, int* byteCount)
{
    *data = nullptr;
    if (_wcsnicmp(url, L"res://", 6) == 0) {
        HMODULE module = GetModuleHandleW(nullptr);
        HRSRC found = FindResourceW(module, url + 6, MAKEINTRESOURCEW(23));
        if (!found) {
            const wchar_t* slash = wcsrchr(url, L'/');
            found = FindResourceW(module, slash ? slash + 1 : url, MAKEINTRESOURCEW(23));
        }
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (!bytes)
            return true;
        DWORD size = SizeofResource(module, found);
        // Two zero bytes: a page of an odd size still ends in a whole UTF-16 terminator.
        unsigned char* copy = new unsigned char[size + 2]();
        std::memcpy(copy, bytes, size);
        *data = copy;
        *byteCount = static_cast<int>(size);
        return true;
    }
    if (_wcsnicmp(url, L"file://", 7) != 0)
        return false;
    // WinInet under Wine refuses file:// URLs, so they are read here with the same results.
    HANDLE file = CreateFileW(FilePath(url).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    ReadBuffer buffer;
    DWORD read = 0;
    while (buffer.Valid() &&
           ReadFile(file, buffer.Room(), std::min(buffer.RoomLeft(), kReadStep), &read, nullptr) && read) {
        if (!buffer.Grow(read))
            break;
        if (page)
            ShowReadProgress(buffer.Total(), 0);
    }
    CloseHandle(file);
    if (!buffer.Valid())
        return true;
    *data = buffer.Take();
    *byteCount = buffer.Total();
    return true;
}

unsigned char* CHtmlRenderer::FetchInternet(const wchar_t* url, bool page, int* byteCount, wchar_t* location)
{
    location[0] = L'\0';
    InternetHandle internet(InternetOpenW(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet.handle)
        return nullptr;
    EnterCriticalSection(&urlLock);
    std::wstring header = std::wstring(L"Referer: ") + currentUrl;
    LeaveCriticalSection(&urlLock);
    if (page && navigating)
        SetCurrentUrl(url);
    InternetHandle request(InternetOpenUrlW(internet.handle, url, header.c_str(),
                                            static_cast<DWORD>(header.size()), kOpenFlags, 0));
    if (!request.handle)
        return nullptr;
    wchar_t lengthText[25] = {};
    DWORD size = sizeof(lengthText);
    if (!HttpQueryInfoW(request.handle, HTTP_QUERY_CONTENT_LENGTH, lengthText, &size, nullptr))
        lengthText[0] = L'\0';
    lengthText[24] = L'\0';
    size = kUrlCapacity * sizeof(wchar_t);
    if (!HttpQueryInfoW(request.handle, HTTP_QUERY_LOCATION, location, &size, nullptr))
        location[0] = L'\0';
    location[kUrlCapacity - 1] = L'\0';
    int contentLength = _wtoi(lengthText);
    ReadBuffer buffer;
    DWORD read = 0;
    while (buffer.Valid() && InternetReadFile(request.handle, buffer.Room(), buffer.RoomLeft(), &read) &&
           read) {
        if (!buffer.Grow(read))
            break;
        ShowReadProgress(buffer.Total(), contentLength);
    }
    if (!buffer.Valid())
        return nullptr;
    unsigned char* data = buffer.Take();
    *byteCount = buffer.Total();
    if (page && navigating)
        for (int index = 0; index < *byteCount; ++index)
            if (!data[index])
                data[index] = ' ';
    return data;
}

wchar_t* CHtmlRenderer::FetchPage(const wchar_t* url, int* byteCount)
{
    return FetchPageFollowing(url, byteCount, 0);
}

wchar_t* CHtmlRenderer::FetchPageFollowing(const wchar_t* url, int* byteCount, int redirections)
{
    unsigned char* data = nullptr;
    int count = 0;
    if (_wcsnicmp(url, L"res://", 6) == 0) {
        FetchLocal(url, true, &data, &count);
        if (!data)
            return nullptr;
        if (navigating)
            SetCurrentUrl(url);
        *byteCount = count;
        // The resource is UTF-16 text already.
        size_t characters = static_cast<size_t>(count) / 2;
        wchar_t* text = new wchar_t[characters + 1];
        std::memcpy(text, data, characters * sizeof(wchar_t));
        text[characters] = L'\0';
        delete[] data;
        return text;
    }
    std::wstring location(kUrlCapacity, L'\0');
    if (FetchLocal(url, true, &data, &count)) {
        if (!data)
            return nullptr;
        if (navigating) {
            SetCurrentUrl(url);
            for (int index = 0; index < count; ++index)
                if (!data[index])
                    data[index] = ' ';
        }
    } else {
        data = FetchInternet(url, true, &count, location.data());
        if (!data)
            return nullptr;
        if (navigating && location[0]) {
            delete[] data;
            // A chain of redirections that never ends is a failure, not a hang.
            if (redirections >= kMaxRedirections)
                return nullptr;
            wchar_t resolved[kHtmlUrlCapacity];
            ResolveHtmlUrl(location.c_str(), resolved, url);
            SetCurrentUrl(resolved);
            return FetchPageFollowing(resolved, byteCount, redirections + 1);
        }
    }
    *byteCount = count;
    wchar_t* text = AnsiToWide(data);
    delete[] data;
    return text;
}

unsigned char* CHtmlRenderer::FetchResource(const wchar_t* url, int* byteCount)
{
    unsigned char* data = nullptr;
    int count = 0;
    if (!FetchLocal(url, false, &data, &count)) {
        std::wstring location(kUrlCapacity, L'\0');
        data = FetchInternet(url, false, &count, location.data());
    }
    if (data)
        *byteCount = count;
    return data;
}
