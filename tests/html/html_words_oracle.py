#!/usr/bin/env python3
"""Prints, one a line, the words of an HTML page as Python's own parser sees them.

Text inside script, style and title is left out; entities are decoded. Text runs on across inline
tags ("<tt>/etc/group</tt>." is one word); a block-level tag ends a word, as a browser shows it. Words
are split at ASCII white space only, so a no-break space stays inside its word.
"""
import html.parser
import re
import sys

BLOCK_TAGS = {
    "address", "blockquote", "body", "br", "center", "dd", "div", "dl", "dt", "form", "h1", "h2", "h3", "h4",
    "h5", "h6", "head", "hr", "html", "li", "ol", "p", "pre", "table", "td", "th", "tr", "ul",
}


class WordCollector(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.skipping = []
        self.pieces = []

    def handle_starttag(self, tag, attrs):
        if tag in ("script", "style", "title"):
            self.skipping.append(tag)
        if tag in BLOCK_TAGS:
            self.pieces.append(" ")

    def handle_endtag(self, tag):
        if self.skipping and self.skipping[-1] == tag:
            self.skipping.pop()
        if tag in BLOCK_TAGS:
            self.pieces.append(" ")

    def handle_data(self, data):
        if not self.skipping:
            self.pieces.append(data)

    def words(self):
        return [word for word in re.split(r"[ \t\r\n\f]+", "".join(self.pieces)) if word]


def main():
    with open(sys.argv[1], encoding="utf-8") as page:
        collector = WordCollector()
        collector.feed(page.read())
        collector.close()
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as out:
        for word in collector.words():
            out.write(word + "\n")


if __name__ == "__main__":
    main()
