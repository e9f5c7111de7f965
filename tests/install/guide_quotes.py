#!/usr/bin/env python3
"""Checks that the guide quotes its program as it stands: every ```cpp block of the guide must be
found, line for line, in the program. Short sketches that are not part of the program are fenced
as ```c++ instead.
Usage: guide_quotes.py GUIDE.md PROGRAM.cpp"""
import re
import sys

guide = open(sys.argv[1], encoding='utf-8').read()
program = open(sys.argv[2], encoding='utf-8').read()
blocks = re.findall(r'^```cpp\n(.*?)^```', guide, re.S | re.M)
if not blocks:
    sys.exit('no ```cpp blocks in ' + sys.argv[1])
stale = [b for b in blocks if b not in program]
for b in stale:
    print('not in the program as quoted:\n' + b)
sys.exit(1 if stale else 0)
