#include "text_converter_bridge.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The converters' entry points; every one is stdcall and takes narrow text in global memory.
using PfnRtfCallback = long(WINAPI*)(long cchBuff, long nPercent);
using PfnInitConverter32 = long(WINAPI*)(HANDLE hWnd, char* szModule);
using PfnIsFormatCorrect32 = short(WINAPI*)(HANDLE ghszFile, HANDLE ghszClass);
using PfnForeignToRtf32 = short(WINAPI*)(HANDLE ghszFile, void* pstgForeign, HANDLE ghBuff, HANDLE ghszClass,
                                         HANDLE ghszSubset, PfnRtfCallback lpfnOut);
using PfnRtfToForeign32 = short(WINAPI*)(HANDLE ghszFile, void* pstgForeign, HANDLE ghBuff, HANDLE ghszClass,
                                         PfnRtfCallback lpfnIn);
using PfnCchFetchLpszError = long(WINAPI*)(long fce, char* lpszError, long cb);
using PfnUninitConverter = void(WINAPI*)();
using PfnGetNames = void(WINAPI*)(HANDLE haszClass, HANDLE haszDescrip, HANDLE haszExt);
using PfnRegisterApp = HGLOBAL(WINAPI*)(unsigned long lFlags, void* lpFuture);

constexpr size_t kMaxText = 259; // the longest path or class name a run takes (260 with its terminator)
constexpr long kExportBlock = 512;

struct Converter
{
    std::string fileName;
    std::vector<std::string> readClasses, readDescriptions, writeClasses, writeDescriptions;
    HMODULE hModule = NULL;
    PfnInitConverter32 initConverter = NULL;
    PfnIsFormatCorrect32 isFormatCorrect = NULL;
    PfnForeignToRtf32 foreignToRtf = NULL;
    PfnRtfToForeign32 rtfToForeign = NULL;
    PfnCchFetchLpszError fetchError = NULL;
    PfnUninitConverter uninitConverter = NULL;
    PfnGetNames getReadNames = NULL;
    PfnGetNames getWriteNames = NULL;
    PfnRegisterApp registerApp = NULL;
};

// The run state: one per process, rebuilt by every run.
struct RunState
{
    const char* program = "wordcnv";
    std::string folder, importClass, exportClass, inputFile, outputFile;
    bool verbose = false, list = false, detectOnly = false;
    int fileArguments = 0;
    HGLOBAL hBuffer = NULL;
    HANDLE hIn = INVALID_HANDLE_VALUE, hOut = INVALID_HANDLE_VALUE;
    long lastPercent = 0;
    std::vector<std::unique_ptr<Converter>> converters;
};

RunState g_run;
std::string* g_pCapture = NULL;

