#!/usr/bin/env bash
# Builds the Debian packages from a build tree and shows what each declares and holds; then asks
# apt whether they would install here with their dependencies (a simulation: nothing changes).
# Usage: show-debs.sh [BUILD_DIR]   (default: build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
out=$build/debs
rm -rf "$out"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
debs=("$out"/*.deb)
for deb in "${debs[@]}"; do
  echo "=== $(basename "$deb")"
  dpkg-deb --info "$deb"
  echo "--- contents"
  dpkg-deb --contents "$deb"
  echo
done
if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
  echo "=== would they install? (apt-get --simulate)"
  apt-get install --simulate --no-install-recommends "${debs[@]}" | grep -E '^(Inst|Conf|E:)' || true
fi
