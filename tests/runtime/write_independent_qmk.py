#!/usr/bin/python3
"""Writes a small runtime database without any of our own code: the stream bytes are composed
here from the published record layouts, and `gsf createole` builds the compound file from a
folder tree (folders become storages, files streams).

usage: write_independent_qmk.py OUT.QMK
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile


def string(s):
    b = s.encode('cp1252')
    assert len(b) < 255
    return bytes([len(b)]) + b


def integer(v):
    return struct.pack('<i', v)


def word(v):
    return struct.pack('<H', v)


def names(items):
    return integer(len(items)) + b''.join(string(s) for s in items)


def class_record(name, extra, properties=(), methods=(), events=()):
    return string(name) + string(extra) + names(properties) + names(methods) + names(events)


def unit_record(name, interfaces, classes, routines):
    return (string(name) + word(len(interfaces)) + b''.join(interfaces) + word(len(classes)) +
            b''.join(classes) + word(len(routines)) + b''.join(string(r) for r in routines))


def node(name, box, children=()):
    return (string(name) + b''.join(integer(v) for v in box) + integer(len(children)) +
            b''.join(children))


def diagram(header1, header2, horizontal, root):
    return integer(header1) + integer(header2) + bytes([1 if horizontal else 0]) + root


LONG = 'TAlphaVeryLongClassNameForMappingTests'
LONG_CODE = 'A1'
LONG_ELEMENT = LONG[:30 - len(LONG_CODE)] + '~' + LONG_CODE

# Units deliberately out of alphabetical order.
SYMBOLS = string('Independent Library') + integer(2) + unit_record(
    'Zeta',
    [class_record('IStream', 'IUnknown', methods=['Read', 'Write'])],
    [class_record('TGröße', 'TObject', ['Höhe', 'Width'], ['Paint'], ['OnResize']),
     class_record('TZ', '')],
    ['Shared', 'ZFunc']) + unit_record(
    'Alpha', [], [class_record(LONG, 'TObject')], ['AlphaProc', 'Shared'])

HORIZONTAL = {
    'TGröße': diagram(2, 0, True, node('TObject', (0, 0, 60, 20), [
        node('TGröße', (80, 0, 140, 20), [node('TZ', (160, 0, 200, 20))])])),
    LONG_ELEMENT: diagram(2, 0, True, node('TObject', (0, 0, 60, 20), [node(LONG, (80, 0, 300, 20))])),
    '_sys__SubItemsList': integer(1) + string(LONG) + string(LONG_CODE),
}
VERTICAL = {
    'TGröße': diagram(7, 9, False, node('TObject', (0, 0, 60, 20), [
        node('TGröße', (0, 40, 60, 60), [node('TZ', (0, 80, 60, 100))])])),
    # Stored under its mapped name, but this sub-storage has no name list.
    LONG_ELEMENT: diagram(2, 0, False, node('TObject', (0, 0, 60, 20), [node(LONG, (0, 40, 220, 60))])),
}


def write(folder, streams):
    os.makedirs(folder, exist_ok=True)
    for name, data in streams.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


def main():
    out = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp()
    try:
        write(work, {
            '_sys__DatabaseInfo': string('Quillmark Runtime Database') + integer(5) + integer(2),
            '_symboltable': SYMBOLS,
        })
        write(os.path.join(work, 'Horizontal Inheritance Diagrams'), HORIZONTAL)
        write(os.path.join(work, 'Vertical Inheritance Diagrams'), VERTICAL)
        subprocess.run(['gsf', 'createole', out] + sorted(os.listdir(work)), cwd=work, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    finally:
        shutil.rmtree(work)


if __name__ == '__main__':
    main()
