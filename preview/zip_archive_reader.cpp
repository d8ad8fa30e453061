#include "zip_archive_reader.h"

#include "file_byte_source_win32.h"
#include "zip_entry_fields.h"

#include <minizip/unzip.h>

#include <cstring>
#include <memory>
#include <vector>

DWORD ZipArchiveLastError = kZipOk;

namespace {

// The file under one open archive, read by minizip through the functions below.
struct ZipFile
{
    BOOL isHandle;
    BOOL seekable;
    HANDLE file;
    BOOL readError;
    // The file position when the archive was opened; seeks from the start are relative to it.
    LONGLONG startOffset;
};

// Seek results that minizip passes on as errors.
constexpr long kSeekBadOrigin = 19;
constexpr long kSeekNotSeekable = 29;

ZipFile* ZipFileOpen(const wchar_t* path)
{
    HANDLE file =
        ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    auto* zipFile = new ZipFile{TRUE, ::GetFileType(file) == FILE_TYPE_DISK, file, FALSE, 0};
    if (zipFile->seekable) {
        LARGE_INTEGER zero = {}, position = {};
        ::SetFilePointerEx(file, zero, &position, FILE_CURRENT);
        zipFile->startOffset = position.QuadPart;
    }
    return zipFile;
}

void ZipFileClose(ZipFile* zipFile)
{
    ::CloseHandle(zipFile->file);
    delete zipFile;
}

BOOL ZipFileError(const ZipFile* zipFile)
{
    return zipFile->readError;
}

long ZipFileTell(const ZipFile* zipFile)
{
    if (!zipFile->seekable)
        return 0;
    LARGE_INTEGER zero = {}, position = {};
    ::SetFilePointerEx(zipFile->file, zero, &position, FILE_CURRENT);
    return static_cast<long>(position.QuadPart - zipFile->startOffset);
}

long ZipFileSeek(ZipFile* zipFile, long offset, int origin)
{
    if (!zipFile->seekable)
        return kSeekNotSeekable;
    LARGE_INTEGER distance = {};
    DWORD method = FILE_BEGIN;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        distance.QuadPart = static_cast<LONGLONG>(static_cast<unsigned long>(offset)) + zipFile->startOffset;
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        distance.QuadPart = offset;
        method = FILE_CURRENT;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        distance.QuadPart = offset;
        method = FILE_END;
        break;
    default:
        return kSeekBadOrigin;
    }
    return ::SetFilePointerEx(zipFile->file, distance, NULL, method) ? 0 : -1;
}

// Reads size x count bytes; the result is the bytes read divided by size.
unsigned long ZipFileRead(ZipFile* zipFile, void* buffer, unsigned long size, unsigned long count)
{
    DWORD got = 0;
    if (!::ReadFile(zipFile->file, buffer, size * count, &got, NULL)) {
        zipFile->readError = TRUE;
        return 0;
    }
    return size == 0 ? 0 : got / size;
}

// minizip's side of the file layer. The "file name" it passes through is our UTF-16 path.
voidpf ZCALLBACK OpenCallback(voidpf, const char* filename, int)
{
    return ZipFileOpen(reinterpret_cast<const wchar_t*>(filename));
}
uLong ZCALLBACK ReadCallback(voidpf, voidpf stream, void* buffer, uLong size)
{
    return ZipFileRead(static_cast<ZipFile*>(stream), buffer, 1, size);
}
uLong ZCALLBACK WriteCallback(voidpf, voidpf, const void*, uLong)
{
    return 0;
}
long ZCALLBACK TellCallback(voidpf, voidpf stream)
{
    return ZipFileTell(static_cast<ZipFile*>(stream));
}
long ZCALLBACK SeekCallback(voidpf, voidpf stream, uLong offset, int origin)
{
    return ZipFileSeek(static_cast<ZipFile*>(stream), static_cast<long>(offset), origin);
}
int ZCALLBACK CloseCallback(voidpf, voidpf stream)
{
    ZipFileClose(static_cast<ZipFile*>(stream));
    return 0;
}
int ZCALLBACK ErrorCallback(voidpf, voidpf stream)
{
    return ZipFileError(static_cast<ZipFile*>(stream)) ? 1 : 0;
}

FILETIME FromTicks(std::uint64_t ticks)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

DWORD Finish(DWORD code)
{
    ZipArchiveLastError = code;
    return code;
}

} // namespace

struct ZipArchiveState
{
    unzFile archive = NULL;
    int memberCount = 0;
    // The member that minizip stands on, and the last entry described.
    int currentIndex = 0;
    ZipArchiveEntry cached = {};
    int cachedIndex = -1;
};

