#!/usr/bin/env bash
# Rebuilds the bundled sample database samples/lcl.qmk from the interface sections of the
# Lazarus component library (Debian package lazarus-src) and the Free Pascal units its classes
# derive from (package fpc-source), so that the hierarchy reaches TObject.
# Also writes samples/lcl.topics, the help topic map of the sample, from the content file of the
# Lazarus documentation (package lazarus-doc-2.2), whose lcl.chm the topics open.
# Installs the packages when missing and builds qmk first. Usage: scripts/make-sample.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

missing=()
for p in lazarus-src fpc-source lazarus-doc-2.2; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"$top/scripts/setup.sh"
if [ ! -f "$top/build/build.ninja" ]; then
  cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$top/build" --target qmk >/dev/null

LAZARUS=$(ls -d /usr/lib/lazarus/*/ | sort -V | tail -n 1)
FPCSRC=$(ls -d /usr/share/fpcsrc/*/ | sort -V | tail -n 1)
LAZARUS=${LAZARUS%/}
FPCSRC=${FPCSRC%/}

paths=()
while read -r line; do
  case "$line" in ''|'#'*) continue ;; esac
  line=${line//\$LAZARUS/$LAZARUS}
  line=${line//\$FPCSRC/$FPCSRC}
  for p in $line; do paths+=("$p"); done
done < "$top/samples/lcl-sources.txt"
LCLDOC=$(dirname "$(dpkg -L lazarus-doc-2.2 | grep '/lcl\.chm$' | head -n 1)")
exec "$top/build/tools/qmk/qmk" build -o "$top/samples/lcl.qmk" --name "LCL" \
  --help-from "$LCLDOC/lcl.xct" --help-source "$LCLDOC/lcl.chm" "${paths[@]}"
