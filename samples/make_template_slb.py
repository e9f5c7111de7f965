#!/usr/bin/env python3
"""Writes Template.SLB, the template library Ornamo offers in its Template dialogs.

Vertex styles with draw items of every shape, data items of every alignment (wrapped and not) and
bitmap items, plus a few edge styles. Uses the independent encoder of the test fixtures. Run from
this folder.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "kavgraph", "fixtures"))
from make_fixtures import base, brush, encode, font, pen  # noqa: E402

BLACK, WHITE, NAVY, GREY = 0x000000, 0xFFFFFF, 0x800000, 0x808080
RECTANGLE, ROUNDRECT, ELLIPSE, LINE, DIAMOND, CUSTOM = range(6)
SOLID, CLEAR, HORIZONTAL, VERTICAL, FDIAGONAL, BDIAGONAL, CROSS, DIAGCROSS = range(8)


def draw(name, shape, p, b, l=0, t=0, w=0, h=0, cm=0, ha=3, va=3):
    return dict(base(name, l, t, w, h, cm, ha, va), Shape=shape, Pen=p, Brush=b)


def data(name, text, f, l=0, t=0, w=100, h=0, cm=1, ha=3, va=4, align=2, wrap=False, magic="", b=None):
    return dict(base(name, l, t, w, h, cm, ha, va), Text=text, Font=f, Brush=b or brush(WHITE, CLEAR),
                TextAlign=align, WordWrap=wrap, WrapMagic=magic)


def picture(name, pixels_of, size, l=0, t=0, w=0, h=0, cm=0, ha=0, va=0, lock=True, visible=True):
    pixels = [pixels_of(x, y) for x in range(size) for y in range(size)]  # column by column
    return dict(base(name, l, t, w, h, cm, ha, va), Bitmap={"Width": size, "Height": size, "Pixels": pixels},
                LockAspectRatio=lock, Visible=visible)


def disc(x, y):
    """A red disc with a dark rim on white, 16 x 16."""
    d = (x - 7.5) ** 2 + (y - 7.5) ** 2
    return 0x000080 if 42 <= d < 56 else 0x3030E0 if d < 42 else WHITE


def chequer(x, y):
    return 0xC08040 if (x // 4 + y // 4) % 2 else 0xF0E0C0


def gear(x, y):
    """A grey cog on white, 16 x 16."""
    d = (x - 7.5) ** 2 + (y - 7.5) ** 2
    tooth = (x in (7, 8) or y in (7, 8)) and d < 60
    return 0x606060 if (9 <= d < 36) or tooth else WHITE


def edge(name, p, target=True, source=False, end_pen=None, end_brush=None, box=False, data_text="",
         box_pen=None, box_brush=None, f=None, align=2, connection=2, custom=False, wrap=False, magic=""):
    return {"Name": name, "Pen": p, "SourceArrow": source, "TargetArrow": target, "DrawCustomEnds": custom,
            "EndPen": end_pen or pen(p["Color"]), "EndBrush": end_brush or brush(p["Color"], SOLID),
            "TextBoxPen": box_pen or pen(), "TextBoxBrush": box_brush or brush(), "Font": f or font(),
            "TextAlign": align, "WordWrap": wrap, "WrapMagic": magic, "TextBoxVisible": box,
            "DrawConnection": connection, "Data": data_text}


LIBRARY = {
    "LibraryName": "Ornamo templates",
    "VertexStyles": [
        {
            "Name": "Shapes", "ResizeMode": 3, "Width": 160, "Height": 80, "ConnMoveMode": 1,
            "DrawItems": [
                draw("Rectangle", RECTANGLE, pen(NAVY), brush(0xF5E6D2, SOLID)),
                draw("Round rectangle", ROUNDRECT, pen(0x006000, 0, 2), brush(0xD0F0D0, SOLID), l=10, t=10, w=60,
                     h=30, ha=0, va=0),
                draw("Ellipse", ELLIPSE, pen(0x0000C0), brush(0x00FFFF, CROSS), w=40, h=30, ha=2, va=1),
                draw("Line", LINE, pen(GREY, 1, 1), brush(WHITE, CLEAR), t=0, h=0, w=100, cm=1, ha=0, va=2),
                draw("Diamond", DIAMOND, pen(0x004080), brush(0xB0F0FF, SOLID), w=30, h=30, ha=4, va=4),
                draw("Custom", CUSTOM, pen(), brush(), w=20, h=20, ha=1, va=2),
            ],
            "DataItems": [],
            "BitmapItems": [],
        },
        {
            "Name": "Frames", "ResizeMode": 1, "Width": 140, "Height": 70, "ConnMoveMode": 2,
            "DrawItems": [
                draw("Thick frame", RECTANGLE, pen(BLACK, 0, 3), brush(WHITE, SOLID)),
                draw("Dashed frame", RECTANGLE, pen(GREY, 1, 1), brush(0xF0F0F0, SOLID)),
                draw("Dotted oval", ELLIPSE, pen(NAVY, 2, 1), brush(0xFFE0C0, SOLID)),
                draw("Hatched box", RECTANGLE, pen(BLACK, 0, 1), brush(0xA0A0A0, FDIAGONAL), l=10, t=10, w=80,
                     h=80, cm=1, ha=0, va=0),
                draw("Ruled box", RECTANGLE, pen(BLACK, 6, 2), brush(0xC0C0FF, HORIZONTAL)),
                draw("Striped box", RECTANGLE, pen(BLACK, 3, 1), brush(0xC0FFC0, VERTICAL)),
                draw("Slanted box", ROUNDRECT, pen(BLACK, 4, 1), brush(0xFFC0C0, BDIAGONAL)),
                draw("Netted box", ROUNDRECT, pen(BLACK, 5, 1), brush(0x808080, DIAGCROSS)),
            ],
            "DataItems": [],
            "BitmapItems": [],
        },
        {
            "Name": "Texts", "ResizeMode": 3, "Width": 160, "Height": 90, "ConnMoveMode": 1,
            "DrawItems": [draw("Card", ROUNDRECT, pen(NAVY), brush(0xFFF8F0, SOLID))],
            "DataItems": [
                data("Title", "Title", font("Arial", 10, BLACK, True), t=6, va=0),
                data("Left text", "Left", font("Arial", 8, 0x404040), l=6, t=30, w=70, h=14, cm=0, ha=0, va=0,
                     align=0),
                data("Right text", "Right", font("Arial", 8, 0x404040, False, True), l=0, t=30, w=70, h=14, cm=0,
                     ha=2, va=0, align=1),
                data("Lines", "First line|second line|third line", font("Arial", 8, 0x303030), t=48, va=0,
                     wrap=True, magic="|", b=brush(0xE0FFFF, SOLID)),
            ],
            "BitmapItems": [],
        },
        {
            "Name": "Pictures", "ResizeMode": 0, "Width": 150, "Height": 50, "ConnMoveMode": 0,
            "DrawItems": [draw("Frame", RECTANGLE, pen(GREY), brush(WHITE, SOLID))],
            "DataItems": [data("Name", "Name", font("Arial", 9, BLACK), l=44, t=0, w=100, h=16, cm=0, ha=0,
                               va=4, align=0)],
            "BitmapItems": [
                picture("Disc", disc, 16, l=4, t=0, w=16, h=16, va=4),
                picture("Chequer", chequer, 16, l=0, t=0, w=16, h=16, ha=2, va=1, lock=False),
                picture("Gear", gear, 16, l=24, t=0, w=16, h=16, va=4, visible=True),
                picture("Hidden", disc, 16, w=0, h=0, cm=1, ha=3, va=3, visible=False),
            ],
        },
        {
            "Name": "Decision", "ResizeMode": 1, "Width": 120, "Height": 70, "ConnMoveMode": 2,
            "DrawItems": [draw("Diamond", DIAMOND, pen(0x004080), brush(0xB0F0FF, SOLID))],
            "DataItems": [data("Condition", "Condition?", font("Arial", 9, BLACK))],
            "BitmapItems": [],
        },
        {
            "Name": "Plain", "ResizeMode": 3, "Width": 80, "Height": 50, "ConnMoveMode": 3,
            "DrawItems": [], "DataItems": [], "BitmapItems": [],
        },
    ],
    "EdgeStyles": [
        edge("Arrow", pen(BLACK)),
        edge("Two-way", pen(NAVY, 0, 2), source=True, end_brush=brush(0xFFE0C0, SOLID)),
        edge("Dashed", pen(GREY, 1, 1), end_brush=brush(WHITE, SOLID)),
        edge("Labelled", pen(BLACK), box=True, data_text="label", box_pen=pen(GREY),
             box_brush=brush(0xE1FFFF, SOLID), f=font("Arial", 8, BLACK), connection=0),
        edge("Plain line", pen(BLACK), target=False),
    ],
}

if __name__ == "__main__":
    with open(os.path.join(os.path.dirname(__file__) or ".", "Template.SLB"), "wb") as f:
        f.write(encode(LIBRARY, "SL1.03"))
