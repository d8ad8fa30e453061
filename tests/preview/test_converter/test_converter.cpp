// A text converter for the tests, with the nine entry points of an Office text converter. It reads the
// class "MSWord8" from a ".docx" (the text of word/document.xml, one paragraph per RTF paragraph) and
// writes the class "MSWord6RTFExp" by passing the RTF through. Every call is appended, one line each, to
// the file named by TEST_CONVERTER_LOG when that is set.
#include <windows.h>

#include <minizip/unzip.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using PfnRtfCallback = long(WINAPI*)(long cchBuff, long nPercent);

void Log(const char* what)
{
    char path[MAX_PATH] = {};
    if (::GetEnvironmentVariableA("TEST_CONVERTER_LOG", path, MAX_PATH) == 0)
        return;
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s\n", what);
        std::fclose(f);
    }
}

std::string GlobalString(HANDLE h)
{
    std::string text;
    if (const char* p = static_cast<const char*>(::GlobalLock(h))) {
        text.assign(p, strnlen(p, ::GlobalSize(h)));
        ::GlobalUnlock(h);
    }
    return text;
}

void PutList(HANDLE h, const char* text, size_t size)
{
    HGLOBAL hNew = ::GlobalReAlloc(h, size, GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (hNew == NULL)
        return;
    if (char* p = static_cast<char*>(::GlobalLock(hNew))) {
        std::memcpy(p, text, size);
        ::GlobalUnlock(hNew);
    }
}

// The text of word/document.xml as RTF; false when the file is no such archive.
bool DocxAsRtf(const std::string& path, std::string& rtf)
{
    unzFile zip = unzOpen64(path.c_str());
    if (zip == NULL)
        return false;
    std::string xml;
    if (unzLocateFile(zip, "word/document.xml", 0) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
        char block[4096];
        int n = 0;
        while ((n = unzReadCurrentFile(zip, block, sizeof(block))) > 0 && xml.size() < (64u << 20))
            xml.append(block, static_cast<size_t>(n));
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    if (xml.empty())
        return false;
    rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    size_t at = 0;
    while (at < xml.size()) {
        if (xml.compare(at, 6, "</w:p>") == 0) {
            rtf += "\\par\n";
            at += 6;
            continue;
        }
        if (xml.compare(at, 4, "<w:t") == 0 && (xml[at + 4] == '>' || xml[at + 4] == ' ')) {
            const size_t open = xml.find('>', at);
            const size_t close = xml.find("</w:t>", open);
            if (open == std::string::npos || close == std::string::npos)
                break;
            std::string text = xml.substr(open + 1, close - open - 1);
            for (size_t i = 0; i < text.size(); ++i) {
                const char c = text[i];
                if (c == '&') {
                    const size_t semi = text.find(';', i);
                    const std::string entity = semi == std::string::npos ? "" : text.substr(i, semi - i + 1);
                    const char* plain = entity == "&amp;"    ? "&"
                                        : entity == "&lt;"   ? "<"
                                        : entity == "&gt;"   ? ">"
                                        : entity == "&quot;" ? "\""
                                        : entity == "&apos;" ? "'"
                                                             : "?";
                    rtf += plain;
                    if (semi != std::string::npos)
                        i = semi;
                } else if (c == '\\' || c == '{' || c == '}') {
                    rtf += '\\';
                    rtf += c;
                } else if (static_cast<unsigned char>(c) >= 0x80) {
                    rtf += '?';
                } else {
                    rtf += c;
                }
            }
            at = close + 6;
            continue;
        }
        ++at;
    }
    rtf += "}";
    return true;
}

} // namespace

extern "C" {

__declspec(dllexport) long WINAPI InitConverter32(HANDLE, char*)
{
    Log("InitConverter32");
    return 1;
}

__declspec(dllexport) void WINAPI UninitConverter()
{
    Log("UninitConverter");
}

__declspec(dllexport) void WINAPI GetReadNames(HANDLE haszClass, HANDLE haszDescrip, HANDLE haszExt)
{
    PutList(haszClass, "MSWord8\0", 9);
    PutList(haszDescrip, "Word document (test)\0", 22);
    PutList(haszExt, "*.docx\0", 8);
}

__declspec(dllexport) void WINAPI GetWriteNames(HANDLE haszClass, HANDLE haszDescrip, HANDLE haszExt)
{
    PutList(haszClass, "MSWord6RTFExp\0", 15);
    PutList(haszDescrip, "RTF passed through (test)\0", 27);
    PutList(haszExt, "*.rtf\0", 7);
}

__declspec(dllexport) short WINAPI IsFormatCorrect32(HANDLE ghszFile, HANDLE ghszClass)
{
    Log("IsFormatCorrect32");
    std::string rtf;
    if (!DocxAsRtf(GlobalString(ghszFile), rtf))
        return 0;
    PutList(ghszClass, "MSWord8", 8);
    return 1;
}

__declspec(dllexport) short WINAPI ForeignToRtf32(HANDLE ghszFile, void*, HANDLE ghBuff, HANDLE ghszClass, HANDLE,
                                                  PfnRtfCallback lpfnOut)
{
    Log("ForeignToRtf32");
    if (GlobalString(ghszClass) != "MSWord8")
        return -14;
    std::string rtf;
    if (!DocxAsRtf(GlobalString(ghszFile), rtf))
        return -14;
    const size_t block = ::GlobalSize(ghBuff);
    if (block == 0)
        return -8;
    for (size_t at = 0; at < rtf.size(); at += block) {
        const size_t n = rtf.size() - at < block ? rtf.size() - at : block;
        char* p = static_cast<char*>(::GlobalLock(ghBuff));
        if (p == NULL)
            return -8;
        std::memcpy(p, rtf.data() + at, n);
        ::GlobalUnlock(ghBuff);
        if (lpfnOut(static_cast<long>(n), static_cast<long>((at + n) * 100 / rtf.size())) < 0)
            return -4;
    }
    return 0;
}

__declspec(dllexport) short WINAPI RtfToForeign32(HANDLE ghszFile, void*, HANDLE ghBuff, HANDLE, PfnRtfCallback lpfnIn)
{
    Log("RtfToForeign32");
    HANDLE hOut = ::CreateFileA(GlobalString(ghszFile).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (hOut == INVALID_HANDLE_VALUE)
        return -13;
    short result = 0;
    for (;;) {
        const long n = lpfnIn(0, 0);
        if (n < 0) {
            result = -2;
            break;
        }
        if (n == 0)
            break;
        const char* p = static_cast<const char*>(::GlobalLock(ghBuff));
        DWORD written = 0;
        const BOOL ok = p != NULL && ::WriteFile(hOut, p, static_cast<DWORD>(n), &written, NULL);
        if (p != NULL)
            ::GlobalUnlock(ghBuff);
        if (!ok || written != static_cast<DWORD>(n)) {
            result = -4;
            break;
        }
    }
    ::CloseHandle(hOut);
    return result;
}

__declspec(dllexport) long WINAPI CchFetchLpszError(long, char*, long)
{
    return 0;
}

__declspec(dllexport) HGLOBAL WINAPI RegisterApp(unsigned long, void*)
{
    Log("RegisterApp");
    return NULL;
}

} // extern "C"
