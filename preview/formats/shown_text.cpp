#include "shown_text.h"

#include <algorithm>

namespace {

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

void ShownText::AppendLine(const char16_t* line, std::size_t length)
{
    if (m_started)
        m_text += u"\r\n";
    m_started = true;
    m_text.append(line, length);
}

void ShownText::AddLine(const char16_t* line, std::size_t length)
{
    ++m_linesRead;
    m_charactersRead += length;
    if (m_linesShown >= m_mostLines || m_charactersShown >= m_mostCharacters)
        return;
    ++m_linesShown;
    const std::size_t shown =
        static_cast<std::size_t>(std::min<std::uint64_t>(length, m_mostCharacters - m_charactersShown));
    m_charactersShown += shown;
    std::size_t at = 0;
    do {
        std::size_t piece = std::min(shown - at, kShownLineLength);
        // A cut between the halves of a surrogate pair would show two broken characters: the pair goes
        // whole into the next line.
        if (piece > 1 && at + piece < shown && IsHighSurrogate(line[at + piece - 1]) &&
            IsLowSurrogate(line[at + piece]))
            --piece;
        AppendLine(line + at, piece);
        at += piece;
    } while (at < shown);
}
