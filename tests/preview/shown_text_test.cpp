// The text the plain-text preview streams: long lines cut into lines the rich edit lays out in linear
// time, at most the first lines and characters of a file, and every line and character of it counted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shown_text.h"

namespace {

TEST(ShownText, LongLinesAreCutAndWhatIsPastTheMostIsOnlyCounted)
{
    const std::u16string longLine(2 * kShownLineLength + 5, u'x');
    const std::u16string fullLine(kShownLineLength, u'y');
    const std::u16string x(kShownLineLength, u'x');
    // U+1F600 as its two halves, the high one the last character that a line of the longest length holds.
    const std::u16string pairAtCut = std::u16string(kShownLineLength - 1, u'z') + u"\xD83D\xDE00z";
    struct Case
    {
        const char* name;
        std::vector<std::u16string> lines;
        std::uint64_t mostLines;
        std::uint64_t mostCharacters;
        std::u16string expected;
        std::uint64_t linesShown;
        std::uint64_t charactersShown;
    };
    const Case cases[] = {
        {"no line", {}, 10, 100, u"", 0, 0},
        {"empty lines keep their line ends", {u"", u"", u"a"}, 10, 100, u"\r\n\r\na", 3, 1},
        {"a line of the longest length stays one",
         {fullLine, u"b"},
         10,
         5000,
         fullLine + u"\r\nb",
         2,
         kShownLineLength + 1},
        {"a longer line goes on in the next lines",
         {longLine},
         10,
         5000,
         x + u"\r\n" + x + u"\r\nxxxxx",
         1,
         longLine.size()},
        {"the most lines", {u"one", u"two", u"three"}, 2, 100, u"one\r\ntwo", 2, 6},
        {"the most characters end inside a line",
         {u"one", u"two", u"three"},
         10,
         8,
         u"one\r\ntwo\r\nth",
         3,
         8},
        {"the most characters at a line's end", {u"one", u"two", u"three"}, 10, 6, u"one\r\ntwo", 2, 6},
        {"NULs are characters of a line", {std::u16string(3, u'\0')}, 2, 100, std::u16string(3, u'\0'), 1, 3},
        {"a surrogate pair at the cut goes whole into the next line",
         {pairAtCut},
         10,
         5000,
         pairAtCut.substr(0, kShownLineLength - 1) + u"\r\n" + pairAtCut.substr(kShownLineLength - 1),
         1,
         pairAtCut.size()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShownText shown(c.mostLines, c.mostCharacters);
        std::uint64_t characters = 0;
        for (const std::u16string& line : c.lines) {
            shown.AddLine(line.data(), line.size());
            characters += line.size();
        }
        EXPECT_EQ(shown.Text(), c.expected);
        EXPECT_EQ(shown.LinesShown(), c.linesShown);
        EXPECT_EQ(shown.LinesRead(), c.lines.size());
        EXPECT_EQ(shown.CharactersShown(), c.charactersShown);
        EXPECT_EQ(shown.CharactersRead(), characters);
    }
}

} // namespace
