#!/usr/bin/env python3
"""Writes sample-diagram.kvi, a small flow chart in the text interchange format that uses the
styles of kavgraph-sample.slb. The graph file sample-diagram.kvg is made from it with
    kvgraph graph import sample-diagram.kvi sample-diagram.kvg --slb kavgraph-sample.slb
Run from this folder.
"""

VERTICES = [  # Id, style, centre, size, texts of the style's data items
    (1, "Terminal", (300, 60), (110, 44), ["Start"]),
    (2, "Process", (300, 170), (140, 60), ["Read order", "from the web shop"]),
    (3, "Decision", (300, 300), (120, 70), ["Order valid?"]),
    (4, "Process", (300, 440), (140, 60), ["Ship goods", "pack and send"]),
    (5, "Terminal", (300, 560), (110, 44), ["Done"]),
    (6, "Document", (560, 300), (130, 40), ["Rejection letter"]),
    (7, "Note", (570, 150), (150, 70), ["Checked daily|by the sales team"]),
]
EDGES = [  # Id, style, source, target, start, end, text box, bends
    (8, "Arrow", 1, 2, (300, 82), (300, 140), "", []),
    (9, "Arrow", 2, 3, (300, 200), (300, 265), "", []),
    (10, "Labelled", 3, 4, (300, 335), (300, 410), "yes", []),
    (11, "Labelled", 3, 6, (360, 300), (495, 300), "no", []),
    (12, "Arrow", 4, 5, (300, 470), (300, 538), "", []),
    (13, "Dashed", 7, 2, (495, 150), (370, 170), "", [(430, 150), (430, 170)]),
    (14, "Two-way", 6, 4, (560, 320), (370, 440), "", []),
]


def main():
    lines = ["KVI101", "Kavgraph sample", f"{len(VERTICES)} {len(EDGES)}"]
    for i, style, (cx, cy), (w, h), texts in VERTICES:
        left, top = cx - w // 2, cy - h // 2
        lines += ["TKVVertex", str(i), f"{left} {top} {left + w} {top + h}", style, str(len(texts))]
        lines += texts + ["F"]
    for i, style, a, b, p, q, data, bends in EDGES:
        first = bends[0] if bends else q
        mx, my = (p[0] + first[0]) // 2, (p[1] + first[1]) // 2
        lines += ["TKVEdge", str(i), f"{a} {b}", f"{p[0]} {p[1]}", f"{q[0]} {q[1]}", style, data, "",
                  f"{mx + 12} {my}", f"{mx} {mx} {my} {my}", f"{mx} {my}", str(len(bends))]
        lines += [f"{x} {y}" for x, y in bends] + ["F"]
    with open("sample-diagram.kvi", "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()
