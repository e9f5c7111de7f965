#!/usr/bin/env python3
"""Prints the Arial 8 character-width table of CharWidths.cpp.

Reads Liberation Sans Regular (metric-compatible with Arial, package fonts-liberation2) and
gives, for every Windows-1252 byte, the advance width in pixels at 8 points on a 96 dpi
screen: an em of 11 pixels, advance = round(design advance * 11 / units per em).
Standard library only.
"""
import codecs
import struct
import sys

FONT = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"
PPEM = 11


def tables(data):
    count = struct.unpack(">H", data[4:6])[0]
    result = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        result[tag.decode("latin-1")] = (offset, length)
    return result


def cmap_format4(data, offset):
    count = struct.unpack(">H", data[offset + 2:offset + 4])[0]
    for i in range(count):
        platform, encoding, sub = struct.unpack(">HHI", data[offset + 4 + 8 * i:offset + 12 + 8 * i])
        if platform == 3 and encoding == 1:
            base = offset + sub
            assert struct.unpack(">H", data[base:base + 2])[0] == 4
            segs = struct.unpack(">H", data[base + 6:base + 8])[0] // 2
            ends = struct.unpack(">%dH" % segs, data[base + 14:base + 14 + 2 * segs])
            starts_at = base + 16 + 2 * segs
            starts = struct.unpack(">%dH" % segs, data[starts_at:starts_at + 2 * segs])
            deltas = struct.unpack(">%dh" % segs, data[starts_at + 2 * segs:starts_at + 4 * segs])
            ranges_at = starts_at + 4 * segs
            ranges = struct.unpack(">%dH" % segs, data[ranges_at:ranges_at + 2 * segs])

            def glyph(code):
                for s in range(segs):
                    if starts[s] <= code <= ends[s]:
                        if ranges[s] == 0:
                            return (code + deltas[s]) & 0xFFFF
                        at = ranges_at + 2 * s + ranges[s] + 2 * (code - starts[s])
                        g = struct.unpack(">H", data[at:at + 2])[0]
                        return (g + deltas[s]) & 0xFFFF if g else 0
                return 0
            return glyph
    raise SystemExit("no Unicode BMP cmap")


def main():
    data = open(FONT, "rb").read()
    t = tables(data)
    units_per_em = struct.unpack(">H", data[t["head"][0] + 18:t["head"][0] + 20])[0]
    metrics = struct.unpack(">H", data[t["hhea"][0] + 34:t["hhea"][0] + 36])[0]
    os2 = t["OS/2"][0]
    win_ascent, win_descent = struct.unpack(">HH", data[os2 + 74:os2 + 78])
    glyph = cmap_format4(data, t["cmap"][0])
    hmtx = t["hmtx"][0]

    def advance(g):
        g = min(g, metrics - 1)
        return struct.unpack(">H", data[hmtx + 4 * g:hmtx + 4 * g + 2])[0]

    widths = []
    for byte in range(256):
        try:
            ch = codecs.decode(bytes([byte]), "cp1252")
        except UnicodeDecodeError:
            ch = "\u0000"
        adv = advance(glyph(ord(ch))) if byte >= 32 else 0
        widths.append(int(adv * PPEM / units_per_em + 0.5))
    ascent = -(-win_ascent * PPEM // units_per_em)
    descent = -(-win_descent * PPEM // units_per_em)
    sys.stdout.write("// text height %d (ascent %d, descent %d)\n" % (ascent + descent, ascent, descent))
    for row in range(0, 256, 16):
        sys.stdout.write("    " + ", ".join("%2d" % w for w in widths[row:row + 16]) + ",\n")


main()
