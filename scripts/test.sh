#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the normal build, then a sanitizer
# (ASan + UBSan) build with clang that also runs every fuzz target briefly.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$top/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DVD_SANITIZE=ON -DVD_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DVD_BENCH=OFF

status=0
echo "== tests"
dbus-run-session -- ctest --test-dir "$top/build" --output-on-failure -j "$jobs" || status=1
echo "== tests under ASan + UBSan, and fuzz targets"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
dbus-run-session -- ctest --test-dir "$top/build-asan" --output-on-failure -j "$jobs" || status=1
exit $status
