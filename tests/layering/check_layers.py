#!/usr/bin/env python3
"""Checks the include rules between the project's folders.

Usage: check_layers.py SOURCE_DIR BUILD_DIR

Rules (docs/layering.md explains them):
  1. Plain C++ does not include Qt. A file is Qt-side when the CMake target of its own folder that
     compiles it links Qt (read from BUILD_DIR/compile_commands.json). A header is Qt-side when the
     source file of the same name beside it is; a header without such a source is Qt-side when it
     includes Qt or a Qt-side header itself. Folders listed as PLAIN are plain throughout.
  2. The browser family and the diagram family (kavgraph, ornamo) never include each other.
  3. A folder includes only folders of its own rank or lower, of its own family or of the platform.
  4. browser/ includes no operating-system header: files and folders are platform/'s business.
Prints one line per broken rule and exits 1 when there is any.
"""
import json
import os
import re
import sys

# Folder -> (family, rank). The longest matching prefix decides. Folders not listed (tests, bench,
# fuzz, scripts) may include anything and are not checked.
MODULES = {
    "platform/core": ("platform", 0),
    "platform/text": ("platform", 1),
    "platform/compoundfile": ("platform", 2),
    "platform/ui": ("platform", 2),
    "browser/support": ("browser", 10),
    "browser/store": ("browser", 11),
    "browser/symbols": ("browser", 12),
    "browser/treediagram": ("browser", 13),
    "browser/runtime": ("browser", 13),
    "browser/app": ("browser", 14),
    "tools/qmk": ("browser", 20),
    "kavgraph": ("diagram", 10),
    "ornamo": ("diagram", 11),
    "tools/kvgraph": ("diagram", 20),
    "examples": ("diagram", 20),
    "tools/quillmark-trace": ("trace", 20),
    # The stand-in for the authoring application: a peer program on the bus, not a browser part.
    "tools/quillmark-authoring": ("authoring", 20),
}

# Folders that are plain C++ throughout, whatever their targets link.
# (tools/qmk is classified by its targets: qmk itself links QtCore and QtDBus for the automation
# link of "qmk see"; its build library qmk_build stays plain.)
PLAIN = ["platform/core", "platform/text", "platform/compoundfile", "browser/store", "browser/symbols",
         "tools/qmk/qmkbuild"]

# Operating-system headers that browser/ leaves to platform/ (platform/core/FileSystem.h).
OS_HEADER = re.compile(r"^(sys/.*|unistd\.h|fcntl\.h|dirent\.h|sys/stat\.h)$")

SOURCE_EXT = (".cpp", ".cc", ".cxx")
HEADER_EXT = (".h", ".hpp")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
QT_HEADER = re.compile(r"^(Q[A-Za-z0-9_]*|Qt[A-Za-z0-9]+/.*|q[a-z0-9_]+\.h)$")


def module_of(rel):
    best = None
    for prefix in MODULES:
        if rel == prefix or rel.startswith(prefix + "/"):
            if best is None or len(prefix) > len(best):
                best = prefix
    return best


def compiled_sources(build_dir):
    """Source path -> [(object file, whether that target links Qt)] from the compile database."""
    with open(os.path.join(build_dir, "compile_commands.json")) as f:
        commands = json.load(f)
    result = {}
    for entry in commands:
        command = entry.get("command") or " ".join(entry.get("arguments", []))
        output = re.search(r"\s-o\s+(\S+)", command)
        if output:
            links_qt = "-DQT_CORE_LIB" in command or "/QtCore" in command
            result.setdefault(os.path.realpath(entry["file"]), []).append((output.group(1), links_qt))
    return result


def check(source_dir, compiled):
    """Returns the broken rules as lines of text."""

    files = []
    for top in ("platform", "browser", "kavgraph", "ornamo", "tools", "examples"):
        for root, dirs, names in os.walk(os.path.join(source_dir, top)):
            dirs[:] = [d for d in dirs if not d.startswith(".")]
            for name in names:
                if name.endswith(SOURCE_EXT + HEADER_EXT):
                    files.append(os.path.relpath(os.path.join(root, name), source_dir))
    files.sort()

    includes = {}
    for rel in files:
        with open(os.path.join(source_dir, rel), encoding="utf-8", errors="replace") as f:
            includes[rel] = INCLUDE.findall(f.read())

    def resolve(rel, name):
        for base in (os.path.dirname(rel), ""):
            candidate = os.path.normpath(os.path.join(base, name))
            if candidate in includes or os.path.isfile(os.path.join(source_dir, candidate)):
                return candidate
        return None

    def includes_qt_directly(rel):
        return any(kind == "<" and QT_HEADER.match(name) for kind, name in includes[rel])

    def in_plain_folder(rel):
        return any(rel == p or rel.startswith(p + "/") for p in PLAIN)

    # Sources: Qt-side when compiled only by targets that link Qt. Only the targets defined in the
    # source's own folder count: tests, benchmarks and fuzz targets may compile a library's sources in.
    qt_side = {}
    for rel in files:
        if not rel.endswith(SOURCE_EXT):
            continue
        own = os.path.dirname(rel) + "/CMakeFiles/"
        flags = [qt for out, qt in compiled.get(os.path.join(source_dir, rel), []) if out.startswith(own)]
        qt_side[rel] = bool(flags) and all(flags) and not in_plain_folder(rel)

    # Headers beside a source take its side; the others declare themselves by what they include.
    pending = []
    for rel in files:
        if not rel.endswith(HEADER_EXT):
            continue
        stem = os.path.splitext(rel)[0]
        partners = [stem + ext for ext in SOURCE_EXT if stem + ext in qt_side]
        if in_plain_folder(rel):
            qt_side[rel] = False
        elif partners:
            qt_side[rel] = qt_side[partners[0]]
        else:
            qt_side[rel] = includes_qt_directly(rel)
            pending.append(rel)
    changed = True
    while changed:
        changed = False
        for rel in pending:
            if not qt_side[rel] and any(qt_side.get(resolve(rel, n)) for k, n in includes[rel] if k == '"'):
                qt_side[rel] = changed = True

    problems = []
    for rel in files:
        mod = module_of(rel)
        if mod is None:
            continue
        family, rank = MODULES[mod]
        for kind, name in includes[rel]:
            if kind == "<":
                if QT_HEADER.match(name) and not qt_side[rel]:
                    problems.append(f"{rel}: plain C++ includes the Qt header <{name}>")
                if OS_HEADER.match(name) and rel.startswith("browser/"):
                    problems.append(f"{rel}: browser code includes the operating-system header <{name}>")
                continue
            target = resolve(rel, name)
            if target is None:
                continue
            if qt_side.get(target) and not qt_side[rel]:
                problems.append(f"{rel}: plain C++ includes the Qt-side file {target}")
            tmod = module_of(target)
            if tmod is None:
                problems.append(f"{rel}: includes {target}, which no program code may include")
                continue
            tfamily, trank = MODULES[tmod]
            if tfamily not in (family, "platform"):
                problems.append(f"{rel}: {family} code includes {tfamily} code ({target})")
            elif trank > rank:
                problems.append(f"{rel}: {mod} is below {tmod} and may not include {target}")

    return problems


def main():
    source_dir = os.path.realpath(sys.argv[1])
    problems = check(source_dir, compiled_sources(os.path.realpath(sys.argv[2])))
    for line in problems:
        print(line)
    print(f"{len(problems)} layering problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
