#!/usr/bin/env bash
# Rebuilds the bundled sample database samples/lcl.qmk from the interface sections of the
# Lazarus component library (Debian package lazarus-src) and the Free Pascal units its classes
# derive from (package fpc-source), so that the hierarchy reaches TObject.
# Installs both packages when missing and builds qmk first. Usage: scripts/make-sample.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

missing=()
for p in lazarus-src fpc-source; do
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
"$top/scripts/build.sh" build >/dev/null
cmake --build "$top/build" --target qmk >/dev/null

laz=$(ls -d /usr/lib/lazarus/*/ | sort -V | tail -n 1)
fpc=$(ls -d /usr/share/fpcsrc/*/ | sort -V | tail -n 1)
lcl=${laz}lcl

# Folders are searched recursively and also serve as include folders.
paths=(
  "$lcl"/*.pas "$lcl"/*.pp "$lcl/include" "$lcl/widgetset" "$lcl/forms" "$lcl/nonwin32"
  "${laz}components/lazutils"/*.pas "${laz}components/lazutils"/*.pp
  "${laz}components/freetype"/*.pas
  "${fpc}rtl/inc" "${fpc}rtl/unix" "${fpc}rtl/linux" "${fpc}rtl/linux/x86_64" "${fpc}rtl/x86_64"
  "${fpc}rtl/objpas" "${fpc}rtl/objpas/classes" "${fpc}rtl/objpas/sysutils"
  "${fpc}packages/fcl-base/src" "${fpc}packages/fcl-image/src" "${fpc}packages/fcl-db/src/base"
  "${fpc}packages/fcl-process/src" "${fpc}packages/fcl-process/src/unix"
)
exec "$top/build/tools/qmk/qmk" build -o "$top/samples/lcl.qmk" --name "LCL" "${paths[@]}"
