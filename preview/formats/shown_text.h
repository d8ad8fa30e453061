#pragma once

// The text that the plain-text preview streams into its rich edit, built from the file's lines. The rich
// edit lays a paragraph out again from its start for every row it wraps it into, so one long line costs
// in the square of its length: a line is given to it as lines of at most kShownLineLength characters.
// Laying out costs tens of microseconds a line and a few a character, and keeps over a kilobyte a line:
// the text holds at most the first lines and characters of the file, and counts the rest. Portable: the
// host build tests it under the sanitizers.
#include <cstddef>
#include <cstdint>
#include <string>

// The longest line the rich edit is given; a longer line goes on in the next one.
constexpr std::size_t kShownLineLength = 1024;

class ShownText
{
public:
    // At most mostLines lines of the file and mostCharacters of their characters (line ends aside).
    ShownText(std::uint64_t mostLines, std::uint64_t mostCharacters)
        : m_mostLines(mostLines), m_mostCharacters(mostCharacters)
    {}

    // Takes the file's next line; past the most lines or characters it is only counted.
    void AddLine(const char16_t* line, std::size_t length);

    // The lines shown, joined by CR LF.
    const std::u16string& Text() const { return m_text; }
    // Lines at least partly shown, and all the lines taken.
    std::uint64_t LinesShown() const { return m_linesShown; }
    std::uint64_t LinesRead() const { return m_linesRead; }
    std::uint64_t CharactersShown() const { return m_charactersShown; }
    std::uint64_t CharactersRead() const { return m_charactersRead; }

private:
    void AppendLine(const char16_t* line, std::size_t length);

    std::uint64_t m_mostLines;
    std::uint64_t m_mostCharacters;
    std::uint64_t m_linesShown = 0;
    std::uint64_t m_linesRead = 0;
    std::uint64_t m_charactersShown = 0;
    std::uint64_t m_charactersRead = 0;
    bool m_started = false;
    std::u16string m_text;
};