void Print(const char* format, ...)
{
    char line[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    std::fputs(line, stderr);
    if (g_pCapture != NULL)
        g_pCapture->append(line);
}

HGLOBAL GlobalText(const std::string& text)
{
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    if (h == NULL)
        return NULL;
    if (char* p = static_cast<char*>(::GlobalLock(h))) {
        std::memcpy(p, text.c_str(), text.size() + 1);
        ::GlobalUnlock(h);
    }
    return h;
}

// A double-NUL-terminated list of narrow strings in global memory, read within the block's size.
std::vector<std::string> GlobalList(HGLOBAL h)
{
    std::vector<std::string> items;
    if (h == NULL)
        return items;
    const size_t size = ::GlobalSize(h);
    const char* p = static_cast<const char*>(::GlobalLock(h));
    if (p == NULL)
        return items;
    size_t at = 0;
    while (at < size && p[at] != '\0') {
        size_t end = at;
        while (end < size && p[end] != '\0')
            ++end;
        items.emplace_back(p + at, end - at);
        at = end + 1;
    }
    ::GlobalUnlock(h);
    return items;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

void ReportConverterError(Converter& converter, long fce)
{
    if (converter.fetchError != NULL) {
        char text[256] = {};
        if (converter.fetchError(fce, text, sizeof(text) - 1) > 0 && text[0] != '\0') {
            Print("%s: converter error %d: %s\n", g_run.program, static_cast<int>(fce), text);
            return;
        }
    }
    switch (fce) {
    case -1:
        Print("%s: error: converter could not open '%s'\n", g_run.program, g_run.inputFile.c_str());
        break;
    case -2:
        Print("%s: error: read error\n", g_run.program);
        break;
    case -4:
        Print("%s: error: write error\n", g_run.program);
        break;
    case -5:
        Print("%s: error: %s: invalid input file\n", g_run.program, g_run.inputFile.c_str());
        break;
    case -8:
        Print("%s: error: converter ran out of memory\n", g_run.program);
        break;
    case -13:
        Print("%s: error: converter cannot create '%s'\n", g_run.program, g_run.outputFile.c_str());
        break;
    case -14:
        Print("%s: error: converter did not recognise input file '%s'\n", g_run.program, g_run.inputFile.c_str());
        break;
    default:
        Print("%s: error: converter returned error %x\n", g_run.program, static_cast<unsigned>(fce));
        break;
    }
}

void Unload(Converter& converter)
{
    if (converter.hModule == NULL)
        return;
    if (converter.uninitConverter != NULL)
        converter.uninitConverter();
    ::FreeLibrary(converter.hModule);
    converter.hModule = NULL;
}

bool Load(Converter& converter)
{
    const std::string path = g_run.folder + "/" + converter.fileName;
    converter.hModule = ::LoadLibraryA(path.c_str());
    if (converter.hModule == NULL) {
        Print("%s: error: LoadLibrary failed\n", g_run.program);
        return false;
    }
    auto resolve = [&](auto& entry, const char* name) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(
            reinterpret_cast<void*>(::GetProcAddress(converter.hModule, name)));
    };
    resolve(converter.initConverter, "InitConverter32");
    resolve(converter.isFormatCorrect, "IsFormatCorrect32");
    resolve(converter.foreignToRtf, "ForeignToRtf32");
    resolve(converter.rtfToForeign, "RtfToForeign32");
    resolve(converter.fetchError, "CchFetchLpszError");
    resolve(converter.uninitConverter, "UninitConverter");
    resolve(converter.getReadNames, "GetReadNames");
    resolve(converter.getWriteNames, "GetWriteNames");
    resolve(converter.registerApp, "RegisterApp");
    if (converter.initConverter == NULL) {
        Print("%s: error: InitConverter32 could not be resolved\n", g_run.program);
        Unload(converter);
        return false;
    }
    char module[] = "WORDCNV";
    const long result = converter.initConverter(NULL, module);
    if (result != 1) {
        ReportConverterError(converter, result);
        Unload(converter);
        return false;
    }
    if (g_run.verbose)
        Print("%s: info: using %s\n", g_run.program, converter.fileName.c_str());
    return true;
}

void ReadNames(PfnGetNames getNames, std::vector<std::string>& classes, std::vector<std::string>& descriptions)
{
    if (getNames == NULL)
        return;
    HGLOBAL hClass = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 2);
    HGLOBAL hDescription = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 2);
    HGLOBAL hExtension = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 2);
    if (hClass != NULL && hDescription != NULL && hExtension != NULL) {
        getNames(hClass, hDescription, hExtension);
        classes = GlobalList(hClass);
        descriptions = GlobalList(hDescription);
    }
    for (HGLOBAL h : {hClass, hDescription, hExtension})
        if (h != NULL)
            ::GlobalFree(h);
}

bool HasConverterExtension(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    return dot != NULL && (::lstrcmpiA(dot, ".cnv") == 0 || ::lstrcmpiA(dot, ".wpc") == 0);
}

