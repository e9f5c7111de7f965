#!/usr/bin/env python3
"""Checks that a man page and a program's --help (on stdin) name the same long options and commands.

Usage: same_options.py PAGE.1 < help-text. Prints the differences and exits 1 when there are any.
"""
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])--[a-z][a-z0-9-]*")


def options(text):
    return set(OPTION.findall(text))


page_text = subprocess.run(["man", "-l", "-E", "UTF-8", sys.argv[1]], capture_output=True, text=True,
                           env={"MANWIDTH": "200", "LC_ALL": "C.UTF-8", "PATH": "/usr/bin:/bin"}).stdout
page_text = re.sub(r".\x08", "", page_text)
help_options = options(sys.stdin.read())
page_options = options(page_text)
missing = sorted(help_options - page_options)
extra = sorted(page_options - help_options)
if missing:
    print("options in --help but not in the man page:", " ".join(missing))
if extra:
    print("options in the man page but not in --help:", " ".join(extra))
sys.exit(1 if missing or extra else 0)
