// "unrar.dll" for listing only: the archive is read by the portable RAR reader through a read-only file;
// nothing is ever unpacked or written.
#include "unrar_interface.h"

#include "file_byte_source_win32.h"
#include "rar_archive_reader.h"

#include <cstring>
#include <new>
#include <string>

namespace {

struct RarListing
{
    explicit RarListing(const wchar_t* path) : file(path), reader(file) {}
    FileByteSource file;
    RarArchiveReader reader;
    std::wstring path;
};

std::wstring Widen(const char* text, UINT codePage)
{
    const int length = ::MultiByteToWideChar(codePage, 0, text, -1, NULL, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

void CopyWide(const std::wstring& text, wchar_t* target, std::size_t capacity)
{
    const std::size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(target, text.data(), n * sizeof(wchar_t));
    target[n] = L'\0';
}

void CopyNarrow(const std::wstring& text, char* target, int capacity)
{
    if (::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, target, capacity, NULL, NULL) == 0)
        target[0] = '\0';
    target[capacity - 1] = '\0';
}

} // namespace

extern "C"
{

    __declspec(dllexport) HANDLE WINAPI RAROpenArchiveEx(RAROpenArchiveDataEx* archiveData)
    {
        if (archiveData == NULL)
            return NULL;
        archiveData->CmtSize = 0;
        archiveData->CmtState = 0;
        std::wstring path;
        if (archiveData->ArcNameW != NULL && archiveData->ArcNameW[0] != L'\0')
            path = archiveData->ArcNameW;
        else if (archiveData->ArcName != NULL)
            path = Widen(archiveData->ArcName, CP_ACP);
        auto* listing = new (std::nothrow) RarListing(path.c_str());
        if (listing == NULL || !listing->file.IsOpen()) {
            delete listing;
            archiveData->OpenResult = ERAR_EOPEN;
            return NULL;
        }
        const int result = listing->reader.Open();
        if (result != kRarSuccess) {
            delete listing;
            archiveData->OpenResult = static_cast<unsigned int>(result);
            return NULL;
        }
        listing->path = path;
        archiveData->OpenResult = ERAR_SUCCESS;
        return reinterpret_cast<HANDLE>(listing);
    }

    __declspec(dllexport) int WINAPI RARCloseArchive(HANDLE archive)
    {
        delete reinterpret_cast<RarListing*>(archive);
        return ERAR_SUCCESS;
    }

    __declspec(dllexport) int WINAPI RARReadHeaderEx(HANDLE archive, RARHeaderDataEx* headerData)
    {
        if (archive == NULL || headerData == NULL)
            return ERAR_UNKNOWN;
        auto* listing = reinterpret_cast<RarListing*>(archive);
        RarMember member;
        const int result = listing->reader.ReadHeader(member);
        if (result != kRarSuccess)
            return result;
        std::wstring name =
            member.utf8Name ? Widen(member.name.c_str(), CP_UTF8) : Widen(member.name.c_str(), CP_ACP);
        for (wchar_t& c : name)
            if (c == L'/')
                c = L'\\';
        CopyWide(listing->path, headerData->ArcNameW, 1024);
        CopyNarrow(listing->path, headerData->ArcName, 1024);
        CopyWide(name, headerData->FileNameW, 1024);
        if (member.utf8Name)
            CopyNarrow(name, headerData->FileName, 1024);
        else {
            const std::size_t n = member.name.size() < 1023 ? member.name.size() : 1023;
            std::memcpy(headerData->FileName, member.name.data(), n);
            headerData->FileName[n] = '\0';
        }
        headerData->Flags = member.flags;
        headerData->PackSize = static_cast<unsigned int>(member.packedSize & 0xFFFFFFFF);
        headerData->PackSizeHigh = static_cast<unsigned int>(member.packedSize >> 32);
        headerData->UnpSize = static_cast<unsigned int>(member.unpackedSize & 0xFFFFFFFF);
        headerData->UnpSizeHigh = static_cast<unsigned int>(member.unpackedSize >> 32);
        headerData->HostOS = member.hostOs;
        headerData->FileCRC = member.fileCrc;
        headerData->FileTime = member.dosTime;
        headerData->FileAttr = member.attributes;
        headerData->CmtSize = 0;
        headerData->CmtState = 0;
        return ERAR_SUCCESS;
    }

    __declspec(dllexport) int WINAPI RARProcessFile(HANDLE archive, int operation, char*, char*)
    {
        if (archive == NULL)
            return ERAR_UNKNOWN;
        // Listing only: every member is skipped, and unpacking is refused.
        if (operation != RAR_SKIP)
            return ERAR_UNKNOWN;
        return reinterpret_cast<RarListing*>(archive)->reader.Skip();
    }

} // extern "C"
