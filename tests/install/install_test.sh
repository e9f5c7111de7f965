#!/usr/bin/env bash
# Installs the build into a fresh prefix and uses it the way a user and a C++ developer would:
# the programs run from the prefix, a CMake consumer and a pkg-config consumer build against
# Kavgraph and render a graph file, the guide's program saves, loads, exports and prints, the
# Designer plugin loads, the desktop files validate, the MIME types load, the man pages format
# without warnings and agree with --help.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(cd "$prefix" && ls -d lib*/ | head -1)
libdir=${libdir%/}
[ -f "$prefix/$libdir/libkavgraph.so" ] || libdir=$(dirname "$(cd "$prefix" && find . -name 'libkavgraph.so' | head -1)")

# Nothing installed refers back to the build or source tree (text files and run paths).
if grep -rIl -e "$build" -e "$src" "$prefix" >/dev/null; then
  fail "installed text files name the build tree: $(grep -rIl -e "$build" -e "$src" "$prefix" | head -3)"
fi
for f in "$prefix"/bin/* "$prefix/$libdir"/libkavgraph.so.*.*; do
  if readelf -d "$f" 2>/dev/null | grep -E 'R(UN)?PATH' | grep -q -e "$build" -e "$src"; then
    fail "$f has a run path into the build tree"
  fi
done
soname=$(readelf -d "$prefix/$libdir/libkavgraph.so" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
[[ $soname =~ ^libkavgraph\.so\.[0-9]+$ ]] || fail "library soname is '$soname'"

# The programs run from the prefix.
sample=$prefix/share/quillmark/samples
"$prefix/bin/qmk" info "$sample/lcl.qmk" >/dev/null || fail "installed qmk cannot read the sample"
QT_QPA_PLATFORM=offscreen "$prefix/bin/kvgraph" graph render "$sample/sample-diagram.kvg" -o "$work/kvgraph.png" \
  || fail "installed kvgraph cannot render the sample"

# Only public headers are installed.
for h in "$prefix/include/kavgraph"/*.h; do
  grep -q 'KAVGRAPH_EXPORT\|namespace kavgraph\|#define KAVGRAPH' "$h" || fail "header $h is not public API"
done

# A CMake consumer with a Designer form.
if cmake -S "$src/tests/install/consumer" -B "$work/cmake-consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
     -DCMAKE_BUILD_TYPE=Release >"$work/cmake.log" 2>&1 &&
   cmake --build "$work/cmake-consumer" >>"$work/cmake.log" 2>&1; then
  out=$("$work/cmake-consumer/consumer" "$sample/sample-diagram.kvg" "$work/cmake.png") || fail "CMake consumer failed to run"
  [[ $out == *"kavgraph::TKVDiagramBox"* ]] || fail "CMake consumer printed: $out"
  plugin=$(find "$prefix" -name 'libkavgraph_designer.so' | head -1)
  if [ -z "$plugin" ]; then
    fail "no Designer plugin installed"
  else
    widgets=$("$work/cmake-consumer/designer-check" "$plugin") || fail "Designer plugin did not load"
    [ "$(grep -c '^Diagrams' <<<"$widgets")" = 3 ] || fail "Designer plugin offers: $widgets"
  fi
  # The guide's program: builds a diagram, saves and loads it, exports a picture and prints.
  mkdir -p "$work/guide"
  if out=$(QT_QPA_PLATFORM=offscreen "$work/cmake-consumer/guide" "$sample/kavgraph-sample.slb" "$work/guide" 2>&1); then
    [[ $out == *"saved 6 vertices and 6 edges, loaded 6 and 6"* ]] || fail "guide program printed: $out"
    python3 - "$work/guide/flow.png" <<'PY' || fail "guide program's picture is not the diagram"
import struct, sys
data = open(sys.argv[1], 'rb').read()
width, height = struct.unpack('>II', data[16:24])
sys.exit(0 if data[:8] == b'\x89PNG\r\n\x1a\n' and width > 200 and height > 300 else 1)
PY
    { head -c 5 "$work/guide/flow.pdf" | grep -q '%PDF-' && tail -c 64 "$work/guide/flow.pdf" | grep -q '%%EOF'; } ||
      fail "guide program's PDF is not complete"
    if command -v pdftotext >/dev/null; then
      printed=$(pdftotext "$work/guide/flow.pdf" - 2>/dev/null || true)
      for text in Start 'Valid?' errors.log yes End; do
        grep -qF -- "$text" <<<"$printed" || fail "the printed diagram lacks '$text'"
      done
    fi
  else
    fail "guide program failed: $out"
  fi
else
  cat "$work/cmake.log"; fail "CMake consumer did not build"
fi

# A pkg-config consumer (uic run by hand).
export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
mkdir -p "$work/pc"
uic=$(find /usr/lib/qt6 -name uic -type f | head -1)
if "$uic" "$src/tests/install/consumer/diagramform.ui" -o "$work/pc/ui_diagramform.h" &&
   g++ -std=c++20 -fPIC -I"$work/pc" "$src/tests/install/consumer/main.cpp" -o "$work/pc/consumer" \
     $(pkg-config --cflags --libs kavgraph) 2>"$work/pc.log"; then
  # pkg-config gives no run path: a prefix outside the loader's folders is named at run time.
  LD_LIBRARY_PATH="$prefix/$libdir" "$work/pc/consumer" "$sample/sample-diagram.kvg" "$work/pc.png" >/dev/null || fail "pkg-config consumer failed to run"
else
  cat "$work/pc.log"; fail "pkg-config consumer did not build"
fi

# Desktop files and MIME types.
for d in "$prefix"/share/applications/*.desktop; do
  desktop-file-validate "$d" || fail "$d does not validate"
done
cp -r "$prefix/share/mime" "$work/mime"
update-mime-database "$work/mime" || fail "MIME types do not load"
for glob in '*.qmk' '*.slb' '*.kvf' '*.kvi'; do
  grep -qF ":$glob" "$work/mime/globs2" || fail "no MIME type for $glob"
done

# Man pages: format cleanly and name the options --help names.
for page in "$prefix"/share/man/man1/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "$page: $warnings"
  program=$(basename "$page" .1)
  if [ -x "$prefix/bin/$program" ]; then
    help=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/$program" --help 2>&1 || true)
    python3 "$src/tests/install/same_options.py" "$page" <<<"$help" || fail "$page and $program --help differ"
  fi
done

echo "install checks: $failures failed"
[ "$failures" = 0 ]
