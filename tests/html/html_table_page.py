#!/usr/bin/env python3
"""Writes a page with one large table and, beside it, what each cell holds.

usage: html_table_page.py PAGE CELLS

PAGE gets a UTF-8 HTML page: a table of 200 rows of 6 columns, where some cells span two columns or
carry a background colour, and every cell text is escaped by html.escape. The texts hold no apostrophe:
html.escape writes it as a hexadecimal reference, which the engine does not read. CELLS gets one line per
<td> written, in document order: row, column and the cell's text as the page means it, separated by
tabs (UTF-8).
"""
import html
import random
import sys

ROWS = 200
COLUMNS = 6
WORDS = ["alpha", "beta", "a&b", "<tag>", "\"quoted\"", "café", "x>y", "50%", "naïve", "#7", "semi;colon"]


def main():
    page_path, cells_path = sys.argv[1], sys.argv[2]
    generator = random.Random(60)
    page = ["<html><head><title>Generated table</title></head><body>\n",
            "<table border=1 cellpadding=2 width=600>\n"]
    cells = []
    for row in range(ROWS):
        page.append("<tr>")
        column = 0
        while column < COLUMNS:
            span = 2 if column < COLUMNS - 1 and generator.random() < 0.15 else 1
            words = [generator.choice(WORDS) for _ in range(generator.randint(1, 4))]
            text = f"r{row}c{column} " + " ".join(words)
            attributes = f" colspan={span}" if span > 1 else ""
            if generator.random() < 0.2:
                attributes += f" bgcolor=#{generator.randrange(0x1000000):06x}"
            page.append(f"<td{attributes}>{html.escape(text)}</td>")
            cells.append(f"{row}\t{column}\t{text}")
            column += span
        page.append("</tr>\n")
    page.append("</table>\n</body></html>\n")
    with open(page_path, "w", encoding="utf-8") as out:
        out.write("".join(page))
    with open(cells_path, "w", encoding="utf-8") as out:
        out.write("\n".join(cells) + "\n")


if __name__ == "__main__":
    main()
