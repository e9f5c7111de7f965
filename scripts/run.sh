#!/usr/bin/env bash
# Sets up, builds and opens the browser on the bundled sample; without a display it prints the
# sample's summary instead.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
sample="$top/samples/lcl.qmk"
browser="$top/build/browser/app/quillmark-browser"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$browser" ]; then
  exec "$browser" "$sample" "$@"
fi
echo "No display to open the browser on; the sample's summary instead:"
exec "$top/build/tools/qmk/qmk" info "$sample"
