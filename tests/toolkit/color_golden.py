#!/usr/bin/env python3
"""Expected colour tables, computed from the written rules of the toolkit's colour table alone.

Usage: color_golden.py OUTPUT.h
Writes a C++ header with the injected system colours and, per case, the 62 colours, the 62 scheme
colours and the ten gradient pairs that a refresh must produce. Shares nothing with the C++ code: if
both agree, both read the rules the same way.
"""

import math
import sys

NONE = 0xFFFFFFFF

# The system colours the tests inject (COLORREF, 0x00BBGGRR), indexes 0 to 27.
SYSTEM = [
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xD4D0C8, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xD4D0C8, 0xD4D0C8, 0x808080, 0x6A240A, 0xFFFFFF, 0xD8E9EC,
    0x99A8AC, 0x808080, 0x000000, 0xD4D0C8, 0xFFFFFF, 0x404040, 0xD4D0C8, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6,
]

# The border colour of the tree-view visual style under the test system (Wine's light style).
THEME_BORDER = 0xAEAEAE


def rgb(r, g, b):
    return r | (g << 8) | (b << 16)


def channels(c):
    return c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF


def blend(c1, c2, w):
    s = 100 if w < 100 else 1000
    a, b = channels(c1), channels(c2)
    return rgb(*[(a[i] * w + b[i] * (s - w) + s // 2) // s for i in range(3)])


def weighted(c):
    r, g, b = channels(c)
    return [r * 0.7647058823529411, g * 1.5294117647058822, b * 0.2549019607843137]


MAXIMA = [195.0, 390.0, 65.0]
BACK = [1.3076923076923077, 0.6538461538461539, 3.923076923076923]


def unweighted(v):
    out = []
    for i in range(3):
        x = min(max(v[i], 0.0), MAXIMA[i])
        out.append(min(max(int(x * BACK[i] + 0.5), 0), 255))
    return rgb(*out)


def dist2(u, v):
    return (u[0] - v[0]) * (u[0] - v[0]) + (u[1] - v[1]) * (u[1] - v[1]) + (u[2] - v[2]) * (u[2] - v[2])


def brightness(u):
    return math.sqrt(dist2(u, [0.0, 0.0, 0.0]))


def threshold(c, t):
    d = int(brightness(weighted(c)))
    return (2.0 - min(d, 220) * 0.0045454544) * t


def far_enough(a, b, t):
    limit = threshold(a, t)
    return dist2(weighted(a), weighted(b)) > limit * limit


def pull(a, b, t):
    wa, wb = weighted(a), weighted(b)
    d = math.sqrt(dist2(wa, wb))
    travel = d - threshold(a, t)
    return unweighted([wb[i] + (wa[i] - wb[i]) * travel / d for i in range(3)])


def push(a, b, t):
    T = threshold(a, t)
    wa, wb = weighted(a), weighted(b)
    ba, bb = brightness(wa), brightness(wb)
    mirrored = (ba <= 442 - T) if bb > ba else (ba <= T)
    if mirrored:
        wa = [MAXIMA[i] - wa[i] for i in range(3)]
        wb = [MAXIMA[i] - wb[i] for i in range(3)]
    L = max(brightness(wb), 0.001)
    dot = wa[0] * wb[0] + wa[1] * wb[1] + wa[2] * wb[2]
    p = dot / L
    q = dot / (L * L)
    e = dist2(wa, [wb[0] * q, wb[1] * q, wb[2] * q])
    if T * T < e:
        return 0
    k = p - math.sqrt(T * T - e)
    v = [wb[i] * k / L for i in range(3)]
    if mirrored:
        v = [MAXIMA[i] - v[i] for i in range(3)]
    return unweighted(v)


SCHEME = {
    38: (0x764127, 0x335E51, 0x755454), 39: (0xCB8C6A, 0x588060, 0x8F6D6E),
    40: (0xD0966D, 0x7AAE9F, 0xBEA7A8), 41: (0xF6F6F6, 0xEEF4F4, 0xFFFAFD),
    43: (0x962D00, 0x5E8D75, 0x947C7C), 31: (0xC2EEFF, 0xC2EEFF, 0xC2EEFF),
    32: (0x800000, 0x385D3F, 0x6F4B4B), 50: (0x800000, 0x385D3F, 0x6F4B4B),
    37: (0x800000, 0x385D3F, 0x6F4B4B), 33: (0x3E80FE, 0x3E80FE, 0x3E80FE),
    36: (0x6FC0FF, 0x6FC0FF, 0x6FC0FF), 30: (0xF5BE9E, 0xA7D9D9, 0xE5D7D7),
    47: (0x000000, 0x000000, 0x000000), 59: (0x361E16, 0x19221F, 0x292024),
}

SCHEME_PAIRS = [
    [(0xD68759, 0x962D00, 0.5), (0xF5BE9E, 0xFADAC4, 0.5), (0xD68759, 0x962D00, 0.5),
     (0xFEECDD, 0xE2A981, 0.75), (0xFFEFE3, 0xE4AD87, 0.5), (0xF6DDCB, 0xDCA179, 0.5),
     (0xFFEFE3, 0xE7B593, 0.5)],
    [(0x82C0AF, 0x447A63, 0.5), (0xA7D9D9, 0xE4F1F2, 0.5), (0x6F8E78, 0x435B49, 0.5),
     (0xDEF7F4, 0x91C6B7, 0.3), (0xEDFFFF, 0x92C7B8, 0.3), (0xD1E6E6, 0x78B4A4, 0.3),
     (0xD5F0EC, 0x9FCEC2, 0.5)],
    [(0xBFA7A8, 0x916F70, 0.5), (0xE5D7D7, 0xF7F3F3, 0.5), (0xBFA7A8, 0x977677, 0.5),
     (0xFFF9F9, 0xB79B9C, 0.75), (0xFFF9F9, 0xB99D9F, 0.75), (0xE2D7D7, 0x9E7E80, 0.75),
     (0xF1E7E9, 0xCDB9BA, 0.5)],
]


def table(scheme, luna_disabled, low_colour):
    c = [0] * 62
    for i in range(1, 28):
        c[i] = SYSTEM[i]
    defaults = {30: 15, 31: 5, 32: 13, 33: 13, 34: 16, 35: 17, 36: 5, 37: 13, 38: 16, 39: 16, 40: 16,
                41: 5, 42: 16, 43: 16, 44: 8, 45: 7, 46: 18, 47: 14, 48: 15, 49: 18, 50: 13, 51: 15,
                52: 16, 53: 15, 54: 16, 55: 15, 56: 15, 57: 16, 58: 17, 60: 16}
    for target in range(30, 61):
        c[target] = 0 if target == 59 else c[defaults[target]]
    effective = 0 if luna_disabled else scheme
    scheme_colours = [NONE] * 62
    if effective:
        for index, values in SCHEME.items():
            scheme_colours[index] = values[effective - 1]
    if not low_colour:
        for target, first, second, weight in [(30, 5, 15, 165), (31, 13, 5, 30), (33, 13, 5, 50),
                                              (41, 15, 5, 143), (35, 17, 5, 70), (38, 16, 5, 75),
                                              (39, 16, 5, 70), (43, 46, 16, 20), (40, 16, 5, 90),
                                              (42, 15, 16, 90)]:
            c[target] = blend(c[first], c[second], weight)
        if far_enough(c[15], c[30], 35):
            c[30] = pull(c[15], c[30], 35)
        for target, a, b, t in [(31, 30, 31, 50), (32, 30, 13, 100), (33, 30, 33, 30), (35, 41, 35, 80),
                                (37, 33, 37, 100), (38, 30, 38, 85), (39, 30, 39, 50), (43, 47, 43, 100),
                                (40, 30, 40, 80), (44, 41, 44, 180), (45, 31, 45, 180), (46, 30, 46, 180),
                                (47, 33, 47, 180)]:
            if not far_enough(c[a], c[b], t):
                c[target] = push(c[a], c[b], t)
        if far_enough(c[41], c[35], 145):
            c[35] = pull(c[41], c[35], 145)
        r30, r5, r13 = channels(c[30]), channels(c[5]), channels(c[13])
        c[36] = rgb(*[r30[i] * 50 // 100 + r5[i] * 40 // 100 + r13[i] * 10 // 100 for i in range(3)])
        m = max(channels(c[15]))
        c[48] = 0x232323 if m == 0 else rgb(*[v * (m + min(255 - m, 35)) // m for v in channels(c[15])])
        if c[15] == 0:
            c[49] = 0x7F7F7F
        else:
            m = max(channels(c[16]))
            c[49] = 0 if m == 0 else rgb(*[v * max(m - 43, 0) // m for v in channels(c[16])])
        c[34] = rgb(*[int(v * 0.75) for v in channels(c[31])])
        c[22] = rgb(*[min(v + 15, 255) for v in channels(c[15])])
        c[53] = c[30]
        c[58] = c[40]
        c[60] = c[40]
    if effective:
        pairs = SCHEME_PAIRS[effective - 1]
        c[54] = (0x962D00, 0x588060, 0x947C7C)[effective - 1]
    else:
        c5, c15, c16 = c[5], c[15], c[16]
        pairs = [(c16, c16, 0.5), (c15, blend(c15, c5, 215), 0.5), (c15, c16, 0.5),
                 (blend(c15, c5, 205), c15, 0.5), (blend(c15, c5, 145), blend(c15, c5, 93), 0.5),
                 (blend(c15, c5, 40), blend(c15, c16, 95), 0.5), (blend(c15, c5, 165), blend(c15, c5, 42), 0.5)]
    pairs = pairs + [(0x8CD5FF, 0x55ADFF, 0.5), (0x4B8EFE, 0x8BCFFF, 0.5), (0xC8F2FF, 0x97D4FF, 0.5)]
    if not low_colour:
        c[57] = THEME_BORDER
    return c, scheme_colours, pairs


CASES = [
    # name, requested scheme, Luna colours disabled, low colour
    ("no scheme", 0, False, False),
    ("blue", 1, False, False),
    ("olive", 2, False, False),
    ("silver", 3, False, False),
    ("blue with Luna colours disabled", 1, True, False),
    ("low colour", 0, False, True),
    ("olive in low colour", 2, False, True),
]


def hexes(values):
    return ", ".join(f"0x{v:08X}" for v in values)


def main():
    out = [
        "// Generated by color_golden.py at build time; do not edit.",
        "#pragma once",
        "",
        "#include <cstdint>",
        "",
        "namespace golden {",
        "",
        f"constexpr std::uint32_t kThemeBorder = 0x{THEME_BORDER:08X};",
        f"constexpr std::uint32_t kSystemColors[28] = {{{hexes(SYSTEM)}}};",
        "",
        "struct Pair",
        "{",
        "    std::uint32_t start;",
        "    std::uint32_t end;",
        "    float factor;",
        "};",
        "",
        "struct Table",
        "{",
        "    const char* name;",
        "    unsigned scheme;",
        "    bool lunaDisabled;",
        "    bool lowColor;",
        "    std::uint32_t colors[62];",
        "    std::uint32_t schemeColors[62];",
        "    Pair pairs[10];",
        "};",
        "",
        "constexpr Table kTables[] = {",
    ]
    for name, scheme, luna_disabled, low_colour in CASES:
        colours, scheme_colours, pairs = table(scheme, luna_disabled, low_colour)
        pair_text = ", ".join(f"{{0x{s:08X}, 0x{e:08X}, {f}f}}" for s, e, f in pairs)
        out.append(f'    {{"{name}", {scheme}, {str(luna_disabled).lower()}, {str(low_colour).lower()},')
        out.append(f"     {{{hexes(colours)}}},")
        out.append(f"     {{{hexes(scheme_colours)}}},")
        out.append(f"     {{{pair_text}}}}},")
    out += ["};", "", "} // namespace golden", ""]
    with open(sys.argv[1], "w", encoding="utf-8") as handle:
        handle.write("\n".join(out))


if __name__ == "__main__":
    main()