ZipArchiveHandle* ZipArchiveOpen(const wchar_t* path, DWORD, int)
{
    zlib_filefunc_def functions = {OpenCallback, ReadCallback,  WriteCallback, TellCallback,
                                   SeekCallback, CloseCallback, ErrorCallback, NULL};
    auto state = std::make_unique<ZipArchiveState>();
    // minizip opens the file through OpenCallback and closes it again when the file is no archive.
    state->archive = path != NULL ? unzOpen2(reinterpret_cast<const char*>(path), &functions) : NULL;
    unz_global_info global = {};
    if (state->archive == NULL || unzGetGlobalInfo(state->archive, &global) != UNZ_OK) {
        if (state->archive != NULL)
            unzClose(state->archive);
        state->archive = NULL;
        // minizip takes an end record at the very start of the file for none at all, so an archive
        // without members is recognised here.
        std::uint8_t start[kZipEndRecordSize] = {};
        FileByteSource file(path != NULL ? path : L"");
        if (file.ReadAt(0, start, sizeof start) != sizeof start || !IsEmptyZipArchive(start, file.Size())) {
            Finish(kZipCannotOpen);
            return NULL;
        }
    }
    state->memberCount = state->archive != NULL ? static_cast<int>(global.number_entry) : 0;
    Finish(kZipOk);
    return new ZipArchiveHandle{kZipHandleReading, state.release()};
}

DWORD ZipArchiveGetItem(ZipArchiveHandle* handle, int index, ZipArchiveEntry* entry)
{
    if (handle == NULL || entry == NULL)
        return Finish(kZipBadArgument);
    if (handle->kind != kZipHandleReading)
        return Finish(kZipNotOurHandle);
    ZipArchiveState& state = *handle->state;
    if (index < -1 || index >= state.memberCount)
        return Finish(kZipBadArgument);
    if (index == -1) {
        std::memset(entry, 0, sizeof *entry);
        entry->index = state.memberCount;
        return Finish(kZipOk);
    }
    if (index == state.cachedIndex) {
        *entry = state.cached;
        return Finish(kZipOk);
    }
    // minizip stands on the first member after the open; a member it could not move past stays current,
    // so every later request fails at once instead of walking the archive again.
    if (index < state.currentIndex) {
        if (unzGoToFirstFile(state.archive) != UNZ_OK)
            return Finish(kZipLocalHeaderInconsistent);
        state.currentIndex = 0;
    }
    while (state.currentIndex < index) {
        if (unzGoToNextFile(state.archive) != UNZ_OK)
            return Finish(kZipLocalHeaderInconsistent);
        ++state.currentIndex;
    }

    unz_file_info info = {};
    char name[MAX_PATH + 1] = {};
    if (unzGetCurrentFileInfo(state.archive, &info, name, MAX_PATH, NULL, 0, NULL, 0) != UNZ_OK)
        return Finish(kZipLocalHeaderInconsistent);
    name[MAX_PATH] = '\0';
    int method = 0, level = 0;
    // Raw: the local header is checked without starting to inflate.
    if (unzOpenCurrentFile2(state.archive, &method, &level, 1) != UNZ_OK)
        return Finish(kZipLocalHeaderInconsistent);
    const int extraSize = unzGetLocalExtrafield(state.archive, NULL, 0);
    std::vector<std::uint8_t> extra(extraSize > 0 ? static_cast<std::size_t>(extraSize) : 0);
    const bool extraRead =
        extraSize >= 0 &&
        (extra.empty() || unzGetLocalExtrafield(state.archive, extra.data(),
                                                static_cast<unsigned>(extra.size())) == extraSize);
    unzCloseCurrentFile(state.archive);
    if (!extraRead)
        return Finish(kZipLocalExtraUnreadable);

    ZipArchiveEntry result = {};
    result.index = index;
    // minizip cuts a longer name at the buffer without ending it; the list shows it cut to what one entry
    // holds.
    const int length = static_cast<int>(::strnlen(name, MAX_PATH - 1));
    const int converted = ::MultiByteToWideChar(CP_ACP, 0, name, length, result.name, MAX_PATH - 1);
    result.name[converted > 0 ? converted : 0] = L'\0';
    result.attributes = ZipWindowsAttributes(static_cast<std::uint32_t>(info.external_fa),
                                             static_cast<std::uint16_t>(info.version));
    FILETIME local = {}, universal = {};
    ::DosDateTimeToFileTime(HIWORD(info.dosDate), LOWORD(info.dosDate), &local);
    ::LocalFileTimeToFileTime(&local, &universal);
    result.accessTime = result.creationTime = result.modificationTime = universal;
    ZipExtendedTimes times;
    if (ReadZipExtendedTimes(extra.data(), extra.size(), times)) {
        if (times.modification)
            result.modificationTime = FromTicks(UnixTimeToFileTimeTicks(*times.modification));
        if (times.access)
            result.accessTime = FromTicks(UnixTimeToFileTimeTicks(*times.access));
        if (times.creation)
            result.creationTime = FromTicks(UnixTimeToFileTimeTicks(*times.creation));
    }
    result.compressedSize = static_cast<std::int32_t>(info.compressed_size);
    result.uncompressedSize = static_cast<std::int32_t>(info.uncompressed_size);
    state.cached = result;
    state.cachedIndex = index;
    *entry = result;
    return Finish(kZipOk);
}

DWORD ZipArchiveClose(ZipArchiveHandle* handle)
{
    if (handle == NULL)
        return Finish(kZipBadArgument);
    if (handle->kind != kZipHandleReading)
        return Finish(kZipNotOurHandle);
    if (handle->state->archive != NULL)
        unzClose(handle->state->archive);
    delete handle->state;
    delete handle;
    return Finish(kZipOk);
}
