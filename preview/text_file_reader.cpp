#include "text_file_reader.h"

CTextFileReader::CTextFileReader(LPCWSTR pszPath)
{
    m_pFile = new CFile;
    if (!m_pFile->Open(pszPath, CFile::modeRead | CFile::shareDenyWrite)) {
        delete m_pFile;
        m_pFile = NULL;
        m_bEof = 1;
        return;
    }
    m_bOwnsFile = 1;
    DetectEncoding();
}

CTextFileReader::~CTextFileReader()
{
    if (m_pFile != NULL && m_bOwnsFile) {
        m_pFile->Abort();
        delete m_pFile;
    }
}

bool CTextFileReader::IsOpen() const
{
    return m_pFile != NULL && m_pFile->m_hFile != CFile::hFileNull;
}

ULONGLONG CTextFileReader::GetLength() const
{
    if (!IsOpen())
        return 0;
    const ULONGLONG bytes = m_pFile->GetLength();
    return m_nEncoding == kUtf16BigEndian || m_nEncoding == kUtf16LittleEndian ? bytes / 2 : bytes;
}

void CTextFileReader::Rewind()
{
    if (!IsOpen())
        return;
    // Reading starts again after the byte-order mark, which is no character of the text.
    const LONGLONG markLength = m_nEncoding == kUtf8 ? 3 : m_nEncoding == kCodePage ? 0 : 2;
    m_pFile->Seek(markLength, CFile::begin);
    m_nIndex = -1;
    m_nValid = 0;
    m_bPushedBack = 0;
    m_bAtStart = 1;
    m_bEof = 0;
}

void CTextFileReader::DetectEncoding()
{
    const BYTE first = NextByte();
    const BYTE second = NextByte();
    if (!m_bEof && first == 0xFF && second == 0xFE) {
        m_nEncoding = kUtf16LittleEndian;
    } else if (!m_bEof && first == 0xFE && second == 0xFF) {
        m_nEncoding = kUtf16BigEndian;
    } else if (!m_bEof && first == 0xEF && second == 0xBB && NextByte() == 0xBF && !m_bEof) {
        m_nEncoding = kUtf8;
    } else {
        m_nEncoding = kCodePage;
        Rewind();
    }
}

BYTE CTextFileReader::NextByte()
{
    if (m_bEof || !IsOpen())
        return 0;
    if (m_nIndex == -1 || m_nIndex == kBufferSize - 1) {
        m_nValid = static_cast<int>(m_pFile->Read(m_buffer, kBufferSize));
        m_nIndex = -1;
        if (m_nValid == 0) {
            m_bEof = 1;
            return 0;
        }
    }
    if (m_nIndex + 1 >= m_nValid) {
        m_bEof = 1;
        return 0;
    }
    return m_buffer[++m_nIndex];
}

bool CTextFileReader::NextChar(wchar_t& ch)
{
    if (m_bPushedBack) {
        m_bPushedBack = 0;
        ch = m_chPushedBack;
        return true;
    }
    const BYTE b0 = NextByte();
    if (m_bEof)
        return false;
    switch (m_nEncoding) {
    case kUtf16BigEndian:
    case kUtf16LittleEndian: {
        const BYTE b1 = NextByte();
        if (m_bEof)
            return false; // a lone last byte is no character
        ch = m_nEncoding == kUtf16BigEndian ? static_cast<wchar_t>((b0 << 8) | b1)
                                            : static_cast<wchar_t>((b1 << 8) | b0);
        return true;
    }
    case kUtf8: {
        if (b0 < 0x80) {
            ch = b0;
            return true;
        }
        int leadingOnes = 0;
        for (BYTE bit = 0x80; bit != 0 && (b0 & bit) != 0; bit >>= 1)
            ++leadingOnes;
        if (leadingOnes == 2) {
            const BYTE b1 = NextByte();
            ch = m_bEof ? L'\xFFFD' : static_cast<wchar_t>(((b0 & 0x1F) << 6) | (b1 & 0x3F));
            return true;
        }
        if (leadingOnes == 3) {
            const BYTE b1 = NextByte();
            const BYTE b2 = m_bEof ? 0 : NextByte();
            ch = m_bEof ? L'\xFFFD'
                        : static_cast<wchar_t>(((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
            return true;
        }
        // A stray continuation byte or a four-byte sequence: the replacement character, and reading
        // goes on with the next byte.
        ch = L'\xFFFD';
        return true;
    }
    default:
        ch = b0;
        return true;
    }
}

bool CTextFileReader::PeekChar(wchar_t& ch)
{
    if (!NextChar(ch))
        return false;
    PushBack(ch);
    return true;
}

void CTextFileReader::PushBack(wchar_t ch)
{
    m_bPushedBack = 1;
    m_chPushedBack = ch;
}

// A line is ended by the CR or LF it takes; the next line first takes one more CR, CR LF or LF, so a
// CR LF pair ends one line and CR LF text keeps its empty lines.
void CTextFileReader::SkipOneLineEnd()
{
    wchar_t ch = 0;
    if (!NextChar(ch))
        return;
    if (ch == L'\r') {
        wchar_t next = 0;
        if (NextChar(next) && next != L'\n')
            PushBack(next);
    } else if (ch != L'\n') {
        PushBack(ch);
    }
}

bool CTextFileReader::ReadLine(std::wstring& line)
{
    line.clear();
    if (m_bEof && !m_bPushedBack)
        return false;
    if (!m_bAtStart)
        SkipOneLineEnd();
    m_bAtStart = 0;
    bool bEnded = false;
    if (m_nEncoding == kCodePage) {
        // Code-page text is gathered as bytes and converted as a whole line.
        std::string bytes;
        wchar_t ch = 0;
        while (NextChar(ch)) {
            if (ch == L'\r' || ch == L'\n') {
                bEnded = true;
                break;
            }
            bytes.push_back(static_cast<char>(ch));
        }
        if (!bytes.empty()) {
            const int codePage = m_nCodePage == 0 ? CP_ACP : m_nCodePage;
            const int count =
                ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), NULL, 0);
            line.resize(static_cast<size_t>(count));
            if (count > 0)
                ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &line[0], count);
        }
    } else {
        wchar_t ch = 0;
        while (NextChar(ch)) {
            if (ch == L'\r' || ch == L'\n') {
                bEnded = true;
                break;
            }
            line.push_back(ch);
        }
    }
    // The end of the file right after a line end is no further line.
    return bEnded || !line.empty();
}

bool CTextFileReader::ReadAll(CString& text, const CString& strSeparator)
{
    if (!IsOpen())
        return false;
    std::wstring all;
    all.reserve(static_cast<size_t>(GetLength()) + 2);
    std::wstring line;
    bool bAny = false;
    while (ReadLine(line)) {
        if (bAny)
            all.append(strSeparator.GetString(), static_cast<size_t>(strSeparator.GetLength()));
        all += line;
        bAny = true;
    }
    text = CString(all.c_str(), static_cast<int>(all.size()));
    return bAny;
}