bool FindConverters()
{
    if (g_run.verbose)
        Print("%s: info: searching '%s' for converter dlls...\n", g_run.program, g_run.folder.c_str());
    WIN32_FIND_DATAA found{};
    HANDLE hFind = ::FindFirstFileA((g_run.folder + "\\*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE) {
        Print("%s: error: FindFirstFile failed with error %x\n", g_run.program,
              static_cast<unsigned>(::GetLastError()));
        return false;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !HasConverterExtension(found.cFileName))
            continue;
        auto converter = std::make_unique<Converter>();
        converter->fileName = found.cFileName;
        if (!Load(*converter))
            continue;
        ReadNames(converter->getReadNames, converter->readClasses, converter->readDescriptions);
        ReadNames(converter->getWriteNames, converter->writeClasses, converter->writeDescriptions);
        Unload(*converter);
        g_run.converters.push_back(std::move(converter));
    } while (::FindNextFileA(hFind, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(hFind);
    if (error != ERROR_NO_MORE_FILES) {
        Print("%s: error: FindNextFile returned %x\n", g_run.program, static_cast<unsigned>(error));
        return false;
    }
    return true;
}

Converter* FindByClass(const std::string& className, bool bRead)
{
    for (auto& converter : g_run.converters)
        for (const std::string& name : bRead ? converter->readClasses : converter->writeClasses)
            if (EqualNoCase(name, className))
                return converter.get();
    return NULL;
}

// The RTF the converter hands over, block by block, is written to the output handle.
long WINAPI WriteRtfBlock(long cchBuff, long nPercent)
{
    g_run.lastPercent = nPercent;
    if (cchBuff <= 0)
        return 0;
    const char* p = static_cast<const char*>(::GlobalLock(g_run.hBuffer));
    if (p == NULL || static_cast<size_t>(cchBuff) > ::GlobalSize(g_run.hBuffer)) {
        if (p != NULL)
            ::GlobalUnlock(g_run.hBuffer);
        Print("%s: error: cannot write: %x\n", g_run.program, static_cast<unsigned>(ERROR_INVALID_DATA));
        return -1;
    }
    DWORD written = 0;
    const BOOL ok = ::WriteFile(g_run.hOut, p, static_cast<DWORD>(cchBuff), &written, NULL);
    ::GlobalUnlock(g_run.hBuffer);
    if (!ok) {
        Print("%s: error: cannot write: %x\n", g_run.program, static_cast<unsigned>(::GetLastError()));
        return -1;
    }
    if (written != static_cast<DWORD>(cchBuff)) {
        Print("%s: error: %d of %d bytes written\n", g_run.program, static_cast<int>(written), static_cast<int>(cchBuff));
        return -1;
    }
    return 1;
}

// The converter asks for the next block of RTF: up to 512 bytes of the input, 0 at its end.
long WINAPI ReadRtfBlock(long /*cchBuff*/, long nPercent)
{
    g_run.lastPercent = nPercent;
    if (::GlobalSize(g_run.hBuffer) < static_cast<SIZE_T>(kExportBlock)) {
        HGLOBAL hBigger = ::GlobalReAlloc(g_run.hBuffer, kExportBlock, GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (hBigger == NULL)
            return -1;
        g_run.hBuffer = hBigger;
    }
    char* p = static_cast<char*>(::GlobalLock(g_run.hBuffer));
    if (p == NULL)
        return -1;
    DWORD read = 0;
    const BOOL ok = ::ReadFile(g_run.hIn, p, kExportBlock, &read, NULL);
    ::GlobalUnlock(g_run.hBuffer);
    if (!ok) {
        Print("%s: error: cannot read file: %x\n", g_run.program, static_cast<unsigned>(::GetLastError()));
        return -1;
    }
    return static_cast<long>(read);
}

void CallRegisterApp(Converter& converter)
{
    if (converter.registerApp == NULL)
        return;
    if (g_run.verbose)
        Print("%s: info: calling RegisterApp\n", g_run.program);
    HGLOBAL hPreferences = converter.registerApp(8, NULL);
    if (hPreferences == NULL) {
        if (g_run.verbose)
            Print("%s: info: converter has no preferences\n", g_run.program);
        return;
    }
    // The block is a size word followed by entries of (size, id, data); only reported.
    const size_t size = ::GlobalSize(hPreferences);
    const BYTE* p = static_cast<const BYTE*>(::GlobalLock(hPreferences));
    if (p != NULL && size >= 2) {
        size_t total = static_cast<size_t>(p[0] | (p[1] << 8));
        if (total > size)
            total = size;
        size_t at = 2;
        while (at + 2 <= total) {
            const size_t entry = p[at];
            const BYTE id = p[at + 1];
            if (entry < 2)
                break;
            if (id > 0x08 && g_run.verbose)
                Print("%s: warning: converter passed unknown preference %02x\n", g_run.program, id);
            at += entry;
        }
    }
    if (p != NULL)
        ::GlobalUnlock(hPreferences);
    ::GlobalFree(hPreferences);
}

bool Import(HANDLE hOut)
{
    Converter* pConverter = FindByClass(g_run.importClass, true);
    if (pConverter == NULL) {
        Print("%s: error: Import class %s not found\n", g_run.program, g_run.importClass.c_str());
        return false;
    }
    if (!Load(*pConverter))
        return false;
    CallRegisterApp(*pConverter);
    bool bOk = false;
    if (pConverter->foreignToRtf == NULL) {
        Print("%s: error: ForeignToRtf could not be resolved\n", g_run.program);
    } else {
        HGLOBAL hFile = GlobalText(g_run.inputFile);
        HGLOBAL hClass = GlobalText(g_run.importClass);
        HGLOBAL hSubset = GlobalText("");
        g_run.hBuffer = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kExportBlock);
        g_run.hOut = hOut;
        if (hFile != NULL && hClass != NULL && hSubset != NULL && g_run.hBuffer != NULL) {
            const short fce = pConverter->foreignToRtf(hFile, NULL, g_run.hBuffer, hClass, hSubset, WriteRtfBlock);
            if (fce != 0)
                ReportConverterError(*pConverter, fce);
            bOk = fce == 0;
        } else {
            Print("%s: error: out of memory\n", g_run.program);
        }
        for (HGLOBAL h : {hFile, hClass, hSubset, g_run.hBuffer})
            if (h != NULL)
                ::GlobalFree(h);
        g_run.hBuffer = NULL;
        g_run.hOut = INVALID_HANDLE_VALUE;
    }
    Unload(*pConverter);
    return bOk;
}

bool Export(HANDLE hIn)
{
    Converter* pConverter = FindByClass(g_run.exportClass, false);
    if (pConverter == NULL) {
        Print("%s: error: Export class %s not found\n", g_run.program, g_run.exportClass.c_str());
        return false;
    }
    if (!Load(*pConverter))
        return false;
    CallRegisterApp(*pConverter);
    bool bOk = false;
    if (pConverter->rtfToForeign == NULL) {
        Print("%s: RtfToForeign could not be resolved\n", g_run.program);
    } else {
        HGLOBAL hFile = GlobalText(g_run.outputFile);
        HGLOBAL hClass = GlobalText(g_run.exportClass);
        g_run.hBuffer = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kExportBlock);
        g_run.hIn = hIn;
        if (hFile != NULL && hClass != NULL && g_run.hBuffer != NULL) {
            const short fce = pConverter->rtfToForeign(hFile, NULL, g_run.hBuffer, hClass, ReadRtfBlock);
            if (fce != 0)
                ReportConverterError(*pConverter, fce);
            bOk = fce == 0;
        } else {
            Print("%s: error: out of memory\n", g_run.program);
        }
        for (HGLOBAL h : {hFile, hClass, g_run.hBuffer})
            if (h != NULL)
                ::GlobalFree(h);
        g_run.hBuffer = NULL;
        g_run.hIn = INVALID_HANDLE_VALUE;
    }
    Unload(*pConverter);
    return bOk;
}

HANDLE OpenForReading(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        Print("%s: error: cannot open file: %x\n", g_run.program, static_cast<unsigned>(::GetLastError()));
    return h;
}

HANDLE CreateForWriting(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        Print("%s: error: cannot open file: %x\n", g_run.program, static_cast<unsigned>(::GetLastError()));
    return h;
}

bool DetectImportClass()
{
    HANDLE hIn = OpenForReading(g_run.inputFile);
    if (hIn == INVALID_HANDLE_VALUE)
        return false;
    char start[5] = {};
    DWORD read = 0;
    ::ReadFile(hIn, start, 5, &read, NULL);
    ::CloseHandle(hIn);
    if (read == 5 && std::memcmp(start, "{\\rtf", 5) == 0) {
        Print("%s recognised as RTF\n", g_run.inputFile.c_str());
        g_run.importClass = "RTF";
        return true;
    }
    for (auto& converter : g_run.converters) {
        if (!Load(*converter))
            continue;
        short recognised = 0;
        if (converter->isFormatCorrect != NULL) {
            HGLOBAL hFile = GlobalText(g_run.inputFile);
            HGLOBAL hClass = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kMaxText + 1);
            if (hFile != NULL && hClass != NULL && converter->isFormatCorrect(hFile, hClass) == 1) {
                if (const char* p = static_cast<const char*>(::GlobalLock(hClass))) {
                    g_run.importClass.assign(p, strnlen(p, ::GlobalSize(hClass)));
                    ::GlobalUnlock(hClass);
                }
                recognised = 1;
            }
            for (HGLOBAL h : {hFile, hClass})
                if (h != NULL)
                    ::GlobalFree(h);
        }
        Unload(*converter);
        if (recognised) {
            if (g_run.verbose)
                Print("%s: info: sss recognised %s as class %s, %s\n", g_run.program, g_run.inputFile.c_str(),
                      g_run.importClass.c_str(), converter->fileName.c_str());
            return true;
        }
    }
    Print("%s: error: none of the converters recognised your file\n", g_run.program);
    return false;
}

