#pragma once

// Reads a text file in the system code page, UTF-16 (either byte order) or UTF-8, chosen by its
// byte-order mark, line by line into wide text.
#include <afx.h>

#include <string>

class CTextFileReader
{
public:
    enum Encoding
    {
        kCodePage = 0,
        kUtf16BigEndian = 1,
        kUtf16LittleEndian = 2,
        kUtf8 = 3,
    };
    static constexpr int kBufferSize = 1024;

    // Opens the file read-only (others may read it too) and detects its encoding.
    explicit CTextFileReader(LPCWSTR pszPath);
    virtual ~CTextFileReader();
    CTextFileReader(const CTextFileReader&) = delete;
    CTextFileReader& operator=(const CTextFileReader&) = delete;

    bool IsOpen() const;
    bool IsEof() const { return m_bEof != 0; }
    int GetEncoding() const { return m_nEncoding; }
    // Characters in the file: bytes for code-page and UTF-8 text, bytes / 2 for UTF-16.
    ULONGLONG GetLength() const;
    // The next line without its line end; false at the end of the file.
    bool ReadLine(std::wstring& line);
    // Every line, joined by strSeparator; false when nothing was read.
    bool ReadAll(CString& text, const CString& strSeparator);
    void Rewind();

private:
    // The next byte; 0 with the end-of-file flag set when there is none.
    BYTE NextByte();
    // The next character of a Unicode encoding; false at the end of the file.
    bool NextChar(wchar_t& ch);
    bool PeekChar(wchar_t& ch);
    void PushBack(wchar_t ch);
    void DetectEncoding();
    void SkipOneLineEnd();

    int m_nEncoding = kCodePage;
    CFile* m_pFile = NULL;
    BYTE m_bOwnsFile = 0;
    BYTE m_bEof = 0;
    BYTE m_buffer[kBufferSize] = {};
    int m_nIndex = -1;
    int m_nValid = 0;
    int m_nCodePage = 0;
    BYTE m_bPushedBack = 0;
    wchar_t m_chPushedBack = 0;
    BYTE m_bAtStart = 1;
};
