#!/usr/bin/env python3
"""Writes kavgraph-sample.slb, the small style library that ships as an example.

Uses the independent encoder of the test fixtures. Run from this folder.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "kavgraph", "fixtures"))
from make_fixtures import base, brush, encode, font, pen  # noqa: E402

NAVY, BLACK, WHITE = 0x800000, 0x000000, 0xFFFFFF
STRETCH = dict(cm=0, ha=3, va=3)


def draw(name, shape, p, b, l=0, t=0, w=0, h=0, cm=0, ha=3, va=3):
    return dict(base(name, l, t, w, h, cm, ha, va), Shape=shape, Pen=p, Brush=b)


# Percentage mode scales with the vertex; stretched with width 100 spans it, and a height of 0 is
# one text line (the whole block when centred).
def data(name, text, f, l=0, t=0, w=100, h=0, cm=1, ha=3, va=4, align=2, wrap=False, magic="", b=None):
    return dict(base(name, l, t, w, h, cm, ha, va), Text=text, Font=f, Brush=b or brush(WHITE, 1),
                TextAlign=align, WordWrap=wrap, WrapMagic=magic)


def page_icon():
    """A 16 x 16 sheet of paper with a folded corner and three lines of text, column by column."""
    size = 16
    img = [[WHITE] * size for _ in range(size)]
    for y in range(1, 15):
        for x in range(2, 14):
            img[y][x] = 0xF8F8F8
    for x in range(2, 14):
        img[1][x] = img[14][x] = 0x606060
    for y in range(1, 15):
        img[y][2] = img[y][13] = 0x606060
    for k in range(4):  # the folded corner
        for x in range(10 + k, 14):
            img[1 + k][x] = 0xC0C0C0
    for y in (5, 8, 11):
        for x in range(4, 12):
            img[y][x] = 0xC07020
    return [img[y][x] for x in range(size) for y in range(size)]


LIBRARY = {
    "LibraryName": "Kavgraph sample",
    "VertexStyles": [
        {
            "Name": "Process", "ResizeMode": 3, "Width": 140, "Height": 60, "ConnMoveMode": 1,
            "DrawItems": [draw("Frame", 1, pen(NAVY, 0, 1), brush(0xF5E6D2, 0))],
            "DataItems": [
                data("Name", "Name", font("Arial", 10, BLACK, True), t=12, va=0),
                data("Description", "Description", font("Arial", 8, 0x404040), t=52, va=0, wrap=True,
                     magic="|"),
            ],
            "BitmapItems": [],
        },
        {
            "Name": "Decision", "ResizeMode": 1, "Width": 120, "Height": 70, "ConnMoveMode": 1,
            "DrawItems": [draw("Diamond", 4, pen(0x004080, 0, 1), brush(0xB0F0FF, 0))],
            "DataItems": [data("Condition", "Condition?", font("Arial", 9, BLACK))],
            "BitmapItems": [],
        },
        {
            "Name": "Terminal", "ResizeMode": 3, "Width": 110, "Height": 44, "ConnMoveMode": 0,
            "DrawItems": [draw("Oval", 2, pen(0x006000, 0, 2), brush(0xD0F0D0, 0))],
            "DataItems": [data("Name", "Start", font("Arial", 10, 0x004000, True))],
            "BitmapItems": [],
        },
        {
            "Name": "Document", "ResizeMode": 0, "Width": 130, "Height": 40, "ConnMoveMode": 2,
            "DrawItems": [draw("Frame", 0, pen(0x606060, 0, 1), brush(WHITE, 0))],
            "DataItems": [data("Name", "File name", font("Arial", 9, BLACK), l=22, w=75, ha=0, align=0)],
            "BitmapItems": [dict(base("Icon", 6, 0, 16, 16, 0, 0, 4), Bitmap={"Width": 16, "Height": 16,
                                                                         "Pixels": page_icon()},
                                 LockAspectRatio=True, Visible=True)],
        },
        {
            "Name": "Note", "ResizeMode": 3, "Width": 150, "Height": 70, "ConnMoveMode": 3,
            "DrawItems": [
                draw("Paper", 0, pen(0x00A0C0, 0, 1), brush(0xC0FFFF, 0)),
                draw("Fold", 3, pen(0x00A0C0, 0, 1), brush(0xC0FFFF, 0), l=0, t=0, w=14, h=14, ha=2, va=1),
            ],
            "DataItems": [data("Text", "First line|second line", font("Arial", 8, 0x303030), l=4, t=8, w=0,
                               ha=0, va=0, align=0, wrap=True, magic="|")],
            "BitmapItems": [],
        },
    ],
    "EdgeStyles": [
        {
            "Name": "Arrow", "Pen": pen(BLACK, 0, 1), "SourceArrow": False, "TargetArrow": True,
            "DrawCustomEnds": False, "EndPen": pen(BLACK, 0, 1), "EndBrush": brush(BLACK, 0),
            "TextBoxPen": pen(), "TextBoxBrush": brush(), "Font": font(), "TextAlign": 2, "WordWrap": False,
            "WrapMagic": "", "TextBoxVisible": False, "DrawConnection": 2, "Data": "",
        },
        {
            "Name": "Two-way", "Pen": pen(NAVY, 0, 2), "SourceArrow": True, "TargetArrow": True,
            "DrawCustomEnds": False, "EndPen": pen(NAVY, 0, 1), "EndBrush": brush(0xFFE0C0, 0),
            "TextBoxPen": pen(), "TextBoxBrush": brush(), "Font": font(), "TextAlign": 2, "WordWrap": False,
            "WrapMagic": "", "TextBoxVisible": False, "DrawConnection": 2, "Data": "",
        },
        {
            "Name": "Dashed", "Pen": pen(0x808080, 1, 1), "SourceArrow": False, "TargetArrow": True,
            "DrawCustomEnds": False, "EndPen": pen(0x808080, 0, 1), "EndBrush": brush(WHITE, 0),
            "TextBoxPen": pen(), "TextBoxBrush": brush(), "Font": font(), "TextAlign": 2, "WordWrap": False,
            "WrapMagic": "", "TextBoxVisible": False, "DrawConnection": 2, "Data": "",
        },
        {
            "Name": "Labelled", "Pen": pen(BLACK, 0, 1), "SourceArrow": False, "TargetArrow": True,
            "DrawCustomEnds": False, "EndPen": pen(BLACK, 0, 1), "EndBrush": brush(BLACK, 0),
            "TextBoxPen": pen(0x808080, 0, 1), "TextBoxBrush": brush(0xE1FFFF, 0),
            "Font": font("Arial", 8, BLACK), "TextAlign": 2, "WordWrap": False, "WrapMagic": "",
            "TextBoxVisible": True, "DrawConnection": 0, "Data": "yes",
        },
    ],
}

if __name__ == "__main__":
    with open(os.path.join(os.path.dirname(__file__) or ".", "kavgraph-sample.slb"), "wb") as f:
        f.write(encode(LIBRARY, "SL1.03"))