int Convert()
{
    if (EqualNoCase(g_run.importClass, "RTF")) {
        HANDLE hIn = OpenForReading(g_run.inputFile);
        if (hIn == INVALID_HANDLE_VALUE)
            return 1;
        const bool bOk = Export(hIn);
        ::CloseHandle(hIn);
        return bOk ? 0 : 1;
    }
    if (EqualNoCase(g_run.exportClass, "RTF")) {
        HANDLE hOut = CreateForWriting(g_run.outputFile);
        if (hOut == INVALID_HANDLE_VALUE)
            return 1;
        const bool bOk = Import(hOut);
        ::CloseHandle(hOut);
        return bOk ? 0 : 1;
    }
    // Two steps through a temporary RTF file, which is deleted whatever happens.
    char tempFolder[MAX_PATH + 1] = {};
    const DWORD nFolder = ::GetTempPathA(MAX_PATH, tempFolder);
    if (nFolder == 0 || nFolder > MAX_PATH) {
        Print("%s: error: GetTempPath returned %x\n", g_run.program, static_cast<unsigned>(::GetLastError()));
        return 1;
    }
    char tempFile[MAX_PATH + 1] = {};
    if (::GetTempFileNameA(tempFolder, "cnv", static_cast<UINT>(std::rand()) & 0xFFFF, tempFile) == 0) {
        Print("%s: error: GetTempFileName returned %x\n", g_run.program, static_cast<unsigned>(::GetLastError()));
        return 1;
    }
    HANDLE hTemp = ::CreateFileA(tempFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, NULL);
    if (hTemp == INVALID_HANDLE_VALUE) {
        Print("%s: error: cannot open temporary file %x\n", g_run.program, static_cast<unsigned>(::GetLastError()));
        ::DeleteFileA(tempFile);
        return 1;
    }
    bool bOk = Import(hTemp);
    ::CloseHandle(hTemp);
    if (bOk) {
        HANDLE hIn = OpenForReading(tempFile);
        bOk = hIn != INVALID_HANDLE_VALUE && Export(hIn);
        if (hIn != INVALID_HANDLE_VALUE)
            ::CloseHandle(hIn);
    }
    ::DeleteFileA(tempFile);
    return bOk ? 0 : 1;
}

void ResetRun()
{
    for (auto& converter : g_run.converters)
        Unload(*converter);
    g_run = RunState();
}

// Copies an argument into the run state; a text too long for the state fails the run.
bool TakeText(std::string& field, const char* text)
{
    if (text == NULL || std::strlen(text) > kMaxText) {
        Print("%s: error: argument too long\n", g_run.program);
        return false;
    }
    field = text;
    return true;
}

int Usage()
{
    Print("usage: %s [-v] [-l] [-d] [-f folder] [-i class] [-x class] infile [outfile]\n", g_run.program);
    return 2;
}

} // namespace

void SetConverterDiagnosticsCapture(std::string* pCapture)
{
    g_pCapture = pCapture;
}

int WordCnvMain(int argc, const char* const* argv)
{
    ResetRun();
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        const char option = arg[1];
        if (option < 'f' || option > 'x' || arg[2] != '\0') {
            Print("%s: error: unknown option '-%c'\n", g_run.program, option);
            return 2;
        }
        auto value = [&](std::string& field) {
            if (i + 1 >= argc)
                return false;
            return TakeText(field, argv[++i]);
        };
        switch (option) {
        case 'i':
            if (!value(g_run.importClass))
                return 1;
            break;
        case 'x':
            if (!value(g_run.exportClass))
                return 1;
            break;
        case 'f':
            if (!value(g_run.folder))
                return 1;
            break;
        case 'v':
            g_run.verbose = true;
            break;
        case 'l':
            g_run.list = true;
            break;
        case 'd':
            g_run.detectOnly = true;
            break;
        default:
            Print("%s: error: unknown option '-%c'\n", g_run.program, option);
            return 2;
        }
    }
    g_run.fileArguments = static_cast<int>(files.size());
    const int wanted = g_run.list ? 0 : g_run.detectOnly ? 1 : 2;
    if (g_run.fileArguments != wanted)
        return Usage();
    if (g_run.verbose)
        Print("%s: info: wordcnv 1.1\n", g_run.program);
    if (g_run.folder.empty()) {
        char folder[MAX_PATH + 1] = {};
        const DWORD n = ::GetEnvironmentVariableA("WORDCNV_DIR", folder, MAX_PATH + 1);
        if (n > kMaxText) {
            Print("%s: error: converter folder too long\n", g_run.program);
            return 1;
        }
        g_run.folder = n > 0 ? folder : kDefaultConverterFolder;
    }
    if (!FindConverters()) {
        ResetRun();
        return 1;
    }
    int result = 0;
    if (g_run.list) {
        for (auto& converter : g_run.converters) {
            Print("%s\n", converter->fileName.c_str());
            for (size_t n = 0; n < converter->readClasses.size(); ++n)
                Print("  read  %s\n", converter->readClasses[n].c_str());
            for (size_t n = 0; n < converter->writeClasses.size(); ++n)
                Print("  write %s\n", converter->writeClasses[n].c_str());
        }
        ResetRun();
        return 0;
    }
    if (!TakeText(g_run.inputFile, files[0]))
        result = 1;
    if (result == 0 && !g_run.detectOnly) {
        std::string output = files[1];
        const bool bAbsolute = output[0] == '/' || output[0] == '\\' || (output.size() > 1 && output[1] == ':');
        if (!bAbsolute) {
            char current[MAX_PATH + 1] = {};
            ::GetCurrentDirectoryA(MAX_PATH + 1, current);
            output = std::string(current) + "\\" + output;
            if (g_run.verbose)
                Print("%s: info: output file %s\n", g_run.program, output.c_str());
        }
        if (!TakeText(g_run.outputFile, output.c_str()))
            result = 1;
    }
    if (result == 0 && g_run.importClass.empty() && !DetectImportClass())
        result = 1;
    if (result == 0 && !g_run.detectOnly) {
        if (EqualNoCase(g_run.importClass, g_run.exportClass)) {
            Print("%s: error: Nothing to do; import and export class are the same\n", g_run.program);
            result = 1;
        } else {
            result = Convert();
        }
    }
    ResetRun();
    return result;
}

int ConvertWithTextConverter(const char* pszImportClass, const char* pszExportClass, const char* pszInputPath,
                             const char* pszOutputPath)
{
    const char* argv[] = {"wordcnv", "-i", pszImportClass, "-x", pszExportClass, pszInputPath, pszOutputPath};
    return WordCnvMain(7, argv);
}
